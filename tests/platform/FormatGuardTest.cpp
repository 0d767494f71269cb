#include "platform/CardFormatter.h"
#include "platform/FormatGuard.h"

#include "support/DriveFixture.h"
#include "support/EventLoop.h"
#include "support/FakeCardFormatter.h"

#include <gtest/gtest.h>
#include <functional>

using testsupport::DriveFixture;
using testsupport::FakeCardFormatter;

namespace {

// Cards in every state the guard must tell apart, on a machine booted from a
// removable stick (so only the system mounts, not the type, stop that one).
void AddMachine(DriveFixture& fixture)
{
    fixture.AddDrive({.name = "sde1", .disk = "sde", .major = 8, .minor = 65, .removable = true}, "/", "ext4");
    fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .uuid = "1234-ABCD", .removable = true},
                     "/media/u/CARD");
    fixture.AddDrive({.name = "mmcblk0p1", .disk = "mmcblk0", .major = 179, .minor = 1, .mmcType = "SD"},
                     "/media/u/SDBOOT");
    fixture.AddDrive({.name = "mmcblk0p2", .disk = "mmcblk0", .major = 179, .minor = 2, .mmcType = "SD"}, "/boot",
                     "ext4");
    fixture.AddDrive({.name = "sdf1", .disk = "sdf", .major = 8, .minor = 81, .removable = true}, "/media/u/SWAPPY");
    fixture.AddDevice({.name = "sdf2", .disk = "sdf", .major = 8, .minor = 82, .removable = true});
    fixture.AddSwap("/dev/sdf2");
    fixture.AddDrive({.name = "sdg1", .disk = "sdg", .major = 8, .minor = 97, .removable = true, .holders = {"dm-0"}},
                     "/media/u/HELD");
    fixture.AddDrive({.name = "sdh1", .disk = "sdh", .major = 8, .minor = 113, .removable = true, .readOnly = true},
                     "/media/u/LOCKED");
    fixture.AddDrive({.name = "sdc1", .disk = "sdc", .major = 8, .minor = 33}, "/media/u/USBHDD", "ext4");
    fixture.AddDrive({.name = "zram0", .major = 252, .minor = 0}, "/mnt/zram", "ext4");
    fixture.AddMount({.mountPoint = "/mnt/nfs", .fsType = "nfs4", .source = "server:/export"});
    fixture.AddDrive({.name = "sdi1", .disk = "sdi", .major = 8, .minor = 129, .removable = true}, "/media/u/BOUND");
    fixture.AddMount({.mountPoint = "/srv", .device = "sdi1", .fsRoot = "/www"});
}

DriveInfo At(const DriveFixture& fixture, const char* root)
{
    const std::optional<DriveInfo> drive = Drives(fixture.Sources()).Find(root);
    EXPECT_TRUE(drive) << root;
    return drive.value_or(DriveInfo{});
}

TEST(FormatGuard, AllowsOnlyAnUnusedRemovableCardStillMountedWhereListed)
{
    struct Case {
        const char* name;
        const char* root;
        std::function<void(DriveFixture&)> change;  // between listing and the check
        const char* reason;                         // empty: allowed
    };
    const std::vector<Case> cases = {
        {"removable card", "/media/u/CARD", {}, ""},
        {"the / device", "/", {}, "system folder /"},
        {"sibling mounted at /boot", "/media/u/SDBOOT", {}, "system folder /boot/"},
        {"sibling is an active swap", "/media/u/SWAPPY", {}, "swap"},
        {"bind-mounted at /srv", "/media/u/BOUND", {}, "system folder /srv/"},
        {"holder on top", "/media/u/HELD", {}, "in use by another device"},
        {"read-only card", "/media/u/LOCKED", {}, "read-only"},
        {"fixed USB disk", "/media/u/USBHDD", {}, "not a removable card"},
        {"RAM disk", "/mnt/zram", {}, "not a removable card"},
        {"network share", "/mnt/nfs", {}, "not a removable card"},
        {"device number changed", "/media/u/CARD",
         [](DriveFixture& f) { f.Replace("/media/u/CARD", 8, 49, "1234-ABCD"); }, "another device"},
        {"UUID changed", "/media/u/CARD", [](DriveFixture& f) { f.Replace("/media/u/CARD", 8, 17, "5555-0000"); },
         "has changed"},
        {"root gone", "/media/u/CARD", [](DriveFixture& f) { f.Unplug("/media/u/CARD"); }, "nothing is mounted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriveFixture fixture;
        AddMachine(fixture);
        const DriveInfo drive = At(fixture, c.root);
        if (c.change)
            c.change(fixture);
        const std::optional<QString> reason = FormatGuard::Check(drive, Drives(fixture.Sources()));
        if (*c.reason == '\0') {
            EXPECT_FALSE(reason) << reason.value_or(QString()).toStdString();
        } else {
            ASSERT_TRUE(reason);
            EXPECT_TRUE(reason->contains(QString::fromUtf8(c.reason))) << reason->toStdString();
        }
    }
}

TEST(FormatGuard, GuardedFormatterReachesTheInnerOneOnlyWhenAllowed)
{
    DriveFixture fixture;
    AddMachine(fixture);
    auto drives = std::make_shared<const Drives>(fixture.Sources());
    auto inner = std::make_unique<FakeCardFormatter>();
    FakeCardFormatter& fake = *inner;
    GuardedCardFormatter guarded(drives, std::move(inner));

    std::vector<FormatOutcome> outcomes;
    auto record = [&](const FormatOutcome& outcome) { outcomes.push_back(outcome); };
    guarded.Format(At(fixture, "/media/u/USBHDD"), "Tarsim", record);
    guarded.SetLabel(At(fixture, "/"), "Tarsim", record);
    EXPECT_TRUE(outcomes.empty()) << "a refusal, too, arrives later";
    ASSERT_TRUE(testsupport::RunUntil([&] { return outcomes.size() == 2; }));
    EXPECT_TRUE(fake.Calls().empty());
    EXPECT_FALSE(outcomes[0].ok);
    EXPECT_FALSE(outcomes[1].ok);

    guarded.Format(At(fixture, "/media/u/CARD"), "Tarsim", record);
    ASSERT_TRUE(testsupport::RunUntil([&] { return outcomes.size() == 3; }));
    ASSERT_EQ(fake.Calls().size(), 1u);
    EXPECT_EQ(fake.Calls()[0].method, FakeCardFormatter::Method::Format);
    EXPECT_EQ(fake.Calls()[0].drive.root, "/media/u/CARD/");
    EXPECT_TRUE(outcomes[2].ok);
}

}  // namespace
