// selection_bench.cpp: times the selection page's trees on large sources, with the Qt trees
// attached as on the page: opening a source folder of 20,000 files (first entries on screen, the
// whole listing, the longest stall of the event loop) and ticking in a drive whose copy in the
// destination tree already holds 50,000 nodes. Run by hand (build/bin/selection_bench, with
// QT_QPA_PLATFORM=offscreen when there is no display), not by ctest.
#include "bench/BenchMachine.h"
#include "platform/Machine.h"
#include "platform/RunningMachine.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/selection/TreeBuilders.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"
#include "wizard/ui/selection/SourceListingDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using wizard::SelectionTree;

namespace {

double msSince(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

void verdict(const char* what, double ms, double goalMs)
{
    std::printf(
        "%-58s %8.1f ms (goal under %.0f ms: %s)\n", what, ms, goalMs, ms < goalMs ? "met" : "NOT met");
}

// Watches the event loop: the longest time between two turns of a zero-interval timer.
class StallWatch {
public:
    StallWatch()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, msSince(m_clock));
            m_clock.restart();
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest = 0;
};

void makeFiles(const fs::path& folder, int count)
{
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        std::ofstream(folder / ("Document " + std::to_string(100000 + i) + (i % 3 ? ".txt" : ".doc"))) << "x";
}

// Opens C:\Big (20,000 files) in the source tree and runs the event loop until it is listed.
void benchListing(wizard::SelectionPageLogic& logic, wizard::SelectionTreeWidget& view)
{
    SelectionTree::Node* big = logic.source().find("C:\\Big");
    wizard::SourceListingDriver driver(logic);
    StallWatch stalls;
    QElapsedTimer clock;
    double firstMs = -1;
    QObject::connect(&view, &QTreeWidget::itemChanged, [] {});
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (firstMs < 0 && big->children.size() > 1) {
            firstMs = msSince(clock);
            view.viewport()->repaint();
        }
    });
    stalls.start();
    probe.start();
    clock.start();
    view.itemOf(big)->setExpanded(true); // the user opens the folder
    driver.open(big);
    while (driver.busy())
        QApplication::processEvents();
    const double wholeMs = msSince(clock);
    probe.stop();
    const double stall = stalls.stop();
    if (firstMs < 0)
        firstMs = wholeMs;
    std::printf("listed %zu entries\n", big->children.size());
    {
        std::vector<platform::FileEntry> folders, files;
        QElapsedTimer read;
        read.start();
        platform::RunningMachine::current()->files().listFolder("C:\\Big", folders, files);
        std::printf("reading the folder alone: %.1f ms\n", msSince(read));
    }
    verdict("20,000 files: first entries in the tree", firstMs, 100);
    verdict("20,000 files: whole listing", wholeMs, 1000);
    verdict("20,000 files: longest stall of the event loop", stall, 100);
}

// Ticks a folder of a drive whose copy holds 50,000 nodes, then clears it again.
void benchTicking(wizard::SelectionPageLogic& logic)
{
    SelectionTree& source = logic.source();
    SelectionTree& destination = logic.destination();
    // 50 folders of 1,000 files each, listed and ticked: their copies fill the destination tree.
    SelectionTree::Node* wide = source.find("C:\\Wide");
    logic.sourceExpanded(wide);
    for (SelectionTree::Node* folder : std::vector<SelectionTree::Node*>(wide->children))
        logic.sourceExpanded(folder);
    QElapsedTimer clock;
    clock.start();
    source.setCheckedOf(wide, true);
    logic.events().nodeChecked(wide);
    logic.events().clicked();
    QApplication::processEvents();
    std::printf("destination tree: %d nodes\n", destination.count());
    verdict("tick a listed folder that copies 50,000 nodes", msSince(clock), 1000);

    SelectionTree::Node* file = source.find("C:\\Big\\Document 100007.txt");
    clock.restart();
    source.setCheckedOf(file, true);
    logic.events().nodeChecked(file);
    logic.events().clicked();
    QApplication::processEvents();
    verdict("tick a file beside 50,000 chosen nodes", msSince(clock), 1000);

    SelectionTree::Node* folder = wide->children.front();
    clock.restart();
    source.setCheckedOf(folder, false);
    logic.events().nodeChecked(folder);
    logic.events().clicked();
    QApplication::processEvents();
    verdict("clear a folder of 1,000 of them", msSince(clock), 1000);

    clock.restart();
    source.setCheckedOf(folder, true);
    logic.events().nodeChecked(folder);
    logic.events().clicked();
    QApplication::processEvents();
    verdict("tick it again", msSince(clock), 1000);

    // Next on the page: the collectors take the 50,000 ticked files and the space page's list.
    clock.restart();
    wizard::SelectionCollector::Context context;
    context.source = &source;
    context.destination = &destination;
    context.list = &wizard::selectedItemsList();
    context.sourceOs = "winxp";
    context.folderExists = [](const std::string&) { return false; };
    context.fileExists = [](const std::string&) { return true; };
    context.setVariable = [](const std::string&, const std::string&) {};
    context.log = [](const std::string&, const std::string&) {};
    wizard::SelectionCollections collections;
    wizard::SelectionCollector(context, collections).Sub_Collect_Selected_Info();
    std::printf("collected %d files and folders\n", collections.filesFolders.count());
    verdict("collect 50,000 ticked files", msSince(clock), 1000);

    clock.restart();
    source.setCheckedOf(wide, false);
    logic.events().nodeChecked(wide);
    logic.events().clicked();
    QApplication::processEvents();
    verdict("clear the whole 50,000", msSince(clock), 1000);
    std::printf("destination tree: %d nodes\n", destination.count());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::Machine machine;
    const fs::path net = bench::makeBenchMachine("selection-bench", machine);
    if (net.empty())
        return 1;
    const fs::path drive = machine.driveFolder('C');
    makeFiles(drive / "Big", 20000);
    for (int i = 0; i < 50; ++i)
        makeFiles(drive / "Wide" / ("Folder " + std::to_string(i)), 1000);

    const platform::FileSystem& files = platform::RunningMachine::current()->files();
    wizard::SelectionPageLogic logic(wizard::SelectionSources{&files, {}, ""});
    for (SelectionTree* tree : {&logic.source(), &logic.destination()}) {
        wizard::addRootNode(*tree);
        wizard::FN_Make_Files_Folders_Root(*tree);
    }
    // The machine's own C: drive stands in for a source share.
    SelectionTree::Node* c =
        logic.source().addUnder("Files and Folders", "C:", "C:", wizard::treeimage::kDrive);
    logic.source().addPlaceholder(c);
    wizard::SelectionTreeWidget sourceView(logic.source(), true, nullptr);
    wizard::SelectionTreeWidget destinationView(logic.destination(), false, nullptr);
    sourceView.resize(400, 600);
    destinationView.resize(400, 600);
    static_cast<QWidget&>(sourceView).show();
    static_cast<QWidget&>(destinationView).show();
    logic.sourceExpanded(c);
    QApplication::processEvents();

    benchListing(logic, sourceView);
    benchTicking(logic);

    platform::RunningMachine::close();
    std::error_code ec;
    fs::remove_all(net, ec);
    return 0;
}
