// FileSystemCopy.cpp: copies and moves of files and folders on the emulated machines: wildcards, a
// trailing "\\" meaning "into", folder copies that merge; every conflict is found before anything is
// written.
#include "platform/FileSystem.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/FileSystemHost.h"
#include "platform/RunRecord.h"

#include <cerrno>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;
namespace host = common::hostcalls;
using hostfs::endsWithSeparator;
using hostfs::forgetAttributes;
using hostfs::hostAttributes;
using hostfs::hostInUse;
using hostfs::isInside;
using hostfs::storeAttributes;
using hostfs::treeBlocked;

namespace {

FsError copyTree(const fs::path& from, const fs::path& to);

// Copies the bytes of one host file into a new host file: only a regular file, never through a
// link, never waited on (a pipe), its size checked (SourceChanged when it grew or shrank meanwhile).
// DiskFull when the destination took no more (no space, a size limit or a quota),
// PermissionDenied for any other failure.
FsError copyBytes(const fs::path& from, const fs::path& to)
{
    struct stat st {};
    FsError result = FsError::PermissionDenied;
    const int in = hostfs::openCopySource(AT_FDCWD, from.c_str(), st, result);
    if (in < 0)
        return FsError::PermissionDenied;
    const int out =
        host::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        host::close(in);
        return FsError::PermissionDenied;
    }
    result = hostfs::copyFileData(in, st, out);
    host::close(in);
    if (host::close(out) != 0 && result == FsError::None)
        result = hostfs::writeError(errno);
    return result;
}

// Writes the copy beside the target under a name no listing shows, then renames it: a copy cut
// short (the drive filled up, the source changed) leaves neither a partial file nor a damaged
// earlier target. The modification time and the attributes travel (Archive set, as on every copy);
// the attributes are stored before the copy takes the name, so that a copy whose attributes cannot
// be kept fails and changes nothing (an earlier target's are put back when the rename fails).
FsError copyThroughPartial(const fs::path& from, const fs::path& to)
{
    unsigned bits = 0;
    unsigned earlier = 0;
    std::error_code ec;
    const bool existed = fs::exists(to, ec);
    if (!hostfs::readHostAttributes(from, bits) || (existed && !hostfs::readHostAttributes(to, earlier)))
        return FsError::PermissionDenied;
    RunRecord::notePartialFolder(to.parent_path());
    const fs::path partial = to.parent_path() / hostfs::partialName();
    FsError result = copyBytes(from, partial);
    if (result == FsError::None) {
        struct stat st {};
        if (::stat(from.c_str(), &st) == 0) {
            const struct timespec times[2] = {st.st_atim, st.st_mtim};
            host::setTimesAt(AT_FDCWD, partial.c_str(), times);
        }
        if (!storeAttributes(to, bits | attr::Archive))
            result = FsError::PermissionDenied;
        else if (host::rename(partial.c_str(), to.c_str()) != 0) {
            result = FsError::PermissionDenied;
            if (existed)
                storeAttributes(to, earlier);
            else
                forgetAttributes(to);
        }
    }
    if (result != FsError::None)
        hostfs::removePartial(AT_FDCWD, partial.string());
    return result;
}

} // namespace

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
        unsigned bits = 0;
        if (!hostfs::readHostAttributes(to, bits) || (bits & attr::ReadOnly) || hostInUse(to))
            return FsError::PermissionDenied;
    }
    return copyThroughPartial(from, to);
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

FsError FileSystem::beginMove(std::string_view source, std::string_view destination, bool folders,
    FsError missing, FsError denied, Transfer& t) const
{
    if (const FsError began = beginTransfer(source, destination, folders, missing, denied, t);
        began != FsError::None)
        return began;
    return t.intoFolder ? planMovesInto(t) : FsError::None;
}

FsError FileSystem::moveAll(const std::vector<std::pair<fs::path, fs::path>>& plan)
{
    for (const auto& [from, to] : plan)
        if (const FsError err = moveOneFile(from, to); err != FsError::None)
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
    if (host::rename(from.c_str(), to.c_str()) != 0) {
        if (errno != EXDEV)
            return FsError::PermissionDenied;
        // Another host file system: copy, then remove the original.
        const FsError copied = fs::is_directory(from, ec) ? copyTree(from, to) : copyThroughPartial(from, to);
        if (copied != FsError::None)
            return copied;
        host::removeTreeAt(AT_FDCWD, from.c_str());
    }
    forgetAttributes(from);
    storeAttributes(to, bits);
    return FsError::None;
}

FsError FileSystem::moveFile(std::string_view source, std::string_view destination)
{
    Transfer job;
    if (const FsError began =
            beginMove(source, destination, false, FsError::FileNotFound, FsError::FileNotFound, job);
        began != FsError::None)
        return began;
    auto& [matches, dest, intoFolder, plan] = job;
    std::error_code ec;
    if (!intoFolder) {
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
    return moveAll(plan);
}

namespace {

// Where `name` lands in folder `to`: an entry there matches without regard to case, as the
// destination folder sees it.
fs::path targetIn(const fs::path& to, const std::string& name)
{
    fs::path dst = to / name;
    for (const auto& t : PathResolver::listHost(to))
        if (equalsNoCase(t.name, name))
            dst = to / t.name;
    return dst;
}

// Collects the conflicts of copying tree `from` onto `to` before anything is written.
FsError planTreeCopy(const fs::path& from, const fs::path& to, bool overwrite)
{
    std::error_code ec;
    for (const auto& e : PathResolver::listHost(from)) {
        const fs::path src = from / e.name;
        const fs::path dst = targetIn(to, e.name);
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
        if (host::makeFolderAt(AT_FDCWD, to.c_str(), 0777) != 0)
            return FsError::PermissionDenied;
        storeAttributes(to, hostAttributes(from));
    }
    for (const auto& e : PathResolver::listHost(from)) {
        const fs::path dst = targetIn(to, e.name);
        if (e.isFolder) {
            if (const FsError err = copyTree(from / e.name, dst); err != FsError::None)
                return err;
        } else {
            if (const FsError copied = copyThroughPartial(from / e.name, dst); copied != FsError::None)
                return copied;
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
    if (intoFolder && !dest.exists && host::makeFolderAt(AT_FDCWD, dest.host.c_str(), 0777) != 0)
        return FsError::PermissionDenied;
    for (const auto& [from, to] : plan)
        if (const FsError err = copyTree(from, to); err != FsError::None)
            return err;
    return FsError::None;
}

FsError FileSystem::moveFolder(std::string_view source, std::string_view destination)
{
    Transfer job;
    if (const FsError began =
            beginMove(source, destination, true, FsError::PathNotFound, FsError::PermissionDenied, job);
        began != FsError::None)
        return began;
    auto& [matches, dest, intoFolder, plan] = job;
    std::error_code ec;
    if (!intoFolder) {
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
    return moveAll(plan);
}

} // namespace platform
