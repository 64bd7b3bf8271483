#include <gtest/gtest.h>

#include "../model/TestSupport.h"
#include "frame/CommandRules.h"
#include "frame/GeneBarState.h"
#include "view/RepeatTiming.h"
#include "view/TriangleBlend.h"
#include "view/ViewGeometry.h"

namespace {

TEST(ViewGeometry, CellsAndParentOfTheGrid) {
    SGridGeometry g{500, 300, 5, 3, false, 16};
    EXPECT_EQ(g.ParentCell(), 7);
    EXPECT_EQ(g.CellRect(7), (SRect{201, 101, 299, 199}));
    EXPECT_EQ(g.CellRect(0), (SRect{1, 1, 99, 99}));
    EXPECT_EQ(g.CellRect(14), (SRect{401, 201, 499, 299}));
    // A visible scroll bar narrows the cells by its width less one.
    g.bVScrollVisible = true;
    EXPECT_EQ(g.GridWidth(), 485);
    EXPECT_EQ(g.CellRect(1), (SRect{98, 1, 193, 99}));
    SGridGeometry single{200, 100, 1, 1, false, 16};
    EXPECT_EQ(single.ParentCell(), 0);
}

TEST(ViewGeometry, BordersAreInNoCell) {
    const SRect r{201, 101, 299, 199};
    struct SCase {
        int x, y;
        bool inside;
    } cases[] = {{250, 150, true},  {201, 150, false}, {202, 150, true}, {299, 150, false},
                 {250, 101, false}, {250, 198, true},  {200, 150, false}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(PtInCell(r, c.x, c.y), c.inside);
    }
}

TEST(ViewGeometry, TriangleCornersDivideFirst) {
    const STriangleCorners c = TriangleCornersIn({0, 0, 640, 480});
    EXPECT_EQ(c.top, (SPoint{320, 106}));
    EXPECT_EQ(c.left, (SPoint{142, 371}));
    EXPECT_EQ(c.right, (SPoint{497, 371}));
}

TEST(ViewGeometry, ParentCellRectIsTheCentreCellLessTwo) {
    const SRect r = ParentCellRect(500, 300, 5, 3);
    EXPECT_EQ(r, (SRect{202, 102, 298, 198}));
    EXPECT_EQ(r.Width(), 96);
}

class CBlendTest : public CModelTest {
protected:
    void SetUp() override {
        CModelTest::SetUp();
        for (int k = 1; k <= kGeneCount; ++k) {
            m_top.m_Genes[k] = 10 + k;
            m_left.m_Genes[k] = -k;
            m_right.m_Genes[k] = 3 * k;
            m_top.m_Gradients[k] = 2;
            m_left.m_Gradients[k] = 0;
            m_right.m_Gradients[k] = -2;
        }
    }
    CBioMorph m_top, m_left, m_right, m_blend;
    const SPoint T{100, 0}, L{0, 200}, R{200, 200};
};

TEST_F(CBlendTest, AtACornerTheBlendIsThatCorner) {
    for (auto [corner, morph] : {std::pair{T, &m_top}, {L, &m_left}, {R, &m_right}}) {
        BlendTriangle(m_blend, m_top, m_left, m_right,
                      TriangleDistances(corner.x, corner.y, T, L, R));
        for (int k = 1; k <= kGeneCount; ++k) {
            const int32_t expected =
                k == kGeneDepth ? std::clamp(morph->m_Genes[k], 1, 9) : morph->m_Genes[k];
            EXPECT_EQ(m_blend.m_Genes[k], expected) << "gene " << k;
            EXPECT_EQ(m_blend.m_Gradients[k], morph->m_Gradients[k]);
        }
    }
}

TEST_F(CBlendTest, BlendsRoundHalfAwayFromZero) {
    // Distances 1, 2, 2 weigh the corners 16 : 4 : 4.
    const STriangleDistances d{1, 2, 2};
    struct SCase {
        int32_t t, l, r;
        int32_t gene;
    } genes[] = {
        {3, 2, 1, 3},      // 60 / 24 = 2.5
        {-3, -2, -1, -3},  // -2.5
        {2, 2, 5, 3},      // 2.5 again, from another mix
        {1, 2, 4, 2},      // 40 / 24 = 1.67
        {0, 0, 1, 0},      // 0.17
    };
    for (const SCase& c : genes) {
        SCOPED_TRACE(std::to_string(c.t) + " " + std::to_string(c.l) + " " + std::to_string(c.r));
        m_top.m_Genes[1] = c.t;
        m_left.m_Genes[1] = c.l;
        m_right.m_Genes[1] = c.r;
        BlendTriangle(m_blend, m_top, m_left, m_right, d);
        EXPECT_EQ(m_blend.m_Genes[1], c.gene);
    }
    struct SGradient {
        int32_t t, l, r;
        int32_t gradient;
    } gradients[] = {
        {1, -1, 0, 2},   // exactly 0.5
        {-1, 1, 0, -2},  // exactly -0.5
        {0, 2, 0, 0},    // 0.33
        {2, 0, 0, 2},    // 1.33
        {-2, 0, 0, -2},
    };
    for (const SGradient& c : gradients) {
        m_top.m_Gradients[2] = c.t;
        m_left.m_Gradients[2] = c.l;
        m_right.m_Gradients[2] = c.r;
        BlendTriangle(m_blend, m_top, m_left, m_right, d);
        EXPECT_EQ(m_blend.m_Gradients[2], c.gradient) << c.t << " " << c.l << " " << c.r;
    }
}

TEST_F(CBlendTest, DepthIsHeldToItsLimitsAndWildGenesDoNotOverflow) {
    m_top.m_Genes[kGeneDepth] = 0;
    m_left.m_Genes[kGeneDepth] = 0;
    m_right.m_Genes[kGeneDepth] = 0;
    m_top.m_Genes[1] = INT32_MAX;
    m_left.m_Genes[1] = INT32_MAX;
    m_right.m_Genes[1] = INT32_MAX;
    BlendTriangle(m_blend, m_top, m_left, m_right, {3, 4, 5});
    EXPECT_EQ(m_blend.m_Genes[kGeneDepth], 1);
    EXPECT_EQ(m_blend.m_Genes[1], INT32_MAX);
    m_top.m_Genes[kGeneDepth] = 10;
    m_left.m_Genes[kGeneDepth] = 10;
    m_right.m_Genes[kGeneDepth] = 10;
    BlendTriangle(m_blend, m_top, m_left, m_right, {3, 4, 5});
    EXPECT_EQ(m_blend.m_Genes[kGeneDepth], 9);
    // Coinciding corners give no weights: the morph is left as it was.
    m_blend.m_Genes[2] = 77;
    BlendTriangle(m_blend, m_top, m_left, m_right, {0, 0, 0});
    EXPECT_EQ(m_blend.m_Genes[2], 77);
}

TEST(RepeatTiming, IntervalsByModeAndWhatIsRepeated) {
    EXPECT_EQ(RepeatInterval(0, 5), 1200);
    EXPECT_EQ(RepeatInterval(0, 7), 1200);
    EXPECT_EQ(RepeatInterval(1, 7), 400);
    EXPECT_EQ(RepeatInterval(1, 6), 200);
    EXPECT_EQ(RepeatInterval(1, 5), 200);
    for (int mode : {3, 4, 5}) {
        EXPECT_EQ(RepeatInterval(mode, 6), 0);
    }
}

TEST(RepeatTiming, StepsComeAfterTheIntervalEvenAcrossTheWrap) {
    struct SCase {
        uint32_t now, last;
        int interval;
        bool due;
    } cases[] = {
        {1000, 1000, 200, false},
        {1200, 1000, 200, false},
        {1201, 1000, 200, true},
        {0xFFFFFF80u, 0xFFFFFF00u, 200, false},
        {0x00000100u, 0xFFFFFF00u, 200, true},   // wrapped: 0x200 ms later
        {0x00000010u, 0xFFFFFFF0u, 200, false},  // wrapped but only 32 ms later
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.now) + " after " + std::to_string(c.last));
        EXPECT_EQ(RepeatStepDue(c.now, c.last, c.interval), c.due);
    }
}

