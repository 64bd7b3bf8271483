#include "tools/SvgSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Subdivision depth for curves that reach far out: 2^24 pieces of even the longest leaf a
// 32-bit genome can grow are far shorter than a pixel's worth of bend.
constexpr int kMaxCurveDepth = 24;
// How far a flattened piece may stray from the true curve, in pixels.
constexpr double kFlatness = 0.1;
// Bezier control distance of a quarter ellipse, for ellipses that must be flattened.
constexpr double kKappa = 0.5522847498307936;

std::string Number(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) {
        return std::to_string(static_cast<int64_t>(v));
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string Colour(SRgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

SRgb Inverted(SRgb c) {
    return {static_cast<uint8_t>(255 - c.r), static_cast<uint8_t>(255 - c.g),
            static_cast<uint8_t>(255 - c.b)};
}

template <typename TPoint>
void BoundsOf(const TPoint* points, int count, int64_t& left, int64_t& top, int64_t& right,
              int64_t& bottom) {
    left = top = INT64_MAX;
    right = bottom = INT64_MIN;
    for (int i = 0; i < count; ++i) {
        left = std::min<int64_t>(left, points[i].x);
        top = std::min<int64_t>(top, points[i].y);
        right = std::max<int64_t>(right, points[i].x);
        bottom = std::max<int64_t>(bottom, points[i].y);
    }
}

}  // namespace

CSvgSurface::CSvgSurface(int width, int height, size_t elementLimit)
    : m_nWidth(width),
      m_nHeight(height),
      m_nElementLimit(elementLimit),
      m_nNear(2 * (int64_t{width} + height) + 64),
      m_rcVisible{0, 0, int64_t{width} - 1, int64_t{height} - 1},
      m_rcNear{-m_nNear, -m_nNear, width - 1 + m_nNear, height - 1 + m_nNear} {}

int CSvgSurface::PenWidth() const {
    // A pen of zero or negative width (negative thickness or tapering) draws as the thinnest
    // line, as it does in the program.
    const int64_t width = m_state.nPenWidth <= 0 ? 1 : m_state.nPenWidth;
    return static_cast<int>(std::min(width, m_nNear));
}

SRgb CSvgSurface::PenColour() const {
    return m_state.rop == ERop::Xor ? Inverted(m_state.penColour) : m_state.penColour;
}

SRgb CSvgSurface::BrushColour() const {
    return m_state.rop == ERop::Xor ? Inverted(m_state.brushColour) : m_state.brushColour;
}

bool CSvgSurface::Admit(SBox box) {
    const int64_t reach = PenWidth() / 2 + 1;
    if (box.right + reach < m_rcVisible.left || box.left - reach > m_rcVisible.right ||
        box.bottom + reach < m_rcVisible.top || box.top - reach > m_rcVisible.bottom) {
        return false;
    }
    if (m_nElements >= m_nElementLimit) {
        ++m_nDropped;
        return false;
    }
    return true;
}

bool CSvgSurface::InsideNear(int64_t x, int64_t y) const {
    return x >= m_rcNear.left && x <= m_rcNear.right && y >= m_rcNear.top && y <= m_rcNear.bottom;
}

void CSvgSurface::UseDrawStyle(bool bFilled) {
    const std::string stroke = "stroke=\"" + Colour(PenColour()) + "\" stroke-width=\"" +
                               std::to_string(PenWidth()) + "\"";
    const std::string style = bFilled ? stroke + " fill=\"" + Colour(BrushColour()) + "\"" : stroke;
    // Strokes of one colour and width usually come in runs, so they share a group rather
    // than each repeating its attributes. A line has no inside, so any group with its pen
    // will do, whatever the brush.
    if (m_strStyle == style || (!bFilled && m_strStyle.rfind(stroke + " ", 0) == 0)) {
        return;
    }
    CloseStyle();
    m_strBody += "<g " + style + ">\n";
    m_strStyle = style;
    ++m_nElements;
}

void CSvgSurface::CloseStyle() {
    if (!m_strStyle.empty()) {
        m_strBody += "</g>\n";
        m_strStyle.clear();
    }
}

void CSvgSurface::CloseClip() {
    if (m_bClipOpen) {
        m_strBody += "</g>\n";
        m_bClipOpen = false;
    }
}

void CSvgSurface::Emit(const std::string& element) {
    m_strBody += element;
    m_strBody += '\n';
    ++m_nElements;
}

void CSvgSurface::SetPixel(int x, int y, SRgb colour) {
    if (x < m_rcVisible.left || x > m_rcVisible.right || y < m_rcVisible.top ||
        y > m_rcVisible.bottom) {
        return;
    }
    if (m_nElements >= m_nElementLimit) {
        ++m_nDropped;
        return;
    }
    // Drawing happens in pixel-centre coordinates, so the pixel's square starts half a
    // pixel up and to the left.
    Emit("<rect x=\"" + Number(x - 0.5) + "\" y=\"" + Number(y - 0.5) +
         "\" width=\"1\" height=\"1\" fill=\"" + Colour(colour) + "\" stroke=\"none\"/>");
}

void CSvgSurface::Line(int x0, int y0, int x1, int y1) {
    if (!Admit({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)})) {
        return;
    }
    double ax = x0;
    double ay = y0;
    double bx = x1;
    double by = y1;
    if (!InsideNear(x0, y0) || !InsideNear(x1, y1)) {
        // Keep the part of the line within the picture's neighbourhood.
        if (!ClipSegment(ax, ay, bx, by, m_rcNear.left, m_rcNear.top, m_rcNear.right,
                         m_rcNear.bottom)) {
            return;
        }
    }
    UseDrawStyle(false);
    Emit("<line x1=\"" + Number(ax) + "\" y1=\"" + Number(ay) + "\" x2=\"" + Number(bx) +
         "\" y2=\"" + Number(by) + "\"/>");
}

