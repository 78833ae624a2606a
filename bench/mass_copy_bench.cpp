// mass_copy_bench.cpp: times the mass migration's tree copy of a source drive holding a given
// number of entries (through the mapped share, as the wizard copies it) against `cp -a` of the
// same host tree on the same machine. Prints both times and, last, "ratio: X" (tree copy / cp -a).
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/TransferGlobals.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path addMachine(const fs::path& network, const std::string& name, const std::string& os)
{
    platform::MachineConfig c;
    platform::applyOsDefaults(os, c);
    c.computerName = name;
    c.address = name == "NEWPC" ? "192.168.0.2" : "192.168.0.3";
    c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
    c.shares.push_back({"C$", "C:\\"});
    std::string error;
    const fs::path folder = network / name;
    platform::saveMachineConfig(folder, c, error);
    fs::create_directories(platform::driveFolder(folder, 'C'));
    return folder;
}

// `entries` entries: folders of 99 files each (100 bytes), plus the folders themselves.
void makeTree(const fs::path& root, std::size_t entries)
{
    const std::string data(100, 'x');
    std::size_t made = 0;
    for (std::size_t f = 0; made < entries; ++f) {
        const fs::path folder = root / ("folder" + std::to_string(f / 20)) / ("sub" + std::to_string(f));
        fs::create_directories(folder);
        made += f % 20 == 0 ? 2 : 1;
        for (int i = 0; i < 99 && made < entries; ++i, ++made)
            std::ofstream(folder / ("file" + std::to_string(i) + ".dat"), std::ios::binary) << data;
    }
}

std::size_t countEntries(const fs::path& root)
{
    return static_cast<std::size_t>(std::distance(fs::recursive_directory_iterator(root), {}));
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main(int argc, char** argv)
{
    const std::size_t entries = argc > 1 ? std::stoul(argv[1]) : 200000;
    const fs::path network = fs::temp_directory_path() / ("mass-copy-bench-" + std::to_string(::getpid()));
    const fs::path newPc = addMachine(network, "newpc", "winxp");
    const fs::path oldPc = addMachine(network, "oldpc", "win98");
    const fs::path source = platform::driveFolder(oldPc, 'C') / "data";
    makeTree(source, entries);
    std::printf("tree: %zu entries\n", countEntries(source));

    platform::RunningMachine::use(newPc);
    wizard::setTransferHooks({[](const std::string&, const std::string&) {}, {}});
    platform::Registry& registry = platform::RunningMachine::current()->registry();
    platform::RegKey mapping;
    registry.createKey(platform::RegKey(platform::RegRoot::CurrentUser), "Network\\Z", mapping);
    registry.setString(mapping, "RemotePath", "\\\\OLDPC\\C$");
    wizard::mass::massState() = {"\\\\OLDPC", "C:\\WINDOWS", "C:\\WINDOWS", "W98", "XP", "", ""};

    // Rounds alternate which copy runs first, and the best of each counts, so that a busy moment
    // of a shared machine does not decide the ratio.
    double best = 1e9, bestCp = 1e9;
    for (int round = 0; round < 4; ++round) {
        const std::string name = "copy" + std::to_string(round);
        const auto runCp = [&] {
            const auto start = std::chrono::steady_clock::now();
            const std::string command = "cp -a '" + source.string() + "' '" + (network / name).string() + "'";
            if (std::system(command.c_str()) != 0)
                std::exit(1);
            bestCp = std::min(bestCp, seconds(start));
        };
        wizard::mass::TreeCopyReport report;
        const auto runTree = [&] {
            const auto start = std::chrono::steady_clock::now();
            wizard::mass::FN_Copy_Folder_Tree("Z:\\data", "C:\\" + name, true, false, &report);
            best = std::min(best, seconds(start));
        };
        if (round % 2 == 0) {
            runCp();
            runTree();
        } else {
            runTree();
            runCp();
        }
        const std::size_t copied = countEntries(platform::driveFolder(newPc, 'C') / name);
        std::printf(
            "round %d: best cp -a %.3f s, best tree copy %.3f s (%zu files copied, %zu entries at the "
            "destination)\n",
            round, bestCp, best, report.copied, copied);
        if (copied != countEntries(source))
            return 1;
        fs::remove_all(network / name);
        fs::remove_all(platform::driveFolder(newPc, 'C') / name);
    }
    platform::RunningMachine::close();
    fs::remove_all(network);
    std::printf("ratio: %.2f\n", best / bestCp);
    return 0;
}
