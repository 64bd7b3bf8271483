#include "frame/GeneBar.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QFrame>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QToolTip>
#include <QWhatsThis>

#include "model/BioMorph.h"

// What each gene does, in a line: the tip of its box, and its name for a screen reader.
QString GeneTip(int gene) {
    static const char* const kTips[kGeneCount + 1] = {
        "",
        "Gene 1: horizontal part of branch directions 1 and 3 (-400 to 400)",
        "Gene 2: horizontal part of branch directions 0 and 4 (-400 to 400)",
        "Gene 3: horizontal part of branch directions 5 and 7 (-400 to 400)",
        "Gene 4: vertical part of direction 2, the trunk (-400 to 400)",
        "Gene 5: vertical part of branch directions 1 and 3 (-400 to 400)",
        "Gene 6: vertical part of branch directions 0 and 4 (-400 to 400)",
        "Gene 7: vertical part of branch directions 5 and 7 (-400 to 400)",
        "Gene 8: vertical part of branch direction 6 (-400 to 400)",
        "Gene 9: depth of branching (1\u20139)",
        "Gene 10: number of segments (1\u20139)",
        "Gene 11: distance between segments, in pixels (-100 to 100)",
        "Gene 12: mirror symmetry: Bilat, both sides alike, or Asym",
        "Gene 13: rotational symmetry: Single, Double (two arms) or Radial (four arms)",
        "Gene 14: scaling, in percent of the branch lengths (-400 to 400)",
        "Gene 15: branch style: 0 line, 1 triangle, 2 line with a round tip, 3 leaf",
        "Gene 16: outline colour (0\u2013160)",
        "Gene 17: body colour (0\u2013160)",
        "Gene 18: line thickness, in pixels (-8 to 10)",
        "Gene 19: line tapering, thickness added at each branching (-4 to 10)",
    };
    return gene >= 1 && gene <= kGeneCount ? QString::fromUtf8(kTips[gene]) : QString();
}

QString GradientTip(int gene) {
    return QObject::tr("Gradient of gene %1: how the gene changes from one segment to the next")
        .arg(gene);
}

namespace {

// The help's section on a gene, split into the gene's part and its gradient's part, as rich
// text without pictures or links (a What's This window shows neither).
struct SGeneHelp {
    QString gene;
    QString gradient;
};

QString PlainSection(QString html) {
    static const QRegularExpression table(QStringLiteral("<table.*</table>"),
                                          QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::InvertedGreedinessOption);
    static const QRegularExpression anchor(QStringLiteral("</?a[^>]*>"));
    html.remove(table);
    html.remove(anchor);
    html.replace(QStringLiteral("<h3>"), QStringLiteral("<p><b>"));
    html.replace(QStringLiteral("</h3>"), QStringLiteral("</b></p>"));
    return html.trimmed();
}

const std::array<SGeneHelp, kGeneCount + 1>& GeneHelp() {
    static const std::array<SGeneHelp, kGeneCount + 1> help = [] {
        std::array<SGeneHelp, kGeneCount + 1> sections;
        QFile file(QStringLiteral(":/help/genes.html"));
        if (!file.open(QIODevice::ReadOnly)) {
            return sections;
        }
        const QString page = QString::fromUtf8(file.readAll());
        for (int k = 1; k <= kGeneCount; ++k) {
            const qsizetype start = page.lastIndexOf(
                QStringLiteral("<h3>"), page.indexOf(QStringLiteral("name=\"gene%1\"").arg(k)));
            if (start < 0) {
                continue;
            }
            qsizetype end = page.indexOf(QStringLiteral("<h"), start + 4);
            if (end < 0) {
                end = page.size();
            }
            const QString section = page.mid(start, end - start);
            const qsizetype gradient =
                section.indexOf(QStringLiteral("<p><a name=\"gradient%1\"").arg(k));
            sections[static_cast<size_t>(k)].gene = PlainSection(section.left(gradient));
            if (gradient >= 0) {
                sections[static_cast<size_t>(k)].gradient = PlainSection(section.mid(gradient));
            }
        }
        return sections;
    }();
    return help;
}

}  // namespace

QString GeneWhatsThis(int gene) {
    if (gene < 1 || gene > kGeneCount) {
        return QString();
    }
    const QString& text = GeneHelp()[static_cast<size_t>(gene)].gene;
    return text.isEmpty() ? GeneTip(gene) : text;
}

