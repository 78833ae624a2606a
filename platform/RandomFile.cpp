// RandomFile.cpp: reads and writes at an offset of a file of the emulated machine.
#include "platform/RandomFile.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

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
    if (!r.exists) {
        std::ofstream create(r.host, std::ios::binary);
        if (!create)
            return FsError::PermissionDenied;
    }
    std::fstream io(r.host, std::ios::binary | std::ios::in | std::ios::out);
    if (!io)
        return FsError::PermissionDenied;
    io.seekp(static_cast<std::streamoff>(offset));
    io.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    io.close();
    return io ? FsError::None : FsError::PathFileAccess;
}

} // namespace platform
