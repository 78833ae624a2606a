// RegistryActionsTest.cpp: text replacement in files, renames, registry merges, mirrored imports
// through the registry editor, exports and the application folder fetch.
#include "wizard/transfer/RegistryActions.h"

#include "platform/ProcessRunner.h"
#include "tests/support/platform/RecordingProcessLauncher.h"
#include "tests/wizard/transfer/TransferWorld.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::Action_Function;
using transfer::TransferOutcome;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

class RegistryActionsTest : public ::testing::Test {
protected:
    RegistryActionsTest()
        : regedit(world.fileSystem())
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&regedit);
    }
    // Replaces the registry editor by a recorder for the tests that must not run it.
    void recordEditor() { common::Service<platform::ProcessLauncher>::replace(&launcher); }
    ~RegistryActionsTest() override { common::Service<platform::ProcessLauncher>::replace(m_previous); }

    platform::RegKey mirrorKey(const std::string& path)
    {
        platform::RegKey k;
        world.registry().createKey(
            platform::RegKey(platform::RegRoot::LocalMachine), "SOFTWARE\\QZ\\" + path, k);
        return k;
    }

    // Marks a file of the running machine read-only, as the file's owner would.
    void makeReadOnly(const std::string& path)
    {
        platform::FileSystem fsys = world.fileSystem();
        ASSERT_EQ(fsys.setAttributes(path, platform::attr::ReadOnly), platform::FsError::None) << path;
    }

    TransferWorld world;
    transfertest::InProcessRegedit regedit;
    testsupport::RecordingProcessLauncher launcher;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

TEST_F(RegistryActionsTest, ReplaceIgnoresCaseAndAppendsALineBreakEachTime)
{
    world.putNew("t.reg", "Path=C:\\\\WINDOWS\\\\x");
    EXPECT_TRUE(Action_Replace("C:\\t.reg", "c:\\\\windows", "D:\\\\WINNT"));
    EXPECT_EQ(world.readNew("t.reg"), "Path=D:\\\\WINNT\\\\x\r\n");
    EXPECT_TRUE(Action_Replace("C:\\t.reg", "x", "y"));
    EXPECT_EQ(world.readNew("t.reg"), "Path=D:\\\\WINNT\\\\y\r\n\r\n");
    EXPECT_EQ(wizardWindows().statusText(), "Process completed x!");
    EXPECT_TRUE(world.logged("Action_Replace", "End"));
}

TEST_F(RegistryActionsTest, TheStatusLineShowsASearchedPathPlain)
{
    // Paths are searched as registry files write them; the status line shows them as paths.
    world.putNew("t.reg", "x");
    const std::pair<std::string, std::string> cases[] = {{"C:\\\\WINDOWS\\\\", "C:\\WINDOWS\\"},
        {"C?\\\\WINDOWS\\\\SYSTEM", "C:\\WINDOWS\\SYSTEM"}, {"[HKEY_CURRENT_USER", "[HKEY_CURRENT_USER"},
        {"Why?\\\\", "Why?\\"}};
    for (const auto& [search, shown] : cases) {
        EXPECT_TRUE(Action_Replace("C:\\t.reg", search, "y"));
        EXPECT_EQ(wizardWindows().statusText(), "Process completed " + shown + "!") << search;
    }
}

TEST_F(RegistryActionsTest, CaseSensitiveReplaceLeavesOtherCase)
{
    world.putNew("t.txt", "WINDOWS windows");
    EXPECT_TRUE(Replace_withOut_Case("C:\\t.txt", "windows", "winnt"));
    EXPECT_EQ(world.readNew("t.txt"), "WINDOWS winnt\r\n");
    EXPECT_EQ(wizardWindows().statusText(), "please wait getting remote PC information windows!");
}

TEST_F(RegistryActionsTest, ReplacementWithAnEmptySideLeavesTheFileAlone)
{
    world.putNew("t.reg", "\"A\"=\"C:\\\\WINDOWS\\\\\"");
    EXPECT_TRUE(Action_Replace("C:\\t.reg", "", "C:\\\\WINNT\\\\"));
    EXPECT_TRUE(Action_Replace("C:\\t.reg", "C:\\\\WINDOWS\\\\", ""));
    EXPECT_EQ(world.readNew("t.reg"), "\"A\"=\"C:\\\\WINDOWS\\\\\"");
    EXPECT_TRUE(world.logged("Action_Replace", "Not replaced (empty text)"));
}

