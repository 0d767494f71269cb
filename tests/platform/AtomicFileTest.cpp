#include "platform/AtomicFile.h"

#include "support/FileFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace testsupport;

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
};

TEST_F(AtomicFileTest, CreatesANewFile)
{
    EXPECT_FALSE(AtomicFile::Write(Path("new.txt"), QByteArray("abc")));
    EXPECT_EQ(ReadFileBytes(Path("new.txt")), QByteArray("abc"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("new.txt")});
}

TEST_F(AtomicFileTest, ReplacesALongerFileWithExactlyTheNewBytes)
{
    WriteFileBytes(Path("f"), QByteArray(1000, 'x'));
    EXPECT_FALSE(AtomicFile::Write(Path("f"), QByteArray("ab")));
    EXPECT_EQ(ReadFileBytes(Path("f")), QByteArray("ab"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("f")});
}

TEST_F(AtomicFileTest, KeepsTheOldFilesPermissions)
{
    WriteFileBytes(Path("f"), QByteArray("old"));
    ASSERT_EQ(chmod(QFile::encodeName(Path("f")).constData(), 0640), 0);
    EXPECT_FALSE(AtomicFile::Write(Path("f"), QByteArray("new")));
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(Path("f")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(AtomicFileTest, FileSizeLimitKeepsTheOldFileAndLeavesNoTemporary)
{
    const QByteArray old("old contents\r\n");
    WriteFileBytes(Path("f"), old);
    std::error_code error;
    {
        ScopedFileSizeLimit limit(100);
        error = AtomicFile::Write(Path("f"), QByteArray(4096, 'n'));
    }
    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_EQ(ReadFileBytes(Path("f")), old);
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("f")});
}

TEST_F(AtomicFileTest, DirectoryAtThePathFailsAndStaysUntouched)
{
    WriteFileBytes(Path("d/inner"), QByteArray("keep"));
    EXPECT_TRUE(AtomicFile::Write(Path("d"), QByteArray("x")));
    EXPECT_EQ(ReadFileBytes(Path("d/inner")), QByteArray("keep"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("d")});
}

TEST_F(AtomicFileTest, MissingFolderFails)
{
    EXPECT_EQ(AtomicFile::Write(Path("missing/f"), QByteArray("x")), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(Exists(Path("missing")));
}

TEST_F(AtomicFileTest, ReplacesASymlinkInsteadOfWritingThroughIt)
{
    WriteFileBytes(Path("victim"), QByteArray("victim"));
    ASSERT_EQ(symlink(QFile::encodeName(Path("victim")).constData(), QFile::encodeName(Path("link")).constData()), 0);
    EXPECT_FALSE(AtomicFile::Write(Path("link"), QByteArray("mine")));
    EXPECT_EQ(ReadFileBytes(Path("victim")), QByteArray("victim"));
    EXPECT_EQ(ReadFileBytes(Path("link")), QByteArray("mine"));
}

TEST_F(AtomicFileTest, ReplaceRenamesWhatTheWriterWroteOnlyWhenItSucceeded)
{
    WriteFileBytes(Path("report.pdf"), QByteArray("old"));
    ASSERT_EQ(chmod(QFile::encodeName(Path("report.pdf")).constData(), 0640), 0);
    auto writer = [](const QByteArray& bytes, bool result) {
        return [bytes, result](const QString& temporary) {
            // Written by name, as a printer writes: opened, truncated, closed.
            QFile file(temporary);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();
            return result;
        };
    };
    EXPECT_EQ(AtomicFile::Replace(Path("report.pdf"), writer("half", false)), std::errc::operation_canceled);
    EXPECT_EQ(ReadFileBytes(Path("report.pdf")), QByteArray("old"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("report.pdf")});

    EXPECT_FALSE(AtomicFile::Replace(Path("report.pdf"), writer("new", true)));
    EXPECT_EQ(ReadFileBytes(Path("report.pdf")), QByteArray("new"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("report.pdf")});
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(Path("report.pdf")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    bool called = false;
    EXPECT_EQ(AtomicFile::Replace(Path("missing/f"), [&](const QString&) { return called = true; }),
              std::errc::no_such_file_or_directory);
    EXPECT_FALSE(called);
}

}  // namespace
