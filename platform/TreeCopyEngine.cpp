// TreeCopyEngine.cpp: the folder-tree copy through open folders (openat, fstatat, getdents64
// relative to the folders the engine holds), one entry or one piece of a large file per step.
#include "platform/TreeCopyEngine.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/FileSystemHost.h"
#include "platform/PathResolver.h"
#include "platform/RunRecord.h"
#include "platform/ShortName.h"
#include "platform/WindowsName.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace host = common::hostcalls;

namespace {

// Above this many folders held open on each side, the walk lets go of the outer ones and opens
// them again through ".." of their child on the way back up, so a tree of any depth stays within
// the process's descriptor limit.
constexpr std::size_t kMaxOpenFrames = 96;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// New copies whose side-file lines are stored together, so that a folder of many read-only files
// does not rewrite its side file for each.
constexpr std::size_t kHeldCopies = 256;

// Opens the resolved top folder of a walk. A drive or share folder may itself be a host link (an
// emulated PC pointed at a real mounted disk); every folder below it is opened without following.
int openTop(const ResolvedPath& r)
{
    return host::open(r.host.c_str(), r.host == r.root ? kFolderFlags & ~O_NOFOLLOW : kFolderFlags);
}

// A Windows path without closing separators ("Z:\" gives "Z:", "\\PC\C$\Data\" gives "\\PC\C$\Data").
std::string withoutClosingSeparator(std::string_view path)
{
    std::string text(path);
    while (text.size() > 2 && (text.back() == '\\' || text.back() == '/'))
        text.pop_back();
    return text;
}

// Reads the next part of an open folder's entries (one buffer of getdents64) and hands each entry
// but "." and ".." to `take(name, type)` (DT_DIR, DT_REG, DT_LNK ...). 1 when more may follow, 0
// at the end, -1 when the folder cannot be read.
template <typename Take> int readSome(int folder, Take&& take)
{
    alignas(8) char buffer[65536];
    ssize_t n = 0;
    do
        n = host::listFolder(folder, buffer, sizeof buffer);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        return n < 0 ? -1 : 0;
    for (ssize_t at = 0; at < n;) {
        const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
        at += d->d_reclen;
        const std::string_view name(d->d_name);
        if (name == "." || name == "..")
            continue;
        unsigned char type = d->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(folder, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
        }
        take(name, type);
    }
    return 1;
}

// Whether the open folder's entry is held by someone (a lock on it): it must not be replaced.
bool inUseAt(int folder, const std::string& name)
{
    const int fd = host::openAt(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    host::close(fd);
    return busy;
}

// The entry of a destination folder whose short name a new entry's name `name` is ("PROGRA~1"
// beside "Program Files"); "" when none. Written under that name, it would take the place of the
// other entry for every path that names it short.
std::string shortNameOwner(
    const std::unordered_map<std::string, std::pair<std::string, bool>>& taken, const std::string& name)
{
    if (name.find('~') == std::string::npos || !isShortName(name) || taken.count(foldCase(name)) != 0)
        return {};
    std::vector<std::string> names;
    names.reserve(taken.size());
    for (const auto& entry : taken)
        names.push_back(entry.second.first);
    const std::optional<std::size_t> at = findByShortName(names, name);
    return at ? names[*at] : std::string();
}

} // namespace

struct TreeCopyEngine::Frame {
    int src = -1;
    int dst = -1;
    struct stat srcId {}; // device and inode, to recognise the folder when it is opened again
    struct stat dstId {};
    std::string srcPath; // Windows paths without a closing "\"
    std::string dstPath;
    // The listings are read in parts, the source's first, then (when it existed before the walk)
    // the destination's; the folder's entries are taken up only when both are complete.
    enum class Phase { Source, Destination, Ready };
    Phase phase = Phase::Source;
    bool destinationExisted = false;
    bool srcHasSidecar = false;
    bool dstHasSidecar = false;
    bool partialNoted = false; // the run record knows copies are written here
    bool named = false;        // its files are the options' named files
    // The destination's entries are looked up one by one under the named targets' spellings, and
    // listed whole only once a name is not there as spelt (named files into an existing folder).
    bool lookUpTargets = false;
    ListingNameFilter names; // while the source is listed
    std::vector<ListedName> files;
    std::vector<std::string> folders;
    std::vector<LeftOutName> leftOut; // source entries the listing rule left out
    std::size_t nextLeftOut = 0;
    std::size_t nextFile = 0;
    std::size_t nextFolder = 0;
    std::map<std::string, unsigned> srcAttributes; // stored bits by host name
    std::map<std::string, unsigned> dstAttributes;
    // False when a side file is there but could not be read or the destination could not be listed:
    // no file of the folder is then copied, as its attributes or its target (read-only or not,
    // there or not) cannot be known.
    bool known = true;
    // New copies that took their names but whose side-file lines are not stored yet: they are told
    // (copied, or failed and removed when the lines could not be stored) once the lines are.
    std::map<std::string, unsigned> dstChanges;
    std::vector<TreeStep> held;
    // The destination's entries by folded name: stored spelling and whether each is a folder.
    std::unordered_map<std::string, std::pair<std::string, bool>> taken;

