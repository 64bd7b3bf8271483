#include "frame/GeneBox.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include "model/GeneTables.h"
#include "platform/GeneHelp.h"

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

bool IsGreyedGene(int gene) {
    return gene >= 10 && gene <= kGeneCount &&
           IsPresent(gene == kGeneSegmentDistance ? kGeneSegments : gene) && !CanMutate(gene);
}

void CGeneBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    if (m_bFocusMark) {
        // Thick enough to be seen from the back of a room on a projector.
        p.setPen(QPen(palette().color(QPalette::Highlight), 3));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
    // A special gene that is expressed but may not mutate is shown greyed.
    const bool bGreyed = IsGreyedGene(m_nGene);
    p.setPen(
        palette().color(bGreyed ? QPalette::Disabled : QPalette::Active, QPalette::WindowText));
    p.drawText(contentsRect(), Qt::AlignCenter, ShownText());
}

QString CGeneBox::ShownText() const {
    return fontMetrics().elidedText(m_strText, Qt::ElideRight, contentsRect().width());
}

QString CGeneBox::ToolTip() const {
    if (ShownText() == m_strText) {
        return GeneTip(m_nGene);
    }
    return QCoreApplication::translate("CGeneBox", "%1\nValue: %2")
        .arg(GeneTip(m_nGene), m_strText);
}

void CGenePicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_pixmap);
}
