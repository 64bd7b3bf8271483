// Pictures out of the window: File > Export picture as PNG (the screen's pixels, or drawn at a
// larger scale) and SVG, one morph from its context menu, and printing to a PDF file as
// strokes, with its pages and copies.
#include <QFileDialog>
#include <QImage>
#include <QImageReader>
#include <QInputDialog>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "frame/MainFrame.h"
#include "frame/QtFrameDialogs.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/PictureLimits.h"
#include "view/QuorvaleView.h"

namespace {

using Genes = std::array<int32_t, kGeneCount>;

Genes GenesOf(const CBioMorph& m) {
    Genes g;
    for (int k = 1; k <= kGeneCount; ++k) {
        g[static_cast<size_t>(k - 1)] = m.Gene(k);
    }
    return g;
}

bool IsInk(QRgb c) {
    return qGray(c) < 200;
}

// How many of a's ink pixels have no ink of b within one pixel.
int InkMissingFrom(const QImage& a, const QImage& b) {
    int missing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!IsInk(a.pixel(x, y))) {
                continue;
            }
            bool bNear = false;
            for (int dy = -1; dy <= 1 && !bNear; ++dy) {
                for (int dx = -1; dx <= 1 && !bNear; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    bNear = nx >= 0 && ny >= 0 && nx < b.width() && ny < b.height() &&
                            IsInk(b.pixel(nx, ny));
                }
            }
            missing += !bNear;
        }
    }
    return missing;
}

int InkCount(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += IsInk(image.pixel(x, y));
        }
    }
    return n;
}

