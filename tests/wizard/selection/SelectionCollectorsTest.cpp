// SelectionCollectorsTest.cpp: the choice in the trees becomes the selection collections, the
// space page's list, the progress step and the script variables.
#include "wizard/selection/SelectionCollectors.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/wizard/core/WizardTestMachine.h"
#include "tests/wizard/selection/SelectionWorld.h"
#include "wizard/core/SelectionTrees.h"
#include "wizard/core/WizardCore.h"

namespace wizard {
namespace {

struct RecordingList : SelectedItemsView {
    std::vector<std::pair<std::string, std::string>> rows;
    double maximum = -1;
    void clearRows() override { rows.clear(); }
    void addRow(const std::string& key, const std::string& text) override
    {
        for (const auto& r : rows) {
            if (r.first == key)
                return;
        }
        rows.emplace_back(key, text);
    }
    void setProgressMaximum(double m) override { maximum = m; }
};

class SelectionCollectorsTest : public ::testing::Test {
protected:
    SelectionCollector collector(const std::string& os = "win98")
    {
        SelectionCollector::Context c;
        c.source = &w.source;
        c.destination = &w.destination;
        c.list = &list;
        c.sourceOs = os;
        c.folderExists = [this](const std::string& p) { return folders.count(p) != 0; };
        c.fileExists = [this](const std::string& p) { return files.count(p) != 0; };
        c.setVariable = [this](const std::string& n, const std::string& v) {
            variables[n] = v;
            ++variableWrites[n];
        };
        c.log = [this](const std::string& proc, const std::string& status) {
            logged.push_back(proc + " " + status);
        };
        return SelectionCollector(c, collections);
    }
    void choose(const std::string& parent, const std::string& key, const std::string& text)
    {
        w.destination.addUnder(parent, key, text);
    }

