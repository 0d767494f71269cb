#pragma once
// The main window's accelerator table (res/accelerators.tsv, compiled into
// ui): which key chord gives which command.

#include "platform/widgets/KeyChord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct Accelerator {
    KeyChord chord;
    int command = 0;
};

struct AcceleratorTableParse;

class AcceleratorTable {
public:
    // Table order.
    std::vector<Accelerator> entries;

    // The command of the first entry whose chord is exactly this one.
    std::optional<int> Translate(const KeyChord& chord) const;

    // "key<TAB>modifiers<TAB>command" lines (see the file's head); fileName
    // names the file in the error ("fileName:line: reason").
    static AcceleratorTableParse Parse(const QByteArray& bytes, const QString& fileName);
    // The compiled-in table, parsed once on first use; any thread. A file
    // that does not parse is a programming error: std::logic_error.
    static const AcceleratorTable& Embedded();
};

struct AcceleratorTableParse {
    std::optional<AcceleratorTable> table;
    QString error;
};
