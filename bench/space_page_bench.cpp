// space_page_bench.cpp: times the space page's activation when a folder of many files is chosen
// (default 200,000; the first argument sets another number), with two applications chosen too.
// The selection page's trees hold the chosen folder as the user leaves it (ticked, never opened);
// the activation collects the choice and fills the list and the space grid. Five activations are
// timed; printed: each, the median, and the goal (under 100 ms). Run by hand (build/bin/
// space_page_bench, with QT_QPA_PLATFORM=offscreen when there is no display), not by ctest.
#include "bench/BenchMachine.h"
#include "platform/Machine.h"
#include "platform/RunningMachine.h"
#include "platform/qt/QtServices.h"
#include "wizard/core/SelectionTrees.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/selection/SelectionTree.h"
#include "wizard/selection/TreeBuilders.h"
#include "wizard/ui/pages/MigrationPages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    const long files = argc > 1 ? std::atol(argv[1]) : 200000;
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    platform::Machine machine;
    const fs::path network = bench::makeBenchMachine("space-page-bench", machine);
    if (network.empty()) {
        std::fprintf(stderr, "cannot make the bench machine\n");
        return 1;
    }
    const fs::path data = platform::driveFolder(network / "benchpc", 'C') / "Data";
    fs::create_directories(data);
    // The program's folder, where the wizard keeps its log (an installed program has it).
    fs::create_directories(platform::driveFolder(network / "benchpc", 'C') / "Program Files" / "Kestro");
    for (long i = 0; i < files; ++i)
        std::ofstream(data / ("file" + std::to_string(i) + ".dat"), std::ios::binary) << "0123456789";
    std::printf("chosen: C:\\Data with %ld files\n", files);

    QApplication app(argc, argv);
    platform::qt::installQtServices();
    wizard::SelectionTree source;
    wizard::SelectionTree destination;
    wizard::addRootNode(source);
    wizard::FN_Make_Files_Folders_Root(source);
    wizard::FN_Make_Application_Roots(source);
    // The bench PC is its own source: its drive stands in for the source's mapped share.
    const std::string drive = "C:";
    wizard::SelectionTree::Node* category = nullptr;
    for (wizard::SelectionTree::Node* n : source.snapshot())
        if (n->text == "Files and Folders")
            category = n;
    wizard::SelectionTree::Node* driveNode = source.addNode(category, drive, "C:");
    wizard::SelectionTree::Node* folder = source.addNode(driveNode, drive + "\\Data", "Data");
    source.addPlaceholder(folder);
    source.setCheckedOf(folder, true);
    wizard::setSelectionTrees({&source, &destination, {}});
    wizard::installMachineSelectionSources();
    wizard::selectionCollections().applications.add("Word", "APP_Word");

    QWidget host;
    wizard::frm_source_Space_Info page(nullptr, &host);
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer clock;
        clock.start();
        page.activated();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        std::printf("activation %d: %.1f ms\n", round + 1, times.back());
    }
    const std::size_t rows = wizard::selectedItemsList().rows().size();
    std::sort(times.begin(), times.end());
    std::printf("rows in the list: %zu\n", rows);
    std::printf(
        "median activation: %.1f ms (goal under 100 ms: %s)\n", times[2], times[2] < 100 ? "met" : "NOT met");
    platform::RunningMachine::close();
    fs::remove_all(network);
    return rows == 1 ? 0 : 1;
}
