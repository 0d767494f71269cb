// The viewer itself in a virtual X server: it starts with the log on, ignores
// its arguments, and ends on a termination request as its close button ends
// it.

#include "playback/RealComponents.h"
#include "support/AviFixtureBuilder.h"
#include "support/FileFixtures.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString LogText(const QString& workFolder)
{
    const QDir logs(workFolder + QStringLiteral("/LOG"));
    QString text;
    for (const QString& name : logs.entryList({QStringLiteral("*.log")}, QDir::Files))
        text += QString::fromLatin1(testsupport::ReadFileBytes(logs.filePath(name)));
    return text;
}

TEST(RealWindow, StartsWithTheLogOnIgnoresItsArgumentsAndEndsOnTerminationWithTheOptionsWritten)
{
    KESTROV_REQUIRE_REAL_OR_SKIP(qEnvironmentVariable("QT_QPA_PLATFORM") == QStringLiteral("xcb") &&
                                     !qEnvironmentVariableIsEmpty("DISPLAY"),
                                 "no virtual X server (is xvfb-run installed?)");
    QTemporaryDir work;
    QTemporaryDir config;
    const QString options = config.path() + QStringLiteral("/KestrovViewer/option.ini");
    testsupport::WriteFileBytes(options, "[OPTION]\r\nUSE_LOG=TRUE\r\n");
    ASSERT_TRUE(QDir().mkpath(work.path() + QStringLiteral("/card")));
    testsupport::AviFixtureOptions small;
    small.seconds = 2;
    testsupport::AviFixtureBuilder(small).Write(work.path() + QStringLiteral("/card/20130405_120000_NOR.avi"));

    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("HOME"), work.path());
    // No tiles: the map shows its offline picture and probes nothing.
    environment.insert(QStringLiteral("KESTROV_MAP_TILE_URL"), QString());
    environment.insert(QStringLiteral("KESTROV_NO_NETWORK"), QStringLiteral("1"));
    viewer.setProcessEnvironment(environment);
    viewer.setWorkingDirectory(work.path());
    viewer.setProcessChannelMode(QProcess::ForwardedChannels);
    viewer.start(QStringLiteral(KESTROV_VIEWER), {work.path() + QStringLiteral("/card")});
    ASSERT_TRUE(viewer.waitForStarted());
    QThread::sleep(3);
    ASSERT_EQ(viewer.state(), QProcess::Running) << "the viewer ended by itself";
    const QString started = LogText(work.path());
    EXPECT_TRUE(started.contains(QStringLiteral("\tLog Start!"))) << started.toStdString();
    EXPECT_FALSE(started.contains(QStringLiteral("Video Data"))) << "the argument was not loaded";

    ASSERT_EQ(::kill(static_cast<pid_t>(viewer.processId()), SIGTERM), 0);
    ASSERT_TRUE(viewer.waitForFinished(5000)) << "no end within 5 s of the termination request";
    EXPECT_EQ(viewer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(viewer.exitCode(), 0);
    EXPECT_TRUE(LogText(work.path()).contains(QStringLiteral("\tLog End")));
    EXPECT_TRUE(testsupport::ReadFileBytes(options).contains("PLAY_VALUE=5")) << "option.ini written at the close";
}

}  // namespace
