#include "recordings/AVIFileParser.h"

#include "recordings/RecorderLayout.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

bool CanHaveChildren(const Chunk& chunk)
{
    if (chunk.id.Is("RIFF")) {
        return true;
    }
    return chunk.id.Is("LIST") && !chunk.type.Is("movi");
}

}  // namespace

bool AVIFileParser::IsSetAside(const QString& path, int64_t size)
{
    return size <= kSetAsideSize && !HasSdexitMark(path);
}

bool AVIFileParser::HasSdexitMark(const QString& path)
{
    return path.indexOf(QStringLiteral("SDEXIT")) > 0;
}

bool AVIFileParser::IsRefusedSize(uint32_t size, int64_t fileSize)
{
    return size < 8 || static_cast<int64_t>(size) >= fileSize;
}

bool AVIFileParser::Open(const QString& path)
{
    return OpenFile(path, false);
}

bool AVIFileParser::Probe(const QString& path)
{
    return OpenFile(path, true);
}

bool AVIFileParser::OpenFile(const QString& path, bool probe)
{
    Close();
    outcome = OpenOutcome::NotRecording;
    if (!path.endsWith(QStringLiteral("avi"))) {
        return false;
    }
    std::string native;
    if (!ToAnsiPath(path, native)) {
        outcome = OpenOutcome::Unreadable;
        return false;
    }
    if (!file.OpenForReading(native, !probe)) {
        outcome = file.LastError() == ENODEV ? OpenOutcome::NotRecording : OpenOutcome::Unreadable;
        return false;
    }
    fileSize = file.Size();
    if (fileSize <= 0) {
        Close();
        return false;
    }
    if (fileSize > kMaxFileSize) {
        Close();
        outcome = OpenOutcome::TooLarge;
        return false;
    }
    if (IsSetAside(path, fileSize)) {
        file.Close();
        fileSize = 0;
        outcome = OpenOutcome::SetAside;
        return true;
    }
    walkDepth = 0;
    // One RIFF chunk at the root decides the answer; the rest of the root
    // walk only matters to the queries.
    stopAtRiff = probe;
    ParseChunks(0, chunks, fileSize);
    stopAtRiff = false;
    if (HasRiffChunk(chunks)) {
        outcome = OpenOutcome::Accepted;
        return true;
    }
    if (file.HadIoError()) {
        outcome = OpenOutcome::Unreadable;
    } else if (ReadFourCC(0).Is("RIFF")) {
        outcome = OpenOutcome::Broken;
    }
    Close();
    return false;
}

bool AVIFileParser::Read(int64_t offset, size_t count, void* buffer)
{
    if (count == 0 || offset < 0 || offset > fileSize || static_cast<uint64_t>(fileSize - offset) < count) {
        return false;
    }
    std::memset(buffer, 0, count);
    return file.ReadAt(offset, buffer, count);
}

size_t AVIFileParser::ReadAvailable(int64_t offset, size_t count, void* buffer)
{
    std::memset(buffer, 0, count);
    if (offset < 0 || offset >= fileSize) {
        return 0;
    }
    const size_t available = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), fileSize - offset));
    if (!file.ReadAt(offset, buffer, available)) {
        std::memset(buffer, 0, count);
        return 0;
    }
    return available;
}

uint32_t AVIFileParser::ReadDword(int64_t offset)
{
    unsigned char bytes[4];
    return Read(offset, 4, bytes) ? ReadLe32(bytes) : 0;
}

FourCC AVIFileParser::ReadFourCC(int64_t offset)
{
    char bytes[4];
    if (!Read(offset, 4, bytes)) {
        std::memset(bytes, 0, 4);
    }
    return FourCC::FromBytes(bytes);
}

bool AVIFileParser::HasRiffChunk(const std::vector<Chunk>& list)
{
    return std::any_of(list.begin(), list.end(), [](const Chunk& c) { return c.id.Is("RIFF"); });
}

