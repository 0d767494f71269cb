#pragma once
// What a cut needs of the source's idx1: the first front and rear entries,
// the key frame the cut starts at, the front entry it ends before, the rear
// entry it restarts the rear stream at, and the raw entries in between.

#include "recordings/AVIFileParser.h"
#include "recordings/Chunk.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace AviSegmentCutter {

struct CutIndex {
    size_t frontCount = 0;  // front entries read
    std::optional<IndexEntry> frontFirst;  // F[0]
    size_t s = 0;                          // the key frame at or before the start frame
    IndexEntry key;                        // F[s]
    std::optional<IndexEntry> end;         // F[e], when the index holds it
    std::optional<IndexEntry> rearFirst;   // R[0]
    std::optional<size_t> j;               // the first rear entry whose data lies after F[s]'s
    IndexEntry rearStart;                  // R[j]
    // In index order, from F[s] on, at least up to F[e].
    std::vector<AVIFileParser::RawIndexEntry> entries;
};

// The last entry at or before startFrame flagged exactly 16; 0 when none.
size_t FindKeyFrameAtOrBefore(const std::vector<IndexEntry>& front, size_t startFrame);
// The first rear entry whose data lies after frontDataOffset.
std::optional<size_t> FindRearStartIndex(const std::vector<IndexEntry>& rear, int64_t frontDataOffset);

// One pass over idx1 that ends after front entry max(startFrame, e) and
// converts only the entries from the latest key frame on. It relies on the
// recorder's index being in file order, and checks it: none when the
// entries read do not point at strictly rising offsets.
std::optional<CutIndex> ReadIndexUpToTheCut(AVIFileParser& parser, const Chunk& idx1, int64_t moviBase,
                                            size_t startFrame, size_t e);
// Every entry of idx1, the front and rear lists held whole; for an index
// that is not in file order. moviBase: the offset chunk offsets count from.
CutIndex ReadWholeIndex(AVIFileParser& parser, const Chunk& idx1, int64_t moviBase, size_t startFrame, size_t e);

}  // namespace AviSegmentCutter
