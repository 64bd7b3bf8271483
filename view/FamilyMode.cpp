#include "view/FamilyMode.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "model/FamilyMorph.h"
#include "platform/QtSurface.h"
#include "view/ModeContext.h"
#include "view/ViewPainting.h"

void CFamilyMode::Enter() {
    if (m_picture.isNull()) {
        m_picture = m_ctx.NewPicture();
    }
    FitIntoView();
    m_ctx.Genes().ShowGenes(m_ctx.Doc().m_pCurrent.get());
}

void CFamilyMode::Leave() {
    m_picture = QImage();
}

void CFamilyMode::EndGesture() {
    m_pCreateParent = nullptr;
    m_pDragNode = nullptr;
    m_ptDragMark.reset();
    m_ptRubber.reset();
}

QImage* CFamilyMode::KeptPicture() {
    m_ctx.EnsureScreen();
    if (m_picture.size() != m_ctx.Screen().size()) {
        m_picture = m_ctx.NewPicture();
    }
    return &m_picture;
}

void CFamilyMode::Resized() {
    EndGesture();
    FitIntoView();
    m_picture = m_ctx.NewPicture();
    m_ctx.Genes().ShowGenes(m_ctx.Doc().m_pCurrent.get());
}

namespace {
// How far a shift must move the span [lo, hi] to lie within [0, size): none if it does, and
// if it cannot fit, enough to bring its start in (the rest is then clamped node by node).
int64_t ShiftInto(int64_t lo, int64_t hi, int size) {
    if (lo >= 0 && hi < size) {
        return 0;
    }
    if (hi - lo >= size || lo < 0) {
        return -lo;
    }
    return size - 1 - hi;
}
}  // namespace

void CFamilyMode::FitIntoView() {
    // The trees move together into the window (a smaller window, a projector's resolution), so
    // every node and its frame can be seen and reached; their layout is kept.
    bool bAny = false;
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    for (const auto& family : m_ctx.Doc().m_listFamilies) {
        for (const auto& node : *family) {
            // The frame drawn round a node lies 10 pixels outside its bounds.
            const SRect b = node->m_rcBounds.Inflated(12);
            const int64_t l = std::min<int64_t>({b.left, node->m_ptNode.x});
            const int64_t t = std::min<int64_t>({b.top, node->m_ptNode.y});
            const int64_t r = std::max<int64_t>({b.right, node->m_ptNode.x});
            const int64_t bo = std::max<int64_t>({b.bottom, node->m_ptNode.y});
            left = bAny ? std::min(left, l) : l;
            top = bAny ? std::min(top, t) : t;
            right = bAny ? std::max(right, r) : r;
            bottom = bAny ? std::max(bottom, bo) : bo;
            bAny = true;
        }
    }
    if (!bAny) {
        return;
    }
    const int64_t dx = ShiftInto(left, right, m_ctx.ViewWidth());
    const int64_t dy = ShiftInto(top, bottom, m_ctx.ViewHeight());
    if (dx == 0 && dy == 0) {
        return;
    }
    const auto moved = [](int v, int64_t by) {
        return static_cast<int>(std::clamp<int64_t>(v + by, INT32_MIN / 2, INT32_MAX / 2));
    };
    for (const auto& family : m_ctx.Doc().m_listFamilies) {
        for (const auto& node : *family) {
            node->m_ptNode = {moved(node->m_ptNode.x, dx), moved(node->m_ptNode.y, dy)};
            // Hit where they are now, until the next drawing lays them out there.
            SRect& b = node->m_rcBounds;
            b = {moved(b.left, dx), moved(b.top, dy), moved(b.right, dx), moved(b.bottom, dy)};
            node->m_bLaidOut = 0;
        }
    }
}

QPoint CFamilyMode::WithinReach(QPoint point) const {
    return QPoint(std::clamp(point.x(), 0, std::max(m_ctx.ViewWidth() - 1, 0)),
                  std::clamp(point.y(), 0, std::max(m_ctx.ViewHeight() - 1, 0)));
}

