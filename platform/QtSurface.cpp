#include "platform/QtSurface.h"

#include <QPaintEngine>
#include <QPainterPath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "platform/ShapeStamps.h"

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

// The pen every primitive is stroked with.
QPen MakePen(int width, const QColor& colour, bool bVector = false) {
    QPen pen(colour);
    if (width <= 1 && bVector) {
        // On paper or in a vector file a line one pixel of the window wide, scaled with the
        // picture: a device pixel of a printer is far too thin to see.
        pen.setWidthF(1.0);
        pen.setCapStyle(Qt::FlatCap);
    } else if (width <= 1) {
        // A cosmetic one-pixel line that leaves out its last pixel, so that strokes meeting
        // end to end in XOR do not cancel each other at the joint.
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
    } else {
        pen.setWidth(width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

// Runs of pixels set to a colour, four at a time where the processor can: filling the runs of
// wide strokes is most of what drawing a heavy morph in copy mode costs.
void FillSpan(uint32_t* p, int n, uint32_t c) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi32(static_cast<int>(c));
    for (; i + 4 <= n; i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
    }
#endif
    for (; i < n; ++i) {
        p[i] = c;
    }
}

// Kinds of stamped shape, the first value of a stamp's key.
enum EStampKind : int32_t { kStampLine = 1, kStampDot, kStampPolygon, kStampBezier, kStampEllipse };

int ClampSafe(int v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kSafeCoord, kSafeCoord));
}

}  // namespace

