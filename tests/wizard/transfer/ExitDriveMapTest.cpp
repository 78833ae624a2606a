// ExitDriveMapTest.cpp: the drive map's listing and the exit routine fed from it: exactly the
// mapped local drives are disconnected.
#include "platform/MessageBox.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/TransferGlobals.h"

#include "tests/platform/TestMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
using Strings = std::vector<std::string>;

TEST(DriveMapListing, ListsMappedPairsInSourceOrderAndLeavesOutUnmappedOnes)
{
    wizard::DriveMap map;
    map.set("e:", "Y:");
    map.set("C:", "Z:");
    map.set("D:", "");
    EXPECT_EQ(map.entries(), (Pairs{{"C:", "Z:"}, {"E:", "Y:"}}));
    EXPECT_EQ(map.localDrives(), (Strings{"Z:", "Y:"}));
    map.set("C:", "X:"); // mapped again: the new letter replaces the old one
    EXPECT_EQ(map.localDrives(), (Strings{"X:", "Y:"}));
    map.clear();
    EXPECT_TRUE(map.entries().empty());
    EXPECT_TRUE(map.localDrives().empty());
}

TEST(DriveMapListing, ALocalDriveSharedBySourceDrivesIsListedOnce)
{
    wizard::DriveMap map;
    map.set("C:", "Z:");
    map.set("D:", "z:");
    EXPECT_EQ(map.entries().size(), 2u);
    EXPECT_EQ(map.localDrives(), (Strings{"Z:"}));
}

// Records the disconnections; every other service succeeds without doing anything.
class RecordingServices : public wizard::ExitServices {
public:
    Strings disconnected;
    bool folderExists(const std::string&) override { return false; }
    bool deleteFolder(const std::string&) override { return true; }
    bool deleteFile(const std::string&) override { return true; }
    bool fileExists(const std::string&) override { return false; }
    bool cancelConnection(const std::string& drive) override
    {
        disconnected.push_back(drive);
        return true;
    }
    bool importRegistryFile(const std::string&) override { return true; }
    bool restartMachine() override { return true; }
};

class ExitWithDriveMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(host.host("Program Files/Kestro")); // the log's folder
        m_previous = common::Service<wizard::ExitServices>::replace(&services);
        wizard::transferGlobals().driveMap.clear();
        wizard::WizardStarted = true;
        wizard::MigrationMode = "selective";
        wizard::RegistryRequired = false;
        wizard::setExitStateReader(&wizard::exitStateWithDriveMap);
    }
    void TearDown() override
    {
        EXPECT_TRUE(messages.unexpected().empty());
        wizard::setExitStateReader(nullptr);
        common::Service<wizard::ExitServices>::replace(m_previous);
        wizard::transferGlobals().driveMap.clear();
        wizard::resetWizardState();
    }

    testutil::TestMachine host; // where the exit routine's log goes
    RecordingServices services;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};

private:
    wizard::ExitServices* m_previous = nullptr;
};

TEST_F(ExitWithDriveMapTest, DisconnectsExactlyTheMappedLocalDrives)
{
    wizard::DriveMap& map = wizard::transferGlobals().driveMap;
    map.set("D:", "Y:");
    map.set("C:", "Z:");
    map.set("E:", ""); // looked at but never mapped
    EXPECT_EQ(wizard::exitStateWithDriveMap().mappedDrives, (Strings{"Z:", "Y:"}));
    messages.answer(platform::MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application());
    EXPECT_EQ(services.disconnected, (Strings{"Z:", "Y:"}));
}

TEST_F(ExitWithDriveMapTest, KeepsTheRestOfTheSharedStateAndDisconnectsNothingWithoutAMap)
{
    wizard::MigrationMode = "mass";
    wizard::MassStage = 1;
    const wizard::ExitState state = wizard::exitStateWithDriveMap();
    EXPECT_TRUE(state.wizardStarted);
    EXPECT_EQ(state.migrationMode, "mass");
    EXPECT_EQ(state.massStage, 1);
    EXPECT_TRUE(state.mappedDrives.empty());
    messages.answer(platform::MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application());
    EXPECT_TRUE(services.disconnected.empty());
    wizard::MassStage = 0;
}

TEST_F(ExitWithDriveMapTest, StayingInTheWizardDisconnectsNothing)
{
    wizard::transferGlobals().driveMap.set("C:", "Z:");
    messages.answer(platform::MsgResult::No);
    EXPECT_FALSE(wizard::Exit_Application());
    EXPECT_TRUE(services.disconnected.empty());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Are you sure you want to exit Kestro?");
    EXPECT_TRUE(messages.unexpected().empty());
}

} // namespace
