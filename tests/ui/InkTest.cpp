// Printed pages and SVG drawings show what the screen shows. The screen draws creatures in XOR:
// a stroke drawn twice vanishes, strokes that cross leave gaps and coloured fills mix. Paper
// and vector files cannot undo ink, so they are given the screen's visible ink itself. Each
// case draws a creature in a mode, exports the view and the creature alone as SVG, prints the
// view into a PDF file, rasterises each at the screen's scale and compares it with the
// screen's own picture, within one pixel.
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "frame/MainFrame.h"
#include "model/FamilyMorph.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/PictureCompare.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"

namespace {

std::array<int32_t, kGeneCount> Values(const QString& list) {
    std::array<int32_t, kGeneCount> values{};
    const QStringList items = list.split(',');
    for (int i = 0; i < kGeneCount && i < items.size(); ++i) {
        values[static_cast<size_t>(i)] = items[i].toInt();
    }
    return values;
}

// The drawing rasterised onto a picture of the reference's size and pixel ratio.
QImage RasteriseSvg(const QString& path, const QImage& like) {
    QSvgRenderer svg(path);
    if (!svg.isValid()) {
        return QImage();
    }
    QImage drawn(like.size(), QImage::Format_RGB32);
    drawn.setDevicePixelRatio(like.devicePixelRatio());
    drawn.fill(Qt::magenta);
    QPainter p(&drawn);
    svg.render(&p, QRectF(QPointF(0, 0), like.deviceIndependentSize()));
    return drawn;
}

// The first page of a PDF file rasterised by poppler's cairo renderer at dpi dots per inch;
// null if that failed. (Poppler's own renderer widens every shape by a pixel at its right and
// bottom edges.)
QImage RasterisePdf(const QString& pdf, int dpi) {
    const QString prefix = pdf + "-page";
    QProcess process;
    process.start("pdftocairo", {"-r", QString::number(dpi), "-png", "-singlefile", pdf, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return QImage();
    }
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class CInkTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;
    QTemporaryDir m_dir;

    CQuorvaleView* View() { return m_frame->View(); }

    // Every morph the mode shows gets the genome.
    void ShowInMode(int mode) {
        CBioMorph& current = *m_doc->m_pCurrent;
        if (mode == kModeFossils) {
            // A page of a few, numbered in their cells.
            for (int i = 0; i < 3; ++i) {
                View()->RecordFossil(current);
            }
        }
        View()->SetMode(mode);
        switch (mode) {
            case kModeBreed:
                // Entering bred mutants; the grid shows the genome itself in every cell.
                for (auto& child : m_doc->m_listOffspring) {
                    child->CopyGenome(current);
                }
                break;
            case kModeTriangle:
                for (CBioMorph* corner :
                     {m_doc->m_pTriTop.get(), m_doc->m_pTriLeft.get(), m_doc->m_pTriRight.get()}) {
                    corner->CopyGenome(current);
                }
                m_doc->m_listTrianglePoints.push_back({View()->width() / 2, View()->height() / 2});
                View()->TriangleChanged();
                break;
            case kModeFamily: {
                // A root and a child, joined by their link.
                m_frame->RunCommand(ECommand::FamilyTree);
                CFamilyList& family = *m_doc->m_listFamilies.front();
                CFamilyMorph* root = family.front().get();
                auto child = std::make_unique<CFamilyMorph>(current, root->m_ptNode.x + 140,
                                                            root->m_ptNode.y + 90);
                child->m_pParent = root;
                root->AddChild(child.get());
                family.push_back(std::move(child));
                break;
            }
            default:
                break;
        }
        View()->Invalidate();
    }

    // The view printed into a PDF file on a page just its size, a point for each of its
    // pixels, and rasterised again at the screen's scale. The printer's resolution is four
    // dots a point, so every pixel of the window lands on whole points and no edge of the
    // page's shapes falls between two pixels of the rasterised page.
    QImage PrintedPage(const QImage& screen) {
        const QString pdf = m_dir.filePath("page.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(4 * 72);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const QSize size = View()->size();
        printer.setPageLayout(
            QPageLayout(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&printer)) {
            return QImage();
        }
        const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
        View()->OnDrawPrinter(painter, QRect(QPoint(0, 0), printable.size()));
        painter.end();
        const int dpi = qRound(72 * screen.devicePixelRatio());
        return RasterisePdf(pdf, dpi);
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(7);
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
        SetDefaultGeneTables();
    }

    void picturesShowTheScreensInk_data() {
        QTest::addColumn<QString>("genes");
        QTest::addColumn<QString>("gradients");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("output");
        const QString zeros = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
        // The trunk is drawn twice and vanishes: the screen shows a gap between the arms.
        const QString trunk = "-6,173,44,-26,131,147,-168,23,4,1,20,0,0,100,0,1,2,1,0";
        // Segments with gradients, a radial body, coloured outline and body, thick pens and
        // round tips.
        const QString coloured = "2,-2,1,-2,1,-1,2,-2,7,3,4,0,2,100,2,20,80,3,5";
        const QString colouredGradients = "1,0,-1,0,1,0,0,1,0,1,0,0,0,2,0,1,3,1,0";
        struct SCreature {
            const char* name;
            QString genes;
            QString gradients;
            int orientation;
            int mode;
        };
        const SCreature creatures[] = {
            {"vanished trunk", trunk, zeros, 0, kModeEngineer},
            {"basic creature", "-10,-10,-10,-10,-10,0,10,10,7,1,20,0,0,100,0,1,2,1,0", zeros, 0,
             kModeEngineer},
            {"coloured segments", coloured, colouredGradients, 1, kModeEngineer},
            // Leaves with tapering pens and mirror symmetry, upside down.
            {"tapering leaves", "30,-20,10,-30,20,-10,5,-5,6,2,8,1,1,150,3,40,120,2,-3", zeros, 2,
             kModeEngineer},
            // Wide filled triangles whose pens taper to nothing.
            {"filled polygons", "-40,40,-40,40,-40,40,-40,40,6,3,-10,0,2,-40,1,160,5,10,-4", zeros,
             0, kModeEngineer},
            // Round tips on thick pens, overlapping everywhere in many mixed colours.
            {"thick round tips", "40,-40,40,-40,40,-40,40,-40,6,3,10,0,2,40,2,80,90,10,10", zeros,
             3, kModeEngineer},
            // The other modes: their grid, frames, numbers, triangle and links around the
            // creatures.
            {"breeding grid", trunk, zeros, 0, kModeBreed},
            {"fossil page", coloured, colouredGradients, 0, kModeFossils},
            {"triangle", trunk, zeros, 0, kModeTriangle},
            {"family tree", coloured, colouredGradients, 0, kModeFamily},
        };
        for (const SCreature& c : creatures) {
            QStringList outputs = {"view SVG", "printed page"};
            if (c.mode == kModeEngineer) {
                outputs << "morph SVG";
            }
            for (const QString& output : outputs) {
                QTest::addRow("%s, %s", c.name, qPrintable(output))
                    << c.genes << c.gradients << c.orientation << c.mode << output;
            }
        }
    }

    void picturesShowTheScreensInk() {
        QFETCH(QString, genes);
        QFETCH(QString, gradients);
        QFETCH(int, orientation);
        QFETCH(int, mode);
        QFETCH(QString, output);

        CBioMorph& current = *m_doc->m_pCurrent;
        current.SetGenes(Values(genes));
        GeneArray all{};
        const auto d = Values(gradients);
        std::copy(d.begin(), d.end(), all.begin() + 1);
        current.SetGradients(all);
        m_doc->m_nOrientation = orientation;
        ShowInMode(mode);
        const QImage screen = View()->ScreenImage().convertToFormat(QImage::Format_RGB32);

        QString difference;
        if (output == "view SVG") {
            const QString path = m_dir.filePath("view.svg");
            QCOMPARE(View()->ExportPicture(path, 1, nullptr), QString());
            const QImage drawn = RasteriseSvg(path, screen);
            QVERIFY(!drawn.isNull());
            difference = DifferenceBeyondOnePixel(screen, drawn);
        } else if (output == "morph SVG") {
            // The creature alone, against its picture alone.
            const QImage alone =
                View()->MorphPicture(current, 1).convertToFormat(QImage::Format_RGB32);
            const QString path = m_dir.filePath("morph.svg");
            QCOMPARE(View()->ExportPicture(path, 1, &current), QString());
            const QImage drawn = RasteriseSvg(path, alone);
            QVERIFY(!drawn.isNull());
            difference = DifferenceBeyondOnePixel(alone, drawn);
        } else {
            if (QStandardPaths::findExecutable("pdftocairo").isEmpty()) {
                QSKIP("pdftocairo (poppler-utils) is needed to read the printed page");
            }
            const QImage page = PrintedPage(screen);
            QVERIFY(!page.isNull());
            difference = DifferenceBeyondOnePixel(screen, page);
        }
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // The screen is as it was.
        QCOMPARE(View()->ScreenImage().convertToFormat(QImage::Format_RGB32), screen);
    }
};

QTEST_MAIN(CInkTest)
#include "InkTest.moc"
