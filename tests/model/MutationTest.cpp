#include <climits>

#include "TestSupport.h"

namespace {

using CMutationTest = CModelTest;

int Pass(int r) {
    return r % 100 + 1;
}
bool Even(int r) {
    return r % 2 == 0;
}

void SetBasic(CBioMorph& m) {
    m.SetGenes(kBasicGenes);
    m.ClearGradients();
}

TEST_F(CMutationTest, SeedOneRaisesTheDepthOfTheBasicGenome) {
    CBioMorph m;
    SetBasic(m);
    SeedRandom(1);
    m.Mutate(1.0f);
    // r = 42: a gene; 18467 mod 9 = 8 picks gene 9; 6334 is even, so up one step.
    const auto expected = GenesWith(kBasicGenes, {{9, 8}});
    EXPECT_EQ(m.GetGenes(), expected);
    EXPECT_EQ(RandomState(), StateAfter(1, 3));
}

// ---------------------------------------------------------------------------------------
// One pass

struct SPassCase {
    const char* szName;
    int nLow, nHigh;  // the range of r
    int32_t nSegments;
    bool bGene, bGradient;
};

void PrintTo(const SPassCase& c, std::ostream* os) {
    *os << c.szName;
}

// The gene change, when there is one, picks gene 1 upwards; the gradient change gradient 2
// upwards. Every special gene may mutate, so the candidates are genes 1 to 19.
const SPassCase kPassCases[] = {
    {"1-10 changes nothing", 1, 10, 1, false, false},
    {"1-10 segmented changes nothing", 1, 10, 3, false, false},
    {"11-30 unsegmented: a gene", 11, 30, 1, true, false},
    {"11-30 segmented: a gradient", 11, 30, 3, false, true},
    {"31-90: a gene", 31, 90, 3, true, false},
    {"91-100 unsegmented: a gene", 91, 100, 1, true, false},
    {"91-100 segmented: a gene and a gradient", 91, 100, 3, true, true},
    {"segmentation counts by value, not by switch", 11, 30, 2, false, true},
};

class CPassTest : public CModelTest, public ::testing::WithParamInterface<SPassCase> {};

TEST_P(CPassTest, DrawDecidesWhatChangesAndInWhichOrder) {
    const SPassCase& c = GetParam();
    SetAllMutable(true);
    g_SpecialGenes[10].bPresent = 0;  // presence plays no part in mutation

    const int calls = 1 + (c.bGene ? 2 : 0) + (c.bGradient ? 2 : 0);
    const uint32_t seed = SeedWhere(calls, [&](const std::vector<int>& out) {
        if (Pass(out[0]) < c.nLow || Pass(out[0]) > c.nHigh) {
            return false;
        }
        size_t i = 1;
        if (c.bGene && (out[i] % 19 != 0 || !Even(out[i + 1]))) {
            return false;
        }
        i += c.bGene ? 2 : 0;
        return !c.bGradient || (out[i] % 19 == 1 && Even(out[i + 1]));
    });

    CBioMorph m;
    m.SetGenes(GenesWith(kDefaultGenes, {{10, c.nSegments}}));
    m.Measure(0, 0, 0);
    m.Mutate(1.0f);

    auto genes = GenesWith(kDefaultGenes, {{10, c.nSegments}});
    if (c.bGene) {
        genes[0] += 5;
    }
    EXPECT_EQ(m.GetGenes(), genes);
    for (int g = 1; g <= kGeneCount; ++g) {
        EXPECT_EQ(m.Gradient(g), g == 2 && c.bGradient ? 2 : 0) << g;
    }
    EXPECT_EQ(m.m_bLaidOut, 0);
    EXPECT_EQ(RandomState(), StateAfter(seed, calls));
}

INSTANTIATE_TEST_SUITE_P(Draws, CPassTest, ::testing::ValuesIn(kPassCases));

// ---------------------------------------------------------------------------------------
// Limits and cycling

struct SStepCase {
    int nGene;
    int32_t nStart;
    bool bUp;
    int32_t nExpected;
};

void PrintTo(const SStepCase& c, std::ostream* os) {
    *os << "gene " << c.nGene << " at " << c.nStart << (c.bUp ? " up" : " down");
}

const SStepCase kGeneSteps[] = {
    {1, -10, true, -5},        {1, 398, true, 400},     {9, 9, true, 9},
    {14, -400, false, -400},   {16, 160, true, 160},    {18, -8, false, -8},
    {11, -100, true, -99},     {9, INT_MAX, true, 9},   {9, INT_MAX, false, 9},
    {9, INT_MIN, false, 1},    {9, INT_MIN, true, 1},   {14, INT_MIN, true, -400},
    {11, INT_MAX, false, 100}, {17, INT_MIN, false, 0}, {19, 500, false, 10},
};

class CGeneStepTest : public CModelTest, public ::testing::WithParamInterface<SStepCase> {};

TEST_P(CGeneStepTest, ClampsToTheLimitsWithoutWrapping) {
    const SStepCase& c = GetParam();
    SetAllMutable(true);
    SeedWhere(3, [&](const std::vector<int>& out) {
        return Pass(out[0]) > 30 && Pass(out[0]) <= 90 && out[1] % 19 == c.nGene - 1 &&
               Even(out[2]) == c.bUp;
    });
    CBioMorph m;
    m.SetGene(c.nGene, c.nStart);
    m.Mutate(1.0f);

    auto expected = kDefaultGenes;
    expected[c.nGene - 1] = c.nExpected;
    EXPECT_EQ(m.GetGenes(), expected);
}

INSTANTIATE_TEST_SUITE_P(Limits, CGeneStepTest, ::testing::ValuesIn(kGeneSteps));

const SStepCase kGradientSteps[] = {
    {1, 2, true, -2},       {1, -2, false, 2},     {1, 1, false, -1},      {1, 1, true, -2},
    {3, 0, true, 2},        {3, 0, false, -2},     {5, INT_MAX, true, -2}, {5, INT_MAX, false, -2},
    {5, INT_MIN, false, 2}, {5, INT_MIN, true, 2}, {19, 7, false, -2},     {19, -9, true, 2},
};

class CGradientStepTest : public CModelTest, public ::testing::WithParamInterface<SStepCase> {};

TEST_P(CGradientStepTest, CyclesThroughMinusTwoZeroTwo) {
    const SStepCase& c = GetParam();
    SetAllMutable(true);
    SeedWhere(3, [&](const std::vector<int>& out) {
        return Pass(out[0]) > 10 && Pass(out[0]) <= 30 && out[1] % 19 == c.nGene - 1 &&
               Even(out[2]) == c.bUp;
    });
    CBioMorph m;
    m.SetGene(10, 2);
    m.SetGradient(c.nGene, c.nStart);
    m.Mutate(1.0f);

    EXPECT_EQ(m.Gradient(c.nGene), c.nExpected);
    EXPECT_EQ(m.GetGenes(), GenesWith(kDefaultGenes, {{10, 2}}));
}

INSTANTIATE_TEST_SUITE_P(Cycling, CGradientStepTest, ::testing::ValuesIn(kGradientSteps));

// Over many passes every changed gene stays within its limits however wild it started, and
// every changed gradient lands in {-2, 0, 2}.
TEST_F(CMutationTest, WildGenomesAreBroughtIntoRangeByEveryChange) {
    SetAllMutable(true);
    for (const int32_t wild : {INT_MAX, INT_MIN}) {
        for (uint32_t seed = 1; seed <= 300; ++seed) {
            SCOPED_TRACE(::testing::Message() << wild << " seed " << seed);
            CBioMorph m;
            for (int g = 1; g <= kGeneCount; ++g) {
                m.SetGene(g, wild);
                m.SetGradient(g, wild);
            }
            m.SetGene(10, 5);  // segmented, so gradients change too
            SeedRandom(seed);
            m.Mutate(1.0f);
            for (int g = 1; g <= kGeneCount; ++g) {
                if (m.Gene(g) != wild && g != 10) {
                    EXPECT_EQ(m.Gene(g), wild > 0 ? g_GeneLimits[g].nMax : g_GeneLimits[g].nMin)
                        << g;
                }
                if (m.Gradient(g) != wild) {
                    EXPECT_EQ(m.Gradient(g), wild > 0 ? -2 : 2) << g;
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// Rate, switches and the gene display

TEST_F(CMutationTest, RateIsTheNumberOfPassesRoundedUp) {
    const struct {
        float fRate;
        int nPasses;
    } cases[] = {{0.0f, 0}, {-1.0f, 0}, {0.5f, 1}, {1.0f, 1}, {1.5f, 2}, {2.0f, 2}, {5.0f, 5}};
    SetAllMutable(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fRate);
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            // The reference makes the passes one at a time.
            CBioMorph reference;
            reference.SetGenes(GenesWith(kBasicGenes, {{10, 3}}));
            reference.Measure(0, 0, 0);
            SeedRandom(seed);
            for (int i = 0; i < c.nPasses; ++i) {
                reference.Mutate(1.0f);
            }
            const uint32_t state = RandomState();

            CBioMorph m;
            m.SetGenes(GenesWith(kBasicGenes, {{10, 3}}));
            m.Measure(0, 0, 0);
            SeedRandom(seed);
            m.Mutate(c.fRate);
            EXPECT_EQ(RandomState(), state);
            EXPECT_EQ(m.m_Genes, reference.m_Genes);
            EXPECT_EQ(m.m_Gradients, reference.m_Gradients);
            EXPECT_EQ(m.m_bLaidOut, c.nPasses ? 0 : 1);
        }
    }
}

TEST_F(CMutationTest, UnsegmentedGenomesNeverChangeAGradient) {
    SetAllMutable(true);
    for (const int32_t segments : {1, 0, -3, INT_MIN}) {
        SCOPED_TRACE(segments);
        for (uint32_t seed = 1; seed <= 500; ++seed) {
            CBioMorph m;
            m.SetGene(10, segments);
            GeneArray gradients{};
            gradients.fill(1);
            m.SetGradients(gradients);
            SeedRandom(seed);
            m.Mutate(1.0f);
            for (int g = 1; g <= kGeneCount; ++g) {
                ASSERT_EQ(m.Gradient(g), 1) << "seed " << seed << " gradient " << g;
            }
        }
    }
}

TEST_F(CMutationTest, FrozenSpecialGenesKeepGenesAndGradients) {
    SetAllMutable(false);
    bool bGeneChanged = false;
    bool bGradientChanged = false;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        CBioMorph m;
        m.SetGenes(GenesWith(kBasicGenes, {{10, 3}}));
        GeneArray gradients{};
        gradients.fill(2);
        m.SetGradients(gradients);
        SeedRandom(seed);
        m.Mutate(5.0f);
        for (int g = 1; g <= 9; ++g) {
            bGeneChanged |= m.Gene(g) != kBasicGenes[g - 1];
            bGradientChanged |= m.Gradient(g) != 2;
        }
        for (int g = 10; g <= kGeneCount; ++g) {
            ASSERT_EQ(m.Gene(g), g == 10 ? 3 : kBasicGenes[g - 1]) << "seed " << seed << " " << g;
            ASSERT_EQ(m.Gradient(g), 2) << "seed " << seed << " " << g;
        }
    }
    EXPECT_TRUE(bGeneChanged);
    EXPECT_TRUE(bGradientChanged);
}

// ---------------------------------------------------------------------------------------
// Hopeful monsters

TEST_F(CMutationTest, MonsterFromSeedOne) {
    CBioMorph m;
    GeneArray gradients{};
    gradients.fill(1);  // a value no monster draws, to see which gradients are kept
    m.SetGradients(gradients);
    SeedRandom(1);
    m.HopefulMonster();

    EXPECT_EQ(m.Gene(1), -159);
    EXPECT_EQ(m.Gradient(1), 1);  // 18467 mod 4 = 3 keeps it
    EXPECT_EQ(m.Gene(2), 119);
    EXPECT_EQ(m.Gradient(2), -2);
    EXPECT_EQ(m.Gene(3), 122);
    EXPECT_EQ(m.Gradient(3), -2);
    EXPECT_EQ(m.m_bLaidOut, 0);
}

TEST_F(CMutationTest, MonsterDrawsMutableGenesWithinTheirRandomRanges) {
    for (const bool bMutable : {true, false}) {
        SCOPED_TRACE(bMutable);
        SetAllMutable(bMutable);
        for (uint32_t seed = 1; seed <= 300; ++seed) {
            CBioMorph m;
            GeneArray gradients{};
            gradients.fill(INT_MIN);
            m.SetGradients(gradients);
            // INT_MIN keeps a frozen segment count out of the rule against deep, many-segmented
            // monsters, which redraws gene 10 whatever its switch.
            for (int g = 1; g <= kGeneCount; ++g) {
                m.SetGene(g, INT_MIN);
            }
            SeedRandom(seed);
            m.HopefulMonster();
            for (int g = 1; g <= kGeneCount; ++g) {
                SCOPED_TRACE(::testing::Message() << "seed " << seed << " gene " << g);
                if (g <= 9 || bMutable) {
                    EXPECT_GE(m.Gene(g), g_MonsterRanges[g].nMin);
                    EXPECT_LE(m.Gene(g), g_MonsterRanges[g].nMax);
                    const int32_t d = m.Gradient(g);
                    EXPECT_TRUE(d == -2 || d == 0 || d == 2 || d == INT_MIN) << d;
                } else {
                    EXPECT_EQ(m.Gene(g), INT_MIN);
                    EXPECT_EQ(m.Gradient(g), INT_MIN);
                }
            }
            if (bMutable) {
                EXPECT_FALSE(m.Gene(9) > 5 && m.Gene(10) > 5);
            }
        }
    }
}

// A monster drawn both deep and many-segmented has one of the two redrawn from 1 to 5: the
// depth on an even draw, the segment count on an odd one.
TEST_F(CMutationTest, MonsterIsNeverBothDeepAndManySegmented) {
    SetAllMutable(true);
    // With all 19 genes mutable each takes two draws; 16 and 18 are the depth and segments.
    for (const bool bEven : {true, false}) {
        SCOPED_TRACE(bEven);
        std::vector<int> out;
        SeedWhere(40, [&](const std::vector<int>& o) {
            out = o;
            return o[16] % 9 + 1 == 8 && o[18] % 9 + 1 == 7 && Even(o[38]) == bEven;
        });
        CBioMorph m;
        m.HopefulMonster();
        const int redrawn = out[39] % 5 + 1;
        EXPECT_EQ(m.Gene(9), bEven ? redrawn : 8);
        EXPECT_EQ(m.Gene(10), bEven ? 7 : redrawn);
    }
}

}  // namespace
