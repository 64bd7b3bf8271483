#include "frame/PrintJob.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMainWindow>
#include <QPageRanges>
#include <QPainter>
#include <QPointer>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <dlfcn.h>
#endif

#include "frame/FrameDialogs.h"
#include "view/QuorvaleView.h"

namespace {

// Qt keeps the job options of a CUPS printer (name, value, name, value...) under this property
// of its print engine. Its print dialog puts the pages typed under Pages there as well as on
// the printer, and the odd or even pages chosen.
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Takes an option out of a CUPS printer's job options; its value, or empty.
QString TakeCupsOption(QPrinter& printer, const QString& name) {
    QPrintEngine* engine = printer.printEngine();
    QStringList options = engine->property(kCupsOptions).toStringList();
    QString value;
    for (qsizetype i = 0; i + 1 < options.size();) {
        if (options[i] == name) {
            value = options[i + 1];
            options.remove(i, 2);
        } else {
            i += 2;
        }
    }
    if (!value.isEmpty()) {
        engine->setProperty(kCupsOptions, options);
    }
    return value;
}

// Whether the print system took the job the painter handed it as it ended. Qt does not say
// when CUPS refuses a job (a queue that rejects jobs, a print system gone while the dialog was
// open), but the CUPS library keeps the answer to the last request of the thread, and that
// request was the job. Where Qt printed some other way the CUPS library is not loaded.
bool PrintSystemTookJob(const QPrinter& printer, QString& problem) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty()) {
        return true;
    }
    void* cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!cups) {
        return true;
    }
    // IPP's client and server errors, and the library's own, all come from 0x0400 on.
    constexpr int kFirstError = 0x0400;
    auto lastError = reinterpret_cast<int (*)()>(dlsym(cups, "cupsLastError"));
    auto lastErrorText = reinterpret_cast<const char* (*)()>(dlsym(cups, "cupsLastErrorString"));
    const bool bTaken = !lastError || lastError() < kFirstError;
    if (!bTaken && lastErrorText && lastErrorText()) {
        problem = QString::fromLocal8Bit(lastErrorText());
    }
    dlclose(cups);
    return bTaken;
#else
    Q_UNUSED(printer);
    Q_UNUSED(problem);
    return true;
#endif
}

// While the print system is asked for its printers the window says so in its status bar and
// shows the wait cursor; a view with no window around it shows nothing.
class CLookupNote {
public:
    explicit CLookupNote(QWidget* window) {
        auto* frame = qobject_cast<QMainWindow*>(window);
        if (!frame || !frame->isVisible()) {
            return;
        }
        m_pStatus = frame->statusBar();
        m_pStatus->showMessage(QObject::tr("Looking for printers..."));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_bCursor = true;
    }
    ~CLookupNote() {
        if (m_pStatus) {
            m_pStatus->clearMessage();
        }
        if (m_bCursor) {
            QApplication::restoreOverrideCursor();
        }
    }
    CLookupNote(const CLookupNote&) = delete;
    CLookupNote& operator=(const CLookupNote&) = delete;

private:
    QPointer<QStatusBar> m_pStatus;
    bool m_bCursor = false;
};

}  // namespace

CPrintJob::CPrintJob(CQuorvaleView& view, IFrameDialogs*& dialogs)
    : m_view(view), m_rDialogs(dialogs) {}

CPrintJob::~CPrintJob() = default;

