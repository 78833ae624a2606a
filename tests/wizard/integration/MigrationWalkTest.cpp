// MigrationWalkTest.cpp: a selective migration walked through the main window on the demo network,
// as a user does it from OLDPC: the selection page (two applications, one by its own script and
// one by the generic script, two settings, a file on D: and an unopened folder on C:), the drive
// page, the space page, Migrate, and the report that tells what became of each item; then the
// chosen items are on NEWPC.
#include "tests/wizard/integration/DemoWalk.h"

#include "wizard/ui/selection/ApplicationSettingsPage.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <chrono>
#include <fstream>
#include <map>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

class MigrationWalkTest : public testsupport::DemoWalk {
protected:
    bool onNewPc(const std::string& path)
    {
        return platform::RunningMachine::current()->files().fileExists(path);
    }
    static platform::FileSystem& newPc() { return platform::RunningMachine::current()->files(); }
    // Writes a file on NEWPC as its user left it there, last written at `when`.
    static void putOnNewPc(
        const std::string& path, const std::string& bytes, std::chrono::system_clock::time_point when)
    {
        newPc().makeSurePathExists(path);
        ASSERT_EQ(newPc().writeFile(path, bytes), platform::FsError::None) << path;
        ASSERT_EQ(newPc().setFileTime(path, when), platform::FsError::None) << path;
    }
    static std::string newPcBytes(const std::string& path)
    {
        std::string bytes;
        newPc().readFile(path, bytes);
        return bytes;
    }
};

TEST_F(MigrationWalkTest, FromSelectionThroughMigrateToTheReport)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    auto* source = sourceTree(w);
    ASSERT_NE(source, nullptr);
    const std::string files = "My Computer\\Files and Folders";
    open(source, files + "\\D:");
    open(source, files + "\\D:\\Projects");
    open(source, files + "\\C:");
    tick(source, "My Computer\\Supported Applications\\WinZip");
    tick(source, "My Computer\\Unsupported Applications\\Solitaire Plus 2.1");
    tick(source, "My Computer\\Display Settings\\Wallpaper");
    tick(source, "My Computer\\Control Panel Settings\\Mouse Settings");
    tick(source, files + "\\D:\\Projects\\Garden plan.txt");
    tick(source, files + "\\C:\\My Documents");
    user.shown.clear();

    next(w);
    ASSERT_EQ(activeForm(w), "frm_Drive_Info");
    // OLDPC shares C$ and D$; NEWPC has the fixed drives C: and D:.
    EXPECT_EQ(control<QLabel>(w, "frm_Drive_Info", "lblSrcDrv0")->text(), "C:");
    EXPECT_EQ(control<QLabel>(w, "frm_Drive_Info", "lblSrcDrv1")->text(), "D:");
    EXPECT_EQ(control<QComboBox>(w, "frm_Drive_Info", "cmbDestDrvs1")->count(), 2);
    // The second row below the first, each kind of control at its own pitch (405, 475 and 465 twips).
    const auto below = [&](const char* name) {
        return control<QWidget>(w, "frm_Drive_Info", (std::string(name) + "1").c_str())->y() -
            control<QWidget>(w, "frm_Drive_Info", (std::string(name) + "0").c_str())->y();
    };
    EXPECT_EQ(below("lblSrcDrv"), 2085 / 15 - 1680 / 15);
    EXPECT_EQ(below("imgSrcDrv"), 1915 / 15 - 1440 / 15);
    EXPECT_EQ(below("imgDestDrv"), 1915 / 15 - 1440 / 15);
    EXPECT_EQ(below("cmbDestDrvs"), 2025 / 15 - 1560 / 15);

    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    auto* list = control<QTreeView>(w, "frm_source_Space_Info", "Lstsel");
    EXPECT_EQ(list->model()->rowCount(), 6);
    auto* grid = control<QTableWidget>(w, "frm_source_Space_Info", "Grdsize");
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(1, 0)->text(), "C:");
    EXPECT_EQ(grid->item(2, 3)->text(), "0") << "chosen files are not measured, applications land on C:";
    QPushButton* migrate = w->findChild<QPushButton*>("Btn_Migrate");
    ASSERT_TRUE(migrate->isEnabled());

    migrate->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");
    // The one message: the end of the run, with nothing left out.
    ASSERT_EQ(user.shown.size(), 1U) << user.shown.front();
    EXPECT_EQ(user.shown[0], "Migration successfully completed,Click OK to view migration report!");
    auto* report = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
    ASSERT_EQ(report->topLevelItemCount(), 9);
    for (int i = 0; i < report->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = report->topLevelItem(i);
        if (row->text(0).startsWith("   ")) {
            EXPECT_EQ(row->text(1), "Migrated")
                << row->text(0).toStdString() << ": " << row->text(2).toStdString();
        }
    }
    EXPECT_EQ(report->topLevelItem(1)->text(0), "   WinZip");
    EXPECT_EQ(w->findChild<QPushButton*>("Cancel")->text(), "&Close");
    EXPECT_FALSE(migrate->isVisibleTo(w)) << "the report keeps Migrate hidden";
    EXPECT_TRUE(w->findChild<QPushButton*>("Btn_Finish")->isVisibleTo(w));

    EXPECT_TRUE(onNewPc("C:\\Program Files\\WinZip\\WINZIP32.EXE"));
    EXPECT_TRUE(onNewPc("C:\\Program Files\\Solitaire Plus\\SOLPLUS.EXE"));
    EXPECT_TRUE(onNewPc("D:\\Projects\\Garden plan.txt"));
    EXPECT_FALSE(onNewPc("D:\\Projects\\Club members.csv")) << "not chosen";
    EXPECT_TRUE(onNewPc("C:\\My Documents\\My Pictures\\Holiday 2003.jpg"));
    platform::Registry& registry = platform::RunningMachine::current()->registry();
    platform::RegKey desktop;
    ASSERT_EQ(
        registry.openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Control Panel\\Desktop", desktop),
        platform::WinError::Success);
    std::string wallpaper;
    registry.queryString(desktop, "Wallpaper", wallpaper);
    EXPECT_EQ(wallpaper, "C:\\WINDOWS\\Clouds.bmp");
    EXPECT_TRUE(onNewPc(wallpaper));
}

