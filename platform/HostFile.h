// HostFile.h (internal to platform/): whole host files of the platform's own tools and files
// (registry exports, machine INI files, attribute side files, shortcuts, the files programs write
// through FileSystem).
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

// Replaces `file` with `bytes` (common::hostcalls::replaceWholeAt: a fresh name beside it, made
// with O_EXCL and never through a host link, written, flushed to the disk, renamed over it): the
// file is the old one or the new one, never a part. AccessDenied ("cannot create ...") when the file
// cannot be made there, WriteFault ("cannot write ...") when the bytes do not all reach the disk;
// the message names the file, and a fresh file left behind (its removal failed as well), which the
// run record keeps for the next start to remove (RunRecord::noteLeftBehind).
WinError replaceHostFile(
    const std::filesystem::path& file, std::string_view bytes, std::string* message = nullptr);
// The same for `name` in the open host folder `folder`.
WinError replaceHostFileAt(
    int folder, const std::string& name, std::string_view bytes, std::string* message = nullptr);

} // namespace platform
