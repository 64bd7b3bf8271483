#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>

#include "document/DocLinks.h"
#include "document/QuorvaleDoc.h"
#include "frame/CommandTable.h"
#include "frame/DocumentController.h"
#include "frame/FrameDialogs.h"
#include "frame/PointHelp.h"
#include "frame/PrintJob.h"
#include "frame/ViewCommands.h"

class CGeneBar;
class CQuorvaleView;
class QToolBar;
class QPrinter;

// The program's window, assembled: the gene bar along the top, the view, the status bar, and
// the parts that do the work behind them (the command table, the document's files, printing,
// point-and-click help). It also keeps full screen and asks before closing.
class CMainFrame : public QMainWindow, public IMessageSink {
    Q_OBJECT

public:
    CMainFrame(CQuorvaleDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQuorvaleView* View() const { return m_pView; }
    CGeneBar* GeneBar() const { return m_pGeneBar; }
    CQuorvaleDoc* Document() const { return m_pDoc; }
    CCommandTable& Commands() const { return *m_pCommands; }
    CDocumentController& Documents() const { return *m_pDocuments; }
    CPrintJob& Printing() const { return *m_pPrinting; }
    CPointHelp& Help() const { return *m_pHelp; }
    QLabel* IdlePrompt() const { return m_pIdlePrompt; }

    // The command table's door and state, as the window offers them.
    QAction* Action(ECommand command) const { return m_pCommands->Action(command); }
    QMenu* ContextMenu() const { return m_pCommands->ContextMenu(); }
    SCommandState CommandState() const;
    SCommandRule Rule(ECommand command) const { return m_pCommands->Rule(command); }
    void UpdateCommandUI() { m_pCommands->UpdateCommandUI(); }
    bool RunCommand(ECommand command) { return m_pCommands->RunCommand(command); }
    static int CommandHelpId(ECommand command) { return CCommandTable::HelpId(command); }

    // Draws the morphs 1 to 4 times as large, and remembers it for the next start.
    void SetZoom(int zoom);

    // The context menu at a screen point (right click or the menu key over the view).
    void OnContextMenu(const QPoint& globalPos);
    void OnHelp() { m_pHelp->OnHelp(); }
    bool InPointHelp() const { return m_pHelp->InPointHelp(); }
    int LastHelpTopic() const { return m_pHelp->LastHelpTopic(); }
    void ShowFirstHint() { m_pHelp->ShowFirstHint(); }
    bool IsShowingFirstHint() const { return m_pHelp->IsShowingFirstHint(); }

    // IMessageSink: a stop-icon message box under the program's title.
    void ShowError(const std::string& text) override;

    // The document's files.
    const QStringList& RecentFiles() const { return m_pDocuments->RecentFiles(); }
    void SetRecentFiles(const QStringList& files) { m_pDocuments->SetRecentFiles(files); }
    bool OpenDocumentFile(const QString& path) { return m_pDocuments->OpenDocumentFile(path); }
    bool OpenDocumentPath(const std::string& path) { return m_pDocuments->OpenDocumentPath(path); }
    bool MaybeSaveChanges() { return m_pDocuments->MaybeSaveChanges(); }

    // The dialogs the window asks the user through (null: the program's own).
    void SetDialogs(IFrameDialogs* dialogs) { m_pDialogs = dialogs ? dialogs : m_pQtDialogs.get(); }
    IFrameDialogs& Dialogs() const { return *m_pDialogs; }

    // Prints the view's pages on a printer, as File > Print does after its dialog.
    bool PrintOn(QPrinter& printer, int from, int to) {
        return m_pPrinting->PrintOn(printer, from, to);
    }

    void UpdateCaption();
    // The title's mark of unsaved changes follows the document.
    void RefreshModified();

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

private:
    void CreateGeneBar();
    void CreateStatusBar();
    void ConnectGeneBar();
    void WireCommands();
    void RefreshZoomLabel();
    void ToggleFullScreen();
    void UndoOrRedo(bool bUndo);
    bool AcceptsDrag(const QDropEvent* event) const;

    CQuorvaleDoc* m_pDoc;
    std::unique_ptr<IFrameDialogs> m_pQtDialogs;
    IFrameDialogs* m_pDialogs = nullptr;
    CQuorvaleView* m_pView = nullptr;
    CGeneBar* m_pGeneBar = nullptr;
    QToolBar* m_pGeneBarDock = nullptr;
    QLabel* m_pIdlePrompt = nullptr;
    QLabel* m_pZoomLabel = nullptr;
    QLabel* m_pRepeatLabel = nullptr;
    bool m_bWasMaximized = false;
    CPointHelp* m_pHelp = nullptr;
    CCommandTable* m_pCommands = nullptr;
    CDocumentController* m_pDocuments = nullptr;
    std::unique_ptr<CPrintJob> m_pPrinting;
    std::unique_ptr<CViewCommands> m_pViewCommands;
};
