// The input guard of the breeding animation: what arrives while a step animates is dropped,
// acted on at once (Esc) or held and handed on afterwards, in order.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "view/AnimationInputGuard.h"

class CAnimationGuardTest : public QObject {
    Q_OBJECT

    // A window with the animated area and a text field beside it.
    struct SWindow {
        QWidget window;
        QPushButton* animated = new QPushButton("animated", &window);
        QLineEdit* field = new QLineEdit(&window);
    };

    std::unique_ptr<SWindow> MakeWindow() {
        auto w = std::make_unique<SWindow>();
        w->animated->setGeometry(0, 0, 100, 100);
        w->field->setGeometry(0, 110, 100, 20);
        w->window.resize(120, 140);
        w->window.show();
        if (!QTest::qWaitForWindowExposed(&w->window)) {
            return nullptr;
        }
        return w;
    }

private slots:
    void aCloseRequestWaitsForTheEndOfTheStep() {
        auto w = MakeWindow();
        QVERIFY(w);
        {
            const CAnimationInputGuard guard(w->animated, {});
            QVERIFY(!w->window.close());
            QVERIFY(w->window.isVisible());
            QCOMPARE(guard.HeldCount(), size_t(1));
        }
        QTRY_VERIFY(!w->window.isVisible());
    }

    void keysAreHeldAndHandedOnInOrder() {
        auto w = MakeWindow();
        QVERIFY(w);
        w->field->setFocus();
        {
            const CAnimationInputGuard guard(w->animated, {});
            QTest::keyClicks(w->field, "ab");
            QCOMPARE(w->field->text(), QString());
        }
        QTRY_COMPARE(w->field->text(), QString("ab"));
    }

    void clicksOnTheAnimatedAreaAreDroppedAndEscapeActsAtOnce() {
        auto w = MakeWindow();
        QVERIFY(w);
        int escapes = 0;
        QSignalSpy clicked(w->animated, &QPushButton::clicked);
        {
            const CAnimationInputGuard guard(w->animated, [&] { ++escapes; });
            QTest::mouseClick(w->animated, Qt::LeftButton, {}, QPoint(50, 50));
            // Enter on the animated area is its click from the keyboard: dropped too.
            QTest::keyClick(w->animated, Qt::Key_Return);
            QTest::keyClick(w->animated, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::keyPress(w->field, Qt::Key_Escape);
            QCOMPARE(escapes, 1);
            QCOMPARE(guard.HeldCount(), size_t(2));  // the two releases, which do nothing
        }
        QCoreApplication::processEvents();
        QCOMPARE(escapes, 1);
        QCOMPARE(clicked.count(), 0);
    }
};

QTEST_MAIN(CAnimationGuardTest)
#include "AnimationGuardTest.moc"
