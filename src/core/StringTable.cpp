#include "core/StringTable.h"

#include "core/Common.h"

#include <cstddef>

extern const unsigned char kestrovStringTable[];
extern const std::size_t kestrovStringTableSize;

namespace StringTable {

namespace {

// The text with its escapes resolved; false for an unknown or a dangling escape.
bool Unescape(const QString& raw, QString& text)
{
    text.clear();
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != QLatin1Char('\\')) {
            text += raw[i];
            continue;
        }
        if (++i == raw.size()) {
            return false;
        }
        switch (raw[i].unicode()) {
        case 'n': text += QLatin1Char('\n'); break;
        case 't': text += QLatin1Char('\t'); break;
        case '\\': text += QLatin1Char('\\'); break;
        default: return false;
        }
    }
    return true;
}

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
    const QList<QByteArray> lines = utf8.split('\n');
    for (qsizetype index = 0; index < lines.size(); ++index) {
        QByteArray bytes = lines[index];
        if (bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        if (bytes.trimmed().isEmpty() || bytes.startsWith('#')) {
            continue;
        }
        const QString line = QString::fromUtf8(bytes);
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        int id = 0;
        QString text;
        const QString where = QStringLiteral("line %1").arg(index + 1);
        if (tab < 0 || !ParseId(line.left(tab), id) || !Unescape(line.mid(tab + 1), text)) {
            parsed.errors.append(where + QStringLiteral(": not \"id<TAB>text\""));
        } else if (!parsed.texts.emplace(id, text).second) {
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
