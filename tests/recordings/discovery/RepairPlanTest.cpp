// The scan of the movie data and the repair plan, on synthetic chunk runs.

#include "recordings/RepairPlan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A file image: a blank 532-byte header, then the chunks appended.
class ChunkRun {
public:
    ChunkRun() : bytes(RecorderLayout::kFirstChunkOffset, 0) {}

    // A chunk with size bytes of data starting with the given bytes, padded
    // to even length; returns its header position.
    uint64_t Add(const char* id, uint32_t size, std::vector<uint8_t> start = {}, bool pad = true)
    {
        const uint64_t at = bytes.size();
        AddHeader(id, size);
        std::vector<uint8_t> data(size, 0xAB);
        std::copy(start.begin(), start.begin() + std::min<size_t>(start.size(), size), data.begin());
        bytes.insert(bytes.end(), data.begin(), data.end());
        if (pad && (size & 1))
            bytes.push_back(0);
        return at;
    }
    void AddHeader(const char* id, uint32_t size)
    {
        uint8_t header[8];
        std::memcpy(header, id, 4);
        WriteLe32(header + 4, size);
        bytes.insert(bytes.end(), header, header + 8);
    }
    void AddZeros(size_t count) { bytes.insert(bytes.end(), count, 0); }
    void Cut(size_t length) { bytes.resize(length); }

    std::vector<RepairIndexEntry> Scan(size_t feedSize = 1 << 20) const
    {
        MoviScanner scanner(bytes.size());
        for (size_t at = 0; at < bytes.size() && !scanner.Done(); at += feedSize)
            scanner.Feed(at, std::span(bytes).subspan(at, std::min(feedSize, bytes.size() - at)));
        return scanner.Entries();
    }

    std::vector<uint8_t> bytes;
};

std::string Id(const RepairIndexEntry& entry)
{
    return std::string(entry.id.data(), 4);
}

const std::vector<uint8_t> kSps{0, 0, 0, 1, 0x67};
const std::vector<uint8_t> kIdr{0, 0, 0, 1, 0x65};
const std::vector<uint8_t> kSlice{0, 0, 0, 1, 0x41};

uint32_t PatchAt(const RepairPlan& plan, uint64_t offset)
{
    for (const HeaderPatch& patch : plan.patches)
        if (patch.offset == offset)
            return patch.value;
    ADD_FAILURE() << "no patch at " << offset;
    return 0;
}

TEST(MoviScan, KeyFlagsOffsetsAndSizes)
{
    ChunkRun run;
    const uint64_t a = run.Add("00dc", 40, kSps);
    const uint64_t b = run.Add("01dc", 41, kIdr);
    const uint64_t c = run.Add("00dc", 30, kSlice);
    const uint64_t d = run.Add("02wb", 20);
    const uint64_t e = run.Add("03tx", 3);
    const uint64_t f = run.Add("00dc", 0);
    const uint64_t g = run.Add("01dc", 4, {0, 0, 0, 1});  // no fifth data byte
    run.Add("JUNK", 2);

    const auto entries = run.Scan();
    ASSERT_EQ(entries.size(), 8u);
    const struct {
        const char* id;
        uint64_t at;
        uint32_t size;
        uint32_t flags;
    } expected[] = {{"00dc", a, 40, 16}, {"01dc", b, 41, 16}, {"00dc", c, 30, 0}, {"02wb", d, 20, 16},
                    {"03tx", e, 3, 16},  {"00dc", f, 0, 0},   {"01dc", g, 4, 0}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Id(entries[i]), expected[i].id);
        EXPECT_EQ(entries[i].offset, expected[i].at - 528);
        EXPECT_EQ(entries[i].size, expected[i].size);
        EXPECT_EQ(entries[i].flags, expected[i].flags);
    }
}

TEST(MoviScan, OddSizeIsFollowedAfterItsPadByte)
{
    ChunkRun run;
    const uint64_t p = run.Add("00dc", 1001, kIdr);
    const uint64_t next = run.Add("02wb", 10);
    EXPECT_EQ(next, p + 1010);
    const auto entries = run.Scan();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].offset, p + 1010 - 528);
}

TEST(MoviScan, FeedSizeDoesNotChangeTheResult)
{
    ChunkRun run;
    for (int i = 0; i < 50; ++i)
        run.Add(i % 3 ? "00dc" : "02wb", uint32_t(7 * i + 1), i % 5 ? kSlice : kIdr);
    const auto whole = run.Scan();
    ASSERT_EQ(whole.size(), 50u);
    for (size_t feed : {1, 3, 7, 13, 64, 4096}) {
        const auto pieces = run.Scan(feed);
        ASSERT_EQ(pieces.size(), whole.size()) << feed;
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(Id(pieces[i]), Id(whole[i]));
            EXPECT_EQ(pieces[i].offset, whole[i].offset);
            EXPECT_EQ(pieces[i].flags, whole[i].flags) << feed << " " << i;
        }
    }
}