QString GradientWhatsThis(int gene) {
    if (gene < 1 || gene > kGeneCount) {
        return QString();
    }
    const QString& text = GeneHelp()[static_cast<size_t>(gene)].gradient;
    return text.isEmpty() ? GradientTip(gene)
                          : QStringLiteral("<p><b>%1</b></p>").arg(GradientTip(gene)) + text;
}

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
            update();
        }
    }
    const QString& Text() const { return m_strText; }
    // The box the keyboard steps, marked while the bar has the focus.
    void SetFocusMark(bool bMarked) {
        if (bMarked != m_bFocusMark) {
            m_bFocusMark = bMarked;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter p(this);
        if (m_bFocusMark) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.drawRect(rect().adjusted(1, 1, -1, -1));
        }
        // A special gene that is expressed but may not mutate is shown greyed.
        bool bGreyed = false;
        if (m_nGene >= 10 && IsPresent(m_nGene == kGeneSegmentDistance ? kGeneSegments : m_nGene)) {
            bGreyed = !CanMutate(m_nGene);
        }
        p.setPen(
            palette().color(bGreyed ? QPalette::Disabled : QPalette::Active, QPalette::WindowText));
        p.drawText(contentsRect(), Qt::AlignCenter, m_strText);
    }

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
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(0, 0, m_pixmap);
    }

private:
    int m_nGene;
    QPixmap m_pixmap;
};

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

constexpr SBoxPlace kPlaces[] = {
    {1, 1, 17},    {2, 18, 17},   {3, 35, 17},   {4, 52, 17},   {5, 69, 17},
    {6, 86, 17},   {7, 103, 17},  {8, 120, 17},  {9, 137, 17},  {10, 156, 17},
    {11, 173, 17}, {14, 190, 17}, {15, 207, 17}, {16, 224, 17}, {17, 241, 17},
    {18, 258, 17}, {19, 275, 17}, {12, 292, 25}, {13, 317, 25},
};

// The order in which presses test the boxes.
constexpr int kBoxTestOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
// Pictures that a press can cycle.
constexpr int kClickablePictures[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 14, 15, 16, 17, 18, 19};

bool IsWide(int gene) {
    return gene == kGeneMirror || gene == kGeneRotation;
}

}  // namespace

QPixmap GradientPicture(EIndicator kind, bool bWide) {
    const QColor aqua(0, 255, 255);
    QImage image(bWide ? 42 : 28, 10, QImage::Format_RGB32);
    if (kind == EIndicator::Blank) {
        image.fill(QColor(192, 192, 192));
        QPainter p(&image);
        p.setPen(aqua);
        for (int x = 2; x < image.width(); x += 4) {
            p.drawLine(x, 1, x, 8);
        }
        return QPixmap::fromImage(image);
    }
    image.fill(aqua);
    QPainter p(&image);
    for (int i = 0; i < 9; ++i) {
        int h = 5;
        if (kind == EIndicator::Rising) {
            h = i + 1;
        } else if (kind == EIndicator::Falling) {
            h = 9 - i;
        }
        p.fillRect(QRect(1 + 3 * i, 9 - h, 2, h), Qt::black);
    }
    return QPixmap::fromImage(image);
}

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
    m_pHopeful = new QPushButton(tr("Hopeful"), this);
    m_pHopeful->setObjectName("hopefulButton");
    m_pHopeful->setFocusPolicy(Qt::NoFocus);
    m_pHopeful->setToolTip(tr("Replace the morph by a random one"));
    connect(m_pRepeat, &QPushButton::clicked, this, &CGeneBar::repeatClicked);
    connect(m_pHopeful, &QPushButton::clicked, this, &CGeneBar::hopefulClicked);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CGeneBar::OnTimer);
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

CGeneBar::~CGeneBar() {
    if (&GeneDisplay() == this) {
        SetGeneDisplay(nullptr);
    }
}

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
    return m_bTwoRows ? QSize(DialogX(kTwoRowWidth), DialogY(2 * 19))
                      : QSize(DialogX(430), DialogY(19));
}

void CGeneBar::SetAvailableWidth(int width) {
    // Below the width of one row the bar takes two, so that no control is cut off.
    const bool bTwoRows = width < DialogX(430) + 16;
    if (bTwoRows != m_bTwoRows) {
        m_bTwoRows = bTwoRows;
        Relayout();
        updateGeometry();
    }
}

