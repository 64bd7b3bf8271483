#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QToolButton>
#include <QtTest>

#include "platform/Cursors.h"
#include "platform/HelpContext.h"
#include "platform/HelpViewer.h"

namespace {

const QString kResourcesDir = QStringLiteral(QUORVALE_RESOURCES_DIR);

// The document position of a named anchor, or -1.
int AnchorPosition(const QTextDocument* pDoc, const QString& strAnchor) {
    for (QTextBlock block = pDoc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorNames().contains(strAnchor)) {
                return fragment.position();
            }
        }
    }
    return -1;
}

// The document position of the first link to href, or -1.
int LinkPosition(const QTextDocument* pDoc, const QString& strHref) {
    for (QTextBlock block = pDoc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() == strHref) {
                return fragment.position() + fragment.length() / 2;
            }
        }
    }
    return -1;
}

void ClickAt(QTextBrowser* pBrowser, int position) {
    QTextCursor cursor(pBrowser->document());
    cursor.setPosition(position);
    pBrowser->ensureCursorVisible();
    const QPoint point = pBrowser->cursorRect(cursor).center();
    QTest::mouseClick(pBrowser->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

QToolButton* Button(CHelpViewer& viewer, const QString& strText) {
    for (QToolButton* pButton : viewer.findChildren<QToolButton*>()) {
        if (pButton->text() == strText) {
            return pButton;
        }
    }
    return nullptr;
}

// Records whether a window was last told that a modal window blocks it.
class CBlockWatcher : public QObject {
public:
    bool m_bBlocked = false;

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::WindowBlocked) {
            m_bBlocked = true;
        } else if (pEvent->type() == QEvent::WindowUnblocked) {
            m_bBlocked = false;
        }
        return QObject::eventFilter(pObject, pEvent);
    }
};

}  // namespace

class CHelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheTopicPageAtItsAnchor_data();
    void showsTheTopicPageAtItsAnchor();
    void isOneWindowReusedAndRaised();
    void linksAndButtonsNavigate();
    void pagesFindTheirStyleAndPictures();
    void everyPictureAndPageIsInTheResources();
    void cursorsHaveTheirPicturesAndHotSpots();
    void staysUsableWhileAModalDialogIsOpen();
};

void CHelpViewerTest::showsTheTopicPageAtItsAnchor_data() {
    QTest::addColumn<int>("topic");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("title");
    QTest::newRow("default") << 0 << "qrc:/help/index.html"
                             << "Welcome to Quorvale";
    QTest::newRow("unknown topic") << 4242 << "qrc:/help/index.html"
                                   << "Welcome to Quorvale";
    QTest::newRow("Add row") << 11 << "qrc:/help/grid.html#addrow"
                             << "Rows and columns";
    QTest::newRow("value box of gene 3") << 1023 << "qrc:/help/genes.html#gene3"
                                         << "The genes";
    QTest::newRow("gradient picture of gene 19") << 1019 << "qrc:/help/genes.html#gradient19"
                                                 << "The genes";
    QTest::newRow("Clear family") << 28 << "qrc:/help/family.html#clear"
                                  << "The family tree";
    QTest::newRow("Repeat box") << 1501 << "qrc:/help/repeat.html"
                                << "Repeat";
    QTest::newRow("special-gene dialog") << 1504 << "qrc:/help/settings.html#specialgenes"
                                         << "Settings";
    QTest::newRow("mutation-rate dialog") << 1505 << "qrc:/help/settings.html#mutationrate"
                                          << "Settings";
    QTest::newRow("Fossil history mode") << 105 << "qrc:/help/fossils.html"
                                         << "The fossil history";
}

void CHelpViewerTest::showsTheTopicPageAtItsAnchor() {
    QFETCH(int, topic);
    QFETCH(QString, source);
    QFETCH(QString, title);

    CHelpViewer viewer;
    viewer.ShowTopic(topic);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCoreApplication::processEvents();

    QCOMPARE(viewer.LastTopic(), topic);
    QCOMPARE(viewer.CurrentSource(), source);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Quorvale Help"));
    QTextBrowser* pBrowser = viewer.Browser();
    QCOMPARE(pBrowser->documentTitle(), title);

    // The anchor's line is at the top of the view, or the page is scrolled as far as it goes.
    const QString strAnchor = QUrl(source).fragment();
    QScrollBar* pBar = pBrowser->verticalScrollBar();
    if (strAnchor.isEmpty()) {
        QCOMPARE(pBar->value(), 0);
        return;
    }
    const int position = AnchorPosition(pBrowser->document(), strAnchor);
    QVERIFY2(position >= 0, qPrintable(strAnchor));
    QTextCursor cursor(pBrowser->document());
    cursor.setPosition(position);
    const int top = pBrowser->cursorRect(cursor).top();
    if (pBar->value() < pBar->maximum()) {
        QVERIFY2(qAbs(top) <= 12, qPrintable(QString::number(top)));
    } else {
        QVERIFY(top >= -12 && top < pBrowser->viewport()->height());
    }
}

