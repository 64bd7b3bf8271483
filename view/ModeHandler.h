#pragma once

#include <QPoint>
#include <optional>

class CBioMorph;
class QImage;
class QKeyEvent;
class QPainter;
class QWheelEvent;

// The pointer shapes the view shows; the view turns them into cursors.
enum class ECursorShape {
    Arrow,
    BreedRod,  // Breed mode: the hand holding a rod
    Move,      // over a family node's frame, or while one is dragged
    Pistol,    // the Destroy tool over a node
    Scissors,  // the Destroy tool over a link
    Family,    // the Create tool over a node, or while a child is dragged out
    Hidden,    // the triangle's live morph stands in for the pointer
};

// How a mode sets the gene bar's controls.
struct SBarSetup {
    bool bEditable = false;
    bool bHopeful = false;
    bool bRepeatShown = false;
    bool bRepeatEnabled = false;
};

// What one mode of the view does: its picture, its answer to the mouse and keys, its cursor
// and where it offers the context menu. The view owns one handler per mode and passes each
// event to the handler of the document's mode.
class IModeHandler {
public:
    virtual ~IModeHandler() = default;

    // The mode becomes current or stops being current.
    virtual void Enter() {}
    virtual void Leave() {}
    // The gene bar's controls in the mode.
    virtual SBarSetup BarSetup() const { return {}; }
    // One step of Repeat in the mode (Breed and Engineer step; the others do not).
    virtual void RepeatStep() {}

    // Draws the mode's whole picture with the painter (on the screen picture or a printer's).
    virtual void Render(QPainter& painter, bool bPrinting) = 0;
    // The picture a mode keeps between repaints and adds to (the triangle's points, the
    // family tree), sized to the screen; null for the modes that draw afresh each time.
    virtual QImage* KeptPicture() { return nullptr; }

    virtual void Press(QPoint /*point*/) {}
    virtual void Move(QPoint /*point*/) {}
    // True if the mode used the release.
    virtual bool Release(QPoint /*point*/) { return false; }
    // True if the mode used the wheel.
    virtual bool Wheel(QWheelEvent* /*event*/) { return false; }
    // True if the mode used the key.
    virtual bool KeyPress(QKeyEvent* /*event*/) { return false; }
    virtual bool KeyRelease(QKeyEvent* /*event*/) { return false; }
    // A mouse button went down on the view (before the press is handled).
    virtual void MousePressed() {}
    // Marks drawn on the window over the screen picture, never into it (the keyboard's cell).
    virtual void DrawOverlay(QPainter& /*painter*/) const {}
    virtual void PointerLeft() {}
    // The view changed size.
    virtual void Resized() {}

    virtual ECursorShape CursorAt(QPoint /*point*/) const { return ECursorShape::Arrow; }
    // Where the menu key opens the context menu: the cell the keyboard marks, if any.
    virtual std::optional<QPoint> KeyboardPoint() const { return std::nullopt; }
    // Whether a right click at the point shows the context menu.
    virtual bool OffersContextMenuAt(QPoint /*point*/) const { return true; }
    // The morph of an index of the mode's list (offspring or fossils), and of a grid cell.
    virtual CBioMorph* ListMorph(int /*index*/) const { return nullptr; }
    virtual CBioMorph* CellMorph(int /*cell*/) const { return nullptr; }
    // The current morph was pasted over.
    virtual void Pasted() {}
    // The morph shown at a point, if any.
    virtual CBioMorph* MorphAt(QPoint /*point*/) const { return nullptr; }
    // Printing: how many pages the mode prints, and turning to one (1-based).
    virtual int PrintPageCount() const { return 1; }
    virtual void TurnToPrintPage(int /*page*/) {}
    // The list index shown in the first cell (the fossil history shows a page of its list).
    virtual int FirstIndexShown() const { return 0; }
};
