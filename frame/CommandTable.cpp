#include "frame/CommandTable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QUndoStack>
#include <QWidget>
#include <vector>

#include "platform/HelpContext.h"

namespace {

// A command's menu text, key, status-bar prompt and help id (its rule, enabled and checked,
// is RuleFor's row of the same command; its handler is set by the window).
struct SCommandSpec {
    ECommand command;
    const char* text;
    const char* key;
    const char* prompt;
    int helpId;
    bool bCheckable;
};

const std::vector<SCommandSpec>& Commands() {
    static const std::vector<SCommandSpec> commands = {
        {ECommand::FileNew, "&New", "Ctrl+N", "Back to basics - Bacteria ", 57600, false},
        {ECommand::FileOpen, "&Open...", "Ctrl+O", "Load a biomorph from disk", 57601, false},
        {ECommand::FileSave, "&Save", "Ctrl+S", "Save current biomorph to disk.", 57603, false},
        {ECommand::FileSaveAs, "&Save as...\tCtrl+S", "", "Save current biomorph to disk.", 57604,
         false},
        {ECommand::FilePrint, "&Print...", "Ctrl+P", "Print the page.", 57607, false},
        {ECommand::FilePrintPreview, "Print pre&view", "", "Display full pages.", 57609, false},
        {ECommand::FilePrintSetup, "P&rint setup...", "", "Change the printer and printing options",
         57606, false},
        {ECommand::FileExit, "E&xit", "", "Quit the program.", 0, false},
        {ECommand::EditCopy, "&Copy", "Ctrl+C", "Copy main morph to the Clipboard", 57634, false},
        {ECommand::EditCopyScreen, "Copy &screen", "", "Copy the screen to the clipboard.", 32798,
         false},
        {ECommand::EditPaste, "&Paste", "Ctrl+V", "Insert Clipboard contents", 57637, false},
        {ECommand::PasteTriangleTop, "Triangle &top", "",
         "Paste biomorph to top of gene-space triangle. ", 0, false},
        {ECommand::PasteTriangleLeft, "Triangle bottom &left", "",
         "Paste biomorph to left of gene-space triangle. ", 0, false},
        {ECommand::PasteTriangleRight, "Triangle bottom &right", "",
         "Paste biomorph to right of gene-space triangle. ", 0, false},
        {ECommand::AddRow, "&Add row", "", "Adds another row of morphs.", 32799, false},
        {ECommand::RemoveRow, "&Remove row", "", "Remove a row of morphs.", 32800, false},
        {ECommand::AddColumn, "Add co&lumn", "", "Add another colomn of morphs.", 32801, false},
        {ECommand::RemoveColumn, "Remove c&olumn", "", "Remove a colomn of morphs.", 32802, false},
        {ECommand::Breed, "&Breed", "", "Selectively breed a family of morphs.", 32813, true},
        {ECommand::Engineer, "&Engineer", "", "Evolve and engineer parent's genes.", 32811, true},
        {ECommand::Repeat, "Re&peat", "Ctrl+R", "Repeat last evolve. ", 0, true},
        {ECommand::HopefulMonster, "&Hopeful monster", "Ctrl+M", "Generate a hopeful monster. ", 0,
         false},
        {ECommand::Rotate, "&Rotate", "", "Rotate biomorphs.", 32778, false},
        {ECommand::SpecialGenes, "&Special genes...", "",
         "Customize the special genes influence and susceptibility", 32812, false},
        {ECommand::MutationRate, "&Mutation rate...", "", "Set global mutation rate.", 32819,
         false},
        {ECommand::GeneSpace, "&Gene space", "", "View gene triangle.", 32781, true},
        {ECommand::TriangleNewTop, "New &top...", "", "Put a new morph in the top position.", 32782,
         false},
        {ECommand::TriangleNewLeft, "New &left...", "",
         "Put a new morph in the bottom left position.", 32783, false},
        {ECommand::TriangleNewRight, "New &right...", "",
         "Put a new morph in the bottom-right position.", 32784, false},
        {ECommand::TriangleClear, "&Clear ", "", "Clear the screen", 32792, false},
        {ECommand::FamilyTree, "&Family tree", "", "View family tree.", 32814, true},
        {ECommand::FamilyCreate, "C&reate", "", "Create offspring.", 32816, true},
        {ECommand::FamilyDestroy, "&Destroy", "", "Destroy family line", 32815, true},
        {ECommand::FamilyClear, "&Clear", "", "Clear all descendants from family.", 32818, false},
        {ECommand::FossilHistory, "&Fossil history", "", "View fossil history.", 0, true},
        {ECommand::FossilNewHistory, "&New history", "", "Clear fossil history.", 0, false},
        {ECommand::FossilRecord, "&Record", "", "Record morphs in history.", 0, false},
        {ECommand::FossilStop, "&Stop", "", "Stop recording morphs in history.", 0, false},
        {ECommand::HelpTopics, "&Help Topics", "", "List Help topics", 0, false},
        {ECommand::HelpAbout, "&About Quorvale...", "",
         "Display program information, version number and copyright", 0, false},
        {ECommand::ContextSave, "Save...", "", "", 0, false},
        {ECommand::ContextCopy, "&Copy", "", "", 0, false},
        {ECommand::FileExportPicture, "&Export picture...", "Ctrl+E",
         "Save the view as a PNG or SVG picture.", kHelpIdExportPicture, false},
        {ECommand::ContextExport, "&Export picture...", "", "", kHelpIdExportPicture, false},
        {ECommand::ViewFullScreen, "&Full screen", "F11",
         "Show the window on the whole screen, for a projector; F11 again to go back.",
         kHelpIdFullScreen, true},
        {ECommand::EditUndo, "&Undo", "Ctrl+Z", "Take back the last change to the creature.",
         kHelpIdUndo, false},
        {ECommand::EditRedo, "Re&do", "Ctrl+Shift+Z", "Make the change taken back again.",
         kHelpIdUndo, false},
        {ECommand::ViewZoomIn, "Zoom &in", "Ctrl+=", "Draw the morphs larger.", kHelpIdZoom, false},
        {ECommand::ViewZoomOut, "Zoom &out", "Ctrl+-", "Draw the morphs smaller.", kHelpIdZoom,
         false},
        {ECommand::ViewActualSize, "&Actual size", "Ctrl+0",
         "Draw the morphs at the size they grow to.", kHelpIdZoom, false},
    };
    return commands;
}

const SCommandSpec& SpecOf(ECommand command) {
    for (const SCommandSpec& spec : Commands()) {
        if (spec.command == command) {
            return spec;
        }
    }
    return Commands().front();
}

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

}  // namespace

