// The family-tree edits, the breeding step's genome and the grid's offspring as document
// operations, on small trees.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "DocTestSupport.h"

namespace {

// A tree drawn top-down:            R (300,100)
//                          A (200,200)        B (400,200)
//                  A1 (150,300)   A2 (250,300)
//                  A1a (150,400)
struct STree {
    CFamilyMorph* r;
    CFamilyMorph* a;
    CFamilyMorph* b;
    CFamilyMorph* a1;
    CFamilyMorph* a2;
    CFamilyMorph* a1a;
};

class CFamilyEditTest : public CDocTest {
protected:
    STree Grow() {
        STree t{};
        t.r = m_doc->NewFamilyRoot(300, 100);
        t.a = m_doc->AddFamilyChild(t.r, 200, 200);
        t.b = m_doc->AddFamilyChild(t.r, 400, 200);
        t.a1 = m_doc->AddFamilyChild(t.a, 150, 300);
        t.a2 = m_doc->AddFamilyChild(t.a, 250, 300);
        t.a1a = m_doc->AddFamilyChild(t.a1, 150, 400);
        return t;
    }

    // The trees as their sizes, in order.
    std::vector<size_t> TreeSizes() const {
        std::vector<size_t> sizes;
        for (const auto& tree : m_doc->m_listFamilies) {
            sizes.push_back(tree->size());
        }
        return sizes;
    }

