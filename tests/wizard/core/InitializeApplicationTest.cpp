// InitializeApplicationTest.cpp: destination detection and the destination and source path
// variables on emulated machines.
#include "wizard/core/InitializeApplication.h"

#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/TextUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace wizard {
namespace {

using platform::RegRoot;

const char* const kD1 = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kD2 = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kD3 = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kS1 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kS2 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kS3 =
    "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The emulated machine the wizard runs on, its registry written through the platform and the
// routines run with the running wizard's access (registry, folders, computer name).
class PcEnvironmentTest : public ::testing::Test {
protected:
    PcEnvironmentTest()
        : variables(machineFiles(), nullptr)
        , scoped(messages)
    {
        DestinationOs.clear();
        LocalPcName.clear();
        platform::Machine machine;
        EXPECT_EQ(machine.openCurrent(), platform::WinError::Success);
        EXPECT_EQ(registry.open(machine.registryPath()), platform::WinError::Success);
        setMappedDriveLookup([this](const std::string& drive) -> std::optional<std::string> {
            const auto it = driveMap.find(drive);
            if (it == driveMap.end())
                return std::nullopt;
            return it->second;
        });
    }
    ~PcEnvironmentTest() override { setMappedDriveLookup({}); }

    void put(RegRoot root, const std::string& key, const std::string& name, const std::string& value)
    {
        platform::RegKey k;
        ASSERT_EQ(registry.createKey(platform::RegKey(root), key, k), platform::WinError::Success);
        ASSERT_EQ(registry.setString(k, name, value), platform::WinError::Success);
    }
    std::string var(const std::string& name) const { return variables.lookup(name).value_or("<unset>"); }

    void xpDestination(const std::string& product = "Microsoft Windows XP")
    {
        put(RegRoot::LocalMachine, kD2, "ProductName", product);
        put(RegRoot::LocalMachine, kD2, "SystemRoot", "C:\\WINDOWS");
        put(RegRoot::LocalMachine, kD1, "CommonFilesDir", "C:\\Program Files\\Common Files");
        put(RegRoot::LocalMachine, kD1, "ProgramFilesDir", "C:\\Program Files");
        put(RegRoot::CurrentUser, kD3, "Programs", "C:\\Documents and Settings\\alice\\Start Menu\\Programs");
        put(RegRoot::CurrentUser, kD3, "Cookies", "C:\\Documents and Settings\\alice\\Cookies");
    }
    void win98Destination(const std::string& product = "Microsoft Windows 98")
    {
        put(RegRoot::LocalMachine, kD1, "ProductName", product);
        put(RegRoot::LocalMachine, kD1, "SystemRoot", "C:\\WINDOWS");
        put(RegRoot::LocalMachine, kD1, "CommonFilesDir", "C:\\Program Files\\Common Files");
        put(RegRoot::LocalMachine, kD1, "ProgramFilesDir", "C:\\Program Files");
        put(RegRoot::LocalMachine, kD3, "Programs", "C:\\WINDOWS\\Start Menu\\Programs");
        put(RegRoot::CurrentUser, kD3, "Cookies", "C:\\WINDOWS\\Cookies");
    }
    void ntSource()
    {
        put(RegRoot::LocalMachine, kS2, "SystemRoot", "C:\\WINNT");
        put(RegRoot::LocalMachine, kS1, "CommonFilesDir", "C:\\Program Files\\Common Files");
        put(RegRoot::LocalMachine, kS1, "ProgramFilesDir", "D:\\Programs");
        put(RegRoot::LocalMachine, kS3, "Programs",
            "C:\\Documents and Settings\\user1\\Start Menu\\Programs");
        put(RegRoot::LocalMachine, kS3, "Cookies", "C:\\Documents and Settings\\user1\\Cookies");
    }
    void nineXSource()
    {
        put(RegRoot::LocalMachine, kS1, "SystemRoot", "C:\\WINDOWS");
        put(RegRoot::LocalMachine, kS1, "CommonFilesDir", "C:\\Program Files\\Common Files");
        put(RegRoot::LocalMachine, kS1, "ProgramFilesDir", "C:\\Program Files");
        put(RegRoot::LocalMachine, kS3, "Programs", "C:\\WINDOWS\\Start Menu\\Programs");
        put(RegRoot::LocalMachine, kS3, "Cookies", "C:\\WINDOWS\\Cookies");
    }