TEST(MoviScan, WhereTheScanStops)
{
    struct Row {
        const char* name;
        void (*tail)(ChunkRun&);
    };
    const Row rows[] = {
        {"1 MiB zero tail", [](ChunkRun& r) { r.AddZeros(1 << 20); }},
        {"header straddling the end", [](ChunkRun& r) { r.AddHeader("00dc", 100); r.Cut(r.bytes.size() - 3); }},
        {"size 0xFFFFFFF8", [](ChunkRun& r) { r.AddHeader("00dc", 0xFFFFFFF8); r.AddZeros(64); }},
        {"idx1 of an interrupted repair", [](ChunkRun& r) { r.Add("idx1", 32); }},
        {"id with a control byte", [](ChunkRun& r) { r.Add("00d\x01", 8); }},
        {"chunk cut inside its data", [](ChunkRun& r) { r.Add("01dc", 5000, kIdr); r.Cut(r.bytes.size() - 100); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ChunkRun run;
        run.Add("00dc", 20, kIdr);
        run.Add("02wb", 9);
        row.tail(run);
        const auto entries = run.Scan();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(Id(entries[1]), "02wb");
    }
}

TEST(MoviScan, PositionsBeyondTwoGibibytesStay64Bit)
{
    // Sparse feeding: only the two headers exist, the first chunk spans
    // almost 4 GiB.
    const uint64_t fileSize = 0xFFFFFFFFull;
    MoviScanner scanner(fileSize);
    uint8_t first[13] = {'0', '0', 'd', 'c'};
    WriteLe32(first + 4, 0xFFFFF000);
    first[12] = 0x65;
    scanner.Feed(532, first);
    const uint64_t second = 532 + 8 + 0xFFFFF000ull;
    uint8_t next[13] = {'0', '2', 'w', 'b'};
    WriteLe32(next + 4, 100);
    scanner.Feed(second, next);
    ASSERT_EQ(scanner.Entries().size(), 2u);
    EXPECT_EQ(scanner.Entries()[1].offset, uint32_t(second - 528));
    EXPECT_EQ(scanner.Entries()[0].flags, 16u);
}

TEST(MoviScan, StopsBeforeHoldingMoreThanTheEntryLimit)
{
    ChunkRun run;
    for (int i = 0; i < 5; ++i)
        run.Add("03tx", 0);
    run.Add("00dc", 20, kIdr);
    for (size_t feed : {size_t(1), size_t(7), run.bytes.size()}) {
        SCOPED_TRACE(feed);
        for (size_t limit : {6, 5, 1, 0}) {
            SCOPED_TRACE(limit);
            MoviScanner scanner(run.bytes.size(), limit);
            for (size_t at = 0; at < run.bytes.size() && !scanner.Done(); at += feed)
                scanner.Feed(at, std::span(run.bytes).subspan(at, std::min(feed, run.bytes.size() - at)));
            EXPECT_TRUE(scanner.Done());
            EXPECT_EQ(scanner.Exceeded(), limit < 6);
            EXPECT_EQ(scanner.Entries().size(), std::min<size_t>(limit, 6));
        }
    }
    // The default limit lies far above any real recording's chunk count.
    MoviScanner scanner(run.bytes.size());
    scanner.Feed(0, run.bytes);
    EXPECT_FALSE(scanner.Exceeded());
    EXPECT_EQ(scanner.Entries().size(), 6u);
    EXPECT_GE(RecorderLayout::kMaximumIndexEntries, 1'000'000u);
}

TEST(RepairPlanMaking, RefusesNothingIndexedAndLengthsBeyondRiff)
{
    PlanRefusal reason{};
    ChunkRun onlyCut;
    onlyCut.Add("00dc", 5000, kIdr);
    onlyCut.Cut(onlyCut.bytes.size() - 1);
    EXPECT_FALSE(MakeRepairPlan(onlyCut.Scan(), onlyCut.bytes.size(), &reason));
    EXPECT_EQ(reason, PlanRefusal::NoCompleteChunk);

    std::vector<RepairIndexEntry> one(1);
    EXPECT_FALSE(MakeRepairPlan(one, 0xFFFFFFF0ull, &reason));
    EXPECT_EQ(reason, PlanRefusal::TooLarge);
    const auto fits = MakeRepairPlan(one, 0xFFFFFFE0ull);
    ASSERT_TRUE(fits);
    EXPECT_EQ(PatchAt(*fits, 4), 0xFFFFFFF0u);
}

TEST(RepairPlanMaking, CountsLargestSizesAndRates)
{
    ChunkRun run;
    const int counts[] = {900, 300, 600, 300};
    const char* ids[] = {"00dc", "01dc", "02wb", "03tx"};
    for (int i = 0; i < 900; ++i) {
        run.Add("00dc", uint32_t(100 + i % 7), kSlice);
        if (i % 3 == 0)
            run.Add("01dc", 50 + uint32_t(i % 11), kSlice);
        if (i % 3 != 2)
            run.Add("02wb", 64);
        if (i % 3 == 1)
            run.Add("03tx", 17);
    }
    const auto entries = run.Scan();
    const auto plan = MakeRepairPlan(entries, run.bytes.size());
    ASSERT_TRUE(plan);
    EXPECT_EQ(PatchAt(*plan, 48), 1200u);
    const uint64_t rateOffsets[] = {132, 256, 380, 480};
    const uint32_t rates[] = {22056, 9342, 44100, 20250};
    const uint32_t largest[] = {106, 60, 64, 17};
    for (int s = 0; s < 4; ++s) {
        SCOPED_TRACE(ids[s]);
        EXPECT_EQ(PatchAt(*plan, rateOffsets[s]), rates[s]);
        EXPECT_EQ(PatchAt(*plan, rateOffsets[s] + 8), uint32_t(counts[s]));
        EXPECT_EQ(PatchAt(*plan, rateOffsets[s] + 12), largest[s]);
    }
}

TEST(RepairPlanMaking, OneCameraGetsZeroRearFieldsWithItsRate)
{
    ChunkRun run;
    run.Add("00dc", 10, kIdr);
    run.Add("02wb", 10);
    const auto plan = MakeRepairPlan(run.Scan(), run.bytes.size());
    ASSERT_TRUE(plan);
    EXPECT_EQ(PatchAt(*plan, 256), 9342u);
    EXPECT_EQ(PatchAt(*plan, 264), 0u);
    EXPECT_EQ(PatchAt(*plan, 268), 0u);
    EXPECT_EQ(PatchAt(*plan, 488), 0u);
    EXPECT_EQ(PatchAt(*plan, 480), 20250u);
}

TEST(RepairPlanMaking, OddLengthGetsAPadByteAndAnEvenIndex)
{
    ChunkRun run;
    run.Add("00dc", 21, kIdr);
    run.Add("02wb", 12);
    run.Add("01dc", 3001, kIdr);
    run.Cut(run.bytes.size() - 1001);  // cut inside the last chunk, odd length
    ASSERT_EQ(run.bytes.size() % 2, 1u);
    const auto entries = run.Scan();
    ASSERT_EQ(entries.size(), 2u);
    const auto plan = MakeRepairPlan(entries, run.bytes.size());
    ASSERT_TRUE(plan);

    const size_t indexBytes = 16 * entries.size();
    ASSERT_EQ(plan->tail.size(), 1 + 8 + indexBytes);
    EXPECT_EQ(plan->tail[0], 0);
    EXPECT_EQ(std::memcmp(plan->tail.data() + 1, "idx1", 4), 0);
    EXPECT_EQ(ReadLe32(plan->tail.data() + 5), indexBytes);
    EXPECT_EQ(plan->newLength, run.bytes.size() + plan->tail.size());
    EXPECT_EQ(PatchAt(*plan, 4), plan->newLength - 8);
    const uint32_t moviSize = PatchAt(*plan, 524);
    EXPECT_EQ(moviSize, run.bytes.size() + 1 - 528);
    EXPECT_EQ(moviSize % 2, 0u);
    const uint8_t* second = plan->tail.data() + 9 + 16;
    EXPECT_EQ(std::memcmp(second, "02wb", 4), 0);
    EXPECT_EQ(ReadLe32(second + 4), 16u);
    EXPECT_EQ(ReadLe32(second + 8), entries[1].offset);
    EXPECT_EQ(ReadLe32(second + 12), 12u);

    for (const HeaderPatch& patch : plan->patches)
        EXPECT_LE(patch.offset + 4, RecorderLayout::kHeaderBytes);
    std::vector<uint8_t> header(532, 0x5A);
    const auto patched = plan->PatchedHeader(header);
    ASSERT_EQ(patched.size(), 532u);
    EXPECT_EQ(ReadLe32(patched.data() + 524), moviSize);
    EXPECT_EQ(patched[0], 0x5A);
}

}  // namespace
