// ManualClock.h: a clock for tests: time stands still until set or advanced, and sleeping
// advances it at once.
#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <cstdint>

namespace testsupport {

class ManualClock : public platform::Clock {
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

} // namespace testsupport
