#include "view/RepeatDriver.h"

#include <QApplication>

#include "view/QuorvaleView.h"
#include "view/RepeatTiming.h"
#include "view/UndoHistory.h"

CRepeatDriver::CRepeatDriver(CQuorvaleView& view) : m_view(view) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        // Not while a menu or a dialog is open.
        if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
            m_timer.start(50);
            return;
        }
        if (Drive()) {
            Schedule();
        }
    });
}

void CRepeatDriver::ClockChanged() {
    m_dwLastStepTick = m_view.Clock().TickCount();
}

int CRepeatDriver::Interval() const {
    return RepeatInterval(m_view.Doc().m_nMode, m_view.LastEvolve());
}

void CRepeatDriver::Step() {
    // Never inside a step or an animation already running: checking the box then only
    // schedules the next step.
    if (!m_view.Bar().IsRepeatChecked() || m_bInStep || m_view.IsAnimating()) {
        return;
    }
    m_bInStep = true;
    m_dwLastStepTick = m_view.Clock().TickCount();
    m_view.History().RepeatStep();
    m_view.StepMode();
    m_view.RecordFossil(*m_view.Doc().m_pCurrent);
    m_bInStep = false;
    emit m_view.documentChanged();
}

bool CRepeatDriver::Drive() {
    const int interval = Interval();
    if (interval == 0 || !m_view.Bar().IsRepeatChecked()) {
        return false;
    }
    if (RepeatStepDue(m_view.Clock().TickCount(), m_dwLastStepTick, interval)) {
        Step();
    }
    return true;
}

void CRepeatDriver::Schedule() {
    const int interval = Interval();
    if (interval == 0 || !m_view.Bar().IsRepeatChecked()) {
        m_timer.stop();
        return;
    }
    const uint32_t elapsed = m_view.Clock().TickCount() - m_dwLastStepTick;
    const int wait =
        elapsed > static_cast<uint32_t>(interval) ? 0 : interval - static_cast<int>(elapsed) + 1;
    m_timer.start(wait);
}
