// Repaints of heavy morphs: the same genome gives the same pixels every time, and sharing a
// repaint's cells between threads changes none of them.
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QtTest>
#include <memory>

#include "frame/MainFrame.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"

namespace {

using Genes = std::array<int32_t, kGeneCount>;

struct SCase {
    const char* name;
    Genes genes;
    int32_t gradient;  // every gradient, within the range mutation keeps them in
};

// The heaviest genomes within the gene limits, one for each thing a stroke can cost.
const SCase kHeavy[] = {
    {"widest spread",
     {-40, 40, -40, 40, -40, 40, -40, 40, 9, 9, 30, 1, 2, 100, 3, 50, 100, 10, 10},
     0},
    {"most strokes", {40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 0, 1, 2, 1, 0}, 0},
    {"thick round tips",
     {400, -400, 400, -400, 400, -400, 400, -400, 9, 9, 100, 0, 2, 400, 2, 80, 90, 10, 10},
     2},
    {"filled polygons",
     {-400, 400, -400, 400, -400, 400, -400, 400, 9, 9, -100, 0, 2, -400, 1, 160, 5, 10, -4},
     -2},
    {"leaves",
     {200, -400, 300, 400, -200, 100, -400, 400, 9, 9, 100, 1, 1, 400, 3, 40, 160, -8, 10},
     2},
};

}  // namespace

class CDrawingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;

    CQuorvaleView* View() { return m_frame->View(); }

    // Every cell of the grid, the parent and the triangle's corners get the genome.
    void Show(const SCase& c) {
        CBioMorph& current = *m_doc->m_pCurrent;
        current.SetGenes(c.genes);
        for (int k = 1; k <= kGeneCount; ++k) {
            current.SetGradient(k, c.gradient);
        }
        for (auto& child : m_doc->m_listOffspring) {
            child->CopyGenome(current);
        }
        for (CBioMorph* corner :
             {m_doc->m_pTriTop.get(), m_doc->m_pTriLeft.get(), m_doc->m_pTriRight.get()}) {
            corner->CopyGenome(current);
        }
    }

    QImage Render(int threads) {
        View()->SetCellThreads(threads);
        View()->Invalidate();
        return View()->ScreenImage().copy();
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(11);
        g_bRemeasure = 0;
        m_clock = CFakeClock();
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

    void heavyMorphsDrawTheSamePixelsEveryTimeOnAnyThreadCount_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("mode");
        for (int i = 0; i < int(std::size(kHeavy)); ++i) {
            for (auto [mode, label] :
                 {std::pair{int(kModeBreed), "breed"}, std::pair{int(kModeEngineer), "engineer"},
                  std::pair{int(kModeTriangle), "triangle"}}) {
                QTest::addRow("%s, %s", kHeavy[i].name, label) << i << mode;
            }
        }
    }
    void heavyMorphsDrawTheSamePixelsEveryTimeOnAnyThreadCount() {
        QFETCH(int, index);
        QFETCH(int, mode);
        // Breed mode breeds new offspring as it starts: the genome goes in after.
        View()->SetMode(mode);
        Show(kHeavy[index]);
        // Drawn twice, the second time with the cells shared between two threads (only the
        // grid has cells to share): the pictures must not differ in one pixel.
        const QImage once = Render(1);
        const QImage twice = Render(2);
        // Something was drawn: the picture is not a blank page with the grid alone.
        int black = 0;
        for (int y = 0; y < once.height(); y += 2) {
            const auto* line = reinterpret_cast<const QRgb*>(once.constScanLine(y));
            for (int x = 0; x < once.width(); ++x) {
                black += qGray(line[x]) < 100;
            }
        }
        QVERIFY2(black > 1000, qPrintable(QString::number(black)));
        QVERIFY(once == twice);
    }

    // The morph under the pointer in the triangle is drawn over the kept picture and taken away
    // again by putting back only its own area: wherever the pointer has been, the screen must
    // be the kept picture plus the morph where the pointer is now.
    void theTrianglesLiveMorphLeavesNothingBehind() {
        View()->SetMode(kModeTriangle);
        Show(kHeavy[0]);
        const QImage plain = Render(1);
        auto moveTo = [this](QPoint p) {
            QMouseEvent move(QEvent::MouseMove, p, View()->mapToGlobal(p), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(View(), &move);
            return View()->Screen().copy();
        };
        const QPoint centre = View()->rect().center();
        const QPoint end = centre + QPoint(7, 3);
        moveTo(centre - QPoint(60, 40));
        moveTo(centre + QPoint(80, -20));
        const QImage travelled = moveTo(end);
        QVERIFY(travelled != plain);
        // Out of the view: the morph goes, and nothing else changes.
        QCOMPARE(moveTo(QPoint(-5, -5)), plain);
        QCOMPARE(moveTo(end), travelled);
    }
};

QTEST_MAIN(CDrawingTest)
#include "DrawingTest.moc"
