#include "view/PictureLimits.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

#include "model/BioMorph.h"
#include "model/ScaledSurface.h"
#include "platform/QtSurface.h"
#include "view/CellRenderer.h"

SPictureExtent MorphExtent(CBioMorph& morph, int orientation) {
    CBioMorph measured;
    measured.CopyGenome(morph);
    measured.Measure(0, 0, orientation);
    const SRect& box = measured.m_rcBounds;
    constexpr int64_t kMargin = 8;
    constexpr int64_t kMinSide = 16;
    return {std::max<int64_t>(int64_t{box.right} - box.left + 2 * kMargin, kMinSide),
            std::max<int64_t>(int64_t{box.bottom} - box.top + 2 * kMargin, kMinSide)};
}

QString ExportSizeProblem(SPictureExtent extent, int scale) {
    scale = std::max(scale, 1);
    const int64_t w = extent.nWidth * scale;
    const int64_t h = extent.nHeight * scale;
    if (w <= kExportPictureSide && h <= kExportPictureSide) {
        return QString();
    }
    const char* text =
        scale > 1 ? QT_TRANSLATE_NOOP("CQuorvaleView",
                                      "The picture would be %1\u00d7%2 pixels, more than the "
                                      "%3\u00d7%3 an export can have; choose a smaller scale.")
                  : QT_TRANSLATE_NOOP("CQuorvaleView",
                                      "The picture would be %1\u00d7%2 pixels, more than the "
                                      "%3\u00d7%3 an export can have.");
    return QCoreApplication::translate("CQuorvaleView", text).arg(w).arg(h).arg(kExportPictureSide);
}

QImage FittedMorphPicture(CBioMorph& morph, int orientation, int zoom, int maxSide) {
    zoom = std::max(zoom, 1);
    maxSide = std::max(maxSide, 16);
    const SPictureExtent extent = MorphExtent(morph, orientation);
    const int64_t longest = std::max(extent.nWidth, extent.nHeight);
    // The scale num / den: the zoom, or less when the zoomed picture would be too large.
    int64_t num = zoom;
    int64_t den = 1;
    if (longest * zoom > maxSide) {
        num = maxSide;
        den = longest;
    }
    const auto side = [&](int64_t v) {
        return static_cast<int>(std::clamp<int64_t>(v * num / den, 1, maxSide));
    };
    const QSize size(side(extent.nWidth), side(extent.nHeight));
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    const SPoint centre{size.width() / 2, size.height() / 2};
    RunDrawing([&] {
        CQtSurface surface(p, QRect(QPoint(0, 0), size));
        CScaledSurface scaled(surface, centre, num, den);
        morph.Draw(scaled, centre.x, centre.y, orientation);
    });
    return picture;
}
