#pragma once
// The copy of a cut's bytes: source ranges through one buffer into the
// output, and the "movi" list of the plan's pieces, whose chunk sizes are
// taken for the index from the bytes as they pass.

#include "recordings/AviSegmentCutterPlan.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class ExclusiveOutputFile;
class PosixFileOps;

namespace AviSegmentCutter {

// The copy buffer: sized for what the cut copies (at most kCopyBuffer, at
// least 64 KiB) and never zero-filled, since every use
// overwrites it.
class CopyBuffer {
public:
    explicit CopyBuffer(int64_t bytesToCopy);
    char* Data() { return bytes.get(); }
    size_t Size() const { return size; }

private:
    size_t size = 0;
    std::unique_ptr<char[]> bytes;
};

// A chunk size field to capture from a copied range: at is its source
// position, entry the plan entry that takes it.
struct SizeProbe {
    int64_t at = 0;
    size_t entry = 0;
    unsigned char bytes[4] = {};
};

// Copies the source's [start, end) to the output; patches (by source
// position) are laid over the bytes, and probes (sorted by position) filled
// from them.
bool CopyRange(PosixFileOps& ops, int fd, ExclusiveOutputFile& output, CopyBuffer& buffer, int64_t start, int64_t end,
               const std::vector<std::pair<int64_t, uint32_t>>& patches, std::vector<SizeProbe>& probes);

// "LIST", the movi size, "movi", then every piece; fills the lengths of the
// plan's entries that lie in copied ranges. False when a read or write
// fails or a chunk does not lie wholly inside the bytes written.
bool WriteMoviList(CutPlan& plan, PosixFileOps& ops, int fd, ExclusiveOutputFile& output, CopyBuffer& buffer);

}  // namespace AviSegmentCutter
