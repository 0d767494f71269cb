#include "core/Common.h"
#include "core/Logger.h"
#include "platform/Paths.h"
#include "platform/Text8.h"
#include "platform/UserNotifier.h"

#include "support/FileFixtures.h"
#include "support/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// The tree of the Part's example, in the working folder:
//   file.txt, sub/inner.txt, a.b/hidden.txt, loop -> ..
class CommonFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = Paths::WorkingFolder();
        WriteFileBytes(base + QStringLiteral("/file.txt"), "f");
        WriteFileBytes(base + QStringLiteral("/sub/inner.txt"), "i");
        WriteFileBytes(base + QStringLiteral("/a.b/hidden.txt"), "h");
        ASSERT_EQ(symlink("..", QFile::encodeName(base + QStringLiteral("/loop")).constData()), 0);
    }

    ScopedWorkingFolder folder;
    QString base;
};

TEST_F(CommonFiles, ListsEverythingSubFolderContentsFirstAndEntersNoDottedOrLinkedFolder)
{
    const QStringList found = Common::FindFiles(base);
    const QString sub = base + QStringLiteral("/sub");
    QStringList expected{base + QStringLiteral("/."),        base + QStringLiteral("/.."),
                         base + QStringLiteral("/file.txt"), sub + QStringLiteral("/."),
                         sub + QStringLiteral("/.."),        sub + QStringLiteral("/inner.txt"),
                         sub,                                base + QStringLiteral("/a.b"),
                         base + QStringLiteral("/loop")};
    EXPECT_EQ(found.size(), expected.size());
    QStringList sortedFound = found;
    sortedFound.sort();
    expected.sort();
    EXPECT_EQ(sortedFound, expected);
    // sub's contents come before sub itself.
    EXPECT_LT(found.indexOf(sub + QStringLiteral("/inner.txt")), found.indexOf(sub));
    EXPECT_LT(found.indexOf(sub + QStringLiteral("/.")), found.indexOf(sub));
    EXPECT_FALSE(found.contains(base + QStringLiteral("/a.b/hidden.txt")));
    for (const QString& path : found) {
        EXPECT_FALSE(path.startsWith(base + QStringLiteral("/loop/"))) << path.toStdString();
    }
}

TEST_F(CommonFiles, ASymlinkToASiblingFolderIsListedNotEntered)
{
    ASSERT_EQ(symlink("sub", QFile::encodeName(base + QStringLiteral("/subLink")).constData()), 0);
    const QStringList found = Common::FindFiles(base);
    EXPECT_TRUE(found.contains(base + QStringLiteral("/subLink")));
    EXPECT_FALSE(found.contains(base + QStringLiteral("/subLink/inner.txt")));
    EXPECT_EQ(found.count(base + QStringLiteral("/sub/inner.txt")), 1);
}

TEST_F(CommonFiles, ABindMountBackUpTheTreeIsEnteredOnce)
{
    // Needs a private mount namespace (root); the mount then ends with this
    // process whatever happens.
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        GTEST_SKIP() << "no private mount namespace";
    }
    const QString back = base + QStringLiteral("/sub/back");
    ASSERT_TRUE(QDir().mkpath(back));
    if (mount(QFile::encodeName(base).constData(), QFile::encodeName(back).constData(), nullptr, MS_BIND,
              nullptr) != 0) {
        GTEST_SKIP() << "bind mounts not allowed";
    }
    const QStringList found = Common::FindFiles(base);
    umount(QFile::encodeName(back).constData());
    EXPECT_TRUE(found.contains(back));
    EXPECT_FALSE(found.contains(back + QStringLiteral("/file.txt")));
    EXPECT_EQ(found.count(base + QStringLiteral("/sub/inner.txt")), 1);
}

TEST_F(CommonFiles, AFolderThatCannotBeOpenedGivesNothing)
{
    EXPECT_TRUE(Common::FindFiles(base + QStringLiteral("/missing")).isEmpty());
    EXPECT_TRUE(Common::FindFiles(base + QStringLiteral("/file.txt")).isEmpty());
}

class CommonFileNames : public CommonFiles {
protected:
    void SetUp() override
    {
        CommonFiles::SetUp();
        logger.SetNotifier(&notifier);
        logger.SetClock([] { return QDateTime(QDate(2024, 3, 4), QTime(5, 6, 7)); });
        logger.SetType(3);
        logger.SetLevel(3);
    }
    void TearDown() override
    {
        logger.SetEnabled(false);
        logger.SetClock({});
        logger.SetNotifier(nullptr);
        notifier.CloseAll();
    }
    QString LogPath() const
    {
        return base + QStringLiteral("/LOG/") + Paths::ProgramBaseName() + QStringLiteral(" 20240304.log");
    }

    Logger& logger = Logger::GetInstance();
    RecordingNotifier notifier;
};

TEST_F(CommonFileNames, LogsExactlyThePathsFound)
{
    const QStringList found = Common::FindFiles(base);
    logger.SetEnabled(true);
    EXPECT_EQ(Common::GetFileNames(), QString());
    QByteArray expected;
    for (const QString& path : found) {
        expected += Text8::Encode(QStringLiteral("2024-03-04 05:06:07\t[Common]\t[GetFileNames]\t") + path
                                  + QLatin1Char('\n'));
    }
    EXPECT_EQ(ReadFileBytes(LogPath()), expected);
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(CommonFileNames, SkipsTheWalkWhenNoLineWouldBeWritten)
{
    logger.SetEnabled(false);
    EXPECT_EQ(Common::GetFileNames(), QString());
    logger.SetEnabled(true);
    logger.SetLevel(2);
    EXPECT_EQ(Common::GetFileNames(), QString());
    EXPECT_FALSE(Exists(base + QStringLiteral("/LOG")));
}

}  // namespace
