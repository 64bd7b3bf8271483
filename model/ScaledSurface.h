#pragma once

#include "model/DrawSurface.h"

// Draws onto another surface at a scale about an origin: every point moves that many times
// as far from the origin, and every pen is that many times as wide, so a morph drawn through
// it is drawn large rather than enlarged afterwards. A morph centred on the origin stays
// centred there. Clips and rectangles set by the caller stay in the target's own coordinates.
class CScaledSurface : public IDrawSurface {
public:
    CScaledSurface(IDrawSurface& target, SPoint origin, int scale);
    // A scale of num / den, larger or smaller than 1: a picture of bounded size shows a morph
    // of any size whole, drawn small rather than shrunk from a huge picture. Points round to
    // the nearest pixel; a pen stays at least one pixel wide.
    CScaledSurface(IDrawSurface& target, SPoint origin, int64_t num, int64_t den);

    bool IsPrinter() const override { return m_target.IsPrinter(); }
    void SetPixel(int x, int y, SRgb colour) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void Polygon(const SPoint* points, int count) override;
    void Bezier13(const SPoint* points) override;
    void Ellipse(const SRect& box) override;
    void FillRect(const SRect& rect, SRgb colour) override;
    void FrameRect(const SRect& rect, SRgb colour) override;
    void SetClip(const SRect* clip) override { m_target.SetClip(clip); }
    void OnStroke(int x0, int y0, int x1, int y1) override;
    void OnJoint(int x0, int y0, int x1, int y1) override;

    SPoint Scaled(SPoint p) const;
    SRect Scaled(const SRect& r) const;

private:
    // The target takes the state scaled: pens as wide as they are drawn.
    void PassState();

    IDrawSurface& m_target;
    SPoint m_origin;
    int64_t m_nNum;
    int64_t m_nDen;
};

// The rectangle a box drawn at 1x covers when drawn at the scale about the origin.
SRect ScaledAbout(const SRect& r, SPoint origin, int scale);
