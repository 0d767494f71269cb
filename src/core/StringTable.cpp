#include "core/StringTable.h"

#include "core/Common.h"
#include "platform/ResourceText.h"

#include <cstddef>

extern const unsigned char kestrovStringTable[];
extern const std::size_t kestrovStringTableSize;

namespace StringTable {

namespace {

bool ParseId(const QString& digits, int& id)
{
    if (digits.isEmpty() || digits.size() > 9) {
        return false;
    }
    id = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
        id = id * 10 + (c.unicode() - '0');
    }
    return true;
}

}  // namespace

Parsed Parse(const QByteArray& utf8)
{
    Parsed parsed;
    for (const platform::TextLine& line : platform::DataLines(utf8)) {
        const qsizetype tab = line.text.indexOf(QLatin1Char('\t'));
        int id = 0;
        std::optional<QString> text;
        const QString where = QStringLiteral("line %1").arg(line.number);
        if (tab < 0 || !ParseId(line.text.left(tab), id) || !(text = platform::Unescape(line.text.mid(tab + 1)))) {
            parsed.errors.append(where + QStringLiteral(": not \"id<TAB>text\""));
        } else if (!parsed.texts.emplace(id, *text).second) {
            parsed.errors.append(where + QStringLiteral(": duplicate id %1").arg(id));
        }
    }
    return parsed;
}

QByteArray EmbeddedBytes()
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(kestrovStringTable),
                                   static_cast<qsizetype>(kestrovStringTableSize));
}

const Parsed& Embedded()
{
    static const Parsed table = Parse(EmbeddedBytes());
    return table;
}

QString Text(int id)
{
    const auto& texts = Embedded().texts;
    const auto found = texts.find(id);
    return found == texts.end() ? QString() : found->second;
}

}  // namespace StringTable

QString Common::GetResourceString(int id)
{
    return StringTable::Text(id);
}
