#pragma once

#include <cstdint>

#include "model/DrawSurface.h"

// A surface for the fuzz targets: it draws nothing, counts what development hands it, keeps
// the extent of the stroke end points and reads every point of every primitive, so that a
// short array passed by the model shows up under AddressSanitizer.
class CCountingSurface : public IDrawSurface {
public:
    void SetPixel(int x, int y, SRgb colour) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void Polygon(const SPoint* points, int count) override;
    void Bezier13(const SPoint* points) override;
    void Ellipse(const SRect& box) override;
    void FillRect(const SRect& rect, SRgb colour) override;
    void FrameRect(const SRect& rect, SRgb colour) override;
    void SetClip(const SRect* clip) override;
    void OnStroke(int x0, int y0, int x1, int y1) override;
    void OnJoint(int x0, int y0, int x1, int y1) override;

    int64_t Strokes() const { return m_nStrokes; }
    int64_t Joints() const { return m_nJoints; }
    int64_t Primitives() const { return m_nPrimitives; }
    // The box of every stroke end point, right and bottom included; meaningless without strokes.
    const SRect& StrokeExtent() const { return m_rcStrokes; }
    // The largest magnitude of any stroke or joint coordinate.
    int64_t LargestCoordinate() const { return m_nLargest; }
    int64_t Checksum() const { return m_nChecksum; }

private:
    void Touch(int x, int y);
    void TouchEnd(int x, int y);

    int64_t m_nStrokes = 0;
    int64_t m_nJoints = 0;
    int64_t m_nPrimitives = 0;
    int64_t m_nLargest = 0;
    int64_t m_nChecksum = 0;
    SRect m_rcStrokes{0, 0, 0, 0};
};
