#pragma once
// MulDiv of the original platform: value × numerator / denominator through
// a 64-bit product, halves rounded away from zero, for a positive divisor.

#include <cstdint>

namespace platform {

inline int MulDiv(int value, int numerator, int denominator)
{
    const std::int64_t product = std::int64_t(value) * numerator;
    const std::int64_t magnitude = (product < 0 ? -product : product) * 2 + denominator;
    const std::int64_t rounded = magnitude / (2 * std::int64_t(denominator));
    return int(product < 0 ? -rounded : rounded);
}

}  // namespace platform
