// MigrationPagesTest.cpp: the rows of the space, drive-mapping and report pages, and the three
// pages offscreen: the checklist the migration ticks, the space grid, the drive rows and the
// report that says per item what became of it.
#include "wizard/ui/pages/MigrationPages.h"

#include "tests/support/FindChild.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "tests/wizard/pages/PageTestSupport.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/pages/MigrationPageModels.h"
#include "wizard/rules/FilesFoldersMigration.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using namespace wizard;
using transfer::TransferOutcome;

std::vector<DriveSpaceRow> drivesCAndD() { return {{"C:", true, 1000, 500, 0}, {"D:", true, 2000, 1500, 0}}; }

TEST(MigrationPageModelsTest, ApplicationsCountOnTheProgramFoldersDriveOnly)
{
    SpaceNeeds needs;
    needs.applications = {"Word", "Paint"};
    SpaceSources s;
    s.applicationMb = [](const std::string& n) -> std::int64_t { return n == "Word" ? 120 : 35; };
    s.drives = drivesCAndD;
    s.driveCheck = [](const std::string& p) {
        return Drive_Check(p, [](char l) { return l == 'C' || l == 'D'; });
    };
    const std::vector<DriveSpaceRow> rows = spaceRows(needs, s);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].requiredMb, 155); // the program folder lies on C:
    EXPECT_EQ(rows[1].requiredMb, 0);

    s.drives = [] { return std::vector<DriveSpaceRow>{}; };
    EXPECT_TRUE(spaceRows(needs, s).empty()) << "no fixed drive: only the header row";
    EXPECT_EQ(formatMb(40000000000.0 / 1024 / 1024), "38146.97265625");
    EXPECT_EQ(formatMb(2048), "2048");
}

TEST(MigrationPageModelsTest, ApplicationSizesComeFromTheirScriptsRoundedHalfToEven)
{
    test::TempMachine machine;
    const auto script = [&](const std::string& name, const std::string& size) {
        machine.writeScript("APPS\\" + name + ".xml",
            "<?xml version=\"1.0\"?>\n<script>\n<info><size>" + size + "</size></info>\n</script>");
    };
    script("Half", "12.5");
    script("OddHalf", "13.5");
    script("Large", "40000");
    script("Words", "big");
    EXPECT_EQ(applicationSizeMb("Half"), 12);
    EXPECT_EQ(applicationSizeMb("OddHalf"), 14);
    EXPECT_EQ(applicationSizeMb("Large"), 40000) << "no 16-bit limit drops a large application";
    EXPECT_EQ(applicationSizeMb("Words"), 0);
    EXPECT_EQ(applicationSizeMb("Missing"), 0);
    // A damaged script is read and logged once, however often the space page is built.
    machine.writeScript("APPS\\Broken.xml", "<script>\n<info><size>5</si");
    EXPECT_EQ(applicationSizeMb("Broken"), 0);
    EXPECT_EQ(applicationSizeMb("Broken"), 0);
    const std::string log = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    const std::string record = "Script not loaded : APPS\\Broken.wkx";
    const auto first = log.find(record);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(record, first + 1), std::string::npos) << log;
}

