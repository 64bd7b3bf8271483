#pragma once

#include <cstdint>

#include "model/Geometry.h"
#include "model/Palette.h"

enum class ERop : uint8_t { Copy, Xor };

// What a stroke is drawn with: the selected pen, brush and raster mode.
struct SDrawState {
    int nPenWidth = 1;
    SRgb penColour = kBlack;
    SRgb brushColour = kWhite;
    ERop rop = ERop::Copy;
    friend bool operator==(const SDrawState&, const SDrawState&) = default;
};

// The drawing surface development draws through. The state (pen, brush, raster mode) is
// plain data here, so saving and restoring it around a stroke costs nothing; an
// implementation reads it when a primitive arrives and may batch primitives that share it.
// Every primitive strokes with the pen and fills with the brush in the raster mode.
class IDrawSurface {
public:
    virtual ~IDrawSurface() = default;

    // A printer cannot do raster operations and wants coordinates scaled for its resolution.
    virtual bool IsPrinter() const { return false; }

    const SDrawState& State() const { return m_state; }
    void SetState(const SDrawState& state) { m_state = state; }
    void SetPen(int width, SRgb colour) {
        m_state.nPenWidth = width;
        m_state.penColour = colour;
    }
    void SetBrush(SRgb colour) { m_state.brushColour = colour; }
    void SetRop(ERop rop) { m_state.rop = rop; }

    void MoveTo(int x, int y) { m_ptCurrent = {x, y}; }
    void LineTo(int x, int y) {
        Line(m_ptCurrent.x, m_ptCurrent.y, x, y);
        m_ptCurrent = {x, y};
    }
    SPoint CurrentPosition() const { return m_ptCurrent; }

    // Sets one pixel to the colour, whatever the raster mode.
    virtual void SetPixel(int x, int y, SRgb colour) = 0;
    virtual void Line(int x0, int y0, int x1, int y1) = 0;
    // A closed path of straight lines, stroked and filled.
    virtual void Polygon(const SPoint* points, int count) = 0;
    // A path of four Bezier arcs (13 points), stroked and filled.
    virtual void Bezier13(const SPoint* points) = 0;
    // A filled ellipse inside the box; the box may come with its corners in either order.
    virtual void Ellipse(const SRect& box) = 0;
    // Rectangles filled or framed (one pixel inside the edge) with a colour, in copy mode.
    virtual void FillRect(const SRect& rect, SRgb colour) = 0;
    virtual void FrameRect(const SRect& rect, SRgb colour) = 0;
    // Keeps drawing inside a rectangle; null removes the clip.
    virtual void SetClip(const SRect* clip) = 0;

    // Notes for observers (the tool, tests): development announces each stroke and segment
    // joint before drawing it. Drawing surfaces ignore them.
    virtual void OnStroke(int /*x0*/, int /*y0*/, int /*x1*/, int /*y1*/) {}
    virtual void OnJoint(int /*x0*/, int /*y0*/, int /*x1*/, int /*y1*/) {}

protected:
    SDrawState m_state;
    SPoint m_ptCurrent;
};

// Scale applied to family-tree positions when drawing on a printer; the view sets it.
extern float g_fPrintScale;
