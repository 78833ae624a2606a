// TransferWorld.h: a temporary network for the transfer tests: the destination PC NEWPC (running,
// Windows XP) and the source PC OLDPC (Windows 98) whose C$ share is mapped to Z:, a recorded log,
// script variables, a manual clock and a counting event pump. Removed afterwards.
#pragma once

#include "common/Text.h"
#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/ProcessRunner.h"
#include "platform/RegeditCommand.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/CountingEventPump.h"
#include "tests/support/platform/ManualClock.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace transfertest {

namespace fs = std::filesystem;

// Runs "regedit.exe ..." command lines in-process on the running machine, with their file
// arguments resolved as Windows paths of that machine; any other program fails to start.
class InProcessRegedit : public platform::ProcessLauncher {
public:
    explicit InProcessRegedit(platform::FileSystem fileSystem)
        : m_fs(std::move(fileSystem))
    {}

    platform::WinError start(const std::string& commandLine, const platform::StartOptions& options,
        platform::Process& out) override
    {
        commandLines.push_back(commandLine);
        styles.push_back(options.style);
        std::vector<std::string> args = platform::splitCommandLine(commandLine);
        if (args.empty() || args.front() != "regedit.exe")
            return platform::WinError::FileNotFound;
        args.erase(args.begin());
        platform::Machine machine;
        if (machine.open(m_fs.resolver().machineFolder()) != platform::WinError::Success)
            return platform::WinError::FileNotFound;
        const auto resolve = [this](std::string_view argument, fs::path& host, std::string& message) {
            const platform::ResolvedPath r = m_fs.resolver().resolve(argument);
            if (!r.ok()) {
                message = "cannot resolve " + std::string(argument);
                return r.error;
            }
            host = r.host;
            return platform::WinError::Success;
        };
        out = platform::Process::finished(
            static_cast<std::uint32_t>(platform::runRegedit(args, machine, resolve, errors)));
        return platform::WinError::Success;
    }

    std::vector<std::string> commandLines;
    std::vector<platform::WindowStyle> styles;
    std::string errors;

private:
    platform::FileSystem m_fs;
};

