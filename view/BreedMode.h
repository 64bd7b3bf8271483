#pragma once

#include "view/BreedingAnimation.h"
#include "view/ModeHandler.h"

class IModeContext;

// Breed mode: the parent in the middle cell framed in red, its offspring around it; a click on
// a cell breeds from that morph. From the keyboard, the arrow keys move a marked cell and
// Enter breeds from it, as a click there would.
class CBreedMode : public IModeHandler {
public:
    explicit CBreedMode(IModeContext& ctx) : m_ctx(ctx), m_animation(ctx) {}

    void Enter() override;
    SBarSetup BarSetup() const override { return {false, false, true, true}; }
    void RepeatStep() override;
    void Render(QPainter& painter, bool bPrinting) override;
    void Press(QPoint point) override;
    void Move(QPoint point) override;
    ECursorShape CursorAt(QPoint /*point*/) const override { return ECursorShape::BreedRod; }
    CBioMorph* MorphAt(QPoint point) const override;
    CBioMorph* ListMorph(int index) const override;
    CBioMorph* CellMorph(int cell) const override;
    void Pasted() override;
    void Leave() override;
    bool KeyPress(QKeyEvent* event) override;
    void MousePressed() override;
    void DrawOverlay(QPainter& painter) const override;

    // The cell the keyboard points at, or -1 while the keyboard has not been used.
    int KeyCell() const;
    std::optional<QPoint> KeyboardPoint() const override;

    // A breeding step from a cell, with its animation.
    void BreedFromCell(int cell) { m_animation.BreedFromCell(cell); }
    void ShowBreedingScreen() { m_animation.ShowBreedingScreen(); }

private:
    int CellAt(QPoint point) const;
    void SetKeyCell(int cell);

    IModeContext& m_ctx;
    CBreedingAnimation m_animation;
    int m_nKeyCell = -1;
};
