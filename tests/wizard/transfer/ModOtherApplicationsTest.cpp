// ModOtherApplicationsTest.cpp: application copy workers and the registry editor's command lines
// and bounded wait.
#include "wizard/transfer/ModOtherApplications.h"

#include "platform/ProcessRunner.h"
#include "tests/support/platform/RecordingProcessLauncher.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/transfer/RegistryEditorWait.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::ModOtherApplications;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

class ModOtherApplicationsTest : public ::testing::Test {
protected:
    ModOtherApplicationsTest()
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&launcher);
    }
    ~ModOtherApplicationsTest() override { common::Service<platform::ProcessLauncher>::replace(m_previous); }

    TransferWorld world;
    testsupport::RecordingProcessLauncher launcher;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

TEST_F(ModOtherApplicationsTest, ImportOfAMissingFileStartsNothing)
{
    EXPECT_FALSE(ImportRegistry("C:\\nothing.reg"));
    EXPECT_TRUE(launcher.starts().empty());
}

TEST_F(ModOtherApplicationsTest, CommandLinesQuoteFileAndKeyWhole)
{
    world.putNew("x y/a.reg", "REGEDIT4\r\n");
    EXPECT_TRUE(ExportRegistry("C:\\x y\\a.reg",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\"
        "Hardware Profiles\\Current"));
    EXPECT_TRUE(ImportRegistry("C:\\x y\\a.reg"));
    ASSERT_EQ(launcher.starts().size(), 2u);
    EXPECT_EQ(launcher.starts()[0].commandLine,
        "regedit.exe /a \"C:\\x y\\a.reg\" \"HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\System\\"
        "CurrentControlSet\\Hardware Profiles\\Current\"");
    EXPECT_EQ(launcher.starts()[1].commandLine, "regedit.exe /s \"C:\\x y\\a.reg\"");
    EXPECT_EQ(launcher.starts()[1].options.style, platform::WindowStyle::Hidden);
    EXPECT_EQ(world.clock.slept, 0u) << "no pause when the file is free and the editor has ended";
}

TEST_F(ModOtherApplicationsTest, EditorFailureOrRefusedStartIsReported)
{
    world.putNew("bad.reg", "not a registry file");
    launcher.exitCode = 1;
    EXPECT_FALSE(ImportRegistry("C:\\bad.reg"));
    launcher.exitCode = 0;
    launcher.result = platform::WinError::FileNotFound;
    EXPECT_FALSE(ImportRegistry("C:\\bad.reg"));
    EXPECT_FALSE(ExportRegistry("C:\\out.reg", "HKEY_CURRENT_USER\\Software"));
}

TEST_F(ModOtherApplicationsTest, WaitProbesABusyFileUntilItIsLetGo)
{
    world.putNew("busy.reg", "REGEDIT4\r\n");
    platform::FileSystem fsys = world.fileSystem();
    platform::FileLock lock = fsys.lockFile("C:\\busy.reg");
    ASSERT_TRUE(lock.isLocked());
    // Let go once two probe intervals have passed.
    const int letGoAt = 2 * transfer::kProbeIntervalMs / transfer::kEventStepMs + 2;
    int yieldsSeen = 0;
    std::uint64_t lastYield = 0;
    std::uint64_t longestGap = 0;
    world.pump.onYield = [&] {
        longestGap = std::max(longestGap, world.clock.slept - lastYield);
        lastYield = world.clock.slept;
        if (++yieldsSeen == letGoAt)
            lock.release();
    };
    EXPECT_TRUE(ImportRegistry("C:\\busy.reg"));
    EXPECT_GE(yieldsSeen, letGoAt);
    EXPECT_GE(world.clock.slept, static_cast<std::uint64_t>(2 * transfer::kProbeIntervalMs));
    EXPECT_LE(world.clock.slept, static_cast<std::uint64_t>(3 * transfer::kProbeIntervalMs));
    EXPECT_LE(longestGap, static_cast<std::uint64_t>(transfer::kEventStepMs)) << "the window stays live";
}

