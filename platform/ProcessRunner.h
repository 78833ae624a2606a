// ProcessRunner.h: starting the command lines a program hands to the platform ("regedit.exe /s
// file", "cacls ...", "hh.exe ...", a batch file) on an emulated machine.
#pragma once

#include "common/Service.h"
#include "platform/WinError.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The window style of a started program (the values of the platform's show styles).
enum class WindowStyle { Hidden = 0, Normal = 1, Minimized = 2, Maximized = 3 };

struct StartOptions {
    WindowStyle style = WindowStyle::Hidden;
    // The machine folder the program acts on; empty means the running machine (WINENV_MACHINE).
    std::filesystem::path machineFolder;
};

// A started program. Cheap to copy; an empty handle (isValid() false) stands for nothing started.
class Process {
public:
    Process() = default;

    bool isValid() const { return m_state != nullptr; }
    // The host process id; 0 for programs the layer runs in-process (they end before start returns).
    int id() const;
    bool isRunning() const;
    // Waits until the program ends; false when `timeoutMs` (>= 0) passed first. Blocks the
    // calling thread: a caller with a window waits in short steps (waitForEnd) between its events.
    bool wait(int timeoutMs = -1) const;
    // Ends a program still running (it gets no chance to finish its work) and collects it; its
    // exit code is then a failure. Does nothing to a program that has ended.
    void terminate() const;
    // The exit code once the program has ended (0 for success); 259 (STILL_ACTIVE) while it runs.
    std::uint32_t exitCode() const;

    // A handle for a program that has already ended with `exitCode`.
    static Process finished(std::uint32_t exitCode);
    // A handle for a host child process.
    static Process child(int pid);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

// Starts command lines. The default launcher knows these programs (by name, without regard to
// case, with or without folder and ".exe"):
//   regedit  - our registry editor tool, arguments passed on unchanged;
//   winbatch, and any "*.bat"/"*.cmd" file - our batch runner on that file;
//   cacls    - records the grant in the machine's events log (no access control exists);
//   hh       - opens the help service: "hh FILE" at topic 0, "hh -mapid N FILE" at topic N.
// Anything else fails with FileNotFound (ERROR_FILE_NOT_FOUND), as starting a missing program
// does. Tools are found by findTool().
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts `commandLine`; does not wait. `out` receives the handle on success.
    virtual WinError start(const std::string& commandLine, const StartOptions& options, Process& out) = 0;
};

} // namespace platform

// The default launcher is the one described above.
template <> platform::ProcessLauncher& common::Service<platform::ProcessLauncher>::fallback();

namespace platform {

// Starts a command line through the installed launcher (common::Service<ProcessLauncher>)
// without waiting.
WinError startProcess(
    const std::string& commandLine, const StartOptions& options = {}, Process* out = nullptr);
// Waits for `process` to end, at most `timeoutMs` of the installed clock (Clock.h), blocking at
// most `stepMs` at a time and running `between` after each step (a window's events, say).
// `between` answering false stops the wait. Ended when the program has ended.
enum class WaitOutcome { Ended, TimedOut, Stopped };
WaitOutcome waitForEnd(
    const Process& process, int timeoutMs, int stepMs, const std::function<bool()>& between);
// Starts a command line and waits for it to end; `exitCode` (when given) receives its exit code.
WinError runProcess(
    const std::string& commandLine, const StartOptions& options = {}, std::uint32_t* exitCode = nullptr);

// Where our tools are: the folder named by WINENV_TOOLS, else the running executable's folder,
// else "../bin" beside it (tests run from build/tests). Empty when the tool is in none of them.
std::filesystem::path findTool(std::string_view name);

// The running machine's folder (see RunningMachine); when it cannot be opened, WINENV_MACHINE,
// else the default machine's folder.
std::filesystem::path runningMachineFolder();

} // namespace platform
