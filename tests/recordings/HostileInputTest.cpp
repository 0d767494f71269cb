// Files made to hurt the reader: it must stay within the file, within its
// time and within its memory, and never crash (also under the sanitizers).

#include "RecordingsFixtures.h"
#include "recordings/AVIFileLoader.h"
#include "recordings/AVIFileParser.h"
#include "recordings/RecorderLayout.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

using namespace recordingstest;

// Every query of the reader and the whole decoder; returns the reads made.
uint64_t ExerciseEverything(const QString& path)
{
    uint64_t reads = 0;
    {
        AVIFileParser parser;
        parser.Open(path);
        parser.FindChildByType("hdrl");
        parser.FindChildByType("movi");
        parser.GetVideoStreamCount();
        parser.GetTotalFrames();
        parser.GetWidth();
        parser.GetHeight();
        parser.FindVideoStreamHeader();
        parser.GetDuration();
        parser.GetStreamChunkIds();
        parser.FindChunks("idx1");
        for (const char* id : {"00dc", "01dc", "02wb", "03tx", ""}) {
            parser.GetIndexEntries(id);
        }
        reads += parser.GetIoStats().reads;
    }
    RecordingEntry entry(OleDateTime(), RECORDING_UNKNOWN, path, "x.avi");
    AVIFileLoader loader;
    loader.GetMetadataFromAVIFile(entry);
    loader.Close();
    entry.GetMotionSampleAt(1.5);
    entry.GetGpsFixAt(1.5);
    return reads + loader.GetLastIoStats().reads;
}

// Rewrites the file in place: truncating to 0 and writing anew makes ext4
// flush at every close, which would make the mutation run crawl.
void Overwrite(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(path.toUtf8().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), 0), bytes.size());
    EXPECT_EQ(::ftruncate(fd, bytes.size()), 0);
    ::close(fd);
}

QByteArray NestedLists(int depth)
{
    const int trailing = 1000;
    const qsizetype size = 12 + 12LL * depth + trailing;
    QByteArray file(size, '\0');
    file.replace(0, 4, "RIFF");
    SetU32At(file, 4, static_cast<uint32_t>(size - 8));
    file.replace(8, 4, "AVI ");
    for (int i = 0; i < depth; ++i) {
        const qsizetype pos = 12 + 12LL * i;
        file.replace(pos, 4, "LIST");
        SetU32At(file, pos + 4, static_cast<uint32_t>(size - pos - 8));
        file.replace(pos + 8, 4, i % 2 ? "hdrl" : "strl");
    }
    return file;
}

TEST(HostileInput, ListsNestedAHundredThousandDeep)
{
    FixtureFolder folder;
    const QString path = folder.WriteBytes("nested.avi", NestedLists(100000));
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    EXPECT_TRUE(parser.FindChunks("idx1").empty());
    EXPECT_EQ(parser.GetVideoStreamCount(), 0);
    EXPECT_LE(ExerciseEverything(path), 200u);
}

TEST(HostileInput, ForgedSizesAndOffsets)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString golden = folder.Write("golden.avi", SmallRecording(), &manifest);
    const QByteArray bytes = ReadAll(golden);
    struct Case {
        const char* what;
        std::function<QByteArray()> make;
    };
    const auto patched = [&](qsizetype offset, uint32_t value) {
        return [&bytes, offset, value] {
            QByteArray b = bytes;
            SetU32At(b, offset, value);
            return b;
        };
    };
    const Case cases[] = {
        {"avih size 0x7FFFFFFF", patched(28, 0x7FFFFFFF)},
        {"avih size 0xFFFFFFFF", patched(28, 0xFFFFFFFF)},
        {"hdrl size 0xFFFFFFFF", patched(16, 0xFFFFFFFF)},
        {"movi size 0xFFFFFFFF", patched(manifest.moviOffset + 4, 0xFFFFFFFF)},
        {"idx1 size 0xFFFFFFF0", patched(manifest.idx1Offset + 4, 0xFFFFFFF0)},
        {"idx1 running past the end", patched(manifest.idx1Offset + 4, static_cast<uint32_t>(bytes.size() - 16))},
        {"rate and scale 0",
         [&] {
             QByteArray b = bytes;
             SetU32At(b, manifest.strhOffsets[0] + 28, 0);
             SetU32At(b, manifest.strhOffsets[0] + 32, 0);
             return b;
         }},
        {"index entries past the end",
         [&] {
             QByteArray b = bytes;
             for (qsizetype pos = manifest.idx1Offset + 8; pos + 16 <= b.size(); pos += 16) {
                 SetU32At(b, pos + 8, 0xFFFFFF00u - static_cast<uint32_t>(pos));
             }
             return b;
         }},
        {"a G chunk as the last bytes of the file",
         [&] {
             QByteArray b = bytes;
             const qsizetype header = b.size();
             b += "03tx" + QByteArray(4, '\0') + "G$GPRMC,08";
             SetU32At(b, header + 4, 20);
             // The first index entry now points at it.
             b.replace(manifest.idx1Offset + 8, 4, "03tx");
             SetU32At(b, manifest.idx1Offset + 16, static_cast<uint32_t>(header - (manifest.moviOffset + 8)));
             return b;
         }},
    };
    for (const Case& c : cases) {
        const QString path = folder.WriteBytes("hostile.avi", c.make());
        EXPECT_LE(ExerciseEverything(path), 400u) << c.what;
    }
    {
        // An idx1 running past the end is read to the end of the file only, in one read.
        const QString path = folder.WriteBytes("idx1.avi", cases[5].make());
        AVIFileParser parser;
        ASSERT_TRUE(parser.Open(path));
        const uint64_t before = parser.GetIoStats().reads;
        EXPECT_EQ(parser.GetIndexEntries("00dc").size(), static_cast<size_t>(manifest.streamCounts[0]));
        EXPECT_LE(parser.GetIoStats().reads - before, 20u);
    }
}

