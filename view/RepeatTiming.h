#pragma once

#include <cstdint>

// Repeat's pace: the interval between steps by mode and by what is repeated, 0 for no steps.
int RepeatInterval(int mode, int lastEvolve);

// A step is due when more than the interval has passed since the last step began. The
// difference is taken modulo 2^32, so the pace holds across the tick counter's wrap-round
// (neither stalling nor firing early when the counter passes 2^32 - 1).
inline bool RepeatStepDue(uint32_t now, uint32_t lastStep, int interval) {
    return now - lastStep > static_cast<uint32_t>(interval);
}
