#pragma once

#include <cstdint>

// The C library's linear congruential generator, written out so that a seed gives the
// same sequence on every platform: state = state * 214013 + 2531011 (mod 2^32), result
// bits 16 to 30 of the new state.
void SeedRandom(uint32_t seed);
int NextRandom();  // 0 .. 32767
uint32_t RandomState();
void SetRandomState(uint32_t state);
