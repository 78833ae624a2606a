// EventLog.h: a machine's events log (<machine>/events.log): what the layer records instead of
// doing it to the host, such as a restart request or a cacls grant.
#pragma once

#include "platform/WinError.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr const char* kEventLogFileName = "events.log";

struct MachineEvent {
    std::string time; // UTC, "YYYY-MM-DDTHH:MM:SSZ", from the installed clock
    std::string kind; // "restart", "cacls", ...
    std::string text; // details, one line
};

// Appends "<time> <kind> <text>" as one UTF-8 line (line breaks in `text` become blanks).
// Success, or PathNotFound when the machine folder does not exist, WriteFault when the log
// cannot be written.
WinError appendMachineEvent(
    const std::filesystem::path& machineFolder, std::string_view kind, std::string_view text);

// The events in the order they were recorded; empty when there is no log.
std::vector<MachineEvent> readMachineEvents(const std::filesystem::path& machineFolder);

} // namespace platform
