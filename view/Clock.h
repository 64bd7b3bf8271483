#pragma once

#include <cstdint>

// Every tick-count read and wait of the view goes through one clock, so tests can run the
// animations and Repeat instantly and check their steps.
class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds, wrapping round like a 32-bit system tick count.
    virtual uint32_t TickCount() = 0;
    // Waits at least ms milliseconds; nothing else runs meanwhile.
    virtual void Pause(int ms) = 0;
};

// The real clock: a steady clock, and sleeping rather than spinning while it waits.
class CSystemClock : public IClock {
public:
    uint32_t TickCount() override;
    void Pause(int ms) override;
};
