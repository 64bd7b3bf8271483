#include "thumbnailer/Thumbnail.h"

#include <QPainter>
#include <algorithm>

#include "document/BioFile.h"
#include "model/BioMorph.h"
#include "platform/QtSurface.h"

namespace Thumbnail {

namespace {

// A white square picture with the morph drawn at its centre, as the Engineer mode draws it.
QImage DrawCentred(CBioMorph& morph, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    CQtSurface surface(painter, QRect(0, 0, side, side));
    morph.Draw(surface, side / 2, side / 2, 0);
    surface.Flush();
    return image;
}

// The side of the square that holds the whole measured morph when drawn at its centre.
int64_t SideToHold(const SRect& bounds, int64_t centre) {
    const int64_t reach = std::max({centre - int64_t{bounds.left}, int64_t{bounds.right} - centre,
                                    centre - int64_t{bounds.top}, int64_t{bounds.bottom} - centre});
    return 2 * reach + 2;
}

}  // namespace

QImage Render(const uint8_t* data, size_t size, int side) {
    if (side < kMinSide || side > kMaxSide) {
        return QImage();
    }
    CBioMorph morph;
    if (LoadMorphFromFile(data, std::min(size, kMaxRead), morph) != EBioLoad::Ok) {
        return QImage();
    }
    // Measured where it would be drawn in a picture of the asked size, so that a morph that
    // fits is laid out exactly as in that picture.
    morph.Measure(side / 2, side / 2, 0);
    const int64_t needed = SideToHold(morph.m_rcBounds, side / 2);
    if (needed <= side) {
        return DrawCentred(morph, side);
    }
    const int canvas = static_cast<int>(std::min<int64_t>(needed, std::max(kMaxCanvas, side)));
    morph.Measure(canvas / 2, canvas / 2, 0);
    const QImage whole = DrawCentred(morph, canvas);
    return whole.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace Thumbnail
