#include "RecordingsFixtures.h"
#include "platform/PosixFileOps.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AVIFileRecovery.h"
#include "recordings/AviSegmentCutter.h"
#include "recordings/AviSegmentCutterPlan.h"
#include "support/FaultyFileOps.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace recordingstest;
using namespace AviSegmentCutter;
namespace fs = std::filesystem;

fs::path Native(const QString& path)
{
    return fs::path(path.toStdString());
}

std::optional<CutPlan> PlanFor(const QString& path, uint32_t start, uint32_t end)
{
    AVIFileParser parser;
    if (!parser.Open(path)) {
        ADD_FAILURE() << "fixture does not open";
        return std::nullopt;
    }
    return CutFrames(parser, start, end);
}

// The invariants every cut must hold, read from its bytes.
void ExpectSoundCut(const QByteArray& out, const QByteArray& src, const CutPlan& plan, const AviManifest& manifest)
{
    ASSERT_EQ(out.size(), plan.outputSize);
    EXPECT_EQ(U32At(out, 4), static_cast<uint32_t>(out.size() - 8));
    const qsizetype n = plan.headerSize;
    ASSERT_EQ(out.mid(n, 4), "LIST");
    ASSERT_EQ(out.mid(n + 8, 4), "movi");
    const qsizetype idx1 = n + 8 + U32At(out, n + 4);
    ASSERT_EQ(idx1 % 2, 0);
    ASSERT_EQ(out.mid(idx1, 4), "idx1");
    const uint32_t entries = U32At(out, idx1 + 4) / 16;
    ASSERT_EQ(idx1 + 8 + 16 * static_cast<qsizetype>(entries), out.size());
    std::map<QByteArray, uint32_t> counts;
    uint32_t videoEntries = 0;
    int64_t lastSource = -1;
    for (uint32_t k = 0; k < entries; ++k) {
        const qsizetype e = idx1 + 8 + 16 * static_cast<qsizetype>(k);
        const QByteArray id = out.mid(e, 4);
        const qsizetype header = n + 8 + U32At(out, e + 8);
        const uint32_t length = U32At(out, e + 12);
        ASSERT_LE(header + 8 + static_cast<qsizetype>(length), idx1) << k;
        ASSERT_EQ(out.mid(header, 4), id) << k;
        ASSERT_EQ(U32At(out, header + 4), length) << k;
        ++counts[id];
        videoEntries += id.contains("dc");
        const PlannedEntry& planned = plan.entries[k];
        if (plan.pieces[planned.piece].carried) {
            EXPECT_EQ(out.mid(header + 8 + kCarriedBytes, length - kCarriedBytes),
                      src.mid(planned.sourceHeader + 8, length - kCarriedBytes))
                << k;
        } else {
            EXPECT_EQ(out.mid(header, 8 + length), src.mid(planned.sourceHeader, 8 + length)) << k;
            EXPECT_GT(planned.sourceHeader, lastSource) << "source order";
            lastSource = planned.sourceHeader;
        }
    }
    EXPECT_EQ(U32At(out, manifest.avihOffset + 24), videoEntries);
    const char* ids[] = {"00dc", "01dc", "02wb", "03tx"};
    for (size_t i = 0; i < manifest.strhOffsets.size(); ++i) {
        EXPECT_EQ(U32At(out, manifest.strhOffsets[i] + 40), counts[ids[i]]) << ids[i];
    }
    EXPECT_EQ(counts["00dc"], plan.e - plan.s);
    if (!plan.j) {
        EXPECT_EQ(counts["01dc"], 0u);
    }
}

struct CutResult {
    bool ok = false;
    QByteArray bytes;
};

CutResult Cut(const FixtureFolder& folder, const QString& source, uint32_t start, uint32_t end, const QString& name = "cut.avi")
{
    const QString destination = folder.Path(name);
    QFile::remove(destination);
    CutResult result;
    result.ok = CutSegment(Native(source), start, end, Native(destination));
    if (result.ok) {
        result.bytes = ReadAll(destination);
    } else {
        EXPECT_FALSE(QFileInfo::exists(destination)) << "a failed cut left a file";
    }
    return result;
}

