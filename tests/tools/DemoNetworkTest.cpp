// DemoNetworkTest.cpp: the demo network's machines, their content, the installed wizard data,
// and that building twice gives the same bytes.
#include "tools/demo-network/DemoNetwork.h"

#include "platform/FileSystem.h"
#include "platform/Machine.h"
#include "platform/Network.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class DemoNetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("demotest-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        // A small stand-in for the repository's data folder.
        fs::create_directories(m_root / "data" / "help");
        fs::create_directories(m_root / "data" / "WKXFiles");
        std::ofstream(m_root / "data" / "help" / "index.html") << "<html>help</html>";
        std::ofstream(m_root / "data" / "WKXFiles" / "Kestro.xml") << "<plain/>";
        std::ofstream(m_root / "data" / "CMakeLists.txt") << "# build file";
        fs::create_directories(m_root / "build-data" / "WKXFiles");
        fs::create_directories(m_root / "build-data" / "CMakeFiles" / "x.dir");
        std::ofstream(m_root / "build-data" / "CMakeFiles" / "x.dir" / "build.make") << "rules";
        std::ofstream(m_root / "build-data" / "cmake_install.cmake") << "# install";
        std::ofstream(m_root / "build-data" / "WKXFiles" / "Kestro.wkx") << "scrambled";
        m_options.dataFolders = {m_root / "data", m_root / "build-data", m_root / "missing"};
    }
    void TearDown() override { fs::remove_all(m_root); }

    // Every file of a tree with its bytes, keyed by relative path.
    static std::map<std::string, std::string> snapshot(const fs::path& dir)
    {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir)) {
            if (!e.is_regular_file())
                continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            files[fs::relative(e.path(), dir).string()] = bytes.str();
        }
        return files;
    }

    std::string regString(
        const std::string& machine, RegRoot root, const std::string& key, const std::string& name)
    {
        Registry reg;
        RegKey k;
        std::string value = "<missing>";
        if (reg.open(m_root / "net" / machine / Machine::kRegistryFileName,
                Registry::OpenMode::OpenExisting) == WinError::Success &&
            reg.openKey(root, key, k) == WinError::Success)
            reg.queryString(k, name, value);
        return value;
    }

    fs::path m_root;
    demo::DemoOptions m_options;
};

TEST_F(DemoNetworkTest, MachinesHaveTheirIdentityAndShares)
{
    std::string error;
    ASSERT_TRUE(demo::buildDemoNetwork(m_root / "net", m_options, error)) << error;
    Machine newpc;
    ASSERT_EQ(newpc.open(m_root / "net" / demo::kDestinationPc), WinError::Success);
    const Network net(newpc.folder(), newpc.config());
    EXPECT_EQ(net.browseComputers(), (std::vector<std::string>{"NEWPC", "OLDPC", "OLDXP"}));
    EXPECT_EQ(net.adminShares("OLDPC"), (std::vector<std::string>{"C:", "D:"}));
    EXPECT_TRUE(net.shareExists("\\\\OLDXP\\C"));
    EXPECT_FALSE(net.shareExists("\\\\OLDXP\\C$"));
    EXPECT_EQ(newpc.config().os, "winxp");
    EXPECT_EQ(net.driveType("D:\\"), DriveType::Fixed);
    Machine oldpc;
    ASSERT_EQ(oldpc.open(m_root / "net" / demo::kSourcePc98), WinError::Success);
    EXPECT_EQ(oldpc.config().os, "win98");
    EXPECT_TRUE(oldpc.config().accounts.empty());
    Machine oldxp;
    ASSERT_EQ(oldxp.open(m_root / "net" / demo::kSourcePcXp), WinError::Success);
    const Account* admin = oldxp.config().account(demo::kXpAdminUser);
    ASSERT_NE(admin, nullptr);
    EXPECT_TRUE(admin->administrator);
    EXPECT_FALSE(admin->password.empty());
}

