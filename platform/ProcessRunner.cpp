// ProcessRunner.cpp: the default launcher (our tools as host child processes, cacls and hh in
// process), process handles and tool lookup.
#include "platform/ProcessRunner.h"
#include "platform/RunningMachine.h"

#include "common/Text.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/EventLog.h"
#include "platform/HelpViewer.h"
#include "platform/Machine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace platform {

struct Process::State {
    int pid = 0;
    bool ended = false;
    std::uint32_t code = 0;
    // A descriptor that becomes readable when the child ends (-1: not opened yet, -2: none).
    int endFd = -1;

    ~State()
    {
        // Collect a child that has already ended; one still running is left to run.
        if (pid > 0 && !ended)
            ::waitpid(pid, nullptr, WNOHANG);
        if (endFd >= 0)
            ::close(endFd);
    }

    // Blocks until the child ends or `ms` passed; true when it has ended.
    bool waitStep(int ms)
    {
        if (poll(false))
            return true;
#ifdef SYS_pidfd_open
        if (endFd == -1) {
            const long fd = ::syscall(SYS_pidfd_open, pid, 0);
            endFd = fd >= 0 ? static_cast<int>(fd) : -2;
        }
#endif
        if (endFd >= 0) {
            pollfd p{endFd, POLLIN, 0};
            ::poll(&p, 1, ms);
        } else {
            // Without an end descriptor: look again every millisecond.
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            while (!poll(false) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return poll(false);
    }

    void record(int status)
    {
        ended = true;
        if (WIFEXITED(status))
            code = static_cast<std::uint32_t>(WEXITSTATUS(status));
        else
            code = 1; // killed by a signal: a failure, whatever the signal
    }

    bool poll(bool block)
    {
        if (ended)
            return true;
        int status = 0;
        pid_t r;
        do {
            r = ::waitpid(pid, &status, block ? 0 : WNOHANG);
        } while (r < 0 && errno == EINTR);
        if (r == pid) {
            record(status);
            return true;
        }
        if (r < 0) {
            // Someone else collected the child (a SIGCHLD handler): it has ended, code unknown.
            ended = true;
            code = 1;
            return true;
        }
        return false;
    }
};

namespace {

constexpr std::uint32_t kStillActive = 259;

std::filesystem::path executableFolder()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

// Starts a host tool with `args` (argv[0] is replaced by the tool's path).
WinError spawnTool(
    std::string_view toolName, std::vector<std::string> args, const StartOptions& options, Process& out)
{
    const auto tool = findTool(toolName);
    if (tool.empty())
        return WinError::FileNotFound;
    args.insert(args.begin(), tool.string());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // The child acts on the given machine, else on the one this program runs on.
    const std::filesystem::path machine =
        options.machineFolder.empty() ? runningMachineFolder() : options.machineFolder;
    std::vector<std::string> envStore;
    for (char** e = environ; e && *e; ++e) {
        if (std::strncmp(*e, "WINENV_MACHINE=", 15) == 0)
            continue;
        envStore.emplace_back(*e);
    }
    envStore.push_back("WINENV_MACHINE=" + std::filesystem::absolute(machine).string());
    std::vector<char*> envp;
    for (auto& e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // A hidden program has no console: what it writes to standard output goes nowhere.
    if (options.style == WindowStyle::Hidden)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return rc == ENOENT ? WinError::FileNotFound : WinError::AccessDenied;
    out = Process::child(pid);
    return WinError::Success;
}

// cacls PATH... [/t] [/e] [/c] [/g user:perm]... : the layer keeps no access lists, so the
// request is recorded on the machine and succeeds when it is well formed.
std::uint32_t runCacls(const std::vector<std::string>& args, const StartOptions& options)
{
    const auto machine = options.machineFolder.empty() ? runningMachineFolder() : options.machineFolder;
    bool havePath = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() == 2 && a[0] == '/') {
            const char opt = common::lowerAscii(a[1]);
            if (opt == 'g' || opt == 'p' || opt == 'r' || opt == 'd') {
                if (i + 1 >= args.size() ||
                    (opt != 'r' && opt != 'd' && args[i + 1].find(':') == std::string::npos))
                    return winErrorCode(WinError::InvalidParameter);
                ++i;
            } else if (opt != 't' && opt != 'e' && opt != 'c') {
                return winErrorCode(WinError::InvalidParameter);
            }
        } else {
            havePath = true;
        }
    }
    if (!havePath)
        return winErrorCode(WinError::InvalidParameter);
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (appendMachineEvent(machine, "cacls", joinCommandLine(rest)) != WinError::Success)
        return winErrorCode(WinError::PathNotFound);
    return 0;
}

// hh FILE, or hh -mapid N FILE; FILE may hold blanks without quotes.
std::uint32_t runHelp(const std::vector<std::string>& args)
{
    int topic = 0;
    std::string file;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "-mapid" || args[i] == "-MAPID") && i + 1 < args.size()) {
            topic = std::atoi(args[++i].c_str());
        } else {
            // The help file may come unquoted with blanks in its folder names ("hh.exe " and
            // the path): the rest of the line is the one file.
            file += (file.empty() ? "" : " ") + args[i];
        }
    }
    // The help program shows its own error page for a missing file; it still started.
    helpService().showTopic(file, topic);
    return 0;
}

