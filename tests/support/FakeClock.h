#pragma once

#include <cstdint>
#include <vector>

#include "view/Clock.h"

// A clock for tests: time moves only when the code waits or the test advances it.
class CFakeClock : public IClock {
public:
    uint32_t TickCount() override { return m_nNow; }
    void Pause(int ms) override {
        m_pauses.push_back(ms);
        m_nNow += static_cast<uint32_t>(ms) + 1;
    }
    void Advance(uint32_t ms) { m_nNow += ms; }

    uint32_t m_nNow = 1000;
    std::vector<int> m_pauses;
};
