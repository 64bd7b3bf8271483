// Genomes from files and the clipboard are never validated, so any int32 may sit in any gene
// or gradient. Development must finish, stay defined and keep its bounds sane for all of them.

#include <climits>
#include <random>

#include "TestSupport.h"

namespace {

using CWildGenomeTest = CModelTest;

void FillAll(CBioMorph& m, int32_t gene, int32_t gradient) {
    for (int g = 1; g <= kGeneCount; ++g) {
        m.SetGene(g, gene);
        m.SetGradient(g, gradient);
    }
}

void ExpectSaneBounds(const CBioMorph& m) {
    EXPECT_EQ(m.m_bLaidOut, 1);
    EXPECT_LE(m.m_rcBounds.left, m.m_rcBounds.right);
    EXPECT_LE(m.m_rcBounds.top, m.m_rcBounds.bottom);
}

struct SExtremeCase {
    const char* szName;
    int32_t nGene;
    int32_t nGradient;
    int32_t nRotation;  // gene 13, which decides the number of arms
    long nStrokesPresent;
    long nStrokesAbsent;
};

void PrintTo(const SExtremeCase& c, std::ostream* os) {
    *os << c.szName;
}

// With everything present, gene 10 at INT_MAX grows the most segments development allows;
// at INT_MIN it grows none. Depths clamp to 0..9 segment by segment.
const SExtremeCase kExtremeCases[] = {
    {"genes INT_MAX", INT_MAX, 0, INT_MAX, CBioMorph::kMaxSegments * 511, 511},
    {"genes INT_MIN", INT_MIN, 0, INT_MIN, 0, 1},
    {"genes and gradients INT_MAX", INT_MAX, INT_MAX, INT_MAX, CBioMorph::kMaxSegments * 511, 511},
    {"genes and gradients INT_MIN", INT_MIN, INT_MIN, INT_MIN, 0, 1},
    {"genes INT_MAX, gradients INT_MIN: later segments depth 0", INT_MAX, INT_MIN, INT_MAX,
     511 + (CBioMorph::kMaxSegments - 1), 511},
    {"genes INT_MIN, gradients INT_MAX", INT_MIN, INT_MAX, INT_MIN, 0, 1},
    {"genes INT_MAX, two arms", INT_MAX, 0, 1, 2 * CBioMorph::kMaxSegments * 511, 511},
    {"genes INT_MAX, four arms", INT_MAX, 0, 2, 4 * CBioMorph::kMaxSegments * 511, 511},
    {"genes INT_MAX, gradients INT_MAX, four arms", INT_MAX, INT_MAX, 2,
     4 * CBioMorph::kMaxSegments * 511, 511},
};

class CExtremeTest : public CModelTest, public ::testing::WithParamInterface<SExtremeCase> {};

TEST_P(CExtremeTest, MeasuresAndDrawsInEveryOrientation) {
    const SExtremeCase& c = GetParam();
    for (const bool bPresent : {true, false}) {
        SetAllPresent(bPresent);
        for (int o = 0; o < 4; ++o) {
            for (const SPoint at : {SPoint{0, 0}, SPoint{INT_MAX, INT_MIN}}) {
                SCOPED_TRACE(::testing::Message()
                             << "present " << bPresent << " o " << o << " at " << at);
                CBioMorph m;
                FillAll(m, c.nGene, c.nGradient);
                m.SetGene(13, c.nRotation);
                m.Measure(at.x, at.y, o);
                ExpectSaneBounds(m);

                CCountingSurface surface;
                m.Draw(surface, at.x, at.y, o);
                EXPECT_EQ(surface.m_nStrokes, bPresent ? c.nStrokesPresent : c.nStrokesAbsent);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Genomes, CExtremeTest, ::testing::ValuesIn(kExtremeCases));

// A few hundred genomes of random 32-bit values, some genes drawn small so that the
// arithmetic near the limits gets exercised too.
TEST_F(CWildGenomeTest, RandomGenomesMeasureAndDraw) {
    std::mt19937 random(20240601u);
    auto wild = [&]() { return static_cast<int32_t>(random()); };
    auto small = [&]() { return static_cast<int32_t>(random() % 2001) - 1000; };
    const SPoint places[] = {{0, 0}, {300, 200}, {INT_MAX, INT_MAX}, {INT_MIN, 7}};
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        for (int g = 10; g <= kGeneCount; ++g) {
            g_SpecialGenes[g].bPresent = static_cast<int32_t>(random() % 4 != 0);
        }
        CBioMorph m;
        for (int g = 1; g <= kGeneCount; ++g) {
            const bool bWild = random() % 2;
            m.SetGene(g, bWild ? wild() : small());
            m.SetGradient(g, random() % 2 ? wild() : small() / 100);
        }
        const SPoint at = places[i % 4];
        const int o = static_cast<int>(random());  // any int is an orientation
        m.Measure(at.x, at.y, o);
        ExpectSaneBounds(m);
        CCountingSurface surface;
        m.Draw(surface, at.x, at.y, o);
        EXPECT_GE(surface.m_nOps, 1);
    }
}

// Segments are capped so that a wild segment count cannot hang the program.
TEST_F(CWildGenomeTest, HugeSegmentCountIsCapped) {
    CBioMorph m;
    m.SetGene(10, 2'000'000'000);
    CRecordingSurface surface;
    m.Develop(&surface, 0, 0, 0, 1);
    EXPECT_EQ(StrokesOf(surface).size(), size_t{CBioMorph::kMaxSegments} * 127);
    const auto joints = NotesOf(surface, CRecordingSurface::EKind::Joint);
    ASSERT_EQ(joints.size(), size_t{CBioMorph::kMaxSegments} - 1);
    // The last joint links the last two segments, ten pixels apart.
    constexpr int k = CBioMorph::kMaxSegments;
    EXPECT_EQ(joints.back(), (SStroke{0, -10 * (k - 2), 0, -10 * (k - 1)}));
}

// With no segment at all nothing grows: the box is empty at the position and the morph is
// drawn where it was asked to be, not 30000 pixels away.
TEST_F(CWildGenomeTest, NoSegmentsMeasuresAsAnEmptyBoxAtThePosition) {
    for (const int32_t segments : {0, -1, INT_MIN}) {
        for (const SPoint at : {SPoint{50, 60}, SPoint{-7, 3}}) {
            SCOPED_TRACE(::testing::Message() << segments << " at " << at);
            CBioMorph m;
            m.SetGenes(GenesWith(kDefaultGenes, {{10, segments}, {13, 2}, {18, 9}}));
            m.Measure(0, 0, 0);  // stale bounds from elsewhere must not survive
            m.Measure(at.x, at.y, 1);
            EXPECT_EQ(m.m_rcBounds, (SRect{at.x, at.y, at.x, at.y}));
            EXPECT_EQ(m.m_ptOffset, (SPoint{0, 0}));

            CRecordingSurface surface;
            m.Draw(surface, at.x, at.y, 1);
            ASSERT_EQ(surface.Ops().size(), 1u);
            EXPECT_EQ(surface.Ops()[0].points[0], at);
        }
    }
}

// For genomes within the limits, development is exact: every stroke end drawn lies in the box
// measured for the same place.
class CInsideBoundsSurface : public CCountingSurface {
public:
    explicit CInsideBoundsSurface(const SRect& bounds) : m_bounds(bounds) {}
    void OnStroke(int x0, int y0, int x1, int y1) override {
        CCountingSurface::OnStroke(x0, y0, x1, y1);
        for (const SPoint p : {SPoint{x0, y0}, SPoint{x1, y1}}) {
            if (p.x < m_bounds.left || p.x > m_bounds.right || p.y < m_bounds.top ||
                p.y > m_bounds.bottom) {
                ++m_nOutside;
            }
        }
    }
    SRect m_bounds;
    long m_nOutside = 0;
};

TEST_F(CWildGenomeTest, MonstersDrawInsideTheirMeasuredBounds) {
    SetAllMutable(true);
    SeedRandom(7);
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        CBioMorph m;
        m.HopefulMonster();
        const int o = i % 4;
        m.Measure(400, 300, o);
        CInsideBoundsSurface surface(m.m_rcBounds);
        m.Draw(surface, 400, 300, o);
        EXPECT_GT(surface.m_nStrokes, 0);
        EXPECT_EQ(surface.m_nOutside, 0);
    }
}

// Measuring takes the box of every stroke end without drawing: it must come out exactly as
// the box of the strokes a drawing from the same origin announces.
class CStrokeBoxSurface : public CCountingSurface {
public:
    void OnStroke(int x0, int y0, int x1, int y1) override {
        CCountingSurface::OnStroke(x0, y0, x1, y1);
        for (const SPoint p : {SPoint{x0, y0}, SPoint{x1, y1}}) {
            m_box.left = std::min(m_box.left, p.x);
            m_box.top = std::min(m_box.top, p.y);
            m_box.right = std::max(m_box.right, p.x);
            m_box.bottom = std::max(m_box.bottom, p.y);
        }
    }
    SRect m_box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

TEST_F(CWildGenomeTest, MeasuredBoxIsTheBoxOfTheDrawnStrokes) {
    std::mt19937 rng(12345);
    auto any = [&] { return static_cast<int32_t>(rng()); };
    auto within = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    SeedRandom(3);
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        for (int g = 9; g <= kGeneCount; ++g) {
            g_SpecialGenes[g].bPresent = (rng() % 4) != 0;
        }
        CBioMorph m;
        if (i % 3 == 0) {
            SetAllMutable(true);
            m.HopefulMonster();
        } else {
            // Any value anywhere, but few segments so the test stays quick.
            for (int g = 1; g <= kGeneCount; ++g) {
                m.SetGene(g, i % 3 == 1 ? any() : within(-1000, 1000));
                m.SetGradient(g, i % 3 == 1 ? any() : within(-5, 5));
            }
            m.SetGene(kGeneSegments, within(-2, 4));
            m.SetGene(kGeneDepth, i % 3 == 1 ? any() : within(-1, 10));
        }
        const int o = i % 4;
        const int x = within(-500, 500);
        const int y = within(-500, 500);
        m.Develop(nullptr, x, y, o, 0);
        CStrokeBoxSurface surface;
        m.Develop(&surface, x, y, o, 1);
        if (surface.m_nStrokes == 0) {
            EXPECT_EQ(m.m_rcBounds, (SRect{x, y, x, y}));
        } else {
            EXPECT_EQ(m.m_rcBounds, surface.m_box);
        }
    }
}

// The bounds on segments and pens are for genes outside their limits: the heaviest genomes
// within them must still grow every segment and reach every pen and tip width.
TEST_F(CWildGenomeTest, LimitsLeaveTheHeaviestLegalMorphWhole) {
    SetAllPresent(true);
    CBioMorph m;
    // Nine segments, depth 9, four arms, round tips, thickness 10 tapering 10.
    m.SetGenes(
        {400, -400, 400, -400, 400, -400, 400, -400, 9, 9, 100, 0, 2, 400, 2, 80, 90, 10, 10});
    m.ClearGradients();
    CRecordingSurface surface;
    m.Draw(surface, 400, 300, 0);
    EXPECT_EQ(StrokesOf(surface).size(), size_t{4 * 9 * 511});
    int widest = 0;
    int widestTip = 0;
    for (const CRecordingSurface::SOp& op : surface.Ops()) {
        widest = std::max(widest, op.state.nPenWidth);
        if (op.kind == CRecordingSurface::EKind::Ellipse) {
            widestTip = std::max(widestTip, op.rect.Normalised().Width());
        }
    }
    EXPECT_EQ(widest, 90);
    EXPECT_EQ(widestTip, 4 * 90);
}

}  // namespace
