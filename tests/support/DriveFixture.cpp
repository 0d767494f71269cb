#include "support/DriveFixture.h"

#include "support/FileFixtures.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace testsupport {

namespace {

// The kernel's escapes in mountinfo and /proc/swaps.
QByteArray EscapeMountField(const QByteArray& raw)
{
    QByteArray out;
    for (char c : raw) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            out += '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out;
}

// udev's link names: bytes outside its plain set as "\xHH".
QByteArray EscapeUdevName(const QString& name)
{
    QByteArray out;
    for (char c : name.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')
                           || QByteArray("#+-.:=@_").contains(c);
        if (plain)
            out += c;
        else
            out += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
    }
    return out;
}

void Link(const QString& target, const QString& link)
{
    QDir().mkpath(QFileInfo(link).path());
    if (!QFile::link(target, link))
        throw std::runtime_error("cannot make a fixture link");
}

QString Clean(const QString& path)
{
    return QDir::cleanPath(path);
}

}  // namespace

DriveFixture::DriveFixture()
{
    if (!dir.isValid())
        throw std::runtime_error("cannot make the drive fixture folder");
    Write();
}

void DriveFixture::AddDevice(const FixtureDevice& device)
{
    devices.push_back(device);
    WriteDevice(device);
}

void DriveFixture::AddMount(const FixtureMount& mount)
{
    mounts.push_back(mount);
    WriteTables();
}

void DriveFixture::AddDrive(const FixtureDevice& device, const QByteArray& mountPoint, const QString& fsType)
{
    devices.push_back(device);
    FixtureMount mount;
    mount.mountPoint = mountPoint;
    mount.fsType = fsType;
    mount.device = device.name;
    mounts.push_back(mount);
    WriteDevice(device);
    WriteTables();
}

void DriveFixture::AddSwap(const QString& path)
{
    swaps.append(path);
    WriteTables();
}

FixtureDevice* DriveFixture::DeviceAt(const QString& root)
{
    for (const FixtureMount& mount : mounts) {
        if (Clean(QString::fromUtf8(mount.mountPoint)) != Clean(root))
            continue;
        for (FixtureDevice& device : devices) {
            if (device.name == mount.device)
                return &device;
        }
    }
    return nullptr;
}

void DriveFixture::Unplug(const QString& root)
{
    if (FixtureDevice* device = DeviceAt(root)) {
        const QString name = device->name;
        std::erase_if(devices, [&](const FixtureDevice& each) { return each.name == name; });
    }
    std::erase_if(mounts, [&](const FixtureMount& mount) {
        return Clean(QString::fromUtf8(mount.mountPoint)) == Clean(root);
    });
    Write();
}

void DriveFixture::Replace(const QString& root, unsigned major, unsigned minor, const QString& uuid)
{
    FixtureDevice* device = DeviceAt(root);
    if (!device)
        throw std::runtime_error("nothing mounted there to replace");
    device->major = major;
    device->minor = minor;
    device->uuid = uuid;
    Write();
}

DriveSources DriveFixture::Sources() const
{
    DriveSources sources;
    sources.mountInfo = dir.filePath(QStringLiteral("mountinfo"));
    sources.sysfsRoot = dir.filePath(QStringLiteral("sys"));
    sources.byLabel = dir.filePath(QStringLiteral("by-label"));
    sources.byUuid = dir.filePath(QStringLiteral("by-uuid"));
    sources.swaps = dir.filePath(QStringLiteral("swaps"));
    return sources;
}

QString DriveFixture::MakeFolder(const QString& name) const
{
    const QString path = dir.filePath(QStringLiteral("mnt/") + name);
    if (!QDir().mkpath(path))
        throw std::runtime_error("cannot make a fixture mount folder");
    return path;
}

