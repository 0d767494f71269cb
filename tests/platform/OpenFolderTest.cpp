#include "platform/OpenFolder.h"
#include "support/ChildWatch.h"
#include "support/EventLoop.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::ScopedEnv;

// A stub xdg-open first on PATH that records its argument vector.
class OpenFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::EnsureCoreApplication();
        ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
        ASSERT_TRUE(QFile::link(testsupport::StubPlayerPath(), bin + "/xdg-open"));
    }

    // The arguments the stub was started with (without its own name).
    QList<QByteArray> Arguments() const
    {
        QList<QByteArray> argv;
        testsupport::WaitUntil(
            [&] {
                QFile file(argvFile);
                if (!file.open(QIODevice::ReadOnly)) {
                    return false;
                }
                argv = file.readAll().split('\0');
                return true;
            },
            10000);
        if (!argv.isEmpty()) {
            argv.removeFirst();  // $0
            argv.removeLast();   // after the last NUL
        }
        return argv;
    }

    QTemporaryDir dir;
    QString bin = dir.path() + "/bin";
    QString argvFile = dir.path() + "/argv";
    ScopedEnv path{"PATH", bin + ":" + qEnvironmentVariable("PATH")};
    ScopedEnv argvEnv{"STUB_ARGV", argvFile};
    ScopedEnv modeEnv{"STUB_MODE", QStringLiteral("exit")};
    ScopedEnv floodEnv{"STUB_FLOOD", std::nullopt};
};

TEST_F(OpenFolderTest, PassesTheAbsolutePathAsItsOnlyArgument)
{
    const QString names[] = {"a b", QString::fromUtf8("Папка")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = dir.path() + "/" + name;
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::remove(argvFile);
        ASSERT_TRUE(platform::OpenFolder(folder));
        EXPECT_EQ(Arguments(), QList<QByteArray>{folder.toUtf8()});
    }
}

TEST_F(OpenFolderTest, ANameStartingWithADashIsNeverAnOption)
{
    testsupport::ScopedWorkingFolder working;
    QFile file("-x");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(platform::OpenFolder("-x"));
    EXPECT_EQ(Arguments(), QList<QByteArray>{(QDir::currentPath() + "/-x").toUtf8()});
}

TEST_F(OpenFolderTest, AMissingPathOrHandlerStartsNothing)
{
    int launches = 0;
    const platform::Launcher counting = [&](const QString&, const QStringList&) {
        ++launches;
        return true;
    };
    EXPECT_FALSE(platform::OpenFolder(dir.path() + "/missing", counting));
    EXPECT_FALSE(platform::OpenFolder(QString(), counting));
    EXPECT_EQ(launches, 0);

    ScopedEnv noHandler{"PATH", dir.path() + "/nothing-here"};
    EXPECT_FALSE(platform::OpenFolder(dir.path()));
    EXPECT_FALSE(QFile::exists(argvFile));
}

}  // namespace
