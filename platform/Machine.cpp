// Machine.cpp: opening and creating the folder of an emulated PC.
#include "platform/Machine.h"

#include "platform/CodePage.h"
#include "platform/Registry.h"

#include <cstdlib>
#include <system_error>

namespace platform {
namespace {

constexpr std::string_view kOsTexts[] = {"win95", "win98", "winme", "win2k", "winxp"};

}  // namespace

std::string_view osCodeText(OsCode os)
{
    return kOsTexts[static_cast<int>(os)];
}

std::optional<OsCode> parseOsCode(std::string_view text)
{
    for (int i = 0; i < 5; ++i)
        if (equalsNoCase(text, kOsTexts[i]))
            return static_cast<OsCode>(i);
    return std::nullopt;
}

bool isWin9x(OsCode os)
{
    return os == OsCode::Win95 || os == OsCode::Win98 || os == OsCode::WinMe;
}

WinError Machine::open(const std::filesystem::path& folder, std::string* message)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        if (message)
            *message = "machine folder " + folder.string() + " does not exist";
        return WinError::PathNotFound;
    }
    IniFile ini;
    const std::filesystem::path iniFile = folder / kIniFileName;
    const WinError loaded = ini.load(iniFile, message);
    if (loaded == WinError::FileNotFound) {
        if (message)
            *message = folder.string() + " is not a machine: it holds no " + kIniFileName;
        return loaded;
    }
    if (loaded != WinError::Success)
        return loaded;
    const std::optional<std::string> osText = ini.value("Machine", "OS");
    const std::optional<OsCode> os = osText ? parseOsCode(*osText) : std::nullopt;
    if (!os) {
        if (message)
            *message = iniFile.string() + ": [Machine] OS= must be one of win95, win98, winme, win2k, winxp" +
                       (osText ? " (found \"" + *osText + "\")" : std::string(" (missing)"));
        return WinError::InvalidData;
    }
    m_valid = true;
    m_folder = folder;
    m_os = *os;
    m_ini = std::move(ini);
    return WinError::Success;
}

WinError Machine::openCurrent(std::string* message)
{
    const char* folder = std::getenv(kEnvironmentVariable);
    if (!folder || !*folder) {
        if (message)
            *message = std::string(kEnvironmentVariable) + " is not set: it must name the machine folder";
        return WinError::FileNotFound;
    }
    return open(folder, message);
}

WinError Machine::create(const std::filesystem::path& folder, OsCode os, std::string* message)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        if (message)
            *message = "cannot create machine folder " + folder.string();
        return WinError::CannotMake;
    }
    IniFile ini;
    const std::filesystem::path iniFile = folder / kIniFileName;
    const WinError loaded = ini.load(iniFile, message);
    if (loaded != WinError::Success && loaded != WinError::FileNotFound)
        return loaded;
    ini.setValue("Machine", "OS", osCodeText(os));
    if (const WinError saved = ini.save(iniFile, message); saved != WinError::Success)
        return saved;
    Registry registry;
    if (const WinError made = registry.open(folder / kRegistryFileName, Registry::OpenMode::CreateIfMissing, message);
        made != WinError::Success)
        return made;
    return open(folder, message);
}

}  // namespace platform