void CHelpViewerTest::isOneWindowReusedAndRaised() {
    CHelpViewer* pViewer = CHelpViewer::Instance();
    QVERIFY(pViewer != nullptr);
    QCOMPARE(CHelpViewer::Instance(), pViewer);
    pViewer->ShowTopic(16);
    QVERIFY(QTest::qWaitForWindowExposed(pViewer));
    pViewer->hide();
    pViewer->ShowTopic(1502);
    QVERIFY(pViewer->isVisible());
    QCOMPARE(pViewer->CurrentSource(), QStringLiteral("qrc:/help/monsters.html"));

    int windows = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        windows += qobject_cast<CHelpViewer*>(pWidget) != nullptr ? 1 : 0;
    }
    QCOMPARE(windows, 1);
    // Closing the help must not end the program, nor must it keep the program running.
    QVERIFY(!pViewer->testAttribute(Qt::WA_QuitOnClose));
    pViewer->close();
}

void CHelpViewerTest::linksAndButtonsNavigate() {
    CHelpViewer viewer;
    viewer.ShowTopic(0);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTextBrowser* pBrowser = viewer.Browser();

    const int link = LinkPosition(pBrowser->document(), QStringLiteral("breeding.html"));
    QVERIFY(link >= 0);
    ClickAt(pBrowser, link);
    QTRY_COMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/breeding.html"));
    QCOMPARE(pBrowser->documentTitle(), QStringLiteral("Breeding"));

    // A link to a section of another page.
    const int section =
        LinkPosition(pBrowser->document(), QStringLiteral("settings.html#mutationrate"));
    QVERIFY(section >= 0);
    ClickAt(pBrowser, section);
    QTRY_COMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/settings.html#mutationrate"));

    QToolButton* pBack = Button(viewer, QStringLiteral("Back"));
    QToolButton* pForward = Button(viewer, QStringLiteral("Forward"));
    QToolButton* pHome = Button(viewer, QStringLiteral("Home"));
    QToolButton* pContents = Button(viewer, QStringLiteral("Contents"));
    QVERIFY(pBack && pForward && pHome && pContents);

    QVERIFY(pBack->isEnabled());
    QVERIFY(!pForward->isEnabled());
    pBack->click();
    QCOMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/breeding.html"));
    pBack->click();
    QCOMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/index.html"));
    QVERIFY(!pBack->isEnabled());
    QVERIFY(pForward->isEnabled());
    pForward->click();
    QCOMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/breeding.html"));

    pContents->click();
    QCOMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/contents.html"));
    QCOMPARE(pBrowser->documentTitle(), QStringLiteral("Contents"));
    pHome->click();
    QCOMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/index.html"));

    // Asking again for the page on show goes back to its anchor without a new history entry.
    viewer.ShowTopic(1039);
    pBrowser->verticalScrollBar()->setValue(0);
    viewer.ShowTopic(1039);
    QVERIFY(pBrowser->verticalScrollBar()->value() > 0);
    pBack->click();
    QCOMPARE(viewer.CurrentSource(), QStringLiteral("qrc:/help/index.html"));
}

void CHelpViewerTest::pagesFindTheirStyleAndPictures() {
    CHelpViewer viewer;
    viewer.ShowTopic(0);
    QTextBrowser* pBrowser = viewer.Browser();
    QDirIterator pages(QStringLiteral(":/help"), {QStringLiteral("*.html")});
    int count = 0;
    while (pages.hasNext()) {
        const QString strPage = pages.next();
        ++count;
        pBrowser->setSource(QUrl(QStringLiteral("qrc") + strPage));
        const QTextDocument* pDoc = pBrowser->document();
        QVERIFY2(!pDoc->toPlainText().trimmed().isEmpty(), qPrintable(strPage));
        QVERIFY2(!pBrowser->documentTitle().isEmpty(), qPrintable(strPage));

        // The shared style sheet is found: headings take its colour.
        const QTextBlock first = pDoc->begin();
        bool bHeadingStyled = false;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() == 1) {
                bHeadingStyled =
                    block.charFormat().foreground().color() == QColor(0x18, 0x5f, 0x70);
                break;
            }
        }
        QVERIFY2(bHeadingStyled, qPrintable(strPage));

        // Every picture on the page loads, relative to the page.
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat()) {
                    continue;
                }
                const QString strName = format.toImageFormat().name();
                const QVariant image =
                    pBrowser->loadResource(QTextDocument::ImageResource, QUrl(strName));
                QVERIFY2(image.isValid() && !image.toByteArray().isEmpty(),
                         qPrintable(strPage + QStringLiteral(": ") + strName));
            }
        }
    }
    QVERIFY(count > 0);
}

