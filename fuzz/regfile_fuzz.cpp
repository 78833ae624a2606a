// regfile_fuzz.cpp: merges arbitrary bytes as a registry file, then checks that what the registry
// holds exports stably: export, merge that export, export again gives the same bytes.
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::Registry& reg = registry();
    clear(reg);
    platform::RegFileMergeReport report;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (platform::mergeRegText(reg, bytes, report) != platform::WinError::Success)
        return 0;
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
