#include "platform/HelpViewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/HelpContext.h"

namespace {

QToolButton* MakeButton(QWidget* pParent, const QString& strText, QStyle::StandardPixmap icon) {
    auto* pButton = new QToolButton(pParent);
    pButton->setText(strText);
    pButton->setIcon(pParent->style()->standardIcon(icon));
    pButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    pButton->setAutoRaise(true);
    return pButton;
}

}  // namespace

CHelpViewer::CHelpViewer(QWidget* pParent) : QWidget(pParent, Qt::Window) {
    setWindowTitle(tr("Quorvale Help"));
    setObjectName(QStringLiteral("HelpViewer"));
    // An open help window must not keep the program running once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_pBack = MakeButton(this, tr("Back"), QStyle::SP_ArrowBack);
    m_pForward = MakeButton(this, tr("Forward"), QStyle::SP_ArrowForward);
    m_pHome = MakeButton(this, tr("Home"), QStyle::SP_DirHomeIcon);
    m_pContents = MakeButton(this, tr("Contents"), QStyle::SP_FileDialogContentsView);
    m_pBack->setShortcut(QKeySequence::Back);
    m_pForward->setShortcut(QKeySequence::Forward);

    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(false);
    m_pBrowser->setSearchPaths({QStringLiteral(":/help")});
    m_pBrowser->document()->setDocumentMargin(12);

    auto* pButtons = new QHBoxLayout;
    pButtons->setContentsMargins(4, 4, 4, 0);
    pButtons->addWidget(m_pBack);
    pButtons->addWidget(m_pForward);
    pButtons->addSpacing(12);
    pButtons->addWidget(m_pHome);
    pButtons->addWidget(m_pContents);
    pButtons->addStretch(1);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(2);
    pLayout->addLayout(pButtons);
    pLayout->addWidget(m_pBrowser, 1);

    connect(m_pBack, &QToolButton::clicked, m_pBrowser, &QTextBrowser::backward);
    connect(m_pForward, &QToolButton::clicked, m_pBrowser, &QTextBrowser::forward);
    connect(m_pHome, &QToolButton::clicked, this,
            [this] { ShowPage(QUrl(QString::fromLatin1(kHelpIndexPage))); });
    connect(m_pContents, &QToolButton::clicked, this,
            [this] { ShowPage(QUrl(QString::fromLatin1(kHelpContentsPage))); });
    connect(m_pBrowser, &QTextBrowser::historyChanged, this, &CHelpViewer::UpdateButtons);

    auto* pClose = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(pClose, &QShortcut::activated, this, &QWidget::close);

    resize(760, 600);
    UpdateButtons();
}

CHelpViewer* CHelpViewer::Instance() {
    static QPointer<CHelpViewer> s_pViewer;
    if (s_pViewer.isNull()) {
        s_pViewer = new CHelpViewer;
        // Windows must go before the application object does.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, s_pViewer.data(),
                         [] { delete s_pViewer.data(); });
    }
    return s_pViewer.data();
}

void CHelpViewer::ShowTopic(int topic) {
    m_nLastTopic = topic;
    ShowPage(QUrl(QString::fromLatin1(HelpPageForTopic(topic))));
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    KeepUsableBesideModalDialog();
    raise();
    activateWindow();
}

QString CHelpViewer::CurrentSource() const {
    return m_pBrowser->source().toString();
}

void CHelpViewer::ShowPage(const QUrl& url) {
    if (m_pBrowser->source() == url) {
        // Asked again for the page on show: go back to its anchor, or to its top.
        if (url.hasFragment()) {
            m_pBrowser->scrollToAnchor(url.fragment());
        } else {
            m_pBrowser->verticalScrollBar()->setValue(0);
        }
        return;
    }
    m_pBrowser->setSource(url);
}

void CHelpViewer::UpdateButtons() {
    m_pBack->setEnabled(m_pBrowser->isBackwardAvailable());
    m_pForward->setEnabled(m_pBrowser->isForwardAvailable());
}

// The settings dialogs are modal and open the help with F1. A modal dialog blocks every window
// that is not its own, so while one is open the help window becomes one of the dialog's
// transient windows and stays usable; otherwise it belongs to its owner again.
void CHelpViewer::KeepUsableBesideModalDialog() {
    QWindow* pWindow = windowHandle();
    if (pWindow == nullptr) {
        return;
    }
    QWidget* pModal = QApplication::activeModalWidget();
    QWindow* pTransientParent = nullptr;
    if (pModal != nullptr && pModal != this) {
        pTransientParent = pModal->window()->windowHandle();
    } else if (parentWidget() != nullptr) {
        pTransientParent = parentWidget()->window()->windowHandle();
    }
    if (pWindow->transientParent() != pTransientParent) {
        pWindow->setTransientParent(pTransientParent);
    }
}