void CSvgSurface::Polygon(const SPoint* points, int count) {
    if (count <= 0) {
        return;
    }
    SBox box{};
    BoundsOf(points, count, box.left, box.top, box.right, box.bottom);
    if (!Admit(box)) {
        return;
    }
    std::vector<SPointF> polygon;
    for (int i = 0; i < count; ++i) {
        polygon.push_back({static_cast<double>(points[i].x), static_cast<double>(points[i].y)});
    }
    if (!InsideNear(box.left, box.top) || !InsideNear(box.right, box.bottom)) {
        polygon = ClipToNear(polygon);
    }
    EmitPolygon(polygon);
}

void CSvgSurface::Bezier13(const SPoint* points) {
    SBox box{};
    BoundsOf(points, 13, box.left, box.top, box.right, box.bottom);
    if (!Admit(box)) {
        return;
    }
    if (!InsideNear(box.left, box.top) || !InsideNear(box.right, box.bottom)) {
        std::vector<SPointF> control;
        for (int i = 0; i < 13; ++i) {
            control.push_back({static_cast<double>(points[i].x), static_cast<double>(points[i].y)});
        }
        EmitFarCurve(control);
        return;
    }
    std::string d = "M" + Number(points[0].x) + " " + Number(points[0].y);
    for (int i = 1; i < 13; ++i) {
        d += ((i - 1) % 3 == 0 ? "C" : " ") + Number(points[i].x) + " " + Number(points[i].y);
    }
    UseDrawStyle(true);
    Emit("<path d=\"" + d + "Z\"/>");
}

void CSvgSurface::Ellipse(const SRect& box) {
    const SRect r = box.Normalised();
    if (!Admit({r.left, r.top, r.right, r.bottom})) {
        return;
    }
    const double cx = (static_cast<double>(r.left) + r.right) / 2.0;
    const double cy = (static_cast<double>(r.top) + r.bottom) / 2.0;
    const double rx = (static_cast<double>(r.right) - r.left) / 2.0;
    const double ry = (static_cast<double>(r.bottom) - r.top) / 2.0;
    if (!InsideNear(r.left, r.top) || !InsideNear(r.right, r.bottom)) {
        const double kx = rx * kKappa;
        const double ky = ry * kKappa;
        EmitFarCurve({{cx - rx, cy},
                      {cx - rx, cy - ky},
                      {cx - kx, cy - ry},
                      {cx, cy - ry},
                      {cx + kx, cy - ry},
                      {cx + rx, cy - ky},
                      {cx + rx, cy},
                      {cx + rx, cy + ky},
                      {cx + kx, cy + ry},
                      {cx, cy + ry},
                      {cx - kx, cy + ry},
                      {cx - rx, cy + ky},
                      {cx - rx, cy}});
        return;
    }
    UseDrawStyle(true);
    Emit("<ellipse cx=\"" + Number(cx) + "\" cy=\"" + Number(cy) + "\" rx=\"" + Number(rx) +
         "\" ry=\"" + Number(ry) + "\"/>");
}

