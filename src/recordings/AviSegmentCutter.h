#pragma once
// Cuts the part of a recording between two play times into a new AVI file,
// working on the recording's own index: from a front key frame at or before
// the start to just before the front frame at the end, every chunk between
// them in source order. Stateless and reentrant; touches no Qt object.

#include <cstdint>
#include <filesystem>

namespace AviSegmentCutter {

// True when the complete cut is on the medium at destination. Nothing is
// left at destination on failure, and an existing entry there (file,
// folder, link) is never touched.
bool CutSegment(const std::filesystem::path& source, uint32_t startSeconds, uint32_t endSeconds,
                const std::filesystem::path& destination);

}  // namespace AviSegmentCutter
