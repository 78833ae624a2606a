// ExitRoutineTest.cpp: the exit routine's decision table row by row, and what it removes.
#include "wizard/core/ExitRoutine.h"

#include "platform/EventLog.h"
#include "platform/MachineConfig.h"
#include "platform/MessageBox.h"
#include "platform/Network.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "wizard/core/WizardWindows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

// A machine as the exit routine sees it: folders and files that exist, connections, the mirror.
class FakeMachine : public wizard::ExitServices {
public:
    std::set<std::string> folders;
    std::set<std::string> files;
    std::set<std::string> connected;
    std::set<std::string> busyDrives;  // cannot be disconnected
    std::set<std::string> undeletable; // folders that stay
    bool mirrorPresent = true;
    bool restartFails = false;
    int restarts = 0;
    std::vector<std::string> imported;
    std::vector<std::string> calls; // every changing call, in order

    bool folderExists(const std::string& p) override { return folders.count(p) != 0; }
    bool deleteFolder(const std::string& p) override
    {
        calls.push_back("rmdir " + p);
        if (undeletable.count(p))
            return false;
        folders.erase(p);
        return true;
    }
    bool fileExists(const std::string& p) override { return files.count(p) != 0; }
    bool deleteFile(const std::string& p) override
    {
        calls.push_back("del " + p);
        return files.erase(p) != 0;
    }
    bool cancelConnection(const std::string& d) override
    {
        calls.push_back("disconnect " + d);
        if (busyDrives.count(d))
            return false;
        connected.erase(d);
        return true;
    }
    bool importRegistryFile(const std::string& p) override
    {
        calls.push_back("import " + p);
        imported.push_back(p);
        mirrorPresent = false;
        return true;
    }
    bool restartMachine() override
    {
        calls.push_back("restart");
        if (restartFails)
            return false;
        ++restarts;
        return true;
    }
};

const std::string kApp = "C:\\Program Files\\Kestro";
const std::string kRemoveQZ = kApp + "\\RegFiles\\RemoveQZ.reg";
const std::string kPlain = "C:\\PROGRAM FILES\\KESTRO\\WKXFILES\\DEC_KESTRO.XML";

class ExitRoutineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = common::Service<wizard::ExitServices>::replace(&machine);
        for (const std::string& f : wizard::exitWorkingFolders(kApp))
            machine.folders.insert(f);
        machine.files = {kRemoveQZ, kPlain};
        machine.connected = {"Z:", "Y:"};
        state.wizardStarted = true;
        state.appPath = kApp;
        state.mappedDrives = {"Z:", "Y:"};
        state.lastDecryptedPath = kPlain;
    }
    void TearDown() override { common::Service<wizard::ExitServices>::replace(m_previous); }

    bool cleanedUp() const
    {
        return machine.folders.empty() && machine.connected.empty() && machine.files.count(kPlain) == 0;
    }
    bool untouched() const
    {
        return machine.calls.empty() && machine.folders.size() == 4 && machine.mirrorPresent;
    }

    testsupport::TestMachine host; // where the routine's log records go
    FakeMachine machine;
    wizard::ExitState state;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};

private:
    wizard::ExitServices* m_previous = nullptr;
};

TEST_F(ExitRoutineTest, BeforeTheWizardStartedItEndsAtOnceAndLeavesEverything)
{
    state.wizardStarted = false;
    state.migrationMode = "selective";
    state.registryRequired = true;
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(untouched());
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Please wait....");
}

TEST_F(ExitRoutineTest, MassFinishedTellsWithOkOnlyAndRestarts)
{
    state.migrationMode = "mass";
    state.massStage = 3;
    messages.answer(MsgResult::Ok);
    EXPECT_TRUE(wizard::Exit_Application(state));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Mass Migration successfully completed. Click OK to restart the PC.");
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Information);
    EXPECT_FALSE(machine.mirrorPresent);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(machine.restarts, 1);
    // The restart comes last, after the clean-up.
    EXPECT_EQ(machine.calls.back(), "restart");
    EXPECT_EQ(machine.calls.front(), "import " + kRemoveQZ);
}

TEST_F(ExitRoutineTest, MassFinishedWithoutAChosenModeCleansUpAndRestarts)
{
    state.migrationMode = "";
    state.massStage = 3;
    messages.answer(MsgResult::Ok);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_EQ(messages.shown().at(0).buttons, MsgButtons::Ok);
    EXPECT_FALSE(machine.mirrorPresent);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(machine.restarts, 1);
}

TEST_F(ExitRoutineTest, MassUnderWayAsksAndNoKeepsTheWizardOpen)
{
    for (int stage : {0, 1, 2}) {
        machine.calls.clear();
        state.migrationMode = "mass";
        state.massStage = stage;
        messages.answer(MsgResult::No);
        EXPECT_FALSE(wizard::Exit_Application(state)) << stage;
        EXPECT_TRUE(untouched()) << stage;
    }
    ASSERT_EQ(messages.shown().size(), 3u);
    EXPECT_EQ(messages.shown()[2].text, "Are you sure you want to exit Kestro?");
    EXPECT_EQ(messages.shown()[2].buttons, MsgButtons::YesNo);
}

