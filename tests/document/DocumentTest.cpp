#include <gtest/gtest.h>

#include <functional>

#include "DocTestSupport.h"
#include "model/Random.h"

namespace {

const std::vector<int32_t> kBasic(kBasicGenes.begin(), kBasicGenes.end());
const std::vector<int32_t> kDefault(kDefaultGenes.begin(), kDefaultGenes.end());

TEST_F(CDocTest, StartsInBreedWithBasicMorphAndFourteenMutants) {
    EXPECT_EQ(m_doc->m_nMode, kModeBreed);
    EXPECT_EQ(m_doc->m_nOrientation, 0);
    EXPECT_EQ(m_doc->m_bRecording, 1);
    EXPECT_FLOAT_EQ(m_doc->m_fMutationRate, 1.0f);
    EXPECT_EQ(m_doc->Title(), "Untitled");
    EXPECT_EQ(m_doc->m_strSignature, "Quorvale Keldor Ltd");
    EXPECT_EQ(GenesOf(*m_doc->m_pCurrent), kBasic);
    ASSERT_EQ(m_doc->m_listFossils.size(), 1u);
    EXPECT_EQ(GenesOf(*m_doc->m_listFossils[0]), kDefault);
    EXPECT_TRUE(m_doc->m_listFamilies.empty());
    EXPECT_TRUE(m_doc->m_listTrianglePoints.empty());
    ASSERT_EQ(m_doc->m_listOffspring.size(), 14u);
    EXPECT_GT(m_view.m_nShows, 0);
    EXPECT_FALSE(m_view.m_bRepeat);
    EXPECT_EQ(m_view.m_nCols, 5);
    EXPECT_EQ(m_view.m_nRows, 3);
    EXPECT_EQ(m_view.m_nLastEvolve, evolveNone);
    EXPECT_EQ(m_view.m_modes.back(), kModeBreed);
    EXPECT_EQ(m_doc->m_pTriTop->Gene(kGeneScaling), 230);
    EXPECT_EQ(m_doc->m_pTriLeft->Gradient(4), -2);
    EXPECT_EQ(m_doc->m_pTriRight->Gene(1), 50);
}

TEST_F(CDocTest, ConstructionStartsInEngineerUntilTheFirstNewDocument) {
    CQuorvaleDoc doc;
    EXPECT_EQ(doc.m_nMode, kModeEngineer);
    EXPECT_EQ(doc.m_listOffspring.size(), 14u);
    EXPECT_TRUE(doc.m_listFossils.empty());
    EXPECT_EQ(GenesOf(*doc.m_pCurrent), kDefault);
}

// Each offspring must be an independent mutant of the parent at the document's rate: replaying
// the generator over fresh copies gives exactly the same genomes.
TEST_F(CDocTest, RespawnMakesRatePassesPerOffspring) {
    for (float rate : {1.0f, 5.0f}) {
        SCOPED_TRACE(rate);
        m_doc->m_fMutationRate = rate;
        SeedRandom(77);
        m_doc->RespawnOffspring();
        SeedRandom(77);
        for (const auto& child : m_doc->m_listOffspring) {
            CBioMorph expected;
            expected.CopyGenome(*m_doc->m_pCurrent);
            expected.Mutate(rate);
            EXPECT_EQ(GenesOf(*child), GenesOf(expected));
            EXPECT_EQ(GradientsOf(*child), GradientsOf(expected));
        }
    }
}

TEST_F(CDocTest, NewDocumentAfterLongUseClearsEverythingButTheRate) {
    m_doc->m_fMutationRate = 3.0f;
    for (int i = 0; i < 30; ++i) {
        m_doc->m_pCurrent->Mutate(1.0f);
        m_doc->RecordFossil(*m_doc->m_pCurrent);
    }
    m_doc->m_listTrianglePoints.push_back({10, 10});
    m_doc->m_pTriTop->SetGene(1, 400);
    auto family = std::make_unique<CFamilyList>();
    family->push_back(std::make_unique<CFamilyMorph>(*m_doc->m_pCurrent));
    m_doc->m_listFamilies.push_back(std::move(family));
    m_doc->m_nMode = kModeFamily;
    m_doc->m_nOrientation = 2;
    m_doc->m_listOffspring.resize(20);
    m_view.m_bRepeat = true;
    m_view = CFakeView(m_doc.get());

    ASSERT_TRUE(m_doc->OnNewDocument());

    EXPECT_EQ(m_doc->m_listFossils.size(), 1u);
    EXPECT_TRUE(m_doc->m_listFamilies.empty());
    EXPECT_TRUE(m_doc->m_listTrianglePoints.empty());
    EXPECT_EQ(m_doc->m_listOffspring.size(), 14u);
    EXPECT_EQ(m_doc->m_pTriTop->Gene(1), -10);
    EXPECT_EQ(m_doc->m_nMode, kModeBreed);
    EXPECT_EQ(m_doc->m_nOrientation, 0);
    EXPECT_FLOAT_EQ(m_doc->m_fMutationRate, 3.0f);
    EXPECT_FALSE(m_view.m_bRepeat);
    EXPECT_EQ(m_view.m_nCols, 5);
    EXPECT_EQ(m_view.m_nRows, 3);
    EXPECT_EQ(m_view.m_nFirstFossil, 0);
    EXPECT_EQ(m_view.m_nFamilyTool, 0);
    EXPECT_EQ(m_view.m_modes, std::vector<int>{kModeBreed});
}

TEST_F(CDocTest, FamilyHitsGoToTheEarlierFamilyAndNode) {
    CBioMorph source;
    source.Measure(100, 100, 0);
    auto addFamily = [&](int nodes) {
        auto family = std::make_unique<CFamilyList>();
        for (int i = 0; i < nodes; ++i) {
            family->push_back(std::make_unique<CFamilyMorph>(source));
        }
        CFamilyList* raw = family.get();
        m_doc->m_listFamilies.push_back(std::move(family));
        return raw;
    };
    CFamilyList* first = addFamily(1);
    CFamilyList* second = addFamily(2);
    // All three nodes overlap at (100, 100).
    EXPECT_EQ(m_doc->FamilyNodeAt(100, 100), (*first)[0].get());
    int familyIndex = -1;
    int nodeIndex = -1;
    first->front()->m_rcBounds = {0, 0, 10, 10};
    EXPECT_EQ(m_doc->FamilyNodeAtEx(100, 100, &familyIndex, &nodeIndex), (*second)[0].get());
    EXPECT_EQ(familyIndex, 1);
    EXPECT_EQ(nodeIndex, 0);
    EXPECT_EQ(m_doc->FindFamilyOf((*second)[1].get()), second);
    EXPECT_EQ(m_doc->FamilyNodeAt(5000, 5000), nullptr);
    // A frame hit is on the border, 10 pixels outside the bounds.
    const SRect b = (*second)[0]->m_rcBounds;
    EXPECT_EQ(m_doc->FamilyFrameAt(b.left - 10, (b.top + b.bottom) / 2), (*second)[0].get());
    EXPECT_EQ(m_doc->FamilyFrameAt((b.left + b.right) / 2, (b.top + b.bottom) / 2), nullptr);
}

TEST_F(CDocTest, RecordAndStopSwitchRecording) {
    EXPECT_EQ(m_doc->m_bRecording, 1);
    m_doc->OnStop();
    EXPECT_EQ(m_doc->m_bRecording, 0);
    const size_t before = m_doc->m_listFossils.size();
    EXPECT_FALSE(m_doc->RecordFossil(*m_doc->m_pCurrent));
    EXPECT_EQ(m_doc->m_listFossils.size(), before);
    m_doc->OnNewDocument();
    EXPECT_EQ(m_doc->m_bRecording, 1);
}

TEST_F(CDocTest, SpecialGenesDialogAppliesOnOkOnly) {
    CSpecialGeneChoices choices = g_SpecialGenes;
    choices[kGeneMirror].bPresent = 0;
    choices[kGeneScaling].bCanMutate = 1;
    choices[kGeneSegmentDistance].bPresent = 0;  // no such box: must not switch it off
    m_doc->m_pCurrent->Measure(0, 0, 0);

    bool bOpenDuringDialog = false;
    EXPECT_FALSE(m_doc->RunSpecialGenesDialog([&]() -> std::optional<CSpecialGeneChoices> {
        bOpenDuringDialog = m_doc->m_bSpecialGenesOpen == 1;
        return std::nullopt;
    }));
    EXPECT_TRUE(bOpenDuringDialog);
    EXPECT_EQ(m_doc->m_bSpecialGenesOpen, 0);
    EXPECT_EQ(g_SpecialGenes[kGeneMirror].bPresent, 1);
    EXPECT_EQ(m_doc->m_pCurrent->m_bLaidOut, 1);

    EXPECT_TRUE(m_doc->RunSpecialGenesDialog([&] { return std::optional(choices); }));
    EXPECT_EQ(m_doc->m_bSpecialGenesOpen, 0);
    EXPECT_EQ(g_SpecialGenes[kGeneMirror].bPresent, 0);
    EXPECT_EQ(g_SpecialGenes[kGeneScaling].bCanMutate, 1);
    EXPECT_EQ(g_SpecialGenes[kGeneSegmentDistance].bPresent, 1);
    EXPECT_EQ(m_doc->m_pCurrent->m_bLaidOut, 0);
    EXPECT_EQ(m_view.m_nBoxUpdates, 1);
    // The gene keeps its value while it is not expressed.
    EXPECT_EQ(m_doc->m_pCurrent->Gene(kGeneMirror), 0);
}

TEST_F(CDocTest, MutationRateDialogKeepsTheRateOnCancel) {
    bool bOpenDuring = false;
    m_doc->OnMutationRate([&](float rate) -> std::optional<float> {
        bOpenDuring = g_bMutationRateOpen == 1;
        EXPECT_FLOAT_EQ(rate, 1.0f);
        return 4.0f;
    });
    EXPECT_TRUE(bOpenDuring);
    EXPECT_EQ(g_bMutationRateOpen, 0);
    EXPECT_FLOAT_EQ(m_doc->m_fMutationRate, 4.0f);
    m_doc->OnMutationRate([](float) { return std::optional<float>(); });
    EXPECT_FLOAT_EQ(m_doc->m_fMutationRate, 4.0f);
}

}  // namespace