TEST(MigrationPageModelsTest, DriveRowsFollowTheSharesAndReportRowsKeepEveryGroupsItems)
{
    const auto rows = driveMappingRows({"C:", "D:", ""}, {"C:", "D:"});
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[1].sourceDrive, "D:");
    EXPECT_EQ(rows[1].destinationDrives, (std::vector<std::string>{"C:", "D:"}));
    const auto none = driveMappingRows({""}, {"C:"});
    ASSERT_EQ(none.size(), 1U);
    EXPECT_EQ(none[0].sourceDrive, "");
    EXPECT_EQ(none[0].destinationDrives, (std::vector<std::string>{"C:"}));

    MigrationReport report;
    report.record(ReportGroup::Applications, "Outlook Express", TransferOutcome::Migrated);
    report.record(ReportGroup::Settings, "Outlook Express", TransferOutcome::Failed, "Failed step: x");
    report.record(ReportGroup::FilesAndFolders, "Settings", TransferOutcome::NotFound, "gone");
    const auto r = reportRows(report);
    ASSERT_EQ(r.size(), 6U);
    EXPECT_TRUE(r[0].isGroup);
    EXPECT_EQ(r[1].text, "   Outlook Express");
    EXPECT_EQ(r[1].status, "Migrated");
    EXPECT_EQ(r[3].text, "   Outlook Express");
    EXPECT_EQ(r[3].status, "Failed");
    EXPECT_EQ(r[3].description, "Failed step: x");
    EXPECT_EQ(r[4].text, "Files and Folders");
    EXPECT_EQ(r[5].text, "   Settings") << "an item named like a group caption is a row of its own";
    EXPECT_EQ(r[5].status, "Not found");
    EXPECT_TRUE(reportRows(MigrationReport{}).empty());
}

class MigrationPagesTest : public test::PageTest {
protected:
    MigrationPagesTest()
    {
        migrationReport().clear();
        selectionCollections() = SelectionCollections{};
        selectedItemsList().clearRows();
        std::filesystem::create_directories(world.hostNew("Program Files/Kestro"));
    }
    ~MigrationPagesTest() override
    {
        selectedItemsList().clearRows();
        selectionCollections() = SelectionCollections{};
        migrationReport().clear();
    }
    transfertest::TransferWorld world;
};

