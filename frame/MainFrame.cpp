#include "frame/MainFrame.h"

#include <sys/stat.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include "document/BioFile.h"
#include "document/FileIo.h"
#include "frame/FileNames.h"
#include "frame/GeneBar.h"
#include "frame/QtFrameDialogs.h"
#include "model/GeneDisplay.h"
#include "platform/HelpContext.h"
#include "view/QuorvaleView.h"

namespace {

// Lets the pointer rest on a greyed menu item, so that its status-bar prompt still says what
// the command would do.
class CMenuStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_Menu_AllowActiveAndDisabled) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// How near a triangle corner (in pixels, across plus down) a dropped file loads that corner.
constexpr int kCornerDropReach = 90;

const char* const kIdlePrompt =
    "For help, press F1; or for \"point + click\" help press 'shift' + F1";

}  // namespace

CMainFrame::CMainFrame(CQuorvaleDoc* doc, QWidget* parent)
    : QMainWindow(parent),
      m_pDoc(doc),
      m_pQtDialogs(std::make_unique<CQtFrameDialogs>(this)),
      m_pDialogs(m_pQtDialogs.get()) {
    g_bRemeasure = 0;
    setObjectName("mainFrame");
    // Right clicks on the bars show nothing; the view's context menu is the only one.
    setContextMenuPolicy(Qt::NoContextMenu);
    // A .bio file dropped on the window opens, or over a triangle corner loads that corner.
    setAcceptDrops(true);

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
    SetGeneDisplay(m_pGeneBar);
    connect(m_pGeneBar, &CGeneBar::genesEdited, this, &CMainFrame::ApplyGenesToCurrent);
    connect(m_pGeneBar, &CGeneBar::gradientsEdited, this, &CMainFrame::ApplyGradientsToCurrent);
    connect(m_pGeneBar, &CGeneBar::pressStarted, this, [this] {
        if (m_bBarPress) {
            m_pView->History().Commit(EUndoKind::GeneEdit);
        }
        m_bBarPress = true;
        m_pView->History().Begin();
    });
    connect(m_pGeneBar, &CGeneBar::pressEnded, this, [this] {
        if (m_bBarPress) {
            m_bBarPress = false;
            m_pView->History().Commit(EUndoKind::GeneEdit);
        }
    });
    connect(m_pGeneBar, &CGeneBar::hopefulClicked, this, &CMainFrame::OnHopefulMonster);
    connect(m_pGeneBar, &CGeneBar::repeatClicked, this, &CMainFrame::OnRepeatBox);
    connect(m_pGeneBar, &CGeneBar::beepRequested, this, [] { QApplication::beep(); });

    m_pIdlePrompt = new QLabel(tr(kIdlePrompt), this);
    statusBar()->addWidget(m_pIdlePrompt, 1);
    // The zoom shows at the right of the status bar while it is not 1x.
    m_pZoomLabel = new QLabel(this);
    m_pZoomLabel->setObjectName("zoomLabel");
    m_pZoomLabel->setToolTip(tr("How large the creatures are drawn (View > Actual size: 1x)"));
    m_pZoomLabel->hide();
    statusBar()->addPermanentWidget(m_pZoomLabel);

    m_pView = new CQuorvaleView(m_pDoc, this);
    m_pView->setObjectName("view");
    setCentralWidget(m_pView);
    // The keyboard starts with the view; Tab takes it to the gene bar.
    m_pView->setFocus();
    m_pDoc->SetViewLink(m_pView);
    m_pDoc->SetMessageSink(this);
    m_pView->SetGeneBar(m_pGeneBar);
    connect(m_pView, &CQuorvaleView::contextMenuRequested, this, &CMainFrame::OnContextMenu);
    connect(m_pView, &CQuorvaleView::beepRequested, this, [] { QApplication::beep(); });
    connect(m_pView, &CQuorvaleView::documentChanged, this, &CMainFrame::RefreshModified);
    connect(m_pView, &CQuorvaleView::modeChanged, this, [this] { RefreshZoomLabel(); });

    CreateActions();
    CreateMenus();
    qApp->installEventFilter(this);
    UpdateCaption();
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    m_pDoc->SetMessageSink(nullptr);
    m_pDoc->SetViewLink(nullptr);
    SetGeneDisplay(nullptr);
}

void CMainFrame::UpdateCaption() {
    setWindowTitle(QString::fromStdString(m_pDoc->Title()) + "[*] - Quorvale");
    RefreshModified();
}

// ---------------------------------------------------------------------------------------
// Commands and their rules