TEST(AviSegmentCutter, TimesToFramesAndKeyFrames)
{
    FixtureFolder folder;
    AviFixtureOptions flagged = ThirtyFps();
    flagged.videoFlags = [](int stream, int frame, bool key) { return stream == 0 && frame == 270 ? 17u : key ? 16u : 0u; };
    AviFixtureOptions frameOneKey = ThirtyFps();
    frameOneKey.keyFrame = [](int, int frame) { return frame == 1 || frame % 45 == 0; };
    const QString regular = folder.Write("regular.avi", ThirtyFps());
    const QString with17 = folder.Write("flag17.avi", flagged);
    const QString keyAtOne = folder.Write("keyone.avi", frameOneKey);
    struct Row {
        const char* what;
        QString path;
        uint32_t start, end;
        size_t s, e;
    };
    const Row rows[] = {
        {"10-20 s", regular, 10, 20, 270, 600},
        {"12-20 s", regular, 12, 20, 360, 600},
        {"from 0 s, F[1] not a key frame", regular, 0, 5, 0, 150},
        {"from 0 s, F[1] a key frame", keyAtOne, 0, 5, 1, 150},
        {"flag 17 is passed over", with17, 10, 20, 225, 600},
        {"to the duration", regular, 10, 30, 270, 899},
    };
    for (const Row& row : rows) {
        const auto plan = PlanFor(row.path, row.start, row.end);
        ASSERT_TRUE(plan) << row.what;
        EXPECT_EQ(plan->s, row.s) << row.what;
        EXPECT_EQ(plan->e, row.e) << row.what;
    }
    const auto headerOnly = [&](std::function<void(AviFixtureOptions&)> change) {
        AviFixtureOptions o = ThirtyFps();
        change(o);
        return folder.Write("bad.avi", o);
    };
    struct Failing {
        const char* what;
        std::function<QString()> path;
        uint32_t start, end;
    };
    const Failing failing[] = {
        {"start past the frames", [&] { return regular; }, 0xFFFFFFFF, 20},
        {"start at |F|", [&] { return regular; }, 30, 30},
        {"end past the frames", [&] { return regular; }, 10, 31},
        {"s == e", [&] { return regular; }, 15, 15},
        {"length 0", [&] { return headerOnly([](AviFixtureOptions& o) { o.streams[0].length = 0; }); }, 0, 0},
        {"rate 0", [&] { return headerOnly([](AviFixtureOptions& o) { o.streams[0].rate = 0; }); }, 1, 2},
        {"scale 0", [&] { return headerOnly([](AviFixtureOptions& o) { o.streams[0].scale = 0; }); }, 1, 2},
        {"rate 0x80000000", [&] { return headerOnly([](AviFixtureOptions& o) { o.streams[0].rate = 0x80000000u; }); }, 1, 2},
    };
    for (const Failing& row : failing) {
        const QString path = row.path();
        EXPECT_FALSE(PlanFor(path, row.start, row.end)) << row.what;
        EXPECT_FALSE(Cut(folder, path, row.start, row.end).ok) << row.what;
    }
}

TEST(AviSegmentCutter, CarriedChunkAndFirstEntries)
{
    for (const uint32_t size : {4000u, 4001u}) {
        SCOPED_TRACE(size);
        FixtureFolder folder;
        AviFixtureOptions o = ThirtyFps(10);
        o.rearFrames = 0;
        o.frameSize = [size](int, int frame) { return frame == 90 ? size : 301u + static_cast<uint32_t>(frame % 2); };
        AviManifest manifest;
        const QString source = folder.Write("src.avi", o, &manifest);
        const QByteArray src = ReadAll(source);
        const auto plan = PlanFor(source, 3, 6);  // start frame 90, a key frame
        ASSERT_TRUE(plan);
        ASSERT_EQ(plan->s, 90u);
        const CutResult cut = Cut(folder, source, 3, 6);
        ASSERT_TRUE(cut.ok);
        ExpectSoundCut(cut.bytes, src, *plan, manifest);
        const QByteArray& out = cut.bytes;
        const qsizetype chunk = plan->headerSize + 12;
        const auto front = manifest.ChunksOf("00dc");
        EXPECT_EQ(out.mid(chunk, 4), "00dc");
        EXPECT_EQ(U32At(out, chunk + 4), size + 21);
        EXPECT_EQ(out.mid(chunk + 8, 21), src.mid(front[0].headerOffset + 8, 21));
        EXPECT_EQ(out.mid(chunk + 29, size), src.mid(front[90].headerOffset + 8, size));
        const qsizetype next = chunk + 8 + size + 21 + ((size + 21) & 1);
        if ((size + 21) & 1) {
            EXPECT_EQ(out[chunk + 29 + size], '\0');
        }
        // The chunk after the chosen frame follows, its source pad not copied.
        const qsizetype sourceNext = front[90].headerOffset + 8 + size + (size & 1);
        EXPECT_EQ(out.mid(next, 64), src.mid(sourceNext, 64));
        const qsizetype idx1 = plan->indexOffset;
        EXPECT_EQ(U32At(out, idx1 + 8 + 8), 4u);
        EXPECT_EQ(U32At(out, idx1 + 8 + 12), size + 21);
        EXPECT_EQ(U32At(out, idx1 + 24 + 8), 4 + size + 21 + 8 + ((size + 21) & 1));
    }
}

