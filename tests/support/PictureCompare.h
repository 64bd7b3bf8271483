#pragma once

#include <QImage>
#include <QString>

// Pictures of one drawing made by two renderers, compared within one pixel: where they
// differ, each one's colour must be found in the other picture at most one pixel away (a
// renderer may round an edge the other way). Empty when they agree; otherwise how many
// pixels do not, and the first of them with both colours.
inline QString DifferenceBeyondOnePixel(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return QString("the pictures are %1x%2 and %3x%4 pixels")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    }
    const QImage one = a.convertToFormat(QImage::Format_RGB32);
    const QImage two = b.convertToFormat(QImage::Format_RGB32);
    auto colourNear = [](const QImage& image, int x, int y, QRgb colour) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < image.width() && ny < image.height() &&
                    image.pixel(nx, ny) == colour) {
                    return true;
                }
            }
        }
        return false;
    };
    int bad = 0;
    QString first;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            const QRgb p = one.pixel(x, y);
            const QRgb q = two.pixel(x, y);
            if (p == q || (colourNear(two, x, y, p) && colourNear(one, x, y, q))) {
                continue;
            }
            if (bad++ == 0) {
                first = QString("(%1, %2): #%3 against #%4")
                            .arg(x)
                            .arg(y)
                            .arg(p & 0xFFFFFF, 6, 16, QChar('0'))
                            .arg(q & 0xFFFFFF, 6, 16, QChar('0'));
            }
        }
    }
    if (bad == 0) {
        return QString();
    }
    return QString("%1 pixels differ by more than one pixel's reach, the first at %2")
        .arg(bad)
        .arg(first);
}
