// HostileMachineFilesTest.cpp: what a machine folder of the network may hold that no Windows PC
// could: pipes, links and oversized files where the layer keeps its metadata, and two machines
// claiming one name. Nothing of it may hang, flood or redirect the layer. Each test ends within an
// alarm: a hang fails it instead of holding the suite.
#include "platform/EventLog.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/Network.h"
#include "platform/ShellLink.h"
#include "tests/platform/FileBytes.h"
#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class HostileMachineFilesTest : public ::testing::Test {
protected:
    HostileMachineFilesTest()
    {
        ::alarm(60);
        oldpc = t.addMachine(oldPcConfig());
        fs::create_directories(oldpc / "drives/C/Data");
        testutil::writeFile(oldpc / "drives/C/Data/a.txt", "a");
    }
    ~HostileMachineFilesTest() override { ::alarm(0); }
    // A reachable Windows 98 PC named OLDPC sharing its C: as C$.
    static MachineConfig oldPcConfig()
    {
        MachineConfig c;
        applyOsDefaults("win98", c);
        c.computerName = "OLDPC";
        c.reachable = true;
        c.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares.push_back({"C$", "C:\\"});
        return c;
    }

    static void fifo(const fs::path& p)
    {
        fs::remove(p);
        ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0) << p;
    }

    testutil::TestMachine t{"DESTPC"};
    fs::path oldpc;
};

} // namespace

TEST_F(HostileMachineFilesTest, APipeAsMachineIniOfAnotherMachineNeitherHangsNorHidesTheRest)
{
    fs::create_directories(t.network() / "strange");
    fifo(t.network() / "strange/machine.ini");
    const auto r = t.resolver().resolve("\\\\OLDPC\\C$\\Data\\a.txt");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(t.resolver().resolve("\\\\STRANGE\\C$\\x").error, WinError::BadNetPath);
    const Network network(t.folder(), t.config());
    EXPECT_TRUE(network.findComputer("OLDPC").has_value());
    // machine.ini of the running machine itself as a pipe or a link: refused, not waited on.
    fifo(oldpc / "machine.ini");
    Machine m;
    EXPECT_NE(m.open(oldpc), WinError::Success);
    fs::remove(oldpc / "machine.ini");
    fs::create_symlink(t.folder() / "machine.ini", oldpc / "machine.ini");
    EXPECT_NE(m.open(oldpc), WinError::Success);
    // registry.db as a pipe or as a link into another machine: not opened.
    Registry reg;
    fifo(oldpc / "registry.db");
    EXPECT_EQ(reg.open(oldpc / "registry.db"), WinError::AccessDenied);
    fs::remove(oldpc / "registry.db");
    fs::create_symlink(t.folder() / "registry.db", oldpc / "registry.db");
    EXPECT_EQ(reg.open(oldpc / "registry.db"), WinError::AccessDenied);
    fs::remove(oldpc / "registry.db");
    fs::create_symlink(t.network() / "dangling.db", oldpc / "registry.db");
    EXPECT_EQ(reg.open(oldpc / "registry.db"), WinError::AccessDenied);
    EXPECT_FALSE(fs::exists(t.network() / "dangling.db")) << "nothing made through the link";
}

TEST_F(HostileMachineFilesTest, SideFilesAndShortcutsThatAreNoRegularFilesAreNotRead)
{
    FileSystem files = t.fileSystem();
    const fs::path data = oldpc / "drives/C/Data";
    struct Plant {
        const char* what;
        std::function<void(const fs::path&)> make;
        FsError plainRead; // a whole-file read without a size bound
    };
    const Plant plants[] = {
        {"a pipe", fifo, FsError::PathFileAccess},
        {"a link to a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
            FsError::PathNotFound},
        {"an oversized file",
            [](const fs::path& p) {
                testutil::writeFile(p, "");
                fs::resize_file(p, kMaxMetadataBytes + 1); // sparse: costs no disk
            },
            FsError::None},
    };
    for (const Plant& plant : plants) {
        SCOPED_TRACE(plant.what);
        for (const char* name : {":attributes", "desktop.lnk"}) {
            fs::remove(data / name);
            plant.make(data / name);
        }
        unsigned bits = 0;
        EXPECT_EQ(files.getAttributes("\\\\OLDPC\\C$\\Data\\a.txt", bits), FsError::None);
        EXPECT_EQ(bits, attr::Archive) << "no side file: the default";
        ShellLink link;
        EXPECT_NE(link.load(files, "\\\\OLDPC\\C$\\Data\\desktop.lnk"), FsError::None);
        std::string bytes;
        EXPECT_EQ(files.readFile("\\\\OLDPC\\C$\\Data\\desktop.lnk", bytes), plant.plainRead);
    }
}

