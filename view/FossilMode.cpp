#include "view/FossilMode.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

#include "view/CellRenderer.h"
#include "view/ModeContext.h"
#include "view/ViewPainting.h"

void CFossilMode::Enter() {
    // The range is sized afresh: the history may have been emptied or renewed since.
    SetScrollRange();
    m_fossilBar.nPos = 0;
    SyncScrollBar();
}

void CFossilMode::Leave() {
    if (QScrollBar* bar = m_ctx.VScrollBar()) {
        bar->hide();
    }
}

void CFossilMode::SetScrollRange() {
    const CQuorvaleDoc& doc = m_ctx.Doc();
    m_fossilBar =
        FossilScrollRange(static_cast<int>(doc.m_listFossils.size()), m_ctx.Cols(), m_ctx.Rows());
    m_nFirstFossil = 0;
    SyncScrollBar();
}

void CFossilMode::SyncScrollBar() {
    QScrollBar* bar = m_ctx.VScrollBar();
    if (!bar) {
        return;
    }
    // Qt's bar counts positions up to the last full page; its own arithmetic then matches
    // the clamping of the history's requests.
    const QSignalBlocker block(bar);
    const int top = std::max(m_fossilBar.nMin, m_fossilBar.nMax - m_fossilBar.nPage + 1);
    bar->setRange(m_fossilBar.nMin, top);
    bar->setPageStep(m_fossilBar.nPage);
    bar->setSingleStep(1);
    bar->setValue(m_fossilBar.nPos);
    bar->setEnabled(m_fossilBar.nMax - m_fossilBar.nMin + 1 > m_fossilBar.nPage);
}

void CFossilMode::Scroll(EScrollRequest request, int position) {
    const int pos = ScrollFossilPosition(m_fossilBar, request, position);
    if (pos == m_fossilBar.nPos) {
        SyncScrollBar();
        return;
    }
    m_fossilBar.nPos = pos;
    SyncScrollBar();
    m_nFirstFossil = pos * m_ctx.Cols();
    m_ctx.Invalidate();
}

void CFossilMode::TurnToPrintPage(int page) {
    m_nFirstFossil = (page - 1) * m_ctx.Rows() * m_ctx.Cols();
}

int CFossilMode::PrintPageCount() const {
    const int perPage = m_ctx.Rows() * m_ctx.Cols();
    const int fossils = static_cast<int>(m_ctx.Doc().m_listFossils.size());
    // An empty history still prints its one page of empty cells.
    return std::max(1, (fossils + perPage - 1) / perPage);
}

void CFossilMode::Render(QPainter& p, bool /*bPrinting*/) {
    const CQuorvaleDoc& doc = m_ctx.Doc();
    const int fossils = static_cast<int>(doc.m_listFossils.size());
    if (QScrollBar* bar = m_ctx.VScrollBar()) {
        bar->setVisible(fossils > m_ctx.Rows() * m_ctx.Cols());
    }
    p.fillRect(QRect(0, 0, m_ctx.ViewWidth(), m_ctx.ViewHeight()), Qt::white);
    m_ctx.DrawGridLines(p, kGridColour, m_ctx.ClientRect());
    const SGridGeometry grid = m_ctx.Grid();
    std::vector<SCellJob> jobs;
    int c = m_nFirstFossil;
    for (int row = 0; row < m_ctx.Rows(); ++row) {
        for (int col = 0; col < m_ctx.Cols(); ++col, ++c) {
            const SRect r = grid.CellRectAt(col, row);
            CBioMorph* morph = ListMorph(c);
            if (!morph) {
                p.fillRect(ToQRect(r), kGridColour);
            } else {
                FrameRect(p, r, Qt::black);
            }
            if (c < fossils) {
                p.save();
                p.setBackgroundMode(Qt::OpaqueMode);
                p.setBackground(Qt::white);
                p.setPen(Qt::black);
                p.setFont(QApplication::font());
                const QFontMetrics fm(p.font());
                p.drawText(QPoint(r.left + 2, r.top + 2 + fm.ascent()), QString::number(c + 1));
                p.restore();
            }
            if (morph) {
                jobs.push_back({morph, r, 1, Centre(r), m_ctx.Doc().m_nOrientation, m_ctx.Zoom()});
            }
        }
    }
    RenderCells(p, m_ctx.ViewRect(), jobs, m_ctx.CellThreads());
}

CBioMorph* CFossilMode::ListMorph(int index) const {
    const CMorphList& list = m_ctx.Doc().m_listFossils;
    if (index < 0 || static_cast<size_t>(index) >= list.size()) {
        return nullptr;
    }
    return list[static_cast<size_t>(index)].get();
}

CBioMorph* CFossilMode::MorphAt(QPoint point) const {
    const int fossils = static_cast<int>(m_ctx.Doc().m_listFossils.size());
    for (int i = m_nFirstFossil; i < fossils; ++i) {
        if (PtInCell(m_ctx.CellRect(i), point.x(), point.y())) {
            return ListMorph(i);
        }
    }
    return nullptr;
}

void CFossilMode::Move(QPoint point) {
    if (CBioMorph* morph = MorphAt(point)) {
        m_ctx.Genes().ShowGenes(morph);
    }
}

bool CFossilMode::Wheel(QWheelEvent* event) {
    event->accept();
    QScrollBar* bar = m_ctx.VScrollBar();
    if (!bar || bar->isHidden()) {
        return true;  // the whole history fits on the page
    }
    // Touchpads send small steps: a row per 120 units, however they come.
    m_nWheelDelta += event->angleDelta().y();
    while (std::abs(m_nWheelDelta) >= 120) {
        Scroll(m_nWheelDelta > 0 ? EScrollRequest::LineUp : EScrollRequest::LineDown, 0);
        m_nWheelDelta += m_nWheelDelta > 0 ? -120 : 120;
    }
    return true;
}
