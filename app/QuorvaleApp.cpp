#include "app/QuorvaleApp.h"

#include <QCommandLineParser>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QPrinter>
#include <QSettings>
#include <QUrl>
#include <cstdio>
#include <ctime>

#include "app/AboutBox.h"
#include "document/BioFile.h"
#include "frame/FileNames.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "frame/QtFrameDialogs.h"
#include "frame/SettingsDialogs.h"
#include "model/Random.h"
#include "platform/Cursors.h"
#include "platform/HelpViewer.h"
#include "view/QuorvaleView.h"

CQuorvaleApp::CQuorvaleApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(kSettingsOrganisation);
    setApplicationName(kSettingsApplication);
    setApplicationVersion(kProgramVersion);
    setWindowIcon(ApplicationIcon());
    // Lets a desktop match the running window to its launcher entry (and so its icon).
    setDesktopFileName(kDesktopFileName);
    // The arguments as given (Qt has taken out its own by now): a file's name need not be in
    // the local encoding, and only the bytes name such a file.
    for (int i = 1; i < argc; ++i) {
        m_rawArguments.emplace_back(argv[i]);
    }
}

std::string CQuorvaleApp::ArgumentBytes(const QString& argument) const {
    // A file manager may hand over a URL of a local file.
    if (argument.startsWith("file://")) {
        const QUrl url(argument);
        if (url.isLocalFile()) {
            return PathBytes(url.toLocalFile());
        }
    }
    for (const std::string& raw : m_rawArguments) {
        if (QFile::decodeName(QByteArray(raw.data(), static_cast<qsizetype>(raw.size()))) ==
            argument) {
            return raw;
        }
    }
    return PathBytes(argument);
}

CQuorvaleApp::~CQuorvaleApp() {
    m_pFrame.reset();
    m_pDoc.reset();
}

namespace {

// The program's dialogs, with the About box of the application.
class CAppDialogs : public CQtFrameDialogs {
public:
    using CQtFrameDialogs::CQtFrameDialogs;
    void ShowAbout() override {
        CAboutBox about(Frame());
        about.exec();
    }
};

}  // namespace

QIcon CQuorvaleApp::ApplicationIcon() {
    // The installed theme's icon where there is one, so a themed desktop may restyle it;
    // otherwise the same pictures, compiled in, at every size the theme has.
    QIcon builtIn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        builtIn.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    }
    return QIcon::fromTheme(QString::fromLatin1(kDesktopFileName), builtIn);
}

bool CQuorvaleApp::InitInstance() {
    SeedRandom(static_cast<uint32_t>(std::time(nullptr)));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Quorvale: explore evolution by artificial selection with biomorphs.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "A biomorph file (.bio) to open.", "[file]");
    const QCommandLineOption printOption({"p", "print"},
                                         "Print the file on the default printer and quit.");
    const QCommandLineOption printToOption(
        "print-to", "Print the file on the named printer and quit.", "printer");
    const QCommandLineOption unregisterOption("unregister",
                                              "Remove Quorvale's saved settings and quit.");
    parser.addOption(printOption);
    parser.addOption(printToOption);
    parser.addOption(unregisterOption);
    parser.process(*this);

    if (parser.isSet(unregisterOption)) {
        QSettings settings;
        settings.clear();
        settings.sync();
        std::printf("Quorvale's settings were removed.\n");
        m_nExitCode = 0;
        return false;
    }

    m_pDoc = std::make_unique<CQuorvaleDoc>();
    m_pFrame = std::make_unique<CMainFrame>(m_pDoc.get());
    CMainFrame* frame = m_pFrame.get();
    m_pDialogs = std::make_unique<CAppDialogs>(frame);
    frame->SetDialogs(m_pDialogs.get());
    LoadSettings();
    connect(frame, &CMainFrame::recentFilesChanged, this, [this] { SaveSettings(); });

    const QStringList files = parser.positionalArguments();
    if (parser.isSet(printOption) || parser.isSet(printToOption)) {
        if (files.isEmpty()) {
            std::fprintf(stderr, "quorvale: printing needs a file to print\n");
            m_nExitCode = 2;
            return false;
        }
        m_nExitCode = PrintFile(ArgumentBytes(files.first()), parser.value(printToOption)) ? 0 : 1;
        return false;
    }

    // As at every start: the new document is made before the view is linked in, and the
    // view's first update then applies the mode (one breeding of offspring each).
    m_pDoc->SetViewLink(nullptr);
    m_pDoc->OnNewDocument();
    m_pDoc->SetViewLink(frame->View());
    frame->resize(1024, 720);
    frame->View()->OnInitialUpdate();
    if (!files.isEmpty()) {
        // A file that cannot be opened has said why; the window then opens on a new
        // document, as it would with no file named.
        frame->OpenDocumentPath(ArgumentBytes(files.first()));
    }
    frame->UpdateCaption();
    frame->showMaximized();
    return true;
}

bool CQuorvaleApp::PrintFile(const std::string& path, const QString& printerName) {
    m_pDoc->OnNewDocument();
    m_pFrame->resize(1024, 720);
    m_pFrame->View()->OnInitialUpdate();
    if (!m_pFrame->OpenDocumentPath(path)) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty()) {
        printer.setPrinterName(printerName);
    }
    if (!printer.isValid() && printer.outputFormat() != QPrinter::PdfFormat) {
        std::fprintf(stderr, "quorvale: no printer is available\n");
        return false;
    }
    if (!m_pFrame->PrintOn(printer, 1, m_pFrame->View()->PrintPageCount())) {
        std::fprintf(stderr, "quorvale: Could not start print job.\n");
        return false;
    }
    return true;
}

void CQuorvaleApp::LoadSettings() {
    QSettings settings;
    QStringList recent;
    settings.beginGroup("Recent File List");
    for (int i = 1; i <= 4; ++i) {
        const QString file = settings.value(QString("File%1").arg(i)).toString();
        if (!file.isEmpty()) {
            recent.append(file);
        }
    }
    settings.endGroup();
    m_pFrame->SetRecentFiles(recent);
    m_nPreviewPages = settings.value("Settings/PreviewPages", 1).toInt();
}

void CQuorvaleApp::SaveSettings() {
    if (!m_pFrame) {
        return;
    }
    QSettings settings;
    settings.beginGroup("Recent File List");
    settings.remove("");
    const QStringList& recent = m_pFrame->RecentFiles();
    for (int i = 0; i < recent.size() && i < 4; ++i) {
        settings.setValue(QString("File%1").arg(i + 1), recent[i]);
    }
    settings.endGroup();
    settings.setValue("Settings/PreviewPages", m_nPreviewPages);
}

void CQuorvaleApp::ExitInstance() {
    SaveSettings();
}
