#pragma once
// The base of the RIFF readers: the open file, its size and the root list of
// the chunk tree, with operations whose base bodies do nothing.

#include "recordings/Chunk.h"
#include "recordings/PositionedFile.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFileParser {
public:
    CFileParser() = default;
    virtual ~CFileParser() = default;
    CFileParser(const CFileParser&) = delete;
    CFileParser& operator=(const CFileParser&) = delete;

    // Pointers into the tree; valid until the next Open or Close.
    virtual std::vector<Chunk*> SearchChunks(std::vector<Chunk>& list, std::string_view id);
    // SearchChunks over the root list.
    virtual std::vector<Chunk*> FindChunks(std::string_view id);
    virtual bool Open(const QString& path);
    virtual bool Read(int64_t offset, size_t count, void* buffer);
    virtual uint32_t ReadDword(int64_t offset);
    virtual bool HasRiffChunk(const std::vector<Chunk>& list);
    virtual bool ParseChunks(int64_t start, std::vector<Chunk>& list, int64_t end);

    // The native (UTF-8) form of a path for open(2). Fails only for an empty
    // path, an embedded NUL or a path of PATH_MAX bytes or more.
    static bool ToAnsiPath(const QString& path, std::string& native);

    // Closes the file and frees the tree.
    void Close();
    const std::vector<Chunk>& GetRootChunks() const { return chunks; }
    int64_t GetFileSize() const { return fileSize; }
    // Reads made on the file opened last.
    IoStats GetIoStats() const { return file.Stats(); }

protected:
    PositionedFile file;
    int64_t fileSize = 0;
    std::vector<Chunk> chunks;
};
