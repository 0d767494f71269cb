#pragma once
// The text resources compiled into the program (the string table, the dialog
// templates): UTF-8 lines ended by LF or CR LF, blank lines and lines starting
// with '#' skipped, and the escapes \n, \t and \\ in their texts. Any other
// backslash is a fault in the file.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace platform {

struct TextLine {
    int number;    // 1-based, counting every line of the file
    QString text;  // without its line end
};

// The lines that carry data, in file order.
std::vector<TextLine> DataLines(const QByteArray& utf8);

// The text with its escapes resolved; none for an unknown or a dangling escape.
std::optional<QString> Unescape(const QString& raw);

}  // namespace platform