void DriveFixture::Write() const
{
    const DriveSources sources = Sources();
    for (const QString& folder : {sources.sysfsRoot, sources.byLabel, sources.byUuid})
        QDir(folder).removeRecursively();
    for (const FixtureDevice& device : devices)
        WriteDevice(device);
    WriteTables();
}

void DriveFixture::WriteDevice(const FixtureDevice& device) const
{
    const DriveSources sources = Sources();
    const QString diskName = device.disk.isEmpty() ? device.name : device.disk;
    const QString diskFolder = sources.sysfsRoot + QStringLiteral("/devices/block/") + diskName;
    if (!QFileInfo::exists(diskFolder + QStringLiteral("/removable"))) {
        WriteFileBytes(diskFolder + QStringLiteral("/removable"), device.removable ? "1\n" : "0\n");
        WriteFileBytes(diskFolder + QStringLiteral("/ro"), device.diskReadOnly ? "1\n" : "0\n");
        QDir().mkpath(diskFolder + QStringLiteral("/holders"));
        if (!device.mmcType.isEmpty())
            WriteFileBytes(diskFolder + QStringLiteral("/device/type"), device.mmcType.toUtf8() + '\n');
    }
    const QString folder = device.disk.isEmpty() ? diskFolder : diskFolder + u'/' + device.name;
    const QByteArray number = QByteArray::number(device.major) + ':' + QByteArray::number(device.minor);
    WriteFileBytes(folder + QStringLiteral("/dev"), number + '\n');
    WriteFileBytes(folder + QStringLiteral("/size"), QByteArray::number(device.sectors) + '\n');
    if (!device.disk.isEmpty()) {
        WriteFileBytes(folder + QStringLiteral("/partition"), "1\n");
        WriteFileBytes(folder + QStringLiteral("/ro"), device.readOnly ? "1\n" : "0\n");
    }
    QDir().mkpath(folder + QStringLiteral("/holders"));
    for (const QString& holder : device.holders)
        Link(QStringLiteral("../../") + holder, folder + QStringLiteral("/holders/") + holder);
    Link(folder, sources.sysfsRoot + QStringLiteral("/dev/block/") + QString::fromLatin1(number));
    Link(folder, sources.sysfsRoot + QStringLiteral("/class/block/") + device.name);
    if (!device.label.isEmpty())
        Link(QStringLiteral("../../") + device.name, sources.byLabel + u'/' + QFile::decodeName(EscapeUdevName(device.label)));
    if (!device.uuid.isEmpty())
        Link(QStringLiteral("../../") + device.name, sources.byUuid + u'/' + device.uuid);
}

void DriveFixture::WriteTables() const
{
    const DriveSources sources = Sources();
    QByteArray mountInfo;
    int id = 20;
    for (const FixtureMount& mount : mounts) {
        QString number = mount.number;
        if (number.isEmpty()) {
            number = QStringLiteral("0:%1").arg(id);
            for (const FixtureDevice& device : devices) {
                if (device.name == mount.device)
                    number = QStringLiteral("%1:%2").arg(device.major).arg(device.minor);
            }
        }
        QString source = mount.source;
        if (source.isEmpty())
            source = mount.device.isEmpty() ? mount.fsType : QStringLiteral("/dev/") + mount.device;
        mountInfo += QByteArray::number(id++) + " 1 " + number.toUtf8() + ' ' + EscapeMountField(mount.fsRoot.toUtf8())
                     + ' ' + EscapeMountField(mount.mountPoint) + " rw,relatime shared:1 - " + mount.fsType.toUtf8() + ' '
                     + EscapeMountField(source.toUtf8()) + " rw\n";
    }
    WriteFileBytes(sources.mountInfo, mountInfo);

    QByteArray swapList = "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n";
    for (const QString& swap : swaps)
        swapList += EscapeMountField(swap.toUtf8()) + "\t\tpartition\t1048572\t\t0\t\t-2\n";
    WriteFileBytes(sources.swaps, swapList);
}

}  // namespace testsupport
