#include "recordings/AviSegmentCutterCopy.h"

#include "platform/ExclusiveOutputFile.h"
#include "platform/FullIo.h"
#include "recordings/AviSegmentCutterPatch.h"
#include "recordings/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace AviSegmentCutter {

namespace {

constexpr size_t kSmallestBuffer = 64 * 1024;

// Copies the bytes of the probes that lie in [windowStart, windowStart +
// count) out of bytes; returns the first probe not wholly passed yet.
size_t CaptureSizeFields(std::vector<SizeProbe>& probes, size_t first, int64_t windowStart, const char* bytes,
                         size_t count)
{
    const int64_t windowEnd = windowStart + static_cast<int64_t>(count);
    for (size_t k = first; k < probes.size() && probes[k].at < windowEnd; ++k) {
        for (int i = 0; i < 4; ++i) {
            const int64_t pos = probes[k].at + i;
            if (pos >= windowStart && pos < windowEnd) {
                probes[k].bytes[i] = static_cast<unsigned char>(bytes[pos - windowStart]);
            }
        }
    }
    while (first < probes.size() && probes[first].at + 4 <= windowEnd) {
        ++first;
    }
    return first;
}

bool WriteTag(ExclusiveOutputFile& output, const char* id, uint32_t value)
{
    char bytes[8];
    std::memcpy(bytes, id, 4);
    WriteLe32(bytes + 4, value);
    return output.Write(bytes, sizeof bytes);
}

// The size fields of the plan's entries that lie in piece p, by position.
std::vector<SizeProbe> ProbesOf(const CutPlan& plan, size_t p)
{
    std::vector<SizeProbe> probes;
    for (size_t k = 0; k < plan.entries.size(); ++k) {
        if (plan.entries[k].piece == p && !plan.entries[k].length) {
            probes.push_back({plan.entries[k].sourceHeader + 4, k, {}});
        }
    }
    std::sort(probes.begin(), probes.end(), [](const SizeProbe& a, const SizeProbe& b) { return a.at < b.at; });
    return probes;
}

bool WriteCarriedHead(const Piece& piece, PosixFileOps& ops, int fd, ExclusiveOutputFile& output)
{
    char head[8 + kCarriedBytes];
    std::memcpy(head, piece.firstId.bytes.data(), 4);
    WriteLe32(head + 4, piece.CarriedSize());
    return FullIo::ReadAt(fd, head + 8, kCarriedBytes, piece.firstData, ops) == 0 && output.Write(head, sizeof head);
}

}  // namespace

CopyBuffer::CopyBuffer(int64_t bytesToCopy)
    : size(static_cast<size_t>(std::clamp<int64_t>(bytesToCopy, kSmallestBuffer, kCopyBuffer))),
      bytes(std::make_unique_for_overwrite<char[]>(size))
{
}

bool CopyRange(PosixFileOps& ops, int fd, ExclusiveOutputFile& output, CopyBuffer& buffer, int64_t start, int64_t end,
               const std::vector<std::pair<int64_t, uint32_t>>& patches, std::vector<SizeProbe>& probes)
{
    size_t nextProbe = 0;
    for (int64_t window = start; window < end;) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(end - window, static_cast<int64_t>(buffer.Size())));
        // Any failed or short read (the source shrank) ends the cut.
        if (FullIo::ReadAt(fd, buffer.Data(), count, window, ops) != 0) {
            return false;
        }
        nextProbe = CaptureSizeFields(probes, nextProbe, window, buffer.Data(), count);
        ApplyHeaderPatches(patches, window, buffer.Data(), count);
        if (!output.Write(buffer.Data(), count)) {
            return false;
        }
        window += static_cast<int64_t>(count);
    }
    return true;
}

bool WriteMoviList(CutPlan& plan, PosixFileOps& ops, int fd, ExclusiveOutputFile& output, CopyBuffer& buffer)
{
    if (!WriteTag(output, "LIST", static_cast<uint32_t>(4 + plan.movieBytes)) || !output.Write("movi", 4)) {
        return false;
    }
    int64_t written = 0;
    for (size_t p = 0; p < plan.pieces.size(); ++p) {
        const Piece& piece = plan.pieces[p];
        std::vector<SizeProbe> probes;
        if (piece.carried) {
            if (!WriteCarriedHead(piece, ops, fd, output)) {
                return false;
            }
        } else {
            probes = ProbesOf(plan, p);
        }
        if (!CopyRange(ops, fd, output, buffer, piece.sourceStart, piece.sourceEnd, {}, probes)) {
            return false;
        }
        if (piece.carried && (piece.CarriedSize() & 1) && !output.Write("", 1)) {
            return false;
        }
        for (const SizeProbe& probe : probes) {
            PlannedEntry& entry = plan.entries[probe.entry];
            const uint32_t size = ReadLe32(probe.bytes);
            // The chunk must lie wholly inside the bytes written.
            if (entry.sourceHeader + 8 + static_cast<int64_t>(size) > piece.sourceEnd) {
                return false;
            }
            entry.length = size;
        }
        written += piece.Length();
    }
    // An odd total (a source with an unpadded odd chunk) gets its pad byte,
    // so idx1 starts at an even offset.
    return written == plan.movieBytes || (written + 1 == plan.movieBytes && output.Write("", 1));
}

}  // namespace AviSegmentCutter
