#include "core/CSetupDataEx.h"
#include "platform/UserNotifier.h"

#include "support/FileFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

using namespace testsupport;

namespace {

class TextFiles : public ::testing::Test {
protected:
    void SetUp() override { UserNotifier::Install(&notifier); }
    void TearDown() override { UserNotifier::Install(nullptr); }

    QString Path(const char* relative) const { return dir.path() + QLatin1Char('/') + QLatin1String(relative); }

    QTemporaryDir dir;
    RecordingNotifier notifier;
};

TEST_F(TextFiles, LineFeedsBecomeCrLf)
{
    ASSERT_TRUE(CSetupDataEx::WriteTextFile(QStringLiteral("setup.cfg"), dir.path(), QStringLiteral("A\nB")));
    EXPECT_EQ(ReadFileBytes(Path("setup.cfg")), QByteArray("A\r\nB"));
}

TEST_F(TextFiles, EightBitCharacters)
{
    ASSERT_TRUE(CSetupDataEx::WriteTextFile(QStringLiteral("f"), dir.path(),
                                            QString(QChar(0xE9)) + QString::fromUtf8("Д")));
    EXPECT_EQ(ReadFileBytes(Path("f")), QByteArray("\xE9?"));
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("f")), QString(QChar(0xE9)) + QStringLiteral("?^"));
}

TEST_F(TextFiles, OverALongerFileExactlyTheNewBytes)
{
    WriteFileBytes(Path("f"), QByteArray(5000, 'o'));
    ASSERT_TRUE(CSetupDataEx::WriteTextFile(QStringLiteral("f"), dir.path(), QStringLiteral("new")));
    EXPECT_EQ(ReadFileBytes(Path("f")), QByteArray("new"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("f")});
}

TEST_F(TextFiles, AMissingFolderIsCreatedWhenItsParentExists)
{
    ASSERT_TRUE(CSetupDataEx::WriteTextFile(QStringLiteral("time.cfg"), Path("CL_KESTROV"), QStringLiteral("t")));
    EXPECT_EQ(ReadFileBytes(Path("CL_KESTROV/time.cfg")), QByteArray("t"));
}

TEST_F(TextFiles, AMissingParentFailsAndNothingIsCreated)
{
    EXPECT_FALSE(CSetupDataEx::WriteTextFile(QStringLiteral("f"), Path("a/b"), QStringLiteral("t")));
    EXPECT_TRUE(EntryNames(dir.path()).isEmpty());
}

TEST_F(TextFiles, ADirectoryAtTheFilePathFailsAndStaysUntouched)
{
    WriteFileBytes(Path("setup.cfg/inner"), "keep");
    EXPECT_FALSE(CSetupDataEx::WriteTextFile(QStringLiteral("setup.cfg"), dir.path(), QStringLiteral("t")));
    EXPECT_EQ(ReadFileBytes(Path("setup.cfg/inner")), QByteArray("keep"));
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("setup.cfg")});
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(TextFiles, AFileAtTheFolderPathFails)
{
    WriteFileBytes(Path("notafolder"), "x");
    EXPECT_FALSE(CSetupDataEx::WriteTextFile(QStringLiteral("f"), Path("notafolder"), QStringLiteral("t")));
    EXPECT_EQ(ReadFileBytes(Path("notafolder")), QByteArray("x"));
}

TEST_F(TextFiles, AFailedWriteKeepsTheOldFile)
{
    const QByteArray old("OLD=1\r\n");
    WriteFileBytes(Path("setup.cfg"), old);
    bool written = true;
    {
        ScopedFileSizeLimit limit(static_cast<rlim_t>(old.size()));
        written = CSetupDataEx::WriteTextFile(QStringLiteral("setup.cfg"), dir.path(), QString(4096, QLatin1Char('n')));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(Path("setup.cfg")), old);
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("setup.cfg")});
}

struct ReadCase {
    QByteArray bytes;
    QString text;
};

class TextFileRead : public TextFiles, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(TextFileRead, LinesEachFollowedByACaret)
{
    WriteFileBytes(Path("setup.cfg"), GetParam().bytes);
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("setup.cfg")), GetParam().text);
    EXPECT_EQ(notifier.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextFileRead,
    ::testing::Values(ReadCase{"a\nb\nc", QStringLiteral("a^b^c^")}, ReadCase{"a\r\nb\r\n", QStringLiteral("a^b^")},
                      ReadCase{"a\n\nb\n", QStringLiteral("a^^b^")}, ReadCase{"a\rb\n", QStringLiteral("a\rb^")},
                      ReadCase{"", QString()}, ReadCase{QByteArray("x\x1Ay", 3), QStringLiteral("x\x1Ay^")}));

TEST_F(TextFiles, ReadLinesGivesTheListWithoutCarets)
{
    WriteFileBytes(Path("f"), "a\r\nb");
    EXPECT_EQ(CSetupDataEx::ReadTextLines(Path("f")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(TextFiles, AMissingFileReadsEmptyWithoutABox)
{
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("none.cfg")), QString());
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(TextFiles, ADirectoryShowsOneBoxAndReadsEmpty)
{
    ASSERT_EQ(mkdir(QFile::encodeName(Path("setup.cfg")).constData(), 0755), 0);
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("setup.cfg")), QString());
    const auto boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::FileError);
    EXPECT_EQ(boxes[0].path, Path("setup.cfg"));
    EXPECT_EQ(boxes[0].error, EISDIR);
}

TEST_F(TextFiles, AFileOverOneMebibyteShowsOneBoxAndReadsEmpty)
{
    WriteFileBytes(Path("big.cfg"), QByteArray(2 * 1024 * 1024, 'a'));
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("big.cfg")), QString());
    ASSERT_EQ(notifier.Count(), 1u);
    EXPECT_EQ(notifier.Boxes()[0].kind, RecordingNotifier::Kind::FileError);

    notifier.Clear();
    WriteFileBytes(Path("edge.cfg"), QByteArray(1024 * 1024, 'a'));
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("edge.cfg")).size(), 1024 * 1024 + 1);
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(TextFiles, AnUnreadableFileShowsOneBox)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    WriteFileBytes(Path("locked.cfg"), "x");
    ASSERT_EQ(chmod(QFile::encodeName(Path("locked.cfg")).constData(), 0), 0);
    EXPECT_EQ(CSetupDataEx::ReadTextFile(Path("locked.cfg")), QString());
    ASSERT_EQ(notifier.Count(), 1u);
    EXPECT_EQ(notifier.Boxes()[0].error, EACCES);
}

TEST(SetupDataBase, TheBaseDoesNothing)
{
    CSetupDataEx data;
    EXPECT_TRUE(data.Load());
    EXPECT_TRUE(data.Save());
    EXPECT_EQ(data.MakeFileText(), QString());
}

}  // namespace
