#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/DocLinks.h"
#include "document/QuorvaleDoc.h"
#include "frame/CommandRules.h"
#include "frame/FrameDialogs.h"
#include "view/UndoHistory.h"

class QMimeData;
class CGeneBar;
class CQuorvaleView;
class QToolBar;
class QPrinter;

// The program's window: menus, keys, the gene bar along the top, the view, the status bar.
// Every command has one rule (enabled, checked) evaluated before its menu shows and again
// before the command runs, so a disabled command never runs from its key either.
class CMainFrame : public QMainWindow, public IMessageSink {
    Q_OBJECT

public:
    CMainFrame(CQuorvaleDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQuorvaleView* View() const { return m_pView; }
    CGeneBar* GeneBar() const { return m_pGeneBar; }
    CQuorvaleDoc* Document() const { return m_pDoc; }
    QAction* Action(ECommand command) const { return m_actions[static_cast<size_t>(command)]; }
    QMenu* ContextMenu() const { return m_pContextMenu; }
    QLabel* IdlePrompt() const { return m_pIdlePrompt; }

    SCommandState CommandState() const;
    SCommandRule Rule(ECommand command) const { return RuleFor(command, CommandState()); }
    // Sets the enabled and checked state of every command from its rule.
    void UpdateCommandUI();
    // Carries out a command if its rule allows it; false if it was refused.
    bool RunCommand(ECommand command);
    // The help id of a command (0 for none).
    static int CommandHelpId(ECommand command);

    // Draws the morphs 1 to 4 times as large, and remembers it for the next start.
    void SetZoom(int zoom);

    // Operations the gene bar calls.
    void ApplyGenesToCurrent(const std::array<int32_t, kGeneCount>& genes);
    void ApplyGradientsToCurrent(const GeneArray& gradients);

    // The context menu at a screen point (right click or the menu key over the view).
    void OnContextMenu(const QPoint& globalPos);
    // Help: F1, Help Topics, and point-and-click help.
    void OnHelp();
    void ShowHelpTopic(int topic);
    void EnterPointHelp();
    bool InPointHelp() const { return m_bPointHelp; }
    int LastHelpTopic() const { return m_nLastHelpTopic; }

    // IMessageSink: a stop-icon message box under the program's title.
    void ShowError(const std::string& text) override;

    // Recent files (most recent first, at most four).
    void AddRecentFile(const QString& path);
    const QStringList& RecentFiles() const { return m_recentFiles; }
    void SetRecentFiles(const QStringList& files);
    bool OpenDocumentFile(const QString& path);
    // A file of the recent list, which leaves the list if it has gone.
    void OpenRecentFile(const QString& path);
    // The same for a path given as the bytes the system knows the file by (the command line).
    bool OpenDocumentPath(const std::string& path);

    // The dialogs the window asks the user through (null: the program's own).
    void SetDialogs(IFrameDialogs* dialogs) { m_pDialogs = dialogs ? dialogs : m_pQtDialogs.get(); }
    IFrameDialogs& Dialogs() const { return *m_pDialogs; }

    // Prints the view's pages on a printer, as File > Print does after its dialog.
    bool PrintOn(QPrinter& printer, int from, int to);

    void UpdateCaption();
    // Before what would lose unsaved changes: asks whether to save them. False if the user
    // cancels (or the save fails): nothing may then be thrown away.
    bool MaybeSaveChanges();
    // The title's mark of unsaved changes follows the document.
    void RefreshModified();

    // The first start's hint: the status bar says how to begin until the first click in the
    // view, which emits firstHintDone.
    void ShowFirstHint();
    bool IsShowingFirstHint() const { return m_bFirstHint; }

signals:
    void recentFilesChanged();
    void firstHintDone();
    // The user chose another zoom (the program remembers it).
    void zoomChanged(int zoom);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A command's menu text, key, status-bar prompt, help id and what it does.
    struct SCommandSpec {
        ECommand command;
        const char* text;
        const char* key;
        const char* prompt;
        int helpId;
        bool bCheckable;
        void (*run)(CMainFrame& frame);
    };
    static const std::vector<SCommandSpec>& Commands();
    static const SCommandSpec& SpecOf(ECommand command);

    void CreateActions();
    void CreateMenus();
    void UpdateMenu(QMenu* menu);
    void RebuildRecentMenu();
    QAction* AddCommand(QMenu* menu, ECommand command);
    void Execute(ECommand command);

    void OnFileNew();
    void OnFileOpen();
    // Opens a file the user chose (the Open dialog, a drop), after the unsaved-changes question.
    void OpenChosenFile(const QString& path);
    void OnFileSave();
    void OnFileSaveAs();
    void FollowModeAfterSave(int modeBefore);
    // A name to save under, asked for with the .bio filter; a name that exists is replaced
    // only if the user says so. Empty on Cancel.
    QString AskSaveName();
    bool SaveToPath(const std::string& path);
    void OnBreed();
    void OnEngineer();
    void OnRepeat();
    void OnRepeatBox();
    void OnHopefulMonster();
    void OnRotate();
    void OnSpecialGenes();
    void OnMutationRate();
    void OnFossilHistory();
    void OnNewHistory();
    void OnContextCopy();
    void OnExportPicture(bool bFromContextMenu);
    void OnFullScreen();
    void OnUndo();
    void OnRedo();
    // The Edit menu names what Undo and Redo would take back or make again.
    void RefreshUndoTexts();
    void RefreshZoomLabel();
    // Which kind of undoable change a command makes, if any.
    static std::optional<EUndoKind> UndoKindOf(ECommand command);
    void OnEditCopy();
    void OnEditPaste();
    void OnGeneSpace();
    void LoadCorner(CBioMorph& corner);
    void LoadCornerFrom(CBioMorph& corner, const QString& path);
    void LoadCornerFile(CBioMorph& corner, const QString& path);
    // The local file a drag carries, if any.
    static QString DraggedFile(const QMimeData* data);
    void OnTriangleClear();
    void OnFamilyTree();
    void OnFamilyClear();
    void OnFilePrint();
    void OnFilePrintSetup();
    void FinishPointHelp(int id);

    CQuorvaleDoc* m_pDoc;
    CQuorvaleView* m_pView = nullptr;
    CGeneBar* m_pGeneBar = nullptr;
    QToolBar* m_pGeneBarDock = nullptr;
    QLabel* m_pIdlePrompt = nullptr;
    QLabel* m_pZoomLabel = nullptr;
    bool m_bFirstHint = false;
    // A press on the gene bar is under way: its edits are one change.
    bool m_bBarPress = false;
    bool m_bWasMaximized = false;
    QMenu* m_pContextMenu = nullptr;
    QMenu* m_pRecentMenuAnchor = nullptr;
    QAction* m_pRecentSeparator = nullptr;
    std::array<QAction*, static_cast<size_t>(ECommand::Count)> m_actions{};
    std::array<QAction*, 4> m_recentActions{};
    QList<QMenu*> m_menus;
    QStringList m_recentFiles;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<IFrameDialogs> m_pQtDialogs;
    IFrameDialogs* m_pDialogs = nullptr;
    bool m_bPointHelp = false;
    int m_nLastHelpTopic = -1;
};