TEST(HostileInput, RefusesAnIndexOfMoreEntriesThanTheLimit)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QByteArray bytes = ReadAll(folder.Write("golden.avi", {}, &manifest));
    const size_t textChunks = manifest.ChunksOf("03tx").size();
    ASSERT_FALSE(manifest.fixes.empty());
    ASSERT_FALSE(manifest.samples.empty());
    // The idx1 size names this many entries, the file extended (sparse) to
    // hold them; 0 leaves the fixture as written.
    const int64_t limit = static_cast<int64_t>(RecorderLayout::kMaximumIndexEntries);
    const struct {
        int64_t entries;
        bool accepted;
    } rows[] = {{0, true}, {limit, true}, {limit + 1, false}};
    for (const auto& row : rows) {
        QByteArray b = bytes;
        if (row.entries) {
            SetU32At(b, manifest.idx1Offset + 4, static_cast<uint32_t>(16 * row.entries));
        }
        const QString path = folder.WriteBytes("index.avi", b);
        if (row.entries) {
            ASSERT_EQ(::truncate(path.toUtf8().constData(), manifest.idx1Offset + 8 + 16 * row.entries), 0);
        }
        AVIFileParser parser;
        ASSERT_TRUE(parser.Open(path));
        EXPECT_EQ(parser.GetIndexEntries("03tx").size(), row.accepted ? textChunks : 0u) << row.entries;
        EXPECT_EQ(parser.GetIndexEntries("00dc").size(), row.accepted ? static_cast<size_t>(manifest.streamCounts[0]) : 0u)
            << row.entries;
        parser.Close();

        // Refused, the metadata parse fails and leaves the entry as it was.
        RecordingEntry entry(OleDateTime(), RECORDING_UNKNOWN, path, "index.avi");
        AVIFileLoader loader;
        EXPECT_EQ(loader.GetMetadataFromAVIFile(entry), row.accepted) << row.entries;
        EXPECT_EQ(entry.metadataLoaded, row.accepted) << row.entries;
        EXPECT_EQ(entry.duration, row.accepted ? 10 : 0) << row.entries;
        EXPECT_EQ(entry.gpsFixes.size(), row.accepted ? manifest.fixes.size() : 0u) << row.entries;
        EXPECT_EQ(entry.motionSamples.size(), row.accepted ? manifest.samples.size() : 0u) << row.entries;
    }
}

TEST(HostileInput, RandomMutationsOfARecording)
{
    FixtureFolder folder;
    const QByteArray golden = ReadAll(folder.Write("golden.avi", SmallRecording()));
    const unsigned seed = 20130507;
    std::mt19937 random(seed);
    for (int run = 0; run < 10000; ++run) {
        QByteArray bytes = golden;
        const int changes = std::uniform_int_distribution(1, 8)(random);
        for (int i = 0; i < changes; ++i) {
            // Half of the changes land in the headers, where the walk reads.
            const qsizetype limit = std::uniform_int_distribution(0, 1)(random) ? 600 : bytes.size();
            const auto pos = std::uniform_int_distribution<qsizetype>(0, limit - 1)(random);
            bytes[pos] = static_cast<char>(std::uniform_int_distribution(0, 255)(random));
        }
        if (run % 7 == 0) {
            bytes.truncate(std::uniform_int_distribution<qsizetype>(0, bytes.size())(random));
        }
        const QString path = folder.Path("m.avi");
        Overwrite(path, bytes);
        // Two walks (reader and decoder) of at most one header per 8 bytes.
        ASSERT_LE(ExerciseEverything(path), static_cast<uint64_t>(bytes.size() / 4 + 1000)) << "seed " << seed << " run " << run;
    }
}

}  // namespace
