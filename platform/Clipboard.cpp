#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void CSystemClipboard::Put(const QString& format, const QByteArray& block, const QImage& picture) {
    auto* data = new QMimeData;
    if (!block.isEmpty()) {
        data->setData(format, block);
    }
    data->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool CSystemClipboard::Offers(const QString& format) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(format);
}

QByteArray CSystemClipboard::Data(const QString& format) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(format)) {
        return {};
    }
    return data->data(format);
}
