// Printing through a real print system: a CUPS daemon of the tests' own, started by ctest's
// print-queue fixture (tests/ui/PrintQueue.sh), with PDF printers whose files are read back.
// The window is driven through Qt's own print and page set-up dialogs, the command line
// through the program itself.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "frame/MainFrame.h"
#include "frame/QtFrameDialogs.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "view/QuorvaleView.h"

namespace {

// Qt's dialogs as the program shows them, but the messages kept rather than shown.
class CRecordingDialogs : public CQtFrameDialogs {
public:
    using CQtFrameDialogs::CQtFrameDialogs;
    void ShowMessage(const QString& text) override { m_messages << text; }
    QStringList m_messages;
};

// A print system that takes connections (the system queues them) and never answers.
class CSilentServer {
public:
    explicit CSilentServer(const QString& path) : m_strPath(path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        m_fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (m_fd < 0 || name.size() >= qsizetype(sizeof(address.sun_path))) {
            Close();
            return;
        }
        memcpy(address.sun_path, name.constData(), size_t(name.size()));
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(m_fd, 16) != 0) {
            Close();
        }
    }
    ~CSilentServer() { Close(); }
    CSilentServer(const CSilentServer&) = delete;
    CSilentServer& operator=(const CSilentServer&) = delete;
    bool IsListening() const { return m_fd >= 0; }
    const QString& Path() const { return m_strPath; }

private:
    void Close() {
        if (m_fd >= 0) {
            close(m_fd);
        }
        m_fd = -1;
    }
    QString m_strPath;
    int m_fd = -1;
};

// What a program prints and how it ends.
struct SRun {
    int nExit = -1;
    QString strOut;
    QString strErr;
};

SRun Run(const QString& program, const QStringList& args,
         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    SRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.strErr = "did not end within two minutes";
        return run;
    }
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.strErr = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// A PDF file's pages and the size of its first page in points.
struct SPdf {
    int nPages = 0;
    QSizeF size;
    QString strTitle;
};

SPdf PdfInfo(const QString& path) {
    SPdf pdf;
    const QString info = Run("pdfinfo", {path}).strOut;
    const QRegularExpressionMatch pages = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    const QRegularExpressionMatch size =
        QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(info);
    const QRegularExpressionMatch title = QRegularExpression("Title:\\s+(.*)").match(info);
    pdf.nPages = pages.hasMatch() ? pages.captured(1).toInt() : 0;
    if (size.hasMatch()) {
        pdf.size = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    }
    // A title that went through PostScript comes back in its brackets.
    pdf.strTitle = title.captured(1).trimmed();
    if (pdf.strTitle.startsWith('(') && pdf.strTitle.endsWith(')')) {
        pdf.strTitle = pdf.strTitle.mid(1, pdf.strTitle.size() - 2);
    }
    return pdf;
}

// The pages of a PDF file as grey pictures at dpi dots an inch.
QList<QImage> PdfPages(const QString& path, int dpi) {
    QTemporaryDir dir;
    Run("pdftocairo", {"-png", "-gray", "-r", QString::number(dpi), path, dir.filePath("page")});
    QList<QImage> pages;
    QDir folder(dir.path());
    for (const QString& name : folder.entryList({"page-*.png"}, QDir::Files, QDir::Name)) {
        pages << QImage(folder.filePath(name)).convertToFormat(QImage::Format_Grayscale8);
    }
    return pages;
}

// How far apart two pictures of pages are: the mean difference of their pixels' greys.
double Distance(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 255;
    }
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            sum += std::abs(p[x] - q[x]);
        }
    }
    return static_cast<double>(sum) / (a.width() * a.height());
}

// The box around everything not white on a page: the printed picture, grid lines included.
QRect InkBox(const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* p = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (p[x] < 250) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

}  // namespace

class CPrintQueueTest : public QObject {
    Q_OBJECT

private:
    QString m_strPdfDir;
    QString m_strQuorvale;
    // Job names begin with it, so that runs side by side do not take each other's files.
    QString m_strPrefix = QString("qv%1").arg(QCoreApplication::applicationPid());
    int m_nJob = 0;
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CRecordingDialogs> m_dialogs;
    CFakeClock m_clock;
    QTemporaryDir m_dir;
    // The fossil history's four pages as the queue prints them, in order.
    QList<QImage> m_fossilPages;

    CQuorvaleView* View() { return m_frame->View(); }