// Menu texts, keys, status-bar prompts and help ids of every command, and what it does (its
// rule, enabled and checked, is RuleFor's row of the same command).
const std::vector<CMainFrame::SCommandSpec>& CMainFrame::Commands() {
    static const std::vector<SCommandSpec> commands = {
        {ECommand::FileNew, "&New", "Ctrl+N", "Back to basics - Bacteria ", 57600, false,
         [](CMainFrame& f) { f.OnFileNew(); }},
        {ECommand::FileOpen, "&Open...", "Ctrl+O", "Load a biomorph from disk", 57601, false,
         [](CMainFrame& f) { f.OnFileOpen(); }},
        {ECommand::FileSave, "&Save", "Ctrl+S", "Save current biomorph to disk.", 57603, false,
         [](CMainFrame& f) { f.OnFileSave(); }},
        {ECommand::FileSaveAs, "&Save as...\tCtrl+S", "", "Save current biomorph to disk.", 57604,
         false, [](CMainFrame& f) { f.OnFileSaveAs(); }},
        {ECommand::FilePrint, "&Print...", "Ctrl+P", "Print the page.", 57607, false,
         [](CMainFrame& f) { f.OnFilePrint(); }},
        {ECommand::FilePrintPreview, "Print pre&view", "", "Display full pages.", 57609, false,
         nullptr},
        {ECommand::FilePrintSetup, "P&rint setup...", "", "Change the printer and printing options",
         57606, false, [](CMainFrame& f) { f.OnFilePrintSetup(); }},
        {ECommand::FileExit, "E&xit", "", "Quit the program.", 0, false,
         [](CMainFrame& f) { f.close(); }},
        {ECommand::EditCopy, "&Copy", "Ctrl+C", "Copy main morph to the Clipboard", 57634, false,
         [](CMainFrame& f) { f.OnEditCopy(); }},
        {ECommand::EditCopyScreen, "Copy &screen", "", "Copy the screen to the clipboard.", 32798,
         false, [](CMainFrame& f) { f.m_pView->CopyToClipboard(nullptr, nullptr); }},
        {ECommand::EditPaste, "&Paste", "Ctrl+V", "Insert Clipboard contents", 57637, false,
         [](CMainFrame& f) { f.OnEditPaste(); }},
        {ECommand::PasteTriangleTop, "Triangle &top", "",
         "Paste biomorph to top of gene-space triangle. ", 0, false,
         [](CMainFrame& f) { f.m_pView->PasteInto(*f.m_pDoc->m_pTriTop); }},
        {ECommand::PasteTriangleLeft, "Triangle bottom &left", "",
         "Paste biomorph to left of gene-space triangle. ", 0, false,
         [](CMainFrame& f) { f.m_pView->PasteInto(*f.m_pDoc->m_pTriLeft); }},
        {ECommand::PasteTriangleRight, "Triangle bottom &right", "",
         "Paste biomorph to right of gene-space triangle. ", 0, false,
         [](CMainFrame& f) { f.m_pView->PasteInto(*f.m_pDoc->m_pTriRight); }},
        {ECommand::AddRow, "&Add row", "", "Adds another row of morphs.", 32799, false,
         [](CMainFrame& f) { f.m_pView->AddRows(); }},
        {ECommand::RemoveRow, "&Remove row", "", "Remove a row of morphs.", 32800, false,
         [](CMainFrame& f) { f.m_pView->RemoveRows(); }},
        {ECommand::AddColumn, "Add &column", "", "Add another colomn of morphs.", 32801, false,
         [](CMainFrame& f) { f.m_pView->AddColumns(); }},
        {ECommand::RemoveColumn, "Remove c&olumn", "", "Remove a colomn of morphs.", 32802, false,
         [](CMainFrame& f) { f.m_pView->RemoveColumns(); }},
        {ECommand::Breed, "&Breed", "", "Selectively breed a family of morphs.", 32813, true,
         [](CMainFrame& f) { f.OnBreed(); }},
        {ECommand::Engineer, "&Engineer", "", "Evolve and engineer parent's genes.", 32811, true,
         [](CMainFrame& f) { f.OnEngineer(); }},
        {ECommand::Repeat, "R&epeat", "Ctrl+R", "Repeat last evolve. ", 0, true,
         [](CMainFrame& f) { f.OnRepeat(); }},
        {ECommand::HopefulMonster, "&Hopeful monster", "Ctrl+M", "Generate a hopeful monster. ", 0,
         false, [](CMainFrame& f) { f.OnHopefulMonster(); }},
        {ECommand::Rotate, "&Rotate", "", "Rotate biomorphs.", 32778, false,
         [](CMainFrame& f) { f.OnRotate(); }},
        {ECommand::SpecialGenes, "&Special genes...", "",
         "Customize the special genes influence and susceptibility", 32812, false,
         [](CMainFrame& f) { f.OnSpecialGenes(); }},
        {ECommand::MutationRate, "&Mutation rate...", "", "Set global mutation rate.", 32819, false,
         [](CMainFrame& f) { f.OnMutationRate(); }},
        {ECommand::GeneSpace, "&Gene space", "", "View gene triangle.", 32781, true,
         [](CMainFrame& f) { f.OnGeneSpace(); }},
        {ECommand::TriangleNewTop, "New &top...", "", "Put a new morph in the top position.", 32782,
         false, [](CMainFrame& f) { f.LoadCorner(*f.m_pDoc->m_pTriTop); }},
        {ECommand::TriangleNewLeft, "New &left...", "",
         "Put a new morph in the bottom left position.", 32783, false,
         [](CMainFrame& f) { f.LoadCorner(*f.m_pDoc->m_pTriLeft); }},
        {ECommand::TriangleNewRight, "New &right...", "",
         "Put a new morph in the bottom-right position.", 32784, false,
         [](CMainFrame& f) { f.LoadCorner(*f.m_pDoc->m_pTriRight); }},
        {ECommand::TriangleClear, "&Clear ", "", "Clear the screen", 32792, false,
         [](CMainFrame& f) { f.OnTriangleClear(); }},
        {ECommand::FamilyTree, "&Family tree", "", "View family tree.", 32814, true,
         [](CMainFrame& f) { f.OnFamilyTree(); }},
        {ECommand::FamilyCreate, "C&reate", "", "Create offspring.", 32816, true,
         [](CMainFrame& f) { f.m_pView->SetFamilyTool(EFamilyTool::Create); }},
        {ECommand::FamilyDestroy, "&Destroy", "", "Destroy family line", 32815, true,
         [](CMainFrame& f) { f.m_pView->SetFamilyTool(EFamilyTool::Destroy); }},
        {ECommand::FamilyClear, "&Clear", "", "Clear all descendants from family.", 32818, false,
         [](CMainFrame& f) { f.OnFamilyClear(); }},
        {ECommand::FossilHistory, "&Fossil history", "", "View fossil history.", 0, true,
         [](CMainFrame& f) { f.OnFossilHistory(); }},
        {ECommand::FossilNewHistory, "&New history", "", "Clear fossil history.", 0, false,
         [](CMainFrame& f) { f.OnNewHistory(); }},
        {ECommand::FossilRecord, "&Record", "", "Record morphs in history.", 0, false,
         [](CMainFrame& f) { f.m_pDoc->OnRecord(); }},
        {ECommand::FossilStop, "&Stop", "", "Stop recording morphs in history.", 0, false,
         [](CMainFrame& f) { f.m_pDoc->OnStop(); }},
        {ECommand::HelpTopics, "&Help Topics", "", "List Help topics", 0, false,
         [](CMainFrame& f) { f.ShowHelpTopic(kHelpTopicDefault); }},
        {ECommand::HelpAbout, "&About Quorvale...", "",
         "Display program information, version number and copyright", 0, false,
         [](CMainFrame& f) { f.Dialogs().ShowAbout(); }},
        {ECommand::ContextSave, "Save...", "", "", 0, false,
         [](CMainFrame& f) { f.OnFileSaveAs(); }},
        {ECommand::ContextCopy, "&Copy", "", "", 0, false,
         [](CMainFrame& f) { f.OnContextCopy(); }},
        {ECommand::FileExportPicture, "&Export picture...", "Ctrl+E",
         "Save the view as a PNG or SVG picture.", kHelpIdExportPicture, false,
         [](CMainFrame& f) { f.OnExportPicture(false); }},
        {ECommand::ContextExport, "&Export picture...", "", "", kHelpIdExportPicture, false,
         [](CMainFrame& f) { f.OnExportPicture(true); }},
        {ECommand::ViewFullScreen, "&Full screen", "F11",
         "Show the window on the whole screen, for a projector; F11 again to go back.",
         kHelpIdFullScreen, true, [](CMainFrame& f) { f.OnFullScreen(); }},
        {ECommand::EditUndo, "&Undo", "Ctrl+Z", "Take back the last change to the creature.",
         kHelpIdUndo, false, [](CMainFrame& f) { f.OnUndo(); }},
        {ECommand::EditRedo, "&Redo", "Ctrl+Shift+Z", "Make the change taken back again.",
         kHelpIdUndo, false, [](CMainFrame& f) { f.OnRedo(); }},
        {ECommand::ViewZoomIn, "Zoom &in", "Ctrl+=", "Draw the morphs larger.", kHelpIdZoom, false,
         [](CMainFrame& f) { f.SetZoom(f.m_pView->Zoom() + 1); }},
        {ECommand::ViewZoomOut, "Zoom &out", "Ctrl+-", "Draw the morphs smaller.", kHelpIdZoom,
         false, [](CMainFrame& f) { f.SetZoom(f.m_pView->Zoom() - 1); }},
        {ECommand::ViewActualSize, "&Actual size", "Ctrl+0",
         "Draw the morphs at the size they grow to.", kHelpIdZoom, false,
         [](CMainFrame& f) { f.SetZoom(1); }},
    };
    return commands;
}