TEST_F(ExitRoutineTest, MassUnderWayYesCleansUpButKeepsTheMirror)
{
    state.migrationMode = "mass";
    state.massStage = 1;
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_TRUE(cleanedUp());
    EXPECT_TRUE(machine.mirrorPresent);
    EXPECT_EQ(machine.restarts, 0);
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Please wait.. Kestro closing...!");
}

TEST_F(ExitRoutineTest, MassAtAnOtherStageAsksNothingAndCleansUp)
{
    state.migrationMode = "mass";
    state.massStage = 7;
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(cleanedUp());
    EXPECT_TRUE(machine.mirrorPresent);
}

TEST_F(ExitRoutineTest, SelectiveWithRegistryCancelChangesNothing)
{
    state.migrationMode = "selective";
    state.registryRequired = true;
    messages.answer(MsgResult::Cancel);
    EXPECT_FALSE(wizard::Exit_Application(state));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text,
        "Do you want to restart the PC? We recommend to restart the PC after migration.");
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(untouched());
}

TEST_F(ExitRoutineTest, SelectiveWithRegistryNoRemovesTheMirrorWithoutRestart)
{
    state.migrationMode = "selective";
    state.registryRequired = true;
    messages.answer(MsgResult::No);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_FALSE(machine.mirrorPresent);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(machine.restarts, 0);
}

TEST_F(ExitRoutineTest, SelectiveWithRegistryYesRemovesTheMirrorAndRestarts)
{
    state.migrationMode = "selective";
    state.registryRequired = true;
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_FALSE(machine.mirrorPresent);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(machine.restarts, 1);
}

TEST_F(ExitRoutineTest, SelectiveWithoutRegistryNeverTouchesTheMirror)
{
    state.migrationMode = "selective";
    messages.answer(MsgResult::No);
    EXPECT_FALSE(wizard::Exit_Application(state));
    EXPECT_TRUE(untouched());
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_TRUE(machine.mirrorPresent);
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(machine.restarts, 0);
}

TEST_F(ExitRoutineTest, ModeComparisonIsCaseSensitive)
{
    // "Selective" is not "selective": the not-selective rows apply (stage 0 asks Yes/No).
    state.migrationMode = "Selective";
    state.registryRequired = true;
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(machine.mirrorPresent);
}

TEST_F(ExitRoutineTest, WorkingFoldersGoInOrderAndOneThatStaysDoesNotStopTheExit)
{
    state.migrationMode = "selective";
    machine.undeletable = {kApp + "\\tempreg"};
    machine.folders.erase("C:\\QZImpTemp");
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    const std::vector<std::string> firstCalls(machine.calls.begin(), machine.calls.begin() + 3);
    EXPECT_EQ(firstCalls,
        (std::vector<std::string>{
            "rmdir " + kApp + "\\temp", "rmdir " + kApp + "\\tempreg", "rmdir C:\\QZExpTemp"}));
    EXPECT_EQ(machine.folders, (std::set<std::string>{kApp + "\\tempreg"}));
    EXPECT_TRUE(machine.connected.empty());
}

TEST_F(ExitRoutineTest, ADriveInUseIsReportedOnceAndTheExitGoesOn)
{
    state.migrationMode = "mass";
    state.massStage = 0;
    machine.busyDrives = {"Y:"};
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "Not able to disconnect Mapped Drive Y:,Drive may being used!");
    EXPECT_EQ(messages.shown()[1].icon, MsgIcon::Critical);
    EXPECT_EQ(machine.connected, (std::set<std::string>{"Y:"}));
    EXPECT_EQ(machine.files.count(kPlain), 0u);
}

TEST_F(ExitRoutineTest, AFailedRestartAsksTheUserToRestartAndStillEnds)
{
    state.migrationMode = "selective";
    state.registryRequired = true;
    machine.restartFails = true;
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "Please restart after saving your work");
    EXPECT_TRUE(cleanedUp());
}

TEST_F(ExitRoutineTest, AMissingRemoveFileImportsNothingAndTheExitGoesOn)
{
    machine.files.erase(kRemoveQZ);
    state.migrationMode = "selective";
    state.registryRequired = true;
    messages.answer(MsgResult::No);
    EXPECT_TRUE(wizard::Exit_Application(state));
    EXPECT_TRUE(machine.imported.empty());
    EXPECT_TRUE(machine.mirrorPresent);
    EXPECT_TRUE(cleanedUp());
    EXPECT_FALSE(wizard::Remove_Registry_Entries(kApp));
}

TEST_F(ExitRoutineTest, NoPlainScriptYetDeletesNoFile)
{
    state.lastDecryptedPath.clear();
    state.migrationMode = "selective";
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(wizard::Exit_Application(state));
    for (const std::string& call : machine.calls)
        EXPECT_NE(call.rfind("del ", 0), 0u) << call;
}

} // namespace

