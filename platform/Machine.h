// Machine.h: an emulated PC: a folder holding machine.ini ([Machine] OS=...) and registry.db;
// the machine a program runs on is named by the environment variable WINENV_MACHINE.
#pragma once

#include "platform/IniFile.h"
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

class Machine {
public:
    static constexpr const char* kEnvironmentVariable = "WINENV_MACHINE";
    static constexpr const char* kIniFileName = "machine.ini";
    static constexpr const char* kRegistryFileName = "registry.db";

    // An empty machine: isValid() is false until open() or create() succeeds.
    Machine() = default;

    // Opens the machine in folder. Success; PathNotFound when the folder does not exist;
    // FileNotFound when it holds no machine.ini (a folder without one is not a machine);
    // AccessDenied/ReadFault when machine.ini cannot be read; InvalidData when [Machine] has no OS=
    // or an unknown OS code. On failure *message (when given) says what is wrong and names the file,
    // and this object is left unchanged.
    WinError open(const std::filesystem::path& folder, std::string* message = nullptr);

    // Opens the machine named by WINENV_MACHINE. FileNotFound with a message when the variable is
    // unset or empty; otherwise as open().
    WinError openCurrent(std::string* message = nullptr);

    // Makes folder a machine running os: creates the folder when needed and writes machine.ini with
    // [Machine] OS=<code> (an existing machine.ini keeps its other entries) and creates registry.db
    // (the four hives) when missing. Success, or CannotMake/WriteFault or a Registry::open error
    // with a message.
    WinError create(const std::filesystem::path& folder, OsCode os, std::string* message = nullptr);

    bool isValid() const { return m_valid; }
    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path iniPath() const { return m_folder / kIniFileName; }
    std::filesystem::path registryPath() const { return m_folder / kRegistryFileName; }
    OsCode os() const { return m_os; }
    const IniFile& ini() const { return m_ini; }

private:
    bool m_valid = false;
    std::filesystem::path m_folder;
    OsCode m_os = OsCode::WinXp;
    IniFile m_ini;
};

}  // namespace platform
