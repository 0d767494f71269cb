#include "support/ChildWatch.h"
#include "LogCapture.h"
#include "support/TestSupport.h"
#include "playback/MplayerControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

namespace {

using testsupport::ProcessState;
using testsupport::ScopedEnv;
using testsupport::StubPlayerPath;
using testsupport::WaitUntil;

TEST(MplayerArguments, LaunchGivesTheWholeList)
{
    const QStringList expected = {"-nofs", "-noquiet", "-osdlevel", "0", "-slave", "-nomouseinput",
                                  "-sub-fuzziness", "1", "-vo", "xv,x11", "-vid", "0", "-vf", "eq=0:0", "-ao",
                                  "null", "-wid", "1234", "-fs", "-zoom", "-softvol-max", "300", "-volume", "10",
                                  "-ss", "00:00:00", "/rec/a b.avi"};
    EXPECT_EQ(MplayerControl::MakeLaunchArguments(MplayerControl::MakeBaseArguments(1234), "/rec/a b.avi",
                                                  "00:00:00", 10),
              expected);
    // A relative name beginning with '-' becomes absolute.
    EXPECT_EQ(MplayerControl::MakeLaunchArguments({}, "-x.avi", "00:00:01", 0).last(),
              QDir::currentPath() + "/-x.avi");
}

TEST(MplayerArguments, SeekHasOneDecimalInAnyLocale)
{
    EXPECT_EQ(MplayerControl::MakeSeekCommand(12), "pausing seek 12.0 2");
    EXPECT_EQ(MplayerControl::MakeSeekCommand(59.96), "pausing seek 60.0 2");
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    bool commaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            commaLocale = true;
            break;
        }
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const QString seek = MplayerControl::MakeSeekCommand(59.96);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(seek, "pausing seek 60.0 2");
}

TEST(MplayerArguments, PlayerPathPrefersAnExecutableBesideTheProgram)
{
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkdir("Resource"));
    const QString bundled = program.path() + "/Resource/mplayer";
    EXPECT_EQ(MplayerControl::GetMplayerPath(program.path()), "mplayer");
    QFile file(bundled);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(MplayerControl::GetMplayerPath(program.path()), "mplayer");
    ASSERT_TRUE(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
    EXPECT_EQ(MplayerControl::GetMplayerPath(program.path()), bundled);
}

// With the stub --------------------------------------------------------------

class StubPlayerTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString argvFile = dir.path() + "/argv";
    QString stdinFile = dir.path() + "/stdin";
    ScopedEnv argvEnv{"STUB_ARGV", argvFile};
    ScopedEnv stdinEnv{"STUB_STDIN", stdinFile};
    ScopedEnv modeEnv{"STUB_MODE", std::nullopt};
    ScopedEnv floodEnv{"STUB_FLOOD", std::nullopt};

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArrayList Argv() const
    {
        QByteArrayList argv = Read(argvFile).split('\0');
        argv.removeLast();
        return argv;
    }
    bool Received(const QByteArray& bytes) const
    {
        return WaitUntil([&] { return Read(stdinFile) == bytes; }, 5000);
    }
    std::unique_ptr<MplayerControl> Launched(const QString& file = "/rec/a.avi", unsigned long long window = 1234)
    {
        auto control = std::make_unique<MplayerControl>(StubPlayerPath());
        control->SetVideoWindow(window);
        control->Launch(file, "00:00:00", 10, true);
        return control;
    }
};

TEST_F(StubPlayerTest, ArgumentsArriveByteExact)
{
    const QString names[] = {dir.path() + "/quote\"d.avi", dir.path() + "/$HOME.avi", dir.path() + "/a blank.avi",
                             dir.path() + "/new\nline.avi", "-leading.avi"};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile::remove(argvFile);
        auto control = Launched(name);
        ASSERT_TRUE(WaitUntil([&] { return QFile::exists(argvFile); }, 5000));
        QByteArrayList expected = {StubPlayerPath().toUtf8()};
        for (const QString& argument :
             MplayerControl::MakeLaunchArguments(MplayerControl::MakeBaseArguments(1234), name, "00:00:00", 10))
            expected << argument.toUtf8();
        EXPECT_EQ(Argv(), expected);
    }
}

