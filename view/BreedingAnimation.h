#pragma once

#include <QRect>

#include "model/Geometry.h"

class IModeContext;
class QPainter;

// One breeding step as the user sees it: the chosen child's box travels to the parent's cell,
// the screen clears to the new parent, and the offspring appear one by one, each with a flash
// of a line from the parent. Every picture is drawn into the view's screen image and only
// the rectangle that changed is shown again.
class CBreedingAnimation {
public:
    explicit CBreedingAnimation(IModeContext& ctx) : m_ctx(ctx) {}

    // The whole step from a cell: the child's genome becomes the parent's, then the offspring
    // are bred anew and revealed. Input is held meanwhile (Esc stops the reveal).
    void BreedFromCell(int cell);
    // The parent alone, then the offspring revealed (entering Breed mode).
    void ShowBreedingScreen();

private:
    void ClearToParent(const SRect& parentCell);
    // How far inside its cell a morph of the reveal is clipped. At 1x the whole cell; zoomed
    // morphs often reach past their cells, so they stop inside the frames, as a repaint's do,
    // and the parent's red frame stays in sight.
    int RevealInset() const;
    void TravelBox(int x0, int y0, int x1, int y1, int n);
    void DrawTravelOutline(QPainter& p, const SRect& r) const;
    void RevealOffspring(int px, int py);
    void FlashLine(int x0, int y0, int x1, int y1, int ms);
    bool CheckEscape();

    IModeContext& m_ctx;
};