// Back from the report: the pages gone back to show Help where the report showed Finish (the two
// share one place), and Cancel again in place of Close.
TEST_F(MigrationWalkTest, BackFromTheReportShowsHelpAgainInFinishsPlace)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    tick(sourceTree(w), "My Computer\\Display Settings\\Wallpaper");
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");
    const auto shown = [w](const char* name) { return w->findChild<QPushButton*>(name)->isVisibleTo(w); };
    const auto enabled = [w](const char* name) { return w->findChild<QPushButton*>(name)->isEnabled(); };
    ASSERT_TRUE(shown("Btn_Finish"));

    for (const char* page : {"frm_source_Space_Info", "frm_Drive_Info", "Frm_ApplicationSettings"}) {
        w->findChild<QPushButton*>("Btn_Back")->click();
        ASSERT_EQ(activeForm(w), page);
        EXPECT_FALSE(shown("Btn_Finish")) << page;
        EXPECT_TRUE(shown("Btn_Help") && enabled("Btn_Help")) << page;
        EXPECT_TRUE(shown("Btn_Back") && enabled("Btn_Back")) << page;
        EXPECT_EQ(w->findChild<QPushButton*>("Cancel")->text(), "&Cancel") << page;
    }
}

// Files the user changed on NEWPC after the source's were last written stay, in a chosen folder and
// as a file chosen on its own: the log names each and the item's report line counts them. An older
// file of NEWPC is replaced as before, unless the source's is dated in the future: NEWPC's stays, and
// the log and the report say why.
TEST_F(MigrationWalkTest, NewerFilesOnThisPcAreKeptAndNamed)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    const auto now = std::chrono::system_clock::now();
    const std::string ahead = "\\\\OLDPC\\C$\\My Documents\\Plan ahead.txt";
    ASSERT_EQ(newPc().writeFile(ahead, "dated ten years ahead"), platform::FsError::None);
    ASSERT_EQ(newPc().setFileTime(ahead, now + std::chrono::hours(24 * 3650)), platform::FsError::None);
    putOnNewPc("C:\\My Documents\\Plan ahead.txt", "NEWPC's older plan", now - std::chrono::hours(24 * 365));
    putOnNewPc("C:\\My Documents\\Notes.txt", "edited on NEWPC today", now);
    putOnNewPc(
        "C:\\My Documents\\Budget 2004.xls", "an older budget", now - std::chrono::hours(24 * 365 * 30));
    putOnNewPc("D:\\Projects\\Garden plan.txt", "NEWPC's newer plan", now);
    auto* source = sourceTree(w);
    const std::string files = "My Computer\\Files and Folders";
    open(source, files + "\\D:");
    open(source, files + "\\D:\\Projects");
    open(source, files + "\\C:");
    tick(source, files + "\\D:\\Projects\\Garden plan.txt");
    tick(source, files + "\\C:\\My Documents");
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    EXPECT_EQ(newPcBytes("C:\\My Documents\\Notes.txt"), "edited on NEWPC today");
    EXPECT_EQ(newPcBytes("D:\\Projects\\Garden plan.txt"), "NEWPC's newer plan");
    EXPECT_EQ(newPcBytes("C:\\My Documents\\Plan ahead.txt"), "NEWPC's older plan");
    EXPECT_EQ(loggedWhole("Plan ahead.txt"),
        "Kept this PC's file : C:\\My Documents\\Plan ahead.txt : the source's file is dated in the future");
    EXPECT_EQ(
        newPcBytes("C:\\My Documents\\Budget 2004.xls"), "Month;Income;Expenses\r\nJanuary;2100;1830\r\n");
    std::string log;
    newPc().readFile(std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", log);
    for (const char* kept : {"Kept the newer file on this PC : C:\\My Documents\\Notes.txt",
             "Kept the newer file on this PC : D:\\Projects\\Garden plan.txt"})
        EXPECT_NE(log.find(kept), std::string::npos) << kept;
    EXPECT_EQ(log.find("Kept the newer file on this PC : C:\\My Documents\\Budget"), std::string::npos);
    auto* report = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
    std::map<std::string, std::pair<std::string, std::string>> rows; // item: outcome, detail
    for (int i = 0; i < report->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = report->topLevelItem(i);
        rows[row->text(0).trimmed().toStdString()] = {row->text(1).toStdString(), row->text(2).toStdString()};
    }
    EXPECT_EQ(rows["C:\\My Documents"].first, "Migrated");
    EXPECT_EQ(rows["C:\\My Documents"].second,
        "Kept 1 newer file on this PC (the log names each); kept 1 file on this PC: the source's file is "
        "dated in the future (the log names each)");
    EXPECT_EQ(rows["D:\\Projects\\Garden plan.txt"].first, "Migrated");
    EXPECT_EQ(
        rows["D:\\Projects\\Garden plan.txt"].second, "Kept 1 newer file on this PC (the log names each)");
}

