// NetworkTest.cpp: names, shares, the browser, drive connections with their logon rules and
// error codes, drive types and space, parallel ports — on a small network built per test.
#include "platform/Network.h"
#include "platform/Machine.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_net = fs::temp_directory_path() / ("nettest-" + std::to_string(::getpid()));
        fs::remove_all(m_net);
        fs::create_directories(m_net);

        MachineConfig old98 = base("OLDPC", "win98", "192.168.0.10");
        old98.drives = {fixed('C', 2000, 500), fixed('D', 8000, 6000)};
        old98.shares = {{"C$", "C:\\"}, {"D$", "D:\\"}};
        add("oldpc", old98);

        MachineConfig oldxp = base("OldXp", "winxp", "192.168.0.11");
        oldxp.drives = {fixed('C', 4000, 1000)};
        oldxp.shares = {{"C$", "C:\\"}, {"C", "C:\\"}};
        oldxp.accounts = {{"admin", "secret", true}, {"guest", "", false}, {"Anna", "annapw", true}};
        add("oldxp", oldxp);

        MachineConfig off = base("SLEEPY", "winxp", "192.168.0.12");
        off.shares = {{"C$", "C:\\"}};
        off.reachable = false;
        add("sleepy", off);

        MachineConfig newpc = base("NEWPC", "winxp", "192.168.0.20");
        DriveEntry floppy;
        floppy.letter = 'A';
        floppy.type = DriveType::Removable;
        newpc.drives = {floppy, fixed('C', 10000, 9000), fixed('D', 20000, 15000)};
        newpc.userName = "Anna";
        newpc.accounts = {{"Anna", "annapw", true}};
        newpc.parallelPorts = {2, 3};
        add("newpc", newpc);
        fs::remove_all(driveFolder(m_net / "newpc", 'A')); // no floppy in the drive
        m_newpc = newpc;
    }
    void TearDown() override { fs::remove_all(m_net); }

    static MachineConfig base(const std::string& name, const std::string& os, const std::string& address)
    {
        MachineConfig c;
        applyOsDefaults(os, c);
        c.os = os;
        c.computerName = name;
        c.address = address;
        return c;
    }
    static DriveEntry fixed(char letter, std::uint64_t total, std::uint64_t free)
    {
        DriveEntry d;
        d.letter = letter;
        d.type = DriveType::Fixed;
        d.totalBytes = total;
        d.freeBytes = free;
        return d;
    }
    void add(const std::string& folder, const MachineConfig& config)
    {
        std::string error;
        ASSERT_TRUE(saveMachineConfig(m_net / folder, config, error)) << error;
    }
    Network fromNew() const { return Network(m_net / "newpc", m_newpc); }

    std::string remotePathInRegistry(char letter)
    {
        Registry reg;
        if (reg.open(m_net / "newpc" / Machine::kRegistryFileName, Registry::OpenMode::OpenExisting) !=
            WinError::Success)
            return "<no registry>";
        RegKey key;
        if (reg.openKey(RegRoot::CurrentUser, std::string("Network\\") + letter, key) != WinError::Success)
            return "<no key>";
        std::string value;
        reg.queryString(key, "RemotePath", value);
        return value;
    }

    fs::path m_net;
    MachineConfig m_newpc;
};

TEST_F(NetworkTest, NamesResolveToAddressesOfReachableMachines)
{
    const Network net = fromNew();
    EXPECT_EQ(net.resolve("oldpc").value_or("none"), "192.168.0.10");
    EXPECT_EQ(net.resolve(" OLDXP ").value_or("none"), "192.168.0.11");
    EXPECT_EQ(net.resolve("192.168.0.11").value_or("none"), "192.168.0.11");
    EXPECT_EQ(net.resolve("NewPc").value_or("none"), "192.168.0.20");
    EXPECT_EQ(net.resolve("localhost").value_or("none"), "127.0.0.1");
    EXPECT_FALSE(net.resolve("SLEEPY").has_value());
    EXPECT_FALSE(net.resolve("NOSUCHPC").has_value());
    EXPECT_FALSE(net.resolve("192.168.0.99").has_value());
    EXPECT_FALSE(net.resolve("192.168.0.1O").has_value());
    EXPECT_FALSE(net.resolve("").has_value());
}

