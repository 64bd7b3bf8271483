#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <iterator>

#include "frame/GeneBar.h"

// The gene bar's input: the keyboard's mark and steps, presses on the boxes and pictures, and
// a held press's auto-repeat.

namespace {
// The order in which presses test the boxes.
constexpr int kBoxTestOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
// Pictures that a press can cycle.
constexpr int kClickablePictures[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 14, 15, 16, 17, 18, 19};
// The boxes as they stand on the bar, left to right (the two symmetry boxes sit at the end):
// the order the keyboard moves through them.
constexpr int kVisualOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17, 18, 19, 12, 13};
constexpr int kBoxCount = static_cast<int>(std::size(kVisualOrder));

int PlaceOf(int gene) {
    for (int i = 0; i < kBoxCount; ++i) {
        if (kVisualOrder[i] == gene) {
            return i;
        }
    }
    return -1;
}
}  // namespace

int CGeneBar::NextReachableGene(int from, int step) const {
    // From no gene, the first (or last) one reachable.
    int i = from >= 1 ? PlaceOf(from) + step : (step > 0 ? 0 : kBoxCount - 1);
    for (; i >= 0 && i < kBoxCount; i += step) {
        if (KeyReaches(kVisualOrder[i])) {
            return kVisualOrder[i];
        }
    }
    return 0;
}
// ---------------------------------------------------------------------------------------
// The keyboard

bool CGeneBar::KeyReaches(int k) const {
    return k >= 1 && k <= kGeneCount && m_boxes[k]->isVisible() && BoxReacts(k);
}

void CGeneBar::MoveKeyFocus(int k) {
    for (int g = 1; g <= kGeneCount; ++g) {
        m_boxes[g]->SetFocusMark(g == k && hasFocus());
    }
    m_nKeyGene = k;
    if (hasFocus() && KeyReaches(k)) {
        // A screen reader announces the gene that now has the keyboard.
        QAccessibleEvent focus(m_boxes[k], QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

bool CGeneBar::focusNextPrevChild(bool bNext) {
    if (hasFocus() && m_nKeyGene >= 1) {
        if (const int k = NextReachableGene(m_nKeyGene, bNext ? 1 : -1)) {
            MoveKeyFocus(k);
            return true;
        }
    }
    return QWidget::focusNextPrevChild(bNext);
}

void CGeneBar::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Tab comes in at the first gene, Shift+Tab at the last; coming back to the window finds
    // the gene it left.
    const bool bBack = event->reason() == Qt::BacktabFocusReason;
    const bool bTab = bBack || event->reason() == Qt::TabFocusReason;
    int k = !bTab && KeyReaches(m_nKeyGene) ? m_nKeyGene : 0;
    if (k == 0) {
        k = NextReachableGene(0, bBack ? -1 : 1);
    }
    MoveKeyFocus(k);
}

void CGeneBar::focusOutEvent(QFocusEvent* event) {
    // The key's release goes elsewhere: the held key's change ends here.
    EndKeyPress();
    QWidget::focusOutEvent(event);
    MoveKeyFocus(m_nKeyGene);
}

void CGeneBar::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool bUp = key == Qt::Key_Up || key == Qt::Key_Plus;
    const bool bDown = key == Qt::Key_Down || key == Qt::Key_Minus;
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        // The arrows stay in the bar (only Tab leaves it at either end).
        if (const int k = NextReachableGene(m_nKeyGene, key == Qt::Key_Right ? 1 : -1)) {
            MoveKeyFocus(k);
        }
        event->accept();
        return;
    }
    if (key == Qt::Key_Space || key == Qt::Key_G) {
        // The keyboard's click on the gradient picture above the marked box.
        const bool bCycles = std::find(std::begin(kClickablePictures), std::end(kClickablePictures),
                                       m_nKeyGene) != std::end(kClickablePictures);
        if (m_bEditable && !IsRepeatChecked() && KeyReaches(m_nKeyGene) && bCycles) {
            if (!event->isAutoRepeat()) {
                emit pressStarted();
                CycleGradient(m_nKeyGene);
                emit pressEnded();
            }
        } else {
            emit beepRequested();
        }
        event->accept();
        return;
    }
    if (!bUp && !bDown) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The rules of a click on the box: editable only in Engineer mode, not while Repeat runs;
    // up is the left button's step, down the right's, Ctrl ten steps.
    if (m_bEditable && !IsRepeatChecked() && KeyReaches(m_nKeyGene)) {
        // A key held down repeats its step; from its press to its release it is one change.
        if (!event->isAutoRepeat() && !m_bPressOpen) {
            m_bPressOpen = true;
            m_nPressKey = key;
            emit pressStarted();
        }
        StepGene(m_nKeyGene, bUp ? Qt::LeftButton : Qt::RightButton, event->modifiers());
    } else {
        emit beepRequested();
    }
    event->accept();
}

void CGeneBar::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && m_nPressKey != 0 && event->key() == m_nPressKey) {
        EndKeyPress();
    }
    QWidget::keyReleaseEvent(event);
}

void CGeneBar::EndKeyPress() {
    if (m_nPressKey != 0) {
        m_nPressKey = 0;
        if (m_bPressOpen) {
            m_bPressOpen = false;
            emit pressEnded();
        }
    }
}

