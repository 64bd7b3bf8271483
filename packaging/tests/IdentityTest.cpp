// What the program shows of itself matches what it installs: the window icon is the theme
// icon's pictures at every size, the About box's logo is the same picture, and the About box
// carries the licence file word for word.
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include "app/AboutBox.h"
#include "app/QuorvaleApp.h"

class CIdentityTest : public QObject {
    Q_OBJECT

private slots:
    void windowIconIsTheInstalledIconAtEverySize() {
        const QIcon icon = CQuorvaleApp::ApplicationIcon();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString installed =
                QStringLiteral(
                    QUORVALE_SOURCE_DIR
                    "/resources/icons/hicolor/%1x%1/apps/io.github.quorvale.Quorvale.png")
                    .arg(size);
            const QImage expected =
                QImage(installed).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QVERIFY2(!expected.isNull(), qPrintable(installed));
            const QImage shown = icon.pixmap(QSize(size, size))
                                     .toImage()
                                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(shown, expected);
        }
        const QImage logo =
            QImage(":/about/logo.png").convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(icon.pixmap(QSize(64, 64))
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 logo);
    }

    void aboutBoxCarriesTheLicence() {
        QFile file(QStringLiteral(QUORVALE_SOURCE_DIR "/LICENSE"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString licence = QString::fromUtf8(file.readAll());
        QVERIFY(licence.startsWith("MIT License"));

        CAboutBox about;
        const auto* text = about.findChild<QPlainTextEdit*>("aboutLicenceText");
        QVERIFY(text);
        QCOMPARE(text->toPlainText().trimmed(), licence.trimmed());
        const auto* line = about.findChild<QLabel*>("aboutLicence");
        QVERIFY(line);
        QVERIFY(line->text().contains("MIT License"));
    }
};

QTEST_MAIN(CIdentityTest)
#include "IdentityTest.moc"