const CMainFrame::SCommandSpec& CMainFrame::SpecOf(ECommand command) {
    for (const SCommandSpec& spec : Commands()) {
        if (spec.command == command) {
            return spec;
        }
    }
    return Commands().front();
}

int CMainFrame::CommandHelpId(ECommand command) {
    return SpecOf(command).helpId;
}

void CMainFrame::CreateActions() {
    for (const SCommandSpec& spec : Commands()) {
        auto* action = new QAction(tr(spec.text), this);
        if (spec.key[0] != '\0') {
            action->setShortcut(QKeySequence(QString::fromLatin1(spec.key)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (spec.prompt[0] != '\0') {
            action->setStatusTip(tr(spec.prompt));
        }
        action->setCheckable(spec.bCheckable);
        const ECommand command = spec.command;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_actions[static_cast<size_t>(command)] = action;
        addAction(action);
    }
    // Shift+Insert pastes as well.
    Action(ECommand::EditPaste)
        ->setShortcuts({QKeySequence("Ctrl+V"), QKeySequence("Shift+Insert")});
    // Ctrl and + zooms in too, and the keypad's keys and the desktop's own zoom keys work.
    const auto withStandard = [](QList<QKeySequence> keys, QKeySequence::StandardKey standard) {
        for (const QKeySequence& key : QKeySequence::keyBindings(standard)) {
            if (!keys.contains(key)) {
                keys << key;
            }
        }
        return keys;
    };
    Action(ECommand::ViewZoomIn)
        ->setShortcuts(
            withStandard({QKeySequence("Ctrl+="), QKeySequence("Ctrl++")}, QKeySequence::ZoomIn));
    Action(ECommand::ViewZoomOut)
        ->setShortcuts(withStandard({QKeySequence("Ctrl+-")}, QKeySequence::ZoomOut));
    Action(ECommand::EditRedo)
        ->setShortcuts(withStandard({QKeySequence("Ctrl+Shift+Z")}, QKeySequence::Redo));
    // Ctrl+S is the Save command, which has no menu item: it saves to the document's own path.
    auto* help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, [this] { OnHelp(); });
    addAction(help);
    auto* pointHelp = new QAction(this);
    pointHelp->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    pointHelp->setShortcutContext(Qt::ApplicationShortcut);
    connect(pointHelp, &QAction::triggered, this, [this] { EnterPointHelp(); });
    addAction(pointHelp);
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        auto* action = new QAction(this);
        action->setStatusTip(tr("Open this document"));
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, i] {
            if (m_bPointHelp) {
                FinishPointHelp(0);
                return;
            }
            if (static_cast<qsizetype>(i) < m_recentFiles.size() && MaybeSaveChanges()) {
                OpenRecentFile(m_recentFiles[static_cast<qsizetype>(i)]);
            }
        });
        m_recentActions[i] = action;
    }
}

