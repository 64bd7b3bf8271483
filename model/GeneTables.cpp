#include "model/GeneTables.h"

const std::array<int32_t, kGeneCount> kDefaultGenes = {-10, -10, -10, -10, -10, 0, 10, 10, 7, 1,
                                                       10,  0,   0,   100, 0,   0, 0,  1,  0};
const std::array<int32_t, kGeneCount> kBasicGenes = {-10, -10, -10, -10, -10, 0, 10, 10, 7, 1,
                                                     20,  0,   0,   100, 0,   1, 2,  1,  0};

namespace {

constexpr SGeneLimit kLimits[kGeneCount + 1] = {
    {0, 0, 0},                                                                   // unused
    {-400, 400, 5},  {-400, 400, 5}, {-400, 400, 5}, {-400, 400, 5},             // 1-4
    {-400, 400, 5},  {-400, 400, 5}, {-400, 400, 5}, {-400, 400, 5},             // 5-8
    {1, 9, 1},       {1, 9, 1},      {-100, 100, 1}, {0, 1, 1},      {0, 2, 1},  // 9-13
    {-400, 400, 10}, {0, 3, 1},      {0, 160, 5},    {0, 160, 5},                // 14-17
    {-8, 10, 1},     {-4, 10, 1},                                                // 18-19
};

constexpr SMonsterRange kRanges[kGeneCount + 1] = {
    {0, 0},                                                           // unused
    {-200, 200}, {-200, 200}, {-200, 200}, {-200, 200}, {-200, 200},  // 1-5
    {-200, 200}, {-200, 200}, {-200, 200}, {1, 9},      {1, 9},       // 6-10
    {-50, 50},   {0, 1},      {0, 2},      {-100, 100}, {0, 3},       // 11-15
    {0, 160},    {0, 160},    {-8, 10},    {-4, 10},                  // 16-19
};

const char* const kNames[kGeneCount + 1] = {
    "",
    "Gene 1",
    "Gene 2",
    "Gene 3",
    "Gene 4",
    "Gene 5",
    "Gene 6",
    "Gene 7",
    "Gene 8",
    "Depth",
    "Segmentation",
    "Segment distance",
    "Mirror symmetry",
    "Rotational symmetry",
    "Scaling",
    "Branch style",
    "Outline colour",
    "Body colour",
    "Line thickness",
    "Line tapering",
};

template <typename T, std::size_t N>
std::array<T, N> ToArray(const T (&a)[N]) {
    std::array<T, N> r{};
    for (std::size_t i = 0; i < N; ++i) {
        r[i] = a[i];
    }
    return r;
}

std::array<SSpecialGene, kGeneCount + 1> DefaultSpecialGenes() {
    std::array<SSpecialGene, kGeneCount + 1> r{};
    for (int g = 0; g <= kGeneCount; ++g) {
        r[g] = {1, g <= 9 ? 1 : 0};
    }
    return r;
}

}  // namespace

// Start-up values from the first moment, so that headless users of the model (the tool, the
// tests) see the same tables as the program; the document sets them again when it is built.
std::array<SGeneLimit, kGeneCount + 1> g_GeneLimits = ToArray(kLimits);
std::array<SMonsterRange, kGeneCount + 1> g_MonsterRanges = ToArray(kRanges);
std::array<SSpecialGene, kGeneCount + 1> g_SpecialGenes = DefaultSpecialGenes();

void SetDefaultGeneTables() {
    g_GeneLimits = ToArray(kLimits);
    g_MonsterRanges = ToArray(kRanges);
    g_SpecialGenes = DefaultSpecialGenes();
}

const char* GeneName(int gene) {
    if (gene < 1 || gene > kGeneCount) {
        return "";
    }
    return kNames[gene];
}