void CHelpViewerTest::everyPictureAndPageIsInTheResources() {
    struct SFolder {
        QString strSource;  // below resources/
        QString strPrefix;  // in the resources
        QStringList filters;
    };
    const SFolder kFolders[] = {
        {QStringLiteral("help"),
         QStringLiteral(":/help"),
         {QStringLiteral("*.html"), QStringLiteral("*.css")}},
        {QStringLiteral("help/images"), QStringLiteral(":/help/images"), {QStringLiteral("*.png")}},
        {QStringLiteral("cursors"), QStringLiteral(":/cursors"), {QStringLiteral("*.png")}},
        {QStringLiteral("about"), QStringLiteral(":/about"), {QStringLiteral("*.png")}},
    };
    for (const SFolder& folder : kFolders) {
        const QDir source(kResourcesDir + QLatin1Char('/') + folder.strSource);
        const QStringList files = source.entryList(folder.filters, QDir::Files);
        QVERIFY2(!files.isEmpty(), qPrintable(source.path()));
        for (const QString& strFile : files) {
            const QString strResource = folder.strPrefix + QLatin1Char('/') + strFile;
            QFile file(strResource);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(strResource));
            QVERIFY2(file.size() > 0, qPrintable(strResource));
            if (strFile.endsWith(QStringLiteral(".png"))) {
                QVERIFY2(!QImage(strResource).isNull(), qPrintable(strResource));
            }
        }
    }
    QCOMPARE(QImage(QStringLiteral(":/about/biomorph.png")).isNull(), false);
    QCOMPARE(QImage(QStringLiteral(":/about/logo.png")).isNull(), false);
}

void CHelpViewerTest::cursorsHaveTheirPicturesAndHotSpots() {
    struct SCase {
        int id;
        QPoint hotSpot;
    };
    const SCase kCases[] = {{kCursorRod, {0, 31}},
                            {kCursorScissors, {15, 15}},
                            {kCursorPistol, {0, 0}},
                            {kCursorFamily, {15, 15}}};
    for (const SCase& c : kCases) {
        const QString strId = QString::number(c.id);
        const QCursor cursor = ProgramCursor(c.id);
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), c.hotSpot);
        const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(32, 32));
        // Two colours on transparency, and the hot spot on a drawn, black pixel.
        int opaque = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0) {
                    continue;
                }
                ++opaque;
                QVERIFY2(qAlpha(pixel) == 255 &&
                             (pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255)),
                         qPrintable(strId));
            }
        }
        QVERIFY2(opaque > 0 && opaque < 32 * 32, qPrintable(strId));
        QCOMPARE(image.pixel(c.hotSpot), qRgb(0, 0, 0));
        // Asked again, the same cursor comes back.
        QCOMPARE(ProgramCursor(c.id).hotSpot(), c.hotSpot);
    }
    for (int id : {0, 171, 176, 179, -1}) {
        QCOMPARE(ProgramCursor(id).shape(), Qt::ArrowCursor);
    }
}

void CHelpViewerTest::staysUsableWhileAModalDialogIsOpen() {
    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CHelpViewer viewer(&owner);
    CBlockWatcher watcher;
    viewer.installEventFilter(&watcher);

    QDialog dialog(&owner);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::activeModalWidget(), &dialog);

    // F1 in a settings dialog: the help opens and can be read and clicked.
    viewer.ShowTopic(kHelpTopicSpecialGenes);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCoreApplication::processEvents();
    QVERIFY(viewer.isVisible());
    QVERIFY(!watcher.m_bBlocked);
    QCOMPARE(viewer.windowHandle()->transientParent(), dialog.windowHandle());

    // Once the dialog has closed, the help belongs to its owner again.
    dialog.close();
    QCoreApplication::processEvents();
    viewer.ShowTopic(0);
    QVERIFY(!watcher.m_bBlocked);
    QCOMPARE(viewer.windowHandle()->transientParent(), owner.windowHandle());
}

QTEST_MAIN(CHelpViewerTest)
#include "HelpViewerTest.moc"