TEST_F(RegistryActionsTest, ReplaceReportsALockedFile)
{
    world.putNew("t.reg", "abc");
    platform::FileSystem fsys = world.fileSystem();
    platform::FileLock lock = fsys.lockFile("C:\\t.reg");
    EXPECT_FALSE(Action_Replace("C:\\t.reg", "a", "b"));
    lock.release();
    EXPECT_EQ(world.readNew("t.reg"), "abc");
}

TEST_F(RegistryActionsTest, ReplacePassesOverAMissingFileAndFailsOnAReadOnlyOne)
{
    EXPECT_EQ(transfer::replaceWorker("C:\\none.reg", "a", "b"), TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Replace("C:\\none.reg", "a", "b"));
    EXPECT_TRUE(world.logged("Action_Replace", "Not found : C:\\none.reg"));
    EXPECT_TRUE(Replace_withOut_Case("C:\\none.txt", "a", "b"));
    EXPECT_TRUE(world.logged("Replace_withOut_Case", "Not found : C:\\none.txt"));
    EXPECT_FALSE(fs::exists(world.hostNew("none.reg")));

    world.putNew("fixed.reg", "abc");
    makeReadOnly("C:\\fixed.reg");
    EXPECT_EQ(transfer::replaceWorker("C:\\fixed.reg", "a", "b"), TransferOutcome::Failed);
    EXPECT_FALSE(Action_Replace("C:\\fixed.reg", "a", "b"));
    EXPECT_TRUE(world.logged("Action_Replace", "70:Permission denied : C:\\fixed.reg"));
    EXPECT_EQ(world.readNew("fixed.reg"), "abc");
    EXPECT_FALSE(fs::exists(world.hostNew("fixed.reg.new"))) << "the staged copy is removed";
}

TEST_F(RegistryActionsTest, RenameReportsMissingAndRefusedRenames)
{
    EXPECT_FALSE(Action_Rename("C:\\none.txt", "C:\\other.txt"));
    EXPECT_TRUE(world.logged("Action_Rename", "0:"));

    world.putNew("a.txt", "a");
    world.putNew("b.txt", "b");
    EXPECT_FALSE(Action_Rename("C:\\a.txt", "C:\\b.txt")) << "the new name is taken";
    EXPECT_EQ(world.readNew("b.txt"), "b");

    EXPECT_TRUE(Action_Rename("C:\\a.txt", "C:\\Sub\\..\\c.txt"));
    EXPECT_EQ(world.readNew("c.txt"), "a");
    EXPECT_FALSE(fs::exists(world.hostNew("a.txt")));
}

TEST_F(RegistryActionsTest, UpdateRegistryPassesOverAnEmptyOrMissingFile)
{
    recordEditor();
    world.putNew("empty.reg", "");
    EXPECT_TRUE(Action_Update_Registry("C:\\empty.reg"));
    EXPECT_EQ(transfer::mergeRegFileWorker("C:\\missing.reg"), TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Update_Registry("C:\\missing.reg"));
    EXPECT_TRUE(world.logged("Action_Update_Registry", "Not found : C:\\missing.reg"));
    EXPECT_TRUE(launcher.starts().empty());
}

TEST_F(RegistryActionsTest, UpdateRegistryShowsItsBusyTexts)
{
    recordEditor();
    wizardWindows().openBusyWindow();
    transferGlobals().progressCaption = "Screen Saver";
    world.putNew("ok.reg", "REGEDIT4\r\n");
    EXPECT_TRUE(Action_Update_Registry("C:\\ok.reg"));
    EXPECT_EQ(wizardWindows().busyCaption(), "Screen Saver");
    EXPECT_EQ(wizardWindows().busyDetails(), "Please wait.. Analyzing...");
    ASSERT_EQ(launcher.starts().size(), 1u);
    EXPECT_EQ(launcher.starts()[0].commandLine, "regedit.exe /s \"C:\\ok.reg\"");

    world.putNew("t.txt", "x");
    EXPECT_TRUE(Action_Replace("C:\\t.txt", "x", "y"));
    EXPECT_EQ(wizardWindows().busyDetails(), "Please wait.. Analyzing C:\\t.txt");
    wizardWindows().closeBusyWindow();
}

