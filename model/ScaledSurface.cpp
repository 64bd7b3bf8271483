#include "model/ScaledSurface.h"

#include <algorithm>
#include <vector>

namespace {

int ScaleCoord(int v, int origin, int64_t num, int64_t den) {
    const int64_t d = (int64_t{v} - origin) * num;
    // Rounded to the nearest, halves away from the origin, the same on both sides of it.
    const int64_t q = d >= 0 ? (2 * d + den) / (2 * den) : -((-2 * d + den) / (2 * den));
    return Sat32(int64_t{origin} + q);
}

}  // namespace

SRect ScaledAbout(const SRect& r, SPoint origin, int scale) {
    // A wild morph's box scaled up may reach any coordinate; kept within 2^29 either way, its
    // width and height still fit an int.
    constexpr int64_t kFar = int64_t{1} << 29;
    const auto scaled = [&](int v, int o) {
        return static_cast<int>(
            std::clamp<int64_t>(int64_t{o} + (int64_t{v} - o) * scale, -kFar, kFar));
    };
    return {scaled(r.left, origin.x), scaled(r.top, origin.y), scaled(r.right, origin.x),
            scaled(r.bottom, origin.y)};
}

CScaledSurface::CScaledSurface(IDrawSurface& target, SPoint origin, int scale)
    : CScaledSurface(target, origin, std::max(scale, 1), 1) {}

CScaledSurface::CScaledSurface(IDrawSurface& target, SPoint origin, int64_t num, int64_t den)
    : m_target(target),
      m_origin(origin),
      m_nNum(std::max<int64_t>(num, 1)),
      m_nDen(std::max<int64_t>(den, 1)) {
    // Kept small enough that a coordinate times num, doubled, fits in 64 bits (the distance
    // from the origin is below 2^33); the ratio barely changes.
    while (m_nNum > (int64_t{1} << 20) || m_nDen > (int64_t{1} << 40)) {
        m_nNum = std::max<int64_t>(m_nNum / 2, 1);
        m_nDen = std::max<int64_t>(m_nDen / 2, 1);
    }
}

SPoint CScaledSurface::Scaled(SPoint p) const {
    return {ScaleCoord(p.x, m_origin.x, m_nNum, m_nDen),
            ScaleCoord(p.y, m_origin.y, m_nNum, m_nDen)};
}

SRect CScaledSurface::Scaled(const SRect& r) const {
    if (m_nDen == 1) {
        return ScaledAbout(r, m_origin, static_cast<int>(m_nNum));
    }
    const SPoint a = Scaled(SPoint{r.left, r.top});
    const SPoint b = Scaled(SPoint{r.right, r.bottom});
    return {a.x, a.y, b.x, b.y};
}

void CScaledSurface::PassState() {
    SDrawState state = m_state;
    // A zero-width pen draws one pixel wide, like a pen of width 1.
    const int64_t width = int64_t{std::max(state.nPenWidth, 1)} * m_nNum / m_nDen;
    state.nPenWidth = static_cast<int>(std::clamp<int64_t>(width, 1, 1 << 20));
    m_target.SetState(state);
}

void CScaledSurface::SetPixel(int x, int y, SRgb colour) {
    // A pixel becomes a block of the scale's size (one pixel at least), set outright as a
    // pixel is.
    const SPoint p = Scaled(SPoint{x, y});
    const int64_t side = std::max<int64_t>(m_nNum / m_nDen, 1);
    m_target.FillRect({p.x, p.y, Sat32(int64_t{p.x} + side), Sat32(int64_t{p.y} + side)}, colour);
}

void CScaledSurface::Line(int x0, int y0, int x1, int y1) {
    PassState();
    const SPoint a = Scaled(SPoint{x0, y0});
    const SPoint b = Scaled(SPoint{x1, y1});
    m_target.Line(a.x, a.y, b.x, b.y);
}

void CScaledSurface::Polygon(const SPoint* points, int count) {
    PassState();
    std::vector<SPoint> scaled(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        scaled[static_cast<size_t>(i)] = Scaled(points[i]);
    }
    m_target.Polygon(scaled.data(), count);
}

void CScaledSurface::Bezier13(const SPoint* points) {
    PassState();
    SPoint scaled[13];
    for (int i = 0; i < 13; ++i) {
        scaled[i] = Scaled(points[i]);
    }
    m_target.Bezier13(scaled);
}

void CScaledSurface::Ellipse(const SRect& box) {
    PassState();
    m_target.Ellipse(Scaled(box));
}

void CScaledSurface::FillRect(const SRect& rect, SRgb colour) {
    m_target.FillRect(Scaled(rect), colour);
}

void CScaledSurface::FrameRect(const SRect& rect, SRgb colour) {
    m_target.FrameRect(Scaled(rect), colour);
}

void CScaledSurface::OnStroke(int x0, int y0, int x1, int y1) {
    const SPoint a = Scaled(SPoint{x0, y0});
    const SPoint b = Scaled(SPoint{x1, y1});
    m_target.OnStroke(a.x, a.y, b.x, b.y);
}

void CScaledSurface::OnJoint(int x0, int y0, int x1, int y1) {
    const SPoint a = Scaled(SPoint{x0, y0});
    const SPoint b = Scaled(SPoint{x1, y1});
    m_target.OnJoint(a.x, a.y, b.x, b.y);
}
