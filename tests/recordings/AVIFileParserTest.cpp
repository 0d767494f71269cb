#include "RecordingsFixtures.h"
#include "recordings/AVIFileParser.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace recordingstest;
using Outcome = AVIFileParser::OpenOutcome;

void ExpectIndexMatches(AVIFileParser& parser, const AviManifest& manifest, const std::string& id)
{
    const std::vector<IndexEntry> entries = parser.GetIndexEntries(id);
    // Entry k of idx1 belongs to the k-th indexed chunk.
    std::vector<IndexEntry> expected;
    int64_t entryOffset = manifest.idx1Offset + 8;
    for (const auto& chunk : manifest.chunks) {
        if (!chunk.indexed) {
            continue;
        }
        if (chunk.id == id) {
            expected.push_back({chunk.headerOffset + 8, entryOffset, chunk.flags});
        }
        entryOffset += 16;
    }
    ASSERT_EQ(entries.size(), expected.size()) << id;
    for (size_t k = 0; k < entries.size(); ++k) {
        EXPECT_EQ(entries[k].dataOffset, expected[k].dataOffset) << id << ' ' << k;
        EXPECT_EQ(entries[k].entryOffset, expected[k].entryOffset) << id << ' ' << k;
        EXPECT_EQ(entries[k].flags, expected[k].flags) << id << ' ' << k;
    }
}

TEST(AVIFileParser, AnswersEveryQueryOfARecording)
{
    FixtureFolder folder;
    AviManifest manifest;
    AviFixtureOptions options;
    options.width = 1920;
    options.height = 1080;
    const QString path = folder.Write("golden.avi", options, &manifest);

    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    EXPECT_EQ(parser.GetOpenOutcome(), Outcome::Accepted);
    EXPECT_EQ(parser.GetVideoStreamCount(), 2);
    EXPECT_EQ(parser.GetStreamChunkIds(), (std::vector<std::string>{"00dc", "01dc", "02wb", "03tx"}));
    EXPECT_EQ(parser.GetTotalFrames(), manifest.streamCounts[0] + manifest.streamCounts[1]);
    EXPECT_EQ(parser.GetWidth(), 1920);
    EXPECT_EQ(parser.GetHeight(), 1080);
    EXPECT_EQ(parser.GetDuration(), 10);  // 221 frames at 22.056 per second
    ASSERT_NE(parser.FindVideoStreamHeader(), nullptr);
    EXPECT_EQ(parser.FindVideoStreamHeader()->offset, manifest.strhOffsets[0]);
    EXPECT_EQ(parser.FindChildByType("movi")->offset, manifest.moviOffset);
    for (const char* id : {"00dc", "01dc", "02wb", "03tx"}) {
        ExpectIndexMatches(parser, manifest, id);
    }
    EXPECT_TRUE(parser.GetIndexEntries("tx").empty());  // the prefix must stand at the start
    EXPECT_EQ(parser.GetIndexEntries("0").size(), manifest.chunks.size());
}

TEST(AVIFileParser, DurationIsLengthOverRateOverScale)
{
    FixtureFolder folder;
    const auto duration = [&](uint32_t scale, uint32_t rate, uint32_t length) {
        AviFixtureOptions o = SmallRecording();
        o.frontFrames = 60;
        o.streams[0] = {scale, rate, length};
        AVIFileParser parser;
        EXPECT_TRUE(parser.Open(folder.Write("d.avi", o)));
        return parser.GetDuration();
    };
    EXPECT_EQ(duration(1, 30, 1799), 59);
    EXPECT_EQ(duration(1000, 30000, 1800), 60);
    EXPECT_EQ(duration(0, 30, 1799), 0);
    EXPECT_EQ(duration(1, 0, 1799), 0);
    EXPECT_EQ(duration(1, 0x80000000u, 1799), 0);  // negative as a signed value
    EXPECT_EQ(duration(1, 30, 0x80000000u), 0);
    EXPECT_EQ(duration(1000000, 1, 0x7FFFFFFF), INT_MAX);
}

struct OpenCase {
    const char* what;
    QString path;
    bool result;
    Outcome outcome;
    bool emptyTree;
};

