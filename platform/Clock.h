// Clock.h: the replaceable clock and sleep of the platform layer.
#pragma once

#include "common/Service.h"

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

} // namespace platform

// The default is the system clock with a real sleep.
template <> platform::Clock& common::Service<platform::Clock>::fallback();

namespace platform {

// The installed clock (common::Service<Clock> replaces it).
inline Clock& clock() { return common::Service<Clock>::instance(); }

// Shortcuts through the installed clock.
inline Clock::TimePoint currentTime() { return clock().now(); }
inline void sleepFor(std::uint32_t milliseconds) { clock().sleep(milliseconds); }

} // namespace platform
