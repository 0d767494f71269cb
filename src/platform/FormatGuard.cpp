#include "platform/FormatGuard.h"

#include "platform/SysBlock.h"

#include <QStringList>

namespace {

// Mount points whose disk holds the running system.
bool IsSystemMountPoint(const QString& root)
{
    static const QStringList system{
        QStringLiteral("/"),     QStringLiteral("/boot/"), QStringLiteral("/boot/efi/"),
        QStringLiteral("/efi/"), QStringLiteral("/home/"), QStringLiteral("/usr/"),
        QStringLiteral("/var/"), QStringLiteral("/opt/"),  QStringLiteral("/srv/"),
        QStringLiteral("/tmp/")};
    return system.contains(root);
}

FormatRefusal Refusal(FormatProblem problem, QString reason)
{
    return FormatRefusal{problem, std::move(reason)};
}

std::optional<FormatRefusal> IdentityChange(const DriveInfo& listed, const DriveInfo& now)
{
    if (now.deviceNumber != listed.deviceNumber)
        return Refusal(FormatProblem::Changed, QStringLiteral("another device is now mounted at %1").arg(listed.root));
    if (now.kernelName != listed.kernelName)
        return Refusal(FormatProblem::Changed, QStringLiteral("the device at %1 is now %2, not %3")
                                                   .arg(listed.root, now.kernelName, listed.kernelName));
    if (now.fsUuid != listed.fsUuid)
        return Refusal(FormatProblem::Changed, QStringLiteral("the volume at %1 has changed").arg(listed.root));
    return std::nullopt;
}

std::optional<FormatRefusal> SystemUse(const BlockDevice& device, const Drives& drives, const SysBlock& sys)
{
    for (const MountRecord& mount : drives.Mounts()) {
        if (!IsSystemMountPoint(mount.mountPoint))
            continue;
        const std::optional<BlockDevice> other = sys.ForMount(mount);
        if (other && other->diskName == device.diskName)
            return Refusal(FormatProblem::SystemUse,
                           QStringLiteral("disk %1 holds the system folder %2").arg(device.diskName, mount.mountPoint));
    }
    for (const QString& swap : MountTable::ReadSwaps(drives.Sources().swaps)) {
        static const QString devPrefix = QStringLiteral("/dev/");
        if (!swap.startsWith(devPrefix))
            continue;
        const std::optional<BlockDevice> other = sys.ByName(swap.mid(devPrefix.size()));
        if (other && other->diskName == device.diskName)
            return Refusal(FormatProblem::SystemUse,
                           QStringLiteral("disk %1 holds the active swap %2").arg(device.diskName, swap));
    }
    if (sys.HasHolders(device))
        return Refusal(FormatProblem::SystemUse,
                       QStringLiteral("disk %1 is in use by another device (encryption, RAID or LVM)").arg(device.diskName));
    return std::nullopt;
}

}  // namespace

namespace FormatGuard {

std::optional<FormatRefusal> Check(const DriveInfo& drive, const Drives& drives)
{
    if (drive.root.isEmpty())
        return Refusal(FormatProblem::NotChosen, QStringLiteral("no card is chosen"));
    const std::optional<DriveInfo> now = drives.Find(drive.root);
    if (!now)
        return Refusal(FormatProblem::Gone, QStringLiteral("nothing is mounted at %1 any more").arg(drive.root));
    if (std::optional<FormatRefusal> change = IdentityChange(drive, *now))
        return change;
    if (now->type != DriveType::Removable)
        return Refusal(FormatProblem::NotRemovable, QStringLiteral("%1 is not a removable card").arg(drive.root));

    const SysBlock sys(drives.Sources().sysfsRoot);
    const std::optional<BlockDevice> device = sys.ByName(now->kernelName);
    if (!device || device->deviceNumber != now->deviceNumber)
        return Refusal(FormatProblem::Gone, QStringLiteral("the device of %1 cannot be identified").arg(drive.root));
    if (sys.ReadOnly(*device))
        return Refusal(FormatProblem::ReadOnly, QStringLiteral("the card in %1 is read-only").arg(drive.root));
    return SystemUse(*device, drives, sys);
}

}  // namespace FormatGuard
