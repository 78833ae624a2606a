// InitializeApplication.h: the environments of the destination PC (this machine) and of the source
// PC (through the mirror of its registry) turned into the path variables the scripts use.
#pragma once

#include "platform/Registry.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wizard {

class ScriptVariables;

// OS code of the destination (this) PC: "win98", "win2k" or "winxp"; empty until detected.
extern std::string DestinationOs;
// The local computer name as Destination_Value_Initialize read it.
extern std::string LocalPcName;

inline constexpr const char* kUnsupportedOsMessage = "Kestro will not support this operating system";

// What the environment routines reach outside the variable store. defaultEnvironmentAccess() gives
// the running wizard's (the machine named by WINENV_MACHINE); tests fill in their own.
struct EnvironmentAccess {
    // One registry value as text; "" when the key or the value is missing.
    std::function<std::string(platform::RegRoot root, const std::string& key, const std::string& value)>
        registryValue;
    // The local computer name; nothing when it cannot be read.
    std::function<std::optional<std::string>()> computerName;
    // Deletes (when present) and creates again a working folder of the application folder.
    std::function<void(const std::string& windowsPath)> recreateFolder;
    // The local drive ("F:") to which a source drive ("C:") is connected; nothing when it is not.
    std::function<std::optional<std::string>(const std::string& sourceDrive)> mappedDrive;
    // Tells the user that this PC's system is not supported (a critical message box).
    std::function<void(const std::string& text)> criticalMessage;
};

// The running wizard's access: the machine's registry and file system, its computer name, the
// platform's message box. Drives are not mapped until setMappedDriveLookup() installs the lookup.
EnvironmentAccess defaultEnvironmentAccess();
// Installs the lookup (empty: none) and answers the one it replaces.
using MappedDriveLookup = std::function<std::optional<std::string>(const std::string& sourceDrive)>;
MappedDriveLookup setMappedDriveLookup(MappedDriveLookup lookup);

namespace text {
// The user-name folder of a profile path (the text from the 27th character to the next "\",
// just after a prefix such as "C:\Documents and Settings\") replaced by "All Users"; the path is
// returned unchanged when no "\" follows that folder name.
std::string allUsersOf(std::string_view programsPath);
} // namespace text

// The routines of the wizard's environment module, on one variable store and one access.
class PcEnvironment {
public:
    PcEnvironment(ScriptVariables& variables, EnvironmentAccess access);

    // Prepares the destination PC: recreates AppPath\Temp and AppPath\tempreg, reads the local
    // computer name, detects the destination OS ("$st_destination_os") and sets the
    // "$st_destination_..." variables. False after kUnsupportedOsMessage when this PC runs none of
    // Windows 98, 2000 and XP (also for another NT product name); False without a message when the
    // Windows folder cannot be determined; true otherwise.
    bool Destination_Value_Initialize();

    // The text up to the first NUL (all of it when there is none).
    static std::string Strip_Null(std::string_view s);
    // The local computer name, "0" when it cannot be read.
    std::string Get_Local_Computer_Name();

    bool Destination_Win98_Paths();
    bool Destination_Win2K_Paths();
    bool Destination_WinXP_Paths();

    // The source variables from the mirror of the source registry (under SOFTWARE\QZ), with
    // folders of the source's drives mapped to the local drives they are connected to.
    bool Source_Win95_Paths();
    bool Source_Win98_Paths();
    bool Source_WinME_Paths();
    bool Source_Win2K_Paths();
    bool Source_WinXP_Paths();
    // The setter of one source OS code; false for an unknown code.
    bool sourcePaths(std::string_view osCode);

private:
    enum class SourceFamily { Win95, Win98Me, Nt };
    bool destinationPaths(bool nt);
    bool sourcePaths(SourceFamily family);
    std::string read(platform::RegRoot root, const std::string& key, const std::string& value) const;
    std::string mapped(const std::string& path) const;
    // Stores the value only when it is not empty.
    void setIfAny(const std::string& name, const std::string& value);
    std::string variable(const std::string& name) const;

    ScriptVariables& m_vars;
    EnvironmentAccess m_access;
};

// Destination_Value_Initialize on the running wizard's variable store and machine.
bool Destination_Value_Initialize();

} // namespace wizard
