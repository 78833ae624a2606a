// QuickClock.h: a clock for tests that run real child programs: the time is the system's, but a
// pause lasts a tenth of what is asked, so fixed waits (the registry editor's settling time) do
// not add up to seconds while waits for a file or a program still give it real time.
#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace testsupport {

class QuickClock : public platform::Clock {
public:
    TimePoint now() override { return std::chrono::system_clock::now(); }
    void sleep(std::uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 100ull));
    }
};

} // namespace testsupport
