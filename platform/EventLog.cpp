// EventLog.cpp: appending to and reading a machine's events log.
#include "platform/EventLog.h"

#include "common/HostCalls.h"
#include "platform/Clock.h"
#include "platform/HostFile.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace platform {
namespace host = common::hostcalls;
namespace {

std::string utcStamp(Clock::TimePoint at)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

} // namespace

WinError appendMachineEvent(
    const std::filesystem::path& machineFolder, std::string_view kind, std::string_view text)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(machineFolder, ec))
        return WinError::PathNotFound;
    std::string line = utcStamp(currentTime()) + " " + std::string(kind) + " ";
    for (char c : text)
        line += (c == '\r' || c == '\n') ? ' ' : c;
    line += '\n';
    // One write with O_APPEND keeps lines whole when several processes record at once.
    const auto path = machineFolder / kEventLogFileName;
    const int fd =
        host::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return WinError::WriteFault;
    const ssize_t written = host::write(fd, line.data(), line.size());
    host::close(fd);
    return written == static_cast<ssize_t>(line.size()) ? WinError::Success : WinError::WriteFault;
}

std::vector<MachineEvent> readMachineEvents(const std::filesystem::path& machineFolder)
{
    std::vector<MachineEvent> events;
    std::string bytes;
    readHostMetadata(machineFolder / kEventLogFileName, bytes);
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        const auto first = line.find(' ');
        if (first == std::string::npos)
            continue;
        const auto second = line.find(' ', first + 1);
        MachineEvent e;
        e.time = line.substr(0, first);
        e.kind = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
        e.text = second == std::string::npos ? std::string() : line.substr(second + 1);
        events.push_back(std::move(e));
    }
    return events;
}

} // namespace platform
