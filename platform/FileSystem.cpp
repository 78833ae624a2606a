// FileSystem.cpp: the file-system object on the host folders of the emulated machines.
// Windows attributes live in a sidecar file per folder (kAttributeSidecar, a name no Windows
// file can have): one line "name<TAB>bits" for each entry whose bits differ from the default
// (Archive for files, none for folders). Locks are flock() locks, so they hold across processes.
#include "platform/FileSystem.h"

#include "platform/CodePage.h"
#include "platform/FileVersion.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr unsigned kStoredBits = attr::ReadOnly | attr::Hidden | attr::System | attr::Archive;

using AttrMap = std::map<std::string, unsigned>; // exact host name -> stored bits

AttrMap readSidecar(const fs::path& folder)
{
    AttrMap map;
    std::ifstream in(folder / std::string(kAttributeSidecar), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.rfind('\t');
        if (tab == std::string::npos)
            continue;
        try {
            map[line.substr(0, tab)] = static_cast<unsigned>(std::stoul(line.substr(tab + 1))) & kStoredBits;
        } catch (...) {
            // A damaged line loses only that entry's attributes.
        }
    }
    return map;
}

void writeSidecar(const fs::path& folder, const AttrMap& map)
{
    const fs::path file = folder / std::string(kAttributeSidecar);
    std::error_code ec;
    if (map.empty()) {
        fs::remove(file, ec);
        return;
    }
    const fs::path temp = folder / (std::string(kAttributeSidecar) + ".new");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const auto& [name, bits] : map)
            out << name << '\t' << bits << '\n';
    }
    fs::rename(temp, file, ec);
}

unsigned defaultBits(bool isFolder) { return isFolder ? 0u : attr::Archive; }

unsigned hostAttributes(const fs::path& p)
{
    std::error_code ec;
    const bool isFolder = fs::is_directory(p, ec);
    const AttrMap map = readSidecar(p.parent_path());
    const auto it = map.find(p.filename().string());
    const unsigned bits = it == map.end() ? defaultBits(isFolder) : it->second;
    return bits | (isFolder ? attr::Directory : 0u);
}

void storeAttributes(const fs::path& p, unsigned bits)
{
    std::error_code ec;
    const bool isFolder = fs::is_directory(p, ec);
    AttrMap map = readSidecar(p.parent_path());
    bits &= kStoredBits;
    const std::string name = p.filename().string();
    if (bits == defaultBits(isFolder)) {
        if (map.erase(name) == 0)
            return;
    } else {
        map[name] = bits;
    }
    writeSidecar(p.parent_path(), map);
}

void forgetAttributes(const fs::path& p)
{
    AttrMap map = readSidecar(p.parent_path());
    if (map.erase(p.filename().string()) != 0)
        writeSidecar(p.parent_path(), map);
}