TEST_F(RegistryActionsTest, TheSourcesExportsMergeOnlyBelowTheMirror)
{
    world.putNew("Program Files/Kestro/tempreg/mirror/HKCU.reg",
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\A]\r\n[HKEY_CURRENT_USER\\Planted]"
        "\r\n");
    const std::string file =
        "c:\\program files\\kestro\\tempreg\\mirror\\HKCU.reg"; // as the script passes it
    EXPECT_EQ(transfer::mergeRegFileWorker(file), TransferOutcome::Failed);
    EXPECT_TRUE(world.logged("Action_Update_Registry", "Outside HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ : line 3"));
    platform::RegKey k;
    EXPECT_NE(world.registry().openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Planted", k),
        platform::WinError::Success);
    EXPECT_NE(world.registry().openKey(platform::RegKey(platform::RegRoot::LocalMachine), "SOFTWARE\\QZ", k),
        platform::WinError::Success)
        << "nothing of the file was merged";
}

TEST_F(RegistryActionsTest, UpdateRegistryReportsAFileTheEditorRejects)
{
    world.putNew("bad.reg", "this is no registry file\r\n[HKEY_CURRENT_USER\\Software\\Bad]\r\n");
    EXPECT_EQ(transfer::mergeRegFileWorker("C:\\bad.reg"), TransferOutcome::Failed);
    EXPECT_FALSE(Action_Update_Registry("C:\\bad.reg"));
    EXPECT_TRUE(world.logged("Action_Update_Registry", "75:C:\\bad.reg"));
    platform::RegKey k;
    EXPECT_NE(world.registry().openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Software\\Bad", k),
        platform::WinError::Success);
}

TEST_F(RegistryActionsTest, WholeKeyImportLandsAtTheRealPlaceWithRewrittenFolders)
{
    platform::Registry& r = world.registry();
    platform::RegKey app = mirrorKey("HKEY_CURRENT_USER\\Software\\Vendor\\App");
    r.setString(app, "Dll", "C:\\WINDOWS\\SYSTEM\\app.dll");
    r.setString(app, "Home", "C:\\WINDOWS\\App");
    r.setDword(app, "Runs", 7);
    platform::RegKey sub = mirrorKey("HKEY_CURRENT_USER\\Software\\Vendor\\App\\Sub");
    r.setString(sub, "Stored", "C?\\WINDOWS\\x");
    world.variables["$st_source_sys_path"] = "C:\\\\WINDOWS\\\\SYSTEM\\\\";
    world.variables["$st_destination_sys_path"] = "C:\\\\WINNT\\\\system32\\\\";
    world.variables["$st_source_win_path"] = "C:\\\\WINDOWS\\\\";
    world.variables["$st_destination_win_path"] = "C:\\\\WINNT\\\\";

    ASSERT_TRUE(
        Action_Import("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Vendor", "*.*"));

    platform::RegKey real;
    ASSERT_EQ(r.openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Software\\Vendor\\App", real),
        platform::WinError::Success);
    std::string text;
    r.queryString(real, "Dll", text);
    EXPECT_EQ(text, "C:\\WINNT\\system32\\app.dll");
    r.queryString(real, "Home", text);
    EXPECT_EQ(text, "C:\\WINNT\\App");
    std::uint32_t runs = 0;
    EXPECT_EQ(r.queryDword(real, "Runs", runs), platform::WinError::Success);
    EXPECT_EQ(runs, 7u);
    platform::RegKey realSub;
    ASSERT_EQ(r.openKey(real, "Sub", realSub), platform::WinError::Success);
    r.queryString(realSub, "Stored", text);
    EXPECT_EQ(text, "C?\\WINNT\\x");
    EXPECT_FALSE(fs::exists(world.hostNew("QZImpTemp"))) << "the working folder is removed";
    EXPECT_TRUE(world.logged("Action_Import", "End"));
}

