#include "view/RepeatTiming.h"

#include "document/QuorvaleDoc.h"

int RepeatInterval(int mode, int lastEvolve) {
    if (mode == kModeBreed) {
        return 1200;
    }
    if (mode == kModeEngineer) {
        return lastEvolve == evolveMonster ? 400 : 200;
    }
    return 0;
}