    test::TempMachine machine;
    ScriptVariables variables;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scoped;
    platform::Registry registry;
    std::map<std::string, std::string> driveMap{{"C:", "F:"}};
    PcEnvironment env{variables, defaultEnvironmentAccess()};
};

TEST_F(PcEnvironmentTest, XpDestinationGetsEveryPathVariable)
{
    xpDestination();
    ASSERT_TRUE(env.Destination_Value_Initialize());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(DestinationOs, "winxp");
    EXPECT_EQ(LocalPcName, "DESTPC");
    EXPECT_EQ(var("$st_destination_os"), "winxp");
    EXPECT_EQ(var("$st_destination_win_path"), "C:\\\\WINDOWS\\\\");
    EXPECT_EQ(var("$st_destination_sys_path"), "C:\\\\WINDOWS\\\\System32\\\\");
    EXPECT_EQ(var("$st_destination_win_dir"), "C:\\WINDOWS");
    EXPECT_EQ(var("$st_destination_system_dir"), "C:\\WINDOWS\\System32");
    EXPECT_EQ(var("$st_destination_common_dir"), "C:\\Program Files\\Common Files");
    EXPECT_EQ(var("$st_destination_program_file"), "C:\\Program Files");
    EXPECT_EQ(
        var("$st_destination_program_group"), "C:\\Documents and Settings\\alice\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_destination_alluser"), "C:\\Documents and Settings\\All Users\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_destination_curr_user_settings"), "C:\\Documents and Settings\\alice");
    EXPECT_EQ(var("$st_destination_curr_user_app_data"),
        "C:\\\\Documents and Settings\\\\alice\\\\Application Data");
    EXPECT_EQ(var("$st_destination_alluser_settings"), "C:\\Documents and Settings\\All Users");
}

TEST_F(PcEnvironmentTest, Win2000DestinationUsesTheNtKeys)
{
    xpDestination("Microsoft Windows 2000");
    put(RegRoot::LocalMachine, kD2, "SystemRoot", "C:\\WINNT");
    ASSERT_TRUE(env.Destination_Value_Initialize());
    EXPECT_EQ(var("$st_destination_os"), "win2k");
    EXPECT_EQ(var("$st_destination_system_dir"), "C:\\WINNT\\System32");
}

TEST_F(PcEnvironmentTest, Win98DestinationReadsTheMachineWideProgramsAndNoAllUsers)
{
    win98Destination("MICROSOFT WINDOWS 98"); // compared without regard to case
    ASSERT_TRUE(env.Destination_Value_Initialize());
    EXPECT_EQ(DestinationOs, "win98");
    EXPECT_EQ(var("$st_destination_sys_path"), "C:\\\\WINDOWS\\\\System\\\\");
    EXPECT_EQ(var("$st_destination_system_dir"), "C:\\WINDOWS\\system");
    EXPECT_EQ(var("$st_destination_program_group"), "C:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_destination_alluser"), "<unset>");
    EXPECT_EQ(var("$st_destination_alluser_settings"), "");
    EXPECT_EQ(var("$st_destination_curr_user_settings"), "C:\\WINDOWS");
    EXPECT_EQ(var("$st_destination_curr_user_app_data"), "C:\\\\WINDOWS\\\\Application Data");
}

