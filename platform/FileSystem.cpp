// FileSystem.cpp: the file-system object on the host folders of the emulated machines: listings,
// folders, deletes, attributes, reading and writing, locks (copies and moves: FileSystemCopy.cpp).
#include "platform/FileSystem.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/FileSystemHost.h"
#include "platform/FileVersion.h"
#include "platform/HostFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <system_error>
#include <vector>

namespace platform {

namespace fs = std::filesystem;
namespace host = common::hostcalls;
using hostfs::FolderAttributes;
using hostfs::forgetAttributes;
using hostfs::hostAttributes;
using hostfs::hostInUse;
using hostfs::isInside;
using hostfs::joinWin;
using hostfs::storeAttributes;
using hostfs::treeBlocked;

// --- FileLock ---

FileLock::FileLock(FileLock&& other) noexcept
    : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

FileLock::~FileLock() { release(); }

void FileLock::release()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

// --- FileSystem ---

std::string_view fsErrorText(FsError error)
{
    switch (error) {
    case FsError::None: return "";
    case FsError::BadFileName: return "Bad file name or number";
    case FsError::FileNotFound: return "File not found";
    case FsError::FileExists: return "File already exists";
    case FsError::DeviceUnavailable: return "Device unavailable";
    case FsError::PermissionDenied: return "Permission denied";
    case FsError::DiskNotReady: return "Disk not ready";
    case FsError::PathFileAccess: return "Path/File access error";
    case FsError::PathNotFound: return "Path not found";
    case FsError::DiskFull: return "Disk full";
    case FsError::SourceChanged: return "Changed while copied";
    }
    return "Unknown error";
}

FsError FileSystem::fromWinError(WinError error)
{
    switch (error) {
    case WinError::Success: return FsError::None;
    case WinError::InvalidName: return FsError::BadFileName;
    case WinError::InvalidDrive: return FsError::DeviceUnavailable;
    case WinError::NotReady: return FsError::DiskNotReady;
    case WinError::FileNotFound: return FsError::FileNotFound;
    case WinError::AccessDenied:
    case WinError::SharingViolation: return FsError::PermissionDenied;
    default: break;
    }
    return FsError::PathNotFound;
}

FileSystem::FileSystem(PathResolver resolver)
    : m_resolver(std::move(resolver))
{}

bool FileSystem::fileExists(std::string_view path) const
{
    // "C:\boot.ini\" names a folder, so no file answers to it.
    if (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        return false;
    const ResolvedPath r = m_resolver.resolve(path);
    std::error_code ec;
    return r.ok() && r.exists && !fs::is_directory(r.host, ec);
}

FsError FileSystem::resolveExisting(std::string_view path, ResolvedPath& r) const
{
    r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    return r.exists ? FsError::None : FsError::FileNotFound;
}

bool FileSystem::folderExists(std::string_view path) const
{
    const ResolvedPath r = m_resolver.resolve(path);
    std::error_code ec;
    return r.ok() && r.exists && fs::is_directory(r.host, ec);
}

bool FileSystem::driveExists(std::string_view drive) const
{
    std::string text(drive);
    if (text.size() == 1)
        text += ":";
    if (text.size() == 2 && text[1] == ':')
        text += "\\";
    WinPath p;
    if (WinPath::parse(text, p) != PathSyntax::Ok || !p.isRoot())
        return false;
    const ResolvedPath r = m_resolver.resolve(p);
    return r.ok() && r.exists;
}

FsError FileSystem::listFolder(std::string_view folder, std::vector<FileEntry>& folders,
    std::vector<FileEntry>& files, std::vector<LeftOutName>* leftOut) const
{
    const ResolvedPath r = m_resolver.resolve(folder);
    if (!r.ok())
        return fromWinError(r.error);
    std::error_code ec;
    if (!r.exists || !fs::is_directory(r.host, ec))
        return FsError::PathNotFound;
    folders.clear();
    files.clear();
    const std::string base = r.path.text();
    const FolderAttributes attributes(r.host);
    for (const auto& e : PathResolver::listHost(r.host, leftOut)) {
        FileEntry entry;
        entry.name = e.name;
        entry.path = joinWin(base, e.name);
        entry.attributes = attributes.of(e.name, e.isFolder);
        if (e.isFolder) {
            folders.push_back(std::move(entry));
        } else {
            entry.size = fs::file_size(r.host / e.name, ec);
            if (ec)
                entry.size = 0;
            files.push_back(std::move(entry));
        }
    }
    return FsError::None;
}

FsError FileSystem::createFolder(std::string_view path)
{
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    if (r.exists)
        return FsError::FileExists;
    std::error_code ec;
    if (!fs::is_directory(r.host.parent_path(), ec) || !isInside(r.host.parent_path(), r.root))
        return FsError::PathNotFound;
    // The parent must exist under its stored name: a missing component higher up is "not found".
    const ResolvedPath parent = m_resolver.resolve(r.path.parent());
    if (!parent.ok() || !parent.exists)
        return FsError::PathNotFound;
    if (host::makeFolderAt(AT_FDCWD, r.host.c_str(), 0777) != 0)
        return FsError::PermissionDenied;
    return FsError::None;
}

WinError FileSystem::makeSurePathExists(std::string_view path)
{
    WinPath p;
    const PathSyntax syntax = WinPath::parse(path, p);
    if (syntax != PathSyntax::Ok)
        return syntaxError(syntax);
    const WinPath folder = p.trailingSeparator() ? p : p.parent();
    const ResolvedPath r = m_resolver.resolve(folder);
    if (!r.ok())
        return r.error;
    std::error_code ec;
    if (r.exists)
        return fs::is_directory(r.host, ec) ? WinError::Success : WinError::AlreadyExists;
    // Walk down from the root, creating each missing level under the name as written.
    const auto& parts = r.path.parts();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        WinPath level = r.path.withParts(
            std::vector<std::string>(parts.begin(), parts.begin() + static_cast<long>(i) + 1));
        const ResolvedPath lr = m_resolver.resolve(level);
        if (!lr.ok())
            return lr.error;
        if (lr.exists) {
            if (!fs::is_directory(lr.host, ec))
                return WinError::AlreadyExists;
            continue;
        }
        if (host::makeFolderAt(AT_FDCWD, lr.host.c_str(), 0777) != 0 && errno != EEXIST)
            return WinError::AccessDenied;
    }
    return WinError::Success;
}

FsError FileSystem::matchPattern(
    std::string_view pattern, bool folders, std::vector<Match>& matches, ResolvedPath& parent) const
{
    matches.clear();
    WinPath p;
    const PathSyntax syntax = WinPath::parse(pattern, p);
    if (syntax != PathSyntax::Ok)
        return fromWinError(syntaxError(syntax));
    if (p.isRoot())
        return FsError::PermissionDenied;
    parent = m_resolver.resolve(p.parent());
    if (!parent.ok())
        return fromWinError(parent.error);
    std::error_code ec;
    if (!parent.exists || !fs::is_directory(parent.host, ec))
        return FsError::PathNotFound;
    const std::string leaf = p.leaf();
    const std::string base = parent.path.text();
    if (p.hasWildcards()) {
        for (const auto& e : PathResolver::listHost(parent.host))
            if (e.isFolder == folders && wildcardMatch(leaf, e.name))
                matches.push_back({e.name, parent.host / e.name, joinWin(base, e.name), e.isFolder});
    } else {
        const ResolvedPath r = m_resolver.resolve(p);
        if (!r.ok())
            return fromWinError(r.error);
        if (r.exists && fs::is_directory(r.host, ec) == folders)
            matches.push_back({r.path.leaf(), r.host, r.path.text(), folders});
    }
    return FsError::None;
}

FsError FileSystem::matchDeletable(
    std::string_view pattern, bool folders, FsError missing, bool force, std::vector<Match>& matches) const
{
    ResolvedPath parent;
    if (const FsError err = matchPattern(pattern, folders, matches, parent); err != FsError::None)
        return err;
    if (matches.empty())
        return missing;
    for (const auto& m : matches)
        if (const FsError err = treeBlocked(m.host, force); err != FsError::None)
            return err;
    return FsError::None;
}

FsError FileSystem::deleteMatches(std::string_view pattern, bool folders, bool force)
{
    std::vector<Match> matches;
    const FsError missing = folders ? FsError::PathNotFound : FsError::FileNotFound;
    if (const FsError err = matchDeletable(pattern, folders, missing, force, matches); err != FsError::None)
        return err;
    for (const auto& m : matches) {
        forgetAttributes(m.host);
        const int removed =
            folders ? host::removeTreeAt(AT_FDCWD, m.host.c_str()) : host::removeAt(AT_FDCWD, m.host.c_str());
        if (removed != 0)
            return FsError::PermissionDenied;
    }
    return FsError::None;
}

FsError FileSystem::deleteFile(std::string_view pattern, bool force)
{
    return deleteMatches(pattern, false, force);
}

FsError FileSystem::deleteFolder(std::string_view pattern, bool force)
{
    return deleteMatches(pattern, true, force);
}

FsError FileSystem::dir(std::string_view pattern, unsigned mask, std::vector<std::string>& names) const
{
    names.clear();
    WinPath p;
    const PathSyntax syntax = WinPath::parse(pattern, p);
    if (syntax != PathSyntax::Ok)
        return syntax == PathSyntax::Escapes ? FsError::PathNotFound : FsError::BadFileName;
    const bool listAll = p.trailingSeparator() || p.isRoot();
    const WinPath folderPath = listAll ? p : p.parent();
    const ResolvedPath folder = m_resolver.resolve(folderPath);
    if (!folder.ok())
        return folder.error == WinError::PathNotFound ? FsError::PathNotFound : FsError::BadFileName;
    std::error_code ec;
    if (!folder.exists || !fs::is_directory(folder.host, ec))
        return FsError::None;
    const std::string leaf = listAll ? std::string("*") : p.leaf();
    auto admitted = [mask](unsigned bits) {
        return (bits & (attr::Hidden | attr::System | attr::Directory) & ~mask) == 0;
    };
    if ((mask & attr::Directory) && !folderPath.isRoot()) {
        if (wildcardMatch(leaf, "."))
            names.emplace_back(".");
        if (wildcardMatch(leaf, ".."))
            names.emplace_back("..");
    }
    const FolderAttributes attributes(folder.host);
    const auto entries = PathResolver::listHost(folder.host);
    std::vector<std::string> shorts;
    for (const auto& e : entries) {
        if (!admitted(attributes.of(e.name, e.isFolder)))
            continue;
        bool hit = wildcardMatch(leaf, e.name);
        if (!hit && leaf.find_first_of("*?") == std::string::npos && leaf.find('~') != std::string::npos) {
            const ResolvedPath r = m_resolver.resolve(folderPath.child(leaf));
            hit = r.ok() && r.exists && r.path.leaf() == e.name;
        }
        if (hit)
            names.push_back(e.name);
    }
    return FsError::None;
}

FsError FileSystem::getAttributes(std::string_view path, unsigned& attributes) const
{
    ResolvedPath r;
    if (const FsError err = resolveExisting(path, r); err != FsError::None)
        return err;
    attributes = r.path.isRoot() ? attr::Directory : hostAttributes(r.host);
    return FsError::None;
}

FsError FileSystem::setAttributes(std::string_view path, unsigned attributes)
{
    ResolvedPath r;
    if (const FsError err = resolveExisting(path, r); err != FsError::None)
        return err;
    if (r.path.isRoot())
        return FsError::PermissionDenied;
    return storeAttributes(r.host, attributes) ? FsError::None : FsError::PermissionDenied;
}

FsError FileSystem::fileLength(std::string_view path, std::uint64_t& bytes) const
{
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    std::error_code ec;
    if (!r.exists || fs::is_directory(r.host, ec))
        return FsError::FileNotFound;
    bytes = fs::file_size(r.host, ec);
    return ec ? FsError::PathFileAccess : FsError::None;
}

FsError FileSystem::fileTime(std::string_view path, std::chrono::system_clock::time_point& modified) const
{
    ResolvedPath r;
    if (const FsError err = resolveExisting(path, r); err != FsError::None)
        return err;
    std::error_code ec;
    const auto t = fs::last_write_time(r.host, ec);
    if (ec)
        return FsError::PathFileAccess;
    modified = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        fs::file_time_type::clock::to_sys(t));
    return FsError::None;
}

