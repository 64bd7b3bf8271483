#include "view/TriangleMode.h"

#include <QCursor>
#include <QPainter>

#include "model/ScaledSurface.h"
#include "platform/QtSurface.h"
#include "view/CellRenderer.h"
#include "view/ModeContext.h"
#include "view/TriangleBlend.h"
#include "view/ViewPainting.h"

void CTriangleMode::Enter() {
    if (m_picture.isNull()) {
        m_picture = m_ctx.NewPicture();
    }
    m_bDirty = true;
}

void CTriangleMode::Leave() {
    m_picture = QImage();
    // Leaving the triangle gives the pointer back.
    m_bPointerHidden = false;
}

QImage* CTriangleMode::KeptPicture() {
    m_ctx.EnsureScreen();
    if (m_picture.size() != m_ctx.Screen().size()) {
        m_picture = m_ctx.NewPicture();
        m_bDirty = true;
    }
    return &m_picture;
}

void CTriangleMode::Render(QPainter& p, bool bPrinting) {
    if (bPrinting) {
        m_bDirty = true;
    }
    if (m_bDirty) {
        p.fillRect(QRect(0, 0, m_ctx.ViewWidth(), m_ctx.ViewHeight()), Qt::white);
        DrawTriangle(p, m_ctx.ClientRect());
    }
    DrawPoints(p);
    if (bPrinting) {
        // The kept picture was not drawn: it is rebuilt at the next repaint.
        m_bDirty = true;
    }
}

void CTriangleMode::DrawTriangle(QPainter& p, const SRect& rect) {
    const STriangleCorners c = TriangleCornersIn(rect);
    m_ptTop = c.top;
    m_ptLeft = c.left;
    m_ptRight = c.right;
    p.save();
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(c.top.x, c.top.y, c.left.x, c.left.y);
    p.drawLine(c.left.x, c.left.y, c.right.x, c.right.y);
    p.drawLine(c.right.x, c.right.y, c.top.x, c.top.y);
    p.restore();
    CQuorvaleDoc& doc = m_ctx.Doc();
    RunDrawing([&] {
        CQtSurface surface(p, QRect(0, 0, m_ctx.ViewWidth(), m_ctx.ViewHeight()));
        DevelopZoomed(surface, *doc.m_pTriTop, c.top.x, c.top.y);
        DevelopZoomed(surface, *doc.m_pTriLeft, c.left.x, c.left.y);
        DevelopZoomed(surface, *doc.m_pTriRight, c.right.x, c.right.y);
    });
}

void CTriangleMode::DrawPoints(QPainter& p) {
    CQtSurface surface(p, QRect(0, 0, m_ctx.ViewWidth(), m_ctx.ViewHeight()));
    CQuorvaleDoc& doc = m_ctx.Doc();
    CBioMorph& blend = *doc.m_pTriMorph;
    if (m_bDirty) {
        for (const SPoint& pt : doc.m_listTrianglePoints) {
            BlendTriangle(blend, *doc.m_pTriTop, *doc.m_pTriLeft, *doc.m_pTriRight,
                          TriangleDistances(pt.x, pt.y, m_ptTop, m_ptLeft, m_ptRight));
            m_ctx.Genes().ShowGenes(&blend);
            m_ctx.Genes().RefreshIndicators();
            RunDrawing([&] { DevelopZoomed(surface, blend, pt.x, pt.y); });
        }
        m_bDirty = false;
        m_ptClick.reset();
    } else if (m_ptClick) {
        RunDrawing([&] { DevelopZoomed(surface, blend, m_ptClick->x, m_ptClick->y); });
        m_ptClick.reset();
    }
}

void CTriangleMode::DevelopZoomed(IDrawSurface& surface, CBioMorph& morph, int x, int y) const {
    // The triangle grows each morph from the point itself, not centred on it; a zoomed morph
    // grows from the same point.
    const int o = m_ctx.Doc().m_nOrientation;
    if (m_ctx.Zoom() <= 1) {
        morph.Develop(&surface, x, y, o, 1);
        return;
    }
    CScaledSurface scaled(surface, {x, y}, m_ctx.Zoom());
    morph.Develop(&scaled, x, y, o, 1);
}

void CTriangleMode::Cleared() {
    m_bDirty = true;
    m_ptClick.reset();
}

void CTriangleMode::Press(QPoint point) {
    m_ctx.Doc().m_listTrianglePoints.push_back({point.x(), point.y()});
    m_ptClick = SPoint{point.x(), point.y()};
    m_ctx.Invalidate();
}

QRect CTriangleMode::RemoveLiveMorph() {
    const QRect was = m_rcLive;
    m_rcLive = QRect();
    QImage& screen = m_ctx.Screen();
    if (was.isEmpty() || screen.size() != m_picture.size() ||
        screen.format() != m_picture.format()) {
        return was;
    }
    CopyArea(screen, m_picture, was);
    return was;
}

void CTriangleMode::Move(QPoint point) {
    if (m_picture.isNull()) {
        return;
    }
    if (m_ctx.NeedsDraw()) {
        m_ctx.OnDraw();
    }
    const bool bInside = point.x() >= 0 && point.x() <= m_ctx.ViewWidth() && point.y() >= 0 &&
                         point.y() <= m_ctx.ViewHeight();
    if (!bInside) {
        PointerLeft();
        return;
    }
    const QRect was = RemoveLiveMorph();
    if (!m_bPointerHidden) {
        m_ctx.SetViewCursor(Qt::BlankCursor);
        m_bPointerHidden = true;
    }
    CQuorvaleDoc& doc = m_ctx.Doc();
    BlendTriangle(*doc.m_pTriMorph, *doc.m_pTriTop, *doc.m_pTriLeft, *doc.m_pTriRight,
                  TriangleDistances(point.x(), point.y(), m_ptTop, m_ptLeft, m_ptRight));
    {
        QPainter p(&m_ctx.Screen());
        RunDrawing([&] {
            CQtSurface surface(p, QRect(0, 0, m_ctx.ViewWidth(), m_ctx.ViewHeight()));
            DevelopZoomed(surface, *doc.m_pTriMorph, point.x(), point.y());
            surface.Flush();
            m_rcLive = surface.Touched();
        });
    }
    m_ctx.Genes().ShowGenes(doc.m_pTriMorph.get());
    // Only the old and the new morph's areas changed on the screen.
    const QRect changed = was.united(m_rcLive);
    if (!changed.isEmpty()) {
        m_ctx.ShowScreen(changed);
    }
}

void CTriangleMode::ShowPointer() {
    if (m_bPointerHidden) {
        m_bPointerHidden = false;
        m_ctx.UpdateCursor(m_ctx.PointerPos());
    }
}

void CTriangleMode::PointerLeft() {
    ShowPointer();
    const QRect was = RemoveLiveMorph();
    if (!was.isEmpty()) {
        m_ctx.ShowScreen(was);
    }
}

void CTriangleMode::Resized() {
    // A new picture of the new size, drawn afresh.
    m_picture = m_ctx.NewPicture();
    m_bDirty = true;
}

ECursorShape CTriangleMode::CursorAt(QPoint /*point*/) const {
    return m_bPointerHidden ? ECursorShape::Hidden : ECursorShape::Arrow;
}
