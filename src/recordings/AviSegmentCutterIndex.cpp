#include "recordings/AviSegmentCutterIndex.h"

#include <algorithm>

namespace AviSegmentCutter {

namespace {

// Enough entries for a cut of a few seconds in one read.
constexpr size_t kIndexBlockBytes = 64 * 1024;
constexpr uint32_t kKeyFrameFlag = 16;

IndexEntry ToEntry(const AVIFileParser::RawIndexEntry& raw, int64_t moviBase)
{
    return {static_cast<int64_t>(raw.chunkOffset) + moviBase + 8, raw.entryOffset, raw.flags};
}

}  // namespace

size_t FindKeyFrameAtOrBefore(const std::vector<IndexEntry>& front, size_t startFrame)
{
    if (front.empty()) {
        return 0;
    }
    for (size_t i = std::min(startFrame, front.size() - 1) + 1; i-- > 0;) {
        if (front[i].flags == kKeyFrameFlag) {
            return i;
        }
    }
    return 0;
}

std::optional<size_t> FindRearStartIndex(const std::vector<IndexEntry>& rear, int64_t frontDataOffset)
{
    for (size_t j = 0; j < rear.size(); ++j) {
        if (rear[j].dataOffset > frontDataOffset) {
            return j;
        }
    }
    return std::nullopt;
}

std::optional<CutIndex> ReadIndexUpToTheCut(AVIFileParser& parser, const Chunk& idx1, int64_t moviBase,
                                            size_t startFrame, size_t e)
{
    CutIndex index;
    const size_t last = std::max(startFrame, e);
    size_t rearCount = 0;
    int64_t previousOffset = -1;
    bool ordered = true;
    parser.ForEachIndexEntryUntil(idx1, kIndexBlockBytes, [&](const AVIFileParser::RawIndexEntry& raw) {
        // In file order every entry lies after the one before: a rear entry
        // read before F[s] then lies before it, and one after F[e] after F[e].
        if (static_cast<int64_t>(raw.chunkOffset) <= previousOffset) {
            ordered = false;
            return false;
        }
        previousOffset = raw.chunkOffset;
        if (raw.id.StartsWith("00dc")) {
            const size_t f = index.frontCount++;
            const IndexEntry entry = ToEntry(raw, moviBase);
            if (f == 0) {
                index.frontFirst = entry;
            }
            // F[0], or a later key frame at or before the start: the cut
            // may begin here, and nothing before it matters any more.
            if (f == 0 || (f <= startFrame && raw.flags == kKeyFrameFlag)) {
                index.s = f;
                index.key = entry;
                index.j.reset();
                index.entries.clear();
            }
            if (f == e) {
                index.end = entry;
            }
            index.entries.push_back(raw);
            return f < last;
        }
        if (raw.id.StartsWith("01dc")) {
            const size_t r = rearCount++;
            const IndexEntry entry = ToEntry(raw, moviBase);
            if (r == 0) {
                index.rearFirst = entry;
            }
            if (index.frontCount > 0 && !index.j) {
                index.j = r;
                index.rearStart = entry;
            }
        }
        if (index.frontCount > 0) {
            index.entries.push_back(raw);
        }
        return true;
    });
    if (!ordered) {
        return std::nullopt;
    }
    return index;
}

CutIndex ReadWholeIndex(AVIFileParser& parser, const Chunk& idx1, int64_t moviBase, size_t startFrame, size_t e)
{
    CutIndex index;
    std::vector<IndexEntry> front;
    std::vector<IndexEntry> rear;
    parser.ForEachIndexEntry(idx1, [&](const AVIFileParser::RawIndexEntry& raw) {
        index.entries.push_back(raw);
        if (raw.id.StartsWith("00dc")) {
            front.push_back(ToEntry(raw, moviBase));
        } else if (raw.id.StartsWith("01dc")) {
            rear.push_back(ToEntry(raw, moviBase));
        }
    });
    index.frontCount = front.size();
    if (front.empty()) {
        return index;
    }
    index.frontFirst = front.front();
    index.s = FindKeyFrameAtOrBefore(front, startFrame);
    index.key = front[index.s];
    if (e < front.size()) {
        index.end = front[e];
    }
    if (!rear.empty()) {
        index.rearFirst = rear.front();
        index.j = FindRearStartIndex(rear, index.key.dataOffset);
        if (index.j) {
            index.rearStart = rear[*index.j];
        }
    }
    return index;
}

}  // namespace AviSegmentCutter