TEST(AVIFileParser, OpensRecordingsAndRefusesEverythingElse)
{
    FixtureFolder folder;
    testsupport::ScopedWorkingFolder working;
    const auto exact = [](int64_t size) {
        AviFixtureOptions o;
        o.seconds = 1;
        o.frameSize = [](int, int) { return 100u; };
        o.exactSize = size;
        return o;
    };
    const auto riffSize = [](uint32_t size) {
        AviFixtureOptions o = SmallRecording();
        o.riffSize = size;
        return o;
    };
    QDir(folder.Root()).mkpath("SDEXIT");
    QDir().mkpath("SDEXIT");
    AviFixtureBuilder(exact(30720)).Write("SDEXIT/a.avi");
    QDir(folder.Root()).mkpath("d.avi");
    ASSERT_EQ(::mkfifo(folder.Path("f.avi").toUtf8().constData(), 0644), 0);
    AviFixtureOptions riffx = SmallRecording();
    riffx.riffId = "RIFX";
    const QString longName = QString(240, u'n') + ".avi";
    QDir(folder.Root()).mkpath(QString(60, u'd'));
    const QString longPath = folder.Write(QString(60, u'd') + "/" + longName, SmallRecording());
    ASSERT_GE(longPath.toUtf8().size(), 300);

    const OpenCase cases[] = {
        {"30720 bytes", folder.Write("small.avi", exact(30720)), true, Outcome::SetAside, true},
        {"30721 bytes", folder.Write("larger.avi", exact(30721)), true, Outcome::Accepted, false},
        {"30720 bytes under SDEXIT", folder.Write("SDEXIT/b.avi", exact(30720)), true, Outcome::Accepted, false},
        {"relative SDEXIT/ at the start", "SDEXIT/a.avi", true, Outcome::SetAside, true},
        {"upper-case extension", folder.Write("x.AVI", SmallRecording()), false, Outcome::NotRecording, true},
        {"no dot before avi", folder.Write("xavi", SmallRecording()), true, Outcome::Accepted, false},
        {"0 bytes", folder.WriteBytes("empty.avi", {}), false, Outcome::NotRecording, true},
        {"RIFF size = file size", folder.Write("s1.avi", riffSize(0)), false, Outcome::Broken, true},
        {"RIFF size 0", folder.Write("s2.avi", riffSize(0)), false, Outcome::Broken, true},
        {"RIFX", folder.Write("rifx.avi", riffx), false, Outcome::NotRecording, true},
        {"directory", folder.Path("d.avi"), false, Outcome::NotRecording, true},
        {"FIFO", folder.Path("f.avi"), false, Outcome::NotRecording, true},
        {"missing", folder.Path("none.avi"), false, Outcome::Unreadable, true},
        {"300-byte path", longPath, true, Outcome::Accepted, false},
        {"Cyrillic name", folder.Write(QString::fromUtf8("запись.avi"), SmallRecording()), true, Outcome::Accepted, false},
    };
    {
        // The RIFF size field at least the file size.
        QByteArray bytes = ReadAll(cases[7].path);
        SetU32At(bytes, 4, static_cast<uint32_t>(bytes.size()));
        folder.WriteBytes("s1.avi", bytes);
    }
    for (const OpenCase& c : cases) {
        AVIFileParser parser;
        EXPECT_EQ(parser.Open(c.path), c.result) << c.what;
        EXPECT_EQ(parser.GetOpenOutcome(), c.outcome) << c.what;
        EXPECT_EQ(parser.GetRootChunks().empty(), c.emptyTree) << c.what;
    }
}

TEST(AVIFileParser, RefusesAnUnreadableFile)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    FixtureFolder folder;
    const QString path = folder.Write("locked.avi", SmallRecording());
    ASSERT_EQ(::chmod(path.toUtf8().constData(), 0), 0);
    AVIFileParser parser;
    EXPECT_FALSE(parser.Open(path));
    EXPECT_EQ(parser.GetOpenOutcome(), Outcome::Unreadable);
}

TEST(AVIFileParser, ReadsFilesUpTo4GiBWithoutReadingTheirPayload)
{
    FixtureFolder folder;
    AviFixtureOptions o;
    o.seconds = 120;
    o.frontFrames = 2600;
    o.rearFrames = 10;
    o.sparse = true;
    o.frameSize = [](int stream, int) { return stream == 0 ? 1u << 20 : 4000u; };
    AviManifest manifest;
    const QString path = folder.Write("big.avi", o, &manifest);
    ASSERT_GT(manifest.fileSize, 2500LL << 20);

    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    EXPECT_EQ(parser.GetVideoStreamCount(), 2);
    EXPECT_EQ(parser.GetTotalFrames(), 2610);
    EXPECT_EQ(parser.GetDuration(), 117);  // 2600 / 22.056
    ExpectIndexMatches(parser, manifest, "00dc");
    ExpectIndexMatches(parser, manifest, "01dc");
    EXPECT_LT(parser.GetIoStats().bytes, 1u << 20);

    // Above 4 GiB - 1 RIFF cannot describe the file.
    ASSERT_EQ(::truncate(path.toUtf8().constData(), (4LL << 30) + 8), 0);
    EXPECT_FALSE(parser.Open(path));
    EXPECT_EQ(parser.GetOpenOutcome(), Outcome::TooLarge);
}

