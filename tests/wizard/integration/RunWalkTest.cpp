// RunWalkTest.cpp: a migration run from OLDPC walked through the main window as a user meets it on
// an ordinary day: a setting that fails does not derail the items after it, a way out taken
// during the copy stops the copy before anything is cleaned up, and Previous and Next from the
// selection page take this run's exports instead of asking for the batch file again.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/EventPump.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/selection/SelectionTreeWidget.h"

#include <QAction>
#include <QTreeWidget>

#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

class RunWalkTest : public testsupport::DemoWalk {
protected:
    // The source tree's item reached by the texts of `path`, "\" between them; null when missing.
    QTreeWidgetItem* item(const std::string& path)
    {
        QTreeWidgetItem* at = sourceTree()->invisibleRootItem();
        std::size_t from = 0;
        while (at && from <= path.size()) {
            const std::size_t to = std::min(path.find('\\', from), path.size());
            const QString text = QString::fromStdString(path.substr(from, to - from));
            QTreeWidgetItem* found = nullptr;
            for (int i = 0; i < at->childCount() && !found; ++i)
                if (at->child(i)->text(0) == text)
                    found = at->child(i);
            at = found;
            from = to + 1;
        }
        return at;
    }
    QTreeWidget* sourceTree()
    {
        return control<wizard::SelectionTreeWidget>(w, "Frm_ApplicationSettings", "Trv_Source_Information");
    }
    void tick(const std::string& path)
    {
        QTreeWidgetItem* it = item(path);
        ASSERT_NE(it, nullptr) << path;
        it->setCheckState(0, Qt::Checked);
        emit sourceTree()->itemClicked(it, 0);
    }
    void open(const std::string& path)
    {
        QTreeWidgetItem* it = item(path);
        ASSERT_NE(it, nullptr) << path;
        it->setExpanded(true);
    }
    // Started on NEWPC and walked to the selection page, the batch file run on OLDPC.
    void walkToSelection()
    {
        app = std::make_unique<wizard::KestroApp>(startOptions());
        ASSERT_TRUE(app->Main());
        wizard::installTransferActions();
        w = wizard::mainWindow();
        walkToConnectionPage(w, "Opt98");
        fillConnection(w, "OLDPC");
        user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
        next(w);
        ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
        user.shown.clear();
    }
    // From the selection page over the drive and space pages to Migrate.
    void migrate()
    {
        next(w);
        ASSERT_EQ(activeForm(w), "frm_Drive_Info");
        next(w);
        ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
        w->findChild<QPushButton*>("Btn_Migrate")->click();
    }
    // The report's rows of items: name -> (outcome, detail).
    std::map<std::string, std::pair<std::string, std::string>> reportRows()
    {
        std::map<std::string, std::pair<std::string, std::string>> rows;
        auto* report = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
        for (int i = 0; report && i < report->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = report->topLevelItem(i);
            if (row->text(0).startsWith("   "))
                rows[row->text(0).trimmed().toStdString()] = {
                    row->text(1).toStdString(), row->text(2).toStdString()};
        }
        return rows;
    }
    fs::path hostDrive(const char* pc, char letter) { return platform::driveFolder(network / pc, letter); }
    std::size_t filesBelow(const fs::path& folder)
    {
        std::size_t n = 0;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
             it.increment(ec))
            n += it->is_regular_file() ? 1 : 0;
        return n;
    }

    std::unique_ptr<wizard::KestroApp> app;
    wizard::KestroMain* w = nullptr;
};

TEST_F(RunWalkTest, AFailingSettingEndsThatItemOnlyAndTheRunGoesOn)
{
    // The resolution's template for a 1024-wide source is gone: its merge fails.
    fs::remove(
        hostDrive(demo::kDestinationPc, 'C') / "Program Files" / "Kestro" / "RegFiles" / "1024_XP.reg");
    walkToSelection();
    open("My Computer\\Files and Folders\\D:");
    tick("My Computer\\Display Settings\\Resolution");
    tick("My Computer\\Control Panel Settings\\Mouse Settings");
    tick("My Computer\\Files and Folders\\D:\\Projects");
    migrate();

    ASSERT_EQ(activeForm(w), "frm_Migration_Status");
    EXPECT_EQ(std::count(user.shown.begin(), user.shown.end(), wizard::kScriptLoadFailure), 0);
    const auto rows = reportRows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows.at("Resolution").first, "Failed");
    EXPECT_NE(rows.at("Resolution").second.find("Caller_Settings_Resolution"), std::string::npos)
        << rows.at("Resolution").second;
    EXPECT_EQ(rows.at("Mouse Settings").first, "Migrated") << rows.at("Mouse Settings").second;
    EXPECT_EQ(rows.at("D:\\Projects").first, "Migrated") << rows.at("D:\\Projects").second;
    EXPECT_TRUE(platform::RunningMachine::current()->files().fileExists("D:\\Projects\\Club members.csv"));
    ASSERT_FALSE(user.shown.empty());
    EXPECT_EQ(user.shown.back().rfind("Migration completed: 1 item(s) failed, 0 item(s) not found", 0), 0U)
        << user.shown.back();
    // Next on the report page does not run anything that says the program's files are gone.
    next(w);
    EXPECT_EQ(std::count(user.shown.begin(), user.shown.end(), wizard::kScriptLoadFailure), 0);
}

