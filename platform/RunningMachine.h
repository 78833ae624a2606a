// RunningMachine.h: the machine this program runs on, opened once per run: from WINENV_MACHINE,
// else the default machine (made when it does not exist yet). Everything a program reaches on
// its machine (files, registry, network, identity) comes from here; tests give it a folder.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Machine.h"
#include "platform/Network.h"
#include "platform/Registry.h"
#include "platform/RunRecord.h"
#include "platform/WinError.h"

#include <filesystem>
#include <memory>
#include <string>

namespace platform {

class RunningMachine {
public:
    // Opens the machine named by WINENV_MACHINE, or the default one when the variable is unset or
    // empty, unless a machine is open already. The errors of Machine::openCurrentOrDefault (and of
    // opening its registry), with the message in *message.
    static WinError open(std::string* message = nullptr);

    // Opens the machine in `folder` as the running machine, replacing any open one (tests, and
    // tools given a machine). On failure the open machine (if any) stays. `missing` as for
    // Machine::open.
    static WinError use(const std::filesystem::path& folder, std::string* message = nullptr,
        MissingRegistry missing = MissingRegistry::Create);

    // Forgets the open machine; the next call of current() opens one again.
    static void close();

    // The running machine, opened on first use as open() does; null when it cannot be opened.
    static RunningMachine* current();

    const Machine& machine() const { return m_machine; }
    const std::filesystem::path& folder() const { return m_machine.folder(); }
    const MachineConfig& config() const { return m_machine.config(); }
    OsCode os() const { return m_machine.os(); }
    // Files on Windows paths (drive letters, mapped letters, UNC shares of its network).
    FileSystem& files() { return m_files; }
    // The machine's registry, one connection for the whole run.
    Registry& registry() { return *m_registry; }
    // The network as this machine sees it.
    Network& network() { return m_network; }

    // Takes away what runs on this machine that did not end left (removeUnfinishedRuns), then
    // starts this process's record of its own run (RunRecord::start).
    UnfinishedRunsRemoved beginRecordedRun();

private:
    RunningMachine(Machine machine, std::unique_ptr<Registry> registry);
    static WinError openFolder(
        const std::filesystem::path* folder, std::string* message, MissingRegistry missing);

    Machine m_machine;
    FileSystem m_files;
    std::unique_ptr<Registry> m_registry;
    Network m_network;
};

} // namespace platform
