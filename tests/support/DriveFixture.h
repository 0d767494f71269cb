#pragma once
// A machine's drives written as files: a mountinfo file, a sysfs tree, the
// by-label and by-uuid folders and a swaps file, all in one temporary folder,
// so the drive layer runs without the live /proc, /sys or /dev.

#include "platform/Drives.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

namespace testsupport {

// A block device. A partition names its disk; the disk's own attributes
// (removable, card type, read-only, holders) come from the first of its
// partitions the fixture meets.
struct FixtureDevice {
    QString name{};           // "sdb1"
    QString disk{};           // "sdb"; empty for a whole disk such as "loop0"
    unsigned major = 8;
    unsigned minor = 0;
    QString label{};
    QString uuid{};
    bool removable = false;
    QString mmcType{};        // the disk's device/type ("SD", "MMC")
    bool readOnly = false;  // the partition's ro
    bool diskReadOnly = false;
    QStringList holders{};    // of the partition
    quint64 sectors = 131072;
};

struct FixtureMount {
    QByteArray mountPoint{};  // raw bytes; may be a real folder
    QString fsType = QStringLiteral("vfat");
    QString device{};         // a FixtureDevice's name; empty for none
    QString fsRoot = QStringLiteral("/");
    QString source{};         // default "/dev/" + device, else the fs type
    QString number{};         // field 3 when not the device's ("0:33" for btrfs)
};

class DriveFixture {
public:
    DriveFixture();

    void AddDevice(const FixtureDevice& device);
    void AddMount(const FixtureMount& mount);
    // A device and its mount in one step.
    void AddDrive(const FixtureDevice& device, const QByteArray& mountPoint, const QString& fsType = QStringLiteral("vfat"));
    void AddSwap(const QString& path);

    // The card is pulled: its mount and its device disappear, the mount folder stays.
    void Unplug(const QString& root);
    // Another device (or a reformatted volume) is now mounted at root.
    void Replace(const QString& root, unsigned major, unsigned minor, const QString& uuid);

    DriveSources Sources() const;
    // A real, empty folder inside the fixture, for use as a mount point.
    QString MakeFolder(const QString& name) const;

private:
    void Write() const;  // everything afresh
    void WriteDevice(const FixtureDevice& device) const;
    void WriteTables() const;  // mountinfo and swaps
    FixtureDevice* DeviceAt(const QString& root);

    QTemporaryDir dir;
    std::vector<FixtureDevice> devices;
    std::vector<FixtureMount> mounts;
    QStringList swaps;
};

}  // namespace testsupport
