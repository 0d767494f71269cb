#pragma once
// A node of a RIFF file's chunk tree. Ids and types are the raw four bytes of
// the file, compared exactly up to the first NUL (so an id whose first byte
// is 0 equals the empty text).

#include "recordings/LittleEndian.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

struct FourCC {
    std::array<char, 4> bytes{};

    static FourCC FromBytes(const char* data)
    {
        FourCC code;
        std::memcpy(code.bytes.data(), data, 4);
        return code;
    }
    // The characters before the first NUL.
    std::string_view View() const
    {
        const auto* nul = static_cast<const char*>(std::memchr(bytes.data(), 0, 4));
        return {bytes.data(), nul ? static_cast<size_t>(nul - bytes.data()) : 4};
    }
    std::string Text() const { return std::string(View()); }
    bool Is(std::string_view text) const { return View() == text; }
    bool StartsWith(std::string_view prefix) const { return View().starts_with(prefix); }
    bool Contains(std::string_view part) const { return View().find(part) != std::string_view::npos; }
};

struct Chunk {
    FourCC id;
    FourCC type;          // list type, or the first four data bytes
    int64_t offset = -1;  // file offset of the header
    uint32_t size = 0;    // the header's size field
    std::vector<Chunk> children;

    // Where the children would be read from, and whether they have been.
    // Only LIST and RIFF chunks are walked for children (see AVIFileParser).
    int64_t childStart = 0;
    int64_t childEnd = 0;
    int depth = 0;
    bool childrenWalked = false;
};

struct IndexEntry {
    int64_t dataOffset = 0;   // first data byte of the indexed chunk
    int64_t entryOffset = 0;  // the 16-byte idx1 entry itself
    uint32_t flags = 0;
};