TEST_F(RegistryActionsTest, ImportOfAKeyWhoseNameBreaksTheExportReachesNoOtherKey)
{
    // A key name with a line break: its export holds a section of another root.
    platform::RegKey k = mirrorKey("HKEY_CURRENT_USER\\Software\\Vendor\\x]\r\n[HKEY_LOCAL_MACHINE\\Planted");
    world.registry().setString(k, "Run", "evil.exe");
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Vendor";
    EXPECT_EQ(transfer::importWorker(key, "*.*"), TransferOutcome::Failed);
    EXPECT_TRUE(world.logged("Action_Import", "Outside HKEY_CURRENT_USER\\Software\\Vendor : line "));
    platform::RegKey planted;
    EXPECT_NE(world.registry().openKey(platform::RegKey(platform::RegRoot::LocalMachine), "Planted", planted),
        platform::WinError::Success);
    EXPECT_NE(world.registry().openKey(
                  platform::RegKey(platform::RegRoot::CurrentUser), "Software\\Vendor", planted),
        platform::WinError::Success)
        << "nothing of the file was merged";
}

TEST_F(RegistryActionsTest, ImportPassesOverAMissingKeyOrValue)
{
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Nothing";
    EXPECT_EQ(transfer::importWorker(key, "*.*"), TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Import(key, "*.*"));
    EXPECT_TRUE(world.logged("Action_Import", "Not found : " + key));
    EXPECT_FALSE(world.logged("Action_Import", "75:"));
    EXPECT_TRUE(regedit.commandLines.empty()) << "nothing to export";
    EXPECT_FALSE(fs::exists(world.hostNew("QZImpTemp")));

    mirrorKey("HKEY_CURRENT_USER\\Control Panel\\Desktop");
    const std::string desktop = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Control Panel\\Desktop";
    EXPECT_EQ(transfer::importWorker(desktop, "NoSuchValue"), TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Import(desktop, "NoSuchValue"));
    EXPECT_TRUE(world.logged("Action_Import", "Not found : " + desktop + " : NoSuchValue"));
}

TEST_F(RegistryActionsTest, ImportOfAnExistingKeyFailsWhenItsWorkFileCannotBeRewritten)
{
    platform::RegKey app = mirrorKey("HKEY_CURRENT_USER\\Software\\Vendor");
    world.registry().setString(app, "Home", "C:\\WINDOWS\\App");
    world.variables["$st_source_win_path"] = "C:\\\\WINDOWS\\\\";
    world.variables["$st_destination_win_path"] = "C:\\\\WINNT\\\\";
    // A read-only work file left behind by an earlier run: the folder cannot be emptied and the
    // rewritten export cannot take the file's place.
    world.putNew("QZImpTemp/Temp.reg", "REGEDIT4\r\n");
    makeReadOnly("C:\\QZImpTemp\\Temp.reg");

    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Vendor";
    EXPECT_EQ(transfer::importWorker(key, "*.*"), TransferOutcome::Failed);
    EXPECT_FALSE(Action_Import(key, "*.*"));
    EXPECT_TRUE(world.logged("Action_Replace", "70:Permission denied : C:\\QZImpTemp\\Temp.reg"));
    EXPECT_TRUE(world.logged("Action_Import", "75:The key was not imported : " + key));
    platform::RegKey real;
    EXPECT_NE(
        world.registry().openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Software\\Vendor", real),
        platform::WinError::Success)
        << "nothing reached the real place";
}

