#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "view/GridDrawing.h"
#include "view/ModeHandler.h"
#include "view/QuorvaleView.h"
#include "view/ViewPainting.h"

// The view's grid geometry and its screen picture: how the mode's picture is rendered into
// it and shown.
// ---------------------------------------------------------------------------------------
// Grid geometry

void CQuorvaleView::SetGridSize(int cols, int rows) {
    m_nCols = std::clamp(cols, 1, 9);
    m_nRows = std::clamp(rows, 1, 7);
    UpdateParentCell();
}

void CQuorvaleView::UpdateParentCell() {
    m_nParentCell = m_nRows * m_nCols / 2;
}

int CQuorvaleView::VScrollWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

SGridGeometry CQuorvaleView::Grid() const {
    SGridGeometry g;
    g.nClientW = width();
    g.nClientH = height();
    g.nCols = m_nCols;
    g.nRows = m_nRows;
    g.bVScrollVisible = m_wndVScroll && !m_wndVScroll->isHidden();
    g.nVScrollWidth = VScrollWidth();
    return g;
}

SRect CQuorvaleView::GridRect() const {
    return {0, 0, Grid().GridWidth(), height()};
}

SRect CQuorvaleView::CellRect(int index) const {
    return Grid().CellRect(index - Handler().FirstIndexShown());
}

SRect CQuorvaleView::ParentCellRect() const {
    return ::ParentCellRect(width(), height(), m_nCols, m_nRows);
}

CBioMorph* CQuorvaleView::ListMorph(int index) const {
    return Handler().ListMorph(index);
}

CBioMorph* CQuorvaleView::CellMorph(int cell) const {
    return Handler().CellMorph(cell);
}

CBioMorph* CQuorvaleView::MorphAt(QPoint point) const {
    return Handler().MorphAt(point);
}

// ---------------------------------------------------------------------------------------
// Drawing

QImage CQuorvaleView::NewPicture() const {
    const qreal dpr = devicePixelRatioF();
    QImage image(QSize(std::max(width(), 1), std::max(height(), 1)) * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    return image;
}

void CQuorvaleView::EnsureScreen() {
    const qreal dpr = devicePixelRatioF();
    const QSize want = QSize(std::max(width(), 1), std::max(height(), 1)) * dpr;
    if (m_imgScreen.size() != want || m_imgScreen.devicePixelRatio() != dpr) {
        m_imgScreen = NewPicture();
        m_bNeedsDraw = true;
    }
}

void CQuorvaleView::Invalidate() {
    m_bNeedsDraw = true;
    update();
}

void CQuorvaleView::ShowScreen(const QRect& changed) {
    if (changed.isNull()) {
        repaint();
    } else {
        repaint(changed.intersected(rect()));
    }
}

void CQuorvaleView::ShowScreen(const QRegion& changed) {
    repaint(changed.intersected(rect()));
}

const QImage& CQuorvaleView::ScreenImage() {
    EnsureScreen();
    if (m_bNeedsDraw) {
        OnDraw();
    }
    return m_imgScreen;
}

void CQuorvaleView::paintEvent(QPaintEvent* event) {
    EnsureScreen();
    if (m_bNeedsDraw) {
        OnDraw();
    }
    // Only the part asked for: a travelling box or the morph under the pointer changes a small
    // part of a large picture.
    QPainter p(this);
    const qreal dpr = m_imgScreen.devicePixelRatio();
    for (const QRect& area : event->region()) {
        p.drawImage(area, m_imgScreen,
                    QRectF(QPointF(area.topLeft()) * dpr, QSizeF(area.size()) * dpr));
    }
    Handler().DrawOverlay(p);
}

void CQuorvaleView::OnDraw() {
    EnsureScreen();
    IModeHandler& handler = Handler();
    if (QImage* kept = handler.KeptPicture()) {
        {
            QPainter p(kept);
            p.setRenderHint(QPainter::Antialiasing, false);
            handler.Render(p, false);
        }
        m_imgScreen = kept->copy();
    } else {
        QImage picture = NewPicture();
        {
            QPainter p(&picture);
            p.setRenderHint(QPainter::Antialiasing, false);
            handler.Render(p, false);
        }
        m_imgScreen = picture;
    }
    m_bNeedsDraw = false;
    g_bRemeasure = 0;
}

void CQuorvaleView::DrawMorphInCell(QPainter& p, CBioMorph& morph, const SRect& r, int inset) {
    ::DrawMorphInCell(p, rect(), morph, r, inset, m_pDoc->m_nOrientation, m_nZoom);
}

void CQuorvaleView::DrawGridLines(QPainter& p, QColor colour, const SRect& area) const {
    ::DrawGridLines(p, Grid(), colour, area);
}

void CQuorvaleView::DrawCellFrames(QPainter& p) const {
    ::DrawCellFrames(p, Grid(), ParentCol(), ParentRow());
}
