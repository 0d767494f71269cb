#include "settings/CVelmarkSetupData.h"

#include "platform/UserNotifier.h"
#include "settings/SetupFileFixtures.h"
#include "support/DriveFixture.h"
#include "support/FileFixtures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <functional>
#include <map>

using testsupport::DriveFixture;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;
using Kind = CVelmarkSetupData::WriteError::Kind;

namespace {

const QByteArray& DefaultFile = settingstest::DefaultSetupFile;
const QByteArray& TimeFile = settingstest::TimeFile13;

QString Key(const char* name)
{
    return QString::fromLatin1(name).leftJustified(24);
}

QString Line(const char* name, const char* value)
{
    return Key(name) + ": " + QString::fromLatin1(value);
}

// Every entry under folder with its bytes ("<dir>" for folders), to show that
// a failed write changed nothing.
std::map<QString, QByteArray> Snapshot(const QString& folder)
{
    std::map<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries[path] = it.fileInfo().isDir() ? QByteArray("<dir>") : ReadFileBytes(path);
    }
    return entries;
}

// A card: a real temporary folder, listed as a mounted removable volume.
struct Card {
    Card()
    {
        root = fixture.MakeFolder("CARD") + '/';
        fixture.AddDrive(Device(), root.toUtf8());
        drives = std::make_shared<const Drives>(fixture.Sources());
        drive = drives->Find(root).value();
    }

    static testsupport::FixtureDevice Device()
    {
        return {.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .uuid = "1234-ABCD", .removable = true};
    }

    QString Config() const { return root + "TARSIM/config"; }

    DriveFixture fixture;
    QString root;
    std::shared_ptr<const Drives> drives;
    DriveInfo drive;
};

class SetupData : public ::testing::Test {
protected:
    void SetUp() override { UserNotifier::Install(&notifier); }
    void TearDown() override { UserNotifier::Install(nullptr); }

    RecordingNotifier notifier;
    testsupport::ScopedWorkingFolder workingFolder;
};

TEST_F(SetupData, FreshModelWritesTheDefaultFileIntoANewConfigFolder)
{
    ASSERT_EQ(DefaultFile.size(), 651);
    CVelmarkSetupData model;
    EXPECT_EQ(model.basePath, workingFolder.Path());
    EXPECT_EQ(model.MakeFileText(), QString::fromLatin1(DefaultFile).replace("\r\n", "\n"));

    Card card;
    model.SetCard(card.drive, card.drives);
    ASSERT_TRUE(model.Save());
    EXPECT_EQ(model.LastWriteError().kind, Kind::None);
    EXPECT_EQ(ReadFileBytes(card.Config() + "/setup.cfg"), DefaultFile);
    EXPECT_EQ(testsupport::EntryNames(card.Config()), QStringList{"setup.cfg"}) << "no temporary left";
    EXPECT_EQ(testsupport::EntryNames(card.root), QStringList{"TARSIM"});
}

