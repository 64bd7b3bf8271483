#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <array>
#include <string>

class CBioMorph;
class CQuorvaleDoc;
class CQuorvaleView;
class IFrameDialogs;
class QAction;
class QMimeData;

// The document's files: New, Open, Save and Save as, the question about unsaved changes, the
// recent files, files dropped on the window and triangle corners loaded from files. It asks
// the user through the dialogs and tells the window what changed by its signals; it never
// sees the window itself.
class CDocumentController : public QObject {
    Q_OBJECT

public:
    static constexpr int kRecentCount = 4;

    CDocumentController(CQuorvaleDoc& doc, CQuorvaleView& view, IFrameDialogs*& dialogs,
                        QObject* parent = nullptr);

    void New();
    // Asks for a file, then (only once one is chosen) about unsaved changes, then opens it.
    void Open();
    // Ctrl+S: to the document's own path, or under a name asked for.
    void Save();
    void SaveAs();

    // Opens a file named by a path Qt shows, or by the bytes the system knows it by (the
    // command line); only a file that opened joins the recent list.
    bool OpenDocumentFile(const QString& path);
    bool OpenDocumentPath(const std::string& path);
    // A file of the recent list, which leaves the list if it has gone.
    void OpenRecentFile(const QString& path);

    // Before what would lose unsaved changes: asks whether to save them. False if the user
    // cancels (or the save fails): nothing may then be thrown away.
    bool MaybeSaveChanges();

    // Recent files (most recent first, at most four) and their File menu items.
    const QStringList& RecentFiles() const { return m_recentFiles; }
    void SetRecentFiles(const QStringList& files);
    void AddRecentFile(const QString& path);
    QList<QAction*> RecentActions() const;

    // Drops: the local file a drag carries (empty: none), and dropping it at a point of the
    // view (over a triangle corner it loads that corner; anywhere else it opens).
    static QString DraggedFile(const QMimeData* data);
    void DropFile(const QString& path, QPoint viewPoint);

    // Triangle > New top/left/right: a file asked for, loaded into the corner.
    void LoadCorner(CBioMorph& corner);

signals:
    void recentFilesChanged();
    // The document's title, its mark of unsaved changes, or the whole document changed.
    void documentChanged();

private:
    IFrameDialogs& Dialogs() const { return *m_rDialogs; }
    void OpenChosenFile(const QString& path);
    // A name to save under, asked for with the .bio filter; a name that exists is replaced
    // only if the user says so. Empty on Cancel.
    QString AskSaveName();
    bool SaveToPath(const std::string& path);
    void FollowModeAfterSave(int modeBefore);
    void LoadCornerFrom(CBioMorph& corner, const QString& path);
    bool LoadCornerFile(CBioMorph& corner, const QString& path);
    void RebuildRecentMenu();
    void Refresh();

    CQuorvaleDoc& m_doc;
    CQuorvaleView& m_view;
    IFrameDialogs*& m_rDialogs;
    QStringList m_recentFiles;
    std::array<QAction*, kRecentCount> m_recentActions{};
};
