#include "frame/GeneBar.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <QWhatsThis>

#include "model/BioMorph.h"

namespace {

struct SBoxPlace {
    int gene;
    int x;
    int width;
};

// Box positions in dialog units, left to right.
// The width of the bar when it takes two rows: genes 1 to 9 and the buttons above, genes 10
// to 19 below.
constexpr int kTwoRowWidth = 156 + 82 + 2;
// The Repeat and Hopeful buttons side by side.
constexpr int kButtonPairWidth = 81;

constexpr SBoxPlace kPlaces[] = {
    {1, 1, 17},    {2, 18, 17},   {3, 35, 17},   {4, 52, 17},   {5, 69, 17},
    {6, 86, 17},   {7, 103, 17},  {8, 120, 17},  {9, 137, 17},  {10, 156, 17},
    {11, 173, 17}, {14, 190, 17}, {15, 207, 17}, {16, 224, 17}, {17, 241, 17},
    {18, 258, 17}, {19, 275, 17}, {12, 292, 25}, {13, 317, 25},
};

bool IsWide(int gene) {
    return gene == kGeneMirror || gene == kGeneRotation;
}

}  // namespace

CGeneBar::CGeneBar(QWidget* parent) : QWidget(parent) {
    setObjectName("geneBar");
    // Tab reaches the genes; the arrow keys and + and - step the one marked.
    // Tab brings the keyboard here; a click edits without taking it from the view, where Space
    // mutates.
    setFocusPolicy(Qt::TabFocus);
    m_state.m_nValue.fill(0);
    for (const SBoxPlace& place : kPlaces) {
        auto* box = new CGeneBox(place.gene, this);
        box->setObjectName(QString("geneBox%1").arg(place.gene));
        m_boxes[place.gene] = box;
        auto* picture = new CGenePicture(place.gene, this);
        picture->setObjectName(QString("genePicture%1").arg(place.gene));
        m_pictures[place.gene] = picture;
    }
    m_pRepeat = new QPushButton(tr("Repeat"), this);
    m_pRepeat->setObjectName("repeatBox");
    m_pRepeat->setCheckable(true);
    m_pRepeat->setFocusPolicy(Qt::NoFocus);
    m_pRepeat->setToolTip(tr("Let evolution run by itself"));
    // Unmistakably on while it runs, from the back of a classroom too.
    m_pRepeat->setStyleSheet(QStringLiteral(
        "QPushButton:checked { background-color: #1565c0; color: white; font-weight: bold; "
        "border: 2px solid #0d47a1; border-radius: 3px; }"));
    m_pHopeful = new QPushButton(tr("Hopeful"), this);
    m_pHopeful->setObjectName("hopefulButton");
    m_pHopeful->setFocusPolicy(Qt::NoFocus);
    m_pHopeful->setToolTip(tr("Replace the morph by a random one"));
    // The box is the Repeat command's: the command, not the click, switches it.
    connect(m_pRepeat, &QPushButton::clicked, this, [this](bool bChecked) {
        m_pRepeat->setChecked(!bChecked);
        emit repeatClicked();
    });
    connect(m_pHopeful, &QPushButton::clicked, this, &CGeneBar::hopefulClicked);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CGeneBar::AutoRepeatTick);
    m_pictureImages[static_cast<int>(EIndicator::Flat)] = GradientPicture(EIndicator::Flat, false);
    m_pictureImages[static_cast<int>(EIndicator::Rising)] =
        GradientPicture(EIndicator::Rising, false);
    m_pictureImages[static_cast<int>(EIndicator::Falling)] =
        GradientPicture(EIndicator::Falling, false);
    m_pictureImages[static_cast<int>(EIndicator::Blank)] =
        GradientPicture(EIndicator::Blank, false);
    m_pictureImages[4] = GradientPicture(EIndicator::Blank, true);
    for (int k = 1; k <= kGeneCount; ++k) {
        if (IsWide(k)) {
            m_pictures[k]->SetPicture(m_pictureImages[4]);
        } else {
            SetIndicator(k);
        }
    }
    m_state.m_strMirror = "Asym";
    m_state.m_strSpokes = "Radial";
    RefreshBoxTexts();
    Relayout();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

CGeneBar::~CGeneBar() = default;

