#include "app/QuorvaleApp.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QPrinter>
#include <QSettings>
#include <QSocketNotifier>
#include <QUrl>
#include <cstdio>
#include <ctime>
#include <optional>

#include "app/AboutBox.h"
#include "document/BioFile.h"
#include "frame/FileNames.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "frame/PrintJob.h"
#include "frame/QtFrameDialogs.h"
#include "frame/SettingsDialogs.h"
#include "model/Random.h"
#include "platform/Cursors.h"
#include "platform/DragFolder.h"
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
    if (m_pDoc) {
        m_pDoc->SetViewLink(nullptr);
        m_pDoc->SetMessageSink(nullptr);
    }
    m_pView.reset();
    m_pDoc.reset();
}

namespace {

// The program's dialogs, with the About box of the application.
// Set once the first start's hint has been followed.
const char* const kFirstHintKey = "Hints/FirstClickDone";
const char* const kZoomKey = "View/Zoom";

class CAppDialogs : public CQtFrameDialogs {
public:
    using CQtFrameDialogs::CQtFrameDialogs;
    void ShowAbout() override {
        CAboutBox about(Parent());
        about.exec();
    }
};

// Without a window (printing or exporting from the command line) nobody is there to close a
// message box: what the program would show goes to stderr instead.
class CCommandLineDialogs : public CAppDialogs {
public:
    using CAppDialogs::CAppDialogs;
    void ShowMessage(const QString& text) override {
        QString oneLine = text;
        oneLine.replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace('\n', ' ');
        std::fprintf(stderr, "quorvale: %s\n", oneLine.toLocal8Bit().constData());
    }
};

}  // namespace

void CQuorvaleApp::CStderrSink::ShowError(const std::string& text) {
    CCommandLineDialogs(nullptr, nullptr, [] {}).ShowMessage(QString::fromStdString(text));
}

namespace {
int g_quitPipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int /*signal*/) {
    const char byte = 1;
    // Nothing but a write may happen here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(g_quitPipe[1], &byte, 1);
}
}  // namespace

void CQuorvaleApp::QuitOnSignals() {
    // A session ending (SIGTERM, SIGHUP) or Ctrl+C in a terminal ends the program as its own
    // Exit would once it has given up its resources: its drag files go with it.
    if (g_quitPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_quitPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_quitPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

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
    const QCommandLineOption printPdfOption(
        "print-pdf", "Print the file into a PDF file and quit, without showing the window.",
        "out.pdf");
    const QCommandLineOption exportOption(
        "export",
        "Save the picture of the file as PNG or SVG (by the name's extension) and quit, "
        "without showing the window.",
        "out.png|out.svg");
    const QCommandLineOption scaleOption(
        "scale", "With --export to PNG: pixels for each pixel of the window (1 to 4).", "n", "1");
    const QCommandLineOption unregisterOption("unregister",
                                              "Remove Quorvale's saved settings and quit.");
    parser.addOption(printOption);
    parser.addOption(printToOption);
    parser.addOption(printPdfOption);
    parser.addOption(exportOption);
    parser.addOption(scaleOption);
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
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(printOption) || parser.isSet(printToOption) || parser.isSet(printPdfOption)) {
        if (files.isEmpty()) {
            std::fprintf(stderr, "quorvale: printing needs a file to print\n");
            m_nExitCode = 2;
            return false;
        }
        m_nExitCode = PrintFile(ArgumentBytes(files.first()), parser.value(printToOption),
                                parser.value(printPdfOption))
                          ? 0
                          : 1;
        return false;
    }
    if (parser.isSet(exportOption)) {
        bool bScale = false;
        const int scale = parser.value(scaleOption).toInt(&bScale);
        if (files.isEmpty() || !bScale || scale < 1 || scale > 4) {
            std::fprintf(stderr, files.isEmpty()
                                     ? "quorvale: --export needs a file to draw\n"
                                     : "quorvale: --scale takes a whole number from 1 to 4\n");
            m_nExitCode = 2;
            return false;
        }
        m_nExitCode =
            ExportFile(ArgumentBytes(files.first()), parser.value(exportOption), scale) ? 0 : 1;
        return false;
    }

    // Drag folders left by a run that could not remove its own (killed, or the power gone).
    RemoveStaleDragFolders();
    QuitOnSignals();
    m_pFrame = std::make_unique<CMainFrame>(m_pDoc.get());
    CMainFrame* frame = m_pFrame.get();
    m_pDialogs = std::make_unique<CAppDialogs>(frame, m_pDoc.get(), [frame] { frame->OnHelp(); });
    frame->SetDialogs(m_pDialogs.get());
    LoadSettings();
    connect(frame, &CMainFrame::recentFilesChanged, this, [this] { SaveSettings(); });

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
    // The very first start says how to begin, until the first click.
    if (!QSettings().value(kFirstHintKey, false).toBool()) {
        frame->ShowFirstHint();
        connect(frame, &CMainFrame::firstHintDone, this,
                [] { QSettings().setValue(kFirstHintKey, true); });
    }
    // The zoom a class chose for its projector stays chosen.
    frame->SetZoom(QSettings().value(kZoomKey, 1).toInt());
    connect(frame, &CMainFrame::zoomChanged, this,
            [](int zoom) { QSettings().setValue(kZoomKey, zoom); });
    frame->showMaximized();
    return true;
}

