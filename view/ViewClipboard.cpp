#include "view/ViewClipboard.h"

#include <QPainter>
#include <algorithm>

#include "document/ClipboardRecord.h"
#include "model/ScaledSurface.h"
#include "view/QuorvaleView.h"

CViewClipboard::CViewClipboard(CQuorvaleView& view)
    : m_view(view),
      m_systemClipboard(QString::fromLatin1(kClipboardFormatName),
                        static_cast<qsizetype>(kClipboardBlockSize)) {}

void CViewClipboard::Copy(CBioMorph* morph, const SRect* rect) {
    CQuorvaleDoc& doc = m_view.Doc();
    const int width = m_view.width();
    const int height = m_view.height();
    SRect source;
    if (!morph) {
        source = m_view.ClientRect();
        if (m_view.VScrollBar() && m_view.VScrollBar()->isVisible()) {
            source.right -= m_view.VScrollWidth() - 1;
        }
    } else if (rect) {
        source = *rect;
    } else {
        // The box the current morph took when it was last measured for drawing, as large as
        // the zoom drew it about the view's centre.
        source = ScaledAbout(doc.m_pCurrent->m_rcBounds, {width / 2, height / 2}, m_view.Zoom());
    }
    source = source.Normalised();
    if (source.Width() > width) {
        source.left = 0;
        source.right = width;
    }
    if (source.Height() > height) {
        source.top = 0;
        source.bottom = height;
    }
    QByteArray block;
    if (morph) {
        const std::vector<uint8_t> bytes = EncodeClipboardBlock(*morph);
        block = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<qsizetype>(bytes.size()));
    }
    // The picture of the screen's pixels in that rectangle; parts outside the view are white.
    const QImage& screen = m_view.ScreenImage();
    const qreal dpr = screen.devicePixelRatio();
    QImage picture(QSize(std::max(source.Width(), 1), std::max(source.Height(), 1)) * dpr,
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        p.drawImage(QPoint(-source.left, -source.top), screen);
    }
    m_pClipboard->Put(QString::fromStdString(doc.m_cfBiomorph), block, picture);
}

bool CViewClipboard::HasMorph() const {
    const SClipboardOffer offer = m_pClipboard->Offer();
    switch (offer.state) {
        case SClipboardOffer::EState::Block:
            return IsClipboardBlockSize(static_cast<size_t>(offer.block.size()));
        case SClipboardOffer::EState::Asking:
        case SClipboardOffer::EState::NoAnswer:
            return true;
        case SClipboardOffer::EState::Nothing:
        case SClipboardOffer::EState::TooLarge:
            break;
    }
    return false;
}

bool CViewClipboard::PasteInto(CBioMorph& morph) {
    // The answer is normally in hand; one still on its way is waited for briefly.
    const SClipboardOffer offer = m_pClipboard->AwaitOffer(kPasteWaitMs);
    if (offer.state == SClipboardOffer::EState::Asking ||
        offer.state == SClipboardOffer::EState::NoAnswer) {
        emit m_view.statusMessage(CQuorvaleView::tr(kPasteNoAnswer));
        // The owner may have come back by the next paste.
        m_pClipboard->AskAgain();
        return false;
    }
    if (offer.state != SClipboardOffer::EState::Block) {
        return false;
    }
    if (!DecodeClipboardBlock(reinterpret_cast<const uint8_t*>(offer.block.constData()),
                              static_cast<size_t>(offer.block.size()), morph)) {
        m_view.Doc().ReportError(kPasteIncomplete);
        return false;
    }
    return true;
}
