// Zoom: morphs drawn 1 to 4 times as large in their cells, drawn at that scale rather than
// enlarged, still centred and clipped to their cells; at 1x every picture is as it was.
#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "frame/MainFrame.h"
#include "model/Random.h"
#include "platform/QtSurface.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"

namespace {

// The smallest rectangle holding every pixel of the area that is not the background colour.
QRect InkBox(const QImage& image, const QRect& area, QRgb background = qRgb(255, 255, 255)) {
    QRect box;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// The smallest rectangle holding every pixel where the two pictures differ.
QRect ChangeBox(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

}  // namespace

class CZoomTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;

    CQuorvaleView* View() { return m_frame->View(); }
    QImage Screen() {
        View()->Invalidate();
        return View()->ScreenImage().copy();
    }
    // A small morph with branches, so four times its size still fits the Engineer view.
    void SmallMorph() {
        CBioMorph& m = *m_doc->m_pCurrent;
        std::array<int32_t, kGeneCount> genes = m_doc->m_pTriTop->GetGenes();
        genes[8] = 5;  // depth
        m.SetGenes(genes);
        m.ClearGradients();
        View()->Invalidate();
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(5);
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs, QSize(900, 640));
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
    }

    // Zooming in and back leaves every mode's picture as it was, kept pictures included.
    void actualSizeIsThePictureAsBefore_data() {
        QTest::addColumn<int>("command");
        QTest::addRow("Breed") << static_cast<int>(ECommand::Breed);
        QTest::addRow("Engineer") << static_cast<int>(ECommand::Engineer);
        QTest::addRow("Fossils") << static_cast<int>(ECommand::FossilHistory);
        QTest::addRow("Triangle") << static_cast<int>(ECommand::GeneSpace);
    }
    void actualSizeIsThePictureAsBefore() {
        QFETCH(int, command);
        m_frame->RunCommand(ECommand::Engineer);
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(40, 40));
        }
        m_frame->RunCommand(static_cast<ECommand>(command));
        if (m_doc->m_nMode == kModeTriangle) {
            QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(450, 300));
        }
        const QImage before = Screen();
        QVERIFY(m_frame->RunCommand(ECommand::ViewZoomIn));
        QVERIFY(m_frame->RunCommand(ECommand::ViewZoomIn));
        QVERIFY(Screen() != before);
        QVERIFY(m_frame->RunCommand(ECommand::ViewActualSize));
        QCOMPARE(Screen(), before);
    }

    void engineerDrawsTheMorphAtScaleAboutTheCentre() {
        m_frame->RunCommand(ECommand::Engineer);
        SmallMorph();
        const QRect all = View()->rect();
        const QImage one = Screen();
        const QRect box1 = InkBox(one, all);
        QVERIFY(!box1.isEmpty());
        for (int zoom = 2; zoom <= kMaxZoom; ++zoom) {
            m_frame->SetZoom(zoom);
            const QImage shown = Screen();
            const QRect box = InkBox(shown, all);
            // As large as zoom times the 1x drawing (the pen adds up to zoom pixels a side),
            // about the same centre.
            QVERIFY2(std::abs(box.width() - zoom * box1.width()) <= 2 * zoom,
                     qPrintable(QString("zoom %1: %2 against %3")
                                    .arg(zoom)
                                    .arg(box.width())
                                    .arg(box1.width())));
            QVERIFY(std::abs(box.height() - zoom * box1.height()) <= 2 * zoom);
            QVERIFY((box.center() - box1.center()).manhattanLength() <= 2 * zoom);
            // Drawn, not enlarged: the 1x picture blown up about the centre is not it.
            QImage enlarged(shown.size(), shown.format());
            enlarged.fill(Qt::white);
            const QPoint c(View()->width() / 2, View()->height() / 2);
            int differ = 0;
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const QPoint from = c + (QPoint(x, y) - c) / zoom;
                    differ += one.rect().contains(from) && one.pixel(from) != shown.pixel(x, y);
                }
            }
            QVERIFY2(differ > 20, qPrintable(QString("zoom %1 looks enlarged").arg(zoom)));
        }
    }

    void breedCellsKeepTheirMorphsCentredAndInside() {
        m_frame->RunCommand(ECommand::Engineer);
        SmallMorph();
        m_frame->RunCommand(ECommand::Breed);
        const SRect parent = View()->CellRect(View()->ParentCell());
        const QRect cell(QPoint(parent.left, parent.top),
                         QPoint(parent.right - 1, parent.bottom - 1));
        const QRect box1 = InkBox(Screen(), cell.adjusted(2, 2, -2, -2));
        m_frame->SetZoom(3);
        const QImage shown = Screen();
        const QRect box3 = InkBox(shown, cell.adjusted(2, 2, -2, -2));
        QVERIFY(box3.width() > 2 * box1.width());
        QVERIFY((box3.center() - box1.center()).manhattanLength() <= 6);
        // Every cell's drawing stays inside it: outside the cells only grid lines and frames
        // are drawn, and they are the same at any zoom.
        m_frame->SetZoom(1);
        const QImage flat = Screen();
        for (int c = 0; c < View()->Cols() * View()->Rows(); ++c) {
            const SRect r = View()->CellRect(c);
            for (int x = r.left - 2; x <= r.right + 1; ++x) {
                for (int y : {r.top - 2, r.bottom + 1}) {
                    if (shown.rect().contains(x, y)) {
                        QCOMPARE(shown.pixel(x, y), flat.pixel(x, y));
                    }
                }
            }
        }
    }

    // Zoomed morphs often reach past their cells; a breeding step still leaves every cell's
    // frame, the parent's red one included, as a repaint draws it.
    void aBreedingStepKeepsTheFramesOfZoomedCells() {
        std::array<int32_t, kGeneCount> genes{40, -30, 20, -40, 30, -20, 10, 40, 9, 2,
                                              0,  1,   1,  100, 0,  0,   1,  4,  0};
        m_doc->m_pCurrent->SetGenes(genes);
        m_doc->m_pCurrent->ClearGradients();
        m_frame->RunCommand(ECommand::Breed);
        m_frame->SetZoom(4);
        const SRect r = View()->CellRect(0);
        QTest::mouseClick(View(), Qt::LeftButton, {},
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        const QImage revealed = View()->ScreenImage().copy();
        const QImage repainted = Screen();
        int framePixels = 0;
        for (int c = 0; c < View()->Cols() * View()->Rows(); ++c) {
            const SRect cell = View()->CellRect(c);
            // Each frame's own pixels, clear of the grid lines at the corners.
            for (int x = cell.left + 3; x < cell.right - 3; ++x) {
                for (int y : {cell.top, cell.bottom - 1}) {
                    QCOMPARE(revealed.pixel(x, y), repainted.pixel(x, y));
                    ++framePixels;
                }
            }
            for (int y = cell.top + 3; y < cell.bottom - 3; ++y) {
                for (int x : {cell.left, cell.right - 1}) {
                    QCOMPARE(revealed.pixel(x, y), repainted.pixel(x, y));
                }
            }
        }
        QVERIFY(framePixels > 0);
        // Some morphs do reach the frames: the test would show nothing otherwise.
        int reaching = 0;
        for (int c = 0; c < View()->Cols() * View()->Rows(); ++c) {
            const SRect cell = View()->CellRect(c);
            const QRect inside(QPoint(cell.left + 1, cell.top + 1),
                               QPoint(cell.right - 2, cell.bottom - 2));
            reaching += InkBox(repainted, inside).width() == inside.width();
        }
        QVERIFY(reaching > 0);
    }

    void copyTakesTheMorphAsLargeAsItIsDrawn() {
        m_frame->RunCommand(ECommand::Engineer);
        SmallMorph();
        Screen();
        m_frame->RunCommand(ECommand::EditCopy);
        const QSize one = QGuiApplication::clipboard()->image().size();
        m_frame->SetZoom(2);
        Screen();
        m_frame->RunCommand(ECommand::EditCopy);
        const QSize two = QGuiApplication::clipboard()->image().size();
        QVERIFY(!one.isEmpty());
        QVERIFY(std::abs(two.width() - 2 * one.width()) <= 2);
        QVERIFY(std::abs(two.height() - 2 * one.height()) <= 2);
    }

    void triangleMorphsGrowFromTheirPointAtScale() {
        m_frame->RunCommand(ECommand::GeneSpace);
        const QPoint at(450, 330);
        const QImage empty1 = Screen();
        QTest::mouseClick(View(), Qt::LeftButton, {}, at);
        const QRect box1 = ChangeBox(empty1, Screen());
        m_frame->SetZoom(2);
        m_frame->RunCommand(ECommand::TriangleClear);
        const QImage empty2 = Screen();
        QTest::mouseClick(View(), Qt::LeftButton, {}, at);
        const QRect box2 = ChangeBox(empty2, Screen());
        QVERIFY(!box1.isEmpty());
        // Pens twice as wide and their caps take a few pixels more than twice the 1x box.
        QVERIFY2(std::abs(box2.width() - 2 * box1.width()) <= 10,
                 qPrintable(QString("%1 against %2").arg(box2.width()).arg(box1.width())));
        QVERIFY(std::abs(box2.height() - 2 * box1.height()) <= 10);
        // Grown from the point: the point is where it was against the morph, twice as far.
        const QPoint d1 = box1.topLeft() - at;
        const QPoint d2 = box2.topLeft() - at;
        QVERIFY((d2 - 2 * d1).manhattanLength() <= 10);
        // The corners' morphs grow from their corners as well.
        const SPoint top = View()->TriangleTop();
        // Above the top corner and no lower: the other corners' morphs do not reach there.
        const QRect corner(QPoint(top.x - 60, top.y - 100), QPoint(top.x + 60, top.y + 10));
        m_frame->SetZoom(1);
        m_frame->RunCommand(ECommand::TriangleClear);
        const QImage flat = Screen();
        m_frame->SetZoom(2);
        QVERIFY(Screen().copy(corner) != flat.copy(corner));
    }

    void zoomStepsStopAtTheLimitsAndAreAnnounced() {
        QSignalSpy changed(m_frame.get(), &CMainFrame::zoomChanged);
        QVERIFY(!m_frame->Rule(ECommand::ViewZoomOut).bEnabled);
        QVERIFY(!m_frame->Rule(ECommand::ViewActualSize).bEnabled);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(m_frame->RunCommand(ECommand::ViewZoomIn));
        }
        QCOMPARE(View()->Zoom(), 4);
        QVERIFY(!m_frame->RunCommand(ECommand::ViewZoomIn));
        QCOMPARE(View()->Zoom(), 4);
        // The keys are the usual ones.
        QTest::keyClick(m_frame.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(View()->Zoom(), 1);
        QTest::keyClick(m_frame.get(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(View()->Zoom(), 2);
        QTest::keyClick(m_frame.get(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(View()->Zoom(), 1);
        QCOMPARE(changed.count(), 6);
        // The status bar says the zoom while it is not 1x.
        auto* label = m_frame->findChild<QLabel*>("zoomLabel");
        QVERIFY(label);
        QVERIFY(label->isHidden());
        m_frame->SetZoom(3);
        QVERIFY(!label->isHidden());
        QCOMPARE(label->text(), QString("Zoom 3x"));
        m_frame->SetZoom(1);
        QCOMPARE(changed.last().at(0).toInt(), 1);
        // Ctrl and + (shifted on most keyboards) zooms in as well.
        QTest::keyClick(m_frame.get(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(View()->Zoom(), 2);
        // A remembered zoom from nowhere is brought within the limits.
        m_frame->SetZoom(99);
        QCOMPARE(View()->Zoom(), 4);
        // The family tree is drawn at one size: the zoom neither shows nor changes there, and
        // is back on leaving it.
        QVERIFY(m_frame->RunCommand(ECommand::FamilyTree));
        QVERIFY(label->isHidden());
        QTest::keyClick(m_frame.get(), Qt::Key_0, Qt::ControlModifier);
        QVERIFY(!m_frame->RunCommand(ECommand::ViewZoomOut));
        QCOMPARE(View()->Zoom(), 4);
        QVERIFY(m_frame->RunCommand(ECommand::Breed));
        QVERIFY(!label->isHidden());
        QCOMPARE(label->text(), QString("Zoom 4x"));
    }
};

QTEST_MAIN(CZoomTest)
#include "ZoomTest.moc"