bool CQuorvaleApp::OpenWithoutWindow(const std::string& path) {
    // A view alone, with no window around it: nothing is shown, and neither the recent files
    // nor any other setting is touched.
    m_pDialogs = std::make_unique<CCommandLineDialogs>(nullptr, m_pDoc.get(), [] {});
    m_pHeadlessDialogs = m_pDialogs.get();
    m_pView = std::make_unique<CQuorvaleView>(m_pDoc.get());
    m_pDoc->SetMessageSink(&m_messages);
    m_pDoc->OnNewDocument();
    m_pDoc->SetViewLink(m_pView.get());
    // The picture of the view as large as the program's window opens it, laid out as if shown.
    m_pView->resize(kHeadlessViewSize);
    m_pView->setAttribute(Qt::WA_DontShowOnScreen);
    m_pView->show();
    m_pView->OnInitialUpdate();
    return m_pDoc->OpenFile(path);
}

bool CQuorvaleApp::ExportFile(const std::string& path, const QString& out, int scale) {
    if (!OpenWithoutWindow(path)) {
        return false;
    }
    const QString error = m_pView->ExportPicture(out, scale, nullptr);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "quorvale: could not export the picture to %s: %s\n",
                     out.toLocal8Bit().constData(), error.toLocal8Bit().constData());
        return false;
    }
    return true;
}

bool CQuorvaleApp::PrintFile(const std::string& path, const QString& printerName,
                             const QString& pdf) {
    if (pdf.isEmpty()) {
        // Say so in words before anything else is tried: Qt would only report that its
        // painter could not begin. The print system is asked with a time limit: Qt's own
        // lookup waits a minute or more on one that has stopped answering.
        const std::optional<SPrinterList> printers =
            CPrintJob::FindPrinters(CPrintJob::kLookupMsecs);
        if (!printers) {
            std::fprintf(stderr,
                         "quorvale: the print system does not answer (asked for %d seconds); "
                         "--print-pdf OUT.pdf prints into a PDF file\n",
                         CPrintJob::kLookupMsecs / 1000);
            return false;
        }
        const char* why = printers->bRunning ? "" : " (the print system is not running)";
        if (printerName.isEmpty() && printers->names.isEmpty()) {
            std::fprintf(stderr,
                         "quorvale: no printer is available%s; --print-pdf OUT.pdf prints into "
                         "a PDF file\n",
                         why);
            return false;
        }
        if (printerName.isEmpty() && printers->strDefault.isEmpty()) {
            std::fprintf(stderr,
                         "quorvale: there is no default printer; --print-to PRINTER names one\n");
            return false;
        }
        if (!printerName.isEmpty() && !printers->names.contains(printerName)) {
            std::fprintf(stderr, "quorvale: there is no printer named \"%s\"%s\n",
                         printerName.toLocal8Bit().constData(), why);
            return false;
        }
    }
    if (!OpenWithoutWindow(path)) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    } else if (!printerName.isEmpty()) {
        printer.setPrinterName(printerName);
    }
    CPrintJob job(*m_pView, m_pHeadlessDialogs);
    if (!job.PrintDocument(printer)) {
        if (pdf.isEmpty()) {
            const QString problem = job.Problem().isEmpty() ? QString() : " " + job.Problem();
            std::fprintf(stderr, "quorvale: Could not start print job.%s\n",
                         problem.toLocal8Bit().constData());
        } else {
            std::fprintf(stderr, "quorvale: could not write the PDF file %s\n",
                         pdf.toLocal8Bit().constData());
        }
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
    RemoveDragFolder();
}
