#pragma once

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QVector>
#include <functional>
#include <optional>
#include <vector>

#include "model/DrawSurface.h"
#include "platform/ShapeStamps.h"
#include "platform/XorRuns.h"

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

    // Every pixel drawn so far lies in this rectangle (logical coordinates; null if nothing
    // was drawn).
    QRect Touched() const { return m_rcTouched; }

    // Whether repeated shapes are copied from stamps (see ShapeStamps.h) when the surface
    // paints a picture's memory; on by default. The pixels are the same either way.
    void SetStamping(bool bOn) { m_bStamping = bOn; }

private:
    void Apply(const SDrawState& state);
    // Whether a primitive with these points, drawn with a pen of the margin's width, misses
    // the clip; when it does not, the area it may touch is added to Touched().
    bool Culled(int64_t left, int64_t top, int64_t right, int64_t bottom, int margin);
    // Culled by the bounding box of a path's points.
    bool CulledPoints(const SPoint* points, int count);
    QColor PenColour(const SDrawState& state) const;
    QColor BrushColour(const SDrawState& state) const;
    bool DirectLine(int x0, int y0, int x1, int y1);
    void PlotBlock(int x, int y, uint32_t rgb, bool bXor);
    // Draws the shape from its stamp when it can; false when Qt must draw it. The box holds
    // the shape's points, the anchor is one of them, and draw paints the shape shifted by the
    // offset it is given, with the pen and brush set.
    bool Stamp(SStampKey& key, int64_t left, int64_t top, int64_t right, int64_t bottom,
               SPoint anchor, const std::function<void(QPainter&, QPoint)>& draw);
    // The stamp of a shape drawn in the state, or null when it has none.
    const std::vector<SStampRun>* StampOf(SStampKey& key, const SDrawState& state, int64_t left,
                                          int64_t top, int64_t right, int64_t bottom, SPoint anchor,
                                          const std::function<void(QPainter&, QPoint)>& draw);
    // Puts a stamp's pixels into the picture at the anchor, inside the clip.
    void CopyStamp(const std::vector<SStampRun>& runs, SPoint anchor, const SDrawState& state);
    // Draws a group of batched lines (or dots, as lines without length) from their stamps, as
    // Qt would draw the group in one call; false (nothing drawn) when one has no stamp.
    bool StampGroup(const QLine* lines, int count, bool bDots);
    QRect DeviceClip() const;
    // Only genomes far outside the gene limits put points beyond the reach Qt is given
    // (within the limits a morph spans some 19,000 pixels at most). Such a shape is drawn as
    // a one-pixel outline, without its fill or wide pen: thousands of them each crossing the
    // whole window would otherwise take seconds to fill, and the window must stay quick
    // whatever the genes.
    bool FarPoints(const SPoint* points, int count) const;
    // The part of a line near enough to the clip to show, if any.
    std::optional<QLine> NearPart(int x0, int y0, int x1, int y1) const;
    void DrawFar(const std::function<void(QPainter&)>& draw);
    // Draws the batched lines and dots.
    void FlushBatch();
    // Before Qt draws a primitive in the current state: the batch, and the gathered XOR runs
    // unless Qt's drawing changes pixels by XOR too.
    void FlushForQt();
    // Changes a run of pixels of a row inside the clip by XOR, now or when the runs are applied.
    void XorRun(const QRect& clip, int y, int x0, int x1, uint32_t colour);
    // Applies the gathered XOR runs to device rows top to bottom.
    void ApplyXor(int top, int bottom);
    static uint32_t RgbOf(SRgb c);

    QPainter& m_painter;
    QRect m_rcBounds;
    QRect m_rcCull;
    QRect m_rcTouched;
    bool m_bPrinter;
    bool m_bApplied = false;
    bool m_bStamping = true;
    // One-pixel pens scale with the painter (printing, and pictures drawn larger).
    bool m_bScaledPens = false;
    SDrawState m_applied;
    QVector<QLine> m_lines;
    QVector<QPoint> m_points;
    // The runs of one group of lines, kept to save allocating them for every group.
    std::vector<uint64_t> m_groupRuns;
    // XOR runs of stamps not yet in the picture.
    CXorRuns m_xor;
    // Direct drawing into the image: its memory, scale (device pixels per logical pixel)
    // and the clip in device pixels.
    uchar* m_pBits = nullptr;
    qsizetype m_nStride = 0;
    int m_nScale = 1;
    QRect m_rcDeviceClip;
};
