#pragma once

#include "view/ModeHandler.h"

class IModeContext;

// Engineer mode: the current morph alone in the middle of the view. A click (or Space) makes
// a mutant of it; the gene bar edits its genes.
class CEngineerMode : public IModeHandler {
public:
    explicit CEngineerMode(IModeContext& ctx) : m_ctx(ctx) {}

    void Enter() override;
    SBarSetup BarSetup() const override { return {true, true, true, false}; }
    void RepeatStep() override;
    void Render(QPainter& painter, bool bPrinting) override;
    void Press(QPoint point) override;
    bool KeyRelease(QKeyEvent* event) override;
    CBioMorph* MorphAt(QPoint point) const override;

    // A click: the current morph mutates and is recorded.
    void Click();

private:
    IModeContext& m_ctx;
};
