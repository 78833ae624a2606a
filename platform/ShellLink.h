// ShellLink.h: shortcut files (.lnk) in the binary shell-link format: reading and writing the
// target path, arguments, working folder, icon location and description.
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct ShellLinkData {
    std::string targetPath; // "C:\Program Files\App\app.exe" or "\\PC\share\x"
    std::string arguments;
    std::string workingDirectory;
    std::string iconLocation;
    int iconIndex = 0;
    std::string description;
    std::string relativePath;      // as stored; written only when not empty
    std::uint32_t showCommand = 1; // SW_SHOWNORMAL; 3 maximised, 7 minimised
};

// The bytes of a shortcut file for `link`: header, link information (local base path or network
// share and suffix, in Windows-1252) and Unicode string data.
std::string encodeShellLink(const ShellLinkData& link);

// Reads a shortcut file. The target comes from the link information (local or network form,
// Unicode fields preferred); without one, from the item list (drive and 8.3 names). Strings are
// read in Unicode or in Windows-1252 as the file says. False (and `out` unchanged) for bytes that
// are not a shortcut or are cut short.
bool decodeShellLink(std::string_view bytes, ShellLinkData& out);

// The scripting host's shortcut object: CreateShortcut(path) loads an existing shortcut (a new
// one starts empty), the fields are read and set, Save writes the file.
class ShellLink {
public:
    // FileNotFound-free like the scripting host: a missing file gives an empty shortcut and None.
    // BadFileName (52) when the file exists but is not a shortcut; other read errors as FileSystem.
    FsError load(const FileSystem& fileSystem, std::string_view path);
    // Writes the shortcut to the path it was loaded from (or `path` when given).
    FsError save(FileSystem& fileSystem, std::string_view path = {}) const;

    ShellLinkData& data() { return m_data; }
    const ShellLinkData& data() const { return m_data; }

private:
    std::string m_path;
    ShellLinkData m_data;
};

} // namespace platform
