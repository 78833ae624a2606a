// RunWalkTest.cpp: a migration run from OLDPC walked through the main window: a failing setting
// ends alone, a way out during the copy stops it before the clean-up, one during an application
// is logged as cut short, and Previous and Next from the selection page take this run's exports
// again.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/EventPump.h"
#include "platform/TreeCopyWalk.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QAction>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class RunWalkTest : public testsupport::DemoWalk {
protected:
    QTreeWidget* tree() { return sourceTree(w); }
    // Started on NEWPC and walked to the selection page, the batch file run on OLDPC; D: opened.
    void walkToSelection()
    {
        w = DemoWalk::walkToSelection(demo::kSourcePc98);
        ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
        open(tree(), "My Computer\\Files and Folders\\D:");
        user.shown.clear();
    }
    void migrate()
    {
        next(w);
        next(w);
        ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
        w->findChild<QPushButton*>("Btn_Migrate")->click();
    }
    std::string report(const char* item, int column)
    {
        auto* list = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
        const auto rows = list->findItems(QString("   ") + item, Qt::MatchExactly);
        return rows.size() == 1 ? rows[0]->text(column).toStdString() : "<no row>";
    }
    fs::path hostDrive(const char* pc, char letter) { return platform::driveFolder(network / pc, letter); }

    wizard::KestroMain* w = nullptr;
};

TEST_F(RunWalkTest, AFailingSettingEndsThatItemOnlyAndTheRunGoesOn)
{
    // The template for the source's 1024 width is gone: the resolution's merge fails.
    fs::remove(hostDrive(demo::kDestinationPc, 'C') / "Program Files/Kestro/RegFiles/1024_XP.reg");
    walkToSelection();
    tick(tree(), "My Computer\\Display Settings\\Resolution");
    tick(tree(), "My Computer\\Control Panel Settings\\Mouse Settings");
    tick(tree(), "My Computer\\Files and Folders\\D:\\Projects");
    migrate();

    ASSERT_EQ(activeForm(w), "frm_Migration_Status");
    EXPECT_EQ(report("Resolution", 1), "Failed");
    EXPECT_EQ(report("Resolution", 2), "Failed step: Caller_Settings_Resolution");
    EXPECT_EQ(report("Mouse Settings", 1), "Migrated");
    EXPECT_EQ(report("D:\\Projects", 1), "Migrated");
    EXPECT_TRUE(platform::RunningMachine::current()->files().fileExists("D:\\Projects\\Club members.csv"));
    EXPECT_EQ(user.shown,
        (std::vector<std::string>{"Migration completed: 1 item(s) failed, 0 item(s) not "
                                  "found. Click OK to view migration report!"}));
}

// Takes the way out at the third yield under a caption (by default the files-and-folders copy's)
// and counts the yields. Each of those turns takes 10 ms, so that the copy yields after every file.
class WayOutDuringTheCopy : public platform::EventPump {
public:
    void processEvents() override
    {
        if (wizard::transferGlobals().progressCaption != caption)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (++yields == 3)
            takeWayOut();
    }
    std::string caption = "Migrating Data...";
    std::function<void()> takeWayOut;
    int yields = 0;
};

