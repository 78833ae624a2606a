// Clock.cpp: the system clock and the installed-clock selection.
#include "platform/Clock.h"

#include <thread>
#include <utility>

namespace platform {
namespace {

class SystemClock : public Clock {
public:
    TimePoint now() override { return std::chrono::system_clock::now(); }
    void sleep(std::uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

Clock*& installed()
{
    static Clock* clock = nullptr;
    return clock;
}

} // namespace

Clock& clock()
{
    static SystemClock system;
    return installed() ? *installed() : static_cast<Clock&>(system);
}

Clock* setClock(Clock* clock) { return std::exchange(installed(), clock); }

} // namespace platform
