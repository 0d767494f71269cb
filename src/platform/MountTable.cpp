#include "platform/MountTable.h"

#include "platform/Drives.h"

#include <QFile>
#include <optional>

namespace {

// The proc files report a size of 0, so read until the end rather than by size.
QByteArray ReadProcFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

std::optional<MountRecord> ParseMountInfoLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype dash = fields.indexOf(QByteArray("-"), 6);
    if (fields.size() < 6 || dash < 0 || dash + 2 >= fields.size())
        return std::nullopt;

    const QList<QByteArray> numbers = fields[2].split(':');
    if (numbers.size() != 2)
        return std::nullopt;
    bool majorOk = false;
    bool minorOk = false;
    MountRecord record;
    record.major = numbers[0].toUInt(&majorOk);
    record.minor = numbers[1].toUInt(&minorOk);
    if (!majorOk || !minorOk)
        return std::nullopt;

    record.fsRoot = QString::fromUtf8(MountTable::DecodeOctalEscapes(fields[3]));
    record.mountPointBytes = MountTable::DecodeOctalEscapes(fields[4]);
    // A path that could not be written back unchanged is never offered.
    if (record.mountPointBytes.isValidUtf8())
        record.mountPoint = NormalizeRoot(QString::fromUtf8(record.mountPointBytes));
    record.fsType = QString::fromUtf8(MountTable::DecodeOctalEscapes(fields[dash + 1]));
    record.source = QString::fromUtf8(MountTable::DecodeOctalEscapes(fields[dash + 2]));
    return record;
}

}  // namespace

namespace MountTable {

QByteArray DecodeOctalEscapes(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1])
            && IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            out.append(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3)
                                         | (field[i + 3] - '0')));
            i += 3;
        } else {
            out.append(field[i]);
        }
    }
    return out;
}

std::vector<MountRecord> ReadMountInfo(const QString& path)
{
    std::vector<MountRecord> records;
    for (const QByteArray& line : ReadProcFile(path).split('\n')) {
        if (std::optional<MountRecord> record = ParseMountInfoLine(line))
            records.push_back(std::move(*record));
    }
    return records;
}

std::vector<QString> ReadSwaps(const QString& path)
{
    std::vector<QString> names;
    const QList<QByteArray> lines = ReadProcFile(path).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].simplified().split(' ');
        if (!fields.isEmpty() && !fields[0].isEmpty())
            names.push_back(QString::fromUtf8(DecodeOctalEscapes(fields[0])));
    }
    return names;
}

}  // namespace MountTable
