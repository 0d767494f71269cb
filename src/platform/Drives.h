#pragma once
// The mounted volumes of this machine, standing in for the other platform's
// drive letters: a drive is a mounted volume, its root the mount point with a
// trailing '/'. Every call reads its sources afresh (no cache), so a card
// plugged in shows at once, and none of them opens or stats a mount point or
// a device node.

#include "platform/MountTable.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

struct DriveInfo {
    QString label;         // volume label, "" when it has none
    QString root;          // normalised mount point ("/media/u/CARD/")
    DriveType type = DriveType::Unknown;
    quint64 deviceNumber = 0;  // dev_t of the block device; 0 without one
    QString kernelName;    // "sdb1"
    QString diskName;      // the whole disk it belongs to ("sdb"); itself for a whole disk
    QString deviceNode;    // "/dev/sdb1"
    QString fsType;
    QString fsUuid;
    quint64 sizeBytes = 0;
};

// Where the facts are read from; tests point these at fixture files.
struct DriveSources {
    QString mountInfo = QStringLiteral("/proc/self/mountinfo");
    QString sysfsRoot = QStringLiteral("/sys");
    QString byLabel = QStringLiteral("/dev/disk/by-label");
    QString byUuid = QStringLiteral("/dev/disk/by-uuid");
    QString swaps = QStringLiteral("/proc/swaps");
};

// cleanPath, then exactly one trailing '/'; "" stays "".
QString NormalizeRoot(const QString& path);

class Drives {
public:
    explicit Drives(DriveSources sources = {});

    const DriveSources& Sources() const { return sources; }

    // Every mount table line, bind mounts included.
    std::vector<MountRecord> Mounts() const;
    // The drives a user picks from: every visible volume but Unknown and
    // CdRom ones, in root order (UTF-8 bytes).
    std::vector<DriveInfo> Listed() const;
    // The visible volume at root (any type), or none.
    std::optional<DriveInfo> Find(const QString& root) const;
    // The visible volume on that block device, or none.
    std::optional<DriveInfo> FindDevice(quint64 deviceNumber) const;
    // NoRootDir when root is no visible mount root.
    DriveType TypeOf(const QString& root) const;
    // The volume visible at drive.root is still drive's block device, with the
    // same filesystem UUID where both are known: the card was not pulled or
    // swapped, and the root is no stale folder on another disk.
    bool StillMounted(const DriveInfo& drive) const;

    // The full description of one mount table line.
    DriveInfo Describe(const MountRecord& mount) const;

private:
    // Volumes visible at their mount points: the last mount on each point,
    // whole filesystems only, UTF-8 mount points only.
    std::vector<DriveInfo> Visible() const;

    DriveSources sources;
};
