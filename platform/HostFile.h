// HostFile.h (internal to platform/): whole host files of the platform's own tools and files
// (registry exports, machine INI files, attribute side files, shortcuts); program code reads and
// writes through FileSystem.
#pragma once

#include "platform/WinError.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The most bytes a metadata file of a machine folder may hold (machine.ini, an attribute side
// file, a shortcut, the events log).
inline constexpr std::size_t kMaxMetadataBytes = 16u << 20;

// Writes all of `bytes` to the open host file; false (errno set, ENOSPC when the file took nothing
// more) on a failed write.
bool writeAllToHost(int fd, std::string_view bytes);

// Creates or empties `file` and writes `bytes`. AccessDenied ("cannot create ...") when it cannot
// be opened, WriteFault ("cannot write ...") when the bytes do not all reach it; the message names
// the file.
WinError writeWholeHostFile(const std::filesystem::path& file, std::string_view bytes, std::string* message);

// Reads a metadata file of a machine folder: opened without following a host link and without
// waiting (a pipe never holds the caller), only a regular file, at most maxBytes (read no further,
// however the file grows). FileNotFound when there is none, AccessDenied for a link or anything
// but a regular file (or no right to read it), InvalidData when it is larger than maxBytes,
// ReadFault on a read error, also one that kept it from being opened; the message names the file.
WinError readHostMetadata(const std::filesystem::path& file, std::string& bytes,
    std::size_t maxBytes = kMaxMetadataBytes, std::string* message = nullptr);

// The same for `name` in the open host folder `folder` (or a path with AT_FDCWD).
WinError readHostMetadataAt(int folder, const char* name, std::string& bytes,
    std::size_t maxBytes = kMaxMetadataBytes, std::string* message = nullptr);

// Replaces `file` with `bytes` through a fresh temporary name in its folder, made with O_EXCL and
// never through a host link (whatever a link planted at a temporary name points at stays as it is),
// then renamed over it. Errors as writeWholeHostFile.
WinError replaceHostFile(
    const std::filesystem::path& file, std::string_view bytes, std::string* message = nullptr);
// The same for `name` in the open host folder `folder`.
WinError replaceHostFileAt(
    int folder, const std::string& name, std::string_view bytes, std::string* message = nullptr);

} // namespace platform