QAction* CMainFrame::AddCommand(QMenu* menu, ECommand command) {
    QAction* action = Action(command);
    menu->addAction(action);
    return action;
}

void CMainFrame::CreateMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr("&File"));
    AddCommand(file, ECommand::FileNew);
    AddCommand(file, ECommand::FileOpen);
    AddCommand(file, ECommand::FileSaveAs);
    AddCommand(file, ECommand::FileExportPicture);
    file->addSeparator();
    AddCommand(file, ECommand::FilePrint);
    AddCommand(file, ECommand::FilePrintSetup);
    m_pRecentSeparator = file->addSeparator();
    for (QAction* recent : m_recentActions) {
        file->addAction(recent);
    }
    file->addSeparator();
    AddCommand(file, ECommand::FileExit);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    AddCommand(edit, ECommand::EditUndo);
    AddCommand(edit, ECommand::EditRedo);
    edit->addSeparator();
    AddCommand(edit, ECommand::EditCopy);
    AddCommand(edit, ECommand::EditCopyScreen);
    AddCommand(edit, ECommand::EditPaste);
    QMenu* pasteTo = edit->addMenu(tr("Paste &to"));
    AddCommand(pasteTo, ECommand::PasteTriangleTop);
    AddCommand(pasteTo, ECommand::PasteTriangleLeft);
    AddCommand(pasteTo, ECommand::PasteTriangleRight);
    edit->addSeparator();
    AddCommand(edit, ECommand::AddRow);
    AddCommand(edit, ECommand::RemoveRow);
    AddCommand(edit, ECommand::AddColumn);
    AddCommand(edit, ECommand::RemoveColumn);

    // W, since V is Evolve's.
    QMenu* view = bar->addMenu(tr("Vie&w"));
    AddCommand(view, ECommand::ViewZoomIn);
    AddCommand(view, ECommand::ViewZoomOut);
    AddCommand(view, ECommand::ViewActualSize);
    view->addSeparator();
    AddCommand(view, ECommand::ViewFullScreen);

    QMenu* evolve = bar->addMenu(tr("E&volve"));
    AddCommand(evolve, ECommand::Breed);
    AddCommand(evolve, ECommand::Engineer);
    evolve->addSeparator();
    AddCommand(evolve, ECommand::Repeat);
    AddCommand(evolve, ECommand::HopefulMonster);
    AddCommand(evolve, ECommand::Rotate);

    QMenu* genes = bar->addMenu(tr("&Genes"));
    AddCommand(genes, ECommand::SpecialGenes);
    AddCommand(genes, ECommand::MutationRate);

    QMenu* triangle = bar->addMenu(tr("&Triangle"));
    AddCommand(triangle, ECommand::GeneSpace);
    triangle->addSeparator();
    AddCommand(triangle, ECommand::TriangleNewTop);
    AddCommand(triangle, ECommand::TriangleNewLeft);
    AddCommand(triangle, ECommand::TriangleNewRight);
    triangle->addSeparator();
    AddCommand(triangle, ECommand::TriangleClear);

    QMenu* family = bar->addMenu(tr("F&amily"));
    AddCommand(family, ECommand::FamilyTree);
    family->addSeparator();
    AddCommand(family, ECommand::FamilyCreate);
    AddCommand(family, ECommand::FamilyDestroy);
    family->addSeparator();
    AddCommand(family, ECommand::FamilyClear);

    QMenu* fossils = bar->addMenu(tr("F&ossils "));
    AddCommand(fossils, ECommand::FossilHistory);
    AddCommand(fossils, ECommand::FossilNewHistory);
    fossils->addSeparator();
    AddCommand(fossils, ECommand::FossilRecord);
    AddCommand(fossils, ECommand::FossilStop);

    QMenu* help = bar->addMenu(tr("&Help"));
    AddCommand(help, ECommand::HelpTopics);
    // Click it, then a gene box or gradient picture: the help's own words on that gene.
    QAction* whatsThis = QWhatsThis::createAction(this);
    whatsThis->setShortcut(QKeySequence());  // Shift+F1 is point-and-click help
    whatsThis->setStatusTip(tr("Explain a gene box or gradient picture of the gene bar."));
    help->addAction(whatsThis);
    help->addSeparator();
    AddCommand(help, ECommand::HelpAbout);

    m_menus = {file, edit, pasteTo, view, evolve, genes, triangle, family, fossils, help};
    auto* menuStyle = new CMenuStyle;
    menuStyle->setParent(this);
    for (QMenu* menu : m_menus) {
        menu->setStyle(menuStyle);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
        connect(menu, &QMenu::aboutToHide, this, [this, menu] {
            // Keys reach the commands again; each command checks its own rule when it runs.
            for (QAction* a : menu->actions()) {
                if (!a->isSeparator() && !a->menu()) {
                    a->setEnabled(true);
                }
            }
        });
    }

    m_pContextMenu = new QMenu(this);
    m_pContextMenu->addAction(Action(ECommand::ContextSave));
    m_pContextMenu->addAction(Action(ECommand::ContextCopy));
    m_pContextMenu->addAction(Action(ECommand::ContextExport));
}

