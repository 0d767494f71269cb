#include "core/OptionRecord.h"
#include "platform/Paths.h"

#include "support/FileFixtures.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

const QByteArray kDefaultsHead = "[DIRECTORY]\r\n"
                                 "ROOT_DIRECTORY=CL_KESTROV\r\n"
                                 "EVENT_DIRECTORY=MP4_EVENT\r\n"
                                 "CONTINUOS_DIRECTORY=MP4_INFINITE\r\n"
                                 "[OPTION]\r\n"
                                 "SAVE_DIRECTORY=";
const QByteArray kDefaultsTail = "\r\n"
                                 "DRIVE_PATH=\r\n"
                                 "PLAY_VALUE=5\r\n"
                                 "USE_LOG=FALSE\r\n"
                                 "LOG_LEVEL=3\r\n"
                                 "LOG_TYPE=3\r\n"
                                 "CH1_VERTICAL_FLIP=FALSE\r\n"
                                 "CH1_HORIZONTAL_FLIP=FALSE\r\n"
                                 "CH2_VERTICAL_FLIP=FALSE\r\n"
                                 "CH2_HORIZONTAL_FLIP=FALSE\r\n";

// A fresh working folder; HOME and XDG_CONFIG_HOME on temporary folders.
class OptionIni : public ::testing::Test {
protected:
    ScopedWorkingFolder working;
    QTemporaryDir home;
    QTemporaryDir config;
    ScopedEnv homeVariable{"HOME", home.path()};
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.path()};
    QString iniPath = config.path() + QStringLiteral("/KestrovViewer/option.ini");

    OptionRecord LoadWith(const QByteArray& bytes)
    {
        WriteFileBytes(iniPath, bytes);
        return OptionRecord::LoadOptionIni();
    }
    OptionRecord LoadWithOption(const QByteArray& line)
    {
        return LoadWith("[OPTION]\r\n" + line + "\r\n");
    }
};

