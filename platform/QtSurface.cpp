#include "platform/QtSurface.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// Pens are held to this. Development already holds them to 128, more than the widest pen
// (90) that genes within their limits can make; a pen that wide covers a whole grid cell, and
// anything wider would only fill more of the window stroke after stroke.
constexpr int kMaxPenWidth = 128;
// Coordinates beyond this are brought in by clipping before Qt sees them.
constexpr int64_t kSafeCoord = 1 << 15;

QColor ToQColor(SRgb c) {
    return QColor(c.r, c.g, c.b);
}

int PenWidth(const SDrawState& s) {
    return std::clamp(s.nPenWidth, 1, kMaxPenWidth);
}

int ClampSafe(int v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kSafeCoord, kSafeCoord));
}

}  // namespace

CQtSurface::CQtSurface(QPainter& painter, const QRect& bounds, bool bPrinter, QImage* image)
    : m_painter(painter), m_rcBounds(bounds), m_bPrinter(bPrinter) {
    m_rcCull = bounds;
    // A clip keeps aliased lines on Qt's fast path.
    m_painter.setClipRect(bounds);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    if (!image) {
        image = dynamic_cast<QImage*>(painter.device());
    }
    if (image && !bPrinter &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32)) {
        const qreal dpr = image->devicePixelRatio();
        const QTransform t = painter.deviceTransform();
        const int scale = qRound(dpr);
        if (qFuzzyCompare(dpr, qreal(scale)) && scale >= 1 && t.type() <= QTransform::TxScale &&
            qFuzzyCompare(t.m11(), dpr) && qFuzzyCompare(t.m22(), dpr) && t.dx() == 0 &&
            t.dy() == 0) {
            m_pBits = image->bits();
            m_nStride = image->bytesPerLine();
            m_nScale = scale;
            m_rcDeviceClip = QRect(QPoint(0, 0), image->size());
            SetClip(nullptr);
        }
    }
}

void CQtSurface::PlotBlock(int x, int y, uint32_t rgb, bool bXor) {
    // (x, y) is a logical pixel known to lie in the clip; it covers scale x scale device pixels.
    for (int dy = 0; dy < m_nScale; ++dy) {
        auto* line = reinterpret_cast<uint32_t*>(m_pBits + (y * m_nScale + dy) * m_nStride);
        for (int dx = 0; dx < m_nScale; ++dx) {
            uint32_t& px = line[x * m_nScale + dx];
            px = bXor ? (px ^ rgb) : (0xFF000000u | rgb);
        }
    }
}

