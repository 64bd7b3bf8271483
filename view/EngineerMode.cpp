#include "view/EngineerMode.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>

#include "platform/QtSurface.h"
#include "view/CellRenderer.h"
#include "view/ModeContext.h"

void CEngineerMode::Enter() {
    IGeneBarControls& bar = m_ctx.Bar();
    bar.SetRepeatChecked(false);
    bar.EnableRepeat(false);
    m_ctx.Genes().ShowGenes(m_ctx.Doc().m_pCurrent.get());
}

void CEngineerMode::RepeatStep() {
    m_ctx.RepeatLastEvolve();
    m_ctx.Invalidate();
}

void CEngineerMode::Render(QPainter& p, bool /*bPrinting*/) {
    const int w = m_ctx.ViewWidth();
    const int h = m_ctx.ViewHeight();
    p.fillRect(QRect(0, 0, w, h), Qt::white);
    CQuorvaleDoc& doc = m_ctx.Doc();
    RunDrawing([&] {
        CQtSurface surface(p, QRect(0, 0, w, h));
        DrawMorphZoomed(surface, *doc.m_pCurrent, w / 2, h / 2, doc.m_nOrientation, m_ctx.Zoom());
    });
}

CBioMorph* CEngineerMode::MorphAt(QPoint /*point*/) const {
    return m_ctx.Doc().m_pCurrent.get();
}

void CEngineerMode::Press(QPoint /*point*/) {
    Click();
}

void CEngineerMode::Click() {
    CQuorvaleDoc& doc = m_ctx.Doc();
    doc.m_pCurrent->Mutate(doc.m_fMutationRate);
    m_ctx.SetLastEvolve(evolveMutate);
    if (!m_ctx.Bar().IsRepeatEnabled()) {
        m_ctx.Bar().EnableRepeat(true);
    }
    m_ctx.RecordFossil(*doc.m_pCurrent);
    m_ctx.Genes().ShowGenes(doc.m_pCurrent.get());
    m_ctx.Invalidate();
    // A nudge of the pointer, so the bar shows the mutant under it at once.
    QCursor::setPos(QCursor::pos() + QPoint(1, 0));
}

bool CEngineerMode::KeyRelease(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        return false;
    }
    CQuorvaleDoc& doc = m_ctx.Doc();
    doc.m_pCurrent->Mutate(doc.m_fMutationRate);
    m_ctx.Invalidate();
    m_ctx.SetLastEvolve(evolveMutate);
    return true;
}
