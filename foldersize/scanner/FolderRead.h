// FolderRead.h: the pieces both folder scans share: how folders are opened, which file systems are
// passed over, and the (device, inode) identity used to meet folders and hard links only once.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include <fcntl.h>
#include <sys/types.h>

namespace foldersize {

// Flags of every folder opened for reading.
inline constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Size of the buffer one getdents64 call fills.
inline constexpr std::size_t kFolderBufferSize = 64 * 1024;

inline bool isDotOrDotDot(const char* n)
{
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

// True when the open folder lies on proc, sysfs, cgroup and the other kernel file systems that
// measure as nothing (or as endless pseudo files) and are left out of every scan.
bool isPseudoFileSystem(int fd);

using FileId = std::pair<dev_t, ino_t>;

struct FileIdHash {
    std::size_t operator()(const FileId& id) const
    {
        return std::hash<std::uint64_t>()(
            static_cast<std::uint64_t>(id.second) * 1000003u ^ static_cast<std::uint64_t>(id.first));
    }
};

} // namespace foldersize
