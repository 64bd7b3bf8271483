#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

CSystemClipboard::CSystemClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    m_changed =
        QObject::connect(clipboard, &QClipboard::changed, clipboard, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard) {
                LearnFormats();
            }
        });
    LearnFormats();
}

CSystemClipboard::~CSystemClipboard() {
    QObject::disconnect(m_changed);
}

void CSystemClipboard::LearnFormats() {
    // The one question to the owner per change; an owner that does not answer leaves the list
    // empty, and nothing asks it again until the clipboard changes hands.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    m_formats = data ? data->formats() : QStringList();
}

void CSystemClipboard::Put(const QString& format, const QByteArray& block, const QImage& picture) {
    auto* data = new QMimeData;
    if (!block.isEmpty()) {
        data->setData(format, block);
    }
    data->setImageData(picture);
    // Fires changed, which learns the formats from our own data without leaving the program.
    QGuiApplication::clipboard()->setMimeData(data);
}

bool CSystemClipboard::Offers(const QString& format) const {
    return m_formats.contains(format);
}

QByteArray CSystemClipboard::Data(const QString& format) const {
    if (!m_formats.contains(format)) {
        return {};
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(format) : QByteArray();
}