TEST_F(PcEnvironmentTest, UnsupportedNineXDestinationIsRefusedWithTheMessage)
{
    win98Destination("Microsoft Windows ME");
    EXPECT_FALSE(env.Destination_Value_Initialize());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Kestro will not support this operating system");
    EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::Critical);
    EXPECT_EQ(var("$st_destination_os"), "<unset>");
    EXPECT_EQ(var("$st_destination_win_dir"), "<unset>");
    EXPECT_EQ(DestinationOs, "");
}

TEST_F(PcEnvironmentTest, UnknownNtDestinationIsRefusedInsteadOfAcceptedWithoutPaths)
{
    xpDestination("Microsoft Windows Server 2003");
    EXPECT_FALSE(env.Destination_Value_Initialize());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kUnsupportedOsMessage);
    EXPECT_EQ(var("$st_destination_win_path"), "<unset>");
}

TEST_F(PcEnvironmentTest, EmptyRegistryIsAnUnsupportedSystem)
{
    EXPECT_FALSE(env.Destination_Value_Initialize());
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(PcEnvironmentTest, MissingWindowsFolderFailsWithoutAMessage)
{
    put(RegRoot::LocalMachine, kD2, "ProductName", "Microsoft Windows XP");
    EXPECT_FALSE(env.Destination_Value_Initialize());
    EXPECT_TRUE(messages.shown().empty());
    // The always-set forms are written even from an empty value.
    EXPECT_EQ(var("$st_destination_win_path"), "\\\\");
    EXPECT_EQ(var("$st_destination_curr_user_app_data"), "");
}

TEST_F(PcEnvironmentTest, ProfileOnAnotherDriveTakesTheWindowsDriveLetterOnly)
{
    xpDestination();
    put(RegRoot::CurrentUser, kD3, "Cookies", "D:\\Profiles\\DDavid\\Cookies");
    ASSERT_TRUE(env.Destination_Value_Initialize());
    EXPECT_EQ(var("$st_destination_curr_user_app_data"), "C:\\\\Profiles\\\\DDavid\\\\Application Data");
}

TEST_F(PcEnvironmentTest, WorkingFoldersAreEmptiedEveryRun)
{
    xpDestination();
    machine.writeHost(machine.appFile("Temp/old.bat"), "x");
    machine.writeHost(machine.appFile("tempreg/old.reg"), "x");
    ASSERT_TRUE(env.Destination_Value_Initialize());
    EXPECT_TRUE(std::filesystem::is_directory(machine.appFile("Temp")));
    EXPECT_TRUE(std::filesystem::is_directory(machine.appFile("tempreg")));
    EXPECT_FALSE(std::filesystem::exists(machine.appFile("Temp/old.bat")));
    EXPECT_FALSE(std::filesystem::exists(machine.appFile("tempreg/old.reg")));
}

TEST_F(PcEnvironmentTest, Win95SourceMapsFoldersAndKeepsOwnDriveInDoubledForms)
{
    nineXSource();
    ASSERT_TRUE(env.Source_Win95_Paths());
    EXPECT_EQ(var("$st_source_win_dir"), "F:\\WINDOWS");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\System");
    EXPECT_EQ(var("$st_source_win_path"), "C:\\\\WINDOWS\\\\");
    EXPECT_EQ(var("$st_source_sys_path"), "C:\\\\WINDOWS\\\\System\\\\");
    EXPECT_EQ(var("$st_source_common_dir"), "F:\\Program Files\\Common Files");
    EXPECT_EQ(var("$st_source_program_file"), "F:\\Program Files");
    EXPECT_EQ(var("$st_source_program_group"), "F:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_source_alluser"), "<unset>");
    EXPECT_EQ(var("$st_source_curr_user_set_double_slash"), "C:\\\\WINDOWS");
    EXPECT_EQ(var("$st_source_curr_user_settings"), "F:\\WINDOWS");
}

