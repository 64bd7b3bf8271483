#include "model/Random.h"

namespace {
uint32_t g_nRandomState = 1;
}

void SeedRandom(uint32_t seed) {
    g_nRandomState = seed;
}

int NextRandom() {
    g_nRandomState = g_nRandomState * 214013u + 2531011u;
    return static_cast<int>((g_nRandomState >> 16) & 0x7FFF);
}

uint32_t RandomState() {
    return g_nRandomState;
}

void SetRandomState(uint32_t state) {
    g_nRandomState = state;
}