bool AVIFileParser::ParseChunks(int64_t start, std::vector<Chunk>& list, int64_t end)
{
    if (start >= fileSize || end > fileSize) {
        return false;
    }
    int64_t pos = start;
    while (pos < end) {
        // One read for id, size and type; a field not wholly inside the
        // file reads as zeros, as separate reads of it would.
        unsigned char header[12];
        const size_t got = ReadAvailable(pos, sizeof header, header);
        const uint32_t size = got >= 8 ? ReadLe32(header + 4) : 0;
        if (IsRefusedSize(size, fileSize)) {
            return size != 0;
        }
        if (header[0] == 0) {
            return true;
        }
        Chunk chunk;
        chunk.id = FourCC::FromBytes(reinterpret_cast<const char*>(header));
        if (got >= 12) {
            chunk.type = FourCC::FromBytes(reinterpret_cast<const char*>(header + 8));
        }
        chunk.offset = pos;
        chunk.size = size;
        chunk.depth = walkDepth;
        const bool isList = chunk.id.Is("LIST");
        int64_t step = size;
        if (!isList && !chunk.id.Is("RIFF")) {
            step += 8;
        }
        chunk.childStart = pos + 12;
        chunk.childEnd = pos + step;
        chunk.childrenWalked = !CanHaveChildren(chunk) || walkDepth >= kMaxDepth;
        const bool isRootRiff = walkDepth == 0 && chunk.id.Is("RIFF");
        list.push_back(std::move(chunk));
        if (stopAtRiff && isRootRiff) {
            return true;
        }
        if (isList) {
            step += 8;
        }
        pos += step;
    }
    return true;
}

std::vector<Chunk>& AVIFileParser::Children(Chunk& chunk)
{
    if (!chunk.childrenWalked) {
        chunk.childrenWalked = true;
        const int saved = walkDepth;
        walkDepth = chunk.depth + 1;
        ParseChunks(chunk.childStart, chunk.children, chunk.childEnd);
        walkDepth = saved;
    }
    return chunk.children;
}

std::vector<Chunk*> AVIFileParser::SearchChunks(std::vector<Chunk>& list, std::string_view id)
{
    std::vector<Chunk*> found;
    // Explicit stack: depth-first pre-order without recursion.
    std::vector<std::pair<std::vector<Chunk>*, size_t>> stack{{&list, 0}};
    while (!stack.empty()) {
        auto& [current, index] = stack.back();
        if (index >= current->size()) {
            stack.pop_back();
            continue;
        }
        Chunk& chunk = (*current)[index++];
        if (chunk.id.Is(id)) {
            found.push_back(&chunk);
        } else {
            std::vector<Chunk>& children = Children(chunk);
            if (!children.empty()) {
                stack.emplace_back(&children, 0);
            }
        }
    }
    return found;
}

Chunk* AVIFileParser::FindChildByType(std::string_view type)
{
    for (Chunk& root : chunks) {
        for (Chunk& child : Children(root)) {
            if (child.type.Is(type)) {
                return &child;
            }
        }
    }
    return chunks.empty() ? nullptr : &chunks.back();
}

Chunk* AVIFileParser::FindHdrlStreamHeaderChild(std::string_view type)
{
    Chunk* hdrl = FindChildByType("hdrl");
    if (!hdrl) {
        return nullptr;
    }
    for (Chunk& child : Children(*hdrl)) {
        for (Chunk& grandchild : Children(child)) {
            if (grandchild.type.Is(type)) {
                return &grandchild;
            }
        }
    }
    return nullptr;
}

int AVIFileParser::GetVideoStreamCount()
{
    Chunk* hdrl = FindChildByType("hdrl");
    if (!hdrl) {
        return 0;
    }
    int count = 0;
    for (Chunk& child : Children(*hdrl)) {
        for (const Chunk& grandchild : Children(child)) {
            count += grandchild.type.Is("vids") ? 1 : 0;
        }
    }
    return count;
}

uint32_t AVIFileParser::AvihField(int offsetInChunk)
{
    Chunk* hdrl = FindChildByType("hdrl");
    if (!hdrl) {
        return 0;
    }
    for (const Chunk& child : Children(*hdrl)) {
        if (child.id.Is("avih")) {
            return ReadDword(child.offset + offsetInChunk);
        }
    }
    return 0;
}

int AVIFileParser::GetTotalFrames()
{
    return static_cast<int>(AvihField(24));
}

int AVIFileParser::GetWidth()
{
    return static_cast<int>(AvihField(40));
}

int AVIFileParser::GetHeight()
{
    return static_cast<int>(AvihField(44));
}

Chunk* AVIFileParser::FindVideoStreamHeader()
{
    return FindHdrlStreamHeaderChild("vids");
}