void CGeneBar::Relayout() {
    // The second row starts with gene 10, at the left edge.
    const int secondRowShift = kPlaces[9].x - 1;
    for (const SBoxPlace& place : kPlaces) {
        const bool bSecond = m_bTwoRows && place.x >= kPlaces[9].x;
        const int x = bSecond ? place.x - secondRowShift : place.x;
        const int y = bSecond ? 7 + 19 : 7;
        m_boxes[place.gene]->setGeometry(DialogX(x), DialogY(y), DialogX(place.width), DialogY(10));
    }
    const int buttonsX = m_bTwoRows ? kPlaces[9].x : 345;
    const int buttonsY = 2;
    m_pRepeat->setGeometry(DialogX(buttonsX), DialogY(buttonsY), DialogX(40), DialogY(14));
    m_pHopeful->setGeometry(DialogX(buttonsX + 41), DialogY(buttonsY), DialogX(40), DialogY(14));
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
                                       w == m_boxes[k] ? GeneTip(k) : GradientTip(k), this,
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

// ---------------------------------------------------------------------------------------
// The keyboard

bool CGeneBar::KeyReaches(int k) const {
    return k >= 1 && k <= kGeneCount && m_boxes[k]->isVisible() && BoxReacts(k);
}

void CGeneBar::MoveKeyFocus(int k) {
    for (int g = 1; g <= kGeneCount; ++g) {
        m_boxes[g]->SetFocusMark(g == k && hasFocus());
    }
    m_nKeyGene = k;
    if (hasFocus() && KeyReaches(k)) {
        // A screen reader announces the gene that now has the keyboard.
        QAccessibleEvent focus(m_boxes[k], QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

bool CGeneBar::focusNextPrevChild(bool bNext) {
    if (hasFocus()) {
        for (int k = m_nKeyGene + (bNext ? 1 : -1); k >= 1 && k <= kGeneCount;
             k += bNext ? 1 : -1) {
            if (KeyReaches(k)) {
                MoveKeyFocus(k);
                return true;
            }
        }
    }
    return QWidget::focusNextPrevChild(bNext);
}

void CGeneBar::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Tab comes in at the first gene, Shift+Tab at the last; coming back to the window finds
    // the gene it left.
    const bool bBack = event->reason() == Qt::BacktabFocusReason;
    const bool bTab = bBack || event->reason() == Qt::TabFocusReason;
    int k = !bTab && KeyReaches(m_nKeyGene) ? m_nKeyGene : 0;
    if (k == 0) {
        for (int g = bBack ? kGeneCount : 1; g >= 1 && g <= kGeneCount; g += bBack ? -1 : 1) {
            if (KeyReaches(g)) {
                k = g;
                break;
            }
        }
    }
    MoveKeyFocus(k);
}

void CGeneBar::focusOutEvent(QFocusEvent* event) {
    // The key's release goes elsewhere: the held key's change ends here.
    EndKeyPress();
    QWidget::focusOutEvent(event);
    MoveKeyFocus(m_nKeyGene);
}

void CGeneBar::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool bUp = key == Qt::Key_Up || key == Qt::Key_Plus;
    const bool bDown = key == Qt::Key_Down || key == Qt::Key_Minus;
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        // The arrows stay in the bar (only Tab leaves it at either end).
        const int step = key == Qt::Key_Right ? 1 : -1;
        for (int k = m_nKeyGene + step; k >= 1 && k <= kGeneCount; k += step) {
            if (KeyReaches(k)) {
                MoveKeyFocus(k);
                break;
            }
        }
        event->accept();
        return;
    }
    if (!bUp && !bDown) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The rules of a click on the box: editable only in Engineer mode, not while Repeat runs;
    // up is the left button's step, down the right's, Ctrl ten steps.
    if (m_bEditable && !IsRepeatChecked() && KeyReaches(m_nKeyGene)) {
        // A key held down repeats its step; from its press to its release it is one change.
        if (!event->isAutoRepeat() && !m_bPressOpen) {
            m_bPressOpen = true;
            m_nPressKey = key;
            emit pressStarted();
        }
        StepGene(m_nKeyGene, bUp ? Qt::LeftButton : Qt::RightButton, event->modifiers());
    } else {
        emit beepRequested();
    }
    event->accept();
}

void CGeneBar::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && m_nPressKey != 0 && event->key() == m_nPressKey) {
        EndKeyPress();
    }
    QWidget::keyReleaseEvent(event);
}

void CGeneBar::EndKeyPress() {
    if (m_nPressKey != 0) {
        m_nPressKey = 0;
        if (m_bPressOpen) {
            m_bPressOpen = false;
            emit pressEnded();
        }
    }
}

