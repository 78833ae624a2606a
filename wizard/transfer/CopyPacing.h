// CopyPacing.h: paces a long copy on the window's thread: its texts change at most ten times a
// second (laying out and drawing them for every file took longer than copying the files), and the
// window's events are taken up every few milliseconds rather than after every file (a turn of the
// event loop costs as much as the copy of a small file).
#pragma once

#include <chrono>

namespace wizard::transfer {

class CopyPacing {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kTextInterval{100};
    static constexpr std::chrono::milliseconds kEventInterval{8};

    // True when the copy's texts may change now (and then not again for kTextInterval).
    bool textsDue() { return due(m_textsShown, kTextInterval); }
    // True when the window's events are to be taken up now: the first time, then once
    // kEventInterval has passed since the last time it said so.
    bool eventsDue() { return due(m_eventsTaken, kEventInterval); }

private:
    static bool due(Clock::time_point& last, std::chrono::milliseconds interval)
    {
        const Clock::time_point now = Clock::now();
        if (last != Clock::time_point{} && now - last < interval)
            return false;
        last = now;
        return true;
    }

    Clock::time_point m_textsShown{};
    Clock::time_point m_eventsTaken{};
};

} // namespace wizard::transfer
