#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/DrawSurface.h"

// Draws into an SVG picture what the program's window shows on a white ground.
//
// SVG has no raster operations, so a primitive drawn in XOR mode takes the inverted colour,
// which is what XOR over white shows (a white XOR pen shows black). Overlaps that XOR would
// cancel are painted twice instead; on a picture that starts white that is the closest
// strokes can come. A tool built with Qt draws the picture the program's way and gives the
// traced pixels to SetInk instead, which shows XOR exactly.
//
// Wild genomes reach coordinates of a few hundred million pixels and hundreds of thousands
// of strokes. Primitives that fall wholly outside the picture are left out, those that
// reach far beyond it are cut back to its neighbourhood (renderers lose precision out
// there), and the number of elements written is capped, so the file stays small and
// well-formed whatever the genome.
class CSvgSurface : public IDrawSurface {
public:
    static constexpr size_t kDefaultElementLimit = 250000;

    CSvgSurface(int width, int height, size_t elementLimit = kDefaultElementLimit);

    void SetPixel(int x, int y, SRgb colour) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void Polygon(const SPoint* points, int count) override;
    void Bezier13(const SPoint* points) override;
    void Ellipse(const SRect& box) override;
    void FillRect(const SRect& rect, SRgb colour) override;
    void FrameRect(const SRect& rect, SRgb colour) override;
    void SetClip(const SRect* clip) override;

    // An element (such as <metadata>) to write right after the opening <svg> tag.
    void SetMetadata(std::string metadata) { m_strMetadata = std::move(metadata); }
    // Replaces whatever is drawn with SVG elements in the picture's pixel coordinates (the
    // program's own pixels traced into shapes, which show XOR exactly; see tools/PngPicture.h).
    void SetInk(std::string elements) { m_strInk = std::move(elements); }

    // The whole document: header, metadata, white background and everything drawn so far.
    std::string Document() const;
    size_t ElementCount() const { return m_nElements; }
    // Visible primitives left out because the cap was reached.
    size_t DroppedCount() const { return m_nDropped; }

private:
    struct SPointF {
        double x;
        double y;
    };
    // Inclusive pixel box in 64 bits, so widening by a pen never overflows.
    struct SBox {
        int64_t left;
        int64_t top;
        int64_t right;
        int64_t bottom;
    };

    int PenWidth() const;
    SRgb PenColour() const;
    SRgb BrushColour() const;
    // Whether a primitive covering the box (before the pen widens it) shows and may still
    // be written; counts what the cap turns away.
    bool Admit(SBox box);
    bool InsideNear(int64_t x, int64_t y) const;
    // Opens a group with the pen (and, for shapes with an inside, the brush) unless the open
    // group already draws that way.
    void UseDrawStyle(bool bFilled);
    void CloseStyle();
    void CloseClip();
    void Emit(const std::string& element);
    void EmitPolygon(const std::vector<SPointF>& points);
    // A closed outline of cubic arcs that reaches far outside the picture: flattened near the
    // picture, cut to its neighbourhood and written as a polygon.
    void EmitFarCurve(const std::vector<SPointF>& points);
    void FlattenCubic(const SPointF& p0, const SPointF& p1, const SPointF& p2, const SPointF& p3,
                      int depth, std::vector<SPointF>& out) const;
    std::vector<SPointF> ClipToNear(const std::vector<SPointF>& polygon) const;

    int m_nWidth;
    int m_nHeight;
    size_t m_nElementLimit;
    // Geometry is kept exact within this many pixels of the picture and cut there beyond
    // it; pens are held to this width too, which still covers the picture several times.
    int64_t m_nNear;
    SBox m_rcVisible;  // the picture, narrowed by the clip
    SBox m_rcNear;     // the picture widened by m_nNear
    std::string m_strMetadata;
    std::string m_strBody;
    std::string m_strInk;
    std::string m_strStyle;  // attributes of the open style group; empty when none is open
    bool m_bClipOpen = false;
    int m_nClipCount = 0;
    size_t m_nElements = 0;
    size_t m_nDropped = 0;
};
