// The real window under a seeded stream of random input: clicks, double clicks, drags, Ctrl+drags
// of morphs out of the window at every zoom, right clicks, the wheel, keys and accelerators,
// menus, modes, Repeat, resizes, rows and columns.
// Dialogs answer at random through the fake; a modal dialog the window opens itself is
// dismissed. Every hundred events the document must hold together and the window answer.
//
// QUORVALE_RANDOM_SEED and QUORVALE_RANDOM_EVENTS choose the run (a failure prints both, so
// it can be replayed); QUORVALE_RANDOM_TRACE=1 prints every event as it is sent, and
// QUORVALE_RANDOM_CHECK_EVERY=1 checks after each one.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "model/FamilyMorph.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"

namespace {

constexpr uint32_t kDefaultSeed = 20261210;
constexpr int kDefaultEvents = 2000;
constexpr int kCheckEvery = 100;
constexpr qint64 kSlowEventMs = 1000;

uint32_t EnvNumber(const char* name, uint32_t fallback) {
    bool bOk = false;
    const uint32_t value = qEnvironmentVariable(name).toUInt(&bOk, 0);
    return bOk ? value : fallback;
}

}  // namespace

class CRandomInputTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;
    QTemporaryDir m_dir;
    std::mt19937 m_rng;
    uint32_t m_nSeed = kDefaultSeed;
    int m_nEvent = 0;
    bool m_bTrace = false;
    std::deque<QString> m_recent;
    QTimer m_dismisser;
    int m_nDismissed = 0;

    CQuorvaleView* View() { return m_frame->View(); }
    CGeneBar* Bar() { return m_frame->GeneBar(); }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool Chance(int percent) { return Pick(100) < percent; }
    QPoint ViewPoint() {
        // Mostly inside the view, now and then just past its edges.
        return QPoint(Pick(View()->width() + 20) - 10, Pick(View()->height() + 20) - 10);
    }
    Qt::KeyboardModifiers Modifiers() {
        static const Qt::KeyboardModifiers kMods[] = {
            Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier};
        return kMods[Pick(5)];
    }

    void Note(const QString& what) {
        const QString line = QStringLiteral("#%1 %2").arg(m_nEvent).arg(what);
        if (m_bTrace) {
            qInfo().noquote() << line;
        }
        m_recent.push_back(line);
        if (m_recent.size() > 12) {
            m_recent.pop_front();
        }
    }

    QString Replay() const {
        QString text = QStringLiteral(
                           "seed %1, event %2; replay with QUORVALE_RANDOM_SEED=%1 "
                           "QUORVALE_RANDOM_EVENTS=%3. Last events:")
                           .arg(m_nSeed)
                           .arg(m_nEvent)
                           .arg(m_nEvent + 1);
        for (const QString& line : m_recent) {
            text += "\n  " + line;
        }
        return text;
    }

    // Time passes and posted events run, as between a user's actions.
    void Settle() {
        m_clock.Advance(static_cast<uint32_t>(Pick(400)));
        QCoreApplication::processEvents();
        // Repeat's timer waits in real time; a step that is due by the fake clock runs here
        // instead, so that a replay takes the same steps at the same events.
        if (Bar()->IsRepeatChecked()) {
            View()->RepeatDriver();
        }
    }

    // ---- the dialogs' random answers

    void AnswerDialogsAtRandom() {
        m_dialogs.m_askOpenPath = [this](const QString&, const QString&, const QString&) {
            const QStringList files = QDir(m_dir.path()).entryList({"*.bio"}, QDir::Files);
            if (files.isEmpty() || Chance(50)) {
                return QString();
            }
            return m_dir.filePath(files[Pick(static_cast<int>(files.size()))]);
        };
        m_dialogs.m_askSavePath = [this](const QString&, const QString&, const QString&) {
            return Chance(50) ? QString() : m_dir.filePath(QStringLiteral("m%1.bio").arg(Pick(4)));
        };
        m_dialogs.m_execContextMenu = [this](QMenu* menu, const QPoint&) -> QAction* {
            const QList<QAction*> actions = menu->actions();
            if (actions.isEmpty() || Chance(30)) {
                return nullptr;
            }
            QAction* action = actions[Pick(static_cast<int>(actions.size()))];
            return action->isEnabled() ? action : nullptr;
        };
        m_dialogs.m_runSpecialGenes = [this]() -> std::optional<CSpecialGeneChoices> {
            if (Chance(40)) {
                return std::nullopt;
            }
            CSpecialGeneChoices choices{};
            for (auto& gene : choices) {
                gene.bPresent = Pick(2);
                gene.bCanMutate = Pick(2);
            }
            return choices;
        };
        m_dialogs.m_runMutationRate = [this](float) -> std::optional<float> {
            if (Chance(40)) {
                return std::nullopt;
            }
            return 1.0f + static_cast<float>(Pick(41)) / 10.0f;
        };
        m_dialogs.m_askPrint = [](QPrinter&, int) { return false; };
    }

    // Closes whatever modal dialog or popup the window opened by itself (print setup, a
    // warning box); the nested loop that shows it runs this timer.
    void DismissModals() {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            ++m_nDismissed;
        }
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
            ++m_nDismissed;
        }
    }

    // ---- events

    void Click() {
        const QPoint p = ViewPoint();
        const Qt::KeyboardModifiers mods = Modifiers();
        Note(QStringLiteral("click (%1,%2) mods %3").arg(p.x()).arg(p.y()).arg(int(mods)));
        QTest::mouseClick(View(), Qt::LeftButton, mods, p);
    }

    void DoubleClick() {
        const QPoint p = ViewPoint();
        Note(QStringLiteral("double click (%1,%2)").arg(p.x()).arg(p.y()));
        QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, p);
    }

    void Drag() {
        QPoint p = ViewPoint();
        const int steps = 1 + Pick(8);
        Note(QStringLiteral("drag from (%1,%2), %3 moves").arg(p.x()).arg(p.y()).arg(steps));
        QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, p);
        for (int i = 0; i < steps; ++i) {
            p = Chance(70) ? p + QPoint(Pick(81) - 40, Pick(81) - 40) : ViewPoint();
            QTest::mouseMove(View(), p);
        }
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, p);
    }

    // A morph dragged out with Ctrl held, at one of the zooms of the View menu (where the mode
    // has them): the drag makes the morph's files and picture, and its drop goes nowhere.
    void CtrlDrag() {
        const int zoom = 1 + Pick(kMaxZoom);
        m_frame->RunCommand(ECommand::ViewActualSize);
        for (int i = 1; i < zoom; ++i) {
            m_frame->RunCommand(ECommand::ViewZoomIn);
        }
        // The middle of the view holds the parent or the engineered morph; elsewhere another.
        QPoint p = Chance(50) ? View()->rect().center() : ViewPoint();
        Note(QStringLiteral("ctrl+drag from (%1,%2) at zoom %3")
                 .arg(p.x())
                 .arg(p.y())
                 .arg(View()->Zoom()));
        QTest::mousePress(View(), Qt::LeftButton, Qt::ControlModifier, p);
        for (int i = 0; i < 2; ++i) {
            p += QPoint(QApplication::startDragDistance() + Pick(20), Pick(9) - 4);
            QTest::mouseMove(View(), p);
        }
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::ControlModifier, p);
    }

    void Hover() {
        const QPoint p = ViewPoint();
        Note(QStringLiteral("move to (%1,%2)").arg(p.x()).arg(p.y()));
        QTest::mouseMove(View(), p);
    }

    void RightClick() {
        const QPoint p = ViewPoint();
        Note(QStringLiteral("right click (%1,%2)").arg(p.x()).arg(p.y()));
        QTest::mouseClick(View(), Qt::RightButton, Qt::NoModifier, p);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, p, View()->mapToGlobal(p));
        QApplication::sendEvent(View(), &menu);
    }

    void Wheel() {
        const QPoint p = ViewPoint();
        const int delta = (Pick(7) - 3) * 120;
        Note(QStringLiteral("wheel %1 at (%2,%3)").arg(delta).arg(p.x()).arg(p.y()));
        QWheelEvent wheel(p, View()->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View(), &wheel);
    }

    void Key() {
        static const Qt::Key kKeys[] = {
            Qt::Key_Space,  Qt::Key_Escape,   Qt::Key_Left,   Qt::Key_Right,
            Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Home,   Qt::Key_End,
            Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Return, Qt::Key_Delete,
            Qt::Key_A,      Qt::Key_Z,        Qt::Key_5,      Qt::Key_Menu};
        const Qt::Key key = kKeys[Pick(static_cast<int>(std::size(kKeys)))];
        const Qt::KeyboardModifiers mods = Modifiers();
        Note(QStringLiteral("key %1 mods %2").arg(int(key), 0, 16).arg(int(mods)));
        QTest::keyClick(View(), key, mods);
    }

    void Accelerator() {
        static const char* const kKeys[] = {
            "Ctrl+N", "Ctrl+O",       "Ctrl+S", "Ctrl+P",       "Ctrl+C",   "Ctrl+V",
            "Ctrl+R", "Ctrl+M",       "F1",     "Shift+Insert", "Shift+F1", "Ctrl+Z",
            "Ctrl+Z", "Ctrl+Shift+Z", "Ctrl+=", "Ctrl+-",       "Ctrl+0"};
        const char* key = kKeys[Pick(static_cast<int>(std::size(kKeys)))];
        Note(QStringLiteral("accelerator %1").arg(key));
        QTest::keySequence(m_frame.get(), QKeySequence(QString::fromLatin1(key)));
    }

    // A menu opened (its rules run) and, now and then, one of its enabled items chosen.
    void Menu() {
        const QList<QMenu*> menus = m_frame->menuBar()->findChildren<QMenu*>();
        QMenu* menu = menus[Pick(static_cast<int>(menus.size()))];
        menu->popup(m_frame->mapToGlobal(QPoint(10, 10)));
        QList<QAction*> items;
        for (QAction* action : menu->actions()) {
            // Exit would end the run; it is a plain close of the window.
            if (action->isEnabled() && !action->isSeparator() && !action->menu() &&
                action != m_frame->Action(ECommand::FileExit)) {
                items << action;
            }
        }
        QAction* chosen =
            items.isEmpty() || Chance(25) ? nullptr : items[Pick(static_cast<int>(items.size()))];
        Note(QStringLiteral("menu %1 -> %2")
                 .arg(menu->title(), chosen ? chosen->text() : QStringLiteral("(closed)")));
        menu->hide();
        if (chosen) {
            chosen->trigger();
        }
    }

    void Command(ECommand command, const char* name) {
        Note(QStringLiteral("command %1").arg(name));
        m_frame->RunCommand(command);
    }

    void ModeSwitch() {
        static const std::pair<ECommand, const char*> kModes[] = {
            {ECommand::Breed, "Breed"},
            {ECommand::Engineer, "Engineer"},
            {ECommand::GeneSpace, "Gene space"},
            {ECommand::FamilyTree, "Family tree"},
            {ECommand::FossilHistory, "Fossil history"},
            {ECommand::FamilyCreate, "Create"},
            {ECommand::FamilyDestroy, "Destroy"},
            {ECommand::FossilRecord, "Record"},
            {ECommand::FossilStop, "Stop"}};
        const auto& [command, name] = kModes[Pick(static_cast<int>(std::size(kModes)))];
        Command(command, name);
    }

    void RowsAndColumns() {
        static const std::pair<ECommand, const char*> kGrid[] = {
            {ECommand::AddRow, "Add row"},
            {ECommand::RemoveRow, "Remove row"},
            {ECommand::AddColumn, "Add column"},
            {ECommand::RemoveColumn, "Remove column"}};
        const auto& [command, name] = kGrid[Pick(static_cast<int>(std::size(kGrid)))];
        Command(command, name);
    }

    void Repeat() {
        Note(QStringLiteral("Repeat box"));
        QTest::mouseClick(Bar()->RepeatButton(), Qt::LeftButton);
        // A few steps' worth of time for the driver.
        for (int i = 0; i < 3; ++i) {
            Settle();
        }
    }

    void GeneBarClick() {
        const int k = 1 + Pick(kGeneCount);
        QWidget* target = Chance(70) ? Bar()->Box(k) : Bar()->Picture(k);
        if (Chance(10)) {
            target = Bar()->HopefulButton();
        }
        if (!target || !target->isVisible()) {
            return;
        }
        const Qt::MouseButton button = Chance(60) ? Qt::LeftButton : Qt::RightButton;
        const Qt::KeyboardModifiers mods = Chance(20) ? Qt::ControlModifier : Qt::NoModifier;
        const QPoint p = target->geometry().center();
        Note(
            QStringLiteral("gene bar %1 button %2 mods %3").arg(k).arg(int(button)).arg(int(mods)));
        if (target == Bar()->HopefulButton()) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else {
            QTest::mouseClick(Bar(), button, mods, p);
        }
    }

    // Another program puts something under the morph format: a record of random values (wild
    // genes) or a block too short for one.
    void ForeignClipboard() {
        QByteArray block(Chance(20) ? Pick(140) : 4096, '\0');
        const int record = std::min(static_cast<int>(block.size()), 140);
        for (int i = 0; i < record; i += 4) {
            // Mostly small numbers, as genes are; now and then anything at all.
            const int32_t value = Chance(85) ? Pick(41) - 20 : static_cast<int32_t>(m_rng());
            for (int b = 0; b < 4 && i + b < record; ++b) {
                block[i + b] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * b)) & 0xff);
            }
        }
        Note(QStringLiteral("foreign clipboard block of %1 bytes").arg(block.size()));
        auto* data = new QMimeData;
        data->setData(QStringLiteral("BiomorphFormat"), block);
        QGuiApplication::clipboard()->setMimeData(data);
    }

    void Resize() {
        const QSize size(260 + Pick(900), 220 + Pick(700));
        Note(QStringLiteral("resize %1x%2").arg(size.width()).arg(size.height()));
        m_frame->resize(size);
        QCoreApplication::processEvents();
    }

    void OneEvent() {
        // The answers to "save changes?" and "replace?" for whatever asks during this event.
        static const IFrameDialogs::ESaveChanges kSaveAnswers[] = {
            IFrameDialogs::ESaveChanges::Save, IFrameDialogs::ESaveChanges::Discard,
            IFrameDialogs::ESaveChanges::Discard, IFrameDialogs::ESaveChanges::Cancel};
        m_dialogs.m_saveChanges = kSaveAnswers[Pick(4)];
        m_dialogs.m_bReplace = Chance(70);
        const int kind = Pick(100);
        if (kind < 20) {
            Click();
        } else if (kind < 26) {
            DoubleClick();
        } else if (kind < 33) {
            Drag();
        } else if (kind < 36) {
            CtrlDrag();
        } else if (kind < 42) {
            Hover();
        } else if (kind < 46) {
            RightClick();
        } else if (kind < 50) {
            Wheel();
        } else if (kind < 58) {
            Key();
        } else if (kind < 64) {
            Accelerator();
        } else if (kind < 74) {
            Menu();
        } else if (kind < 81) {
            ModeSwitch();
        } else if (kind < 84) {
            Repeat();
        } else if (kind < 87) {
            Resize();
        } else if (kind < 92) {
            RowsAndColumns();
        } else if (kind < 94) {
            ForeignClipboard();
        } else {
            GeneBarClick();
        }
        Settle();
    }

    // ---- what must hold

    static QString GenomeText(const std::array<int32_t, kGeneCount>& genome) {
        QStringList genes;
        for (const int32_t gene : genome) {
            genes << QString::number(gene);
        }
        return genes.join(' ');
    }

    QString DocumentProblem() {
        CQuorvaleDoc& doc = *m_doc;
        if (!doc.m_pCurrent) {
            return "no current morph";
        }
        const size_t cells = static_cast<size_t>(View()->Rows() * View()->Cols());
        if (doc.m_listOffspring.size() + 1 < cells) {
            return QStringLiteral("%1 offspring for %2 cells")
                .arg(doc.m_listOffspring.size())
                .arg(cells);
        }
        for (const auto& child : doc.m_listOffspring) {
            if (!child) {
                return "a null offspring";
            }
        }
        if (doc.m_listFossils.size() > CQuorvaleDoc::kFossilLimit) {
            return QStringLiteral("%1 fossils").arg(doc.m_listFossils.size());
        }
        // Every family node is owned by one list once, and reaches that list's root through
        // parents that list it as their child.
        std::set<const CFamilyMorph*> owned;
        for (const auto& family : doc.m_listFamilies) {
            if (!family || family->empty()) {
                return "an empty family";
            }
            const CFamilyMorph* root = (*family)[0].get();
            if (root->m_pParent) {
                return "a family whose first node has a parent";
            }
            std::set<const CFamilyMorph*> members;
            for (const auto& node : *family) {
                if (!node || !owned.insert(node.get()).second) {
                    return "a family node owned twice (or null)";
                }
                members.insert(node.get());
            }
            for (const auto& node : *family) {
                const CFamilyMorph* walk = node.get();
                for (size_t steps = 0; walk->m_pParent; ++steps) {
                    const CFamilyMorph* parent = walk->m_pParent;
                    if (!members.count(parent) || steps > family->size() ||
                        std::count(parent->m_Children.begin(), parent->m_Children.end(), walk) !=
                            1) {
                        return "a family node that does not reach its root";
                    }
                    walk = parent;
                }
                if (walk != root) {
                    return "a family node under a second root";
                }
                for (const CFamilyMorph* child : node->m_Children) {
                    if (!members.count(child) || child->m_pParent != node.get()) {
                        return "a child outside its family";
                    }
                }
            }
        }
        return GeneBarProblem();
    }

    using CGenome = std::array<int32_t, kGeneCount>;

    // A genome as the gene bar can show it: genes 12 and 13 are read back from their texts,
    // which name only sound values, so they are left out of the comparison.
    static CGenome Comparable(CGenome genes) {
        genes[11] = 0;
        genes[12] = 0;
        return genes;
    }

    template <typename F>
    void ForEachDocumentMorph(F&& visit) {
        CQuorvaleDoc& doc = *m_doc;
        for (const CBioMorph* morph :
             {doc.m_pCurrent.get(), doc.m_pTriTop.get(), doc.m_pTriLeft.get(),
              doc.m_pTriRight.get(), doc.m_pTriMorph.get()}) {
            if (morph) {
                visit(*morph);
            }
        }
        for (const CMorphList* list : {&doc.m_listOffspring, &doc.m_listFossils}) {
            for (const auto& morph : *list) {
                visit(*morph);
            }
        }
        for (const auto& family : doc.m_listFamilies) {
            for (const auto& node : *family) {
                visit(*node);
            }
        }
    }

    // Every genome the document has held after an event. The bar may go on showing a morph
    // that has since gone (a removed row, a destroyed line, a cleared history: nothing tells
    // the bar), but never genes no morph had.
    std::set<CGenome> m_everHeld;
    // Events and milliseconds by kind of event, for the summary.
    std::map<QString, std::pair<int, qint64>> m_timeByKind;

    void NoteDocumentGenomes() {
        ForEachDocumentMorph(
            [this](const CBioMorph& morph) { m_everHeld.insert(Comparable(morph.GetGenes())); });
    }

    QString GeneBarProblem() {
        const CGenome shown = Comparable(Bar()->State().Genome());
        // In Engineer mode the bar edits the current morph, so it must show that one.
        if (m_doc->m_nMode == kModeEngineer && shown != Comparable(m_doc->m_pCurrent->GetGenes())) {
            return "the gene bar does not show the current morph in Engineer mode: " +
                   GenomeText(Bar()->State().Genome()) + " (current " +
                   GenomeText(m_doc->m_pCurrent->GetGenes()) + ")";
        }
        NoteDocumentGenomes();
        // A cleared bar (the triangle clears it) shows no morph at all.
        if (shown != CGenome{} && !m_everHeld.count(shown)) {
            return "the gene bar shows genes that no morph of the document had: " +
                   GenomeText(Bar()->State().Genome()) + " (current " +
                   GenomeText(m_doc->m_pCurrent->GetGenes()) + ")";
        }
        return {};
    }

    QString WindowProblem() {
        if (QApplication::activeModalWidget()) {
            return "a modal dialog stayed open";
        }
        if (!m_frame->isVisible()) {
            return "the window is gone";
        }
        bool bAnswered = false;
        QTimer::singleShot(0, m_frame.get(), [&bAnswered] { bAnswered = true; });
        QElapsedTimer waited;
        waited.start();
        while (!bAnswered && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        if (!bAnswered) {
            return "the window does not answer";
        }
        const QImage& screen = View()->ScreenImage();
        if (screen.isNull() || screen.deviceIndependentSize().toSize() != View()->size()) {
            return "the screen image does not fit the view";
        }
        return {};
    }

private slots:
    void init() {
        m_bTrace = qEnvironmentVariableIntValue("QUORVALE_RANDOM_TRACE") != 0;
        m_nSeed = EnvNumber("QUORVALE_RANDOM_SEED", kDefaultSeed);
        m_rng.seed(m_nSeed);
        SetDefaultGeneTables();
        SeedRandom(static_cast<int>(m_nSeed & 0x7fff));
        g_bRemeasure = 0;
        g_bMutationRateOpen = 0;
        QGuiApplication::clipboard()->clear();
        m_clock = CFakeClock();
        m_everHeld.clear();
        m_timeByKind.clear();
        m_nDismissed = 0;
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_dialogs = CFakeDialogs();
        AnswerDialogsAtRandom();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs);
        NoteDocumentGenomes();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        connect(&m_dismisser, &QTimer::timeout, this, &CRandomInputTest::DismissModals,
                Qt::UniqueConnection);
        m_dismisser.start(5);
    }

    void cleanup() {
        m_dismisser.stop();
        m_frame.reset();
        m_doc.reset();
        QGuiApplication::clipboard()->clear();
        SetDefaultGeneTables();
    }

    void theWindowHoldsTogetherUnderRandomInput() {
        QVERIFY(m_dir.isValid());
        const int events = static_cast<int>(EnvNumber("QUORVALE_RANDOM_EVENTS", kDefaultEvents));
        // A replay can check after every event to find the one that breaks.
        const int checkEvery =
            std::max(1, static_cast<int>(EnvNumber("QUORVALE_RANDOM_CHECK_EVERY", kCheckEvery)));
        qInfo().noquote()
            << QStringLiteral("random input: seed %1, %2 events").arg(m_nSeed).arg(events);
        QElapsedTimer elapsed;
        elapsed.start();
        for (m_nEvent = 0; m_nEvent < events; ++m_nEvent) {
            QElapsedTimer one;
            one.start();
            OneEvent();
            NoteDocumentGenomes();
            // Slow events are reported, not failed: how long drawing takes is for the benchmarks.
            const qint64 ms = one.elapsed();
            if (!m_recent.empty()) {
                auto& [count, total] = m_timeByKind[m_recent.back().section(' ', 1, 1)];
                ++count;
                total += ms;
            }
            if (ms >= kSlowEventMs) {
                qInfo().noquote() << QStringLiteral("slow event (%1 ms): %2, current genome %3")
                                         .arg(ms)
                                         .arg(m_recent.empty() ? QString() : m_recent.back())
                                         .arg(GenomeText(m_doc->m_pCurrent->GetGenes()));
            }
            if ((m_nEvent + 1) % checkEvery == 0 || m_nEvent + 1 == events) {
                const QString problem = DocumentProblem() + WindowProblem();
                if (!problem.isEmpty()) {
                    QFAIL(qPrintable(problem + "; " + Replay()));
                }
                // Should the program crash, the last of these lines says where to replay from.
                qInfo().noquote() << QStringLiteral("seed %1: checked after %2 events, %3 ms")
                                         .arg(m_nSeed)
                                         .arg(m_nEvent + 1)
                                         .arg(elapsed.elapsed());
            }
        }
        QStringList kinds;
        for (const auto& [kind, figures] : m_timeByKind) {
            kinds
                << QStringLiteral("%1 %2x %3 ms").arg(kind).arg(figures.first).arg(figures.second);
        }
        qInfo().noquote() << "time by kind of event:" << kinds.join(", ");
        qInfo().noquote() << QStringLiteral(
                                 "%1 events in %2 ms, %3 dialogs dismissed, "
                                 "%4 fossils, %5 families; current genome %6")
                                 .arg(events)
                                 .arg(elapsed.elapsed())
                                 .arg(m_nDismissed)
                                 .arg(m_doc->m_listFossils.size())
                                 .arg(m_doc->m_listFamilies.size())
                                 .arg(GenomeText(m_doc->m_pCurrent->GetGenes()));
    }
};

QTEST_MAIN(CRandomInputTest)
#include "RandomInputTest.moc"
