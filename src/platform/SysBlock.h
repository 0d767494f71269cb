#pragma once
// Block devices as sysfs describes them: which device a mount is on, the disk
// a partition belongs to, and the few attributes the drive list and the
// format guard need. Reads small sysfs files only.

#include "platform/MountTable.h"

#include <QString>
#include <QtGlobal>
#include <optional>

struct BlockDevice {
    QString kernelName;   // "sdb1"
    QString diskName;     // "sdb"; the same as kernelName for a whole disk
    QString sysPath;      // the device's sysfs folder, symlinks resolved
    QString diskSysPath;
    quint64 deviceNumber = 0;
};

class SysBlock {
public:
    explicit SysBlock(QString sysfsRoot);

    std::optional<BlockDevice> ByNumber(unsigned major, unsigned minor) const;
    std::optional<BlockDevice> ByName(const QString& kernelName) const;
    // The device of a mount: its device number, or for a filesystem that
    // reports major 0 (btrfs) the device named by a "/dev/NAME" source.
    std::optional<BlockDevice> ForMount(const MountRecord& mount) const;

    // A sysfs attribute of the device's folder (or the disk's), trimmed; ""
    // when absent.
    QString Attribute(const BlockDevice& device, const char* name) const;
    QString DiskAttribute(const BlockDevice& device, const char* name) const;

    // The partition or its whole disk is read-only (a locked card).
    bool ReadOnly(const BlockDevice& device) const;
    // Something is stacked on the disk or one of its partitions (dm-crypt,
    // RAID, LVM).
    bool HasHolders(const BlockDevice& device) const;
    quint64 SizeBytes(const BlockDevice& device) const;

private:
    std::optional<BlockDevice> FromLink(const QString& link) const;

    QString sysfsRoot;
};
