// MigrationRunTest.cpp: the item runners with what each item's script actions gave, the ticks and
// the bar of the space page, the end of a selective migration, and a whole selective migration of
// applications, settings, files and folders through the real script engine, checked file by file
// on the destination.
#include "wizard/rules/MigrationRun.h"

#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/WizardCore.h"
#include "wizard/rules/clsRules.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/selection/SelectionTree.h"
#include "wizard/selection/TreeBuilders.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferActions.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using wizard::MigrationReport;
using wizard::ReportGroup;
using wizard::SelectedItemsList;
using wizard::transfer::TransferOutcome;
namespace fs = std::filesystem;

class MigrationRunTest : public ::testing::Test {
protected:
    MigrationRunTest()
    {
        testsupport::resetWizardRun();
        wizard::migrationReport().clear();
        wizard::selectionCollections() = wizard::SelectionCollections{};
        wizard::selectedItemsList().clearRows();
        wizard::MigrationMode = "selective";
        w.putOld("Program Files/Word/winword.exe", "word");
        w.putOld("Program Files/Paint/paint.exe", "paint");
        w.putOld("WINDOWS/wall.bmp", "wallpaper");
        w.putOld("WINDOWS/saver.scr", "screen saver");
        w.putNew("WINDOWS/notepad.exe", "destination's own");
        m_previousRunner = wizard::setItemScriptRunner([this](const std::string& script, bool first) {
            ran.emplace_back(script, first);
            if (const auto it = scripts.find(script); it != scripts.end())
                it->second();
        });
    }
    ~MigrationRunTest() override
    {
        wizard::setItemScriptRunner(std::move(m_previousRunner));
        wizard::selectedItemsList().clearRows();
        wizard::selectionCollections() = wizard::SelectionCollections{};
        wizard::migrationReport().clear();
        testsupport::resetWizardRun();
    }

    // An item script in the application folder (only its existence counts for the runners).
    void haveScript(const std::string& script) { w.putNew("Program Files/Kestro/WKXFiles/" + script, "x"); }

    void chooseApplication(const std::string& name)
    {
        wizard::selectionCollections().applications.add(name, name);
        wizard::selectedItemsList().addRow("APP_" + name, name);
        sizeBar();
    }
    void chooseSetting(const std::string& name, const std::string& prefix)
    {
        wizard::selectionCollections().settings.add(name, name);
        wizard::selectedItemsList().addRow(prefix + name, name);
        sizeBar();
    }
    static void sizeBar()
    {
        const auto& c = wizard::selectionCollections();
        const int n = c.applications.count() + c.settings.count() + c.filesFolders.count();
        wizard::selectedItemsList().setProgressMaximum(10.0 * n);
        wizard::selectionCollections().progressStep = 10;
    }
    static const MigrationReport::Entry* reported(ReportGroup g, const std::string& item)
    {
        return wizard::migrationReport().find(g, item);
    }
    static SelectedItemsList::Mark markOf(const std::string& key)
    {
        return wizard::selectedItemsList().find(key)->mark;
    }

    transfertest::TransferWorld w;
    std::vector<std::pair<std::string, bool>> ran;
    std::map<std::string, std::function<void()>> scripts;

private:
    wizard::ItemScriptRunner m_previousRunner;
};

TEST_F(MigrationRunTest, EachApplicationEndsWithWhatItsScriptReallyDid)
{
    haveScript("APPS/MS Word.wkx");
    haveScript("Apps/OtherApplications.wkx");
    auto& act = wizard::transferActions();
    scripts["APPS\\MS Word.wkx"] = [&] {
        act.Action_Copy("Word", "Z:\\Program Files", "C:\\Program Files", "folder", "False");
    };
    // The shared script is run for both applications without a script of their own; it finds the
    // folder of the one that is there and not that of the other.
    scripts[wizard::kOtherApplicationsScript] = [&] {
        const std::string name = wizard::migrationRunState().currentItemName;
        act.Action_Copy(name, "Z:\\Program Files", "C:\\Program Files", "folder", "False");
    };
    chooseApplication("MS Word");
    chooseApplication("Paint");
    chooseApplication("Gone");

    EXPECT_TRUE(wizard::Application_Migration());

    EXPECT_EQ(ran,
        (std::vector<std::pair<std::string, bool>>{{"APPS\\MS Word.wkx", true},
            {wizard::kOtherApplicationsScript, false}, {wizard::kOtherApplicationsScript, false}}));
    EXPECT_EQ(w.readNew("Program Files/Word/winword.exe"), "word");
    EXPECT_EQ(w.readNew("Program Files/Paint/paint.exe"), "paint");
    EXPECT_EQ(reported(ReportGroup::Applications, "MS Word")->outcome, TransferOutcome::Migrated);
    EXPECT_EQ(reported(ReportGroup::Applications, "Paint")->outcome, TransferOutcome::Migrated);
    EXPECT_EQ(reported(ReportGroup::Applications, "Gone")->outcome, TransferOutcome::NotFound);
    EXPECT_EQ(markOf("APP_MS Word"), SelectedItemsList::Mark::Migrated);
    EXPECT_EQ(markOf("APP_Gone"), SelectedItemsList::Mark::NotFound);
    EXPECT_FALSE(wizard::selectedItemsList().find("APP_Gone")->checked());
    EXPECT_DOUBLE_EQ(wizard::selectedItemsList().progressValue(), 30.0);
    EXPECT_EQ(wizard::Get_System_Variable_Value("$bln_initial_migration_done"), "true");
}