// What could not be copied, and what no copy may write, is named in the log and the report as the
// source PC spells it, never by the letter its drive was mapped to, and whole however long.
TEST_F(MigrationWalkTest, FailuresAndRefusalsNameTheSourcesOwnPathsWhole)
{
    const std::string deep = "C:\\My Documents\\Letters of the garden club of Little Hampton, 1999 to 2004";
    const std::filesystem::path host = network / demo::kSourcePc98 / "drives" / "C" / "My Documents" /
        "Letters of the garden club of Little Hampton, 1999 to 2004" / "NTUSER.DAT";
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host) << "a hive planted in a document folder";
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    auto* source = sourceTree(w);
    open(source, "My Computer\\Files and Folders\\C:");
    tick(source, "My Computer\\Files and Folders\\C:\\My Documents");
    tick(source, "My Computer\\Supported Applications\\WinZip");
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    const platform::FileLock inUse = newPc().lockFile("\\\\OLDPC\\C$\\Program Files\\WinZip\\WINZIP32.EXE");
    ASSERT_TRUE(inUse.isLocked());
    const std::optional<std::string> mapped = wizard::transferGlobals().driveMap.lookup("C:");
    ASSERT_TRUE(mapped.has_value());
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    const std::string refused = "Refused : " + deep + "\\NTUSER.DAT : a profile's registry hive";
    EXPECT_EQ(loggedWhole("NTUSER.DAT"), refused);
    const std::string documents = reportRow(w, "C:\\My Documents");
    EXPECT_NE(documents.find(refused), std::string::npos) << documents;
    const std::string notCopied = loggedWhole("WINZIP32.EXE");
    EXPECT_EQ(notCopied.rfind("Not Copied : C:\\Program Files\\WinZip\\WINZIP32.EXE:", 0), 0u) << notCopied;
    const std::string winZip = reportRow(w, "WinZip");
    EXPECT_EQ(winZip.rfind("Failed ", 0), 0u) << winZip;
    EXPECT_NE(winZip.find("C:\\Program Files\\WinZip"), std::string::npos) << winZip;
    for (const std::string& text : {loggedWhole(*mapped + "\\"), winZip, documents})
        EXPECT_EQ(text.find(*mapped + "\\"), std::string::npos) << text;
}

