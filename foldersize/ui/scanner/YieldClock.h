// YieldClock.h: one clock for a long pass on the window's thread. The pass asks at its
// checkpoints; the event loop gets its turn whenever the interval has passed since its last one,
// however the work is split into stages.
#pragma once

#include <functional>
#include <utility>

#include <QElapsedTimer>

namespace foldersize {

class YieldClock {
public:
    // yield runs the event loop (QCoreApplication::processEvents in the window).
    YieldClock(int intervalMs, std::function<void()> yield)
        : m_intervalMs(intervalMs)
        , m_yield(std::move(yield))
    {
        m_sinceYield.start();
    }

    // Yields when intervalMs have passed since the last yield (or the clock's start); returns
    // whether it did.
    bool poll()
    {
        if (m_sinceYield.elapsed() < m_intervalMs)
            return false;
        if (m_yield)
            m_yield();
        m_sinceYield.restart();
        return true;
    }

private:
    int m_intervalMs;
    std::function<void()> m_yield;
    QElapsedTimer m_sinceYield;
};

} // namespace foldersize