void CSvgSurface::FillRect(const SRect& rect, SRgb colour) {
    if (rect.IsEmpty()) {
        return;
    }
    // The right and bottom edges are outside the rectangle.
    const int64_t left = std::max<int64_t>(rect.left, m_rcNear.left);
    const int64_t top = std::max<int64_t>(rect.top, m_rcNear.top);
    const int64_t right = std::min<int64_t>(int64_t{rect.right} - 1, m_rcNear.right);
    const int64_t bottom = std::min<int64_t>(int64_t{rect.bottom} - 1, m_rcNear.bottom);
    if (right < m_rcVisible.left || left > m_rcVisible.right || bottom < m_rcVisible.top ||
        top > m_rcVisible.bottom) {
        return;
    }
    if (m_nElements >= m_nElementLimit) {
        ++m_nDropped;
        return;
    }
    Emit("<rect x=\"" + Number(left - 0.5) + "\" y=\"" + Number(top - 0.5) + "\" width=\"" +
         Number(static_cast<double>(right - left + 1)) + "\" height=\"" +
         Number(static_cast<double>(bottom - top + 1)) + "\" fill=\"" + Colour(colour) +
         "\" stroke=\"none\"/>");
}

void CSvgSurface::FrameRect(const SRect& rect, SRgb colour) {
    if (rect.IsEmpty()) {
        return;
    }
    if (rect.Width() <= 2 || rect.Height() <= 2) {
        // A frame this narrow covers the whole rectangle.
        FillRect(rect, colour);
        return;
    }
    FillRect({rect.left, rect.top, rect.right, rect.top + 1}, colour);
    FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
    FillRect({rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, colour);
    FillRect({rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, colour);
}

void CSvgSurface::SetClip(const SRect* clip) {
    CloseStyle();
    CloseClip();
    m_rcVisible = {0, 0, int64_t{m_nWidth} - 1, int64_t{m_nHeight} - 1};
    if (!clip) {
        return;
    }
    const SRect r = clip->Normalised();
    m_rcVisible.left = std::max<int64_t>(m_rcVisible.left, r.left);
    m_rcVisible.top = std::max<int64_t>(m_rcVisible.top, r.top);
    m_rcVisible.right = std::min<int64_t>(m_rcVisible.right, int64_t{r.right} - 1);
    m_rcVisible.bottom = std::min<int64_t>(m_rcVisible.bottom, int64_t{r.bottom} - 1);
    // An empty clip leaves nothing visible; Admit then turns everything away by itself.
    if (m_rcVisible.left > m_rcVisible.right || m_rcVisible.top > m_rcVisible.bottom) {
        return;
    }
    const std::string id = "clip" + std::to_string(++m_nClipCount);
    m_strBody += "<clipPath id=\"" + id + "\"><rect x=\"" + Number(m_rcVisible.left - 0.5) +
                 "\" y=\"" + Number(m_rcVisible.top - 0.5) + "\" width=\"" +
                 Number(static_cast<double>(m_rcVisible.right - m_rcVisible.left + 1)) +
                 "\" height=\"" +
                 Number(static_cast<double>(m_rcVisible.bottom - m_rcVisible.top + 1)) +
                 "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
    m_nElements += 3;
    m_bClipOpen = true;
}

void CSvgSurface::EmitPolygon(const std::vector<SPointF>& points) {
    if (points.empty()) {
        return;
    }
    std::string list;
    for (const SPointF& p : points) {
        if (!list.empty()) {
            list += ' ';
        }
        list += Number(p.x) + "," + Number(p.y);
    }
    UseDrawStyle(true);
    Emit("<polygon points=\"" + list + "\"/>");
}

void CSvgSurface::EmitFarCurve(const std::vector<SPointF>& points) {
    std::vector<SPointF> outline{points[0]};
    for (size_t i = 0; i + 3 < points.size(); i += 3) {
        FlattenCubic(points[i], points[i + 1], points[i + 2], points[i + 3], 0, outline);
    }
    EmitPolygon(ClipToNear(outline));
}

void CSvgSurface::FlattenCubic(const SPointF& p0, const SPointF& p1, const SPointF& p2,
                               const SPointF& p3, int depth, std::vector<SPointF>& out) const {
    // A piece whose control hull misses the picture is replaced by its chord: the sliver
    // between them lies inside the hull, so nothing visible changes.
    const double reach = PenWidth() / 2.0 + 2.0;
    const double left = std::min({p0.x, p1.x, p2.x, p3.x});
    const double right = std::max({p0.x, p1.x, p2.x, p3.x});
    const double top = std::min({p0.y, p1.y, p2.y, p3.y});
    const double bottom = std::max({p0.y, p1.y, p2.y, p3.y});
    const bool bNear = right + reach >= m_rcVisible.left && left - reach <= m_rcVisible.right &&
                       bottom + reach >= m_rcVisible.top && top - reach <= m_rcVisible.bottom;
    auto strayOf = [&](const SPointF& p) {
        const double dx = p3.x - p0.x;
        const double dy = p3.y - p0.y;
        const double length = std::hypot(dx, dy);
        if (length == 0.0) {
            return std::hypot(p.x - p0.x, p.y - p0.y);
        }
        return std::fabs((p.x - p0.x) * dy - (p.y - p0.y) * dx) / length;
    };
    if (!bNear || depth >= kMaxCurveDepth || std::max(strayOf(p1), strayOf(p2)) <= kFlatness) {
        out.push_back(p3);
        return;
    }
    auto mid = [](const SPointF& a, const SPointF& b) {
        return SPointF{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0};
    };
    const SPointF p01 = mid(p0, p1);
    const SPointF p12 = mid(p1, p2);
    const SPointF p23 = mid(p2, p3);
    const SPointF p012 = mid(p01, p12);
    const SPointF p123 = mid(p12, p23);
    const SPointF centre = mid(p012, p123);
    FlattenCubic(p0, p01, p012, centre, depth + 1, out);
    FlattenCubic(centre, p123, p23, p3, depth + 1, out);
}

std::vector<CSvgSurface::SPointF> CSvgSurface::ClipToNear(
    const std::vector<SPointF>& polygon) const {
    // Sutherland-Hodgman against the four sides of the neighbourhood. The edges this adds
    // run along its border, which is further out than the widest pen reaches into the
    // picture, so they never show.
    struct SSide {
        bool bVertical;  // x = limit, else y = limit
        double limit;
        bool bKeepBelow;  // inside is coordinate <= limit
    };
    const SSide sides[4] = {
        {true, static_cast<double>(m_rcNear.left), false},
        {true, static_cast<double>(m_rcNear.right), true},
        {false, static_cast<double>(m_rcNear.top), false},
        {false, static_cast<double>(m_rcNear.bottom), true},
    };
    std::vector<SPointF> result = polygon;
    for (const SSide& side : sides) {
        if (result.empty()) {
            break;
        }
        auto inside = [&](const SPointF& p) {
            const double v = side.bVertical ? p.x : p.y;
            return side.bKeepBelow ? v <= side.limit : v >= side.limit;
        };
        auto crossing = [&](const SPointF& a, const SPointF& b) {
            if (side.bVertical) {
                const double t = (side.limit - a.x) / (b.x - a.x);
                return SPointF{side.limit, a.y + t * (b.y - a.y)};
            }
            const double t = (side.limit - a.y) / (b.y - a.y);
            return SPointF{a.x + t * (b.x - a.x), side.limit};
        };
        std::vector<SPointF> input;
        input.swap(result);
        for (size_t i = 0; i < input.size(); ++i) {
            const SPointF& current = input[i];
            const SPointF& previous = input[(i + input.size() - 1) % input.size()];
            const bool bCurrentIn = inside(current);
            const bool bPreviousIn = inside(previous);
            if (bCurrentIn) {
                if (!bPreviousIn) {
                    result.push_back(crossing(previous, current));
                }
                result.push_back(current);
            } else if (bPreviousIn) {
                result.push_back(crossing(previous, current));
            }
        }
    }
    return result;
}

std::string CSvgSurface::Document() const {
    const std::string w = std::to_string(m_nWidth);
    const std::string h = std::to_string(m_nHeight);
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    // Crisp edges keep one-pixel lines one pixel wide, as the program draws them.
    doc += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
           "\" viewBox=\"0 0 " + w + " " + h +
           "\" shape-rendering=\"crispEdges\" stroke-linecap=\"round\" "
           "stroke-linejoin=\"round\">\n";
    doc += m_strMetadata;
    if (!m_strInk.empty()) {
        // The traced pixels bring their own ground.
        return doc + m_strInk + "</svg>\n";
    }
    doc += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    // Pixel centres sit on whole coordinates, so a one-pixel line covers exactly the pixels
    // the program's line covers.
    doc += "<g transform=\"translate(0.5 0.5)\">\n";
    doc += m_strBody;
    if (!m_strStyle.empty()) {
        doc += "</g>\n";
    }
    if (m_bClipOpen) {
        doc += "</g>\n";
    }
    doc += "</g>\n</svg>\n";
    return doc;
}