    testsupport::SelectionWorld w;
    RecordingList list;
    SelectionCollections collections;
    std::set<std::string> folders, files;
    std::map<std::string, std::string> variables;
    std::map<std::string, int> variableWrites;
    std::vector<std::string> logged;
};

TEST_F(SelectionCollectorsTest, NothingChosenGivesEmptyCollectionsAndNoVariables)
{
    EXPECT_TRUE(collector().Sub_Collect_Selected_Info());
    EXPECT_EQ(
        collections.applications.count() + collections.settings.count() + collections.filesFolders.count(),
        0);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_TRUE(variables.empty());
    EXPECT_EQ(list.maximum, 0);
    EXPECT_EQ(logged,
        (std::vector<std::string>{"Sub_Collect_Selected_Info Start", "Sub_Collect_Selected_Info End"}));
}

TEST_F(SelectionCollectorsTest, AMixedChoiceFillsEveryCollectionInTreeOrder)
{
    choose("Supported", "MS Word", "MS Word");
    choose("Unsupported", "Paint Pro", "Paint Pro");
    choose("Display Settings", "Screen Saver", "Screen Saver");
    choose("Control Panel Settings", "Mouse Settings", "Mouse Settings");
    choose("Display Settings", "Wallpaper", "Wallpaper");
    auto* drive = w.addDrive("\\\\OLDPC\\C$", "C:");
    w.list(drive, {"Data", "Tools$"}, {"autoexec.bat"});
    w.setMark(w.node("\\\\OLDPC\\C$\\Data"), true); // never listed: one entry for the whole folder
    w.setMark(w.node("\\\\OLDPC\\C$\\autoexec.bat"), true);
    w.list(w.node("\\\\OLDPC\\C$\\Tools$"), {}, {"x.exe"});
    w.setMark(w.node("\\\\OLDPC\\C$\\Tools$"), true); // listed: only its ticked children count
    folders = {"\\\\OLDPC\\C$\\Data", "\\\\OLDPC\\C$\\Tools$"};
    files = {"\\\\OLDPC\\C$\\autoexec.bat", "\\\\OLDPC\\C$\\Tools$\\x.exe"};
    w.setMark(w.node("\\\\OLDPC\\C$\\Tools$\\x.exe"), true);

    collector().Sub_Collect_Selected_Info();

    ASSERT_EQ(collections.applications.count(), 2);
    EXPECT_EQ(collections.applications.entries()[0].key, "MS Word");
    EXPECT_EQ(collections.applications.entries()[1].item, "Paint Pro");
    ASSERT_EQ(collections.settings.count(), 3);
    EXPECT_EQ(collections.settings.entries()[0].key, "Screen Saver");
    EXPECT_EQ(collections.settings.entries()[1].key, "Wallpaper")
        << "display settings come before control panel";
    EXPECT_EQ(collections.settings.entries()[2].key, "Mouse Settings");
    ASSERT_EQ(collections.filesFolders.count(), 3);
    EXPECT_EQ(collections.filesFolders.entries()[0].item, "C:\\Data");
    EXPECT_EQ(collections.filesFolders.entries()[0].key, "\\\\OLDPC\\C$\\Data");
    EXPECT_EQ(collections.filesFolders.entries()[1].item, "C:\\autoexec.bat");
    EXPECT_EQ(collections.filesFolders.entries()[2].item, "C:\\Tools$\\x.exe")
        << "only the drive's $ becomes a colon";

    EXPECT_EQ(list.rows.front(), (std::pair<std::string, std::string>{"APP_MS Word", "MS Word"}));
    EXPECT_EQ(list.rows[2], (std::pair<std::string, std::string>{"DESKTOP_Screen Saver", "Screen Saver"}));
    EXPECT_EQ(
        list.rows[4], (std::pair<std::string, std::string>{"CONTROL_Mouse Settings", "Mouse Settings"}));
    EXPECT_EQ(list.rows[5], (std::pair<std::string, std::string>{"\\\\OLDPC\\C$\\Data", "C:\\Data"}));
    EXPECT_EQ(list.maximum, 80);
    EXPECT_DOUBLE_EQ(collections.progressStep, 10.0);

    for (const char* v : {"$ms word", "$paint pro", "$bln_application", "$screen_saver", "$wallpaper",
             "$Display_Settings", "$mouse_settings", "$Control_Panel_Settings", "$files_and_folders"})
        EXPECT_EQ(variables[v], "true") << v;
    EXPECT_EQ(variableWrites["$bln_application"], 1);
    EXPECT_EQ(variables.count("$Network_Settings"), 0u);
}

TEST_F(SelectionCollectorsTest, RunningTwiceGivesTheSameSelectionNothingAccumulates)
{
    choose("Supported", "MS Word", "MS Word");
    auto c = collector();
    c.Sub_Collect_Selected_Info();
    c.Sub_Collect_Selected_Info();
    EXPECT_EQ(collections.applications.count(), 1);
    EXPECT_EQ(list.rows.size(), 1u);
    c.Sub_Collect_Applications(); // the mass page adds again without emptying: keys are present
    EXPECT_EQ(collections.applications.count(), 1);
}

TEST_F(SelectionCollectorsTest, AnItemDroppedBetweenTwoRunsNoLongerCountsAsChosen)
{
    choose("Supported", "MS Word", "MS Word");
    choose("Display Settings", "Screen Saver", "Screen Saver");
    auto c = collector();
    c.Sub_Collect_Selected_Info();
    w.destination.removeKey("MS Word");
    c.Sub_Collect_Selected_Info();
    EXPECT_EQ(variables["$ms word"], "false");
    EXPECT_EQ(variables["$bln_application"], "false");
    EXPECT_EQ(variables["$screen_saver"], "true");
    EXPECT_EQ(variables["$Display_Settings"], "true");
    EXPECT_EQ(collections.applications.count(), 0);
}

TEST_F(SelectionCollectorsTest, ApplicationNamesFromTheSourceNeverNameTheWizardsOwnVariables)
{
    for (const char* name : {"st_kestro_path", "BLN_REG_REQUIRED", "blnSyncDone", "Tools $st_x", "A|B",
             "Back\\slash", "x=y", "Files_and_Folders"})
        choose("Unsupported", name, name);
    choose("Unsupported", "Solitaire Plus 2.1", "Solitaire Plus 2.1");
    collector().Sub_Collect_Selected_Info();
    // Every application is still chosen; only the harmless name sets a variable of its own.
    EXPECT_EQ(collections.applications.count(), 9);
    std::map<std::string, std::string> expected = {
        {"$solitaire plus 2.1", "true"}, {"$bln_application", "true"}};
    EXPECT_EQ(variables, expected);
    EXPECT_EQ(SelectionCollector::applicationVariableOf("Files and Folders"), "$files and folders");
    EXPECT_EQ(SelectionCollector::applicationVariableOf("files_and_folders"), "");
    EXPECT_EQ(SelectionCollector::applicationVariableOf(std::string("Tab\there")), "");
}

TEST_F(SelectionCollectorsTest, MoreItemsThanASixteenBitBarHoldsStillSizeTheBar)
{
    // 4,000 files: ten per item is 40,000, past what a 16-bit maximum could hold.
    auto* drive = w.addDrive("\\\\OLDPC\\C$", "C:");
    w.source.removeChildren(drive);
    for (int i = 0; i < 4000; ++i) {
        const std::string key = "\\\\OLDPC\\C$\\f" + std::to_string(i) + ".txt";
        w.source.setCheckedOf(w.source.addNode(drive, key, "f" + std::to_string(i) + ".txt", 50), true);
        files.insert(key);
    }
    collector().Sub_Collect_Selected_Info();
    EXPECT_EQ(collections.filesFolders.count(), 4000);
    EXPECT_EQ(list.maximum, 40000.0);
    EXPECT_EQ(collections.progressStep, 10.0);
    EXPECT_EQ(collections.filesFolders.entries()[3999].item, "C:\\f3999.txt");
}

TEST_F(SelectionCollectorsTest, AnXpSourceTakesThePathFromTheDriveText)
{
    auto* drive = w.addDrive("\\\\OLDXP\\C", "C:");
    w.list(drive, {"Docs"}, {});
    w.setMark(w.node("\\\\OLDXP\\C\\Docs"), true);
    folders = {"\\\\OLDXP\\C\\Docs"};
    collector("winxp").Sub_Collect_Selected_Info();
    ASSERT_EQ(collections.filesFolders.count(), 1);
    EXPECT_EQ(collections.filesFolders.entries()[0].item, "C:\\Docs");
}

TEST_F(SelectionCollectorsTest, ItemsThatNoLongerExistOnTheSourceAreNotTaken)
{
    auto* drive = w.addDrive("\\\\OLDPC\\C$", "C:");
    w.list(drive, {"Gone"}, {"gone.txt"});
    w.setMark(w.node("\\\\OLDPC\\C$\\Gone"), true);
    w.setMark(w.node("\\\\OLDPC\\C$\\gone.txt"), true);
    w.setMark(drive, true);
    collector().Sub_Collect_Selected_Info();
    EXPECT_EQ(collections.filesFolders.count(), 0);
    EXPECT_EQ(variables.count("$files_and_folders"), 0u);
}

} // namespace
} // namespace wizard