SCommandState CMainFrame::CommandState() const {
    SCommandState s;
    s.nMode = m_pDoc->m_nMode;
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

void CMainFrame::UpdateMenu(QMenu* menu) {
    RefreshUndoTexts();
    const SCommandState state = CommandState();
    for (size_t i = 0; i < m_actions.size(); ++i) {
        QAction* action = m_actions[i];
        if (!action || !menu->actions().contains(action)) {
            continue;
        }
        const SCommandRule rule = RuleFor(static_cast<ECommand>(i), state);
        action->setEnabled(rule.bEnabled);
        if (action->isCheckable()) {
            action->setChecked(rule.bChecked);
        }
    }
}

void CMainFrame::UpdateCommandUI() {
    RefreshUndoTexts();
    const SCommandState state = CommandState();
    for (size_t i = 0; i < m_actions.size(); ++i) {
        const SCommandRule rule = RuleFor(static_cast<ECommand>(i), state);
        m_actions[i]->setEnabled(rule.bEnabled);
        if (m_actions[i]->isCheckable()) {
            m_actions[i]->setChecked(rule.bChecked);
        }
    }
}

bool CMainFrame::RunCommand(ECommand command) {
    QAction* action = Action(command);
    const SCommandRule rule = Rule(command);
    if (action->isCheckable()) {
        // Qt flips the mark on its own; the rule says what it shows.
        action->setChecked(rule.bChecked);
    }
    if (m_bPointHelp) {
        FinishPointHelp(CommandHelpId(command));
        return false;
    }
    if (!rule.bEnabled) {
        return false;
    }
    const std::optional<EUndoKind> kind = UndoKindOf(command);
    if (kind) {
        m_pView->History().Begin();
    }
    Execute(command);
    if (kind) {
        m_pView->History().Commit(*kind);
    }
    RefreshModified();
    if (action->isCheckable()) {
        action->setChecked(Rule(command).bChecked);
    }
    return true;
}

std::optional<EUndoKind> CMainFrame::UndoKindOf(ECommand command) {
    switch (command) {
        case ECommand::EditPaste:
            return EUndoKind::Paste;
        case ECommand::PasteTriangleTop:
        case ECommand::PasteTriangleLeft:
        case ECommand::PasteTriangleRight:
        case ECommand::TriangleNewTop:
        case ECommand::TriangleNewLeft:
        case ECommand::TriangleNewRight:
            return EUndoKind::Corner;
        case ECommand::AddRow:
        case ECommand::RemoveRow:
        case ECommand::AddColumn:
        case ECommand::RemoveColumn:
            return EUndoKind::Grid;
        case ECommand::HopefulMonster:
            return EUndoKind::HopefulMonster;
        case ECommand::TriangleClear:
            return EUndoKind::TriangleClear;
        case ECommand::FamilyClear:
            return EUndoKind::FamilyClear;
        default:
            return std::nullopt;
    }
}

void CMainFrame::RefreshUndoTexts() {
    CUndoHistory& history = m_pView->History();
    if (history.InRun() && !m_pGeneBar->IsRepeatChecked()) {
        history.EndRun();
    }
    const QString undo = history.InRun() ? tr("repeat") : history.Stack().undoText();
    const QString redo = history.InRun() ? QString() : history.Stack().redoText();
    Action(ECommand::EditUndo)->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undo));
    Action(ECommand::EditRedo)->setText(redo.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redo));
}

void CMainFrame::OnUndo() {
    m_pView->History().Undo();
    RefreshUndoTexts();
}

void CMainFrame::OnRedo() {
    m_pView->History().Redo();
    RefreshUndoTexts();
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
    m_pZoomLabel->setVisible(zoom > 1 && m_pDoc->m_nMode != kModeFamily);
}

void CMainFrame::Execute(ECommand command) {
    if (const auto run = SpecOf(command).run) {
        run(*this);
    }
}

// ---------------------------------------------------------------------------------------
// Files

bool CMainFrame::MaybeSaveChanges() {
    if (!m_pDoc->IsModified()) {
        return true;
    }
    switch (Dialogs().AskSaveChanges(QString::fromStdString(m_pDoc->Title()))) {
        case IFrameDialogs::ESaveChanges::Discard:
            return true;
        case IFrameDialogs::ESaveChanges::Cancel:
            return false;
        case IFrameDialogs::ESaveChanges::Save:
            break;
    }
    std::string path = m_pDoc->PathName();
    if (path.empty() || !IsWritableFile(path)) {
        const QString chosen = AskSaveName();
        if (chosen.isEmpty()) {
            return false;
        }
        path = PathBytes(chosen);
    }
    return SaveToPath(path);
}

void CMainFrame::RefreshModified() {
    setWindowModified(m_pDoc->IsModified());
}

QString CMainFrame::AskSaveName() {
    const QString path = Dialogs().AskSavePath(tr("Save As"), tr("Biomorph files (*.bio)"),
                                               QString::fromStdString(m_pDoc->Title()));
    if (path.isEmpty()) {
        return path;
    }
    struct stat info {};
    if (::stat(PathBytes(path).c_str(), &info) == 0 &&
        !Dialogs().AskReplace(QString::fromStdString(ReadableName(PathBytes(path))))) {
        return QString();
    }
    return path;
}

bool CMainFrame::SaveToPath(const std::string& path) {
    const int mode = m_pDoc->m_nMode;
    const bool bSaved = m_pDoc->SaveFile(path);
    if (bSaved) {
        m_pDoc->SetPathName(path);
        AddRecentFile(ShownPath(path));
    }
    FollowModeAfterSave(mode);
    UpdateCaption();
    m_pView->Invalidate();
    return bSaved;
}

void CMainFrame::OnFileNew() {
    if (!MaybeSaveChanges()) {
        return;
    }
    m_pDoc->OnNewDocument();
    UpdateCaption();
    m_pView->Invalidate();
}

void CMainFrame::OnFileOpen() {
    // The file first: the question about unsaved changes matters only once one is chosen.
    const QString path =
        Dialogs().AskOpenPath(tr("Open"), tr("Biomorph files (*.bio);;All Files (*)"));
    if (path.isEmpty() || !MaybeSaveChanges()) {
        return;
    }
    OpenChosenFile(path);
}

