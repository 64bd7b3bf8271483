// The window against a clipboard whose owner is slow, gone or offers something that is not a
// morph, through Qt's own clipboard (as on Wayland and offscreen; X11 has its own test with a
// real server). Each question to another program may wait on it, so the data stands in for an
// owner that counts every question: it is asked once when the clipboard changes hands, and
// menus, keys and Paste never ask it again.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
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
        // The formats and the block are learnt when the clipboard changes hands, once.
        QCOMPARE(m_owner.nDataRequests, 1);
        QVERIFY(m_owner.nFormatRequests >= 1);
        m_owner = SOwnerLog();
        for (int i = 0; i < 3; ++i) {
            UseMenusAndKeys();
        }
        QCOMPARE(m_owner.nFormatRequests, 0);
        QCOMPARE(m_owner.nDataRequests, 0);
        QVERIFY(m_frame->Action(ECommand::EditPaste)->isEnabled());
        QVERIFY(m_frame->Action(ECommand::PasteTriangleTop)->isEnabled());

        // Paste takes the block already in hand.
        QTest::keySequence(m_frame.get(), QKeySequence("Ctrl+V"));
        QCOMPARE(m_owner.nDataRequests, 0);
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
    }

    // An owner that lists the format but hands nothing over: Paste stays enabled, and running
    // it says so in the status bar, changes nothing, and asks the owner again for next time.
    void aPasteTheOwnerDoesNotAnswerSaysSoInTheStatusBar_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("paste") << int(ECommand::EditPaste);
        QTest::newRow("paste to a corner") << int(ECommand::PasteTriangleTop);
    }
    void aPasteTheOwnerDoesNotAnswerSaysSoInTheStatusBar() {
        QFETCH(int, command);
        QGuiApplication::clipboard()->setMimeData(
            new COwnerData(m_owner, {"BiomorphFormat"}, QByteArray(4096, '\x01'), false));
        QCOMPARE(View()->ClipboardOffer().state, SClipboardOffer::EState::NoAnswer);
        QVERIFY(View()->ClipboardHasMorph());
        const auto current = m_doc->m_pCurrent->GetGenes();
        const auto top = m_doc->m_pTriTop->GetGenes();
        const auto offspring = m_doc->m_listOffspring[0]->GetGenes();
        m_owner = SOwnerLog();
        QVERIFY(m_frame->RunCommand(static_cast<ECommand>(command)));
        QCOMPARE(m_frame->statusBar()->currentMessage(), QString(kPasteNoAnswer));
        QVERIFY(m_dialogs.m_messages.isEmpty());
        QCOMPARE(m_owner.nDataRequests, 1);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), current);
        QCOMPARE(m_doc->m_pTriTop->GetGenes(), top);
        QCOMPARE(m_doc->m_listOffspring[0]->GetGenes(), offspring);
    }

    // Only a block that can hold a morph enables Paste: a whole record, in no more than the
    // program's own block. Anything else under the format's name greys it, and a block larger
    // than any record is never kept.
    void onlyABlockThatCanHoldAMorphEnablesPaste_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("10 bytes") << 10 << false;
        QTest::newRow("139 bytes") << 139 << false;
        QTest::newRow("a bare record") << 140 << true;
        QTest::newRow("the program's block") << 4096 << true;
        QTest::newRow("a byte more") << 4097 << false;
        QTest::newRow("a megabyte") << (1 << 20) << false;
    }
    void onlyABlockThatCanHoldAMorphEnablesPaste() {
        QFETCH(int, size);
        QFETCH(bool, enabled);
        CBioMorph morph;
        morph.SetGenes(kBasicGenes);
        morph.SetGene(1, 33);
        QByteArray block = BlockOf(morph);
        block.resize(size, '\0');
        QGuiApplication::clipboard()->setMimeData(
            new COwnerData(m_owner, {"image/png", "BiomorphFormat"}, block, true));
        QCOMPARE(View()->ClipboardHasMorph(), enabled);
        QVERIFY(View()->ClipboardOffer().block.size() <= 4096);
        m_frame->UpdateCommandUI();
        QCOMPARE(m_frame->Action(ECommand::EditPaste)->isEnabled(), enabled);
        QCOMPARE(m_frame->Action(ECommand::PasteTriangleLeft)->isEnabled(), enabled);
        const auto before = m_doc->m_pCurrent->GetGenes();
        QCOMPARE(m_frame->RunCommand(ECommand::EditPaste), enabled);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), enabled ? 33 : before[0]);
        QVERIFY(m_dialogs.m_messages.isEmpty());
    }
};

QTEST_MAIN(CClipboardWindowTest)
#include "ClipboardWindowTest.moc"
