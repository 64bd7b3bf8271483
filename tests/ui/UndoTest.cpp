// Undo and redo through the window: each kind of change to the creature, made with the mouse,
// the keys or a command as the user makes it, is taken back to exactly the state before it and
// made again exactly, and the fossil record stays as the user recorded it.
#include <QStatusBar>
#include <QtTest>
#include <functional>
#include <memory>

#include "document/DocState.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"
#include "view/UndoHistory.h"

using FAction = std::function<void(class CUndoTest&)>;
Q_DECLARE_METATYPE(FAction)

class CUndoTest : public QObject {
    Q_OBJECT

public:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;

    CQuorvaleView* View() { return m_frame->View(); }
    CGeneBar* Bar() { return m_frame->GeneBar(); }
    SDocState Now() { return SDocState::Capture(*m_doc, View()->Cols(), View()->Rows()); }
    QPoint CellCentre(int cell) {
        const SRect r = View()->CellRect(cell);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Click(QPoint at) { QTest::mouseClick(View(), Qt::LeftButton, {}, at); }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(View(), Qt::LeftButton, {}, from);
        QTest::mouseMove(View(), (from + to) / 2);
        QTest::mouseMove(View(), to);
        QTest::mouseRelease(View(), Qt::LeftButton, {}, to);
    }
    // A point on the node of the first family tree's first node.
    QPoint RootNode() {
        const SPoint p = m_doc->m_listFamilies.front()->front()->m_ptNode;
        return QPoint(p.x, p.y);
    }
    QString UndoText() {
        m_frame->UpdateCommandUI();
        return m_frame->Action(ECommand::EditUndo)->text();
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(11);
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        // A creature with some branches, so every change shows.
        m_frame->RunCommand(ECommand::Engineer);
        for (int i = 0; i < 6; ++i) {
            m_frame->RunCommand(ECommand::HopefulMonster);
        }
        View()->History().Clear();
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
    }

