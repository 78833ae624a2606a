// MachineTest.cpp: a machine folder, its machine.ini and WINENV_MACHINE.
#include "platform/Machine.h"

#include "platform/Registry.h"

#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace platform;

namespace {

void writeFile(const std::filesystem::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary);
    out << text;
}

} // namespace

class MachineTest : public ::testing::Test {
protected:
    testutil::TempDir dir;
};

TEST_F(MachineTest, OpensAFolderWithMachineIni)
{
    writeFile(dir / "machine.ini", "; test\r\n[Machine]\r\nOS = Win98\r\nComputerName=OLDPC\r\n");
    Machine m;
    std::string message;
    ASSERT_EQ(m.open(dir.path(), &message), WinError::Success) << message;
    EXPECT_TRUE(m.isValid());
    EXPECT_EQ(m.os(), OsCode::Win98);
    EXPECT_TRUE(isWin9x(m.os()));
    EXPECT_EQ(m.registryPath(), dir.path() / "registry.db");
    EXPECT_EQ(m.ini().value("machine", "computername"), "OLDPC");
}

TEST_F(MachineTest, FolderWithoutMachineIniIsNotAMachine)
{
    Machine m;
    std::string message;
    EXPECT_EQ(m.open(dir.path(), &message), WinError::FileNotFound);
    EXPECT_FALSE(m.isValid());
    EXPECT_NE(message.find("machine.ini"), std::string::npos);
    EXPECT_EQ(m.open(dir / "nothing", &message), WinError::PathNotFound);
}

// The first opening of a valid machine without registry.db makes the empty registry of a fresh
// PC; a folder that is no machine, or one with a broken machine.ini, gets none.
TEST_F(MachineTest, FirstOpeningGivesAMachineWithoutRegistryItsFourHives)
{
    struct Row {
        const char* title;
        const char* ini; // nullptr: no machine.ini
        const char* db;  // nullptr: no registry.db
        WinError result;
        const char* messagePart;
        bool registryAfter;
    };
    const Row rows[] = {
        {"valid, no registry", "[Machine]\r\nOS=win98\r\n", nullptr, WinError::Success, "", true},
        {"no machine.ini", nullptr, nullptr, WinError::FileNotFound, "machine.ini", false},
        {"broken machine.ini", "[Machine]\r\nOS=winnt4\r\n", nullptr, WinError::InvalidData, "winnt4", false},
        {"registry there", "[Machine]\r\nOS=winxp\r\n", "keep", WinError::Success, "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        testutil::TempDir folder;
        if (row.ini)
            writeFile(folder / "machine.ini", row.ini);
        if (row.db) {
            Registry r;
            ASSERT_EQ(r.open(folder / "registry.db"), WinError::Success);
            RegKey k;
            ASSERT_EQ(r.createKey(RegRoot::CurrentUser, row.db, k), WinError::Success);
        }
        Machine m;
        std::string message;
        EXPECT_EQ(m.open(folder.path(), &message), row.result) << message;
        EXPECT_NE(message.find(row.messagePart), std::string::npos) << message;
        EXPECT_EQ(std::filesystem::exists(folder / "registry.db"), row.registryAfter);
        if (!row.registryAfter)
            continue;
        Registry reg;
        ASSERT_EQ(reg.open(folder / "registry.db", Registry::OpenMode::OpenExisting), WinError::Success);
        for (const RegRoot root :
            {RegRoot::LocalMachine, RegRoot::CurrentUser, RegRoot::Users, RegRoot::CurrentConfig}) {
            RegKey k;
            EXPECT_EQ(reg.openKey(root, "", k), WinError::Success);
        }
        RegKey kept;
        EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "keep", kept),
            row.db ? WinError::Success : WinError::FileNotFound);
    }
}

TEST_F(MachineTest, UnknownOsCodeIsRejected)
{
    writeFile(dir / "machine.ini", "[Machine]\r\nOS=winnt4\r\n");
    Machine m;
    std::string message;
    EXPECT_EQ(m.open(dir.path(), &message), WinError::InvalidData);
    EXPECT_NE(message.find("winnt4"), std::string::npos);
    writeFile(dir / "machine.ini", "[Other]\r\nOS=winxp\r\n");
    EXPECT_EQ(m.open(dir.path(), &message), WinError::InvalidData);
}

TEST_F(MachineTest, CreateWritesOsAndKeepsOtherEntries)
{
    writeFile(dir / "machine.ini", "[Machine]\r\nComputerName=NEWPC\r\nOS=win98\r\n");
    Machine m;
    ASSERT_EQ(m.create(dir.path(), OsCode::WinXp), WinError::Success);
    EXPECT_EQ(m.os(), OsCode::WinXp);
    Machine again;
    ASSERT_EQ(again.open(dir.path()), WinError::Success);
    EXPECT_EQ(again.os(), OsCode::WinXp);
    EXPECT_EQ(again.ini().value("Machine", "ComputerName"), "NEWPC");
}

TEST_F(MachineTest, CurrentMachineComesFromTheEnvironment)
{
    Machine made;
    ASSERT_EQ(made.create(dir / "pc", OsCode::Win2k), WinError::Success);
    ::setenv(Machine::kEnvironmentVariable, (dir / "pc").c_str(), 1);
    Machine m;
    EXPECT_EQ(m.openCurrent(), WinError::Success);
    EXPECT_EQ(m.os(), OsCode::Win2k);
    ::unsetenv(Machine::kEnvironmentVariable);
    std::string message;
    EXPECT_EQ(m.openCurrent(&message), WinError::FileNotFound);
    EXPECT_NE(message.find("WINENV_MACHINE"), std::string::npos);
}

