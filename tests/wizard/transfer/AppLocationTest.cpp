// AppLocationTest.cpp: the install folder of an application without a script of its own (uninstall
// entry, uninstall commands, App Paths, drive map), and the copies of its desktop item, program
// group and installer cache folder, on a Windows 98 source mapped to Z:.
#include "wizard/transfer/AppLocation.h"

#include "platform/ProcessRunner.h"
#include "platform/ShellLink.h"
#include "tests/wizard/transfer/TransferWorld.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::ModOtherApplications;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

namespace {

constexpr const char* kEntry =
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
    "Uninstall\\Zipper";

class AppLocationTest : public ::testing::Test {
protected:
    AppLocationTest()
        : regedit(world.fileSystem())
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&regedit);
        world.variables["$st_source_win_dir"] = "Z:\\WINDOWS";
        world.variables["$st_source_curr_user_settings"] = "Z:\\WINDOWS";
        world.variables["$st_source_program_group"] = "Z:\\WINDOWS\\Start Menu\\Programs";
        world.variables["$st_destination_alluser_settings"] = "C:\\Documents and Settings\\All Users";
        world.variables["$st_destination_alluser"] =
            "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
    }
    ~AppLocationTest() override { common::Service<platform::ProcessLauncher>::replace(m_previous); }

    void setValue(const std::string& key, const std::string& name, const std::string& value)
    {
        platform::RegKey k;
        world.registry().createKey(platform::RegKey(platform::RegRoot::LocalMachine), key, k);
        world.registry().setString(k, name, value);
    }
    void putShortcut(const std::string& relative, const std::string& target)
    {
        platform::ShellLinkData link;
        link.targetPath = target;
        world.putOld(relative, platform::encodeShellLink(link));
    }

    TransferWorld world;
    transfertest::InProcessRegedit regedit;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

TEST_F(AppLocationTest, UninstallCommandsNameTheFolderByTheirUninstaller)
{
    EXPECT_EQ(folderOfUninstallCommand("C:\\WINDOWS\\IsUninst.exe -f\"C:\\Program Files\\App\\Uninst.isu\""),
        "C:\\Program Files\\App");
    EXPECT_EQ(folderOfUninstallCommand("C:\\WINDOWS\\IsUninst.exe -fC:\\Program Files\\App\\Uninst.isu"),
        "C:\\Program Files\\App");
    EXPECT_EQ(folderOfUninstallCommand("C:\\WINDOWS\\unvise32.exe C:\\Program Files\\App\\install.log"),
        "C:\\Program Files\\App");
    EXPECT_EQ(folderOfUninstallCommand("C:\\WINDOWS\\unvise32qt.exe C:\\Program Files\\App\\install.log"),
        "C:\\Program Files\\App\\")
        << "this uninstaller's folder keeps its backslash";
    EXPECT_EQ(folderOfUninstallCommand("C:\\WINDOWS\\ST6UNST.EXE -n \"C:\\Program Files\\App\\ST6UNST.LOG\""),
        "C:\\Program Files\\App");
    EXPECT_EQ(
        folderOfUninstallCommand("C:\\Program Files\\App\\setup.exe /uninstall"), "C:\\Program Files\\App");
    EXPECT_EQ(folderOfUninstallCommand("C:\\Apps\\Tool\\Setup.exe -u"), "c:\\apps\\tool")
        << "the -u form reads the command in lower case";
    EXPECT_EQ(folderOfUninstallCommand("C:\\Program Files\\App\\remove.exe /q"), "C:\\Program Files\\App");
    EXPECT_EQ(folderOfUninstallCommand("remove"), "remove");
}

TEST_F(AppLocationTest, TheEntryIsReadInItsOrderOfValues)
{
    setValue(kEntry, "DisplayIcon", "C:\\Program Files\\App\\app.exe,0");
    setValue(kEntry, "UninstallString", "C:\\WINDOWS\\unvise32.exe C:\\Other\\install.log");
    EXPECT_EQ(FindInstallLocation(kEntry), "C:\\Program Files\\App");

    setValue(kEntry, "InstallLocation", "C:\\Program Files\\Zipper\\");
    EXPECT_EQ(FindInstallLocation(kEntry), "C:\\Program Files\\Zipper\\") << "as stored";

    EXPECT_EQ(FindInstallLocation(std::string(kEntry) + "Gone"), "");
    EXPECT_TRUE(world.logged("GenricApplnPath", "No install location"));
}

