// What undo keeps of the document: a state taken and put back is the document as it was,
// family trees with their links included, and each part is told apart from the others.
#include <gtest/gtest.h>

#include <functional>

#include "DocTestSupport.h"
#include "document/DocState.h"

namespace {

class CDocStateTest : public CDocTest {
protected:
    SDocState Now() const { return SDocState::Capture(*m_doc, 5, 3); }

    // Two trees, the second cut off from the first: a root with children and grandchildren.
    void GrowTrees() {
        CFamilyMorph* r = m_doc->NewFamilyRoot(300, 100);
        CFamilyMorph* a = m_doc->AddFamilyChild(r, 200, 200);
        m_doc->AddFamilyChild(r, 400, 200);
        CFamilyMorph* a1 = m_doc->AddFamilyChild(a, 150, 300);
        m_doc->AddFamilyChild(a, 250, 300);
        m_doc->AddFamilyChild(a1, 150, 400);
        // Cut the link between a and a1 at its middle.
        ASSERT_EQ(m_doc->CutFamilyLinks(175, 250), 1);
        ASSERT_EQ(m_doc->m_listFamilies.size(), 2u);
    }
};

TEST_F(CDocStateTest, FamilyTreesComeBackWithTheirLinks) {
    GrowTrees();
    const SDocState kept = Now();
    ASSERT_NE(m_doc->FamilyNodeAt(150, 400), nullptr);
    m_doc->DeleteFamilies();
    m_doc->NewFamilyRoot(10, 10);
    ASSERT_NE(Now().DifferingParts(kept), 0u);

    kept.RestoreInto(*m_doc, kPartFamilies);
    EXPECT_EQ(Now().DifferingParts(kept), 0u);
    ASSERT_EQ(m_doc->m_listFamilies.size(), 2u);
    for (const auto& tree : m_doc->m_listFamilies) {
        EXPECT_EQ(tree->front()->m_pParent, nullptr);
        for (const auto& node : *tree) {
            for (const CFamilyMorph* child : node->m_Children) {
                EXPECT_EQ(child->m_pParent, node.get());
                EXPECT_EQ(FindFamilyOf(m_doc->m_listFamilies, child), tree.get());
            }
        }
    }
    // The restored nodes answer where they stood.
    EXPECT_NE(m_doc->FamilyNodeAt(150, 400), nullptr);
    EXPECT_EQ(m_doc->FamilyNodeAt(10, 10), nullptr);
}

TEST_F(CDocStateTest, EachPartIsToldApartAndRestoredAlone) {
    struct SCase {
        const char* name;
        std::function<void(CQuorvaleDoc&)> change;
        unsigned part;
    };
    const SCase cases[] = {
        {"current", [](CQuorvaleDoc& d) { d.m_pCurrent->SetGene(1, 77); }, kPartCurrent},
        {"gradient only", [](CQuorvaleDoc& d) { d.m_pCurrent->SetGradient(3, 2); }, kPartCurrent},
        {"an offspring", [](CQuorvaleDoc& d) { d.m_listOffspring[4]->SetGene(2, -9); },
         kPartOffspring},
        {"fewer offspring", [](CQuorvaleDoc& d) { d.RemoveLastOffspring(2); }, kPartOffspring},
        {"a family node moved",
         [](CQuorvaleDoc& d) {
             d.m_listFamilies.front()->front()->m_ptNode = {5, 5};
         },
         kPartFamilies},
        {"a triangle point",
         [](CQuorvaleDoc& d) {
             d.m_listTrianglePoints.push_back({3, 4});
         },
         kPartTriangle},
        {"a corner", [](CQuorvaleDoc& d) { d.m_pTriRight->SetGene(5, 12); }, kPartCorners},
    };
    GrowTrees();
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SDocState before = Now();
        c.change(*m_doc);
        const SDocState after = Now();
        EXPECT_EQ(before.DifferingParts(after), c.part);
        // Putting back another part leaves the change; its own part takes it back.
        before.RestoreInto(*m_doc, ~c.part & 0x1Fu);
        EXPECT_EQ(Now().DifferingParts(after), 0u);
        before.RestoreInto(*m_doc, c.part);
        EXPECT_EQ(Now().DifferingParts(before), 0u);
    }
}

TEST_F(CDocStateTest, GridSizeCountsWithTheOffspring) {
    const SDocState a = SDocState::Capture(*m_doc, 5, 3);
    const SDocState b = SDocState::Capture(*m_doc, 7, 3);
    EXPECT_EQ(a.DifferingParts(b), kPartOffspring);
}

}  // namespace