TEST_F(HostileMachineFilesTest, TheSideFileWriterNeverFollowsALinkAtItsTemporaryName)
{
    FileSystem files = t.fileSystem();
    const fs::path data = oldpc / "drives/C/Data";
    const fs::path outside = t.network() / "outside.txt";
    testutil::writeFile(outside, "untouched");
    for (const char* name : {":attributes.new", ":attributes.tmp", "machine.ini.new"})
        fs::create_symlink(outside, data / name);
    fs::create_symlink(outside, oldpc / "machine.ini.new");
    ASSERT_EQ(
        files.setAttributes("\\\\OLDPC\\C$\\Data\\a.txt", attr::ReadOnly | attr::Hidden), FsError::None);
    unsigned bits = 0;
    ASSERT_EQ(files.getAttributes("\\\\OLDPC\\C$\\Data\\a.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::ReadOnly | attr::Hidden);
    MachineConfig c = t.config();
    std::string error;
    ASSERT_TRUE(saveMachineConfig(t.folder(), c, error)) << error;
    EXPECT_EQ(testutil::readFile(outside), "untouched");
    EXPECT_FALSE(fs::is_symlink(data / std::string(kAttributeSidecar)));
}

TEST_F(HostileMachineFilesTest, AComputerNameClaimedByTwoFoldersIsRefusedAndLoggedWithBoth)
{
    const MachineConfig twin = oldPcConfig();
    std::string error;
    ASSERT_TRUE(saveMachineConfig(t.network() / "aaa-impostor", twin, error)) << error;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(t.resolver().resolve("\\\\OLDPC\\C$\\Data\\a.txt").error, WinError::BadNetPath);
    EXPECT_FALSE(Network(t.folder(), t.config()).findComputer("oldpc").has_value());
    std::vector<std::string> lines;
    for (const MachineEvent& e : readMachineEvents(t.folder()))
        if (e.kind == "network")
            lines.push_back(e.text);
    ASSERT_EQ(lines.size(), 1u) << "logged once, not at every path";
    EXPECT_NE(lines[0].find((t.network() / "aaa-impostor").string()), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(oldpc.string()), std::string::npos) << lines[0];
    // The impostor gone, the real source answers again.
    fs::remove_all(t.network() / "aaa-impostor");
    EXPECT_TRUE(t.resolver().resolve("\\\\OLDPC\\C$\\Data\\a.txt").exists);
}

TEST_F(HostileMachineFilesTest, ADriveFolderMayBeAHostLinkButLinksBelowItStayRefused)
{
    const fs::path disk = t.network() / "mounted-disk";
    fs::create_directories(disk / "Data");
    testutil::writeFile(disk / "Data/b.txt", "on the disk");
    fs::remove_all(oldpc / "drives/C");
    fs::create_symlink(disk, oldpc / "drives/C");
    fs::create_symlink(t.network() / "outside.txt", disk / "Data/escape.txt");
    FileSystem files = t.fileSystem();
    std::string bytes;
    EXPECT_EQ(files.readFile("\\\\OLDPC\\C$\\Data\\b.txt", bytes), FsError::None);
    EXPECT_EQ(bytes, "on the disk");
    ASSERT_EQ(files.setAttributes("\\\\OLDPC\\C$\\Data\\b.txt", attr::Hidden), FsError::None);
    EXPECT_TRUE(fs::is_regular_file(disk / "Data" / std::string(kAttributeSidecar)));
    EXPECT_FALSE(files.fileExists("\\\\OLDPC\\C$\\Data\\escape.txt"));
    EXPECT_NE(files.writeFile("\\\\OLDPC\\C$\\Data\\escape.txt", "x"), FsError::None);
    EXPECT_FALSE(fs::exists(t.network() / "outside.txt"));
}
