// mass_rewrite_bench.cpp: times the mass migration's rewrite of a 50 MB registry export, in
// memory and as the file step does it on a scratch machine (read, rewrite, write back).
#include "platform/Machine.h"
#include "platform/MachineConfig.h"
#include "platform/RunningMachine.h"
#include "wizard/transfer/MassRegistry.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/TransferGlobals.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string makeExport(std::size_t bytes)
{
    std::string text = "REGEDIT4\r\n\r\n";
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Product" +
            std::to_string(i) + "]\r\n";
        text += "\"Path\"=\"C:\\\\WINDOWS\\\\SYSTEM\\\\lib" + std::to_string(i) + ".dll\"\r\n";
        text += "\"Ini\"=\"C:\\\\WINDOWS\\\\SYSTEM.INI\"\r\n\"Data\"=dword:00000001\r\n";
        text += "\"Other\"=\"D:\\\\Data\\\\Files\\\\Folder\\\\Document number " + std::to_string(i) +
            ".txt\"\r\n\r\n";
    }
    return text;
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main()
{
    const std::string text = makeExport(50u * 1024 * 1024);
    const wizard::mass::PathRewrite paths{"C:\\WINDOWS", "C:\\WINNT", true};

    auto start = std::chrono::steady_clock::now();
    const std::string out =
        wizard::mass::rewriteRegText(text, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\", "[", paths);
    std::printf("in memory: %zu bytes in %.3f s\n", text.size(), seconds(start));

    const fs::path folder = fs::temp_directory_path() / ("mass-rewrite-bench-" + std::to_string(::getpid()));
    platform::MachineConfig config;
    platform::applyOsDefaults("winxp", config);
    config.computerName = "BENCH";
    config.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
    std::string error;
    platform::saveMachineConfig(folder, config, error);
    fs::create_directories(platform::driveFolder(folder, 'C'));
    std::ofstream(platform::driveFolder(folder, 'C') / "export.reg", std::ios::binary) << text;
    platform::RunningMachine::use(folder);
    // The bench has no application folder to log into.
    wizard::setTransferHooks({[](const std::string&, const std::string&) {}, {}});
    wizard::mass::massState() = {"\\\\OLD", "C:\\WINDOWS", "C:\\WINNT", "W98", "XP", "", ""};

    start = std::chrono::steady_clock::now();
    const bool ok =
        wizard::mass::FN_Sys_Path_Change("C:\\export.reg", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\", "[");
    const double fileSeconds = seconds(start);
    std::printf("file step: %s in %.3f s\n", ok ? "rewritten" : "FAILED", fileSeconds);
    platform::RunningMachine::close();
    fs::remove_all(folder);
    return ok && out.size() > 0 ? 0 : 1;
}