TEST_F(MigrationRunTest, AnApplicationNameFromTheSourceNeverReachesAnotherScript)
{
    // Names read from the source PC's registry: none of them may lead out of the application
    // scripts' folder or into an item list.
    haveScript("Settings/Wallpaper.wkx");
    haveScript("APPS/A.wkx");
    haveScript("Apps/OtherApplications.wkx");
    for (const char* name : {"..\\Settings\\Wallpaper", "A|B", "..", "C:\\APPS\\A"})
        chooseApplication(name);
    EXPECT_TRUE(wizard::Application_Migration());
    ASSERT_EQ(ran.size(), 4u);
    for (const auto& [script, first] : ran)
        EXPECT_EQ(script, wizard::kOtherApplicationsScript);
    EXPECT_EQ(wizard::applicationScriptOf("MS Word"), "APPS\\MS Word.wkx");
}

TEST_F(MigrationRunTest, AFailedStepIsNamedAndASettingWithoutScriptIsNotPassedOffAsMigrated)
{
    haveScript("Settings/Wallpaper.wkx");
    auto& act = wizard::transferActions();
    platform::FileSystem fso = w.fileSystem();
    platform::FileLock lock = fso.lockFile("Z:\\WINDOWS\\wall.bmp");
    ASSERT_TRUE(lock.isLocked());
    scripts["Settings\\Wallpaper.wkx"] = [&] {
        act.Action_Copy("wall.bmp", "Z:\\WINDOWS", "C:\\WINDOWS", "file", "False");
        wizard::Migration_Progress();
    };
    chooseSetting("Wallpaper", "DESKTOP_");
    chooseSetting("Mouse Settings", "CONTROL_");

    EXPECT_TRUE(wizard::Settings_Migration());

    const MigrationReport::Entry* wall = reported(ReportGroup::Settings, "Wallpaper");
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->outcome, TransferOutcome::Failed);
    EXPECT_EQ(wall->detail, "Failed step: Action_Copy C:\\WINDOWS\\wall.bmp");
    EXPECT_TRUE(w.logged("Settings_Migration", "Failed : Wallpaper : Failed step: Action_Copy"));
    EXPECT_EQ(markOf("DESKTOP_Wallpaper"), SelectedItemsList::Mark::Failed);
    EXPECT_EQ(reported(ReportGroup::Settings, "Mouse Settings")->outcome, TransferOutcome::Failed);
    EXPECT_TRUE(w.logged("Settings_Migration", "Error : Mouse Settings : No migration script"));
    EXPECT_EQ(ran.size(), 1U);
    EXPECT_FALSE(fs::exists(w.hostNew("WINDOWS/wall.bmp")));

    // The mass migration runs the full list and passes over the settings it has no script for.
    wizard::migrationReport().clear();
    wizard::MigrationMode = "mass";
    lock.release();
    wizard::Collect_Settings();
    EXPECT_EQ(wizard::selectionCollections().settings.count(), 9);
    EXPECT_TRUE(wizard::Settings_Migration());
    EXPECT_EQ(wizard::migrationReport().entries().size(), 1U);
    EXPECT_EQ(reported(ReportGroup::Settings, "Wallpaper")->outcome, TransferOutcome::Migrated);
}

