#include "document/DocState.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "document/QuorvaleDoc.h"
#include "model/FamilyMorph.h"

SMorphState SMorphState::Of(const CBioMorph& morph) {
    SMorphState s;
    s.genes = morph.m_Genes;
    s.gradients = morph.m_Gradients;
    s.bounds = morph.m_rcBounds;
    s.offset = morph.m_ptOffset;
    return s;
}

void SMorphState::ApplyTo(CBioMorph& morph) const {
    // Field by field: copying a genome through the morph's own calls would also touch the
    // special-gene switches, which undo leaves alone.
    morph.m_Genes = genes;
    morph.m_Gradients = gradients;
    morph.m_rcBounds = bounds;
    morph.m_ptOffset = offset;
    morph.m_bLaidOut = 0;
}

namespace {

bool SameGenomes(const std::vector<SMorphState>& a, const std::vector<SMorphState>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const SMorphState& x, const SMorphState& y) { return x.SameGenome(y); });
}

SFamilyTreeState CaptureTree(const CFamilyList& tree) {
    std::unordered_map<const CFamilyMorph*, int> index;
    for (size_t i = 0; i < tree.size(); ++i) {
        index[tree[i].get()] = static_cast<int>(i);
    }
    const auto indexOf = [&index](const CFamilyMorph* node) {
        const auto it = index.find(node);
        return it == index.end() ? -1 : it->second;
    };
    SFamilyTreeState state;
    state.reserve(tree.size());
    for (const auto& node : tree) {
        SFamilyNodeState n;
        n.morph = SMorphState::Of(*node);
        n.node = node->m_ptNode;
        n.parent = indexOf(node->m_pParent);
        for (const CFamilyMorph* child : node->m_Children) {
            n.children.push_back(indexOf(child));
        }
        state.push_back(std::move(n));
    }
    return state;
}

std::unique_ptr<CFamilyList> RebuildTree(const SFamilyTreeState& state) {
    auto tree = std::make_unique<CFamilyList>();
    CBioMorph blank;
    for (const SFamilyNodeState& n : state) {
        auto node = std::make_unique<CFamilyMorph>(blank, n.node.x, n.node.y);
        n.morph.ApplyTo(*node);
        node->m_ptNode = n.node;
        tree->push_back(std::move(node));
    }
    const auto at = [&tree](int i) -> CFamilyMorph* {
        return i >= 0 && static_cast<size_t>(i) < tree->size()
                   ? (*tree)[static_cast<size_t>(i)].get()
                   : nullptr;
    };
    for (size_t i = 0; i < state.size(); ++i) {
        CFamilyMorph& node = *(*tree)[i];
        node.m_pParent = at(state[i].parent);
        for (int c : state[i].children) {
            if (CFamilyMorph* child = at(c)) {
                node.m_Children.push_back(child);
            }
        }
    }
    return tree;
}

}  // namespace

SDocState SDocState::Capture(const CQuorvaleDoc& doc, int cols, int rows) {
    SDocState s;
    s.current = SMorphState::Of(*doc.m_pCurrent);
    s.offspring.reserve(doc.m_listOffspring.size());
    for (const auto& child : doc.m_listOffspring) {
        s.offspring.push_back(SMorphState::Of(*child));
    }
    s.cols = cols;
    s.rows = rows;
    for (const auto& tree : doc.m_listFamilies) {
        s.families.push_back(CaptureTree(*tree));
    }
    s.trianglePoints = doc.m_listTrianglePoints;
    s.corners = {SMorphState::Of(*doc.m_pTriTop), SMorphState::Of(*doc.m_pTriLeft),
                 SMorphState::Of(*doc.m_pTriRight)};
    return s;
}

unsigned SDocState::DifferingParts(const SDocState& other) const {
    unsigned parts = 0;
    if (!current.SameGenome(other.current)) {
        parts |= kPartCurrent;
    }
    if (cols != other.cols || rows != other.rows || !SameGenomes(offspring, other.offspring)) {
        parts |= kPartOffspring;
    }
    if (families != other.families) {
        parts |= kPartFamilies;
    }
    if (trianglePoints != other.trianglePoints) {
        parts |= kPartTriangle;
    }
    for (size_t i = 0; i < corners.size(); ++i) {
        if (!corners[i].SameGenome(other.corners[i])) {
            parts |= kPartCorners;
        }
    }
    return parts;
}

void SDocState::RestoreInto(CQuorvaleDoc& doc, unsigned parts) const {
    if (parts & kPartCurrent) {
        current.ApplyTo(*doc.m_pCurrent);
    }
    if (parts & kPartOffspring) {
        doc.DeleteOffspring();
        for (const SMorphState& child : offspring) {
            child.ApplyTo(*doc.AddOffspring());
        }
    }
    if (parts & kPartFamilies) {
        doc.DeleteFamilies();
        for (const SFamilyTreeState& tree : families) {
            doc.m_listFamilies.push_back(RebuildTree(tree));
        }
    }
    if (parts & kPartTriangle) {
        doc.m_listTrianglePoints = trianglePoints;
    }
    if (parts & kPartCorners) {
        corners[0].ApplyTo(*doc.m_pTriTop);
        corners[1].ApplyTo(*doc.m_pTriLeft);
        corners[2].ApplyTo(*doc.m_pTriRight);
    }
}

void SDocState::KeepOnly(unsigned parts) {
    if (!(parts & kPartOffspring)) {
        offspring.clear();
        offspring.shrink_to_fit();
    }
    if (!(parts & kPartFamilies)) {
        families.clear();
        families.shrink_to_fit();
    }
    if (!(parts & kPartTriangle)) {
        trianglePoints.clear();
        trianglePoints.shrink_to_fit();
    }
}