void CMainFrame::OpenChosenFile(const QString& path) {
    // Only a file that opened joins the recent list; a refused one changes nothing.
    const std::string bytes = PathBytes(path);
    if (m_pDoc->OpenFile(bytes)) {
        AddRecentFile(ShownPath(bytes));
        m_pDoc->FinishOpen();
    }
    UpdateCaption();
    m_pView->Invalidate();
}

void CMainFrame::OpenRecentFile(const QString& path) {
    if (OpenDocumentFile(path)) {
        return;
    }
    // An entry whose file has gone leaves the list (its not-found message was shown).
    struct stat info {};
    if (::lstat(PathBytes(path).c_str(), &info) != 0) {
        m_recentFiles.removeAll(path);
        RebuildRecentMenu();
        emit recentFilesChanged();
    }
}

bool CMainFrame::OpenDocumentFile(const QString& path) {
    return OpenDocumentPath(PathBytes(path));
}

bool CMainFrame::OpenDocumentPath(const std::string& path) {
    const bool bOpened = m_pDoc->OpenFile(path);
    if (bOpened) {
        AddRecentFile(ShownPath(path));
    }
    UpdateCaption();
    m_pView->Invalidate();
    return bOpened;
}

void CMainFrame::OnFileSaveAs() {
    const QString path = AskSaveName();
    if (path.isEmpty()) {
        return;
    }
    const int mode = m_pDoc->m_nMode;
    m_pDoc->SaveAs(PathBytes(path));
    FollowModeAfterSave(mode);
    UpdateCaption();
    m_pView->Invalidate();
}

void CMainFrame::FollowModeAfterSave(int modeBefore) {
    // Saving breeds anew and returns to Breed in every mode but Engineer; a save made from
    // the fossils, the triangle or the family tree switches the view along with it.
    if (m_pDoc->m_nMode != modeBefore) {
        m_pView->SetMode(m_pDoc->m_nMode);
    }
}

void CMainFrame::OnFileSave() {
    std::string path = m_pDoc->PathName();
    if (path.empty() || !IsWritableFile(path)) {
        const QString chosen = AskSaveName();
        if (chosen.isEmpty()) {
            return;
        }
        path = PathBytes(chosen);
    }
    SaveToPath(path);
}

void CMainFrame::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > 4) {
        m_recentFiles.removeLast();
    }
    RebuildRecentMenu();
    emit recentFilesChanged();
}

