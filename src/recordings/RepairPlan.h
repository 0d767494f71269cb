#pragma once
// What a repair writes, computed from chunk headers alone: the scan of the
// movie data turns headers into index entries, and the plan turns those into
// the bytes appended at the old end and the header fields to patch. No I/O
// here, so huge sizes and 32-bit overflow are tested on synthetic headers.

#include "recordings/RecorderLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// One 16-byte idx1 entry as it is written: the chunk id's four raw bytes,
// then flags, offset (from the movi type field) and size, little-endian.
struct RepairIndexEntry {
    std::array<char, 4> id{};
    uint32_t flags = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
};
static_assert(sizeof(RepairIndexEntry) == 16);


// Walks the movie data chunk by chunk from 532, fed with the file's bytes in
// ascending order (the copy's buffers, any size). Stops without an entry at a
// header not wholly inside the file, an id that is not four ASCII letters,
// digits or spaces, an "idx1", or a chunk whose data does not end inside the
// file. Also stops, marked Exceeded, at a chunk beyond maxEntries.
class MoviScanner {
public:
    explicit MoviScanner(uint64_t fileSize, size_t maxEntries = RecorderLayout::kMaximumIndexEntries);

    // bytes are the file's bytes from position offset on.
    void Feed(uint64_t offset, std::span<const uint8_t> bytes);
    bool Done() const { return done; }
    // More chunks than maxEntries: the entries are incomplete, no repair.
    bool Exceeded() const { return exceeded; }
    const std::vector<RepairIndexEntry>& Entries() const { return entries; }
    // Where the scan stopped: the first position not indexed.
    uint64_t StopPosition() const { return position; }

private:
    static constexpr size_t kProbeBytes = 13;  // header + the fifth data byte
    void TakeHeader();
    size_t NeededBytes() const;

    uint64_t fileSize;
    size_t maxEntries;
    uint64_t position;
    std::array<uint8_t, kProbeBytes> probe{};
    size_t probeFill = 0;
    bool done = false;
    bool exceeded = false;
    std::vector<RepairIndexEntry> entries;
};

// The AVI key-frame flag the index carries: audio and text always, video when
// its first unit after the start code is a sequence parameter set or an IDR
// slice.
uint32_t GetKeyFrameFlag(std::array<char, 4> id, std::optional<uint8_t> fifthDataByte);

struct HeaderPatch {
    uint64_t offset;
    uint32_t value;
};

struct RepairPlan {
    uint64_t oldLength = 0;
    uint64_t newLength = 0;
    std::vector<uint8_t> tail;          // pad byte if any, "idx1", size, entries
    std::vector<HeaderPatch> patches;   // all below RecorderLayout::kHeaderBytes

    // Applies the patches to a copy of the file's first kHeaderBytes bytes.
    std::vector<uint8_t> PatchedHeader(std::span<const uint8_t> header) const;
};

enum class PlanRefusal { NoCompleteChunk, TooLarge };

// The plan for a file of fileSize bytes whose scan gave entries; none (with
// the reason) when nothing could be indexed or the result would not fit RIFF.
std::optional<RepairPlan> MakeRepairPlan(const std::vector<RepairIndexEntry>& entries, uint64_t fileSize,
                                         PlanRefusal* refusal = nullptr);
