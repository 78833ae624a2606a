// PartClock.h: cuts long work on the window's thread into parts of a bounded time: the work calls
// maybeYield() often, and once the part's time is used the window's events run (the yield) and
// the next part starts.
#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace wizard {

class PartClock {
public:
    // `yield` empty: the work runs through without yielding.
    explicit PartClock(std::function<void()> yield, std::chrono::milliseconds part)
        : m_yield(std::move(yield))
        , m_part(part)
        , m_end(std::chrono::steady_clock::now() + part)
    {}

    // Yields once the current part's time is used, and starts the next part.
    void maybeYield()
    {
        if (!m_yield || std::chrono::steady_clock::now() < m_end)
            return;
        m_yield();
        m_end = std::chrono::steady_clock::now() + m_part;
    }

private:
    std::function<void()> m_yield;
    std::chrono::milliseconds m_part;
    std::chrono::steady_clock::time_point m_end;
};

} // namespace wizard
