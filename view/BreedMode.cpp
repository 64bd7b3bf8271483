#include "view/BreedMode.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "model/Random.h"
#include "view/CellRenderer.h"
#include "view/ModeContext.h"
#include "view/ViewPainting.h"

void CBreedMode::Enter() {
    CQuorvaleDoc& doc = m_ctx.Doc();
    m_ctx.Genes().ShowGenes(doc.m_pCurrent.get());
    doc.RespawnOffspring();
    m_ctx.Bar().ShowRepeat(true);
    m_ctx.Bar().EnableRepeat(true);
}

void CBreedMode::RepeatStep() {
    BreedFromCell(static_cast<int>(NextRandom() % (m_ctx.Rows() * m_ctx.Cols())));
}

void CBreedMode::Render(QPainter& p, bool /*bPrinting*/) {
    p.fillRect(QRect(0, 0, m_ctx.ViewWidth(), m_ctx.ViewHeight()), Qt::white);
    m_ctx.DrawGridLines(p, kGridColour, m_ctx.ClientRect());
    const SGridGeometry grid = m_ctx.Grid();
    const int parentCell = m_ctx.ParentCell();
    // Frames first; the morphs, each inside its own cell, are then drawn together.
    std::vector<SCellJob> jobs;
    int c = 0;
    for (int row = 0; row < m_ctx.Rows(); ++row) {
        for (int col = 0; col < m_ctx.Cols(); ++col, ++c) {
            const SRect r = grid.CellRectAt(col, row);
            if (c == parentCell) {
                FrameRect(p, r.Inflated(1), kParentFrame);
                FrameRect(p, r, kParentFrame);
            } else {
                FrameRect(p, r, Qt::black);
            }
            if (CBioMorph* morph = CellMorph(c)) {
                jobs.push_back({morph, r, 1, Centre(r), m_ctx.Doc().m_nOrientation, m_ctx.Zoom()});
            }
        }
    }
    RenderCells(p, m_ctx.ViewRect(), jobs, m_ctx.CellThreads());
}

CBioMorph* CBreedMode::ListMorph(int index) const {
    const CMorphList& list = m_ctx.Doc().m_listOffspring;
    if (index < 0 || static_cast<size_t>(index) >= list.size()) {
        return nullptr;
    }
    return list[static_cast<size_t>(index)].get();
}

CBioMorph* CBreedMode::CellMorph(int cell) const {
    const int parentCell = m_ctx.ParentCell();
    if (cell == parentCell) {
        return m_ctx.Doc().m_pCurrent.get();
    }
    return ListMorph(cell < parentCell ? cell : cell - 1);
}

void CBreedMode::Pasted() {
    // The offspring are bred anew from the pasted parent.
    m_ctx.Doc().RespawnOffspring();
}

int CBreedMode::CellAt(QPoint point) const {
    for (int i = 0; i < m_ctx.Rows() * m_ctx.Cols(); ++i) {
        if (PtInCell(m_ctx.CellRect(i), point.x(), point.y())) {
            return i;
        }
    }
    return -1;
}

CBioMorph* CBreedMode::MorphAt(QPoint point) const {
    const int cell = CellAt(point);
    return cell < 0 ? nullptr : m_ctx.CellMorph(cell);
}

void CBreedMode::Press(QPoint point) {
    const int cell = CellAt(point);
    if (cell < 0) {
        return;
    }
    BreedFromCell(cell);
    m_ctx.Genes().ShowGenes(m_ctx.Doc().m_pCurrent.get());
    m_ctx.RecordFossil(*m_ctx.Doc().m_pCurrent);
}

void CBreedMode::Move(QPoint point) {
    if (CBioMorph* morph = MorphAt(point)) {
        // The bar compares and repaints only the boxes and pictures that differ.
        m_ctx.Genes().ShowGenes(morph);
    }
}

void CBreedMode::Leave() {
    m_nKeyCell = -1;
}

int CBreedMode::KeyCell() const {
    // Rows and columns may have gone since the cell was marked.
    return m_nKeyCell < m_ctx.Rows() * m_ctx.Cols() ? m_nKeyCell : -1;
}

void CBreedMode::SetKeyCell(int cell) {
    const auto repaint = [this](int c) {
        if (c >= 0) {
            const SRect r = m_ctx.CellRect(c).Inflated(2);
            m_ctx.UpdateRect(QRect(r.left, r.top, r.Width(), r.Height()));
        }
    };
    repaint(KeyCell());
    m_nKeyCell = cell;
    repaint(cell);
    if (CBioMorph* morph = CellMorph(cell)) {
        m_ctx.Genes().ShowGenes(morph);
    }
}

bool CBreedMode::KeyPress(QKeyEvent* event) {
    const int cols = m_ctx.Cols();
    const int rows = m_ctx.Rows();
    // The first key marks the parent's cell, the natural place to start from.
    const int cell = KeyCell() < 0 ? m_ctx.ParentCell() : KeyCell();
    int col = cell % cols;
    int row = cell / cols;
    switch (event->key()) {
        case Qt::Key_Left:
            col = std::max(col - 1, 0);
            break;
        case Qt::Key_Right:
            col = std::min(col + 1, cols - 1);
            break;
        case Qt::Key_Up:
            row = std::max(row - 1, 0);
            break;
        case Qt::Key_Down:
            row = std::min(row + 1, rows - 1);
            break;
        case Qt::Key_Home:
            SetKeyCell(m_ctx.ParentCell());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // A held key breeds once, not once for each of its repeats.
            if (event->isAutoRepeat()) {
                return true;
            }
            if (KeyCell() < 0) {
                SetKeyCell(cell);
                return true;
            }
            const SRect r = m_ctx.CellRect(cell);
            if (m_ctx.PressAsClick(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2))) {
                // The chosen morph is now the parent, in the parent's cell.
                SetKeyCell(m_ctx.ParentCell());
            }
            return true;
        }
        default:
            return false;
    }
    SetKeyCell(row * cols + col);
    return true;
}

std::optional<QPoint> CBreedMode::KeyboardPoint() const {
    const int cell = KeyCell();
    if (cell < 0) {
        return std::nullopt;
    }
    const SRect r = m_ctx.CellRect(cell);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void CBreedMode::MousePressed() {
    SetKeyCell(-1);
}

void CBreedMode::DrawOverlay(QPainter& painter) const {
    const int cell = KeyCell();
    if (cell < 0) {
        return;
    }
    const SRect r = m_ctx.CellRect(cell);
    painter.setPen(QPen(QColor(0, 102, 204), 3, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(r.left + 4, r.top + 4, r.Width() - 8, r.Height() - 8));
}
