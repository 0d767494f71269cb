#include "platform/ChildProcess.h"
#include "support/ChildWatch.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using testsupport::ProcessEnded;
using testsupport::ProcessState;
using testsupport::ScopedEnv;
using testsupport::StubPlayerPath;
using testsupport::WaitUntil;

const char* const kLauncherVariable = "KESTROV_TEST_LAUNCHER_PIDFILE";

// Re-run as a launcher, this program starts a child that never ends by
// itself, writes its pid and dies at once.
const bool launcherRole = [] {
    const char* pidFile = std::getenv(kLauncherVariable);
    if (!pidFile)
        return false;
    static ChildProcess child;
    int status = 1;
    if (child.Start(StubPlayerPath(), {}, false)) {
        QFile file(QString::fromLocal8Bit(pidFile));
        if (file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(child.ProcessId())) > 0) {
            file.close();
            status = 0;
        }
    }
    _exit(status);
}();

class ChildProcessTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "platform_tests";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }

    QTemporaryDir dir;
    QString stdinFile = dir.path() + "/stdin";
    ScopedEnv stdinEnv{"STUB_STDIN", stdinFile};
    ScopedEnv argvEnv{"STUB_ARGV", std::nullopt};
    ScopedEnv modeEnv{"STUB_MODE", std::nullopt};
    ScopedEnv floodEnv{"STUB_FLOOD", std::nullopt};

    bool Received(const QByteArray& bytes) const
    {
        return WaitUntil(
            [&] {
                QFile file(stdinFile);
                return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
            },
            5000);
    }
};

TEST_F(ChildProcessTest, FloodedOutputIsDrainedOnBothSettings)
{
    ScopedEnv flood("STUB_FLOOD", QString::number(1 << 20));
    for (bool keepStdout : {true, false}) {
        SCOPED_TRACE(keepStdout);
        QFile::remove(stdinFile);
        ChildProcess child;
        ASSERT_TRUE(child.Start(StubPlayerPath(), {}, keepStdout));
        EXPECT_TRUE(child.Write("line\n", 1000));
        EXPECT_TRUE(Received("line\n"));
    }
}

TEST_F(ChildProcessTest, WritingToAnEndedChildFailsInsteadOfEndingTheViewer)
{
    ScopedEnv mode("STUB_MODE", QString("exit"));
    ChildProcess child;
    ASSERT_TRUE(child.Start(StubPlayerPath(), {}, true));
    const qint64 pid = child.ProcessId();
    ASSERT_TRUE(WaitUntil([&] { return ProcessEnded(pid); }, 5000));
    EXPECT_FALSE(child.Write("pause\n", 1000));
    child.Kill();
    EXPECT_EQ(ProcessState(pid), 0);
}

TEST_F(ChildProcessTest, WritingToAChildThatClosedItsInputFailsInsteadOfEndingTheViewer)
{
    ScopedEnv mode("STUB_MODE", QString("close-stdin"));
    ChildProcess child;
    ASSERT_TRUE(child.Start(StubPlayerPath(), {}, true));
    const qint64 pid = child.ProcessId();
    // The child lives on: the write meets a pipe without a reader (EPIPE).
    EXPECT_TRUE(WaitUntil([&] { return !child.Write("pause\n", 1000); }, 5000));
    EXPECT_FALSE(ProcessEnded(pid));
    child.Kill();
    EXPECT_EQ(ProcessState(pid), 0);
}

TEST_F(ChildProcessTest, KillReapsAndAMissingProgramStartsNothing)
{
    ChildProcess child;
    ASSERT_TRUE(child.Start(StubPlayerPath(), {}, true));
    const qint64 pid = child.ProcessId();
    EXPECT_TRUE(child.IsRunning());
    child.Kill();
    EXPECT_EQ(ProcessState(pid), 0);
    EXPECT_FALSE(child.IsRunning());
    EXPECT_FALSE(child.Write("x\n", 100));

    ChildProcess missing;
    EXPECT_FALSE(missing.Start(dir.path() + "/absent", {}, true));
    EXPECT_EQ(missing.ProcessId(), 0);
    EXPECT_FALSE(missing.Write("x\n", 100));
    missing.Kill();
    EXPECT_FALSE(missing.IsRunning());
}

TEST_F(ChildProcessTest, ChildDiesWithItsParent)
{
    ScopedEnv mode("STUB_MODE", QString("close-stdin"));
    const QString pidFile = dir.path() + "/pid";
    ScopedEnv launcher(kLauncherVariable, pidFile);
    QProcess self;
    self.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(self.waitForFinished(10000));
    ASSERT_EQ(self.exitCode(), 0);
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const long long pid = file.readAll().toLongLong();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessEnded(pid); }, 2000)) << "the child outlived its parent";
}

}  // namespace

// Keeps the launcher's static in the program.
const bool* const kLauncherRole = &launcherRole;
