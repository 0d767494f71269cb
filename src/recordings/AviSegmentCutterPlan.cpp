#include "recordings/AviSegmentCutterPlan.h"

#include "recordings/AviSegmentCutterIndex.h"
#include "recordings/AviSegmentCutterPatch.h"

#include <algorithm>
#include <cmath>

namespace AviSegmentCutter {

namespace {

constexpr int64_t kMaxU32 = 0xFFFFFFFFLL;

bool InsideFile(int64_t start, int64_t end, int64_t fileSize)
{
    return start >= 0 && start <= end && end <= fileSize;
}

int64_t HeaderOf(const IndexEntry& entry)
{
    return entry.dataOffset - 8;
}

// The chunk size of an entry's chunk, when its header lies in the file.
std::optional<uint32_t> SizeOf(AVIFileParser& parser, const IndexEntry& entry)
{
    if (!InsideFile(entry.dataOffset - 8, entry.dataOffset, parser.GetFileSize())) {
        return std::nullopt;
    }
    return parser.ReadDword(entry.dataOffset - 4);
}

// A source range piece, unless empty; false when it does not lie in the file.
bool AddRange(CutPlan& plan, int64_t start, int64_t end, int64_t fileSize)
{
    if (!InsideFile(start, end, fileSize)) {
        return false;
    }
    if (end > start) {
        Piece piece;
        piece.sourceStart = start;
        piece.sourceEnd = end;
        plan.pieces.push_back(piece);
    }
    return true;
}

// first's 21 bytes in front of chosen's data; returns the source end of
// chosen's chunk (its pad included), or none when either chunk is unfit.
std::optional<int64_t> AddCarried(CutPlan& plan, AVIFileParser& parser, const IndexEntry& first, const IndexEntry& chosen)
{
    const int64_t fileSize = parser.GetFileSize();
    const std::optional<uint32_t> firstSize = SizeOf(parser, first);
    const std::optional<uint32_t> chosenSize = SizeOf(parser, chosen);
    if (!firstSize || !chosenSize || *firstSize < kCarriedBytes ||
        !InsideFile(first.dataOffset, first.dataOffset + kCarriedBytes, fileSize) ||
        !InsideFile(chosen.dataOffset, chosen.dataOffset + *chosenSize, fileSize) ||
        static_cast<int64_t>(*chosenSize) + kCarriedBytes > kMaxU32) {
        return std::nullopt;
    }
    Piece piece;
    piece.carried = true;
    piece.firstId = parser.ReadFourCC(HeaderOf(first));
    piece.firstData = first.dataOffset;
    piece.sourceStart = chosen.dataOffset;
    piece.sourceEnd = chosen.dataOffset + *chosenSize;
    plan.pieces.push_back(piece);
    return piece.sourceEnd + (*chosenSize & 1);
}

// One stream's part: from its first chunk (chosenIsFirst), or a carried
// chunk and the bytes after the chosen one, up to end.
bool AddStreamPart(CutPlan& plan, AVIFileParser& parser, const IndexEntry& first, const IndexEntry& chosen,
                   bool chosenIsFirst, int64_t end)
{
    if (chosenIsFirst) {
        return AddRange(plan, HeaderOf(first), end, parser.GetFileSize());
    }
    const std::optional<int64_t> after = AddCarried(plan, parser, first, chosen);
    return after && AddRange(plan, *after, end, parser.GetFileSize());
}

// Output positions of the pieces, and each index entry of the cut mapped
// to the piece that holds its chunk.
bool PlaceEntries(CutPlan& plan, const CutIndex& index, int64_t moviBase)
{
    int64_t out = plan.headerSize + 12;
    for (Piece& piece : plan.pieces) {
        piece.outputOffset = out;
        out += piece.Length();
    }
    plan.movieBytes = out - (plan.headerSize + 12);
    const int64_t firstEntry = index.key.entryOffset;
    const int64_t endEntry = index.end->entryOffset;
    const int64_t frontCarried = plan.s > 0 ? firstEntry : -1;
    const int64_t rearCarried = plan.j && *plan.j > 0 ? index.rearStart.entryOffset : -1;
    plan.entries.reserve(index.entries.size());
    for (const AVIFileParser::RawIndexEntry& raw : index.entries) {
        if (raw.entryOffset < firstEntry || raw.entryOffset >= endEntry) {
            continue;
        }
        PlannedEntry entry;
        entry.source = raw;
        entry.sourceHeader = static_cast<int64_t>(raw.chunkOffset) + moviBase;
        const bool carried = raw.entryOffset == frontCarried || raw.entryOffset == rearCarried;
        bool placed = false;
        for (size_t p = 0; p < plan.pieces.size() && !placed; ++p) {
            const Piece& piece = plan.pieces[p];
            if (carried && piece.carried && piece.sourceStart == entry.sourceHeader + 8) {
                entry.length = piece.CarriedSize();
                entry.outputOffset = piece.outputOffset;
            } else if (!carried && !piece.carried && entry.sourceHeader >= piece.sourceStart &&
                       entry.sourceHeader + 8 <= piece.sourceEnd) {
                entry.outputOffset = piece.outputOffset + (entry.sourceHeader - piece.sourceStart);
            } else {
                continue;
            }
            entry.piece = p;
            placed = true;
        }
        if (!placed || entry.outputOffset - plan.MoviFieldOffset() > kMaxU32) {
            return false;
        }
        plan.entries.push_back(entry);
        ++plan.counts[raw.id.Text()];
    }
    return true;
}

}  // namespace

std::optional<CutPlan> CutFrames(AVIFileParser& parser, uint32_t startSeconds, uint32_t endSeconds,
                                 size_t maxIndexEntries, IndexReading reading)
{
    const int64_t fileSize = parser.GetFileSize();
    Chunk* hdrl = parser.FindChildByType("hdrl");
    Chunk* movi = parser.FindChildByType("movi");
    // FindChildByType falls back to the last root chunk: insist on the real lists.
    if (!hdrl || !movi || !hdrl->type.Is("hdrl") || !hdrl->id.Is("LIST") || !movi->type.Is("movi") ||
        !movi->id.Is("LIST")) {
        return std::nullopt;
    }
    std::vector<Chunk>& hdrlChildren = parser.Children(*hdrl);
    if (hdrlChildren.empty() || !hdrlChildren[0].id.Is("avih")) {
        return std::nullopt;
    }
    CutPlan plan;
    plan.headerSize = hdrl->offset + static_cast<int64_t>(hdrl->size) + 8;
    if (plan.headerSize > fileSize || hdrlChildren[0].offset + 28 > plan.headerSize) {
        return std::nullopt;
    }
    const Chunk* idx1 = parser.FindIndexChunk();
    // The whole-index reading holds every entry: a forged idx1 size is
    // refused before the first one is read.
    if (!idx1) {
        return std::nullopt;
    }
    const size_t indexEntries = parser.CountIndexEntries(*idx1);
    if (indexEntries > maxIndexEntries) {
        return std::nullopt;
    }

    const Chunk* strh = parser.FindVideoStreamHeader();
    if (!strh) {
        return std::nullopt;
    }
    const auto scale = static_cast<int32_t>(parser.ReadDword(strh->offset + 28));
    const auto rate = static_cast<int32_t>(parser.ReadDword(strh->offset + 32));
    const auto length = static_cast<int32_t>(parser.ReadDword(strh->offset + 40));
    if (rate <= 0 || scale <= 0) {
        return std::nullopt;
    }
    const double fps = static_cast<double>(rate) / static_cast<double>(scale);
    const double duration = std::trunc(static_cast<double>(length) / fps);
    // Compared in double before any conversion: huge products stay defined.
    // No idx1 holds more front entries than entries.
    const double startProduct = static_cast<double>(startSeconds) * fps;
    const double endProduct = static_cast<double>(endSeconds) == duration ? static_cast<double>(length) - 1.0
                                                                           : std::trunc(static_cast<double>(endSeconds) * fps);
    const auto upperBound = static_cast<double>(indexEntries);
    if (!(startProduct < upperBound) || !(endProduct >= 0.0 && endProduct < upperBound)) {
        return std::nullopt;
    }
    const size_t startFrame = std::max<size_t>(1, static_cast<size_t>(startProduct));
    plan.e = static_cast<size_t>(endProduct);

    const int64_t moviBase = movi->offset + 8;  // dwChunkOffset counts from the "movi" field
    std::optional<CutIndex> index;
    if (reading == IndexReading::UpToTheCut) {
        index = ReadIndexUpToTheCut(parser, *idx1, moviBase, startFrame, plan.e);
    }
    if (!index) {
        index = ReadWholeIndex(parser, *idx1, moviBase, startFrame, plan.e);
    }
    // A walk that stopped early read one front entry past max(startFrame,
    // e), so these hold for it exactly as for the whole list.
    const auto frames = static_cast<double>(index->frontCount);
    if (index->frontCount == 0 || !(startProduct < frames) || startFrame >= index->frontCount || !(endProduct < frames)) {
        return std::nullopt;
    }
    plan.s = index->s;
    if (plan.s >= plan.e || !index->end) {
        return std::nullopt;
    }
    const IndexEntry& frontEnd = *index->end;

    // The rear part, when a rear chunk lies between the front key frame and
    // the end; else the cut holds the front stream alone.
    if (index->rearFirst) {
        plan.j = index->j;
        if (plan.j && HeaderOf(index->rearStart) >= HeaderOf(frontEnd)) {
            plan.j.reset();
        }
    }
    const int64_t frontPartEnd = plan.j ? HeaderOf(index->rearStart) : HeaderOf(frontEnd);
    if (!AddStreamPart(plan, parser, *index->frontFirst, index->key, plan.s == 0, frontPartEnd) ||
        (plan.j && !AddStreamPart(plan, parser, *index->rearFirst, index->rearStart, *plan.j == 0, HeaderOf(frontEnd)))) {
        return std::nullopt;
    }
    if (!PlaceEntries(plan, *index, moviBase)) {
        return std::nullopt;
    }
    plan.movieBytes += plan.movieBytes & 1;
    plan.indexOffset = plan.headerSize + 12 + plan.movieBytes;
    plan.outputSize = plan.indexOffset + 8 + 16 * static_cast<int64_t>(plan.entries.size());
    if (plan.outputSize - 8 > kMaxU32) {
        return std::nullopt;
    }
    PatchRiffSize(plan);
    PatchTotalFrames(plan, hdrlChildren[0]);
    if (!PatchStreamLengths(plan, parser, *hdrl)) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace AviSegmentCutter
