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
    using P = FormatProblem;
    struct Case {
        const char* name;
        const char* root;
        std::function<void(DriveFixture&)> change;  // between listing and the check
        const char* reason;                         // empty: allowed
        FormatProblem problem;
    };
    const std::vector<Case> cases = {
        {"removable card", "/media/u/CARD", {}, "", P::None},
        {"the / device", "/", {}, "system folder /", P::SystemUse},
        {"sibling mounted at /boot", "/media/u/SDBOOT", {}, "system folder /boot/", P::SystemUse},
        {"sibling is an active swap", "/media/u/SWAPPY", {}, "swap", P::SystemUse},
        {"bind-mounted at /srv", "/media/u/BOUND", {}, "system folder /srv/", P::SystemUse},
        {"holder on top", "/media/u/HELD", {}, "in use by another device", P::SystemUse},
        {"read-only card", "/media/u/LOCKED", {}, "read-only", P::ReadOnly},
        {"fixed USB disk", "/media/u/USBHDD", {}, "not a removable card", P::NotRemovable},
        {"RAM disk", "/mnt/zram", {}, "not a removable card", P::NotRemovable},
        {"network share", "/mnt/nfs", {}, "not a removable card", P::NotRemovable},
        {"device number changed", "/media/u/CARD",
         [](DriveFixture& f) { f.Replace("/media/u/CARD", 8, 49, "1234-ABCD"); }, "another device", P::Changed},
        {"UUID changed", "/media/u/CARD", [](DriveFixture& f) { f.Replace("/media/u/CARD", 8, 17, "5555-0000"); },
         "has changed", P::Changed},
        {"root gone", "/media/u/CARD", [](DriveFixture& f) { f.Unplug("/media/u/CARD"); }, "nothing is mounted",
         P::Gone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DriveFixture fixture;
        AddMachine(fixture);
        const DriveInfo drive = At(fixture, c.root);
        if (c.change)
            c.change(fixture);
        const std::optional<FormatRefusal> refusal = FormatGuard::Check(drive, Drives(fixture.Sources()));
        if (*c.reason == '\0') {
            EXPECT_FALSE(refusal) << refusal.value_or(FormatRefusal{}).reason.toStdString();
        } else {
            ASSERT_TRUE(refusal);
            EXPECT_TRUE(refusal->reason.contains(QString::fromUtf8(c.reason))) << refusal->reason.toStdString();
            EXPECT_EQ(refusal->problem, c.problem);
        }
    }
    const std::optional<FormatRefusal> none = FormatGuard::Check(DriveInfo{}, Drives(DriveFixture().Sources()));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->problem, P::NotChosen);
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
    EXPECT_EQ(outcomes[0].problem, FormatProblem::NotRemovable);
    EXPECT_FALSE(outcomes[1].ok);
    EXPECT_EQ(outcomes[1].problem, FormatProblem::SystemUse);

    guarded.Format(At(fixture, "/media/u/CARD"), "Tarsim", record);
    ASSERT_TRUE(testsupport::RunUntil([&] { return outcomes.size() == 3; }));
    ASSERT_EQ(fake.Calls().size(), 1u);
    EXPECT_EQ(fake.Calls()[0].method, FakeCardFormatter::Method::Format);
    EXPECT_EQ(fake.Calls()[0].drive.root, "/media/u/CARD/");
    EXPECT_TRUE(outcomes[2].ok);
}

}  // namespace
