#include "frame/DocumentController.h"

#include <sys/stat.h>

#include <QAction>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "document/BioFile.h"
#include "document/FileIo.h"
#include "document/QuorvaleDoc.h"
#include "frame/FileNames.h"
#include "frame/FrameDialogs.h"
#include "view/QuorvaleView.h"

namespace {
// How near a triangle corner (in pixels, across plus down) a dropped file loads that corner.
constexpr int kCornerDropReach = 90;
}  // namespace

CDocumentController::CDocumentController(CQuorvaleDoc& doc, CQuorvaleView& view,
                                         IFrameDialogs*& dialogs, QObject* parent)
    : QObject(parent), m_doc(doc), m_view(view), m_rDialogs(dialogs) {
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        auto* action = new QAction(this);
        action->setStatusTip(tr("Open this document"));
        action->setVisible(false);
        m_recentActions[i] = action;
    }
}

QList<QAction*> CDocumentController::RecentActions() const {
    return QList<QAction*>(m_recentActions.begin(), m_recentActions.end());
}

void CDocumentController::Refresh() {
    m_view.Invalidate();
    emit documentChanged();
}

// ---------------------------------------------------------------------------------------
// New, Open, Save

bool CDocumentController::MaybeSaveChanges() {
    if (!m_doc.IsModified()) {
        return true;
    }
    switch (Dialogs().AskSaveChanges(QString::fromStdString(m_doc.Title()))) {
        case IFrameDialogs::ESaveChanges::Discard:
            return true;
        case IFrameDialogs::ESaveChanges::Cancel:
            return false;
        case IFrameDialogs::ESaveChanges::Save:
            break;
    }
    std::string path = m_doc.PathName();
    if (path.empty() || !IsWritableFile(path)) {
        const QString chosen = AskSaveName();
        if (chosen.isEmpty()) {
            return false;
        }
        path = PathBytes(chosen);
    }
    return SaveToPath(path);
}

QString CDocumentController::AskSaveName() {
    const QString path = Dialogs().AskSavePath(tr("Save As"), tr("Biomorph files (*.bio)"),
                                               QString::fromStdString(m_doc.Title()));
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

bool CDocumentController::SaveToPath(const std::string& path) {
    const int mode = m_doc.Mode();
    const bool bSaved = m_doc.SaveFile(path);
    if (bSaved) {
        m_doc.SetPathName(path);
        AddRecentFile(ShownPath(path));
    }
    FollowModeAfterSave(mode);
    Refresh();
    return bSaved;
}

void CDocumentController::FollowModeAfterSave(int modeBefore) {
    // Saving breeds anew and returns to Breed in every mode but Engineer; a save made from
    // the fossils, the triangle or the family tree switches the view along with it.
    if (m_doc.Mode() != modeBefore) {
        m_view.SetMode(m_doc.Mode());
    }
}

void CDocumentController::New() {
    if (!MaybeSaveChanges()) {
        return;
    }
    m_doc.OnNewDocument();
    Refresh();
}

void CDocumentController::Open() {
    // The file first: the question about unsaved changes matters only once one is chosen.
    const QString path =
        Dialogs().AskOpenPath(tr("Open"), tr("Biomorph files (*.bio);;All Files (*)"));
    if (!path.isEmpty()) {
        OpenChosenFile(path);
    }
}

void CDocumentController::OpenChosenFile(const QString& path) {
    // The file is read and checked first: one that cannot be opened is refused with its
    // reason, and only then is the user asked about the changes that opening would lose.
    const std::string file = PathBytes(path);
    std::vector<uint8_t> bytes;
    if (!m_doc.ReadOpenable(file, bytes) || !MaybeSaveChanges()) {
        return;
    }
    // Only a file that opened joins the recent list; a refused one changes nothing.
    if (m_doc.OpenAndFinish(bytes, file)) {
        AddRecentFile(ShownPath(file));
    }
    Refresh();
}

bool CDocumentController::OpenDocumentFile(const QString& path) {
    return OpenDocumentPath(PathBytes(path));
}

bool CDocumentController::OpenDocumentPath(const std::string& path) {
    const bool bOpened = m_doc.OpenFile(path);
    if (bOpened) {
        AddRecentFile(ShownPath(path));
    }
    Refresh();
    return bOpened;
}

void CDocumentController::OpenRecentFile(const QString& path) {
    const std::string file = PathBytes(path);
    std::vector<uint8_t> bytes;
    if (!m_doc.ReadOpenable(file, bytes)) {
        // An entry whose file has gone leaves the list (its not-found message was shown).
        struct stat info {};
        if (::lstat(file.c_str(), &info) != 0) {
            m_recentFiles.removeAll(path);
            RebuildRecentMenu();
            emit recentFilesChanged();
        }
        return;
    }
    if (!MaybeSaveChanges()) {
        return;
    }
    if (m_doc.OpenFromBytes(bytes, file)) {
        AddRecentFile(ShownPath(file));
    }
    Refresh();
}

void CDocumentController::SaveAs() {
    const QString path = AskSaveName();
    if (path.isEmpty()) {
        return;
    }
    const int mode = m_doc.Mode();
    m_doc.SaveAs(PathBytes(path));
    FollowModeAfterSave(mode);
    Refresh();
}

void CDocumentController::Save() {
    std::string path = m_doc.PathName();
    if (path.empty() || !IsWritableFile(path)) {
        const QString chosen = AskSaveName();
        if (chosen.isEmpty()) {
            return;
        }
        path = PathBytes(chosen);
    }
    SaveToPath(path);
}

// ---------------------------------------------------------------------------------------
// Recent files

void CDocumentController::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > kRecentCount) {
        m_recentFiles.removeLast();
    }
    RebuildRecentMenu();
    emit recentFilesChanged();
}