TEST_F(MigrationPagesTest, TheChecklistShowsWhatTheMigrationMarksAndTheUserCannotTick)
{
    frm_source_Space_Info page(nullptr, &host);
    page.activated(); // nothing chosen (the selection page was never shown)
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Migrate));
    EXPECT_EQ(bar.buttonLeft(BarButton::Migrate), 4500);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    QAbstractItemModel* list = testsupport::child<QTreeView>(&page, "Lstsel")->model();
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(list->headerData(0, Qt::Horizontal).toString(), "Selected Information");

    SelectedItemsList& items = selectedItemsList();
    items.addRow("APP_Word", "Word");
    items.addRow("\\\\OLDPC\\C$\\Data", "C:\\Data");
    items.setProgressMaximum(20);
    items.setMark("APP_Word", SelectedItemsList::Mark::Migrated);
    items.advance(10);
    items.setMark("\\\\OLDPC\\C$\\Data", SelectedItemsList::Mark::Failed);
    ASSERT_EQ(list->rowCount(), 2);
    const QModelIndex word = list->index(0, 0);
    const QModelIndex data = list->index(1, 0);
    EXPECT_EQ(word.data().toString(), "Word");
    EXPECT_EQ(word.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    EXPECT_EQ(data.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    EXPECT_EQ(data.data(Qt::ForegroundRole).value<QColor>(), QColor(192, 0, 0));
    EXPECT_FALSE(list->flags(word) & Qt::ItemIsUserCheckable) << "only the migration ticks";
    EXPECT_FALSE(list->flags(word) & Qt::ItemIsEditable);
    EXPECT_EQ(testsupport::child<QProgressBar>(&page, "Prb_Progress_bar")->value(), 10);
    EXPECT_EQ(page.helpTopic(), 24);
}

// A choice of thousands of items: every row arrives once, in order, in one insertion when the event
// loop turns (each insertion lays the view out anew), and the list is never rebuilt; a mark shows
// the rows added before it and repaints only its row.
TEST_F(MigrationPagesTest, ALargeChoiceIsAppendedInBatchesNeverRebuilt)
{
    frm_source_Space_Info page(nullptr, &host);
    QAbstractItemModel* list = testsupport::child<QTreeView>(&page, "Lstsel")->model();
    QSignalSpy inserted(list, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(list, &QAbstractItemModel::modelReset);
    QSignalSpy removed(list, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(list, &QAbstractItemModel::dataChanged);
    constexpr int kRows = 6000;
    SelectedItemsList& items = selectedItemsList();
    for (int i = 0; i < kRows; ++i)
        items.addRow("FILE_" + std::to_string(i), "C:\\Data\\file " + std::to_string(i) + ".txt");
    EXPECT_EQ(list->rowCount(), 0) << "the rows wait for the event loop";
    QElapsedTimer waited;
    waited.start();
    while (list->rowCount() == 0 && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(list->rowCount(), kRows);
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(removed.size(), 0);
    for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(list->index(i, 0).data().toString(), QString("C:\\Data\\file %1.txt").arg(i)) << i;

    items.addRow("file_17", "a key already chosen, in other case");
    EXPECT_EQ(list->rowCount(), kRows);
    items.setMark("FILE_4321", SelectedItemsList::Mark::Migrated);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 4321);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 4321);
    EXPECT_EQ(list->index(4321, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);

    // A new collection starts the list afresh.
    items.clearRows();
    EXPECT_EQ(list->rowCount(), 0);
    items.addRow("APP_Word", "Word");
    items.addRow("APP_Excel", "Excel");
    items.setMark("APP_Excel", SelectedItemsList::Mark::Failed);
    ASSERT_EQ(list->rowCount(), 2) << "a mark brings the rows before it";
    EXPECT_EQ(list->index(0, 0).data().toString(), "Word");
    EXPECT_EQ(list->index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(192, 0, 0));
    EXPECT_EQ(list->index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
}

// The page as laid out: the checklist over the space grid, the Quick Help panel beside it and the
// bar across the foot, not covered by the panel however large the window.
TEST_F(MigrationPagesTest, TheSpacePageKeepsItsGridBeneathTheChecklistAndItsBarInView)
{
    host.resize(1000, 700);
    frm_source_Space_Info page(nullptr, &host);
    host.show();
    page.resize(1000, 700); // as the main window's client area sizes a shown page
    auto* listView = testsupport::child<QTreeView>(&page, "Lstsel");
    auto* grid = testsupport::child<QTableWidget>(&page, "Grdsize");
    auto* progress = testsupport::child<QProgressBar>(&page, "Prb_Progress_bar");
    auto* panel = testsupport::child<QuickHelpPanel>(&page, "Frame2");
    EXPECT_EQ(listView->geometry(), QRect(0, 0, twips(7815), twips(6135)));
    EXPECT_TRUE(listView->geometry().contains(grid->geometry().adjusted(0, 0, 0, -1)));
    const QList<QObject*> order = page.children();
    EXPECT_LT(order.indexOf(grid), order.indexOf(listView)) << "the grid lies beneath the checklist";
    EXPECT_EQ(grid->columnWidth(0), twips(500));
    EXPECT_EQ(grid->columnWidth(3), twips(1400));
    EXPECT_EQ(panel->geometry().right(), page.width() - 1);
    EXPECT_EQ(panel->height(), twips(6135));
    EXPECT_LE(panel->geometry().bottom(), progress->geometry().top() + 1)
        << "the bar runs on beneath the panel";
    EXPECT_EQ(progress->width(), twips(11295));
    EXPECT_EQ(testsupport::child<QPushButton>(&page, "Cmd_Link")->isVisibleTo(&page), false);

    page.activated();
    EXPECT_EQ(panel->intro()->text(),
        "This page shows the actual migration process. All the selected data for migration are shown "
        "here. The checkbox gets checked as and when the data is migrated.\r\r");
    EXPECT_EQ(panel->title()->text(), "Selected Data\r\n");
    EXPECT_EQ(panel->link()->text(), "Click Help Button or press F1 Key for more details.");
    EXPECT_TRUE(panel->link()->font().underline());
    ASSERT_EQ(panel->topicBoxes().size(), 1U);
    EXPECT_EQ(panel->topicBoxes()[0]->text(), "1");
}

TEST_F(MigrationPagesTest, TheSpaceGridHasOneRowPerFixedDrive)
{
    world.putOld("Data/a.txt", std::string(3000, 'a'));
    frm_source_Space_Info page(nullptr, &host);
    selectionCollections().filesFolders.add("C:\\Data", "\\\\OLDPC\\C$\\Data");
    EXPECT_TRUE(page.Get_Selected_size());
    auto* grid = testsupport::child<QTableWidget>(&page, "Grdsize");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 3)->text(), "Req. Space(MB)");
    EXPECT_EQ(grid->item(1, 0)->text(), "C:");
    EXPECT_EQ(grid->item(1, 3)->text(), "0") << "chosen files are not measured; no application is chosen";
}

TEST_F(MigrationPagesTest, TheReportTellsEachItemsOutcomeAndLowersTheHistoryOncePerRun)
{
    migrationReport().record(ReportGroup::Applications, "Word", TransferOutcome::Migrated);
    migrationReport().record(ReportGroup::FilesAndFolders, "C:\\Data\\gone.txt", TransferOutcome::NotFound,
        "No longer on the source PC");
    migrationReport().record(ReportGroup::FilesAndFolders, "C:\\Data\\big.bin", TransferOutcome::Failed,
        "C:\\Data\\big.bin: Disk full");
    core().engine.HistoryStep = 7;
    frm_Migration_Status page(nullptr, &host);
    page.activated();
    page.activated(); // shown again: the same report, the history lowered only once
    auto* list = testsupport::child<QTreeWidget>(&page, "ListView1");
    ASSERT_EQ(list->topLevelItemCount(), 5);
    EXPECT_EQ(list->topLevelItem(1)->text(1), "Migrated");
    EXPECT_EQ(list->topLevelItem(3)->text(1), "Not found");
    EXPECT_EQ(list->topLevelItem(4)->text(1), "Failed");
    EXPECT_EQ(list->topLevelItem(4)->text(2), "C:\\Data\\big.bin: Disk full");
    EXPECT_EQ(core().engine.HistoryStep, 6);
    EXPECT_EQ(bar.buttonCaption(BarButton::Cancel), "&Close");
    EXPECT_TRUE(bar.buttonVisible(BarButton::Finish));
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_FALSE(bar.buttonVisible(BarButton::Migrate));
    core().engine.HistoryStep = 0;
}

// A report of thousands of items: its first rows show at once, the rest arrive while the event loop
// turns, all in the report's order; leaving the page stops the rows, showing it again starts over.
TEST_F(MigrationPagesTest, ALargeReportArrivesInPartsInOrder)
{
    constexpr int kItems = 3000;
    for (int i = 0; i < kItems; ++i)
        migrationReport().record(ReportGroup::FilesAndFolders, "C:\\Data\\f" + std::to_string(i) + ".txt",
            i == 7 ? TransferOutcome::Failed : TransferOutcome::Migrated, i == 7 ? "in use" : "");
    migrationReport().record(ReportGroup::Applications, "Word", TransferOutcome::Migrated);
    frm_Migration_Status page(nullptr, &host);
    page.activated();
    auto* list = testsupport::child<QTreeWidget>(&page, "ListView1");
    EXPECT_FALSE(page.filled());
    EXPECT_GT(list->topLevelItemCount(), 2);
    EXPECT_LT(list->topLevelItemCount(), kItems + 3) << "the rest waits for the event loop";
    EXPECT_EQ(list->topLevelItem(1)->text(0), "   Word");
    QElapsedTimer waited;
    waited.start();
    while (!page.filled() && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(list->topLevelItemCount(), kItems + 3);
    for (int i = 0; i < kItems; ++i)
        ASSERT_EQ(list->topLevelItem(i + 3)->text(0), QString("   C:\\Data\\f%1.txt").arg(i)) << i;
    EXPECT_EQ(list->topLevelItem(10)->text(1), "Failed");
    EXPECT_EQ(list->topLevelItem(10)->toolTip(2), "C:\\Data\\f7.txt\nFailed: in use");

    host.show();
    page.show();
    page.activated();
    page.hide();
    EXPECT_TRUE(page.filled()) << "a page left stops adding rows";
    const int shown = list->topLevelItemCount();
    QApplication::processEvents();
    EXPECT_EQ(list->topLevelItemCount(), shown);
    core().engine.HistoryStep = 0;
}

TEST_F(MigrationPagesTest, TheReportTakesItsInertKeysAndResetsItsColumnsAtEachShowing)
{
    frm_Migration_Status page(nullptr, &host);
    page.activated();
    auto* list = testsupport::child<QTreeWidget>(&page, "ListView1");
    EXPECT_EQ(list->headerItem()->text(0), "Migrated Item");
    EXPECT_EQ(list->headerItem()->text(2), "Description");
    list->setColumnWidth(0, 20); // the user narrows a column
    page.activated();
    EXPECT_EQ(list->columnWidth(0), twips(3500));
    EXPECT_EQ(list->columnWidth(1), twips(1650));

    EXPECT_EQ(testsupport::child<QPushButton>(&page, "Command5")->text(), "&Undo");
    EXPECT_EQ(testsupport::child<QPushButton>(&page, "Command6")->text(), "Fi&nish");
    for (Qt::Key key : {Qt::Key_N, Qt::Key_U, Qt::Key_M})
        pressAlt(list, key); // Next and Finish's keys are taken and do nothing, as Undo's
    EXPECT_TRUE(clicks.empty());
    pressAlt(list, Qt::Key_P);
    pressAlt(list, Qt::Key_C);
    EXPECT_EQ(clicks, (std::vector<BarButton>{BarButton::Back, BarButton::Cancel}));
    core().engine.HistoryStep = 0;
}

TEST_F(MigrationPagesTest, TheDrivePageHasARowPerSourceShareWithThisPcsFixedDrives)
{
    SourcePcName = "OLDPC";
    frm_Drive_Info page(nullptr, &host);
    SourcePcName.clear();
    // Its title on the common band, at the page's own places.
    auto* band = testsupport::child<QFrame>(&page, "Shape2");
    auto* title = testsupport::child<QLabel>(&page, "Label2");
    EXPECT_EQ(title->text(), "Map Source and Destination Drives");
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(band->geometry().topLeft(), QPoint(twips(240), twips(120)));
    EXPECT_TRUE(band->geometry().contains(title->geometry()));
    EXPECT_TRUE(band->geometry().contains(testsupport::child<QLabel>(&page, "Image1")->geometry()));
    EXPECT_EQ(testsupport::child<QLabel>(&page, "Label1")->text(), "Source Drive");
    EXPECT_EQ(testsupport::child<QLabel>(&page, "Label3")->text(), "Destination Drive");
    auto* panel = testsupport::child<QuickHelpPanel>(&page, "Frame2");
    EXPECT_EQ(panel->title()->text(), "Map Drives");
    EXPECT_TRUE(panel->topicBoxes().empty());
    EXPECT_EQ(panel->link()->text(), "Click Help Button or press F1 key for more details.");
    EXPECT_EQ(panel->link()->cursor().shape(), Qt::ArrowCursor) << "the help line does nothing here";
    // A row: the source drive's icon and letter, this PC's drive icon and list.
    EXPECT_FALSE(testsupport::child<QLabel>(&page, "imgSrcDrv0")->pixmap().isNull());
    EXPECT_FALSE(testsupport::child<QLabel>(&page, "imgDestDrv0")->pixmap().isNull());
    EXPECT_EQ(testsupport::child<QLabel>(&page, "lblSrcDrv0")->text(), "C:");
    auto* combo = testsupport::child<QComboBox>(&page, "cmbDestDrvs0");
    ASSERT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->currentText(), "C:");
    EXPECT_EQ(page.findChild<QLabel*>("lblSrcDrv1"), nullptr);
    bar.setButtonLeft(BarButton::Migrate, 0);
    page.activated();
    EXPECT_FALSE(bar.buttonVisible(BarButton::Migrate));
    EXPECT_EQ(bar.buttonLeft(BarButton::Migrate), 4500);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(page.helpTopic(), 110);
}

} // namespace
