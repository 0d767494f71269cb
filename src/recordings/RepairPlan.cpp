#include "recordings/RepairPlan.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsIdCharacter(uint8_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ';
}

bool IdEquals(const std::array<char, 4>& id, const char (&tag)[5])
{
    return std::memcmp(id.data(), tag, 4) == 0;
}

struct StreamFields {
    char id[5];
    uint64_t rateOffset;
    uint32_t rate;
};

// dwLength lies 8 bytes after dwRate, dwSuggestedBufferSize 12 bytes after.
constexpr StreamFields kStreams[] = {
    {"00dc", 132, 22056},
    {"01dc", 256, 9342},
    {"02wb", 380, 44100},
    {"03tx", 480, 20250},
};

constexpr uint64_t kRiffSizeOffset = 4;
constexpr uint64_t kTotalFramesOffset = 48;
constexpr uint64_t kMoviSizeOffset = 524;
constexpr uint32_t kKeyFrameFlag = 16;

}  // namespace

uint32_t GetKeyFrameFlag(std::array<char, 4> id, std::optional<uint8_t> fifthDataByte)
{
    if (IdEquals(id, "03tx") || IdEquals(id, "02wb"))
        return kKeyFrameFlag;
    // 0x67 opens a sequence parameter set, 0x65 an IDR slice.
    if (fifthDataByte && (*fifthDataByte == 0x67 || *fifthDataByte == 0x65))
        return kKeyFrameFlag;
    return 0;
}

MoviScanner::MoviScanner(uint64_t fileSize, size_t maxEntries)
    : fileSize(fileSize), maxEntries(maxEntries), position(RecorderLayout::kFirstChunkOffset)
{
    done = position + 8 > fileSize;
}

size_t MoviScanner::NeededBytes() const
{
    return size_t(std::min<uint64_t>(kProbeBytes, fileSize - position));
}

void MoviScanner::Feed(uint64_t offset, std::span<const uint8_t> bytes)
{
    const uint64_t end = offset + bytes.size();
    while (!done) {
        const size_t needed = NeededBytes();
        if (probeFill >= needed) {
            TakeHeader();
            continue;
        }
        const uint64_t wanted = position + probeFill;
        if (end <= wanted)
            return;
        if (offset > wanted) {
            // Bytes were skipped: nothing more can be trusted.
            done = true;
            return;
        }
        const size_t count = size_t(std::min<uint64_t>(needed - probeFill, end - wanted));
        std::memcpy(probe.data() + probeFill, bytes.data() + (wanted - offset), count);
        probeFill += count;
    }
}

void MoviScanner::TakeHeader()
{
    RepairIndexEntry entry;
    std::memcpy(entry.id.data(), probe.data(), 4);
    const bool validId = std::all_of(probe.begin(), probe.begin() + 4, IsIdCharacter);
    // An idx1 here is the index of an interrupted repair, not movie data.
    if (!validId || IdEquals(entry.id, "idx1")) {
        done = true;
        return;
    }
    entry.size = ReadLe32(probe.data() + 4);
    const uint64_t dataEnd = position + 8 + entry.size;
    if (dataEnd > fileSize) {
        done = true;
        return;
    }
    std::optional<uint8_t> fifth;
    if (entry.size >= 5)
        fifth = probe[12];
    entry.flags = GetKeyFrameFlag(entry.id, fifth);
    entry.offset = uint32_t(position - RecorderLayout::kMoviTypeOffset);
    // Checked before the vector grows: a forged run of empty chunks must not
    // exhaust memory.
    if (entries.size() >= maxEntries) {
        exceeded = true;
        done = true;
        return;
    }
    entries.push_back(entry);

    // A short chunk's probe already holds the start of the next header.
    const uint64_t next = dataEnd + (entry.size & 1);
    const uint64_t probed = position + probeFill;
    const size_t kept = next < probed ? size_t(probed - next) : 0;
    std::memmove(probe.data(), probe.data() + (probeFill - kept), kept);
    probeFill = kept;
    position = next;
    if (position + 8 > fileSize)
        done = true;
}

std::vector<uint8_t> RepairPlan::PatchedHeader(std::span<const uint8_t> header) const
{
    std::vector<uint8_t> patched(header.begin(), header.begin() + RecorderLayout::kHeaderBytes);
    for (const HeaderPatch& patch : patches)
        WriteLe32(patched.data() + patch.offset, patch.value);
    return patched;
}

namespace {

uint32_t CountEntries(const std::vector<RepairIndexEntry>& entries, const char (&id)[5])
{
    return uint32_t(std::count_if(entries.begin(), entries.end(),
                                  [&](const RepairIndexEntry& e) { return IdEquals(e.id, id); }));
}

// The largest size among the entries of that id; 0 when there is none.
uint32_t MaxEntrySize(const std::vector<RepairIndexEntry>& entries, const char (&id)[5])
{
    uint32_t size = 0;
    for (const RepairIndexEntry& e : entries)
        if (IdEquals(e.id, id))
            size = std::max(size, e.size);
    return size;
}

// The pad byte (when the old length is odd), "idx1", its size, the entries.
std::vector<uint8_t> AppendIndex(const std::vector<RepairIndexEntry>& entries, uint64_t pad)
{
    std::vector<uint8_t> tail(size_t(pad + 8 + 16 * entries.size()), 0);
    uint8_t* out = tail.data() + pad;
    std::memcpy(out, "idx1", 4);
    WriteLe32(out + 4, uint32_t(16 * entries.size()));
    out += 8;
    for (const RepairIndexEntry& entry : entries) {
        std::memcpy(out, entry.id.data(), 4);
        WriteLe32(out + 4, entry.flags);
        WriteLe32(out + 8, entry.offset);
        WriteLe32(out + 12, entry.size);
        out += 16;
    }
    return tail;
}

void PatchStreamHeader(RepairPlan& plan, const std::vector<RepairIndexEntry>& entries, const StreamFields& stream)
{
    plan.patches.push_back({stream.rateOffset, stream.rate});
    plan.patches.push_back({stream.rateOffset + 8, CountEntries(entries, stream.id)});
    plan.patches.push_back({stream.rateOffset + 12, MaxEntrySize(entries, stream.id)});
}

}  // namespace

std::optional<RepairPlan> MakeRepairPlan(const std::vector<RepairIndexEntry>& entries, uint64_t fileSize,
                                         PlanRefusal* refusal)
{
    auto refuse = [&](PlanRefusal reason) -> std::optional<RepairPlan> {
        if (refusal)
            *refusal = reason;
        return std::nullopt;
    };
    if (entries.empty())
        return refuse(PlanRefusal::NoCompleteChunk);

    // idx1 must start on an even offset, right after the movi list.
    const uint64_t pad = fileSize & 1;
    const uint64_t paddedLength = fileSize + pad;
    const uint64_t newLength = paddedLength + 8 + 16 * uint64_t(entries.size());
    if (newLength - 8 > 0xFFFFFFFFull)
        return refuse(PlanRefusal::TooLarge);

    RepairPlan plan;
    plan.oldLength = fileSize;
    plan.newLength = newLength;
    plan.tail = AppendIndex(entries, pad);
    plan.patches.push_back({kMoviSizeOffset, uint32_t(paddedLength - RecorderLayout::kMoviTypeOffset)});
    plan.patches.push_back({kRiffSizeOffset, uint32_t(newLength - 8)});
    plan.patches.push_back({kTotalFramesOffset, CountEntries(entries, "00dc") + CountEntries(entries, "01dc")});
    for (const StreamFields& stream : kStreams)
        PatchStreamHeader(plan, entries, stream);
    return plan;
}