void CDocumentController::SetRecentFiles(const QStringList& files) {
    m_recentFiles = files.mid(0, kRecentCount);
    RebuildRecentMenu();
}

void CDocumentController::RebuildRecentMenu() {
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        if (static_cast<qsizetype>(i) < m_recentFiles.size()) {
            const QString& file = m_recentFiles[static_cast<qsizetype>(i)];
            action->setText(QString("&%1 %2").arg(i + 1).arg(QFileInfo(file).fileName()));
            action->setToolTip(file);
            action->setData(file);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Drops and triangle corners

QString CDocumentController::DraggedFile(const QMimeData* data) {
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

void CDocumentController::DropFile(const QString& path, QPoint viewPoint) {
    // Over a corner of the gene-space triangle, the file goes to that corner.
    if (m_doc.Mode() == kModeTriangle) {
        const std::pair<SPoint, CBioMorph*> corners[] = {
            {m_view.TriangleTop(), m_doc.m_pTriTop.get()},
            {m_view.TriangleLeft(), m_doc.m_pTriLeft.get()},
            {m_view.TriangleRight(), m_doc.m_pTriRight.get()}};
        for (const auto& [point, morph] : corners) {
            const QPoint d = viewPoint - QPoint(point.x, point.y);
            if (d.manhattanLength() <= kCornerDropReach) {
                LoadCornerFrom(*morph, path);
                return;
            }
        }
    }
    // Anywhere else it opens, as File > Open would.
    OpenChosenFile(path);
}

void CDocumentController::LoadCorner(CBioMorph& corner) {
    const QString path =
        Dialogs().AskOpenPath(tr("Open"), tr("Biomorph files (*.bio);;All Files (*)"));
    if (path.isEmpty()) {
        return;
    }
    // Inside the command's own undo bracket.
    LoadCornerFile(corner, path);
}

void CDocumentController::LoadCornerFrom(CBioMorph& corner, const QString& path) {
    const CUndoScope change(m_view.History(), EUndoKind::Corner);
    LoadCornerFile(corner, path);
}

bool CDocumentController::LoadCornerFile(CBioMorph& corner, const QString& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    const std::string file = PathBytes(path);
    if (!ReadFileBytes(file, bytes, error)) {
        // Missing, unreadable, or not a file at all: the message names it and says why.
        m_doc.ReportError(error);
        return false;
    }
    const EBioLoad outcome = LoadMorphFromFile(bytes.data(), bytes.size(), corner);
    if (outcome == EBioLoad::Empty) {
        m_doc.ReportError("Could not load " + ReadableName(file) + ": the file is empty.");
        return false;
    }
    if (outcome != EBioLoad::Ok) {
        // The corner keeps its genome: a rejected or cut-short file changes nothing.
        m_doc.ReportError("Could not load " + ReadableName(file) + ".\n\n" +
                          BioLoadMessage(outcome));
        return false;
    }
    m_view.TriangleChanged();
    m_view.Invalidate();
    return true;
}
