#include "platform/InkGeometry.h"

#include <QPainter>
#include <QRect>
#include <QVector>
#include <cstdio>
#include <unordered_map>

namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFFu;
// Rectangles written in one SVG path: five points each.
constexpr size_t kRectsPerPath = 4000;

std::string Colour(QRgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", qRed(c), qGreen(c), qBlue(c));
    return text;
}

// A number of a path after another: a minus sign parts them by itself, anything else needs a
// space.
void AppendNext(std::string& out, int v) {
    if (v >= 0) {
        out += ' ';
    }
    out += std::to_string(v);
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

CInkGeometry::CInkGeometry(const QImage& picture) {
    const QImage image =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    m_size = image.size();
    m_fRatio = image.devicePixelRatio();
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0) {
        return;
    }

    // The ground: the colour that covers most pixels, counted run by run.
    std::unordered_map<uint32_t, int64_t> cover;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        int x = 0;
        while (x < width) {
            const uint32_t c = row[x] & kRgbMask;
            const int start = x;
            while (x < width && (row[x] & kRgbMask) == c) {
                ++x;
            }
            cover[c] += x - start;
        }
    }
    int64_t most = -1;
    for (const auto& [colour, count] : cover) {
        if (count > most || (count == most && colour < m_ground)) {
            most = count;
            m_ground = colour;
        }
    }
    m_ground |= 0xFF000000u;

    // Runs of the other colours, row by row; a run with the same ends and colour as one on the
    // row above extends that one's rectangle downwards. Runs of a row are disjoint and come
    // left to right, so both rows are walked together by their left ends.
    struct SOpen {
        int x0;
        int x1;
        uint32_t colour;
        int top;
    };
    std::vector<SOpen> open;
    std::vector<SOpen> next;
    std::unordered_map<uint32_t, size_t> layerOf;
    auto close = [&](const SOpen& o, int bottom) {
        auto [it, bNew] = layerOf.try_emplace(o.colour, m_layers.size());
        if (bNew) {
            m_layers.push_back({o.colour | 0xFF000000u, {}});
        }
        m_layers[it->second].rects.push_back({o.x0, o.top, o.x1 - o.x0, bottom - o.top});
    };
    const uint32_t ground = m_ground & kRgbMask;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        next.clear();
        size_t i = 0;
        int x = 0;
        while (x < width) {
            const uint32_t c = row[x] & kRgbMask;
            const int x0 = x;
            while (x < width && (row[x] & kRgbMask) == c) {
                ++x;
            }
            if (c == ground) {
                continue;
            }
            while (i < open.size() && open[i].x0 < x0) {
                close(open[i++], y);
            }
            if (i < open.size() && open[i].x0 == x0 && open[i].x1 == x && open[i].colour == c) {
                next.push_back(open[i++]);
            } else {
                next.push_back({x0, x, c, y});
            }
        }
        while (i < open.size()) {
            close(open[i++], y);
        }
        open.swap(next);
    }
    for (const SOpen& o : open) {
        close(o, height);
    }
}

size_t CInkGeometry::RectCount() const {
    size_t n = 0;
    for (const SLayer& layer : m_layers) {
        n += layer.rects.size();
    }
    return n;
}

void CInkGeometry::Paint(QPainter& painter) const {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.scale(1.0 / m_fRatio, 1.0 / m_fRatio);
    painter.fillRect(QRect(QPoint(0, 0), m_size), QColor(m_ground));
    painter.setPen(Qt::NoPen);
    QVector<QRect> rects;
    for (const SLayer& layer : m_layers) {
        painter.setBrush(QColor(layer.colour));
        rects.clear();
        rects.reserve(static_cast<qsizetype>(layer.rects.size()));
        for (const SRect& r : layer.rects) {
            rects.append(QRect(r.x, r.y, r.w, r.h));
        }
        painter.drawRects(rects);
    }
    painter.restore();
}

std::string CInkGeometry::SvgElements() const {
    std::string out;
    const bool bScaled = m_fRatio != 1.0;
    if (bScaled) {
        // Rectangles in device pixels, whole numbers all; the group makes them logical.
        char scale[32];
        std::snprintf(scale, sizeof scale, "%.9g", 1.0 / m_fRatio);
        out += std::string("<g transform=\"scale(") + scale + ")\">\n";
    }
    out += "<rect width=\"" + std::to_string(m_size.width()) + "\" height=\"" +
           std::to_string(m_size.height()) + "\" fill=\"" + Colour(m_ground) + "\"/>\n";
    for (const SLayer& layer : m_layers) {
        // Each rectangle a closed subpath; after the first, each moves from where the one
        // before began, which keeps the numbers short. A path holds a limited number of
        // rectangles: some renderers cut a path of more than 32767 points short.
        const std::string start = "<path fill=\"" + Colour(layer.colour) + "\" d=\"";
        int px = 0;
        int py = 0;
        size_t count = 0;
        for (const SRect& r : layer.rects) {
            const bool bFirst = count % kRectsPerPath == 0;
            if (bFirst && count > 0) {
                out += "\"/>\n";
            }
            if (bFirst) {
                out += start;
                out += 'M';
                out += std::to_string(r.x);
                AppendNext(out, r.y);
            } else {
                out += count % 16 == 0 ? "\nm" : "m";
                out += std::to_string(r.x - px);
                AppendNext(out, r.y - py);
            }
            out += 'h';
            out += std::to_string(r.w);
            out += 'v';
            out += std::to_string(r.h);
            out += 'h';
            out += std::to_string(-r.w);
            out += 'z';
            px = r.x;
            py = r.y;
            ++count;
        }
        out += "\"/>\n";
    }
    if (bScaled) {
        out += "</g>\n";
    }
    return out;
}

std::string CInkGeometry::SvgDocument(const std::string& title) const {
    const int w = qRound(m_size.width() / m_fRatio);
    const int h = qRound(m_size.height() / m_fRatio);
    const std::string sw = std::to_string(w);
    const std::string sh = std::to_string(h);
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    // Crisp edges: the rectangles meet exactly, and a renderer that smooths edges would show
    // seams between them.
    doc += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + sw +
           "\" height=\"" + sh + "\" viewBox=\"0 0 " + sw + " " + sh +
           "\" shape-rendering=\"crispEdges\">\n";
    if (!title.empty()) {
        doc += "<title>" + Escaped(title) + "</title>\n";
    }
    doc += SvgElements();
    doc += "</svg>\n";
    return doc;
}