    // A new name for a job, the document's title.
    QString NextTitle(const char* what) {
        return QString("%1-%2-%3").arg(m_strPrefix, what).arg(++m_nJob);
    }

    // Waits until the queue has nothing left to print (cups-pdf has written its file, or the
    // job failed and stopped there), clears away what failed, then returns the files cups-pdf
    // wrote for the jobs named so (it adds the job's number to the name).
    QStringList PrintedFiles(const QString& title) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");
        QElapsedTimer waited;
        waited.start();
        for (int idle = 0; idle < 3 && waited.elapsed() < 60000;) {
            if (Run("lpstat", {"-o", "QuorvalePDF"}, environment).strOut.trimmed().isEmpty()) {
                break;
            }
            const bool bIdle =
                Run("lpstat", {"-p", "QuorvalePDF"}, environment).strOut.contains(" is idle");
            idle = bIdle ? idle + 1 : 0;
            QTest::qWait(200);
        }
        Run("cancel", {"-a", "QuorvalePDF"});
        QStringList files;
        const QDir folder(m_strPdfDir);
        for (const QString& name : folder.entryList({title + "*.pdf"}, QDir::Files)) {
            if (name == title + ".pdf" || name.startsWith(title + "-job_")) {
                files << folder.filePath(name);
            }
        }
        return files;
    }

    // The one file printed for the job named so, removed from the printer's folder once read.
    QString TakePrinted(const QString& title) {
        const QStringList files = PrintedFiles(title);
        if (files.size() != 1) {
            for (const QString& file : files) {
                QFile::remove(file);
            }
            return QString();
        }
        const QString path = m_dir.filePath(QFileInfo(files[0]).fileName());
        QFile::remove(path);
        QFile::rename(files[0], path);
        return path;
    }

    // Answers the next dialog of type T: fill sets it up, then it is accepted. Gives up after
    // a while when none opens.
    template <class T>
    void Answer(std::function<void(T*)> fill) {
        auto* poll = new QTimer(this);
        auto tries = std::make_shared<int>(0);
        connect(poll, &QTimer::timeout, this, [poll, tries, fill] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                fill(dialog);
                dialog->accept();
            } else if (++*tries > 500) {
                poll->stop();
                poll->deleteLater();
            }
        });
        poll->start(20);
    }

    // A fossil history of four pages, each of other creatures.
    void MakeFossilPages() {
        for (int i = 0; i < 50; ++i) {
            View()->BreedFromCell(i % 15 == 7 ? 6 : i % 15);
            View()->RecordFossil(*m_doc->m_pCurrent);
        }
        View()->SetMode(kModeFossils);
        View()->Invalidate();
    }

    // The next print dialog prints on a queue with the pages typed, or from to to when pages
    // is empty, and odd pages only when asked.
    void AnswerPrint(const QString& queue, const QString& pages, int from = 0, int to = 0,
                     bool bOdd = false) {
        Answer<QPrintDialog>([=](QPrintDialog* dialog) {
            auto* printers = dialog->findChild<QComboBox*>("printers");
            QVERIFY(printers);
            printers->setCurrentIndex(printers->findText(queue));
            QCOMPARE(printers->currentText(), queue);
            if (!pages.isEmpty()) {
                dialog->findChild<QRadioButton*>("pagesRadioButton")->setChecked(true);
                dialog->findChild<QLineEdit*>("pagesLineEdit")->setText(pages);
            } else if (from > 0) {
                dialog->findChild<QRadioButton*>("printRange")->setChecked(true);
                dialog->findChild<QSpinBox*>("from")->setValue(from);
                dialog->findChild<QSpinBox*>("to")->setValue(to);
            }
            if (bOdd) {
                auto* pageSet = dialog->findChild<QComboBox*>("pageSetCombo");
                QVERIFY(pageSet);
                pageSet->setCurrentIndex(1);
                QCOMPARE(pageSet->currentText(), QString("Odd Pages"));
            }
        });
    }

    // The next page set-up dialog chooses the paper and, unless empty, the way round.
    void AnswerSetup(QPageSize::PageSizeId paper, const QString& orientation = QString()) {
        Answer<QPageSetupDialog>([=](QPageSetupDialog* dialog) {
            auto* papers = dialog->findChild<QComboBox*>("pageSizeCombo");
            QVERIFY(papers);
            for (int i = 0; i < papers->count(); ++i) {
                if (papers->itemData(i).value<QPageSize>().id() == paper) {
                    papers->setCurrentIndex(i);
                }
            }
            if (!orientation.isEmpty()) {
                auto* way = dialog->findChild<QRadioButton*>(orientation);
                QVERIFY(way);
                way->click();
            }
        });
    }

    // Prints the window's view through the dialog on the PDF queue under a new title; the
    // file it made, or empty.
    QString PrintWindow(const char* what, const std::function<void()>& answer) {
        const QString title = NextTitle(what);
        m_doc->SetTitle(title.toStdString());
        answer();
        m_frame->RunCommand(ECommand::FilePrint);
        return TakePrinted(title);
    }