TEST_F(SetupData, ReadTableOfIntKeys)
{
    struct Row {
        const char* name;
        QStringList lines;
        int CVelmarkSetupData::*field;
        int expected;  // Prior: the field kept its value
    };
    constexpr int Prior = 77;
    const QString accKey = Key("Acc Trigger Level");
    const std::vector<Row> rows = {
        {"out of range", {Line("Acc Trigger Level", "7")}, &CVelmarkSetupData::accTriggerLevel, 2},
        {"below range", {Line("LCD Brightness", "0")}, &CVelmarkSetupData::lcdBrightness, 3},
        {"inside range", {Line("Video Quality", "5")}, &CVelmarkSetupData::videoQuality, 5},
        {"unranged", {Line("Time Zone", "40")}, &CVelmarkSetupData::timeZone, 40},
        {"unranged large", {Line("Camera Angle", "99999")}, &CVelmarkSetupData::cameraAngle, 99999},
        {"saturates", {Line("SD Format Year", "999999999999")}, &CVelmarkSetupData::sdFormatYear, 2147483647},
        {"alias", {Line("LCD OFF Time", "2")}, &CVelmarkSetupData::lcdOffTime, 2},
        {"minus", {Line("SPK Vol", "-1")}, &CVelmarkSetupData::spkVol, Prior},
        {"blank before", {Line("SPK Vol", " 3")}, &CVelmarkSetupData::spkVol, Prior},
        {"blank after", {Line("SPK Vol", "3 ")}, &CVelmarkSetupData::spkVol, Prior},
        {"empty", {Line("SPK Vol", "")}, &CVelmarkSetupData::spkVol, Prior},
        {"stray CR", {Line("SPK Vol", "3\r")}, &CVelmarkSetupData::spkVol, Prior},
        {"unpadded key", {"SPK Vol: 3"}, &CVelmarkSetupData::spkVol, Prior},
        {"other case", {Line("spk vol", "3")}, &CVelmarkSetupData::spkVol, Prior},
        {"separator unchecked", {accKey + "xx1"}, &CVelmarkSetupData::accTriggerLevel, 1},
        {"alias then key", {Line("LCD OFF Time", "2"), Line("LCD Off Time", "3")}, &CVelmarkSetupData::lcdOffTime, 3},
        {"key then alias", {Line("LCD Off Time", "3"), Line("LCD OFF Time", "2")}, &CVelmarkSetupData::lcdOffTime, 2},
        {"last wins", {Line("Time Zone", "4"), "", Line("Time Zone", "5")}, &CVelmarkSetupData::timeZone, 5},
    };
    for (const Row& row : rows) {
        CVelmarkSetupData model;
        model.*row.field = Prior;
        model.ApplyLines(row.lines);
        EXPECT_EQ(model.*row.field, row.expected) << row.name;
    }
}

TEST_F(SetupData, ReadTableOfTextKeys)
{
    CVelmarkSetupData model;
    model.ApplyLines({Line("Product Name", "123")});
    EXPECT_EQ(model.productName, "123");
    model.ApplyLines({Line("Product Name", "")});
    EXPECT_EQ(model.productName, "");
    model.ApplyLines({Line("H/W Version", "V2^beta"), Line("S/W Version", " 7 ")});
    EXPECT_EQ(model.hwVersion, "V2^beta");
    EXPECT_EQ(model.swVersion, " 7 ");
}