int CGeneBar::DialogX(int du) const {
    const QFontMetrics fm(font());
    const int avg = fm.horizontalAdvance(
                        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                    52;
    return du * std::max(avg, 4) / 4;
}

int CGeneBar::DialogY(int du) const {
    return du * std::max(QFontMetrics(font()).height(), 8) / 8;
}

QSize CGeneBar::sizeHint() const {
    if (m_nRows == 1) {
        return QSize(DialogX(430), DialogY(19));
    }
    return QSize(std::min(DialogX(kTwoRowWidth), std::max(m_nAvailableWidth - 16, 1)),
                 DialogY(m_nRows * 19));
}

void CGeneBar::SetAvailableWidth(int width) {
    // Below the width of one row the bar takes as many rows as it needs, so that no control
    // is ever cut off, however narrow the window.
    m_nAvailableWidth = width;
    const int rows = m_nRows;
    Relayout();
    if (rows != m_nRows) {
        updateGeometry();
    }
}

void CGeneBar::Relayout() {
    if (m_nAvailableWidth >= DialogX(430) + 16) {
        // One row, as the bar has always stood.
        m_nRows = 1;
        for (const SBoxPlace& place : kPlaces) {
            m_boxes[place.gene]->setGeometry(DialogX(place.x), DialogY(7), DialogX(place.width),
                                             DialogY(10));
        }
        m_pRepeat->setGeometry(DialogX(345), DialogY(2), DialogX(40), DialogY(14));
        m_pHopeful->setGeometry(DialogX(386), DialogY(2), DialogX(40), DialogY(14));
        LayoutPictures();
        return;
    }
    // Rows filled left to right in the order of one row: genes 1 to 9 first (then the
    // buttons beside them when there is room, as on two rows), the other genes after.
    const int width = std::max(m_nAvailableWidth - 16, DialogX(kButtonPairWidth + 2));
    int row = 0;
    int x = 1;
    const auto place = [&](int w) {
        if (x > 1 && DialogX(x + w) > width) {
            ++row;
            x = 1;
        }
        const int at = x;
        x += w;
        return at;
    };
    for (int i = 0; i < 9; ++i) {
        const SBoxPlace& p = kPlaces[i];
        m_boxes[p.gene]->setGeometry(DialogX(place(p.width)), DialogY(7 + 19 * row),
                                     DialogX(p.width), DialogY(10));
    }
    x += 2;
    const int buttonsX = place(kButtonPairWidth);
    const int buttonsRow = row;
    m_pRepeat->setGeometry(DialogX(buttonsX), DialogY(2 + 19 * buttonsRow), DialogX(40),
                           DialogY(14));
    m_pHopeful->setGeometry(DialogX(buttonsX + 41), DialogY(2 + 19 * buttonsRow), DialogX(40),
                            DialogY(14));
    ++row;
    x = 1;
    for (size_t i = 9; i < std::size(kPlaces); ++i) {
        const SBoxPlace& p = kPlaces[i];
        m_boxes[p.gene]->setGeometry(DialogX(place(p.width)), DialogY(7 + 19 * row),
                                     DialogX(p.width), DialogY(10));
    }
    m_nRows = row + 1;
    LayoutPictures();
}

void CGeneBar::LayoutPictures() {
    for (int k = 1; k <= kGeneCount; ++k) {
        QWidget* box = m_boxes[k];
        QWidget* picture = m_pictures[k];
        if (!box || !picture) {
            return;
        }
        const QRect b = box->geometry();
        const QSize s = picture->size();
        picture->move(b.left() + (b.width() - s.width()) / 2, b.top() - 2 - s.height());
    }
}

void CGeneBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutPictures();
}

void CGeneBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Relayout();
}

QString CGeneBar::BoxTip(int k) const {
    const QString tip = m_boxes[k]->ToolTip();
    if (!IsGreyedGene(k)) {
        return tip;
    }
    return tip + "\n" +
           tr("Greyed: this gene is switched on but may not mutate, so breeding never changes "
              "it; you can still set it here. Genes > Special genes lets it mutate.");
}

QWidget* CGeneBar::Box(int k) const {
    return k >= 1 && k <= kGeneCount ? m_boxes[k] : nullptr;
}

QWidget* CGeneBar::Picture(int k) const {
    return k >= 1 && k <= kGeneCount ? m_pictures[k] : nullptr;
}

// ---------------------------------------------------------------------------------------
// Display

