#pragma once
// The kernel's mount table and swap list, parsed as they stand. Nothing here
// looks at a mount point itself, so a hung network mount cannot block it.

#include <QByteArray>
#include <QString>
#include <vector>

struct MountRecord {
    unsigned major = 0;   // device number of the mount (0: no block device, or btrfs)
    unsigned minor = 0;
    QString fsRoot;       // the folder of the filesystem mounted here ("/" for a whole volume)
    QByteArray mountPointBytes;  // decoded, as the kernel holds it
    QString mountPoint;   // the same as a normalised root; empty when not valid UTF-8
    QString fsType;
    QString source;
};

namespace MountTable {

// Every line of a /proc/self/mountinfo file, in file order; a missing or
// unreadable file gives none.
std::vector<MountRecord> ReadMountInfo(const QString& path);

// The file names of a /proc/swaps file (its header line skipped).
std::vector<QString> ReadSwaps(const QString& path);

// The kernel's octal escapes ("\040" for a blank, "\134" for a backslash,
// any "\ooo") turned back into their bytes.
QByteArray DecodeOctalEscapes(const QByteArray& field);

}  // namespace MountTable
