// Clock.h: the injectable clock and sleep of the platform layer, with a manual test double.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

class Clock {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() = 0;
    // Blocks for `milliseconds` (SleepEx without alerts).
    virtual void sleep(std::uint32_t milliseconds) = 0;
};

// The installed clock; the default is the system clock with a real sleep.
Clock& clock();
// Installs a clock (not owned; nullptr restores the system clock). Returns the previous one.
Clock* setClock(Clock* clock);

// Shortcuts through the installed clock.
inline Clock::TimePoint currentTime() { return clock().now(); }
inline void sleepFor(std::uint32_t milliseconds) { clock().sleep(milliseconds); }

// Test double: time stands still until set or advanced; sleeping advances it at once.
class ManualClock : public Clock {
public:
    explicit ManualClock(TimePoint start = TimePoint{})
        : m_now(start)
    {}
    TimePoint now() override { return m_now; }
    void sleep(std::uint32_t milliseconds) override
    {
        m_now += std::chrono::milliseconds(milliseconds);
        slept += milliseconds;
    }
    void advance(std::chrono::milliseconds by) { m_now += by; }
    void set(TimePoint at) { m_now = at; }
    std::uint64_t slept = 0; // total milliseconds asked for

private:
    TimePoint m_now;
};

} // namespace platform
