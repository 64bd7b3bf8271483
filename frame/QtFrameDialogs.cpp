#include "frame/QtFrameDialogs.h"

#include <QChildEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <utility>

#include "document/QuorvaleDoc.h"
#include "frame/SettingsDialogs.h"
#include "platform/HelpViewer.h"

namespace {

// Turns the paper list of one of Qt's page set-up pages to the given paper; false when the
// page has no such list or the paper is not in it. For a print system's printer Qt opens the
// page on the printer's own default paper rather than the job's, and hands that paper back
// whether or not the user changed it.
bool ShowPaper(QWidget* dialog, const QPageSize& paper) {
    auto* list = dialog->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
    if (!list) {
        return false;
    }
    for (int i = 0; i < list->count(); ++i) {
        const QVariant item = list->itemData(i);
        if (item.metaType() == QMetaType::fromType<QPageSize>() &&
            item.value<QPageSize>().isEquivalentTo(paper)) {
            list->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

// Watches the print dialog for its printer properties, where the paper is chosen: when they
// open they are turned to the job's paper, and whether they opened is kept.
class CPaperWatch : public QObject {
public:
    CPaperWatch(QDialog& printDialog, QPageSize paper)
        : m_pPrintDialog(&printDialog), m_paper(std::move(paper)) {
        printDialog.installEventFilter(this);
    }
    // Whether the user could see the paper and change it.
    bool PaperShown() const { return m_bShown; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pPrintDialog && event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType()) {
                child->installEventFilter(this);
            }
        } else if (watched != m_pPrintDialog && event->type() == QEvent::Show) {
            if (auto* properties = qobject_cast<QDialog*>(watched);
                properties && properties->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"))) {
                if (!m_bShown) {
                    ShowPaper(properties, m_paper);
                }
                m_bShown = true;
            }
        }
        return false;
    }

private:
    QObject* m_pPrintDialog;
    QPageSize m_paper;
    bool m_bShown = false;
};

QString AskPath(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                const QString& filter, const QString& folder, const QString& proposed) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    // The biomorph dialogs add ".bio"; the window itself asks before a file is replaced.
    const bool bBiomorphs = filter.startsWith("Biomorph");
    if (bBiomorphs) {
        dialog.setDefaultSuffix("bio");
    }
    if (mode == QFileDialog::AcceptSave) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposed);
    } else {
        // Any name typed is taken: Qt lists no file whose name is not in the local encoding and
        // would call it missing, yet the program finds it by the name it shows for it. A name
        // that is really missing is reported when the file is opened.
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

}  // namespace

CQtFrameDialogs::CQtFrameDialogs(QWidget* parent, const CQuorvaleDoc* doc,
                                 std::function<void()> onHelp)
    : m_pParent(parent), m_pDoc(doc), m_onHelp(std::move(onHelp)) {}

CQtFrameDialogs::~CQtFrameDialogs() = default;

QString CQtFrameDialogs::StartFolder() const {
    if (!m_strLastFolder.isEmpty() && QFileInfo(m_strLastFolder).isDir()) {
        return m_strLastFolder;
    }
    const std::string path = m_pDoc ? m_pDoc->PathName() : std::string();
    if (!path.empty()) {
        const QString folder = QFileInfo(QString::fromStdString(path)).absolutePath();
        if (QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void CQtFrameDialogs::Remember(const QString& chosen) {
    if (!chosen.isEmpty()) {
        m_strLastFolder = QFileInfo(chosen).absolutePath();
    }
}

QString CQtFrameDialogs::AskOpenPath(const QString& title, const QString& filter) {
    const QString chosen =
        AskPath(m_pParent, QFileDialog::AcceptOpen, title, filter, StartFolder(), QString());
    Remember(chosen);
    return chosen;
}

QString CQtFrameDialogs::AskSavePath(const QString& title, const QString& filter,
                                     const QString& proposed) {
    const QString chosen =
        AskPath(m_pParent, QFileDialog::AcceptSave, title, filter, StartFolder(), proposed);
    Remember(chosen);
    return chosen;
}

IFrameDialogs::ESaveChanges CQtFrameDialogs::AskSaveChanges(const QString& name) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvale"),
                    QObject::tr("Save changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_pParent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return ESaveChanges::Save;
        case QMessageBox::Discard:
            return ESaveChanges::Discard;
        default:
            return ESaveChanges::Cancel;
    }
}

bool CQtFrameDialogs::AskReplace(const QString& name) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvale"),
                    QObject::tr("%1 already exists.\nDo you want to replace it?").arg(name),
                    QMessageBox::Yes | QMessageBox::No, m_pParent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void CQtFrameDialogs::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorvale"), text, QMessageBox::Ok,
                    m_pParent);
    box.exec();
}

