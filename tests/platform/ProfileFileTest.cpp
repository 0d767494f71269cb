#include "platform/ProfileFile.h"

#include "support/FileFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

using namespace testsupport;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/option.ini");

    ProfileFile ReadBytes(const QByteArray& bytes)
    {
        WriteFileBytes(path, bytes);
        return ProfileFile::Read(path);
    }
};

struct LinesCase {
    const char* bytes;
    QStringList lines;
};

class ProfileFileLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ProfileFileLines, SplitsAtLfAndCrLfOnly)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/f.ini");
    WriteFileBytes(path, QByteArray(GetParam().bytes));
    EXPECT_EQ(ProfileFile::Read(path).Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileFileLines,
    ::testing::Values(LinesCase{"a\nb\nc", {"a", "b", "c"}}, LinesCase{"a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"a\n\nb\n", {"a", "", "b"}}, LinesCase{"a\rb\n", {"a\rb"}},
                      LinesCase{"", {}}, LinesCase{"\xEF\xBB\xBF[x]\r\nk=\xC3\xA9\r\n", {"[x]", QString::fromUtf8("k=é")}}));

TEST_F(ProfileFileTest, MissingFileIsEmpty)
{
    const ProfileFile file = ProfileFile::Read(dir.path() + QStringLiteral("/none.ini"));
    EXPECT_TRUE(file.Lines().isEmpty());
    EXPECT_EQ(file.Value(QStringLiteral("OPTION"), QStringLiteral("PLAY_VALUE")), QString());
    EXPECT_FALSE(file.Contains(QStringLiteral("OPTION"), QStringLiteral("PLAY_VALUE")));
}

TEST_F(ProfileFileTest, DirectoryReadsAsEmpty)
{
    EXPECT_TRUE(ProfileFile::Read(dir.path()).Lines().isEmpty());
}

TEST_F(ProfileFileTest, ReadSaysWhenAFileThatIsThereCouldNotBeRead)
{
    int error = -1;
    ProfileFile::Read(dir.path() + QStringLiteral("/none.ini"), &error);
    EXPECT_EQ(error, 0);
    ReadBytes("[A]\nk=v\n");
    ProfileFile::Read(path, &error);
    EXPECT_EQ(error, 0);
    ProfileFile::Read(dir.path(), &error);
    EXPECT_EQ(error, EISDIR);
}

TEST_F(ProfileFileTest, NamesMatchAsciiCaseInsensitively)
{
    const ProfileFile file = ReadBytes("[option]\r\nplay_value=7\r\n");
    EXPECT_EQ(file.Value(QStringLiteral("OPTION"), QStringLiteral("PLAY_VALUE")), QStringLiteral("7"));
    EXPECT_TRUE(file.Contains(QStringLiteral("Option"), QStringLiteral("Play_Value")));
    EXPECT_FALSE(file.Contains(QStringLiteral("DIRECTORY"), QStringLiteral("PLAY_VALUE")));
}

TEST_F(ProfileFileTest, NonAsciiNamesMatchOnlyExactly)
{
    const ProfileFile file = ReadBytes("[\xD0\xB4]\nk=1\n");  // "д"
    EXPECT_EQ(file.Value(QString::fromUtf8("д"), QStringLiteral("K")), QStringLiteral("1"));
    EXPECT_FALSE(file.Contains(QString::fromUtf8("Д"), QStringLiteral("K")));
}

TEST_F(ProfileFileTest, FirstOccurrenceWins)
{
    const ProfileFile file = ReadBytes("[A]\nk=first\nk=second\n[A]\nj=other\nk=third\n");
    EXPECT_EQ(file.Value(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("first"));
    EXPECT_EQ(file.Value(QStringLiteral("A"), QStringLiteral("j")), QStringLiteral("other"));
}

TEST_F(ProfileFileTest, BlanksQuotesCommentsAndLinesWithoutEquals)
{
    const ProfileFile file = ReadBytes("  [ A ]  \n"
                                       "  spaced  =  some value  \n"
                                       "quoted=\"  inside  \"\n"
                                       "single='x'\n"
                                       "half=\"open\n"
                                       "twice=\"\"a\"\"\n"
                                       ";comment=1\n"
                                       "  ;indented=2\n"
                                       "no equals here\n"
                                       "eq=a=b\n"
                                       "empty=\n");
    const QString a = QStringLiteral("A");
    EXPECT_EQ(file.Value(a, QStringLiteral("spaced")), QStringLiteral("some value"));
    EXPECT_EQ(file.Value(a, QStringLiteral("quoted")), QStringLiteral("  inside  "));
    EXPECT_EQ(file.Value(a, QStringLiteral("single")), QStringLiteral("x"));
    EXPECT_EQ(file.Value(a, QStringLiteral("half")), QStringLiteral("\"open"));
    EXPECT_EQ(file.Value(a, QStringLiteral("twice")), QStringLiteral("\"a\""));
    EXPECT_FALSE(file.Contains(a, QStringLiteral(";comment")));
    EXPECT_FALSE(file.Contains(a, QStringLiteral("comment")));
    EXPECT_FALSE(file.Contains(a, QStringLiteral(";indented")));
    EXPECT_FALSE(file.Contains(a, QStringLiteral("no equals here")));
    EXPECT_EQ(file.Value(a, QStringLiteral("eq")), QStringLiteral("a=b"));
    EXPECT_TRUE(file.Contains(a, QStringLiteral("empty")));
    EXPECT_EQ(file.Value(a, QStringLiteral("empty")), QString());
}

TEST_F(ProfileFileTest, KeysBeforeAnySectionBelongToNone)
{
    const ProfileFile file = ReadBytes("k=1\n[A]\n");
    EXPECT_FALSE(file.Contains(QStringLiteral("A"), QStringLiteral("k")));
}

TEST_F(ProfileFileTest, LongValuesAreCutTo511UnitsNeverSplittingAPair)
{
    const QString long600(600, QLatin1Char('x'));
    const ProfileFile file = ReadBytes("[A]\nk=" + long600.toUtf8() + "\n");
    EXPECT_EQ(file.Value(QStringLiteral("A"), QStringLiteral("k")), QString(511, QLatin1Char('x')));
    EXPECT_EQ(file.Value(QStringLiteral("A"), QStringLiteral("k"), 600), long600);

    // 510 units, then U+1F600 (a surrogate pair at units 510 and 511).
    const QString pair = QString(510, QLatin1Char('y')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("z");
    const ProfileFile withPair = ReadBytes("[A]\nk=" + pair.toUtf8() + "\n");
    EXPECT_EQ(withPair.Value(QStringLiteral("A"), QStringLiteral("k")), QString(510, QLatin1Char('y')));
    EXPECT_EQ(withPair.Value(QStringLiteral("A"), QStringLiteral("k"), 512), pair.left(512));
}

TEST_F(ProfileFileTest, BomLfAndCrLfReadAlike)
{
    for (const QByteArray& bytes : {QByteArray("[A]\nk=v\n"), QByteArray("[A]\r\nk=v\r\n"),
                                    QByteArray("\xEF\xBB\xBF[A]\r\nk=v"), QByteArray("\xEF\xBB\xBF[A]\nk=v\n")}) {
        const ProfileFile file = ReadBytes(bytes);
        EXPECT_EQ(file.Value(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("v")) << bytes.toStdString();
    }
}

TEST_F(ProfileFileTest, WriteKeepsForeignLinesUpdatesInPlaceAndAppendsAtTheSectionsEnd)
{
    ProfileFile file = ReadBytes("; my notes\n"
                                 "[DIRECTORY]\n"
                                 "root_directory = old\n"
                                 "FOREIGN=1\n"
                                 "\n"
                                 "[OTHER]\n"
                                 "x=y\n");
    file.SetValue(QStringLiteral("DIRECTORY"), QStringLiteral("ROOT_DIRECTORY"), QStringLiteral("new"));
    file.SetValue(QStringLiteral("DIRECTORY"), QStringLiteral("EVENT_DIRECTORY"), QStringLiteral("E"));
    file.SetValue(QStringLiteral("OPTION"), QStringLiteral("PLAY_VALUE"), QStringLiteral("5"));
    file.SetValue(QStringLiteral("OPTION"), QStringLiteral("USE_LOG"), QStringLiteral("FALSE"));
    ASSERT_FALSE(file.Save(path));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("; my notes\r\n"
                                              "[DIRECTORY]\r\n"
                                              "ROOT_DIRECTORY=new\r\n"
                                              "FOREIGN=1\r\n"
                                              "EVENT_DIRECTORY=E\r\n"
                                              "\r\n"
                                              "[OTHER]\r\n"
                                              "x=y\r\n"
                                              "[OPTION]\r\n"
                                              "PLAY_VALUE=5\r\n"
                                              "USE_LOG=FALSE\r\n"));
}

TEST_F(ProfileFileTest, WritesUtf8WithoutBomAndCrLf)
{
    ProfileFile file = ReadBytes("\xEF\xBB\xBF[A]\nk=1\n");
    file.SetValue(QStringLiteral("A"), QStringLiteral("k"), QString::fromUtf8("/home/u/Документы"));
    ASSERT_FALSE(file.Save(path));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("[A]\r\nk=/home/u/\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD"
                                              "\xD1\x82\xD1\x8B\r\n"));
    EXPECT_EQ(ProfileFile::Read(path).Value(QStringLiteral("a"), QStringLiteral("K")),
              QString::fromUtf8("/home/u/Документы"));
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    const QByteArray old("[A]\r\nk=1\r\n");
    ProfileFile file = ReadBytes(old);
    file.SetValue(QStringLiteral("A"), QStringLiteral("k"), QString(4000, QLatin1Char('v')));
    std::error_code error;
    {
        ScopedFileSizeLimit limit(static_cast<rlim_t>(old.size()));
        error = file.Save(path);
    }
    EXPECT_TRUE(error);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(EntryNames(dir.path()), QStringList{QStringLiteral("option.ini")});
}

}  // namespace
