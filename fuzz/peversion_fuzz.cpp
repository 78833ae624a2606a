// peversion_fuzz.cpp: arbitrary bytes as a PE image whose version resource is read. A version
// that is found has four numeric parts; a well-formed image always gives its own version back.
#include "platform/FileVersion.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string version =
        platform::peFileVersion(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!version.empty()) {
        int dots = 0;
        for (char c : version) {
            if (c == '.')
                ++dots;
            else if (c < '0' || c > '9')
                std::abort();
        }
        if (dots != 3)
            std::abort();
    }
    if (size >= 8) {
        std::uint16_t parts[4];
        for (int i = 0; i < 4; ++i)
            parts[i] = static_cast<std::uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        const std::string image = platform::buildVersionedPe(parts[0], parts[1], parts[2], parts[3]);
        const std::string expected = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
            std::to_string(parts[2]) + "." + std::to_string(parts[3]);
        if (platform::peFileVersion(image) != expected)
            std::abort();
    }
    return 0;
}
