#pragma once

#include "document/FossilScroll.h"
#include "view/ModeHandler.h"

class IModeContext;

// The fossil history: a page of the recorded morphs in the grid's cells, numbered, with a
// scroll bar when they do not all fit.
class CFossilMode : public IModeHandler {
public:
    explicit CFossilMode(IModeContext& ctx) : m_ctx(ctx) {}

    void Enter() override;
    void Leave() override;
    void Render(QPainter& painter, bool bPrinting) override;
    void Move(QPoint point) override;
    bool Wheel(QWheelEvent* event) override;
    CBioMorph* MorphAt(QPoint point) const override;
    CBioMorph* ListMorph(int index) const override;
    CBioMorph* CellMorph(int cell) const override { return ListMorph(m_nFirstFossil + cell); }
    int FirstIndexShown() const override { return m_nFirstFossil; }

    void SetFirstFossil(int first) { m_nFirstFossil = first; }
    const SFossilScroll& ScrollState() const { return m_fossilBar; }
    // The history changed size: the bar's range follows it and the page goes back to the top.
    void SetScrollRange();
    void Scroll(EScrollRequest request, int position);
    void SyncScrollBar();
    // Pages of a print: a page of grid cells each.
    int PrintPageCount() const override;
    void TurnToPrintPage(int page) override;

private:
    IModeContext& m_ctx;
    int m_nFirstFossil = 0;
    SFossilScroll m_fossilBar;
    int m_nWheelDelta = 0;
};