CQtSurface::CQtSurface(QPainter& painter, const QRect& bounds, bool bPrinter, QImage* image)
    : m_painter(painter),
      m_rcBounds(bounds),
      // Only a picture in memory can change pixels by XOR; a printer, a PDF or an SVG file is
      // drawn on as on paper, whoever asks (their engines claim raster operations they do not
      // carry out).
      m_bPrinter(bPrinter || !painter.paintEngine() ||
                 painter.paintEngine()->type() != QPaintEngine::Raster) {
    m_rcCull = bounds;
    // A clip keeps aliased lines on Qt's fast path.
    m_painter.setClipRect(bounds);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    if (!image) {
        image = dynamic_cast<QImage*>(painter.device());
    }
    if (image && !m_bPrinter &&
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
    // A painter that scales the picture itself (a picture exported at 2 to 4 times the
    // window's pixels) draws one-pixel lines as lines one window pixel wide at its
    // resolution, not as blocks of pixels.
    const QPaintDevice* device = painter.device();
    const qreal deviceRatio = device ? device->devicePixelRatioF() : 1.0;
    m_bScaledPens = m_bPrinter || painter.deviceTransform().m11() > deviceRatio + 0.01;
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
    FlushBatch();
    const QPen pen = MakePen(PenWidth(s), PenColour(s), m_bScaledPens);
    m_painter.setPen(pen);
    m_painter.setBrush(QBrush(BrushColour(s)));
    m_painter.setCompositionMode(s.rop == ERop::Xor && !m_bPrinter
                                     ? QPainter::RasterOp_SourceXorDestination
                                     : QPainter::CompositionMode_SourceOver);
    m_applied = s;
    m_bApplied = true;
}

void CQtSurface::Flush() {
    FlushBatch();
    ApplyXor(INT_MIN, INT_MAX);
}

void CQtSurface::XorRun(const QRect& clip, int y, int x0, int x1, uint32_t colour) {
    // Gathered while the clip is no larger than a big window; on a huge picture (the tool
    // draws up to 8000 pixels a side) the buffer of run ends would cost as much memory as the
    // picture, so such runs change their pixels at once.
    constexpr int64_t kMaxGatheredArea = int64_t{4096} * 4096;
    if (int64_t{clip.width()} * clip.height() <= kMaxGatheredArea) {
        m_xor.Add(clip, y, x0, x1, colour);
        return;
    }
    auto* pixels = reinterpret_cast<uint32_t*>(m_pBits + y * m_nStride);
    for (int x = x0; x < x1; ++x) {
        pixels[x] ^= colour;
    }
}

void CQtSurface::FlushForQt() {
    FlushBatch();
    // XOR by Qt changes pixels in any order with the gathered runs; anything else sets them.
    if (m_state.rop == ERop::Copy || m_bPrinter) {
        ApplyXor(INT_MIN, INT_MAX);
    }
}

void CQtSurface::ApplyXor(int top, int bottom) {
    if (!m_xor.IsEmpty()) {
        m_xor.Apply(m_pBits, m_nStride, top, bottom);
    }
}

void CQtSurface::FlushBatch() {
    // Qt strokes a batch sixteen lines (or dots) at a time, each sixteen as one shape, so in
    // XOR a pixel two of them cover changes once. Stamps follow the same groups.
    for (qsizetype i = 0; i < m_lines.size(); i += 16) {
        const int n = static_cast<int>(std::min<qsizetype>(16, m_lines.size() - i));
        if (!StampGroup(m_lines.constData() + i, n, false)) {
            if (m_applied.rop == ERop::Copy) {
                ApplyXor(INT_MIN, INT_MAX);
            }
            m_painter.drawLines(m_lines.constData() + i, n);
        }
    }
    m_lines.clear();
    for (qsizetype i = 0; i < m_points.size(); i += 16) {
        const int n = static_cast<int>(std::min<qsizetype>(16, m_points.size() - i));
        QLine dots[16];
        for (int k = 0; k < n; ++k) {
            dots[k] = QLine(m_points[i + k], m_points[i + k]);
        }
        if (!StampGroup(dots, n, true)) {
            if (m_applied.rop == ERop::Copy) {
                ApplyXor(INT_MIN, INT_MAX);
            }
            m_painter.drawPoints(m_points.constData() + i, n);
        }
    }
    m_points.clear();
}

bool CQtSurface::StampGroup(const QLine* lines, int count, bool bDots) {
    if (!m_pBits || !m_bStamping || PenWidth(m_applied) <= 1) {
        return false;
    }
    // Every stamp of the group is used after the last is made, so none may go meanwhile.
    const CStampCache::CHold hold(CStampCache::ForThisThread());
    const std::vector<SStampRun>* stamps[16];
    for (int i = 0; i < count; ++i) {
        const QLine& l = lines[i];
        SStampKey key;
        key.Add(bDots ? kStampDot : kStampLine);
        key.Add(l.dx());
        key.Add(l.dy());
        stamps[i] = StampOf(key, m_applied, std::min(l.x1(), l.x2()), std::min(l.y1(), l.y2()),
                            std::max(l.x1(), l.x2()), std::max(l.y1(), l.y2()), {l.x1(), l.y1()},
                            [&](QPainter& painter, QPoint d) {
                                if (bDots) {
                                    const QPoint dot = l.p1() + d;
                                    painter.drawPoints(&dot, 1);
                                } else {
                                    const QLine moved = l.translated(d);
                                    painter.drawLines(&moved, 1);
                                }
                            });
        if (!stamps[i]) {
            return false;
        }
    }
    if (m_applied.rop == ERop::Copy) {
        for (int i = 0; i < count; ++i) {
            CopyStamp(*stamps[i], {lines[i].x1(), lines[i].y1()}, m_applied);
        }
        return true;
    }
    // XOR the group's union: every covered pixel once. Each run is packed as row, start and
    // end in one number (all within the picture, so below 2^16), which sorts them by row and
    // start.
    std::vector<uint64_t>& rows = m_groupRuns;
    rows.clear();
    const QRect clip = DeviceClip();
    for (int i = 0; i < count; ++i) {
        const int ax = lines[i].x1() * m_nScale;
        const int ay = lines[i].y1() * m_nScale;
        for (const SStampRun& run : *stamps[i]) {
            const int y = ay + run.dy;
            const int x0 = std::max(ax + run.x0, clip.left());
            const int x1 = std::min(ax + run.x1, clip.right() + 1);
            if (y >= clip.top() && y <= clip.bottom() && x0 < x1) {
                rows.push_back((uint64_t(y) << 32) | (uint64_t(x0) << 16) | uint64_t(x1));
            }
        }
    }
    std::sort(rows.begin(), rows.end());
    const uint32_t rgb = RgbOf(m_applied.penColour) & 0xFFFFFFu;
    auto rowOf = [](uint64_t r) { return static_cast<int>(r >> 32); };
    auto startOf = [](uint64_t r) { return static_cast<int>((r >> 16) & 0xFFFF); };
    auto endOf = [](uint64_t r) { return static_cast<int>(r & 0xFFFF); };
    size_t i = 0;
    while (i < rows.size()) {
        const int y = rowOf(rows[i]);
        const int x0 = startOf(rows[i]);
        int x1 = endOf(rows[i]);
        // Runs of the same row that overlap or touch this one join it.
        for (++i; i < rows.size() && rowOf(rows[i]) == y && startOf(rows[i]) <= x1; ++i) {
            x1 = std::max(x1, endOf(rows[i]));
        }
        XorRun(clip, y, x0, x1, rgb);
    }
    return true;
}

bool CQtSurface::Culled(int64_t left, int64_t top, int64_t right, int64_t bottom, int margin) {
    if (right + margin < m_rcCull.left() || left - margin > m_rcCull.right() ||
        bottom + margin < m_rcCull.top() || top - margin > m_rcCull.bottom()) {
        return true;
    }
    // What is drawn lies within the points and the pen's reach beyond them (a pixel more for
    // rounding), inside the clip.
    const int64_t reach = margin + 1;
    const QRect touched(
        QPoint(static_cast<int>(std::max<int64_t>(left - reach, m_rcCull.left())),
               static_cast<int>(std::max<int64_t>(top - reach, m_rcCull.top()))),
        QPoint(static_cast<int>(std::min<int64_t>(right + reach, m_rcCull.right())),
               static_cast<int>(std::min<int64_t>(bottom + reach, m_rcCull.bottom()))));
    m_rcTouched = m_rcTouched.united(touched);
    return false;
}

bool CQtSurface::CulledPoints(const SPoint* points, int count) {
    int64_t l = points[0].x, t = points[0].y, r = l, b = t;
    for (int i = 1; i < count; ++i) {
        l = std::min<int64_t>(l, points[i].x);
        r = std::max<int64_t>(r, points[i].x);
        t = std::min<int64_t>(t, points[i].y);
        b = std::max<int64_t>(b, points[i].y);
    }
    return Culled(l, t, r, b, PenWidth(m_state));
}

uint32_t CQtSurface::RgbOf(SRgb c) {
    return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

QRect CQtSurface::DeviceClip() const {
    return QRect(m_rcCull.topLeft() * m_nScale, m_rcCull.size() * m_nScale);
}

const std::vector<SStampRun>* CQtSurface::StampOf(
    SStampKey& key, const SDrawState& state, int64_t left, int64_t top, int64_t right,
    int64_t bottom, SPoint anchor, const std::function<void(QPainter&, QPoint)>& draw) {
    if (!m_pBits || !m_bStamping) {
        return nullptr;
    }
    const int64_t far =
        std::max({std::abs(left), std::abs(top), std::abs(right), std::abs(bottom)});
    if (far > kSafeCoord) {
        return nullptr;
    }
    const int width = PenWidth(state);
    // Room for the pen on every side, and a pixel more for rounding.
    const int64_t margin = width + 2;
    const int64_t minX = left - anchor.x - margin;
    const int64_t minY = top - anchor.y - margin;
    const int64_t w = right - left + 2 * margin + 1;
    const int64_t h = bottom - top + 2 * margin + 1;
    if (w * m_nScale > CStampCache::kMaxSide || h * m_nScale > CStampCache::kMaxSide) {
        return nullptr;
    }
    // Qt's one-pixel outlines are stepped from where they enter the picture, so one that
    // reaches past its edge steps differently from the same outline wholly inside; wide pens
    // and fills come out the same, trimmed at the edge.
    if (width <= 1 && (left - margin < 0 || top - margin < 0 ||
                       (right + margin + 1) * m_nScale > m_rcDeviceClip.width() ||
                       (bottom + margin + 1) * m_nScale > m_rcDeviceClip.height())) {
        return nullptr;
    }
    const bool bXor = state.rop == ERop::Xor;
    key.Add(width);
    key.Add(m_nScale);
    key.Add(bXor);
    const QSize size(static_cast<int>(w) * m_nScale, static_cast<int>(h) * m_nScale);
    const QPoint origin(static_cast<int>(-minX) * m_nScale, static_cast<int>(-minY) * m_nScale);
    const QPoint shift(static_cast<int>(-minX - anchor.x), static_cast<int>(-minY - anchor.y));
    return CStampCache::ForThisThread().Get(key, size, origin, m_nScale, [&](QPainter& painter) {
        // In XOR the fill and the stroke each change the pixels they cover, so where they
        // overlap the stamp says both (kStampBrush | kStampPen).
        painter.setCompositionMode(bXor ? QPainter::RasterOp_SourceXorDestination
                                        : QPainter::CompositionMode_SourceOver);
        painter.setPen(MakePen(width, QColor::fromRgb(StampColour(kStampPen))));
        painter.setBrush(QBrush(QColor::fromRgb(StampColour(kStampBrush))));
        draw(painter, shift);
    });
}

void CQtSurface::CopyStamp(const std::vector<SStampRun>& runs, SPoint anchor,
                           const SDrawState& state) {
    if (runs.empty()) {
        return;
    }
    const bool bXor = state.rop == ERop::Xor;
    const uint32_t brush = RgbOf(state.brushColour);
    const uint32_t pen = RgbOf(state.penColour);
    // What each kind of pixel becomes: set to a colour, or changed by one.
    const uint32_t colours[4] = {0, bXor ? brush & 0xFFFFFFu : brush, bXor ? pen & 0xFFFFFFu : pen,
                                 (brush ^ pen) & 0xFFFFFFu};
    const QRect clip = DeviceClip();
    const int ax = anchor.x * m_nScale;
    const int ay = anchor.y * m_nScale;
    if (!bXor) {
        // Runs come row by row from the top: these rows get their pending changes first.
        ApplyXor(ay + runs.front().dy, ay + runs.back().dy);
    }
    for (const SStampRun& run : runs) {
        const int y = ay + run.dy;
        if (y < clip.top() || y > clip.bottom()) {
            continue;
        }
        const int x0 = std::max(ax + run.x0, clip.left());
        const int x1 = std::min(ax + run.x1, clip.right() + 1);
        if (x0 >= x1) {
            continue;
        }
        const uint32_t c = colours[run.tag & 3];
        if (bXor) {
            XorRun(clip, y, x0, x1, c);
        } else {
            FillSpan(reinterpret_cast<uint32_t*>(m_pBits + y * m_nStride) + x0, x1 - x0, c);
        }
    }
}

bool CQtSurface::Stamp(SStampKey& key, int64_t left, int64_t top, int64_t right, int64_t bottom,
                       SPoint anchor, const std::function<void(QPainter&, QPoint)>& draw) {
    // Flushing the lines before it makes stamps of its own, which must not let go of this one.
    const CStampCache::CHold hold(CStampCache::ForThisThread());
    const std::vector<SStampRun>* runs =
        StampOf(key, m_state, left, top, right, bottom, anchor, draw);
    if (!runs) {
        return false;
    }
    Apply(m_state);
    FlushBatch();
    CopyStamp(*runs, anchor, m_state);
    return true;
}

bool CQtSurface::FarPoints(const SPoint* points, int count) const {
    for (int i = 0; i < count; ++i) {
        if (std::abs(int64_t{points[i].x}) > kSafeCoord ||
            std::abs(int64_t{points[i].y}) > kSafeCoord) {
            return true;
        }
    }
    return false;
}

std::optional<QLine> CQtSurface::NearPart(int x0, int y0, int x1, int y1) const {
    double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
    const int reach = PenWidth(m_state) + 64;
    const QRectF area = QRectF(m_rcCull).adjusted(-reach, -reach, reach, reach);
    if (!ClipSegment(fx0, fy0, fx1, fy1, area.left(), area.top(), area.right(), area.bottom())) {
        return std::nullopt;
    }
    return QLine(qRound(fx0), qRound(fy0), qRound(fx1), qRound(fy1));
}

void CQtSurface::DrawFar(const std::function<void(QPainter&)>& draw) {
    Apply(m_state);
    FlushForQt();
    m_painter.save();
    m_painter.setPen(MakePen(1, PenColour(m_state), m_bScaledPens));
    m_painter.setBrush(Qt::NoBrush);
    draw(m_painter);
    m_painter.restore();
}

void CQtSurface::SetPixel(int x, int y, SRgb colour) {
    if (!m_rcCull.contains(x, y)) {
        return;
    }
    m_rcTouched = m_rcTouched.united(QRect(x, y, 1, 1));
    if (m_pBits) {
        FlushBatch();
        ApplyXor(y * m_nScale, (y + 1) * m_nScale - 1);
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
        FlushBatch();
        if (m_state.rop == ERop::Copy) {
            ApplyXor(std::min(y0, y1) * m_nScale, (std::max(y0, y1) + 1) * m_nScale - 1);
        }
        if (DirectLine(x0, y0, x1, y1)) {
            return;
        }
    }
    if (x0 == x1 && y0 == y1 && width <= 1) {
        // A one-pixel pen draws nothing for a line without length; a wide round pen a dot.
        return;
    }
    Apply(m_state);
    if (x0 == x1 && y0 == y1) {
        m_points.append(QPoint(x0, y0));
        return;
    }
    const int64_t far = std::max({std::abs(int64_t{x0}), std::abs(int64_t{y0}),
                                  std::abs(int64_t{x1}), std::abs(int64_t{y1})});
    if (far > kSafeCoord) {
        const std::optional<QLine> near = NearPart(x0, y0, x1, y1);
        if (near && width > 1) {
            DrawFar([&](QPainter& p) { p.drawLine(*near); });
        } else if (near) {
            m_lines.append(*near);
        }
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
    // Far points are never stamped (their offsets may not even fit an int).
    if (!FarPoints(points, count) && count <= (SStampKey::kMaxValues - 4) / 2) {
        SStampKey key;
        key.Add(kStampPolygon);
        int64_t l = points[0].x, t = points[0].y, r = l, b = t;
        for (int i = 0; i < count; ++i) {
            key.Add(points[i].x - points[0].x);
            key.Add(points[i].y - points[0].y);
            l = std::min<int64_t>(l, points[i].x);
            r = std::max<int64_t>(r, points[i].x);
            t = std::min<int64_t>(t, points[i].y);
            b = std::max<int64_t>(b, points[i].y);
        }
        if (Stamp(key, l, t, r, b, points[0], [&](QPainter& painter, QPoint d) {
                QVector<QPoint> shifted;
                shifted.reserve(count);
                for (int i = 0; i < count; ++i) {
                    shifted.append(QPoint(points[i].x, points[i].y) + d);
                }
                painter.drawPolygon(shifted.constData(), count);
            })) {
            return;
        }
    }
    if (FarPoints(points, count)) {
        DrawFar([&](QPainter& p) {
            for (int i = 0; i < count; ++i) {
                const SPoint& a = points[i];
                const SPoint& b = points[(i + 1) % count];
                if (const std::optional<QLine> near = NearPart(a.x, a.y, b.x, b.y)) {
                    p.drawLine(*near);
                }
            }
        });
        return;
    }
    Apply(m_state);
    FlushForQt();
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
    auto pathOf = [&](QPoint d) {
        auto p = [&](int i) {
            return QPointF(ClampSafe(points[i].x) + d.x(), ClampSafe(points[i].y) + d.y());
        };
        QPainterPath path(p(0));
        for (int i = 1; i + 2 < 13; i += 3) {
            path.cubicTo(p(i), p(i + 1), p(i + 2));
        }
        path.closeSubpath();
        return path;
    };
    if (FarPoints(points, 13)) {
        DrawFar([&](QPainter& p) { p.drawPath(pathOf(QPoint(0, 0))); });
        return;
    }
    SStampKey key;
    key.Add(kStampBezier);
    int64_t l = points[0].x, t = points[0].y, r = l, b = t;
    for (int i = 1; i < 13; ++i) {
        key.Add(points[i].x - points[0].x);
        key.Add(points[i].y - points[0].y);
        l = std::min<int64_t>(l, points[i].x);
        r = std::max<int64_t>(r, points[i].x);
        t = std::min<int64_t>(t, points[i].y);
        b = std::max<int64_t>(b, points[i].y);
    }
    if (Stamp(key, l, t, r, b, points[0],
              [&](QPainter& painter, QPoint d) { painter.drawPath(pathOf(d)); })) {
        return;
    }
    Apply(m_state);
    FlushForQt();
    m_painter.drawPath(pathOf(QPoint(0, 0)));
}

void CQtSurface::Ellipse(const SRect& box) {
    const SRect n = box.Normalised();
    if (Culled(n.left, n.top, n.right, n.bottom, PenWidth(m_state))) {
        return;
    }
    Apply(m_state);
    FlushBatch();
    const int l = ClampSafe(n.left);
    const int t = ClampSafe(n.top);
    const int r = ClampSafe(n.right);
    const int b = ClampSafe(n.bottom);
    if (r - l < 2 || b - t < 2) {
        return;
    }
    const QRect inside(l, t, r - l - 1, b - t - 1);
    const SPoint corners[2] = {{n.left, n.top}, {n.right, n.bottom}};
    if (FarPoints(corners, 2)) {
        DrawFar([&](QPainter& p) { p.drawEllipse(inside); });
        return;
    }
    SStampKey key;
    key.Add(kStampEllipse);
    key.Add(r - l);
    key.Add(b - t);
    if (Stamp(key, l, t, r, b, {l, t},
              [&](QPainter& painter, QPoint d) { painter.drawEllipse(inside.translated(d)); })) {
        return;
    }
    FlushForQt();
    m_painter.drawEllipse(inside);
}

void CQtSurface::FillRect(const SRect& rect, SRgb colour) {
    const SRect n = rect.Normalised();
    if (n.IsEmpty() || Culled(n.left, n.top, n.right - 1, n.bottom - 1, 0)) {
        return;
    }
    const QRect r = QRect(QPoint(ClampSafe(n.left), ClampSafe(n.top)),
                          QPoint(ClampSafe(n.right) - 1, ClampSafe(n.bottom) - 1));
    FlushBatch();
    ApplyXor(r.top() * m_nScale, (r.bottom() + 1) * m_nScale - 1);
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