TEST_F(AppLocationTest, TheInstallerCacheFolderOfTheEntryIsCopiedAlong)
{
    const std::string cache = "Program Files/InstallShield Installation Information/{1234-ABCD}";
    world.putOld(cache + "/setup.ini", "[Startup]");
    setValue(kEntry, "InstallLocation", "C:\\Program Files\\Zipper");
    setValue(kEntry, "UninstallString",
        "RunDll32 C:\\PROGRA~1\\COMMON~1\\INSTAL~1\\engine\\6\\Ctor.dll,LaunchSetup \"C:\\Program Files\\"
        "InstallShield Installation Information\\{1234-ABCD}\\setup.exe\" -l0x9");
    EXPECT_EQ(FindInstallLocation(kEntry), "C:\\Program Files\\Zipper");
    EXPECT_EQ(world.readNew(cache + "/setup.ini"), "[Startup]");

    // A command that names no product-code folder copies nothing (never a whole drive).
    setValue(kEntry, "UninstallString", "\"C:\\setup.exe\"");
    CopyInstallShieldFolder(kEntry);
    EXPECT_FALSE(fs::exists(world.hostNew("setup.exe")));
}

TEST_F(AppLocationTest, PathsAreMappedMadeLongAndCutAtTheApplicationsFolder)
{
    world.putOld("Program Files/Zipper/bin/zipper.exe", "MZ");
    EXPECT_EQ(ConvertPath(" C:\\PROGRA~1\\Zipper "), "Z:\\Program Files\\Zipper");
    EXPECT_EQ(ConvertPath("D:\\Data"), "");
    EXPECT_TRUE(world.logged("ConvertPath", "Drive not mapped : D:\\Data"));

    EXPECT_EQ(GetInstallPath("C:\\Program Files\\Adobe\\Acrobat 5.0\\Reader\\AcroRd32.exe", "Acrobat"),
        "C:\\Program Files\\Adobe\\Acrobat 5.0");
    EXPECT_EQ(GetInstallPath("C:\\Program Files\\Zipper\\bin", "Zipper"), "C:\\Program Files\\Zipper");
    EXPECT_EQ(GetInstallPath("C:\\Program Files\\zipper\\bin", "Zipper"), "C:\\Program Files\\zipper\\bin")
        << "the name's case counts";
    EXPECT_EQ(GetInstallPath("Zipper", "Zipper"), "Zipper");
}

TEST_F(AppLocationTest, AppPathsGiveTheFolderOfTheFirstProgramNamedInTheApplication)
{
    EXPECT_EQ(FindAppPaths("Zipper"), "");
    EXPECT_TRUE(world.logged("FindAppPaths", "Key not found"));

    const std::string appPaths =
        "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    setValue(appPaths + ".exe", "", "C:\\WINDOWS\\nothing.exe");
    setValue(appPaths + "notepad.exe", "", "C:\\WINDOWS\\notepad.exe");
    setValue(appPaths + "ZIPPER.EXE", "", "C:\\Program Files\\Zipper\\zipper.exe");
    EXPECT_EQ(FindAppPaths("Zipper Pro"), "C:\\Program Files\\Zipper")
        << "a key without a program name is skipped";
    EXPECT_EQ(FindAppPaths("Viewer"), "");
}

TEST_F(AppLocationTest, TheDesktopItemIsCopiedUnlessItsTargetIsGone)
{
    world.putOld("Program Files/Zipper/zipper.exe", "MZ");
    putShortcut("WINDOWS/Desktop/Zipper.lnk", "C:\\Program Files\\Zipper\\zipper.exe");
    putShortcut("WINDOWS/Desktop/Old Viewer.lnk", "C:\\Program Files\\Viewer\\viewer.exe");
    const std::string desktop = "Documents and Settings/All Users/Desktop/";

    EXPECT_TRUE(CreateShortCut(""));
    EXPECT_FALSE(fs::exists(world.hostNew(desktop))) << "an empty name names no application";

    EXPECT_TRUE(CreateShortCut("Zipper"));
    EXPECT_EQ(world.readNew(desktop + "Zipper.lnk"), world.readOld("WINDOWS/Desktop/Zipper.lnk"));

    EXPECT_TRUE(CreateShortCut("Old Viewer"));
    EXPECT_FALSE(fs::exists(world.hostNew(desktop + "Old Viewer.lnk")));
    EXPECT_TRUE(world.logged("CreateShortCut", "Target not found"));
}

TEST_F(AppLocationTest, TheProgramGroupGoesToTheSharedGroupOrTheUsersOnWindows98)
{
    world.putOld("WINDOWS/Start Menu/Programs/Accessories/Calc.lnk", "c");
    world.putOld("WINDOWS/Start Menu/Programs/Zipper/Zipper.lnk", "z");
    EXPECT_TRUE(CopyProgramGroup("Zipper"));
    EXPECT_EQ(world.readNew("Documents and Settings/All Users/Start Menu/Programs/Zipper/Zipper.lnk"), "z");
    EXPECT_FALSE(
        fs::exists(world.hostNew("Documents and Settings/All Users/Start Menu/Programs/Accessories")));
    EXPECT_FALSE(CopyProgramGroup("Viewer"));

    world.variables.erase("$st_destination_alluser");
    world.variables["$st_destination_program_group"] = "C:\\WINDOWS\\Start Menu\\Programs";
    EXPECT_TRUE(CopyProgramGroup("Zipper"));
    EXPECT_EQ(world.readNew("WINDOWS/Start Menu/Programs/Zipper/Zipper.lnk"), "z");
}

} // namespace