TEST(AviSegmentCutter, RearCarriedChunkAndRearBeforeFront)
{
    FixtureFolder folder;
    AviFixtureOptions o = ThirtyFps(10);
    o.rearLead = 5;  // the rear stream begins before the front
    AviManifest manifest;
    const QString source = folder.Write("lead.avi", o, &manifest);
    const QByteArray src = ReadAll(source);
    const auto plan = PlanFor(source, 0, 5);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->s, 0u);
    ASSERT_TRUE(plan->j);
    EXPECT_EQ(*plan->j, 5u);
    const CutResult cut = Cut(folder, source, 0, 5);
    ASSERT_TRUE(cut.ok);
    ExpectSoundCut(cut.bytes, src, *plan, manifest);
    // Front chunks first, unchanged; the rear comes in with R[0] + R[5].
    const auto front = manifest.ChunksOf("00dc");
    const auto rear = manifest.ChunksOf("01dc");
    const qsizetype chunk = plan->headerSize + 12;
    EXPECT_EQ(cut.bytes.mid(chunk, 8 + front[0].size), src.mid(front[0].headerOffset, 8 + front[0].size));
    const Piece& carried = plan->pieces[1];
    ASSERT_TRUE(carried.carried);
    const qsizetype rearOut = carried.outputOffset;
    EXPECT_EQ(cut.bytes.mid(rearOut, 4), "01dc");
    EXPECT_EQ(U32At(cut.bytes, rearOut + 4), rear[5].size + 21);
    EXPECT_EQ(cut.bytes.mid(rearOut + 8, 21), src.mid(rear[0].headerOffset + 8, 21));
}

