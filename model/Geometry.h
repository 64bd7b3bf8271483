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
    return static_cast<int>(
        std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
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

// Keeps the part of the segment (x0, y0)-(x1, y1) inside the rectangle [left, right] x
// [top, bottom] (Liang-Barsky); false when no part of it is inside. Drawing surfaces use it
// to bring far-reaching strokes of wild genomes back near the picture.
inline bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top,
                        double right, double bottom) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const double nx0 = x0 + t0 * dx;
    const double ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}