    void eachKindOfChangeIsUndoneAndRedoneExactly_data() {
        QTest::addColumn<FAction>("setup");
        QTest::addColumn<FAction>("change");
        QTest::addColumn<QString>("name");
        const FAction none = [](CUndoTest&) {};
        const auto command = [](ECommand c) {
            return FAction([c](CUndoTest& t) { t.m_frame->RunCommand(c); });
        };
        QTest::addRow("breeding choice")
            << command(ECommand::Breed) << FAction([](CUndoTest& t) { t.Click(t.CellCentre(3)); })
            << "breeding choice";
        QTest::addRow("engineering click")
            << none << FAction([](CUndoTest& t) { t.Click(QPoint(100, 100)); }) << "mutation";
        QTest::addRow("engineering by Space")
            << none << FAction([](CUndoTest& t) { QTest::keyClick(t.View(), Qt::Key_Space); })
            << "mutation";
        QTest::addRow("gene bar click") << none << FAction([](CUndoTest& t) {
            const QPoint box = t.Bar()->Box(9)->geometry().center();
            QTest::mouseClick(t.Bar(), Qt::LeftButton, {}, box);
        }) << "gene edit";
        QTest::addRow("gene bar key") << none << FAction([](CUndoTest& t) {
            t.Bar()->setFocus();
            QTest::keyClick(t.Bar(), Qt::Key_Up);
        }) << "gene edit";
        QTest::addRow("hopeful monster")
            << none << command(ECommand::HopefulMonster) << "hopeful monster";
        QTest::addRow("paste in Breed mode (offspring bred anew)") << FAction([](CUndoTest& t) {
            t.m_frame->RunCommand(ECommand::EditCopy);
            t.m_frame->RunCommand(ECommand::HopefulMonster);
            t.m_frame->RunCommand(ECommand::Breed);
        }) << command(ECommand::EditPaste) << "paste";
        QTest::addRow("paste to a triangle corner")
            << FAction([](CUndoTest& t) { t.m_frame->RunCommand(ECommand::EditCopy); })
            << command(ECommand::PasteTriangleLeft) << "new triangle corner";
        QTest::addRow("triangle pick") << command(ECommand::GeneSpace) << FAction([](CUndoTest& t) {
            const SPoint top = t.View()->TriangleTop();
            t.Click(QPoint(top.x, top.y + 80));
        }) << "triangle pick";
        QTest::addRow("triangle clear") << FAction([](CUndoTest& t) {
            t.m_frame->RunCommand(ECommand::GeneSpace);
            const SPoint top = t.View()->TriangleTop();
            t.Click(QPoint(top.x, top.y + 80));
            t.Click(QPoint(top.x, top.y + 120));
        }) << command(ECommand::TriangleClear)
                                        << "clear triangle";
        QTest::addRow("family tree: a child dragged out")
            << command(ECommand::FamilyTree)
            << FAction([](CUndoTest& t) { t.Drag(t.RootNode(), QPoint(60, 60)); })
            << "family tree edit";
        QTest::addRow("family tree: a line destroyed") << FAction([](CUndoTest& t) {
            t.m_frame->RunCommand(ECommand::FamilyTree);
            t.Drag(t.RootNode(), QPoint(60, 60));
            t.Drag(QPoint(60, 60), QPoint(700, 80));
            t.m_frame->RunCommand(ECommand::FamilyDestroy);
        }) << FAction([](CUndoTest& t) { t.Click(QPoint(60, 60)); })
                                                       << "family tree edit";
        QTest::addRow("family trees cleared") << FAction([](CUndoTest& t) {
            t.m_frame->RunCommand(ECommand::FamilyTree);
            t.Drag(t.RootNode(), QPoint(60, 60));
        }) << command(ECommand::FamilyClear) << "clear family trees";
        QTest::addRow("row added")
            << command(ECommand::Breed) << command(ECommand::AddRow) << "rows and columns";
        QTest::addRow("column removed")
            << command(ECommand::Breed) << command(ECommand::RemoveColumn) << "rows and columns";
    }
    void eachKindOfChangeIsUndoneAndRedoneExactly() {
        QFETCH(FAction, setup);
        QFETCH(FAction, change);
        QFETCH(QString, name);
        setup(*this);
        const SDocState before = Now();
        change(*this);
        const SDocState after = Now();
        QVERIFY2(before.DifferingParts(after) != 0, "the action changed nothing");
        QCOMPARE(UndoText(), "&Undo " + name);
        const size_t fossils = m_doc->m_listFossils.size();

        QVERIFY(m_frame->RunCommand(ECommand::EditUndo));
        QCOMPARE(Now().DifferingParts(before), 0u);
        QCOMPARE(View()->Bar().IsRepeatChecked(), false);
        QCOMPARE(m_doc->m_listFossils.size(), fossils);

        QVERIFY(m_frame->RunCommand(ECommand::EditRedo));
        QCOMPARE(Now().DifferingParts(after), 0u);
        // Once more both ways: redo put back the very state, not a new one.
        QVERIFY(m_frame->RunCommand(ECommand::EditUndo));
        QCOMPARE(Now().DifferingParts(before), 0u);
        QCOMPARE(m_doc->m_listFossils.size(), fossils);
        // The picture follows: a repaint now draws the restored document.
        const QImage shown = View()->ScreenImage().copy();
        View()->Invalidate();
        QCOMPARE(View()->ScreenImage(), shown);
    }

