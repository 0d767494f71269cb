#include "settings/CVelmarkSetupData.h"
#include "settings/DriveListEntries.h"

#include "support/DriveFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(DriveListEntries, TextsInListOrderParseBackToTheirItemRoots)
{
    testsupport::DriveFixture fixture;
    fixture.AddDrive({.name = "vda2", .disk = "vda", .major = 254, .minor = 2}, "/", "ext4");
    fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .label = "CARD", .removable = true},
                     "/media/u/CARD");
    fixture.AddDrive({.name = "sdc1", .disk = "sdc", .major = 8, .minor = 33, .removable = true}, "/media/u/1234-ABCD");
    fixture.AddDrive({.name = "sdd1", .disk = "sdd", .major = 8, .minor = 49, .label = "CAR(1)", .removable = true},
                     "/media/u/CAR(1)");
    fixture.AddDrive({.name = "sr0", .major = 11, .minor = 0, .removable = true}, "/media/u/DVD", "iso9660");

    const std::vector<DriveListEntry> entries = DriveListEntries(Drives(fixture.Sources()));
    const char* texts[] = {"(/)", "(/media/u/1234-ABCD/)", "CAR(1)(/media/u/CAR(1)/)", "CARD(/media/u/CARD/)"};
    ASSERT_EQ(entries.size(), std::size(texts));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].text, texts[i]);
        CVelmarkSetupData model;
        model.SetBasePathFromDriveText(entries[i].text);
        EXPECT_EQ(model.basePath, entries[i].drive.root) << texts[i];
    }
}

TEST(DriveListEntries, TextsWithoutAnEntryRoot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/media/u/CARD/", "/media/u/CARD/"}, {"", ""}, {"abc(d", ""}, {"CARD(E:\\)", ""}, {"CARD(/media/u/CARD/", ""}};
    for (const auto& [text, root] : cases)
        EXPECT_EQ(DriveRootFromEntryText(text), root) << text;
}

}  // namespace
