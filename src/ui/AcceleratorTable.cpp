#include "ui/AcceleratorTable.h"

#include "core/Numbers.h"
#include "platform/ResourceText.h"

#include <cstddef>
#include <stdexcept>

extern const unsigned char kestrovAccelerators[];
extern const std::size_t kestrovAcceleratorsSize;

namespace {

bool ReadModifiers(const QString& field, KeyChord& chord)
{
    if (field == QLatin1String("-"))
        return true;
    for (const QString& word : field.split(QLatin1Char('|'))) {
        bool* flag = word == QLatin1String("SHIFT")     ? &chord.shift
                     : word == QLatin1String("CONTROL") ? &chord.control
                     : word == QLatin1String("ALT")     ? &chord.alt
                                                        : nullptr;
        if (!flag || *flag)
            return false;
        *flag = true;
    }
    return true;
}

}  // namespace

std::optional<int> AcceleratorTable::Translate(const KeyChord& chord) const
{
    if (chord.virtualKey == 0)
        return std::nullopt;
    for (const Accelerator& entry : entries) {
        if (entry.chord == chord)
            return entry.command;
    }
    return std::nullopt;
}

AcceleratorTableParse AcceleratorTable::Parse(const QByteArray& bytes, const QString& fileName)
{
    AcceleratorTable table;
    for (const platform::TextLine& line : platform::DataLines(bytes)) {
        const auto fail = [&](const char* reason) {
            return AcceleratorTableParse{std::nullopt,
                                         QStringLiteral("%1:%2: %3").arg(fileName).arg(line.number).arg(reason)};
        };
        const QStringList fields = line.text.split(QLatin1Char('\t'));
        if (fields.size() != 3)
            return fail("not \"key<TAB>modifiers<TAB>command\"");
        Accelerator entry;
        const std::optional<int> key = VirtualKeyNamed(fields[0]);
        if (!key)
            return fail("unknown key");
        entry.chord.virtualKey = *key;
        if (!ReadModifiers(fields[1], entry.chord))
            return fail("bad modifiers");
        const std::optional<int> command = Numbers::ParseDecimal(fields[2]);
        if (!command || *command == 0)
            return fail("bad command");
        entry.command = *command;
        table.entries.push_back(entry);
    }
    return {std::move(table), {}};
}

const AcceleratorTable& AcceleratorTable::Embedded()
{
    static const AcceleratorTable table = [] {
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(kestrovAccelerators),
                                                         static_cast<qsizetype>(kestrovAcceleratorsSize));
        AcceleratorTableParse parsed = Parse(bytes, QStringLiteral("accelerators.tsv"));
        if (!parsed.table)
            throw std::logic_error(parsed.error.toStdString());
        return std::move(*parsed.table);
    }();
    return table;
}
