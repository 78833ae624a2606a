// Machine.h: an emulated PC: a folder holding machine.ini (identity and hardware, see
// docs/machine-ini.md), registry.db and drives/<letter>/; its parent folder is its network.
// The machine a program runs on is named by WINENV_MACHINE.
#pragma once

#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/MachineConfig.h"
#include "platform/PathResolver.h"
#include "platform/WinError.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The Windows version a machine runs.
enum class OsCode { Win95, Win98, WinMe, Win2k, WinXp };

// "win95", "win98", "winme", "win2k", "winxp".
std::string_view osCodeText(OsCode os);

// The code for one of the texts above (without regard to case), or nothing.
std::optional<OsCode> parseOsCode(std::string_view text);

// True for Windows 95, 98 and ME.
bool isWin9x(OsCode os);

// What Machine::open does when the machine's folder holds no registry.db.
enum class MissingRegistry {
    Create, // give it the empty registry of a freshly installed PC
    Refuse, // FileNotFound, naming the missing file: the machine is not opened
};

class Machine {
public:
    static constexpr const char* kEnvironmentVariable = "WINENV_MACHINE";
    static constexpr const char* kIniFileName = "machine.ini";
    static constexpr const char* kRegistryFileName = "registry.db";
    // Where the mapped letters live in the machine's registry (HKEY_CURRENT_USER\Network\<letter>).
    static constexpr const char* kNetworkKey = "Network";
    static constexpr const char* kRemotePathValue = "RemotePath";

    // An empty machine: isValid() is false until open() or create() succeeds.
    Machine() = default;

    // Opens the machine in folder. Success; PathNotFound when the folder does not exist;
    // FileNotFound when it holds no machine.ini (a folder without one is not a machine);
    // AccessDenied/ReadFault when machine.ini cannot be read; InvalidData when machine.ini is
    // malformed (no OS=, an unknown OS code, a bad drive line ...). A valid machine without
    // registry.db gets an empty registry (the four hives) here, or FileNotFound with `Refuse`; a
    // Registry::open error when it cannot be made. On failure *message (when given) says what is
    // wrong, naming the file and, where there is one, the line; this object is left unchanged.
    WinError open(const std::filesystem::path& folder, std::string* message = nullptr,
        MissingRegistry missing = MissingRegistry::Create);

    // Opens the machine named by WINENV_MACHINE. FileNotFound with a message when the variable is
    // unset or empty (what tools acting on "the" machine want); otherwise as open().
    WinError openCurrent(std::string* message = nullptr);

    // As openCurrent, but when the variable is unset or empty the default machine
    // (defaultFolder()) is opened, and made first when it does not exist yet: Windows XP,
    // computer name LOCALPC, drive C: shared as C$. What the programs call at start.
    WinError openCurrentOrDefault(std::string* message = nullptr);

    // Makes folder a machine running os: creates the folder when needed and writes machine.ini
    // with [Machine] OS=<code> (an existing machine.ini keeps its other entries; a new one gets
    // drive C:), a folder per drive, and registry.db (the four hives) when missing.
    // Success, or CannotMake/WriteFault/InvalidData or a Registry::open error with a message.
    WinError create(const std::filesystem::path& folder, OsCode os, std::string* message = nullptr);

    // Writes a whole machine model to folder (machine.ini, a folder per drive, registry.db when
    // missing) and opens it.
    WinError create(
        const std::filesystem::path& folder, const MachineConfig& config, std::string* message = nullptr);

    // The default machine's folder: <data>/winenv/network/localpc, where <data> is
    // $XDG_DATA_HOME or else $HOME/.local/share.
    static std::filesystem::path defaultFolder();

    bool isValid() const { return m_valid; }
    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path iniPath() const { return m_folder / kIniFileName; }
    std::filesystem::path registryPath() const { return m_folder / kRegistryFileName; }
    OsCode os() const { return m_os; }
    const IniFile& ini() const { return m_ini; }
    const MachineConfig& config() const { return m_config; }

    // The network: the folder that holds this machine and its peers.
    std::filesystem::path networkFolder() const { return m_folder.parent_path(); }
    // The host folder of one of its drives (whether or not the drive table lists it).
    std::filesystem::path driveFolder(char letter) const { return platform::driveFolder(m_folder, letter); }

    // Path resolution and the file-system object as seen from this machine: drive letters are
    // its own, mapped letters are read from its registry (HKEY_CURRENT_USER\Network\<letter>,
    // value RemotePath) at each use, shares are those of its network.
    PathResolver pathResolver() const;
    FileSystem fileSystem() const;

    // For platform tools that must hand a file to host code (the registry editor's file argument,
    // the batch runner): the host path of a Windows path of this machine. The resolver's errors
    // (InvalidName, PathNotFound, InvalidDrive, NotReady, BadNetPath, BadNetName) with a message
    // naming the path. Never a path outside a drive or share folder; program code never calls this.
    WinError hostPath(
        std::string_view windowsPath, std::filesystem::path& host, std::string* message = nullptr) const;

private:
    bool m_valid = false;
    std::filesystem::path m_folder;
    OsCode m_os = OsCode::WinXp;
    IniFile m_ini;
    MachineConfig m_config;
};

} // namespace platform
