#include "view/MorphDrag.h"

#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include "document/BioFile.h"
#include "document/ClipboardRecord.h"
#include "model/BioMorph.h"
#include "platform/DragFolder.h"
#include "view/QuorvaleView.h"

CMorphDrag::CMorphDrag(CQuorvaleView& view) : m_view(view) {}

CMorphDrag::~CMorphDrag() = default;

bool CMorphDrag::Press(QPoint point, bool bCtrl) {
    m_morph.reset();
    if (!bCtrl) {
        return false;
    }
    CBioMorph* morph = m_view.MorphAt(point);
    if (!morph) {
        return false;
    }
    // A copy: what is dragged is the morph as it was pressed, whatever happens meanwhile.
    m_morph = SMorphState::Of(*morph);
    m_ptPress = point;
    return true;
}

bool CMorphDrag::Move(QPoint point) {
    if (!m_morph) {
        return false;
    }
    if ((point - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
        StartDrag();
    }
    return true;
}

bool CMorphDrag::Release() {
    const bool bHeld = m_morph.has_value();
    m_morph.reset();
    return bHeld;
}

QMimeData* CMorphDrag::MimeFor(const CBioMorph& source) {
    const QString folder = DragFolder();
    if (folder.isEmpty()) {
        return nullptr;
    }
    CBioMorph morph;
    SMorphState::Of(source).ApplyTo(morph);
    ++m_nCount;
    const QString stem = folder + QStringLiteral("/biomorph-%1").arg(m_nCount);
    const std::vector<uint8_t> file = EncodeBioFile(morph);
    QFile bio(stem + ".bio");
    if (!bio.open(QIODevice::WriteOnly) ||
        bio.write(reinterpret_cast<const char*>(file.data()), static_cast<qint64>(file.size())) !=
            static_cast<qint64>(file.size())) {
        return nullptr;
    }
    bio.close();
    const QImage picture = m_view.MorphPicture(morph, m_view.Zoom());
    if (picture.isNull() || !picture.save(stem + ".png", "PNG")) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(stem + ".bio"), QUrl::fromLocalFile(stem + ".png")});
    data->setImageData(picture);
    const std::vector<uint8_t> record = EncodeClipboardBlock(morph);
    data->setData(QString::fromLatin1(kMimeType),
                  QByteArray(reinterpret_cast<const char*>(record.data()),
                             static_cast<qsizetype>(record.size())));
    return data;
}

void CMorphDrag::StartDrag() {
    CBioMorph morph;
    m_morph->ApplyTo(morph);
    m_morph.reset();
    QMimeData* data = MimeFor(morph);
    if (!data) {
        emit m_view.beepRequested();
        return;
    }
    auto* drag = new QDrag(&m_view);
    drag->setMimeData(data);
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    // A picture under the pointer no larger than a cell, so the drop target stays visible.
    const QImage shown =
        picture.width() > 160 || picture.height() > 160
            ? picture.scaled(160, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : picture;
    // Only the morph follows the pointer: its white ground is made clear.
    QImage clear = shown.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < clear.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(clear.scanLine(y));
        for (int x = 0; x < clear.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == 0xFFFFFFu) {
                line[x] = 0;
            }
        }
    }
    drag->setPixmap(QPixmap::fromImage(clear));
    drag->setHotSpot(QPoint(shown.width() / 2, shown.height() / 2));
    drag->exec(Qt::CopyAction);
}
