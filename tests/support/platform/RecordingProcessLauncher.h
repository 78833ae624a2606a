// RecordingProcessLauncher.h: a process launcher for tests that records every command line with
// its options, starts nothing and answers with `result`; a started program has ended with
// `exitCode`.
#pragma once

#include "platform/ProcessRunner.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class RecordingProcessLauncher : public platform::ProcessLauncher {
public:
    struct Start {
        std::string commandLine;
        platform::StartOptions options;
    };
    platform::WinError start(const std::string& commandLine, const platform::StartOptions& options,
        platform::Process& out) override
    {
        m_starts.push_back({commandLine, options});
        if (result == platform::WinError::Success)
            out = platform::Process::finished(exitCode);
        return result;
    }
    const std::vector<Start>& starts() const { return m_starts; }
    platform::WinError result = platform::WinError::Success;
    std::uint32_t exitCode = 0;

private:
    std::vector<Start> m_starts;
};

} // namespace testsupport
