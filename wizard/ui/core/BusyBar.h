// BusyBar.h: the counters behind the splash window and the busy window's endlessly cycling bar.
#pragma once

namespace wizard {

// The splash closes on the tick that finds its counter at 100 (the 100th tick after loading).
class SplashCounter {
public:
    static constexpr int kLastTick = 100;
    // One timer tick; true when the splash is to close now.
    bool tick()
    {
        if (m_count < kLastTick) {
            ++m_count;
            return false;
        }
        return true;
    }
    int count() const { return m_count; }

private:
    int m_count = 1;
};

// The busy bar runs 2, 3, ..., 100 and starts again (range 1 to 100).
inline int nextBusyBarValue(int value)
{
    if (value >= 100)
        value = 1;
    return value + 1;
}

} // namespace wizard
