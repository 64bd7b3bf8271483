#pragma once

#include "model/BioMorph.h"
#include "model/Geometry.h"

struct STriangleDistances {
    double d1 = 0;  // to the top corner
    double d2 = 0;  // to the bottom-left corner
    double d3 = 0;  // to the bottom-right corner
};

STriangleDistances TriangleDistances(int x, int y, SPoint top, SPoint left, SPoint right);

// Blends the three corner genomes into the morph, each weighted by the inverse square of its
// distance, so that at a corner the blend is that corner's genome. Where the weights vanish
// (corners that coincide in a tiny window) the morph is left as it was.
void BlendTriangle(CBioMorph& morph, const CBioMorph& top, const CBioMorph& left,
                   const CBioMorph& right, const STriangleDistances& d);
