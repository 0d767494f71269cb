#pragma once
// 8-bit text files (the log, setup.cfg, time.cfg): one byte per character,
// no locale, the way the recorder and the old C runtime text mode wrote them.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Text8 {

// Each code point up to U+00FF becomes the byte of the same value, any other
// code point one '?'; every LF becomes CR LF. CR is left as it is.
QByteArray Encode(const QString& text);

// Each byte becomes the code point of the same value; line ends are kept.
QString Decode(const QByteArray& bytes);

// The lines of the bytes, decoded: a line ends at LF or CR LF (a lone CR
// stays in its line); a last line without a line end is still a line; no
// bytes give no lines.
QStringList DecodeLines(const QByteArray& bytes);

}  // namespace Text8