TEST_F(MachineTest, WithoutTheVariableTheDefaultMachineIsMadeInTheDataFolder)
{
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    ::unsetenv(Machine::kEnvironmentVariable);
    Machine m;
    std::string message;
    ASSERT_EQ(m.openCurrentOrDefault(&message), WinError::Success) << message;
    EXPECT_EQ(m.folder(), dir / "data/winenv/network/localpc");
    EXPECT_EQ(m.config().computerName, "LOCALPC");
    EXPECT_EQ(m.os(), OsCode::WinXp);
    EXPECT_TRUE(std::filesystem::is_directory(m.driveFolder('C')));
    // The second time the same machine is opened, not made again.
    writeFile(m.iniPath(), "[Machine]\r\nOS=win98\r\nComputerName=CHANGED\r\n");
    Machine again;
    ASSERT_EQ(again.openCurrentOrDefault(), WinError::Success);
    EXPECT_EQ(again.config().computerName, "CHANGED");
    if (oldXdg)
        ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST_F(MachineTest, MalformedMachineIniNamesFileAndLine)
{
    writeFile(dir / "machine.ini", "[Machine]\r\nOS=winxp\r\n[Drives]\r\nC=fixed,lots\r\n");
    Machine m;
    std::string message;
    EXPECT_EQ(m.open(dir.path(), &message), WinError::InvalidData);
    EXPECT_FALSE(m.isValid());
    EXPECT_NE(message.find((dir / "machine.ini").string() + ", line 4"), std::string::npos) << message;
}

TEST_F(MachineTest, FullModelAndPeersByName)
{
    MachineConfig source;
    applyOsDefaults("win98", source);
    source.computerName = "OldPC";
    source.drives.push_back({'C', DriveType::Fixed, 2000, 500});
    source.shares.push_back({"C", "C:\\"});
    Machine old;
    ASSERT_EQ(old.create(dir / "net/source", source), WinError::Success);
    EXPECT_EQ(old.os(), OsCode::Win98);
    EXPECT_EQ(old.config().drive('C')->freeBytes, 500u);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "net/source/drives/C"));

    Machine dest;
    ASSERT_EQ(dest.create(dir / "net/dest", OsCode::WinXp), WinError::Success);
    EXPECT_EQ(dest.config().computerName, "DEST");
    EXPECT_EQ(dest.networkFolder(), dir / "net");
    std::filesystem::path peer;
    MachineConfig peerConfig;
    ASSERT_TRUE(findMachine(dest.networkFolder(), "oldpc", peer, peerConfig));
    EXPECT_EQ(peer, dir / "net/source");
    EXPECT_FALSE(findMachine(dest.networkFolder(), "nobody", peer, peerConfig));
}

TEST_F(MachineTest, MappedLettersAreReadFromTheRegistry)
{
    MachineConfig source;
    applyOsDefaults("win98", source);
    source.computerName = "OLDPC";
    source.shares.push_back({"C", "C:\\"});
    source.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
    Machine old;
    ASSERT_EQ(old.create(dir / "net/oldpc", source), WinError::Success);
    writeFile(dir / "net/oldpc/drives/C/autoexec.bat", "rem");
    Machine dest;
    ASSERT_EQ(dest.create(dir / "net/dest", OsCode::WinXp), WinError::Success);

    const FileSystem fso = dest.fileSystem();
    EXPECT_FALSE(fso.fileExists("F:\\AUTOEXEC.BAT"));
    {
        Registry reg;
        ASSERT_EQ(reg.open(dest.registryPath()), WinError::Success);
        RegKey key;
        ASSERT_EQ(reg.createKey(RegRoot::CurrentUser, "Network\\F", key), WinError::Success);
        ASSERT_EQ(reg.setString(key, "RemotePath", "\\\\OLDPC\\C"), WinError::Success);
    }
    // The same resolver sees a mapping made after it was built.
    EXPECT_TRUE(fso.fileExists("F:\\AUTOEXEC.BAT"));
    EXPECT_EQ(fso.resolver().driveType('F'), DriveType::Remote);
    EXPECT_EQ(fso.resolver().driveType('G'), DriveType::NoRootDir);
}

TEST_F(MachineTest, OsCodesParseWithoutCase)
{
    EXPECT_EQ(parseOsCode("WINME"), OsCode::WinMe);
    EXPECT_EQ(osCodeText(OsCode::Win2k), "win2k");
    EXPECT_FALSE(parseOsCode("win10").has_value());
    EXPECT_FALSE(isWin9x(OsCode::WinXp));
}

TEST_F(MachineTest, HostPathsOnlyInsideTheMachine)
{
    Machine m;
    ASSERT_EQ(m.create(dir / "net/pc", OsCode::WinXp), WinError::Success);
    std::filesystem::create_directories(dir / "net/pc/drives/C/Temp");
    std::filesystem::path host;
    std::string message;
    ASSERT_EQ(m.hostPath("c:\\TEMP\\x.reg", host, &message), WinError::Success) << message;
    EXPECT_EQ(host, dir / "net/pc/drives/C/Temp/x.reg");
    host.clear();
    EXPECT_EQ(m.hostPath("C:\\..\\registry.db", host, &message), WinError::PathNotFound);
    EXPECT_TRUE(host.empty());
    EXPECT_NE(message.find("C:\\..\\registry.db"), std::string::npos);
    EXPECT_EQ(m.hostPath("x.reg", host, &message), WinError::InvalidName);
    EXPECT_EQ(m.hostPath("\\\\NOPC\\C$\\x.reg", host, &message), WinError::BadNetPath);
    EXPECT_TRUE(host.empty());
}
