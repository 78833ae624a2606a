// CountingEventPump.h: an event pump for tests that counts the yields and runs an optional action
// on each (to simulate a click that arrives while work is in progress).
#pragma once

#include "platform/EventPump.h"

#include <functional>

namespace testsupport {

class CountingEventPump : public platform::EventPump {
public:
    void processEvents() override
    {
        ++count;
        if (onYield)
            onYield();
    }
    int count = 0;
    std::function<void()> onYield;
};

} // namespace testsupport
