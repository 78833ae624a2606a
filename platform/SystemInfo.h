// SystemInfo.h: what a program asks its PC about itself: computer name, special folders,
// privileges and the restart request.
#pragma once

#include "platform/MachineConfig.h"
#include "platform/WinError.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Folder ids (CSIDL values) that the layer knows.
namespace csidl {
inline constexpr int Desktop = 0x0000; // virtual: the desktop namespace root
inline constexpr int Programs = 0x0002;
inline constexpr int Personal = 0x0005; // My Documents
inline constexpr int Favorites = 0x0006;
inline constexpr int Startup = 0x0007;
inline constexpr int Recent = 0x0008;
inline constexpr int SendTo = 0x0009;
inline constexpr int StartMenu = 0x000b;
inline constexpr int DesktopDirectory = 0x0010;
inline constexpr int Network = 0x0012; // virtual: the network neighbourhood
inline constexpr int NetHood = 0x0013;
inline constexpr int Fonts = 0x0014;
inline constexpr int Templates = 0x0015;
inline constexpr int CommonStartMenu = 0x0016;
inline constexpr int CommonPrograms = 0x0017;
inline constexpr int CommonStartup = 0x0018;
inline constexpr int CommonDesktopDirectory = 0x0019;
inline constexpr int AppData = 0x001a;
inline constexpr int PrintHood = 0x001b;
inline constexpr int LocalAppData = 0x001c;
inline constexpr int InternetCache = 0x0020;
inline constexpr int Cookies = 0x0021;
inline constexpr int History = 0x0022;
inline constexpr int CommonAppData = 0x0023;
inline constexpr int Windows = 0x0024;
inline constexpr int System = 0x0025;
inline constexpr int ProgramFiles = 0x0026;
inline constexpr int Profile = 0x0028;
inline constexpr int CommonProgramFiles = 0x002b;
inline constexpr int CommonDocuments = 0x002e;
} // namespace csidl

// The computer name as GetComputerNameA gives it: upper case.
std::string computerNameOf(const MachineConfig& config);

// The Windows path of a special folder on a machine, as the OS lays it out: on 95/98/ME the
// per-user folders lie in the Windows folder and "C:\My Documents"; on 2000/XP in
// "C:\Documents and Settings\<user>" and "...\All Users" (the drive of the Windows folder).
// Success; FileNotFound for a folder the OS does not have (the shared "All Users" folders and
// the profile on Windows 95, the profile on 98/ME); InvalidParameter for a virtual folder
// (Desktop, Network) or an unknown id.
WinError specialFolderPath(const MachineConfig& config, int folderId, std::string& path);

// Privileges as the restart code asks for them. Windows 95/98/ME have no tokens: the calls fail
// with CallNotImplemented there. Only "SeShutdownPrivilege" and a few other well-known names are
// known; another name fails with NoSuchPrivilege.
class Privileges {
public:
    explicit Privileges(const MachineConfig& config)
        : m_nt(config.isNt())
    {}

    WinError openProcessToken(std::uint32_t desiredAccess);
    WinError lookupPrivilegeValue(
        std::string_view systemName, std::string_view name, std::uint64_t& luid) const;
    // Enables (or disables) one privilege on the opened token. InvalidHandle without a token.
    WinError adjustTokenPrivilege(std::uint64_t luid, bool enable);
    bool shutdownEnabled() const { return m_shutdownEnabled; }

private:
    bool m_nt;
    bool m_tokenOpen = false;
    bool m_shutdownEnabled = false;
};

// ExitWindowsEx flags.
namespace exitflags {
inline constexpr std::uint32_t Logoff = 0;
inline constexpr std::uint32_t Shutdown = 1;
inline constexpr std::uint32_t Reboot = 2;
inline constexpr std::uint32_t Force = 4;
inline constexpr std::uint32_t PowerOff = 8;
} // namespace exitflags

// Requests a log-off, shut-down or restart of the machine: the request is recorded in its
// events log (kind "restart", "shutdown" or "logoff", text "flags=<n>") and nothing else
// happens; the host is never touched, and the program is expected to end by itself.
// On 2000/XP the shutdown privilege must have been enabled through `privileges` first
// (PrivilegeNotHeld otherwise); 95/98/ME need none. PathNotFound when the machine folder is gone.
WinError requestExitWindows(const std::filesystem::path& machineFolder, const MachineConfig& config,
    const Privileges& privileges, std::uint32_t flags);

} // namespace platform
