// batch_fuzz.cpp: arbitrary bytes as a batch file run on a small machine. Programs are not
// started (a launcher that answers for them stands in), so only the batch runner's own commands
// act; whatever they create stays inside the machine folder.
#include "platform/BatchRunner.h"
#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/ProcessRunner.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class QuietLauncher : public platform::ProcessLauncher {
public:
    platform::WinError start(
        const std::string&, const platform::StartOptions&, platform::Process& out) override
    {
        out = platform::Process::finished(0);
        return platform::WinError::Success;
    }
};

struct Setup {
    fs::path root;
    fs::path outside;
    platform::Machine machine;
    QuietLauncher launcher;

    Setup()
    {
        root = fs::temp_directory_path() / ("batch_fuzz_" + std::to_string(::getpid()));
        fs::remove_all(root);
        outside = root / "outside";
        fs::create_directories(outside);
        platform::MachineConfig config;
        platform::applyOsDefaults("win98", config);
        config.os = "win98";
        config.computerName = "FUZZPC";
        platform::DriveEntry c;
        c.letter = 'C';
        config.drives = {c};
        if (machine.create(root / "fuzzpc", config) != platform::WinError::Success)
            std::abort();
        common::Service<platform::ProcessLauncher>::replace(&launcher);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Setup setup;
    platform::FileSystem files = setup.machine.fileSystem();
    const std::string text =
        platform::cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    platform::BatchRunner runner(setup.machine.folder(), files, out, err);
    runner.runText(text, "C:\\");
    // Nothing may have been written beside the machine.
    if (!fs::is_empty(setup.outside))
        std::abort();
    const fs::path drive = platform::driveFolder(setup.machine.folder(), 'C');
    fs::remove_all(drive);
    fs::create_directories(drive);
    return 0;
}