TEST_F(RegistryActionsTest, SingleValueImportKeepsTheValueType)
{
    platform::Registry& r = world.registry();
    platform::RegKey mirror = mirrorKey("HKEY_CURRENT_USER\\Control Panel\\Desktop");
    r.setDword(mirror, "ScreenSaveActive", 1);
    r.setString(mirror, "Wallpaper", "%SystemRoot%\\bliss.bmp", platform::RegType::ExpandSz);
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Control Panel\\Desktop";

    EXPECT_TRUE(Action_Import(key, "ScreenSaveActive"));
    EXPECT_TRUE(Action_Import(key, "Wallpaper"));

    platform::RegKey real;
    ASSERT_EQ(r.openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Control Panel\\Desktop", real),
        platform::WinError::Success);
    std::uint32_t active = 0;
    EXPECT_EQ(r.queryDword(real, "ScreenSaveActive", active), platform::WinError::Success);
    EXPECT_EQ(active, 1u);
    platform::RegValue wallpaper;
    ASSERT_EQ(r.queryValue(real, "Wallpaper", wallpaper), platform::WinError::Success);
    EXPECT_EQ(wallpaper.type, platform::RegType::ExpandSz);
    EXPECT_EQ(platform::regDataText(wallpaper.data), "%SystemRoot%\\bliss.bmp");
}

TEST_F(RegistryActionsTest, SingleValueImportWritesNothingOutsideTheMirrorOrForAnEmptyValue)
{
    platform::Registry& r = world.registry();
    platform::RegKey outside;
    r.createKey(platform::RegRoot::LocalMachine, "SOFTWARE\\Other\\HKEY_CURRENT_USER\\Software\\X", outside);
    r.setString(outside, "V", "data");
    EXPECT_TRUE(Action_Import("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\HKEY_CURRENT_USER\\Software\\X", "V"));
    platform::RegKey mirror = mirrorKey("HKEY_CURRENT_USER\\Software\\Y");
    r.setString(mirror, "Empty", "");
    EXPECT_TRUE(Action_Import("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Y", "Empty"));
    EXPECT_TRUE(Action_Import("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Y", "Missing"));
    EXPECT_TRUE(Action_Import("  ", "V"));

    platform::RegKey k;
    EXPECT_NE(r.openKey(platform::RegRoot::CurrentUser, "Software\\X", k), platform::WinError::Success);
    EXPECT_NE(r.openKey(platform::RegRoot::CurrentUser, "Software\\Y", k), platform::WinError::Success);
}

TEST_F(RegistryActionsTest, ExportWritesTheKeyUnderTheExportFolder)
{
    platform::RegKey app = mirrorKey("HKEY_CURRENT_USER\\Software\\Vendor");
    world.registry().setString(app, "Name", "Value");
    world.putNew("QZExpTemp/tempbat.bat", "@echo off");
    EXPECT_TRUE(
        Action_Export("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Vendor", "Vendor.reg"));
    const std::string text = world.readNew("QZExpTemp/Vendor.reg");
    EXPECT_EQ(text.rfind("REGEDIT4", 0), 0u);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Vendor]"),
        std::string::npos);
    EXPECT_NE(text.find("\"Name\"=\"Value\""), std::string::npos);
    EXPECT_FALSE(fs::exists(world.hostNew("QZExpTemp/tempbat.bat")));
    EXPECT_EQ(wizardWindows().statusText(), "Please wait... collecting remote information");
}

TEST_F(RegistryActionsTest, ExportOfAMissingKeyIsReported)
{
    EXPECT_FALSE(
        Action_Export("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Nothing", "None.reg"));
    EXPECT_FALSE(fs::exists(world.hostNew("QZExpTemp/None.reg")));
    EXPECT_TRUE(world.logged("Action_Export", "75:The key was not exported"));
}

TEST_F(RegistryActionsTest, ExportRefusesAnEmptyKeyAndAPathAsFileName)
{
    recordEditor();
    EXPECT_FALSE(Action_Export("   ", "a.reg"));
    EXPECT_FALSE(world.logged("Action_Export", "Start"));
    EXPECT_FALSE(Action_Export("HKEY_CURRENT_USER\\Software", "..\\..\\WINDOWS\\a.reg"));
    EXPECT_TRUE(launcher.starts().empty());
}

