// regfile_fuzz.cpp: merges arbitrary bytes as a registry file, then checks that what the registry
// holds exports stably: export, merge that export, export again gives the same bytes. First the
// bytes are merged confined to one key: whatever the file says, nothing outside that key changes
// (keys added or deleted), and a refused file changes nothing at all. A check of the bytes must pass
// over the lines the merge into the emptied registry passed over.
#include "platform/RegFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

platform::Registry& registry()
{
    static platform::Registry reg;
    static bool opened = false;
    if (!opened) {
        const auto file =
            std::filesystem::temp_directory_path() / ("regfile_fuzz_" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(file);
        if (reg.open(file) != platform::WinError::Success)
            std::abort();
        opened = true;
    }
    return reg;
}

void clear(platform::Registry& reg)
{
    for (const platform::RegRoot root : {platform::RegRoot::LocalMachine, platform::RegRoot::CurrentUser,
             platform::RegRoot::Users, platform::RegRoot::CurrentConfig}) {
        std::vector<platform::RegSubKey> subs;
        reg.listSubKeys(root, subs);
        for (const platform::RegSubKey& s : subs)
            reg.deleteTree(root, s.name);
    }
}

std::string exportAll(platform::Registry& reg, platform::RegFileFormat format)
{
    std::string bytes;
    if (platform::exportRegText(reg, "", format, bytes) != platform::WinError::Success)
        std::abort();
    return bytes;
}

constexpr const char* kConfinedKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER";

void checkConfinement(platform::Registry& reg, std::string_view bytes)
{
    clear(reg);
    platform::RegKey sentinel;
    if (reg.createKey(platform::RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT", sentinel) !=
            platform::WinError::Success ||
        reg.setString(sentinel, "Kept", "yes") != platform::WinError::Success ||
        reg.createKey(platform::RegRoot::CurrentUser, "Software\\Kept", sentinel) !=
            platform::WinError::Success)
        std::abort();
    const std::string before = exportAll(reg, platform::RegFileFormat::Regedit4);
    platform::RegFileMergeOptions confined;
    confined.confineTo = {kConfinedKey};
    platform::RegFileMergeReport report;
    const platform::WinError e = platform::mergeRegText(reg, bytes, report, confined);
    if (e == platform::WinError::AccessDenied && report.refusedLine == 0)
        std::abort();
    if (e != platform::WinError::Success && exportAll(reg, platform::RegFileFormat::Regedit4) != before)
        std::abort();
    // The file may make the keys on the way to the confined key; the sentinels were there before.
    reg.deleteTree(platform::RegRoot::LocalMachine, "SOFTWARE\\QZ");
    if (exportAll(reg, platform::RegFileFormat::Regedit4) != before)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::Registry& reg = registry();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkConfinement(reg, bytes);
    clear(reg);
    platform::RegFileMergeReport report;
    const platform::WinError merged = platform::mergeRegText(reg, bytes, report);
    // A check passes over the same lines as a merge into an empty registry.
    platform::RegFileMergeReport checked;
    const platform::WinError check = platform::checkRegText(bytes, checked);
    if ((merged == platform::WinError::Success) != (check == platform::WinError::Success))
        std::abort();
    if (merged != platform::WinError::Success)
        return 0;
    if (checked.warnings.size() != report.warnings.size())
        std::abort();
    for (std::size_t i = 0; i < report.warnings.size(); ++i)
        if (checked.warnings[i].line != report.warnings[i].line)
            std::abort();
    for (const platform::RegFileFormat format :
        {platform::RegFileFormat::Regedit4, platform::RegFileFormat::Version5}) {
        // One cycle may complete strings without their terminator; after it the text is stable.
        const std::string first = exportAll(reg, format);
        if (platform::mergeRegText(reg, first, report) != platform::WinError::Success ||
            !report.warnings.empty())
            std::abort();
        const std::string second = exportAll(reg, format);
        if (platform::mergeRegText(reg, second, report) != platform::WinError::Success)
            std::abort();
        if (exportAll(reg, format) != second)
            std::abort();
    }
    return 0;
}
