// migration_copy_bench.cpp: times the wizard's copy of one chosen folder tree from a source PC's
// mapped drive. Usage: migration_copy_bench NETWORK. NETWORK holds the tree to copy in
// oldpc/drives/C/Data (made by bench/migration-copy-bench.sh); the program writes the two machines
// around it (NEWPC running, OLDPC sharing C$ and mapped to Z:), copies Z:\Data to C:\Data of NEWPC
// as the files-and-folders migration does, checks that every file arrived and prints
// "kestro_seconds: S".
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/rules/FilesFoldersMigration.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: migration_copy_bench NETWORK\n";
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

    int failed = 0;
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
    const auto start = std::chrono::steady_clock::now();
    while (run.step()) {}
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::size_t want = countFiles(source);
    const std::size_t got = countFiles(newPc / "drives" / "C" / "Data");
    if (failed || want != got) {
        std::cerr << "copied " << got << " of " << want << " files\n";
        return 1;
    }
    std::cout << "files: " << got << "\n";
    std::cout << "kestro_seconds: " << seconds << "\n";
    platform::RunningMachine::close();
    return 0;
}
