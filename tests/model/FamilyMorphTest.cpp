#include <map>
#include <memory>

#include "TestSupport.h"
#include "model/FamilyMorph.h"

namespace {

using EKind = CRecordingSurface::EKind;
using CFamilyMorphTest = CModelTest;

constexpr SRgb kRed{255, 0, 0};

using CLog = std::shared_ptr<std::string>;

// A node that notes its name in a log when it is destroyed, to see what was deleted and when.
// The log is shared so that it outlives whichever owner goes last.
class CTrackedMorph : public CFamilyMorph {
public:
    CTrackedMorph(char name, int x, int y, CLog log)
        : CFamilyMorph(CBioMorph(), x, y), m_cName(name), m_pLog(std::move(log)) {}
    ~CTrackedMorph() override { m_pLog->push_back(m_cName); }

    char m_cName;
    CLog m_pLog;
};

void Link(CFamilyMorph& parent, CFamilyMorph& child) {
    parent.AddChild(&child);
    child.m_pParent = &parent;
}

// Builds nodes into a list that owns them and returns them by name.
class CTree {
public:
    CFamilyMorph& Add(CFamilyList& list, char name, int x = 0, int y = 0) {
        list.push_back(std::make_unique<CTrackedMorph>(name, x, y, m_pDeleted));
        m_nodes[name] = list.back().get();
        return *list.back();
    }
    CFamilyMorph& operator[](char name) { return *m_nodes.at(name); }

    static std::string Names(const CFamilyList& list) {
        std::string s;
        for (const auto& node : list) {
            s.push_back(static_cast<const CTrackedMorph&>(*node).m_cName);
        }
        return s;
    }

    const std::string& Deleted() const { return *m_pDeleted; }

private:
    CLog m_pDeleted = std::make_shared<std::string>();
    std::map<char, CFamilyMorph*> m_nodes;
};

TEST_F(CFamilyMorphTest, ConstructorsCopyTheGenome) {
    CBioMorph source;
    source.SetGenes(GenesWith(kBasicGenes, {{10, 3}, {15, 2}}));
    source.SetGradient(11, -2);
    source.Measure(50, 60, 0);

    const CFamilyMorph root(source);
    EXPECT_EQ(root.m_Genes, source.m_Genes);
    EXPECT_EQ(root.m_Gradients, source.m_Gradients);
    EXPECT_EQ(root.m_rcBounds, source.m_rcBounds.Inflated(2));
    EXPECT_EQ(root.m_pParent, nullptr);
    EXPECT_TRUE(root.m_Children.empty());
    EXPECT_EQ(root.m_bLaidOut, 0);

    const CFamilyMorph child(source, 70, -80);
    EXPECT_EQ(child.m_Genes, source.m_Genes);
    EXPECT_EQ(child.m_Gradients, source.m_Gradients);
    EXPECT_EQ(child.m_ptNode, (SPoint{70, -80}));
    EXPECT_NE(child.m_rcBounds, source.m_rcBounds.Inflated(2));
}

// ---------------------------------------------------------------------------------------
// Drawing

TEST_F(CFamilyMorphTest, RootIsFramedInRedAndEveryOtherNodeInBlack) {
    CBioMorph source;
    CFamilyMorph root(source);
    root.m_ptNode = {200, 100};
    CFamilyMorph child(source, 200, 250);
    CFamilyMorph grandchild(source, 100, 400);
    grandchild.SetGene(9, 4);  // a different size, so its frame is told apart
    Link(root, child);
    Link(child, grandchild);

    CRecordingSurface surface;
    root.DrawFamily(surface, 0);

    // Links first, parent to child, each before the child's own subtree.
    const auto& ops = surface.Ops();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, EKind::Line);
    EXPECT_EQ(ops[0].points, (std::vector<SPoint>{{200, 100}, {200, 250}}));
    EXPECT_EQ(ops[1].kind, EKind::Line);
    EXPECT_EQ(ops[1].points, (std::vector<SPoint>{{200, 250}, {100, 400}}));

