// HandOverWalkTest.cpp: the wizard on the demo network's NEWPC, walked as a user would from the
// agreement to the connection page and on to the source registry mirrored under SOFTWARE\QZ, with
// the user running Temp.bat on the source through the batch runner: a Windows 98 source with
// share-level access and a Windows XP source with a logon. Also the refusals on the way.
#include "tests/support/platform/CountingEventPump.h"
#include "tests/wizard/integration/DemoWalk.h"
#include "tests/wizard/integration/EditorSpy.h"
#include "wizard/core/ProgramEnd.h"

#include <chrono>
#include <thread>
#include <utility>

namespace {

class HandOverWalkTest : public testsupport::DemoWalk {
protected:
    // The size of NEWPC's registry database with its write-ahead log.
    std::uintmax_t registryBytes()
    {
        std::uintmax_t total = 0;
        std::error_code ec;
        for (const char* name : {"registry.db", "registry.db-wal"}) {
            const auto size = std::filesystem::file_size(network / demo::kDestinationPc / name, ec);
            total += ec ? 0 : size;
        }
        return total;
    }
};

// A clock on which, while `fast`, a minute passes in about 60 ms of real time: the editor's time
// limit is reached without the test waiting for it.
class FastClock : public platform::Clock {
public:
    TimePoint now() override
    {
        const TimePoint real = std::chrono::system_clock::now();
        return fast ? m_start + (real - m_start) * 1000 : real;
    }
    bool fast = true;
    void sleep(std::uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(milliseconds));
    }

private:
    TimePoint m_start = std::chrono::system_clock::now();
};

TEST_F(HandOverWalkTest, Windows98SourceIsMirroredUnderQZ)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToConnectionPage(w, "Opt98");
    fillConnection(w, "OLDPC");

    // The instruction box: OK before the batch ran is asked again; then the user runs it.
    user.steps = {{platform::MsgResult::Ok, {}}, {platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
    next(w);
    EXPECT_EQ(batchResult, platform::WinError::Success);
    EXPECT_EQ(batchExit, 0u);
    EXPECT_TRUE(dialogs.empty());
    // The hand-over done, a selective migration goes on to the selection page.
    EXPECT_EQ(activeForm(w), "Frm_ApplicationSettings");
    // Only the two instruction boxes: no step reported a failure.
    ASSERT_EQ(user.shown.size(), 2u) << user.shown.back();
    EXPECT_NE(user.shown[0].find("C:\\KestroBatch\\Temp.bat"), std::string::npos);
    EXPECT_EQ(wizard::SourcePcName, "OLDPC");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_source_os"), "win98");
    ASSERT_TRUE(wizard::transferGlobals().driveMap.lookup("C:"));
    EXPECT_TRUE(wizard::transferGlobals().driveMap.lookup("D:")); // OLDPC shares D$ too

    // The source's hives below SOFTWARE\QZ, named after each hive.
    EXPECT_TRUE(destinationKeyExists(
        "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_CURRENT_USER"));
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_CLASSES_ROOT"));
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ"));
    EXPECT_FALSE(w->busyWindowOpen()) << "the wait's busy window closes once the mirror is merged";

    // Previous is one page back, to the connection page.
    wizard::XmlEngine& engine = wizard::core().engine;
    EXPECT_EQ(engine.HistoryStep, 6);
    w->findChild<QPushButton*>("Btn_Back")->click();
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_EQ(engine.HistoryStep, 5);
}

TEST_F(HandOverWalkTest, WindowsXpSourceWithItsLogonIsMirroredUnderQZ)
{
    // A mirror an earlier run left behind (it ended without the exit routine): none of its keys
    // may be taken for this source's.
    const std::string staleKey = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Old Game";
    platform::RegKey stale;
    ASSERT_EQ(platform::RunningMachine::current()->registry().createKey(
                  platform::RegKey(platform::RegRoot::LocalMachine), staleKey, stale),
        platform::WinError::Success);
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToConnectionPage(w, "OptXP");

    // A wrong password: the logon dialog, the page stays and nothing is connected.
    fillConnection(w, "OLDXP", "Sarah", "red17");
    next(w);
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Log_Map"});
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_TRUE(connections().empty());
    EXPECT_EQ(wizard::core().engine.HistoryStep, 5);

    fillConnection(w, "OLDXP", "Sarah", "blue42");
    user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePcXp)}};
    next(w);
    EXPECT_EQ(batchExit, 0u);
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(user.shown.size(), 1u) << user.shown.back();
    EXPECT_EQ(wizard::LogonUserName, "Sarah");
    EXPECT_EQ(connections().size(), 1u);
    EXPECT_TRUE(destinationKeyExists(
        "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software"));
    EXPECT_FALSE(destinationKeyExists(staleKey));
    EXPECT_EQ(activeForm(w), "Frm_ApplicationSettings");
}