TEST(AviSegmentCutter, CopiesTheHeaderAndPatchesOnlyItsCounts)
{
    FixtureFolder folder;
    AviFixtureOptions o = ThirtyFps(10);
    o.junkBeforeMoviSize = 100;
    AviManifest manifest;
    const QString source = folder.Write("junk.avi", o, &manifest);
    const QByteArray src = ReadAll(source);
    const CutResult cut = Cut(folder, source, 2, 6);
    ASSERT_TRUE(cut.ok);
    const qsizetype n = 520;
    QByteArray expected = src.left(n);
    QByteArray actual = cut.bytes.left(n);
    for (const int64_t offset : {int64_t{4}, manifest.avihOffset + 24}) {
        SetU32At(expected, offset, 0);
        SetU32At(actual, offset, 0);
    }
    for (const int64_t strh : manifest.strhOffsets) {
        SetU32At(expected, strh + 40, 0);
        SetU32At(actual, strh + 40, 0);
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(cut.bytes.mid(n, 4), "LIST") << "the JUNK between hdrl and movi is not copied";
    EXPECT_EQ(cut.bytes.mid(n + 8, 4), "movi");

    // A JUNK child inside hdrl gets nothing; each strh gets the count of the
    // id its own strl is given.
    AviFixtureOptions j = ThirtyFps(10);
    j.hdrlJunkSize = 40;
    j.hdrlJunkBefore = 2;
    AviManifest jm;
    const QString junkInside = folder.Write("hdrljunk.avi", j, &jm);
    const QByteArray jsrc = ReadAll(junkInside);
    const CutResult jcut = Cut(folder, junkInside, 2, 6, "cut2.avi");
    ASSERT_TRUE(jcut.ok);
    const qsizetype junkAt = jm.strhOffsets[1] - 12 + 124;
    ASSERT_EQ(jsrc.mid(junkAt, 4), "JUNK");
    EXPECT_EQ(jcut.bytes.mid(junkAt, 48), jsrc.mid(junkAt, 48));
    AVIFileParser reader;
    ASSERT_TRUE(reader.Open(folder.Path("cut2.avi")));
    EXPECT_EQ(reader.GetStreamChunkIds(), (std::vector<std::string>{"00dc", "01dc", "03wb", "04tx"}));
    EXPECT_EQ(U32At(jcut.bytes, jm.strhOffsets[0] + 40), reader.GetIndexEntries("00dc").size());
    EXPECT_EQ(U32At(jcut.bytes, jm.strhOffsets[1] + 40), reader.GetIndexEntries("01dc").size());
    EXPECT_EQ(U32At(jcut.bytes, jm.strhOffsets[2] + 40), 0u);  // no "03wb" chunk exists
}

TEST(AviSegmentCutter, CutFromTheFirstChunksIsTheSourceSlice)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString source = folder.Write("two.avi", ThirtyFps(10), &manifest);
    const QByteArray src = ReadAll(source);
    const auto plan = PlanFor(source, 0, 4);
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->s, 0u);
    ASSERT_EQ(plan->j, std::optional<size_t>(0));
    const CutResult cut = Cut(folder, source, 0, 4);
    ASSERT_TRUE(cut.ok);
    const auto front = manifest.ChunksOf("00dc");
    const qsizetype from = front[0].headerOffset;
    const qsizetype to = front[plan->e].headerOffset;
    EXPECT_EQ(cut.bytes.mid(plan->headerSize + 12, to - from), src.mid(from, to - from));
}

TEST(AviSegmentCutter, OddMovieDataGetsAPadByte)
{
    // A source whose first chunk is odd and unpadded: every later chunk
    // stands at an odd offset, so the copied movie data has an odd length.
    FixtureFolder folder;
    AviFixtureOptions o = ThirtyFps(10);
    o.frameSize = [](int stream, int frame) { return stream == 0 && frame == 0 ? 1001u : 1000u; };
    AviManifest manifest;
    QByteArray bytes = ReadAll(folder.Write("padded.avi", o, &manifest));
    const auto front = manifest.ChunksOf("00dc");
    ASSERT_EQ(front[0].headerOffset, manifest.firstChunkOffset);
    bytes.remove(front[0].headerOffset + 8 + 1001, 1);
    SetU32At(bytes, 4, U32At(bytes, 4) - 1);
    SetU32At(bytes, manifest.moviOffset + 4, U32At(bytes, manifest.moviOffset + 4) - 1);
    const qsizetype idx1 = manifest.idx1Offset - 1;
    for (qsizetype entry = idx1 + 8 + 16; entry < bytes.size(); entry += 16) {
        SetU32At(bytes, entry + 8, U32At(bytes, entry + 8) - 1);
    }
    const QString source = folder.WriteBytes("unpadded.avi", bytes);

    const auto plan = PlanFor(source, 0, 5);
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->s, 0u);
    const int64_t data = front[plan->e].headerOffset - 1 - front[0].headerOffset;
    ASSERT_EQ(data % 2, 1);
    const CutResult cut = Cut(folder, source, 0, 5);
    ASSERT_TRUE(cut.ok);
    ExpectSoundCut(cut.bytes, bytes, *plan, manifest);
    const qsizetype movieStart = plan->headerSize + 12;
    EXPECT_EQ(U32At(cut.bytes, plan->headerSize + 4), static_cast<uint32_t>(4 + data + 1));
    EXPECT_EQ(cut.bytes[movieStart + data], '\0');
    EXPECT_EQ(cut.bytes.mid(movieStart + data + 1, 4), "idx1");
}