// Counts the files-and-folders copy's yields and takes the way out at the third one.
class WayOutDuringTheCopy : public platform::EventPump {
public:
    void processEvents() override
    {
        if (wizard::transferGlobals().progressCaption != "Migrating Data..." || ++yields != 3)
            return;
        takeWayOut();
        yieldsAtTheWayOut = yields;
    }
    std::function<void()> takeWayOut;
    int yields = 0;
    int yieldsAtTheWayOut = 0;
};

// The machine's exit services, noting whether the run was still under way at each clean-up step.
class WatchedExitServices : public wizard::ExitServices {
public:
    wizard::ExitServices& real = wizard::exitServices(); // the machine's, taken before this one is put in
    std::vector<bool> duringRun;
    void note() { duringRun.push_back(wizard::core().engine.running()); }
    bool folderExists(const std::string& p) override { return real.folderExists(p); }
    bool deleteFolder(const std::string& p) override { return note(), real.deleteFolder(p); }
    bool deleteFile(const std::string& p) override { return real.deleteFile(p); }
    bool fileExists(const std::string& p) override { return real.fileExists(p); }
    bool cancelConnection(const std::string& d) override { return note(), real.cancelConnection(d); }
    bool importRegistryFile(const std::string& p) override { return note(), real.importRegistryFile(p); }
    bool restartMachine() override { return real.restartMachine(); }
};

class WayOutWalkTest : public RunWalkTest, public ::testing::WithParamInterface<const char*> {
protected:
    // As the program wires it: the exit routine disconnects the mapped source drives.
    void SetUp() override
    {
        RunWalkTest::SetUp();
        wizard::setExitStateReader(&wizard::exitStateWithDriveMap);
    }
    void TearDown() override
    {
        wizard::setExitStateReader(nullptr);
        RunWalkTest::TearDown();
    }
};

TEST_P(WayOutWalkTest, StopsTheCopyAndCleansUpAfterIt)
{
    // A folder of forty files on the source.
    const fs::path archive = hostDrive(demo::kSourcePc98, 'D') / "Archive";
    fs::create_directories(archive);
    for (int i = 0; i < 40; ++i)
        std::ofstream(archive / ("letter " + std::to_string(i) + ".txt")) << "Dear reader, " << i << "\n";
    walkToSelection();
    open("My Computer\\Files and Folders\\D:");
    tick("My Computer\\Files and Folders\\D:\\Archive");

    WayOutDuringTheCopy pump;
    const std::string way = GetParam();
    pump.takeWayOut = [this, &way] {
        // The exit routine asks whether to restart: Yes.
        user.steps = {{platform::MsgResult::Yes, nullptr}};
        if (way == "Cancel")
            w->findChild<QPushButton*>("Cancel")->click();
        else if (way == "Exit")
            w->findChild<QAction*>("Exit")->trigger();
        else
            w->close();
    };
    common::Service<platform::EventPump>::Override pumpScope{pump};
    WatchedExitServices services;
    common::Service<wizard::ExitServices>::Override servicesScope{services};
    migrate();

    ASSERT_EQ(pump.yieldsAtTheWayOut, 3) << "the way out was taken during the copy";
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(pump.yields, 3) << "not a file more after the answer";
    EXPECT_LT(filesBelow(hostDrive(demo::kDestinationPc, 'D') / "Archive"), 40U);
    EXPECT_NE(activeForm(w), "frm_Migration_Status");
    // The clean-up: after the run had unwound, and complete.
    ASSERT_FALSE(services.duringRun.empty());
    EXPECT_EQ(std::count(services.duringRun.begin(), services.duringRun.end(), true), 0);
    EXPECT_TRUE(connections().empty());
    EXPECT_FALSE(
        platform::RunningMachine::current()->files().folderExists("C:\\Program Files\\Kestro\\tempreg"));
    // No file is left under a hidden partial name.
    for (const auto& entry : fs::recursive_directory_iterator(network / demo::kDestinationPc))
        EXPECT_EQ(entry.path().filename().string().find(":partial"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(CancelExitOrClose, WayOutWalkTest, ::testing::Values("Cancel", "Exit", "Close"));

TEST_F(RunWalkTest, PreviousAndNextFromTheSelectionTakeThisRunsExportsAgain)
{
    walkToSelection();
    const fs::path exports = hostDrive(demo::kSourcePc98, 'C') / "KestroBatch";
    ASSERT_TRUE(fs::exists(exports / "HKLM.reg"));
    w->findChild<QPushButton*>("Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    // Were the user asked to run the batch file again, the answer would be to leave.
    user.steps = {{platform::MsgResult::Cancel, nullptr}, {platform::MsgResult::Yes, nullptr}};
    next(w);
    EXPECT_EQ(activeForm(w), "Frm_ApplicationSettings");
    EXPECT_TRUE(user.shown.empty()) << user.shown.front();
    EXPECT_FALSE(wizard::programEndRequested());
    for (const char* name : {"HKLM.reg", "HKCU.reg", "HKCR.reg"})
        EXPECT_TRUE(fs::exists(exports / name)) << name << " stays on the source";
    EXPECT_NE(item("My Computer\\Supported Applications\\WinZip"), nullptr);

    // Another source (the same PC named under another system) is asked for again.
    for (int i = 0; i < 3; ++i)
        w->findChild<QPushButton*>("Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_PreparatoryTask");
    control<QRadioButton>(w, "Frm_PreparatoryTask", "OptME")->click();
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    user.steps = {{platform::MsgResult::Cancel, nullptr}, {platform::MsgResult::Yes, nullptr}};
    next(w);
    ASSERT_FALSE(user.shown.empty());
    EXPECT_NE(user.shown.front().find("Temp.bat"), std::string::npos) << user.shown.front();
}

} // namespace
