// The cutter's units: the index read only up to the cut gives the cut that
// reading the whole index gave, byte for byte; the copy and the header patch
// hold at buffer boundaries.

#include "RecordingsFixtures.h"
#include "platform/ExclusiveOutputFile.h"
#include "platform/PosixFileOps.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AVIFileRecovery.h"
#include "recordings/AviSegmentCutterCopy.h"
#include "recordings/AviSegmentCutterIndex.h"
#include "recordings/AviSegmentCutterPatch.h"
#include "recordings/AviSegmentCutterPlan.h"

#include <gtest/gtest.h>

#include <QFile>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

using namespace recordingstest;
using namespace AviSegmentCutter;

// Smaller chunks than the cutter's own tests use, so 300 s stay small.
AviFixtureOptions SmallChunks(int seconds)
{
    return ThirtyFps(seconds, 700, 300, 48);
}

struct Written {
    bool ok = false;
    QByteArray bytes;
};

// The plan of one reading, written as the cutter writes it.
Written CutWith(const FixtureFolder& folder, const QString& source, uint32_t start, uint32_t end, IndexReading reading)
{
    AVIFileParser parser;
    if (!parser.Open(source)) {
        ADD_FAILURE() << "the source does not open";
        return {};
    }
    std::optional<CutPlan> plan = CutFrames(parser, start, end, RecorderLayout::kMaximumIndexEntries, reading);
    if (!plan) {
        return {};
    }
    const QString out = folder.Path(reading == IndexReading::Whole ? "whole.avi" : "fast.avi");
    QFile::remove(out);
    ExclusiveOutputFile output;
    if (!output.Create(out.toStdString()) || !WriteSegment(*plan, parser.GetDescriptor(), output, PosixFileOps::Real()) ||
        !output.Commit()) {
        ADD_FAILURE() << "the plan could not be written";
        return {};
    }
    return {true, ReadAll(out)};
}

TEST(CutUnits, IndexReadUpToTheCutGivesTheWholeIndexCut)
{
    struct Source {
        const char* what;
        AviFixtureOptions options;
        bool repaired = false;
    };
    AviFixtureOptions oneCamera = SmallChunks(20);
    oneCamera.rearFrames = 0;
    AviFixtureOptions rearEndsEarly = SmallChunks(20);
    rearEndsEarly.rearFrames = 60;  // the rear stream stops after 6 s of 20
    AviFixtureOptions powerCut = SmallChunks(20);
    powerCut.powerCut = 0.93;
    AviFixtureOptions rearFirst = SmallChunks(20);
    rearFirst.rearLead = 5;
    rearFirst.keyFrame = [](int, int frame) { return frame % 37 == 0 || frame % 53 == 0; };
    rearFirst.videoFlags = [](int, int frame, bool key) { return key ? (frame % 3 ? 16u : 17u) : 0u; };
    const Source sources[] = {
        {"two cameras", SmallChunks(20)},
        {"one camera", oneCamera},
        {"repaired", powerCut, true},
        {"rear stream ends early", rearEndsEarly},
        {"rear first, irregular keys flagged 16 or 17", rearFirst},
    };
    std::mt19937 random(4021);
    FixtureFolder folder;
    int compared = 0;
    int cuts = 0;
    for (const Source& source : sources) {
        const QString path = folder.Write(QString("%1.avi").arg(compared), source.options);
        if (source.repaired) {
            QString repaired;
            ASSERT_TRUE(AVIFileRecovery(folder.Path("docs")).RecoverFile(path, repaired)) << source.what;
        }
        for (int round = 0; round < 40; ++round, ++compared) {
            const auto start = std::uniform_int_distribution<uint32_t>(0, 21)(random);
            const auto end = std::uniform_int_distribution<uint32_t>(0, 21)(random);
            SCOPED_TRACE(testing::Message() << source.what << ", cut " << start << "-" << end);
            const Written whole = CutWith(folder, path, start, end, IndexReading::Whole);
            const Written fast = CutWith(folder, path, start, end, IndexReading::UpToTheCut);
            ASSERT_EQ(fast.ok, whole.ok);
            ASSERT_EQ(fast.bytes, whole.bytes);
            cuts += fast.ok ? 1 : 0;
        }
    }
    EXPECT_EQ(compared, 200);
    EXPECT_GT(cuts, 80);
}