class HostProcessLauncher : public ProcessLauncher {
public:
    WinError start(const std::string& commandLine, const StartOptions& options, Process& out) override
    {
        const auto args = splitCommandLine(commandLine);
        if (args.empty())
            return WinError::FileNotFound;
        const std::string name = programName(args[0]);
        if (name == "regedit" || name == "winbatch")
            return spawnTool(name, {args.begin() + 1, args.end()}, options, out);
        if (common::endsWithNoCaseAscii(args[0], ".bat") || common::endsWithNoCaseAscii(args[0], ".cmd"))
            return spawnTool("winbatch", args, options, out);
        if (name == "cacls") {
            out = Process::finished(runCacls(args, options));
            return WinError::Success;
        }
        if (name == "hh") {
            out = Process::finished(runHelp(args));
            return WinError::Success;
        }
        return WinError::FileNotFound;
    }
};

} // namespace

int Process::id() const { return m_state ? m_state->pid : 0; }

bool Process::isRunning() const { return m_state && !m_state->poll(false); }

bool Process::wait(int timeoutMs) const
{
    if (!m_state)
        return true;
    if (timeoutMs < 0)
        return m_state->poll(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (m_state->waitStep(static_cast<int>(std::max<std::int64_t>(left.count(), 0))))
            return true;
        if (left.count() <= 0)
            return false;
    }
}

void Process::terminate() const
{
    if (!m_state || m_state->pid <= 0 || m_state->poll(false))
        return;
    ::kill(m_state->pid, SIGKILL);
    m_state->poll(true);
}

WaitOutcome waitForEnd(
    const Process& process, int timeoutMs, int stepMs, const std::function<bool()>& between)
{
    const Clock::TimePoint deadline = currentTime() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (process.wait(stepMs))
            return WaitOutcome::Ended;
        if (between && !between())
            return WaitOutcome::Stopped;
        if (currentTime() >= deadline)
            return process.wait(0) ? WaitOutcome::Ended : WaitOutcome::TimedOut;
    }
}

std::uint32_t Process::exitCode() const
{
    if (!m_state)
        return 0;
    return m_state->poll(false) ? m_state->code : kStillActive;
}

Process Process::finished(std::uint32_t exitCode)
{
    Process p;
    p.m_state = std::make_shared<State>();
    p.m_state->ended = true;
    p.m_state->code = exitCode;
    return p;
}

Process Process::child(int pid)
{
    Process p;
    p.m_state = std::make_shared<State>();
    p.m_state->pid = pid;
    return p;
}

WinError startProcess(const std::string& commandLine, const StartOptions& options, Process* out)
{
    Process p;
    const WinError e = common::Service<ProcessLauncher>::instance().start(commandLine, options, p);
    if (out)
        *out = p;
    return e;
}

WinError runProcess(const std::string& commandLine, const StartOptions& options, std::uint32_t* exitCode)
{
    Process p;
    const WinError e = common::Service<ProcessLauncher>::instance().start(commandLine, options, p);
    if (e != WinError::Success)
        return e;
    p.wait();
    if (exitCode)
        *exitCode = p.exitCode();
    return WinError::Success;
}

std::filesystem::path findTool(std::string_view name)
{
    std::vector<std::filesystem::path> folders;
    if (const char* dir = std::getenv("WINENV_TOOLS"); dir && *dir)
        folders.emplace_back(dir);
    const auto exeDir = executableFolder();
    if (!exeDir.empty()) {
        folders.push_back(exeDir);
        folders.push_back(exeDir.parent_path() / "bin");
    }
    std::error_code ec;
    for (const auto& folder : folders) {
        const auto candidate = folder / std::string(name);
        if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

std::filesystem::path runningMachineFolder()
{
    if (RunningMachine* running = RunningMachine::current())
        return running->folder();
    const char* value = std::getenv(Machine::kEnvironmentVariable);
    return value && *value ? std::filesystem::path(value) : Machine::defaultFolder();
}

} // namespace platform

template <> platform::ProcessLauncher& common::Service<platform::ProcessLauncher>::fallback()
{
    static platform::HostProcessLauncher host;
    return host;
}
