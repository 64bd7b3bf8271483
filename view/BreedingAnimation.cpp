#include "view/BreedingAnimation.h"

#include <QApplication>
#include <QPainter>
#include <QRegion>
#include <QScopedValueRollback>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "view/AnimationInputGuard.h"
#include "view/CellRenderer.h"
#include "view/ModeContext.h"
#include "view/ViewPainting.h"

bool g_bAbortReveal = false;

namespace {

// What a two-pixel line from (x0, y0) to (x1, y1) touches, as small boxes along it: a
// diagonal line's bounding box can be most of the window, and every pixel shown goes to the
// display server.
QRegion LineArea(int x0, int y0, int x1, int y1) {
    QRegion area;
    const int steps = std::max(1, std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / 24);
    int px = x0;
    int py = y0;
    for (int i = 1; i <= steps; ++i) {
        const int qx = x0 + (x1 - x0) * i / steps;
        const int qy = y0 + (y1 - y0) * i / steps;
        area += QRect(QPoint(px, py), QPoint(qx, qy)).normalized().adjusted(-2, -2, 2, 2);
        px = qx;
        py = qy;
    }
    return area;
}

// What a two-pixel outline of r touches.
QRect OutlineArea(const SRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).adjusted(-2, -2, 2, 2);
}

// Clicks made while an animation ran are dropped rather than queued.
void DiscardMouseInput(QObject* receiver) {
    QCoreApplication::removePostedEvents(receiver, QEvent::MouseButtonPress);
    QCoreApplication::removePostedEvents(receiver, QEvent::MouseButtonRelease);
    QCoreApplication::removePostedEvents(receiver, QEvent::MouseButtonDblClick);
    QCoreApplication::removePostedEvents(receiver, QEvent::MouseMove);
}

}  // namespace

void CBreedingAnimation::BreedFromCell(int cell) {
    IModeContext& view = m_ctx;
    CQuorvaleDoc& doc = view.Doc();
    const bool bWasAnimating = view.IsAnimating();
    view.SetAnimating(true);
    {
        const CAnimationInputGuard guard(view.InputTarget(), [&view] { view.StopRepeat(); });
        view.EnsureScreen();
        if (view.NeedsDraw()) {
            view.OnDraw();
        }
        g_bAbortReveal = false;
        const int parentCell = view.ParentCell();
        const SRect rp = view.CellRect(parentCell);
        const SRect rs = view.CellRect(cell);
        const SPoint pc = Centre(rp);
        const SPoint sc = Centre(rs);
        DiscardMouseInput(view.InputTarget());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CBioMorph* chosen = view.CellMorph(cell);
        if (chosen && chosen != doc.m_pCurrent.get()) {
            doc.TakeChildGenome(cell < parentCell ? cell : cell - 1);
            TravelBox(sc.x, sc.y, pc.x, pc.y, 15);
            view.Clock().Pause(50);
        }
        ClearToParent(rp);
        doc.RespawnOffspring();
        RevealOffspring(pc.x, pc.y);
        DiscardMouseInput(view.InputTarget());
        QApplication::restoreOverrideCursor();
        // The screen already shows the new generation.
        view.MarkDrawn();
    }
    view.SetAnimating(bWasAnimating);
}

void CBreedingAnimation::ShowBreedingScreen() {
    IModeContext& view = m_ctx;
    const bool bWasAnimating = view.IsAnimating();
    view.SetAnimating(true);
    {
        const CAnimationInputGuard guard(view.InputTarget(), [&view] { view.StopRepeat(); });
        view.EnsureScreen();
        g_bAbortReveal = false;
        const SRect rp = view.CellRect(view.ParentCell());
        ClearToParent(rp);
        view.MarkDrawn();
        const SPoint pc = Centre(rp);
        RevealOffspring(pc.x, pc.y);
    }
    view.SetAnimating(bWasAnimating);
}

void CBreedingAnimation::ClearToParent(const SRect& parentCell) {
    {
        QPainter p(&m_ctx.Screen());
        p.fillRect(m_ctx.ViewRect(), Qt::white);
        m_ctx.DrawCellFrames(p);
        m_ctx.DrawGridLines(p, kGridColour, m_ctx.ClientRect());
        m_ctx.DrawMorphInCell(p, *m_ctx.Doc().m_pCurrent, parentCell, RevealInset());
    }
    m_ctx.ShowScreen();
}

int CBreedingAnimation::RevealInset() const {
    return m_ctx.Zoom() > 1 ? 1 : 0;
}

void CBreedingAnimation::DrawTravelOutline(QPainter& p, const SRect& r) const {
    p.drawLine(r.left, r.top, r.right, r.top);
    p.drawLine(r.right, r.top, r.right, r.bottom);
    p.drawLine(r.right, r.bottom, r.left, r.bottom);
    p.drawLine(r.left, r.bottom, r.left, r.top);
}

