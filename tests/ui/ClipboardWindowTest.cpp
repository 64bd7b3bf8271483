// The window against a clipboard whose owner is slow or gone. On X11 each question about
// another program's clipboard waits on that program, so the data stands in for an owner that
// counts every question: menus and keys must never ask it, and Paste asks for the data once.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QtTest>
#include <memory>

#include "document/ClipboardRecord.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"

namespace {

struct SOwnerLog {
    int nFormatRequests = 0;
    int nDataRequests = 0;
};

// What another program offers on the clipboard. It answers the list of formats; its data is
// the block when bAnswers is set and nothing (as after Qt's timeout) otherwise.
class COwnerData : public QMimeData {
public:
    COwnerData(SOwnerLog& log, QStringList formats, QByteArray block, bool bAnswers)
        : m_log(log),
          m_formats(std::move(formats)),
          m_block(std::move(block)),
          m_bAnswers(bAnswers) {}

    QStringList formats() const override {
        ++m_log.nFormatRequests;
        return m_formats;
    }
    bool hasFormat(const QString& format) const override { return formats().contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        ++m_log.nDataRequests;
        if (!m_bAnswers || !m_formats.contains(format)) {
            return {};
        }
        return m_block;
    }

private:
    SOwnerLog& m_log;
    QStringList m_formats;
    QByteArray m_block;
    bool m_bAnswers;
};

QByteArray BlockOf(CBioMorph& morph) {
    const std::vector<uint8_t> bytes = EncodeClipboardBlock(morph);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

}  // namespace

class CClipboardWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;
    SOwnerLog m_owner;
    std::array<int32_t, kGeneCount> m_offered{};

    CQuorvaleView* View() { return m_frame->View(); }

    // Another program takes the clipboard with a morph (and a picture).
    void OfferMorph(bool bAnswers) {
        CBioMorph morph;
        morph.SetGenes(kBasicGenes);
        morph.SetGene(0, 7);
        morph.SetGene(8, 6);
        m_offered = morph.GetGenes();
        QGuiApplication::clipboard()->setMimeData(
            new COwnerData(m_owner, {"image/png", "BiomorphFormat"}, BlockOf(morph), bAnswers));
    }

    // Every menu of the menu bar shown and closed, the context menu too, and a few keys.
    void UseMenusAndKeys() {
        for (QMenu* menu : m_frame->menuBar()->findChildren<QMenu*>()) {
            menu->popup(m_frame->mapToGlobal(QPoint(20, 20)));
            menu->hide();
        }
        m_frame->OnContextMenu(View()->mapToGlobal(QPoint(30, 30)));
        for (const QKeySequence& key :
             {QKeySequence("Ctrl+N"), QKeySequence("Ctrl+M"), QKeySequence("Ctrl+O"),
              QKeySequence(Qt::Key_Right), QKeySequence(Qt::Key_Space)}) {
            QTest::keySequence(m_frame.get(), key);
        }
        m_frame->UpdateCommandUI();
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(5);
        m_owner = SOwnerLog();
        QGuiApplication::clipboard()->clear();
        m_clock = CFakeClock();
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_dialogs = CFakeDialogs();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
        QGuiApplication::clipboard()->clear();
        SetDefaultGeneTables();
    }

    void menusAndKeysNeverAskTheOwner() {
        OfferMorph(true);
        // The formats are learnt when the clipboard changes hands, once.
        QCOMPARE(m_owner.nFormatRequests, 1);
        m_owner = SOwnerLog();
        for (int i = 0; i < 3; ++i) {
            UseMenusAndKeys();
        }
        QCOMPARE(m_owner.nFormatRequests, 0);
        QCOMPARE(m_owner.nDataRequests, 0);
        QVERIFY(m_frame->Action(ECommand::EditPaste)->isEnabled());
        QVERIFY(m_frame->Action(ECommand::PasteTriangleTop)->isEnabled());

        // Paste reads the data once, and only Paste.
        QTest::keySequence(m_frame.get(), QKeySequence("Ctrl+V"));
        QCOMPARE(m_owner.nDataRequests, 1);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), m_offered);
        QVERIFY(m_dialogs.m_messages.isEmpty());
    }

    void theAnswerFollowsTheClipboardChangingHands() {
        OfferMorph(true);
        QVERIFY(View()->ClipboardHasMorph());
        // A picture alone from another program: no morph, without any menu being shown.
        QGuiApplication::clipboard()->setMimeData(
            new COwnerData(m_owner, {"image/png"}, QByteArray(), true));
        QVERIFY(!View()->ClipboardHasMorph());
        QVERIFY(!m_frame->RunCommand(ECommand::EditPaste));
        OfferMorph(true);
        QVERIFY(View()->ClipboardHasMorph());
        QGuiApplication::clipboard()->clear();
        QVERIFY(!View()->ClipboardHasMorph());
        // Our own copy offers a morph again, and its screen copy does not.
        m_frame->RunCommand(ECommand::EditCopy);
        QVERIFY(View()->ClipboardHasMorph());
        m_frame->RunCommand(ECommand::EditCopyScreen);
        QVERIFY(!View()->ClipboardHasMorph());
        QCOMPARE(m_owner.nDataRequests, 0);
    }

    // A paste that gets no morph says so and changes nothing.
    void aPasteThatGetsNothingSaysSo_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<QString>("message");
        QTest::newRow("stalled owner, paste")
            << int(ECommand::EditPaste) << false << 4096 << QString(kPasteNoData);
        QTest::newRow("stalled owner, corner")
            << int(ECommand::PasteTriangleTop) << false << 4096 << QString(kPasteNoData);
        QTest::newRow("short block")
            << int(ECommand::EditPaste) << true << 100 << QString(kPasteIncomplete);
    }

    void aPasteThatGetsNothingSaysSo() {
        QFETCH(int, command);
        QFETCH(bool, answers);
        QFETCH(int, blockSize);
        QFETCH(QString, message);
        QGuiApplication::clipboard()->setMimeData(
            new COwnerData(m_owner, {"BiomorphFormat"}, QByteArray(blockSize, '\x01'), answers));
        const auto current = m_doc->m_pCurrent->GetGenes();
        const auto top = m_doc->m_pTriTop->GetGenes();
        const auto offspring = m_doc->m_listOffspring[0]->GetGenes();
        QVERIFY(m_frame->RunCommand(static_cast<ECommand>(command)));
        QCOMPARE(m_owner.nDataRequests, 1);
        QCOMPARE(m_dialogs.m_messages, QStringList{message});
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), current);
        QCOMPARE(m_doc->m_pTriTop->GetGenes(), top);
        QCOMPARE(m_doc->m_listOffspring[0]->GetGenes(), offspring);
    }
};

QTEST_MAIN(CClipboardWindowTest)
#include "ClipboardWindowTest.moc"