TEST_F(PcEnvironmentTest, Win98AndMeSourcesUseTheLowerCaseSystemFolder)
{
    nineXSource();
    ASSERT_TRUE(env.sourcePaths("win98"));
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\system");
    ASSERT_TRUE(env.sourcePaths("winme"));
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\system");
    EXPECT_EQ(var("$st_source_sys_path"), "C:\\\\WINDOWS\\\\System\\\\");
}

TEST_F(PcEnvironmentTest, NtSourcesDeriveAllUsersAndProfile)
{
    for (const char* os : {"win2k", "winxp"}) {
        SCOPED_TRACE(os);
        ntSource();
        ASSERT_TRUE(env.sourcePaths(os));
        EXPECT_EQ(var("$st_source_win_dir"), "F:\\WINNT");
        EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINNT\\System32");
        EXPECT_EQ(var("$st_source_sys_path"), "C:\\\\WINNT\\\\System32\\\\");
        EXPECT_EQ(var("$st_source_program_file"), "D:\\Programs"); // D: is not connected
        EXPECT_EQ(var("$st_source_alluser"), "F:\\Documents and Settings\\All Users\\Start Menu\\Programs");
        EXPECT_EQ(var("$st_source_curr_user_set_double_slash"), "C:\\\\Documents and Settings\\\\user1");
        EXPECT_EQ(var("$st_source_curr_user_settings"), "F:\\Documents and Settings\\user1");
    }
}

TEST_F(PcEnvironmentTest, UserNamedLikeAFolderKeepsThatFolder)
{
    ntSource();
    put(RegRoot::LocalMachine, kS3, "Programs", "C:\\Documents and Settings\\Start\\Start Menu\\Programs");
    ASSERT_TRUE(env.Source_WinXP_Paths());
    EXPECT_EQ(var("$st_source_alluser"), "F:\\Documents and Settings\\All Users\\Start Menu\\Programs");
}

TEST_F(PcEnvironmentTest, MissingSourceValuesKeepEarlierVariables)
{
    variables.Set_System_Variable_Value("$st_source_win_dir", "earlier");
    EXPECT_FALSE(env.sourcePaths("os2"));
    ASSERT_TRUE(env.Source_Win2K_Paths());
    EXPECT_EQ(var("$st_source_win_dir"), "earlier");
    EXPECT_EQ(var("$st_source_win_path"), "\\\\");
    EXPECT_EQ(var("$st_source_sys_path"), "\\\\System32\\\\");
}

TEST(EnvironmentTextTest, HelpersDoubleRemoveAndReplace)
{
    EXPECT_EQ(coretext::doubleBackslashes("C:\\A\\b"), "C:\\\\A\\\\b");
    EXPECT_EQ(coretext::doubleBackslashes("plain"), "plain");
    EXPECT_EQ(coretext::doubleBackslashes(""), "");
    EXPECT_EQ(
        coretext::removeAll("C:\\X\\START MENU\\PROGRAMS", "\\Start Menu\\Programs", CaseMode::IgnoreCase),
        "C:\\X");
    EXPECT_EQ(coretext::removeAll("C:\\x\\cookies", "\\Cookies"), "C:\\x\\cookies");
    EXPECT_EQ(text::allUsersOf("C:\\Documents and Settings\\bob"), "C:\\Documents and Settings\\bob");
    EXPECT_EQ(text::allUsersOf("C:\\short\\x"), "C:\\short\\x");
    EXPECT_EQ(PcEnvironment::Strip_Null(std::string("NAME\0junk", 9)), "NAME");
    EXPECT_EQ(PcEnvironment::Strip_Null("NAME"), "NAME");
}

TEST(GetLocalComputerNameTest, FailedReadGivesZero)
{
    CoreFiles& files = machineFiles();
    ScriptVariables vars(files, nullptr);
    EnvironmentAccess access;
    access.computerName = [] { return std::optional<std::string>(); };
    EXPECT_EQ(PcEnvironment(vars, access).Get_Local_Computer_Name(), "0");
}

} // namespace
} // namespace wizard
