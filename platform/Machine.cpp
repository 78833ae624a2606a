// Machine.cpp: opening and creating the folder of an emulated PC, and its view of paths.
#include "platform/Machine.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

namespace platform {
namespace {

constexpr std::string_view kOsTexts[] = {"win95", "win98", "winme", "win2k", "winxp"};

// A new machine gets its registry database (the four hives) at once.
WinError createRegistry(const std::filesystem::path& folder, std::string* message)
{
    Registry registry;
    return registry.open(folder / Machine::kRegistryFileName, Registry::OpenMode::CreateIfMissing, message);
}

} // namespace

std::string_view osCodeText(OsCode os) { return kOsTexts[static_cast<int>(os)]; }

std::optional<OsCode> parseOsCode(std::string_view text)
{
    for (int i = 0; i < 5; ++i)
        if (equalsNoCase(text, kOsTexts[i]))
            return static_cast<OsCode>(i);
    return std::nullopt;
}

bool isWin9x(OsCode os) { return os == OsCode::Win95 || os == OsCode::Win98 || os == OsCode::WinMe; }

WinError Machine::open(const std::filesystem::path& folder, std::string* message, MissingRegistry missing)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        if (message)
            *message = "machine folder " + folder.string() + " does not exist";
        return WinError::PathNotFound;
    }
    // machine.ini is read once: the same text gives the raw entries and the configuration.
    const std::filesystem::path iniFile = folder / kIniFileName;
    std::string text;
    const WinError loaded = IniFile::readText(iniFile, text, message);
    if (loaded == WinError::FileNotFound) {
        if (message)
            *message = folder.string() + " is not a machine: it holds no " + kIniFileName;
        return loaded;
    }
    if (loaded != WinError::Success)
        return loaded;
    IniFile ini;
    ini.parse(text);
    MachineConfig config;
    std::string error;
    if (!parseMachineIni(text, iniFile.string(), defaultComputerName(folder), config, error)) {
        if (message)
            *message = error;
        return WinError::InvalidData;
    }
    // A machine without a registry yet gets the empty one of a freshly installed PC.
    if (!std::filesystem::exists(folder / kRegistryFileName, ec)) {
        if (missing == MissingRegistry::Refuse) {
            if (message)
                *message = (folder / kRegistryFileName).string() + " is missing: the machine has no registry";
            return WinError::FileNotFound;
        }
        if (const WinError made = createRegistry(folder, message); made != WinError::Success)
            return made;
    }
    m_valid = true;
    m_folder = folder;
    m_os = parseOsCode(config.os).value_or(OsCode::WinXp);
    m_ini = std::move(ini);
    m_config = std::move(config);
    return WinError::Success;
}

std::filesystem::path Machine::defaultFolder()
{
    std::filesystem::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        data = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        data = std::filesystem::path(home) / ".local" / "share";
    else {
        std::error_code ec;
        data = std::filesystem::temp_directory_path(ec);
        if (ec)
            data = "/tmp";
    }
    return data / "winenv" / "network" / "localpc";
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

WinError Machine::openCurrentOrDefault(std::string* message)
{
    const char* folder = std::getenv(kEnvironmentVariable);
    if (folder && *folder)
        return open(folder, message);
    const std::filesystem::path fallback = defaultFolder();
    std::error_code ec;
    if (std::filesystem::exists(fallback / kIniFileName, ec))
        return open(fallback, message);
    MachineConfig config;
    applyOsDefaults("winxp", config);
    config.computerName = "LOCALPC";
    config.address = "192.168.0.2";
    config.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
    config.shares.push_back({"C$", "C:\\"});
    return create(fallback, config, message);
}

WinError Machine::create(const std::filesystem::path& folder, OsCode os, std::string* message)
{
    std::error_code ec;
    common::hostcalls::makeFolders(folder.string());
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
    if (const WinError made = createRegistry(folder, message); made != WinError::Success)
        return made;
    const WinError opened = open(folder, message);
    if (opened == WinError::Success)
        for (const auto& d : m_config.drives)
            common::hostcalls::makeFolders(driveFolder(d.letter).string());
    return opened;
}

WinError Machine::create(
    const std::filesystem::path& folder, const MachineConfig& config, std::string* message)
{
    std::string error;
    if (!saveMachineConfig(folder, config, error)) {
        if (message)
            *message = error;
        return WinError::WriteFault;
    }
    if (const WinError made = createRegistry(folder, message); made != WinError::Success)
        return made;
    return open(folder, message);
}

PathResolver Machine::pathResolver() const
{
    // One registry connection per resolver, opened on the first mapped letter asked about and
    // read afresh each time, so that a mapping made meanwhile is seen at once.
    auto registry = std::make_shared<Registry>();
    const std::filesystem::path dbFile = registryPath();
    auto lookup = [registry, dbFile](char letter) -> std::optional<std::string> {
        if (!registry->isOpen() &&
            registry->open(dbFile, Registry::OpenMode::OpenExisting) != WinError::Success)
            return std::nullopt;
        RegKey key;
        const std::string sub = std::string(kNetworkKey) + "\\" + std::string(1, letter);
        if (registry->openKey(RegRoot::CurrentUser, sub, key) != WinError::Success)
            return std::nullopt;
        std::string remote;
        if (registry->queryString(key, kRemotePathValue, remote) != WinError::Success || remote.empty())
            return std::nullopt;
        return remote;
    };
    return PathResolver(m_folder, m_config, lookup);
}

WinError Machine::hostPath(
    std::string_view windowsPath, std::filesystem::path& host, std::string* message) const
{
    const ResolvedPath r = pathResolver().resolve(windowsPath);
    if (!r.ok()) {
        if (message)
            *message = "\"" + std::string(windowsPath) + "\": " + std::string(winErrorName(r.error));
        return r.error;
    }
    host = r.host;
    return WinError::Success;
}

FileSystem Machine::fileSystem() const { return FileSystem(pathResolver()); }

} // namespace platform
