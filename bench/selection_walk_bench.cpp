// selection_walk_bench.cpp: one folder chosen on the selection page and migrated, walked through
// the real main window on the demo network, as a user does it: the hand-over from OLDPC, the
// folder opened with every sub-folder it holds (MODE "opened") or not (MODE "ticked"; MODE
// "partly": not opened, and NEWPC already holds copies of the first PRESENT files, default 6,400,
// as a run that was stopped leaves them), ticked, cleared and ticked again, Next to the drive page,
// Next to the space page, Migrate to the report page. Usage: selection_walk_bench WORK TREE MODE.
// TREE is a host folder that is moved onto OLDPC's C: for the run (and back afterwards); WORK holds
// the demo network. Prints the longest event-loop stall of each step (bench/StallMeter.h), of the
// first and a second F1 on the selection page, and of the time between the copy's end (the last
// checklist row marked) and the completion box; "kestro_seconds: S" from the click on Migrate to
// the report page; and checks that every file arrived. Run by bench/selection-walk-bench.sh beside
// cp -a.
#include "bench/StallMeter.h"
#include "platform/MessageBox.h"
#include "platform/ProcessRunner.h"
#include "platform/RunningMachine.h"
#include "platform/qt/QtHelpViewer.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/program/StartKestro.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"
#include "wizard/ui/pages/MigrationPages.h"
#include "wizard/ui/selection/ApplicationSettingsPage.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"
#include "wizard/ui/selection/SourceListingDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

// The user at the message boxes: the first one (run the batch file on the source) is answered
// after the batch file ran there; every other one with OK.
class BenchUser : public platform::MessageService {
public:
    platform::MsgResult show(const platform::MessageRequest& request) override
    {
        last = request.text;
        if (before) {
            std::function<void()> run = std::move(before);
            before = {};
            run();
        }
        if (atBox)
            atBox();
        return platform::MsgResult::Ok;
    }
    std::function<void()> before;
    std::function<void()> atBox; // at every box, before it is answered
    std::string last;
};

wizard::WizardPage* pageOnScreen(wizard::KestroMain* w)
{
    for (wizard::WizardPage* page : w->findChildren<wizard::WizardPage*>())
        if (page->isVisible())
            return page;
    return nullptr;
}

std::string activeForm(wizard::KestroMain* w)
{
    const wizard::WizardPage* page = pageOnScreen(w);
    return page ? page->objectName().toStdString() : std::string("KestroMain");
}

template <class T> T* control(wizard::KestroMain* w, const char* form, const char* name)
{
    wizard::WizardPage* page = w->findChild<wizard::WizardPage*>(form);
    return page ? page->findChild<T*>(name) : nullptr;
}

void click(wizard::KestroMain* w, const char* button) { w->findChild<QPushButton*>(button)->click(); }

QTreeWidgetItem* itemAt(QTreeWidget* tree, const std::vector<QString>& path)
{
    QTreeWidgetItem* at = tree->invisibleRootItem();
    for (const QString& text : path) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; at && i < at->childCount() && !found; ++i)
            if (at->child(i)->text(0) == text)
                found = at->child(i);
        at = found;
    }
    return at;
}

// Runs `action` with a fresh stall meter and the event loop turning until `settled` holds; prints
// the longest stall under `what` and answers the seconds it took.
double measured(const char* what, const std::function<void()>& action, const std::function<bool()>& settled)
{
    bench::StallMeter meter;
    meter.start();
    const auto start = std::chrono::steady_clock::now();
    action();
    while (!settled())
        QApplication::processEvents();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("stall_%s_ms: %lld (%.3f s; it ended %.3f s in)\n", what,
        static_cast<long long>(meter.maxStall()), seconds, static_cast<double>(meter.maxStallEnd()) / 1000.0);
    return seconds;
}

std::size_t countFiles(const fs::path& root)
{
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(root))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

// Opens a folder and, once it is listed, every sub-folder below it.
void openAll(QTreeWidgetItem* item, const std::function<bool()>& listed)
{
    std::vector<QTreeWidgetItem*> folders{item};
    while (!folders.empty()) {
        QTreeWidgetItem* f = folders.back();
        folders.pop_back();
        f->setExpanded(true);
        while (!listed())
            QApplication::processEvents();
        for (int i = 0; i < f->childCount(); ++i)
            if (f->child(i)->childCount() > 0)
                folders.push_back(f->child(i));
    }
}

