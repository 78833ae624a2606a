// RandomFile.cpp: reads and writes at an offset of a file of the emulated machine.
#include "platform/RandomFile.h"

#include "common/HostCalls.h"

#include <filesystem>
#include <fstream>

#include <fcntl.h>

namespace fs = std::filesystem;
namespace host = common::hostcalls;

namespace platform {

FsError readFileAt(const FileSystem& files, std::string_view path, std::uint64_t offset, std::size_t size,
    std::string& bytes)
{
    const ResolvedPath r = files.resolver().resolve(path);
    if (!r.ok())
        return FileSystem::fromWinError(r.error);
    std::error_code ec;
    if (!r.exists)
        return FsError::FileNotFound;
    if (fs::is_directory(r.host, ec))
        return FsError::PathFileAccess;
    if (files.isInUse(path))
        return FsError::PermissionDenied;
    std::ifstream in(r.host, std::ios::binary);
    if (!in)
        return FsError::PermissionDenied;
    std::string buffer(size, '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    if (in)
        in.read(buffer.data(), static_cast<std::streamsize>(size));
    buffer.resize(in.gcount() > 0 ? static_cast<std::size_t>(in.gcount()) : 0);
    bytes = std::move(buffer);
    return FsError::None;
}

FsError writeFileAt(FileSystem& files, std::string_view path, std::uint64_t offset, std::string_view bytes)
{
    ResolvedPath r;
    if (const FsError err = files.checkWritable(path, r); err != FsError::None)
        return err;
    // Written in place, as the platform writes a file opened for random access.
    const int fd = host::open(r.host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return FsError::PermissionDenied;
    bool written = true;
    for (auto at = static_cast<off_t>(offset); written && !bytes.empty();) {
        const ssize_t n = host::writeAt(fd, bytes.data(), bytes.size(), at);
        written = n > 0;
        if (written) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            at += n;
        }
    }
    return host::close(fd) == 0 && written ? FsError::None : FsError::PathFileAccess;
}

} // namespace platform