void CFamilyMode::Render(QPainter& p, bool bPrinting) {
    const int w = m_ctx.ViewWidth();
    const int h = m_ctx.ViewHeight();
    if (!bPrinting) {
        // A node left outside by a smaller window comes back within reach.
        for (const auto& family : m_ctx.Doc().m_listFamilies) {
            for (const auto& node : *family) {
                const QPoint at(node->m_ptNode.x, node->m_ptNode.y);
                const QPoint reach = WithinReach(at);
                if (reach != at) {
                    node->m_ptNode = {reach.x(), reach.y()};
                    node->m_bLaidOut = 0;
                }
            }
        }
    }
    p.fillRect(QRect(0, 0, w, h), kGridColour);
    CQtSurface surface(p, QRect(0, 0, w, h));
    CQuorvaleDoc& doc = m_ctx.Doc();
    // Roots first gathered: drawing lays nodes out but never changes the lists.
    std::vector<CFamilyMorph*> roots;
    for (const auto& family : doc.m_listFamilies) {
        if (!family->empty()) {
            roots.push_back(family->front().get());
        }
    }
    for (CFamilyMorph* root : roots) {
        root->DrawFamily(surface, doc.m_nOrientation);
    }
}

CBioMorph* CFamilyMode::MorphAt(QPoint point) const {
    const CQuorvaleDoc& doc = m_ctx.Doc();
    CFamilyMorph* node = doc.FamilyNodeAt(point.x(), point.y());
    return node ? node : doc.FamilyFrameAt(point.x(), point.y());
}

bool CFamilyMode::OffersContextMenuAt(QPoint point) const {
    return MorphAt(point) != nullptr;
}

void CFamilyMode::Press(QPoint point) {
    CQuorvaleDoc& doc = m_ctx.Doc();
    const int x = point.x();
    const int y = point.y();
    const bool bCreate = m_ctx.FamilyTool() == EFamilyTool::Create;
    if (CFamilyMorph* node = doc.FamilyFrameAt(x, y)) {
        if (bCreate) {
            m_pDragNode = node;
            m_szDragOffset = QSize(node->m_ptNode.x - x, node->m_ptNode.y - y);
            m_ptDragMark.reset();
            m_bDragFirstMove = true;
        }
    } else if (CFamilyMorph* hit = doc.FamilyNodeAt(x, y)) {
        if (bCreate) {
            m_pCreateParent = hit;
        } else if (doc.DestroyFamilyLine(hit)) {
            m_ctx.Invalidate();
        } else {
            // The last tree's root stays: the tree always has one.
            m_ctx.Beep();
            return;
        }
    } else if (!bCreate) {
        if (doc.CutFamilyLinks(x, y) > 0) {
            m_ctx.Invalidate();
        }
    }
    m_ptRubber.reset();
}

void CFamilyMode::Move(QPoint point) {
    const CQuorvaleDoc& doc = m_ctx.Doc();
    CFamilyMorph* shown = doc.FamilyNodeAt(point.x(), point.y());
    if (!shown) {
        shown = doc.FamilyFrameAt(point.x(), point.y());
    }
    m_ctx.Genes().ShowGenes(shown);
    if (m_ctx.FamilyTool() == EFamilyTool::Destroy) {
        return;
    }
    if (m_ctx.NeedsDraw()) {
        m_ctx.OnDraw();
    }
    if (m_pCreateParent) {
        MoveRubberBand(point);
    } else if (m_pDragNode) {
        MoveDraggedNode(point);
    }
}

void CFamilyMode::MoveRubberBand(QPoint point) {
    const SRect& b = m_pCreateParent->m_rcBounds;
    const SPoint c = Centre(b);
    {
        QPainter p(&m_ctx.Screen());
        p.setPen(QPen(Qt::white, 0));
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (m_ptRubber) {
            p.drawLine(c.x, c.y, m_ptRubber->x, m_ptRubber->y);
        }
        p.drawLine(c.x, c.y, point.x(), point.y());
        m_ptRubber = SPoint{point.x(), point.y()};
    }
    m_ctx.ShowScreen();
}