// A RIFF file with one LIST "test" holding the given children, padded
// beyond the set-aside size by a JUNK chunk after the list.
QByteArray FileWithList(const QByteArray& children)
{
    QByteArray list = "LIST" + QByteArray(4, '\0') + "test" + children;
    SetU32At(list, 4, static_cast<uint32_t>(list.size() - 8));
    QByteArray junk = "JUNK" + QByteArray(4, '\0') + QByteArray(32000, '\0');
    SetU32At(junk, 4, 32000);
    QByteArray file = "RIFF" + QByteArray(4, '\0') + "AVI " + list + junk;
    SetU32At(file, 4, static_cast<uint32_t>(file.size() - 8));
    return file;
}

QByteArray Chunk8(const char* id, uint32_t size, const QByteArray& data = {})
{
    QByteArray chunk = QByteArray(id, 4) + QByteArray(4, '\0') + data;
    SetU32At(chunk, 4, size);
    return chunk;
}

TEST(AVIFileParser, WalkEndsAListAtABadHeaderAndKeepsWhatItFound)
{
    const QByteArray first = Chunk8("aaaa", 8, QByteArray(8, 'x'));
    struct Case {
        const char* what;
        QByteArray bad;
        bool result;
    };
    const Case cases[] = {
        {"size 0", Chunk8("bbbb", 0, QByteArray(8, 'y')), false},
        {"size 5", Chunk8("bbbb", 5, QByteArray(8, 'y')), true},
        {"NUL id", Chunk8("\0bbb", 8, QByteArray(8, 'y')), true},
        {"size 0x7FFFFFFF", Chunk8("bbbb", 0x7FFFFFFF, QByteArray(8, 'y')), true},
        {"size 0xFFFFFFFF", Chunk8("bbbb", 0xFFFFFFFF, QByteArray(8, 'y')), true},
    };
    for (const Case& c : cases) {
        FixtureFolder folder;
        const QString path = folder.WriteBytes("w.avi", FileWithList(first + c.bad + Chunk8("cccc", 8, QByteArray(8, 'z'))));
        AVIFileParser parser;
        ASSERT_TRUE(parser.Open(path)) << c.what;
        Chunk* list = parser.FindChildByType("test");
        ASSERT_NE(list, nullptr) << c.what;
        std::vector<Chunk> walked;
        EXPECT_EQ(parser.ParseChunks(list->offset + 12, walked, list->offset + list->size), c.result) << c.what;
        const std::vector<Chunk>& children = parser.Children(*list);
        ASSERT_EQ(children.size(), 1u) << c.what;
        EXPECT_TRUE(children[0].id.Is("aaaa"));
        EXPECT_TRUE(children[0].type.Is("xxxx"));
        EXPECT_EQ(children[0].offset, 24);
    }
}

TEST(AVIFileParser, KeepsTheRootChunkOfTheLastEightBytes)
{
    FixtureFolder folder;
    const QString path = folder.Write("golden.avi", SmallRecording());
    const QByteArray bytes = ReadAll(path);
    const uint32_t lastSize = U32At(bytes, bytes.size() - 4);
    ASSERT_TRUE(lastSize >= 8 && lastSize < static_cast<uint32_t>(bytes.size()) && bytes[bytes.size() - 8] != 0)
        << "the fixture must end in a chunk the walk keeps";

    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    ASSERT_EQ(parser.GetRootChunks().size(), 2u);
    EXPECT_EQ(parser.GetRootChunks()[1].offset, bytes.size() - 8);
    EXPECT_EQ(parser.FindChildByType("hdrl")->offset, 12);
    EXPECT_EQ(parser.GetVideoStreamCount(), 2);
}