TEST(AviSegmentCutter, FrontOnlyWhenNoRearPartExists)
{
    FixtureFolder folder;
    AviFixtureOptions shortRear = ThirtyFps(10);
    shortRear.rearLead = 20;
    shortRear.rearFrames = 20;  // every rear chunk before the first front one
    AviManifest manifest;
    const QString source = folder.Write("shortrear.avi", shortRear, &manifest);
    for (const auto& [start, end] : {std::pair<uint32_t, uint32_t>{3, 6}, {0, 6}}) {
        const auto plan = PlanFor(source, start, end);
        ASSERT_TRUE(plan);
        EXPECT_FALSE(plan->j);
        const CutResult cut = Cut(folder, source, start, end);
        ASSERT_TRUE(cut.ok);
        ExpectSoundCut(cut.bytes, ReadAll(source), *plan, manifest);
        EXPECT_EQ(U32At(cut.bytes, manifest.strhOffsets[1] + 40), 0u);
    }

    // A rear stream that only begins after the end frame.
    AviFixtureOptions lateRear = ThirtyFps(10);
    lateRear.rearFrames = 3;
    lateRear.keyFrame = [](int, int frame) { return frame % 45 == 0; };
    AviManifest lm;
    const QString late = folder.Write("laterear.avi", lateRear, &lm);
    const auto rear = lm.ChunksOf("01dc");
    const auto front = lm.ChunksOf("00dc");
    ASSERT_GT(rear[1].headerOffset, front[90].headerOffset);
    ASSERT_LT(rear[0].headerOffset, front[45].headerOffset);
    const auto plan = PlanFor(late, 2, 3);  // s 45, e 90: the next rear chunk lies after F[e]
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->j);
}

TEST(AviSegmentCutter, RandomCutsAreSound)
{
    const unsigned seed = 4242;
    std::mt19937 random(seed);
    struct Fixture {
        const char* name;
        AviFixtureOptions options;
        bool repaired = false;  // broken by a power cut, then repaired in place
    };
    std::vector<Fixture> fixtures;
    for (int variant = 0; variant < 6; ++variant) {
        AviFixtureOptions o = ThirtyFps(12);
        switch (variant) {
        case 0:
            break;
        case 1:
            o.rearFrames = 0;
            break;
        case 2:  // odd sizes, an irregular key pattern with flags 17
            o.frameSize = [](int stream, int frame) { return (stream ? 151u : 301u) + 2u * static_cast<uint32_t>(frame % 5); };
            o.keyFrame = [](int, int frame) { return frame % 37 == 0 || frame % 53 == 0; };
            o.videoFlags = [](int, int frame, bool key) { return key ? (frame % 3 ? 16u : 17u) : 0u; };
            break;
        case 3:  // only F[0] is a key frame; the rear begins first
            o.keyFrame = [](int, int frame) { return frame == 0; };
            o.rearLead = 7;
            break;
        case 4:  // the rear shorter than the front; an unlisted JUNK in movi
            o.rearFrames = 40;
            o.moviJunkSize = 77;
            o.moviJunkAfter = 100;
            break;
        case 5:  // a repaired file's traits: odd chunks, audio and text all flagged
            o.frameSize = [](int, int frame) { return 401u + static_cast<uint32_t>(frame % 2); };
            o.audioChunkSize = 33;
            break;
        }
        fixtures.push_back({"variant", o});
    }
    // A real repaired file: odd length, so a pad byte stands before its idx1,
    // and the chunk the power cut ended in lies unindexed after the last one.
    AviFixtureOptions cut = ThirtyFps(12);
    cut.powerCut = 0.9;
    fixtures.push_back({"repaired", cut, true});
    FixtureFolder folder;
    int successes = 0;
    for (size_t f = 0; f < fixtures.size(); ++f) {
        AviManifest manifest;
        const QString name = QString("p%1.avi").arg(f);
        const QString source = folder.Write(name, fixtures[f].options, &manifest);
        if (fixtures[f].repaired) {
            if (manifest.fileSize % 2 == 0) {
                AviFixtureOptions odd = fixtures[f].options;
                odd.truncateAt = manifest.cutOffset - 1;
                folder.Write(name, odd, &manifest);
            }
            ASSERT_EQ(manifest.fileSize % 2, 1);
            QString repaired;
            ASSERT_TRUE(AVIFileRecovery(folder.Path("docs")).RecoverFile(source, repaired));
        }
        const QByteArray src = ReadAll(source);
        for (int round = 0; round < 60; ++round) {
            const auto start = std::uniform_int_distribution<uint32_t>(0, 13)(random);
            const auto end = std::uniform_int_distribution<uint32_t>(0, 13)(random);
            SCOPED_TRACE(testing::Message() << "seed " << seed << " fixture " << f << " cut " << start << "-" << end);
            const auto plan = PlanFor(source, start, end);
            const CutResult cut = Cut(folder, source, start, end);
            ASSERT_EQ(cut.ok, plan.has_value());
            if (!cut.ok) {
                continue;
            }
            ++successes;
            ExpectSoundCut(cut.bytes, src, *plan, manifest);
            if (cut.bytes.size() > AVIFileParser::kSetAsideSize) {
                AVIFileParser reader;
                ASSERT_TRUE(reader.Open(folder.Path("cut.avi")));
                EXPECT_EQ(reader.GetIndexEntries("00dc").size(), plan->e - plan->s);
            }
        }
    }
    EXPECT_GT(successes, 150);
}

