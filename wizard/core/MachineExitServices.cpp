// MachineExitServices.cpp: the exit routine's services on the machine the wizard runs on: its file
// system, its registry (silent merge of registry files), its network connections and its restart.
#include "wizard/core/ExitRoutine.h"

#include "platform/FileSystem.h"
#include "platform/RegFile.h"
#include "platform/RunningMachine.h"
#include "platform/SystemInfo.h"
#include "wizard/core/CoreFiles.h"

namespace wizard {

namespace {

class MachineExitServices : public ExitServices {
public:
    bool folderExists(const std::string& path) override
    {
        platform::RunningMachine* m = machine();
        return m && m->files().folderExists(path);
    }
    bool deleteFolder(const std::string& path) override
    {
        platform::RunningMachine* m = machine();
        return m && m->files().deleteFolder(path) == platform::FsError::None;
    }
    bool fileExists(const std::string& path) override { return machineFiles().fileExists(path); }
    bool deleteFile(const std::string& path) override { return machineFiles().removeFile(path); }

    // As WNetCancelConnection2 with the profile updated and forced: the connection and its
    // remembered entry go. Any error (no such connection, a malformed letter) counts as failure.
    bool cancelConnection(const std::string& drive) override
    {
        platform::RunningMachine* m = machine();
        return m &&
            m->network().cancelConnection(drive, platform::kConnectUpdateProfile, true) ==
            platform::WinError::Success;
    }

    // As the silent import of the registry editor: a missing or empty file imports nothing.
    bool importRegistryFile(const std::string& path) override
    {
        std::string bytes;
        if (!machineFiles().readFile(path, bytes) || bytes.empty())
            return false;
        platform::RunningMachine* m = machine();
        if (!m)
            return false;
        platform::RegFileMergeReport report;
        return platform::mergeRegText(m->registry(), bytes, report) == platform::WinError::Success;
    }

    // A forced restart (shut down, reboot, force) after the shutdown privilege is enabled, as the
    // platform asks of a 2000/XP program (95/98/ME have no tokens and need none); the platform
    // records it in the machine's events log and never restarts the host.
    bool restartMachine() override
    {
        platform::RunningMachine* m = machine();
        if (!m)
            return false;
        platform::Privileges privileges(m->config());
        std::uint64_t luid = 0;
        if (privileges.openProcessToken(0) == platform::WinError::Success &&
            privileges.lookupPrivilegeValue("", "SeShutdownPrivilege", luid) == platform::WinError::Success)
            privileges.adjustTokenPrivilege(luid, true);
        using namespace platform::exitflags;
        return platform::requestExitWindows(m->folder(), m->config(), privileges,
                   Shutdown | Reboot | Force) == platform::WinError::Success;
    }

private:
    static platform::RunningMachine* machine() { return platform::RunningMachine::current(); }
};

} // namespace

} // namespace wizard

template <> wizard::ExitServices& common::Service<wizard::ExitServices>::fallback()
{
    static wizard::MachineExitServices services;
    return services;
}
