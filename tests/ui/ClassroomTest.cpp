// What helps a class: the gene bar names every gene and gradient in a tip and to a screen
// reader, a .bio file can be dropped on the window, and the first start's hint says how to
// begin until the first click.
#include <QContextMenuEvent>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUrl>
#include <QWhatsThis>
#include <QtTest>
#include <memory>

#include "document/BioFile.h"
#include "document/ClipboardRecord.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "support/TestWindow.h"
#include "view/MorphDrag.h"
#include "view/PictureLimits.h"
#include "view/QuorvaleView.h"

using Genes = std::array<int32_t, kGeneCount>;
Q_DECLARE_METATYPE(Genes)

class CClassroomTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeClock m_clock;
    CFakeDialogs m_dialogs;

    CGeneBar* Bar() { return m_frame->GeneBar(); }
    CQuorvaleView* View() { return m_frame->View(); }

    // A point of the bar over the control with the given id.
    QPoint PointOf(int id) {
        for (int y = 0; y < Bar()->height(); ++y) {
            for (int x = 0; x < Bar()->width(); ++x) {
                if (Bar()->ControlIdAt(QPoint(x, y)) == id) {
                    return QPoint(x + 3, y + 3);
                }
            }
        }
        return QPoint(-1, -1);
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(3);
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = MakeTestWindow(*m_doc, m_clock, m_dialogs);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    void cleanup() {
        QToolTip::hideText();
        m_frame.reset();
        m_doc.reset();
    }

    void everyGeneBoxAndGradientShowsItsTip_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("tip");
        QTest::addRow("box of gene 9")
            << CGeneBar::kFirstBoxId + 8
            << QString::fromUtf8("Gene 9: depth of branching (1\u20139)");
        QTest::addRow("box of gene 1") << CGeneBar::kFirstBoxId << GeneTip(1);
        QTest::addRow("gradient of gene 4") << CGeneBar::kFirstPictureId + 3 << GradientTip(4);
    }
    void everyGeneBoxAndGradientShowsItsTip() {
        QFETCH(int, id);
        QFETCH(QString, tip);
        for (int mode : {kModeBreed, kModeEngineer}) {
            m_frame->RunCommand(mode == kModeBreed ? ECommand::Breed : ECommand::Engineer);
            const QPoint at = PointOf(id);
            QVERIFY(at.x() >= 0);
            QToolTip::hideText();
            QHelpEvent help(QEvent::ToolTip, at, Bar()->mapToGlobal(at));
            QApplication::sendEvent(Bar(), &help);
            QTRY_VERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), tip);
        }
        // A screen reader hears the same line.
        bool bNamed = false;
        for (QWidget* child : Bar()->findChildren<QWidget*>()) {
            bNamed |= child->accessibleName() == tip;
        }
        QVERIFY(bNamed);
    }

    // A value too long for its box is never shown as another number: the box shows its start
    // and an ellipsis, and the tip and a screen reader give it whole. A short one shows whole.
    void aLongGeneValueIsCutVisiblyAndGivenWholeInTheTip_data() {
        QTest::addColumn<int>("gene");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("cut");
        QTest::addRow("ten digits") << int(kGeneSegmentDistance) << 1234567890 << true;
        QTest::addRow("most negative") << 1 << int(INT32_MIN) << true;
        QTest::addRow("short") << 1 << -40 << false;
    }
    void aLongGeneValueIsCutVisiblyAndGivenWholeInTheTip() {
        QFETCH(int, gene);
        QFETCH(int, value);
        QFETCH(bool, cut);
        m_frame->RunCommand(ECommand::Engineer);
        m_doc->m_pCurrent->SetGene(gene, value);
        Bar()->ShowGenes(m_doc->m_pCurrent.get());
        auto* box = static_cast<CGeneBox*>(Bar()->Box(gene));
        const QString whole = QString::number(value);
        QCOMPARE(box->Text(), whole);
        const QString shown = box->ShownText();
        QVERIFY(QFontMetrics(box->font()).horizontalAdvance(shown) <= box->contentsRect().width());
        QCOMPARE(box->accessibleDescription(), whole);
        QToolTip::hideText();
        const QPoint at = box->geometry().center();
        QHelpEvent help(QEvent::ToolTip, at, Bar()->mapToGlobal(at));
        QApplication::sendEvent(Bar(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        if (cut) {
            QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
            QVERIFY(whole.startsWith(shown.chopped(1)));
            QVERIFY2(QToolTip::text().startsWith(GeneTip(gene)), qPrintable(QToolTip::text()));
            QVERIFY2(QToolTip::text().contains(whole), qPrintable(QToolTip::text()));
        } else {
            QCOMPARE(shown, whole);
            QCOMPARE(QToolTip::text(), GeneTip(gene));
        }
    }

    // The keyboard steps a gene exactly as a click on its box does: Up or + as the left
    // button, Down or - as the right, Tab and the side arrows from gene to gene.
    void theKeyboardStepsAGeneAsAClickDoes() {
        m_frame->RunCommand(ECommand::Engineer);
        auto setGene = [this](int k, int v) {
            m_doc->m_pCurrent->SetGene(k, v);
            Bar()->ShowGenes(m_doc->m_pCurrent.get());
        };
        struct SCase {
            int gene;
            int start;
            Qt::Key key;
            Qt::MouseButton button;
        };
        const SCase cases[] = {{1, -10, Qt::Key_Up, Qt::LeftButton},
                               {2, -10, Qt::Key_Down, Qt::RightButton},
                               {9, 5, Qt::Key_Plus, Qt::LeftButton},
                               {9, 1, Qt::Key_Minus, Qt::RightButton}};
        for (const SCase& c : cases) {
            setGene(c.gene, c.start);
            QTest::mouseClick(Bar(), c.button, {}, PointOf(CGeneBar::kFirstBoxId + c.gene - 1));
            const int clicked = m_doc->m_pCurrent->Gene(c.gene);
            setGene(c.gene, c.start);
            Bar()->clearFocus();
            Bar()->setFocus(Qt::TabFocusReason);
            // To the first gene (the arrows stop there), then along to this one.
            for (int k = 0; k < kGeneCount; ++k) {
                QTest::keyClick(Bar(), Qt::Key_Left);
            }
            for (int k = 1; k < c.gene; ++k) {
                QTest::keyClick(Bar(), k % 2 ? Qt::Key_Tab : Qt::Key_Right);
            }
            QVERIFY(Bar()->hasFocus());
            QTest::keyClick(Bar(), c.key);
            QCOMPARE(m_doc->m_pCurrent->Gene(c.gene), clicked);
        }
        // In Breed mode the bar takes no edits, from the mouse or the keyboard.
        m_frame->RunCommand(ECommand::Breed);
        const int bred = m_doc->m_pCurrent->Gene(1);
        Bar()->clearFocus();
        Bar()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Bar(), Qt::Key_Up);
        QCOMPARE(m_doc->m_pCurrent->Gene(1), bred);
    }

    // A .bio file dropped on the window opens (asking first about unsaved changes); dropped
    // over a triangle corner it loads that corner, and the document stays.
    void aDroppedFileOpensOrLoadsACorner() {
        QTemporaryDir dir;
        const QString file = dir.filePath("dropped.bio");
        CQuorvaleDoc writer;
        writer.OnNewDocument();
        writer.m_pCurrent->SetGene(2, 155);
        QVERIFY(writer.SaveFile(file.toStdString()));
        auto drop = [&](QPoint at) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            const QPointF pos = m_frame->View()->mapTo(m_frame.get(), at);
            QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(m_frame.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_frame.get(), &event);
        };
        m_frame->RunCommand(ECommand::GeneSpace);
        m_frame->View()->ScreenImage();
        const int before = m_doc->m_pCurrent->Gene(2);
        const SPoint left = m_frame->View()->TriangleLeft();
        drop(QPoint(left.x + 5, left.y - 5));
        QCOMPARE(m_doc->m_pTriLeft->Gene(2), 155);
        QCOMPARE(m_doc->m_pCurrent->Gene(2), before);
        // Away from the corners, and in any other mode, the file opens.
        m_frame->RunCommand(ECommand::Breed);
        drop(QPoint(30, 30));
        QCOMPARE(m_doc->m_pCurrent->Gene(2), 155);
        // With unsaved changes the question comes first, and Cancel keeps the document.
        m_doc->m_pCurrent->SetGene(2, -35);
        m_dialogs.m_saveChanges = IFrameDialogs::ESaveChanges::Cancel;
        drop(QPoint(30, 30));
        QCOMPARE(m_doc->m_pCurrent->Gene(2), -35);
        QVERIFY(!m_dialogs.m_questions.isEmpty());
    }

    // F11 fills the screen and gives the window back as it was; the menu item says which.
    void fullScreenAndBack() {
        m_frame->showMaximized();
        QVERIFY(!m_frame->isFullScreen());
        QTest::keyClick(m_frame.get(), Qt::Key_F11);
        QTRY_VERIFY(m_frame->isFullScreen());
        SCommandState state;
        state.bFullScreen = true;
        QVERIFY(RuleFor(ECommand::ViewFullScreen, state).bChecked);
        QTest::keyClick(m_frame.get(), Qt::Key_F11);
        QTRY_VERIFY(!m_frame->isFullScreen());
        QVERIFY(m_frame->isMaximized());
    }

    void theFirstHintStaysUntilTheFirstClick() {
        const QString idle = m_frame->IdlePrompt()->text();
        QSignalSpy done(m_frame.get(), &CMainFrame::firstHintDone);
        m_frame->ShowFirstHint();
        QCOMPARE(m_frame->IdlePrompt()->text(),
                 QStringLiteral("Click the creature you like best to breed from it"));
        // Menus and the gene bar leave it; a click in the view ends it, once.
        m_frame->RunCommand(ECommand::Engineer);
        m_frame->RunCommand(ECommand::Breed);
        QVERIFY(m_frame->IsShowingFirstHint());
        QTest::mouseClick(m_frame->View(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(m_frame->IdlePrompt()->text(), idle);
        QCOMPARE(done.count(), 1);
        QTest::mouseClick(m_frame->View(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(done.count(), 1);
        // Enter, the keyboard's click, ends it as well; the arrow keys only look.
        m_frame->ShowFirstHint();
        QTest::keyClick(m_frame->View(), Qt::Key_Left);
        QVERIFY(m_frame->IsShowingFirstHint());
        QTest::keyClick(m_frame->View(), Qt::Key_Return);
        QVERIFY(!m_frame->IsShowingFirstHint());
    }

    // A morph dragged out carries itself as a .bio file, a PNG file and picture, and the
    // program's own record, each of them the morph of the cell.
    void aDraggedMorphCarriesItsFileAndPicture() {
        m_frame->RunCommand(ECommand::Breed);
        CBioMorph& child = *m_doc->m_listOffspring[2];
        std::unique_ptr<QMimeData> data(View()->MorphDrag().MimeFor(child));
        QVERIFY(data);
        const QList<QUrl> urls = data->urls();
        QCOMPARE(urls.size(), 2);
        QVERIFY(urls[0].toLocalFile().endsWith(".bio"));
        QVERIFY(urls[1].toLocalFile().endsWith(".png"));
        QFile bio(urls[0].toLocalFile());
        QVERIFY(bio.open(QIODevice::ReadOnly));
        const QByteArray bytes = bio.readAll();
        CBioMorph read;
        QCOMPARE(DecodeBioFile(reinterpret_cast<const uint8_t*>(bytes.data()),
                               static_cast<size_t>(bytes.size()), read),
                 EBioLoad::Ok);
        QCOMPARE(read.GetGenes(), child.GetGenes());
        const QImage png(urls[1].toLocalFile());
        QVERIFY(!png.isNull());
        QCOMPARE(png.convertToFormat(QImage::Format_RGB32),
                 View()->MorphPicture(child, 1).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), png.size());
        const QByteArray record = data->data(CMorphDrag::kMimeType);
        const std::vector<uint8_t> expected = EncodeClipboardBlock(child);
        QCOMPARE(record, QByteArray(reinterpret_cast<const char*>(expected.data()),
                                    static_cast<qsizetype>(expected.size())));
    }

    // A dragged morph's picture and PNG file are the size of a picture to know it by, however
    // large the morph is drawn: the whole morph, centred, never a picture of the zoomed morph
    // (one of the largest at 4x would be 32000 pixels a side).
    void aDraggedMorphsPictureIsSmallAndWhole_data() {
        QTest::addColumn<Genes>("genes");
        QTest::addColumn<int>("zoom");
        const Genes huge = {400, 400, 400, 400, 400, 400, 400, 400, 9, 9,
                            100, 1,   2,   400, 3,   10,  10,  10,  10};
        const Genes medium = {-40, 30, 20, -20, 20, -10, -20, -20, 6, 2,
                              40,  0,  0,  200, 0,  1,   2,   1,   0};
        QTest::addRow("huge at 4x") << huge << 4;
        QTest::addRow("huge at 1x") << huge << 1;
        QTest::addRow("medium at 4x") << medium << 4;
    }
    void aDraggedMorphsPictureIsSmallAndWhole() {
        QFETCH(Genes, genes);
        QFETCH(int, zoom);
        m_frame->RunCommand(ECommand::Engineer);
        View()->SetZoom(zoom);
        CBioMorph morph;
        morph.SetGenes(genes);
        std::unique_ptr<QMimeData> data(View()->MorphDrag().MimeFor(morph));
        QVERIFY(data);
        const QImage picture = qvariant_cast<QImage>(data->imageData());
        QVERIFY2(picture.width() <= kDragPictureSide && picture.height() <= kDragPictureSide,
                 qPrintable(QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height())));
        QCOMPARE(QImage(data->urls()[1].toLocalFile()).size(), picture.size());
        // Whole and centred: ink on each side of the middle, none on the picture's edge, and
        // the margins on opposite sides alike.
        QRect ink;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (qGray(picture.pixel(x, y)) < 200) {
                    ink |= QRect(x, y, 1, 1);
                }
            }
        }
        QVERIFY(!ink.isEmpty());
        QVERIFY(ink.left() > 0 && ink.top() > 0);
        QVERIFY(ink.right() < picture.width() - 1 && ink.bottom() < picture.height() - 1);
        QVERIFY(std::abs(ink.left() - (picture.width() - 1 - ink.right())) <= 3);
        QVERIFY(std::abs(ink.top() - (picture.height() - 1 - ink.bottom())) <= 3);
        // As large as fits: the longer side of the morph fills the picture but for its margin.
        QVERIFY(std::max(ink.width(), ink.height()) >
                std::max(picture.width(), picture.height()) * 8 / 10);
    }

    // Ctrl held at the press holds it back for a drag: nothing is bred until the release,
    // and a release without a drag is the click it would have been.
    void ctrlClickWithoutADragIsAClick() {
        m_frame->RunCommand(ECommand::Breed);
        const auto child = m_doc->m_listOffspring[3]->GetGenes();
        const auto parent = m_doc->m_pCurrent->GetGenes();
        const SRect r = View()->CellRect(3);
        const QPoint at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QTest::mousePress(View(), Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), parent);
        QVERIFY(View()->MorphDrag().IsPending());
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), child);
        QVERIFY(!View()->MorphDrag().IsPending());
        // Where there is no morph, Ctrl changes nothing: the press goes to the mode at once.
        m_frame->RunCommand(ECommand::GeneSpace);
        QTest::mousePress(View(), Qt::LeftButton, Qt::ControlModifier, QPoint(300, 300));
        QVERIFY(!View()->MorphDrag().IsPending());
        QCOMPARE(m_doc->m_listTrianglePoints.size(), size_t{1});
        QTest::mouseRelease(View(), Qt::LeftButton, Qt::ControlModifier, QPoint(300, 300));
    }

    // The cell the window marks for the keyboard (over the screen picture), or -1.
    int MarkedCell() {
        const QImage shown = View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int cell = 0; cell < View()->Rows() * View()->Cols(); ++cell) {
            const SRect r = View()->CellRect(cell);
            for (int x = r.left; x < r.right; ++x) {
                if (shown.pixel(x, r.top + 4) == qRgb(0, 102, 204)) {
                    return cell;
                }
            }
        }
        return -1;
    }

    // A student without a mouse breeds with the arrow keys and Enter, as a click would; the
    // mark lives on the window only, never in the picture that is copied or printed.
    void theKeyboardBreedsFromAMarkedCell() {
        m_frame->RunCommand(ECommand::Breed);
        View()->setFocus();
        const QImage before = View()->ScreenImage().copy();
        QCOMPARE(MarkedCell(), -1);
        // From the parent's cell (the middle of 5 by 3): left, then up and left beyond the edge.
        QTest::keyClick(View(), Qt::Key_Left);
        QCOMPARE(MarkedCell(), 6);
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}) {
            QTest::keyClick(View(), key);
        }
        QCOMPARE(MarkedCell(), 0);
        QCOMPARE(View()->ScreenImage(), before);
        QCOMPARE(Bar()->State().Genome(), m_doc->m_listOffspring[0]->GetGenes());

        const auto parent = m_doc->m_pCurrent->GetGenes();
        const auto chosen = m_doc->m_listOffspring[0]->GetGenes();
        const size_t fossils = m_doc->m_listFossils.size();
        QTest::keyClick(View(), Qt::Key_Return);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), chosen);
        QCOMPARE(m_doc->m_listFossils.size(), fossils + 1);
        QCOMPARE(MarkedCell(), View()->ParentCell());
        // One step to undo, like the click.
        QTest::keyClick(m_frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), parent);

        // A held Enter breeds once, not once per repeat.
        const auto now = m_doc->m_pCurrent->GetGenes();
        QTest::keyClick(View(), Qt::Key_Right);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(View(), &repeat);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), now);
        // Nor does Enter breed while Repeat runs, as a click does not.
        const int marked = MarkedCell();
        Bar()->SetRepeatChecked(true);
        QTest::keyClick(View(), Qt::Key_Return);
        Bar()->SetRepeatChecked(false);
        QCOMPARE(m_doc->m_pCurrent->GetGenes(), now);
        QCOMPARE(MarkedCell(), marked);
        // The mouse takes over: the mark goes.
        QTest::mouseClick(View(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(MarkedCell(), -1);
    }

    // What's This over a gene box or gradient picture shows the help's own words on it.
    void whatsThisExplainsAGeneFromTheHelp() {
        const QString gene = GeneWhatsThis(9);
        QVERIFY2(gene.contains("levels of branching"), qPrintable(gene));
        QVERIFY(!gene.contains("<img"));
        QVERIFY(!gene.contains("Gradient."));
        QVERIFY(GradientWhatsThis(9).contains("two levels deeper"));
        QVERIFY(GeneWhatsThis(19).contains("tapering"));
        m_frame->RunCommand(ECommand::Engineer);
        const QPoint box = PointOf(CGeneBar::kFirstBoxId + 8);
        QHelpEvent query(QEvent::QueryWhatsThis, box, Bar()->mapToGlobal(box));
        QVERIFY(QApplication::sendEvent(Bar(), &query));
        QHelpEvent nowhere(QEvent::QueryWhatsThis, QPoint(Bar()->width() - 2, 1),
                           Bar()->mapToGlobal(QPoint(Bar()->width() - 2, 1)));
        QVERIFY(!QApplication::sendEvent(Bar(), &nowhere) || !nowhere.isAccepted());
        QHelpEvent show(QEvent::WhatsThis, box, Bar()->mapToGlobal(box));
        QApplication::sendEvent(Bar(), &show);
        QTRY_VERIFY([] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && QString(w->metaObject()->className()) == "QWhatsThat") {
                    return true;
                }
            }
            return false;
        }());
        QWhatsThis::hideText();
    }

    // The keyboard alone: the arrows and Tab go along the boxes as they stand on the bar
    // (gene 11, then 14, the symmetry boxes last), Space cycles the marked gene's gradient as a
    // click on its picture does, and a menu command gives the keyboard back to the view.
    void theKeyboardReachesEveryPartOfTheBar() {
        m_frame->RunCommand(ECommand::Engineer);
        Bar()->clearFocus();
        Bar()->setFocus(Qt::TabFocusReason);
        QVERIFY(Bar()->hasFocus());
        for (int k = 1; k < 11; ++k) {
            QTest::keyClick(Bar(), Qt::Key_Right);
        }
        const auto stepped = [this] {
            const auto before = m_doc->m_pCurrent->GetGenes();
            QTest::keyClick(Bar(), Qt::Key_Down);
            const auto after = m_doc->m_pCurrent->GetGenes();
            for (int g = 0; g < kGeneCount; ++g) {
                if (before[g] != after[g]) {
                    return g + 1;
                }
            }
            return 0;
        };
        QCOMPARE(stepped(), 11);
        QTest::keyClick(Bar(), Qt::Key_Tab);
        QCOMPARE(stepped(), 14);
        for (int k = 0; k < 6; ++k) {
            QTest::keyClick(Bar(), Qt::Key_Right);
        }
        // Past gene 19 come the mirror and the rotation boxes, whose steps switch their text.
        QCOMPARE(stepped(), 12);

        for (int k = 0; k < kGeneCount; ++k) {
            QTest::keyClick(Bar(), Qt::Key_Left);
        }
        const int gradient = m_doc->m_pCurrent->Gradient(1);
        QTest::keyClick(Bar(), Qt::Key_Space);
        QVERIFY(m_doc->m_pCurrent->Gradient(1) != gradient);
        m_frame->Action(ECommand::EditUndo)->trigger();
        QCOMPARE(m_doc->m_pCurrent->Gradient(1), gradient);
        QVERIFY(View()->hasFocus());
        Bar()->setFocus(Qt::TabFocusReason);
        m_frame->Action(ECommand::Breed)->trigger();
        QVERIFY(View()->hasFocus());
    }

    // The menu key opens the context menu of the cell the keyboard marks, and its commands
    // act on that cell's creature.
    void theMenuKeyOpensTheMarkedCellsMenu() {
        View()->setFocus();
        QTest::keyClick(View(), Qt::Key_Right);
        QTest::keyClick(View(), Qt::Key_Right);
        QTest::keyClick(View(), Qt::Key_Up);
        QPoint asked;
        m_dialogs.m_execContextMenu = [&asked](QMenu*, const QPoint& at) -> QAction* {
            asked = at;
            return nullptr;
        };
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
        QApplication::sendEvent(View(), &menuKey);
        const int cell = View()->ParentCell() + 2 - View()->Cols();
        QVERIFY(View()->CellMorph(cell) != nullptr);
        QCOMPARE(View()->MorphAt(View()->mapFromGlobal(asked)), View()->CellMorph(cell));
        QCOMPARE(View()->MorphAt(View()->mapFromGlobal(View()->ContextMenuPoint())),
                 View()->CellMorph(cell));
    }

    // A click on the bar edits without taking the keyboard from the view (Space still
    // mutates); with the keyboard already in the bar, the mark goes to the gene clicked; Tab
    // comes into the bar at its first gene.
    void theBarTakesTheKeyboardOnlyFromTab() {
        m_frame->RunCommand(ECommand::Engineer);
        View()->setFocus();
        QTRY_VERIFY(View()->hasFocus());
        QTest::mouseClick(Bar(), Qt::LeftButton, {}, PointOf(CGeneBar::kFirstBoxId));
        QVERIFY(View()->hasFocus());

        Bar()->setFocus(Qt::TabFocusReason);
        const int seven = m_doc->m_pCurrent->Gene(7);
        const int three = m_doc->m_pCurrent->Gene(3);
        QTest::mouseClick(Bar(), Qt::RightButton, {}, PointOf(CGeneBar::kFirstBoxId + 6));
        QTest::keyClick(Bar(), Qt::Key_Up);
        // Down a step by the click, up a step by the key: gene 7 is back, gene 3 untouched.
        QCOMPARE(m_doc->m_pCurrent->Gene(7), seven);
        QCOMPARE(m_doc->m_pCurrent->Gene(3), three);

        View()->setFocus(Qt::TabFocusReason);
        const int one = m_doc->m_pCurrent->Gene(1);
        Bar()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Bar(), Qt::Key_Up);
        QVERIFY(m_doc->m_pCurrent->Gene(1) != one);
    }
};

QTEST_MAIN(CClassroomTest)
#include "ClassroomTest.moc"
