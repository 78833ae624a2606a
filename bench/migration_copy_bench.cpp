// migration_copy_bench.cpp: times the wizard's copy of one chosen folder tree from a source PC's
// mapped drive. Usage: migration_copy_bench NETWORK [--mass] [--stall] [--long-paths] (files past
// the selective copy's path limit may stay behind). With --mass the tree is
// copied by the mass migration's whole-drive copy (FN_Copy_Folder_Tree) instead of the selective
// files-and-folders copy. NETWORK holds the tree to copy in
// oldpc/drives/C/Data (made by bench/migration-copy-bench.sh); the program writes the two machines
// around it (NEWPC running, OLDPC sharing C$ and mapped to Z:), copies Z:\Data to C:\Data of NEWPC
// as the files-and-folders migration does, checks that every file arrived and prints
// "kestro_seconds: S" and the processor time the copy took ("kestro_cpu_seconds: C", user and
// system), which a busy machine stretches less than the wall-clock time.
// With --stall the copy runs as the Migrate step runs it in the program: the main window is up,
// the migration opens its busy window (animated bar and picture) and yields to the event loop
// between files; a timer of 10 ms measures the longest time the loop went without running it
// ("stall_longest_ms: M").
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "platform/TreeCopyWalk.h"
#include "platform/qt/QtServices.h"
#include "wizard/core/AppPath.h"
#include "wizard/rules/FilesFoldersMigration.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/ui/core/KestroMain.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

bool writeMachine(const fs::path& folder, const char* name, const char* os, const char* address)
{
    platform::MachineConfig c;
    platform::applyOsDefaults(os, c);
    c.computerName = name;
    c.address = address;
    c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
    c.shares.push_back({"C$", "C:\\"});
    std::string error;
    if (!platform::saveMachineConfig(folder, c, error)) {
        std::cerr << error << "\n";
        return false;
    }
    fs::create_directories(folder / "drives" / "C");
    return true;
}

std::size_t countFiles(const fs::path& root)
{
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(root))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

using Clock = std::chrono::steady_clock;

// The processor time this process has taken so far, in user and in system mode.
double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The whole-drive copy's tree copy of Z:\Data onto C:\Data; counts a copy that did not end well in
// `failed`.
void copyMass(int& failed)
{
    wizard::mass::TreeCopyReport report;
    if (!wizard::mass::FN_Copy_Folder_Tree("Z:\\Data", "C:\\Data", true, false, &report) || report.failed ||
        report.blocked)
        ++failed;
}