void CGeneBar::ShowGenes(const CBioMorph* morph) {
    const CGeneBarState::SChanges changes = m_state.ShowGenes(morph);
    for (int k = 1; k <= kGeneCount; ++k) {
        if (changes.pictures.test(static_cast<size_t>(k))) {
            SetIndicator(k);
        }
    }
    RefreshBoxTexts();
}

void CGeneBar::ClearGenes() {
    m_state.ClearGenes();
    RefreshBoxTexts();
}

void CGeneBar::RefreshBoxTexts() {
    for (int k = 1; k <= kGeneCount; ++k) {
        m_boxes[k]->SetText(QString::fromStdString(m_state.BoxText(k)));
    }
}

void CGeneBar::SetIndicator(int k) {
    if (k < 1 || k > kGeneCount) {
        return;
    }
    if (IsWide(k)) {
        m_pictures[k]->SetPicture(m_pictureImages[4]);
        return;
    }
    const EIndicator kind = m_state.Indicator(k);
    if (kind == EIndicator::Unchanged) {
        return;
    }
    m_pictures[k]->SetPicture(m_pictureImages[static_cast<int>(kind)]);
}

void CGeneBar::RefreshIndicators() {
    for (int k = 1; k <= kGeneCount; ++k) {
        SetIndicator(k);
    }
}

void CGeneBar::ShowSpecialGeneBoxes() {
    const bool bSegments = IsPresent(kGeneSegments);
    m_boxes[kGeneSegments]->setVisible(bSegments);
    m_boxes[kGeneSegmentDistance]->setVisible(bSegments);
    for (int k = 12; k <= kGeneCount; ++k) {
        m_boxes[k]->setVisible(IsPresent(k));
    }
    for (int k = 10; k <= kGeneCount; ++k) {
        m_boxes[k]->update();
    }
}

void CGeneBar::SetRepeatChecked(bool bChecked) {
    m_pRepeat->setChecked(bChecked);
}
bool CGeneBar::IsRepeatChecked() const {
    return m_pRepeat->isChecked();
}
void CGeneBar::ShowHopeful(bool bShown) {
    m_pHopeful->setVisible(bShown);
}
void CGeneBar::ShowRepeat(bool bShown) {
    m_pRepeat->setVisible(bShown);
}
void CGeneBar::EnableRepeat(bool bEnabled) {
    m_pRepeat->setEnabled(bEnabled);
}
bool CGeneBar::IsRepeatEnabled() const {
    return m_pRepeat->isEnabled();
}

QString CGeneBar::WhatsThisAt(QPoint point) const {
    for (int k = 1; k <= kGeneCount; ++k) {
        if (m_boxes[k]->isVisible() && m_boxes[k]->geometry().contains(point)) {
            return GeneWhatsThis(k);
        }
        if (m_pictures[k]->isVisible() && m_pictures[k]->geometry().contains(point)) {
            return GradientWhatsThis(k);
        }
    }
    return QString();
}

bool CGeneBar::event(QEvent* event) {
    if (event->type() == QEvent::QueryWhatsThis || event->type() == QEvent::WhatsThis) {
        // What's This mode: the gene's own section of the help, where the mouse points, or
        // for the gene the keyboard marks.
        auto* help = static_cast<QHelpEvent*>(event);
        QString text = WhatsThisAt(help->pos());
        if (text.isEmpty() && hasFocus() && m_nKeyGene >= 1) {
            text = GeneWhatsThis(m_nKeyGene);
        }
        if (text.isEmpty()) {
            event->ignore();
            return false;
        }
        if (event->type() == QEvent::WhatsThis) {
            QWhatsThis::showText(help->globalPos(), text, this);
        }
        event->accept();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        // The boxes and pictures let the mouse through to the bar, so their tips come from here.
        auto* help = static_cast<QHelpEvent*>(event);
        for (int k = 1; k <= kGeneCount; ++k) {
            for (QWidget* w :
                 {static_cast<QWidget*>(m_boxes[k]), static_cast<QWidget*>(m_pictures[k])}) {
                if (w->isVisible() && w->geometry().contains(help->pos())) {
                    QToolTip::showText(help->globalPos(),
                                       w == m_boxes[k] ? BoxTip(k) : GradientTip(k), this,
                                       w->geometry());
                    return true;
                }
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