namespace {

// The default services act on the running machine: its folders, registry and events log.
class MachineExitServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::Registry reg;
        ASSERT_EQ(reg.open(host.folder() / "registry.db"), platform::WinError::Success);
        platform::RegKey key;
        ASSERT_EQ(reg.createKey(platform::RegKey(platform::RegRoot::LocalMachine),
                      "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft", key),
            platform::WinError::Success);
        ASSERT_EQ(reg.createKey(platform::RegKey(platform::RegRoot::CurrentUser), "Network\\Z", key),
            platform::WinError::Success);
        ASSERT_EQ(reg.setString(key, "RemotePath", "\\\\OLDPC\\C$"), platform::WinError::Success);
    }
    bool keyExists(platform::RegRoot root, const std::string& path)
    {
        platform::Registry reg;
        reg.open(host.folder() / "registry.db");
        platform::RegKey key;
        return reg.openKey(platform::RegKey(root), path, key) == platform::WinError::Success;
    }
    testsupport::TestMachine host;
};

TEST_F(MachineExitServicesTest, RemoveQZRemovesTheMirrorFromTheRegistry)
{
    std::filesystem::create_directories(host.appFolder() / "RegFiles");
    std::filesystem::copy_file(std::filesystem::path(KESTRO_DATA_DIR) / "RegFiles" / "RemoveQZ.reg",
        host.appFolder() / "RegFiles" / "RemoveQZ.reg");
    common::Service<wizard::ExitServices>::Override defaults{nullptr};
    wizard::ExitServices& s = wizard::exitServices();
    EXPECT_TRUE(wizard::Remove_Registry_Entries(kApp));
    EXPECT_FALSE(keyExists(platform::RegRoot::LocalMachine, "SOFTWARE\\QZ"));
    EXPECT_TRUE(keyExists(platform::RegRoot::LocalMachine, "SOFTWARE"));
    // An empty file imports nothing.
    {
        std::ofstream(host.appFolder() / "empty.reg");
    }
    EXPECT_FALSE(s.importRegistryFile(kApp + "\\empty.reg"));
}

TEST_F(MachineExitServicesTest, AMissingRemoveFileLeavesTheMirror)
{
    common::Service<wizard::ExitServices>::Override defaults{nullptr};
    EXPECT_FALSE(wizard::Remove_Registry_Entries(kApp));
    EXPECT_TRUE(keyExists(platform::RegRoot::LocalMachine, "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE"));
}

TEST_F(MachineExitServicesTest, FoldersConnectionsAndTheRestartActOnTheMachine)
{
    common::Service<wizard::ExitServices>::Override defaults{nullptr};
    wizard::ExitServices& s = wizard::exitServices();
    std::filesystem::create_directories(host.machine().host("QZImpTemp/sub"));
    {
        std::ofstream(host.machine().host("QZImpTemp/sub/a.reg")) << "x";
    }
    EXPECT_TRUE(s.folderExists("C:\\QZImpTemp"));
    EXPECT_TRUE(s.deleteFolder("C:\\QZImpTemp"));
    EXPECT_FALSE(std::filesystem::exists(host.machine().host("QZImpTemp")));
    EXPECT_FALSE(s.folderExists("C:\\QZImpTemp"));

    EXPECT_TRUE(s.cancelConnection("z:"));
    EXPECT_FALSE(keyExists(platform::RegRoot::CurrentUser, "Network\\Z"));
    EXPECT_FALSE(s.cancelConnection("Y:"));

    EXPECT_TRUE(s.restartMachine());
    const auto events = platform::readMachineEvents(host.folder());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "restart");
}

TEST_F(MachineExitServicesTest, TheExitRoutineDisconnectsItsDrivesThroughTheNetwork)
{
    host.machine().addWin98Source("OLDPC", "192.168.0.3");
    platform::RunningMachine* running = platform::RunningMachine::current();
    ASSERT_NE(running, nullptr);
    ASSERT_EQ(running->network().addConnection("Y:", "\\\\OLDPC\\C$", nullptr, nullptr),
        platform::WinError::Success);

    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};
    wizard::ExitServices* previous = common::Service<wizard::ExitServices>::replace(nullptr);
    wizard::ExitState state;
    state.wizardStarted = true;
    state.migrationMode = "selective";
    state.appPath = kApp;
    state.mappedDrives = {"Y:", "Q:"}; // Q: was never connected
    messages.answer(MsgResult::Yes);
    messages.answer(MsgResult::Ok);
    EXPECT_TRUE(wizard::Exit_Application(state));
    common::Service<wizard::ExitServices>::replace(previous);

    EXPECT_FALSE(running->network().connection('Y'));
    EXPECT_TRUE(running->network().connection('Z')) << "a connection the wizard did not map stays";
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "Not able to disconnect Mapped Drive Q:,Drive may being used!");
    EXPECT_EQ(messages.shown()[1].icon, MsgIcon::Critical);
}

} // namespace