class TransferWorld {
public:
    TransferWorld()
    {
        std::string pattern = (fs::temp_directory_path() / "transfer-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_network = pattern;
        m_newPc = addMachine("NEWPC", "winxp");
        m_oldPc = addMachine("OLDPC", "win98");
        if (const char* old = std::getenv("WINENV_MACHINE"))
            m_oldEnv = old;
        ::setenv("WINENV_MACHINE", m_newPc.c_str(), 1);
        platform::RunningMachine::use(m_newPc);

        platform::Registry* registry = wizard::transfer::machineRegistry();
        platform::RegKey network;
        registry->createKey(platform::RegKey(platform::RegRoot::CurrentUser), "Network\\Z", network);
        registry->setString(network, "RemotePath", "\\\\OLDPC\\C$");

        auto& g = wizard::transferGlobals();
        g = wizard::TransferGlobals{};
        g.driveMap.set("C:", "Z:");
        wizard::AppPath = "C:\\Program Files\\Kestro";
        wizard::SourceOs = "win98";
        m_previousHooks = wizard::setTransferHooks(
            {[this](const std::string& p, const std::string& s) { log.emplace_back(p, s); },
                [this](const std::string& name) -> std::optional<std::string> {
                    const auto it = variables.find(name);
                    if (it == variables.end())
                        return std::nullopt;
                    return it->second;
                }});
        m_previousClock = common::Service<platform::Clock>::replace(&clock);
        m_previousPump = common::Service<platform::EventPump>::replace(&pump);
        wizard::wizardWindows().closeBusyWindow();
        wizard::wizardWindows().setStatusText("");
    }

    ~TransferWorld()
    {
        common::Service<platform::EventPump>::replace(m_previousPump);
        common::Service<platform::Clock>::replace(m_previousClock);
        wizard::setTransferHooks(std::move(m_previousHooks));
        wizard::transferGlobals() = wizard::TransferGlobals{};
        platform::RunningMachine::close();
        if (m_oldEnv)
            ::setenv("WINENV_MACHINE", m_oldEnv->c_str(), 1);
        else
            ::unsetenv("WINENV_MACHINE");
        std::error_code ec;
        if (!m_network.empty())
            fs::remove_all(m_network, ec);
    }
    TransferWorld(const TransferWorld&) = delete;
    TransferWorld& operator=(const TransferWorld&) = delete;

    // Gives the destination PC (source false) or the source PC a further hard disk; the source's is
    // shared as "<letter>$" and mapped to the destination's letter `mappedAs`.
    fs::path addHardDisk(bool source, char letter, char mappedAs = 0)
    {
        const fs::path folder = source ? m_oldPc : m_newPc;
        platform::MachineConfig c;
        std::string error;
        platform::loadMachineConfig(folder, c, error);
        c.drives.push_back({letter, platform::DriveType::Fixed, std::nullopt, std::nullopt});
        if (source)
            c.shares.push_back({std::string(1, letter) + "$", std::string(1, letter) + ":\\"});
        platform::saveMachineConfig(folder, c, error);
        platform::RunningMachine::use(m_newPc);
        platform::RegKey net;
        if (source &&
            wizard::transfer::machineRegistry()->createKey(platform::RegKey(platform::RegRoot::CurrentUser),
                "Network\\" + std::string(1, mappedAs), net) == platform::WinError::Success)
            wizard::transfer::machineRegistry()->setString(
                net, "RemotePath", "\\\\OLDPC\\" + std::string(1, letter) + "$");
        return platform::driveFolder(folder, letter);
    }

    // Host path of a file on drive C: of the destination (newPc) or source PC.
    // Relative paths may use "\\" or "/".
    fs::path hostNew(const std::string& relative) const
    {
        return platform::driveFolder(m_newPc, 'C') / slashed(relative);
    }
    fs::path hostOld(const std::string& relative) const
    {
        return platform::driveFolder(m_oldPc, 'C') / slashed(relative);
    }

    static void put(const fs::path& host, const std::string& content)
    {
        fs::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary) << content;
    }
    static std::string read(const fs::path& host)
    {
        std::ifstream in(host, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void putNew(const std::string& relative, const std::string& content) const
    {
        put(hostNew(relative), content);
    }
    void putOld(const std::string& relative, const std::string& content) const
    {
        put(hostOld(relative), content);
    }
    std::string readNew(const std::string& relative) const { return read(hostNew(relative)); }
    std::string readOld(const std::string& relative) const { return read(hostOld(relative)); }

    // The file system of the running machine as the program sees it (mapped letters included),
    // for locks, attributes and checks.
    platform::FileSystem fileSystem() const
    {
        platform::Machine machine;
        EXPECT_EQ(machine.open(m_newPc), platform::WinError::Success);
        return machine.fileSystem();
    }

    platform::Registry& registry() const { return *wizard::transfer::machineRegistry(); }

    // True when some log record has this process name and a status that begins with `status`.
    bool logged(const std::string& process, const std::string& status) const
    {
        for (const auto& [p, s] : log)
            if (p == process && s.rfind(status, 0) == 0)
                return true;
        return false;
    }

    std::vector<std::pair<std::string, std::string>> log;
    std::map<std::string, std::string> variables;
    testsupport::ManualClock clock;
    testsupport::CountingEventPump pump;

private:
    static std::string slashed(std::string path)
    {
        for (char& ch : path)
            if (ch == '\\')
                ch = '/';
        return path;
    }

    fs::path addMachine(const std::string& name, const std::string& os)
    {
        platform::MachineConfig c;
        platform::applyOsDefaults(os, c);
        c.computerName = name;
        c.address = name == "NEWPC" ? "192.168.0.2" : "192.168.0.3";
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares.push_back({"C$", "C:\\"});
        const fs::path folder = m_network / common::lowerAscii(name);
        std::string error;
        platform::saveMachineConfig(folder, c, error);
        fs::create_directories(platform::driveFolder(folder, 'C'));
        return folder;
    }

    fs::path m_network;
    fs::path m_newPc;
    fs::path m_oldPc;
    std::optional<std::string> m_oldEnv;
    wizard::TransferHooks m_previousHooks;
    platform::Clock* m_previousClock = nullptr;
    platform::EventPump* m_previousPump = nullptr;
};

} // namespace transfertest
