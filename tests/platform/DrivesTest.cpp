#include "platform/Drives.h"

#include "support/DriveFixture.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

using testsupport::DriveFixture;
using testsupport::FixtureDevice;
using testsupport::FixtureMount;

namespace {

const char* TypeName(DriveType type)
{
    switch (type) {
    case DriveType::Unknown: return "Unknown";
    case DriveType::NoRootDir: return "NoRootDir";
    case DriveType::Removable: return "Removable";
    case DriveType::Fixed: return "Fixed";
    case DriveType::Remote: return "Remote";
    case DriveType::CdRom: return "CdRom";
    case DriveType::RamDisk: return "RamDisk";
    }
    return "?";
}

// A desktop with a card reader, a DVD, network shares and the usual virtual
// filesystems.
class MachineDrives : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.AddDrive({.name = "vda2", .disk = "vda", .major = 254, .minor = 2, .uuid = "root-uuid"}, "/", "ext4");
        fixture.AddDrive({.name = "vda1", .disk = "vda", .major = 254, .minor = 1, .uuid = "EFI1-0001"}, "/boot/efi");
        fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .label = "CARD",
                          .uuid = "1234-ABCD", .removable = true, .sectors = 62521344},
                         "/media/u/CARD");
        fixture.AddDrive({.name = "sr0", .major = 11, .minor = 0, .label = "FILMS", .removable = true},
                         "/media/u/DVD", "iso9660");
        fixture.AddMount({.mountPoint = "/mnt/nfs", .fsType = "nfs4", .source = "server:/export"});
        fixture.AddMount({.mountPoint = "/mnt/ssh", .fsType = "fuse.sshfs", .source = "u@host:"});
        fixture.AddMount({.mountPoint = "/run", .fsType = "tmpfs"});
        fixture.AddMount({.mountPoint = "/proc", .fsType = "proc"});
        fixture.AddDrive({.name = "loop1", .major = 7, .minor = 1}, "/snap/core/1", "squashfs");
        fixture.AddMount({.mountPoint = "/mnt/bind", .fsType = "ext4", .device = "vda2", .fsRoot = "/home/u/sub"});
        fixture.AddDrive({.name = "sdc1", .disk = "sdc", .major = 8, .minor = 33, .label = "USBHDD"}, "/media/u/USBHDD", "ext4");
        fixture.AddDrive({.name = "sdd1", .disk = "sdd", .major = 8, .minor = 49, .label = "UNDER", .removable = true},
                         "/media/u/TWO");
        fixture.AddDrive({.name = "sde1", .disk = "sde", .major = 8, .minor = 65, .label = "OVER", .removable = true},
                         "/media/u/TWO");
        fixture.AddDrive({.name = "mmcblk0p1", .disk = "mmcblk0", .major = 179, .minor = 1, .mmcType = "SD"},
                         "/media/u/SDSLOT");
        fixture.AddDrive({.name = "mmcblk1p1", .disk = "mmcblk1", .major = 179, .minor = 9, .mmcType = "MMC"},
                         "/media/u/EMMC", "ext4");
        fixture.AddDrive({.name = "loop0", .major = 7, .minor = 0}, "/mnt/loop", "ext4");
        fixture.AddDrive({.name = "zram0", .major = 252, .minor = 0}, "/mnt/zram", "ext4");
        fixture.AddDevice({.name = "nvme0n1p2", .disk = "nvme0n1", .major = 259, .minor = 2});
        fixture.AddMount({.mountPoint = "/data", .fsType = "btrfs", .source = "/dev/nvme0n1p2", .number = "0:33"});
    }

    DriveFixture fixture;
};

TEST_F(MachineDrives, ListsEveryVisibleVolumeButUnknownAndCdRomInRootOrder)
{
    struct Expected {
        const char* root;
        DriveType type;
        const char* label;
    };
    const Expected expected[] = {
        {"/", DriveType::Fixed, ""},
        {"/boot/efi/", DriveType::Fixed, ""},
        {"/data/", DriveType::Fixed, ""},
        {"/media/u/CARD/", DriveType::Removable, "CARD"},
        {"/media/u/EMMC/", DriveType::Fixed, ""},
        {"/media/u/SDSLOT/", DriveType::Removable, ""},
        {"/media/u/TWO/", DriveType::Removable, "OVER"},
        {"/media/u/USBHDD/", DriveType::Fixed, "USBHDD"},
        {"/mnt/loop/", DriveType::Fixed, ""},
        {"/mnt/nfs/", DriveType::Remote, ""},
        {"/mnt/ssh/", DriveType::Remote, ""},
        {"/mnt/zram/", DriveType::RamDisk, ""},
    };
    const std::vector<DriveInfo> listed = Drives(fixture.Sources()).Listed();
    ASSERT_EQ(listed.size(), std::size(expected));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        SCOPED_TRACE(expected[i].root);
        EXPECT_EQ(listed[i].root, QString::fromUtf8(expected[i].root));
        EXPECT_STREQ(TypeName(listed[i].type), TypeName(expected[i].type));
        EXPECT_EQ(listed[i].label, QString::fromUtf8(expected[i].label));
    }
}

