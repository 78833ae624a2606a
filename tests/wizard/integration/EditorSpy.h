// EditorSpy.h: a process launcher for walk tests that passes every start on to the launcher it
// replaced, records the command lines and lets a test act on a start: put a program that never
// answers in the registry editor's place, or click a button of the window while the editor runs.
#pragma once

#include "platform/ProcessRunner.h"

#include <csignal>
#include <functional>
#include <spawn.h>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

class EditorSpy : public platform::ProcessLauncher {
public:
    EditorSpy()
        : m_next(&common::Service<platform::ProcessLauncher>::instance())
        , m_installed(common::Service<platform::ProcessLauncher>::replace(this))
    {}
    ~EditorSpy() override { common::Service<platform::ProcessLauncher>::replace(m_installed); }
    EditorSpy(const EditorSpy&) = delete;
    EditorSpy& operator=(const EditorSpy&) = delete;

    platform::WinError start(const std::string& commandLine, const platform::StartOptions& options,
        platform::Process& out) override
    {
        starts.push_back(commandLine);
        if (onStart)
            onStart(commandLine);
        if (!hangOn.empty() && commandLine.find(hangOn) != std::string::npos) {
            hangOn.clear();
            // An editor that does not end by itself within the test.
            char sleepName[] = "sleep";
            char seconds[] = "5";
            char* argv[] = {sleepName, seconds, nullptr};
            if (::posix_spawnp(&hungPid, "sleep", nullptr, nullptr, argv, environ) != 0)
                return platform::WinError::FileNotFound;
            out = platform::Process::child(hungPid);
            return platform::WinError::Success;
        }
        return m_next->start(commandLine, options, out);
    }
    // Whether the program put in the editor's place still exists (running, or ended and not
    // collected).
    bool hungStillThere() const { return hungPid > 0 && ::kill(hungPid, 0) == 0; }
    // The starts whose command line holds `text`.
    std::size_t count(const std::string& text) const
    {
        std::size_t n = 0;
        for (const std::string& line : starts)
            n += line.find(text) != std::string::npos;
        return n;
    }

    std::vector<std::string> starts;
    std::function<void(const std::string&)> onStart;
    // The first start whose command line holds this text starts a program that waits 5 s.
    std::string hangOn;
    pid_t hungPid = 0;

private:
    platform::ProcessLauncher* m_next;      // the launcher that starts what the test lets pass
    platform::ProcessLauncher* m_installed; // what was installed before, put back at the end
};

} // namespace testsupport