struct HostileRow {
    const char* what;
    std::function<QString(const FixtureFolder&)> make;
};

TEST(AviSegmentCutter, RefusesHostileSources)
{
    const auto patched = [](std::function<void(QByteArray&, const AviManifest&)> change) {
        return [change](const FixtureFolder& folder) {
            AviManifest manifest;
            const QString path = folder.Write("h.avi", ThirtyFps(10), &manifest);
            QByteArray bytes = ReadAll(path);
            change(bytes, manifest);
            return folder.WriteBytes("h.avi", bytes);
        };
    };
    const auto built = [](std::function<void(AviFixtureOptions&)> change) {
        return [change](const FixtureFolder& folder) {
            AviFixtureOptions o = ThirtyFps(10);
            change(o);
            return folder.Write("h.avi", o);
        };
    };
    // The idx1 entry of the first audio chunk after front frame 150, inside
    // every cut from 3 to 7 s.
    const auto entryInRange = [](const AviManifest& m) {
        qsizetype k = 0;
        for (bool seen = false; k < static_cast<qsizetype>(m.chunks.size()); ++k) {
            seen = seen || (m.chunks[static_cast<size_t>(k)].id == "00dc" && m.chunks[static_cast<size_t>(k)].frame == 150);
            if (seen && m.chunks[static_cast<size_t>(k)].id == "02wb") {
                break;
            }
        }
        return m.idx1Offset + 8 + 16 * k;
    };
    const HostileRow rows[] = {
        {"no idx1", built([](AviFixtureOptions& o) { o.writeIndex = false; })},
        {"no 00dc entries", built([](AviFixtureOptions& o) { o.frontFrames = 0; o.rearFrames = 300; })},
        {"an index entry past the end", patched([&](QByteArray& b, const AviManifest& m) { SetU32At(b, entryInRange(m) + 8, 0x7FFFFF00); })},
        {"a chunk size past the end", patched([](QByteArray& b, const AviManifest& m) { SetU32At(b, m.ChunksOf("00dc")[200].headerOffset + 4, 0x7FFFFF00); })},
        {"a first chunk of 10 data bytes", built([](AviFixtureOptions& o) { o.frameSize = [](int s, int f) { return s == 0 && f == 0 ? 10u : 300u; }; })},
        {"no hdrl", patched([](QByteArray& b, const AviManifest&) { b.replace(20, 4, "hdrX"); })},
        {"no movi", patched([](QByteArray& b, const AviManifest& m) { b.replace(m.moviOffset + 8, 4, "movX"); })},
        {"hdrl not led by avih", patched([](QByteArray& b, const AviManifest&) { b.replace(24, 4, "JUNK"); })},
        {"an entry in range pointing outside the copied bytes",
         patched([&](QByteArray& b, const AviManifest& m) { SetU32At(b, entryInRange(m) + 8, 4); })},
        {"a set-aside small file", built([](AviFixtureOptions& o) { o.seconds = 1; o.frontFrames = 30; o.rearFrames = 0; o.frameSize = [](int, int) { return 100u; }; })},
        {"0 bytes", [](const FixtureFolder& folder) { return folder.WriteBytes("h.avi", {}); }},
        {"a folder", [](const FixtureFolder& folder) { QDir(folder.Root()).mkpath("h.avi"); return folder.Path("h.avi"); }},
        {"a FIFO", [](const FixtureFolder& folder) { ::mkfifo(folder.Path("h.avi").toUtf8().constData(), 0644); return folder.Path("h.avi"); }},
        {"above 4 GiB - 1", [](const FixtureFolder& folder) {
             const QString path = folder.Write("h.avi", ThirtyFps(10));
             EXPECT_EQ(::truncate(path.toUtf8().constData(), (4LL << 30) + 16), 0);
             return path; }},
    };
    for (const HostileRow& row : rows) {
        FixtureFolder folder;
        const QString source = row.make(folder);
        EXPECT_FALSE(Cut(folder, source, 3, 7).ok) << row.what;
    }
}

