#include "platform/Text8.h"

namespace Text8 {

QByteArray Encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() + text.count(QLatin1Char('\n')));
    for (char32_t codePoint : text.toUcs4()) {
        if (codePoint == U'\n') {
            bytes.append("\r\n", 2);
        } else {
            bytes.append(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
        }
    }
    return bytes;
}

QString Decode(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QStringList DecodeLines(const QByteArray& bytes)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            lines.append(QString::fromLatin1(bytes.mid(start)));
            break;
        }
        qsizetype lineEnd = end;
        if (lineEnd > start && bytes[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        lines.append(QString::fromLatin1(bytes.mid(start, lineEnd - start)));
        start = end + 1;
    }
    return lines;
}

}  // namespace Text8
