// A thumbnail is the program's own picture: the Engineer mode of the real window, showing
// the same file, holds exactly the thumbnail's pixels around its centre.
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

class CThumbnailWindowTest : public QObject {
    Q_OBJECT

private slots:
    void thumbnailIsTheEngineerPicture_data() {
        QTest::addColumn<QString>("genes");
        QTest::newRow("basic") << "-10,-10,-10,-10,-10,0,10,10,7,1,20,0,0,100,0,1,2,1,0";
        QTest::newRow("segmented") << "-30,10,-20,40,20,-10,30,-20,6,3,15,0,0,100,0,1,2,1,0";
        QTest::newRow("thick, coloured, tapering")
            << "-10,-20,-30,30,20,10,-10,20,5,1,20,0,0,100,1,40,90,4,-1";
        QTest::newRow("radial, scaled") << "20,-10,30,-20,10,20,-30,10,5,2,10,1,2,60,2,120,60,1,0";
    }

    void thumbnailIsTheEngineerPicture() {
        QFETCH(QString, genes);
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
        frame.View()->SetMode(kModeEngineer);
        frame.View()->Invalidate();
        const QImage window = frame.View()->ScreenImage().copy();
        QCOMPARE(window.devicePixelRatio(), 1.0);

        constexpr int kSide = 256;
        const QImage thumbnail = Thumbnail::Render(file.data(), file.size(), kSide);
        QCOMPARE(thumbnail.size(), QSize(kSide, kSide));
        const QPoint corner(window.width() / 2 - kSide / 2, window.height() / 2 - kSide / 2);
        QVERIFY(corner.x() >= 0 && corner.y() >= 0);
        const QImage cut =
            window.copy(QRect(corner, QSize(kSide, kSide))).convertToFormat(thumbnail.format());
        int ink = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
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