namespace {

TEST_F(CDocTest, ModifiedFollowsTheMorphTheFileWouldHold) {
    struct SCase {
        const char* name;
        std::function<void(CQuorvaleDoc&)> change;
        bool bModified;
    };
    const SCase cases[] = {
        {"a gene", [](CQuorvaleDoc& d) { d.m_pCurrent->SetGene(4, 7); }, true},
        {"a gradient", [](CQuorvaleDoc& d) { d.m_pCurrent->SetGradient(4, 1); }, true},
        {"a breeding step", [](CQuorvaleDoc& d) { d.TakeChildGenome(0); }, true},
        {"a hopeful monster", [](CQuorvaleDoc& d) { d.m_pCurrent->HopefulMonster(); }, true},
        {"the offspring bred anew", [](CQuorvaleDoc& d) { d.RespawnOffspring(); }, false},
        {"a family tree", [](CQuorvaleDoc& d) { d.NewFamilyRoot(10, 10); }, false},
        {"the fossil history", [](CQuorvaleDoc& d) { d.DeleteFossils(); }, false},
        {"a gene changed and changed back",
         [](CQuorvaleDoc& d) {
             const int32_t g = d.m_pCurrent->Gene(2);
             d.m_pCurrent->SetGene(2, g + 1);
             d.m_pCurrent->SetGene(2, g);
         },
         false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_doc->OnNewDocument());
        EXPECT_FALSE(m_doc->IsModified());
        c.change(*m_doc);
        EXPECT_EQ(m_doc->IsModified(), c.bModified);
    }
    // Saving and opening make the file's morph the current one again.
    m_doc->m_pCurrent->SetGene(4, 7);
    const std::vector<uint8_t> bytes = m_doc->SaveToBytes();
    m_doc->MarkClean();
    EXPECT_FALSE(m_doc->IsModified());
    m_doc->m_pCurrent->SetGene(4, 8);
    ASSERT_TRUE(m_doc->OpenFromBytes(bytes, "x.bio"));
    EXPECT_FALSE(m_doc->IsModified());
    EXPECT_EQ(m_doc->m_pCurrent->Gene(4), 7);
}

}  // namespace

namespace {

// Saving and opening turn the morphs back upright: they are measured again in that
// orientation, so nothing is drawn off-centre from an old measurement.
TEST_F(CDocTest, GoingBackUprightMeasuresAfresh) {
    for (int orientation : {0, 1, 3}) {
        SCOPED_TRACE(orientation);
        g_bRemeasure = 0;
        m_doc->m_nOrientation = orientation;
        m_doc->SaveToBytes();
        EXPECT_EQ(m_doc->m_nOrientation, 0);
        EXPECT_EQ(g_bRemeasure, orientation != 0 ? 1 : 0);
    }
    g_bRemeasure = 0;
}

}  // namespace
