#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>
#include <cstddef>
#include <string>
#include <vector>

class QPainter;

// The visible ink of a picture drawn on screen, as geometry: rectangles of one colour each.
//
// Creatures are drawn in XOR: a stroke drawn twice vanishes, strokes that cross leave gaps and
// coloured fills mix. A printer, a PDF file or an SVG drawing cannot undo ink, so drawing the
// strokes there again would show what the screen does not. Instead the picture is drawn the
// screen's way on an image and its pixels are turned into shapes: runs of one colour along
// each row, and runs that repeat on the rows below merged into one rectangle. Filled, those
// rectangles give back the image pixel for pixel, at any size.
class CInkGeometry {
public:
    // A rectangle in the picture's device pixels.
    struct SRect {
        int x;
        int y;
        int w;
        int h;
    };
    // The rectangles of one colour.
    struct SLayer {
        QRgb colour;
        std::vector<SRect> rects;
    };

    // Traces a picture (any format; alpha is ignored). Its device pixel ratio says how large
    // a pixel is in the picture's logical coordinates.
    explicit CInkGeometry(const QImage& picture);

    // The picture's size in device pixels, and device pixels per logical pixel.
    QSize Size() const { return m_size; }
    qreal PixelRatio() const { return m_fRatio; }
    // The colour most of the picture shows: the ground, drawn as one rectangle under the rest.
    QRgb Ground() const { return m_ground; }
    // Every other colour with its rectangles, which never overlap.
    const std::vector<SLayer>& Layers() const { return m_layers; }
    size_t RectCount() const;

    // Draws the picture with the painter at the picture's logical size from (0, 0): the
    // ground, then one fill of each colour's rectangles.
    void Paint(QPainter& painter) const;
    // SVG elements that draw the picture in its logical coordinates: the ground as a
    // rectangle, then one path of rectangles for each colour.
    std::string SvgElements() const;
    // A whole SVG document of the picture's logical size holding SvgElements.
    std::string SvgDocument(const std::string& title) const;

private:
    QSize m_size;
    qreal m_fRatio = 1.0;
    QRgb m_ground = 0;
    std::vector<SLayer> m_layers;
};