TEST_F(StubPlayerTest, CommandsArriveAsLines)
{
    auto control = Launched();
    EXPECT_TRUE(control->SendCommand("pause"));
    EXPECT_TRUE(Received("pause\n"));
    EXPECT_TRUE(control->Seek(12));
    EXPECT_TRUE(Received("pause\npausing seek 12.0 2\n"));

    EXPECT_FALSE(control->SendCommand(QString(256, 'b')));
    EXPECT_TRUE(control->SendCommand(QString(255, 'a')));
    EXPECT_TRUE(Received("pause\npausing seek 12.0 2\n" + QByteArray(255, 'a') + "\n"));
}

TEST_F(StubPlayerTest, OutputIsDrainedSoCommandsStillArrive)
{
    ScopedEnv flood("STUB_FLOOD", QString::number(1 << 20));
    auto control = Launched();
    EXPECT_TRUE(control->SendCommand("pause"));
    EXPECT_TRUE(Received("pause\n"));
}

TEST_F(StubPlayerTest, StopKillsAndReaps)
{
    auto control = Launched();
    const qint64 pid = control->ProcessId();
    ASSERT_GT(pid, 0);
    control->Stop();
    EXPECT_EQ(ProcessState(pid), 0) << "still there or a zombie";
    EXPECT_FALSE(control->SendCommand("pause"));
}

TEST_F(StubPlayerTest, DestroyingOrRelaunchingReapsTheOldChild)
{
    auto control = Launched();
    const qint64 first = control->ProcessId();
    control->Launch("/rec/b.avi", "00:00:00", 10, true);
    const qint64 second = control->ProcessId();
    EXPECT_EQ(ProcessState(first), 0);
    EXPECT_NE(second, first);
    control.reset();
    EXPECT_EQ(ProcessState(second), 0);
}

TEST_F(StubPlayerTest, WritingToAChildThatStoppedListeningFails)
{
    for (const char* mode : {"close-stdin", "exit"}) {
        SCOPED_TRACE(mode);
        ScopedEnv modeSet("STUB_MODE", QString(mode));
        QFile::remove(argvFile);
        auto control = Launched();
        const qint64 pid = control->ProcessId();
        ASSERT_TRUE(WaitUntil([&] { return QFile::exists(argvFile); }, 5000));
        if (QString(mode) == "exit")
            ASSERT_TRUE(WaitUntil([&] { return testsupport::ProcessEnded(pid); }, 5000));
        else
            ASSERT_TRUE(WaitUntil([&] { return ProcessState(pid) == 'S'; }, 5000));
        // Give the shell time to close its input: the next write must fail
        // with EPIPE, not end this process.
        ASSERT_TRUE(WaitUntil([&] { return !control->SendCommand("pause"); }, 5000));
        control->Stop();
        EXPECT_EQ(ProcessState(pid), 0);
    }
}

TEST_F(StubPlayerTest, NothingStartsWithoutAWindowOrAPlayer)
{
    LogCapture log;
    auto noWindow = Launched("/rec/a.avi", 0);
    EXPECT_EQ(noWindow->ProcessId(), 0);
    EXPECT_FALSE(noWindow->SendCommand("pause"));

    MplayerControl missing(dir.path() + "/no-such-player");
    missing.SetVideoWindow(1234);
    missing.Launch("/rec/a.avi", "00:00:00", 10, true);
    EXPECT_EQ(missing.ProcessId(), 0);
    EXPECT_FALSE(missing.SendCommand("pause"));
    missing.Stop();
    EXPECT_EQ(missing.ProcessId(), 0);
    EXPECT_FALSE(QFile::exists(argvFile));
    const QString line = LogCapture::Line("Launch", "Mplayer Not Started", "MplayerControl");
    EXPECT_EQ(log.Lines(), (QStringList{line, line}));
}

}  // namespace