TEST_F(RegistryActionsTest, GetCopiesTheFolderOfAQuotedProgramPath)
{
    platform::RegKey app = mirrorKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App");
    world.registry().setString(app, "Path", "\"C:\\Program Files\\Vendor\\App\\app.exe\"");
    world.putOld("Program Files\\Vendor\\App\\app.exe", "exe");
    world.putOld("Program Files\\Vendor\\App\\Data\\d.dat", "dat");
    EXPECT_TRUE(Action_Get(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App", "Path", ""));
    EXPECT_EQ(world.readNew("Program Files/Vendor/App/app.exe"), "exe");
    EXPECT_EQ(world.readNew("Program Files/Vendor/App/Data/d.dat"), "dat");
    EXPECT_EQ(transferGlobals().lastAppPath, "Z:\\Program Files\\Vendor\\App");
}

TEST_F(RegistryActionsTest, GetWithAPathPartCopiesTheFolderEndingThere)
{
    platform::RegKey app = mirrorKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App");
    world.registry().setString(app, "Path", "C:\\Program Files\\Vendor\\App\\bin");
    world.putOld("Program Files\\Vendor\\App\\bin\\app.exe", "exe");
    world.putOld("Program Files\\Vendor\\Shared\\s.dll", "dll");
    EXPECT_TRUE(Action_Get(
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App", "Path", "\\vendor"));
    EXPECT_EQ(world.readNew("Program Files/vendor/Shared/s.dll"), "dll");
    EXPECT_EQ(world.readNew("Program Files/vendor/App/bin/app.exe"), "exe");
}

TEST_F(RegistryActionsTest, GetCopiesNothingForAnEmptyValueOrAnUnmappedDrive)
{
    platform::RegKey app = mirrorKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App");
    world.registry().setString(app, "OnD", "D:\\Games\\game.exe");
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\App";
    EXPECT_FALSE(Action_Get(key, "Missing", ""));
    EXPECT_FALSE(Action_Get(key, "OnD", ""));
    EXPECT_TRUE(world.logged("Action_Get", "0:Drive not mapped"));
}

TEST_F(RegistryActionsTest, TemplateIsMergedFromACopyAndStaysAsShipped)
{
    recordEditor();
    const std::string shipped =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\Services\\i81x]\r\n\"Start\"=dword:00000001\r\n";
    world.putNew("Program Files/Kestro/regfiles/1024.reg", shipped);
    EXPECT_TRUE(Merge_Template_Copy("C:\\Program Files\\Kestro\\regfiles\\1024.reg", {{"i81x", "nv4"}}));
    ASSERT_EQ(launcher.starts().size(), 1u);
    EXPECT_EQ(
        launcher.starts()[0].commandLine, "regedit.exe /s \"C:\\Program Files\\Kestro\\temp\\1024.reg\"");
    EXPECT_EQ(world.readNew("Program Files/Kestro/regfiles/1024.reg"), shipped);
    EXPECT_FALSE(fs::exists(world.hostNew("Program Files/Kestro/temp/1024.reg")));

    EXPECT_FALSE(Merge_Template_Copy("C:\\Program Files\\Kestro\\regfiles\\1024.reg", {{"i81x", ""}}));
    EXPECT_EQ(launcher.starts().size(), 1u) << "nothing is merged with a placeholder stripped";
}

TEST_F(RegistryActionsTest, RegistryEditorProgramExportsRewritesAndImports)
{
    // The same road through build/bin/regedit as a separate process.
    common::Service<platform::ProcessLauncher>::replace(nullptr);
    platform::Registry& r = world.registry();
    platform::RegKey app = mirrorKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Tool");
    r.setString(app, "Dir", "C:\\WINDOWS\\Tool");
    world.variables["$st_source_win_path"] = "C:\\\\WINDOWS\\\\";
    world.variables["$st_destination_win_path"] = "C:\\\\WINNT\\\\";

    ASSERT_TRUE(
        Action_Import("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor", "*.*"));
    platform::RegKey real;
    ASSERT_EQ(r.openKey(platform::RegRoot::LocalMachine, "SOFTWARE\\Vendor\\Tool", real),
        platform::WinError::Success);
    std::string dir;
    r.queryString(real, "Dir", dir);
    EXPECT_EQ(dir, "C:\\WINNT\\Tool");

    world.putNew("bad.reg", "no header here\r\n");
    EXPECT_FALSE(Action_Update_Registry("C:\\bad.reg"));
}
