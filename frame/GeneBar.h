#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "frame/GeneBarState.h"
#include "frame/GeneBox.h"
#include "platform/GeneHelp.h"
#include "view/Clock.h"
#include "view/GeneBarControls.h"

using CGeneValues = std::array<int32_t, kGeneCount>;

// The strip along the top of the window: one box per gene with its gradient picture above,
// the Repeat box and the Hopeful button. It shows what it is told and, in Engineer mode,
// edits the current morph's genome through the frame (its signals); its buttons are the
// frame's commands.

class CGeneBar : public QWidget, public IGeneDisplay, public IGeneBarControls {
    Q_OBJECT

public:
    // Control ids, also the keys of point-and-click help.
    static constexpr int kFirstBoxId = 11024;
    static constexpr int kFirstPictureId = 11086;
    static constexpr int kRepeatId = 1056;
    static constexpr int kHopefulId = 1055;
    static constexpr int kBarId = 138;  // the bar itself, between its controls

    explicit CGeneBar(QWidget* parent = nullptr);
    ~CGeneBar() override;

    // IGeneDisplay
    void ShowGenes(const CBioMorph* morph) override;
    void ClearGenes() override;
    void RefreshIndicators() override;
    void ShowSpecialGeneBoxes() override;
    // IGeneBarControls
    void SetRepeatChecked(bool bChecked) override;
    bool IsRepeatChecked() const override;
    void SetEditable(bool bEditable) override {
        m_bEditable = bEditable;
        if (!bEditable) {
            StopAutoRepeat();
        }
    }
    void ShowHopeful(bool bShown) override;
    void ShowRepeat(bool bShown) override;
    void EnableRepeat(bool bEnabled) override;
    bool IsRepeatEnabled() const override;

    void SetIndicator(int k);
    bool ApplyClick(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers flags);
    void StepGene(int k, Qt::MouseButton button, Qt::KeyboardModifiers flags);
    void CycleGradient(int k);
    void StartAutoRepeat();
    void StopAutoRepeat();
    // A held press steps again after a first delay, then once a period, timed by the clock
    // (the view's, so tests run it on theirs). The timer only asks; the clock decides.
    void SetClock(IClock* clock) { m_pClock = clock ? clock : &m_systemClock; }
    void AutoRepeatTick();
    // Places the pictures over their boxes.
    void LayoutPictures();

    const CGeneBarState& State() const { return m_state; }
    bool IsEditable() const { return m_bEditable; }
    QWidget* Box(int k) const;
    // The tip of a gene's box: what the gene does, and why it is greyed if it is.
    QString BoxTip(int k) const;
    QWidget* Picture(int k) const;
    QPushButton* RepeatButton() const { return m_pRepeat; }
    QPushButton* HopefulButton() const { return m_pHopeful; }
    // The id of the control under a point of the bar, 0 for none (point-and-click help).
    int ControlIdAt(QPoint point) const;
    // The What's This text of the gene box or gradient picture at the point (empty: none).
    QString WhatsThisAt(QPoint point) const;
    QSize sizeHint() const override;
    // The width the window gives the bar: one row, or as many as it takes when one does not
    // fit.
    void SetAvailableWidth(int width);
    bool HasTwoRows() const { return m_nRows > 1; }
    int RowCount() const { return m_nRows; }

    // The auto-repeat's timing, in milliseconds of the clock.
    int m_nFirstDelay = 1000;
    int m_nRepeatPeriod = 75;

signals:
    // An edit by the user: the genome the bar now shows, or its gradients.
    void genesEdited(const CGeneValues& genes);
    void gradientsEdited(const GeneArray& gradients);
    void hopefulClicked();
    // A press on the bar begins and ends: whatever it edits, however long it is held, is one
    // change to take back.
    void pressStarted();
    void pressEnded();
    void repeatClicked();
    // A step went past a gene's limit.
    void beepRequested();

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool bNext) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_bPressOpen = false;
    // The step key whose press opened the change (0: none).
    int m_nPressKey = 0;
    void EndKeyPress();
    bool BoxReacts(int k) const;
    // Whether the keyboard can step gene k now, and moving its mark to gene k.
    bool KeyReaches(int k) const;
    void MoveKeyFocus(int k);
    // The next gene the keyboard can reach from gene from (0: from either end), in the order
    // the boxes stand on the bar; 0 if there is none.
    int NextReachableGene(int from, int step) const;
    void RefreshBoxTexts();
    void WriteBack();

    int DialogX(int du) const;
    int DialogY(int du) const;
    void Relayout();

    CGeneBarState m_state;
    std::array<CGeneBox*, kGeneCount + 1> m_boxes{};
    std::array<CGenePicture*, kGeneCount + 1> m_pictures{};
    QPushButton* m_pRepeat = nullptr;
    QPushButton* m_pHopeful = nullptr;
    QTimer m_timer;
    CSystemClock m_systemClock;
    IClock* m_pClock = &m_systemClock;
    // 0: no auto-repeat; 11: waiting for the first delay; 22: stepping each period.
    int m_nRepeatTimer = 0;
    uint32_t m_dwRepeatFrom = 0;
    bool m_bEditable = true;
    // The gene the keyboard steps.
    int m_nKeyGene = 0;
    int m_nRows = 1;
    int m_nAvailableWidth = 100000;
    QPoint m_ptPress;
    Qt::MouseButton m_nPressButton = Qt::LeftButton;
    Qt::KeyboardModifiers m_nPressFlags;
    std::array<QPixmap, 5> m_pictureImages;
};
