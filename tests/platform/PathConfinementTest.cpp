// PathConfinementTest.cpp: the folders and files a copy steered by a source PC's values may not
// reach, judged on the resolved path whatever spelling names it, on this PC and on a mapped source.
#include "platform/PathConfinement.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class PathConfinementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // This PC (XP) keeps its Windows folder as "Windows" on the host; OLDPC (98) is mapped at G:.
        t.put("Windows/explorer.exe");
        t.put("Windows/system32/shell32.dll");
        t.put("Windows/system32/logon.scr");
        t.put("Windows/system32/drivers/etc/hosts");
        t.put("Windows/Web/Wallpaper/Bliss.bmp");
        t.put("Windows/Martin.pst");
        t.put("Windows/Profiles/Martin/Start Menu/a.lnk");
        t.put("Program Files/WinZip/winzip32.exe");
        t.put("My Documents/a.txt");
        MachineConfig old = t.config();
        applyOsDefaults("win98", old);
        old.computerName = "OLDPC";
        old.address = "192.168.0.3";
        const std::filesystem::path oldPc = t.addMachine(old);
        for (const char* file :
            {"WINDOWS/SYSTEM/3DTEXT.SCR", "WINDOWS/EXPLORER.EXE", "Program Files/WinZip/w.exe"}) {
            std::filesystem::create_directories((driveFolder(oldPc, 'C') / file).parent_path());
            std::ofstream(driveFolder(oldPc, 'C') / file) << "x";
        }
        t.map('G', "\\\\OLDPC\\C$");
        resolver = t.resolver();
    }
    std::string folder(const std::string& path) const { return folderCopyRefusal(resolver, path); }
    std::string file(const std::string& path, SteeredFile kind) const
    {
        return fileWriteRefusal(resolver, path, kind);
    }

    testutil::TestMachine t;
    PathResolver resolver;
};

TEST_F(PathConfinementTest, EverySpellingOfASystemFolderIsRefusedAsAFolderToCopyWhole)
{
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"C:\\WINDOWS", "the Windows folder"},
        {"c:\\windows\\", "the Windows folder"},
        {"C:\\\\WINDOWS", "the Windows folder"},
        {"C:/WINDOWS", "the Windows folder"},
        {"\\\\DESTPC\\C$\\WINDOWS", "the Windows folder"},
        {"C:\\", "a drive root"},
        {"C:", "a drive root"},
        {"C:\\WINDOWS\\SYSTEM32\\drivers", "a system folder or a folder in one"},
        {"C:\\WINDOWS\\system", "a system folder or a folder in one"},
        {"C:\\PROGRA~1", "the Program Files folder"},
        {"G:\\WINDOWS", "the Windows folder"},
        {"G:\\Windows\\System", "a system folder or a folder in one"},
        {"G:\\", "a drive root"},
        {"C:\\Program Files\\..\\WINDOWS", "a \"..\" part"},
        {"C:\\.", "a \".\" part"},
        {"C:\\.\\WINDOWS", "a \".\" part"},
        {"C:\\WINDOWS.", "not a Windows name (ends in a dot or a blank): WINDOWS."},
        {"C:\\WINDOWS ", "not a Windows name (ends in a dot or a blank): WINDOWS "},
        {"C:\\WINDOWS\\CON", "not a Windows name (a device name): CON"},
    };
    for (const auto& [path, why] : refused)
        EXPECT_EQ(folder(path), why) << path;
    for (const char* allowed : {"C:\\Program Files\\WinZip", "C:\\WINDOWS\\Profiles\\Martin\\Start Menu",
             "C:\\My Documents", "G:\\Program Files\\WinZip", "C:\\New Folder", "C:\\WINDOWS\\Web"})
        EXPECT_EQ(folder(allowed), "") << allowed;
}

