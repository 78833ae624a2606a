// CopyPacing.h: paces the texts of a long copy on the window's thread: they change at most ten
// times a second (laying out and drawing them for every file took longer than copying the files).
#pragma once

#include <chrono>

namespace wizard::transfer {

class CopyPacing {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kTextInterval{100};

    // True when the copy's texts may change now (and then not again for kTextInterval).
    bool textsDue()
    {
        const Clock::time_point now = Clock::now();
        if (m_textsShown != Clock::time_point{} && now - m_textsShown < kTextInterval)
            return false;
        m_textsShown = now;
        return true;
    }

private:
    Clock::time_point m_textsShown{};
};

} // namespace wizard::transfer