    // Every door into a change (the menu's command, its key, the gene bar's buttons and keys)
    // makes one undo step of its own, after an earlier change that stays where it was.
    void everyDoorIntoAChangeIsOneUndoStep_data() {
        QTest::addColumn<FAction>("door");
        QTest::addColumn<QString>("name");
        const auto key = [](Qt::Key k, Qt::KeyboardModifiers mods) {
            return FAction([k, mods](CUndoTest& t) { QTest::keyClick(t.m_frame.get(), k, mods); });
        };
        QTest::addRow("hopeful: menu command")
            << FAction([](CUndoTest& t) { t.m_frame->Action(ECommand::HopefulMonster)->trigger(); })
            << "hopeful monster";
        QTest::addRow("hopeful: Ctrl+M")
            << key(Qt::Key_M, Qt::ControlModifier) << "hopeful monster";
        QTest::addRow("hopeful: the gene bar's button") << FAction([](CUndoTest& t) {
            QTest::mouseClick(t.Bar()->HopefulButton(), Qt::LeftButton);
        }) << "hopeful monster";
        QTest::addRow("gene edit: the bar's step key") << FAction([](CUndoTest& t) {
            t.Bar()->setFocus();
            QTest::keyClick(t.Bar(), Qt::Key_Down, Qt::ControlModifier);
        }) << "gene edit";
        QTest::addRow("gene edit: a gradient picture") << FAction([](CUndoTest& t) {
            const QPoint picture = t.Bar()->Picture(1)->geometry().center();
            QTest::mouseClick(t.Bar(), Qt::LeftButton, {}, picture);
        }) << "gene edit";
        QTest::addRow("paste: Ctrl+V") << key(Qt::Key_V, Qt::ControlModifier) << "paste";
        QTest::addRow("paste: Shift+Insert") << key(Qt::Key_Insert, Qt::ShiftModifier) << "paste";
        QTest::addRow("repeat: the gene bar's box, on and off") << FAction([](CUndoTest& t) {
            QTest::mouseClick(t.Bar()->RepeatButton(), Qt::LeftButton);
            QVERIFY(t.Bar()->IsRepeatChecked());
            t.m_clock.Advance(1000);
            t.View()->RepeatDriver();
            QTest::mouseClick(t.Bar()->RepeatButton(), Qt::LeftButton);
            QVERIFY(!t.Bar()->IsRepeatChecked());
        }) << "repeat (2 steps)";
    }
    void everyDoorIntoAChangeIsOneUndoStep() {
        QFETCH(FAction, door);
        QFETCH(QString, name);
        // Something to paste that differs from what the doors start from.
        m_frame->RunCommand(ECommand::EditCopy);
        m_frame->RunCommand(ECommand::HopefulMonster);
        View()->History().Clear();
        const SDocState a = Now();
        Click(QPoint(100, 100));  // A -> B: a mutation by a click
        const SDocState b = Now();
        QVERIFY(a.DifferingParts(b) != 0);
        door(*this);  // B -> C
        const SDocState c = Now();
        QVERIFY2(b.DifferingParts(c) != 0, "the door changed nothing");
        QCOMPARE(UndoText(), "&Undo " + name);
        QVERIFY(m_frame->RunCommand(ECommand::EditUndo));
        QCOMPARE(Now().DifferingParts(b), 0u);
        QCOMPARE(UndoText(), QString("&Undo mutation"));
        QVERIFY(m_frame->RunCommand(ECommand::EditRedo));
        QCOMPARE(Now().DifferingParts(c), 0u);
    }

