// Clock.cpp: the system clock, the default of the clock service.
#include "platform/Clock.h"

#include <thread>

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

} // namespace
} // namespace platform

template <> platform::Clock& common::Service<platform::Clock>::fallback()
{
    static platform::SystemClock system;
    return system;
}