// The walk both copies share (platform::TreeCopyWalk), with no path limit: how its cost grows with
// the depth of a tree.
double copyWalk(int& failed)
{
    platform::TreeCopyWalk walk;
    const Clock::time_point start = Clock::now();
    if (walk.open(platform::RunningMachine::current()->files(), "Z:\\Data", "C:\\Data") !=
        platform::FsError::None)
        ++failed;
    for (platform::TreeStep s = walk.step(); s.kind != platform::TreeStepKind::Done; s = walk.step())
        failed += s.kind == platform::TreeStepKind::FileFailed || s.kind == platform::TreeStepKind::TooLong;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The copy stepped in a plain loop, as fast as it goes; answers its seconds and counts the items
// that did not arrive whole in `failed`.
double copyHeadless(int& failed, bool mass)
{
    if (mass) {
        const Clock::time_point start = Clock::now();
        copyMass(failed);
        return std::chrono::duration<double>(Clock::now() - start).count();
    }
    wizard::FilesFoldersMigration run({{"\\\\OLDPC\\C$\\Data", "C:\\Data"}},
        {nullptr,
            [&failed](const wizard::FilesFoldersMigration::Item&, wizard::transfer::TransferOutcome o,
                const std::string& detail) {
                if (o != wizard::transfer::TransferOutcome::Migrated) {
                    ++failed;
                    std::cerr << "not migrated: " << detail << "\n";
                }
            },
            nullptr});
    const Clock::time_point start = Clock::now();
    while (run.step()) {}
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The copy as the Migrate step makes it, inside the main window's event loop; answers the copy's
// seconds and prints the longest stall of the loop.
double copyInWindow(int argc, char** argv, bool mass, int& failed)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The program's folder, where the wizard keeps its log (an installed program has it).
    std::error_code ec;
    fs::create_directories(platform::driveFolder(platform::RunningMachine::current()->folder(), 'C') /
            "Program Files" / "Kestro",
        ec);
    QApplication app(argc, argv);
    platform::qt::installQtServices();
    wizard::KestroMain window(wizard::MainWindowActions{});
    common::Service<wizard::WizardWindows>::replace(&window);
    window.show();
    wizard::selectionCollections().filesFolders.add("C:\\Data", "\\\\OLDPC\\C$\\Data");
    wizard::selectedItemsList().addRow("\\\\OLDPC\\C$\\Data", "C:\\Data");

    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    Clock::time_point last = Clock::now();
    double longest = 0;
    long ticks = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
        ++ticks;
    });
    double seconds = 0;
    QTimer::singleShot(0, [&] {
        probe.start();
        last = Clock::now();
        const Clock::time_point start = Clock::now();
        if (mass) {
            wizard::wizardWindows().openBusyWindow();
            copyMass(failed);
            wizard::wizardWindows().closeBusyWindow();
        } else {
            wizard::Sub_Data_Explorer_Migration();
        }
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        // The gap from the last tick to the end of the copy counts too.
        longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - last).count());
        probe.stop();
        app.quit();
    });
    app.exec();
    common::Service<wizard::WizardWindows>::replace(nullptr);
    std::cout << "stall_longest_ms: " << longest << " (timer every 10 ms, " << ticks << " ticks in "
              << seconds << " s)\n";
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    bool inWindow = false;
    bool mass = false;
    bool walkOnly = false;  // the shared walk itself, without the copies' path limit
    bool longPaths = false; // files past the selective copy's path limit are expected to stay behind
    for (int i = 2; i < argc; ++i) {
        inWindow = inWindow || std::strcmp(argv[i], "--stall") == 0;
        mass = mass || std::strcmp(argv[i], "--mass") == 0;
        walkOnly = walkOnly || std::strcmp(argv[i], "--walk") == 0;
        longPaths = longPaths || std::strcmp(argv[i], "--long-paths") == 0;
    }
    if (argc < 2 || argc - 2 != int(inWindow) + int(mass) + int(longPaths) + int(walkOnly)) {
        std::cerr << "usage: migration_copy_bench NETWORK [--mass | --walk] [--stall] [--long-paths]\n";
        return 2;
    }
    const fs::path network = argv[1];
    const fs::path newPc = network / "newpc";
    const fs::path source = network / "oldpc" / "drives" / "C" / "Data";
    if (!fs::is_directory(source)) {
        std::cerr << "no tree at " << source << "\n";
        return 2;
    }
    std::error_code ec;
    fs::remove_all(newPc, ec);
    if (!writeMachine(newPc, "NEWPC", "winxp", "192.168.0.2") ||
        !writeMachine(network / "oldpc", "OLDPC", "win98", "192.168.0.3"))
        return 1;
    ::setenv("WINENV_MACHINE", newPc.c_str(), 1);
    if (platform::RunningMachine::use(newPc) != platform::WinError::Success) {
        std::cerr << "cannot open " << newPc << "\n";
        return 1;
    }
    platform::Registry& registry = platform::RunningMachine::current()->registry();
    platform::RegKey z;
    registry.createKey(platform::RegKey(platform::RegRoot::CurrentUser), "Network\\Z", z);
    registry.setString(z, "RemotePath", "\\\\OLDPC\\C$");
    wizard::transferGlobals().driveMap.set("C:", "Z:");
    wizard::setTransferHooks({[](const std::string&, const std::string&) {}, {}});

    double seconds = 0;
    int failed = 0;
    const double cpuBefore = cpuSeconds();
    wizard::mass::massState() = {"\\\\OLDPC", "C:\\WINDOWS", "C:\\WINDOWS", "W98", "XP", "", ""};
    if (inWindow) {
        seconds = copyInWindow(1, argv, mass, failed);
        const wizard::MigrationReport::Entry* entry =
            wizard::migrationReport().find(wizard::ReportGroup::FilesAndFolders, "C:\\Data");
        if (!mass && !(entry && entry->outcome == wizard::transfer::TransferOutcome::Migrated))
            failed = 1;
    } else {
        seconds = walkOnly ? copyWalk(failed) : copyHeadless(failed, mass);
    }
    const double cpuAfter = cpuSeconds();
    // Under strace the count would add its own calls to the copy's.
    if (std::getenv("BENCH_NO_CHECK")) {
        std::cout << "kestro_seconds: " << seconds << "\n";
        return 0;
    }
    const std::size_t want = countFiles(source);
    const std::size_t got = countFiles(newPc / "drives" / "C" / "Data");
    if (!longPaths && (failed || want != got)) {
        std::cerr << "copied " << got << " of " << want << " files\n";
        return 1;
    }
    std::cout << "files: " << got << " of " << want << "\n";
    std::cout << "kestro_seconds: " << seconds << "\n";
    std::cout << "kestro_cpu_seconds: " << cpuAfter - cpuBefore << "\n";
    platform::RunningMachine::close();
    return 0;
}