TEST_F(HandOverWalkTest, RefusalsLeaveTheDestinationAsItWas)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToConnectionPage(w, "Opt98");

    // An unknown computer, the destination's own name, a forbidden character: the page stays.
    fillConnection(w, "NOSUCHPC");
    next(w);
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Lan_validate"});
    fillConnection(w, "NEWPC");
    next(w);
    fillConnection(w, "old*pc");
    next(w);
    ASSERT_EQ(user.shown.size(), 2u);
    EXPECT_EQ(user.shown[0], "Please give Source PC name, you have given local PC's name!");
    EXPECT_EQ(user.shown[1], "Please enter valid Source PC name!");

    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_EQ(wizard::core().engine.HistoryStep, 5);
    EXPECT_TRUE(connections().empty());
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));

    // The exports never arrive: Cancel asks the exit question; No goes back to waiting, Yes ends.
    fillConnection(w, "OLDPC");
    user.steps = {{platform::MsgResult::Cancel, {}}, {platform::MsgResult::No, {}},
        {platform::MsgResult::Cancel, {}}, {platform::MsgResult::Yes, {}}};
    next(w);
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));
}

TEST_F(HandOverWalkTest, TheWrongSourceSystemIsRefusedAndItsMappingUndone)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    // OLDPC is a Windows 98 PC; Windows 2000 was chosen.
    walkToConnectionPage(w, "Opt2K");
    fillConnection(w, "OLDPC", "Martin", "");
    next(w);
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Get_SourcePC_Info"});
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_TRUE(connections().empty());
    EXPECT_TRUE(wizard::transferGlobals().driveMap.entries().empty());
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));
}

// The source's HKLM export does not finish merging within the time limit: the editor is ended, the
// part of the mirror that did arrive goes again with its room in the registry's file, and the
// wizard stays on the connection page; Next then asks for the batch file again and goes on.
TEST_F(HandOverWalkTest, AMergePastItsLimitIsUndoneAndAskedForAgain)
{
    FastClock fast;
    common::Service<platform::Clock>::Override fastScope(fast);
    testsupport::EditorSpy editor;
    editor.hangOn = "mirror\\HKLM.reg";
    const std::uintmax_t before = registryBytes();
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToConnectionPage(w, "Opt98");
    fillConnection(w, "OLDPC");
    user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
    next(w);

    ASSERT_GT(editor.hungPid, 0);
    EXPECT_FALSE(editor.hungStillThere()) << "the editor is ended at the limit";
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ")) << "the merged classes and user go again";
    EXPECT_LE(registryBytes(), before + 16 * 1024) << "the registry's file gives their room back";
    ASSERT_FALSE(user.shown.empty());
    EXPECT_NE(user.shown.back().find("could not be taken over"), std::string::npos) << user.shown.back();
    EXPECT_FALSE(w->busyWindowOpen());

    user.shown.clear();
    user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
    fast.fast = false;
    next(w);
    ASSERT_FALSE(user.shown.empty());
    EXPECT_NE(user.shown[0].find("C:\\KestroBatch\\Temp.bat"), std::string::npos) << "asked again";
    EXPECT_EQ(activeForm(w), "Frm_ApplicationSettings");
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE"));
}

// Cancel while the editor merges an export, answered to end: the editor is ended at once and
// nothing of the mirror stays.
TEST_F(HandOverWalkTest, TheWayOutDuringTheMergeEndsTheEditor)
{
    testsupport::EditorSpy editor;
    editor.hangOn = "mirror\\HKLM.reg";
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    // The user clicks Cancel while the window waits for the editor.
    bool merging = false;
    editor.onStart = [&](const std::string& line) {
        merging = line.find("mirror\\HKLM.reg") != std::string::npos;
    };
    testsupport::CountingEventPump pump;
    common::Service<platform::EventPump>::Override pumpScope{pump};
    pump.onYield = [&] {
        if (std::exchange(merging, false))
            w->findChild<QPushButton*>("Cancel")->click();
    };
    walkToConnectionPage(w, "Opt98");
    fillConnection(w, "OLDPC");
    // The batch file, then the exit routine's restart question: No, end without a restart.
    user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}, {platform::MsgResult::No, {}}};
    next(w);

    EXPECT_TRUE(wizard::programEndRequested());
    ASSERT_GT(editor.hungPid, 0);
    EXPECT_FALSE(editor.hungStillThere());
    EXPECT_NE(user.shown.back().find("restart"), std::string::npos) << user.shown.back();
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));
}

} // namespace
