#include "settings/SettingsDialogRules.h"

#include "core/Common.h"
#include "platform/UserNotifier.h"

#include <gtest/gtest.h>
#include <cerrno>

namespace {

QString Text(int id)
{
    return Common::GetResourceString(id);
}

TEST(SettingsDialogRules, FormatButtonIsOnForRemovableCardsAndRamDisksOnly)
{
    const std::vector<std::pair<DriveType, bool>> rows = {
        {DriveType::Removable, true}, {DriveType::RamDisk, true},  {DriveType::Fixed, false},
        {DriveType::Remote, false},   {DriveType::CdRom, false},   {DriveType::Unknown, false},
        {DriveType::NoRootDir, false},
    };
    for (const auto& [type, enabled] : rows)
        EXPECT_EQ(FormatButtonEnabled(type), enabled) << static_cast<int>(type);
}

TEST(SettingsDialogRules, WriteFailuresAreWordedByKind)
{
    using Kind = CVelmarkSetupData::WriteError::Kind;
    const QString path = "/media/u/CARD/TARSIM";
    EXPECT_EQ(WriteFailureText({Kind::None, QString(), 0}), "");
    EXPECT_EQ(WriteFailureText({Kind::NoCard, QString(), 0}), "Выберите диск для файла конфигурации.");
    EXPECT_EQ(WriteFailureText({Kind::CardGone, path, 0}), Text(7003));
    EXPECT_EQ(WriteFailureText({Kind::Folder, path, ENOTDIR}),
              "Не удалось создать папку.\n" + UserNotifier::FileErrorText(path, ENOTDIR));
    EXPECT_EQ(WriteFailureText({Kind::Write, path + "/config/setup.cfg", ENOSPC}),
              UserNotifier::FileErrorText(path + "/config/setup.cfg", ENOSPC));
}

TEST(SettingsDialogRules, FormatOutcomesAreWordedByProblemAndNotice)
{
    const std::vector<std::pair<FormatProblem, int>> failures = {
        {FormatProblem::NotChosen, 297},    {FormatProblem::Gone, 7003},      {FormatProblem::Changed, 7008},
        {FormatProblem::NotRemovable, 7009}, {FormatProblem::ReadOnly, 7010}, {FormatProblem::SystemUse, 7011},
        {FormatProblem::Busy, 7012},        {FormatProblem::NotAuthorized, 7013}, {FormatProblem::Unavailable, 7014},
    };
    for (const auto& [problem, id] : failures) {
        const QString text = FormatOutcomeText(CardFormatter::Failure(problem, "english"));
        EXPECT_EQ(text, Text(id)) << id;
        EXPECT_FALSE(text.isEmpty()) << id;
    }
    EXPECT_EQ(FormatOutcomeText(CardFormatter::Failure(FormatProblem::Failed, "mkfs failed")), "");
    EXPECT_EQ(FormatOutcomeText(CardFormatter::Success()), "");
    EXPECT_EQ(FormatOutcomeText(CardFormatter::Success({}, FormatNotice::Fat16, "note")),
              "Карта памяти меньше 512 МБ отформатирована в FAT16.");
    EXPECT_EQ(FormatOutcomeText(CardFormatter::Success({}, FormatNotice::NotRemounted, "note")), Text(7006));

    EXPECT_EQ(WithReason("head", ""), "head");
    EXPECT_EQ(WithReason("head", "why"), "head\nwhy");
}

TEST(SettingsDialogRules, SecondQuestionNamesTheDeviceEntryAndSize)
{
    DriveInfo drive;
    drive.deviceNode = "/dev/sdb1";
    drive.sizeBytes = 31914983424ull;
    EXPECT_EQ(FormatConfirmationText(drive, "CARD(/media/u/CARD/)"),
              "Все данные на устройстве /dev/sdb1 (CARD(/media/u/CARD/), 31.9 ГБ) будут удалены.\n"
              "Форматировать его в FAT32 с меткой Tarsim?");
    drive.sizeBytes = 256ull << 20;
    EXPECT_TRUE(FormatConfirmationText(drive, "%1(/m/)").contains("(%1(/m/), 0.3 ГБ)"));
}

TEST(SettingsDialogRules, PickerTextsRoundTripAndOthersDenoteNothing)
{
    EXPECT_EQ(DateFromText("13/10/16"), QDate(2013, 10, 16));
    EXPECT_EQ(DateFromText("99/12/31"), QDate(2099, 12, 31));
    EXPECT_EQ(DateFromText("00/01/01"), QDate(2000, 1, 1));
    for (const char* text : {"-2000/00/00", "13/13/01", "13/02/30", "1/10/16", "13/10/16 ", "13-10-16", "", "+1/10/16"})
        EXPECT_FALSE(DateFromText(text)) << text;
    EXPECT_EQ(TimeFromText("14:05:33"), QTime(14, 5, 33));
    EXPECT_EQ(TimeFromText("00:00:00"), QTime(0, 0, 0));
    for (const char* text : {"-01:-01:-01", "24:00:00", "14:60:00", "14:05", "4:05:33"})
        EXPECT_FALSE(TimeFromText(text)) << text;

    EXPECT_EQ(DateText(QDate(2013, 10, 16)), "13/10/16");
    EXPECT_EQ(DateText(QDate(2000, 1, 5)), "00/01/05");
    EXPECT_EQ(TimeText(QTime(4, 5, 6)), "04:05:06");
    EXPECT_EQ(TimeText(QTime(23, 59, 59)), "23:59:59");
}

}  // namespace
