// The fixture builder writes the recorder's layout byte for byte; the reader
// tests rely on it, so it is checked against raw bytes, not the reader.

#include "RecordingsFixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace recordingstest;
using testsupport::AnnexBFrames;

TEST(AviFixtureBuilder, WritesTheRecorderLayout)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QByteArray b = ReadAll(folder.Write("golden.avi", {}, &manifest));
    ASSERT_EQ(b.size(), manifest.fileSize);
    EXPECT_EQ(b.mid(0, 4), "RIFF");
    EXPECT_EQ(U32At(b, 4), static_cast<uint32_t>(b.size() - 8));
    EXPECT_EQ(b.mid(8, 4), "AVI ");
    EXPECT_EQ(b.mid(12, 4), "LIST");
    EXPECT_EQ(U32At(b, 16), 500u);
    EXPECT_EQ(b.mid(20, 4), "hdrl");
    EXPECT_EQ(b.mid(24, 4), "avih");
    const std::pair<int, const char*> lists[] = {{88, "vids"}, {212, "vids"}, {336, "auds"}, {436, "txts"}};
    const uint32_t listSizes[] = {116, 116, 92, 76};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.mid(lists[i].first, 4), "LIST") << i;
        EXPECT_EQ(U32At(b, lists[i].first + 4), listSizes[i]) << i;
        EXPECT_EQ(b.mid(lists[i].first + 12, 4), "strh") << i;
        EXPECT_EQ(b.mid(lists[i].first + 20, 4), lists[i].second) << i;
        EXPECT_EQ(manifest.strhOffsets[static_cast<size_t>(i)], lists[i].first + 12) << i;
    }
    EXPECT_EQ(b.mid(512, 4), "strf");
    EXPECT_EQ(U32At(b, 516), 0u);
    EXPECT_EQ(b.mid(520, 4), "LIST");
    EXPECT_EQ(b.mid(528, 4), "movi");
    EXPECT_EQ(b.mid(532, 4), "00dc");
    EXPECT_EQ(b.mid(540, 5), QByteArray::fromHex("0000000167"));  // parameter sets first
    EXPECT_EQ(manifest.firstChunkOffset, 532);

    // Rates the repair writes, scale 1000 for video and text, 1 for audio.
    const uint32_t rates[] = {22056, 9342, 44100, 20250};
    const uint32_t scales[] = {1000, 1000, 1, 1000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(U32At(b, manifest.strhOffsets[static_cast<size_t>(i)] + 28), scales[i]);
        EXPECT_EQ(U32At(b, manifest.strhOffsets[static_cast<size_t>(i)] + 32), rates[i]);
        EXPECT_EQ(U32At(b, manifest.strhOffsets[static_cast<size_t>(i)] + 40),
                  static_cast<uint32_t>(manifest.streamCounts[static_cast<size_t>(i)]));
    }

    // idx1: offsets from the "movi" field, flags 16 on key frames, audio and text.
    ASSERT_GT(manifest.idx1Offset, 0);
    EXPECT_EQ(b.mid(manifest.idx1Offset, 4), "idx1");
    qsizetype entry = manifest.idx1Offset + 8;
    int keyFrames = 0;
    for (const auto& chunk : manifest.chunks) {
        EXPECT_EQ(b.mid(chunk.headerOffset, 4), QByteArray::fromStdString(chunk.id));
        EXPECT_EQ(U32At(b, chunk.headerOffset + 4), chunk.size);
        EXPECT_EQ(chunk.headerOffset % 2, 0) << "odd chunks are padded";
        EXPECT_EQ(b.mid(entry, 4), QByteArray::fromStdString(chunk.id));
        EXPECT_EQ(U32At(b, entry + 4), chunk.flags);
        EXPECT_EQ(U32At(b, entry + 8), static_cast<uint32_t>(chunk.headerOffset - 528));
        EXPECT_EQ(U32At(b, entry + 12), chunk.size);
        const bool video = chunk.id == "00dc" || chunk.id == "01dc";
        if (video) {
            const bool key = chunk.frame % 30 == 0;
            keyFrames += key;
            EXPECT_EQ(chunk.flags, key ? 16u : 0u);
            const int nal = chunk.frame == 0 ? 0x67 : key ? 0x65 : 0x41;
            EXPECT_EQ(static_cast<unsigned char>(b[static_cast<qsizetype>(chunk.headerOffset + 12)]), nal);
        } else {
            EXPECT_EQ(chunk.flags, 16u);
        }
        entry += 16;
    }
    EXPECT_GT(keyFrames, 4);
    EXPECT_EQ(entry, b.size());
}

