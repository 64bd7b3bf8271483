#pragma once

#include <QImage>
#include <optional>

#include "model/Geometry.h"
#include "view/ModeHandler.h"

class CBioMorph;
class IModeContext;
class IDrawSurface;

// The gene-space triangle: three morphs at its corners, and wherever the pointer goes, the
// morph blended from them by its distances to the corners. A click leaves that morph there.
class CTriangleMode : public IModeHandler {
public:
    explicit CTriangleMode(IModeContext& ctx) : m_ctx(ctx) {}

    void Enter() override;
    void Leave() override;
    void Render(QPainter& painter, bool bPrinting) override;
    QImage* KeptPicture() override;
    void Press(QPoint point) override;
    void Move(QPoint point) override;
    void PointerLeft() override;
    void Resized() override;
    ECursorShape CursorAt(QPoint point) const override;
    bool OffersContextMenuAt(QPoint /*point*/) const override { return false; }

    // The corners or the orientation changed: the whole triangle is drawn again.
    void MarkDirty() { m_bDirty = true; }
    void Pasted() override { m_bDirty = true; }
    // The points were cleared: nothing is left to add to the picture.
    void Cleared();
    SPoint Top() const { return m_ptTop; }
    SPoint Left() const { return m_ptLeft; }
    SPoint Right() const { return m_ptRight; }

private:
    void DrawTriangle(QPainter& p, const SRect& rect);
    void DrawPoints(QPainter& p);
    void ShowPointer();
    void DevelopZoomed(IDrawSurface& surface, CBioMorph& morph, int x, int y) const;
    // Puts the kept picture back where the live morph was on the screen; returns that area.
    QRect RemoveLiveMorph();

    IModeContext& m_ctx;
    QImage m_picture;
    SPoint m_ptTop{}, m_ptLeft{}, m_ptRight{};
    bool m_bDirty = true;
    bool m_bPointerHidden = false;
    // The point of the last click, drawn on the kept picture at the next repaint.
    std::optional<SPoint> m_ptClick;
    // Where the morph under the pointer is drawn on the screen; everywhere else the screen is
    // the kept picture.
    QRect m_rcLive;
};
