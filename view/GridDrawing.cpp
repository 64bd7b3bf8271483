#include "view/GridDrawing.h"

#include <QPainter>
#include <cstring>

#include "model/BioMorph.h"
#include "platform/QtSurface.h"
#include "view/CellRenderer.h"
#include "view/ViewPainting.h"

void DrawGridLines(QPainter& p, const SGridGeometry& grid, QColor colour, const SRect& rect) {
    const int right = grid.bVScrollVisible ? rect.right - (grid.nVScrollWidth - 1) : rect.right;
    const int colW = (right - rect.left) / grid.nCols;
    const int rowH = (rect.bottom - rect.top) / grid.nRows;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPen pen(colour, 2);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    for (int i = 0; i <= grid.nCols; ++i) {
        p.drawLine(i * colW, rect.top, i * colW, rect.bottom);
    }
    for (int i = 0; i <= grid.nRows; ++i) {
        p.drawLine(rect.left, i * rowH, right, i * rowH);
    }
    p.restore();
}

void DrawCellFrames(QPainter& p, const SGridGeometry& grid, int parentCol, int parentRow) {
    for (int row = 0; row < grid.nRows; ++row) {
        for (int col = 0; col < grid.nCols; ++col) {
            const SRect r = grid.CellRectAt(col, row);
            if (col == parentCol && row == parentRow) {
                FrameRect(p, r.Inflated(1), kParentFrame);
                FrameRect(p, r, kParentFrame);
            } else {
                FrameRect(p, r, Qt::black);
            }
        }
    }
}

void DrawMorphInCell(QPainter& p, const QRect& bounds, CBioMorph& morph, const SRect& cell,
                     int inset, int orientation, int zoom) {
    RunDrawing([&] {
        CQtSurface surface(p, bounds);
        const SRect clip{cell.left + inset, cell.top + inset, cell.right - inset,
                         cell.bottom - inset};
        surface.SetClip(&clip);
        const SPoint c = Centre(cell);
        DrawMorphZoomed(surface, morph, c.x, c.y, orientation, zoom);
        surface.Flush();
    });
    p.setClipping(false);
}

void CopyArea(QImage& to, const QImage& from, const QRect& area) {
    const int scale = qRound(from.devicePixelRatio());
    const QRect device =
        QRect(area.topLeft() * scale, area.size() * scale).intersected(from.rect());
    if (device.isEmpty()) {
        return;
    }
    const int bpp = from.depth() / 8;
    for (int y = device.top(); y <= device.bottom(); ++y) {
        std::memcpy(to.scanLine(y) + device.left() * bpp,
                    from.constScanLine(y) + device.left() * bpp,
                    static_cast<size_t>(device.width() * bpp));
    }
}