TEST(CutUnits, AShortCutReadsOnlyTheStartOfALongIndex)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString path = folder.Write("long.avi", SmallChunks(300), &manifest);
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(path));
    const Chunk* idx1 = parser.FindIndexChunk();
    ASSERT_TRUE(idx1);
    const uint64_t before = parser.GetIoStats().bytes;
    const std::optional<CutIndex> index = ReadIndexUpToTheCut(parser, *idx1, manifest.moviOffset + 8, 300, 600);
    ASSERT_TRUE(index);
    EXPECT_EQ(index->frontCount, 601u);
    EXPECT_EQ(index->s, 270u);
    EXPECT_LT(parser.GetIoStats().bytes - before, idx1->size / 4);
    // Kept: from the key frame on (330 front frames and what lies between
    // them), none of the 270 frames before it.
    EXPECT_EQ(index->entries.front().entryOffset, index->key.entryOffset);
    EXPECT_LT(index->entries.size(), 1000u);
}

TEST(CutUnits, AnIndexOutOfFileOrderIsReadWhole)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString source = folder.Write("h.avi", SmallChunks(10), &manifest);
    QByteArray bytes = ReadAll(source);
    // Entries 10 and 11 swapped: their chunks are named out of order.
    const qsizetype first = manifest.idx1Offset + 8 + 16 * 10;
    const QByteArray entry = bytes.mid(first, 16);
    bytes.replace(first, 16, bytes.mid(first + 16, 16));
    bytes.replace(first + 16, 16, entry);
    const QString swapped = folder.WriteBytes("swapped.avi", bytes);
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(swapped));
    ASSERT_TRUE(parser.FindIndexChunk());
    EXPECT_FALSE(ReadIndexUpToTheCut(parser, *parser.FindIndexChunk(), manifest.moviOffset + 8, 60, 120));
    for (const auto& [start, end] : {std::pair{0u, 3u}, {2u, 6u}, {5u, 10u}}) {
        const Written whole = CutWith(folder, swapped, start, end, IndexReading::Whole);
        const Written fast = CutWith(folder, swapped, start, end, IndexReading::UpToTheCut);
        EXPECT_EQ(fast.ok, whole.ok) << start;
        EXPECT_EQ(fast.bytes, whole.bytes) << start;
    }
}

TEST(CutUnits, HeaderPatchesAndSizeFieldsStraddleCopyWindows)
{
    // A patch split over two windows lands whole.
    std::vector<std::pair<int64_t, uint32_t>> patches{{6, 0x44332211}, {0, 0xAABBCCDD}};
    char first[8] = {};
    char second[8] = {};
    ApplyHeaderPatches(patches, 0, first, sizeof first);
    ApplyHeaderPatches(patches, 8, second, sizeof second);
    EXPECT_EQ(ReadLe32(first), 0xAABBCCDDu);
    EXPECT_EQ(static_cast<unsigned char>(first[6]), 0x11);
    EXPECT_EQ(static_cast<unsigned char>(first[7]), 0x22);
    EXPECT_EQ(static_cast<unsigned char>(second[0]), 0x33);
    EXPECT_EQ(static_cast<unsigned char>(second[1]), 0x44);

    // A size field across the copy buffer's end is still read whole, and the
    // bytes pass unchanged.
    FixtureFolder folder;
    QByteArray data(300 * 1024, '\0');
    for (qsizetype i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i * 7);
    }
    CopyBuffer buffer(1);  // the smallest buffer there is
    const int64_t across = static_cast<int64_t>(buffer.Size()) - 2;
    SetU32At(data, across, 0x12345678);
    const QString source = folder.WriteBytes("data.bin", data);
    const int fd = ::open(source.toUtf8().constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ExclusiveOutputFile output;
    ASSERT_TRUE(output.Create(folder.Path("copy.bin").toStdString()));
    std::vector<SizeProbe> probes{{across, 0, {}}, {across + 100, 1, {}}};
    ASSERT_TRUE(CopyRange(PosixFileOps::Real(), fd, output, buffer, 0, data.size(), {}, probes));
    ASSERT_TRUE(output.Commit());
    ::close(fd);
    EXPECT_EQ(ReadLe32(probes[0].bytes), 0x12345678u);
    EXPECT_EQ(ReadLe32(probes[1].bytes), U32At(data, across + 100));
    EXPECT_EQ(ReadAll(folder.Path("copy.bin")), data);
}

}  // namespace
