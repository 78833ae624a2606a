// InitializeApplication.cpp: destination detection and the destination and source path variables.
#include "wizard/core/InitializeApplication.h"

#include "common/Text.h"
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardCore.h"

namespace wizard {

std::string DestinationOs;
std::string LocalPcName;

namespace {

using platform::RegRoot;

// The source's hives mirrored under SOFTWARE\QZ of this PC, and this PC's own keys.
const char* const kS1 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kS2 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kS3 =
    "Software\\QZ\\HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kD1 = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kD2 = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kD3 = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::function<std::optional<std::string>(const std::string&)>& installedDriveLookup()
{
    static std::function<std::optional<std::string>(const std::string&)> lookup;
    return lookup;
}

} // namespace

namespace text {

std::string allUsersOf(std::string_view path)
{
    // The folder name starts just after a 26-character prefix ("C:\Documents and Settings\") and
    // is replaced where it stands, so that a user named like a later folder ("Start") leaves that
    // folder alone.
    constexpr std::size_t kStart = 26;
    if (path.size() <= kStart)
        return std::string(path);
    const std::size_t end = path.find('\\', kStart);
    if (end == std::string_view::npos)
        return std::string(path);
    std::string out(path.substr(0, kStart));
    out += "All Users";
    out.append(path.substr(end));
    return out;
}

} // namespace text

PcEnvironment::PcEnvironment(ScriptVariables& variables, EnvironmentAccess access)
    : m_vars(variables)
    , m_access(std::move(access))
{}

std::string PcEnvironment::Strip_Null(std::string_view s)
{
    const std::size_t nul = s.find('\0');
    return std::string(nul == std::string_view::npos ? s : s.substr(0, nul));
}

std::string PcEnvironment::Get_Local_Computer_Name()
{
    std::optional<std::string> name = m_access.computerName ? m_access.computerName() : std::nullopt;
    if (!name)
        return "0";
    return Strip_Null(*name);
}

std::string PcEnvironment::read(RegRoot root, const std::string& key, const std::string& value) const
{
    return m_access.registryValue ? m_access.registryValue(root, key, value) : std::string();
}

std::string PcEnvironment::mapped(const std::string& path) const
{
    if (path.size() < 2 || !m_access.mappedDrive)
        return path;
    const std::optional<std::string> local = m_access.mappedDrive(path.substr(0, 2));
    if (!local || local->empty())
        return path;
    return *local + path.substr(2);
}

void PcEnvironment::setIfAny(const std::string& name, const std::string& value)
{
    if (!value.empty())
        m_vars.Set_System_Variable_Value(name, value);
}

std::string PcEnvironment::variable(const std::string& name) const
{
    return m_vars.lookup(name).value_or(std::string());
}

bool PcEnvironment::Destination_Value_Initialize()
{
    if (m_access.recreateFolder) {
        m_access.recreateFolder(AppPath + "\\Temp");
        m_access.recreateFolder(AppPath + "\\tempreg");
    }
    LocalPcName = Get_Local_Computer_Name();

    const std::string product = read(RegRoot::LocalMachine, kD2, "ProductName");
    std::string detected;
    if (product == "Microsoft Windows 2000") {
        detected = "win2k";
    } else if (product == "Microsoft Windows XP") {
        detected = "winxp";
    } else if (product.empty() &&
        common::lowerAscii(read(RegRoot::LocalMachine, kD1, "ProductName")) == "microsoft windows 98") {
        detected = "win98";
    } else {
        // A 9x system other than Windows 98, or an NT system other than 2000 and XP: without the
        // paths of a known system the migration steps would write to wrong folders.
        if (m_access.criticalMessage)
            m_access.criticalMessage(kUnsupportedOsMessage);
        return false;
    }
    DestinationOs = detected;
    m_vars.Set_System_Variable_Value("$st_destination_os", DestinationOs);

    if (DestinationOs == "win98")
        Destination_Win98_Paths();
    else if (DestinationOs == "win2k")
        Destination_Win2K_Paths();
    else
        Destination_WinXP_Paths();

    // The current user's application-data folder, in the doubled form.
    std::string appData;
    const std::string winPath = variable("$st_destination_win_path");
    if (DestinationOs != "win98") {
        const std::optional<std::string> settings = m_vars.lookup("$st_destination_curr_user_settings");
        if (settings && !settings->empty()) {
            appData = coretext::doubleBackslashes(*settings + "\\Application Data");
            if (!winPath.empty())
                appData[0] = winPath[0];
        }
        // Without a profile folder there is no application-data folder to name: left empty.
    } else {
        appData = winPath + "Application Data";
    }
    m_vars.Set_System_Variable_Value("$st_destination_curr_user_app_data", appData);

    const std::string allUserSettings = coretext::removeAll(
        variable("$st_destination_alluser"), "\\Start Menu\\Programs", CaseMode::IgnoreCase);
    m_vars.Set_System_Variable_Value("$st_destination_alluser_settings", allUserSettings);

    // Without the Windows folder no migration step can name its targets.
    return !variable("$st_destination_win_dir").empty();
}

bool PcEnvironment::destinationPaths(bool nt)
{
    const std::string root = read(RegRoot::LocalMachine, nt ? kD2 : kD1, "SystemRoot");
    const std::string doubled = coretext::doubleBackslashes(root);
    m_vars.Set_System_Variable_Value("$st_destination_win_path", doubled + "\\\\");
    m_vars.Set_System_Variable_Value(
        "$st_destination_sys_path", doubled + (nt ? "\\\\System32\\\\" : "\\\\System\\\\"));
    if (!root.empty()) {
        m_vars.Set_System_Variable_Value("$st_destination_win_dir", root);
        m_vars.Set_System_Variable_Value(
            "$st_destination_system_dir", root + (nt ? "\\System32" : "\\system"));
    }
    setIfAny("$st_destination_common_dir", read(RegRoot::LocalMachine, kD1, "CommonFilesDir"));
    setIfAny("$st_destination_program_file", read(RegRoot::LocalMachine, kD1, "ProgramFilesDir"));

    const std::string programs =
        nt ? read(RegRoot::CurrentUser, kD3, "Programs") : read(RegRoot::LocalMachine, kD3, "Programs");
    if (!programs.empty()) {
        m_vars.Set_System_Variable_Value("$st_destination_program_group", programs);
        if (nt)
            m_vars.Set_System_Variable_Value("$st_destination_alluser", text::allUsersOf(programs));
    }
    setIfAny("$st_destination_curr_user_settings",
        coretext::removeAll(read(RegRoot::CurrentUser, kD3, "Cookies"), "\\Cookies"));
    return true;
}

bool PcEnvironment::Destination_Win98_Paths() { return destinationPaths(false); }
bool PcEnvironment::Destination_Win2K_Paths() { return destinationPaths(true); }
bool PcEnvironment::Destination_WinXP_Paths() { return destinationPaths(true); }

bool PcEnvironment::sourcePaths(SourceFamily family)
{
    const bool nt = family == SourceFamily::Nt;
    const std::string root = read(RegRoot::LocalMachine, nt ? kS2 : kS1, "SystemRoot");
    const std::string doubled = coretext::doubleBackslashes(root);
    m_vars.Set_System_Variable_Value("$st_source_win_path", doubled + "\\\\");
    m_vars.Set_System_Variable_Value(
        "$st_source_sys_path", doubled + (nt ? "\\\\System32\\\\" : "\\\\System\\\\"));

    const std::string winDir = mapped(root);
    if (!winDir.empty()) {
        m_vars.Set_System_Variable_Value("$st_source_win_dir", winDir);
        const char* system = family == SourceFamily::Win95 ? "\\System"
            : family == SourceFamily::Win98Me              ? "\\system"
                                                           : "\\System32";
        m_vars.Set_System_Variable_Value("$st_source_system_dir", winDir + system);
    }
    setIfAny("$st_source_common_dir", mapped(read(RegRoot::LocalMachine, kS1, "CommonFilesDir")));
    setIfAny("$st_source_program_file", mapped(read(RegRoot::LocalMachine, kS1, "ProgramFilesDir")));

    const std::string programs = mapped(read(RegRoot::LocalMachine, kS3, "Programs"));
    if (!programs.empty()) {
        m_vars.Set_System_Variable_Value("$st_source_program_group", programs);
        if (nt)
            m_vars.Set_System_Variable_Value("$st_source_alluser", text::allUsersOf(programs));
    }

    const std::string cookies = read(RegRoot::LocalMachine, kS3, "Cookies");
    if (!cookies.empty()) {
        const std::string doubledProfile =
            coretext::doubleBackslashes(coretext::removeAll(cookies, "\\Cookies"));
        m_vars.Set_System_Variable_Value("$st_source_curr_user_set_double_slash", doubledProfile);
        const std::string local = mapped(doubledProfile);
        if (!local.empty()) {
            std::string plain = coretext::removeAll(local, "\\Cookies");
            std::string single;
            for (std::size_t i = 0; i < plain.size(); ++i) {
                single += plain[i];
                if (plain[i] == '\\' && i + 1 < plain.size() && plain[i + 1] == '\\')
                    ++i;
            }
            m_vars.Set_System_Variable_Value("$st_source_curr_user_settings", single);
        }
    }
    return true;
}

bool PcEnvironment::Source_Win95_Paths() { return sourcePaths(SourceFamily::Win95); }
bool PcEnvironment::Source_Win98_Paths() { return sourcePaths(SourceFamily::Win98Me); }
bool PcEnvironment::Source_WinME_Paths() { return sourcePaths(SourceFamily::Win98Me); }
bool PcEnvironment::Source_Win2K_Paths() { return sourcePaths(SourceFamily::Nt); }
bool PcEnvironment::Source_WinXP_Paths() { return sourcePaths(SourceFamily::Nt); }

bool PcEnvironment::sourcePaths(std::string_view osCode)
{
    const std::string os = common::lowerAscii(osCode);
    if (os == "win95")
        return Source_Win95_Paths();
    if (os == "win98")
        return Source_Win98_Paths();
    if (os == "winme")
        return Source_WinME_Paths();
    if (os == "win2k")
        return Source_Win2K_Paths();
    if (os == "winxp")
        return Source_WinXP_Paths();
    return false;
}

MappedDriveLookup setMappedDriveLookup(MappedDriveLookup lookup)
{
    return std::exchange(installedDriveLookup(), std::move(lookup));
}

EnvironmentAccess defaultEnvironmentAccess()
{
    EnvironmentAccess access;
    access.registryValue = [](RegRoot root, const std::string& key, const std::string& value) -> std::string {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        if (!machine)
            return {};
        platform::Registry& registry = machine->registry();
        platform::RegKey k;
        if (registry.openKey(platform::RegKey(root), key, k) != platform::WinError::Success)
            return {};
        std::string text;
        if (registry.queryString(k, value, text) != platform::WinError::Success)
            return {};
        return text;
    };
    access.computerName = []() -> std::optional<std::string> {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        if (!machine)
            return std::nullopt;
        return common::upperAscii(machine->config().computerName);
    };
    access.recreateFolder = [](const std::string& path) {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        if (!machine)
            return;
        platform::FileSystem& fs = machine->files();
        if (fs.folderExists(path))
            fs.deleteFolder(path); // a folder in use stays as it is
        if (!fs.folderExists(path))
            fs.makeSurePathExists(path + "\\");
    };
    access.mappedDrive = [](const std::string& drive) -> std::optional<std::string> {
        const auto& lookup = installedDriveLookup();
        return lookup ? lookup(drive) : std::nullopt;
    };
    access.criticalMessage = [](const std::string& text) {
        platform::showMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Critical);
    };
    return access;
}

bool Destination_Value_Initialize()
{
    PcEnvironment environment(core().variables, defaultEnvironmentAccess());
    return environment.Destination_Value_Initialize();
}

} // namespace wizard