bool CQtSurface::DirectLine(int x0, int y0, int x1, int y1) {
    if (!m_pBits || PenWidth(m_state) > 1) {
        return false;
    }
    const int64_t far = std::max({std::abs(int64_t{x0}), std::abs(int64_t{y0}),
                                  std::abs(int64_t{x1}), std::abs(int64_t{y1})});
    if (far > kSafeCoord) {
        return false;
    }
    const bool bXor = m_state.rop == ERop::Xor;
    const SRgb c = m_state.penColour;
    const uint32_t rgb = (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
    // The clip's edges in locals: QRect::contains is out of line, and this runs per pixel.
    const int left = m_rcCull.left();
    const int top = m_rcCull.top();
    const int right = m_rcCull.right();
    const int bottom = m_rcCull.bottom();
    auto inside = [&](int px, int py) {
        return px >= left && px <= right && py >= top && py <= bottom;
    };
    // Bresenham from the first point towards the second, leaving out the last pixel.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        if (inside(x, y)) {
            if (m_nScale == 1) {
                // One device pixel per logical pixel: no block to loop over.
                uint32_t& px = reinterpret_cast<uint32_t*>(m_pBits + y * m_nStride)[x];
                px = bXor ? (px ^ rgb) : (0xFF000000u | rgb);
            } else {
                PlotBlock(x, y, rgb, bXor);
            }
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return true;
}

CQtSurface::~CQtSurface() {
    Flush();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QColor CQtSurface::PenColour(const SDrawState& s) const {
    if (m_bPrinter && s.rop == ERop::Xor) {
        return QColor(255 - s.penColour.r, 255 - s.penColour.g, 255 - s.penColour.b);
    }
    return ToQColor(s.penColour);
}

QColor CQtSurface::BrushColour(const SDrawState& s) const {
    if (m_bPrinter && s.rop == ERop::Xor) {
        return QColor(255 - s.brushColour.r, 255 - s.brushColour.g, 255 - s.brushColour.b);
    }
    return ToQColor(s.brushColour);
}

void CQtSurface::Apply(const SDrawState& s) {
    if (m_bApplied && s == m_applied) {
        return;
    }
    Flush();
    const int width = PenWidth(s);
    QPen pen(PenColour(s));
    if (width <= 1) {
        // A cosmetic one-pixel line that leaves out its last pixel, so that strokes meeting
        // end to end in XOR do not cancel each other at the joint.
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
    } else {
        pen.setWidth(width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    m_painter.setPen(pen);
    m_painter.setBrush(QBrush(BrushColour(s)));
    m_painter.setCompositionMode(s.rop == ERop::Xor && !m_bPrinter
                                     ? QPainter::RasterOp_SourceXorDestination
                                     : QPainter::CompositionMode_SourceOver);
    m_applied = s;
    m_bApplied = true;
}

void CQtSurface::Flush() {
    if (!m_lines.isEmpty()) {
        m_painter.drawLines(m_lines);
        m_lines.clear();
    }
    if (!m_points.isEmpty()) {
        m_painter.drawPoints(m_points.constData(), static_cast<int>(m_points.size()));
        m_points.clear();
    }
}

bool CQtSurface::Culled(int64_t left, int64_t top, int64_t right, int64_t bottom,
                        int margin) const {
    return right + margin < m_rcCull.left() || left - margin > m_rcCull.right() ||
           bottom + margin < m_rcCull.top() || top - margin > m_rcCull.bottom();
}

bool CQtSurface::CulledPoints(const SPoint* points, int count) const {
    int64_t l = points[0].x, t = points[0].y, r = l, b = t;
    for (int i = 1; i < count; ++i) {
        l = std::min<int64_t>(l, points[i].x);
        r = std::max<int64_t>(r, points[i].x);
        t = std::min<int64_t>(t, points[i].y);
        b = std::max<int64_t>(b, points[i].y);
    }
    return Culled(l, t, r, b, PenWidth(m_state));
}

void CQtSurface::SetPixel(int x, int y, SRgb colour) {
    if (!m_rcCull.contains(x, y)) {
        return;
    }
    if (m_pBits) {
        Flush();
        PlotBlock(x, y, (uint32_t{colour.r} << 16) | (uint32_t{colour.g} << 8) | colour.b, false);
        return;
    }
    Flush();
    m_painter.save();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setPen(QPen(ToQColor(colour), 0));
    m_painter.drawPoint(x, y);
    m_painter.restore();
}

void CQtSurface::Line(int x0, int y0, int x1, int y1) {
    const int width = PenWidth(m_state);
    if (Culled(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), width)) {
        return;
    }
    if (m_pBits && PenWidth(m_state) <= 1) {
        Flush();
        if (DirectLine(x0, y0, x1, y1)) {
            return;
        }
    }
    Apply(m_state);
    if (x0 == x1 && y0 == y1) {
        // A one-pixel pen draws nothing for a line without length; a wide round pen a dot.
        if (width > 1) {
            m_points.append(QPoint(x0, y0));
        }
        return;
    }
    const int64_t far = std::max({std::abs(int64_t{x0}), std::abs(int64_t{y0}),
                                  std::abs(int64_t{x1}), std::abs(int64_t{y1})});
    if (far > kSafeCoord) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        const QRectF area =
            QRectF(m_rcCull).adjusted(-width - 64, -width - 64, width + 64, width + 64);
        if (!ClipSegment(fx0, fy0, fx1, fy1, area.left(), area.top(), area.right(),
                         area.bottom())) {
            return;
        }
        m_lines.append(QLine(qRound(fx0), qRound(fy0), qRound(fx1), qRound(fy1)));
    } else {
        m_lines.append(QLine(x0, y0, x1, y1));
    }
}

void CQtSurface::Polygon(const SPoint* points, int count) {
    if (count <= 0) {
        return;
    }
    if (CulledPoints(points, count)) {
        return;
    }
    Apply(m_state);
    Flush();
    QVector<QPoint> poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) {
        poly.append(QPoint(ClampSafe(points[i].x), ClampSafe(points[i].y)));
    }
    m_painter.drawPolygon(poly.constData(), static_cast<int>(poly.size()));
}

void CQtSurface::Bezier13(const SPoint* points) {
    if (CulledPoints(points, 13)) {
        return;
    }
    Apply(m_state);
    Flush();
    auto p = [&](int i) { return QPointF(ClampSafe(points[i].x), ClampSafe(points[i].y)); };
    QPainterPath path(p(0));
    for (int i = 1; i + 2 < 13; i += 3) {
        path.cubicTo(p(i), p(i + 1), p(i + 2));
    }
    path.closeSubpath();
    m_painter.drawPath(path);
}

void CQtSurface::Ellipse(const SRect& box) {
    const SRect n = box.Normalised();
    if (Culled(n.left, n.top, n.right, n.bottom, PenWidth(m_state))) {
        return;
    }
    Apply(m_state);
    Flush();
    const int l = ClampSafe(n.left);
    const int t = ClampSafe(n.top);
    const int r = ClampSafe(n.right);
    const int b = ClampSafe(n.bottom);
    if (r - l < 2 || b - t < 2) {
        return;
    }
    m_painter.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}

void CQtSurface::FillRect(const SRect& rect, SRgb colour) {
    const SRect n = rect.Normalised();
    if (n.IsEmpty() || Culled(n.left, n.top, n.right - 1, n.bottom - 1, 0)) {
        return;
    }
    Flush();
    const QRect r = QRect(QPoint(ClampSafe(n.left), ClampSafe(n.top)),
                          QPoint(ClampSafe(n.right) - 1, ClampSafe(n.bottom) - 1));
    m_painter.save();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.fillRect(r, ToQColor(colour));
    m_painter.restore();
}

void CQtSurface::FrameRect(const SRect& rect, SRgb colour) {
    const SRect n = rect.Normalised();
    if (n.IsEmpty()) {
        return;
    }
    FillRect({n.left, n.top, n.right, n.top + 1}, colour);
    FillRect({n.left, n.bottom - 1, n.right, n.bottom}, colour);
    FillRect({n.left, n.top, n.left + 1, n.bottom}, colour);
    FillRect({n.right - 1, n.top, n.right, n.bottom}, colour);
}

void CQtSurface::SetClip(const SRect* clip) {
    Flush();
    if (clip) {
        const SRect n = clip->Normalised();
        m_rcCull =
            QRect(QPoint(n.left, n.top), QPoint(n.right - 1, n.bottom - 1)).intersected(m_rcBounds);
    } else {
        m_rcCull = m_rcBounds;
    }
    if (m_pBits) {
        // Direct drawing must stay inside the image whatever the logical bounds say.
        const QRect device(m_rcCull.topLeft() * m_nScale, m_rcCull.size() * m_nScale);
        if (!m_rcDeviceClip.contains(device)) {
            m_rcCull = m_rcCull.intersected(QRect(QPoint(0, 0), m_rcDeviceClip.size() / m_nScale));
        }
    }
    m_painter.setClipRect(m_rcCull);
}