// F1 on the selection page's source tree twice, the help window closed between: the first opens
// the help window.
void measureHelpKey(QWidget* tree)
{
    tree->setFocus();
    auto* viewer = dynamic_cast<platform::qt::QtHelpViewer*>(&platform::helpService());
    const auto shown = [viewer] { return !viewer || (viewer->browser() && viewer->browser()->isVisible()); };
    for (const char* what : {"first_f1", "second_f1"}) {
        measured(
            what,
            [tree] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
                QApplication::sendEvent(
                    QApplication::focusWidget() ? QApplication::focusWidget() : tree, &press);
            },
            shown);
        if (viewer && viewer->browser())
            viewer->browser()->hide();
    }
}

// The walk from the agreement to the selection page of OLDPC; false when it did not get there.
bool walkToSelection(wizard::KestroMain* w, BenchUser& user, const fs::path& network)
{
    click(w, "Btn_Accept");
    click(w, "Btn_Next");
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check3")->click();
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check4")->click();
    control<QRadioButton>(w, "Frm_PreparatoryTask", "Opt98")->click();
    click(w, "Btn_Next");
    click(w, "Btn_Next");
    if (activeForm(w) != "Frm_ConnectionType")
        return false;
    control<QRadioButton>(w, "Frm_ConnectionType", "optNWLan")->click();
    if (!control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->isChecked())
        control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->click();
    control<QLineEdit>(w, "Frm_ConnectionType", "txt_Source_Name")->setText(demo::kSourcePc98);
    user.before = [network] {
        platform::StartOptions options;
        options.machineFolder = network / demo::kSourcePc98;
        std::uint32_t code = 1;
        platform::runProcess("winbatch C:\\KestroBatch\\Temp.bat", options, &code);
    };
    click(w, "Btn_Next");
    return activeForm(w) == "Frm_ApplicationSettings";
}

int run(wizard::KestroMain* w, BenchUser& user, const fs::path& network, const std::string& name, bool opened)
{
    if (!walkToSelection(w, user, network)) {
        std::fprintf(stderr, "the walk did not reach the selection page (%s)\n", activeForm(w).c_str());
        return 1;
    }
    auto* tree = control<wizard::SelectionTreeWidget>(w, "Frm_ApplicationSettings", "Trv_Source_Information");
    auto* listings = control<wizard::SourceListingDriver>(w, "Frm_ApplicationSettings", "sourceListings");
    const std::vector<QString> drive{"My Computer", "Files and Folders", "C:"};
    std::vector<QString> folder = drive;
    folder.push_back(QString::fromStdString(name));
    const auto listed = [listings] { return !listings->busy(); };
    measureHelpKey(tree);
    itemAt(tree, drive)->setExpanded(true);
    while (!listed())
        QApplication::processEvents();
    QTreeWidgetItem* item = itemAt(tree, folder);
    if (!item) {
        std::fprintf(stderr, "no folder %s on OLDPC's C:\n", name.c_str());
        return 1;
    }
    if (opened)
        measured(
            "open", [item, &listed] { openAll(item, listed); }, listed);
    // Ticked, cleared and ticked again, as a user who changes their mind.
    const auto mark = [tree, item](Qt::CheckState state) {
        return [tree, item, state] {
            item->setCheckState(0, state);
            emit tree->itemClicked(item, 0);
        };
    };
    measured("tick", mark(Qt::Checked), listed);
    measured("untick", mark(Qt::Unchecked), listed);
    measured("retick", mark(Qt::Checked), listed);
    const auto shown = [w](const char* form) { return [w, form] { return activeForm(w) == form; }; };
    measured(
        "next_to_drives", [w] { click(w, "Btn_Next"); }, shown("frm_Drive_Info"));
    measured(
        "next_to_space", [w] { click(w, "Btn_Next"); }, shown("frm_source_Space_Info"));
    // Until the report page shows every row: a large report arrives in parts.
    const auto reported = [w] {
        auto* page = dynamic_cast<wizard::frm_Migration_Status*>(pageOnScreen(w));
        return page && page->filled();
    };
    // The copy's end: the last row of the checklist marked with what became of its item.
    bench::StallMeter afterCopy;
    bool copyEnded = false;
    QElapsedTimer sinceWatched; // the event loop's last turn
    sinceWatched.start();
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        sinceWatched.restart();
        const auto& rows = wizard::selectedItemsList().rows();
        using Mark = wizard::SelectedItemsList::Mark;
        if (!copyEnded && !rows.empty() && rows.back().mark != Mark::None &&
            rows.back().mark != Mark::Migrating) {
            copyEnded = true;
            afterCopy.start();
        }
    });
    long long toBox = -1;
    user.atBox = [&] {
        if (toBox < 0)
            // Without a turn of the event loop since the copy's end, the time since the last
            // turn is the stall (it began before the end).
            toBox = copyEnded ? afterCopy.maxStall() : sinceWatched.elapsed();
    };
    watch.start();
    const double seconds = measured(
        "migrate", [w] { click(w, "Btn_Migrate"); }, reported);
    watch.stop();
    user.atBox = {};
    std::printf("stall_copy_end_to_box_ms: %lld (0 s)\n", toBox);
    std::printf("last message: %s\n", user.last.c_str());
    std::printf("kestro_seconds: %.4f\n", seconds);
    return 0;
}

