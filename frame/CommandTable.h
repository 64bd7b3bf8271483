#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "frame/CommandRules.h"
#include "view/UndoHistory.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Every command's action, menu place, rule and handler, and the one door they all go through:
// RunCommand checks the command's rule, brackets the change it makes for undo and carries it
// out, whether it came from a menu, a key, the context menu or a button of the gene bar.
class CCommandTable : public QObject {
    Q_OBJECT

public:
    // What the table needs from the window: the state the rules look at, the undo history,
    // and a chance to take a command for point-and-click help instead of running it.
    struct SHooks {
        std::function<SCommandState()> state;
        std::function<CUndoHistory&()> history;
        // True if point-and-click help took the command (its help is shown instead).
        std::function<bool(ECommand)> takenForHelp;
    };

    CCommandTable(QWidget* owner, SHooks hooks);

    // What a command does; set once by the window for each command it offers.
    void SetHandler(ECommand command, std::function<void()> handler);
    QAction* Action(ECommand command) const { return m_actions[Index(command)]; }
    // The command an action stands for, if it is one of the table's.
    std::optional<ECommand> CommandOf(const QAction* action) const;
    static int HelpId(ECommand command);
    // Which kind of undoable change a command makes, if any.
    static std::optional<EUndoKind> UndoKindOf(ECommand command);

    // Builds the menu bar; the recent files' actions go into the File menu before Exit.
    void CreateMenus(QMenuBar* bar, const QList<QAction*>& recentFiles, QAction* whatsThis);
    QMenu* ContextMenu() const { return m_pContextMenu; }
    const QList<QMenu*>& Menus() const { return m_menus; }

    SCommandRule Rule(ECommand command) const { return RuleFor(command, m_hooks.state()); }
    // Sets the enabled and checked state of every command from its rule.
    void UpdateCommandUI();
    // Carries out a command if its rule allows it; false if it was refused.
    bool RunCommand(ECommand command);
    // A change that is not a command of the menus (a gene stepped on the gene bar) through
    // the same undo bracket.
    void RunEdit(EUndoKind kind, const std::function<void()>& edit);

    // The Edit menu names what Undo and Redo would take back or make again.
    void RefreshUndoTexts();

signals:
    // A command ran (the window refreshes what may have changed).
    void commandRan(ECommand command);

private:
    static size_t Index(ECommand command) { return static_cast<size_t>(command); }
    void CreateActions();
    QAction* Add(QMenu* menu, ECommand command);
    void UpdateMenu(QMenu* menu);
    void ApplyRule(QAction* action, const SCommandRule& rule);

    QWidget* m_pOwner;
    SHooks m_hooks;
    std::array<QAction*, static_cast<size_t>(ECommand::Count)> m_actions{};
    std::array<std::function<void()>, static_cast<size_t>(ECommand::Count)> m_handlers{};
    QList<QMenu*> m_menus;
    QMenu* m_pContextMenu = nullptr;
};