int CGeneBar::ControlIdAt(QPoint point) const {
    for (int k = 1; k <= kGeneCount; ++k) {
        if (m_boxes[k]->isVisible() && m_boxes[k]->geometry().contains(point)) {
            return kFirstBoxId + k - 1;
        }
        if (m_pictures[k]->isVisible() && m_pictures[k]->geometry().contains(point)) {
            return kFirstPictureId + k - 1;
        }
    }
    if (m_pRepeat->isVisible() && m_pRepeat->geometry().contains(point)) {
        return kRepeatId;
    }
    if (m_pHopeful->isVisible() && m_pHopeful->geometry().contains(point)) {
        return kHopefulId;
    }
    return rect().contains(point) ? kBarId : 0;
}

// ---------------------------------------------------------------------------------------
// Engineering

bool CGeneBar::BoxReacts(int k) const {
    // A greyed box still takes edits: only breeding leaves its gene alone.
    if (k <= 9) {
        return true;
    }
    if (k == kGeneSegments || k == kGeneSegmentDistance) {
        return IsPresent(kGeneSegments);
    }
    return IsPresent(k);
}

namespace {
bool StrictlyInside(const QRect& r, QPoint p) {
    return r.left() < p.x() && p.x() < r.left() + r.width() && r.top() < p.y() &&
           p.y() < r.top() + r.height();
}
}  // namespace

bool CGeneBar::ApplyClick(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers flags) {
    for (int k : kBoxTestOrder) {
        if (BoxReacts(k) && StrictlyInside(m_boxes[k]->geometry(), point)) {
            StepGene(k, button, flags);
            return true;
        }
    }
    if (button == Qt::RightButton) {
        return false;
    }
    for (int k : kClickablePictures) {
        if (StrictlyInside(m_pictures[k]->geometry(), point)) {
            CycleGradient(k);
            break;
        }
    }
    return false;
}

void CGeneBar::StepGene(int k, Qt::MouseButton button, Qt::KeyboardModifiers flags) {
    const bool bClamped =
        m_state.StepGene(k, button == Qt::LeftButton, flags.testFlag(Qt::ControlModifier));
    if (bClamped) {
        emit beepRequested();
    }
    RefreshBoxTexts();
    WriteBack();
}

void CGeneBar::WriteBack() {
    emit genesEdited(m_state.Genome());
}

void CGeneBar::CycleGradient(int k) {
    m_state.CycleGradient(k);
    RefreshBoxTexts();
    emit gradientsEdited(m_state.m_nGradient);
    RefreshIndicators();
}

void CGeneBar::mousePressEvent(QMouseEvent* event) {
    if (!m_bEditable || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_ptPress = event->position().toPoint();
    m_nPressButton = event->button();
    // With the keyboard here, the mark goes to the gene clicked, so keys go on from it.
    if (hasFocus()) {
        for (int k = 1; k <= kGeneCount; ++k) {
            if (KeyReaches(k) && (m_boxes[k]->geometry().contains(m_ptPress) ||
                                  m_pictures[k]->geometry().contains(m_ptPress))) {
                MoveKeyFocus(k);
                break;
            }
        }
    }
    m_nPressFlags = event->modifiers();
    // The bar is editable in Engineer mode only; Repeat running there takes no edits.
    if (!IsRepeatChecked()) {
        m_bPressOpen = true;
        emit pressStarted();
        if (ApplyClick(m_ptPress, m_nPressButton, m_nPressFlags)) {
            StartAutoRepeat();
        }
    }
    event->accept();
}

void CGeneBar::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click counts as a press of its own.
    mousePressEvent(event);
}

void CGeneBar::mouseReleaseEvent(QMouseEvent* event) {
    // Any release ends a running auto-repeat, even one whose editing was switched off
    // meanwhile (a mode change while the button was held).
    if (m_bEditable || m_nRepeatTimer != 0) {
        StopAutoRepeat();
    }
    if (m_bPressOpen) {
        m_bPressOpen = false;
        emit pressEnded();
    }
    QWidget::mouseReleaseEvent(event);
}

namespace {
// How often a held press asks the clock whether its next step is due.
constexpr int kAutoRepeatPollMs = 10;
}  // namespace

void CGeneBar::StartAutoRepeat() {
    m_nRepeatTimer = 11;
    m_dwRepeatFrom = m_pClock->TickCount();
    m_timer.start(kAutoRepeatPollMs);
}

void CGeneBar::StopAutoRepeat() {
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
    m_timer.stop();
    m_nRepeatTimer = 0;
}

void CGeneBar::AutoRepeatTick() {
    if (m_nRepeatTimer == 0 || IsRepeatChecked()) {
        return;
    }
    if (!m_bEditable) {
        StopAutoRepeat();
        return;
    }
    const uint32_t now = m_pClock->TickCount();
    const uint32_t elapsed = now - m_dwRepeatFrom;
    if (m_nRepeatTimer == 11) {
        if (elapsed < static_cast<uint32_t>(m_nFirstDelay)) {
            return;
        }
        if (QWidget::mouseGrabber() != this && isVisible()) {
            grabMouse();
        }
        m_nRepeatTimer = 22;
        m_dwRepeatFrom = now;
    } else if (m_nRepeatTimer == 22 && elapsed >= static_cast<uint32_t>(m_nRepeatPeriod)) {
        // One step a period; a late tick does not make up for the steps it missed.
        m_dwRepeatFrom = now;
        ApplyClick(m_ptPress, m_nPressButton, m_nPressFlags);
    }
}