int CGeneBar::ControlIdAt(QPoint point) const {
    for (int k = 1; k <= kGeneCount; ++k) {
        if (m_boxes[k]->isVisible() && m_boxes[k]->geometry().contains(point)) {
            return kFirstBoxId + k - 1;
        }
        if (m_pictures[k]->isVisible() && m_pictures[k]->geometry().contains(point)) {
            return kFirstPictureId + k - 1;
        }
    }
    if (m_pRepeat->isVisible() && m_pRepeat->geometry().contains(point)) {
        return kRepeatId;
    }
    if (m_pHopeful->isVisible() && m_pHopeful->geometry().contains(point)) {
        return kHopefulId;
    }
    return rect().contains(point) ? kBarId : 0;
}

// ---------------------------------------------------------------------------------------
// Engineering

bool CGeneBar::BoxReacts(int k) const {
    if (k <= 9) {
        return true;
    }
    if (k == kGeneSegments || k == kGeneSegmentDistance) {
        return IsPresent(kGeneSegments);
    }
    return IsPresent(k);
}

namespace {
bool StrictlyInside(const QRect& r, QPoint p) {
    return r.left() < p.x() && p.x() < r.left() + r.width() && r.top() < p.y() &&
           p.y() < r.top() + r.height();
}
}  // namespace

bool CGeneBar::ApplyClick(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers flags) {
    for (int k : kBoxTestOrder) {
        if (BoxReacts(k) && StrictlyInside(m_boxes[k]->geometry(), point)) {
            StepGene(k, button, flags);
            return true;
        }
    }
    if (button == Qt::RightButton) {
        return false;
    }
    for (int k : kClickablePictures) {
        if (StrictlyInside(m_pictures[k]->geometry(), point)) {
            CycleGradient(k);
            break;
        }
    }
    return false;
}

void CGeneBar::StepGene(int k, Qt::MouseButton button, Qt::KeyboardModifiers flags) {
    const bool bClamped =
        m_state.StepGene(k, button == Qt::LeftButton, flags.testFlag(Qt::ControlModifier));
    if (bClamped) {
        emit beepRequested();
    }
    RefreshBoxTexts();
    WriteBack();
}

void CGeneBar::WriteBack() {
    emit genesEdited(m_state.Genome());
}

void CGeneBar::CycleGradient(int k) {
    m_state.CycleGradient(k);
    RefreshBoxTexts();
    emit gradientsEdited(m_state.m_nGradient);
    RefreshIndicators();
}

void CGeneBar::mousePressEvent(QMouseEvent* event) {
    if (!m_bEditable || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_ptPress = event->position().toPoint();
    m_nPressButton = event->button();
    // With the keyboard here, the mark goes to the gene clicked, so keys go on from it.
    if (hasFocus()) {
        for (int k = 1; k <= kGeneCount; ++k) {
            if (KeyReaches(k) && (m_boxes[k]->geometry().contains(m_ptPress) ||
                                  m_pictures[k]->geometry().contains(m_ptPress))) {
                MoveKeyFocus(k);
                break;
            }
        }
    }
    m_nPressFlags = event->modifiers();
    // The bar is editable in Engineer mode only; Repeat running there takes no edits.
    if (!IsRepeatChecked()) {
        m_bPressOpen = true;
        emit pressStarted();
        if (ApplyClick(m_ptPress, m_nPressButton, m_nPressFlags)) {
            StartAutoRepeat();
        }
    }
    event->accept();
}

void CGeneBar::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click counts as a press of its own.
    mousePressEvent(event);
}

void CGeneBar::mouseReleaseEvent(QMouseEvent* event) {
    // Any release ends a running auto-repeat, even one whose editing was switched off
    // meanwhile (a mode change while the button was held).
    if (m_bEditable || m_nRepeatTimer != 0) {
        StopAutoRepeat();
    }
    if (m_bPressOpen) {
        m_bPressOpen = false;
        emit pressEnded();
    }
    QWidget::mouseReleaseEvent(event);
}

void CGeneBar::StartAutoRepeat() {
    m_timer.stop();
    m_nRepeatTimer = 11;
    m_timer.start(m_nFirstDelay);
}

void CGeneBar::StopAutoRepeat() {
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
    m_timer.stop();
    m_nRepeatTimer = 0;
}

void CGeneBar::OnTimer() {
    if (IsRepeatChecked()) {
        return;
    }
    if (!m_bEditable) {
        StopAutoRepeat();
        return;
    }
    if (m_nRepeatTimer == 11) {
        if (QWidget::mouseGrabber() != this && isVisible()) {
            grabMouse();
        }
        m_timer.stop();
        m_nRepeatTimer = 22;
        m_timer.start(m_nRepeatPeriod);
    } else if (m_nRepeatTimer == 22) {
        ApplyClick(m_ptPress, m_nPressButton, m_nPressFlags);
    }
}