void CBreedingAnimation::TravelBox(int x0, int y0, int x1, int y1, int n) {
    const int cw = m_ctx.ViewWidth() / m_ctx.Cols();
    const int ch = m_ctx.ViewHeight() / m_ctx.Rows();
    auto roundDiv = [](int a, int b) {
        return static_cast<int>(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b));
    };
    const int dx = roundDiv(x1 - x0, n);
    const int dy = roundDiv(y1 - y0, n);
    int x = x0;
    int y = y0;
    const QPen pen(QColor(0, 255, 255), 2);
    std::optional<SRect> shown;
    SRect box{};
    for (int i = 0; i <= n; ++i) {
        m_ctx.Clock().Pause(20);
        QRect changed;
        {
            QPainter p(&m_ctx.Screen());
            p.setPen(pen);
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            if (shown) {
                DrawTravelOutline(p, *shown);
                changed = OutlineArea(*shown);
            }
            box = {x - cw / 2 + 1, y - ch / 2 + 1, x + cw / 2 - 1, y + ch / 2 - 1};
            DrawTravelOutline(p, box);
            shown = box;
        }
        m_ctx.ShowScreen(changed | OutlineArea(box));
        x += dx;
        y += dy;
    }
    {
        // The box once more with the pen and a white brush: the outline goes and the box's
        // inside is inverted, where it stays until the screen is cleared.
        QPainter p(&m_ctx.Screen());
        p.setPen(pen);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        DrawTravelOutline(p, box);
        p.fillRect(ToQRect(box), Qt::white);
    }
    m_ctx.ShowScreen(OutlineArea(box));
}

void CBreedingAnimation::FlashLine(int x0, int y0, int x1, int y1, int ms) {
    const QPen pen(Qt::white, 2);
    auto draw = [&](int ax, int ay, int bx, int by) {
        QPainter p(&m_ctx.Screen());
        p.setClipRect(m_ctx.ViewRect());
        p.setPen(pen);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.drawLine(ax, ay, bx, by);
    };
    const QRegion area = LineArea(x0, y0, x1, y1);
    draw(x0, y0, x1, y1);
    m_ctx.ShowScreen(area);
    m_ctx.Clock().Pause(ms);
    draw(x1, y1, x0, y0);
    m_ctx.ShowScreen(area);
}

bool CBreedingAnimation::CheckEscape() {
    // Look at what arrived meanwhile: the step's input guard lets only Esc act, which stops
    // the reveal; pictures are repainted.
    QCoreApplication::processEvents();
    return g_bAbortReveal;
}

void CBreedingAnimation::RevealOffspring(int px, int py) {
    CQuorvaleDoc& doc = m_ctx.Doc();
    const int count = static_cast<int>(doc.m_listOffspring.size());
    const int parentCell = m_ctx.ParentCell();
    auto morphOf = [&](int i) -> CBioMorph* {
        return i == parentCell ? nullptr : m_ctx.ListMorph(i < parentCell ? i : i - 1);
    };
    // The whole new generation is drawn first, its cells shared out between the cores, on a
    // copy of the screen as it is now; the reveal then copies one cell at a time. Cells never
    // overlap, so each comes out exactly as drawing it on the screen would.
    QImage drawn = m_ctx.Screen().copy();
    {
        std::vector<SCellJob> jobs;
        for (int i = 0; i <= count; ++i) {
            if (CBioMorph* morph = morphOf(i)) {
                const SRect r = m_ctx.CellRect(i);
                jobs.push_back(
                    {morph, r, RevealInset(), Centre(r), doc.m_nOrientation, m_ctx.Zoom()});
            }
        }
        QPainter p(&drawn);
        p.setRenderHint(QPainter::Antialiasing, false);
        RenderCells(p, m_ctx.ViewRect(), jobs, m_ctx.CellThreads());
    }
    for (int i = 0; i <= count; ++i) {
        if (CheckEscape()) {
            return;
        }
        CBioMorph* morph = morphOf(i);
        if (!morph) {
            continue;
        }
        const SRect r = m_ctx.CellRect(i);
        const SPoint c = Centre(r);
        FlashLine(px, py, c.x, c.y, 15);
        QImage& screen = m_ctx.Screen();
        if (screen.size() == drawn.size() && screen.format() == drawn.format()) {
            CopyArea(screen, drawn,
                     QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
        } else {
            // The window changed size meanwhile: this cell is drawn where it now is.
            QPainter p(&screen);
            m_ctx.DrawMorphInCell(p, *morph, r, RevealInset());
        }
        m_ctx.ShowScreen(ToQRect(r));
        m_ctx.Clock().Pause(2);
    }
}