TEST(CommandRules, EnabledAndCheckedByMode) {
    using C = ECommand;
    struct SCase {
        C command;
        int mode;
        bool enabled, checked;
    } cases[] = {
        {C::FileSaveAs, 0, true, false},     {C::FileSaveAs, 3, false, false},
        {C::FileSaveAs, 5, false, false},    {C::EditCopy, 1, true, false},
        {C::EditCopy, 4, false, false},      {C::HopefulMonster, 0, false, false},
        {C::HopefulMonster, 1, true, false}, {C::Repeat, 1, true, false},
        {C::Repeat, 3, false, false},        {C::Repeat, 5, false, false},
        {C::Breed, 0, true, true},           {C::Engineer, 0, true, false},
        {C::Engineer, 1, true, true},        {C::GeneSpace, 4, true, true},
        {C::TriangleClear, 0, false, false}, {C::TriangleNewTop, 4, true, false},
        {C::FamilyCreate, 5, true, true},    {C::FamilyDestroy, 5, true, false},
        {C::FamilyCreate, 0, false, true},   {C::FamilyClear, 0, true, false},
        {C::FossilHistory, 3, true, true},   {C::AddRow, 0, true, false},
        {C::AddRow, 3, true, false},         {C::AddRow, 1, false, false},
        {C::Rotate, 4, true, false},         {C::FileSave, 5, true, false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.command)) + " in mode " +
                     std::to_string(c.mode));
        SCommandState s;
        s.nMode = c.mode;
        EXPECT_EQ(RuleFor(c.command, s), (SCommandRule{c.enabled, c.checked}));
    }
}