TEST_F(SetupData, MessyFileIsWrittenBackAsTheNormalisedLines)
{
    Card card;
    WriteFileBytes(card.Config() + "/setup.cfg",
                   "Product Name            : QV7^X\n"
                   "\n"
                   "Unknown Key             : 5\n"
                   "LCD OFF Time            : 2\n"
                   "SPK Vol                 : 3\r\n"
                   "\n"
                   "SPK Vol                 : 4\n"
                   "Video Quality           : 5\n"
                   "Time Zone               : 20");
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    ASSERT_TRUE(model.Load());
    ASSERT_TRUE(model.Save());

    QByteArray expected = DefaultFile;
    expected.replace("Product Name            : QV7\r\n", "Product Name            : QV7^X\r\n");
    expected.replace("LCD Off Time            : 1\r\n", "LCD Off Time            : 2\r\n");
    expected.replace("SPK Vol                 : 2\r\n", "SPK Vol                 : 4\r\n");
    expected.replace("Video Quality           : 8\r\n", "Video Quality           : 5\r\n");
    expected.replace("Time Zone               : 13\r\n", "Time Zone               : 20\r\n");
    EXPECT_EQ(ReadFileBytes(card.Config() + "/setup.cfg"), expected);
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(SetupData, EightBitTextsSurviveAndWiderCharactersBecomeQuestionMarks)
{
    Card card;
    QByteArray high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high.append(static_cast<char>(byte));
    WriteFileBytes(card.Config() + "/setup.cfg", "Product Name            : " + high + "\r\n");
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    model.Load();
    model.hwVersion = QString::fromUtf8("Д");
    ASSERT_TRUE(model.Save());
    const QByteArray written = ReadFileBytes(card.Config() + "/setup.cfg");
    EXPECT_TRUE(written.startsWith("Product Name            : " + high + "\r\nH/W Version             : ?\r\n"));
}

TEST_F(SetupData, TimeFileAtTheCardRootFromTextsOrTheClockOnce)
{
    Card card;
    QDateTime now(QDate(2013, 10, 16), QTime(14, 5, 33));
    CVelmarkSetupData model;
    model.SetClock([&] { return now; });
    model.SetCard(card.drive, card.drives);
    ASSERT_TRUE(model.SaveTimeFile());
    EXPECT_EQ(ReadFileBytes(card.root + "time.cfg"), TimeFile);
    EXPECT_EQ(testsupport::EntryNames(card.root), QStringList{"time.cfg"}) << "not in TARSIM";

    now = now.addSecs(3600 * 30);
    EXPECT_EQ(model.MakeTimeFileText(), "13/10/16\n14:05:33\n") << "filled once";
    model.SetDefaults();
    EXPECT_EQ(model.dateText, "13/10/16");
    EXPECT_EQ(model.timeText, "14:05:33");

    CVelmarkSetupData picked;
    picked.SetClock([] { return QDateTime(QDate(2020, 1, 1), QTime(0, 0)); });
    picked.SetCard(card.drive, card.drives);
    picked.dateText = "13/10/16";
    picked.timeText = "14:05:33";
    QFile::remove(card.root + "time.cfg");
    ASSERT_TRUE(picked.SaveTimeFile());
    EXPECT_EQ(ReadFileBytes(card.root + "time.cfg"), TimeFile);
}

TEST_F(SetupData, UnavailableClockFillsTheTextsAsTheRecorderToolDid)
{
    CVelmarkSetupData model;
    model.SetClock([] { return QDateTime(); });
    EXPECT_EQ(model.GetDateText(), "-2000/00/00");
    EXPECT_EQ(model.GetTimeText(), "-01:-01:-01");
}

TEST_F(SetupData, FailedWritesReportTheirKindAndLeaveTheCardAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(Card&, CVelmarkSetupData&)> arrange;
        bool timeFile;
        Kind kind;
    };
    const std::vector<Case> cases = {
        {"file named TARSIM", [](Card& card, CVelmarkSetupData&) { WriteFileBytes(card.root + "TARSIM", "x"); }, false,
         Kind::Folder},
        {"missing base path", [](Card& card, CVelmarkSetupData& model) { model.SetBasePath(card.root + "gone"); }, false,
         Kind::Folder},
        {"missing base path, time file",
         [](Card& card, CVelmarkSetupData& model) { model.SetBasePath(card.root + "gone"); }, true, Kind::Folder},
        {"card pulled", [](Card& card, CVelmarkSetupData&) { card.fixture.Unplug(card.root); }, false, Kind::CardGone},
        {"card pulled, time file", [](Card& card, CVelmarkSetupData&) { card.fixture.Unplug(card.root); }, true,
         Kind::CardGone},
        {"another card", [](Card& card, CVelmarkSetupData&) { card.fixture.Replace(card.root, 8, 17, "9999-0000"); },
         false, Kind::CardGone},
        {"no base path", [](Card&, CVelmarkSetupData& model) { model.SetBasePath(QString()); }, false, Kind::NoCard},
        {"no base path, time file", [](Card&, CVelmarkSetupData& model) { model.SetBasePath(QString()); }, true,
         Kind::NoCard},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        WriteFileBytes(card.root + "DCIM/keep.avi", "video");
        CVelmarkSetupData model;
        model.SetCard(card.drive, card.drives);
        c.arrange(card, model);
        const auto before = Snapshot(card.root);
        EXPECT_FALSE(c.timeFile ? model.SaveTimeFile() : model.Save());
        EXPECT_EQ(model.LastWriteError().kind, c.kind);
        EXPECT_EQ(Snapshot(card.root), before);
    }
}