bool hostInUse(const fs::path& p)
{
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

// The first reason the tree below (and including) `p` cannot be deleted or overwritten.
// Each folder's sidecar is read once, however many entries it has.
FsError treeBlocked(const fs::path& p, bool force, unsigned bits)
{
    std::error_code ec;
    if (!force && (bits & attr::ReadOnly))
        return FsError::PermissionDenied;
    if (fs::is_directory(p, ec)) {
        const AttrMap map = readSidecar(p);
        for (const auto& e : PathResolver::listHost(p)) {
            const auto it = map.find(e.name);
            const unsigned childBits = it == map.end() ? defaultBits(e.isFolder) : it->second;
            if (const FsError err = treeBlocked(p / e.name, force, childBits); err != FsError::None)
                return err;
        }
    } else if (hostInUse(p)) {
        return FsError::PermissionDenied;
    }
    return FsError::None;
}

FsError treeBlocked(const fs::path& p, bool force) { return treeBlocked(p, force, hostAttributes(p)); }

bool isInside(const fs::path& inner, const fs::path& outer)
{
    std::error_code ec;
    const fs::path i = fs::weakly_canonical(inner, ec);
    const fs::path o = fs::weakly_canonical(outer, ec);
    auto ii = i.begin();
    for (auto oi = o.begin(); oi != o.end(); ++oi, ++ii) {
        if (oi->empty())
            continue;
        if (ii == i.end() || *ii != *oi)
            return false;
    }
    return true;
}

std::string joinWin(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

bool endsWithSeparator(std::string_view s) { return !s.empty() && (s.back() == '\\' || s.back() == '/'); }

} // namespace

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

FsError FileSystem::listFolder(
    std::string_view folder, std::vector<FileEntry>& folders, std::vector<FileEntry>& files) const
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
    const AttrMap map = readSidecar(r.host);
    for (const auto& e : PathResolver::listHost(r.host)) {
        FileEntry entry;
        entry.name = e.name;
        entry.path = joinWin(base, e.name);
        const auto it = map.find(e.name);
        entry.attributes =
            (it == map.end() ? defaultBits(e.isFolder) : it->second) | (e.isFolder ? attr::Directory : 0u);
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
    if (!fs::create_directory(r.host, ec) || ec)
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
        if (!fs::create_directory(lr.host, ec) && ec)
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

FsError FileSystem::deleteFile(std::string_view pattern, bool force)
{
    std::vector<Match> matches;
    if (const FsError err = matchDeletable(pattern, false, FsError::FileNotFound, force, matches);
        err != FsError::None)
        return err;
    std::error_code ec;
    for (const auto& m : matches) {
        forgetAttributes(m.host);
        if (!fs::remove(m.host, ec) || ec)
            return FsError::PermissionDenied;
    }
    return FsError::None;
}

FsError FileSystem::deleteFolder(std::string_view pattern, bool force)
{
    std::vector<Match> matches;
    if (const FsError err = matchDeletable(pattern, true, FsError::PathNotFound, force, matches);
        err != FsError::None)
        return err;
    std::error_code ec;
    for (const auto& m : matches) {
        forgetAttributes(m.host);
        fs::remove_all(m.host, ec);
        if (ec)
            return FsError::PermissionDenied;
    }
    return FsError::None;
}

FsError FileSystem::beginTransfer(std::string_view source, std::string_view destination, bool folders,
    FsError missing, FsError denied, Transfer& t) const
{
    ResolvedPath parent;
    if (const FsError err = matchPattern(source, folders, t.matches, parent); err != FsError::None)
        return err == FsError::PermissionDenied ? denied : err;
    if (t.matches.empty())
        return missing;
    WinPath src;
    WinPath::parse(source, src);
    t.intoFolder = endsWithSeparator(destination) || src.hasWildcards();
    t.dest = m_resolver.resolve(destination);
    if (!t.dest.ok())
        return fromWinError(t.dest.error);
    return FsError::None;
}

bool FileSystem::holdingFolder(const ResolvedPath& dest, fs::path& host) const
{
    std::error_code ec;
    const ResolvedPath folder = m_resolver.resolve(dest.path.parent());
    if (!folder.ok() || !folder.exists || !fs::is_directory(folder.host, ec))
        return false;
    host = folder.host;
    return true;
}

FsError FileSystem::planMovesInto(Transfer& t) const
{
    std::error_code ec;
    if (!t.dest.exists || !fs::is_directory(t.dest.host, ec))
        return FsError::PathNotFound;
    for (const auto& m : t.matches) {
        // A target that exists in another case is the same name on Windows.
        const ResolvedPath target = m_resolver.resolve(t.dest.path.child(m.name));
        if (target.ok() && target.exists)
            return FsError::FileExists;
        t.plan.emplace_back(m.host, t.dest.host / m.name);
    }
    return FsError::None;
}

FsError FileSystem::copyOneFile(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    if (hostInUse(from))
        return FsError::PermissionDenied;
    if (fs::exists(to, ec)) {
        if (fs::is_directory(to, ec) || fs::equivalent(from, to, ec))
            return FsError::PermissionDenied;
        if ((hostAttributes(to) & attr::ReadOnly) || hostInUse(to))
            return FsError::PermissionDenied;
    }
    if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) || ec)
        return FsError::PermissionDenied;
    const auto time = fs::last_write_time(from, ec);
    if (!ec)
        fs::last_write_time(to, time, ec);
    storeAttributes(to, hostAttributes(from) | attr::Archive);
    return FsError::None;
}

