// HostFile.h (internal to platform/): writing a whole host file for the platform's own tools and
// files (registry exports, machine INI files); program code writes through FileSystem.
#pragma once

#include "platform/WinError.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Creates or empties `file` and writes `bytes`. AccessDenied ("cannot create ...") when it cannot
// be opened, WriteFault ("cannot write ...") when the bytes do not all reach it; the message names
// the file.
WinError writeWholeHostFile(const std::filesystem::path& file, std::string_view bytes, std::string* message);

} // namespace platform
