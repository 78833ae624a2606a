// PathResolverTest.cpp: drive letters, shares, mapped letters, case, 8.3 names and escapes.
#include "platform/PathResolver.h"

#include "tests/platform/TestMachine.h"

#include "platform/FileSystem.h"

#include <unistd.h>

#include <gtest/gtest.h>

using namespace platform;

class PathResolverTest : public ::testing::Test {
protected:
    PathResolverTest()
    {
        t.put("Program Files/Common Files/x.dll");
        t.put("Program Files/Accessories/wordpad.exe");
        t.put("Program Stuff/readme.txt");
        t.put("WINDOWS/System32/kernel32.dll");

        MachineConfig source;
        applyOsDefaults("win98", source);
        source.computerName = "OLDPC";
        source.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
        source.drives.push_back({'D', DriveType::Fixed, std::nullopt, std::nullopt});
        source.shares.push_back({"C", "C:\\"});
        source.shares.push_back({"D$", "D:\\"});
        source.shares.push_back({"Docs", "C:\\My Documents"});
        oldpc = t.addMachine(source);
        std::filesystem::create_directories(oldpc / "drives/C/My Documents/Letters");
        std::ofstream(oldpc / "drives/C/My Documents/Letters/a.doc") << "doc";
        std::filesystem::create_directories(oldpc / "drives/D/Data");
    }

    testutil::TestMachine t{"DESTPC"};
    std::filesystem::path oldpc;
};

TEST_F(PathResolverTest, DriveLettersResolveIntoTheMachinesDriveFolders)
{
    const auto r = t.resolver().resolve("c:\\windows\\SYSTEM32\\Kernel32.DLL");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.host, t.host("WINDOWS/System32/kernel32.dll"));
    EXPECT_EQ(r.path.text(), "C:\\WINDOWS\\System32\\kernel32.dll");
    EXPECT_EQ(r.driveType, DriveType::Fixed);
}

TEST_F(PathResolverTest, NewComponentsAreKeptAsWritten)
{
    const auto r = t.resolver().resolve("C:\\windows\\New Folder\\Sub\\file.TXT");
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.exists);
    EXPECT_EQ(r.host, t.host("WINDOWS/New Folder/Sub/file.TXT"));
    EXPECT_EQ(r.path.text(), "C:\\WINDOWS\\New Folder\\Sub\\file.TXT");
}

TEST_F(PathResolverTest, ShortNamesResolveBothWays)
{
    const auto resolver = t.resolver();
    // "Program Files" < "Program Stuff" in name order, so it is PROGRA~1.
    auto r = resolver.resolve("C:\\PROGRA~1\\COMMON~1\\x.dll");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.path.text(), "C:\\Program Files\\Common Files\\x.dll");
    r = resolver.resolve("C:\\progra~2\\README.TXT");
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.path.text(), "C:\\Program Stuff\\readme.txt");
    EXPECT_EQ(resolver.longPath("c:\\progra~1\\access~1"), "C:\\Program Files\\Accessories");
    EXPECT_FALSE(resolver.resolve("C:\\PROGRA~3").exists);
}

TEST_F(PathResolverTest, EscapingAndRelativePathsNeverReachTheHost)
{
    const auto resolver = t.resolver();
    for (const char* text :
        {"C:\\..\\..\\etc", "C:\\WINDOWS\\..\\..\\registry.db", "\\\\OLDPC\\C\\..\\..\\machine.ini"}) {
        const auto r = resolver.resolve(text);
        EXPECT_EQ(r.error, WinError::PathNotFound) << text;
        EXPECT_TRUE(r.host.empty()) << text;
    }
    for (const char* text : {"", "WINDOWS", "\\WINDOWS", "C:WINDOWS", "../etc/passwd"}) {
        const auto r = resolver.resolve(text);
        EXPECT_EQ(r.error, WinError::InvalidName) << text;
        EXPECT_TRUE(r.host.empty()) << text;
    }
}

TEST_F(PathResolverTest, HostLinksOutOfTheMachineAreRefused)
{
    std::filesystem::create_directory_symlink("/etc", t.host("outside"));
    const auto r = t.resolver().resolve("C:\\outside\\passwd");
    EXPECT_EQ(r.error, WinError::PathNotFound);
    EXPECT_TRUE(r.host.empty());
    // Also for names that do not exist behind the link: nothing may be created out there.
    const std::string probe = "winenv-probe-" + std::to_string(::getpid());
    EXPECT_EQ(t.resolver().resolve("C:\\outside\\" + probe).error, WinError::PathNotFound);
    EXPECT_EQ(t.fileSystem().writeFile("C:\\outside\\" + probe, "x"), FsError::PathNotFound);
    EXPECT_FALSE(std::filesystem::exists("/etc/" + probe));
    // Nor is the link listed as an entry of the drive.
    for (const auto& e : PathResolver::listHost(t.host("")))
        EXPECT_NE(e.name, "outside");
}

