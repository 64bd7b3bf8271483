#include <QPainter>
#include <QSaveFile>
#include <algorithm>

#include "model/BioMorph.h"
#include "model/DrawSurface.h"
#include "platform/Cursors.h"
#include "platform/InkGeometry.h"
#include "platform/QtSurface.h"
#include "view/CellRenderer.h"
#include "view/PictureLimits.h"
#include "view/QuorvaleView.h"

// The rest of the view: its pictures on a printer, and the pointer shapes of the modes.

namespace {

// The mode's whole picture drawn the screen's way on a picture like the screen's: what the
// window shows, crossings and mixed colours included, without the marks drawn over the screen
// for the moment (the triangle's live morph, a rubber band).
QImage ModePicture(IModeHandler& handler, QImage picture) {
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The family tree is placed in the picture's own pixels.
    g_fPrintScale = 1.0f;
    handler.Render(p, true);
    return picture;
}

}  // namespace

void CQuorvaleView::OnDrawPrinter(QPainter& printer, const QRect& printable) {
    // The picture of the window as large as fits the printable area with its proportions
    // kept, centred on it. A printer cannot undo ink as XOR does on the screen, so it is given
    // the screen's visible ink as filled shapes rather than the strokes themselves.
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    const double scale = std::min(static_cast<double>(printable.width()) / w,
                                  static_cast<double>(printable.height()) / h);
    const CInkGeometry ink(ModePicture(Handler(), NewPicture()));
    printer.save();
    printer.translate(printable.left() + (printable.width() - w * scale) / 2,
                      printable.top() + (printable.height() - h * scale) / 2);
    printer.scale(scale, scale);
    printer.setClipRect(QRect(0, 0, w, h));
    printer.setRenderHint(QPainter::Antialiasing, false);
    ink.Paint(printer);
    printer.restore();
    // The screen is rebuilt at the next repaint.
    Invalidate();
    g_bRemeasure = 0;
}

QImage CQuorvaleView::MorphPicture(CBioMorph& morph, int scale) {
    // A picture to know the morph by: the whole morph, no larger than that needs.
    return FittedMorphPicture(morph, m_pDoc->m_nOrientation, std::clamp(scale, 1, 4),
                              kDragPictureSide);
}

QString CQuorvaleView::ExportPicture(const QString& path, int scale, CBioMorph* morph) {
    const bool bSvg = path.endsWith(".svg", Qt::CaseInsensitive);
    if (!bSvg && !path.endsWith(".png", Qt::CaseInsensitive)) {
        return tr("A picture is saved as PNG (.png) or SVG (.svg).");
    }
    scale = std::clamp(scale, 1, 4);
    const int orientation = m_pDoc->m_nOrientation;
    const SPictureExtent extent = morph
                                      ? MorphExtent(*morph, orientation)
                                      : SPictureExtent{std::max(width(), 1), std::max(height(), 1)};
    // An SVG file is drawn at the window's own pixels whatever the scale.
    const QString tooLarge = ExportSizeProblem(extent, bSvg ? 1 : scale);
    if (!tooLarge.isEmpty()) {
        return tooLarge;
    }
    const QSize size(static_cast<int>(extent.nWidth), static_cast<int>(extent.nHeight));
    // Draws the picture, in the window's coordinates, on a painter that is set up for it.
    auto draw = [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        if (morph) {
            RunDrawing([&] {
                CQtSurface surface(p, QRect(QPoint(0, 0), size));
                morph->Draw(surface, size.width() / 2, size.height() / 2, orientation);
            });
        } else {
            g_fPrintScale = 1.0f;
            Handler().Render(p, true);
        }
    };
    bool bSaved = false;
    if (bSvg) {
        // The screen's visible ink as shapes: a drawing cannot undo ink as XOR does.
        QImage picture;
        if (morph) {
            picture = QImage(size, QImage::Format_RGB32);
            QPainter p(&picture);
            draw(p);
        } else {
            picture = ModePicture(Handler(), NewPicture());
        }
        const std::string document = CInkGeometry(picture).SvgDocument("Quorvale");
        QSaveFile file(path);
        bSaved = file.open(QIODevice::WriteOnly) &&
                 file.write(document.data(), static_cast<qint64>(document.size())) ==
                     static_cast<qint64>(document.size()) &&
                 file.commit();
    } else if (!morph && scale == 1) {
        // The view at the screen's own pixels: the very picture on the screen.
        bSaved = ScreenImage().save(path, "PNG");
    } else {
        // Drawn through a painter that scales, at the picture's own resolution: strokes are
        // rasterised there, not enlarged from the window's pixels.
        QImage picture(size * scale, QImage::Format_RGB32);
        {
            QPainter p(&picture);
            p.scale(scale, scale);
            draw(p);
        }
        bSaved = picture.save(path, "PNG");
    }
    if (!morph) {
        // A mode's kept picture was drawn for the file: the screen is rebuilt from the
        // document at the next repaint, as it was.
        Invalidate();
        g_bRemeasure = 0;
    }
    if (!bSaved) {
        return tr("The file could not be written.");
    }
    return QString();
}

int CQuorvaleView::PrintPageCount() const {
    return Handler().PrintPageCount();
}

void CQuorvaleView::PrintPages(QPainter& painter, const QRect& printable, int from, int to,
                               const std::function<bool()>& newPage) {
    from = std::max(from, 1);
    to = std::min(to, PrintPageCount());
    for (int page = from; page <= to; ++page) {
        if (page > from && newPage && !newPage()) {
            return;
        }
        Handler().TurnToPrintPage(page);
        OnDrawPrinter(painter, printable);
    }
}

QCursor CQuorvaleView::CursorFor(ECursorShape shape) {
    switch (shape) {
        case ECursorShape::BreedRod:
            return ProgramCursor(kCursorRod);
        case ECursorShape::Move:
            return QCursor(Qt::SizeAllCursor);
        case ECursorShape::Pistol:
            return ProgramCursor(kCursorPistol);
        case ECursorShape::Scissors:
            return ProgramCursor(kCursorScissors);
        case ECursorShape::Family:
            return ProgramCursor(kCursorFamily);
        case ECursorShape::Hidden:
            return QCursor(Qt::BlankCursor);
        case ECursorShape::Arrow:
            break;
    }
    return QCursor(Qt::ArrowCursor);
}