void CFamilyMode::MoveDraggedNode(QPoint point) {
    CFamilyMorph& d = *m_pDragNode;
    const SRect box = d.m_rcBounds.Inflated(11);
    const int bw = box.Width();
    const int bh = box.Height();
    std::vector<SPoint> ends;
    if (d.m_pParent) {
        ends.push_back(d.m_pParent->m_ptNode);
    }
    for (CFamilyMorph* child : d.m_Children) {
        ends.push_back(child->m_ptNode);
    }
    QPainter p(&m_ctx.Screen());
    if (m_bDragFirstMove) {
        p.fillRect(ToQRect(box), kGridColour);
        // Over the links with the line drawer and direction that drew them (parent to
        // child), so no speck of them is left.
        CQtSurface surface(p, m_ctx.ViewRect());
        surface.SetPen(1, {213, 220, 240});
        if (d.m_pParent) {
            surface.Line(d.m_pParent->m_ptNode.x, d.m_pParent->m_ptNode.y, d.m_ptNode.x,
                         d.m_ptNode.y);
        }
        for (CFamilyMorph* child : d.m_Children) {
            surface.Line(d.m_ptNode.x, d.m_ptNode.y, child->m_ptNode.x, child->m_ptNode.y);
        }
        surface.Flush();
        p.setClipping(false);
    }
    m_bDragFirstMove = false;
    const QPoint at = WithinReach(point + QPoint(m_szDragOffset.width(), m_szDragOffset.height()));
    d.m_ptNode = {at.x(), at.y()};
    d.m_bLaidOut = 0;
    p.setPen(QPen(QColor(255, 0, 0), 2));
    p.setBrush(Qt::white);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (m_ptDragMark) {
        DrawDragOutline(p, *m_ptDragMark, bw, bh, ends);
    }
    m_ptDragMark = d.m_ptNode;
    DrawDragOutline(p, *m_ptDragMark, bw, bh, ends);
    p.end();
    m_ctx.ShowScreen();
}

void CFamilyMode::DrawDragOutline(QPainter& p, SPoint centre, int bw, int bh,
                                  const std::vector<SPoint>& ends) const {
    for (const SPoint& end : ends) {
        p.drawLine(centre.x, centre.y, end.x, end.y);
    }
    p.drawRect(QRect(QPoint(centre.x - bw / 2, centre.y - bh / 2),
                     QPoint(centre.x + bw / 2 - 1, centre.y + bh / 2 - 1)));
}

bool CFamilyMode::Release(QPoint released) {
    CQuorvaleDoc& doc = m_ctx.Doc();
    // Released over the bars or past the window's edge: the node stays where it can be
    // reached, at the nearest point of the view.
    const QPoint point = WithinReach(released);
    const int x = point.x();
    const int y = point.y();
    if (m_pCreateParent) {
        CFamilyMorph* parent = m_pCreateParent;
        m_pCreateParent = nullptr;
        m_ptRubber.reset();
        if (doc.FamilyNodeAt(x, y) || doc.FamilyFrameAt(x, y)) {
            m_ctx.Invalidate();
            return true;
        }
        if (doc.AddFamilyChild(parent, x, y)) {
            m_ctx.Invalidate();
        }
    } else if (m_pDragNode) {
        m_bDragFirstMove = false;
        const QPoint at =
            WithinReach(QPoint(x + m_szDragOffset.width(), y + m_szDragOffset.height()));
        m_pDragNode->m_ptNode = {at.x(), at.y()};
        m_pDragNode->m_bLaidOut = 0;
        m_pDragNode = nullptr;
        m_ptDragMark.reset();
        m_ctx.Invalidate();
    }
    return true;
}

ECursorShape CFamilyMode::CursorAt(QPoint point) const {
    const CQuorvaleDoc& doc = m_ctx.Doc();
    const bool bCreate = m_ctx.FamilyTool() == EFamilyTool::Create;
    if (m_pCreateParent) {
        return ECursorShape::Family;
    }
    if (m_pDragNode) {
        return ECursorShape::Move;
    }
    if (doc.FamilyFrameAt(point.x(), point.y())) {
        return bCreate ? ECursorShape::Move : ECursorShape::Pistol;
    }
    if (doc.FamilyNodeAt(point.x(), point.y())) {
        return bCreate ? ECursorShape::Family : ECursorShape::Pistol;
    }
    if (!bCreate) {
        for (const auto& family : doc.m_listFamilies) {
            if (!family->empty() && family->front()->FindLink(point.x(), point.y()).first) {
                return ECursorShape::Scissors;
            }
        }
    }
    return ECursorShape::Arrow;
}
