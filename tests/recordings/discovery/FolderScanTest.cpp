// The folder scan over a tree of every kind of entry.

#include "DiscoveryFixtures.h"
#include "recordings/RecordingFolderScanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using discoverytest::Folders;

void Touch(const QString& path)
{
    testsupport::WriteFileBytes(path, QByteArray("x"));
}

void Link(const QString& target, const QString& link)
{
    ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
}

// The names of a folder in the order readdir gives them.
QStringList ReaddirOrder(const QString& folder)
{
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir))
        names.append(QFile::decodeName(entry->d_name));
    closedir(dir);
    return names;
}

class FolderScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        card = folders.Card();
        Touch(card + "/a.avi");
        Touch(card + "/b.AVI");
        Touch(card + "/c.mp4");
        Touch(card + "/sub/d.avi");
        Touch(card + "/old.avi/x.avi");
        Touch(card + "/2013.04/e.avi");
        Touch(card + "/.hidden/f.avi");
        Touch(card + "/dir.avi/inner.avi");
        Touch(folders.Root() + "/outside/g.avi");
        Link(card, card + "/loop");
        Link(card + "/sub", card + "/sub/up");
        Link(folders.Root() + "/outside", card + "/ext");
        Link("/dev/zero", card + "/i.avi");
        Link(card + "/missing", card + "/dangling.avi");
        ASSERT_EQ(mkfifo(QFile::encodeName(card + "/h.avi").constData(), 0644), 0);
        Touch(card + "/locked/u.avi");
        ASSERT_EQ(chmod(QFile::encodeName(card + "/locked").constData(), 0), 0);
    }
    void TearDown() override { chmod(QFile::encodeName(card + "/locked").constData(), 0755); }

    Folders folders;
    QString card;
};

TEST_F(FolderScan, ListsRegularRecordingsOnceInReaddirOrder)
{
    const QStringList found = RecordingFolderScanner().Scan(card);

    // What a root user can still read in the locked folder is listed too.
    QStringList expected;
    for (const QString& name : ReaddirOrder(card)) {
        if (name == "a.avi")
            expected << card + "/a.avi";
        else if (name == "sub")
            expected << card + "/sub/d.avi";
        else if (name == "ext")
            expected << card + "/ext/g.avi";
        else if (name == "locked" && discoverytest::RunningAsRoot())
            expected << card + "/locked/u.avi";
    }
    EXPECT_EQ(found, expected);
}

TEST_F(FolderScan, TrailingSlashAndRootJoinNeverDouble)
{
    const QStringList found = RecordingFolderScanner().Scan(card + "/sub/");
    EXPECT_EQ(found, QStringList{card + "/sub/d.avi"});
    EXPECT_TRUE(RecordingFolderScanner().Scan(card + "/missing").isEmpty());
    EXPECT_TRUE(RecordingFolderScanner().Scan(card + "/a.avi").isEmpty());
}

TEST(FolderScanNames, NotUtf8IsSkipped)
{
    Folders folders;
    const QByteArray bad = QFile::encodeName(folders.Card()) + "/bad\xff.avi";
    const int fd = open(bad.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
    Touch(folders.Card() + "/good.avi");
    EXPECT_EQ(RecordingFolderScanner().Scan(folders.Card()), QStringList{folders.Card() + "/good.avi"});
}

}  // namespace
