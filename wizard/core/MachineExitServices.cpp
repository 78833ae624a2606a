// MachineExitServices.cpp: the exit routine's services on the machine the wizard runs on: its file
// system, its registry (silent merge of registry files), its network connections and its events log.
#include "wizard/core/ExitRoutine.h"

#include "platform/EventLog.h"
#include "platform/FileSystem.h"
#include "platform/Machine.h"
#include "platform/Network.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "wizard/core/CoreFiles.h"

#include <optional>

namespace wizard {

namespace {

class MachineExitServices : public ExitServices {
public:
    bool folderExists(const std::string& path) override
    {
        platform::Machine m;
        return open(m) && m.fileSystem().folderExists(path);
    }
    bool deleteFolder(const std::string& path) override
    {
        platform::Machine m;
        if (!open(m))
            return false;
        platform::FileSystem fs = m.fileSystem();
        return fs.deleteFolder(path) == platform::FsError::None;
    }
    bool fileExists(const std::string& path) override { return machineFiles().fileExists(path); }
    bool deleteFile(const std::string& path) override { return machineFiles().removeFile(path); }

    // As WNetCancelConnection2 with the profile updated and forced: the connection and its
    // remembered entry go. Any error (no such connection, a malformed letter) counts as failure.
    bool cancelConnection(const std::string& drive) override
    {
        std::optional<platform::Network> network;
        if (platform::Network::openRunning(network) != platform::WinError::Success || !network)
            return false;
        return network->cancelConnection(drive, platform::kConnectUpdateProfile, true) ==
            platform::WinError::Success;
    }

    // As the silent import of the registry editor: a missing or empty file imports nothing.
    bool importRegistryFile(const std::string& path) override
    {
        std::string bytes;
        if (!machineFiles().readFile(path, bytes) || bytes.empty())
            return false;
        platform::Machine m;
        platform::Registry reg;
        if (!open(m) || reg.open(m.registryPath()) != platform::WinError::Success)
            return false;
        platform::RegFileMergeReport report;
        return platform::mergeRegText(reg, bytes, report) == platform::WinError::Success;
    }

    // A forced restart (shut down, reboot, force) is recorded in the machine's events log; the
    // host is never restarted.
    bool restartMachine() override
    {
        platform::Machine m;
        return open(m) &&
            platform::appendMachineEvent(m.folder(), "restart", "flags=7") == platform::WinError::Success;
    }

private:
    static bool open(platform::Machine& m) { return m.openCurrentOrDefault() == platform::WinError::Success; }
};

} // namespace

} // namespace wizard

template <> wizard::ExitServices& common::Service<wizard::ExitServices>::fallback()
{
    static wizard::MachineExitServices services;
    return services;
}