TEST_F(MigrationRunTest, ProgressWithoutACurrentItemTicksNothing)
{
    chooseSetting("Wallpaper", "DESKTOP_");
    chooseApplication("MS Word");
    wizard::migrationRunState().currentItemName.clear();
    EXPECT_TRUE(wizard::Migration_Progress());
    for (const SelectedItemsList::Row& row : wizard::selectedItemsList().rows())
        EXPECT_EQ(row.mark, SelectedItemsList::Mark::None) << row.key;
    EXPECT_DOUBLE_EQ(wizard::selectedItemsList().progressValue(), 0.0);

    // Nothing chosen: the bar has no step to take and never divides by zero.
    wizard::selectedItemsList().clearRows();
    wizard::selectedItemsList().setProgressMaximum(0.0 / 1.0);
    wizard::selectedItemsList().advance(10.0 / 0.0);
    EXPECT_DOUBLE_EQ(wizard::selectedItemsList().progressValue(), 0.0);
}

TEST_F(MigrationRunTest, TheEndNeverCallsAFailedRunSuccessfulAndResetsTheTrees)
{
    wizard::SelectionTree source, destination;
    for (wizard::SelectionTree* t : {&source, &destination}) {
        wizard::addRootNode(*t);
        wizard::FN_Make_Application_Roots(*t);
        wizard::FN_Make_Files_Folders_Root(*t);
    }
    source.addUnder("Supported", "MS Word", "MS Word", 41);
    destination.addUnder("Supported", "MS Word", "MS Word", 41);
    destination.addUnder("Files and Folders", "\\\\OLDPC\\C$\\Data", "Data", 3);
    source.setCheckedOf(source.find("MS Word"), true);
    source.setCheckedOf(source.find("Supported"), true);
    source.setCheckedOf(source.find("Files and Folders"), true);
    wizard::setSelectionTrees({&source, &destination});
    wizard::migrationReport().record(ReportGroup::Applications, "MS Word", TransferOutcome::Migrated);
    wizard::migrationReport().record(ReportGroup::FilesAndFolders, "C:\\Data", TransferOutcome::Failed, "x");
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope(messages);
    messages.answer(platform::MsgResult::Ok);
    wizard::wizardWindows().setButtonEnabled(wizard::BarButton::Migrate, false);

    EXPECT_TRUE(wizard::Selective_Migration_End());

    ASSERT_EQ(messages.shown().size(), 1U);
    EXPECT_EQ(messages.shown()[0].text.find("successfully"), std::string::npos);
    EXPECT_NE(messages.shown()[0].text.find("1 item(s) failed"), std::string::npos);
    EXPECT_EQ(
        wizard::wizardWindows().statusText(), "Migration completed: 1 item(s) failed, 0 item(s) not found.");
    EXPECT_FALSE(source.find("MS Word")->checked);
    EXPECT_EQ(destination.find("MS Word"), nullptr);
    EXPECT_NE(destination.find("Supported"), nullptr) << "the next choice needs its category";
    ASSERT_NE(destination.find("Files and Folders"), nullptr);
    EXPECT_TRUE(destination.find("Files and Folders")->children.empty());
    EXPECT_TRUE(wizard::wizardWindows().buttonEnabled(wizard::BarButton::Migrate));
    wizard::setSelectionTrees({});
}

TEST_F(MigrationRunTest, TheCommonFoldersComeOverWithoutReplacingTheDestinationsFiles)
{
    w.putOld("WINDOWS/notepad.exe", "source's");
    w.putOld("WINDOWS/DESKTOP.INI", "left out");
    w.putOld("Program Files/Common Files/shared.dll", "shared");
    w.variables["$st_source_win_dir"] = "Z:\\WINDOWS";
    w.variables["$st_destination_win_dir"] = "C:\\WINDOWS";
    w.variables["$st_source_common_dir"] = "Z:\\Program Files\\Common Files";
    // The destination's common folder variable is not set: that copy is passed over, never made
    // against a relative path.
    EXPECT_TRUE(wizard::Sync_Common_Folders());
    EXPECT_EQ(w.readNew("WINDOWS/notepad.exe"), "destination's own");
    EXPECT_EQ(w.readNew("WINDOWS/wall.bmp"), "wallpaper");
    EXPECT_FALSE(fs::exists(w.hostNew("WINDOWS/DESKTOP.INI")));
    EXPECT_FALSE(fs::exists(w.hostNew("Program Files/Common Files/shared.dll")));
    EXPECT_TRUE(w.logged("Sync_Common_Folders", "Not copied : $st_destination_common_dir is not set"));
    EXPECT_EQ(wizard::Get_System_Variable_Value("$blnSyncDone"), "True");
}

} // namespace