void CMainFrame::SetRecentFiles(const QStringList& files) {
    m_recentFiles = files.mid(0, 4);
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        if (static_cast<qsizetype>(i) < m_recentFiles.size()) {
            const QString& file = m_recentFiles[static_cast<qsizetype>(i)];
            action->setText(QString("&%1 %2").arg(i + 1).arg(QFileInfo(file).fileName()));
            action->setToolTip(file);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

void CMainFrame::ShowError(const std::string& text) {
    Dialogs().ShowMessage(QString::fromStdString(text));
}

// ---------------------------------------------------------------------------------------
// Clipboard, triangle and family tree

void CMainFrame::OnEditCopy() {
    if (m_pDoc->m_nMode == kModeBreed) {
        const SRect cell = m_pView->ParentCellRect();
        m_pView->CopyToClipboard(m_pDoc->m_pCurrent.get(), &cell);
    } else {
        m_pView->CopyToClipboard(m_pDoc->m_pCurrent.get(), nullptr);
    }
}

void CMainFrame::OnEditPaste() {
    m_pView->PasteInto(*m_pDoc->m_pCurrent);
    m_pGeneBar->ShowGenes(m_pDoc->m_pCurrent.get());
}

void CMainFrame::OnGeneSpace() {
    m_pView->SetMode(kModeTriangle);
    m_pDoc->ClearTrianglePoints();
    m_pView->TriangleChanged();
    m_pView->Invalidate();
}

void CMainFrame::LoadCorner(CBioMorph& corner) {
    const QString path =
        Dialogs().AskOpenPath(tr("Open"), tr("Biomorph files (*.bio);;All Files (*)"));
    if (path.isEmpty()) {
        return;
    }
    LoadCornerFrom(corner, path);
}

QString CMainFrame::DraggedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return QString();
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return QString();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    // A morph dragged out of the view is for other programs: dropped back, it would only
    // open a copy of itself over the document.
    if (event->source() != m_pView && !DraggedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() != m_pView && !DraggedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DraggedFile(event->mimeData());
    if (path.isEmpty() || event->source() == m_pView) {
        return;
    }
    event->acceptProposedAction();
    // Over a corner of the gene-space triangle, the file goes to that corner.
    if (m_pDoc->m_nMode == kModeTriangle) {
        const QPoint at = m_pView->mapFrom(this, event->position().toPoint());
        const std::pair<SPoint, CBioMorph*> corners[] = {
            {m_pView->TriangleTop(), m_pDoc->m_pTriTop.get()},
            {m_pView->TriangleLeft(), m_pDoc->m_pTriLeft.get()},
            {m_pView->TriangleRight(), m_pDoc->m_pTriRight.get()}};
        for (const auto& [point, morph] : corners) {
            const QPoint d = at - QPoint(point.x, point.y);
            if (d.manhattanLength() <= kCornerDropReach) {
                LoadCornerFrom(*morph, path);
                return;
            }
        }
    }
    // Anywhere else it opens, as File > Open would.
    if (!MaybeSaveChanges()) {
        return;
    }
    OpenChosenFile(path);
}

void CMainFrame::LoadCornerFrom(CBioMorph& corner, const QString& path) {
    m_pView->History().Begin();
    LoadCornerFile(corner, path);
    m_pView->History().Commit(EUndoKind::Corner);
}

void CMainFrame::LoadCornerFile(CBioMorph& corner, const QString& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    const std::string file = PathBytes(path);
    if (!ReadFileBytes(file, bytes, error)) {
        // Missing, unreadable, or not a file at all: the message names it and says why.
        ShowError(error);
        return;
    }
    const EBioLoad outcome = LoadMorphFromFile(bytes.data(), bytes.size(), corner);
    if (outcome == EBioLoad::Empty) {
        ShowError("Could not load " + ReadableName(file) + ": the file is empty.");
        return;
    }
    if (outcome != EBioLoad::Ok) {
        // The corner keeps its genome: a rejected or cut-short file changes nothing.
        ShowError("Could not load " + ReadableName(file) + ".\n\n" + BioLoadMessage(outcome));
        return;
    }
    m_pView->TriangleChanged();
    m_pView->Invalidate();
}

void CMainFrame::OnTriangleClear() {
    m_pDoc->ClearTrianglePoints();
    m_pView->TriangleCleared();
    m_pGeneBar->ClearGenes();
    m_pView->Invalidate();
}

void CMainFrame::OnFamilyTree() {
    auto& families = m_pDoc->m_listFamilies;
    if (families.empty()) {
        m_pView->NewFamilyRoot();
    } else if (families.size() == 1 && families.front()->size() == 1) {
        // A lone root follows the current morph.
        families.clear();
        m_pView->NewFamilyRoot();
    }
    m_pView->SetMode(kModeFamily);
    m_pView->Invalidate();
}

void CMainFrame::OnFamilyClear() {
    m_pDoc->DeleteFamilies();
    m_pView->NewFamilyRoot();
    if (m_pDoc->m_nMode == kModeFamily) {
        m_pView->SetMode(kModeFamily);
        m_pView->Invalidate();
    }
}

// ---------------------------------------------------------------------------------------
// Printing

void CMainFrame::OnFilePrint() {
    if (!m_pPrinter) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    QPrinter& printer = *m_pPrinter;
    const int pages = m_pView->PrintPageCount();
    if (!Dialogs().AskPrint(printer, pages)) {
        return;
    }
    int from = 1;
    int to = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = printer.fromPage();
        to = printer.toPage() > 0 ? printer.toPage() : pages;
    }
    if (!PrintOn(printer, from, to)) {
        ShowError("Could not start print job.");
    }
}

bool CMainFrame::PrintOn(QPrinter& printer, int from, int to) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    // A printer that makes copies itself is asked for them with the job; for one that cannot
    // (a PDF file) the pages are drawn once per copy, all pages of a copy together when the
    // copies are collated, else each page as many times in a row.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    bool bFirst = true;
    auto newPage = [&] {
        if (bFirst) {
            bFirst = false;
            return true;
        }
        return printer.newPage();
    };
    if (copies == 1 || printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy) {
            if (!newPage()) {
                break;
            }
            m_pView->PrintPages(painter, QRect(QPoint(0, 0), printable.size()), from, to,
                                [&printer] { return printer.newPage(); });
        }
    } else {
        for (int page = from; page <= std::min(to, m_pView->PrintPageCount()); ++page) {
            for (int copy = 0; copy < copies; ++copy) {
                if (!newPage()) {
                    break;
                }
                m_pView->PrintPages(painter, QRect(QPoint(0, 0), printable.size()), page, page,
                                    nullptr);
            }
        }
    }
    painter.end();
    return true;
}

void CMainFrame::OnFilePrintSetup() {
    if (!m_pPrinter) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    QPageSetupDialog dialog(m_pPrinter.get(), this);
    dialog.exec();
}

// ---------------------------------------------------------------------------------------
// Modes and evolution

void CMainFrame::OnBreed() {
    if (m_pDoc->m_nMode == kModeBreed) {
        return;
    }
    m_pView->SetMode(kModeBreed);
    m_pView->ShowBreedingScreen();
}

void CMainFrame::OnEngineer() {
    if (m_pDoc->m_nMode == kModeEngineer) {
        return;
    }
    m_pView->SetMode(kModeEngineer);
    m_pView->Invalidate();
}

void CMainFrame::OnRepeat() {
    m_pGeneBar->SetRepeatChecked(!m_pGeneBar->IsRepeatChecked());
    OnRepeatBox();
}

void CMainFrame::OnRepeatBox() {
    if (m_pGeneBar->IsRepeatChecked()) {
        m_pView->RepeatStep();
    }
    m_pView->ScheduleRepeat();
    m_pView->setFocus();
}

void CMainFrame::OnHopefulMonster() {
    m_pDoc->m_pCurrent->HopefulMonster();
    if (!m_pGeneBar->IsRepeatEnabled()) {
        m_pGeneBar->EnableRepeat(true);
    }
    m_pView->SetLastEvolve(evolveMonster);
    m_pGeneBar->ShowGenes(m_pDoc->m_pCurrent.get());
    m_pView->RecordFossil(*m_pDoc->m_pCurrent);
    m_pView->Invalidate();
    m_pView->activateWindow();
    m_pView->setFocus();
    RefreshModified();
}

void CMainFrame::OnRotate() {
    m_pDoc->m_nOrientation = (m_pDoc->m_nOrientation + 1) % 4;
    if (m_pDoc->m_nMode == kModeTriangle) {
        m_pView->TriangleChanged();
    }
    g_bRemeasure = 1;
    m_pView->Invalidate();
    update();
}

void CMainFrame::OnSpecialGenes() {
    if (m_pDoc->RunSpecialGenesDialog([this] { return Dialogs().RunSpecialGenes(); }) &&
        m_pDoc->m_nMode == kModeTriangle) {
        m_pView->TriangleChanged();
    }
    m_pGeneBar->update();
    m_pView->Invalidate();
}