private slots:
    void initTestCase() {
        const QString queue = qEnvironmentVariable("QUORVALE_PRINT_QUEUE");
        if (queue.isEmpty()) {
            QSKIP("run through ctest, whose print-queue fixture starts the print system");
        }
        QFile skip(QDir(queue).filePath("skip"));
        if (skip.open(QIODevice::ReadOnly)) {
            QSKIP(qPrintable("no print system for the tests: " + skip.readAll().trimmed()));
        }
        QFile env(QDir(queue).filePath("env"));
        QVERIFY2(env.open(QIODevice::ReadOnly), "the print-queue fixture left no settings");
        for (const QByteArray& line : env.readAll().split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0) {
                // Before anything asks the print system: the CUPS library reads it once.
                qputenv(line.left(equals).constData(), line.mid(equals + 1));
            }
        }
        m_strPdfDir = qEnvironmentVariable("QUORVALE_PDF_DIR");
        m_strQuorvale = qEnvironmentVariable("QUORVALE");
        QVERIFY(!m_strPdfDir.isEmpty());
        for (const char* tool : {"pdfinfo", "pdftocairo", "lpstat"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                QSKIP(qPrintable(QString("%1 is needed to read the printed files").arg(tool)));
            }
        }
    }

    void init() {
        SetDefaultGeneTables();
        SeedRandom(11);
        m_clock = CFakeClock();
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = std::make_unique<CMainFrame>(m_doc.get());
        m_dialogs = std::make_unique<CRecordingDialogs>(m_frame.get(), m_doc.get(), [] {});
        m_frame->SetDialogs(m_dialogs.get());
        View()->SetClock(&m_clock);
        m_doc->OnNewDocument();
        m_frame->resize(900, 560);
        View()->OnInitialUpdate();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() {
        m_frame.reset();
        m_dialogs.reset();
        m_doc.reset();
    }

    // Pages typed as a list, a range or from-to print each chosen page once: the program
    // draws them and the print system is not asked to pick among them again.
    void chosenPagesArePrintedOnce_data() {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("odd");
        QTest::addColumn<QList<int>>("printed");
        QTest::newRow("2,3") << "2,3" << 0 << 0 << false << QList<int>{2, 3};
        QTest::newRow("3") << "3" << 0 << 0 << false << QList<int>{3};
        QTest::newRow("1,4") << "1,4" << 0 << 0 << false << QList<int>{1, 4};
        QTest::newRow("1-2,4") << "1-2,4" << 0 << 0 << false << QList<int>{1, 2, 4};
        QTest::newRow("from 2 to 3") << QString() << 2 << 3 << false << QList<int>{2, 3};
        QTest::newRow("odd of 2-4") << "2-4" << 0 << 0 << true << QList<int>{3};
        QTest::newRow("odd of 1,3-4") << "1,3-4" << 0 << 0 << true << QList<int>{1, 3};
    }

    void chosenPagesArePrintedOnce() {
        QFETCH(QString, pages);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, odd);
        QFETCH(QList<int>, printed);
        MakeFossilPages();
        QCOMPARE(View()->PrintPageCount(), 4);
        constexpr int kDpi = 24;
        if (m_fossilPages.isEmpty()) {
            // The whole history once, to know each page by.
            const QString all = PrintWindow("all", [this] { AnswerPrint("QuorvalePDF", {}); });
            QVERIFY2(!all.isEmpty(), "the whole history was not printed");
            m_fossilPages = PdfPages(all, kDpi);
            QCOMPARE(m_fossilPages.size(), 4);
        }
        const QString file =
            PrintWindow("pages", [&] { AnswerPrint("QuorvalePDF", pages, from, to, odd); });
        QVERIFY2(!file.isEmpty(), "no file was printed: the job was empty or failed");
        QVERIFY2(m_dialogs->m_messages.isEmpty(), qPrintable(m_dialogs->m_messages.join("; ")));
        const QList<QImage> got = PdfPages(file, kDpi);
        QCOMPARE(got.size(), printed.size());
        for (int i = 0; i < got.size(); ++i) {
            int nearest = 0;
            for (int k = 1; k < m_fossilPages.size(); ++k) {
                if (Distance(got[i], m_fossilPages[k]) < Distance(got[i], m_fossilPages[nearest])) {
                    nearest = k;
                }
            }
            QCOMPARE(nearest + 1, printed[i]);
        }
    }

    // Pages that are not in the printout make no job at all, and the user is told.
    void pagesBeyondThePrintoutAreRefused() {
        MakeFossilPages();
        const QString file = PrintWindow("beyond", [this] { AnswerPrint("QuorvalePDF", "5-6"); });
        QVERIFY(file.isEmpty());
        QCOMPARE(m_dialogs->m_messages.size(), 1);
        QVERIFY2(m_dialogs->m_messages[0].contains("pages 1 to 4"),
                 qPrintable(m_dialogs->m_messages[0]));
    }

    // The job carries the document's name: the queue names the PDF after it, and the PDF's
    // title says it.
    void jobIsNamedAfterTheDocument() {
        const QString title = NextTitle("named");
        m_doc->SetTitle(title.toStdString());
        AnswerPrint("QuorvalePDF", {});
        m_frame->RunCommand(ECommand::FilePrint);
        const QString file = TakePrinted(title);
        QVERIFY2(!file.isEmpty(), qPrintable("no file named after " + title));
        QCOMPARE(PdfInfo(file).strTitle, title);
    }

    // The paper chosen in Print setup is the paper printed on, and the setup shows it when it
    // opens again.
    void paperChosenInSetupIsKept() {
        AnswerSetup(QPageSize::Letter);
        m_frame->RunCommand(ECommand::FilePrintSetup);
        QPageSize shown;
        Answer<QPageSetupDialog>([&](QPageSetupDialog* dialog) {
            shown =
                dialog->findChild<QComboBox*>("pageSizeCombo")->currentData().value<QPageSize>();
        });
        m_frame->RunCommand(ECommand::FilePrintSetup);
        QCOMPARE(shown.id(), QPageSize::Letter);
        const QString file =
            PrintWindow("letter", [this] { AnswerPrint("QuorvalePDF", QString()); });
        QVERIFY(!file.isEmpty());
        const QSizeF size = PdfInfo(file).size;
        QCOMPARE(std::min(size.width(), size.height()), 612.0);
        QCOMPARE(std::max(size.width(), size.height()), 792.0);
    }

    // The page is turned to the picture's shape, and the picture fills it, unless the user
    // chose the way round in Print setup.
    void pageFollowsThePicturesShape_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("alongPage");
        QTest::newRow("as the picture") << QString() << true;
        QTest::newRow("portrait chosen") << "portrait" << false;
    }

    void pageFollowsThePicturesShape() {
        QFETCH(QString, chosen);
        QFETCH(bool, alongPage);
        QVERIFY(View()->width() > View()->height() * 3 / 2);
        if (!chosen.isEmpty()) {
            AnswerSetup(QPageSize::A4, chosen);
            m_frame->RunCommand(ECommand::FilePrintSetup);
        }
        const QString file = PrintWindow("shape", [this] { AnswerPrint("QuorvalePDF", {}); });
        QVERIFY(!file.isEmpty());
        const QList<QImage> pages = PdfPages(file, 24);
        QCOMPARE(pages.size(), 1);
        const QImage& page = pages[0];
        const QRect box = InkBox(page);
        // The picture's long side runs along the paper's long side when it is turned to it.
        QCOMPARE((box.width() > box.height()) == (page.width() > page.height()), alongPage);
        if (alongPage) {
            // As large as fits: most of the paper, not a band across its middle.
            const double filled =
                double(box.width()) * box.height() / (double(page.width()) * page.height());
            QVERIFY2(filled > 0.55, qPrintable(QString::number(filled)));
        }
    }

    // A queue that refuses the job: the window says it could not start the print job.
    void refusedJobIsReported() {
        const QString title = NextTitle("refused");
        m_doc->SetTitle(title.toStdString());
        AnswerPrint("QuorvaleRefuses", {});
        m_frame->RunCommand(ECommand::FilePrint);
        QCOMPARE(m_dialogs->m_messages.size(), 1);
        QVERIFY2(m_dialogs->m_messages[0].startsWith("Could not start print job."),
                 qPrintable(m_dialogs->m_messages[0]));
        QVERIFY(PrintedFiles(title).isEmpty());
    }

    // A print system that takes the connection and never answers: the window says it is
    // looking for printers, shows the wait cursor, then gives up with a message rather than
    // waiting on it for minutes.
    void silentPrintSystemIsGivenUpOn() {
        QTemporaryDir dir;
        const CSilentServer silent(dir.filePath("silent.sock"));
        QVERIFY(silent.IsListening());
        const QByteArray server = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", QFile::encodeName(silent.Path()));
        QString status;
        bool bWaitCursor = false;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            if (status.isEmpty()) {
                status = m_frame->statusBar()->currentMessage();
                bWaitCursor = QApplication::overrideCursor() &&
                              QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            }
        });
        look.start(200);
        bool bDialog = false;
        Answer<QPrintDialog>([&](QPrintDialog*) { bDialog = true; });
        m_frame->RunCommand(ECommand::FilePrint);
        qputenv("CUPS_SERVER", server);
        QCOMPARE(status, QString("Looking for printers..."));
        QVERIFY(bWaitCursor);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(m_frame->statusBar()->currentMessage().isEmpty());
        QCOMPARE(m_dialogs->m_messages.size(), 1);
        QVERIFY2(m_dialogs->m_messages[0].contains("does not answer"),
                 qPrintable(m_dialogs->m_messages[0]));
        QTest::qWait(100);
        QVERIFY(!bDialog);
    }

    // The command line: --print and --print-to through the queues, and the ways they fail,
    // each said in words with a code other than 0.
    void commandLinePrints_data() {
        QTest::addColumn<QString>("queue");   // empty: --print, the default printer
        QTest::addColumn<QString>("server");  // "running", "stopped" or "silent"
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("--print-to") << "QuorvalePDF"
                                    << "running" << 0 << QString();
        QTest::newRow("--print") << QString() << "running" << 0 << QString();
        QTest::newRow("refusing queue") << "QuorvaleRefuses"
                                        << "running" << 1 << "Could not start print job.";
        QTest::newRow("no such printer") << "QuorvaleNone"
                                         << "running" << 1 << "no printer named \"QuorvaleNone\"";
        QTest::newRow("stopped print system") << "QuorvalePDF"
                                              << "stopped" << 1 << "print system is not running";
        QTest::newRow("silent print system") << "QuorvalePDF"
                                             << "silent" << 1 << "print system does not answer";
    }

    void commandLinePrints() {
        QFETCH(QString, queue);
        QFETCH(QString, server);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        if (m_strQuorvale.isEmpty()) {
            QSKIP("QUORVALE names the program to run");
        }
        const QString title = NextTitle("cli");
        const QString bio = m_dir.filePath(title + ".bio");
        QVERIFY(m_doc->SaveAs(bio.toStdString()));
        QTemporaryDir scratch;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", scratch.filePath("config"));
        const CSilentServer silent(scratch.filePath("silent.sock"));
        QVERIFY(silent.IsListening());
        if (server == "stopped") {
            environment.insert("CUPS_SERVER", scratch.filePath("stopped.sock"));
        } else if (server == "silent") {
            environment.insert("CUPS_SERVER", silent.Path());
        }
        QStringList args;
        if (queue.isEmpty()) {
            args << "--print";
        } else {
            args << "--print-to" << queue;
        }
        const SRun run = Run(m_strQuorvale, args << bio, environment);
        QVERIFY2(
            run.nExit == exitCode,
            qPrintable(
                QString("ended with %1, not %2: %3").arg(run.nExit).arg(exitCode).arg(run.strErr)));
        if (!said.isEmpty()) {
            QVERIFY2(run.strErr.contains(said), qPrintable(run.strErr));
            QVERIFY(PrintedFiles(title).isEmpty());
            return;
        }
        // Named after the file, turned to the picture and filling the page.
        const QString file = TakePrinted(title);
        QVERIFY2(!file.isEmpty(), qPrintable("no file named after " + title));
        const QList<QImage> pages = PdfPages(file, 24);
        QCOMPARE(pages.size(), 1);
        const QRect box = InkBox(pages[0]);
        QCOMPARE(box.width() > box.height(), pages[0].width() > pages[0].height());
    }
};

QTEST_MAIN(CPrintQueueTest)
#include "PrintQueueTest.moc"