TEST_F(OptionIni, FirstStartWritesTheExactDefaultsOnlyInTheConfigFolder)
{
    const OptionRecord record = OptionRecord::LoadOptionIni();
    EXPECT_EQ(OptionRecord::FilePath(), iniPath);
    const QString documents = Paths::DocumentsFolder();
    EXPECT_EQ(record.GetSaveDirectory(), documents);
    EXPECT_EQ(ReadFileBytes(iniPath), kDefaultsHead + documents.toUtf8() + kDefaultsTail);
    EXPECT_TRUE(EntryNames(working.Path()).isEmpty());
    EXPECT_EQ(EntryNames(config.path() + QStringLiteral("/KestrovViewer")), QStringList{QStringLiteral("option.ini")});
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(config.path() + QStringLiteral("/KestrovViewer")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(OptionIni, MissingConfigHomeParentsAreCreated)
{
    ScopedEnv unsetXdg("XDG_CONFIG_HOME", std::nullopt);
    OptionRecord::LoadOptionIni();
    EXPECT_TRUE(Exists(home.path() + QStringLiteral("/.config/KestrovViewer/option.ini")));
}

TEST_F(OptionIni, WithoutHomeOrConfigHomeRunsOnTheDefaultsAndWritesNothing)
{
    ScopedEnv noHome("HOME", std::nullopt);
    ScopedEnv noXdg("XDG_CONFIG_HOME", std::nullopt);
    const OptionRecord record = OptionRecord::LoadOptionIni();
    EXPECT_EQ(OptionRecord::FilePath(), QString());
    EXPECT_EQ(record.GetRootDirectory(), QStringLiteral("CL_KESTROV"));
    EXPECT_EQ(record.playValue, 5);
    EXPECT_FALSE(record.useLog);
    EXPECT_FALSE(record.Save());
    EXPECT_TRUE(EntryNames(working.Path()).isEmpty());
    EXPECT_TRUE(EntryNames(config.path()).isEmpty());
    EXPECT_TRUE(EntryNames(home.path()).isEmpty());
}

TEST_F(OptionIni, DefaultsAndGetters)
{
    const OptionRecord record;
    EXPECT_EQ(record.GetEventDirectory(), QStringLiteral("MP4_EVENT"));
    EXPECT_EQ(record.GetContinuousDirectory(), QStringLiteral("MP4_INFINITE"));
    EXPECT_EQ(record.GetRootDirectory(), QStringLiteral("CL_KESTROV"));
    EXPECT_EQ(record.GetCaptureFolderName(), QStringLiteral("CAM_CAPTURE"));
    EXPECT_EQ(record.GetDrivePath(), QString());
    EXPECT_EQ(record.GetUseLogText(), QStringLiteral("FALSE"));
    EXPECT_EQ(record.GetCh1VerticalFlipText(), QStringLiteral("FALSE"));
    EXPECT_EQ(record.logLevel, 3);
    EXPECT_EQ(record.logType, 3);
    OptionRecord copy = record;
    copy.ch2HorizontalFlip = true;
    EXPECT_EQ(copy.GetCh2HorizontalFlipText(), QStringLiteral("TRUE"));
    EXPECT_EQ(record.GetCh2HorizontalFlipText(), QStringLiteral("FALSE"));
}

struct PlayCase {
    std::optional<const char*> value;
    int expected;
};

class OptionIniPlayValue : public OptionIni, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(OptionIniPlayValue, OneToTenElseFive)
{
    const auto value = GetParam().value;
    const OptionRecord record =
        value ? LoadWithOption(QByteArray("PLAY_VALUE=") + *value) : LoadWithOption("OTHER=1");
    EXPECT_EQ(record.playValue, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionIniPlayValue,
    ::testing::Values(PlayCase{"0", 5}, PlayCase{"11", 5}, PlayCase{"99", 5}, PlayCase{"10", 10},
                      PlayCase{"abc", 5}, PlayCase{std::nullopt, 5}, PlayCase{"-3", 5}, PlayCase{" 7 ", 7},
                      PlayCase{"99999999999", 5}, PlayCase{"1", 1}));

struct FlagCase {
    std::optional<const char*> value;
    bool expected;
};

class OptionIniUseLog : public OptionIni, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(OptionIniUseLog, TrueInAnyAsciiCase)
{
    const auto value = GetParam().value;
    const OptionRecord record = value ? LoadWithOption(QByteArray("USE_LOG=") + *value) : LoadWithOption("OTHER=1");
    EXPECT_EQ(record.useLog, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionIniUseLog,
    ::testing::Values(FlagCase{"true", true}, FlagCase{"True", true}, FlagCase{"TRUE", true}, FlagCase{"1", false},
                      FlagCase{"yes", false}, FlagCase{std::nullopt, false}));

struct LevelCase {
    const char* value;
    int expected;
};

class OptionIniLogLevel : public OptionIni, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(OptionIniLogLevel, NumberOrUnchanged)
{
    const OptionRecord record = LoadWithOption(QByteArray("LOG_LEVEL=") + GetParam().value);
    EXPECT_EQ(record.logLevel, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionIniLogLevel,
    ::testing::Values(LevelCase{"5", 5}, LevelCase{"x", 3}, LevelCase{"99999999999", 2147483647}));

TEST_F(OptionIni, AllFlagsAndLogTypeAreRead)
{
    const OptionRecord record = LoadWith("[option]\r\nlog_type=2\r\nCH1_VERTICAL_FLIP=true\r\n"
                                         "CH1_HORIZONTAL_FLIP=TRUE\r\nCH2_VERTICAL_FLIP=True\r\nCH2_HORIZONTAL_FLIP=tRUE\r\n");
    EXPECT_EQ(record.logType, 2);
    EXPECT_TRUE(record.ch1VerticalFlip);
    EXPECT_TRUE(record.ch1HorizontalFlip);
    EXPECT_TRUE(record.ch2VerticalFlip);
    EXPECT_TRUE(record.ch2HorizontalFlip);
}

TEST_F(OptionIni, FoldersMustExist)
{
    QTemporaryDir card;
    const QString mount = card.path() + QLatin1Char('/');
    OptionRecord record = LoadWith("[OPTION]\r\nSAVE_DIRECTORY=" + QFile::encodeName(card.path())
                                   + "\r\nDRIVE_PATH=" + QFile::encodeName(mount) + "\r\n");
    EXPECT_EQ(record.GetSaveDirectory(), card.path());
    EXPECT_EQ(record.GetDrivePath(), mount);

    record = LoadWith("[OPTION]\r\nSAVE_DIRECTORY=/no/such/folder\r\nDRIVE_PATH=/no/such/card/\r\n");
    EXPECT_EQ(record.GetSaveDirectory(), Paths::WorkingFolder());
    EXPECT_EQ(record.GetDrivePath(), QString());

    record = LoadWith("[OPTION]\r\nSAVE_DIRECTORY=\r\nDRIVE_PATH=\r\n");
    EXPECT_EQ(record.GetSaveDirectory(), Paths::WorkingFolder());
    EXPECT_EQ(record.GetDrivePath(), QString());

    // A file is not a folder.
    WriteFileBytes(working.Path() + QStringLiteral("/plain"), "x");
    record = LoadWith("[OPTION]\r\nDRIVE_PATH=" + QFile::encodeName(working.Path() + QStringLiteral("/plain")) + "\r\n");
    EXPECT_EQ(record.GetDrivePath(), QString());
}

TEST_F(OptionIni, MissingRootDirectoryIsWrittenBackEmpty)
{
    OptionRecord record = LoadWith("[DIRECTORY]\r\nEVENT_DIRECTORY=E\r\n");
    EXPECT_EQ(record.GetRootDirectory(), QString());
    EXPECT_EQ(record.GetContinuousDirectory(), QString());
    ASSERT_TRUE(record.Save());
    const QByteArray bytes = ReadFileBytes(iniPath);
    EXPECT_TRUE(bytes.startsWith("[DIRECTORY]\r\nEVENT_DIRECTORY=E\r\nROOT_DIRECTORY=\r\nCONTINUOS_DIRECTORY=\r\n"))
        << bytes.toStdString();
}

TEST_F(OptionIni, SaveRewritesKeysInPlaceAndKeepsForeignLines)
{
    OptionRecord record = LoadWith("; kept\r\n[OPTION]\r\nPLAY_VALUE=7\r\nMINE=1\r\n");
    record.playValue = 9;
    ASSERT_TRUE(record.Save());
    const QByteArray bytes = ReadFileBytes(iniPath);
    EXPECT_TRUE(bytes.startsWith("; kept\r\n[OPTION]\r\nPLAY_VALUE=9\r\nMINE=1\r\nSAVE_DIRECTORY=")) << bytes.toStdString();
    EXPECT_TRUE(bytes.endsWith("[DIRECTORY]\r\nROOT_DIRECTORY=\r\nEVENT_DIRECTORY=\r\nCONTINUOS_DIRECTORY=\r\n"))
        << bytes.toStdString();
}

TEST_F(OptionIni, AValueHoldingALineBreakIsWrittenEmpty)
{
    OptionRecord record = OptionRecord::LoadOptionIni();
    record.rootDirectory = QStringLiteral("evil\r\n[OPTION]\r\nUSE_LOG=TRUE");
    record.saveDirectory = QStringLiteral("/tmp/a\nb");
    ASSERT_TRUE(record.Save());
    const QByteArray bytes = ReadFileBytes(iniPath);
    EXPECT_TRUE(bytes.contains("\r\nROOT_DIRECTORY=\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nSAVE_DIRECTORY=\r\n"));
    EXPECT_EQ(bytes.count("USE_LOG="), 1);
    const OptionRecord loaded = OptionRecord::LoadOptionIni();
    EXPECT_FALSE(loaded.useLog);
    EXPECT_EQ(loaded.GetRootDirectory(), QString());
    EXPECT_EQ(loaded.GetSaveDirectory(), Paths::WorkingFolder());
}

TEST_F(OptionIni, CyrillicFolderNamesRoundTrip)
{
    const QString folder = working.Path() + QString::fromUtf8("/Записи камеры");
    ASSERT_TRUE(QDir().mkpath(folder));
    OptionRecord record = OptionRecord::LoadOptionIni();
    record.saveDirectory = folder;
    record.drivePath = folder + QLatin1Char('/');
    record.eventDirectory = QString::fromUtf8("СОБЫТИЯ");
    ASSERT_TRUE(record.Save());
    const OptionRecord loaded = OptionRecord::LoadOptionIni();
    EXPECT_EQ(loaded.GetSaveDirectory(), folder);
    EXPECT_EQ(loaded.GetDrivePath(), folder + QLatin1Char('/'));
    EXPECT_EQ(loaded.GetEventDirectory(), QString::fromUtf8("СОБЫТИЯ"));
    EXPECT_TRUE(ReadFileBytes(iniPath).contains(folder.toUtf8()));
}

TEST_F(OptionIni, AFailedSaveLeavesTheOldFileWhole)
{
    OptionRecord record = OptionRecord::LoadOptionIni();
    const QByteArray old = ReadFileBytes(iniPath);
    record.rootDirectory = QString(2000, QLatin1Char('r'));
    bool saved = true;
    {
        ScopedFileSizeLimit limit(static_cast<rlim_t>(old.size()));
        saved = record.Save();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFileBytes(iniPath), old);
    EXPECT_EQ(EntryNames(config.path() + QStringLiteral("/KestrovViewer")), QStringList{QStringLiteral("option.ini")});
}

TEST_F(OptionIni, AnOptionIniThatCannotBeReadIsNotReplaced)
{
    // A FIFO stands for any file that is there but cannot be read whole.
    ASSERT_TRUE(QDir().mkpath(config.path() + QStringLiteral("/KestrovViewer")));
    ASSERT_EQ(mkfifo(QFile::encodeName(iniPath).constData(), 0600), 0);
    OptionRecord record = OptionRecord::LoadOptionIni();
    EXPECT_FALSE(record.Save());
    struct stat info {};
    ASSERT_EQ(lstat(QFile::encodeName(iniPath).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(unlink(QFile::encodeName(iniPath).constData()), 0);

    if (geteuid() == 0) {
        return;  // root reads every file
    }
    const QByteArray mine = "[OPTION]\r\nPLAY_VALUE=7\r\nMY_NOTE=keep\r\n";
    WriteFileBytes(iniPath, mine);
    ASSERT_EQ(chmod(QFile::encodeName(iniPath).constData(), 0), 0);
    record = OptionRecord::LoadOptionIni();
    EXPECT_FALSE(record.Save());
    ASSERT_EQ(chmod(QFile::encodeName(iniPath).constData(), 0600), 0);
    EXPECT_EQ(ReadFileBytes(iniPath), mine);
}

TEST_F(OptionIni, ThePathIsFixedByLoadOptionIni)
{
    OptionRecord::LoadOptionIni();
    QTemporaryDir other;
    ScopedEnv moved("XDG_CONFIG_HOME", other.path());
    EXPECT_EQ(OptionRecord::FilePath(), iniPath);
    ASSERT_TRUE(OptionRecord().Save());
    EXPECT_TRUE(EntryNames(other.path()).isEmpty());
}

}  // namespace
