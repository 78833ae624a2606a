// MachineConfigTest.cpp: machine.ini reading, writing, errors and machine lookup by name.
#include "platform/MachineConfig.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const char* kFullIni = "; a Windows 98 source\n"
                       "[Machine]\n"
                       "ComputerName=OldPC\n"
                       "Address=192.168.0.10\n"
                       "OS=win98\n"
                       "User=Anna\n"
                       "NetworkAdapter=no\n"
                       "ParallelPorts=LPT2, 3\n"
                       "Reachable=yes\n"
                       "\n"
                       "[Drives]\n"
                       "D=cdrom\n"
                       "C:=fixed,1000,400\n"
                       "A=removable\n"
                       "[Shares]\n"
                       "C=c:\\\n"
                       "Docs=C:\\My Documents\n"
                       "[Accounts]\n"
                       "anna=admin,se,cret\n"
                       "guest=user,\n";

bool parse(const std::string& text, MachineConfig& c, std::string& error)
{
    return parseMachineIni(text, "/n/oldpc/machine.ini", "oldpc", c, error);
}

} // namespace

TEST(MachineConfigTest, ReadsEveryField)
{
    MachineConfig c;
    std::string error;
    ASSERT_TRUE(parse(kFullIni, c, error)) << error;
    EXPECT_EQ(c.computerName, "OldPC");
    EXPECT_EQ(c.address, "192.168.0.10");
    EXPECT_EQ(c.os, "win98");
    EXPECT_EQ(c.versionMajor, 4);
    EXPECT_EQ(c.versionMinor, 10);
    EXPECT_EQ(c.windowsFolder, "C:\\WINDOWS");
    EXPECT_EQ(c.systemFolder, "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(c.userName, "Anna");
    EXPECT_FALSE(c.networkAdapter);
    EXPECT_EQ(c.parallelPorts, (std::vector<int>{2, 3}));
    ASSERT_EQ(c.drives.size(), 3u);
    EXPECT_EQ(c.drives[0].letter, 'A');
    EXPECT_EQ(c.drives[1].type, DriveType::Fixed);
    EXPECT_EQ(c.drives[1].totalBytes, 1000u);
    EXPECT_EQ(c.drives[1].freeBytes, 400u);
    EXPECT_EQ(c.drive('d')->type, DriveType::CdRom);
    EXPECT_FALSE(c.drive('D')->totalBytes.has_value());
    ASSERT_NE(c.share("docs"), nullptr);
    EXPECT_EQ(c.share("DOCS")->folder, "C:\\My Documents");
    EXPECT_EQ(c.share("c")->folder, "C:\\");
    ASSERT_NE(c.account("ANNA"), nullptr);
    EXPECT_TRUE(c.account("anna")->administrator);
    EXPECT_EQ(c.account("anna")->password, "se,cret");
    EXPECT_FALSE(c.account("guest")->administrator);
    EXPECT_EQ(c.account("guest")->password, "");
}

TEST(MachineConfigTest, MissingKeysTakeTheDefaultsOfTheOs)
{
    MachineConfig c;
    std::string error;
    ASSERT_TRUE(parse("[Machine]\nOS=win2k\n", c, error)) << error;
    EXPECT_EQ(c.computerName, "OLDPC");
    EXPECT_EQ(c.windowsFolder, "C:\\WINNT");
    EXPECT_EQ(c.versionMajor, 5);
    EXPECT_EQ(c.versionMinor, 0);
    ASSERT_EQ(c.drives.size(), 1u);
    EXPECT_EQ(c.drives[0].letter, 'C');
    EXPECT_TRUE(c.reachable);
    EXPECT_TRUE(c.isNt());
}

TEST(MachineConfigTest, WritingAndReadingGivesTheSameMachine)
{
    MachineConfig c;
    std::string error;
    ASSERT_TRUE(parse(kFullIni, c, error)) << error;
    MachineConfig back;
    ASSERT_TRUE(parse(formatMachineIni(c), back, error)) << error;
    EXPECT_EQ(formatMachineIni(back), formatMachineIni(c));
    EXPECT_EQ(back.account("anna")->password, "se,cret");
    EXPECT_EQ(back.parallelPorts, c.parallelPorts);
    EXPECT_EQ(back.drives[1].freeBytes, 400u);
}

TEST(MachineConfigTest, ErrorsNameTheFileAndLine)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"[Machine]\nOS=win31\n", "line 2: unknown OS"},
        {"[Machine]\nComputerName=PC\n", "[Machine] has no OS="},
        {"[Machine]\nOS=winxp\nAddress=300.1.1.1\n", "line 3: invalid IPv4"},
        {"[Machine]\nOS=winxp\n\nVersion=5.1\n", "line 4: version"},
        {"[Machine]\nOS=winxp\nReachable=maybe\n", "line 3: Reachable must be yes or no"},
        {"[Machine]\nOS=winxp\nParallelPorts=LPT9\n", "line 3: parallel port"},
        {"[Machine]\nOS=winxp\n[Drives]\nC=floppy\n", "line 4: drive type"},
        {"[Machine]\nOS=winxp\n[Drives]\nCC=fixed\n", "line 4: \"CC\" is not a drive letter"},
        {"[Machine]\nOS=winxp\n[Drives]\nC=fixed,10,20\n", "line 4: free bytes exceed"},
        {"[Machine]\nOS=winxp\n[Drives]\nC=fixed\nc=cdrom\n", "line 5: drive C: is listed twice"},
        {"[Machine]\nOS=winxp\n[Shares]\nD$=D:\\\n", "line 4: share folder"},
        {"[Machine]\nOS=winxp\n[Shares]\nX=relative\n", "line 4: share folder"},
        {"[Machine]\nOS=winxp\n[Accounts]\nbob=root,pw\n", "line 4: account kind"},
        {"[Machine]\nOS=winxp\n[Hardware]\n", "line 3: unknown section"},
        {"[Machine]\nOS=winxp\nColour=blue\n", "line 3: unknown key"},
        {"ComputerName=X\n", "line 1: key outside a section"},
        {"[Machine]\nOS=winxp\njust text\n", "line 3: expected key=value"},
    };
    for (const auto& tc : cases) {
        MachineConfig c;
        c.computerName = "UNCHANGED";
        std::string error;
        EXPECT_FALSE(parse(tc.text, c, error)) << tc.text;
        EXPECT_EQ(error.rfind("/n/oldpc/machine.ini", 0), 0u) << error;
        EXPECT_NE(error.find(tc.expected), std::string::npos) << "got: " << error;
        EXPECT_EQ(c.computerName, "UNCHANGED");
    }
}

