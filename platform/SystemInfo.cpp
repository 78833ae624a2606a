// SystemInfo.cpp: computer name, special-folder layout per OS, privileges and the recorded
// restart request.
#include "platform/SystemInfo.h"

#include "common/Text.h"

#include "platform/EventLog.h"

namespace platform {
namespace {

// "C:" from the Windows folder; "C:" when the folder does not name a drive.
std::string systemDrive(const MachineConfig& config)
{
    const auto& w = config.windowsFolder;
    if (w.size() >= 2 && common::isAsciiLetter(w[0]) && w[1] == ':')
        return std::string(1, common::upperAscii(w[0])) + ":";
    return "C:";
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

// Per-user and shared folders of 95/98/ME: single-user, everything below the Windows folder.
bool win9xFolder(const MachineConfig& config, int id, std::string& path)
{
    const std::string win = withoutTrailingSlash(config.windowsFolder);
    const std::string drive = systemDrive(config);
    const bool win95 = config.os == "win95";
    switch (id) {
    case csidl::DesktopDirectory: path = win + "\\Desktop"; return true;
    case csidl::Programs: path = win + "\\Start Menu\\Programs"; return true;
    case csidl::StartMenu: path = win + "\\Start Menu"; return true;
    case csidl::Startup: path = win + "\\Start Menu\\Programs\\StartUp"; return true;
    case csidl::Personal: path = drive + "\\My Documents"; return true;
    case csidl::Favorites: path = win + "\\Favorites"; return true;
    case csidl::Recent: path = win + "\\Recent"; return true;
    case csidl::SendTo: path = win + "\\SendTo"; return true;
    case csidl::NetHood: path = win + "\\NetHood"; return true;
    case csidl::PrintHood: path = win + "\\PrintHood"; return true;
    case csidl::Templates: path = win + "\\ShellNew"; return true;
    case csidl::AppData: path = win + "\\Application Data"; return true;
    case csidl::LocalAppData: path = win + "\\Local Settings\\Application Data"; return !win95;
    case csidl::InternetCache: path = win + "\\Temporary Internet Files"; return true;
    case csidl::Cookies: path = win + "\\Cookies"; return true;
    case csidl::History: path = win + "\\History"; return true;
    case csidl::CommonDesktopDirectory: path = win + "\\All Users\\Desktop"; return !win95;
    case csidl::CommonPrograms: path = win + "\\All Users\\Start Menu\\Programs"; return !win95;
    case csidl::CommonStartMenu: path = win + "\\All Users\\Start Menu"; return !win95;
    case csidl::CommonStartup: path = win + "\\All Users\\Start Menu\\Programs\\StartUp"; return !win95;
    case csidl::CommonAppData: path = win + "\\All Users\\Application Data"; return !win95;
    case csidl::CommonDocuments: path = drive + "\\My Documents"; return !win95;
    default: return false;
    }
}

bool ntFolder(const MachineConfig& config, int id, std::string& path)
{
    const std::string root = systemDrive(config) + "\\Documents and Settings";
    const std::string user = root + "\\" + config.userName;
    const std::string all = root + "\\All Users";
    switch (id) {
    case csidl::Profile: path = user; return true;
    case csidl::DesktopDirectory: path = user + "\\Desktop"; return true;
    case csidl::Programs: path = user + "\\Start Menu\\Programs"; return true;
    case csidl::StartMenu: path = user + "\\Start Menu"; return true;
    case csidl::Startup: path = user + "\\Start Menu\\Programs\\Startup"; return true;
    case csidl::Personal: path = user + "\\My Documents"; return true;
    case csidl::Favorites: path = user + "\\Favorites"; return true;
    case csidl::Recent: path = user + "\\Recent"; return true;
    case csidl::SendTo: path = user + "\\SendTo"; return true;
    case csidl::NetHood: path = user + "\\NetHood"; return true;
    case csidl::PrintHood: path = user + "\\PrintHood"; return true;
    case csidl::Templates: path = user + "\\Templates"; return true;
    case csidl::AppData: path = user + "\\Application Data"; return true;
    case csidl::LocalAppData: path = user + "\\Local Settings\\Application Data"; return true;
    case csidl::InternetCache: path = user + "\\Local Settings\\Temporary Internet Files"; return true;
    case csidl::Cookies: path = user + "\\Cookies"; return true;
    case csidl::History: path = user + "\\Local Settings\\History"; return true;
    case csidl::CommonDesktopDirectory: path = all + "\\Desktop"; return true;
    case csidl::CommonPrograms: path = all + "\\Start Menu\\Programs"; return true;
    case csidl::CommonStartMenu: path = all + "\\Start Menu"; return true;
    case csidl::CommonStartup: path = all + "\\Start Menu\\Programs\\Startup"; return true;
    case csidl::CommonAppData: path = all + "\\Application Data"; return true;
    case csidl::CommonDocuments: path = all + "\\Documents"; return true;
    default: return false;
    }
}

bool knownId(int id)
{
    switch (id) {
    case csidl::Desktop:
    case csidl::Programs:
    case csidl::Personal:
    case csidl::Favorites:
    case csidl::Startup:
    case csidl::Recent:
    case csidl::SendTo:
    case csidl::StartMenu:
    case csidl::DesktopDirectory:
    case csidl::Network:
    case csidl::NetHood:
    case csidl::Fonts:
    case csidl::Templates:
    case csidl::CommonStartMenu:
    case csidl::CommonPrograms:
    case csidl::CommonStartup:
    case csidl::CommonDesktopDirectory:
    case csidl::AppData:
    case csidl::PrintHood:
    case csidl::LocalAppData:
    case csidl::InternetCache:
    case csidl::Cookies:
    case csidl::History:
    case csidl::CommonAppData:
    case csidl::Windows:
    case csidl::System:
    case csidl::ProgramFiles:
    case csidl::Profile:
    case csidl::CommonProgramFiles:
    case csidl::CommonDocuments: return true;
    default: return false;
    }
}

} // namespace

std::string computerNameOf(const MachineConfig& config) { return common::upperAscii(config.computerName); }

WinError specialFolderPath(const MachineConfig& config, int id, std::string& path)
{
    if (!knownId(id) || id == csidl::Desktop || id == csidl::Network)
        return WinError::InvalidParameter;
    std::string result;
    switch (id) {
    case csidl::Windows: result = withoutTrailingSlash(config.windowsFolder); break;
    case csidl::System: result = withoutTrailingSlash(config.systemFolder); break;
    case csidl::Fonts: result = withoutTrailingSlash(config.windowsFolder) + "\\Fonts"; break;
    case csidl::ProgramFiles: result = systemDrive(config) + "\\Program Files"; break;
    case csidl::CommonProgramFiles: result = systemDrive(config) + "\\Program Files\\Common Files"; break;
    default:
        if (!(config.isNt() ? ntFolder(config, id, result) : win9xFolder(config, id, result)))
            return WinError::FileNotFound;
    }
    path = result;
    return WinError::Success;
}

WinError Privileges::openProcessToken(std::uint32_t)
{
    if (!m_nt)
        return WinError::CallNotImplemented;
    m_tokenOpen = true;
    return WinError::Success;
}

namespace {
struct KnownPrivilege {
    const char* name;
    std::uint64_t luid;
};
// The locally unique ids Windows 2000/XP give these privileges.
constexpr KnownPrivilege kPrivileges[] = {
    {"SeShutdownPrivilege", 19},
    {"SeRemoteShutdownPrivilege", 24},
    {"SeBackupPrivilege", 17},
    {"SeRestorePrivilege", 18},
    {"SeTakeOwnershipPrivilege", 9},
    {"SeSecurityPrivilege", 8},
    {"SeDebugPrivilege", 20},
    {"SeSystemtimePrivilege", 12},
};
} // namespace

WinError Privileges::lookupPrivilegeValue(std::string_view, std::string_view name, std::uint64_t& luid) const
{
    if (!m_nt)
        return WinError::CallNotImplemented;
    for (const auto& p : kPrivileges) {
        if (common::equalsNoCaseAscii(name, p.name)) {
            luid = p.luid;
            return WinError::Success;
        }
    }
    return WinError::NoSuchPrivilege;
}

WinError Privileges::adjustTokenPrivilege(std::uint64_t luid, bool enable)
{
    if (!m_nt)
        return WinError::CallNotImplemented;
    if (!m_tokenOpen)
        return WinError::InvalidHandle;
    bool known = false;
    for (const auto& p : kPrivileges)
        known = known || p.luid == luid;
    if (!known)
        return WinError::NoSuchPrivilege;
    if (luid == 19)
        m_shutdownEnabled = enable;
    return WinError::Success;
}

WinError requestExitWindows(const std::filesystem::path& machineFolder, const MachineConfig& config,
    const Privileges& privileges, std::uint32_t flags)
{
    if (config.isNt() && !privileges.shutdownEnabled())
        return WinError::PrivilegeNotHeld;
    const char* kind = (flags & exitflags::Reboot)              ? "restart"
        : (flags & (exitflags::Shutdown | exitflags::PowerOff)) ? "shutdown"
                                                                : "logoff";
    return appendMachineEvent(machineFolder, kind, "flags=" + std::to_string(flags));
}

} // namespace platform
