#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

class CQuorvaleView;

// Repeat: while its box is checked, a step of the mode (a breeding step, or the last
// engineering change again) each interval, measured from the start of the last step. It runs
// when the program is otherwise idle: never inside a step, a menu or a dialog.
class CRepeatDriver : public QObject {
public:
    explicit CRepeatDriver(CQuorvaleView& view);

    // One step now, unless one is already running or Repeat is off.
    void Step();
    // One pass of the idle-time driver; true while Repeat runs in a mode that steps.
    bool Drive();
    // Wakes the driver when the next step is due (called when the box or the mode changes).
    void Schedule();
    // The view's clock was replaced: the interval counts from now on the new clock.
    void ClockChanged();

private:
    int Interval() const;

    CQuorvaleView& m_view;
    QTimer m_timer;
    uint32_t m_dwLastStepTick = 0;
    bool m_bInStep = false;
};
