#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Integer client geometry: y grows downwards, rectangles are (left, top, right, bottom)
// with the right and bottom edges outside.

struct SPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const SPoint&, const SPoint&) = default;
};

struct SRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const SRect&, const SRect&) = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Left and top edges inside, right and bottom edges outside.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    SRect Inflated(int d) const;
    SRect Offset(int dx, int dy) const;
    // Corners given in either order become left <= right, top <= bottom.
    SRect Normalised() const;
};

// Saturating conversion to 32 bits: wild genomes compute in 64 bits and are
// brought back here so no stored coordinate ever wraps round.
inline int Sat32(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

inline SRect SRect::Inflated(int d) const {
    return {Sat32(int64_t{left} - d), Sat32(int64_t{top} - d), Sat32(int64_t{right} + d),
            Sat32(int64_t{bottom} + d)};
}

inline SRect SRect::Offset(int dx, int dy) const {
    return {Sat32(int64_t{left} + dx), Sat32(int64_t{top} + dy), Sat32(int64_t{right} + dx),
            Sat32(int64_t{bottom} + dy)};
}

inline SRect SRect::Normalised() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}
