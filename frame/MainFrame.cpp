#include "frame/MainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QWhatsThis>

#include "frame/GeneBar.h"
#include "frame/QtFrameDialogs.h"
#include "platform/HelpContext.h"
#include "view/QuorvaleView.h"

CMainFrame::CMainFrame(CQuorvaleDoc* doc, QWidget* parent)
    : QMainWindow(parent),
      m_pDoc(doc),
      m_pQtDialogs(std::make_unique<CQtFrameDialogs>(this, doc, [this] { OnHelp(); })),
      m_pDialogs(m_pQtDialogs.get()) {
    setObjectName("mainFrame");
    // Right clicks on the bars show nothing; the view's context menu is the only one.
    setContextMenuPolicy(Qt::NoContextMenu);
    // A .bio file dropped on the window opens, or over a triangle corner loads that corner.
    setAcceptDrops(true);

    CreateGeneBar();
    CreateStatusBar();
    m_pHelp = new CPointHelp(this, *m_pDoc, m_pDialogs, m_pIdlePrompt);
    connect(m_pHelp, &CPointHelp::firstHintDone, this, &CMainFrame::firstHintDone);

    m_pView = new CQuorvaleView(m_pDoc, this);
    m_pView->setObjectName("view");
    setCentralWidget(m_pView);
    // The keyboard starts with the view; Tab takes it to the gene bar.
    m_pView->setFocus();
    m_pDoc->SetViewLink(m_pView);
    m_pDoc->SetMessageSink(this);
    m_pView->SetGeneBar(m_pGeneBar);
    m_pView->SetGeneDisplay(m_pGeneBar);
    m_pGeneBar->SetClock(&m_pView->Clock());
    connect(m_pView, &CQuorvaleView::contextMenuRequested, this, &CMainFrame::OnContextMenu);
    connect(m_pView, &CQuorvaleView::beepRequested, this, [] { QApplication::beep(); });
    connect(m_pView, &CQuorvaleView::ignoredWhileRepeating, this, [this] {
        statusBar()->showMessage(
            tr("Repeat is choosing for you: stop it (Ctrl+R) to choose by hand."), 3000);
    });
    connect(m_pView, &CQuorvaleView::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text, 8000); });
    connect(m_pView, &CQuorvaleView::documentChanged, this, &CMainFrame::RefreshModified);
    connect(m_pView, &CQuorvaleView::modeChanged, this, [this] { RefreshZoomLabel(); });
    connect(m_pView, &CQuorvaleView::clockChanged, this,
            [this] { m_pGeneBar->SetClock(&m_pView->Clock()); });

    CCommandTable::SHooks hooks;
    hooks.state = [this] { return CommandState(); };
    hooks.history = [this]() -> CUndoHistory& { return m_pView->History(); };
    hooks.takenForHelp = [this](ECommand command) {
        return m_pHelp->TakeForHelp(CCommandTable::HelpId(command));
    };
    m_pCommands = new CCommandTable(this, std::move(hooks));
    connect(m_pCommands, &CCommandTable::commandRan, this, [this] {
        RefreshModified();
        // After a command the keyboard is the view's again, so the arrows move over the grid
        // rather than along the genes.
        if (m_pGeneBar->hasFocus()) {
            m_pView->setFocus(Qt::OtherFocusReason);
        }
    });
    m_pDocuments = new CDocumentController(*m_pDoc, *m_pView, m_pDialogs, this);
    connect(m_pDocuments, &CDocumentController::recentFilesChanged, this,
            &CMainFrame::recentFilesChanged);
    connect(m_pDocuments, &CDocumentController::documentChanged, this, &CMainFrame::UpdateCaption);
    m_pPrinting = std::make_unique<CPrintJob>(*m_pView, m_pDialogs);
    m_pViewCommands = std::make_unique<CViewCommands>(*m_pDoc, *m_pView, *m_pGeneBar, m_pDialogs);
    WireCommands();

    // Click it, then a gene box or gradient picture: the help's own words on that gene.
    QAction* whatsThis = QWhatsThis::createAction(this);
    whatsThis->setShortcut(QKeySequence());  // Shift+F1 is point-and-click help
    whatsThis->setStatusTip(tr("Explain a gene box or gradient picture of the gene bar."));
    m_pCommands->CreateMenus(menuBar(), m_pDocuments->RecentActions(), whatsThis);
    m_pHelp->SetParts(m_pCommands, m_pGeneBar, m_pView);
    ConnectGeneBar();
    UpdateCaption();
}

CMainFrame::~CMainFrame() {
    m_pDoc->SetMessageSink(nullptr);
    m_pDoc->SetViewLink(nullptr);
}