// Runs a poppler tool on a file and returns what it printed.
QString Poppler(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class CExportTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;
    QTemporaryDir m_dir;

    CQuorvaleView* View() { return m_frame->View(); }

    QImage Export(const QString& name, int scale) {
        m_dialogs.m_exportPath = m_dir.filePath(name);
        m_dialogs.m_nExportScale = scale;
        m_frame->RunCommand(ECommand::FileExportPicture);
        return QImage(m_dialogs.m_exportPath);
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(5);
        m_clock = CFakeClock();
        m_dialogs = CFakeDialogs();
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
    }

    void pngAtTheScreensScaleIsTheScreen() {
        const QImage screen = View()->ScreenImage().convertToFormat(QImage::Format_RGB32);
        const Genes before = GenesOf(*m_doc->m_pCurrent);
        const QImage png = Export("grid.png", 1).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(png.size(), screen.size());
        QVERIFY(png == screen);
        // Neither the document nor the screen changed.
        QCOMPARE(GenesOf(*m_doc->m_pCurrent), before);
        QVERIFY(View()->ScreenImage().convertToFormat(QImage::Format_RGB32) == screen);
    }

    void pngAtALargerScaleIsDrawnAtThatScale() {
        m_frame->RunCommand(ECommand::Engineer);
        const QImage screen = View()->ScreenImage().convertToFormat(QImage::Format_RGB32);
        const QImage png = Export("big.png", 3).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(png.size(), screen.size() * 3);
        // The same morph, three times the size: shrunk back it lies where the screen's does.
        const QImage shrunk =
            png.scaled(screen.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QVERIFY(InkCount(screen) > 50);
        QVERIFY2(InkMissingFrom(screen, shrunk) < InkCount(screen) / 20,
                 qPrintable(QString::number(InkMissingFrom(screen, shrunk))));
        // Drawn at that resolution, not the screen enlarged: some 3x3 blocks of the picture
        // are not all one colour.
        int mixed = 0;
        for (int y = 0; y + 3 <= png.height(); y += 3) {
            for (int x = 0; x + 3 <= png.width(); x += 3) {
                const QRgb first = png.pixel(x, y);
                bool bMixed = false;
                for (int i = 0; i < 9 && !bMixed; ++i) {
                    bMixed = png.pixel(x + i % 3, y + i / 3) != first;
                }
                mixed += bMixed;
            }
        }
        QVERIFY(mixed > 20);
        QCOMPARE(View()->ScreenImage().convertToFormat(QImage::Format_RGB32), screen);
    }

    void svgIsADrawingOfTheScreen() {
        const QImage screen = View()->ScreenImage().convertToFormat(QImage::Format_RGB32);
        m_dialogs.m_exportPath = m_dir.filePath("grid.svg");
        m_frame->RunCommand(ECommand::FileExportPicture);
        QSvgRenderer svg(m_dialogs.m_exportPath);
        QVERIFY(svg.isValid());
        QImage drawn(screen.size(), QImage::Format_RGB32);
        drawn.fill(Qt::white);
        {
            QPainter p(&drawn);
            svg.render(&p);
        }
        // The screen's own ink: every stroke of the screen is in the drawing, and where the
        // tips of a morph cross and XOR clears the pixels they share, the drawing is clear
        // too. (ui.ink compares the pictures colour for colour.)
        QVERIFY(InkCount(screen) > 200);
        QCOMPARE(InkMissingFrom(screen, drawn), 0);
        QCOMPARE(InkMissingFrom(drawn, screen), 0);
    }

    void aMorphsMenuExportsThatMorphAlone() {
        const SRect cell = View()->CellRect(2);
        const QPoint centre((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        m_dialogs.m_exportPath = m_dir.filePath("one.png");
        m_dialogs.m_nExportScale = 1;
        m_dialogs.m_execContextMenu = [this](QMenu*, const QPoint&) {
            return m_frame->Action(ECommand::ContextExport);
        };
        m_frame->OnContextMenu(View()->mapToGlobal(centre));
        const QImage one(m_dialogs.m_exportPath);
        QVERIFY(!one.isNull());
        // The morph with a margin, far smaller than the window, with ink in it.
        QVERIFY(one.width() < View()->width() / 2);
        QVERIFY(InkCount(one) > 10);
        // An unknown kind of file is refused with its name and the reason.
        m_dialogs.m_exportPath = m_dir.filePath("one.jpg");
        m_frame->RunCommand(ECommand::FileExportPicture);
        QVERIFY(!QFile::exists(m_dialogs.m_exportPath));
        QVERIFY(!m_dialogs.m_messages.isEmpty());
        QVERIFY(m_dialogs.m_messages.last().contains("one.jpg"));
    }

    // A PNG export is as large as asked up to its limit; past it, whether of the view or of
    // one morph, nothing is written and the message gives the size it would have had.
    void aPictureTooLargeToExportIsRefusedWithItsSize_data() {
        QTest::addColumn<bool>("oneMorph");
        QTest::addColumn<int>("scale");
        QTest::addColumn<bool>("refused");
        QTest::addRow("the morph at 4x") << true << 4 << true;
        QTest::addRow("the view at 4x") << false << 4 << false;
    }
    void aPictureTooLargeToExportIsRefusedWithItsSize() {
        QFETCH(bool, oneMorph);
        QFETCH(int, scale);
        QFETCH(bool, refused);
        const Genes huge = {400, 400, 400, 400, 400, 400, 400, 400, 9, 9,
                            100, 1,   2,   400, 3,   10,  10,  10,  10};
        m_doc->m_pCurrent->SetGenes(huge);
        m_frame->RunCommand(ECommand::Engineer);
        const SPictureExtent extent = MorphExtent(*m_doc->m_pCurrent, m_doc->m_nOrientation);
        QVERIFY(extent.nWidth * 4 > kExportPictureSide);
        QVERIFY(extent.nWidth <= kExportPictureSide && extent.nHeight <= kExportPictureSide);
        m_dialogs.m_exportPath = m_dir.filePath(QStringLiteral("huge-%1.png").arg(scale));
        m_dialogs.m_nExportScale = scale;
        if (oneMorph) {
            m_dialogs.m_execContextMenu = [this](QMenu*, const QPoint&) {
                return m_frame->Action(ECommand::ContextExport);
            };
            m_frame->OnContextMenu(View()->mapToGlobal(View()->rect().center()));
        } else {
            m_frame->RunCommand(ECommand::FileExportPicture);
        }
        if (refused) {
            QVERIFY(!QFile::exists(m_dialogs.m_exportPath));
            QCOMPARE(m_dialogs.m_messages.size(), 1);
            const QString size =
                QStringLiteral("%1\u00d7%2").arg(extent.nWidth * scale).arg(extent.nHeight * scale);
            QVERIFY2(m_dialogs.m_messages[0].contains(
                         QStringLiteral("The picture would be %1 pixels, more than the "
                                        "16000\u00d716000 an export can have; choose a smaller "
                                        "scale.")
                             .arg(size)),
                     qPrintable(m_dialogs.m_messages[0]));
            return;
        }
        QVERIFY2(m_dialogs.m_messages.isEmpty(), qPrintable(m_dialogs.m_messages.join('\n')));
        // Only the size is read: the whole picture need not be decoded.
        const QSize size = QImageReader(m_dialogs.m_exportPath).size();
        const QSize expected = oneMorph ? QSize(int(extent.nWidth), int(extent.nHeight)) * scale
                                        : View()->size() * scale;
        QCOMPARE(size, expected);
    }

    // The fossil history printed into a PDF file: the chosen pages, each copy, as strokes.
    void fossilPagesPrintAsStrokesWithTheirCopies() {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
            QStandardPaths::findExecutable("pdfimages").isEmpty()) {
            QSKIP("pdfinfo and pdfimages (poppler-utils) are needed");
        }
        for (int i = 0; i < 40; ++i) {
            View()->BreedFromCell(i % 15 == 7 ? 6 : i % 15);
            View()->RecordFossil(*m_doc->m_pCurrent);
        }
        View()->SetMode(kModeFossils);
        QVERIFY(View()->PrintPageCount() >= 3);
        const QString pdf = m_dir.filePath("fossils.pdf");
        m_dialogs.m_askPrint = [&](QPrinter& printer, int) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(2, 3);
            printer.setCopyCount(2);
            return true;
        };
        m_frame->RunCommand(ECommand::FilePrint);
        const QString info = Poppler("pdfinfo", {pdf});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+4\\b")), qPrintable(info));
        // No picture in it: every line and fill is a vector.
        const QStringList images =
            Poppler("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 2);  // the two heading lines of the list
    }

    // The real file dialogs open where the user works, not wherever the program was started:
    // the document's folder, then the folder last chosen; an export is named after the document.
    void theFileDialogsOpenWhereTheUserWorks() {
        // As after File > Open.
        QVERIFY(m_doc->SaveAs(m_dir.filePath("beetle.bio").toStdString()));
        m_doc->SetPathName(m_dir.filePath("beetle.bio").toStdString());
        QTemporaryDir other;
        CQtFrameDialogs dialogs(m_frame.get(), m_frame->Document(), [] {});
        QString folder;
        QString proposed;
        // Looks at the file dialog that opens next, then chooses a name in the other folder
        // and answers the size question with 3.
        auto answer = [&] {
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                folder = dialog->directory().absolutePath();
                proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
                dialog->selectFile(other.filePath("worksheet.png"));
                QTimer::singleShot(0, [] {
                    if (auto* size =
                            qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                        size->setIntValue(3);
                        size->accept();
                    }
                });
                static_cast<QDialog*>(dialog)->accept();
            });
        };
        QString path;
        int scale = 0;
        answer();
        QVERIFY(dialogs.AskExportPicture(path, scale));
        QCOMPARE(folder, QFileInfo(m_dir.path()).absoluteFilePath());
        QCOMPARE(proposed, QString("beetle.png"));
        QCOMPARE(path, other.filePath("worksheet.png"));
        QCOMPARE(scale, 3);
        // The next dialog opens in the folder just chosen.
        answer();
        dialogs.AskSavePath("Save As", "Biomorph files (*.bio)", "beetle.bio");
        QCOMPARE(folder, QFileInfo(other.path()).absoluteFilePath());
    }
};

QTEST_MAIN(CExportTest)
#include "ExportTest.moc"