TEST_F(NetworkTest, SharesAndAdminShares)
{
    const Network net = fromNew();
    EXPECT_TRUE(net.shareExists("\\\\OLDPC\\C$"));
    EXPECT_TRUE(net.shareExists("\\\\oldpc\\d$\\My Documents"));
    EXPECT_FALSE(net.shareExists("\\\\OLDPC\\C"));
    EXPECT_FALSE(net.shareExists("\\\\SLEEPY\\C$"));
    EXPECT_FALSE(net.shareExists("\\\\OLDPC"));
    EXPECT_FALSE(net.shareExists("C:\\"));
    EXPECT_EQ(net.adminShares("OLDPC"), (std::vector<std::string>{"C:", "D:"}));
    EXPECT_EQ(net.adminShares("OLDXP"), (std::vector<std::string>{"C:"}));
    EXPECT_TRUE(net.adminShares("SLEEPY").empty());
}

TEST_F(NetworkTest, BrowserListsReachableMachines)
{
    EXPECT_EQ(fromNew().browseComputers(), (std::vector<std::string>{"NEWPC", "OLDPC", "OLDXP"}));
    MachineConfig cut = m_newpc;
    cut.networkAdapter = false;
    Network offline(m_net / "newpc", cut);
    EXPECT_TRUE(offline.browseComputers().empty());
    EXPECT_FALSE(offline.networkPresent());
    EXPECT_FALSE(offline.resolve("OLDPC").has_value());
    EXPECT_EQ(offline.addConnection("F:", "\\\\OLDPC\\C$", nullptr, nullptr), WinError::NoNetwork);
}

TEST_F(NetworkTest, ConnectionIsRememberedInTheRegistryAndIsRemote)
{
    Network net = fromNew();
    ASSERT_EQ(net.addConnection("F:", "\\\\oldpc\\C$", nullptr, nullptr), WinError::Success);
    EXPECT_EQ(remotePathInRegistry('F'), "\\\\oldpc\\C$");
    EXPECT_EQ(net.driveType("F:\\"), DriveType::Remote);
    EXPECT_EQ(net.driveType("f:"), DriveType::Remote);
    EXPECT_EQ(net.driveType("C:\\"), DriveType::Fixed);
    EXPECT_EQ(net.driveType("A:\\"), DriveType::Removable);
    EXPECT_EQ(net.driveType("G:\\"), DriveType::NoRootDir);
    EXPECT_EQ(net.driveType("\\\\OLDPC\\D$\\"), DriveType::Remote);
    EXPECT_EQ(net.driveType("nonsense"), DriveType::NoRootDir);
    const auto conns = net.connections();
    ASSERT_EQ(conns.size(), 1u);
    EXPECT_EQ(conns[0].letter, 'F');
    // A second network object (another process) sees the same connection.
    EXPECT_EQ(fromNew().connection('f').value_or(DriveConnection{}).remotePath, "\\\\oldpc\\C$");
}

TEST_F(NetworkTest, BadRequestsChangeNothing)
{
    Network net = fromNew();
    ASSERT_EQ(net.addConnection("F:", "\\\\OLDPC\\C$", nullptr, nullptr), WinError::Success);
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDPC\\D$", nullptr, nullptr), WinError::AlreadyAssigned);
    EXPECT_EQ(net.addConnection("D:", "\\\\OLDPC\\D$", nullptr, nullptr), WinError::AlreadyAssigned);
    EXPECT_EQ(net.addConnection("G", "\\\\OLDPC\\D$", nullptr, nullptr), WinError::BadDevice);
    EXPECT_EQ(net.addConnection("GH:", "\\\\OLDPC\\D$", nullptr, nullptr), WinError::BadDevice);
    EXPECT_EQ(net.addConnection("G:", "\\\\NOSUCHPC\\C$", nullptr, nullptr), WinError::BadNetPath);
    EXPECT_EQ(net.addConnection("G:", "\\\\SLEEPY\\C$", nullptr, nullptr), WinError::BadNetPath);
    EXPECT_EQ(net.addConnection("G:", "\\\\OLDPC\\C:", nullptr, nullptr), WinError::BadNetName);
    EXPECT_EQ(net.addConnection("G:", "\\\\OLDPC", nullptr, nullptr), WinError::BadNetName);
    EXPECT_EQ(net.addConnection("G:", "OLDPC\\C$", nullptr, nullptr), WinError::BadNetName);
    const auto conns = net.connections();
    ASSERT_EQ(conns.size(), 1u);
    EXPECT_EQ(conns[0].remotePath, "\\\\OLDPC\\C$");
    EXPECT_EQ(remotePathInRegistry('G'), "<no key>");
}