TEST_F(SetupData, FileSizeLimitFailsTheWriteAndKeepsTheOldFile)
{
    Card card;
    WriteFileBytes(card.Config() + "/setup.cfg", "old\r\n");
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    const auto before = Snapshot(card.root);
    {
        testsupport::ScopedFileSizeLimit limit(100);
        EXPECT_FALSE(model.Save());
    }
    EXPECT_EQ(model.LastWriteError().kind, Kind::Write);
    EXPECT_EQ(model.LastWriteError().path, card.Config() + "/setup.cfg");
    EXPECT_EQ(model.LastWriteError().error, EFBIG);
    EXPECT_EQ(Snapshot(card.root), before);
}

TEST_F(SetupData, SameCardRemountedIsWrittenAgain)
{
    Card card;
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    card.fixture.Unplug(card.root);
    EXPECT_FALSE(model.Save());
    card.fixture.AddDrive(Card::Device(), card.root.toUtf8());
    EXPECT_TRUE(model.Save());
    EXPECT_EQ(ReadFileBytes(card.Config() + "/setup.cfg"), DefaultFile);
}

TEST_F(SetupData, EmptyBasePathReadsNothingFromTheWorkingFolder)
{
    WriteFileBytes(workingFolder.Path() + "/TARSIM/config/setup.cfg", Line("SPK Vol", "4").toLatin1() + "\r\n");
    CVelmarkSetupData model;
    model.SetBasePath(QString());
    EXPECT_TRUE(model.Load());
    EXPECT_EQ(model.spkVol, 2);
    EXPECT_EQ(notifier.Count(), 0u);
    EXPECT_FALSE(model.Save());
    EXPECT_EQ(model.LastWriteError().kind, Kind::NoCard);
}

TEST_F(SetupData, UnreadableSetupFileShowsOneBoxAndKeepsTheFields)
{
    Card card;
    QDir().mkpath(card.Config() + "/setup.cfg");
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    model.spkVol = 4;
    EXPECT_TRUE(model.Load());
    EXPECT_EQ(model.spkVol, 4);
    ASSERT_EQ(notifier.Count(), 1u);
    EXPECT_EQ(notifier.Boxes()[0].kind, RecordingNotifier::Kind::FileError);
}

TEST_F(SetupData, SetDefaultsForgetsTheCardAndReturnsToTheWorkingFolder)
{
    Card card;
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    model.spkVol = 0;
    model.SetDefaults();
    EXPECT_FALSE(model.Card());
    EXPECT_EQ(model.basePath, workingFolder.Path());
    EXPECT_EQ(model.spkVol, 2);
}

}  // namespace

namespace {

TEST(SetupDataErrors, FailuresCarryTheirOwnErrorAndTheLogLineKeepsAPercentInThePath)
{
    EXPECT_EQ(CVelmarkSetupData::WriteFailureText("/media/%1 card/TARSIM", 20),
              "cannot write /media/%1 card/TARSIM (20)");
    EXPECT_EQ(CVelmarkSetupData::WriteFailureText("/media/x%2%1", -1), "cannot write /media/x%2%1 (-1)");

    // A file where the folder belongs: ENOTDIR, whatever errno holds after.
    Card card;
    WriteFileBytes(card.root + "TARSIM", "x");
    CVelmarkSetupData model;
    model.SetCard(card.drive, card.drives);
    errno = EACCES;
    EXPECT_FALSE(model.Save());
    EXPECT_EQ(model.LastWriteError().kind, Kind::Folder);
    EXPECT_EQ(model.LastWriteError().error, ENOTDIR);
    // The time file into a folder that is a file.
    EXPECT_EQ(CSetupDataEx::WriteTextFileError("time.cfg", card.root + "TARSIM", "t"), ENOTDIR);
    EXPECT_EQ(CSetupDataEx::WriteTextFileError("", card.root, "t"), EINVAL);
    EXPECT_EQ(CSetupDataEx::WriteTextFileError("time.cfg", card.root, "t"), 0);
}

}  // namespace