void CMainFrame::OnMutationRate() {
    m_pDoc->OnMutationRate([this](float rate) { return Dialogs().RunMutationRate(rate); });
}

void CMainFrame::OnFossilHistory() {
    m_pView->SetMode(kModeFossils);
    m_pView->Invalidate();
}

void CMainFrame::OnNewHistory() {
    m_pDoc->DeleteFossils();
    m_pView->Invalidate();
}

void CMainFrame::ApplyGenesToCurrent(const std::array<int32_t, kGeneCount>& genes) {
    // Inside a press on the bar the press is the change; a key's step is one of its own.
    if (!m_bBarPress) {
        m_pView->History().Begin();
    }
    m_pDoc->m_pCurrent->SetGenes(genes);
    if (!m_bBarPress) {
        m_pView->History().Commit(EUndoKind::GeneEdit);
    }
    m_pView->Invalidate();
    RefreshModified();
}

void CMainFrame::ApplyGradientsToCurrent(const GeneArray& gradients) {
    if (!m_bBarPress) {
        m_pView->History().Begin();
    }
    m_pDoc->m_pCurrent->SetGradients(gradients);
    if (!m_bBarPress) {
        m_pView->History().Commit(EUndoKind::GeneEdit);
    }
    m_pView->Invalidate();
    RefreshModified();
}

// ---------------------------------------------------------------------------------------
// Context menu, presses on the frame, help

void CMainFrame::OnContextMenu(const QPoint& globalPos) {
    if (!m_pView->OffersContextMenuAt(m_pView->mapFromGlobal(globalPos))) {
        return;
    }
    for (QAction* a : m_pContextMenu->actions()) {
        a->setEnabled(true);
    }
    // The point and the skip are kept before a chosen command runs (Qt runs it inside exec),
    // and whether or not anything is chosen.
    m_pView->SetContextMenuPoint(globalPos);
    m_pView->SetSkipClick(true);
    Dialogs().ExecContextMenu(m_pContextMenu, globalPos);
}

void CMainFrame::OnFullScreen() {
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

void CMainFrame::OnExportPicture(bool bFromContextMenu) {
    // From a morph's menu, that morph alone; otherwise, or over no morph, the whole view.
    CBioMorph* morph = bFromContextMenu
                           ? m_pView->MorphAt(m_pView->mapFromGlobal(m_pView->ContextMenuPoint()))
                           : nullptr;
    QString path;
    int scale = 1;
    if (!Dialogs().AskExportPicture(path, scale)) {
        return;
    }
    const QString error = m_pView->ExportPicture(path, scale, morph);
    if (!error.isEmpty()) {
        ShowError(tr("Could not export the picture to %1.\n\n%2")
                      .arg(QFileInfo(path).fileName(), error)
                      .toStdString());
    }
}

void CMainFrame::OnContextCopy() {
    // The morph under the point where the menu was opened; over nothing, the whole view.
    CBioMorph* morph = m_pView->MorphAt(m_pView->mapFromGlobal(m_pView->ContextMenuPoint()));
    m_pView->CopyToClipboard(morph, nullptr);
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

void CMainFrame::OnHelp() {
    if (m_pDoc->m_bSpecialGenesOpen) {
        ShowHelpTopic(kHelpTopicSpecialGenes);
    } else if (g_bMutationRateOpen) {
        ShowHelpTopic(kHelpTopicMutationRate);
    } else {
        ShowHelpTopic(kHelpTopicDefault);
    }
}

void CMainFrame::ShowHelpTopic(int topic) {
    m_nLastHelpTopic = topic;
    Dialogs().ShowHelp(topic);
}

void CMainFrame::EnterPointHelp() {
    if (m_bPointHelp) {
        return;
    }
    m_bPointHelp = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
}

void CMainFrame::FinishPointHelp(int id) {
    m_bPointHelp = false;
    QApplication::restoreOverrideCursor();
    ShowHelpTopic(HelpTopicForContext(static_cast<uint32_t>(id), m_pDoc->m_nMode));
}

void CMainFrame::ShowFirstHint() {
    m_bFirstHint = true;
    m_pIdlePrompt->setText(tr("Click the creature you like best to breed from it"));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
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
        m_pIdlePrompt->setText(tr(kIdlePrompt));
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
    if (m_bPointHelp) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_bPointHelp = false;
            QApplication::restoreOverrideCursor();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            // A greyed command is what a newcomer most wants explained; its menu does nothing
            // with the click, so the help is given here.
            if (auto* menu = qobject_cast<QMenu*>(watched)) {
                QAction* action =
                    menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
                const auto it = std::find(m_actions.begin(), m_actions.end(), action);
                if (action && !action->isEnabled() && it != m_actions.end()) {
                    while (QWidget* popup = QApplication::activePopupWidget()) {
                        popup->close();
                    }
                    FinishPointHelp(CommandHelpId(static_cast<ECommand>(it - m_actions.begin())));
                    return true;
                }
            }
        }
        if (event->type() == QEvent::MouseButtonPress) {
            auto* widget = qobject_cast<QWidget*>(watched);
            auto* me = static_cast<QMouseEvent*>(event);
            if (widget && !qobject_cast<QMenu*>(widget) && !qobject_cast<QMenuBar*>(widget)) {
                int id = 0;
                if (widget == m_pGeneBar || m_pGeneBar->isAncestorOf(widget)) {
                    id = m_pGeneBar->ControlIdAt(
                        m_pGeneBar->mapFromGlobal(me->globalPosition().toPoint()));
                }
                FinishPointHelp(id);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

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
