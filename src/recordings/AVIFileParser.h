#pragma once
// Reads one AVI recording: validates it on Open and answers the questions the
// rest of the system asks of it (streams, frames, picture size, duration,
// index entries).
//
// The tree is lazy: Open walks the root level only, and a chunk's children
// are walked when a query first needs them. Only LIST and RIFF chunks get
// children (payload bytes never become nodes), lists nested deeper than
// kMaxDepth get none, and the "movi" list is a leaf, so no query ever reads
// the movie data. One thread at a time, no lock.

#include "recordings/CFileParser.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class AVIFileParser : public CFileParser {
public:
    // Why the last Open returned what it did.
    enum class OpenOutcome {
        NotOpened,
        Accepted,      // a RIFF tree was built
        SetAside,      // too small to be a recording; true with an empty tree
        Broken,        // "RIFF" signature, but its size field was refused
        NotRecording,  // wrong extension, not a regular file, empty, or no RIFF signature
        Unreadable,    // cannot be named, opened or read
        TooLarge,      // above 4 GiB - 1, which RIFF cannot describe
    };

    // One raw idx1 entry; fields lying outside the file read as 0.
    struct RawIndexEntry {
        FourCC id;
        uint32_t flags = 0;
        uint32_t chunkOffset = 0;  // from the "movi" type field to the chunk header
        uint32_t chunkLength = 0;
        int64_t entryOffset = 0;
    };

    static constexpr int kMaxDepth = 16;
    static constexpr int64_t kSetAsideSize = 30 * 1024;
    static constexpr int64_t kMaxFileSize = 0xFFFFFFFFLL;

    std::vector<Chunk*> SearchChunks(std::vector<Chunk>& list, std::string_view id) override;
    bool Open(const QString& path) override;
    // Open's answer and outcome with the fewest reads: the walk stops at the
    // first root RIFF chunk, so a recording costs open, fstat, one read of
    // 12 bytes and close. The tree then holds the root chunks up to that
    // one; for queries use Open.
    bool Probe(const QString& path);
    bool Read(int64_t offset, size_t count, void* buffer) override;
    uint32_t ReadDword(int64_t offset) override;
    bool HasRiffChunk(const std::vector<Chunk>& list) override;
    bool ParseChunks(int64_t start, std::vector<Chunk>& list, int64_t end) override;

    FourCC ReadFourCC(int64_t offset);
    // Reads what lies of [offset, offset + count) inside the file in one read
    // and zero-fills the rest of buffer; returns the bytes read.
    size_t ReadAvailable(int64_t offset, size_t count, void* buffer);

    OpenOutcome GetOpenOutcome() const { return outcome; }
    // The descriptor left open for the queries (-1 when none).
    int GetDescriptor() const { return file.Descriptor(); }
    // The file's last-write time, as fstat gave it on Open.
    const timespec& GetModifiedTime() const { return file.ModifiedTime(); }

    // A chunk's children, walked on first use.
    std::vector<Chunk>& Children(Chunk& chunk);

    Chunk* FindChildByType(std::string_view type);
    int GetVideoStreamCount();
    int GetTotalFrames();
    int GetWidth();
    int GetHeight();
    Chunk* FindVideoStreamHeader();
    int GetDuration();
    // The idx1 entries whose id starts with prefix; none without idx1 or
    // movi, or when idx1 holds more than RecorderLayout::kMaximumIndexEntries.
    std::vector<IndexEntry> GetIndexEntries(std::string_view prefix);
    std::vector<std::string> GetStreamChunkIds();

    // The first idx1 chunk, or none.
    Chunk* FindIndexChunk();
    // Offset that dwChunkOffset values count from, plus 8: the first data
    // byte of an indexed chunk is chunkOffset + this. None without a tree.
    std::optional<int64_t> GetIndexDataBase();
    // Every entry of idx1 in order. The index is read in blocks of at most
    // kIndexBlock bytes (one read for any recorder file), never past the end
    // of the file.
    void ForEachIndexEntry(const Chunk& idx1, const std::function<void(const RawIndexEntry&)>& visit);
    // The same walk in blocks of blockBytes, until visit returns false;
    // true when every entry was visited.
    template <typename Visit>
    bool ForEachIndexEntryUntil(const Chunk& idx1, size_t blockBytes, Visit&& visit);
    // How many entries ForEachIndexEntry visits, known before any is read.
    size_t CountIndexEntries(const Chunk& idx1) const;
    static constexpr size_t kIndexBlock = 4 * 1024 * 1024;

    // A file this small is not walked, unless "SDEXIT" occurs in its path
    // after the first character.
    static bool IsSetAside(const QString& path, int64_t size);
    // "SDEXIT" in the path, first met after its first character; the repair
    // refuses such paths too.
    static bool HasSdexitMark(const QString& path);
    // The walk refuses a chunk whose size field is below 8 or not below the
    // file size; at offset 0 that makes a "RIFF" file broken.
    static bool IsRefusedSize(uint32_t size, int64_t fileSize);

private:
    // Reads what lies of [offset, offset + count) inside the file and
    // zero-fills only the rest; returns the bytes read.
    size_t ReadIndexBlock(int64_t offset, size_t count, unsigned char* out);
    static RawIndexEntry DecodeIndexEntry(const unsigned char* p, int64_t entryOffset, size_t available);

    uint32_t AvihField(int offsetInChunk);
    // [first entry, end of the entries inside the file) of idx1.
    std::pair<int64_t, int64_t> IndexBounds(const Chunk& idx1) const;
    Chunk* FindHdrlStreamHeaderChild(std::string_view type);

    bool OpenFile(const QString& path, bool probe);

    OpenOutcome outcome = OpenOutcome::NotOpened;
    int walkDepth = 0;
    bool stopAtRiff = false;
};

template <typename Visit>
bool AVIFileParser::ForEachIndexEntryUntil(const Chunk& idx1, size_t blockBytes, Visit&& visit)
{
    const auto [begin, end] = IndexBounds(idx1);
    const int64_t blockEntries = std::max<int64_t>(1, static_cast<int64_t>(blockBytes / 16));
    std::unique_ptr<unsigned char[]> block;
    int64_t capacity = 0;
    for (int64_t blockStart = begin; blockStart < end; blockStart += blockEntries * 16) {
        const int64_t entryCount = std::min<int64_t>(blockEntries, (end - blockStart + 15) / 16);
        if (entryCount > capacity) {
            // Never zero-filled: the read overwrites it.
            block = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(entryCount * 16));
            capacity = entryCount;
        }
        // A last partial entry is read whole where the file holds its bytes.
        const size_t got = ReadIndexBlock(blockStart, static_cast<size_t>(entryCount * 16), block.get());
        for (int64_t k = 0; k < entryCount; ++k) {
            const int64_t at = k * 16;
            const size_t available = got > static_cast<size_t>(at) ? got - static_cast<size_t>(at) : 0;
            if (!visit(DecodeIndexEntry(block.get() + at, blockStart + at, available))) {
                return false;
            }
        }
    }
    return true;
}
