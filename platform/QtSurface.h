#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QVector>

#include "model/DrawSurface.h"

// The drawing surface over a QPainter (normally on a QImage). Consecutive strokes that share
// pen, brush and raster mode are drawn in one batch; primitives far outside the picture are
// culled or clipped first, so wild genomes neither crash nor stall the painter. XOR uses the
// raster operation; on a printer, which cannot do it, XOR strokes are drawn in the colour
// they show on a white ground.
class CQtSurface : public IDrawSurface {
public:
    // bounds: the picture's area in logical coordinates. When the painter paints a 32-bit
    // image given here, one-pixel lines and pixels are set straight in its memory, the way
    // the program has always drawn them: a line leaves out its last pixel, so strokes that
    // meet end to end in XOR do not cancel at the joint.
    CQtSurface(QPainter& painter, const QRect& bounds, bool bPrinter = false,
               QImage* image = nullptr);
    ~CQtSurface() override;

    bool IsPrinter() const override { return m_bPrinter; }
    void SetPixel(int x, int y, SRgb colour) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void Polygon(const SPoint* points, int count) override;
    void Bezier13(const SPoint* points) override;
    void Ellipse(const SRect& box) override;
    void FillRect(const SRect& rect, SRgb colour) override;
    void FrameRect(const SRect& rect, SRgb colour) override;
    void SetClip(const SRect* clip) override;

    // Draws whatever is batched.
    void Flush();

private:
    void Apply(const SDrawState& state);
    bool Culled(int64_t left, int64_t top, int64_t right, int64_t bottom, int margin) const;
    // Culled by the bounding box of a path's points.
    bool CulledPoints(const SPoint* points, int count) const;
    QColor PenColour(const SDrawState& state) const;
    QColor BrushColour(const SDrawState& state) const;
    bool DirectLine(int x0, int y0, int x1, int y1);
    void PlotBlock(int x, int y, uint32_t rgb, bool bXor);

    QPainter& m_painter;
    QRect m_rcBounds;
    QRect m_rcCull;
    bool m_bPrinter;
    bool m_bApplied = false;
    SDrawState m_applied;
    QVector<QLine> m_lines;
    QVector<QPoint> m_points;
    // Direct drawing into the image: its memory, scale (device pixels per logical pixel)
    // and the clip in device pixels.
    uchar* m_pBits = nullptr;
    qsizetype m_nStride = 0;
    int m_nScale = 1;
    QRect m_rcDeviceClip;
};
