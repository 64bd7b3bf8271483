#include <QPainter>
#include <algorithm>

#include "model/BioMorph.h"
#include "model/DrawSurface.h"
#include "platform/Cursors.h"
#include "view/QuorvaleView.h"

// The rest of the view: its pictures on a printer, and the pointer shapes of the modes.

void CQuorvaleView::OnDrawPrinter(QPainter& printer, const QRect& printable) {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    const SRect print{printable.left(), printable.top(), printable.right() + 1,
                      printable.bottom() + 1};
    g_fPrintScale = static_cast<float>(print.right - print.left) / static_cast<float>(w);
    const int hp = static_cast<int>(static_cast<float>(h) * g_fPrintScale);
    QImage picture(QSize(w, h), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing, false);
        Handler().Render(p, true);
    }
    printer.drawImage(QRect(0, 0, print.right, hp), picture);
    // The screen is rebuilt at the next repaint.
    Invalidate();
    g_bRemeasure = 0;
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
