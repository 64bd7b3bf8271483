#include "CountingSurface.h"

#include <algorithm>

namespace {
int64_t Magnitude(int v) {
    return v < 0 ? -int64_t{v} : int64_t{v};
}
}  // namespace

void CCountingSurface::Touch(int x, int y) {
    m_nChecksum += int64_t{x} * 31 + y;
}

void CCountingSurface::TouchEnd(int x, int y) {
    Touch(x, y);
    m_nLargest = std::max({m_nLargest, Magnitude(x), Magnitude(y)});
}

void CCountingSurface::SetPixel(int x, int y, SRgb colour) {
    ++m_nPrimitives;
    Touch(x, y);
    m_nChecksum += colour.r;
}

void CCountingSurface::Line(int x0, int y0, int x1, int y1) {
    ++m_nPrimitives;
    Touch(x0, y0);
    Touch(x1, y1);
}

void CCountingSurface::Polygon(const SPoint* points, int count) {
    ++m_nPrimitives;
    for (int i = 0; i < count; ++i) {
        Touch(points[i].x, points[i].y);
    }
}

void CCountingSurface::Bezier13(const SPoint* points) {
    ++m_nPrimitives;
    for (int i = 0; i < 13; ++i) {
        Touch(points[i].x, points[i].y);
    }
}

void CCountingSurface::Ellipse(const SRect& box) {
    ++m_nPrimitives;
    Touch(box.left, box.top);
    Touch(box.right, box.bottom);
}

void CCountingSurface::FillRect(const SRect& rect, SRgb /*colour*/) {
    ++m_nPrimitives;
    Touch(rect.left, rect.top);
}

void CCountingSurface::FrameRect(const SRect& rect, SRgb /*colour*/) {
    ++m_nPrimitives;
    Touch(rect.left, rect.top);
}

void CCountingSurface::SetClip(const SRect* clip) {
    if (clip) {
        Touch(clip->left, clip->top);
    }
}

void CCountingSurface::OnStroke(int x0, int y0, int x1, int y1) {
    if (m_nStrokes == 0) {
        m_rcStrokes = {x0, y0, x0, y0};
    }
    ++m_nStrokes;
    for (const SPoint p : {SPoint{x0, y0}, SPoint{x1, y1}}) {
        TouchEnd(p.x, p.y);
        m_rcStrokes.left = std::min(m_rcStrokes.left, p.x);
        m_rcStrokes.top = std::min(m_rcStrokes.top, p.y);
        m_rcStrokes.right = std::max(m_rcStrokes.right, p.x);
        m_rcStrokes.bottom = std::max(m_rcStrokes.bottom, p.y);
    }
}

void CCountingSurface::OnJoint(int x0, int y0, int x1, int y1) {
    ++m_nJoints;
    TouchEnd(x0, y0);
    TouchEnd(x1, y1);
}
