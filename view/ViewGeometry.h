#pragma once

#include "model/Geometry.h"

// The view's geometry on client pixels, free of any window: the breeding grid, its cells and
// the gene-space triangle's corners. Integer division truncates.
struct SGridGeometry {
    int nClientW = 0;
    int nClientH = 0;
    int nCols = 5;
    int nRows = 3;
    bool bVScrollVisible = false;
    int nVScrollWidth = 0;

    // Width left for the grid: the vertical scroll bar, when shown, takes its width less one.
    int GridWidth() const { return bVScrollVisible ? nClientW - (nVScrollWidth - 1) : nClientW; }
    int CellWidth() const { return GridWidth() / nCols; }
    int CellHeight() const { return nClientH / nRows; }
    // The cell's rectangle shrunk by one pixel on every side.
    SRect CellRectAt(int col, int row) const;
    // Cells numbered row by row, left to right.
    SRect CellRect(int index) const { return CellRectAt(index % nCols, index / nCols); }
    int ParentCol() const { return nCols / 2; }
    int ParentRow() const { return nRows / 2; }
    int ParentCell() const { return nRows * nCols / 2; }
};

// How large morphs are drawn: 1 (as they grow) to kMaxZoom times, for a projector.
inline constexpr int kMaxZoom = 4;

// Strictly inside: the cell's border pixels do not count.
inline bool PtInCell(const SRect& r, int x, int y) {
    return r.left < x && x < r.right && r.top < y && y < r.bottom;
}

struct STriangleCorners {
    SPoint top;
    SPoint left;
    SPoint right;
};

// Corners of the gene-space triangle in a rectangle; the division comes first.
STriangleCorners TriangleCornersIn(const SRect& rect);

// The parent cell of a grid filling the client, shrunk by 2 on each side: what Copy takes.
SRect ParentCellRect(int clientW, int clientH, int cols, int rows);
