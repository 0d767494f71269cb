#include "platform/SysBlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/sysmacros.h>

namespace {

QString ReadTrimmed(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(4096)).trimmed();
}

// "MAJ:MIN" as the kernel writes it in a device's "dev" file.
std::optional<quint64> ParseDeviceNumber(const QString& text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    bool majorOk = false;
    bool minorOk = false;
    const uint major = text.left(colon).toUInt(&majorOk);
    const uint minor = text.mid(colon + 1).toUInt(&minorOk);
    if (!majorOk || !minorOk)
        return std::nullopt;
    return makedev(major, minor);
}

bool FolderHasEntries(const QString& path)
{
    return !QDir(path).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).isEmpty();
}

}  // namespace

SysBlock::SysBlock(QString sysfsRoot) : sysfsRoot(std::move(sysfsRoot)) {}

std::optional<BlockDevice> SysBlock::ByNumber(unsigned major, unsigned minor) const
{
    if (major == 0)
        return std::nullopt;
    return FromLink(QStringLiteral("%1/dev/block/%2:%3").arg(sysfsRoot).arg(major).arg(minor));
}

std::optional<BlockDevice> SysBlock::ByName(const QString& kernelName) const
{
    if (kernelName.isEmpty() || kernelName.contains(u'/') || kernelName.startsWith(u'.'))
        return std::nullopt;
    return FromLink(sysfsRoot + QStringLiteral("/class/block/") + kernelName);
}

std::optional<BlockDevice> SysBlock::ForMount(const MountRecord& mount) const
{
    if (mount.major != 0)
        return ByNumber(mount.major, mount.minor);
    static const QString devPrefix = QStringLiteral("/dev/");
    if (mount.source.startsWith(devPrefix))
        return ByName(mount.source.mid(devPrefix.size()));
    return std::nullopt;
}

std::optional<BlockDevice> SysBlock::FromLink(const QString& link) const
{
    const QString folder = QFileInfo(link).canonicalFilePath();
    if (folder.isEmpty())
        return std::nullopt;
    const std::optional<quint64> number = ParseDeviceNumber(ReadTrimmed(folder + QStringLiteral("/dev")));
    if (!number)
        return std::nullopt;
    BlockDevice device;
    device.sysPath = folder;
    device.kernelName = QFileInfo(folder).fileName();
    device.deviceNumber = *number;
    // A partition's folder sits inside its disk's folder.
    if (QFileInfo::exists(folder + QStringLiteral("/partition"))) {
        device.diskSysPath = QFileInfo(folder).path();
        device.diskName = QFileInfo(device.diskSysPath).fileName();
    } else {
        device.diskSysPath = folder;
        device.diskName = device.kernelName;
    }
    return device;
}

QString SysBlock::Attribute(const BlockDevice& device, const char* name) const
{
    return ReadTrimmed(device.sysPath + u'/' + QLatin1StringView(name));
}

QString SysBlock::DiskAttribute(const BlockDevice& device, const char* name) const
{
    return ReadTrimmed(device.diskSysPath + u'/' + QLatin1StringView(name));
}

bool SysBlock::ReadOnly(const BlockDevice& device) const
{
    return Attribute(device, "ro") == u"1" || DiskAttribute(device, "ro") == u"1";
}

bool SysBlock::HasHolders(const BlockDevice& device) const
{
    if (FolderHasEntries(device.diskSysPath + QStringLiteral("/holders")))
        return true;
    const QDir disk(device.diskSysPath);
    for (const QString& child : disk.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString partition = disk.filePath(child);
        if (QFileInfo::exists(partition + QStringLiteral("/partition"))
            && FolderHasEntries(partition + QStringLiteral("/holders")))
            return true;
    }
    return false;
}

quint64 SysBlock::SizeBytes(const BlockDevice& device) const
{
    // sysfs counts 512-byte sectors whatever the device's own sector size.
    return Attribute(device, "size").toULongLong() * 512u;
}
