// MassStepsTest.cpp: the mass migration's state from both registries, the space check that refuses
// a destination without room before anything is copied, the MAPI files kept aside and the stages.
#include "wizard/transfer/MassSteps.h"

#include "platform/EventLog.h"
#include "platform/MachineConfig.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/MassState.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::mass;
using platform::MsgResult;
using platform::RegKey;
using platform::RegRoot;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

} // namespace

class MassStepsTest : public ::testing::Test {
protected:
    MassStepsTest()
    {
        m_previous = common::Service<platform::MessageService>::replace(&messages);
        resetWizardState();
        resetProgramEnd();
        WizardStarted = true;
        fs::create_directories(world.hostNew("Program Files/Kestro")); // the exit routine logs there
    }
    ~MassStepsTest() override
    {
        common::Service<platform::MessageService>::replace(m_previous);
        resetWizardState();
        resetProgramEnd();
        massState() = MassState{};
    }

    // Gives drive C: of a machine fixed sizes; the running machine is opened again to see them.
    void sizeDrive(const fs::path& machine, std::uint64_t total, std::uint64_t free)
    {
        platform::MachineConfig c;
        std::string error;
        ASSERT_TRUE(platform::loadMachineConfig(machine, c, error)) << error;
        c.drives.front().totalBytes = total;
        c.drives.front().freeBytes = free;
        ASSERT_TRUE(platform::saveMachineConfig(machine, c, error)) << error;
        platform::RunningMachine::use(newPc());
    }
    fs::path newPc() const { return world.hostNew("").parent_path().parent_path().parent_path(); }
    fs::path oldPc() const { return newPc().parent_path() / "oldpc"; }
    void setValue(RegRoot root, const std::string& path, const std::string& name, const std::string& value)
    {
        RegKey k;
        world.registry().createKey(RegKey(root), path, k);
        world.registry().setString(k, name, value);
    }

    TransferWorld world;
    testsupport::ScriptedMessageService messages;

private:
    platform::MessageService* m_previous = nullptr;
};

TEST_F(MassStepsTest, StateComesFromTheMirrorAndTheLocalRegistry)
{
    const std::string mirror = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\";
    setValue(RegRoot::LocalMachine, mirror + "Windows\\CurrentVersion", "SystemRoot", " C:\\WINDOWS ");
    setValue(
        RegRoot::LocalMachine, mirror + "Windows\\CurrentVersion", "ProductName", "Microsoft Windows 98");
    setValue(RegRoot::LocalMachine, mirror + "Windows NT\\CurrentVersion\\Winlogon", "DefaultUserName", "Jo");
    setValue(
        RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\WINNT");
    setValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName",
        "microsoft windows 2000");
    world.putOld("WINDOWS/SYSTEM/KERNEL32.DLL", "the source's system");

    ASSERT_TRUE(FN_Temp("OLDPC"));
    const MassState& s = massState();
    EXPECT_EQ(s.uncRoot, "\\\\OLDPC");
    EXPECT_EQ(s.sourceSystemRoot, "C:\\WINDOWS");
    EXPECT_EQ(s.destSystemRoot, "C:\\WINNT");
    EXPECT_EQ(s.sourceOsCode, "W98");
    EXPECT_EQ(s.destOsCode, "W2K");
    EXPECT_EQ(s.sourceUserName, "Jo");
    EXPECT_FALSE(s.destUserName.empty());
    EXPECT_EQ(osCodeOf("Windows Millennium Edition"), "ME");
    EXPECT_EQ(osCodeOf("Windows Vista"), "Windows Vista");
}

TEST_F(MassStepsTest, XpSourceWithoutADefaultUserTakesTheLogonUser)
{
    const std::string mirror =
        "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    setValue(RegRoot::LocalMachine, mirror, "SystemRoot", "C:\\WINDOWS");
    setValue(RegRoot::LocalMachine, mirror, "ProductName", "Microsoft Windows XP");
    LogonUserName = "Sarah";
    ASSERT_TRUE(FN_Temp("OLDXP"));
    EXPECT_EQ(massState().sourceUserName, "Sarah");
    setValue(RegRoot::LocalMachine, mirror + "\\Winlogon", "DefaultUserName", "Tom");
    ASSERT_TRUE(FN_Temp("OLDXP"));
    EXPECT_EQ(massState().sourceUserName, "Tom") << "the source's own default user comes first";
}