void CMainFrame::CreateGeneBar() {
    // The gene bar along the top edge, fixed there.
    m_pGeneBar = new CGeneBar(this);
    m_pGeneBarDock = new QToolBar(tr("Genes"), this);
    m_pGeneBarDock->setObjectName("geneBarDock");
    m_pGeneBarDock->setMovable(false);
    m_pGeneBarDock->setFloatable(false);
    m_pGeneBarDock->setAllowedAreas(Qt::TopToolBarArea);
    m_pGeneBarDock->addWidget(m_pGeneBar);
    m_pGeneBarDock->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, m_pGeneBarDock);
}

void CMainFrame::CreateStatusBar() {
    m_pIdlePrompt = new QLabel(CPointHelp::IdlePromptText(), this);
    statusBar()->addWidget(m_pIdlePrompt, 1);
    // The zoom shows at the right of the status bar while it is not 1x.
    m_pZoomLabel = new QLabel(this);
    m_pZoomLabel->setObjectName("zoomLabel");
    m_pZoomLabel->setToolTip(tr("How large the creatures are drawn (View > Actual size: 1x)"));
    m_pZoomLabel->hide();
    statusBar()->addPermanentWidget(m_pZoomLabel);
    // While Repeat runs the status bar says so, however the menus' prompts come and go.
    m_pRepeatLabel = new QLabel(tr("Repeat is running: Ctrl+R or the Repeat box stops it"), this);
    m_pRepeatLabel->setObjectName("repeatLabel");
    m_pRepeatLabel->setStyleSheet(QStringLiteral(
        "QLabel { background-color: #1565c0; color: white; font-weight: bold; padding: 0 6px; }"));
    m_pRepeatLabel->hide();
    statusBar()->addPermanentWidget(m_pRepeatLabel);
}

void CMainFrame::ConnectGeneBar() {
    // The bar's buttons are commands like any other: the same rules, the same undo.
    connect(m_pGeneBar, &CGeneBar::hopefulClicked, this,
            [this] { RunCommand(ECommand::HopefulMonster); });
    connect(m_pGeneBar, &CGeneBar::repeatClicked, this, [this] { RunCommand(ECommand::Repeat); });
    // A press on the bar (a button or a key held down) is one change however much it edits.
    connect(m_pGeneBar, &CGeneBar::pressStarted, this,
            [this] { m_pView->History().BeginPress(EUndoKind::GeneEdit); });
    connect(m_pGeneBar, &CGeneBar::pressEnded, this, [this] { m_pView->History().EndPress(); });
    connect(m_pGeneBar, &CGeneBar::genesEdited, this, [this](const CGeneValues& genes) {
        m_pCommands->RunEdit(EUndoKind::GeneEdit, [&] { m_pViewCommands->ApplyGenes(genes); });
        RefreshModified();
    });
    connect(m_pGeneBar, &CGeneBar::gradientsEdited, this, [this](const GeneArray& gradients) {
        m_pCommands->RunEdit(EUndoKind::GeneEdit,
                             [&] { m_pViewCommands->ApplyGradients(gradients); });
        RefreshModified();
    });
    connect(m_pGeneBar, &CGeneBar::beepRequested, this, [] { QApplication::beep(); });
    connect(m_pGeneBar->RepeatButton(), &QPushButton::toggled, m_pRepeatLabel, &QLabel::setVisible);
}

