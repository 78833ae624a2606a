// RandomFile.h: random access to a file of the emulated machine: bytes read and written at an
// offset, as a program reads and writes fixed-length records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace platform {

// Reads up to `size` bytes at `offset` of the file `path` (fewer, or none, at its end).
// FileNotFound (53) no such file; PathFileAccess (75) a folder; PermissionDenied (70) in use;
// a path that does not resolve answers as FileSystem::fromWinError.
FsError readFileAt(const FileSystem& files, std::string_view path, std::uint64_t offset, std::size_t size,
    std::string& bytes);

// Writes `bytes` at `offset` of the file `path`, creating it when missing; bytes before `offset`
// that were never written read as zero. PathNotFound (76) no folder; PathFileAccess (75) a folder;
// PermissionDenied (70) read-only or in use. Nothing is written on failure.
FsError writeFileAt(FileSystem& files, std::string_view path, std::uint64_t offset, std::string_view bytes);

} // namespace platform
