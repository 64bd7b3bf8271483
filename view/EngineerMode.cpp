#include "view/EngineerMode.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>

#include "model/GeneDisplay.h"
#include "platform/QtSurface.h"
#include "view/CellRenderer.h"
#include "view/QuorvaleView.h"

void CEngineerMode::Enter() {
    IGeneBarControls& bar = m_view.Bar();
    bar.SetRepeatChecked(false);
    bar.EnableRepeat(false);
    GeneDisplay().ShowGenes(m_view.Doc().m_pCurrent.get());
}

void CEngineerMode::RepeatStep() {
    m_view.RepeatLastEvolve();
    m_view.Invalidate();
}

void CEngineerMode::Render(QPainter& p, bool /*bPrinting*/) {
    const int w = m_view.width();
    const int h = m_view.height();
    p.fillRect(QRect(0, 0, w, h), Qt::white);
    CQuorvaleDoc& doc = m_view.Doc();
    RunDrawing([&] {
        CQtSurface surface(p, QRect(0, 0, w, h));
        DrawMorphZoomed(surface, *doc.m_pCurrent, w / 2, h / 2, doc.m_nOrientation, m_view.Zoom());
    });
}

CBioMorph* CEngineerMode::MorphAt(QPoint /*point*/) const {
    return m_view.Doc().m_pCurrent.get();
}

void CEngineerMode::Press(QPoint /*point*/) {
    Click();
}

void CEngineerMode::Click() {
    CQuorvaleDoc& doc = m_view.Doc();
    doc.m_pCurrent->Mutate(doc.m_fMutationRate);
    m_view.SetLastEvolve(evolveMutate);
    if (!m_view.Bar().IsRepeatEnabled()) {
        m_view.Bar().EnableRepeat(true);
    }
    m_view.RecordFossil(*doc.m_pCurrent);
    GeneDisplay().ShowGenes(doc.m_pCurrent.get());
    m_view.Invalidate();
    // A nudge of the pointer, so the bar shows the mutant under it at once.
    QCursor::setPos(QCursor::pos() + QPoint(1, 0));
}

bool CEngineerMode::KeyRelease(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        return false;
    }
    CQuorvaleDoc& doc = m_view.Doc();
    doc.m_pCurrent->Mutate(doc.m_fMutationRate);
    m_view.Invalidate();
    m_view.SetLastEvolve(evolveMutate);
    return true;
}
