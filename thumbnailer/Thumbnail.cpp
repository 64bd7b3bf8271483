#include "thumbnailer/Thumbnail.h"

#include <QPainter>
#include <algorithm>

#include "document/BioFile.h"
#include "model/BioMorph.h"
#include "model/ScaledSurface.h"
#include "platform/QtSurface.h"

namespace Thumbnail {

namespace {

// The largest canvas laid out, in the drawing's own pixels: far more than any genome within
// its limits needs (some 19,000), and small enough that its coordinates fit an int.
constexpr int64_t kMaxLogicalCanvas = int64_t{1} << 30;

int64_t CeilDiv(int64_t a, int64_t b) {
    return (a + b - 1) / b;
}

}  // namespace

SLayout LayoutFor(CBioMorph& morph, int side) {
    side = std::clamp(side, kMinSide, kMaxSide);
    // Measured about the origin: the morph centres its box on the point it is drawn at, so
    // its reach from that point either way gives the square that holds it whole.
    morph.Measure(0, 0, 0);
    const SRect& b = morph.m_rcBounds;
    const int64_t reach = std::max(
        {-int64_t{b.left}, int64_t{b.right}, -int64_t{b.top}, int64_t{b.bottom}, int64_t{0}});
    const int64_t extent = std::max<int64_t>(2 * reach + 1, kMinExtent);
    const int64_t target = std::max<int64_t>(1, static_cast<int64_t>(side * kFill));
    // Drawn at twice the target size or more, so that scaling down smooths its edges; a
    // creature already larger is drawn at its own size.
    int64_t zoom = std::max<int64_t>(1, CeilDiv(2 * target, extent));
    auto canvasFor = [&](int64_t z) { return CeilDiv(extent * z * side, target); };
    while (zoom > 1 && canvasFor(zoom) > kMaxCanvas) {
        --zoom;
    }
    SLayout layout;
    layout.zoom = static_cast<int>(zoom);
    layout.canvas = static_cast<int>(std::clamp<int64_t>(canvasFor(zoom), side, kMaxLogicalCanvas));
    return layout;
}

QImage Render(const uint8_t* data, size_t size, int side) {
    if (side < kMinSide || side > kMaxSide) {
        return QImage();
    }
    CBioMorph morph;
    if (LoadMorphFromFile(data, std::min(size, kMaxRead), morph) != EBioLoad::Ok) {
        return QImage();
    }
    const SLayout layout = LayoutFor(morph, side);
    const int pixels = std::min(layout.canvas, kMaxCanvas);
    QImage canvas(pixels, pixels, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (layout.canvas > pixels) {
            const qreal reduce = qreal(pixels) / layout.canvas;
            painter.scale(reduce, reduce);
        }
        CQtSurface surface(painter, QRect(0, 0, layout.canvas, layout.canvas));
        // Drawn as the window's zoom draws it, about the point the morph is centred on.
        const int centre = layout.canvas / 2;
        morph.Measure(centre, centre, 0);
        if (layout.zoom > 1) {
            CScaledSurface zoomed(surface, {centre, centre}, layout.zoom);
            morph.Draw(zoomed, centre, centre, 0);
        } else {
            morph.Draw(surface, centre, centre, 0);
        }
        surface.Flush();
    }
    if (pixels == side) {
        return canvas;
    }
    return canvas.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace Thumbnail
