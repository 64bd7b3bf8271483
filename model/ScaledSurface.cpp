#include "model/ScaledSurface.h"

#include <algorithm>
#include <vector>

namespace {

int ScaleCoord(int v, int origin, int scale) {
    return Sat32(int64_t{origin} + (int64_t{v} - origin) * scale);
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
    : m_target(target), m_origin(origin), m_nScale(std::max(scale, 1)) {}

SPoint CScaledSurface::Scaled(SPoint p) const {
    return {ScaleCoord(p.x, m_origin.x, m_nScale), ScaleCoord(p.y, m_origin.y, m_nScale)};
}

SRect CScaledSurface::Scaled(const SRect& r) const {
    return ScaledAbout(r, m_origin, m_nScale);
}

void CScaledSurface::PassState() {
    SDrawState state = m_state;
    // A zero-width pen draws one pixel wide, like a pen of width 1.
    state.nPenWidth = static_cast<int>(
        std::min<int64_t>(int64_t{std::max(state.nPenWidth, 1)} * m_nScale, 1 << 20));
    m_target.SetState(state);
}

void CScaledSurface::SetPixel(int x, int y, SRgb colour) {
    // A pixel becomes a block of the scale's size, set outright as a pixel is.
    const SPoint p = Scaled(SPoint{x, y});
    m_target.FillRect({p.x, p.y, Sat32(int64_t{p.x} + m_nScale), Sat32(int64_t{p.y} + m_nScale)},
                      colour);
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