    // Undo and redo of a change the current mode cannot show go back to the mode it was made
    // in; one it can show stays; the status bar says what was undone either way.
    void undoInAnotherModeShowsWhatItTakesBack_data() {
        QTest::addColumn<FAction>("setup");
        QTest::addColumn<FAction>("change");
        QTest::addColumn<int>("madeIn");
        QTest::addColumn<int>("undoneIn");
        QTest::addColumn<int>("shownIn");
        QTest::addColumn<QString>("name");
        const auto command = [](ECommand c) {
            return FAction([c](CUndoTest& t) { t.m_frame->RunCommand(c); });
        };
        QTest::addRow("family edit, undone in Breed")
            << command(ECommand::FamilyTree)
            << FAction([](CUndoTest& t) { t.Drag(t.RootNode(), QPoint(60, 60)); })
            << int(kModeFamily) << int(kModeBreed) << int(kModeFamily) << "family tree edit";
        QTest::addRow("triangle pick, undone in Engineer")
            << command(ECommand::GeneSpace) << FAction([](CUndoTest& t) {
                   const SPoint top = t.View()->TriangleTop();
                   t.Click(QPoint(top.x, top.y + 80));
               })
            << int(kModeTriangle) << int(kModeEngineer) << int(kModeTriangle) << "triangle pick";
        QTest::addRow("mutation, undone in Breed (the parent shows there)")
            << command(ECommand::Engineer)
            << FAction([](CUndoTest& t) { t.Click(QPoint(100, 100)); }) << int(kModeEngineer)
            << int(kModeBreed) << int(kModeBreed) << "mutation";
    }
    void undoInAnotherModeShowsWhatItTakesBack() {
        QFETCH(FAction, setup);
        QFETCH(FAction, change);
        QFETCH(int, madeIn);
        QFETCH(int, undoneIn);
        QFETCH(int, shownIn);
        QFETCH(QString, name);
        setup(*this);
        const SDocState before = Now();
        change(*this);
        QCOMPARE(m_doc->Mode(), madeIn);
        const SDocState after = Now();
        View()->SetMode(undoneIn);
        QVERIFY(m_frame->RunCommand(ECommand::EditUndo));
        QCOMPARE(m_doc->Mode(), shownIn);
        const unsigned shown = kPartFamilies | kPartTriangle | kPartCurrent;
        QCOMPARE(Now().DifferingParts(before) & shown, 0u);
        QCOMPARE(m_frame->statusBar()->currentMessage(), "Undone: " + name);
        // Made again from elsewhere, it comes back into sight the same way.
        View()->SetMode(undoneIn);
        QVERIFY(m_frame->RunCommand(ECommand::EditRedo));
        QCOMPARE(m_doc->Mode(), shownIn);
        QCOMPARE(m_frame->statusBar()->currentMessage(), "Redone: " + name);
        QCOMPARE(Now().DifferingParts(after) & shown, 0u);
    }

