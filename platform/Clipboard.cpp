#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/XcbSelectionReader.h"

namespace {

SClipboardOffer OfferOfBytes(const QByteArray& bytes, qsizetype maxBytes) {
    SClipboardOffer offer;
    if (bytes.isEmpty()) {
        // Listed but not handed over: Qt's timeout ran out, or the owner sent nothing.
        offer.state = SClipboardOffer::EState::NoAnswer;
    } else if (bytes.size() > maxBytes) {
        offer.state = SClipboardOffer::EState::TooLarge;
        offer.nSize = bytes.size();
    } else {
        offer.state = SClipboardOffer::EState::Block;
        offer.block = bytes;
        offer.nSize = bytes.size();
    }
    return offer;
}

SClipboardOffer OfferOfAnswer(const SSelectionAnswer& answer) {
    SClipboardOffer offer;
    offer.nSize = answer.nSize;
    switch (answer.kind) {
        case SSelectionAnswer::EKind::Nothing:
            offer.state = SClipboardOffer::EState::Nothing;
            break;
        case SSelectionAnswer::EKind::NoAnswer:
            offer.state = SClipboardOffer::EState::NoAnswer;
            break;
        case SSelectionAnswer::EKind::TooLarge:
            offer.state = SClipboardOffer::EState::TooLarge;
            break;
        case SSelectionAnswer::EKind::Data:
            offer.state = SClipboardOffer::EState::Block;
            offer.block = QByteArray(reinterpret_cast<const char*>(answer.data.data()),
                                     static_cast<qsizetype>(answer.data.size()));
            break;
    }
    return offer;
}

}  // namespace

CSystemClipboard::CSystemClipboard(const QString& format, qsizetype maxBytes)
    : m_strFormat(format), m_nMaxBytes(maxBytes), m_pReceiver(std::make_unique<QObject>()) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QObject* receiver = m_pReceiver.get();
        auto reader = std::make_unique<CXcbSelectionReader>(
            qEnvironmentVariable("DISPLAY").toStdString(), format.toStdString(),
            static_cast<size_t>(maxBytes), std::chrono::milliseconds(kOwnerTimeoutMs),
            // On the reader's thread: the answer is handed to this one.
            [this, receiver](uint64_t request, const SSelectionAnswer& answer) {
                const SClipboardOffer offer = OfferOfAnswer(answer);
                QMetaObject::invokeMethod(
                    receiver, [this, request, offer] { Take(request, offer); },
                    Qt::QueuedConnection);
            });
        if (reader->IsOpen()) {
            m_pReader = std::move(reader);
        }
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    m_changed = QObject::connect(clipboard, &QClipboard::changed, m_pReceiver.get(),
                                 [this](QClipboard::Mode mode) {
                                     if (mode == QClipboard::Clipboard) {
                                         Learn();
                                     }
                                 });
    Learn();
}

CSystemClipboard::~CSystemClipboard() {
    QObject::disconnect(m_changed);
}

bool CSystemClipboard::ReadsInBackground() const {
    return m_pReader != nullptr;
}

void CSystemClipboard::Learn() {
    ++m_nRequest;
    if (!m_pReader || QGuiApplication::clipboard()->ownsClipboard()) {
        LearnFromQt();
        return;
    }
    m_offer = SClipboardOffer();
    m_offer.state = SClipboardOffer::EState::Asking;
    m_pReader->Ask(m_nRequest);
}

void CSystemClipboard::LearnFromQt() {
    // Our own data is at hand; elsewhere this is the one question to the owner per change.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->formats().contains(m_strFormat)) {
        m_offer = SClipboardOffer();
        return;
    }
    m_offer = OfferOfBytes(data->data(m_strFormat), m_nMaxBytes);
}

void CSystemClipboard::Take(quint64 request, SClipboardOffer offer) {
    // An answer about an owner the clipboard has since left is of no use.
    if (request == m_nRequest && m_offer.state == SClipboardOffer::EState::Asking) {
        m_offer = std::move(offer);
    }
}

SClipboardOffer CSystemClipboard::AwaitOffer(int ms) {
    if (m_pReader && m_offer.state == SClipboardOffer::EState::Asking) {
        const std::optional<SSelectionAnswer> answer =
            m_pReader->Wait(m_nRequest, std::chrono::milliseconds(ms));
        if (answer) {
            // The queued copy of this answer arrives later and changes nothing.
            Take(m_nRequest, OfferOfAnswer(*answer));
        }
    }
    return m_offer;
}

void CSystemClipboard::Put(const QString& format, const QByteArray& block, const QImage& picture) {
    auto* data = new QMimeData;
    if (!block.isEmpty()) {
        data->setData(format, block);
    }
    data->setImageData(picture);
    // Fires changed, which learns our own data without leaving the program.
    QGuiApplication::clipboard()->setMimeData(data);
}
