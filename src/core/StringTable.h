#pragma once
// The program's string table (res/strings.tsv, compiled into core): texts by
// number. Parsed once, on first use, into a map that never changes after, so
// any thread may read it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

namespace StringTable {

struct Parsed {
    std::map<int, QString> texts;
    QStringList errors;  // one per bad or duplicate line, naming its line number
};

// Parses "id<TAB>text" lines (UTF-8; '#' and blank lines skipped; escapes
// \n, \t, \\). A duplicate id keeps its first text and counts as an error.
Parsed Parse(const QByteArray& utf8);

// The table compiled into the program, as stored.
QByteArray EmbeddedBytes();

// The compiled-in table, parsed on first use.
const Parsed& Embedded();

// The text with that id; empty when the table has none.
QString Text(int id);

}  // namespace StringTable
