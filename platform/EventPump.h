// EventPump.h: yielding to pending window messages during long work; the program installs the Qt pump.
#pragma once

#include "common/Service.h"

namespace platform {

// Runs the events that are waiting (the Qt default calls QCoreApplication::processEvents).
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

// Yields once through the installed pump (common::Service<EventPump>); without one this does
// nothing.
inline void yieldToEvents()
{
    if (EventPump* pump = common::Service<EventPump>::installed())
        pump->processEvents();
}

} // namespace platform
