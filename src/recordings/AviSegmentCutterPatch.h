#pragma once
// The cut's header and index patch: the counts and sizes the header gets,
// laid over its bytes as they are copied, and the new idx1.

#include "recordings/AviSegmentCutterPlan.h"

#include <cstdint>
#include <utility>
#include <vector>

class ExclusiveOutputFile;

namespace AviSegmentCutter {

// The RIFF size, avih's dwTotalFrames (the video entries written) and each
// stream header's dwLength (the entries written with the stream's id).
void PatchRiffSize(CutPlan& plan);
void PatchTotalFrames(CutPlan& plan, const Chunk& avih);
// False when a stream header lies outside the copied header.
bool PatchStreamLengths(CutPlan& plan, AVIFileParser& parser, Chunk& hdrl);

// Lays the patches that fall inside bytes, which hold the source's
// [windowStart, windowStart + count), over them; a patch may straddle two
// windows.
void ApplyHeaderPatches(const std::vector<std::pair<int64_t, uint32_t>>& patches, int64_t windowStart, char* bytes,
                        size_t count);

// "idx1", its size and the plan's entries with their new offsets and
// lengths, written through buffer.
bool WriteIndex(const CutPlan& plan, ExclusiveOutputFile& output, char* buffer, size_t bufferSize);

}  // namespace AviSegmentCutter