FsError FileSystem::copyFile(std::string_view source, std::string_view destination, bool overwrite)
{
    Transfer job;
    const FsError began =
        beginTransfer(source, destination, false, FsError::FileNotFound, FsError::FileNotFound, job);
    if (began != FsError::None)
        return began;
    auto& [matches, dest, intoFolder, plan] = job;
    std::error_code ec;
    if (intoFolder) {
        if (!dest.exists || !fs::is_directory(dest.host, ec))
            return FsError::PathNotFound;
        for (const auto& m : matches) {
            // An existing target keeps its own spelling.
            const ResolvedPath t = m_resolver.resolve(dest.path.child(m.name));
            plan.emplace_back(m.host, t.ok() ? t.host : dest.host / m.name);
        }
    } else {
        if (dest.exists && fs::is_directory(dest.host, ec))
            return FsError::PermissionDenied;
        fs::path folder;
        if (!holdingFolder(dest, folder))
            return FsError::PathNotFound;
        plan.emplace_back(matches.front().host, dest.host);
    }
    for (const auto& [from, to] : plan) {
        if (fs::exists(to, ec) && !overwrite && !fs::equivalent(from, to, ec))
            return FsError::FileExists;
    }
    for (const auto& [from, to] : plan)
        if (const FsError err = copyOneFile(from, to); err != FsError::None)
            return err;
    return FsError::None;
}

FsError FileSystem::moveOneFile(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    if (hostInUse(from))
        return FsError::PermissionDenied;
    if (fs::equivalent(from, to, ec) && from.parent_path() == to.parent_path()) {
        // Same file: only a change of spelling, if any.
        if (from.filename() == to.filename())
            return FsError::None;
    } else if (fs::exists(to, ec)) {
        return FsError::FileExists;
    }
    const unsigned bits = hostAttributes(from);
    fs::rename(from, to, ec);
    if (ec) {
        // Another host file system: copy, then remove the original.
        fs::copy(from, to, fs::copy_options::recursive, ec);
        if (ec)
            return FsError::PermissionDenied;
        fs::remove_all(from, ec);
    }
    forgetAttributes(from);
    storeAttributes(to, bits);
    return FsError::None;
}

FsError FileSystem::moveFile(std::string_view source, std::string_view destination)
{
    Transfer job;
    const FsError began =
        beginTransfer(source, destination, false, FsError::FileNotFound, FsError::FileNotFound, job);
    if (began != FsError::None)
        return began;
    auto& [matches, dest, intoFolder, plan] = job;
    std::error_code ec;
    if (intoFolder) {
        if (const FsError err = planMovesInto(job); err != FsError::None)
            return err;
    } else {
        fs::path folder;
        if (!holdingFolder(dest, folder))
            return FsError::PathNotFound;
        // The new name as written (a move may change only the case of a name).
        WinPath written;
        WinPath::parse(destination, written);
        plan.emplace_back(matches.front().host, folder / written.leaf());
        if (dest.exists && !fs::equivalent(dest.host, matches.front().host, ec))
            return FsError::FileExists;
    }
    for (const auto& [from, to] : plan) {
        if (hostInUse(from))
            return FsError::PermissionDenied;
        if (fs::exists(to, ec) && !fs::equivalent(from, to, ec))
            return FsError::FileExists;
    }
    for (const auto& [from, to] : plan)
        if (const FsError err = moveOneFile(from, to); err != FsError::None)
            return err;
    return FsError::None;
}

