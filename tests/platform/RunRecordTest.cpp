// RunRecordTest.cpp: a run still going keeps what it made until it ends, and ending it leaves no
// record behind (what a killed run leaves is walked in tests/wizard/integration/RunWalkTest.cpp).
#include "platform/RunRecord.h"

#include "platform/FileSystemHost.h"
#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(RunRecordTest, ARunStillGoingIsLeftAloneAndOneThatEndsLeavesNoRecord)
{
    testutil::TestMachine machine;
    machine.addWin98Source("OLDPC", "192.168.0.3");
    platform::Network& net = platform::RunningMachine::current()->network();

    ASSERT_TRUE(platform::RunRecord::start(machine.folder()));
    ASSERT_EQ(net.addConnection("F:", "\\\\OLDPC\\C$", nullptr, nullptr), platform::WinError::Success);
    const fs::path folder = machine.host("Videos");
    fs::create_directories(folder);
    platform::RunRecord::notePartialFolder(folder);
    const fs::path partial = folder / platform::hostfs::partialName();
    std::ofstream(partial) << "half";

    const platform::UnfinishedRunsRemoved removed = platform::removeUnfinishedRuns(machine.folder(), net);
    EXPECT_EQ(removed.runs, 0);
    EXPECT_TRUE(fs::exists(partial)) << "this run is still copying";
    EXPECT_TRUE(net.connection('F'));

    platform::RunRecord::finish();
    EXPECT_TRUE(fs::is_empty(machine.folder() / "runs"));
    EXPECT_EQ(platform::removeUnfinishedRuns(machine.folder(), net).runs, 0);
    EXPECT_TRUE(net.connection('F')) << "a run that ended is not undone";
}

} // namespace
