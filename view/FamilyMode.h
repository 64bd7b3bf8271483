#pragma once

#include <QImage>
#include <QSize>
#include <optional>
#include <vector>

#include "model/Geometry.h"
#include "view/ModeHandler.h"

class CFamilyMorph;
class IModeContext;

// The family trees. With the Create tool a drag from a node makes a mutant child where the
// button is let go, and a drag by a node's frame moves it; with the Destroy tool a click on a
// node destroys its line of descent and a click on a link cuts it.
class CFamilyMode : public IModeHandler {
public:
    explicit CFamilyMode(IModeContext& ctx) : m_ctx(ctx) {}

    void Enter() override;
    void Leave() override;
    void Render(QPainter& painter, bool bPrinting) override;
    QImage* KeptPicture() override;
    void Press(QPoint point) override;
    void Move(QPoint point) override;
    bool Release(QPoint point) override;
    void Resized() override;
    ECursorShape CursorAt(QPoint point) const override;
    bool OffersContextMenuAt(QPoint point) const override;
    CBioMorph* MorphAt(QPoint point) const override;

    bool IsCreatingChild() const { return m_pCreateParent != nullptr; }
    // Ends any gesture: its nodes may be deleted next (New, Open, Clear), and no pointer to
    // them may outlive that.
    void EndGesture();

private:
    void DrawDragOutline(QPainter& p, SPoint centre, int bw, int bh,
                         const std::vector<SPoint>& ends) const;
    void MoveRubberBand(QPoint point);
    void MoveDraggedNode(QPoint point);
    // Moves every tree together so that all nodes with their frames lie in the view, as far
    // as they fit.
    void FitIntoView();
    // A point moved inside the view, so that a node put there can be reached again.
    QPoint WithinReach(QPoint point) const;

    IModeContext& m_ctx;
    QImage m_picture;
    CFamilyMorph* m_pCreateParent = nullptr;
    CFamilyMorph* m_pDragNode = nullptr;
    // The rubber band from the parent while a child is dragged out, as shown.
    std::optional<SPoint> m_ptRubber;
    // The outline of the dragged node, as shown.
    std::optional<SPoint> m_ptDragMark;
    bool m_bDragFirstMove = false;
    QSize m_szDragOffset;
};