FsError FileSystem::setFileTime(std::string_view path, std::chrono::system_clock::time_point modified)
{
    ResolvedPath r;
    if (const FsError err = resolveExisting(path, r); err != FsError::None)
        return err;
    const auto since = modified.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    struct timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds.count());
    times[1].tv_nsec = static_cast<long>(std::chrono::nanoseconds(since - seconds).count());
    return host::setTimesAt(AT_FDCWD, r.host.c_str(), times) == 0 ? FsError::None : FsError::PermissionDenied;
}

std::string FileSystem::getFileVersion(std::string_view path) const
{
    std::string bytes;
    if (readFile(path, bytes) != FsError::None)
        return {};
    return peFileVersion(bytes);
}

FsError FileSystem::readFile(std::string_view path, std::string& bytes, std::size_t maxBytes) const
{
    ResolvedPath r;
    if (const FsError err = resolveExisting(path, r); err != FsError::None)
        return err;
    std::error_code ec;
    if (fs::is_directory(r.host, ec))
        return FsError::PathFileAccess;
    if (hostInUse(r.host))
        return FsError::PermissionDenied;
    switch (readHostMetadata(r.host, bytes, maxBytes)) {
    case WinError::Success: return FsError::None;
    case WinError::FileNotFound: return FsError::FileNotFound;
    default: return FsError::PathFileAccess;
    }
}