TEST_F(MassStepsTest, FullDestinationIsRefusedUntilTheUserLeaves)
{
    sizeDrive(oldPc(), 10 * kGiB, 4 * kGiB); // 6 GiB used on the source
    sizeDrive(newPc(), 20 * kGiB, 6 * kGiB); // exactly 6 GiB free: too little
    const auto checks = checkSpace();
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_TRUE(checks[0].compared);
    EXPECT_EQ(checks[0].sourceUsed, 6 * kGiB);
    EXPECT_FALSE(checks[0].enough);

    // The user first declines to leave, is told again, then leaves.
    for (MsgResult r : {MsgResult::Ok, MsgResult::No, MsgResult::Ok, MsgResult::Yes})
        messages.answer(r);
    EXPECT_FALSE(FN_Check_Space());
    EXPECT_TRUE(programEndRequested());
    ASSERT_EQ(messages.shown().size(), 4u);
    EXPECT_EQ(messages.shown()[0].text, "Space is not available in (C:) drive. You can't proceed migration.");
    EXPECT_EQ(messages.shown()[2].text, messages.shown()[0].text);
    EXPECT_TRUE(world.logged("Space is not available in C:", "Proceeded"));
}

TEST_F(MassStepsTest, RoomEnoughOrNoHardDiskPasses)
{
    sizeDrive(oldPc(), 10 * kGiB, 4 * kGiB);
    sizeDrive(newPc(), 20 * kGiB, 6 * kGiB + 1);
    EXPECT_TRUE(FN_Check_Space());
    // A source drive whose letter the destination lacks is not compared (and not copied).
    transferGlobals().driveMap.set("E:", "Z:");
    const auto checks = checkSpace();
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_FALSE(checks[1].compared);
    EXPECT_TRUE(FN_Check_Space());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(programEndRequested());
}

TEST_F(MassStepsTest, MapiFilesAreSavedAndPutBack)
{
    massState().destSystemRoot = "C:\\WINDOWS";
    world.putNew("WINDOWS/System32/mapi32.dll", "own");
    world.putNew("WINDOWS/System32/mapi.dll", "own16");
    EXPECT_TRUE(FN_MAPI("back"));
    world.putNew("WINDOWS/System32/mapi32.dll", "source's");
    EXPECT_EQ(world.readNew("Program Files/Kestro/Temp/Mapi/mapi32.dll"), "own");
    EXPECT_TRUE(FN_MAPI("RES"));
    EXPECT_EQ(world.readNew("WINDOWS/System32/mapi32.dll"), "own");
    EXPECT_EQ(world.readNew("WINDOWS/System32/mapi.dll"), "own16");
    EXPECT_FALSE(fs::exists(world.hostNew("Program Files/Kestro/Temp/Mapi")));
    EXPECT_TRUE(FN_MAPI("")) << "a restore without a save does nothing";
    EXPECT_FALSE(world.logged("FN_MAPI_Err", ""));

    // A file held open cannot be put back: told in the log, and the step still goes on.
    EXPECT_TRUE(FN_MAPI("back"));
    platform::FileSystem fsys = world.fileSystem();
    platform::FileLock lock = fsys.lockFile("C:\\WINDOWS\\System32\\mapi32.dll");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_TRUE(FN_MAPI("RES"));
    lock.release();
    EXPECT_TRUE(world.logged("FN_MAPI_Err", ""));
}

TEST_F(MassStepsTest, StagesEndWithTheRestart)
{
    MigrationMode = "mass";
    EXPECT_TRUE(FN_STATUS());
    EXPECT_EQ(wizardWindows().statusText(), "Copying files");
    EXPECT_TRUE(FN_STATUS());
    EXPECT_EQ(wizardWindows().statusText(), "Update Registry Values");
    EXPECT_FALSE(programEndRequested());
    messages.answer(MsgResult::Ok);
    EXPECT_TRUE(FN_STATUS());
    EXPECT_EQ(MassStage, 3);
    EXPECT_TRUE(programEndRequested());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Mass Migration successfully completed. Click OK to restart the PC.");
    const std::string events = TransferWorld::read(newPc() / platform::kEventLogFileName);
    EXPECT_NE(events.find("restart"), std::string::npos) << events;
}
