#include "view/ViewGeometry.h"

SRect SGridGeometry::CellRectAt(int col, int row) const {
    const int w = CellWidth();
    const int h = CellHeight();
    return {col * w + 1, row * h + 1, (col + 1) * w - 1, (row + 1) * h - 1};
}

STriangleCorners TriangleCornersIn(const SRect& rect) {
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    return {{w / 2, 2 * (h / 9)}, {2 * (w / 9), 7 * (h / 9)}, {7 * (w / 9), 7 * (h / 9)}};
}

SRect ParentCellRect(int clientW, int clientH, int cols, int rows) {
    const int cellW = clientW / cols;
    const int cellH = clientH / rows;
    const int right = cellW * (cols / 2 + 1);
    const int bottom = cellH * (rows / 2 + 1);
    return {right - cellW + 2, bottom - cellH + 2, right - 2, bottom - 2};
}