    // Every node is owned by exactly one tree, its parent (if any) in the same tree and
    // listing it as a child, and each tree's first node is its only root.
    void ExpectTreesHoldTogether() const {
        std::set<const CFamilyMorph*> seen;
        for (const auto& tree : m_doc->m_listFamilies) {
            ASSERT_FALSE(tree->empty());
            EXPECT_EQ(tree->front()->m_pParent, nullptr);
            for (const auto& node : *tree) {
                EXPECT_TRUE(seen.insert(node.get()).second);
                if (node.get() != tree->front().get()) {
                    ASSERT_NE(node->m_pParent, nullptr);
                    EXPECT_EQ(FindFamilyOf(m_doc->m_listFamilies, node->m_pParent), tree.get());
                    const auto& siblings = node->m_pParent->m_Children;
                    EXPECT_NE(std::find(siblings.begin(), siblings.end(), node.get()),
                              siblings.end());
                }
                for (const CFamilyMorph* child : node->m_Children) {
                    EXPECT_EQ(child->m_pParent, node.get());
                }
            }
        }
    }
};

TEST_F(CFamilyEditTest, ChildrenAreMutantsJoinedToTheirParentAndRecorded) {
    const size_t fossils = m_doc->m_listFossils.size();
    const STree t = Grow();
    EXPECT_EQ(TreeSizes(), (std::vector<size_t>{6}));
    EXPECT_EQ(t.a->m_pParent, t.r);
    EXPECT_EQ(t.r->m_Children, (std::vector<CFamilyMorph*>{t.a, t.b}));
    EXPECT_EQ(t.a1a->m_ptNode.x, 150);
    EXPECT_EQ(t.a1a->m_ptNode.y, 400);
    EXPECT_EQ(m_doc->m_listFossils.size(), fossils + 5);
    EXPECT_EQ(m_doc->FamilyNodeAt(150, 400), t.a1a);
    ExpectTreesHoldTogether();
    // A parent that belongs to no tree gets no child.
    CFamilyMorph stray(*m_doc->m_pCurrent);
    EXPECT_EQ(m_doc->AddFamilyChild(&stray, 10, 10), nullptr);
    EXPECT_EQ(TreeSizes(), (std::vector<size_t>{6}));
}

TEST_F(CFamilyEditTest, EditsOfASmallTree) {
    struct SCase {
        const char* name;
        std::function<bool(CQuorvaleDoc&, const STree&)> edit;
        bool bDone;
        std::vector<size_t> sizes;
    };
    const SCase cases[] = {
        {"destroying a middle node takes its whole line",
         [](CQuorvaleDoc& d, const STree& t) { return d.DestroyFamilyLine(t.a); },
         true,
         {2}},
        {"destroying a leaf takes the leaf alone",
         [](CQuorvaleDoc& d, const STree& t) { return d.DestroyFamilyLine(t.a1a); },
         true,
         {5}},
        {"the last tree keeps its root",
         [](CQuorvaleDoc& d, const STree& t) { return d.DestroyFamilyLine(t.r); },
         false,
         {6}},
        {"a root goes with its tree when another tree stays",
         [](CQuorvaleDoc& d, const STree& t) {
             d.NewFamilyRoot(700, 100);
             return d.DestroyFamilyLine(t.r);
         },
         true,
         {1}},
        {"a cut above a subtree makes it a tree of its own",
         [](CQuorvaleDoc& d, const STree&) { return d.CutFamilyLinks(250, 150) == 1; },
         true,
         {2, 4}},
        {"a cut deep in the tree moves the leaf alone",
         [](CQuorvaleDoc& d, const STree&) { return d.CutFamilyLinks(150, 350) == 1; },
         true,
         {5, 1}},
        {"a cut where no link runs changes nothing",
         [](CQuorvaleDoc& d, const STree&) { return d.CutFamilyLinks(600, 600) == 1; },
         false,
         {6}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_doc->DeleteFamilies();
        const STree t = Grow();
        EXPECT_EQ(c.edit(*m_doc, t), c.bDone);
        EXPECT_EQ(TreeSizes(), c.sizes);
        ExpectTreesHoldTogether();
    }
}

TEST_F(CFamilyEditTest, ACutSubtreeKeepsItsShape) {
    const STree t = Grow();
    ASSERT_EQ(m_doc->CutFamilyLinks(250, 150), 1);
    ASSERT_EQ(m_doc->m_listFamilies.size(), 2u);
    const CFamilyList& cut = *m_doc->m_listFamilies[1];
    EXPECT_EQ(cut.front().get(), t.a);
    EXPECT_EQ(t.a->m_pParent, nullptr);
    EXPECT_EQ(t.r->m_Children, (std::vector<CFamilyMorph*>{t.b}));
    EXPECT_EQ(t.a1a->m_pParent, t.a1);
}

TEST_F(CFamilyEditTest, OpeningAFileClearsTheTrees) {
    const std::vector<uint8_t> bytes = m_doc->SaveToBytes();
    Grow();
    m_doc->NewFamilyRoot(700, 100);
    ASSERT_TRUE(m_doc->OpenFromBytes(bytes, "tree.bio"));
    EXPECT_TRUE(m_doc->m_listFamilies.empty());
}

TEST_F(CFamilyEditTest, TakingAChildsGenomeAndResizingTheGrid) {
    CBioMorph& child = *m_doc->m_listOffspring[3];
    child.SetGradient(5, 2);
    m_doc->TakeChildGenome(3);
    EXPECT_EQ(GenesOf(*m_doc->m_pCurrent), GenesOf(child));
    EXPECT_EQ(GradientsOf(*m_doc->m_pCurrent), GradientsOf(child));
    const auto before = GenesOf(*m_doc->m_pCurrent);
    m_doc->TakeChildGenome(14);  // past the end: nothing
    m_doc->TakeChildGenome(-1);
    EXPECT_EQ(GenesOf(*m_doc->m_pCurrent), before);

    m_doc->AddParentCopies(10);
    ASSERT_EQ(m_doc->m_listOffspring.size(), 24u);
    EXPECT_EQ(GenesOf(*m_doc->m_listOffspring[23]), before);
    m_doc->RemoveLastOffspring(10);
    EXPECT_EQ(m_doc->m_listOffspring.size(), 14u);
    EXPECT_NE(GenesOf(*m_doc->m_listOffspring[13]), before);
    m_doc->RemoveLastOffspring(100);
    EXPECT_TRUE(m_doc->m_listOffspring.empty());
}

}  // namespace