    // Each node is measured at its place and framed 10 and 11 pixels outside its bounds,
    // deepest first, over a white box.
    const std::pair<const CFamilyMorph*, SRgb> frames[] = {
        {&grandchild, kBlack}, {&child, kBlack}, {&root, kRed}};
    const auto fills = surface.OpsOf(EKind::FillRect);
    const auto frameOps = surface.OpsOf(EKind::FrameRect);
    ASSERT_EQ(fills.size(), 3u);
    ASSERT_EQ(frameOps.size(), 6u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const SRect bounds = frames[i].first->m_rcBounds;
        EXPECT_EQ(fills[i].rect, bounds.Inflated(10));
        EXPECT_EQ(fills[i].colour, kWhite);
        EXPECT_EQ(frameOps[2 * i].rect, bounds.Inflated(10));
        EXPECT_EQ(frameOps[2 * i + 1].rect, bounds.Inflated(11));
        EXPECT_EQ(frameOps[2 * i].colour, frames[i].second);
        EXPECT_EQ(frameOps[2 * i + 1].colour, frames[i].second);
    }
    EXPECT_EQ(child.m_rcBounds, (SRect{179, 236, 221, 264}));
    EXPECT_EQ(StrokesOf(surface).size(), 127u + 127u + 15u);
}

TEST_F(CFamilyMorphTest, PrinterScalesPositions) {
    CBioMorph source;
    CFamilyMorph root(source);
    root.m_ptNode = {100, 50};
    CFamilyMorph child(source, 30, 75);
    Link(root, child);

    const float saved = g_fPrintScale;
    g_fPrintScale = 2.5f;
    CRecordingSurface printer(true);
    root.DrawFamily(printer, 0);
    g_fPrintScale = saved;

    EXPECT_EQ(printer.Ops()[0].points, (std::vector<SPoint>{{250, 125}, {75, 187}}));
    EXPECT_EQ(root.m_rcBounds, (SRect{229, 111, 271, 139}));
}

// ---------------------------------------------------------------------------------------
// Hit tests