void CQtFrameDialogs::ShowHelp(int topic) {
    if (!m_pHelp) {
        m_pHelp = std::make_unique<CHelpViewer>();
    }
    m_pHelp->ShowTopic(topic);
}

namespace {
// Notes whether an open menu is closed by a press outside it.
class CPressAwayWatch : public QObject {
public:
    explicit CPressAwayWatch(QMenu* menu) : m_pMenu(menu) { menu->installEventFilter(this); }
    ~CPressAwayWatch() override { m_pMenu->removeEventFilter(this); }
    bool PressedAway() const { return m_bPressedAway; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pMenu && event->type() == QEvent::MouseButtonPress &&
            !m_pMenu->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            m_bPressedAway = true;
        }
        return false;
    }

private:
    QMenu* m_pMenu;
    bool m_bPressedAway = false;
};
}  // namespace

bool CQtFrameDialogs::ExecContextMenu(QMenu* menu, const QPoint& globalPos) {
    const CPressAwayWatch watch(menu);
    menu->exec(globalPos);
    return watch.PressedAway();
}

std::optional<CSpecialGeneChoices> CQtFrameDialogs::RunSpecialGenes() {
    return RunSpecialGenesDialog(m_pParent, m_onHelp);
}

std::optional<float> CQtFrameDialogs::RunMutationRate(float rate) {
    return RunMutationRateDialog(m_pParent, rate, m_onHelp);
}

bool CQtFrameDialogs::AskExportPicture(QString& path, int& scale) {
    const QString png = QObject::tr("PNG picture (*.png)");
    const QString svg = QObject::tr("SVG drawing (*.svg)");
    // Named after the document, so a worksheet's pictures say which creature they show.
    QString name = m_pDoc ? QString::fromStdString(m_pDoc->Title()) : QString();
    if (name.endsWith(".bio", Qt::CaseInsensitive)) {
        name.chop(4);
    }
    QFileDialog dialog(m_pParent, QObject::tr("Export picture"), StartFolder(), png + ";;" + svg);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(name + ".png");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    QString chosen = dialog.selectedFiles().first();
    Remember(chosen);
    const bool bSvg = dialog.selectedNameFilter() == svg;
    // The filter decides the kind when the name says nothing of its own.
    if (!chosen.endsWith(".png", Qt::CaseInsensitive) &&
        !chosen.endsWith(".svg", Qt::CaseInsensitive)) {
        chosen += bSvg ? ".svg" : ".png";
    }
    scale = 1;
    if (chosen.endsWith(".png", Qt::CaseInsensitive)) {
        bool bOk = false;
        scale = QInputDialog::getInt(
            m_pParent, QObject::tr("Picture size"),
            QObject::tr("How many times as large as on the screen (1 to 4)?\n"
                        "Larger pictures stay sharp on a projector or in print."),
            1, 1, 4, 1, &bOk);
        if (!bOk) {
            return false;
        }
    }
    path = chosen;
    return true;
}

bool CQtFrameDialogs::AskPrint(QPrinter& printer, int pages) {
    const QPageSize paper = printer.pageLayout().pageSize();
    const QString printerName = printer.printerName();
    QPrintDialog dialog(&printer, m_pParent);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, pages > 1);
    CPaperWatch watch(dialog, paper);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    // The paper chosen in Print setup stays unless the user saw it here and chose again.
    if (!watch.PaperShown() && printer.printerName() == printerName) {
        printer.setPageSize(paper);
    }
    return true;
}

void CQtFrameDialogs::AskPageSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, m_pParent);
    // It opens on the paper chosen before, so that OK keeps it.
    ShowPaper(&dialog, printer.pageLayout().pageSize());
    dialog.exec();
}
