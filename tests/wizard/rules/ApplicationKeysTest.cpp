// ApplicationKeysTest.cpp: an application without a script of its own, moved from a Windows 98
// source mapped to Z: onto the destination: its keys found in the mirror by its name, its folder
// found through its uninstall entry and copied under the version rule, its uninstall entry
// re-created; the refusals of system folders and of names too short to name anything.
#include "wizard/rules/ItemRules.h"

#include "platform/FileVersion.h"
#include "tests/wizard/rules/ItemRulesWorld.h"
#include "wizard/rules/MigrationRun.h"
#include "wizard/selection/SourceApplications.h"
#include "wizard/transfer/TransferOutcome.h"

#include <gtest/gtest.h>

using namespace wizard;
using platform::RegRoot;
namespace fs = std::filesystem;

namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr const char* kMirrorLm = "HKEY_LOCAL_MACHINE\\Software\\";

class ApplicationKeysTest : public itemtest::ItemRulesWorld {
protected:
    ApplicationKeysTest()
    {
        world.variables["$st_source_win_dir"] = "Z:\\WINDOWS";
        world.variables["$st_source_common_dir"] = "Z:\\Program Files\\Common Files";
        world.variables["$st_source_program_file"] = "Z:\\Program Files";
        ApplicationList().assign(1, clsApplicationInfo());
    }
    ~ApplicationKeysTest() override
    {
        ApplicationList().clear();
        migrationRunState() = MigrationRunState{};
    }

    void migrating(const std::string& name) { migrationRunState().currentItemName = name; }
    // An application of the source's uninstall list with one value of its entry.
    void installed(const std::string& name, const std::string& valueName, const std::string& value)
    {
        const std::string key = std::string("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\") + kUninstall + name;
        setLocal(key, "DisplayName", name);
        setLocal(key, valueName, value);
        clsApplicationInfo info;
        info.putApplnName(name);
        info.putApplnKey(key);
        ApplicationList().push_back(info);
    }
    std::vector<std::string> found(const std::string& name)
    {
        std::vector<std::string> out;
        for (const std::string& key : applicationKeysOf(name))
            out.push_back(key.substr(std::string("SOFTWARE\\QZ\\").size()));
        return out;
    }
};

TEST_F(ApplicationKeysTest, TheWalkSearchesEarlierSubtreesAndStopsAtTheApplicationsKey)
{
    setMirror(std::string(kMirrorLm) + "Alpha\\Tools", "A", "1");
    setMirror(std::string(kMirrorLm) + "Classes\\Zipper.Archive", "", "Zip archive");
    setMirror(std::string(kMirrorLm) + "Classes\\.zpr", "", "Zipper.Archive");
    setMirror(std::string(kMirrorLm) + "Zipper\\Settings", "Level", "9");
    setMirror(std::string(kMirrorLm) + "Zulu\\Zipper", "Z", "1");
    setMirror(std::string(kMirrorLm) + "zipperlow", "Z", "1");

    EXPECT_EQ(found("Zipper"),
        (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Classes\\Zipper.Archive",
            "HKEY_LOCAL_MACHINE\\Software\\Zipper"}));
    EXPECT_TRUE(world.logged("Identify_Keys", "Key not Found SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software"));

    migrating("Zipper");
    EXPECT_TRUE(Identify_Keys());
    EXPECT_EQ(valueOf(RegRoot::LocalMachine, "Software\\Zipper\\Settings", "Level"), "9");
    EXPECT_EQ(valueOf(RegRoot::LocalMachine, "Software\\Classes\\Zipper.Archive", ""), "Zip archive");
    EXPECT_FALSE(keyExists(RegRoot::LocalMachine, "Software\\Zulu"))
        << "keys after the match are not visited";
    EXPECT_FALSE(keyExists(RegRoot::LocalMachine, "Software\\Classes\\.zpr"));
    EXPECT_TRUE(world.logged("Identify_Keys", "End"));
}

