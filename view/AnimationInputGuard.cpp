#include "view/AnimationInputGuard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

CAnimationInputGuard::CAnimationInputGuard(QWidget* animated, std::function<void()> onEscape)
    : m_pAnimated(animated), m_onEscape(std::move(onEscape)) {
    QCoreApplication::instance()->installEventFilter(this);
}

CAnimationInputGuard::~CAnimationInputGuard() {
    // Input that arrived after the last look is judged the same way before letting go.
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(this);
    for (auto& [receiver, event] : m_held) {
        if (!receiver) {
            continue;
        }
        if (event->type() == QEvent::Close) {
            // A window closes by close(), not by a close event alone.
            if (auto* widget = qobject_cast<QWidget*>(receiver.data())) {
                QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
            }
            continue;
        }
        QCoreApplication::postEvent(receiver, event.release());
    }
}

bool CAnimationInputGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                if (m_onEscape) {
                    m_onEscape();
                }
                return true;
            }
            // Enter on the animated view breeds, as a click there does: dropped like its clicks.
            if (IsAnimated(watched) && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter)) {
                return true;
            }
            return Hold(watched, event);
        case QEvent::ShortcutOverride:
            // Not overridden: a matching shortcut then arrives as a Shortcut event.
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            if (IsAnimated(watched)) {
                return true;
            }
            return Hold(watched, event);
        case QEvent::MouseMove:
            return qobject_cast<QWidget*>(watched) != nullptr;
        case QEvent::Close:
            // A close event left accepted would close the window even though it is held.
            event->ignore();
            return Hold(watched, event);
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
            return Hold(watched, event);
        default:
            return false;
    }
}

bool CAnimationInputGuard::IsAnimated(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && m_pAnimated && (widget == m_pAnimated || m_pAnimated->isAncestorOf(widget));
}

// Widget-level events are kept; the window passes the rest on to a widget first.
bool CAnimationInputGuard::Hold(QObject* watched, QEvent* event) {
    if (watched->isWidgetType() || event->type() == QEvent::Shortcut) {
        m_held.emplace_back(QPointer<QObject>(watched), std::unique_ptr<QEvent>(event->clone()));
        return true;
    }
    return false;
}