void CMainFrame::WireCommands() {
    CDocumentController& files = *m_pDocuments;
    CViewCommands& view = *m_pViewCommands;
    CPrintJob& printing = *m_pPrinting;
    CQuorvaleDoc& doc = *m_pDoc;
    CQuorvaleView& v = *m_pView;
    const std::pair<ECommand, std::function<void()>> handlers[] = {
        {ECommand::FileNew, [&files] { files.New(); }},
        {ECommand::FileOpen, [&files] { files.Open(); }},
        {ECommand::FileSave, [&files] { files.Save(); }},
        {ECommand::FileSaveAs, [&files] { files.SaveAs(); }},
        {ECommand::FilePrint, [&printing] { printing.Print(); }},
        {ECommand::FilePrintSetup, [&printing] { printing.PrintSetup(); }},
        {ECommand::FileExit, [this] { close(); }},
        {ECommand::EditCopy, [&view] { view.Copy(); }},
        {ECommand::EditCopyScreen, [&v] { v.CopyToClipboard(nullptr, nullptr); }},
        {ECommand::EditPaste, [&view] { view.Paste(); }},
        {ECommand::PasteTriangleTop, [&view, &doc] { view.PasteInto(*doc.m_pTriTop); }},
        {ECommand::PasteTriangleLeft, [&view, &doc] { view.PasteInto(*doc.m_pTriLeft); }},
        {ECommand::PasteTriangleRight, [&view, &doc] { view.PasteInto(*doc.m_pTriRight); }},
        {ECommand::AddRow, [&v] { v.AddRows(); }},
        {ECommand::RemoveRow, [&v] { v.RemoveRows(); }},
        {ECommand::AddColumn, [&v] { v.AddColumns(); }},
        {ECommand::RemoveColumn, [&v] { v.RemoveColumns(); }},
        {ECommand::Breed, [&view] { view.Breed(); }},
        {ECommand::Engineer, [&view] { view.Engineer(); }},
        {ECommand::Repeat, [&view] { view.ToggleRepeat(); }},
        {ECommand::HopefulMonster, [&view] { view.HopefulMonster(); }},
        {ECommand::Rotate, [&view] { view.Rotate(); }},
        {ECommand::SpecialGenes, [&view] { view.SpecialGenes(); }},
        {ECommand::MutationRate, [&view] { view.MutationRate(); }},
        {ECommand::GeneSpace, [&view] { view.GeneSpace(); }},
        {ECommand::TriangleNewTop, [&files, &doc] { files.LoadCorner(*doc.m_pTriTop); }},
        {ECommand::TriangleNewLeft, [&files, &doc] { files.LoadCorner(*doc.m_pTriLeft); }},
        {ECommand::TriangleNewRight, [&files, &doc] { files.LoadCorner(*doc.m_pTriRight); }},
        {ECommand::TriangleClear, [&view] { view.TriangleClear(); }},
        {ECommand::FamilyTree, [&view] { view.FamilyTree(); }},
        {ECommand::FamilyCreate, [&v] { v.SetFamilyTool(EFamilyTool::Create); }},
        {ECommand::FamilyDestroy, [&v] { v.SetFamilyTool(EFamilyTool::Destroy); }},
        {ECommand::FamilyClear, [&view] { view.FamilyClear(); }},
        {ECommand::FossilHistory, [&view] { view.FossilHistory(); }},
        {ECommand::FossilNewHistory, [&view] { view.NewHistory(); }},
        {ECommand::FossilRecord, [&doc] { doc.OnRecord(); }},
        {ECommand::FossilStop, [&doc] { doc.OnStop(); }},
        {ECommand::HelpTopics, [this] { m_pHelp->ShowHelpTopic(kHelpTopicDefault); }},
        {ECommand::HelpAbout, [this] { Dialogs().ShowAbout(); }},
        {ECommand::ContextSave, [&files] { files.SaveAs(); }},
        {ECommand::ContextCopy, [&view] { view.ContextCopy(); }},
        {ECommand::FileExportPicture, [&printing] { printing.Export(nullptr); }},
        // From a morph's menu, that morph alone; over no morph, the whole view.
        {ECommand::ContextExport, [&printing, &view] { printing.Export(view.ContextMorph()); }},
        {ECommand::ViewFullScreen, [this] { ToggleFullScreen(); }},
        {ECommand::EditUndo, [this] { UndoOrRedo(true); }},
        {ECommand::EditRedo, [this] { UndoOrRedo(false); }},
        {ECommand::ViewZoomIn, [this] { SetZoom(m_pView->Zoom() + 1); }},
        {ECommand::ViewZoomOut, [this] { SetZoom(m_pView->Zoom() - 1); }},
        {ECommand::ViewActualSize, [this] { SetZoom(1); }},
    };
    for (const auto& [command, handler] : handlers) {
        m_pCommands->SetHandler(command, handler);
    }
    for (QAction* recent : m_pDocuments->RecentActions()) {
        connect(recent, &QAction::triggered, this, [this, recent] {
            if (m_pHelp->TakeForHelp(0)) {
                return;
            }
            m_pDocuments->OpenRecentFile(recent->data().toString());
        });
    }
}

void CMainFrame::UndoOrRedo(bool bUndo) {
    CUndoHistory& history = m_pView->History();
    QUndoStack& stack = history.Stack();
    const int before = stack.index();
    if (bUndo) {
        history.Undo();
    } else {
        history.Redo();
    }
    m_pCommands->RefreshUndoTexts();
    // The status bar says what was taken back or made again, whichever mode it was made in.
    if (stack.index() != before) {
        const QUndoCommand* done = stack.command(bUndo ? stack.index() : stack.index() - 1);
        if (done) {
            statusBar()->showMessage(
                (bUndo ? tr("Undone: %1") : tr("Redone: %1")).arg(done->text()), 5000);
        }
    }
}

