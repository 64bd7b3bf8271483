#pragma once

#include <QPainter>
#include <QRect>
#include <functional>
#include <vector>

#include "model/Geometry.h"

class CBioMorph;
class IDrawSurface;

// Draws a morph centred on (x, y) as Draw does, at a zoom of 1 to 4 about that point.
void DrawMorphZoomed(IDrawSurface& surface, CBioMorph& morph, int x, int y, int orientation,
                     int zoom);

// One morph to draw in one cell of a picture.
struct SCellJob {
    CBioMorph* pMorph = nullptr;
    SRect rcCell;     // the cell's rectangle
    int nInset = 0;   // the drawing is clipped to the cell shrunk by this much
    SPoint ptCentre;  // where the morph is centred
    int nOrientation = 0;
    int nZoom = 1;  // drawn this many times as large about the centre
};

// Runs draw on a thread of Qt's pool and waits for it. Qt's raster engine hands every large fill
// made outside that pool to the pool and waits for it, a hand-over that costs far more than
// the fill for the wide strokes and leaves of morphs; made inside the pool, fills stay on their
// own thread. The calling thread does nothing meanwhile, so the program stays single-threaded;
// draw must touch no widget.
void RunDrawing(const std::function<void()>& draw);

// How many threads a repaint's cells are shared between: one per core, at most four.
int CellThreadCount();

// Draws each job's morph clipped to its cell, with the painter's picture as the target. Cells
// never overlap, so with threads > 1 they are rasterised side by side on worker threads, each
// with its own painter on the picture's memory, and the picture comes out byte for byte as
// with one thread; threads <= 0 takes CellThreadCount(). Every worker has finished when this
// returns. While it runs the model's drawing switches (gene tables, remeasure flag) are only read,
// so nothing else may change them; a morph in several jobs is drawn by one thread only. bounds: the
// picture's logical area, as for CQtSurface. Where the painter does not paint a plain image (a
// printer, a transform), the cells are drawn one by one through the painter itself.
void RenderCells(QPainter& painter, const QRect& bounds, const std::vector<SCellJob>& jobs,
                 int threads);
