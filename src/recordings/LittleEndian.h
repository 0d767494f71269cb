#pragma once
// The one reader and writer of little-endian 32-bit values in the
// recordings layer: RIFF stores every number this way.

#include <cstdint>

inline uint32_t ReadLe32(const void* p)
{
    const auto* b = static_cast<const unsigned char*>(p);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

inline void WriteLe32(void* p, uint32_t value)
{
    auto* b = static_cast<unsigned char*>(p);
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}
