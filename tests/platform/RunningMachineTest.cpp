// RunningMachineTest.cpp: the one open machine of a run: given by folder, opened from the
// environment, kept across calls, and the machine child programs are started on.
#include "platform/RunningMachine.h"
#include "platform/ProcessRunner.h"
#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(RunningMachineTest, AFolderGivenIsTheMachineAndItsFilesRegistryAndNetworkAreOnIt)
{
    testutil::TestMachine host("NEWPC");
    platform::MachineConfig peer;
    applyOsDefaults("win98", peer);
    peer.computerName = "OLDPC";
    peer.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
    const auto peerFolder = host.addMachine(peer);

    ASSERT_EQ(RunningMachine::use(peerFolder), WinError::Success);
    RunningMachine* running = RunningMachine::current();
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(running->config().computerName, "OLDPC");
    EXPECT_EQ(running->os(), OsCode::Win98);
    ASSERT_EQ(running->files().writeFile("C:\\x.txt", "peer"), FsError::None);
    EXPECT_TRUE(std::filesystem::exists(peerFolder / "drives" / "C" / "x.txt"));
    EXPECT_EQ(running->network().self().computerName, "OLDPC");
    EXPECT_EQ(runningMachineFolder(), peerFolder);

    // The same object, with its registry connection, for the rest of the run.
    RegKey key;
    ASSERT_EQ(
        running->registry().createKey(RegKey(RegRoot::LocalMachine), "SOFTWARE\\QZ", key), WinError::Success);
    EXPECT_EQ(RunningMachine::current(), running);
    RegKey again;
    EXPECT_EQ(
        RunningMachine::current()->registry().openKey(RegKey(RegRoot::LocalMachine), "SOFTWARE\\QZ", again),
        WinError::Success);
}

TEST(RunningMachineTest, AFolderThatIsNoMachineIsRefusedAndTheOpenOneStays)
{
    testutil::TestMachine host("NEWPC");
    RunningMachine* before = RunningMachine::current();
    ASSERT_NE(before, nullptr);
    std::string message;
    EXPECT_NE(RunningMachine::use(host.network() / "nothing", &message), WinError::Success);
    EXPECT_FALSE(message.empty());
    ASSERT_EQ(RunningMachine::current(), before);
    EXPECT_EQ(before->config().computerName, "NEWPC");
}

TEST(RunningMachineTest, AfterCloseTheNextUseOpensTheMachineTheEnvironmentNames)
{
    testutil::TestMachine host("NEWPC");
    RunningMachine::close();
    RunningMachine* reopened = RunningMachine::current();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->folder(), host.folder());
    EXPECT_EQ(RunningMachine::open(), WinError::Success);
    EXPECT_EQ(RunningMachine::current(), reopened) << "open() keeps a machine that is open";
}

} // namespace
