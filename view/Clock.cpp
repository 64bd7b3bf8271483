#include "view/Clock.h"

#include <chrono>
#include <thread>

uint32_t CSystemClock::TickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CSystemClock::Pause(int ms) {
    if (ms <= 0) {
        return;
    }
    // Sleep until the tick count has passed the deadline; a sleep never ends early by more
    // than the clock's grain, and this loop makes up for it.
    const uint32_t start = TickCount();
    for (;;) {
        const uint32_t elapsed = TickCount() - start;
        if (elapsed > static_cast<uint32_t>(ms)) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(ms - static_cast<int>(elapsed) + 1));
    }
}
