#pragma once

#include <vector>

#include "model/DrawSurface.h"

// Keeps every primitive it is given, with the state it was drawn in. Serves the tests and
// the command-line tool.
class CRecordingSurface : public IDrawSurface {
public:
    enum class EKind {
        Pixel,
        Line,
        Polygon,
        Bezier,
        Ellipse,
        FillRect,
        FrameRect,
        Clip,
        Stroke,
        Joint
    };

    struct SOp {
        EKind kind;
        SDrawState state;
        SRgb colour;                 // Pixel, FillRect, FrameRect
        std::vector<SPoint> points;  // Line, Stroke, Joint: two; Polygon; Bezier: 13
        SRect rect;                  // Ellipse, FillRect, FrameRect, Clip
    };

    explicit CRecordingSurface(bool bPrinter = false) : m_bPrinter(bPrinter) {}

    bool IsPrinter() const override { return m_bPrinter; }
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

    const std::vector<SOp>& Ops() const { return m_ops; }
    std::vector<SOp> OpsOf(EKind kind) const;
    void Clear() { m_ops.clear(); }

private:
    bool m_bPrinter;
    std::vector<SOp> m_ops;
};