TEST(AviSegmentCutter, RefusesAnIndexOfMoreEntriesThanTheLimit)
{
    FixtureFolder folder;
    AviManifest manifest;
    const QString source = folder.Write("many.avi", ThirtyFps(10), &manifest);
    QByteArray bytes = ReadAll(source);
    AVIFileParser parser;
    ASSERT_TRUE(parser.Open(source));
    const Chunk* idx1 = parser.FindIndexChunk();
    ASSERT_TRUE(idx1);
    const size_t entries = parser.CountIndexEntries(*idx1);
    ASSERT_EQ(entries, U32At(bytes, manifest.idx1Offset + 4) / 16);
    EXPECT_TRUE(CutFrames(parser, 3, 7, entries));
    EXPECT_FALSE(CutFrames(parser, 3, 7, entries - 1));
    parser.Close();

    // An idx1 size naming one entry more than the limit, the file extended
    // (sparse) to hold it: refused before any entry is read, nothing written.
    const int64_t forgedEntries = static_cast<int64_t>(RecorderLayout::kMaximumIndexEntries) + 1;
    SetU32At(bytes, manifest.idx1Offset + 4, static_cast<uint32_t>(16 * forgedEntries));
    const QString forged = folder.WriteBytes("forged.avi", bytes);
    ASSERT_EQ(::truncate(forged.toUtf8().constData(), manifest.idx1Offset + 8 + 16 * forgedEntries), 0);
    AVIFileParser forgedParser;
    ASSERT_TRUE(forgedParser.Open(forged));
    ASSERT_TRUE(forgedParser.FindIndexChunk());
    EXPECT_EQ(forgedParser.CountIndexEntries(*forgedParser.FindIndexChunk()), static_cast<size_t>(forgedEntries));
    EXPECT_FALSE(CutFrames(forgedParser, 3, 7));
    forgedParser.Close();
    EXPECT_FALSE(Cut(folder, forged, 3, 7).ok);
    EXPECT_TRUE(Cut(folder, source, 3, 7).ok);
}

TEST(AviSegmentCutter, NeverTouchesAnExistingDestination)
{
    FixtureFolder folder;
    const QString source = folder.Write("src.avi", ThirtyFps(10));
    const QByteArray before = ReadAll(source);
    const QString existing = folder.WriteBytes("existing.avi", "keep me");
    struct stat old {};
    ASSERT_EQ(::stat(existing.toUtf8().constData(), &old), 0);
    ASSERT_EQ(::symlink("/nonexistent/target", folder.Path("dangling.avi").toUtf8().constData()), 0);
    QDir(folder.Root()).mkpath("folder.avi");
    const QString refused[] = {existing, folder.Path("dangling.avi"), folder.Path("folder.avi"), source,
                               folder.Path("missing/x.avi"), ""};
    for (const QString& destination : refused) {
        EXPECT_FALSE(CutSegment(Native(source), 2, 5, Native(destination))) << destination.toStdString();
    }
    EXPECT_EQ(ReadAll(existing), "keep me");
    struct stat now {};
    ASSERT_EQ(::stat(existing.toUtf8().constData(), &now), 0);
    EXPECT_EQ(now.st_mtim.tv_nsec, old.st_mtim.tv_nsec);
    EXPECT_EQ(ReadAll(source), before);
    EXPECT_FALSE(CutSegment("", 2, 5, Native(folder.Path("new.avi"))));
    EXPECT_FALSE(CutSegment(Native(folder.Path("none.avi")), 2, 5, Native(folder.Path("new.avi"))));

    // Long and Cyrillic names are fine.
    const QString longFolder = folder.Path(QString(200, u'd'));
    QDir().mkpath(longFolder);
    const QString longDestination = longFolder + "/" + QString(100, u'c') + ".avi";
    EXPECT_TRUE(CutSegment(Native(source), 2, 5, Native(longDestination)));
    EXPECT_TRUE(CutSegment(Native(source), 2, 5, Native(folder.Path(QString::fromUtf8("отрезок.avi")))));
}

