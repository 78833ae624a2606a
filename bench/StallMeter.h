// StallMeter.h: the longest time the event loop did not run, for the benches of Tallymoor's window.
#pragma once

#include <algorithm>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace bench {

// A timer without interval notes the gap between two of its turns; the gap since the last turn
// counts too, so work that never lets the event loop in is measured whole.
class StallMeter {
public:
    StallMeter()
    {
        m_ticker.setInterval(0);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            if (m_sinceTick.elapsed() > m_maxStall) {
                m_maxStall = m_sinceTick.elapsed();
                m_maxStallEnd = m_sinceStart.elapsed();
            }
            m_sinceTick.restart();
        });
    }

    void start()
    {
        m_sinceTick.start();
        m_sinceStart.start();
        m_ticker.start();
    }

    // Longest stall in milliseconds since start().
    qint64 maxStall() const { return std::max(m_maxStall, m_sinceTick.elapsed()); }
    // How long the event loop has not run by now.
    qint64 sinceLastTurn() const { return m_sinceTick.elapsed(); }
    // When the longest stall ended, in milliseconds since start() (now, when it still lasts).
    qint64 maxStallEnd() const
    {
        return m_sinceTick.elapsed() > m_maxStall ? m_sinceStart.elapsed() : m_maxStallEnd;
    }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    QElapsedTimer m_sinceStart;
    qint64 m_maxStall = 0;
    qint64 m_maxStallEnd = 0;
};

} // namespace bench