FsError FileSystem::hasLineLongerThan(std::string_view path, std::uint64_t limit, bool& longer) const
{
    longer = false;
    ResolvedPath r;
    if (const FsError err = resolveExisting(path, r); err != FsError::None)
        return err;
    if (hostInUse(r.host))
        return FsError::PermissionDenied;
    const int fd = host::open(r.host.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? FsError::FileNotFound : FsError::PathFileAccess;
    struct stat st {};
    FsError result = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? FsError::None : FsError::PathFileAccess;
    std::vector<char> piece(std::size_t{1} << 20);
    std::uint64_t line = 0;
    while (result == FsError::None && !longer) {
        const ssize_t n = host::read(fd, piece.data(), piece.size());
        if (n <= 0) {
            result = n == 0 ? FsError::None : FsError::PathFileAccess;
            break;
        }
        for (const char* at = piece.data(); at != piece.data() + n && !longer;) {
            const char* end = piece.data() + n;
            const char* feed =
                static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            line += static_cast<std::uint64_t>((feed ? feed : end) - at);
            longer = line > limit;
            if (feed)
                line = 0;
            at = feed ? feed + 1 : end;
        }
    }
    host::close(fd);
    return result;
}

namespace {

// A whole file is replaced (replaceHostFile: the old file or the new one, never a part); an append
// writes in place, as the platform does.
FsError writeHost(const FileSystem& files, std::string_view path, std::string_view bytes, bool append)
{
    ResolvedPath r;
    if (const FsError err = files.checkWritable(path, r); err != FsError::None)
        return err;
    if (!append) {
        switch (replaceHostFile(r.host, bytes)) {
        case WinError::Success: return FsError::None;
        case WinError::AccessDenied: return FsError::PermissionDenied;
        default: return FsError::PathFileAccess;
        }
    }
    const int fd = host::open(r.host.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return FsError::PermissionDenied;
    const bool written = host::writeAll(fd, bytes);
    return host::close(fd) == 0 && written ? FsError::None : FsError::PathFileAccess;
}

} // namespace

FsError FileSystem::checkWritable(std::string_view path, ResolvedPath& r) const
{
    r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    std::error_code ec;
    if (r.exists) {
        if (fs::is_directory(r.host, ec))
            return FsError::PathFileAccess;
        if ((hostAttributes(r.host) & attr::ReadOnly) || hostInUse(r.host))
            return FsError::PermissionDenied;
        return FsError::None;
    }
    const ResolvedPath folder = m_resolver.resolve(r.path.parent());
    if (!folder.ok() || !folder.exists || !fs::is_directory(folder.host, ec))
        return FsError::PathNotFound;
    return FsError::None;
}

FsError FileSystem::writeFile(std::string_view path, std::string_view bytes)
{
    return writeHost(*this, path, bytes, false);
}

FsError FileSystem::appendFile(std::string_view path, std::string_view bytes)
{
    return writeHost(*this, path, bytes, true);
}

FsError FileSystem::readText(std::string_view path, std::string& utf8) const
{
    std::string bytes;
    const FsError err = readFile(path, bytes);
    if (err == FsError::None)
        utf8 = cp1252ToUtf8(bytes);
    return err;
}

FsError FileSystem::writeText(std::string_view path, std::string_view utf8)
{
    return writeFile(path, utf8ToCp1252(utf8));
}

FileLock FileSystem::lockFile(std::string_view path) const
{
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok() || !r.exists)
        return FileLock();
    const int fd = host::open(r.host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileLock();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        host::close(fd);
        return FileLock();
    }
    return FileLock(fd);
}

bool FileSystem::isInUse(std::string_view path) const
{
    const ResolvedPath r = m_resolver.resolve(path);
    return r.ok() && r.exists && hostInUse(r.host);
}

} // namespace platform
