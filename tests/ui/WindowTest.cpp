// The window driven as a user would: menus, keys, clicks on the view and the gene bar,
// checked against the document and the pixels of the view's screen image.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/AboutBox.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "frame/QtFrameDialogs.h"
#include "frame/SettingsDialogs.h"
#include "model/DrawSurface.h"
#include "model/Random.h"
#include "platform/HelpContext.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/QuorvaleView.h"

namespace {
const QColor kGrid(213, 220, 240);
const QColor kRed(255, 0, 30);
}  // namespace

class CWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;
    QStringList& m_messages = m_dialogs.m_messages;
    QList<int>& m_helpTopics = m_dialogs.m_helpTopics;
    int m_nBeeps = 0;

    CQuorvaleView* View() { return m_frame->View(); }
    CGeneBar* Bar() { return m_frame->GeneBar(); }
    // A logical pixel of the screen image (its top-left device pixel on a high-DPI screen).
    QColor Pixel(int x, int y) {
        const QImage& image = View()->ScreenImage();
        const int scale = qRound(image.devicePixelRatio());
        return image.pixelColor(x * scale, y * scale);
    }
    void SetMode(int mode) {
        View()->SetMode(mode);
        View()->Invalidate();
    }
    QPoint CellCentre(int cell) {
        const SRect r = View()->CellRect(cell);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    std::array<int32_t, kGeneCount> Genes(const CBioMorph& m) { return m.GetGenes(); }
    QPoint BoxCentre(int gene) { return Bar()->Box(gene)->geometry().center(); }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(5);
        g_bRemeasure = 0;
        g_bMutationRateOpen = 0;
        m_nBeeps = 0;
        m_clock = CFakeClock();
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_dialogs = CFakeDialogs();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs);
        QObject::connect(Bar(), &CGeneBar::beepRequested, Bar(), [this] { ++m_nBeeps; });
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        View()->ScreenImage();
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
        SetDefaultGeneTables();
    }

    void startsInBreedWithTheBasicMorph() {
        QCOMPARE(m_frame->windowTitle(), QString("Untitled[*] - Quorvale"));
        QCOMPARE(m_doc->m_nMode, int(kModeBreed));
        QCOMPARE(Genes(*m_doc->m_pCurrent), kBasicGenes);
        QCOMPARE(m_doc->m_listOffspring.size(), size_t(14));
        QVERIFY(Bar()->RepeatButton()->isVisible());
        QVERIFY(Bar()->RepeatButton()->isEnabled());
        QVERIFY(!Bar()->HopefulButton()->isVisible());
        QVERIFY(!Bar()->IsEditable());
        QCOMPARE(m_frame->IdlePrompt()->text(),
                 QString("For help, press F1; or for \"point + click\" help press 'shift' + F1"));
    }

    void menuItemsFollowTheirRules_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        using C = ECommand;
        QTest::newRow("breed: breed checked") << 0 << int(C::Breed) << true << true;
        QTest::newRow("breed: monster off") << 0 << int(C::HopefulMonster) << false << false;
        QTest::newRow("engineer: monster on") << 1 << int(C::HopefulMonster) << true << false;
        QTest::newRow("engineer checked") << 1 << int(C::Engineer) << true << true;
        QTest::newRow("fossils: save as off") << 3 << int(C::FileSaveAs) << false << false;
        QTest::newRow("fossils: repeat off") << 3 << int(C::Repeat) << false << false;
        QTest::newRow("fossils checked") << 3 << int(C::FossilHistory) << true << true;
        QTest::newRow("triangle: copy off") << 4 << int(C::EditCopy) << false << false;
        QTest::newRow("triangle: clear on") << 4 << int(C::TriangleClear) << true << false;
        QTest::newRow("family: create checked") << 5 << int(C::FamilyCreate) << true << true;
        QTest::newRow("family: add row off") << 5 << int(C::AddRow) << false << false;
        QTest::newRow("breed: add row on") << 0 << int(C::AddRow) << true << false;
        QTest::newRow("breed: stop on") << 0 << int(C::FossilStop) << true << false;
        QTest::newRow("breed: record off") << 0 << int(C::FossilRecord) << false << false;
        QTest::newRow("breed: new history on") << 0 << int(C::FossilNewHistory) << true << false;
    }

    // However narrow the window, every box and button of the gene bar can be seen and used.
    void geneBarKeepsEveryControlInANarrowWindow() {
        SetMode(kModeEngineer);
        for (int width : {1200, 600, 480, 360, 280, 220}) {
            m_frame->resize(width, 560);
            QTRY_COMPARE(m_frame->width(), std::max(width, m_frame->minimumSizeHint().width()));
            QVERIFY2(width > 220 || m_frame->width() <= 240, "the window cannot be made narrow");
            QCoreApplication::processEvents();
            const QRect shown = Bar()->visibleRegion().boundingRect();
            QVERIFY2(Bar()->isVisible(), qPrintable(QString::number(width)));
            QList<QWidget*> controls{Bar()->RepeatButton(), Bar()->HopefulButton()};
            for (int k = 1; k <= kGeneCount; ++k) {
                controls << Bar()->Box(k);
            }
            for (QWidget* control : controls) {
                QVERIFY2(
                    shown.contains(control->geometry()),
                    qPrintable(QString("%1 at width %2").arg(control->objectName()).arg(width)));
            }
            if (width == 1200) {
                QVERIFY(!Bar()->HasTwoRows());
            } else if (width == 480) {
                QCOMPARE(Bar()->RowCount(), 2);
            } else if (width <= 280) {
                QVERIFY(Bar()->RowCount() > 2);
            }
        }
        m_frame->resize(820, 560);
    }

    // The mutation rate's arrows sit against its box, each half as high.
    void mutationRateArrowsSitAgainstTheirBox() {
        CMutationRateDlg dialog(1.0f, m_frame.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* edit = dialog.findChild<QWidget*>("rateEdit");
        auto* up = dialog.findChild<QWidget*>("rateUp");
        auto* down = dialog.findChild<QWidget*>("rateDown");
        QVERIFY(edit && up && down);
        const QRect box(edit->mapTo(&dialog, QPoint(0, 0)), edit->size());
        const QRect arrowUp(up->mapTo(&dialog, QPoint(0, 0)), up->size());
        const QRect arrowDown(down->mapTo(&dialog, QPoint(0, 0)), down->size());
        QVERIFY2(std::abs(arrowUp.left() - (box.right() + 1)) <= 1, "a gap beside the box");
        QCOMPARE(arrowUp.top(), box.top());
        QCOMPARE(arrowDown.bottom(), box.bottom());
        QCOMPARE(arrowDown.top(), arrowUp.bottom() + 1);
    }

    // A greyed item still tells in the status bar what it would do.
    void greyedMenuItemsShowTheirPrompt() {
        QAction* monster = m_frame->Action(ECommand::HopefulMonster);
        QMenu* evolve = nullptr;
        for (QMenu* menu : m_frame->menuBar()->findChildren<QMenu*>()) {
            if (menu->actions().contains(monster)) {
                evolve = menu;
            }
        }
        QVERIFY(evolve);
        evolve->popup(m_frame->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(evolve));
        QVERIFY(!monster->isEnabled());
        const QPoint at = evolve->actionGeometry(monster).center();
        QTest::mouseMove(evolve, at + QPoint(1, 0));
        QTest::mouseMove(evolve, at);
        QTRY_COMPARE(m_frame->statusBar()->currentMessage(),
                     QString("Generate a hopeful monster. "));
        evolve->hide();
    }

    void menuItemsFollowTheirRules() {
        QFETCH(int, mode);
        QFETCH(int, command);
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        SetMode(mode);
        m_frame->UpdateCommandUI();
        QAction* action = m_frame->Action(static_cast<ECommand>(command));
        QCOMPARE(action->isEnabled(), enabled);
        QCOMPARE(action->isChecked(), checked);
    }

    void menuTextsAndKeys() {
        QCOMPARE(m_frame->Action(ECommand::FileOpen)->text(), QString("&Open..."));
        QCOMPARE(m_frame->Action(ECommand::FileOpen)->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(m_frame->Action(ECommand::Repeat)->shortcut(), QKeySequence("Ctrl+R"));
        QCOMPARE(m_frame->Action(ECommand::EditPaste)->shortcuts().size(), 2);
        QCOMPARE(m_frame->Action(ECommand::FileNew)->statusTip(),
                 QString("Back to basics - Bacteria "));
        QStringList titles;
        for (QAction* a : m_frame->menuBar()->actions()) {
            titles << a->text();
        }
        // The program's menus, and View (full screen for a projector) added after Edit.
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "Vie&w", "E&volve", "&Genes", "&Triangle",
                                      "F&amily", "F&ossils ", "&Help"}));
        // Alt and a letter must reach one menu: a shared letter only cycles between them.
        QSet<QChar> letters;
        for (const QString& title : titles) {
            const QChar letter = title.at(title.indexOf('&') + 1).toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(title));
            letters.insert(letter);
        }
    }

    // Within each menu, and the context menu, every item's letter is its own: Alt and a letter
    // must reach one item, not cycle between two.
    void everyMenusLettersAreUnique() {
        QList<QMenu*> menus = m_frame->Commands().Menus();
        menus << m_frame->ContextMenu();
        for (QMenu* menu : menus) {
            QSet<QChar> letters;
            for (QAction* a : menu->actions()) {
                const QString text = a->text().section('\t', 0, 0);
                const qsizetype amp = text.indexOf('&');
                if (a->isSeparator() || amp < 0 || amp + 1 >= text.size()) {
                    continue;
                }
                const QChar letter = text.at(amp + 1).toLower();
                QVERIFY2(!letters.contains(letter),
                         qPrintable(menu->title() + ": " + text + " shares its letter"));
                letters.insert(letter);
            }
        }
    }

    void disabledShortcutsDoNothing() {
        const auto before = Genes(*m_doc->m_pCurrent);
        QTest::keyClick(m_frame.get(), Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(Genes(*m_doc->m_pCurrent), before);
        SetMode(kModeFossils);
        QTest::keyClick(m_frame.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!Bar()->IsRepeatChecked());

        SetMode(kModeEngineer);
        const size_t fossils = m_doc->m_listFossils.size();
        QTest::keyClick(m_frame.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(Genes(*m_doc->m_pCurrent) != before);
        QCOMPARE(View()->LastEvolve(), int(evolveMonster));
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
        QVERIFY(Bar()->IsRepeatEnabled());
    }

    void repeatKeyInEngineerChecksTheDisabledBoxAndStepsOnce() {
        SetMode(kModeEngineer);
        QVERIFY(!Bar()->IsRepeatEnabled());
        const size_t fossils = m_doc->m_listFossils.size();
        QTest::keyClick(m_frame.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(Bar()->IsRepeatChecked());
        // One step at once: with nothing to repeat yet it records two unchanged copies.
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 2);
        QTest::keyClick(m_frame.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!Bar()->IsRepeatChecked());
    }

    void fourRotationsComeBackToTheStart() {
        const QImage start = View()->ScreenImage().copy();
        for (int i = 0; i < 4; ++i) {
            m_frame->RunCommand(ECommand::Rotate);
            QCOMPARE(g_bRemeasure, 1);
            const QImage turned = View()->ScreenImage().copy();
            QCOMPARE(g_bRemeasure, 0);
            QCOMPARE(turned == start, i == 3);
        }
        QCOMPARE(m_doc->m_nOrientation, 0);
    }

    void dismissedContextMenuSwallowsTheNextClick() {
        m_dialogs.m_execContextMenu = [](QMenu*, const QPoint&) { return nullptr; };
        const QPoint cell0 = CellCentre(0);
        m_frame->OnContextMenu(View()->mapToGlobal(cell0));
        QVERIFY(View()->SkipsClick());
        const auto parent = Genes(*m_doc->m_pCurrent);
        const auto child = Genes(*m_doc->m_listOffspring[0]);
        QTest::mouseClick(View(), Qt::LeftButton, {}, cell0);
        QCOMPARE(Genes(*m_doc->m_pCurrent), parent);
        QTest::mouseClick(View(), Qt::LeftButton, {}, cell0);
        QCOMPARE(Genes(*m_doc->m_pCurrent), child);
    }

    // A menu closed by Esc (or by choosing from it) leaves the next click alone.
    void contextMenuClosedByTheKeyboardSwallowsNothing() {
        m_dialogs.m_execContextMenu = [](QMenu*, const QPoint&) { return nullptr; };
        m_dialogs.m_bMenuPressedAway = false;
        const QPoint cell0 = CellCentre(0);
        m_frame->OnContextMenu(View()->mapToGlobal(cell0));
        QVERIFY(!View()->SkipsClick());
        const auto child = Genes(*m_doc->m_listOffspring[0]);
        QTest::mouseClick(View(), Qt::LeftButton, {}, cell0);
        QCOMPARE(Genes(*m_doc->m_pCurrent), child);
    }

    // The program's own menu says how it was closed: by Esc, or by a press outside it.
    void theMenuTellsHowItWasClosed() {
        CQtFrameDialogs dialogs(m_frame.get(), m_doc.get(), [] {});
        QMenu* menu = m_frame->ContextMenu();
        const QPoint at = m_frame->mapToGlobal(QPoint(100, 100));
        QTimer::singleShot(50, menu, [menu] { QTest::keyClick(menu, Qt::Key_Escape); });
        QVERIFY(!dialogs.ExecContextMenu(menu, at));
        QTimer::singleShot(
            50, menu, [menu] { QTest::mousePress(menu, Qt::LeftButton, {}, QPoint(-20, -20)); });
        QVERIFY(dialogs.ExecContextMenu(menu, at));
    }

    // Repeat running is said in the status bar, and a click it drops says why.
    void repeatRunningIsSaidAndDroppedClicksExplained() {
        auto* label = m_frame->findChild<QLabel*>("repeatLabel");
        QVERIFY(label);
        QVERIFY(!label->isVisibleTo(m_frame.get()));
        m_frame->RunCommand(ECommand::Repeat);
        QVERIFY(label->isVisibleTo(m_frame.get()));
        const auto parent = Genes(*m_doc->m_pCurrent);
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(0));
        QCOMPARE(Genes(*m_doc->m_pCurrent), parent);
        QVERIFY(m_frame->statusBar()->currentMessage().contains("Repeat"));
        m_frame->RunCommand(ECommand::Repeat);
        QVERIFY(!label->isVisibleTo(m_frame.get()));
    }

    // A special gene expressed but not allowed to mutate is greyed on the bar: its tip says
    // why, and it can still be engineered there.
    void greyedGeneBoxesSayWhy() {
        SetMode(kModeEngineer);
        g_SpecialGenes[15].bPresent = 1;
        g_SpecialGenes[15].bCanMutate = 0;
        Bar()->ShowSpecialGeneBoxes();
        QVERIFY(Bar()->BoxTip(15).contains("Greyed"));
        g_SpecialGenes[15].bCanMutate = 1;
        QVERIFY(!Bar()->BoxTip(15).contains("Greyed"));
        QVERIFY(!Bar()->BoxTip(5).contains("Greyed"));
    }

    void rightClickOnTheViewAsksForTheMenu() {
        int shown = 0;
        m_dialogs.m_execContextMenu = [&](QMenu* menu, const QPoint&) {
            ++shown;
            QStringList texts;
            for (QAction* a : menu->actions()) {
                texts << a->text();
            }
            [&] { QCOMPARE(texts, (QStringList{"Save...", "&Copy", "&Export picture..."})); }();
            return nullptr;
        };
        const QPoint at = CellCentre(4);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, View()->mapToGlobal(at));
        QApplication::sendEvent(View(), &event);
        QCOMPARE(shown, 1);
        QVERIFY(View()->SkipsClick());
    }

    void noContextMenuOverTheTriangle() {
        int shown = 0;
        m_dialogs.m_execContextMenu = [&](QMenu*, const QPoint&) {
            ++shown;
            return nullptr;
        };
        SetMode(kModeTriangle);
        m_frame->OnContextMenu(View()->mapToGlobal(QPoint(50, 50)));
        SetMode(kModeFamily);
        m_frame->OnContextMenu(View()->mapToGlobal(QPoint(50, 50)));
        QCOMPARE(shown, 0);
        QVERIFY(!View()->SkipsClick());
    }

    void gridLinesFramesAndTheRedParent() {
        const SGridGeometry g = View()->Grid();
        const int colW = g.CellWidth();
        const int rowH = g.CellHeight();
        for (int i = 1; i < 5; ++i) {
            QCOMPARE(Pixel(i * colW, rowH / 3), kGrid);
            QCOMPARE(Pixel(i * colW - 1, rowH / 3), kGrid);
        }
        QCOMPARE(Pixel(colW / 3, rowH), kGrid);
        const SRect parent = View()->CellRect(7);
        QCOMPARE(Pixel(parent.left, parent.top + 5), kRed);
        QCOMPARE(Pixel(parent.left - 1, parent.top + 5), kRed);
        const SRect other = View()->CellRect(0);
        QCOMPARE(Pixel(other.left, other.top + 5), QColor(Qt::black));
        // The basic morph shows in black at the parent's centre column.
        bool bInk = false;
        for (int y = parent.top + 1; y < parent.bottom - 1 && !bInk; ++y) {
            bInk = Pixel((parent.left + parent.right) / 2, y) == QColor(Qt::black);
        }
        QVERIFY(bInk);
    }

    void engineerShowsTheMorphAloneWithNoGrid() {
        SetMode(kModeEngineer);
        const QImage& image = View()->ScreenImage();
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                QVERIFY2(c != kGrid && c != kRed, "no grid in engineering");
                ink += c != QColor(Qt::white);
            }
        }
        QVERIFY(ink > 20);
    }

    void fossilPagesNumberTheirCellsAndFillEmptyOnes() {
        m_doc->DeleteFossils();
        for (int i = 0; i < 20; ++i) {
            m_doc->m_pCurrent->SetGene(1, -200 + 10 * i);
            View()->RecordFossil(*m_doc->m_pCurrent);
        }
        SetMode(kModeFossils);
        View()->ScreenImage();
        QVERIFY(View()->VScrollBar()->isVisible());
        // Four rows of fossils, a page of three: the last full page starts at row 1.
        View()->ScrollFossils(EScrollRequest::Bottom);
        QCOMPARE(View()->FirstFossil(), 5);
        View()->ScrollFossils(EScrollRequest::Top);
        QCOMPARE(View()->FirstFossil(), 0);
        View()->ScrollFossils(EScrollRequest::ThumbPosition, 3);
        QCOMPARE(View()->FirstFossil(), 5);
        View()->SetFirstFossil(15);
        View()->Invalidate();
        if (qEnvironmentVariableIsSet("QUORVALE_DUMP")) {
            View()->ScreenImage().save("/tmp/fossils.png");
        }
        for (int cell = 0; cell < 15; ++cell) {
            const SRect r = View()->Grid().CellRect(cell);
            const QColor centre = Pixel(r.left + 3, r.bottom - 3);
            QCOMPARE(centre == kGrid, cell >= 5);
            // Numbers sit at the top-left of the filled cells only.
            bool bText = false;
            for (int y = r.top + 2; y < r.top + 10; ++y) {
                for (int x = r.left + 2; x < r.left + 10; ++x) {
                    bText |= Pixel(x, y).lightness() < 100;
                }
            }
            QCOMPARE(bText, cell < 5);
        }
        // The cells are narrower by the scroll bar's width less one.
        QCOMPARE(View()->Grid().GridWidth(), View()->width() - (View()->VScrollWidth() - 1));
    }

    void emptyHistoryFillsEveryCell() {
        m_doc->DeleteFossils();
        SetMode(kModeFossils);
        for (int cell = 0; cell < 15; ++cell) {
            const SRect r = View()->Grid().CellRect(cell);
            QCOMPARE(Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), kGrid);
        }
        QVERIFY(!View()->VScrollBar()->isVisible());
    }

    void wheelScrollsTheHistory() {
        for (int i = 0; i < 40; ++i) {
            View()->RecordFossil(*m_doc->m_pCurrent);
        }
        SetMode(kModeFossils);
        View()->ScreenImage();
        const QPoint at = CellCentre(0);
        QWheelEvent down(at, View()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View(), &down);
        QCOMPARE(View()->FirstFossil(), 5);
        QCOMPARE(View()->VScrollBar()->value(), 1);
    }

    void helpGoesToTheRightTopic() {
        QTest::keyClick(m_frame.get(), Qt::Key_F1);
        m_doc->m_bSpecialGenesOpen = 1;
        QTest::keyClick(m_frame.get(), Qt::Key_F1);
        m_doc->m_bSpecialGenesOpen = 0;
        g_bMutationRateOpen = 1;
        QTest::keyClick(m_frame.get(), Qt::Key_F1);
        g_bMutationRateOpen = 0;
        m_frame->RunCommand(ECommand::HelpTopics);
        QCOMPARE(m_helpTopics, (QList<int>{0, 1504, 1505, 0}));

        // Point-and-click help on the value box of gene 3, and on the Add row command.
        m_helpTopics.clear();
        QTest::keyClick(m_frame.get(), Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(m_frame->InPointHelp());
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, BoxCentre(3));
        QTest::keyClick(m_frame.get(), Qt::Key_F1, Qt::ShiftModifier);
        m_frame->Action(ECommand::AddRow)->trigger();
        QTest::keyClick(m_frame.get(), Qt::Key_F1, Qt::ShiftModifier);
        SetMode(kModeEngineer);
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(m_helpTopics, (QList<int>{1023, 11, 102}));
        QVERIFY(!m_frame->InPointHelp());
        QCOMPARE(m_doc->m_listFossils.size(), size_t(1));  // the help click bred nothing

        // A greyed command explains itself too (Triangle > New top outside the triangle).
        QAction* newTop = m_frame->Action(ECommand::TriangleNewTop);
        QVERIFY(!m_frame->Rule(ECommand::TriangleNewTop).bEnabled);
        QMenu* menu = nullptr;
        for (QMenu* m : m_frame->findChildren<QMenu*>()) {
            if (m->actions().contains(newTop)) {
                menu = m;
            }
        }
        QVERIFY(menu);
        QTest::keyClick(m_frame.get(), Qt::Key_F1, Qt::ShiftModifier);
        menu->popup(m_frame->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QVERIFY(!newTop->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(newTop).center());
        QCOMPARE(m_helpTopics.size(), 4);
        QCOMPARE(m_helpTopics.last(),
                 HelpTopicForContext(
                     static_cast<uint32_t>(CMainFrame::CommandHelpId(ECommand::TriangleNewTop)),
                     m_doc->m_nMode));
        QVERIFY(!m_frame->InPointHelp());
        QTRY_VERIFY(!menu->isVisible());
    }

    // ---- breeding and engineering by mouse

    void clickBreedsFromTheCellWithItsAnimation() {
        const auto child = Genes(*m_doc->m_listOffspring[3]);
        const size_t fossils = m_doc->m_listFossils.size();
        m_clock.m_pauses.clear();
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(3));
        QCOMPARE(Genes(*m_doc->m_pCurrent), child);
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
        QCOMPARE(Genes(*m_doc->m_listFossils.back()), child);
        // 16 box steps of 20 ms, 50 ms, then a 15 ms flash and 2 ms for each offspring.
        QList<int> expected;
        for (int i = 0; i < 16; ++i) {
            expected << 20;
        }
        expected << 50;
        for (int i = 0; i < 14; ++i) {
            expected << 15 << 2;
        }
        QCOMPARE(QList<int>(m_clock.m_pauses.begin(), m_clock.m_pauses.end()), expected);
        // The screen is the new generation: a repaint draws the same morphs in every cell
        // (only the order of grid lines and the parent's frame differs where they meet).
        const QImage shown = View()->ScreenImage().copy();
        View()->Invalidate();
        const QImage repainted = View()->ScreenImage().copy();
        for (int cell = 0; cell < 15; ++cell) {
            const SRect r = View()->CellRect(cell);
            const QRect inside(QPoint(r.left + 1, r.top + 1), QPoint(r.right - 2, r.bottom - 2));
            QCOMPARE(repainted.copy(inside), shown.copy(inside));
        }
        QCOMPARE(Bar()->State().m_nValue[1], m_doc->m_pCurrent->Gene(1));
    }

    void doubleClickBreedsOnce() {
        // The window system delivers a press, a release, then a double click in place of the
        // second press.
        const size_t fossils = m_doc->m_listFossils.size();
        const QPoint at = CellCentre(1);
        QTest::mouseClick(View(), Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, View()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(View(), &dbl);
        QTest::mouseRelease(View(), Qt::LeftButton, {}, at);
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
    }

    // Genomes from files and the clipboard may hold anything: the window draws them in every
    // branch style and pen width without crashing or stalling (no time is asserted; a stall
    // would hit the test's time-out).
    void wildGenomesDrawInEveryMode() {
        const int32_t wild[][kGeneCount] = {
            {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN,
             9, 9, INT32_MAX, 1, 2, INT32_MAX, 1, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX},
            {400, -400, 400, -400, 400, -400, 400, -400, 9, 2000000000, -100, 1, 2, 1000, 2, 80, 90,
             10, 10},
            {-400, 400, -400, 400, -400, 400, -400, 400, 9, 9, 100, 0, 2, -400, 3, 160, 0, -8, -4},
        };
        for (const auto& genes : wild) {
            m_doc->m_pCurrent->SetGenes(genes);
            for (int k = 1; k <= kGeneCount; ++k) {
                m_doc->m_pCurrent->SetGradient(k, k % 2 ? INT32_MAX : INT32_MIN);
            }
            for (int mode : {kModeEngineer, kModeBreed}) {
                SetMode(mode);
                QVERIFY(!View()->ScreenImage().isNull());
            }
            m_doc->m_pTriTop->CopyGenome(*m_doc->m_pCurrent);
            SetMode(kModeTriangle);
            QVERIFY(!View()->ScreenImage().isNull());
        }
    }

    void clickOnTheParentBreedsWithoutTheBox() {
        const auto parent = Genes(*m_doc->m_pCurrent);
        m_clock.m_pauses.clear();
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(7));
        QCOMPARE(Genes(*m_doc->m_pCurrent), parent);
        QCOMPARE(m_clock.m_pauses.size(), size_t(28));
    }

    void clicksOnBordersBreedNothing() {
        const auto parent = Genes(*m_doc->m_pCurrent);
        const SRect r = View()->CellRect(3);
        for (QPoint p : {QPoint(r.left, (r.top + r.bottom) / 2), QPoint(r.right, r.top + 5),
                         QPoint(r.left - 1, r.top + 5), QPoint((r.left + r.right) / 2, r.bottom)}) {
            QTest::mouseClick(View(), Qt::LeftButton, {}, p);
        }
        QCOMPARE(Genes(*m_doc->m_pCurrent), parent);
        QCOMPARE(m_doc->m_listFossils.size(), size_t(1));
    }

    void escapeStopsTheRevealAndRepeat() {
        Bar()->SetRepeatChecked(true);
        // The Esc arrives while the offspring are being revealed.
        QApplication::postEvent(View(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        m_clock.m_pauses.clear();
        View()->BreedFromCell(2);
        QVERIFY(!Bar()->IsRepeatChecked());
        QVERIFY(g_bAbortReveal);
        QCOMPARE(std::count(m_clock.m_pauses.begin(), m_clock.m_pauses.end(), 15), 0);
        // The undrawn cells stay empty: no black in cell 0.
        const SRect r = View()->CellRect(0);
        QCOMPARE(Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2), QColor(Qt::white));
    }

    void theRepeatBoxClickDuringTheAnimationActsAfterIt() {
        Bar()->SetRepeatChecked(true);
        QPushButton* repeat = Bar()->RepeatButton();
        const QPoint at = repeat->rect().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QApplication::postEvent(
                repeat,
                new QMouseEvent(type, at, repeat->mapToGlobal(at), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
        View()->BreedFromCell(2);
        // The click is kept during the step and acts once it is over.
        QVERIFY(Bar()->IsRepeatChecked());
        QCoreApplication::processEvents();
        QVERIFY(!Bar()->IsRepeatChecked());
        // The step itself went on to the end.
        QVERIFY(!g_bAbortReveal);
        QCOMPARE(std::count(m_clock.m_pauses.begin(), m_clock.m_pauses.end(), 15), 14);
    }

    void engineeringClickMutatesAndRecords() {
        SetMode(kModeEngineer);
        const auto before = Genes(*m_doc->m_pCurrent);
        const size_t fossils = m_doc->m_listFossils.size();
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(View()->LastEvolve(), int(evolveMutate));
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
        QVERIFY(Bar()->IsRepeatEnabled());
        QCOMPARE(Bar()->State().m_nValue[9], m_doc->m_pCurrent->Gene(9));
        (void)before;
    }

    void spaceMutatesOnlyInEngineer() {
        const auto before = Genes(*m_doc->m_pCurrent);
        QTest::keyClick(View(), Qt::Key_Space);
        QCOMPARE(Genes(*m_doc->m_pCurrent), before);
        SetMode(kModeEngineer);
        const size_t fossils = m_doc->m_listFossils.size();
        for (int i = 0; i < 20 && Genes(*m_doc->m_pCurrent) == before; ++i) {
            QTest::keyClick(View(), Qt::Key_Space);
        }
        QVERIFY(Genes(*m_doc->m_pCurrent) != before);
        QCOMPARE(View()->LastEvolve(), int(evolveMutate));
        QCOMPARE(m_doc->m_listFossils.size(), fossils);
        QVERIFY(!Bar()->IsRepeatEnabled());
    }

    void hoveringShowsTheMorphUnderThePointer() {
        QTest::mouseMove(View(), CellCentre(9));
        QCOMPARE(Bar()->State().m_nValue[1], m_doc->m_listOffspring[8]->Gene(1));
        QCOMPARE(Bar()->State().m_nValue[9], m_doc->m_listOffspring[8]->Gene(9));
    }

    // ---- the gene bar

    void geneBarPressesEngineerTheCurrentMorph() {
        SetMode(kModeEngineer);
        m_doc->m_pCurrent->SetGene(1, 395);
        Bar()->ShowGenes(m_doc->m_pCurrent.get());
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, BoxCentre(1));
        QCOMPARE(m_doc->m_pCurrent->Gene(1), 400);
        QCOMPARE(m_nBeeps, 0);
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, BoxCentre(1));
        QCOMPARE(m_doc->m_pCurrent->Gene(1), 400);
        QCOMPARE(m_nBeeps, 1);
        m_doc->m_pCurrent->SetGene(2, 0);
        Bar()->ShowGenes(m_doc->m_pCurrent.get());
        QTest::mouseClick(Bar(), Qt::LeftButton, Qt::ControlModifier, BoxCentre(2));
        QCOMPARE(m_doc->m_pCurrent->Gene(2), 50);
        QTest::mouseClick(Bar(), Qt::RightButton, {}, BoxCentre(9));
        QCOMPARE(m_doc->m_pCurrent->Gene(9), 6);
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, BoxCentre(kGeneMirror));
        QCOMPARE(m_doc->m_pCurrent->Gene(kGeneMirror), 1);
        // A press on the picture above gene 11 cycles its gradient; a right press does not.
        const QPoint picture = Bar()->Picture(11)->geometry().center();
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, picture);
        QCOMPARE(m_doc->m_pCurrent->Gradient(11), 2);
        QTest::mouseClick(Bar(), Qt::RightButton, {}, picture);
        QCOMPARE(m_doc->m_pCurrent->Gradient(11), 2);
        // Engineering records nothing and leaves Repeat's memory alone.
        QCOMPARE(m_doc->m_listFossils.size(), size_t(1));
        QCOMPARE(View()->LastEvolve(), int(evolveNone));
    }

    void geneBarIgnoresPressesOutsideEngineering() {
        const auto before = Genes(*m_doc->m_pCurrent);
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, BoxCentre(1));
        QCOMPARE(Genes(*m_doc->m_pCurrent), before);
        SetMode(kModeEngineer);
        Bar()->SetRepeatChecked(true);
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, BoxCentre(1));
        QCOMPARE(Genes(*m_doc->m_pCurrent), before);
    }

    void holdingAPressRepeatsAfterADelay() {
        SetMode(kModeEngineer);
        Bar()->m_nFirstDelay = 300;
        Bar()->m_nRepeatPeriod = 30;
        m_doc->m_pCurrent->SetGene(1, -400);
        Bar()->ShowGenes(m_doc->m_pCurrent.get());
        QTest::mousePress(Bar(), Qt::LeftButton, {}, BoxCentre(1));
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -395);
        // Timed by the view's clock, not the wall's: nothing before the first delay.
        const auto tick = [this](uint32_t ms) {
            m_clock.Advance(ms);
            Bar()->AutoRepeatTick();
        };
        tick(299);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -395);
        tick(1);
        tick(29);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -395);
        tick(1);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -390);
        for (int i = 0; i < 3; ++i) {
            tick(30);
        }
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -375);
        // However long it is held, it is one change to take back.
        QTest::mouseRelease(Bar(), Qt::LeftButton, {}, BoxCentre(1));
        tick(500);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -375);
        m_frame->RunCommand(ECommand::EditUndo);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -400);
    }

    // ---- Repeat

    void repeatStepsInEngineerRecordTwice() {
        SetMode(kModeEngineer);
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(100, 100));
        Bar()->SetRepeatChecked(true);
        const size_t fossils = m_doc->m_listFossils.size();
        m_clock.Advance(201);
        QVERIFY(View()->RepeatDriver());
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 2);
        // Not yet due again.
        m_clock.Advance(100);
        View()->RepeatDriver();
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 2);
        m_clock.Advance(101);
        View()->RepeatDriver();
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 4);
        // No steps outside Breed and Engineer, even with the box checked.
        SetMode(kModeFossils);
        Bar()->SetRepeatChecked(true);
        m_clock.Advance(5000);
        QVERIFY(!View()->RepeatDriver());
    }

    void repeatInBreedBreedsFromARandomCell() {
        Bar()->SetRepeatChecked(true);
        const size_t fossils = m_doc->m_listFossils.size();
        m_clock.Advance(1201);
        QVERIFY(View()->RepeatDriver());
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
        // While the box is checked, clicks are ignored.
        const auto parent = Genes(*m_doc->m_pCurrent);
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(0));
        QCOMPARE(Genes(*m_doc->m_pCurrent), parent);
    }

    void engineerModeUnchecksAndDisablesRepeat() {
        Bar()->SetRepeatChecked(true);
        m_frame->RunCommand(ECommand::Engineer);
        QVERIFY(!Bar()->IsRepeatChecked());
        QVERIFY(!Bar()->IsRepeatEnabled());
        QVERIFY(Bar()->HopefulButton()->isVisible());
        m_frame->RunCommand(ECommand::FossilHistory);
        QVERIFY(!Bar()->RepeatButton()->isVisible());
    }

    void openingAFileNamesTheWindowAndJoinsTheRecentList() {
        QTemporaryDir dir;
        const QString path = dir.filePath("creature.bio");
        m_doc->m_pCurrent->SetGene(4, -150);
        QVERIFY(m_doc->SaveFile(path.toStdString()));
        m_frame->RunCommand(ECommand::FileNew);
        QVERIFY(m_frame->OpenDocumentFile(path));
        QCOMPARE(m_doc->m_pCurrent->Gene(4), -150);
        QCOMPARE(m_frame->windowTitle(), QString("creature.bio[*] - Quorvale"));
        QCOMPARE(m_frame->RecentFiles(), QStringList{QFileInfo(path).absoluteFilePath()});
        // File > Open of a file with another signature is refused and changes nothing.
        QFile other(dir.filePath("other.bio"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write(QByteArray("\x05Other\x01\x00\x00\x00", 10) + QByteArray(140, 0));
        other.close();
        m_dialogs.m_askOpenPath = [&](const QString&, const QString&, const QString&) {
            return other.fileName();
        };
        m_frame->RunCommand(ECommand::FileOpen);
        QCOMPARE(m_messages,
                 QStringList{"Could not open " + other.fileName() + ".\n\nIncorrect file type!"});
        QCOMPARE(m_frame->windowTitle(), QString("creature.bio[*] - Quorvale"));
        QCOMPARE(m_doc->m_pCurrent->Gene(4), -150);
        QCOMPARE(m_frame->RecentFiles().size(), 1);
    }

    void savingFromTheFossilsTakesTheViewBackToBreeding() {
        QTemporaryDir dir;
        m_dialogs.m_askSavePath = [&](const QString&, const QString&, const QString&) {
            return dir.filePath("from-fossils.bio");
        };
        SetMode(kModeFossils);
        m_dialogs.m_execContextMenu = [this](QMenu*, const QPoint&) {
            return m_frame->Action(ECommand::ContextSave);
        };
        m_frame->OnContextMenu(View()->mapToGlobal(CellCentre(0)));
        QVERIFY(QFileInfo::exists(dir.filePath("from-fossils.bio")));
        QCOMPARE(m_doc->m_nMode, int(kModeBreed));
        QVERIFY(Bar()->RepeatButton()->isVisible());
        QCOMPARE(m_frame->windowTitle(), QString("from-fossils.bio[*] - Quorvale"));
    }

    // What would throw unsaved changes away asks first; the answer decides, and the file on
    // disk holds exactly what the user chose.
    void unsavedChangesAskFirst() {
        using EAnswer = IFrameDialogs::ESaveChanges;
        struct SCase {
            const char* name;
            ECommand command;  // Count: the close box
            EAnswer answer;
            bool bGoesOn;  // the command went ahead
            bool bSaved;   // the file holds the changed morph afterwards
        };
        const SCase cases[] = {
            {"New, Cancel", ECommand::FileNew, EAnswer::Cancel, false, false},
            {"New, Discard", ECommand::FileNew, EAnswer::Discard, true, false},
            {"New, Save", ECommand::FileNew, EAnswer::Save, true, true},
            {"Open, Cancel", ECommand::FileOpen, EAnswer::Cancel, false, false},
            {"Open, Save", ECommand::FileOpen, EAnswer::Save, true, true},
            {"Exit, Cancel", ECommand::FileExit, EAnswer::Cancel, false, false},
            {"Exit, Save", ECommand::FileExit, EAnswer::Save, true, true},
            {"close box, Cancel", ECommand::Count, EAnswer::Cancel, false, false},
            {"close box, Discard", ECommand::Count, EAnswer::Discard, true, false},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.bio");
        const QString other = dir.filePath("other.bio");
        int cell = 0;
        for (const SCase& c : cases) {
            const QString row = c.name;
            m_frame->show();
            m_frame->RunCommand(ECommand::FileNew);
            m_doc->m_pCurrent->SetGene(4, -100);
            QVERIFY(m_frame->OpenDocumentFile(path) || m_doc->SaveFile(path.toStdString()));
            m_doc->SetPathName(path.toStdString());
            m_doc->m_pCurrent->SetGene(4, -100);
            QVERIFY2(m_doc->SaveFile(path.toStdString()), qPrintable(row));
            QFile(other).remove();
            QVERIFY(m_doc->SaveFile(other.toStdString()));
            m_frame->UpdateCaption();
            QVERIFY2(!m_frame->isWindowModified(), qPrintable(row));
            // Nothing to lose: nothing is asked.
            m_dialogs.m_questions.clear();
            m_frame->RunCommand(ECommand::FileNew);
            QCOMPARE(m_dialogs.m_questions, QStringList());
            QVERIFY(m_frame->OpenDocumentFile(path));

            // Another cell each time, so that no two clicks make a double click.
            QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(cell++ % 2 ? 0 : 14));
            QVERIFY2(m_frame->isWindowModified(), qPrintable(row));
            const auto changed = Genes(*m_doc->m_pCurrent);
            m_dialogs.m_saveChanges = c.answer;
            m_dialogs.m_askOpenPath = [&](const QString&, const QString&, const QString&) {
                return other;
            };
            if (c.command == ECommand::Count) {
                m_frame->close();
            } else {
                m_frame->RunCommand(c.command);
            }
            QCOMPARE(m_dialogs.m_questions, QStringList{"save changes: kept.bio"});
            CQuorvaleDoc reader;
            QVERIFY(reader.OpenFile(path.toStdString()));
            QVERIFY2((Genes(*reader.m_pCurrent) == changed) == c.bSaved, qPrintable(row));
            const bool bClosed = !m_frame->isVisible();
            const bool bStill = Genes(*m_doc->m_pCurrent) == changed && !bClosed;
            QVERIFY2(bStill != c.bGoesOn || (c.command == ECommand::FileOpen && c.bGoesOn),
                     qPrintable(row));
            if (!c.bGoesOn) {
                QCOMPARE(m_frame->windowTitle(), QString("kept.bio[*] - Quorvale"));
                QVERIFY(m_frame->isWindowModified());
            }
        }
        m_frame->show();
    }

    // File > Open asks about unsaved changes only once a file is chosen: cancelling the open
    // dialog asks nothing and changes nothing.
    void cancellingOpenAsksNothing() {
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(0));
        QVERIFY(m_frame->isWindowModified());
        const auto changed = Genes(*m_doc->m_pCurrent);
        m_dialogs.m_questions.clear();
        m_dialogs.m_askOpenPath = [](const QString&, const QString&, const QString&) {
            return QString();
        };
        m_frame->RunCommand(ECommand::FileOpen);
        QCOMPARE(m_dialogs.m_questions, QStringList());
        QCOMPARE(Genes(*m_doc->m_pCurrent), changed);
        QVERIFY(m_frame->isWindowModified());
    }

    void saveAsAsksBeforeReplacingAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("taken.bio");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not mine");
        file.close();
        m_dialogs.m_askSavePath = [&](const QString&, const QString&, const QString&) {
            return path;
        };
        for (bool bReplace : {false, true}) {
            m_dialogs.m_bReplace = bReplace;
            m_dialogs.m_questions.clear();
            m_frame->RunCommand(ECommand::FileSaveAs);
            QCOMPARE(m_dialogs.m_questions, QStringList{"replace: " + path});
            QCOMPARE(QFileInfo(path).size(), bReplace ? 164 : 8);
        }
    }

    void fileNewAfterUseResetsTheWindow() {
        SetMode(kModeEngineer);
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(100, 100));
        m_frame->RunCommand(ECommand::FileNew);
        QCOMPARE(m_doc->m_nMode, int(kModeBreed));
        QCOMPARE(View()->LastEvolve(), int(evolveNone));
        QCOMPARE(Genes(*m_doc->m_pCurrent), kBasicGenes);
        QCOMPARE(m_frame->windowTitle(), QString("Untitled[*] - Quorvale"));
    }

    // Run again with QT_SCALE_FACTOR=2: the picture keeps its logical size and is drawn at
    // the screen's resolution, grid lines and morph lines as wide as they should be.
    void screenImageFollowsTheDevicePixelRatio() {
        const QImage& image = View()->ScreenImage();
        const qreal dpr = View()->devicePixelRatioF();
        QCOMPARE(image.devicePixelRatio(), dpr);
        QCOMPARE(image.width(), qRound(View()->width() * dpr));
        const int scale = qRound(dpr);
        const int colW = View()->Grid().CellWidth();
        const int y = View()->Grid().CellHeight() / 3 * scale;
        // The 2-pixel grid line covers x - 1 and x, in device pixels scaled.
        for (int d = -2 * scale; d < 2 * scale; ++d) {
            const bool bOnLine = d >= -scale && d < scale;
            QCOMPARE(image.pixelColor(colW * scale + d, y) == kGrid, bOnLine);
        }
        // The trunk of the parent is a line one logical pixel wide.
        const SRect parent = View()->CellRect(7);
        const int cx = (parent.left + parent.right) / 2 * scale;
        const int cy = ((parent.top + parent.bottom) / 2 + 10) * scale;
        int ink = 0;
        for (int x = cx - 4 * scale; x <= cx + 4 * scale; ++x) {
            ink += image.pixelColor(x, cy) == QColor(Qt::black);
        }
        QCOMPARE(ink, scale);
    }

    // Pictures of every mode for a person to look at: QUORVALE_DUMP=folder.
    void dumpPicturesOfEveryMode() {
        const QString folder = qEnvironmentVariable("QUORVALE_DUMP");
        if (folder.isEmpty()) {
            QSKIP("set QUORVALE_DUMP to a folder to write the pictures");
        }
        for (int mode : {0, 1, 3, 4, 5}) {
            if (mode == kModeFamily) {
                auto family = std::make_unique<CFamilyList>();
                auto root = std::make_unique<CFamilyMorph>(*m_doc->m_pCurrent);
                root->m_ptNode = {200, 150};
                auto child = std::make_unique<CFamilyMorph>(*m_doc->m_listOffspring[2], 400, 300);
                child->m_pParent = root.get();
                root->AddChild(child.get());
                family->push_back(std::move(root));
                family->push_back(std::move(child));
                m_doc->m_listFamilies.push_back(std::move(family));
            }
            SetMode(mode);
            if (mode == kModeTriangle) {
                m_doc->m_listTrianglePoints.push_back({300, 250});
                m_doc->m_listTrianglePoints.push_back({420, 300});
                View()->TriangleChanged();
                View()->Invalidate();
            }
            QVERIFY(m_frame->grab().save(QString("%1/mode%2.png").arg(folder).arg(mode)));
        }
        CAboutBox about(m_frame.get());
        about.adjustSize();
        QVERIFY(about.grab().save(folder + "/about.png"));
    }

    // ---- settings dialogs

    void specialGenesDialogRulesAndResult() {
        m_dialogs.m_runSpecialGenes = [this] {
            return RunSpecialGenesDialog(m_frame.get(), [this] { m_frame->OnHelp(); });
        };
        bool bChecked = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<CSpecialGenesDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // A failed check returns early: the dialog is closed whatever happens.
            const auto closer = qScopeGuard([dialog] {
                if (dialog->isVisible()) {
                    dialog->reject();
                }
            });
            // At start every Present box is checked and every Can Mutate box unchecked.
            for (int gene : {10, 12, 13, 14, 15, 16, 17, 18, 19}) {
                QVERIFY(dialog->PresentBox(gene)->isChecked());
            }
            for (int gene = 10; gene <= 19; ++gene) {
                QVERIFY(!dialog->MutateBox(gene)->isChecked());
                QVERIFY(dialog->MutateBox(gene)->isEnabled());
            }
            QTest::keyClick(dialog, Qt::Key_F1);
            dialog->MutateBox(11)->setChecked(true);
            dialog->PresentBox(10)->click();
            QVERIFY(!dialog->MutateBox(10)->isEnabled());
            QVERIFY(!dialog->MutateBox(11)->isChecked());
            dialog->PresentBox(10)->click();
            QVERIFY(dialog->MutateBox(11)->isEnabled());
            QVERIFY(!dialog->MutateBox(11)->isChecked());
            dialog->PresentBox(12)->click();
            dialog->MutateBox(14)->setChecked(true);
            bChecked = true;
            dialog->OkButton()->click();
        });
        m_frame->RunCommand(ECommand::SpecialGenes);
        QVERIFY(bChecked);
        QCOMPARE(m_helpTopics, QList<int>{1504});
        QCOMPARE(m_doc->m_bSpecialGenesOpen, 0);
        QCOMPARE(g_SpecialGenes[12].bPresent, 0);
        QCOMPARE(g_SpecialGenes[14].bCanMutate, 1);
        QVERIFY(Bar()->Box(12)->isHidden());
        QVERIFY(!Bar()->Box(10)->isHidden());
        // After the dialog, F1 gives the general help again.
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QTest::keyClick(m_frame.get(), Qt::Key_F1);
        QCOMPARE(m_helpTopics, (QList<int>{1504, 0}));
    }

    void mutationRateDialogValidatesItsOneCharacter() {
        m_dialogs.m_runMutationRate = [this](float rate) {
            return RunMutationRateDialog(m_frame.get(), rate, [this] { m_frame->OnHelp(); });
        };
        QStringList problems;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<CMutationRateDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto closer = qScopeGuard([dialog] {
                if (dialog->isVisible()) {
                    dialog->reject();
                }
            });
            dialog->m_showMessage = [&](const QString& text) { problems << text; };
            QCOMPARE(dialog->Edit()->text(), QString("1"));
            QCOMPARE(dialog->Edit()->maxLength(), 1);
            QTest::keyClick(dialog, Qt::Key_F1);
            dialog->Edit()->setText("7");
            dialog->accept();
            QVERIFY(dialog->isVisible());
            dialog->Edit()->setText("x");
            dialog->accept();
            dialog->Edit()->setText("3");
            dialog->accept();
        });
        m_frame->RunCommand(ECommand::MutationRate);
        QCOMPARE(problems,
                 (QStringList{"Please enter a number between 1 and 5.", "Please enter a number."}));
        QCOMPARE(m_helpTopics, QList<int>{1505});
        QCOMPARE(m_doc->m_fMutationRate, 3.0f);
        QCOMPARE(g_bMutationRateOpen, 0);
    }

    // ---- rows and columns

    void rowsAndColumnsGrowAndShrinkByTwo() {
        const auto parent = Genes(*m_doc->m_pCurrent);
        QVERIFY(m_frame->RunCommand(ECommand::AddRow));
        QCOMPARE(View()->Rows(), 5);
        QCOMPARE(m_doc->m_listOffspring.size(), size_t(24));
        for (size_t i = 14; i < 24; ++i) {
            QCOMPARE(Genes(*m_doc->m_listOffspring[i]), parent);
        }
        QCOMPARE(View()->ParentCell(), 12);
        QVERIFY(m_frame->RunCommand(ECommand::AddRow));
        QVERIFY(!m_frame->RunCommand(ECommand::AddRow));
        QVERIFY(m_frame->RunCommand(ECommand::AddColumn));
        QVERIFY(m_frame->RunCommand(ECommand::AddColumn));
        QVERIFY(!m_frame->RunCommand(ECommand::AddColumn));
        QCOMPARE(m_doc->m_listOffspring.size(), size_t(62));
        // A click still breeds from the right cell of the big grid.
        const auto child = Genes(*m_doc->m_listOffspring[40]);
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(40));
        QCOMPARE(Genes(*m_doc->m_pCurrent), child);

        for (int i = 0; i < 3; ++i) {
            m_frame->RunCommand(ECommand::RemoveRow);
        }
        QVERIFY(!m_frame->RunCommand(ECommand::RemoveRow));
        for (int i = 0; i < 4; ++i) {
            m_frame->RunCommand(ECommand::RemoveColumn);
        }
        QCOMPARE(View()->Rows(), 1);
        QCOMPARE(View()->Cols(), 1);
        QVERIFY(m_doc->m_listOffspring.empty());
        QCOMPARE(View()->ParentCell(), 0);
        QVERIFY(!View()->ScreenImage().isNull());
        SetMode(kModeEngineer);
        QVERIFY(!m_frame->RunCommand(ECommand::AddRow));
    }

    void changingTheGridInTheHistoryGoesBackToTheFirstPage() {
        for (int i = 0; i < 40; ++i) {
            View()->RecordFossil(*m_doc->m_pCurrent);
        }
        SetMode(kModeFossils);
        View()->ScrollFossils(EScrollRequest::Bottom);
        QVERIFY(View()->FirstFossil() > 0);
        m_frame->RunCommand(ECommand::AddRow);
        QCOMPARE(View()->FirstFossil(), 0);
        QCOMPARE(View()->FossilBar().nPage, 5);
    }

    // ---- clipboard

    void copyAndPasteCarryTheMorph() {
        m_frame->RunCommand(ECommand::EditCopy);
        QVERIFY(View()->ClipboardHasMorph());
        const SRect cell = View()->ParentCellRect();
        const QImage picture = QGuiApplication::clipboard()->image();
        QCOMPARE(picture.width(), cell.Width());
        QCOMPARE(picture.height(), cell.Height());
        const auto copied = Genes(*m_doc->m_pCurrent);

        // Paste in Engineer changes only the current morph.
        SetMode(kModeEngineer);
        m_doc->m_pCurrent->SetGene(1, 300);
        const auto offspring = Genes(*m_doc->m_listOffspring[0]);
        QVERIFY(m_frame->RunCommand(ECommand::EditPaste));
        QCOMPARE(Genes(*m_doc->m_pCurrent), copied);
        QCOMPARE(Genes(*m_doc->m_listOffspring[0]), offspring);
        QCOMPARE(m_doc->m_listFossils.size(), size_t(1));

        // In Breed each paste breeds new offspring; in the triangle and fossils it is disabled.
        SetMode(kModeBreed);
        m_frame->RunCommand(ECommand::EditPaste);
        const auto first = Genes(*m_doc->m_listOffspring[0]);
        m_frame->RunCommand(ECommand::EditPaste);
        bool bDifferent = false;
        for (size_t i = 0; i < 14; ++i) {
            bDifferent |= Genes(*m_doc->m_listOffspring[i]) != first;
        }
        QVERIFY(bDifferent);
        SetMode(kModeTriangle);
        QVERIFY(!m_frame->RunCommand(ECommand::EditPaste));
        // Paste to a corner works in every mode.
        QVERIFY(m_frame->RunCommand(ECommand::PasteTriangleLeft));
        QCOMPARE(Genes(*m_doc->m_pTriLeft), copied);

        // Copy screen places a picture and no morph, so Paste is disabled afterwards.
        m_frame->RunCommand(ECommand::EditCopyScreen);
        QVERIFY(!View()->ClipboardHasMorph());
        QCOMPARE(QGuiApplication::clipboard()->image().width(), View()->width());
        SetMode(kModeBreed);
        QVERIFY(!m_frame->RunCommand(ECommand::EditPaste));
    }

    void aShortClipboardBlockGreysPasteAndChangesNothing() {
        auto* data = new QMimeData;
        data->setData("BiomorphFormat", QByteArray(100, '\x01'));
        QGuiApplication::clipboard()->setMimeData(data);
        const auto before = Genes(*m_doc->m_pCurrent);
        QVERIFY(!View()->ClipboardHasMorph());
        QVERIFY(!m_frame->RunCommand(ECommand::EditPaste));
        QCOMPARE(Genes(*m_doc->m_pCurrent), before);
    }

    void contextCopyOverAnEmptyFossilCellCopiesTheView() {
        m_dialogs.m_execContextMenu = [this](QMenu*, const QPoint&) {
            return m_frame->Action(ECommand::ContextCopy);
        };
        SetMode(kModeFossils);
        m_frame->OnContextMenu(View()->mapToGlobal(CellCentre(9)));
        QVERIFY(!View()->ClipboardHasMorph());
        QCOMPARE(QGuiApplication::clipboard()->image().height(), View()->height());
        SetMode(kModeBreed);
        m_frame->OnContextMenu(View()->mapToGlobal(CellCentre(3)));
        QVERIFY(View()->ClipboardHasMorph());
    }

    // ---- triangle commands

    void triangleCornersLoadFromFiles() {
        QTemporaryDir dir;
        const QString good = dir.filePath("corner.bio");
        m_doc->m_pCurrent->SetGene(1, 250);
        QVERIFY(m_doc->SaveFile(good.toStdString()));
        const auto saved = Genes(*m_doc->m_pCurrent);
        QFile version2(dir.filePath("v2.bio"));
        QVERIFY(version2.open(QIODevice::WriteOnly));
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray bytes = in.readAll();
        bytes[20] = 2;  // the version's low byte
        version2.write(bytes);
        version2.close();

        QString next;
        m_dialogs.m_askOpenPath = [&](const QString&, const QString&, const QString&) {
            return next;
        };
        QVERIFY(!m_frame->RunCommand(ECommand::TriangleNewLeft));  // only in the triangle
        m_frame->RunCommand(ECommand::GeneSpace);
        m_doc->m_pCurrent->SetGene(1, -5);
        next = good;
        QVERIFY(m_frame->RunCommand(ECommand::TriangleNewLeft));
        QCOMPARE(Genes(*m_doc->m_pTriLeft), saved);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), -5);
        QCOMPARE(m_doc->Title(), std::string("Untitled"));

        const auto top = Genes(*m_doc->m_pTriTop);
        next = dir.filePath("v2.bio");
        m_frame->RunCommand(ECommand::TriangleNewTop);
        next = dir.filePath("missing.bio");
        m_frame->RunCommand(ECommand::TriangleNewTop);
        QCOMPARE(Genes(*m_doc->m_pTriTop), top);
        // Each refusal names the file and says why.
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(m_messages[0], "Could not load " + dir.filePath("v2.bio") +
                                    ".\n\nThis file is not compatible with\nQuorvale version 2.0b\n"
                                    "(it reads files of version 1)");
        QVERIFY2(m_messages[1].contains("missing.bio") && m_messages[1].contains("not found"),
                 qPrintable(m_messages[1]));
    }

    void geneSpaceStartsEmptyAndClearBlanksTheBar() {
        m_frame->RunCommand(ECommand::GeneSpace);
        QTest::mouseMove(View(), QPoint(300, 250));
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(300, 250));
        QCOMPARE(m_doc->m_listTrianglePoints.size(), size_t(1));
        m_frame->RunCommand(ECommand::GeneSpace);
        QVERIFY(m_doc->m_listTrianglePoints.empty());
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(200, 200));
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(m_doc->m_listTrianglePoints.size(), size_t(2));
        m_frame->RunCommand(ECommand::TriangleClear);
        QVERIFY(m_doc->m_listTrianglePoints.empty());
        QCOMPARE(Bar()->State().BoxText(1), std::string("0"));
        QCOMPARE(Bar()->State().BoxText(kGeneMirror), std::string(""));
    }

    void thePointerOverATriangleCornerShowsThatCorner() {
        m_frame->RunCommand(ECommand::GeneSpace);
        View()->ScreenImage();
        const SPoint top = View()->TriangleTop();
        QTest::mouseMove(View(), QPoint(top.x, top.y));
        QCOMPARE(Genes(*m_doc->m_pTriMorph), Genes(*m_doc->m_pTriTop));
        QCOMPARE(Bar()->State().m_nValue[14], m_doc->m_pTriTop->Gene(14));
    }

    // ---- family tree

    void familyTreeStartsFromTheCurrentMorph() {
        m_frame->RunCommand(ECommand::FamilyTree);
        QCOMPARE(m_doc->m_listFamilies.size(), size_t(1));
        CFamilyMorph* root = m_doc->m_listFamilies[0]->front().get();
        QCOMPARE(root->m_ptNode.x, View()->width() / 2);
        QCOMPARE(Genes(*root), Genes(*m_doc->m_pCurrent));
        // A lone root follows the current morph.
        m_doc->m_pCurrent->SetGene(2, 45);
        m_frame->RunCommand(ECommand::FamilyTree);
        QCOMPARE(m_doc->m_listFamilies[0]->front()->Gene(2), 45);
        QVERIFY(m_frame->Rule(ECommand::FamilyCreate).bChecked);
        SetMode(kModeBreed);
        QVERIFY(!m_frame->RunCommand(ECommand::FamilyDestroy));
        // Clear in Breed restarts the tree from the current morph at that moment.
        m_doc->m_pCurrent->SetGene(3, 55);
        m_frame->RunCommand(ECommand::FamilyClear);
        m_doc->m_pCurrent->SetGene(3, 60);
        QCOMPARE(m_doc->m_listFamilies[0]->front()->Gene(3), 55);
    }

    // Released above the view, dragged past its edge or left outside by a smaller window, a
    // node stays where the mouse can reach it.
    void familyNodesStayWithinReach() {
        m_frame->RunCommand(ECommand::FamilyTree);
        View()->ScreenImage();
        CFamilyMorph* root = m_doc->m_listFamilies[0]->front().get();
        const QPoint centre(root->m_ptNode.x, root->m_ptNode.y);
        QTest::mousePress(View(), Qt::LeftButton, {}, centre);
        QTest::mouseMove(View(), centre + QPoint(40, -100));
        QTest::mouseRelease(View(), Qt::LeftButton, {}, QPoint(centre.x() + 40, -60));
        QCOMPARE(root->m_Children.size(), size_t(1));
        CFamilyMorph* child = root->m_Children[0];
        QCOMPARE(child->m_ptNode, (SPoint{centre.x() + 40, 0}));
        QVERIFY(m_doc->FamilyNodeAt(child->m_ptNode.x, child->m_ptNode.y + 1) == child);
        // A smaller window (500 pixels, a projector's) brings the trees inside whole, each
        // node in its frame, as they were laid out relative to each other.
        const int oldRight = View()->width() - 60;
        QTest::mousePress(View(), Qt::LeftButton, {}, centre);
        QTest::mouseMove(View(), QPoint(oldRight, 300));
        QTest::mouseRelease(View(), Qt::LeftButton, {}, QPoint(oldRight, 300));
        QCOMPARE(root->m_Children.size(), size_t(2));
        View()->ScreenImage();
        const auto offsets = [root] {
            std::vector<SPoint> d;
            for (const CFamilyMorph* c : root->m_Children) {
                d.push_back({c->m_ptNode.x - root->m_ptNode.x, c->m_ptNode.y - root->m_ptNode.y});
            }
            return d;
        };
        const std::vector<SPoint> laidOut = offsets();
        m_frame->resize(500, m_frame->height());
        QTRY_VERIFY(View()->width() < oldRight);
        View()->ScreenImage();
        QCOMPARE(offsets(), laidOut);
        for (const auto& node : *m_doc->m_listFamilies[0]) {
            const SRect frame = node->m_rcBounds.Inflated(10);
            QVERIFY2(frame.left >= 0 && frame.right < View()->width() && frame.top >= 0 &&
                         frame.bottom < View()->height(),
                     "a node's frame is outside the view");
            QCOMPARE(m_doc->FamilyNodeAt(node->m_ptNode.x, node->m_ptNode.y), node.get());
        }
    }

    void familyCreateDragDestroyAndCut() {
        m_frame->RunCommand(ECommand::FamilyTree);
        View()->ScreenImage();
        CFamilyMorph* root = m_doc->m_listFamilies[0]->front().get();
        const QPoint centre(root->m_ptNode.x, root->m_ptNode.y);
        const size_t fossils = m_doc->m_listFossils.size();
        // Create: press in the root's box, release on empty space.
        QTest::mousePress(View(), Qt::LeftButton, {}, centre);
        QTest::mouseMove(View(), centre + QPoint(60, 100));
        QTest::mouseRelease(View(), Qt::LeftButton, {}, centre + QPoint(150, 150));
        QCOMPARE(root->m_Children.size(), size_t(1));
        CFamilyMorph* child = root->m_Children[0];
        QCOMPARE(child->m_ptNode, (SPoint{centre.x() + 150, centre.y() + 150}));
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
        View()->ScreenImage();
        // A release over a node creates nothing.
        QTest::mousePress(View(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(View(), Qt::LeftButton, {}, centre);
        QCOMPARE(root->m_Children.size(), size_t(1));
        // Drag the child by its frame.
        const SRect frame = child->m_rcBounds.Inflated(10);
        const QPoint grip(frame.left, (frame.top + frame.bottom) / 2);
        QTest::mousePress(View(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(View(), grip + QPoint(-30, 20));
        QTest::mouseRelease(View(), Qt::LeftButton, {}, grip + QPoint(-40, 20));
        QCOMPARE(child->m_ptNode, (SPoint{centre.x() + 110, centre.y() + 170}));
        View()->ScreenImage();
        // Destroy: the only tree's root is refused with a beep.
        m_frame->RunCommand(ECommand::FamilyDestroy);
        int beeps = 0;
        QObject::connect(View(), &CQuorvaleView::beepRequested, View(), [&] { ++beeps; });
        QTest::mouseClick(View(), Qt::LeftButton, {}, centre);
        QCOMPARE(beeps, 1);
        QCOMPARE(m_doc->m_listFamilies[0]->size(), size_t(2));
        // Cut the link in its middle: the child becomes a tree of its own.
        const SPoint c = child->m_ptNode;
        const QPoint middle((centre.x() + c.x) / 2, (centre.y() + c.y) / 2);
        QTest::mouseClick(View(), Qt::LeftButton, {}, middle);
        QCOMPARE(m_doc->m_listFamilies.size(), size_t(2));
        QVERIFY(child->m_pParent == nullptr);
        QVERIFY(root->m_Children.empty());
        // Now a root of one of two trees can go.
        View()->ScreenImage();
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(c.x, c.y));
        QCOMPARE(m_doc->m_listFamilies.size(), size_t(1));
        QCOMPARE(beeps, 1);
    }

    // A gesture held in the family tree ends with any change of mode, so no pointer to a
    // node outlives File > New, which deletes the trees.
    void familyGestureEndsWithTheMode() {
        m_frame->RunCommand(ECommand::FamilyTree);
        View()->ScreenImage();
        CFamilyMorph* root = m_doc->m_listFamilies[0]->front().get();
        const QPoint centre(root->m_ptNode.x, root->m_ptNode.y);
        QTest::mousePress(View(), Qt::LeftButton, {}, centre);
        QVERIFY(View()->IsCreatingChild());
        m_frame->RunCommand(ECommand::FileNew);
        QVERIFY(!View()->IsCreatingChild());
        QTest::mouseRelease(View(), Qt::LeftButton, {}, centre + QPoint(100, 100));
        m_frame->RunCommand(ECommand::FamilyTree);
        QTest::mouseMove(View(), centre + QPoint(120, 90));
        QCOMPARE(m_doc->m_listFamilies.size(), size_t(1));
        QCOMPARE(m_doc->m_listFamilies[0]->size(), size_t(1));
    }

    void autoRepeatStopsWhenEditingEnds() {
        SetMode(kModeEngineer);
        Bar()->m_nFirstDelay = 50;
        Bar()->m_nRepeatPeriod = 20;
        QTest::mousePress(Bar(), Qt::LeftButton, {}, BoxCentre(2));
        for (int i = 0; i < 4; ++i) {
            m_clock.Advance(30);
            Bar()->AutoRepeatTick();
        }
        m_frame->RunCommand(ECommand::FileNew);
        const int32_t gene = m_doc->m_pCurrent->Gene(2);
        for (int i = 0; i < 4; ++i) {
            m_clock.Advance(30);
            Bar()->AutoRepeatTick();
        }
        QCOMPARE(m_doc->m_pCurrent->Gene(2), gene);
        QVERIFY(QWidget::mouseGrabber() != Bar());
        QTest::mouseRelease(Bar(), Qt::LeftButton, {}, BoxCentre(2));
    }

    void pointHelpTwiceLeavesNoCursorBehind() {
        QTest::keyClick(m_frame.get(), Qt::Key_F1, Qt::ShiftModifier);
        QTest::keyClick(m_frame.get(), Qt::Key_F1, Qt::ShiftModifier);
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, QPoint(Bar()->width() - 5, 5));
        QCOMPARE(m_helpTopics, QList<int>{1503});
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void escapeOutsideTheRevealLeavesRepeatOn() {
        SetMode(kModeEngineer);
        QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(100, 100));
        Bar()->SetRepeatChecked(true);
        QTest::keyClick(View(), Qt::Key_Escape);
        QVERIFY(Bar()->IsRepeatChecked());
    }

    void onlyPressesOnTheFrameItselfUseUpTheSkip() {
        View()->SetSkipClick(true);
        QTest::mouseClick(View(), Qt::RightButton, {}, CellCentre(2));
        QVERIFY(View()->SkipsClick());
        const auto parent = Genes(*m_doc->m_pCurrent);
        QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(2));
        QCOMPARE(Genes(*m_doc->m_pCurrent), parent);
        QVERIFY(!View()->SkipsClick());
    }

    // ---- printing

    // The picture is drawn on the page at the page's resolution, as large as fits.
    void printScaleStretchesThePictureToThePage() {
        const int w = View()->width();
        const int h = View()->height();
        QImage page(6 * w, 6 * h, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        View()->OnDrawPrinter(painter, QRect(0, 0, 6 * w, 6 * h));
        painter.end();
        const int colW = View()->Grid().CellWidth();
        QCOMPARE(page.pixelColor(colW * 6 - 3, 40), kGrid);
        QCOMPARE(page.pixelColor((colW + 1) * 6 + 3, 40), QColor(Qt::black));
        QCOMPARE(page.pixelColor((colW + 2) * 6 + 3, 40), QColor(Qt::white));
    }

    void fossilHistoryPrintsAPageOfCellsEach() {
        for (int i = 0; i < 39; ++i) {
            View()->RecordFossil(*m_doc->m_pCurrent);
        }
        QCOMPARE(m_doc->m_listFossils.size(), size_t(40));
        SetMode(kModeFossils);
        QCOMPARE(View()->PrintPageCount(), 3);
        SetMode(kModeBreed);
        QCOMPARE(View()->PrintPageCount(), 1);
        SetMode(kModeFossils);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("fossils.pdf"));
        QVERIFY(m_frame->PrintOn(printer, 1, 3));
        // The last printed page is the one the screen now shows: fossils 31 to 40.
        QCOMPARE(View()->FirstFossil(), 30);
        QVERIFY(QFileInfo(dir.filePath("fossils.pdf")).size() > 1000);
        const QImage& screen = View()->ScreenImage();
        const SRect empty = View()->Grid().CellRect(12);
        QCOMPARE(screen.pixelColor((empty.left + empty.right) / 2, (empty.top + empty.bottom) / 2),
                 kGrid);
    }

    void clicksDuringTheRevealAreDropped() {
        const auto chosen = Genes(*m_doc->m_listOffspring[2]);
        const QPoint cell0 = CellCentre(0);
        QApplication::postEvent(
            View(), new QMouseEvent(QEvent::MouseButtonPress, cell0, View()->mapToGlobal(cell0),
                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        View()->BreedFromCell(2);
        QCoreApplication::processEvents();
        QCOMPARE(Genes(*m_doc->m_pCurrent), chosen);
    }
};

QTEST_MAIN(CWindowTest)
#include "WindowTest.moc"
