// A thumbnail is the program's own picture: the Engineer mode of the real window, showing
// the same file at the thumbnail's zoom, holds around its centre exactly the picture that
// the thumbnail is scaled down from.
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "document/BioFile.h"
#include "frame/MainFrame.h"
#include "model/BioMorph.h"
#include "model/Random.h"
#include "thumbnailer/Thumbnail.h"
#include "view/QuorvaleView.h"
#include "view/ViewGeometry.h"

class CThumbnailWindowTest : public QObject {
    Q_OBJECT

private slots:
    void thumbnailIsTheEngineerPicture_data() {
        QTest::addColumn<QString>("genes");
        QTest::addColumn<int>("side");
        // Sizes at which each is drawn at a zoom the window has too, or (the last) scaled down.
        QTest::newRow("basic") << "-10,-10,-10,-10,-10,0,10,10,7,1,20,0,0,100,0,1,2,1,0" << 64;
        QTest::newRow("segmented") << "-30,10,-20,40,20,-10,30,-20,6,3,15,0,0,100,0,1,2,1,0" << 128;
        QTest::newRow("thick, coloured, tapering")
            << "-10,-20,-30,30,20,10,-10,20,5,1,20,0,0,100,1,40,90,4,-1" << 64;
        QTest::newRow("radial, scaled")
            << "20,-10,30,-20,10,20,-30,10,5,2,10,1,2,60,2,120,60,1,0" << 64;
        QTest::newRow("larger than the picture")
            << "-20,-40,-60,-40,-20,0,30,40,6,1,20,0,0,200,0,1,2,1,0" << 128;
    }

    void thumbnailIsTheEngineerPicture() {
        QFETCH(QString, genes);
        QFETCH(int, side);
        std::array<int32_t, kGeneCount> values{};
        const QStringList parts = genes.split(',');
        QCOMPARE(parts.size(), kGeneCount);
        for (int i = 0; i < kGeneCount; ++i) {
            values[i] = parts[i].toInt();
        }
        CBioMorph morph;
        morph.SetGenes(values);
        const std::vector<uint8_t> file = EncodeBioFile(morph);
        QTemporaryDir dir;
        const QString path = dir.filePath("morph.bio");
        std::ofstream(path.toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));

        SetDefaultGeneTables();
        SeedRandom(3);
        g_bRemeasure = 0;
        CQuorvaleDoc doc;
        CMainFrame frame(&doc);
        doc.OnNewDocument();
        frame.resize(900, 700);
        frame.View()->OnInitialUpdate();
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.OpenDocumentFile(path));
        const Thumbnail::SLayout layout = Thumbnail::LayoutFor(morph, side);
        QVERIFY2(layout.zoom <= kMaxZoom, qPrintable(QString("zoom %1").arg(layout.zoom)));
        frame.View()->SetMode(kModeEngineer);
        frame.View()->SetZoom(layout.zoom);
        frame.View()->Invalidate();
        const QImage window = frame.View()->ScreenImage().copy();
        QCOMPARE(window.devicePixelRatio(), 1.0);

        const QImage thumbnail = Thumbnail::Render(file.data(), file.size(), side);
        QCOMPARE(thumbnail.size(), QSize(side, side));
        const QPoint corner(window.width() / 2 - layout.canvas / 2,
                            window.height() / 2 - layout.canvas / 2);
        QVERIFY(corner.x() >= 0 && corner.y() >= 0);
        const QImage cut = window.copy(QRect(corner, QSize(layout.canvas, layout.canvas)))
                               .convertToFormat(QImage::Format_RGB32)
                               .scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(thumbnail.format());
        int ink = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                QCOMPARE(thumbnail.pixel(x, y), cut.pixel(x, y));
                ink += thumbnail.pixel(x, y) != qRgb(255, 255, 255);
            }
        }
        QVERIFY(ink > 20);
        SetDefaultGeneTables();
    }
};

QTEST_MAIN(CThumbnailWindowTest)
#include "ThumbnailWindowTest.moc"