namespace wizard {
namespace {

TEST(ProgramSelectionTest, TheRulesStepCollectsFromTheInstalledTreesIntoTheProgramsSelection)
{
    testsupport::TestMachine machine;
    testsupport::SelectionWorld w;
    w.destination.addUnder("Display Settings", "Effects", "Effects");
    setSelectionTrees({&w.source, &w.destination});
    selectionCollections().settings.clear();
    EXPECT_TRUE(collectProgramSelection());
    setSelectionTrees({});
    ASSERT_EQ(selectionCollections().settings.count(), 1);
    EXPECT_EQ(selectionCollections().settings.entries()[0].key, "Effects");
    EXPECT_EQ(Get_System_Variable_Value("$effects"), "true");
}

// What the mass-migration page gathers when shown: the settings chosen on the selection page join
// the collections as they stand; nothing is emptied and the files and folders are left as they are.
TEST(ProgramSelectionTest, TheMassPageAddsApplicationsAndSettingsToWhatIsCollected)
{
    testsupport::TestMachine machine;
    testsupport::SelectionWorld w;
    w.destination.addUnder("Display Settings", "Effects", "Effects");
    setSelectionTrees({&w.source, &w.destination});
    selectionCollections() = SelectionCollections{};
    selectionCollections().settings.add("Mouse Settings", "Mouse Settings");
    selectionCollections().filesFolders.add("C:\\Kept", "\\\\OLDPC\\C$\\Kept");
    collectProgramApplicationsAndSettings();
    collectProgramApplicationsAndSettings(); // shown again: nothing twice
    setSelectionTrees({});
    const std::vector<KeyedList::Entry> settings = selectionCollections().settings.entries();
    ASSERT_EQ(settings.size(), 2U);
    EXPECT_EQ(settings[0].key, "Mouse Settings");
    EXPECT_EQ(settings[1].key, "Effects");
    ASSERT_EQ(selectionCollections().filesFolders.count(), 1);
    EXPECT_EQ(selectionCollections().filesFolders.entries()[0].item, "C:\\Kept");
    selectionCollections() = SelectionCollections{};
}

} // namespace
} // namespace wizard