TEST_F(DemoNetworkTest, SourceRegistryAndFilesAreWhatTheWizardReads)
{
    std::string error;
    ASSERT_TRUE(demo::buildDemoNetwork(m_root / "net", m_options, error)) << error;
    const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(regString("OLDPC", RegRoot::LocalMachine, cv, "SystemRoot"), "C:\\WINDOWS");
    EXPECT_EQ(regString("OLDPC", RegRoot::LocalMachine, cv, "ProductName"), "Microsoft Windows 98");
    EXPECT_EQ(regString("OLDPC", RegRoot::LocalMachine, cv + "\\Uninstall\\Photo Editor", "DisplayName"),
        "Photo Editor 5.0 Deluxe");
    EXPECT_EQ(regString("OLDPC", RegRoot::LocalMachine, cv + "\\Uninstall\\SolitairePlus", "DisplayName"),
        "Solitaire Plus 2.1");
    EXPECT_EQ(regString("OLDPC", RegRoot::CurrentUser, cv + "\\Explorer\\Shell Folders", "Programs"),
        "C:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(regString("OLDXP", RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                  "ProductName"),
        "Microsoft Windows XP");
    EXPECT_EQ(regString("OLDXP", RegRoot::CurrentUser, cv + "\\Explorer\\Shell Folders", "Cookies"),
        "C:\\Documents and Settings\\Sarah\\Cookies");
    EXPECT_NE(regString("OLDXP", RegRoot::LocalMachine,
                  "SOFTWARE\\Microsoft\\Office\\11.0\\Common\\Config\\{90110409-6000-11D3-8CFE-0150048383C9}",
                  "PIDKEY"),
        "<missing>");
    EXPECT_EQ(regString("NEWPC", RegRoot::LocalMachine,
                  "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_067B&PID_0000\\6&3B09E2C&0&1", "DeviceDesc"),
        "Prolific USB-to-USB Network Bridge Cable");

    Machine oldpc;
    ASSERT_EQ(oldpc.open(m_root / "net" / demo::kSourcePc98), WinError::Success);
    const FileSystem files = oldpc.fileSystem();
    EXPECT_EQ(files.getFileVersion("C:\\WINDOWS\\WINIPCFG.EXE"), "4.10.1998.0");
    EXPECT_EQ(files.getFileVersion("C:\\Program Files\\WinZip\\WINZIP32.EXE"), "8.1.0.4331");
    EXPECT_TRUE(files.fileExists("C:\\WINDOWS\\SYSTEM\\3DTEXT~1.SCR"));
    EXPECT_TRUE(files.fileExists("C:\\My Documents\\Letter to the bank.doc"));
    EXPECT_TRUE(
        files.folderExists("C:\\WINDOWS\\Application Data\\Identities\\{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}"
                           "\\Microsoft\\Outlook Express"));
    EXPECT_FALSE(files.driveExists("E:")); // the CD drive is empty
}

TEST_F(DemoNetworkTest, WizardDataIsInstalledWithoutBuildFilesOrPlainScripts)
{
    std::string error;
    ASSERT_TRUE(demo::buildDemoNetwork(m_root / "net", m_options, error)) << error;
    Machine newpc;
    ASSERT_EQ(newpc.open(m_root / "net" / demo::kDestinationPc), WinError::Success);
    const FileSystem files = newpc.fileSystem();
    std::string bytes;
    ASSERT_EQ(files.readFile("C:\\Program Files\\Kestro\\help\\index.html", bytes), FsError::None);
    EXPECT_EQ(bytes, "<html>help</html>");
    ASSERT_EQ(files.readFile("C:\\Program Files\\Kestro\\WKXFiles\\Kestro.wkx", bytes), FsError::None);
    EXPECT_EQ(bytes, "scrambled");
    EXPECT_FALSE(files.fileExists("C:\\Program Files\\Kestro\\WKXFiles\\Kestro.xml"));
    EXPECT_FALSE(files.fileExists("C:\\Program Files\\Kestro\\CMakeLists.txt"));
    EXPECT_FALSE(files.fileExists("C:\\Program Files\\Kestro\\cmake_install.cmake"));
    EXPECT_FALSE(files.folderExists("C:\\Program Files\\Kestro\\CMakeFiles"));
}

TEST_F(DemoNetworkTest, RebuildingGivesTheSameBytes)
{
    std::string error;
    ASSERT_TRUE(demo::buildDemoNetwork(m_root / "a", m_options, error)) << error;
    ASSERT_TRUE(demo::buildDemoNetwork(m_root / "b", m_options, error)) << error;
    const auto first = snapshot(m_root / "a");
    EXPECT_GT(first.size(), 60u);
    EXPECT_EQ(first, snapshot(m_root / "b"));
    // Building over an existing network replaces it: leftovers vanish, the bytes stay the same.
    std::ofstream(m_root / "a" / "OLDPC" / "drives" / "C" / "leftover.txt") << "x";
    ASSERT_TRUE(demo::buildDemoNetwork(m_root / "a", m_options, error)) << error;
    EXPECT_EQ(snapshot(m_root / "a"), first);
}

TEST_F(DemoNetworkTest, FolderThatIsNotAMachineIsLeftAlone)
{
    fs::create_directories(m_root / "net" / "OLDPC");
    std::ofstream(m_root / "net" / "OLDPC" / "precious.txt") << "keep me";
    std::string error;
    EXPECT_FALSE(demo::buildDemoNetwork(m_root / "net", m_options, error));
    EXPECT_NE(error.find("not a machine"), std::string::npos);
    EXPECT_TRUE(fs::exists(m_root / "net" / "OLDPC" / "precious.txt"));
}

} // namespace
