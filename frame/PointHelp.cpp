#include "frame/PointHelp.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include "document/QuorvaleDoc.h"
#include "frame/CommandTable.h"
#include "frame/FrameDialogs.h"
#include "frame/GeneBar.h"
#include "platform/HelpContext.h"

namespace {
const char* const kIdlePrompt =
    "For help, press F1; or for \"point + click\" help press 'shift' + F1";
}  // namespace

CPointHelp::CPointHelp(QWidget* window, const CQuorvaleDoc& doc, IFrameDialogs*& dialogs,
                       QLabel* idlePrompt)
    : QObject(window), m_doc(doc), m_rDialogs(dialogs), m_pIdlePrompt(idlePrompt) {
    auto* help = new QAction(window);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, [this] { OnHelp(); });
    window->addAction(help);
    auto* pointHelp = new QAction(window);
    pointHelp->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    pointHelp->setShortcutContext(Qt::ApplicationShortcut);
    connect(pointHelp, &QAction::triggered, this, [this] { Enter(); });
    window->addAction(pointHelp);
    qApp->installEventFilter(this);
}

CPointHelp::~CPointHelp() {
    qApp->removeEventFilter(this);
    if (m_bPointHelp) {
        QApplication::restoreOverrideCursor();
    }
}

QString CPointHelp::IdlePromptText() {
    return tr(kIdlePrompt);
}

void CPointHelp::SetParts(const CCommandTable* commands, CGeneBar* geneBar, QWidget* view) {
    m_pCommands = commands;
    m_pGeneBar = geneBar;
    m_pView = view;
}

void CPointHelp::OnHelp() {
    if (m_doc.m_bSpecialGenesOpen) {
        ShowHelpTopic(kHelpTopicSpecialGenes);
    } else if (g_bMutationRateOpen) {
        ShowHelpTopic(kHelpTopicMutationRate);
    } else {
        ShowHelpTopic(kHelpTopicDefault);
    }
}

void CPointHelp::ShowHelpTopic(int topic) {
    m_nLastHelpTopic = topic;
    m_rDialogs->ShowHelp(topic);
}

void CPointHelp::Enter() {
    if (m_bPointHelp) {
        return;
    }
    m_bPointHelp = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
}

bool CPointHelp::TakeForHelp(int helpId) {
    if (!m_bPointHelp) {
        return false;
    }
    Finish(helpId);
    return true;
}

void CPointHelp::Finish(int id) {
    m_bPointHelp = false;
    QApplication::restoreOverrideCursor();
    ShowHelpTopic(HelpTopicForContext(static_cast<uint32_t>(id), m_doc.Mode()));
}

void CPointHelp::ShowFirstHint() {
    m_bFirstHint = true;
    m_pIdlePrompt->setText(tr("Click the creature you like best to breed from it"));
}

bool CPointHelp::eventFilter(QObject* watched, QEvent* event) {
    const auto isEnter = [event] {
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    };
    if (m_bFirstHint && watched == m_pView &&
        (event->type() == QEvent::MouseButtonPress ||
         (event->type() == QEvent::KeyPress && isEnter()))) {
        // The first click in the view, or Enter (the keyboard's click): the hint has done its
        // work.
        m_bFirstHint = false;
        m_pIdlePrompt->setText(IdlePromptText());
        emit firstHintDone();
    }
    // The window's keys do not reach a modal dialog, but F1 still asks for help there.
    if (event->type() == QEvent::KeyPress && QApplication::activeModalWidget() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier &&
        qobject_cast<QWidget*>(watched)) {
        OnHelp();
        return true;
    }
    if (!m_bPointHelp) {
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_bPointHelp = false;
        QApplication::restoreOverrideCursor();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m_pCommands) {
        // A greyed command is what a newcomer most wants explained; its menu does nothing
        // with the click, so the help is given here.
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            QAction* action =
                menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            const std::optional<ECommand> command = m_pCommands->CommandOf(action);
            if (action && !action->isEnabled() && command) {
                while (QWidget* popup = QApplication::activePopupWidget()) {
                    popup->close();
                }
                Finish(CCommandTable::HelpId(*command));
                return true;
            }
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* me = static_cast<QMouseEvent*>(event);
        if (widget && !qobject_cast<QMenu*>(widget) && !qobject_cast<QMenuBar*>(widget)) {
            int id = 0;
            if (m_pGeneBar && (widget == m_pGeneBar || m_pGeneBar->isAncestorOf(widget))) {
                id = m_pGeneBar->ControlIdAt(
                    m_pGeneBar->mapFromGlobal(me->globalPosition().toPoint()));
            }
            Finish(id);
            return true;
        }
    }
    return false;
}
