// MachineConfig.h: identity and hardware of an emulated PC, read from and written to its
// machine.ini (format: docs/machine-ini.md).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Drive types with the values GetDriveTypeA answers.
enum class DriveType {
    Unknown = 0,
    NoRootDir = 1, // nothing at that letter
    Removable = 2,
    Fixed = 3,
    Remote = 4, // a mapped network share
    CdRom = 5,
    RamDisk = 6,
};

struct DriveEntry {
    char letter = 'C';                       // 'A'..'Z'
    DriveType type = DriveType::Fixed;       // Removable, Fixed, CdRom or RamDisk in machine.ini
    std::optional<std::uint64_t> totalBytes; // when absent, sizes come from the host
    std::optional<std::uint64_t> freeBytes;
};

struct ShareEntry {
    std::string name;   // "C$", "C", "SharedDocs"
    std::string folder; // the Windows path it exposes on this machine ("C:\", "C:\My Documents")
};

struct Account {
    std::string user;
    std::string password;
    bool administrator = false;
};

struct MachineConfig {
    std::string computerName; // "OLDPC"
    std::string address;      // dotted IPv4; empty: the name resolves nowhere
    std::string os = "winxp"; // "win95", "win98", "winme", "win2k", "winxp"
    int versionMajor = 5;
    int versionMinor = 1;
    int buildNumber = 2600;
    std::string userName = "User"; // the logged-on user
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\System32";
    std::vector<DriveEntry> drives; // in letter order
    std::vector<ShareEntry> shares; // in the order of the file
    std::vector<Account> accounts;  // 2000/XP logon accounts
    bool networkAdapter = true;
    std::vector<int> parallelPorts; // LPT numbers 1..8 present
    bool reachable = true;

    const DriveEntry* drive(char letter) const;           // letter in any case; null when absent
    const ShareEntry* share(std::string_view name) const; // case-insensitive; null when absent
    const Account* account(std::string_view user) const;  // case-insensitive; null when absent
    bool isNt() const { return os == "win2k" || os == "winxp"; }
};

// The usual version numbers and folders of an OS code; false for an unknown code.
bool applyOsDefaults(std::string_view os, MachineConfig& config);

// Reads machine.ini text. On failure returns false, leaves `out` unchanged and sets `error` to
// "<fileName>, line <n>: <what is wrong>". Keys and section names are case-insensitive; keys
// not given keep the defaults of the OS (and ComputerName the `defaultName`).
bool parseMachineIni(std::string_view text, std::string_view fileName, std::string_view defaultName,
    MachineConfig& out, std::string& error);

// machine.ini text for `config` (UTF-8, CR LF line ends); parseMachineIni reads it back unchanged.
std::string formatMachineIni(const MachineConfig& config);

// Names of drive types in machine.ini ("fixed", "removable", "cdrom", "ramdisk", "remote").
std::string_view driveTypeName(DriveType type);

} // namespace platform

#include <filesystem>

namespace platform {

// The computer name of a machine whose machine.ini names none: its folder's name (upper-cased by
// parseMachineIni).
std::string defaultComputerName(const std::filesystem::path& machineFolder);

// Reads <machineFolder>/machine.ini (Windows-1252 on disk). Keys not given take the defaults of
// the OS; the computer name defaults to the folder's name upper-cased. False with a message
// when the folder or its machine.ini is missing, and naming the file and line when the file is
// malformed.
bool loadMachineConfig(const std::filesystem::path& machineFolder, MachineConfig& out, std::string& error);

// Writes <machineFolder>/machine.ini in Windows-1252 (creating the folder and each drive's folder).
bool saveMachineConfig(
    const std::filesystem::path& machineFolder, const MachineConfig& config, std::string& error);

// Finds the machine of `networkFolder` whose computer name is `name` (case-insensitive).
// Sub-folders without a machine.ini or with a malformed or unreadable one are passed over.
// False when no machine has that name, or when two claim it (ambiguous: neither is taken); then,
// the first time per name and network, *ambiguity names both folders.
bool findMachine(const std::filesystem::path& networkFolder, std::string_view name,
    std::filesystem::path& folderOut, MachineConfig& configOut, std::string* ambiguity = nullptr);

// The host folder of a drive of a machine: <machineFolder>/drives/<letter>.
std::filesystem::path driveFolder(const std::filesystem::path& machineFolder, char letter);

} // namespace platform
