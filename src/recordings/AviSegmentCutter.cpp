#include "recordings/AviSegmentCutter.h"

#include "platform/ExclusiveOutputFile.h"
#include "platform/PosixFileOps.h"
#include "recordings/AviSegmentCutterPlan.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace AviSegmentCutter {

namespace {

constexpr int64_t kMaxU32 = 0xFFFFFFFFLL;

void PutU32(char* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

bool InsideFile(int64_t start, int64_t end, int64_t fileSize)
{
    return start >= 0 && start <= end && end <= fileSize;
}

// The source's view used while planning: one read of idx1, sizes read from
// the few chunk headers the plan needs.
struct Source {
    AVIFileParser& parser;
    std::vector<AVIFileParser::RawIndexEntry> index;
    std::vector<IndexEntry> front;
    std::vector<IndexEntry> rear;

    // The chunk size of an entry's chunk, when its header lies in the file.
    std::optional<uint32_t> SizeOf(const IndexEntry& entry) const
    {
        if (!InsideFile(entry.dataOffset - 8, entry.dataOffset, parser.GetFileSize())) {
            return std::nullopt;
        }
        return parser.ReadDword(entry.dataOffset - 4);
    }
};

int64_t HeaderOf(const IndexEntry& entry)
{
    return entry.dataOffset - 8;
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
std::optional<int64_t> AddCarried(CutPlan& plan, const Source& source, const IndexEntry& first, const IndexEntry& chosen)
{
    const int64_t fileSize = source.parser.GetFileSize();
    const std::optional<uint32_t> firstSize = source.SizeOf(first);
    const std::optional<uint32_t> chosenSize = source.SizeOf(chosen);
    if (!firstSize || !chosenSize || *firstSize < kCarriedBytes ||
        !InsideFile(first.dataOffset, first.dataOffset + kCarriedBytes, fileSize) ||
        !InsideFile(chosen.dataOffset, chosen.dataOffset + *chosenSize, fileSize) ||
        static_cast<int64_t>(*chosenSize) + kCarriedBytes > kMaxU32) {
        return std::nullopt;
    }
    Piece piece;
    piece.carried = true;
    piece.firstId = source.parser.ReadFourCC(HeaderOf(first));
    piece.firstData = first.dataOffset;
    piece.sourceStart = chosen.dataOffset;
    piece.sourceEnd = chosen.dataOffset + *chosenSize;
    plan.pieces.push_back(piece);
    return piece.sourceEnd + (*chosenSize & 1);
}

// One stream's part: from its first chunk, or a carried chunk and the bytes
// after the chosen one, up to end.
bool AddStreamPart(CutPlan& plan, const Source& source, const std::vector<IndexEntry>& stream, size_t chosen, int64_t end)
{
    const int64_t fileSize = source.parser.GetFileSize();
    if (chosen == 0) {
        return AddRange(plan, HeaderOf(stream[0]), end, fileSize);
    }
    const std::optional<int64_t> after = AddCarried(plan, source, stream[0], stream[chosen]);
    return after && AddRange(plan, *after, end, fileSize);
}

// Output positions of the pieces, and each index entry of the cut mapped
// to the piece that holds its chunk.
bool PlaceEntries(CutPlan& plan, const Source& source, int64_t moviBase)
{
    int64_t out = plan.headerSize + 12;
    for (Piece& piece : plan.pieces) {
        piece.outputOffset = out;
        out += piece.Length();
    }
    plan.movieBytes = out - (plan.headerSize + 12);
    const int64_t firstEntry = source.front[plan.s].entryOffset;
    const int64_t endEntry = source.front[plan.e].entryOffset;
    const int64_t frontCarried = plan.s > 0 ? firstEntry : -1;
    const int64_t rearCarried = plan.j && *plan.j > 0 ? source.rear[*plan.j].entryOffset : -1;
    for (const AVIFileParser::RawIndexEntry& raw : source.index) {
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

bool ReadFully(PosixFileOps& ops, int fd, char* buffer, size_t count, int64_t offset)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ops.Pread(fd, buffer + done, count - done, static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;  // an error, or the file ended early
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The size fields of the chunks in a range, gathered as the bytes pass.
struct SizeProbe {
    int64_t at = 0;  // position of the size field in the source
    size_t entry = 0;
    unsigned char bytes[4] = {};
};

// Copies [start, end) of the source through buffer, applying patches (by
// source position) and filling the probes whose bytes pass.
bool CopyRange(PosixFileOps& ops, int fd, ExclusiveOutputFile& output, std::vector<char>& buffer, int64_t start,
               int64_t end, const std::vector<std::pair<int64_t, uint32_t>>& patches, std::vector<SizeProbe>& probes)
{
    size_t cursor = 0;
    for (int64_t window = start; window < end;) {
        const size_t count = static_cast<size_t>(std::min<int64_t>(end - window, static_cast<int64_t>(buffer.size())));
        if (!ReadFully(ops, fd, buffer.data(), count, window)) {
            return false;
        }
        const int64_t windowEnd = window + static_cast<int64_t>(count);
        const auto overlay = [&](int64_t at, const unsigned char* source, unsigned char* target, bool toBuffer) {
            for (int i = 0; i < 4; ++i) {
                const int64_t pos = at + i;
                if (pos >= window && pos < windowEnd) {
                    char& byte = buffer[static_cast<size_t>(pos - window)];
                    if (toBuffer) {
                        byte = static_cast<char>(source[i]);
                    } else {
                        target[i] = static_cast<unsigned char>(byte);
                    }
                }
            }
        };
        for (size_t k = cursor; k < probes.size() && probes[k].at < windowEnd; ++k) {
            overlay(probes[k].at, nullptr, probes[k].bytes, false);
        }
        while (cursor < probes.size() && probes[cursor].at + 4 <= windowEnd) {
            ++cursor;
        }
        for (const auto& [at, value] : patches) {
            unsigned char bytes[4];
            PutU32(reinterpret_cast<char*>(bytes), value);
            overlay(at, bytes, nullptr, true);
        }
        if (!output.Write(buffer.data(), count)) {
            return false;
        }
        window = windowEnd;
    }
    return true;
}

bool WriteBytes(ExclusiveOutputFile& output, const char* id, uint32_t value)
{
    char bytes[8];
    std::memcpy(bytes, id, 4);
    PutU32(bytes + 4, value);
    return output.Write(bytes, sizeof bytes);
}

// "LIST", the movi size, "movi", then every piece; the size fields of the
// chunks in the ranges are read from the bytes as they pass.
bool WriteMoviList(CutPlan& plan, PosixFileOps& ops, int fd, ExclusiveOutputFile& output, std::vector<char>& buffer)
{
    if (!WriteBytes(output, "LIST", static_cast<uint32_t>(4 + plan.movieBytes)) || !output.Write("movi", 4)) {
        return false;
    }
    int64_t written = 0;
    for (size_t p = 0; p < plan.pieces.size(); ++p) {
        const Piece& piece = plan.pieces[p];
        std::vector<SizeProbe> probes;
        if (piece.carried) {
            char head[8 + kCarriedBytes];
            std::memcpy(head, piece.firstId.bytes.data(), 4);
            PutU32(head + 4, piece.CarriedSize());
            if (!ReadFully(ops, fd, head + 8, kCarriedBytes, piece.firstData) || !output.Write(head, sizeof head)) {
                return false;
            }
        } else {
            for (size_t k = 0; k < plan.entries.size(); ++k) {
                if (plan.entries[k].piece == p && !plan.entries[k].length) {
                    probes.push_back({plan.entries[k].sourceHeader + 4, k, {}});
                }
            }
            std::sort(probes.begin(), probes.end(), [](const SizeProbe& a, const SizeProbe& b) { return a.at < b.at; });
        }
        if (!CopyRange(ops, fd, output, buffer, piece.sourceStart, piece.sourceEnd, {}, probes)) {
            return false;
        }
        if (piece.carried && (piece.CarriedSize() & 1) && !output.Write("", 1)) {
            return false;
        }
        for (const SizeProbe& probe : probes) {
            PlannedEntry& entry = plan.entries[probe.entry];
            const uint32_t size = LittleEndian32(probe.bytes);
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

bool WriteIndex(const CutPlan& plan, ExclusiveOutputFile& output, std::vector<char>& buffer)
{
    if (!WriteBytes(output, "idx1", static_cast<uint32_t>(16 * plan.entries.size()))) {
        return false;
    }
    size_t used = 0;
    for (const PlannedEntry& entry : plan.entries) {
        if (used + 16 > buffer.size()) {
            if (!output.Write(buffer.data(), used)) {
                return false;
            }
            used = 0;
        }
        char* out = buffer.data() + used;
        std::memcpy(out, entry.source.id.bytes.data(), 4);
        PutU32(out + 4, entry.source.flags);
        PutU32(out + 8, static_cast<uint32_t>(entry.outputOffset - plan.MoviFieldOffset()));
        PutU32(out + 12, entry.length.value_or(0));
        used += 16;
    }
    return output.Write(buffer.data(), used);
}

}  // namespace

size_t FindKeyFrameAtOrBefore(const std::vector<IndexEntry>& front, size_t startFrame)
{
    if (front.empty()) {
        return 0;
    }
    for (size_t i = std::min(startFrame, front.size() - 1) + 1; i-- > 0;) {
        if (front[i].flags == 16) {
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

void PatchRiffSize(CutPlan& plan)
{
    plan.headerPatches.emplace_back(4, static_cast<uint32_t>(plan.outputSize - 8));
}

void PatchTotalFrames(CutPlan& plan, const Chunk& avih)
{
    uint32_t frames = 0;
    for (const auto& [id, count] : plan.counts) {
        frames += id.find("dc") != std::string::npos ? count : 0;
    }
    plan.headerPatches.emplace_back(avih.offset + 24, frames);
}

bool PatchStreamLengths(CutPlan& plan, AVIFileParser& parser, Chunk& hdrl)
{
    std::vector<Chunk>& children = parser.Children(hdrl);
    for (size_t i = 1; i < children.size(); ++i) {
        const std::vector<Chunk>& grandchildren = parser.Children(children[i]);
        if (grandchildren.empty() || !grandchildren[0].id.Is("strh")) {
            continue;
        }
        const Chunk& strh = grandchildren[0];
        const char* suffix = strh.type.Is("vids") ? "dc" : strh.type.Is("auds") ? "wb" : strh.type.Is("txts") ? "tx" : nullptr;
        if (!suffix) {
            continue;
        }
        // The id GetStreamChunkIds gives this child: its number counts from -1.
        const std::string id = "0" + std::to_string(static_cast<int>(i) - 1) + suffix;
        if (strh.offset + 44 > plan.headerSize) {
            return false;
        }
        const auto found = plan.counts.find(id);
        plan.headerPatches.emplace_back(strh.offset + 40, found == plan.counts.end() ? 0 : found->second);
    }
    return true;
}

std::optional<CutPlan> CutFrames(AVIFileParser& parser, uint32_t startSeconds, uint32_t endSeconds,
                                 size_t maxIndexEntries)
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

    Source source{parser, {}, {}, {}};
    const Chunk* idx1 = parser.FindIndexChunk();
    // Every entry is held while planning: a forged idx1 size is refused
    // before the first one is read.
    if (!idx1 || parser.CountIndexEntries(*idx1) > maxIndexEntries) {
        return std::nullopt;
    }
    const int64_t moviBase = movi->offset + 8;  // dwChunkOffset counts from the "movi" field
    parser.ForEachIndexEntry(*idx1, [&](const AVIFileParser::RawIndexEntry& raw) {
        source.index.push_back(raw);
        const IndexEntry entry{static_cast<int64_t>(raw.chunkOffset) + moviBase + 8, raw.entryOffset, raw.flags};
        if (raw.id.StartsWith("00dc")) {
            source.front.push_back(entry);
        } else if (raw.id.StartsWith("01dc")) {
            source.rear.push_back(entry);
        }
    });
    const std::vector<IndexEntry>& F = source.front;
    const std::vector<IndexEntry>& R = source.rear;
    if (F.empty()) {
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
    const auto frames = static_cast<double>(F.size());
    // Compared in double before any conversion: huge products stay defined.
    const double startProduct = static_cast<double>(startSeconds) * fps;
    if (!(startProduct < frames)) {
        return std::nullopt;
    }
    const size_t startFrame = std::max<size_t>(1, static_cast<size_t>(startProduct));
    const double endProduct = static_cast<double>(endSeconds) == duration ? static_cast<double>(length) - 1.0
                                                                           : std::trunc(static_cast<double>(endSeconds) * fps);
    if (startFrame >= F.size() || !(endProduct >= 0.0 && endProduct < frames)) {
        return std::nullopt;
    }
    plan.e = static_cast<size_t>(endProduct);
    plan.s = FindKeyFrameAtOrBefore(F, startFrame);
    if (plan.s >= plan.e) {
        return std::nullopt;
    }

    // The rear part, when a rear chunk lies between the front key frame and
    // the end; else the cut holds the front stream alone.
    if (!R.empty()) {
        plan.j = FindRearStartIndex(R, F[plan.s].dataOffset);
        if (plan.j && HeaderOf(R[*plan.j]) >= HeaderOf(F[plan.e])) {
            plan.j.reset();
        }
    }
    const int64_t frontEnd = plan.j ? HeaderOf(R[*plan.j]) : HeaderOf(F[plan.e]);
    if (!AddStreamPart(plan, source, F, plan.s, frontEnd) ||
        (plan.j && !AddStreamPart(plan, source, R, *plan.j, HeaderOf(F[plan.e])))) {
        return std::nullopt;
    }
    if (!PlaceEntries(plan, source, moviBase)) {
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

bool WriteSegment(CutPlan& plan, int sourceFd, ExclusiveOutputFile& output, PosixFileOps& ops)
{
    std::vector<char> buffer(kCopyBuffer);
    std::vector<SizeProbe> none;
    return CopyRange(ops, sourceFd, output, buffer, 0, plan.headerSize, plan.headerPatches, none) &&
           WriteMoviList(plan, ops, sourceFd, output, buffer) && WriteIndex(plan, output, buffer);
}

bool CopySegment(const std::filesystem::path& source, uint32_t startSeconds, uint32_t endSeconds,
                 const std::filesystem::path& destination, PosixFileOps& ops)
{
    const QString sourceText = QFile::decodeName(QByteArray::fromStdString(source.native()));
    std::string sourceNative;
    std::string destinationNative;
    if (!CFileParser::ToAnsiPath(sourceText, sourceNative) ||
        !CFileParser::ToAnsiPath(QFile::decodeName(QByteArray::fromStdString(destination.native())), destinationNative)) {
        return false;
    }
    AVIFileParser parser;
    if (!parser.Open(sourceText) || parser.GetRootChunks().empty()) {
        return false;
    }
    std::optional<CutPlan> plan = CutFrames(parser, startSeconds, endSeconds);
    if (!plan) {
        return false;
    }
    const int sourceFd = parser.GetDescriptor();
    posix_fadvise(sourceFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    ExclusiveOutputFile output(ops);
    if (!output.Create(destinationNative)) {
        return false;
    }
    if (!WriteSegment(*plan, sourceFd, output, ops)) {
        output.Abandon();
        return false;
    }
    return output.Commit();
}

bool CutSegment(const std::filesystem::path& source, uint32_t startSeconds, uint32_t endSeconds,
                const std::filesystem::path& destination)
{
    struct stat info {};
    if (source.empty() || destination.empty() || ::stat(source.c_str(), &info) != 0 ||
        ::lstat(destination.c_str(), &info) == 0) {
        return false;
    }
    return CopySegment(source, startSeconds, endSeconds, destination, PosixFileOps::Real());
}

}  // namespace AviSegmentCutter
