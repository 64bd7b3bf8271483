#include "tools/PngPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <stdexcept>
#include <string>

#include "platform/InkGeometry.h"
#include "platform/QtSurface.h"

bool CanWritePng() {
    return true;
}

namespace {

QImage DrawPicture(int width, int height, const std::function<void(IDrawSurface&)>& draw) {
    // The same image the window draws on: 32-bit RGB, white, painted without antialiasing.
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::runtime_error("not enough memory for a picture of " + std::to_string(width) +
                                 "x" + std::to_string(height) + " pixels");
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        CQtSurface surface(painter, QRect(0, 0, width, height));
        draw(surface);
    }
    return image;
}

}  // namespace

std::vector<uint8_t> DrawPng(int width, int height,
                             const std::function<void(IDrawSurface&)>& draw) {
    const QImage image = DrawPicture(width, height, draw);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw std::runtime_error("could not encode the picture as PNG");
    }
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string DrawInkSvg(int width, int height, const std::function<void(IDrawSurface&)>& draw) {
    return CInkGeometry(DrawPicture(width, height, draw)).SvgElements();
}