SCommandState CMainFrame::CommandState() const {
    SCommandState s;
    s.nMode = m_pDoc->Mode();
    s.bRecording = m_pDoc->m_bRecording != 0;
    s.nFossils = m_pDoc->m_listFossils.size();
    s.nRows = m_pView->Rows();
    s.nCols = m_pView->Cols();
    s.bClipboardHasMorph = m_pView->ClipboardHasMorph();
    s.bRepeatChecked = m_pGeneBar->IsRepeatChecked();
    s.nFamilyTool = m_pView->FamilyTool();
    s.bFullScreen = isFullScreen();
    s.bCanUndo = m_pView->History().CanUndo();
    s.bCanRedo = m_pView->History().CanRedo();
    s.bAnimating = m_pView->IsAnimating();
    s.nZoom = m_pView->Zoom();
    return s;
}

void CMainFrame::UpdateCaption() {
    setWindowTitle(QString::fromStdString(m_pDoc->Title()) + "[*] - Quorvale");
    RefreshModified();
}

void CMainFrame::RefreshModified() {
    setWindowModified(m_pDoc->IsModified());
}

void CMainFrame::ShowError(const std::string& text) {
    Dialogs().ShowMessage(QString::fromStdString(text));
}

void CMainFrame::SetZoom(int zoom) {
    zoom = std::clamp(zoom, 1, kMaxZoom);
    if (zoom != m_pView->Zoom()) {
        m_pView->SetZoom(zoom);
        emit zoomChanged(zoom);
    }
    RefreshZoomLabel();
}

void CMainFrame::RefreshZoomLabel() {
    // The family tree is drawn at one size, so the label would only mislead there.
    const int zoom = m_pView->Zoom();
    m_pZoomLabel->setText(tr("Zoom %1x").arg(zoom));
    m_pZoomLabel->setVisible(zoom > 1 && m_pDoc->Mode() != kModeFamily);
}

void CMainFrame::ToggleFullScreen() {
    if (isFullScreen()) {
        // Back to how the window was before, maximised or not.
        if (m_bWasMaximized) {
            showMaximized();
        } else {
            showNormal();
        }
    } else {
        m_bWasMaximized = isMaximized();
        showFullScreen();
    }
}

void CMainFrame::OnContextMenu(const QPoint& globalPos) {
    if (!m_pView->OffersContextMenuAt(m_pView->mapFromGlobal(globalPos))) {
        return;
    }
    QMenu* menu = ContextMenu();
    for (QAction* a : menu->actions()) {
        a->setEnabled(true);
    }
    // The point and the skip are kept before a chosen command runs (Qt runs it inside exec),
    // and whether or not anything is chosen.
    m_pView->SetContextMenuPoint(globalPos);
    m_pView->SetSkipClick(true);
    // Only the press that closed the menu is swallowed; after Esc or a chosen command the
    // next click is the user's own.
    if (!Dialogs().ExecContextMenu(menu, globalPos)) {
        m_pView->SetSkipClick(false);
    }
}

void CMainFrame::mousePressEvent(QMouseEvent* event) {
    // Only a press on the frame's own surface counts, not one passed up from the view or a bar.
    QWidget* child = childAt(event->position().toPoint());
    if (m_pView->SkipsClick() && (child == nullptr || child == this)) {
        m_pView->SetSkipClick(false);
        return;
    }
    QMainWindow::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------
// Drops

bool CMainFrame::AcceptsDrag(const QDropEvent* event) const {
    // A morph dragged out of the view is for other programs: dropped back, it would only
    // open a copy of itself over the document.
    return event->source() != m_pView &&
           !CDocumentController::DraggedFile(event->mimeData()).isEmpty();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrag(event)) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDrag(event)) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    if (!AcceptsDrag(event)) {
        return;
    }
    event->acceptProposedAction();
    m_pDocuments->DropFile(CDocumentController::DraggedFile(event->mimeData()),
                           m_pView->mapFrom(this, event->position().toPoint()));
}

// ---------------------------------------------------------------------------------------

void CMainFrame::resizeEvent(QResizeEvent* event) {
    m_pGeneBar->SetAvailableWidth(event->size().width());
    QMainWindow::resizeEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Repeat goes on while the question is open (it waits for the dialog), and after Cancel.
    if (!MaybeSaveChanges()) {
        event->ignore();
        return;
    }
    m_pGeneBar->SetRepeatChecked(false);
    g_bAbortReveal = true;
    QMainWindow::closeEvent(event);
}