TEST_F(ApplicationKeysTest, AVendorsKeyIsSearchedForTheProductRatherThanTakenWhole)
{
    setMirror(std::string(kMirrorLm) + "Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
        "C:\\Program Files");
    setMirror(std::string(kMirrorLm) + "Microsoft\\Works\\Settings", "Font", "Arial");
    setMirror("HKEY_CURRENT_USER\\Software\\Zipper\\Options", "Beep", "0");

    EXPECT_EQ(found("Microsoft Works"),
        (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Works"}));
    EXPECT_EQ(found("Microsoft Plus"), std::vector<std::string>{})
        << "the shared Microsoft key is never whole";
    EXPECT_EQ(found("Zipper 2.0"), (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Zipper"}))
        << "a vendor key with nothing more precise inside is the application's";

    migrating("Microsoft Works");
    EXPECT_TRUE(Identify_Keys());
    EXPECT_EQ(valueOf(RegRoot::LocalMachine, "Software\\Microsoft\\Works\\Settings", "Font"), "Arial");
    EXPECT_FALSE(keyExists(RegRoot::LocalMachine, "Software\\Microsoft\\Windows"));
}

TEST_F(ApplicationKeysTest, AWordOfTheNameNamesTheApplicationOnlyBelowItsVendor)
{
    setMirror("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Personal", "C:\\My Documents");
    setMirror("HKEY_CURRENT_USER\\Software\\Night Sky\\Chart", "Zoom", "4");
    setMirror(std::string(kMirrorLm) + "Adobe\\Acrobat\\5.0", "Path", "C:\\Acrobat");
    EXPECT_EQ(found("Star Chart Explorer 1.4"), std::vector<std::string>{})
        << "neither Explorer nor a vendor's Chart names this application";
    EXPECT_EQ(found("Adobe Acrobat 5.0"),
        (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Adobe\\Acrobat"}));
    EXPECT_TRUE(keyMatchesApplication("WinZip", "WinZip 9.0", "Nico Mak Computing"))
        << "the name begins with it";
    EXPECT_FALSE(keyMatchesApplication("Windows", "Windows Media Player", "Microsoft"));
}

TEST_F(ApplicationKeysTest, AnEmptyOrTwoLetterNameMatchesNothing)
{
    setMirror(std::string(kMirrorLm) + "Alpha", "A", "1");
    setMirror(std::string(kMirrorLm) + "Go Tools", "G", "1");
    for (const char* name : {"", "  ", "Go"}) {
        migrating(name);
        world.log.clear();
        EXPECT_TRUE(Identify_Keys());
        EXPECT_TRUE(world.logged("Identify_Keys", "No Keys Found")) << '"' << name << '"';
    }
    EXPECT_FALSE(keyExists(RegRoot::LocalMachine, "Software\\Alpha"));
    EXPECT_FALSE(keyExists(RegRoot::LocalMachine, "Software\\Go Tools"));
}

TEST_F(ApplicationKeysTest, TheFolderIsCopiedUnderTheVersionRuleAndTheEntryRecreated)
{
    installed("Zipper", "DisplayIcon", "C:\\Program Files\\Zipper\\bin\\zipper.exe,0");
    world.putOld("Program Files/Zipper/bin/zipper.exe", "MZ zipper");
    world.putOld("Program Files/Zipper/zipcore.dll", platform::buildVersionedPe(1, 0, 0, 0));
    world.putNew("Program Files/Zipper/zipcore.dll", platform::buildVersionedPe(2, 0, 0, 0));
    world.putOld("Program Files/Other/other.exe", "MZ other");

    migrating("Zipper");
    EXPECT_TRUE(Identify_Application_Path());
    EXPECT_EQ(world.readNew("Program Files/Zipper/bin/zipper.exe"), "MZ zipper");
    EXPECT_EQ(world.readNew("Program Files/Zipper/zipcore.dll"), platform::buildVersionedPe(2, 0, 0, 0))
        << "the destination's newer file stays";
    EXPECT_FALSE(fs::exists(world.hostNew("Program Files/Other")));
    EXPECT_EQ(valueOf(RegRoot::LocalMachine, std::string(kUninstall) + "Zipper", "DisplayName"), "Zipper");
    EXPECT_TRUE(world.logged("Identify_Application_Path : Zipper", "C:\\Program Files\\Zipper"));
}

TEST_F(ApplicationKeysTest, SystemFoldersTakeTheAppPathsRouteAndAreNeverCopied)
{
    installed("Zipper", "DisplayIcon", "C:\\WINDOWS\\SYSTEM\\zipsvc.dll,0");
    installed("Rooted", "InstallLocation", "C:\\");
    world.putOld("WINDOWS/SYSTEM/zipsvc.dll", "svc");
    world.putOld("Program Files/Zipper/zipper.exe", "MZ zipper");

    migrating("Rooted");
    EXPECT_FALSE(Identify_Application_Path());
    EXPECT_TRUE(world.logged("Identify_Application_Path : Rooted", "Refused : C:\\ : a drive root"));

    migrating("Zipper");
    EXPECT_FALSE(Identify_Application_Path()) << "no App Paths entry names another folder";
    EXPECT_FALSE(fs::exists(world.hostNew("WINDOWS/SYSTEM/zipsvc.dll")));

    setMirror("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zipper.exe", "",
        "C:\\Program Files\\Zipper\\zipper.exe");
    EXPECT_TRUE(Identify_Application_Path());
    EXPECT_EQ(world.readNew("Program Files/Zipper/zipper.exe"), "MZ zipper");
    EXPECT_FALSE(fs::exists(world.hostNew("WINDOWS/SYSTEM/zipsvc.dll")));
}

TEST_F(ApplicationKeysTest, AnEntryPointingAtAMissingFolderCopiesAndRecreatesNothing)
{
    installed("Ghost", "InstallLocation", "C:\\Program Files\\Ghost");
    installed("Runner", "UninstallString", "rundll32.exe setupapi,InstallHinfSection");
    migrating("Ghost");
    EXPECT_TRUE(Identify_Application_Path());
    EXPECT_TRUE(world.logged(
        "Identify_Application_Path : Ghost", "Application folder not found : Z:\\Program Files\\Ghost"));
    EXPECT_FALSE(keyExists(RegRoot::LocalMachine, std::string(kUninstall) + "Ghost"));

    migrating("Runner");
    EXPECT_FALSE(Identify_Application_Path()) << "a rundll32 command names no folder, App Paths has none";
    migrating("Unlisted");
    EXPECT_FALSE(Identify_Application_Path());
}

TEST_F(ApplicationKeysTest, ShortcutAndGroupOperationsWriteTheBusyWindowOnlyWhileItIsShown)
{
    world.variables["$st_source_program_group"] = "Z:\\WINDOWS\\Start Menu\\Programs";
    world.variables["$st_destination_alluser"] =
        "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
    world.putOld("WINDOWS/Start Menu/Programs/Zipper/Zipper.lnk", "z");
    migrating("Zipper");
    wizardWindows().setBusyDetails("");
    EXPECT_TRUE(ApplnCopyProgramGroup());
    EXPECT_EQ(wizardWindows().busyDetails(), "");
    EXPECT_EQ(world.readNew("Documents and Settings/All Users/Start Menu/Programs/Zipper/Zipper.lnk"), "z");

    migrationRunState().progressShown = true;
    EXPECT_TRUE(ApplnCreateShortCut());
    EXPECT_EQ(wizardWindows().busyDetails(), "Creating Desktop Links...   ");
}

// A group entry whose name Windows cannot hold is left out and named; the rest of the group
// arrives and the item does not fail for it.
TEST_F(ApplicationKeysTest, AGroupEntryWindowsCannotNameIsLeftOutAndNamed)
{
    world.variables["$st_source_program_group"] = "Z:\\WINDOWS\\Start Menu\\Programs";
    world.variables["$st_destination_alluser"] =
        "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
    world.putOld("WINDOWS/Start Menu/Programs/Zipper/Zipper.lnk", "z");
    world.putOld("WINDOWS/Start Menu/Programs/Zipper/Help?.lnk", "h");
    migrating("Zipper");
    transfer::ItemTally tally;
    {
        transfer::ItemTallyScope scope(tally);
        EXPECT_TRUE(ApplnCopyProgramGroup());
    }
    EXPECT_NE(tally.verdict(), transfer::TransferOutcome::Failed) << tally.failedStep();
    // Named by the source's own path, not the letter it is mapped to for the run.
    EXPECT_EQ(
        tally.passedOver().rfind("Not copied : C:\\WINDOWS\\Start Menu\\Programs\\Zipper\\Help?.lnk : ", 0),
        0u)
        << tally.passedOver();
    EXPECT_EQ(world.readNew("Documents and Settings/All Users/Start Menu/Programs/Zipper/Zipper.lnk"), "z");
}

} // namespace