TEST(AviSegmentCutter, ReadOnlyFolder)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into a read-only folder";
    }
    FixtureFolder folder;
    const QString source = folder.Write("src.avi", ThirtyFps(10));
    QDir(folder.Root()).mkpath("ro");
    ASSERT_EQ(::chmod(folder.Path("ro").toUtf8().constData(), 0555), 0);
    EXPECT_FALSE(CutSegment(Native(source), 2, 5, Native(folder.Path("ro/x.avi"))));
    EXPECT_FALSE(QFileInfo::exists(folder.Path("ro/x.avi")));
}

using testsupport::FaultyFileOps;

TEST(AviSegmentCutter, EveryWriteAndReadFailureLeavesNoFile)
{
    FixtureFolder folder;
    const QString source = folder.Write("src.avi", ThirtyFps(10));
    const QByteArray before = ReadAll(source);
    const QString destination = folder.Path("out.avi");
    FaultyFileOps counting;
    ASSERT_TRUE(CopySegment(Native(source), 2, 6, Native(destination), counting));
    QFile::remove(destination);
    const int writes = counting.writes;
    ASSERT_GT(writes, 3);
    struct Row {
        const char* what;
        std::function<void(FaultyFileOps&)> arm;
    };
    const Row rows[] = {
        {"first write", [](FaultyFileOps& o) { o.failWrite = 0; }},
        {"a middle write", [&](FaultyFileOps& o) { o.failWrite = writes / 2; }},
        {"the last write", [&](FaultyFileOps& o) { o.failWrite = writes - 1; }},
        {"a short write, then an error", [&](FaultyFileOps& o) { o.failWrite = writes / 2; o.shortThenFail = true; }},
        {"fsync", [](FaultyFileOps& o) { o.failFsync = true; }},
        {"close", [](FaultyFileOps& o) { o.failClose = true; }},
        {"a short source read", [](FaultyFileOps& o) { o.failRead = 2; }},
    };
    for (const Row& row : rows) {
        FaultyFileOps ops;
        row.arm(ops);
        EXPECT_FALSE(CopySegment(Native(source), 2, 6, Native(destination), ops)) << row.what;
        EXPECT_FALSE(QFileInfo::exists(destination)) << row.what;
    }
    EXPECT_EQ(ReadAll(source), before);
}

TEST(AviSegmentCutter, AFullDiskLeavesNoFile)
{
    FixtureFolder folder;
    const QString source = folder.Write("src.avi", ThirtyFps(10));
    const QString destination = folder.Path("out.avi");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        testsupport::ScopedFileSizeLimit limit(20000);  // writes past it fail with EFBIG
        ::_exit(CutSegment(Native(source), 1, 9, Native(destination)) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(QFileInfo::exists(destination));
}

TEST(AviSegmentCutter, ReadsTheSourceInBufferSizedPieces)
{
    FixtureFolder folder;
    AviFixtureOptions o = ThirtyFps(60);
    o.frameSize = [](int stream, int frame) { return (stream ? 3000u : 9000u) + static_cast<uint32_t>(frame % 9); };
    const QString source = folder.Write("big.avi", o);
    FaultyFileOps ops;
    const QString destination = folder.Path("out.avi");
    ASSERT_TRUE(CopySegment(Native(source), 5, 55, Native(destination), ops));
    const int64_t copied = QFileInfo(destination).size();
    ASSERT_GT(copied, static_cast<int64_t>(2 * kCopyBuffer));
    const int64_t buffers = (copied + static_cast<int64_t>(kCopyBuffer) - 1) / static_cast<int64_t>(kCopyBuffer);
    EXPECT_LE(ops.reads, buffers + 8);  // plus the header, carried bytes and range ends
}

}  // namespace
