#include "MorphExercise.h"

#include <cstdio>
#include <cstdlib>

#include "CountingSurface.h"
#include "model/BioMorph.h"
#include "model/GeneTables.h"
#include "model/SafeMath.h"

namespace {

uint8_t ByteAt(const uint8_t* data, size_t size, size_t index) {
    return index < size ? data[index] : 0;
}

int32_t Int32At(const uint8_t* data, size_t size, size_t index) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) {
        v |= uint32_t{ByteAt(data, size, index + i)} << (8 * i);
    }
    return static_cast<int32_t>(v);
}

// A tree of depth 9 has 511 strokes; four arms of at most kMaxSegments segments each.
constexpr int64_t kMaxStrokes = int64_t{4} * CBioMorph::kMaxSegments * 511;
constexpr int64_t kMaxJoints = int64_t{4} * (CBioMorph::kMaxSegments - 1);

bool Holds(const SRect& outer, const SRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

void FuzzCheck(bool bHolds, const char* what) {
    if (!bHolds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

SExerciseSettings ReadExerciseSettings(const uint8_t* data, size_t size, size_t offset) {
    SExerciseSettings settings;
    if (data == nullptr) {
        return settings;
    }
    settings.nOrientation = ByteAt(data, size, offset) & 3;
    settings.nAbsentMask = static_cast<uint16_t>(ByteAt(data, size, offset + 1) |
                                                 (ByteAt(data, size, offset + 2) << 8));
    settings.ptCentre = {Int32At(data, size, offset + 3), Int32At(data, size, offset + 7)};
    return settings;
}

void ApplyExerciseSettings(const SExerciseSettings& settings) {
    SetDefaultGeneTables();
    g_bRemeasure = 0;
    for (int k = 0; k < 10; ++k) {
        if (settings.nAbsentMask & (1u << k)) {
            g_SpecialGenes[10 + k].bPresent = 0;
        }
    }
}

bool SameGenome(const CBioMorph& a, const CBioMorph& b) {
    return a.m_Genes == b.m_Genes && a.m_Gradients == b.m_Gradients;
}

void ExerciseMorph(CBioMorph& morph, const SExerciseSettings& settings) {
    const int x = settings.ptCentre.x;
    const int y = settings.ptCentre.y;
    const int o = settings.nOrientation;

    morph.Measure(x, y, o);
    const SRect bounds = morph.m_rcBounds;
    FuzzCheck(morph.m_bLaidOut == 1, "Measure left the morph not laid out");
    FuzzCheck(bounds.left <= bounds.right && bounds.top <= bounds.bottom,
              "Measure gave an inverted box");

    CCountingSurface surface;
    morph.Draw(surface, x, y, o);
    FuzzCheck(surface.Strokes() <= kMaxStrokes, "more strokes than four arms of capped segments");
    FuzzCheck(surface.Joints() <= kMaxJoints, "more joints than four arms of capped segments");
    FuzzCheck(surface.LargestCoordinate() <= kCoordLimit,
              "a stroke or joint beyond the coordinate limit");

    // The measured box must hold every stroke drawn centred on the same point. Clamping at the
    // coordinate limit is not a translation, so the check is left out where either development
    // could have reached the limit: with every drawn point and the centring offset within half
    // of it, no measured point can have reached it either.
    const int64_t half = kCoordLimit / 2;
    const SPoint offset = morph.m_ptOffset;
    if (surface.Strokes() > 0 && surface.LargestCoordinate() < half && offset.x > -half &&
        offset.x < half && offset.y > -half && offset.y < half) {
        FuzzCheck(Holds(bounds, surface.StrokeExtent()), "a stroke outside the measured box");

        // And the drawing is centred on the point asked for (to the pixel the halving of an
        // odd width loses). Measuring starts from a box of +-30000, so a morph whose
        // measured strokes lie beyond that is centred on a box stretched to it instead.
        const SRect& drawn = surface.StrokeExtent();
        const SRect measured = drawn.Offset(-offset.x, -offset.y);
        if (measured.left > -30000 && measured.right < 30000 && measured.top > -30000 &&
            measured.bottom < 30000) {
            const int64_t dx = int64_t{drawn.left} + drawn.right - 2 * int64_t{x};
            const int64_t dy = int64_t{drawn.top} + drawn.bottom - 2 * int64_t{y};
            FuzzCheck(dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1,
                      "a drawn morph is not centred where it was measured");
        }
    }
}
