#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Arithmetic for development. Genes come unchecked from files and the clipboard, so every
// sum and product is done in 64 bits and coordinates are held within kCoordLimit. That bound
// is far beyond anything a genome within its limits can reach (a few thousand pixels), so it
// changes nothing for ordinary morphs, yet keeps every later sum (offsets, bounds, margins)
// inside 32 bits.
inline constexpr int64_t kCoordLimit = int64_t{1} << 29;

inline int64_t ClampCoord(int64_t v) {
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

inline int64_t SatAdd(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r)) {
        return a > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return r;
}

inline int64_t SatMul(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) {
        return ((a < 0) != (b < 0)) ? std::numeric_limits<int64_t>::min()
                                    : std::numeric_limits<int64_t>::max();
    }
    return r;
}

// a * b / c rounded to the nearest integer, halves away from zero (c > 0). A product too large
// for 64 bits saturates; such a result is clamped to the coordinate range by the caller anyway.
inline int64_t MulDiv(int64_t a, int64_t b, int64_t c) {
    int64_t p;
    if (__builtin_mul_overflow(a, b, &p)) {
        return ((a < 0) != (b < 0)) ? std::numeric_limits<int64_t>::min() / 2
                                    : std::numeric_limits<int64_t>::max() / 2;
    }
    int64_t q = p / c;
    int64_t r = p % c;
    if (r != 0 && (r > 0 ? r : -r) * 2 >= c) {
        q += (p < 0) ? -1 : 1;
    }
    return q;
}
