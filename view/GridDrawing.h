#pragma once

#include <QColor>
#include <QRect>

#include "model/Geometry.h"
#include "view/ViewGeometry.h"

class CBioMorph;
class QPainter;

// The grid's lines, two pixels wide, across rect (short of the scroll bar when it shows).
void DrawGridLines(QPainter& p, const SGridGeometry& grid, QColor colour, const SRect& rect);
// Every cell's frame: black, the parent's cell red and doubled.
void DrawCellFrames(QPainter& p, const SGridGeometry& grid, int parentCol, int parentRow);
// A morph centred in a cell, clipped to the cell shrunk by inset pixels (a repaint keeps the
// frames clear; the breeding animation clips to the cell itself). bounds: the picture's area.
void DrawMorphInCell(QPainter& p, const QRect& bounds, CBioMorph& morph, const SRect& cell,
                     int inset, int orientation, int zoom = 1);