    void breedingUndoneRestoresTheGridCellByCell() {
        m_frame->RunCommand(ECommand::Breed);
        m_frame->RunCommand(ECommand::AddColumn);
        View()->Invalidate();
        const QImage grid = View()->ScreenImage().copy();
        const SDocState before = Now();
        Click(CellCentre(2));
        Click(CellCentre(8));
        QVERIFY(View()->ScreenImage() != grid);
        m_frame->RunCommand(ECommand::EditUndo);
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(before), 0u);
        QCOMPARE(View()->Cols(), 7);
        QCOMPARE(View()->ScreenImage(), grid);
        // The column added before the breeding is the next thing to undo.
        QCOMPARE(UndoText(), QString("&Undo rows and columns"));
    }

    void aRepeatRunIsOneUndoEntry() {
        Click(QPoint(100, 100));  // Repeat repeats the last mutation
        const SDocState before = Now();
        m_frame->RunCommand(ECommand::Repeat);
        for (int i = 0; i < 4; ++i) {
            m_clock.Advance(1000);
            View()->RepeatDriver();
        }
        m_frame->RunCommand(ECommand::Repeat);
        QVERIFY(!Bar()->IsRepeatChecked());
        QVERIFY(Now().DifferingParts(before) != 0);
        QVERIFY(UndoText().startsWith("&Undo repeat ("));
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(before), 0u);
        QCOMPARE(UndoText(), QString("&Undo mutation"));
    }

    void undoWhileRepeatRunsStopsItAndTakesBackTheRun() {
        m_frame->RunCommand(ECommand::Breed);
        const SDocState before = Now();
        m_frame->RunCommand(ECommand::Repeat);
        QVERIFY(Bar()->IsRepeatChecked());
        m_clock.Advance(1000);
        View()->RepeatDriver();
        QVERIFY(m_frame->Rule(ECommand::EditUndo).bEnabled);
        QVERIFY(m_frame->RunCommand(ECommand::EditUndo));
        QVERIFY(!Bar()->IsRepeatChecked());
        QCOMPARE(Now().DifferingParts(before), 0u);
        QVERIFY(m_frame->RunCommand(ECommand::EditRedo));
        QVERIFY(Now().DifferingParts(before) != 0);
    }

    void newAndOpenEndTheHistory() {
        Click(QPoint(100, 100));
        QVERIFY(m_frame->Rule(ECommand::EditUndo).bEnabled);
        m_frame->RunCommand(ECommand::FileNew);
        QVERIFY(!m_frame->Rule(ECommand::EditUndo).bEnabled);
        QVERIFY(!m_frame->Rule(ECommand::EditRedo).bEnabled);
        QCOMPARE(UndoText(), QString("&Undo"));
    }

    void undoFollowsTheUnsavedMark() {
        m_doc->MarkClean();
        m_frame->RefreshModified();
        QVERIFY(!m_frame->isWindowModified());
        Click(QPoint(100, 100));
        QVERIFY(m_frame->isWindowModified());
        m_frame->RunCommand(ECommand::EditUndo);
        QVERIFY(!m_frame->isWindowModified());
    }

    void aNewChangeDropsWhatCouldBeRedone() {
        Click(QPoint(100, 100));
        m_frame->RunCommand(ECommand::EditUndo);
        QVERIFY(m_frame->Rule(ECommand::EditRedo).bEnabled);
        m_frame->RunCommand(ECommand::HopefulMonster);
        QVERIFY(!m_frame->Rule(ECommand::EditRedo).bEnabled);
    }

    // Holding a gene box steps the gene again and again: the whole press is one change.
    void aHeldGeneBoxIsOneChange() {
        const SDocState before = Now();
        // Gene 1 steps by 5 between -400 and 400: towards zero there is room for many steps.
        const QPoint box = Bar()->Box(1)->geometry().center();
        const int start = m_doc->m_pCurrent->Gene(1);
        const Qt::MouseButton button = start > 0 ? Qt::RightButton : Qt::LeftButton;
        QTest::mousePress(Bar(), button, {}, box);
        // The auto-repeat runs on the view's clock.
        for (int i = 0; i < 20; ++i) {
            m_clock.Advance(Bar()->m_nRepeatPeriod);
            Bar()->AutoRepeatTick();
        }
        QVERIFY(std::abs(m_doc->m_pCurrent->Gene(1) - start) >= 15);
        QTest::mouseRelease(Bar(), button, {}, box);
        QCOMPARE(UndoText(), QString("&Undo gene edit"));
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(before), 0u);
        QVERIFY(!m_frame->Rule(ECommand::EditUndo).bEnabled);
    }

    // A step key held down repeats; the press, its repeats and its release are one change.
    // Separate presses are separate changes.
    void aHeldStepKeyIsOneChange() {
        Bar()->setFocus();
        QTRY_VERIFY(Bar()->hasFocus());
        const SDocState before = Now();
        const auto send = [this](QEvent::Type type, bool bAuto) {
            QKeyEvent key(type, Qt::Key_Up, Qt::NoModifier, QString(), bAuto);
            QApplication::sendEvent(Bar(), &key);
        };
        send(QEvent::KeyPress, false);
        for (int i = 0; i < 3; ++i) {
            send(QEvent::KeyRelease, true);
            send(QEvent::KeyPress, true);
        }
        send(QEvent::KeyRelease, false);
        const SDocState held = Now();
        QVERIFY(held.DifferingParts(before) != 0);
        QTest::keyClick(Bar(), Qt::Key_Up);
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(held), 0u);
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(before), 0u);
        QVERIFY(!m_frame->Rule(ECommand::EditUndo).bEnabled);
    }

    // Repeat switched off by its box, then a click at once: the click is a step of its own,
    // not part of the run.
    void aClickAfterRepeatStopsIsItsOwnStep() {
        Click(QPoint(100, 100));
        const SDocState beforeRun = Now();
        m_frame->RunCommand(ECommand::Repeat);
        // A mutation may leave the genome as it was: steps until one changes it.
        for (int i = 0; i < 20 && Now().DifferingParts(beforeRun) == 0; ++i) {
            m_clock.Advance(1000);
            View()->RepeatDriver();
        }
        QVERIFY(Now().DifferingParts(beforeRun) != 0);
        Bar()->SetRepeatChecked(false);
        const SDocState afterRun = Now();
        // Elsewhere than the first click, so the two make no double click.
        Click(QPoint(300, 200));
        QVERIFY(Now().DifferingParts(afterRun) != 0);
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(afterRun), 0u);
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(Now().DifferingParts(beforeRun), 0u);
    }
};

QTEST_MAIN(CUndoTest)
#include "UndoTest.moc"