TEST(CommandRules, StateDependentRules) {
    SCommandState s;
    s.nRows = 7;
    EXPECT_FALSE(RuleFor(ECommand::AddRow, s).bEnabled);
    s.nRows = 1;
    EXPECT_FALSE(RuleFor(ECommand::RemoveRow, s).bEnabled);
    s.nCols = 9;
    EXPECT_FALSE(RuleFor(ECommand::AddColumn, s).bEnabled);
    s.nCols = 1;
    EXPECT_FALSE(RuleFor(ECommand::RemoveColumn, s).bEnabled);
    s.nFossils = 0;
    EXPECT_FALSE(RuleFor(ECommand::FossilNewHistory, s).bEnabled);
    s.bRecording = true;
    EXPECT_FALSE(RuleFor(ECommand::FossilRecord, s).bEnabled);
    EXPECT_TRUE(RuleFor(ECommand::FossilStop, s).bEnabled);
    s.bClipboardHasMorph = true;
    s.nMode = 5;
    EXPECT_TRUE(RuleFor(ECommand::EditPaste, s).bEnabled);
    s.nMode = 3;
    EXPECT_FALSE(RuleFor(ECommand::EditPaste, s).bEnabled);
    EXPECT_TRUE(RuleFor(ECommand::PasteTriangleTop, s).bEnabled);
    s.bRepeatChecked = true;
    EXPECT_TRUE(RuleFor(ECommand::Repeat, s).bChecked);
}

class CGeneBarStateTest : public CModelTest {
protected:
    CGeneBarState m_bar;
};

TEST_F(CGeneBarStateTest, StepsClampAtTheLimitsAndCtrlStepsTen) {
    struct SCase {
        int gene;
        int32_t start;
        bool left, ctrl;
        int32_t expected;
        bool clamped;
    } cases[] = {
        {1, 395, true, false, 400, false},  {1, 400, true, false, 400, true},
        {1, 0, true, true, 50, false},      {9, 1, false, false, 1, true},
        {14, 100, true, false, 110, false}, {16, 160, true, false, 160, true},
        {18, -8, false, false, -8, true},   {1, INT32_MAX, false, false, 400, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.gene) + " from " + std::to_string(c.start));
        m_bar.m_nValue[c.gene] = c.start;
        EXPECT_EQ(m_bar.StepGene(c.gene, c.left, c.ctrl), c.clamped);
        EXPECT_EQ(m_bar.m_nValue[c.gene], c.expected);
    }
}

TEST_F(CGeneBarStateTest, SymmetryBoxesCycleTheirTexts) {
    m_bar.m_strMirror = "Bilat";
    m_bar.StepGene(kGeneMirror, true, false);
    EXPECT_EQ(m_bar.m_strMirror, "Asym");
    m_bar.StepGene(kGeneMirror, false, false);
    EXPECT_EQ(m_bar.m_strMirror, "Bilat");
    m_bar.m_strSpokes = "Single";
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        m_bar.StepGene(kGeneRotation, true, false);
        seen.push_back(m_bar.m_strSpokes);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Double", "Radial", "Single"}));
    EXPECT_EQ(m_bar.Genome()[kGeneRotation - 1], 0);
    EXPECT_EQ(m_bar.Genome()[kGeneMirror - 1], 0);
}

TEST_F(CGeneBarStateTest, ShowGenesReportsOnlyWhatChanged) {
    CBioMorph morph;
    m_bar.ShowGenes(&morph);
    morph.m_Genes[3] = 45;
    morph.m_Gradients[2] = 2;
    morph.m_Genes[kGeneRotation] = 7;  // names no text: the box keeps its own
    const auto changes = m_bar.ShowGenes(&morph);
    EXPECT_EQ(changes.boxes.count(), 1u);
    EXPECT_TRUE(changes.boxes.test(3));
    EXPECT_EQ(changes.pictures.count(), 1u);
    EXPECT_EQ(m_bar.Indicator(2), EIndicator::Rising);
    EXPECT_EQ(m_bar.Indicator(kGeneSegments), EIndicator::Blank);
    EXPECT_EQ(m_bar.m_strSpokes, "Single");
    m_bar.m_nGradient[4] = 5;
    EXPECT_EQ(m_bar.Indicator(4), EIndicator::Unchanged);
    m_bar.ClearGenes();
    EXPECT_EQ(m_bar.BoxText(1), "0");
    EXPECT_EQ(m_bar.BoxText(kGeneMirror), "");
    EXPECT_EQ(m_bar.ShowGenes(nullptr).boxes.count(), 0u);
}

TEST_F(CGeneBarStateTest, GradientsCycleThroughThreeValues) {
    struct SCase {
        int32_t from, to;
    } cases[] = {{-2, 0}, {0, 2}, {2, -2}, {1, 1}, {-1, -1}};
    for (const SCase& c : cases) {
        m_bar.m_nGradient[11] = c.from;
        m_bar.CycleGradient(11);
        EXPECT_EQ(m_bar.m_nGradient[11], c.to) << c.from;
    }
}

}  // namespace