TEST_F(NetworkTest, Win9xServerUsesShareLevelAccess)
{
    Network net = fromNew();
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDPC\\C$", "whoever", "whatever"), WinError::Success);
    EXPECT_EQ(net.addConnection("G:", "\\\\OLDPC\\D$", "", ""), WinError::Success);
}

TEST_F(NetworkTest, NtServerChecksAccountPasswordAndRights)
{
    Network net = fromNew();
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDXP\\C$", "admin", "wrong"), WinError::LogonFailure);
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDXP\\C$", "nobody", "secret"), WinError::LogonFailure);
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDXP\\C$", "admin", "SECRET"), WinError::LogonFailure);
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDXP\\C$", "guest", ""), WinError::AccessDenied);
    EXPECT_TRUE(net.connections().empty());
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDXP\\C", "guest", ""), WinError::Success);
    // Already connected to OLDXP as guest: another user is a credential conflict.
    EXPECT_EQ(
        net.addConnection("G:", "\\\\OLDXP\\C$", "ADMIN", "secret"), WinError::SessionCredentialConflict);
    ASSERT_EQ(net.cancelConnection("F:"), WinError::Success);
    EXPECT_EQ(net.addConnection("G:", "\\\\OLDXP\\C$", "ADMIN", "secret"), WinError::Success);
}

TEST_F(NetworkTest, NullCredentialsAreTheLoggedOnUsers)
{
    Network net = fromNew(); // user Anna, password annapw on both machines
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDXP\\C$", nullptr, nullptr), WinError::Success);
    MachineConfig stranger = m_newpc;
    stranger.userName = "Bert";
    stranger.accounts.clear();
    Network other(m_net / "newpc", stranger);
    ASSERT_EQ(other.cancelConnection("F:"), WinError::Success);
    EXPECT_EQ(other.addConnection("F:", "\\\\OLDXP\\C$", nullptr, nullptr), WinError::LogonFailure);
}

TEST_F(NetworkTest, CancelDropsTheConnection)
{
    Network net = fromNew();
    ASSERT_EQ(net.addConnection("F:", "\\\\OLDPC\\C$", nullptr, nullptr), WinError::Success);
    EXPECT_EQ(net.cancelConnection("f:", kConnectUpdateProfile, true), WinError::Success);
    EXPECT_EQ(remotePathInRegistry('F'), "<no key>");
    EXPECT_EQ(net.driveType("F:\\"), DriveType::NoRootDir);
    EXPECT_EQ(net.cancelConnection("F:"), WinError::NotConnected);
    EXPECT_EQ(net.cancelConnection("C:"), WinError::NotConnected);
    EXPECT_EQ(net.cancelConnection("\\\\OLDPC\\C$"), WinError::NotConnected);
    EXPECT_EQ(net.cancelConnection("F"), WinError::BadDevice);
    // The letter is free again.
    EXPECT_EQ(net.addConnection("F:", "\\\\OLDPC\\D$", nullptr, nullptr), WinError::Success);
}

TEST_F(NetworkTest, SpaceIsConfiguredAndMappedDrivesReportTheirSource)
{
    Network net = fromNew();
    std::uint64_t total = 0, free = 0;
    ASSERT_EQ(net.diskSpace("D:\\", total, free), WinError::Success);
    EXPECT_EQ(total, 20000u);
    EXPECT_EQ(free, 15000u);
    ASSERT_EQ(net.addConnection("F:", "\\\\OLDPC\\D$", nullptr, nullptr), WinError::Success);
    ASSERT_EQ(net.diskSpace("F:", total, free), WinError::Success);
    EXPECT_EQ(total, 8000u);
    EXPECT_EQ(free, 6000u);
    EXPECT_EQ(net.diskSpace("Q:\\", total, free), WinError::InvalidDrive);
    EXPECT_EQ(net.diskSpace("A:\\", total, free), WinError::NotReady);
    // The source machine goes away: its mapped drive no longer answers.
    fs::remove_all(m_net / "oldpc");
    EXPECT_EQ(net.diskSpace("F:\\", total, free), WinError::BadNetPath);
}

TEST_F(NetworkTest, OnlyConfiguredParallelPortsOpen)
{
    const Network net = fromNew();
    EXPECT_FALSE(net.parallelPortOpens(1));
    EXPECT_TRUE(net.parallelPortOpens(2));
    EXPECT_TRUE(net.parallelPortOpens(3));
    EXPECT_FALSE(net.parallelPortOpens(0));
    EXPECT_FALSE(net.parallelPortOpens(9));
}

} // namespace
