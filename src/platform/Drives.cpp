#include "platform/Drives.h"

#include "platform/SysBlock.h"

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace {

// Network filesystems have no block device but are listed as remote drives.
bool IsRemoteFsType(const QString& fsType)
{
    static const QStringList remote{
        QStringLiteral("nfs"),       QStringLiteral("nfs4"),      QStringLiteral("cifs"),
        QStringLiteral("smb3"),      QStringLiteral("smbfs"),     QStringLiteral("9p"),
        QStringLiteral("afs"),       QStringLiteral("ceph"),      QStringLiteral("glusterfs"),
        QStringLiteral("fuse.sshfs"), QStringLiteral("davfs")};
    return remote.contains(fsType);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// udev writes bytes outside its safe set as "\xHH" in link names.
QByteArray DecodeUdevEscapes(const std::string& name)
{
    QByteArray out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = HexValue(name[i + 2]);
            const int low = HexValue(name[i + 3]);
            if (high >= 0 && low >= 0) {
                out.append(static_cast<char>(high * 16 + low));
                i += 3;
                continue;
            }
        }
        out.append(name[i]);
    }
    return out;
}

// The name of the link in folder that points at the device (matched by the
// target's file name; the target itself is never opened).
QString LinkNameFor(const QString& folder, const QString& kernelName)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(folder.toStdString(), error);
    if (error)
        return QString();
    const std::string wanted = kernelName.toStdString();
    for (const fs::directory_entry& entry : it) {
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (!error && target.filename().native() == wanted)
            return QString::fromUtf8(DecodeUdevEscapes(entry.path().filename().native()));
    }
    return QString();
}

DriveType Classify(const SysBlock& sys, const BlockDevice& device, const QString& fsType)
{
    const QString& disk = device.diskName;
    if (disk.startsWith(QStringLiteral("sr")) || fsType == u"iso9660" || fsType == u"udf")
        return DriveType::CdRom;
    if (fsType == u"squashfs")
        return DriveType::Unknown;
    if (disk.startsWith(QStringLiteral("ram")) || disk.startsWith(QStringLiteral("zram")))
        return DriveType::RamDisk;
    if (sys.DiskAttribute(device, "removable") == u"1")
        return DriveType::Removable;
    // Built-in card slots report removable 0; the card's own type tells.
    if (disk.startsWith(QStringLiteral("mmcblk")) && sys.DiskAttribute(device, "device/type") == u"SD")
        return DriveType::Removable;
    return DriveType::Fixed;
}

}  // namespace

QString NormalizeRoot(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QString root = QDir::cleanPath(path);
    if (!root.endsWith(u'/'))
        root += u'/';
    return root;
}

Drives::Drives(DriveSources sources) : sources(std::move(sources)) {}

std::vector<MountRecord> Drives::Mounts() const
{
    return MountTable::ReadMountInfo(sources.mountInfo);
}

DriveInfo Drives::Describe(const MountRecord& mount) const
{
    DriveInfo drive;
    drive.root = mount.mountPoint;
    drive.fsType = mount.fsType;
    const SysBlock sys(sources.sysfsRoot);
    const std::optional<BlockDevice> device = sys.ForMount(mount);
    if (!device) {
        drive.type = IsRemoteFsType(mount.fsType) ? DriveType::Remote : DriveType::Unknown;
        return drive;
    }
    drive.deviceNumber = device->deviceNumber;
    drive.kernelName = device->kernelName;
    drive.diskName = device->diskName;
    drive.deviceNode = QStringLiteral("/dev/") + device->kernelName;
    drive.sizeBytes = sys.SizeBytes(*device);
    drive.label = LinkNameFor(sources.byLabel, device->kernelName);
    drive.fsUuid = LinkNameFor(sources.byUuid, device->kernelName);
    drive.type = Classify(sys, *device, mount.fsType);
    return drive;
}

std::vector<DriveInfo> Drives::Visible() const
{
    // Of several mounts on one point the last one is what a path there reaches.
    std::map<QByteArray, MountRecord> top;
    for (MountRecord& mount : Mounts())
        top[mount.mountPointBytes] = std::move(mount);

    std::vector<DriveInfo> drives;
    for (const auto& [point, mount] : top) {
        if (mount.fsRoot == u"/" && !mount.mountPoint.isEmpty())
            drives.push_back(Describe(mount));
    }
    std::sort(drives.begin(), drives.end(), [](const DriveInfo& a, const DriveInfo& b) {
        return a.root.toUtf8() < b.root.toUtf8();
    });
    return drives;
}

std::vector<DriveInfo> Drives::Listed() const
{
    std::vector<DriveInfo> drives = Visible();
    std::erase_if(drives, [](const DriveInfo& drive) {
        return drive.type == DriveType::Unknown || drive.type == DriveType::CdRom;
    });
    return drives;
}

std::optional<DriveInfo> Drives::Find(const QString& root) const
{
    const QString wanted = NormalizeRoot(root);
    for (DriveInfo& drive : Visible()) {
        if (drive.root == wanted)
            return std::move(drive);
    }
    return std::nullopt;
}

std::optional<DriveInfo> Drives::FindDevice(quint64 deviceNumber) const
{
    if (deviceNumber == 0)
        return std::nullopt;
    for (DriveInfo& drive : Visible()) {
        if (drive.deviceNumber == deviceNumber)
            return std::move(drive);
    }
    return std::nullopt;
}

DriveType Drives::TypeOf(const QString& root) const
{
    const std::optional<DriveInfo> drive = Find(root);
    return drive ? drive->type : DriveType::NoRootDir;
}

bool Drives::StillMounted(const DriveInfo& drive) const
{
    if (drive.root.isEmpty())
        return false;
    const std::optional<DriveInfo> now = Find(drive.root);
    if (!now || now->deviceNumber != drive.deviceNumber || now->kernelName != drive.kernelName)
        return false;
    // Without a block device (a network share) the filesystem type is all
    // there is to tell the same kind of volume from another one.
    if (drive.deviceNumber == 0 && now->fsType != drive.fsType)
        return false;
    return drive.fsUuid.isEmpty() || now->fsUuid.isEmpty() || drive.fsUuid == now->fsUuid;
}
