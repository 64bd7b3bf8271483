#include <climits>
#include <cmath>
#include <set>

#include "TestSupport.h"
#include "model/Palette.h"

namespace {

using EKind = CRecordingSurface::EKind;
using CDevelopmentTest = CModelTest;

std::vector<SStroke> StrokesOfDeveloped(CBioMorph& m, int o) {
    return StrokesOf(DevelopRecorded(m, 0, 0, o));
}

// The default genome with some genes and gradients changed.
void SetGenome(CBioMorph& m, std::initializer_list<std::pair<int, int32_t>> genes,
               std::initializer_list<std::pair<int, int32_t>> gradients = {}) {
    m.SetGenes(GenesWith(kDefaultGenes, genes));
    for (const auto& [g, v] : gradients) {
        m.SetGradient(g, v);
    }
}

// ---------------------------------------------------------------------------------------
// The default genome

TEST_F(CDevelopmentTest, DefaultGenomeGrowsAFullTreeOfDepthSeven) {
    CBioMorph m;
    EXPECT_EQ(m.Develop(nullptr, 0, 0, 0, 0), 1);
    const auto strokes = StrokesOfDeveloped(m, 0);

    ASSERT_EQ(strokes.size(), 127u);
    EXPECT_EQ(strokes[0], (SStroke{0, 0, 0, -7}));
    EXPECT_EQ(strokes[1], (SStroke{0, -7, -6, -13}));
    EXPECT_EQ(strokes[2], (SStroke{-6, -13, -11, -13}));
    EXPECT_EQ(SpanOf(strokes), (SRect{-21, -28, 21, 0}));
}

TEST_F(CDevelopmentTest, MeasureCentresTheBoxAndWidensItByTheMargin) {
    const struct {
        const char* szName;
        bool bPresent;
        SRect box;
    } cases[] = {
        {"no special gene present: margin is gene 18", false, {-22, -15, 22, 15}},
        {"all present: margin (1 + 7 * 0) / 2", true, {-21, -14, 21, 14}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        SetAllPresent(c.bPresent);
        CBioMorph m;
        m.Measure(0, 0, 0);
        EXPECT_EQ(m.m_ptOffset, (SPoint{0, 14}));
        EXPECT_EQ(m.m_rcBounds, c.box);
        EXPECT_EQ(m.m_bLaidOut, 1);

        // Centred on another point, the box moves with it.
        m.Measure(100, -50, 0);
        EXPECT_EQ(m.m_ptOffset, (SPoint{0, 14}));
        EXPECT_EQ(m.m_rcBounds, c.box.Offset(100, -50));
    }
}

TEST_F(CDevelopmentTest, MarginFollowsThicknessTaperingAndDepth) {
    const struct {
        const char* szName;
        int32_t nDepth, nThickness, nTapering;
        bool bThickness, bTapering;
        SRect box;
    } cases[] = {
        {"both present", 7, 5, 2, true, true, {-30, -23, 30, 23}},  // (5 + 14) / 2 = 9
        {"negative margin counts by size", 7, -6, 0, true, true, {-24, -17, 24, 17}},
        {"tapering absent: gene 18", 7, 5, 2, true, false, {-26, -19, 26, 19}},
        {"thickness absent: still gene 18", 7, 5, 2, false, true, {-26, -19, 26, 19}},
        {"depth 0: gene 18 / 2", 0, 5, 2, true, true, {-2, -2, 2, 2}},
        {"negative depth: gene 18 / 2", -3, 7, 4, true, true, {-3, -3, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        g_SpecialGenes[18].bPresent = c.bThickness;
        g_SpecialGenes[19].bPresent = c.bTapering;
        CBioMorph m;
        SetGenome(m, {{9, c.nDepth}, {18, c.nThickness}, {19, c.nTapering}});
        m.Measure(0, 0, 0);
        EXPECT_EQ(m.m_rcBounds, c.box);
    }
}

// ---------------------------------------------------------------------------------------
// Orientation

SStroke TurnQuarter(const SStroke& s) {
    return {-s.y0, s.x0, -s.y1, s.x1};
}

class COrientationTest : public CModelTest, public ::testing::WithParamInterface<int> {};

// Orientation o is the upright picture turned clockwise by o quarter turns, stroke for stroke.
TEST_P(COrientationTest, TurnsTheWholePictureByQuarterTurns) {
    const int o = GetParam();
    const SStroke trunks[4] = {{0, 0, 0, -7}, {0, 0, 7, 0}, {0, 0, 0, 7}, {0, 0, -7, 0}};
    const SPoint offsets[4] = {{0, 14}, {-14, 0}, {0, -14}, {14, 0}};

    for (const bool bSegmented : {false, true}) {
        SCOPED_TRACE(bSegmented ? "three segments, distance 10" : "one segment");
        CBioMorph m;
        SetGenome(m, {{10, bSegmented ? 3 : 1}, {12, 1}, {15, 1}});
        auto expected = StrokesOfDeveloped(m, 0);
        for (int i = 0; i < o; ++i) {
            std::transform(expected.begin(), expected.end(), expected.begin(), TurnQuarter);
        }
        EXPECT_EQ(StrokesOfDeveloped(m, o), expected);
    }

    CBioMorph m;
    const auto strokes = StrokesOfDeveloped(m, o);
    ASSERT_FALSE(strokes.empty());
    EXPECT_EQ(strokes[0], trunks[o]);
    m.Measure(0, 0, o);
    EXPECT_EQ(m.m_ptOffset, offsets[o]);
    const SRect expectedBox = o % 2 ? SRect{-14, -21, 14, 21} : SRect{-21, -14, 21, 14};
    EXPECT_EQ(m.m_rcBounds, expectedBox);

    // Segments are laid out along the arm: the second origin is 10 pixels up the trunk.
    CBioMorph segmented;
    SetGenome(segmented, {{10, 2}});
    const auto joints = NotesOf(DevelopRecorded(segmented, 0, 0, o), EKind::Joint);
    ASSERT_EQ(joints.size(), 1u);
    const SPoint second[4] = {{0, -10}, {10, 0}, {0, 10}, {-10, 0}};
    EXPECT_EQ(joints[0], (SStroke{0, 0, second[o].x, second[o].y}));
}

INSTANTIATE_TEST_SUITE_P(AllFour, COrientationTest, ::testing::Values(0, 1, 2, 3));

TEST_F(CDevelopmentTest, RemeasureFlagMeasuresAgainBeforeEveryDraw) {
    CBioMorph m;
    m.Measure(0, 0, 0);
    ASSERT_EQ(m.m_ptOffset, (SPoint{0, 14}));

    // Without the flag a laid-out morph keeps its upright offset even when turned.
    CRecordingSurface stale;
    m.Draw(stale, 100, 100, 1);
    EXPECT_EQ(StrokesOf(stale)[0], (SStroke{100, 114, 107, 114}));
    EXPECT_EQ(m.m_ptOffset, (SPoint{0, 14}));

    g_bRemeasure = 1;
    CRecordingSurface fresh;
    m.Draw(fresh, 100, 100, 1);
    EXPECT_EQ(m.m_ptOffset, (SPoint{-14, 0}));
    EXPECT_EQ(StrokesOf(fresh)[0], (SStroke{86, 100, 93, 100}));
    EXPECT_EQ(m.m_rcBounds, (SRect{86, 79, 114, 121}));
}

// ---------------------------------------------------------------------------------------
// Symmetry, segmentation, depth and scaling

struct SShapeCase {
    const char* szName;
    std::vector<std::pair<int, int32_t>> genes;
    std::vector<std::pair<int, int32_t>> gradients;
    int nAbsentGene;  // a special gene switched off, or 0
    size_t nStrokes;
    SRect span;
    SPoint offset;
};

void PrintTo(const SShapeCase& c, std::ostream* os) {
    *os << c.szName;
}

const SShapeCase kShapeCases[] = {
    {"default", {}, {}, 0, 127, {-21, -28, 21, 0}, {0, 14}},
    {"double: arms up and down", {{13, 1}}, {}, 0, 254, {-21, -28, 21, 28}, {0, 0}},
    {"radial: four arms", {{13, 2}}, {}, 0, 508, {-28, -28, 28, 28}, {0, 0}},
    {"rotation out of range: one arm", {{13, 5}}, {}, 0, 127, {-21, -28, 21, 0}, {0, 14}},
    {"rotation not present", {{13, 2}}, {}, 13, 127, {-21, -28, 21, 0}, {0, 14}},
    {"three segments 10 apart", {{10, 3}, {11, 10}}, {}, 0, 381, {-21, -48, 21, 0}, {0, 24}},
    {"segmentation not present", {{10, 3}}, {}, 10, 127, {-21, -28, 21, 0}, {0, 14}},
    {"twenty segments", {{10, 20}, {11, 10}}, {}, 0, 2540, {-21, -218, 21, 0}, {0, 109}},
    {"twenty segments at scaling 1000",
     {{10, 20}, {11, 10}, {14, 1000}},
     {},
     0,
     2540,
     {-210, -470, 210, 0},
     {0, 235}},
    {"asymmetric: one side of the top fork", {{12, 1}}, {}, 0, 64, {-21, -28, 4, 0}, {8, 14}},
    {"mirror not present", {{12, 1}}, {}, 12, 127, {-21, -28, 21, 0}, {0, 14}},
    // Segment 0 (depth 5) forks one-sided at its top; segment 1 (depth 7) at its third level.
    {"asymmetric with a depth gradient",
     {{9, 5}, {10, 2}, {12, 1}},
     {{9, 2}},
     0,
     83,
     {-21, -38, 21, 0},
     {0, 19}},
    {"depth 1: the trunk only", {{9, 1}}, {}, 0, 1, {0, -1, 0, 0}, {0, 0}},
    {"depth 0: a zero-length stroke", {{9, 0}}, {}, 0, 1, {0, 0, 0, 0}, {0, 0}},
    {"depth -3 clamps to 0", {{9, -3}}, {}, 0, 1, {0, 0, 0, 0}, {0, 0}},
    {"depth 12 clamps to 9", {{9, 12}}, {}, 0, 511, {-36, -45, 36, 4}, {0, 20}},
    {"scaling 0 counts as 1", {{14, 0}}, {}, 0, 127, {0, 0, 0, 0}, {0, 0}},
    {"scaling -100 turns it over", {{14, -100}}, {}, 0, 127, {-21, 0, 21, 28}, {0, -14}},
    {"scaling not present", {{14, 1000}}, {}, 14, 127, {-21, -28, 21, 0}, {0, 14}},
    {"worst case: 4 arms, 9 segments, depth 9",
     {{9, 9}, {10, 9}, {13, 2}},
     {},
     0,
     18396,
     {-125, -125, 125, 125},
     {0, 0}},
};

class CShapeTest : public CModelTest, public ::testing::WithParamInterface<SShapeCase> {};

TEST_P(CShapeTest, StrokeCountSpanAndOffset) {
    const SShapeCase& c = GetParam();
    if (c.nAbsentGene) {
        g_SpecialGenes[c.nAbsentGene].bPresent = 0;
    }
    CBioMorph m;
    m.SetGenes(GenesWith(kDefaultGenes, {}));
    for (const auto& [g, v] : c.genes) {
        m.SetGene(g, v);
    }
    for (const auto& [g, v] : c.gradients) {
        m.SetGradient(g, v);
    }
    const auto strokes = StrokesOfDeveloped(m, 0);
    EXPECT_EQ(strokes.size(), c.nStrokes);
    EXPECT_EQ(SpanOf(strokes), c.span);
    m.Measure(0, 0, 0);
    EXPECT_EQ(m.m_ptOffset, c.offset);
}

INSTANTIATE_TEST_SUITE_P(Genomes, CShapeTest, ::testing::ValuesIn(kShapeCases));

TEST_F(CDevelopmentTest, ScalingRoundsHalvesAwayFromZero) {
    CBioMorph m;
    SetGenome(m, {{14, 50}});
    const auto strokes = StrokesOfDeveloped(m, 0);
    ASSERT_GE(strokes.size(), 3u);
    EXPECT_EQ(strokes[0], (SStroke{0, 0, 0, -4}));     // 3.5 -> 4
    EXPECT_EQ(strokes[1], (SStroke{0, -4, -3, -7}));   // -3 and 3 exactly
    EXPECT_EQ(strokes[2], (SStroke{-3, -7, -6, -7}));  // -2.5 -> -3
}

// Segments alternate the side of their one-sided top fork: the second segment is the mirror
// image of the first, the third a copy of the first.
TEST_F(CDevelopmentTest, AsymmetricSegmentsAlternateTheirSide) {
    CBioMorph m;
    SetGenome(m, {{10, 3}, {11, 10}, {12, 1}});
    const auto strokes = StrokesOfDeveloped(m, 0);
    ASSERT_EQ(strokes.size(), 3u * 64);
    auto segment = [&](int j, int xSign) {
        std::vector<SStroke> out;
        for (size_t i = 64 * j; i < 64u * (j + 1); ++i) {
            const SStroke& s = strokes[i];
            out.push_back({xSign * s.x0, s.y0 + 10 * j, xSign * s.x1, s.y1 + 10 * j});
        }
        return out;
    };
    const auto first = segment(0, 1);
    EXPECT_EQ(SpanOf(first), (SRect{-21, -28, 4, 0}));  // mostly the c + 1 side, left
    EXPECT_EQ(segment(2, 1), first);

    auto mirrored = segment(1, -1);
    auto sorted = first;
    auto key = [](const SStroke& a, const SStroke& b) {
        return std::tie(a.x0, a.y0, a.x1, a.y1) < std::tie(b.x0, b.y0, b.x1, b.y1);
    };
    std::sort(mirrored.begin(), mirrored.end(), key);
    std::sort(sorted.begin(), sorted.end(), key);
    EXPECT_EQ(mirrored, sorted);
}

// The distance between segments grows by gradient 11 times the segment number, cumulatively.
TEST_F(CDevelopmentTest, SegmentDistanceGrowsWithItsGradient) {
    const struct {
        int o;
        SPoint step;
    } cases[] = {{0, {0, -1}}, {1, {1, 0}}, {2, {0, 1}}, {3, {-1, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.o);
        CBioMorph m;
        SetGenome(m, {{10, 4}, {11, 20}}, {{11, 2}});
        const CRecordingSurface surface = DevelopRecorded(m, 0, 0, c.o);
        const auto joints = NotesOf(surface, EKind::Joint);
        ASSERT_EQ(joints.size(), 3u);
        const int along[4] = {0, 22, 48, 80};
        for (int j = 1; j < 4; ++j) {
            const SStroke expected{c.step.x * along[j - 1], c.step.y * along[j - 1],
                                   c.step.x * along[j], c.step.y * along[j]};
            EXPECT_EQ(joints[j - 1], expected);
        }
        // Each segment starts its tree at its own origin.
        const auto strokes = StrokesOf(surface);
        ASSERT_EQ(strokes.size(), 4u * 127);
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(strokes[127 * j].x0, c.step.x * along[j]);
            EXPECT_EQ(strokes[127 * j].y0, c.step.y * along[j]);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Gradients acting segment by segment

struct SSegmentCase {
    const char* szName;
    int nGradientGene;
    int32_t nGradient;
    int nTrunk[3];       // trunk length of each segment
    size_t nStrokes[3];  // strokes of each segment
    int nPen[3];         // outline index of each trunk
    int nBody[3];        // body index of each trunk
};

void PrintTo(const SSegmentCase& c, std::ostream* os) {
    *os << c.szName;
}

// Outline 40 and body 100 start mid-palette so every step of the index shows in the colour.
const SSegmentCase kSegmentCases[] = {
    {"no gradient", 0, 0, {7, 7, 7}, {127, 127, 127}, {40, 40, 40}, {100, 100, 100}},
    {"trunk vector", 4, -2, {7, 14, 21}, {127, 127, 127}, {40, 40, 40}, {100, 100, 100}},
    {"depth", 9, -2, {7, 5, 3}, {127, 31, 7}, {40, 40, 40}, {100, 100, 100}},
    {"scaling by 5 * 2 percent", 14, 2, {7, 8, 8}, {127, 127, 127}, {40, 40, 40}, {100, 100, 100}},
    {"outline colour, cumulative",
     16,
     2,
     {7, 7, 7},
     {127, 127, 127},
     {40, 42, 46},
     {100, 100, 100}},
    {"body colour, cumulative", 17, -2, {7, 7, 7}, {127, 127, 127}, {40, 40, 40}, {100, 98, 94}},
    {"thickness: no effect", 18, 2, {7, 7, 7}, {127, 127, 127}, {40, 40, 40}, {100, 100, 100}},
};

class CSegmentGradientTest : public CModelTest,
                             public ::testing::WithParamInterface<SSegmentCase> {};

TEST_P(CSegmentGradientTest, ChangesEachLaterSegment) {
    const SSegmentCase& c = GetParam();
    CBioMorph m;
    SetGenome(m, {{10, 3}, {11, 100}, {16, 40}, {17, 100}});
    if (c.nGradientGene) {
        m.SetGradient(c.nGradientGene, c.nGradient);
    }
    const CRecordingSurface surface = DevelopRecorded(m, 0, 0, 0);
    const auto strokes = StrokesOf(surface);
    const auto drawn = StrokePrimitives(surface);
    ASSERT_EQ(strokes.size(), c.nStrokes[0] + c.nStrokes[1] + c.nStrokes[2]);
    size_t first = 0;
    for (int j = 0; j < 3; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(strokes[first], (SStroke{0, -100 * j, 0, -100 * j - c.nTrunk[j]}));
        EXPECT_EQ(drawn[first].state.penColour, g_Palette[c.nPen[j]]);
        EXPECT_EQ(drawn[first].state.brushColour, g_Palette[c.nBody[j]]);
        first += c.nStrokes[j];
    }
}

INSTANTIATE_TEST_SUITE_P(Gradients, CSegmentGradientTest, ::testing::ValuesIn(kSegmentCases));

// ---------------------------------------------------------------------------------------
// Pens, brushes and raster modes

struct SColourCase {
    const char* szName;
    std::vector<int> absent;  // special genes switched off
    std::vector<std::pair<int, int32_t>> genes;
    SRgb pen[2];  // trunk, then the first branch
    SRgb brush[2];
    ERop rop;
    int nWidth[2];
};

void PrintTo(const SColourCase& c, std::ostream* os) {
    *os << c.szName;
}

const SRgb kMid75 = g_Palette[75];

const SColourCase kColourCases[] = {
    {"basic genome: pale outline in XOR",
     {},
     {{16, 1}, {17, 2}},
     {g_Palette[1], g_Palette[4]},
     {g_Palette[2], g_Palette[5]},
     ERop::Xor,
     {1, 1}},
    {"outline 0 is a white pen in XOR",
     {},
     {{16, 0}},
     {kWhite, kWhite},
     {kWhite, kWhite},
     ERop::Xor,
     {1, 1}},
    {"indices step by 3 per level",
     {},
     {{16, 75}, {17, 140}},
     {kMid75, g_Palette[78]},
     {g_Palette[140], g_Palette[143]},
     ERop::Xor,
     {1, 1}},
    {"below the palette is black",
     {},
     {{16, -1}, {17, -7}},
     {kBlack, g_Palette[2]},
     {kBlack, kBlack},
     ERop::Xor,
     {1, 1}},
    {"above the palette is white",
     {},
     {{16, 158}, {17, 157}},
     {g_Palette[158], kWhite},
     {g_Palette[157], kWhite},
     ERop::Xor,
     {1, 1}},
    {"no colour genes: black in copy mode",
     {16, 17},
     {{16, 75}, {17, 140}},
     {kBlack, kBlack},
     {kBlack, kBlack},
     ERop::Copy,
     {1, 1}},
    {"outline only: white brush in XOR",
     {17},
     {{16, 75}, {17, 140}},
     {kMid75, g_Palette[78]},
     {kWhite, kWhite},
     ERop::Xor,
     {1, 1}},
    {"body only: black pen in copy mode",
     {16},
     {{16, 75}, {17, 140}},
     {kBlack, kBlack},
     {g_Palette[140], g_Palette[143]},
     ERop::Copy,
     {1, 1}},
    {"thickness and tapering",
     {},
     {{18, 3}, {19, 2}},
     {kWhite, kWhite},
     {kWhite, kWhite},
     ERop::Xor,
     {3, 5}},
    {"tapering not present",
     {19},
     {{18, 3}, {19, 2}},
     {kWhite, kWhite},
     {kWhite, kWhite},
     ERop::Xor,
     {3, 3}},
    {"thickness not present: one pixel",
     {18},
     {{18, 3}, {19, 2}},
     {kWhite, kWhite},
     {kWhite, kWhite},
     ERop::Xor,
     {1, 1}},
    {"negative width passed as it is",
     {},
     {{18, -2}, {19, -1}},
     {kWhite, kWhite},
     {kWhite, kWhite},
     ERop::Xor,
     {-2, -3}},
};

class CColourTest : public CModelTest, public ::testing::WithParamInterface<SColourCase> {};

TEST_P(CColourTest, PenBrushModeAndWidthOfTheFirstStrokes) {
    const SColourCase& c = GetParam();
    for (const int g : c.absent) {
        g_SpecialGenes[g].bPresent = 0;
    }
    CBioMorph m;
    SetGenome(m, {});
    for (const auto& [g, v] : c.genes) {
        m.SetGene(g, v);
    }
    // The caller left XOR on; each stroke sets its own mode.
    const SDrawState before{7, {1, 2, 3}, {4, 5, 6}, ERop::Xor};
    CRecordingSurface surface;
    surface.SetState(before);
    m.Develop(&surface, 0, 0, 0, 1);

    const auto lines = surface.OpsOf(EKind::Line);
    ASSERT_EQ(lines.size(), 127u);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].state.penColour, c.pen[i]);
        EXPECT_EQ(lines[i].state.brushColour, c.brush[i]);
        EXPECT_EQ(lines[i].state.rop, c.rop);
        EXPECT_EQ(lines[i].state.nPenWidth, c.nWidth[i]);
    }
    for (const auto& line : lines) {
        EXPECT_EQ(line.state.rop, c.rop);
    }
    // Every stroke puts the caller's pen and brush back and leaves copy mode.
    SDrawState after = before;
    after.rop = ERop::Copy;
    EXPECT_EQ(surface.State(), after);
}

INSTANTIATE_TEST_SUITE_P(Genomes, CColourTest, ::testing::ValuesIn(kColourCases));

TEST_F(CDevelopmentTest, JointsUseGene16AndMarkEachSegmentOrigin) {
    const struct {
        const char* szName;
        bool bOutline;
        int32_t nOutline;
        SRgb colour;
        ERop rop;
    } cases[] = {
        {"outline present", true, 75, g_Palette[75], ERop::Xor},
        {"outline absent: still gene 16", false, 75, g_Palette[75], ERop::Copy},
        {"gene 16 = 160 names no entry: white", true, 160, kWhite, ERop::Xor},
        {"negative gene 16: black", true, -4, kBlack, ERop::Xor},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        g_SpecialGenes[16].bPresent = c.bOutline;
        CBioMorph m;
        SetGenome(m, {{10, 3}, {11, 10}, {16, c.nOutline}}, {{16, 2}});
        const CRecordingSurface surface = DevelopRecorded(m, 5, 5, 0);

        std::vector<SPoint> pixels;
        std::vector<SStroke> joints;
        for (size_t i = 0; i < surface.Ops().size(); ++i) {
            const auto& op = surface.Ops()[i];
            if (op.kind == EKind::Pixel) {
                EXPECT_EQ(op.colour, kBlack);
                pixels.push_back(op.points[0]);
            } else if (op.kind == EKind::Line && i > 0 &&
                       surface.Ops()[i - 1].kind == EKind::Joint) {
                joints.push_back({op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y});
                EXPECT_EQ(op.state.nPenWidth, 1);
                EXPECT_EQ(op.state.penColour, c.colour);
                EXPECT_EQ(op.state.brushColour, c.colour);
                EXPECT_EQ(op.state.rop, c.rop);
            }
        }
        EXPECT_EQ(joints, (std::vector<SStroke>{{5, 5, 5, -5}, {5, -5, 5, -15}}));
        EXPECT_EQ(pixels, (std::vector<SPoint>{{5, 5}, {5, -5}, {5, -15}}));
    }
}

TEST_F(CDevelopmentTest, MeasuringWithoutDrawingTouchesNoSurface) {
    CBioMorph m;
    SetGenome(m, {{10, 3}});
    CRecordingSurface surface;
    m.Develop(&surface, 3, 4, 0, 0);
    // Only the origin pixel and the joints between segments reach a surface when measuring.
    EXPECT_EQ(surface.OpsOf(EKind::Stroke).size(), 0u);
    EXPECT_EQ(surface.OpsOf(EKind::Pixel).size(), 1u);
    EXPECT_EQ(m.m_ptOffset, (SPoint{0, 24}));
}

// ---------------------------------------------------------------------------------------
// Branch styles

TEST_F(CDevelopmentTest, TriangleOnAHorizontalStrokeOf30IsTwentyWide) {
    // Depth 1 and trunk vector -300: one stroke of 30 pixels, pointing right when o = 1.
    CBioMorph m;
    SetGenome(m, {{4, -300}, {9, 1}, {15, 1}});
    const CRecordingSurface surface = DevelopRecorded(m, 0, 0, 1);
    const auto polygons = surface.OpsOf(EKind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].points, (std::vector<SPoint>{{0, -10}, {0, 10}, {30, 0}, {0, -10}}));
    EXPECT_TRUE(surface.OpsOf(EKind::Line).empty());
}

// The tip's radius is twice the width development carries, even where the pen is one pixel
// because Line thickness is off and only the tapering has grown that width.
TEST_F(CDevelopmentTest, CircularTipHasTwiceTheCarriedWidthAsRadius) {
    const struct {
        const char* szName;
        bool bThickness;
        int32_t nThickness, nTapering;
        int nPen[3];
        int nRadius[3];
    } cases[] = {
        {"thickness present", true, 3, 0, {3, 3, 3}, {6, 6, 6}},
        {"thickness and tapering present", true, 3, 2, {3, 5, 5}, {6, 10, 10}},
        {"thickness absent: width 1 plus tapering", false, 3, 2, {1, 1, 1}, {2, 6, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        g_SpecialGenes[18].bPresent = c.bThickness;
        CBioMorph m;
        SetGenome(m, {{9, 2}, {15, 2}, {18, c.nThickness}, {19, c.nTapering}});
        const CRecordingSurface surface = DevelopRecorded(m, 0, 0, 0);
        const auto strokes = StrokesOf(surface);
        const auto lines = surface.OpsOf(EKind::Line);
        const auto ellipses = surface.OpsOf(EKind::Ellipse);
        ASSERT_EQ(strokes.size(), 3u);
        ASSERT_EQ(lines.size(), 3u);
        ASSERT_EQ(ellipses.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const int x1 = strokes[i].x1;
            const int y1 = strokes[i].y1;
            const int r = c.nRadius[i];
            EXPECT_EQ(lines[i].points[1], (SPoint{x1, y1}));
            EXPECT_EQ(lines[i].state.nPenWidth, c.nPen[i]);
            EXPECT_EQ(ellipses[i].rect, (SRect{x1 - r, y1 + r, x1 + r, y1 - r}));
        }
    }
}

TEST_F(CDevelopmentTest, StyleChoiceWrapsAndFollowsItsGradient) {
    const struct {
        const char* szName;
        int32_t nStyle;
        int32_t nGradient;
        bool bPresent;
        EKind kinds[3];  // the primitive of each segment's strokes
    } cases[] = {
        {"line, triangle, tip", 0, 1, true, {EKind::Line, EKind::Polygon, EKind::Ellipse}},
        {"3, 5 and 7 wrap to leaf, triangle, leaf",
         3,
         2,
         true,
         {EKind::Bezier, EKind::Polygon, EKind::Bezier}},
        {"negative draws lines", 0, -1, true, {EKind::Line, EKind::Line, EKind::Line}},
        {"6 wraps to a tip", 6, 0, true, {EKind::Ellipse, EKind::Ellipse, EKind::Ellipse}},
        {"not present: the gradient still acts",
         3,
         1,
         false,
         {EKind::Line, EKind::Polygon, EKind::Ellipse}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        g_SpecialGenes[15].bPresent = c.bPresent;
        CBioMorph m;
        SetGenome(m, {{9, 2}, {10, 3}, {15, c.nStyle}}, {{15, c.nGradient}});
        const CRecordingSurface surface = DevelopRecorded(m, 0, 0, 0);
        // Depth 2 gives 3 strokes per segment; the primitive after each stroke note tells
        // the style it was drawn in.
        std::vector<EKind> drawn;
        const auto& ops = surface.Ops();
        for (size_t i = 0; i + 1 < ops.size(); ++i) {
            if (ops[i].kind == EKind::Stroke) {
                EKind kind = ops[i + 1].kind;
                if (kind == EKind::Line && i + 2 < ops.size() &&
                    ops[i + 2].kind == EKind::Ellipse) {
                    kind = EKind::Ellipse;
                }
                drawn.push_back(kind);
            }
        }
        ASSERT_EQ(drawn.size(), 9u);
        for (int j = 0; j < 3; ++j) {
            for (int s = 0; s < 3; ++s) {
                EXPECT_EQ(drawn[3 * j + s], c.kinds[j]) << "segment " << j;
            }
        }
    }
}

TEST_F(CDevelopmentTest, LeafOfAZeroLengthStrokeDrawsNothing) {
    CBioMorph m;
    SetGenome(m, {{9, 0}, {15, 3}});
    const CRecordingSurface surface = DevelopRecorded(m, 4, 4, 0);
    EXPECT_EQ(StrokesOf(surface), (std::vector<SStroke>{{4, 4, 4, 4}}));
    EXPECT_TRUE(surface.OpsOf(EKind::Bezier).empty());
    EXPECT_EQ(surface.Ops().size(), 2u);  // the origin pixel and the stroke note
}

// A leaf lies along its stroke whatever the stroke's direction: its two tips sit on the
// stroke's ends and it is a quarter as wide as it is long.
TEST_F(CDevelopmentTest, LeafLiesAlongItsStroke) {
    // Depth 2 draws the trunk then two branches of (gene1 / 10, gene5 / 10) and its mirror.
    const struct {
        int32_t nGene1, nGene5;
    } cases[] = {{300, 400}, {300, -400}, {400, 0}, {0, 400}, {0, -400}, {-250, 70}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.nGene1 << "," << c.nGene5);
        CBioMorph m;
        SetGenome(m, {{1, c.nGene1}, {4, -400}, {5, c.nGene5}, {9, 2}, {15, 3}});
        const CRecordingSurface surface = DevelopRecorded(m, 0, 0, 0);
        const auto strokes = StrokesOf(surface);
        const auto leaves = surface.OpsOf(EKind::Bezier);
        ASSERT_EQ(strokes.size(), 3u);
        ASSERT_EQ(leaves.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const SStroke& s = strokes[i];
            const auto& p = leaves[i].points;
            ASSERT_EQ(p.size(), 13u);
            SCOPED_TRACE(::testing::Message() << s);
            EXPECT_EQ(p[0], p[12]);  // a closed outline
            auto near = [](SPoint a, int x, int y) {
                return std::abs(a.x - x) <= 2 && std::abs(a.y - y) <= 2;
            };
            const bool bForward = near(p[0], s.x0, s.y0) && near(p[6], s.x1, s.y1);
            const bool bBackward = near(p[0], s.x1, s.y1) && near(p[6], s.x0, s.y0);
            EXPECT_TRUE(bForward || bBackward) << p[0] << " " << p[6];
            const double length = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
            const double width = std::hypot(p[9].x - p[3].x, p[9].y - p[3].y);
            EXPECT_NEAR(width, length / 4, 2.0);
        }
    }
}

// The exact outline of three leaves: an upright trunk and the two branches of a 3-4-5
// triangle, whose angle comes from asin(0.8) of the single-precision ratio.
TEST_F(CDevelopmentTest, LeafOutlinePoints) {
    CBioMorph m;
    SetGenome(m, {{1, 300}, {4, -400}, {5, 400}, {9, 2}, {15, 3}});
    const CRecordingSurface surface = DevelopRecorded(m, 0, 0, 0);
    ASSERT_EQ(StrokesOf(surface),
              (std::vector<SStroke>{{0, 0, 0, -80}, {0, -80, 30, -40}, {0, -80, -30, -40}}));
    const std::vector<SPoint> expected[3] = {
        {{0, 0},
         {-5, 0},
         {-10, -18},
         {-9, -40},
         {-9, -62},
         {-4, -80},
         {0, -80},
         {5, -79},
         {10, -61},
         {9, -39},
         {9, -17},
         {4, 0},
         {0, 0}},
        {{0, -80},
         {2, -81},
         {12, -74},
         {19, -63},
         {27, -53},
         {32, -41},
         {29, -39},
         {27, -38},
         {17, -45},
         {10, -56},
         {2, -66},
         {-2, -78},
         {0, -80}},
        {{0, -80},
         {2, -78},
         {-2, -66},
         {-10, -56},
         {-17, -45},
         {-27, -38},
         {-29, -39},
         {-32, -41},
         {-27, -53},
         {-19, -63},
         {-12, -74},
         {-2, -81},
         {0, -80}},
    };
    const auto leaves = surface.OpsOf(EKind::Bezier);
    ASSERT_EQ(leaves.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(leaves[i].points, expected[i]) << "leaf " << i;
    }
}

// ---------------------------------------------------------------------------------------
// Drawing in XOR

// Pixels of a small picture, white at first. Every primitive is traced as its outline with
// the pen (the ellipse as its box with the brush) in the surface's raster mode; that is
// enough to show whether two drawings cancel.
class CPixelSurface : public IDrawSurface {
public:
    static constexpr int kSize = 200;

    CPixelSurface() : m_pixels(kSize * kSize, kWhite) {}

    void SetPixel(int x, int y, SRgb colour) override {
        m_setPixels.insert({x, y});
        if (Inside(x, y)) {
            m_pixels[y * kSize + x] = colour;
        }
    }
    void Line(int x0, int y0, int x1, int y1) override { Trace(x0, y0, x1, y1, State().penColour); }
    void Polygon(const SPoint* p, int count) override { Polyline(p, count); }
    void Bezier13(const SPoint* p) override { Polyline(p, 13); }
    void Ellipse(const SRect& box) override {
        const SRect b = box.Normalised();
        const SPoint corners[5] = {{b.left, b.top},
                                   {b.right, b.top},
                                   {b.right, b.bottom},
                                   {b.left, b.bottom},
                                   {b.left, b.top}};
        for (int i = 0; i < 4; ++i) {
            Trace(corners[i].x, corners[i].y, corners[i + 1].x, corners[i + 1].y,
                  State().brushColour);
        }
    }
    void FillRect(const SRect&, SRgb) override {}
    void FrameRect(const SRect&, SRgb) override {}
    void SetClip(const SRect*) override {}

    std::vector<SRgb> m_pixels;
    std::set<std::pair<int, int>> m_setPixels;

private:
    static bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < kSize && y < kSize; }
    void Plot(int x, int y, SRgb colour) {
        if (!Inside(x, y)) {
            return;
        }
        SRgb& p = m_pixels[y * kSize + x];
        if (State().rop == ERop::Xor) {
            p = {static_cast<uint8_t>(p.r ^ colour.r), static_cast<uint8_t>(p.g ^ colour.g),
                 static_cast<uint8_t>(p.b ^ colour.b)};
        } else {
            p = colour;
        }
    }
    void Trace(int x0, int y0, int x1, int y1, SRgb colour) {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Plot(x0, y0, colour);
            if (x0 == x1 && y0 == y1) {
                return;
            }
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void Polyline(const SPoint* p, int count) {
        for (int i = 0; i + 1 < count; ++i) {
            Trace(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, State().penColour);
        }
    }
};

TEST_F(CDevelopmentTest, DrawingTwiceInXorRestoresAllButTheBlackOrigins) {
    for (int style = 0; style <= 3; ++style) {
        SCOPED_TRACE(style);
        CBioMorph m;
        m.SetGenes(GenesWith(kBasicGenes, {{10, 3}, {16, 40}, {17, 90}, {15, style}}));
        CPixelSurface surface;
        m.Draw(surface, 100, 100, 0);
        const auto changed = std::count_if(surface.m_pixels.begin(), surface.m_pixels.end(),
                                           [](SRgb p) { return p != kWhite; });
        EXPECT_GT(changed, 50);

        m.Draw(surface, 100, 100, 0);
        // Development sets the origin of every segment to black outright; everything else
        // was XORed twice.
        EXPECT_EQ(surface.m_setPixels.size(), 3u);
        for (int y = 0; y < CPixelSurface::kSize; ++y) {
            for (int x = 0; x < CPixelSurface::kSize; ++x) {
                if (!surface.m_setPixels.count({x, y})) {
                    ASSERT_EQ(surface.m_pixels[y * CPixelSurface::kSize + x], kWhite)
                        << x << "," << y;
                }
            }
        }
    }
}

TEST_F(CDevelopmentTest, WithOutlinePresentEveryPrimitiveIsXor) {
    for (int style = 0; style <= 3; ++style) {
        SCOPED_TRACE(style);
        CBioMorph m;
        m.SetGenes(GenesWith(kBasicGenes, {{10, 3}, {13, 2}, {15, style}}));
        CRecordingSurface surface;
        m.Draw(surface, 0, 0, 0);
        size_t drawn = 0;
        for (const auto& op : surface.Ops()) {
            if (op.kind == EKind::Line || op.kind == EKind::Polygon || op.kind == EKind::Bezier ||
                op.kind == EKind::Ellipse) {
                ++drawn;
                EXPECT_EQ(op.state.rop, ERop::Xor);
            }
        }
        EXPECT_GE(drawn, 4u * 3 * 127);
        EXPECT_EQ(surface.State().rop, ERop::Copy);
    }
}

}  // namespace