TEST_F(PathConfinementTest, ASteeredFolderNeverLandsWhereThisPcStartsPrograms)
{
    t.put("Documents and Settings/All Users/Start Menu/Programs/Startup/a.lnk");
    t.put("Documents and Settings/Default User/Start Menu/Programs/Startup/b.lnk");
    t.put("Windows/Tasks/a.job");
    const auto app = [&](const std::string& path) {
        return steeredFolderRefusal(resolver, path, SteeredFolder::Application);
    };
    const auto profile = [&](const std::string& path) {
        return steeredFolderRefusal(resolver, path, SteeredFolder::Profile);
    };
    for (const char* startup : {"C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup",
             "C:\\DOCUME~1\\ALLUSE~1\\STARTM~1\\PROGRAMS\\STARTUP\\Sub",
             "c:\\documents and settings\\default user\\start menu\\programs\\StartUp",
             "C:\\Documents and Settings\\Nobody\\Start Menu\\Programs\\Startup",
             "C:\\WINDOWS\\Profiles\\Martin\\Start Menu\\Programs\\StartUp",
             "G:\\WINDOWS\\Start Menu\\Programs\\StartUp"})
        EXPECT_EQ(profile(startup), "a Startup folder or a folder in one") << startup;
    EXPECT_EQ(profile("C:\\WINDOWS\\TASKS\\x"), "the Tasks folder or a folder in it");
    EXPECT_EQ(app("C:\\WINDOWS\\Web"), "in the Windows folder");
    EXPECT_EQ(app("C:\\WINDOWS\\system32"), "a system folder or a folder in one");
    for (const char* allowed : {"C:\\WINDOWS\\Application Data\\Identities",
             "C:\\Documents and Settings\\Martin\\Start Menu\\Programs\\Tools"})
        EXPECT_EQ(profile(allowed), "") << allowed;
    EXPECT_EQ(app("C:\\Program Files\\WinZip"), "");
}

TEST_F(PathConfinementTest, AWindowsFolderHoldsItsSystemDirectlyBelowADriveRoot)
{
    std::string stored;
    EXPECT_EQ(windowsFolderRefusal(resolver, "\\\\OLDPC\\C$\\windows", "SYSTEM", &stored), "");
    EXPECT_EQ(stored, "WINDOWS");
    EXPECT_EQ(windowsFolderRefusal(resolver, "C:\\Windows", "System32"), "");
    EXPECT_EQ(windowsFolderRefusal(resolver, "\\\\OLDPC\\C$\\Program Files", "SYSTEM"),
        "it holds no SYSTEM folder");
    EXPECT_EQ(
        windowsFolderRefusal(resolver, "\\\\OLDPC\\C$\\WINDOWS", "System32"), "it holds no System32 folder");
    EXPECT_EQ(windowsFolderRefusal(resolver, "\\\\OLDPC\\C$\\", "SYSTEM"),
        "not a folder directly below a drive root");
    EXPECT_EQ(windowsFolderRefusal(resolver, "C:\\Windows\\Web", "Wallpaper"),
        "not a folder directly below a drive root");
    EXPECT_EQ(windowsFolderRefusal(resolver, "\\\\OLDPC\\C$\\NOWHERE", "SYSTEM"), "no such folder");
    std::filesystem::create_directories(driveFolder(t.network() / "oldpc", 'C') / "Program Files" / "SYSTEM");
    EXPECT_EQ(windowsFolderRefusal(resolver, "G:\\PROGRA~1", "SYSTEM"), "not the Windows folder of its PC");
}

TEST_F(PathConfinementTest, ASourceNameThatIsAShortNameHereIsRefused)
{
    std::filesystem::create_directories(driveFolder(t.network() / "oldpc", 'C') / "DOCUME~1");
    t.put("Documents and Settings/Martin/a.txt");
    EXPECT_EQ(shortNameRefusal(resolver, "G:\\DOCUME~1", "C:\\DOCUME~1"),
        "the short name of \"Documents and Settings\" here");
    EXPECT_EQ(shortNameRefusal(resolver, "G:\\PROGRA~1\\WinZip", "C:\\PROGRA~1\\WinZip"), "")
        << "a short name on both PCs names the long folder on both";
    EXPECT_EQ(shortNameRefusal(resolver, "G:\\Program Files\\WinZip", "C:\\Program Files\\WinZip"), "");
}