TEST_F(MachineDrives, DescribesTheCardEnoughToNameItsDevice)
{
    const std::optional<DriveInfo> card = Drives(fixture.Sources()).Find("/media/u/CARD");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->deviceNumber, makedev(8, 17));
    EXPECT_EQ(card->kernelName, "sdb1");
    EXPECT_EQ(card->diskName, "sdb");
    EXPECT_EQ(card->deviceNode, "/dev/sdb1");
    EXPECT_EQ(card->fsType, "vfat");
    EXPECT_EQ(card->fsUuid, "1234-ABCD");
    EXPECT_EQ(card->sizeBytes, 62521344ull * 512);
}

TEST_F(MachineDrives, FindsBtrfsDeviceThroughItsSourceAndByDeviceNumber)
{
    const Drives drives(fixture.Sources());
    const std::optional<DriveInfo> data = drives.FindDevice(makedev(259, 2));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->root, "/data/");
    EXPECT_EQ(data->kernelName, "nvme0n1p2");
    EXPECT_FALSE(drives.FindDevice(makedev(8, 99)));
}

TEST_F(MachineDrives, TypeOfNamesEveryRootAndNoRootDirForOtherFolders)
{
    const Drives drives(fixture.Sources());
    EXPECT_EQ(drives.TypeOf("/media/u/DVD"), DriveType::CdRom);
    EXPECT_EQ(drives.TypeOf("/run/"), DriveType::Unknown);
    EXPECT_EQ(drives.TypeOf("/media/u/CARD//"), DriveType::Removable);
    EXPECT_EQ(drives.TypeOf("/media/u"), DriveType::NoRootDir);
    EXPECT_EQ(drives.TypeOf("/mnt/bind"), DriveType::NoRootDir);
}

TEST_F(MachineDrives, MountsKeepsEveryLineBindMountsIncluded)
{
    const std::vector<MountRecord> mounts = Drives(fixture.Sources()).Mounts();
    ASSERT_EQ(mounts.size(), 18u);
    EXPECT_EQ(mounts[9].mountPoint, "/mnt/bind/");
    EXPECT_EQ(mounts[9].fsRoot, "/home/u/sub");
}

TEST_F(MachineDrives, ReadsAfreshOnEveryCall)
{
    const Drives drives(fixture.Sources());
    ASSERT_TRUE(drives.Find("/media/u/CARD"));
    fixture.Unplug("/media/u/CARD");
    EXPECT_FALSE(drives.Find("/media/u/CARD"));
    fixture.AddDrive({.name = "sdf1", .disk = "sdf", .major = 8, .minor = 81, .removable = true}, "/media/u/NEW");
    EXPECT_TRUE(drives.Find("/media/u/NEW"));
}

TEST(DriveNames, DecodesEscapesAndSkipsMountPointsThatAreNotUtf8)
{
    DriveFixture fixture;
    fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .label = "MY CARD", .removable = true},
                     "/media/u/MY CARD");
    fixture.AddDrive({.name = "sdc1", .disk = "sdc", .major = 8, .minor = 33, .label = "КАРТА", .removable = true},
                     "/media/u/back\\slash");
    fixture.AddDrive({.name = "sdd1", .disk = "sdd", .major = 8, .minor = 49, .removable = true}, "/media/u/\xff\xfe");

    const std::vector<DriveInfo> listed = Drives(fixture.Sources()).Listed();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].root, "/media/u/MY CARD/");
    EXPECT_EQ(listed[0].label, "MY CARD");
    EXPECT_EQ(listed[1].root, "/media/u/back\\slash/");
    EXPECT_EQ(listed[1].label, QString::fromUtf8("КАРТА"));
}

TEST(DriveNames, NormalizeRootCleansAndEndsWithOneSlash)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/media/u/CARD", "/media/u/CARD/"}, {"/media/u/CARD/", "/media/u/CARD/"},
        {"/media//u/./CARD//", "/media/u/CARD/"}, {"/", "/"}, {"", ""}};
    for (const auto& [path, root] : cases)
        EXPECT_EQ(NormalizeRoot(QString::fromUtf8(path)), QString::fromUtf8(root)) << path;
}

TEST(DriveIdentity, StillMountedOnlyWhileTheSameVolumeIsThere)
{
    DriveFixture fixture;
    fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .uuid = "1234-ABCD", .removable = true},
                     "/media/u/CARD");
    const Drives drives(fixture.Sources());
    const DriveInfo card = *drives.Find("/media/u/CARD");
    EXPECT_TRUE(drives.StillMounted(card));

    fixture.Replace("/media/u/CARD", 8, 17, "9999-0000");
    EXPECT_FALSE(drives.StillMounted(card)) << "another volume";
    fixture.Replace("/media/u/CARD", 8, 33, "1234-ABCD");
    EXPECT_FALSE(drives.StillMounted(card)) << "another device";
    fixture.Replace("/media/u/CARD", 8, 17, "1234-ABCD");
    EXPECT_TRUE(drives.StillMounted(card)) << "the same card again";
    fixture.Unplug("/media/u/CARD");
    EXPECT_FALSE(drives.StillMounted(card)) << "pulled";
}

}  // namespace
