#pragma once

#include <cstdint>

#include "model/DrawSurface.h"

// The cheapest surface development can draw on: it counts what arrives and touches one
// coordinate of each primitive so nothing can be skipped, and draws nothing. Drawing onto it
// costs development's own work plus one virtual call per primitive.
class CNullSurface : public IDrawSurface {
public:
    void SetPixel(int x, int /*y*/, SRgb /*colour*/) override { Count(x); }
    void Line(int x0, int /*y0*/, int /*x1*/, int /*y1*/) override { Count(x0); }
    void Polygon(const SPoint* points, int /*count*/) override { Count(points[0].x); }
    void Bezier13(const SPoint* points) override { Count(points[0].x); }
    void Ellipse(const SRect& box) override { Count(box.left); }
    void FillRect(const SRect& rect, SRgb /*colour*/) override { Count(rect.left); }
    void FrameRect(const SRect& rect, SRgb /*colour*/) override { Count(rect.left); }
    void SetClip(const SRect* /*clip*/) override {}
    void OnStroke(int /*x0*/, int /*y0*/, int /*x1*/, int /*y1*/) override { ++m_nStrokes; }

    int64_t Strokes() const { return m_nStrokes; }
    int64_t Primitives() const { return m_nPrimitives; }
    int64_t Checksum() const { return m_nChecksum; }

private:
    void Count(int x) {
        ++m_nPrimitives;
        m_nChecksum += x;
    }

    int64_t m_nStrokes = 0;
    int64_t m_nPrimitives = 0;
    int64_t m_nChecksum = 0;
};