int AVIFileParser::GetDuration()
{
    const Chunk* strh = FindVideoStreamHeader();
    if (!strh) {
        return 0;
    }
    const auto scale = static_cast<int32_t>(ReadDword(strh->offset + 28));
    const auto rate = static_cast<int32_t>(ReadDword(strh->offset + 32));
    const auto length = static_cast<int32_t>(ReadDword(strh->offset + 40));
    if (rate <= 0 || scale <= 0) {
        return 0;
    }
    const double seconds = static_cast<double>(length) / (static_cast<double>(rate) / static_cast<double>(scale));
    if (!(seconds > 0.0)) {
        return 0;
    }
    if (seconds >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(seconds);
}

Chunk* AVIFileParser::FindIndexChunk()
{
    std::vector<Chunk*> found = FindChunks("idx1");
    return found.empty() ? nullptr : found.front();
}

std::optional<int64_t> AVIFileParser::GetIndexDataBase()
{
    const Chunk* movi = FindChildByType("movi");
    if (!movi) {
        return std::nullopt;
    }
    return movi->offset + 16;
}

std::pair<int64_t, int64_t> AVIFileParser::IndexBounds(const Chunk& idx1) const
{
    const int64_t begin = idx1.offset + 8;
    return {begin, std::min<int64_t>(begin + idx1.size, fileSize)};
}

size_t AVIFileParser::CountIndexEntries(const Chunk& idx1) const
{
    // A last partial entry counts: it is visited with its missing fields 0.
    const auto [begin, end] = IndexBounds(idx1);
    return end > begin ? static_cast<size_t>((end - begin + 15) / 16) : 0;
}

size_t AVIFileParser::ReadIndexBlock(int64_t offset, size_t count, unsigned char* out)
{
    size_t got = 0;
    if (offset >= 0 && offset < fileSize) {
        const size_t available = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), fileSize - offset));
        got = file.ReadAt(offset, out, available) ? available : 0;
    }
    std::memset(out + got, 0, count - got);
    return got;
}

AVIFileParser::RawIndexEntry AVIFileParser::DecodeIndexEntry(const unsigned char* p, int64_t entryOffset, size_t available)
{
    // A field not wholly inside the file reads as 0.
    RawIndexEntry entry;
    entry.entryOffset = entryOffset;
    if (available >= 4) {
        entry.id = FourCC::FromBytes(reinterpret_cast<const char*>(p));
    }
    entry.flags = available >= 8 ? ReadLe32(p + 4) : 0;
    entry.chunkOffset = available >= 12 ? ReadLe32(p + 8) : 0;
    entry.chunkLength = available >= 16 ? ReadLe32(p + 12) : 0;
    return entry;
}

void AVIFileParser::ForEachIndexEntry(const Chunk& idx1, const std::function<void(const RawIndexEntry&)>& visit)
{
    ForEachIndexEntryUntil(idx1, kIndexBlock, [&](const RawIndexEntry& entry) {
        visit(entry);
        return true;
    });
}

std::vector<IndexEntry> AVIFileParser::GetIndexEntries(std::string_view prefix)
{
    std::vector<IndexEntry> entries;
    const Chunk* idx1 = FindIndexChunk();
    // Every entry might match: a forged idx1 size could need gigabytes.
    if (!idx1 || CountIndexEntries(*idx1) > RecorderLayout::kMaximumIndexEntries) {
        return entries;
    }
    const std::optional<int64_t> base = GetIndexDataBase();
    if (!base) {
        return entries;
    }
    ForEachIndexEntry(*idx1, [&](const RawIndexEntry& raw) {
        if (raw.id.StartsWith(prefix)) {
            entries.push_back({raw.chunkOffset + *base, raw.entryOffset, raw.flags});
        }
    });
    return entries;
}

std::vector<std::string> AVIFileParser::GetStreamChunkIds()
{
    std::vector<std::string> ids;
    Chunk* hdrl = FindChildByType("hdrl");
    if (!hdrl) {
        return ids;
    }
    int number = -1;
    for (Chunk& child : Children(*hdrl)) {
        for (const Chunk& grandchild : Children(child)) {
            const char* suffix = grandchild.type.Is("vids")   ? "dc"
                                 : grandchild.type.Is("auds") ? "wb"
                                 : grandchild.type.Is("txts") ? "tx"
                                                              : nullptr;
            if (suffix) {
                ids.push_back("0" + std::to_string(number) + suffix);
            }
        }
        ++number;
    }
    return ids;
}
