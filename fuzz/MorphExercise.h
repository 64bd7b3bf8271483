#pragma once

#include <cstddef>
#include <cstdint>

#include "model/Geometry.h"

class CBioMorph;

// What the decoders never read steers the rest of a fuzz run: the bytes just past the morph
// record choose the orientation, which special genes are switched off and where the morph is
// centred. Missing or zero bytes give the start-up settings (every special gene present,
// orientation 0, centre at the origin), so real files and blocks run the ordinary case.
//
//   offset + 0       orientation in the low two bits
//   offset + 1, + 2  little-endian mask; bit k set switches gene 10 + k off
//   offset + 3..10   centre x and y, little-endian int32
struct SExerciseSettings {
    int nOrientation = 0;
    uint16_t nAbsentMask = 0;
    SPoint ptCentre{};
};

SExerciseSettings ReadExerciseSettings(const uint8_t* data, size_t size, size_t offset);

// Puts the start-up gene tables in place, then switches off the genes the settings name.
void ApplyExerciseSettings(const SExerciseSettings& settings);

// Measures the morph and draws it onto a counting surface, then checks what every genome,
// however wild, must keep to: a bounded amount of drawing, coordinates within the model's
// limit, and a measured box that holds every stroke. A breach aborts, so libFuzzer and the
// replay runner both report it.
void ExerciseMorph(CBioMorph& morph, const SExerciseSettings& settings);

// True when the genes and gradients of the two morphs are the same.
bool SameGenome(const CBioMorph& a, const CBioMorph& b);

// Aborts with the message when the condition does not hold.
void FuzzCheck(bool bHolds, const char* what);
