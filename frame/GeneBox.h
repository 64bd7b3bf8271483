#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "frame/GeneBarState.h"
#include "platform/GeneHelp.h"

// A sunken box showing one gene's value. Presses go to the bar, which decides what they do.
class CGeneBox : public QFrame {
public:
    CGeneBox(int gene, QWidget* parent) : QFrame(parent), m_nGene(gene) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // The box passes the mouse on to the bar, so the bar shows the tip; a screen reader
        // reads the name.
        setAccessibleName(GeneTip(gene));
    }
    void SetText(const QString& text) {
        if (text != m_strText) {
            m_strText = text;
            // A value too long for the box is cut on screen; a screen reader hears it whole.
            setAccessibleDescription(text);
            update();
        }
    }
    const QString& Text() const { return m_strText; }
    // The text as the box shows it: the whole value when it fits, else its start and an
    // ellipsis (a number cut on both sides would read as another number).
    QString ShownText() const;
    // The gene's tip, with the whole value when the box cannot show it.
    QString ToolTip() const;
    // The box the keyboard steps, marked while the bar has the focus.
    void SetFocusMark(bool bMarked) {
        if (bMarked != m_bFocusMark) {
            m_bFocusMark = bMarked;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nGene;
    QString m_strText;
    bool m_bFocusMark = false;
};

// The gradient picture above a box.
class CGenePicture : public QWidget {
public:
    CGenePicture(int gene, QWidget* parent) : QWidget(parent), m_nGene(gene) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAccessibleName(GradientTip(gene));
    }
    void SetPicture(const QPixmap& pixmap) {
        m_pixmap = pixmap;
        resize(pixmap.size() / pixmap.devicePixelRatio());
        update();
    }
    const QPixmap& Picture() const { return m_pixmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nGene;
    QPixmap m_pixmap;
};

// A special gene that is expressed but may not mutate: its box is greyed (it can still be
// engineered; breeding never changes it).
bool IsGreyedGene(int gene);

// The four gradient pictures (flat, rising, falling, blank) and the wide blank one.
QPixmap GradientPicture(EIndicator kind, bool bWide);
