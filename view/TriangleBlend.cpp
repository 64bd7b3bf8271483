#include "view/TriangleBlend.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

double Distance(int x, int y, SPoint c) {
    const int64_t dx = int64_t{x} - c.x;
    const int64_t dy = int64_t{y} - c.y;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

int32_t RoundToGene(double v) {
    v = v >= 0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
    // Wild corner genomes can blend beyond 32 bits; hold the result at the ends of the range.
    v = std::clamp(v, static_cast<double>(std::numeric_limits<int32_t>::min()),
                   static_cast<double>(std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(v);
}

}  // namespace

STriangleDistances TriangleDistances(int x, int y, SPoint top, SPoint left, SPoint right) {
    return {Distance(x, y, top), Distance(x, y, left), Distance(x, y, right)};
}

void BlendTriangle(CBioMorph& morph, const CBioMorph& top, const CBioMorph& left,
                   const CBioMorph& right, const STriangleDistances& d) {
    const double s1 = d.d1 * d.d1;
    const double s2 = d.d2 * d.d2;
    const double s3 = d.d3 * d.d3;
    const double wT = s2 * s3;
    const double wL = s1 * s3;
    const double wR = s1 * s2;
    const double sum = wT + wL + wR;
    if (!(sum > 0.0) || !std::isfinite(sum)) {
        return;
    }
    for (int k = 1; k <= kGeneCount; ++k) {
        const double v = (top.m_Genes[k] * wT + left.m_Genes[k] * wL + right.m_Genes[k] * wR) / sum;
        morph.m_Genes[k] = RoundToGene(v);
        const double g =
            (top.m_Gradients[k] * wT + left.m_Gradients[k] * wL + right.m_Gradients[k] * wR) / sum;
        morph.m_Gradients[k] = g <= -0.5 ? -2 : (g >= 0.5 ? 2 : 0);
    }
    morph.m_Genes[kGeneDepth] = std::clamp(morph.m_Genes[kGeneDepth], 1, 9);
    morph.m_bLaidOut = 0;
}