// The way out taken while the editor holds its file: the wait ends at once, and no editor starts
// any more.
TEST_F(ModOtherApplicationsTest, TheWayOutEndsTheWaitAndNoEditorStartsAfterIt)
{
    world.putNew("busy.reg", "REGEDIT4\r\n");
    platform::FileSystem fsys = world.fileSystem();
    platform::FileLock lock = fsys.lockFile("C:\\busy.reg");
    world.pump.onYield = [this] {
        if (!launcher.starts().empty())
            requestProgramEnd(0);
    };
    EXPECT_FALSE(ImportRegistry("C:\\busy.reg"));
    EXPECT_LT(world.clock.slept, static_cast<std::uint64_t>(transfer::kProbeIntervalMs));
    EXPECT_TRUE(world.logged("ImportRegistry : C:\\busy.reg", "Stopped by the way out : regedit.exe /s"));
    lock.release();
    EXPECT_FALSE(ImportRegistry("C:\\busy.reg"));
    EXPECT_EQ(launcher.starts().size(), 1u);
    resetProgramEnd();
}

// The wait probes the file by moving it onto itself; named in another case than it is stored
// (the Office templates are named upper-cased), that move must not rename it: the editor may have
// found it under its stored name and would then miss it, and a shipped file would change its name.
TEST_F(ModOtherApplicationsTest, WaitingOnAFileNamedInAnotherCaseLeavesItsName)
{
    world.putNew("RegFiles/Microsoft Excel 2000_XP.reg", "REGEDIT4\r\n");
    EXPECT_TRUE(ImportRegistry("C:\\REGFILES\\MICROSOFT EXCEL 2000_XP.reg"));
    EXPECT_TRUE(fs::exists(world.hostNew("RegFiles/Microsoft Excel 2000_XP.reg")));
    EXPECT_FALSE(fs::exists(world.hostNew("RegFiles/MICROSOFT EXCEL 2000_XP.reg")));
}

TEST_F(ModOtherApplicationsTest, WaitGivesUpOnAFileHeldForGood)
{
    world.putNew("held.reg", "REGEDIT4\r\n");
    platform::FileSystem fsys = world.fileSystem();
    platform::FileLock lock = fsys.lockFile("C:\\held.reg");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_FALSE(ImportRegistry("C:\\held.reg"));
    EXPECT_GE(world.clock.slept, static_cast<std::uint64_t>(transfer::kEditorWaitLimitMs));
    EXPECT_LT(world.clock.slept, static_cast<std::uint64_t>(2 * transfer::kEditorWaitLimitMs));
    EXPECT_TRUE(world.logged("ImportRegistry : C:\\held.reg", "No answer : regedit.exe /s"));
}

TEST_F(ModOtherApplicationsTest, AppFolderCopyWordsItsFailureRecord)
{
    world.putOld("App\\a.exe", "new");
    world.putNew("Dest/a.exe", "old");
    platform::FileSystem fsys = world.fileSystem();
    platform::FileLock lock = fsys.lockFile("C:\\Dest\\a.exe");
    EXPECT_FALSE(Action_Copy_Folder("Z:\\App", "C:\\Dest", "False"));
    lock.release();
    EXPECT_TRUE(world.logged("Action_Copy_Folder", "Error : 70(C:\\Dest)"));
}

TEST_F(ModOtherApplicationsTest, AppFileCopyFollowsTheCopyRule)
{
    world.putOld("App\\readme.txt", "fresh");
    EXPECT_TRUE(Action_Copy_File("Z:\\App\\readme.txt", "C:\\App", "False"));
    EXPECT_EQ(world.readNew("App/readme.txt"), "fresh");
    EXPECT_TRUE(Action_Copy_File("Z:\\App\\none.txt", "C:\\App", "False"))
        << "a missing source is passed over";
    EXPECT_TRUE(world.logged("Action_Copy_File", "Not found : C:\\App\\none.txt"));
    EXPECT_TRUE(CheckandRegister("C:\\App\\none.txt"));
    EXPECT_FALSE(fs::exists(world.hostNew("App/none.txt")));
}
