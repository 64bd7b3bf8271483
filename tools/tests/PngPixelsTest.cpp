// The PNG pictures of quorvale-tool hold exactly the pixels the window shows for the same
// genome in engineering, where the morph is drawn alone and centred: the tool is run as a
// user would run it and its file decoded, pixel for pixel against the view's screen image.
// Its SVG pictures, rasterised, show the same within a pixel, crossings that XOR clears
// included.
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "frame/MainFrame.h"
#include "model/GeneTables.h"
#include "model/Random.h"
#include "support/FakeDialogs.h"
#include "support/PictureCompare.h"
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

}  // namespace

class CPngPixelsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeDialogs m_dialogs;
    QTemporaryDir m_dir;

    CQuorvaleView* View() { return m_frame->View(); }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(3);
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = std::make_unique<CMainFrame>(m_doc.get());
        m_frame->SetDialogs(&m_dialogs);
        m_doc->OnNewDocument();
        m_frame->resize(700, 520);
        View()->OnInitialUpdate();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
        SetDefaultGeneTables();
    }

    void pngHoldsTheWindowsPixels_data() {
        QTest::addColumn<QString>("genes");
        QTest::addColumn<QString>("gradients");
        QTest::addColumn<int>("orientation");
        const QString zeros = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
        // One-pixel lines in XOR, which overlapping strokes cancel.
        QTest::newRow("basic") << "-10,-10,-10,-10,-10,0,10,10,7,1,20,0,0,100,0,1,2,1,0" << zeros
                               << 0;
        // A trunk drawn twice, which vanishes between the arms.
        QTest::newRow("vanished trunk")
            << "-6,173,44,-26,131,147,-168,23,4,1,20,0,0,100,0,1,2,1,0" << zeros << 0;
        // Segments with gradients, a radial body, coloured outline and body, thick pens
        // and round tips, turned a quarter.
        QTest::newRow("coloured segments") << "2,-2,1,-2,1,-1,2,-2,7,3,4,0,2,100,2,20,80,3,5"
                                           << "1,0,-1,0,1,0,0,1,0,1,0,0,0,2,0,1,3,1,0" << 1;
        // Leaves, tapering and mirror, upside down.
        QTest::newRow("leaves") << "30,-20,10,-30,20,-10,5,-5,6,2,8,1,1,150,3,40,120,2,-3" << zeros
                                << 2;
        // Far strokes and a pen a million pixels wide, cut back near the picture.
        QTest::newRow("far") << "2000000000,-2000000000,1500000000,-2000000000,1900000000,"
                                "-1000000000,2000000000,-2000000000,9,3,3,0,2,2000000000,3,0,"
                                "80,1000000,5"
                             << zeros << 3;
    }

    void pngHoldsTheWindowsPixels() {
        QFETCH(QString, genes);
        QFETCH(QString, gradients);
        QFETCH(int, orientation);

        CBioMorph& morph = *m_doc->m_pCurrent;
        morph.SetGenes(Values(genes));
        GeneArray all{};
        const auto d = Values(gradients);
        std::copy(d.begin(), d.end(), all.begin() + 1);
        morph.SetGradients(all);
        m_doc->m_nOrientation = orientation;
        View()->SetMode(kModeEngineer);
        View()->Invalidate();
        const QImage shown = View()->ScreenImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.devicePixelRatio(), 1.0);

        const QString path = m_dir.filePath("morph.png");
        QProcess tool;
        tool.start(QUORVALE_TOOL,
                   {"render", "--genes", genes, "--gradients", gradients, "--orientation",
                    QString::number(orientation), "--size",
                    QString("%1x%2").arg(shown.width()).arg(shown.height()), "-o", path});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(tool.readAllStandardError(), QByteArray());

        QImage written(path, "PNG");
        QVERIFY(!written.isNull());
        written = written.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(written.size(), shown.size());
        int differing = 0;
        int ink = 0;
        QPoint first(-1, -1);
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y);
                if (a != written.pixel(x, y) && differing++ == 0) {
                    first = QPoint(x, y);
                }
                ink += a != qRgb(255, 255, 255);
            }
        }
        QVERIFY2(ink > 20, "the window shows the morph");
        QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ, the first at (%2, %3)")
                                                .arg(differing)
                                                .arg(first.x())
                                                .arg(first.y())));

        const QString svgPath = m_dir.filePath("morph.svg");
        tool.start(QUORVALE_TOOL,
                   {"render", "--genes", genes, "--gradients", gradients, "--orientation",
                    QString::number(orientation), "--size",
                    QString("%1x%2").arg(shown.width()).arg(shown.height()), "-o", svgPath});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(tool.readAllStandardError(), QByteArray());
        QSvgRenderer svg(svgPath);
        QVERIFY(svg.isValid());
        QImage drawn(shown.size(), QImage::Format_RGB32);
        drawn.fill(Qt::magenta);
        {
            QPainter painter(&drawn);
            svg.render(&painter);
        }
        const QString difference = DifferenceBeyondOnePixel(shown, drawn);
        QVERIFY2(difference.isEmpty(), qPrintable("SVG: " + difference));
    }
};

QTEST_MAIN(CPngPixelsTest)
#include "PngPixelsTest.moc"
