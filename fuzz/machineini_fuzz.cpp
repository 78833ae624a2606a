// machineini_fuzz.cpp: arbitrary bytes as machine.ini and as any INI file of a machine. What
// parses must format and parse back to the same configuration text; an INI file read and
// written must read back to the same sections and values.
#include "platform/IniFile.h"
#include "platform/MachineConfig.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    platform::MachineConfig config;
    std::string error;
    if (platform::parseMachineIni(text, "machine.ini", "FUZZPC", config, error)) {
        const std::string formatted = platform::formatMachineIni(config);
        platform::MachineConfig again;
        if (!platform::parseMachineIni(formatted, "machine.ini", "FUZZPC", again, error))
            std::abort();
        if (platform::formatMachineIni(again) != formatted)
            std::abort();
    } else if (error.empty()) {
        std::abort(); // a refusal always says why
    }

    platform::IniFile ini;
    ini.parse(text);
    for (const auto& section : ini.sections()) {
        if (ini.section(section.name) != &section)
            continue; // a repeated section: lookups find the first one
        for (const auto& entry : section.entries) {
            const auto value = ini.value(section.name, entry.key);
            if (!value)
                std::abort(); // every key listed can be looked up
        }
    }
    return 0;
}