TEST(AviFixtureBuilder, PowerCutZeroesSizesAndCountsAndCutsInsideAChunk)
{
    FixtureFolder folder;
    AviFixtureOptions o;
    o.powerCut = 0.5;
    AviManifest manifest;
    const QByteArray b = ReadAll(folder.Write("cut.avi", o, &manifest));
    EXPECT_EQ(U32At(b, 4), 0u);
    EXPECT_EQ(U32At(b, 524), 0u);
    EXPECT_EQ(U32At(b, 48), 0u);
    for (const int64_t strh : manifest.strhOffsets) {
        EXPECT_EQ(U32At(b, strh + 40), 0u);
    }
    EXPECT_EQ(manifest.idx1Offset, -1);
    EXPECT_EQ(b.indexOf("idx1"), -1);
    const auto& last = manifest.chunks.back();
    EXPECT_GT(b.size(), last.headerOffset + 8);
    EXPECT_LT(b.size(), last.headerOffset + 8 + last.size);
    AviManifest whole;
    folder.Write("whole.avi", {}, &whole);
    EXPECT_NEAR(static_cast<double>(b.size()) / static_cast<double>(whole.idx1Offset), 0.5, 0.05);
}

TEST(AviFixtureBuilder, SizesAndVariants)
{
    FixtureFolder folder;
    AviFixtureOptions exact;
    exact.seconds = 1;
    exact.frameSize = [](int, int) { return 100u; };
    exact.exactSize = 30721;
    EXPECT_EQ(ReadAll(folder.Write("exact.avi", exact)).size(), 30721);

    AviFixtureOptions foreign;
    foreign.foreignLayout = true;
    const QByteArray f = ReadAll(folder.Write("foreign.avi", foreign));
    EXPECT_EQ(U32At(f, 16), 416u);  // three stream lists
    EXPECT_EQ(f.indexOf("txts"), -1);

    AviFixtureOptions oneCamera;
    oneCamera.rearFrames = 0;
    AviManifest manifest;
    const QByteArray c = ReadAll(folder.Write("one.avi", oneCamera, &manifest));
    EXPECT_EQ(U32At(c, 16), 500u);
    EXPECT_EQ(manifest.streamCounts[1], 0);
    EXPECT_EQ(c.mid(232, 4), "vids");
}

TEST(AnnexBFrames, SplitsAStreamIntoAccessUnits)
{
    const QByteArray sps = QByteArray::fromHex("0000000167640028");
    const QByteArray pps = QByteArray::fromHex("0000000168ee3c80");
    const QByteArray idr = QByteArray::fromHex("0000000165888400");       // first_mb_in_slice 0
    const QByteArray idrSecond = QByteArray::fromHex("00000165404000");   // first_mb_in_slice > 0
    const QByteArray p1 = QByteArray::fromHex("00000001419a0102");
    const QByteArray sei = QByteArray::fromHex("0000000106050102");
    const QByteArray p2 = QByteArray::fromHex("000001419a0304");
    const QByteArray aud = QByteArray::fromHex("0000000109f0");
    const QByteArray p3 = QByteArray::fromHex("00000001419a0506");
    const auto frames = AnnexBFrames(sps + pps + idr + idrSecond + p1 + sei + p2 + aud + p3);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].bytes, sps + pps + idr + idrSecond);
    EXPECT_TRUE(frames[0].key);
    EXPECT_EQ(frames[1].bytes, p1);
    EXPECT_FALSE(frames[1].key);
    EXPECT_EQ(frames[2].bytes, sei + p2);
    EXPECT_EQ(frames[3].bytes, aud + p3);
    EXPECT_TRUE(AnnexBFrames(QByteArray()).empty());
}

}  // namespace