class WayOutWalkTest : public RunWalkTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WayOutWalkTest, StopsTheCopyAndCleansUpAfterIt)
{
    const fs::path archive = hostDrive(demo::kSourcePc98, 'D') / "Archive";
    fs::create_directories(archive);
    for (int i = 0; i < 40; ++i)
        std::ofstream(archive / ("letter " + std::to_string(i) + ".txt")) << "Dear reader, " << i << "\n";
    walkToSelection();
    tick(tree(), "My Computer\\Files and Folders\\D:\\Archive");
    const auto tempregThere = [] {
        return platform::RunningMachine::current()->files().folderExists(
            "C:\\Program Files\\Kestro\\tempreg");
    };
    bool cleanedUpDuringTheCopy = true;
    WayOutDuringTheCopy pump;
    pump.takeWayOut = [&] {
        user.steps = {{platform::MsgResult::Yes, nullptr}}; // restart the PC: Yes
        const std::string way = GetParam();
        if (way == "Cancel")
            w->findChild<QPushButton*>("Cancel")->click();
        else if (way == "Exit")
            w->findChild<QAction*>("Exit")->trigger();
        else
            w->close();
        // Asked and answered while the copy is still under way: nothing is cleaned up yet.
        cleanedUpDuringTheCopy = !tempregThere() || connections().empty();
    };
    common::Service<platform::EventPump>::Override pumpScope{pump};
    migrate();

    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(pump.yields, 3) << "not a file more after the answer";
    EXPECT_NE(activeForm(w), "frm_Migration_Status");
    EXPECT_FALSE(cleanedUpDuringTheCopy);
    EXPECT_TRUE(connections().empty());
    EXPECT_FALSE(tempregThere());
    for (const auto& entry : fs::recursive_directory_iterator(network / demo::kDestinationPc))
        EXPECT_EQ(entry.path().filename().string().find(":partial"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(CancelExitOrClose, WayOutWalkTest, ::testing::Values("Cancel", "Exit", "Close"));

// Cancel during an application's script, the restart question answered: the program ends with the
// application half there, and the log names it as cut short.
TEST_F(RunWalkTest, AWayOutDuringAnApplicationLogsItCutShort)
{
    walkToSelection();
    tick(tree(), "My Computer\\Supported Applications\\WinZip");
    WayOutDuringTheCopy pump;
    pump.takeWayOut = [&] {
        user.steps = {{platform::MsgResult::No, nullptr}}; // restart the PC: No
        w->findChild<QPushButton*>("Cancel")->click();
    };
    pump.caption = "WinZip";
    common::Service<platform::EventPump>::Override pumpScope{pump};
    migrate();

    ASSERT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(pump.yields, 3);
    std::string log;
    platform::RunningMachine::current()->files().readFile(
        std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", log);
    EXPECT_NE(log.find("Cut short : WinZip"), std::string::npos);
}

TEST_F(RunWalkTest, PreviousAndNextFromTheSelectionTakeThisRunsExportsAgain)
{
    const fs::path exports = hostDrive(demo::kSourcePc98, 'C') / "KestroBatch";
    walkToSelection();
    w->findChild<QPushButton*>("Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    // Were the user asked to run the batch file again, the answer would be to leave.
    user.steps = {{platform::MsgResult::Cancel, nullptr}, {platform::MsgResult::Yes, nullptr}};
    next(w);
    EXPECT_EQ(activeForm(w), "Frm_ApplicationSettings");
    EXPECT_EQ(user.shown, std::vector<std::string>{});
    for (const char* name : {"HKLM.reg", "HKCU.reg", "HKCR.reg"})
        EXPECT_TRUE(fs::exists(exports / name)) << name << " stays on the source";

    // The same PC named under another system is another source: the batch file is asked for.
    for (int i = 0; i < 3; ++i)
        w->findChild<QPushButton*>("Btn_Back")->click();
    control<QRadioButton>(w, "Frm_PreparatoryTask", "OptME")->click();
    next(w);
    next(w);
    next(w);
    ASSERT_FALSE(user.shown.empty());
    EXPECT_NE(user.shown.front().find("Temp.bat"), std::string::npos) << user.shown.front();
}

// A run killed in the middle of a large file's copy leaves the file's partial copy, which no listing
// shows, and the drives it connected. The next start of the wizard on NEWPC takes both away, but
// not a letter connected anew since.
TEST_F(RunWalkTest, NextStartRemovesWhatAKilledRunLeft)
{
    const fs::path newPc = network / demo::kDestinationPc;
    fs::create_directories(hostDrive(demo::kSourcePc98, 'C') / "Videos");
    std::ofstream(hostDrive(demo::kSourcePc98, 'C') / "Videos" / "Holiday.avi", std::ios::binary)
        << std::string(1 << 20, 'v');
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The run about to be killed, doing what the wizard does: its record, its connections and a
        // copy in parts (no test assertion here: any failure ends the child with a code instead).
        platform::RunningMachine& m = *platform::RunningMachine::current();
        platform::RunRecord::start(newPc);
        platform::TreeCopyOptions options;
        options.chunkBytes = 4096;
        options.stepsAhead = 1;
        platform::TreeCopyWalk walk(options);
        if (m.network().addConnection("F:", "\\\\OLDPC\\C$", nullptr, nullptr) !=
                platform::WinError::Success ||
            m.network().addConnection("G:", "\\\\OLDPC\\D$", nullptr, nullptr) !=
                platform::WinError::Success ||
            walk.open(m.files(), "F:\\Videos", "C:\\Videos") != platform::FsError::None)
            ::_exit(2);
        for (platform::TreeStep s = walk.step(); s.kind != platform::TreeStepKind::Done; s = walk.step())
            if (s.kind == platform::TreeStepKind::Working && s.name == "Holiday.avi")
                ::raise(SIGKILL);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);
    // The copy's partial name: the process's own, numbered for the walk.
    const fs::path partial =
        hostDrive(demo::kDestinationPc, 'C') / "Videos" / (":partial." + std::to_string(child) + ".1");
    ASSERT_TRUE(fs::exists(partial));
    ASSERT_EQ(connections(), (std::vector<std::string>{"F:\\\\OLDPC\\C$", "G:\\\\OLDPC\\D$"}));
    // The user connects G: anew (to the same share): that letter is the user's now.
    platform::Network& net = platform::RunningMachine::current()->network();
    ASSERT_EQ(net.cancelConnection("G:"), platform::WinError::Success);
    ASSERT_EQ(net.addConnection("G:", "\\\\OLDPC\\C$", nullptr, nullptr), platform::WinError::Success);

    ASSERT_NE(startWizard(), nullptr);
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_EQ(connections(), std::vector<std::string>{"G:\\\\OLDPC\\C$"});
    std::string log;
    platform::RunningMachine::current()->files().readFile(
        std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", log);
    EXPECT_NE(log.find("Removed what an unfinished run left"), std::string::npos);
    EXPECT_NE(log.find("1 file(s) cut short, drive connection(s) F: "), std::string::npos);
    EXPECT_FALSE(fs::exists(newPc / "runs" / (std::to_string(child) + ".run")));
}

} // namespace