namespace {

// Collects the conflicts of copying tree `from` onto `to` before anything is written.
FsError planTreeCopy(const fs::path& from, const fs::path& to, bool overwrite)
{
    std::error_code ec;
    for (const auto& e : PathResolver::listHost(from)) {
        const fs::path src = from / e.name;
        // Targets match without regard to case, as the destination folder sees them.
        fs::path dst = to / e.name;
        for (const auto& t : PathResolver::listHost(to))
            if (equalsNoCase(t.name, e.name))
                dst = to / t.name;
        if (e.isFolder) {
            if (fs::exists(dst, ec) && !fs::is_directory(dst, ec))
                return FsError::FileExists;
            if (fs::is_directory(dst, ec))
                if (const FsError err = planTreeCopy(src, dst, overwrite); err != FsError::None)
                    return err;
            if (hostInUse(src))
                return FsError::PermissionDenied;
        } else {
            if (hostInUse(src))
                return FsError::PermissionDenied;
            if (fs::exists(dst, ec)) {
                if (fs::is_directory(dst, ec))
                    return FsError::PermissionDenied;
                if (!overwrite)
                    return FsError::FileExists;
                if ((hostAttributes(dst) & attr::ReadOnly) || hostInUse(dst))
                    return FsError::PermissionDenied;
            }
        }
    }
    return FsError::None;
}

FsError copyTree(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    if (!fs::is_directory(to, ec)) {
        fs::create_directory(to, ec);
        if (ec)
            return FsError::PermissionDenied;
        storeAttributes(to, hostAttributes(from));
    }
    for (const auto& e : PathResolver::listHost(from)) {
        fs::path dst = to / e.name;
        for (const auto& t : PathResolver::listHost(to))
            if (equalsNoCase(t.name, e.name))
                dst = to / t.name;
        if (e.isFolder) {
            if (const FsError err = copyTree(from / e.name, dst); err != FsError::None)
                return err;
        } else {
            if (!fs::copy_file(from / e.name, dst, fs::copy_options::overwrite_existing, ec) || ec)
                return FsError::PermissionDenied;
            const auto time = fs::last_write_time(from / e.name, ec);
            if (!ec)
                fs::last_write_time(dst, time, ec);
            storeAttributes(dst, hostAttributes(from / e.name) | attr::Archive);
        }
    }
    return FsError::None;
}

} // namespace

FsError FileSystem::copyFolder(std::string_view source, std::string_view destination, bool overwrite)
{
    Transfer job;
    const FsError began =
        beginTransfer(source, destination, true, FsError::PathNotFound, FsError::PathNotFound, job);
    if (began != FsError::None)
        return began;
    auto& [matches, dest, intoFolder, plan] = job;
    std::error_code ec;
    if (intoFolder) {
        if (dest.exists && !fs::is_directory(dest.host, ec))
            return FsError::FileExists;
        if (!dest.exists) {
            const ResolvedPath up = m_resolver.resolve(dest.path.parent());
            if (!up.ok() || !up.exists)
                return FsError::PathNotFound;
        }
        for (const auto& m : matches) {
            const ResolvedPath t = m_resolver.resolve(dest.path.child(m.name));
            plan.emplace_back(m.host, t.ok() && t.exists ? t.host : dest.host / m.name);
        }
    } else {
        if (dest.exists && !fs::is_directory(dest.host, ec))
            return FsError::FileExists;
        fs::path up;
        if (!holdingFolder(dest, up))
            return FsError::PathNotFound;
        plan.emplace_back(matches.front().host, dest.host);
    }
    for (const auto& [from, to] : plan) {
        if (isInside(to, from))
            return FsError::PermissionDenied;
        if (fs::is_directory(to, ec))
            if (const FsError err = planTreeCopy(from, to, overwrite); err != FsError::None)
                return err;
    }
    if (intoFolder && !dest.exists) {
        fs::create_directory(dest.host, ec);
        if (ec)
            return FsError::PermissionDenied;
    }
    for (const auto& [from, to] : plan)
        if (const FsError err = copyTree(from, to); err != FsError::None)
            return err;
    return FsError::None;
}

