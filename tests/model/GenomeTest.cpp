#include <climits>

#include "TestSupport.h"

namespace {

using CGenomeTest = CModelTest;

// A genome unlike the default in every gene and gradient, including values no limit allows.
void FillUnusual(CBioMorph& morph) {
    for (int g = 1; g <= kGeneCount; ++g) {
        morph.SetGene(g, 1000 * g + 7);
        morph.SetGradient(g, g % 2 ? -g : g);
    }
    morph.SetGene(3, INT_MIN);
    morph.SetGradient(4, INT_MAX);
}

TEST_F(CGenomeTest, ConstructorSetsTheDefaultGenome) {
    const CBioMorph m;
    const int32_t expected[kGeneCount] = {-10, -10, -10, -10, -10, 0, 10, 10, 7, 1,
                                          10,  0,   0,   100, 0,   0, 0,  1,  0};
    for (int g = 1; g <= kGeneCount; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(m.Gene(g), expected[g - 1]);
        EXPECT_EQ(m.Gradient(g), 0);
    }
    EXPECT_EQ(m.m_bLaidOut, 0);
    EXPECT_EQ(m.m_ptOffset.x, -30000);
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(m.m_nTurn[r][i], (r + i) % 4) << r << "," << i;
        }
    }
}

TEST_F(CGenomeTest, CopyGenomeCopiesGenesAndGradientsOnlyAndSwitchesBasicGenesOn) {
    CBioMorph source;
    FillUnusual(source);
    source.Measure(40, 50, 1);

    CBioMorph target;
    target.Measure(0, 0, 0);
    const SRect bounds = target.m_rcBounds;
    const SPoint offset = target.m_ptOffset;
    for (int g = 1; g <= kGeneCount; ++g) {
        g_SpecialGenes[g] = {0, 0};
    }

    target.CopyGenome(source);

    for (int g = 1; g <= kGeneCount; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(target.Gene(g), source.Gene(g));
        EXPECT_EQ(target.Gradient(g), source.Gradient(g));
        const SSpecialGene expected = g <= 9 ? SSpecialGene{1, 1} : SSpecialGene{0, 0};
        EXPECT_EQ(g_SpecialGenes[g].bPresent, expected.bPresent);
        EXPECT_EQ(g_SpecialGenes[g].bCanMutate, expected.bCanMutate);
    }
    EXPECT_EQ(target.m_bLaidOut, 0);
    EXPECT_EQ(target.m_rcBounds, bounds);
    EXPECT_EQ(target.m_ptOffset, offset);

    // The other way of copying a whole genome gives the same morph.
    CBioMorph viaArrays;
    GeneArray gradients{};
    source.GetGradients(gradients);
    viaArrays.SetGenes(source.GetGenes());
    viaArrays.SetGradients(gradients);
    EXPECT_EQ(viaArrays.m_Genes, target.m_Genes);
    EXPECT_EQ(viaArrays.m_Gradients, target.m_Gradients);
}

TEST_F(CGenomeTest, SetAndGetGenesKeepGeneOrderAndClearLaidOut) {
    CBioMorph m;
    m.Measure(0, 0, 0);
    std::array<int32_t, kGeneCount> genes{};
    for (int i = 0; i < kGeneCount; ++i) {
        genes[i] = (i + 1) * 11;
    }
    genes[0] = INT_MIN;
    genes[18] = INT_MAX;

    m.SetGenes(genes);

    EXPECT_EQ(m.m_bLaidOut, 0);
    EXPECT_EQ(m.Gene(1), INT_MIN);
    EXPECT_EQ(m.Gene(10), 110);
    EXPECT_EQ(m.Gene(19), INT_MAX);
    int32_t out[kGeneCount] = {};
    m.GetGenes(out);
    EXPECT_TRUE(std::equal(genes.begin(), genes.end(), out));
}

TEST_F(CGenomeTest, GradientArraysLeaveElementZeroAlone) {
    CBioMorph m;
    m.Measure(0, 0, 0);
    GeneArray in{};
    in[0] = 99;
    for (int g = 1; g <= kGeneCount; ++g) {
        in[g] = g % 3 - 1;
    }

    m.SetGradients(in);
    EXPECT_EQ(m.m_bLaidOut, 0);
    EXPECT_EQ(m.Gradient(0), 0);  // element 0 of the array was not read

    GeneArray out{};
    out[0] = -555;
    m.GetGradients(out);
    EXPECT_EQ(out[0], -555);
    for (int g = 1; g <= kGeneCount; ++g) {
        EXPECT_EQ(out[g], in[g]) << g;
    }
}

TEST_F(CGenomeTest, ClearGradientsKeepsLaidOut) {
    for (const int32_t laidOut : {0, 1}) {
        SCOPED_TRACE(laidOut);
        CBioMorph m;
        FillUnusual(m);
        m.m_bLaidOut = laidOut;
        m.ClearGradients();
        for (int g = 1; g <= kGeneCount; ++g) {
            EXPECT_EQ(m.Gradient(g), 0) << g;
        }
        EXPECT_EQ(m.m_bLaidOut, laidOut);
        EXPECT_EQ(m.Gene(5), 5007);
    }
}

// Drawing after new genes must lay the morph out again, or it would be drawn off-centre with
// the old offset.
TEST_F(CGenomeTest, DrawAfterSetGenesMeasuresAgain) {
    CBioMorph m;
    m.Measure(0, 0, 0);
    ASSERT_EQ(m.m_ptOffset, (SPoint{0, 14}));

    m.SetGenes(GenesWith(kDefaultGenes, {{9, 3}}));  // depth 3: spans y -6..0
    CRecordingSurface surface;
    m.Draw(surface, 0, 0, 0);

    EXPECT_EQ(m.m_bLaidOut, 1);
    EXPECT_EQ(m.m_ptOffset, (SPoint{0, 3}));
    ASSERT_FALSE(StrokesOf(surface).empty());
    EXPECT_EQ(StrokesOf(surface)[0], (SStroke{0, 3, 0, 0}));
}

// Genes are never validated on the way in: a pasted scaling of 1000 stays 1000 and draws the
// morph ten times larger.
TEST_F(CGenomeTest, GeneOutsideItsLimitsIsKeptAndDeveloped) {
    CBioMorph m;
    m.SetGenes(GenesWith(kDefaultGenes, {{14, 1000}}));
    CRecordingSurface surface;
    m.Draw(surface, 0, 0, 0);

    EXPECT_EQ(m.Gene(14), 1000);
    const auto strokes = StrokesOf(surface);
    ASSERT_EQ(strokes.size(), 127u);
    EXPECT_EQ(strokes[0], (SStroke{0, 140, 0, 70}));
    EXPECT_EQ(strokes[1], (SStroke{0, 70, -60, 10}));
    EXPECT_EQ(m.m_rcBounds, (SRect{-210, -140, 210, 140}));
}

TEST_F(CGenomeTest, GeneratorFollowsTheCLibrarySequence) {
    SeedRandom(1);
    for (const int expected : {41, 18467, 6334, 26500, 19169, 15724}) {
        EXPECT_EQ(NextRandom(), expected);
    }
}

}  // namespace