CCommandTable::CCommandTable(QWidget* owner, SHooks hooks)
    : QObject(owner), m_pOwner(owner), m_hooks(std::move(hooks)) {
    CreateActions();
}

int CCommandTable::HelpId(ECommand command) {
    return SpecOf(command).helpId;
}

void CCommandTable::SetHandler(ECommand command, std::function<void()> handler) {
    m_handlers[Index(command)] = std::move(handler);
}

std::optional<ECommand> CCommandTable::CommandOf(const QAction* action) const {
    for (size_t i = 0; i < m_actions.size(); ++i) {
        if (action && m_actions[i] == action) {
            return static_cast<ECommand>(i);
        }
    }
    return std::nullopt;
}

void CCommandTable::CreateActions() {
    for (const SCommandSpec& spec : Commands()) {
        auto* action = new QAction(tr(spec.text), m_pOwner);
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
        m_actions[Index(command)] = action;
        m_pOwner->addAction(action);
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
}

QAction* CCommandTable::Add(QMenu* menu, ECommand command) {
    QAction* action = Action(command);
    menu->addAction(action);
    return action;
}

void CCommandTable::CreateMenus(QMenuBar* bar, const QList<QAction*>& recentFiles,
                                QAction* whatsThis) {
    QMenu* file = bar->addMenu(tr("&File"));
    Add(file, ECommand::FileNew);
    Add(file, ECommand::FileOpen);
    Add(file, ECommand::FileSaveAs);
    Add(file, ECommand::FileExportPicture);
    file->addSeparator();
    Add(file, ECommand::FilePrint);
    Add(file, ECommand::FilePrintSetup);
    file->addSeparator();
    for (QAction* recent : recentFiles) {
        file->addAction(recent);
    }
    file->addSeparator();
    Add(file, ECommand::FileExit);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    Add(edit, ECommand::EditUndo);
    Add(edit, ECommand::EditRedo);
    edit->addSeparator();
    Add(edit, ECommand::EditCopy);
    Add(edit, ECommand::EditCopyScreen);
    Add(edit, ECommand::EditPaste);
    QMenu* pasteTo = edit->addMenu(tr("Paste &to"));
    Add(pasteTo, ECommand::PasteTriangleTop);
    Add(pasteTo, ECommand::PasteTriangleLeft);
    Add(pasteTo, ECommand::PasteTriangleRight);
    edit->addSeparator();
    Add(edit, ECommand::AddRow);
    Add(edit, ECommand::RemoveRow);
    Add(edit, ECommand::AddColumn);
    Add(edit, ECommand::RemoveColumn);

    // W, since V is Evolve's.
    QMenu* view = bar->addMenu(tr("Vie&w"));
    Add(view, ECommand::ViewZoomIn);
    Add(view, ECommand::ViewZoomOut);
    Add(view, ECommand::ViewActualSize);
    view->addSeparator();
    Add(view, ECommand::ViewFullScreen);

    QMenu* evolve = bar->addMenu(tr("E&volve"));
    Add(evolve, ECommand::Breed);
    Add(evolve, ECommand::Engineer);
    evolve->addSeparator();
    Add(evolve, ECommand::Repeat);
    Add(evolve, ECommand::HopefulMonster);
    Add(evolve, ECommand::Rotate);

    QMenu* genes = bar->addMenu(tr("&Genes"));
    Add(genes, ECommand::SpecialGenes);
    Add(genes, ECommand::MutationRate);

    QMenu* triangle = bar->addMenu(tr("&Triangle"));
    Add(triangle, ECommand::GeneSpace);
    triangle->addSeparator();
    Add(triangle, ECommand::TriangleNewTop);
    Add(triangle, ECommand::TriangleNewLeft);
    Add(triangle, ECommand::TriangleNewRight);
    triangle->addSeparator();
    Add(triangle, ECommand::TriangleClear);

    QMenu* family = bar->addMenu(tr("F&amily"));
    Add(family, ECommand::FamilyTree);
    family->addSeparator();
    Add(family, ECommand::FamilyCreate);
    Add(family, ECommand::FamilyDestroy);
    family->addSeparator();
    Add(family, ECommand::FamilyClear);

    QMenu* fossils = bar->addMenu(tr("F&ossils "));
    Add(fossils, ECommand::FossilHistory);
    Add(fossils, ECommand::FossilNewHistory);
    fossils->addSeparator();
    Add(fossils, ECommand::FossilRecord);
    Add(fossils, ECommand::FossilStop);

    QMenu* help = bar->addMenu(tr("&Help"));
    Add(help, ECommand::HelpTopics);
    help->addAction(whatsThis);
    help->addSeparator();
    Add(help, ECommand::HelpAbout);

    m_menus = {file, edit, pasteTo, view, evolve, genes, triangle, family, fossils, help};
    auto* menuStyle = new CMenuStyle;
    menuStyle->setParent(this);
    for (QMenu* menu : m_menus) {
        menu->setStyle(menuStyle);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
        connect(menu, &QMenu::aboutToHide, this, [menu] {
            // Keys reach the commands again; each command checks its own rule when it runs.
            for (QAction* a : menu->actions()) {
                if (!a->isSeparator() && !a->menu()) {
                    a->setEnabled(true);
                }
            }
        });
    }

    m_pContextMenu = new QMenu(m_pOwner);
    m_pContextMenu->addAction(Action(ECommand::ContextSave));
    m_pContextMenu->addAction(Action(ECommand::ContextCopy));
    m_pContextMenu->addAction(Action(ECommand::ContextExport));
}

void CCommandTable::ApplyRule(QAction* action, const SCommandRule& rule) {
    action->setEnabled(rule.bEnabled);
    if (action->isCheckable()) {
        action->setChecked(rule.bChecked);
    }
}

void CCommandTable::UpdateMenu(QMenu* menu) {
    RefreshUndoTexts();
    const SCommandState state = m_hooks.state();
    for (size_t i = 0; i < m_actions.size(); ++i) {
        if (menu->actions().contains(m_actions[i])) {
            ApplyRule(m_actions[i], RuleFor(static_cast<ECommand>(i), state));
        }
    }
}

void CCommandTable::UpdateCommandUI() {
    RefreshUndoTexts();
    const SCommandState state = m_hooks.state();
    for (size_t i = 0; i < m_actions.size(); ++i) {
        ApplyRule(m_actions[i], RuleFor(static_cast<ECommand>(i), state));
    }
}

bool CCommandTable::RunCommand(ECommand command) {
    QAction* action = Action(command);
    const SCommandRule rule = Rule(command);
    if (action->isCheckable()) {
        // Qt flips the mark on its own; the rule says what it shows.
        action->setChecked(rule.bChecked);
    }
    if (m_hooks.takenForHelp && m_hooks.takenForHelp(command)) {
        return false;
    }
    if (!rule.bEnabled) {
        return false;
    }
    {
        const CUndoScope change(m_hooks.history(), UndoKindOf(command));
        if (const auto& handler = m_handlers[Index(command)]) {
            handler();
        }
    }
    if (action->isCheckable()) {
        action->setChecked(Rule(command).bChecked);
    }
    emit commandRan(command);
    return true;
}

void CCommandTable::RunEdit(EUndoKind kind, const std::function<void()>& edit) {
    const CUndoScope change(m_hooks.history(), kind);
    edit();
}

std::optional<EUndoKind> CCommandTable::UndoKindOf(ECommand command) {
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

void CCommandTable::RefreshUndoTexts() {
    CUndoHistory& history = m_hooks.history();
    history.SyncRun();
    const QString undo = history.InRun() ? tr("repeat") : history.Stack().undoText();
    const QString redo = history.InRun() ? QString() : history.Stack().redoText();
    Action(ECommand::EditUndo)->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undo));
    Action(ECommand::EditRedo)->setText(redo.isEmpty() ? tr("Re&do") : tr("Re&do %1").arg(redo));
}