TEST_F(PathResolverTest, ADanglingLinkInADriveIsNeverFollowedByAWrite)
{
    testutil::TestMachine outside{"ELSEWHERE"};
    const std::filesystem::path target = outside.network() / "planted.reg";
    std::filesystem::create_symlink(target, t.host("f.reg"));
    std::filesystem::create_symlink(outside.network() / "newdir", t.host("dir"));
    EXPECT_EQ(t.resolver().resolve("C:\\f.reg").error, WinError::PathNotFound);
    EXPECT_EQ(t.fileSystem().writeFile("C:\\f.reg", "x"), FsError::PathNotFound);
    EXPECT_EQ(t.fileSystem().writeFile("C:\\F.REG", "x"), FsError::PathNotFound);
    EXPECT_NE(t.fileSystem().createFolder("C:\\dir"), FsError::None);
    EXPECT_NE(t.fileSystem().copyFile("C:\\WINDOWS\\System32\\kernel32.dll", "C:\\f.reg"), FsError::None);
    EXPECT_NE(t.fileSystem().moveFile("C:\\Program Stuff\\readme.txt", "C:\\f.reg"), FsError::None);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(outside.network() / "newdir"));
    EXPECT_TRUE(std::filesystem::exists(t.host("Program Stuff/readme.txt")));
}

TEST_F(PathResolverTest, UnknownDrivesAndMissingMediaAreReported)
{
    auto& c = t.config();
    c.drives.push_back({'E', DriveType::CdRom, std::nullopt, std::nullopt});
    const PathResolver resolver(t.folder(), c);
    EXPECT_EQ(resolver.resolve("Q:\\x").error, WinError::InvalidDrive);
    EXPECT_EQ(resolver.resolve("E:\\setup.exe").error, WinError::NotReady);
    EXPECT_EQ(resolver.driveType('e'), DriveType::CdRom);
    EXPECT_EQ(resolver.driveType('Q'), DriveType::NoRootDir);
}

TEST_F(PathResolverTest, SharesResolveThroughTheNetwork)
{
    const auto resolver = t.resolver();
    auto r = resolver.resolve("\\\\oldpc\\c\\my documents\\LETTERS\\A.DOC");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.host, oldpc / "drives/C/My Documents/Letters/a.doc");
    EXPECT_EQ(r.path.text(), "\\\\OLDPC\\C\\My Documents\\Letters\\a.doc");
    EXPECT_EQ(r.driveType, DriveType::Remote);

    r = resolver.resolve("\\\\OLDPC\\docs\\Letters");
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.host, oldpc / "drives/C/My Documents/Letters");
    EXPECT_TRUE(resolver.resolve("\\\\OLDPC\\D$\\data").exists);
    // A share's root is its own top: ".." may not leave the exposed folder.
    EXPECT_EQ(resolver.resolve("\\\\OLDPC\\Docs\\..\\WINDOWS").error, WinError::PathNotFound);
}

TEST_F(PathResolverTest, UnknownServersSharesAndUnreachableMachinesFail)
{
    const auto resolver = t.resolver();
    EXPECT_EQ(resolver.resolve("\\\\NOSUCHPC\\C$\\x").error, WinError::BadNetPath);
    EXPECT_EQ(resolver.resolve("\\\\OLDPC\\C$\\x").error, WinError::BadNetName);
    EXPECT_EQ(resolver.resolve("\\\\OLDPC\\E$").error, WinError::BadNetName);

    MachineConfig off;
    applyOsDefaults("winxp", off);
    off.computerName = "OFFPC";
    off.reachable = false;
    off.shares.push_back({"C$", "C:\\"});
    t.addMachine(off);
    EXPECT_EQ(resolver.resolve("\\\\OFFPC\\C$").error, WinError::BadNetPath);
}

TEST_F(PathResolverTest, MappedLettersFollowTheirRemotePath)
{
    t.map('F', "\\\\OLDPC\\C");
    t.map('G', "\\\\OLDPC\\Docs\\Letters");
    t.map('H', "\\\\GONE\\C$");
    const auto resolver = t.resolver();
    auto r = resolver.resolve("f:\\My Documents\\letters\\a.doc");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.host, oldpc / "drives/C/My Documents/Letters/a.doc");
    EXPECT_EQ(r.path.text(), "F:\\My Documents\\Letters\\a.doc");
    EXPECT_EQ(r.driveType, DriveType::Remote);
    EXPECT_EQ(resolver.driveType('F'), DriveType::Remote);

    r = resolver.resolve("G:\\A.DOC");
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.path.text(), "G:\\a.doc");
    // The letter's root is the top: no climbing into the rest of the share.
    EXPECT_EQ(resolver.resolve("G:\\..\\x").error, WinError::PathNotFound);
    EXPECT_EQ(resolver.resolve("H:\\x").error, WinError::BadNetPath);
}

TEST_F(PathResolverTest, ListingsComeInCaseInsensitiveOrderWithoutTheSidecar)
{
    t.put("list/b.txt");
    t.put("list/A.txt");
    t.put("list/c.txt");
    t.put("list/" + std::string(kAttributeSidecar));
    const auto entries = PathResolver::listHost(t.host("list"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "A.txt");
    EXPECT_EQ(entries[1].name, "b.txt");
    EXPECT_EQ(entries[2].name, "c.txt");
}