TEST(MachineConfigTest, FindsSiblingMachinesByNameWithoutCase)
{
    testutil::TestMachine t("DESTPC");
    MachineConfig source;
    applyOsDefaults("win98", source);
    source.computerName = "OldPc";
    t.addMachine(source);
    // A broken sibling does not hide the others.
    std::filesystem::create_directories(t.network() / "broken");
    std::ofstream(t.network() / "broken" / "machine.ini") << "[Machine]\nOS=nonsense\n";

    std::filesystem::path folder;
    MachineConfig found;
    ASSERT_TRUE(findMachine(t.network(), "OLDPC", folder, found));
    EXPECT_EQ(folder, t.network() / "oldpc");
    EXPECT_EQ(found.os, "win98");
    EXPECT_TRUE(findMachine(t.network(), "destpc", folder, found));
    EXPECT_EQ(folder, t.folder());
    EXPECT_FALSE(findMachine(t.network(), "NOSUCHPC", folder, found));
    EXPECT_FALSE(findMachine(t.network(), "", folder, found));
}

// A machine once found is remembered only while its machine.ini stays as it was: a machine that is
// switched off, renamed or removed is seen at the next look-up.
TEST(MachineConfigTest, AFoundMachineIsLookedUpAgainWhenItChanges)
{
    testutil::TestMachine t("DESTPC");
    MachineConfig source;
    applyOsDefaults("win98", source);
    source.computerName = "OLDPC";
    const std::filesystem::path oldPc = t.addMachine(source);
    std::filesystem::path folder;
    MachineConfig found;
    ASSERT_TRUE(findMachine(t.network(), "OLDPC", folder, found));
    EXPECT_TRUE(found.reachable);

    source.reachable = false;
    source.userName = "Somebody Else"; // the file changes in size as well as in time
    std::string error;
    ASSERT_TRUE(saveMachineConfig(oldPc, source, error)) << error;
    ASSERT_TRUE(findMachine(t.network(), "oldpc", folder, found));
    EXPECT_FALSE(found.reachable);

    source.computerName = "RENAMED";
    ASSERT_TRUE(saveMachineConfig(oldPc, source, error)) << error;
    EXPECT_FALSE(findMachine(t.network(), "OLDPC", folder, found));
    EXPECT_TRUE(findMachine(t.network(), "RENAMED", folder, found));

    std::filesystem::remove_all(oldPc);
    EXPECT_FALSE(findMachine(t.network(), "RENAMED", folder, found));
}

TEST(MachineConfigTest, LoadReportsBrokenAndMissingFiles)
{
    testutil::TestMachine t;
    MachineConfig c;
    std::string error;
    std::ofstream(t.folder() / "machine.ini") << "[Machine]\r\nOS=winxp\r\n[Drives]\r\nQ=tape\r\n";
    EXPECT_FALSE(loadMachineConfig(t.folder(), c, error));
    EXPECT_NE(error.find((t.folder() / "machine.ini").string() + ", line 4"), std::string::npos) << error;

    std::filesystem::remove(t.folder() / "machine.ini");
    EXPECT_FALSE(loadMachineConfig(t.folder(), c, error));
    EXPECT_NE(error.find("holds no machine.ini"), std::string::npos) << error;
    EXPECT_FALSE(loadMachineConfig(t.network() / "nothere", c, error));
}

TEST(MachineConfigTest, FileIsWrittenInTheAnsiCodePage)
{
    testutil::TestMachine t;
    MachineConfig c = t.config();
    c.userName = "J\xC3\xBCrgen";
    std::string error;
    ASSERT_TRUE(saveMachineConfig(t.folder(), c, error)) << error;
    std::ifstream in(t.folder() / "machine.ini", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(raw.find("User=J\xFCrgen\r\n"), std::string::npos);
    MachineConfig back;
    ASSERT_TRUE(loadMachineConfig(t.folder(), back, error)) << error;
    EXPECT_EQ(back.userName, "J\xC3\xBCrgen");
}
