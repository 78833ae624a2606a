// FileVersion.h: the version resource of PE files (executables and libraries): reading the
// fixed file version as "a.b.c.d", and writing a minimal PE file that carries one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The file version of the PE image in `bytes` ("5.1.2600.0"), read from the fixed part of its
// version resource; "" when the bytes are not a PE image or carry no version resource.
std::string peFileVersion(std::string_view bytes);

// A small, well-formed 32-bit PE image whose only section holds a version resource with the
// given file and product version. What it is for: machines and tests that need versioned files.
std::string buildVersionedPe(
    std::uint16_t major, std::uint16_t minor, std::uint16_t build, std::uint16_t revision);

} // namespace platform
