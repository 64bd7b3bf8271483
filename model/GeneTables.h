#pragma once

#include <array>
#include <cstdint>

// Genes are numbered 1 to 19 everywhere; arrays indexed by gene number have 20 elements and
// element 0 is not used.
inline constexpr int kGeneCount = 19;
using GeneArray = std::array<int32_t, kGeneCount + 1>;

enum EGene : int {
    kGeneDepth = 9,
    kGeneSegments = 10,
    kGeneSegmentDistance = 11,
    kGeneMirror = 12,
    kGeneRotation = 13,
    kGeneScaling = 14,
    kGeneBranchStyle = 15,
    kGeneOutlineColour = 16,
    kGeneBodyColour = 17,
    kGeneThickness = 18,
    kGeneTapering = 19,
};

struct SGeneLimit {
    int32_t nMin;
    int32_t nMax;
    int32_t nStep;
};

struct SMonsterRange {
    int32_t nMin;
    int32_t nMax;
};

struct SSpecialGene {
    int32_t bPresent;
    int32_t bCanMutate;
};

extern std::array<SGeneLimit, kGeneCount + 1> g_GeneLimits;
extern std::array<SMonsterRange, kGeneCount + 1> g_MonsterRanges;
extern std::array<SSpecialGene, kGeneCount + 1> g_SpecialGenes;

// Fills the three tables with their start-up values: every gene present, genes 1-9 mutable,
// genes 10-19 not.
void SetDefaultGeneTables();

inline bool IsPresent(int gene) {
    return g_SpecialGenes[gene].bPresent != 0;
}
inline bool CanMutate(int gene) {
    return g_SpecialGenes[gene].bCanMutate != 0;
}

// Genes 1-19 of a freshly constructed morph, and of the basic morph that File > New installs.
extern const std::array<int32_t, kGeneCount> kDefaultGenes;
extern const std::array<int32_t, kGeneCount> kBasicGenes;

// The gene's name as the program shows it ("Segmentation", "Gene 3", ...).
const char* GeneName(int gene);