// A folder the user opened and closed again before ticking it is chosen with what it holds: its
// listed file is collected, Migrate can be pressed and the file arrives on NEWPC.
TEST_F(MigrationWalkTest, FolderOpenedAndClosedBeforeItsTickArrives)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    auto* source = sourceTree(w);
    ASSERT_NE(source, nullptr);
    const std::string pictures = "My Computer\\Files and Folders\\C:\\My Documents\\My Pictures";
    open(source, "My Computer\\Files and Folders\\C:");
    open(source, "My Computer\\Files and Folders\\C:\\My Documents");
    open(source, pictures);
    ASSERT_NE(item(source, pictures + "\\Holiday 2003.jpg"), nullptr);
    item(source, pictures)->setExpanded(false);
    tick(source, pictures);
    EXPECT_EQ(item(source, pictures + "\\Holiday 2003.jpg")->checkState(0), Qt::Checked);
    ASSERT_TRUE(w->findChild<QPushButton*>("Btn_Next")->isEnabled());

    next(w);
    ASSERT_EQ(activeForm(w), "frm_Drive_Info");
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    EXPECT_EQ(control<QTreeView>(w, "frm_source_Space_Info", "Lstsel")->model()->rowCount(), 1);
    QPushButton* migrate = w->findChild<QPushButton*>("Btn_Migrate");
    ASSERT_TRUE(migrate->isEnabled());
    migrate->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");
    EXPECT_TRUE(onNewPc("C:\\My Documents\\My Pictures\\Holiday 2003.jpg"));
}

