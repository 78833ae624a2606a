// HostFile.cpp: one whole host file written.
#include "platform/HostFile.h"

#include <fstream>

namespace platform {

WinError writeWholeHostFile(const std::filesystem::path& file, std::string_view bytes, std::string* message)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        if (message)
            *message = "cannot create " + file.string();
        return WinError::AccessDenied;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        if (message)
            *message = "cannot write " + file.string();
        return WinError::WriteFault;
    }
    return WinError::Success;
}

} // namespace platform