TEST(AVIFileParser, WithoutHdrlFallsBackToTheLastRootChunk)
{
    FixtureFolder folder;
    QByteArray junk = Chunk8("JUNK", 32000, QByteArray(32000, '\0'));
    QByteArray file = "RIFF" + QByteArray(4, '\0') + "AVI " + junk;
    SetU32At(file, 4, static_cast<uint32_t>(file.size() - 8));
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(folder.WriteBytes("nohdrl.avi", file)));
    const Chunk* fallback = parser.FindChildByType("hdrl");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback, &parser.GetRootChunks().back());
    EXPECT_EQ(parser.GetVideoStreamCount(), 0);
    EXPECT_EQ(parser.GetTotalFrames(), 0);
    EXPECT_EQ(parser.GetDuration(), 0);
    EXPECT_TRUE(parser.GetIndexEntries("00dc").empty());
    EXPECT_TRUE(parser.GetStreamChunkIds().empty());
}

TEST(AVIFileParser, ReadRefusesBytesOutsideTheFile)
{
    FixtureFolder folder;
    const QString path = folder.Write("golden.avi", SmallRecording());
    const int64_t size = ReadAll(path).size();
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    char buffer[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(parser.Read(size - 4, 8, buffer));
    EXPECT_EQ(buffer[0], 1);  // untouched
    EXPECT_FALSE(parser.Read(-1, 4, buffer));
    EXPECT_FALSE(parser.Read(0, 0, buffer));
    EXPECT_TRUE(parser.Read(size - 8, 8, buffer));
    EXPECT_EQ(parser.ReadDword(size - 2), 0u);
    EXPECT_EQ(parser.ReadFourCC(size).View(), "");
    EXPECT_TRUE(parser.ReadFourCC(0).Is("RIFF"));
}

TEST(AVIFileParser, AShortReadIsAFailedRead)
{
    // The file shrinks after Open (a card pulled, a copy overwritten): reads
    // of bytes that are gone fail instead of reporting zeros as data.
    FixtureFolder folder;
    const QString path = folder.Write("golden.avi", SmallRecording());
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    ASSERT_EQ(::truncate(path.toUtf8().constData(), 1000), 0);
    char buffer[16];
    EXPECT_FALSE(parser.Read(2000, sizeof buffer, buffer));
    EXPECT_EQ(parser.ReadDword(2000), 0u);
    EXPECT_EQ(parser.ReadFourCC(2000).View(), "");
    EXPECT_TRUE(parser.Read(0, 4, buffer));
}

TEST(AVIFileParser, OpenReadsTheSameFewBytesWhateverTheFileSize)
{
    FixtureFolder folder;
    const auto withSize = [](int64_t bytes) {
        AviFixtureOptions o;
        o.sparse = true;
        o.rearFrames = 0;
        o.audioChunkSize = 4088;
        o.motionPerSecond = 0;
        o.gps = false;
        o.frontFrames = static_cast<int>(bytes / 8192);
        o.frameSize = [](int, int) { return 4088u; };
        o.textChunks = std::vector<testsupport::AviTextChunk>{};
        return o;
    };
    IoStats stats[2];
    for (int i = 0; i < 2; ++i) {
        AVIFileParser parser;
        ASSERT_TRUE(parser.Open(folder.Write(QString("f%1.avi").arg(i), withSize(i == 0 ? 1'000'000 : 100'000'000))));
        stats[i] = parser.GetIoStats();
    }
    EXPECT_EQ(stats[0].reads, stats[1].reads);
    EXPECT_EQ(stats[0].bytes, stats[1].bytes);
    EXPECT_LE(stats[0].reads, 6u);
    EXPECT_LE(stats[0].bytes, 64u);
}

TEST(AVIFileParser, NativePathsAreUtf8WithinPathMax)
{
    std::string native;
    EXPECT_FALSE(CFileParser::ToAnsiPath("", native));
    EXPECT_FALSE(CFileParser::ToAnsiPath(QString("a") + QChar(u'\0') + "b.avi", native));
    EXPECT_FALSE(CFileParser::ToAnsiPath("/" + QString(PATH_MAX, u'x'), native));
    ASSERT_TRUE(CFileParser::ToAnsiPath(QString::fromUtf8("/card/a\\b/запись.avi"), native));
    EXPECT_EQ(native, "/card/a\\b/запись.avi");
}

TEST(AVIFileParser, BaseParserDoesNothing)
{
    CFileParser base;
    std::vector<Chunk> list;
    EXPECT_FALSE(base.Open("/x.avi"));
    EXPECT_FALSE(base.ParseChunks(0, list, 100));
    EXPECT_TRUE(base.FindChunks("RIFF").empty());
    EXPECT_EQ(base.ReadDword(0), 0u);
    EXPECT_FALSE(base.HasRiffChunk(list));
}

}  // namespace
