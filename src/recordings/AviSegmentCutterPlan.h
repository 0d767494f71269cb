#pragma once
// The cutter's inside, for tests: the plan of a cut is computed and checked
// in full before the destination is created (this unit), then the movie data
// is copied (AviSegmentCutterCopy.h) with the header and index patched
// (AviSegmentCutterPatch.h), front to back.

#include "recordings/AVIFileParser.h"
#include "recordings/Chunk.h"
#include "recordings/RecorderLayout.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

class ExclusiveOutputFile;
class PosixFileOps;

namespace AviSegmentCutter {

// The first 21 data bytes of a stream's first chunk are carried in front of
// the frame where the cut begins.
inline constexpr uint32_t kCarriedBytes = 21;
// 1 MiB: the bytes just read are still in the processor's cache when they
// are written (a 4 MiB buffer made long cuts a quarter slower).
inline constexpr size_t kCopyBuffer = 1024 * 1024;

// One piece of the new movie data.
struct Piece {
    bool carried = false;
    // A source byte range [sourceStart, sourceEnd), copied unchanged; for a
    // carried chunk, the chosen chunk's data.
    int64_t sourceStart = 0;
    int64_t sourceEnd = 0;
    // Carried chunk: id and data offset of the stream's first chunk.
    FourCC firstId;
    int64_t firstData = 0;
    int64_t outputOffset = 0;

    uint32_t CarriedSize() const { return static_cast<uint32_t>(sourceEnd - sourceStart) + kCarriedBytes; }
    int64_t Length() const
    {
        if (!carried) {
            return sourceEnd - sourceStart;
        }
        return 8 + static_cast<int64_t>(CarriedSize()) + (CarriedSize() & 1);
    }
};

struct PlannedEntry {
    AVIFileParser::RawIndexEntry source;
    int64_t sourceHeader = 0;  // header of the indexed chunk in the source
    size_t piece = 0;
    int64_t outputOffset = 0;  // header of the chunk in the output
    std::optional<uint32_t> length;  // known now for a carried chunk, else read during the copy
};

struct CutPlan {
    size_t s = 0;  // first front entry written (a key frame)
    size_t e = 0;  // first front entry not written
    std::optional<size_t> j;  // first rear entry written; none without a rear part
    int64_t headerSize = 0;   // n: the source bytes [0, n) open the output
    std::vector<Piece> pieces;
    int64_t movieBytes = 0;   // after "movi", the pad byte included
    std::vector<PlannedEntry> entries;
    std::map<std::string, uint32_t> counts;  // entries written per id
    std::vector<std::pair<int64_t, uint32_t>> headerPatches;  // (offset, value) in [0, n)
    int64_t indexOffset = 0;
    int64_t outputSize = 0;

    int64_t MoviFieldOffset() const { return headerSize + 8; }
};

// How much of idx1 a plan reads: up to the cut (an index out of file order
// is then read whole after all), or all of it as a reference.
enum class IndexReading { UpToTheCut, Whole };

// Times to frames and the pieces, entries and patches of the cut; none when
// the source or the times do not allow a sound cut, or its idx1 holds more
// than maxIndexEntries entries.
std::optional<CutPlan> CutFrames(AVIFileParser& parser, uint32_t startSeconds, uint32_t endSeconds,
                                 size_t maxIndexEntries = RecorderLayout::kMaximumIndexEntries,
                                 IndexReading reading = IndexReading::UpToTheCut);

// Opens the source, plans, creates the destination and writes it; ops is
// the seam for every source read and destination write.
bool CopySegment(const std::filesystem::path& source, uint32_t startSeconds, uint32_t endSeconds,
                 const std::filesystem::path& destination, PosixFileOps& ops);
// The header (patched), the movi list and the index of a plan.
bool WriteSegment(CutPlan& plan, int sourceFd, ExclusiveOutputFile& output, PosixFileOps& ops);

}  // namespace AviSegmentCutter
