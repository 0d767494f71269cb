#include "platform/ResourceText.h"

#include <QList>

namespace platform {

std::vector<TextLine> DataLines(const QByteArray& utf8)
{
    std::vector<TextLine> lines;
    const QList<QByteArray> pieces = utf8.split('\n');
    for (qsizetype index = 0; index < pieces.size(); ++index) {
        QByteArray bytes = pieces[index];
        if (bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        if (bytes.trimmed().isEmpty() || bytes.startsWith('#')) {
            continue;
        }
        lines.push_back(TextLine{int(index + 1), QString::fromUtf8(bytes)});
    }
    return lines;
}

std::optional<QString> Unescape(const QString& raw)
{
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != QLatin1Char('\\')) {
            text += raw[i];
            continue;
        }
        if (++i == raw.size()) {
            return std::nullopt;
        }
        switch (raw[i].unicode()) {
        case 'n': text += QLatin1Char('\n'); break;
        case 't': text += QLatin1Char('\t'); break;
        case '\\': text += QLatin1Char('\\'); break;
        default: return std::nullopt;
        }
    }
    return text;
}

}  // namespace platform