// Copies of the first PRESENT files (by name; default 6,400) of `from` at `to`, with their dates.
void placeCopies(const fs::path& from, const fs::path& to)
{
    const char* present = std::getenv("PRESENT");
    const std::size_t count = present && *present ? std::strtoul(present, nullptr, 10) : 6400;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(from))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    fs::create_directories(to);
    for (std::size_t i = 0; i < count && i < files.size(); ++i) {
        fs::copy_file(files[i], to / files[i].filename());
        fs::last_write_time(to / files[i].filename(), fs::last_write_time(files[i]));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 4 ? argv[3] : "";
    if (mode != "opened" && mode != "ticked" && mode != "partly") {
        std::fprintf(stderr, "usage: selection_walk_bench WORK TREE opened|ticked|partly\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const fs::path work = argv[1];
    const fs::path tree = fs::absolute(argv[2]);
    const std::string name = tree.filename().string();
    const fs::path network = work / "net";
    std::error_code ec;
    fs::remove_all(network, ec);
    demo::DemoOptions options;
    options.dataFolders = {KESTRO_SOURCE_DATA, KESTRO_BUILT_DATA};
    std::string error;
    if (!demo::buildDemoNetwork(network, options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const fs::path onSource = network / demo::kSourcePc98 / "drives" / "C" / name;
    fs::rename(tree, onSource, ec);
    if (ec) {
        std::fprintf(stderr, "cannot move %s onto OLDPC: %s\n", tree.c_str(), ec.message().c_str());
        return 1;
    }
    const std::size_t want = countFiles(onSource);
    if (mode == "partly")
        placeCopies(onSource, network / demo::kDestinationPc / "drives" / "C" / name);
    ::setenv("WINENV_MACHINE", (network / demo::kDestinationPc).c_str(), 1);
    int result = 1;
    {
        BenchUser user;
        common::Service<platform::MessageService>::Override scope{user};
        // The program's own start on the machine WINENV_MACHINE names, every page and hook wired.
        wizard::KestroOptions start;
        start.argc = argc;
        start.argv = argv;
        start.machineFaultBox = false;
        start.showSplash = [] {};
        const std::unique_ptr<wizard::RunningKestro> kestro = wizard::startKestro(std::move(start));
        if (kestro->started())
            result = run(kestro->window(), user, network, name, mode == "opened");
        if (result == 0) {
            const std::size_t got = countFiles(network / demo::kDestinationPc / "drives" / "C" / name);
            std::printf("files: %zu of %zu\n", got, want);
            result = got == want ? 0 : 1;
        }
    }
    fs::rename(onSource, tree, ec);
    fs::remove_all(network, ec);
    return result;
}
