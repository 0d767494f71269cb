#include "platform/FileRead.h"

#include "support/FileFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

using namespace testsupport;

namespace {

class FileReadTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
};

// No writer on the other end: an ordinary open would block forever.
TEST_F(FileReadTest, AFifoNeitherHangsNorCountsAsARegularFile)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0600), 0);

    const FileRead::Result regular = FileRead::ReadWholeFile(Path("fifo"), 100, FileRead::Kind::Regular);
    EXPECT_EQ(regular.error, EINVAL);
    EXPECT_TRUE(regular.bytes.isEmpty());

    const FileRead::Result any = FileRead::ReadWholeFile(Path("fifo"), 100, FileRead::Kind::Any);
    EXPECT_EQ(any.error, 0);
    EXPECT_TRUE(any.bytes.isEmpty());
}

struct CapCase {
    qsizetype fileSize;
    FileRead::Kind kind;
    int error;
    qsizetype bytesRead;
};

class FileReadCap : public FileReadTest, public ::testing::WithParamInterface<CapCase> {};

// The cap is 100000 bytes, more than one read's worth; a sizeless read keeps
// exactly the first ones when the file goes on past it.
TEST_P(FileReadCap, SizeAgainstTheCap)
{
    QByteArray content(GetParam().fileSize, '\0');
    for (qsizetype i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>('a' + i % 26);
    }
    WriteFileBytes(Path("f"), content);

    const FileRead::Result read = FileRead::ReadWholeFile(Path("f"), 100000, GetParam().kind);
    EXPECT_EQ(read.error, GetParam().error);
    EXPECT_EQ(read.bytes, content.left(GetParam().bytesRead));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileReadCap,
    ::testing::Values(CapCase{100000, FileRead::Kind::Regular, 0, 100000},
                      CapCase{100001, FileRead::Kind::Regular, EFBIG, 0},
                      CapCase{100000, FileRead::Kind::Any, 0, 100000},
                      CapCase{100001, FileRead::Kind::Any, EFBIG, 100000},
                      CapCase{200000, FileRead::Kind::Any, EFBIG, 100000}));

TEST_F(FileReadTest, OpenErrorsAreTheErrno)
{
    EXPECT_EQ(FileRead::ReadWholeFile(Path("none"), 100, FileRead::Kind::Any).error, ENOENT);
    EXPECT_EQ(FileRead::ReadWholeFile(dir.path(), 100, FileRead::Kind::Regular).error, EISDIR);
    EXPECT_EQ(FileRead::ReadWholeFile(dir.path(), 100, FileRead::Kind::Any).error, EISDIR);  // from read
}

}  // namespace
