// The RIFF chunk reader and every query the viewer asks of a recording, and
// the cutter's plan: its index read up to the cut must give the plan that
// reading the whole index gives whenever the index is in file order.

#include "FuzzSupport.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AviSegmentCutterPlan.h"

#include <cstdlib>

namespace {

bool SamePlan(const AviSegmentCutter::CutPlan& a, const AviSegmentCutter::CutPlan& b)
{
    if (a.s != b.s || a.e != b.e || a.j != b.j || a.headerSize != b.headerSize || a.movieBytes != b.movieBytes ||
        a.outputSize != b.outputSize || a.counts != b.counts || a.headerPatches != b.headerPatches ||
        a.pieces.size() != b.pieces.size() || a.entries.size() != b.entries.size())
        return false;
    for (size_t i = 0; i < a.pieces.size(); ++i) {
        const auto& p = a.pieces[i];
        const auto& q = b.pieces[i];
        if (p.carried != q.carried || p.sourceStart != q.sourceStart || p.sourceEnd != q.sourceEnd ||
            p.firstData != q.firstData || p.outputOffset != q.outputOffset)
            return false;
    }
    for (size_t i = 0; i < a.entries.size(); ++i) {
        const auto& p = a.entries[i];
        const auto& q = b.entries[i];
        if (p.source.entryOffset != q.source.entryOffset || p.outputOffset != q.outputOffset || p.length != q.length ||
            p.piece != q.piece)
            return false;
    }
    return true;
}

// Whether every idx1 entry names a later chunk than the one before.
bool IndexInFileOrder(AVIFileParser& parser)
{
    const Chunk* idx1 = parser.FindIndexChunk();
    if (!idx1)
        return true;
    int64_t previous = -1;
    bool ordered = true;
    parser.ForEachIndexEntry(*idx1, [&](const AVIFileParser::RawIndexEntry& raw) {
        ordered = ordered && static_cast<int64_t>(raw.chunkOffset) > previous;
        previous = raw.chunkOffset;
    });
    return ordered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::ScratchFile scratch("input.avi");
    const QString& path = scratch.Write(data, size);

    AVIFileParser probe;
    const bool probed = probe.Probe(path);
    AVIFileParser parser;
    const bool opened = parser.Open(path);
    if (probed != opened || probe.GetOpenOutcome() != parser.GetOpenOutcome())
        std::abort();
    if (!opened)
        return 0;
    parser.GetVideoStreamCount();
    parser.GetTotalFrames();
    parser.GetWidth();
    parser.GetHeight();
    parser.GetDuration();
    parser.GetIndexEntries("00dc");
    parser.GetIndexEntries("01dc");
    parser.GetStreamChunkIds();
    parser.FindChunks("idx1");
    parser.FindChunks("strh");

    // Cut times from the input's last bytes, small enough to fall inside.
    const uint32_t start = size > 0 ? data[size - 1] % 16 : 0;
    const uint32_t end = size > 1 ? data[size - 2] % 24 : 5;
    const auto whole = AviSegmentCutter::CutFrames(parser, start, end, 100000, AviSegmentCutter::IndexReading::Whole);
    const auto fast = AviSegmentCutter::CutFrames(parser, start, end, 100000, AviSegmentCutter::IndexReading::UpToTheCut);
    if (IndexInFileOrder(parser) && (whole.has_value() != fast.has_value() || (whole && !SamePlan(*whole, *fast))))
        std::abort();
    return 0;
}