    bool isOpen() const { return src >= 0 && dst >= 0; }
    void closeFolders()
    {
        if (src >= 0)
            host::close(src);
        if (dst >= 0)
            host::close(dst);
        src = dst = -1;
    }
    ~Frame() { closeFolders(); }
};

// The file under way: a small one within its step, a large one over several (a piece each).
struct TreeCopyEngine::Current {
    int in = -1;
    int out = -1;
    struct stat st {};
    std::string name;
    std::string target;
    std::string folded; // of the name and the target alike
    bool replace = false;
    bool large = false;
    std::unique_ptr<hostfs::DataCopy> data;
};

namespace {

// The name the copies of one engine are written under (the process's partial name and a number of
// the engine's own, so that engines beside each other never share one).
std::string enginePartialName()
{
    static std::atomic<unsigned> count{0};
    return hostfs::partialName() + "." + std::to_string(++count);
}

} // namespace

TreeCopyEngine::TreeCopyEngine(TreeCopyOptions options)
    : m_options(std::move(options))
    , m_partial(enginePartialName())
{}

TreeCopyEngine::~TreeCopyEngine() { close(); }

bool TreeCopyEngine::done() const { return m_frames.empty() && !m_current && m_told.empty(); }

void TreeCopyEngine::close()
{
    if (m_current && !m_frames.empty()) {
        host::close(m_current->in);
        host::close(m_current->out);
        hostfs::removePartial(m_frames.back()->dst, m_partial);
    }
    m_current.reset();
    if (!m_frames.empty())
        storeHeld(*m_frames.back());
    m_told.clear();
    while (!m_frames.empty())
        m_frames.pop_back();
}

// Stores the side-file lines of the frame's held copies and tells them: copied, or, when the lines
// could not be stored, removed again and failed.
void TreeCopyEngine::storeHeld(Frame& f)
{
    if (f.held.empty())
        return;
    const bool stored = hostfs::storeAttributesAt(f.dst, f.dstChanges);
    for (TreeStep& s : f.held) {
        if (stored) {
            f.dstAttributes[s.targetName] = f.dstChanges[s.targetName];
        } else {
            host::removeAt(f.dst, s.targetName.c_str(), 0);
            f.taken.erase(foldCase(s.targetName));
            s.kind = TreeStepKind::FileFailed;
            s.error = FsError::PermissionDenied;
        }
        m_told.push_back(std::move(s));
    }
    f.held.clear();
    f.dstChanges.clear();
}

void TreeCopyEngine::readAttributes(Frame& f, int folder, std::map<std::string, unsigned>& into)
{
    std::optional<std::map<std::string, unsigned>> read = hostfs::readSidecarAt(folder);
    f.known = f.known && read.has_value();
    into = std::move(read).value_or(std::map<std::string, unsigned>{});
}

namespace {

// A destination entry takes its name (the layer's own files, whose names begin with ":", take none).
void takeTarget(std::unordered_map<std::string, std::pair<std::string, bool>>& taken, std::string_view name,
    unsigned char type)
{
    if (name.front() != ':')
        taken.emplace(foldCase(name), std::make_pair(std::string(name), type == DT_DIR));
}

} // namespace

// Lists one part of the frame's folders. The source's entries go through ListingNameFilter as every
// listing of the layer does: only names Windows could hold, and of names equal but for case only the
// first in listing order (the smaller by bytes); the rest is left out and told. False when the
// source folder cannot be read.
bool TreeCopyEngine::listSome(Frame& f)
{
    using Phase = Frame::Phase;
    if (f.phase == Phase::Source) {
        const int read = readSome(f.src, [&f](std::string_view name, unsigned char type) {
            f.srcHasSidecar = f.srcHasSidecar || name == kAttributeSidecar;
            // Host links are no part of an emulated drive.
            if (type != DT_LNK)
                f.names.take(name, type == DT_DIR);
        });
        if (read < 0)
            return false;
        if (read == 0) {
            // Sub-folders are taken up in listing order (case-insensitive: the folded names byte by
            // byte); files in the order the host lists them, which spares sorting large folders.
            // The files stay where the listing put them (a folder of 100,000 files moved into a
            // growing list held the window up); only the folders are moved out.
            f.files = f.names.takeKept();
            std::vector<ListedName> folders;
            std::size_t kept = 0;
            for (std::size_t i = 0; i < f.files.size(); ++i) {
                if (f.files[i].isFolder)
                    folders.push_back(std::move(f.files[i]));
                else if (i != kept++)
                    f.files[kept - 1] = std::move(f.files[i]);
            }
            f.files.erase(f.files.begin() + static_cast<std::ptrdiff_t>(kept), f.files.end());
            std::sort(folders.begin(), folders.end(), [](const ListedName& a, const ListedName& b) {
                return a.folded != b.folded ? a.folded < b.folded : a.name < b.name;
            });
            for (ListedName& e : folders)
                f.folders.push_back(std::move(e.name));
            f.leftOut = std::move(f.names.leftOut());
            f.names = {};
            if (f.srcHasSidecar)
                readAttributes(f, f.src, f.srcAttributes);
            f.phase = f.destinationExisted ? Phase::Destination : Phase::Ready;
        }
        return true;
    }
    // Every entry of the destination takes its name, host links included: a copy is never written
    // through one.
    const int read = readSome(f.dst, [&f](std::string_view name, unsigned char type) {
        f.dstHasSidecar = f.dstHasSidecar || name == kAttributeSidecar;
        takeTarget(f.taken, name, type);
    });
    if (read <= 0) {
        f.known = f.known && read == 0;
        if (f.dstHasSidecar)
            readAttributes(f, f.dst, f.dstAttributes);
        f.phase = Frame::Phase::Ready;
    }
    return true;
}

FsError TreeCopyEngine::open(FileSystem& fileSystem, std::string_view source, std::string_view destination)
{
    close();
    const ResolvedPath from = fileSystem.resolver().resolve(source);
    if (!from.ok() || !from.exists)
        return FsError::PathNotFound;
    ResolvedPath to = fileSystem.resolver().resolve(destination);
    bool existed = to.ok() && to.exists;
    if (to.ok() && !to.exists) {
        const WinError made = fileSystem.makeSurePathExists(std::string(destination) + "\\");
        if (made != WinError::Success)
            return made == WinError::DiskFull ? FsError::DiskFull : FsError::PathFileAccess;
        to = fileSystem.resolver().resolve(destination);
    }
    auto frame = std::make_unique<Frame>();
    frame->src = openTop(from);
    if (frame->src < 0)
        return FsError::PathNotFound;
    frame->dst = to.ok() && to.exists ? openTop(to) : -1;
    if (frame->dst < 0)
        return FsError::PathFileAccess;
    ::fstat(frame->src, &frame->srcId);
    ::fstat(frame->dst, &frame->dstId);
    frame->srcPath = withoutClosingSeparator(source);
    frame->dstPath = withoutClosingSeparator(destination);
    frame->destinationExisted = existed;
    if (!m_options.files.empty())
        takeNamedFiles(*frame);
    else if (!listSome(*frame))
        return FsError::PathNotFound;
    m_frames.push_back(std::move(frame));
    return FsError::None;
}

// The files named in the options stand in for the source's listing (they are taken up from the
// options one by one, so that opening the walk over many thousand names stays short). An existing
// target is still found without regard to case: each target is looked up under its own spelling,
// and the destination listed whole only when one is not there as spelt (a file rewritten in a
// folder of many thousand then costs a look-up, not a listing).
void TreeCopyEngine::takeNamedFiles(Frame& f)
{
    f.named = true;
    f.taken.reserve(m_options.files.size());
    struct stat st {};
    if (::fstatat(f.src, std::string(kAttributeSidecar).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        readAttributes(f, f.src, f.srcAttributes);
    f.lookUpTargets = f.destinationExisted;
    if (f.lookUpTargets &&
        ::fstatat(f.dst, std::string(kAttributeSidecar).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        readAttributes(f, f.dst, f.dstAttributes);
    f.phase = Frame::Phase::Ready;
}

void TreeCopyEngine::lookUpTarget(Frame& f, const std::string& target, const std::string& folded)
{
    if (f.taken.count(folded) != 0)
        return;
    struct stat st {};
    if (::fstatat(f.dst, target.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        f.taken.emplace(folded, std::make_pair(target, S_ISDIR(st.st_mode)));
        return;
    }
    listTargets(f); // perhaps there under another spelling
}

// Lists the destination of a named frame whole, once.
void TreeCopyEngine::listTargets(Frame& f)
{
    f.lookUpTargets = false;
    int read = 0;
    do
        read = readSome(
            f.dst, [&f](std::string_view name, unsigned char type) { takeTarget(f.taken, name, type); });
    while (read > 0);
    f.known = f.known && read == 0;
}

TreeStep TreeCopyEngine::stepOf(TreeStepKind kind, const Frame& frame, std::string name, FsError error) const
{
    TreeStep s;
    s.kind = kind;
    s.error = error;
    s.sourceFolder = frame.srcPath;
    s.destFolder = frame.dstPath;
    s.targetName = name;
    s.name = std::move(name);
    return s;
}

TreeStep TreeCopyEngine::step()
{
    if (!m_told.empty()) {
        TreeStep s = std::move(m_told.front());
        m_told.pop_front();
        return s;
    }
    if (m_current)
        return continueFile();
    while (!m_frames.empty()) {
        Frame& frame = *m_frames.back();
        if (frame.phase != Frame::Phase::Ready) {
            if (listSome(frame))
                return stepOf(TreeStepKind::Working, frame);
            frame.phase = Frame::Phase::Ready;
            frame.names = {};
            return stepOf(TreeStepKind::SourceLost, frame);
        }
        if (frame.nextLeftOut < frame.leftOut.size()) {
            const LeftOutName& left = frame.leftOut[frame.nextLeftOut++];
            TreeStep s = stepOf(TreeStepKind::LeftOut, frame, left.name);
            s.fault = left.fault;
            return s;
        }
        if (frame.nextFile < frame.files.size()) {
            const ListedName& file = frame.files[frame.nextFile++];
            if (m_options.leaveOut && m_options.leaveOut(file.name))
                continue;
            return startFile(frame, file.name, file.name, file.folded);
        }
        if (frame.named && frame.nextFile < m_options.files.size()) {
            const std::size_t at = frame.nextFile++;
            const std::string& name = m_options.files[at];
            if (m_options.leaveOut && m_options.leaveOut(name))
                continue;
            const std::string& target = at < m_options.targets.size() ? m_options.targets[at] : name;
            std::string folded = foldCase(target);
            if (frame.lookUpTargets)
                lookUpTarget(frame, target, folded);
            return startFile(frame, name, target, folded);
        }
        if (!frame.held.empty()) {
            storeHeld(frame);
            return step();
        }
        if (m_options.recurse && frame.nextFolder < frame.folders.size()) {
            TreeStep entered = enterFolder(frame, frame.folders[frame.nextFolder++]);
            if (entered.kind != TreeStepKind::Done)
                return entered;
            continue;
        }
        TreeStep lost;
        if (!leaveFolder(lost))
            return lost;
    }
    return {};
}

// A Refused step when the refuse rule keeps `name` from `destName` in the frame's destination; else
// Done (nothing to tell).
TreeStep TreeCopyEngine::refusedStep(
    const Frame& frame, const std::string& name, const std::string& destName, bool folder) const
{
    std::string why;
    if (const std::string owner = shortNameOwner(frame.taken, destName); !owner.empty())
        why = "the short name of \"" + owner + "\" here";
    else if (m_options.refuse)
        why = m_options.refuse(hostfs::joinWin(frame.dstPath, destName), folder);
    if (why.empty())
        return {};
    TreeStep s = stepOf(TreeStepKind::Refused, frame, name);
    s.targetName = destName;
    s.why = std::move(why);
    return s;
}

// Enters the sub-folder `name` of `parent`; Done (nothing to tell) when its rules leave it out.
TreeStep TreeCopyEngine::enterFolder(Frame& parent, const std::string& name)
{
    const std::string destName =
        m_options.folderName ? m_options.folderName(parent.srcPath + "\\", name) : name;
    if (destName.empty())
        return {};
    if (m_options.maxPath != 0 && parent.dstPath.size() + 1 + destName.size() > m_options.maxPath)
        return stepOf(TreeStepKind::TooLong, parent, name);
    if (TreeStep refused = refusedStep(parent, name, destName, true); refused.kind == TreeStepKind::Refused)
        return refused;
    auto frame = std::make_unique<Frame>();
    frame->srcPath = hostfs::joinWin(parent.srcPath, name);
    frame->dstPath = hostfs::joinWin(parent.dstPath, destName);
    frame->src = host::openAt(parent.src, name.c_str(), kFolderFlags);
    if (frame->src < 0)
        return stepOf(errno == ENOENT ? TreeStepKind::SourceLost : TreeStepKind::FolderBlocked, parent, name,
            FsError::PathNotFound);
    const std::string folded = foldCase(destName);
    const auto found = parent.taken.find(folded);
    bool existed = found != parent.taken.end();
    if (existed && !found->second.second)
        return stepOf(TreeStepKind::FolderBlocked, parent, name, FsError::PathFileAccess);
    const std::string stored = existed ? found->second.first : destName;
    if (!existed) {
        if (host::makeFolderAt(parent.dst, stored.c_str(), 0777) != 0) {
            if (errno != EEXIST)
                return stepOf(TreeStepKind::FolderBlocked, parent, name, hostfs::writeError(errno));
            existed = true; // made meanwhile by someone else
        }
        parent.taken.emplace(folded, std::make_pair(stored, true));
    }
    frame->dst = host::openAt(parent.dst, stored.c_str(), kFolderFlags);
    if (frame->dst < 0)
        return stepOf(TreeStepKind::FolderBlocked, parent, name, FsError::PathFileAccess);
    frame->dstPath = hostfs::joinWin(parent.dstPath, stored);
    ::fstat(frame->src, &frame->srcId);
    ::fstat(frame->dst, &frame->dstId);
    frame->destinationExisted = existed;
    if (!listSome(*frame))
        return stepOf(TreeStepKind::SourceLost, parent, name, FsError::PathNotFound);
    m_frames.push_back(std::move(frame));
    keepOpenBounded();
    TreeStep entered = stepOf(TreeStepKind::FolderEntered, *m_frames.back());
    entered.made = !existed;
    return entered;
}

void TreeCopyEngine::keepOpenBounded()
{
    if (m_frames.size() > kMaxOpenFrames)
        m_frames[m_frames.size() - 1 - kMaxOpenFrames]->closeFolders();
}

// Leaves the innermost folder. False with `lost` when the source folder went away under the walk.
bool TreeCopyEngine::leaveFolder(TreeStep& lost)
{
    std::unique_ptr<Frame> done = std::move(m_frames.back());
    m_frames.pop_back();
    struct stat now {};
    const bool gone = ::fstat(done->src, &now) != 0 || now.st_nlink == 0;
    if (!m_frames.empty() && !m_frames.back()->isOpen()) {
        // Opened again through the child, and checked to be the folder it was.
        Frame& parent = *m_frames.back();
        parent.src = host::openAt(done->src, "..", kFolderFlags);
        parent.dst = host::openAt(done->dst, "..", kFolderFlags);
        struct stat s {
        }, d{};
        if (parent.src < 0 || parent.dst < 0 || ::fstat(parent.src, &s) != 0 ||
            ::fstat(parent.dst, &d) != 0 || s.st_ino != parent.srcId.st_ino ||
            s.st_dev != parent.srcId.st_dev || d.st_ino != parent.dstId.st_ino ||
            d.st_dev != parent.dstId.st_dev) {
            parent.closeFolders();
            parent.nextFile = parent.files.size();
            parent.nextFolder = parent.folders.size();
            lost = stepOf(TreeStepKind::SourceLost, parent);
            m_frames.pop_back();
            return false;
        }
    }
    if (gone)
        lost = stepOf(TreeStepKind::SourceLost, *done);
    return !gone;
}

// `target` is the name the file takes at the destination (its own but for a named file renamed),
// `folded` the target's folded name.
TreeStep TreeCopyEngine::startFile(
    Frame& frame, const std::string& name, const std::string& target, const std::string& folded)
{
    if (m_options.maxPath != 0 && frame.dstPath.size() + 1 + target.size() > m_options.maxPath)
        return stepOf(TreeStepKind::TooLong, frame, name);
    const auto found = frame.taken.find(folded);
    if (TreeStep refused =
            refusedStep(frame, name, found != frame.taken.end() ? found->second.first : target, false);
        refused.kind == TreeStepKind::Refused)
        return refused;
    auto current = std::make_unique<Current>();
    current->name = name;
    current->target = target;
    current->folded = folded;
    if (found != frame.taken.end()) {
        current->target = found->second.first;
        TreeStep s = stepOf(TreeStepKind::FileExists, frame, name);
        s.targetName = current->target;
        if (!m_options.overwrite)
            return s;
        const auto bits = frame.dstAttributes.find(current->target);
        if (found->second.second || !frame.known ||
            (bits != frame.dstAttributes.end() && (bits->second & attr::ReadOnly)) ||
            inUseAt(frame.dst, current->target)) {
            s.kind = TreeStepKind::FileFailed;
            s.error = FsError::PermissionDenied;
            return s;
        }
        current->replace = true;
    }
    if (!frame.known)
        return stepOf(TreeStepKind::FileFailed, frame, name, FsError::PermissionDenied);
    // The source is opened once: its lock check (a holder has it in use), its size and times and
    // its data all come from this descriptor. Only a regular file is taken, never through a link.
    FsError error = FsError::None;
    current->in = hostfs::openCopySource(frame.src, name.c_str(), current->st, error);
    if (current->in < 0)
        return stepOf(TreeStepKind::FileFailed, frame, name, error);
    if (::flock(current->in, LOCK_SH | LOCK_NB) != 0)
        error = FsError::PermissionDenied;
    if (error == FsError::None) {
        constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        const mode_t mode = current->st.st_mode & 0777;
        if (!frame.partialNoted)
            RunRecord::notePartialFolder(frame.dst);
        frame.partialNoted = true;
        current->out = host::openAt(frame.dst, m_partial.c_str(), kFlags, mode);
        // Only a copy cut short by a crash leaves the partial name behind.
        if (current->out < 0 && errno == EEXIST && host::removeAt(frame.dst, m_partial.c_str(), 0) == 0)
            current->out = host::openAt(frame.dst, m_partial.c_str(), kFlags, mode);
        if (current->out < 0)
            error = hostfs::writeError(errno);
    }
    if (error != FsError::None) {
        host::close(current->in);
        return stepOf(TreeStepKind::FileFailed, frame, name, error);
    }
    current->data = std::make_unique<hostfs::DataCopy>(current->in, current->st, current->out);
    current->large = static_cast<std::uint64_t>(current->st.st_size) > m_options.chunkBytes;
    m_current = std::move(current);
    if (!m_current->large)
        return continueFile();
    return stepOf(TreeStepKind::Working, frame, name);
}

TreeStep TreeCopyEngine::continueFile()
{
    Current& c = *m_current;
    if (c.data->step(c.large ? m_options.chunkBytes : ~std::uint64_t{0}))
        return stepOf(TreeStepKind::Working, *m_frames.back(), c.name);
    return finishFile(c.data->finish());
}

TreeStep TreeCopyEngine::finishFile(FsError result)
{
    const std::unique_ptr<Current> c = std::move(m_current);
    Frame& frame = *m_frames.back();
    const struct timespec times[2] = {c->st.st_atim, c->st.st_mtim};
    if (result == FsError::None && host::setTimes(c->out, times) != 0)
        result = FsError::PermissionDenied;
    if (host::close(c->out) != 0 && result == FsError::None)
        result = hostfs::writeError(errno);
    host::close(c->in);
    // A line in the side file only for bits other than the default, or to replace a line an
    // earlier file of that name left. A copy replacing a target stores it before it takes the name
    // (put back when the rename fails); a new one is held until the lines are stored.
    const auto sourceBits = frame.srcAttributes.find(c->name);
    const unsigned bits = (sourceBits == frame.srcAttributes.end() ? 0u : sourceBits->second) | attr::Archive;
    const auto targetBits = frame.dstAttributes.find(c->target);
    const unsigned earlier = targetBits == frame.dstAttributes.end() ? attr::Archive : targetBits->second;
    const bool line = bits != attr::Archive || targetBits != frame.dstAttributes.end();
    const bool storeFirst = line && c->replace;
    if (result == FsError::None && storeFirst && !hostfs::storeAttributesAt(frame.dst, {{c->target, bits}}))
        result = FsError::PermissionDenied;
    if (result == FsError::None) {
        result = hostfs::takePartialName(frame.dst, m_partial, c->target, c->replace);
        if (result != FsError::None && storeFirst)
            hostfs::storeAttributesAt(frame.dst, {{c->target, earlier}});
    }
    if (result != FsError::None) {
        hostfs::removePartial(frame.dst, m_partial);
        TreeStep s =
            stepOf(result == FsError::FileExists ? TreeStepKind::FileExists : TreeStepKind::FileFailed, frame,
                c->name, result == FsError::FileExists ? FsError::None : result);
        s.targetName = c->target;
        return s;
    }
    if (!c->replace)
        frame.taken.emplace(std::move(c->folded), std::make_pair(c->target, false));
    TreeStep s = stepOf(TreeStepKind::FileCopied, frame, c->name);
    s.targetName = c->target;
    if (storeFirst)
        frame.dstAttributes[c->target] = bits;
    if (!line || storeFirst)
        return s;
    frame.dstChanges[c->target] = bits;
    frame.held.push_back(std::move(s));
    if (frame.held.size() >= kHeldCopies) {
        storeHeld(frame);
        return step();
    }
    return stepOf(TreeStepKind::Working, frame, c->name);
}

} // namespace platform