TEST_F(CFamilyMorphTest, HitNodeAndHitFrame) {
    CFamilyMorph node(CBioMorph(), 50, 50);
    node.m_rcBounds = {0, 0, 100, 100};  // the frame is drawn at -10 .. 110
    const struct {
        int x, y;
        bool bNode, bFrame;
    } cases[] = {
        {50, 50, true, false},  // inside, far from the frame
        {-5, 50, true, false},  // left edge of the hit box is inside
        {-6, 50, false, true},  // within 5 of the frame's left edge
        {104, 50, true, false},
        {105, 50, false, false},  // right edge of the hit box is outside, frame 5 away
        {106, 50, false, true},
        {50, -14, false, true},   // near the top edge
        {50, -15, false, false},  // exactly 5 away
        {50, 114, false, true},
        {-14, -14, false, true},   // near a corner
        {-15, -14, false, false},  // beyond the corner's reach
        {200, 50, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(node.HitNode(c.x, c.y), c.bNode);
        EXPECT_EQ(node.HitFrame(c.x, c.y), c.bFrame);
    }
}

TEST_F(CFamilyMorphTest, FindLinkSearchesDepthFirstWithinSixPixels) {
    CFamilyList list;
    CTree tree;
    CFamilyMorph& root = tree.Add(list, 'r', 100, 100);
    CFamilyMorph& a = tree.Add(list, 'a', 200, 100);  // horizontal, 100 long
    CFamilyMorph& b = tree.Add(list, 'b', 200, 300);  // vertical below a
    CFamilyMorph& d = tree.Add(list, 'd', 40, 160);   // diagonal, down and left
    Link(root, a);
    Link(a, b);
    Link(root, d);

    const struct {
        const char* szName;
        int x, y;
        CFamilyMorph* pParent;
        CFamilyMorph* pChild;
    } cases[] = {
        {"2 beside the middle", 150, 102, &root, &a},
        {"3 beside the quarter point: the child is 12 off the line", 125, 103, nullptr, nullptr},
        {"beyond the child's end", 205, 100, nullptr, nullptr},
        {"beyond the parent's end", 95, 100, nullptr, nullptr},
        {"exactly on the parent", 100, 100, nullptr, nullptr},
        {"exactly on the child", 200, 100, &root, &a},
        {"a link further down", 203, 200, &a, &b},
        {"diagonal, near the line", 70, 131, &root, &d},
        {"diagonal, 7 below the line", 70, 138, nullptr, nullptr},
        {"diagonal child end is outside the box", 40, 160, nullptr, nullptr},
        {"packed into 16 bits: x wraps", 150 + 65536, 102, &root, &a},
        {"packed into 16 bits: y wraps", 203, 200 - 65536, &a, &b},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        const auto [parent, child] = root.FindLink(c.x, c.y);
        EXPECT_EQ(parent, c.pParent);
        EXPECT_EQ(child, c.pChild);
    }
}

// ---------------------------------------------------------------------------------------
// Tree operations

TEST_F(CFamilyMorphTest, DeleteDescendantsDeletesDeepestFirstFromTheirOwnLists) {
    CFamilyLists families;
    families.push_back(std::make_unique<CFamilyList>());
    families.push_back(std::make_unique<CFamilyList>());
    CFamilyList& first = *families[0];
    CFamilyList& second = *families[1];
    CTree tree;
    CFamilyMorph& root = tree.Add(first, 'r');
    tree.Add(first, 'a');
    tree.Add(second, 'b');  // a node may live in another tree's list
    tree.Add(first, 'c');
    tree.Add(second, 'd');
    Link(root, tree['a']);
    Link(tree['a'], tree['b']);
    Link(tree['b'], tree['c']);
    Link(root, tree['d']);

    root.DeleteDescendants(families);

    EXPECT_EQ(tree.Deleted(), "cbad");
    EXPECT_TRUE(root.m_Children.empty());
    EXPECT_EQ(CTree::Names(first), "r");
    EXPECT_EQ(CTree::Names(second), "");
}

TEST_F(CFamilyMorphTest, DestroyingANodeLeavesItsChildren) {
    const CLog deleted = std::make_shared<std::string>();
    auto parent = std::make_unique<CTrackedMorph>('p', 0, 0, deleted);
    CTrackedMorph child('c', 10, 10, deleted);
    CTrackedMorph grandchild('g', 20, 20, deleted);
    Link(*parent, child);
    Link(child, grandchild);

    parent.reset();

    EXPECT_EQ(*deleted, "p");
    EXPECT_EQ(child.m_Children, std::vector<CFamilyMorph*>{&grandchild});
    EXPECT_EQ(child.Gene(9), 7);
}

TEST_F(CFamilyMorphTest, MoveDescendantsMovesTheSubtreeParentsFirst) {
    CFamilyList source;
    CFamilyList target;
    CFamilyList elsewhere;
    CTree tree;
    CFamilyMorph& root = tree.Add(source, 'r');
    tree.Add(source, 'd');
    tree.Add(source, 'c');
    tree.Add(elsewhere, 'e');  // owned by another list: stays there
    tree.Add(source, 'b');
    tree.Add(source, 'a');
    tree.Add(target, 't');
    Link(root, tree['a']);
    Link(tree['a'], tree['b']);
    Link(tree['a'], tree['c']);
    Link(root, tree['d']);
    Link(tree['d'], tree['e']);

    root.MoveDescendants(source, target);

    EXPECT_EQ(CTree::Names(source), "r");
    EXPECT_EQ(CTree::Names(target), "tabcd");
    EXPECT_EQ(CTree::Names(elsewhere), "e");
    EXPECT_EQ(tree.Deleted(), "");
}

TEST_F(CFamilyMorphTest, RemoveChildOnlyUnlinks) {
    CFamilyList list;
    CTree tree;
    CFamilyMorph& root = tree.Add(list, 'r');
    tree.Add(list, 'a');
    tree.Add(list, 'b');
    Link(root, tree['a']);
    Link(root, tree['b']);

    root.RemoveChild(&tree['a']);
    root.RemoveChild(&tree['a']);  // not there any more: nothing happens

    EXPECT_EQ(root.m_Children, std::vector<CFamilyMorph*>{&tree['b']});
    EXPECT_EQ(tree.Deleted(), "");
}

}  // namespace