FsError FileSystem::moveFolder(std::string_view source, std::string_view destination)
{
    Transfer job;
    const FsError began =
        beginTransfer(source, destination, true, FsError::PathNotFound, FsError::PermissionDenied, job);
    if (began != FsError::None)
        return began;
    auto& [matches, dest, intoFolder, plan] = job;
    std::error_code ec;
    if (intoFolder) {
        if (const FsError err = planMovesInto(job); err != FsError::None)
            return err;
    } else {
        if (dest.exists)
            return FsError::FileExists;
        fs::path up;
        if (!holdingFolder(dest, up))
            return FsError::PathNotFound;
        plan.emplace_back(matches.front().host, up / dest.path.leaf());
    }
    for (const auto& [from, to] : plan) {
        if (fs::exists(to, ec))
            return FsError::FileExists;
        if (isInside(to, from))
            return FsError::PermissionDenied;
        if (const FsError err = treeBlocked(from, true); err != FsError::None)
            return err;
    }
    for (const auto& [from, to] : plan)
        if (const FsError err = moveOneFile(from, to); err != FsError::None)
            return err;
    return FsError::None;
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
    const AttrMap map = readSidecar(folder.host);
    const auto entries = PathResolver::listHost(folder.host);
    std::vector<std::string> shorts;
    for (const auto& e : entries) {
        const auto it = map.find(e.name);
        const unsigned bits =
            (it == map.end() ? defaultBits(e.isFolder) : it->second) | (e.isFolder ? attr::Directory : 0u);
        if (!admitted(bits))
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
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    if (!r.exists)
        return FsError::FileNotFound;
    attributes = r.path.isRoot() ? attr::Directory : hostAttributes(r.host);
    return FsError::None;
}

FsError FileSystem::setAttributes(std::string_view path, unsigned attributes)
{
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    if (!r.exists)
        return FsError::FileNotFound;
    if (r.path.isRoot())
        return FsError::PermissionDenied;
    storeAttributes(r.host, attributes);
    return FsError::None;
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
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    if (!r.exists)
        return FsError::FileNotFound;
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
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    if (!r.exists)
        return FsError::FileNotFound;
    std::error_code ec;
    fs::last_write_time(r.host, fs::file_time_type::clock::from_sys(modified), ec);
    return ec ? FsError::PermissionDenied : FsError::None;
}

std::string FileSystem::getFileVersion(std::string_view path) const
{
    std::string bytes;
    if (readFile(path, bytes) != FsError::None)
        return {};
    return peFileVersion(bytes);
}

FsError FileSystem::readFile(std::string_view path, std::string& bytes) const
{
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok())
        return fromWinError(r.error);
    std::error_code ec;
    if (!r.exists)
        return FsError::FileNotFound;
    if (fs::is_directory(r.host, ec))
        return FsError::PathFileAccess;
    if (hostInUse(r.host))
        return FsError::PermissionDenied;
    std::ifstream in(r.host, std::ios::binary);
    if (!in)
        return FsError::PermissionDenied;
    std::ostringstream out;
    out << in.rdbuf();
    bytes = out.str();
    return FsError::None;
}

namespace {

FsError writeHost(const PathResolver& resolver, std::string_view path, std::string_view bytes, bool append)
{
    const ResolvedPath r = resolver.resolve(path);
    if (!r.ok())
        return FileSystem::fromWinError(r.error);
    std::error_code ec;
    if (r.exists) {
        if (fs::is_directory(r.host, ec))
            return FsError::PathFileAccess;
        if ((hostAttributes(r.host) & attr::ReadOnly) || hostInUse(r.host))
            return FsError::PermissionDenied;
    } else {
        const ResolvedPath folder = resolver.resolve(r.path.parent());
        if (!folder.ok() || !folder.exists || !fs::is_directory(folder.host, ec))
            return FsError::PathNotFound;
    }
    std::ofstream out(r.host, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!out)
        return FsError::PermissionDenied;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? FsError::None : FsError::PathFileAccess;
}

} // namespace

FsError FileSystem::writeFile(std::string_view path, std::string_view bytes)
{
    return writeHost(m_resolver, path, bytes, false);
}

FsError FileSystem::appendFile(std::string_view path, std::string_view bytes)
{
    return writeHost(m_resolver, path, bytes, true);
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

FsError FileSystem::appendText(std::string_view path, std::string_view utf8)
{
    return appendFile(path, utf8ToCp1252(utf8));
}

FileLock FileSystem::lockFile(std::string_view path) const
{
    const ResolvedPath r = m_resolver.resolve(path);
    if (!r.ok() || !r.exists)
        return FileLock();
    const int fd = ::open(r.host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileLock();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
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
