// EventPump.cpp: the installed event pump.
#include "platform/EventPump.h"

#include <utility>

namespace platform {
namespace {

EventPump*& installed()
{
    static EventPump* pump = nullptr;
    return pump;
}

} // namespace

void yieldToEvents()
{
    if (installed())
        installed()->processEvents();
}

EventPump* setEventPump(EventPump* pump) { return std::exchange(installed(), pump); }

} // namespace platform
