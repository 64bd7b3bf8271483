#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "model/BioMorph.h"

class CFamilyMorph;

// One family tree: the list that owns its nodes, root first. The document keeps a list of them.
using CFamilyList = std::vector<std::unique_ptr<CFamilyMorph>>;
using CFamilyLists = std::vector<std::unique_ptr<CFamilyList>>;

// The family list that holds the node, or null; families are searched in order.
CFamilyList* FindFamilyOf(const CFamilyLists& families, const CFamilyMorph* node);

// A node of a family tree: a morph with a place in the tree picture, its children (not owned)
// and its parent.
class CFamilyMorph : public CBioMorph {
public:
    // A root: copies the genome and the source's bounds widened by 2.
    explicit CFamilyMorph(const CBioMorph& source);
    // A child at a position; the caller links it to its parent.
    CFamilyMorph(const CBioMorph& source, int x, int y);
    ~CFamilyMorph() override;

    void AddChild(CFamilyMorph* child);
    void RemoveChild(CFamilyMorph* child);
    // Moves every descendant (not this node) from one list to the other, parents first.
    void MoveDescendants(CFamilyList& source, CFamilyList& target);
    // Deletes every descendant, deepest first, each from the family list that owns it.
    void DeleteDescendants(CFamilyLists& families);

    bool HitNode(int x, int y) const;
    bool HitFrame(int x, int y) const;
    // The (parent, child) pair whose joining line is under the point, or (null, null).
    std::pair<CFamilyMorph*, CFamilyMorph*> FindLink(int x, int y);
    void DrawFamily(IDrawSurface& surface, int o);

    SPoint m_ptNode{};
    std::vector<CFamilyMorph*> m_Children;
    CFamilyMorph* m_pParent = nullptr;

private:
    SPoint DrawPosition(const IDrawSurface& surface) const;
};
