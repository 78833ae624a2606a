// FolderFilesCopy.cpp: the one-pass copy of a folder's files (whole-drive copies).
#include "platform/FolderFilesCopy.h"

#include "platform/CodePage.h"
#include "platform/FileSystemHost.h"

#include <cerrno>
#include <map>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
using hostfs::FolderAttributes;

std::string upperName(std::string name)
{
    for (char& ch : name)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    return name;
}

// The destination's entries by upper-cased name: their stored spelling and whether each is a folder.
std::map<std::string, std::pair<std::string, bool>> destinationEntries(const fs::path& folder)
{
    std::map<std::string, std::pair<std::string, bool>> entries;
    for (const FolderEntry& e : PathResolver::listHost(folder))
        entries.emplace(upperName(e.name), std::make_pair(e.name, e.isFolder));
    return entries;
}

// Copies the open source into a new file; DiskFull when the destination took no more.
FsError copyOpen(int in, const struct stat& st, const fs::path& to)
{
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0)
        return FsError::PermissionDenied;
    FsError result = FsError::None;
    bool kernelCopy = true;
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = kernelCopy ? ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0) : -1;
        if (kernelCopy && n < 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            kernelCopy = false;
            continue;
        }
        if (!kernelCopy) {
            n = ::read(in, buffer, sizeof buffer);
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0) {
                    n = -1;
                    break;
                }
                done += w;
            }
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0)
                result = (errno == ENOSPC || errno == EFBIG || errno == EDQUOT) ? FsError::DiskFull
                                                                                : FsError::PermissionDenied;
            break;
        }
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (result == FsError::None && ::futimens(out, times) != 0)
        result = FsError::PermissionDenied;
    if (::close(out) != 0 && result == FsError::None)
        result = FsError::PermissionDenied;
    return result;
}

// Copies one host file to `to` through a partial name; the source is opened once, and a lock held
// on it (the file is in use) refuses the copy.
FsError copyOne(const fs::path& from, const fs::path& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno == ENOENT ? FsError::PathNotFound : FsError::PermissionDenied;
    struct stat st {};
    FsError result = FsError::PermissionDenied;
    if (::flock(in, LOCK_SH | LOCK_NB) == 0 && ::fstat(in, &st) == 0) {
        const fs::path partial = to.parent_path() / (":partial." + std::to_string(::getpid()));
        result = copyOpen(in, st, partial);
        std::error_code ec;
        if (result == FsError::None) {
            fs::rename(partial, to, ec);
            if (ec)
                result = FsError::PermissionDenied;
        }
        if (result != FsError::None)
            fs::remove(partial, ec);
    }
    ::close(in);
    return result;
}

} // namespace

FsError copyFolderFiles(const FileSystem& fileSystem, std::string_view source, std::string_view destination,
    bool overwrite, const std::function<bool(const std::string&)>& leaveOut, FolderFilesReport& report)
{
    const ResolvedPath from = fileSystem.resolver().resolve(source);
    const ResolvedPath to = fileSystem.resolver().resolve(destination);
    std::error_code ec;
    if (!from.ok() || !to.ok() || !fs::is_directory(from.host, ec) || !fs::is_directory(to.host, ec))
        return FsError::PathNotFound;
    const FolderAttributes sourceAttributes(from.host);
    const FolderAttributes targetAttributes(to.host);
    auto existing = destinationEntries(to.host);
    fs::directory_iterator it(from.host, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (name.find(':') != std::string::npos || it->is_symlink(typeEc))
            continue;
        if (it->is_directory(typeEc)) {
            report.folders.push_back(std::move(name));
            continue;
        }
        if (leaveOut && leaveOut(name))
            continue;
        fs::path target = to.host / name;
        const auto found = existing.find(upperName(name));
        if (found != existing.end()) {
            target = to.host / found->second.first;
            if (!overwrite) {
                ++report.kept;
                continue;
            }
            if (found->second.second || (targetAttributes.of(found->second.first, false) & attr::ReadOnly) ||
                hostfs::hostInUse(target)) {
                ++report.failed;
                continue;
            }
        }
        const FsError copied = copyOne(it->path(), target);
        if (copied == FsError::DiskFull)
            return copied;
        if (copied != FsError::None) {
            ++report.failed;
            continue;
        }
        ++report.copied;
        const unsigned bits = sourceAttributes.of(name, false) | attr::Archive;
        if (bits != attr::Archive || found != existing.end())
            hostfs::storeAttributes(target, bits);
    }
    // A listing cut short means the source went away under the copy.
    if (ec || !fs::is_directory(from.host, ec))
        return FsError::PathNotFound;
    return FsError::None;
}

} // namespace platform