QPrinter& CPrintJob::Printer() {
    if (!m_pPrinter) {
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_pPrinter;
}

std::optional<SPrinterList> CPrintJob::FindPrinters(int msecs) {
    SPrinterList list;
    const QString lpstat = QStandardPaths::findExecutable("lpstat");
    if (lpstat.isEmpty()) {
        list.names = QPrinterInfo::availablePrinterNames();
        list.strDefault = QPrinterInfo::defaultPrinterName();
        list.bRunning = true;
        return list;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its answers are read here, so they come in its own words.
    environment.insert("LC_ALL", "C");
    process.setProcessEnvironment(environment);
    // The window keeps painting meanwhile; what the user does waits until the answer.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(msecs);
    process.start(lpstat, {"-r", "-d", "-e"});
    if (process.state() != QProcess::NotRunning) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    // "scheduler is running", the default ("system default destination: NAME"), then the
    // printers one a line; a print system that does not run stops after the first line.
    const QString defaultLine = QStringLiteral("system default destination: ");
    const QStringList lines =
        QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (line == QLatin1String("scheduler is running")) {
            list.bRunning = true;
        } else if (line.startsWith(defaultLine)) {
            list.strDefault = line.mid(defaultLine.size()).trimmed();
        } else if (list.bRunning && line != QLatin1String("no system default destination")) {
            list.names << line.trimmed();
        }
    }
    return list;
}

bool CPrintJob::PrintSystemAnswers() {
    // Qt asks the print system for its printers with no time limit of its own, as the
    // printer and its dialog are made: a print system that has stopped answering would hold
    // the window for a minute or more, with nothing to say why.
    std::optional<SPrinterList> printers;
    {
        const CLookupNote note(m_view.window());
        printers = FindPrinters(kLookupMsecs);
    }
    if (printers) {
        return true;
    }
    m_rDialogs->ShowMessage(
        QObject::tr("The print system does not answer, so no printer can be used now.\n\n"
                    "Try again in a while."));
    return false;
}

QPageLayout::Orientation CPrintJob::PictureOrientation() const {
    return m_view.width() > m_view.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void CPrintJob::Print() {
    if (!PrintSystemAnswers()) {
        return;
    }
    QPrinter& printer = Printer();
    const int pages = m_view.PrintPageCount();
    // Named before the dialog, which proposes a PDF file's name from it.
    printer.setDocName(QString::fromStdString(m_view.Doc().Title()));
    printer.setPageOrientation(m_optChosenOrientation.value_or(PictureOrientation()));
    if (!m_rDialogs->AskPrint(printer, pages)) {
        return;
    }
    const QList<int> chosen = TakeChosenPages(printer, pages);
    if (chosen.isEmpty()) {
        m_rDialogs->ShowMessage(
            pages == 1
                ? QObject::tr("None of the pages chosen is in the printout, which is one page.")
                : QObject::tr("None of the pages chosen is in the printout, which has pages 1 "
                              "to %1.")
                      .arg(pages));
        return;
    }
    if (!PrintPages(printer, chosen)) {
        QString text = QObject::tr("Could not start print job.");
        if (!m_strProblem.isEmpty()) {
            text += "\n\n" + m_strProblem;
        }
        m_rDialogs->ShowMessage(text);
    }
}

QList<int> CPrintJob::TakeChosenPages(QPrinter& printer, int pages) {
    QList<int> chosen;
    const bool bRange = printer.printRange() == QPrinter::PageRange;
    if (bRange && !printer.pageRanges().isEmpty()) {
        for (const QPageRanges::Range& range : printer.pageRanges().toRangeList()) {
            for (int page = std::max(range.from, 1); page <= std::min(range.to, pages); ++page) {
                chosen << page;
            }
        }
    } else {
        for (int page = 1; page <= pages; ++page) {
            chosen << page;
        }
    }
    // Odd or even pages are picked here too, among the pages themselves. Qt's dialog counts
    // them from the first page of a range, as if the program drew from there on and that page
    // were the job's first: one that starts on an even page has odd and even the other way.
    const QString pageSet = TakeCupsOption(printer, QStringLiteral("page-set"));
    if (pageSet == QLatin1String("odd") || pageSet == QLatin1String("even")) {
        const bool bCountedFromEven = bRange && printer.fromPage() % 2 == 0;
        const bool bOdd = (pageSet == QLatin1String("odd")) != bCountedFromEven;
        chosen.removeIf([bOdd](int page) { return (page % 2 == 1) != bOdd; });
    }
    TakeCupsOption(printer, QStringLiteral("page-ranges"));
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    return chosen;
}

void CPrintJob::PrintSetup() {
    if (!PrintSystemAnswers()) {
        return;
    }
    QPrinter& printer = Printer();
    const QPageLayout::Orientation suggested = PictureOrientation();
    printer.setPageOrientation(m_optChosenOrientation.value_or(suggested));
    m_rDialogs->AskPageSetup(printer);
    // A way round other than the picture's is the user's own and stays; left as it was
    // offered, the page keeps following the picture's shape.
    const QPageLayout::Orientation chosen = printer.pageLayout().orientation();
    m_optChosenOrientation =
        chosen == suggested ? std::nullopt : std::optional<QPageLayout::Orientation>(chosen);
}

bool CPrintJob::PrintOn(QPrinter& printer, int from, int to) {
    QList<int> pages;
    for (int page = std::max(from, 1); page <= std::min(to, m_view.PrintPageCount()); ++page) {
        pages << page;
    }
    return PrintPages(printer, pages);
}

bool CPrintJob::PrintDocument(QPrinter& printer) {
    printer.setPageOrientation(PictureOrientation());
    return PrintOn(printer, 1, m_view.PrintPageCount());
}

bool CPrintJob::PrintPages(QPrinter& printer, const QList<int>& pages) {
    m_strProblem.clear();
    // The queue and a PDF printer's file are named after the document.
    printer.setDocName(QString::fromStdString(m_view.Doc().Title()));
    // Only the pages wanted are drawn: a range left on the printer would be picked from them
    // again.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    if (pages.isEmpty()) {
        return true;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect page(QPoint(0, 0), printable.size());
    // A printer that makes copies itself is asked for them with the job; for one that cannot
    // (a PDF file) the pages are drawn once per copy, all pages of a copy together when the
    // copies are collated, else each page as many times in a row.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1);
    QList<int> sheets;
    if (copies == 1 || printer.collateCopies()) {
        for (int copy = 0; copy < copies; ++copy) {
            sheets += pages;
        }
    } else {
        for (int n : pages) {
            sheets.insert(sheets.size(), copies, n);
        }
    }
    bool bDrawn = true;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            bDrawn = false;
            printer.abort();
            break;
        }
        m_view.PrintPages(painter, page, sheets[i], sheets[i], nullptr);
    }
    // Ending the painter hands the job over: it ends whatever happened before.
    const bool bEnded = painter.end();
    const QPrinter::PrinterState state = printer.printerState();
    return bDrawn && bEnded && state != QPrinter::Error && state != QPrinter::Aborted &&
           PrintSystemTookJob(printer, m_strProblem);
}

void CPrintJob::Export(CBioMorph* morph) {
    QString path;
    int scale = 1;
    if (!m_rDialogs->AskExportPicture(path, scale)) {
        return;
    }
    const QString error = m_view.ExportPicture(path, scale, morph);
    if (!error.isEmpty()) {
        m_rDialogs->ShowMessage(QObject::tr("Could not export the picture to %1.\n\n%2")
                                    .arg(QFileInfo(path).fileName(), error));
    }
}
