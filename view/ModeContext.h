#pragma once

#include <QPoint>
#include <QRect>

#include "document/QuorvaleDoc.h"
#include "view/Clock.h"
#include "view/GeneBarControls.h"
#include "view/ViewGeometry.h"

class CUndoHistory;
class QColor;
class QCursor;
class QImage;
class QWidget;
class QPainter;
class QRegion;
class QScrollBar;

// What a mode handler (and the animations it runs) may use of the view: the document, the
// grid's geometry, the screen picture and its repaints, the gene bar, undo and the clock.
// Each handler gets this context and no more, so a mode cannot reach the frame, the menus or
// another mode's state.
class IModeContext {
public:
    virtual ~IModeContext() = default;

    // The document, and what shows and steers it.
    virtual CQuorvaleDoc& Doc() const = 0;
    virtual IGeneBarControls& Bar() const = 0;
    virtual IGeneDisplay& Genes() const = 0;
    virtual IClock& Clock() = 0;
    virtual CUndoHistory& History() const = 0;

    // The view's size and the grid.
    virtual int ViewWidth() const = 0;
    virtual int ViewHeight() const = 0;
    QRect ViewRect() const { return QRect(0, 0, ViewWidth(), ViewHeight()); }
    SRect ClientRect() const { return {0, 0, ViewWidth(), ViewHeight()}; }
    virtual int Cols() const = 0;
    virtual int Rows() const = 0;
    virtual int ParentCell() const = 0;
    virtual SGridGeometry Grid() const = 0;
    virtual SRect CellRect(int index) const = 0;
    virtual int Zoom() const = 0;
    virtual int CellThreads() const = 0;
    virtual QScrollBar* VScrollBar() const = 0;

    // The screen picture: drawing into it and showing it.
    virtual QImage& Screen() = 0;
    virtual void ShowScreen(const QRect& changed) = 0;
    virtual void ShowScreen(const QRegion& changed) = 0;
    void ShowScreen() { ShowScreen(QRect()); }
    virtual void EnsureScreen() = 0;
    virtual bool NeedsDraw() const = 0;
    virtual void OnDraw() = 0;
    virtual QImage NewPicture() const = 0;
    virtual void Invalidate() = 0;
    // The window repaints a rectangle at its next paint (marks drawn over the screen).
    virtual void UpdateRect(const QRect& rect) = 0;
    virtual void DrawGridLines(QPainter& p, QColor colour, const SRect& rect) const = 0;
    virtual void DrawCellFrames(QPainter& p) const = 0;
    virtual void DrawMorphInCell(QPainter& p, CBioMorph& morph, const SRect& r, int inset) = 0;
    virtual QImage MorphPicture(CBioMorph& morph, int scale) = 0;

    // The pointer.
    virtual QPoint PointerPos() const = 0;
    virtual void UpdateCursor(QPoint point) = 0;
    virtual void SetViewCursor(const QCursor& cursor) = 0;

    // What the modes share.
    virtual CBioMorph* ListMorph(int index) const = 0;
    virtual CBioMorph* CellMorph(int cell) const = 0;
    virtual CBioMorph* MorphAt(QPoint point) const = 0;
    virtual void RecordFossil(const CBioMorph& morph) = 0;
    virtual EFamilyTool FamilyTool() const = 0;
    virtual int LastEvolve() const = 0;
    virtual void SetLastEvolve(int evolve) = 0;
    virtual void RepeatLastEvolve() = 0;
    virtual bool IsAnimating() const = 0;
    virtual void SetAnimating(bool bAnimating) = 0;
    // A press at a point as a click there would make it; false if ignored (Repeat runs).
    virtual bool PressAsClick(QPoint point) = 0;
    // The error beep of a refused action.
    virtual void Beep() = 0;
    // Something the user did may have changed the document.
    virtual void NotifyDocumentChanged() = 0;
    // Animations: the object whose input they hold, switching Repeat off (Esc), and the
    // screen showing what a repaint would.
    virtual QWidget* InputTarget() = 0;
    virtual void StopRepeat() = 0;
    virtual void MarkDrawn() = 0;
};