// A folder the user opened before ticking it is chosen as its listed files, each an item of its
// own: they arrive through one look at their folder on NEWPC (not one listing of it per file, which
// made such a copy take time in the square of the files), each with its own outcome: a file in use
// at the source fails, one removed since it was listed is not found, the rest are migrated whole.
TEST_F(MigrationWalkTest, OpenedFolderArrivesFileByFileThroughOneLookAtItsFolder)
{
    namespace fs = std::filesystem;
    constexpr int kFiles = 40;
    const fs::path sourceFolder = network / demo::kSourcePc98 / "drives" / "C" / "Letters";
    fs::create_directories(sourceFolder);
    for (int i = 0; i < kFiles; ++i)
        std::ofstream(sourceFolder / ("letter " + std::to_string(100 + i) + ".txt")) << "letter " << i;
    // NEWPC has the folder already: its openings are counted from here on.
    const fs::path destFolder = network / demo::kDestinationPc / "drives" / "C" / "Letters";
    fs::create_directories(destFolder);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, destFolder.c_str(), IN_OPEN), 0);

    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    auto* source = sourceTree(w);
    const std::string letters = "My Computer\\Files and Folders\\C:\\Letters";
    open(source, "My Computer\\Files and Folders\\C:");
    open(source, letters);
    ASSERT_NE(item(source, letters + "\\letter 139.txt"), nullptr);
    tick(source, letters);
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    EXPECT_EQ(control<QTreeView>(w, "frm_source_Space_Info", "Lstsel")->model()->rowCount(), kFiles);
    fs::remove(sourceFolder / "letter 105.txt");
    platform::FileLock inUse =
        platform::RunningMachine::current()->files().lockFile("\\\\OLDPC\\C$\\Letters\\letter 107.txt");
    ASSERT_TRUE(inUse.isLocked());
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    std::map<std::string, std::string> outcomes;
    auto* report = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
    for (int i = 0; i < report->topLevelItemCount(); ++i)
        outcomes[report->topLevelItem(i)->text(0).trimmed().toStdString()] =
            report->topLevelItem(i)->text(1).toStdString();
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "letter " + std::to_string(100 + i) + ".txt";
        const std::string want = i == 5 ? "Not found" : i == 7 ? "Failed" : "Migrated";
        EXPECT_EQ(outcomes["C:\\Letters\\" + name], want) << name;
        if (want == "Migrated") {
            std::ifstream arrived(destFolder / name);
            std::string text;
            std::getline(arrived, text);
            EXPECT_EQ(text, "letter " + std::to_string(i)) << name;
        } else {
            EXPECT_FALSE(fs::exists(destFolder / name)) << name;
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(destFolder), fs::directory_iterator()), kFiles - 2)
        << "no partial copy or other file left beside them";

    int folderOpens = 0;
    alignas(inotify_event) char buffer[65536];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            folderOpens += event->len == 0 && (event->mask & IN_OPEN) ? 1 : 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    ::close(watch);
    EXPECT_LE(folderOpens, 3) << "the folder is looked up once for all its files";
}

// From OLDXP every file row begins "C:\Documents and Settings\Sarah": each row's tip tells its whole
// item and outcome, and the user widens any column, the last one too, by dragging its header's edge.
TEST_F(MigrationWalkTest, ReportRowsFromAnXpSourceCanBeReadWhole)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePcXp);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    auto* source = sourceTree(w);
    const std::string docs =
        "My Computer\\Files and Folders\\C:\\Documents and Settings\\Sarah\\My Documents";
    for (const std::string& folder : {std::string("My Computer\\Files and Folders\\C:"),
             std::string("My Computer\\Files and Folders\\C:\\Documents and Settings"),
             std::string("My Computer\\Files and Folders\\C:\\Documents and Settings\\Sarah"), docs})
        open(source, folder);
    tick(source, docs + "\\Notes.txt");
    tick(source, docs + "\\My Pictures");
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    auto* report = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
    ASSERT_EQ(report->topLevelItemCount(), 3);
    const QString notes = "C:\\Documents and Settings\\Sarah\\My Documents\\Notes.txt";
    const QTreeWidgetItem* row = report->topLevelItem(2);
    ASSERT_EQ(row->text(0), "   " + notes);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(row->toolTip(column), notes + "\nMigrated") << column;
    EXPECT_TRUE(report->topLevelItem(0)->toolTip(0).isEmpty()) << "a group row has no tip";

    // The user drags the right edge of a column's header 300 pixels to the right.
    QHeaderView* header = report->header();
    const auto widen = [header](int column) {
        const int edge = header->sectionViewportPosition(column) + header->sectionSize(column) - 1;
        const QPoint from(edge, header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(300, 0)),
            header->viewport()->mapToGlobal(QPointF(from + QPoint(300, 0))), Qt::NoButton, Qt::LeftButton,
            Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, from + QPoint(300, 0));
    };
    const int last = header->sectionSize(2);
    widen(2);
    EXPECT_EQ(header->sectionSize(2), last + 300) << "the last column widens beyond the page";
    const int first = header->sectionSize(0);
    widen(0);
    EXPECT_EQ(header->sectionSize(0), first + 300);
    QApplication::processEvents(); // the view lays itself out again
    EXPECT_GT(report->horizontalScrollBar()->maximum(), 0) << "the list scrolls sideways to it";
}

} // namespace
