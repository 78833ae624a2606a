// FolderFilesCopy.cpp: the one-pass copy of a folder's files (whole-drive copies) and the copy of
// single files between two folders opened once.
#include "platform/FolderFilesCopy.h"

#include "platform/CodePage.h"
#include "platform/FileSystemHost.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
using hostfs::FolderAttributes;

// The destination's entries by folded name: their stored spelling and whether each is a folder.
std::map<std::string, std::pair<std::string, bool>> destinationEntries(const fs::path& folder)
{
    std::map<std::string, std::pair<std::string, bool>> entries;
    for (const FolderEntry& e : PathResolver::listHost(folder))
        entries.emplace(foldCase(e.name), std::make_pair(e.name, e.isFolder));
    return entries;
}

// Gives the target the source's modification and access times, then closes it.
FsError finishTarget(int out, const struct stat& st, FsError result)
{
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (result == FsError::None && ::futimens(out, times) != 0)
        result = FsError::PermissionDenied;
    if (::close(out) != 0 && result == FsError::None)
        result = errno == ENOSPC || errno == EDQUOT ? FsError::DiskFull : FsError::PermissionDenied;
    return result;
}

// Copies one host file to `to` through a partial name; the source is opened once (only a regular
// file, never through a link, never waited on), and a lock held on it (the file is in use) refuses
// the copy. No partial file stays when the copy fails.
FsError copyOne(const fs::path& from, const fs::path& to)
{
    struct stat st {};
    FsError result = FsError::PermissionDenied;
    const int in = hostfs::openCopySource(AT_FDCWD, from.c_str(), st, result);
    if (in < 0)
        return result;
    result = FsError::PermissionDenied;
    if (::flock(in, LOCK_SH | LOCK_NB) == 0) {
        const fs::path partial = to.parent_path() / (":partial." + std::to_string(::getpid()));
        const int out =
            ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 0777);
        if (out >= 0)
            result = finishTarget(out, st, hostfs::copyFileData(in, st, out));
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
    for (const FolderEntry& e : PathResolver::listHost(from.host, &report.leftOut)) {
        const std::string& name = e.name;
        if (e.isFolder) {
            report.folders.push_back(name);
            continue;
        }
        if (leaveOut && leaveOut(name))
            continue;
        if (!fitsWindowsPath(hostfs::joinWin(to.path.text(), name))) {
            report.leftOut.push_back({name, false, NameFault::PathTooLong});
            continue;
        }
        fs::path target = to.host / name;
        const auto found = existing.find(foldCase(name));
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
        const FsError copied = copyOne(from.host / name, target);
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
    // A source gone at the end went away under the copy.
    if (!fs::is_directory(from.host, ec))
        return FsError::PathNotFound;
    return FsError::None;
}

namespace {

// Opens a host folder for the *at() calls; -1 when it is missing, no folder, or a host link.
int openFolder(const fs::path& host)
{
    return ::open(host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The name under which a copy is written until it is complete: one no listing shows.
std::string partialName() { return ":partial." + std::to_string(::getpid()); }

// Gives the complete copy its name in `folder`, never replacing an entry that took the name
// meanwhile: FileExists then.
FsError takeName(int folder, const std::string& partial, const std::string& name)
{
    if (::renameat2(folder, partial.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0)
        return FsError::None;
    if (errno == EEXIST)
        return FsError::FileExists;
    if (errno != EINVAL)
        return FsError::PermissionDenied;
    // A host file system without the no-replace rename: look first.
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return FsError::FileExists;
    return ::renameat(folder, partial.c_str(), folder, name.c_str()) == 0 ? FsError::None
                                                                          : FsError::PermissionDenied;
}

// Creates the partial file in `folder` for writing; -1 with the error in `error` when it cannot.
int createPartial(int folder, const std::string& partial, mode_t mode, FsError& error)
{
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int out = ::openat(folder, partial.c_str(), kFlags, mode);
    // Only a copy cut short by a crash leaves the partial name behind.
    if (out < 0 && errno == EEXIST && ::unlinkat(folder, partial.c_str(), 0) == 0)
        out = ::openat(folder, partial.c_str(), kFlags, mode);
    if (out < 0)
        error = errno == ENOENT                  ? FsError::PathNotFound
            : errno == ENOSPC || errno == EDQUOT ? FsError::DiskFull
                                                 : FsError::PermissionDenied;
    return out;
}

} // namespace

FolderCopy::FolderCopy() = default;

FolderCopy::~FolderCopy() { close(); }

void FolderCopy::close()
{
    if (m_source >= 0)
        ::close(m_source);
    if (m_destination >= 0)
        ::close(m_destination);
    m_source = m_destination = -1;
    m_destinationHost.clear();
    m_sourceAttributes.reset();
    m_destinationAttributes.reset();
    m_taken.clear();
}

FsError FolderCopy::open(const FileSystem& fileSystem, std::string_view source, std::string_view destination)
{
    close();
    const ResolvedPath from = fileSystem.resolver().resolve(source);
    const ResolvedPath to = fileSystem.resolver().resolve(destination);
    if (!from.ok() || !from.exists || !to.ok() || !to.exists)
        return FsError::PathNotFound;
    m_source = openFolder(from.host);
    m_destination = m_source >= 0 ? openFolder(to.host) : -1;
    if (m_destination < 0) {
        close();
        return FsError::PathNotFound;
    }
    m_destinationHost = to.host;
    m_partial = partialName();
    m_sourceAttributes = std::make_unique<FolderAttributes>(from.host);
    m_destinationAttributes = std::make_unique<FolderAttributes>(to.host);
    // Every entry takes its name, host links included: a copy must never be written through one.
    std::error_code ec;
    for (fs::directory_iterator it(to.host, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.find(':') == std::string::npos)
            m_taken.insert(foldCase(name));
    }
    return FsError::None;
}

bool FolderCopy::targetExists(std::string_view name) const { return m_taken.count(foldCase(name)) != 0; }

FsError FolderCopy::copy(const std::string& name)
{
    if (!isOpen())
        return FsError::PathNotFound;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return FsError::FileNotFound;
    if (targetExists(name))
        return FsError::FileExists;
    // The source is opened once: its lock check (a holder of the file has it in use), its size and
    // times and its data all come from this descriptor. A host link is never followed, and a
    // host pipe or device never waited on.
    struct stat st {};
    FsError result = FsError::None;
    const int in = hostfs::openCopySource(m_source, name.c_str(), st, result);
    if (in < 0)
        return result;
    if (::flock(in, LOCK_SH | LOCK_NB) != 0)
        result = FsError::PermissionDenied;
    const std::string& partial = m_partial;
    const int out =
        result == FsError::None ? createPartial(m_destination, partial, st.st_mode & 0777, result) : -1;
    if (out >= 0) {
        result = finishTarget(out, st, hostfs::copyFileData(in, st, out));
        if (result == FsError::None)
            result = takeName(m_destination, partial, name);
        if (result != FsError::None)
            ::unlinkat(m_destination, partial.c_str(), 0);
    }
    ::close(in);
    if (result == FsError::None || result == FsError::FileExists)
        m_taken.insert(foldCase(name));
    if (result != FsError::None)
        return result;
    // The attribute sidecar is written only for bits other than the default, or to replace a line
    // an earlier file of that name left.
    const unsigned bits = m_sourceAttributes->of(name, false) | attr::Archive;
    if (bits != attr::Archive || m_destinationAttributes->of(name, false) != attr::Archive)
        hostfs::storeAttributes(m_destinationHost / name, bits);
    return FsError::None;
}

} // namespace platform
