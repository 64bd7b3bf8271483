#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QEvent;
class QWidget;

// While a breeding step animates, input is held back rather than acted on: a click or key
// would otherwise start a command in the middle of the step. Mouse input to the animated
// widget is dropped (clicks made during the animation are lost, not queued); Esc calls the
// escape action at once; everything else (menus, keys, the Repeat box, the close box) is kept
// and handed on, in order, when the guard goes.
class CAnimationInputGuard : public QObject {
public:
    CAnimationInputGuard(QWidget* animated, std::function<void()> onEscape);
    ~CAnimationInputGuard() override;
    CAnimationInputGuard(const CAnimationInputGuard&) = delete;
    CAnimationInputGuard& operator=(const CAnimationInputGuard&) = delete;

    // How many events are held to be handed on.
    size_t HeldCount() const { return m_held.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsAnimated(QObject* watched) const;
    bool Hold(QObject* watched, QEvent* event);

    QPointer<QWidget> m_pAnimated;
    std::function<void()> m_onEscape;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};
