// EventPump.h: yielding to pending window messages during long work, replaceable for tests.
#pragma once

#include <functional>

namespace platform {

// Runs the events that are waiting (the Qt default calls QCoreApplication::processEvents).
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

// Yields once through the installed pump; without one this does nothing.
void yieldToEvents();
// Installs a pump (not owned; nullptr restores the no-op). Returns the previous one.
EventPump* setEventPump(EventPump* pump);

// Test double: counts the yields and runs an optional action on each (to simulate a click
// that arrives while work is in progress).
class CountingEventPump : public EventPump {
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

} // namespace platform