TEST_F(PathConfinementTest, AFileOfTheWindowsFolderIsReplacedOnlyByAFileOfTheStepsOwnKind)
{
    EXPECT_NE(file("C:\\WINDOWS\\EXPLORER.EXE", SteeredFile::Wallpaper), "");
    EXPECT_NE(file("C:\\WINDOWS\\EXPLORER.EXE", SteeredFile::Any), "");
    EXPECT_NE(file("C:\\WINDOWS\\SYSTEM32\\SHELL32.DLL", SteeredFile::ScreenSaver), "");
    EXPECT_NE(file("C:\\WINDOWS\\system32\\logon.scr", SteeredFile::PersonalFolders), "");
    EXPECT_NE(file("C:\\WINDOWS\\system32\\x.pst\\..\\logon.scr", SteeredFile::PersonalFolders), "");
    EXPECT_NE(file("C:\\WINDOWS\\Martin.pst", SteeredFile::Any), "");
    EXPECT_EQ(file("C:\\WINDOWS\\system32\\logon.scr", SteeredFile::ScreenSaver), "");
    EXPECT_EQ(file("C:\\WINDOWS\\Web\\Wallpaper\\Bliss.bmp", SteeredFile::Wallpaper), "");
    EXPECT_EQ(file("C:\\WINDOWS\\Martin.pst", SteeredFile::PersonalFolders), "");
    // A file the Windows folder does not hold yet replaces nothing; nor does one elsewhere.
    EXPECT_EQ(file("C:\\WINDOWS\\system32\\new.dll", SteeredFile::Any), "");
    EXPECT_EQ(file("C:\\My Documents\\a.txt", SteeredFile::Any), "");
}

TEST_F(PathConfinementTest, WhatThisPcKeepsForItselfIsRefusedWhoeverNamesIt)
{
    const char* app = "C:\\Program Files\\Kestro";
    t.put("Program Files/Kestro/RegFiles/1024_XP.reg");
    t.put("Documents and Settings/User/NTUSER.DAT");
    t.put("boot.ini");
    for (const auto& [path, why] : std::vector<std::pair<std::string, std::string>>{
             {"C:\\Documents and Settings", "the profiles folder"},
             {"c:\\documents and settings\\All Users\\", "a profile's own folder"},
             {"G:\\WINDOWS\\Profiles\\Martin", "a profile's own folder"},
             {"C:\\PROGRA~1\\Kestro\\RegFiles", "the wizard's own folder or a folder holding it"}})
        EXPECT_EQ(folderCopyRefusal(resolver, path, app), why) << path;
    EXPECT_EQ(folderCopyRefusal(resolver, "C:\\Documents and Settings\\User\\My Documents", app), "");
    for (const char* kept : {"C:\\Program Files\\Kestro\\RegFiles\\1024_XP.reg", "C:/BOOT.INI",
             "C:\\Documents and Settings\\User\\ntuser.dat", "C:\\New\\NTUSER.DAT.LOG"})
        EXPECT_NE(keptPlaceRefusal(resolver, kept, app), "") << kept;
    EXPECT_EQ(keptPlaceRefusal(resolver, "C:\\My Documents\\boot.ini", app), "");
    // A steered file is of its step's kind wherever it lands.
    EXPECT_EQ(fileWriteRefusal(resolver, "C:\\boot.ini", SteeredFile::Wallpaper, app),
        "a start-up file of a drive root");
    EXPECT_EQ(fileWriteRefusal(resolver, "C:\\My Documents\\x.exe", SteeredFile::Wallpaper, app),
        "not a picture or a page");
    EXPECT_EQ(fileWriteRefusal(resolver, "C:\\My Documents\\x.bmp", SteeredFile::Wallpaper, app), "");
}

TEST_F(PathConfinementTest, ThePartBelowAFolderIsFoundOnTheResolvedPaths)
{
    EXPECT_EQ(partBelow(resolver, "G:\\Windows\\system\\3dtext.scr", "G:\\WINDOWS\\SYSTEM"),
        std::optional<std::string>("3DTEXT.SCR"));
    EXPECT_EQ(
        partBelow(resolver, "G:\\WINDOWS\\SYSTEM", "g:\\windows\\system\\"), std::optional<std::string>(""));
    EXPECT_EQ(partBelow(resolver, "G:\\WINDOWS\\SYSTEM\\3DTEXT.SCR", "C:\\WINDOWS\\SYSTEM"), std::nullopt);
    EXPECT_EQ(partBelow(resolver, "C:\\WINDOWSX\\a", "C:\\WINDOWS"), std::nullopt);
    EXPECT_EQ(partBelow(resolver, "C:\\WINDOWS\\a", ""), std::nullopt);
}

} // namespace
