// FileSystemHost.cpp: the sidecar attribute store and the host checks of the file-system object.
#include "platform/FileSystemHost.h"

#include "common/HostCalls.h"
#include "platform/HostFile.h"
#include "platform/PathResolver.h"
#include "platform/RunRecord.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

namespace platform::hostfs {

namespace fs = std::filesystem;
namespace host = common::hostcalls;

namespace {

constexpr unsigned kStoredBits = attr::ReadOnly | attr::Hidden | attr::System | attr::Archive;

using AttrMap = std::map<std::string, unsigned>; // exact host name -> stored bits

// A side file is read, changed and written again as a whole; copies beside the window change side
// files too, so no two changes of the process overlap.
std::mutex& sidecarMutex()
{
    static std::mutex mutex;
    return mutex;
}

// One line "name<TAB>bits" per entry.
AttrMap parseSidecar(const std::string& text)
{
    AttrMap map;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
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

std::string formatSidecar(const AttrMap& map)
{
    std::string text;
    for (const auto& [name, bits] : map)
        text += name + '\t' + std::to_string(bits) + '\n';
    return text;
}

// The side file `file` of the open host folder `folder` (or a full path, with AT_FDCWD). One that
// is no regular file, a link, or larger than any folder's attributes need is read as no side file:
// a pipe or a device planted there neither holds nor floods the caller. Nothing when it could not
// be read: what it holds is not known, and it must not be written over.
std::optional<AttrMap> readSidecarFile(int folder, const std::string& file)
{
    std::string bytes;
    const WinError read = readHostMetadataAt(folder, file.c_str(), bytes);
    if (read == WinError::ReadFault)
        return std::nullopt;
    return read == WinError::Success ? parseSidecar(bytes) : AttrMap{};
}

// Written under a fresh name and renamed (replaceHostFileAt): a link planted at a temporary name is
// never followed. An empty map removes the side file.
// False when it could not be written (it is then as it was).
bool writeSidecarFile(int folder, const std::string& file, const AttrMap& map)
{
    if (map.empty())
        return host::removeAt(folder, file.c_str()) == 0 || errno == ENOENT;
    return replaceHostFileAt(folder, file, formatSidecar(map)) == WinError::Success;
}

std::string sidecarPath(const fs::path& folder) { return (folder / std::string(kAttributeSidecar)).string(); }
std::optional<AttrMap> readSidecar(const fs::path& folder)
{
    return readSidecarFile(AT_FDCWD, sidecarPath(folder));
}
bool writeSidecar(const fs::path& folder, const AttrMap& map)
{
    return writeSidecarFile(AT_FDCWD, sidecarPath(folder), map);
}

unsigned defaultBits(bool isFolder) { return isFolder ? 0u : attr::Archive; }

} // namespace

bool readHostAttributes(const fs::path& p, unsigned& bits)
{
    std::error_code ec;
    const bool isFolder = fs::is_directory(p, ec);
    const std::optional<AttrMap> map = readSidecar(p.parent_path());
    const auto it = map ? map->find(p.filename().string()) : AttrMap::const_iterator{};
    bits = (map && it != map->end() ? it->second : defaultBits(isFolder)) | (isFolder ? attr::Directory : 0u);
    return map.has_value();
}

unsigned hostAttributes(const fs::path& p)
{
    unsigned bits = 0;
    readHostAttributes(p, bits);
    return bits;
}

bool storeAttributes(const fs::path& p, unsigned bits)
{
    const std::lock_guard<std::mutex> lock(sidecarMutex());
    std::error_code ec;
    const bool isFolder = fs::is_directory(p, ec);
    std::optional<AttrMap> read = readSidecar(p.parent_path());
    if (!read)
        return false;
    AttrMap& map = *read;
    bits &= kStoredBits;
    const std::string name = p.filename().string();
    if (bits == defaultBits(isFolder)) {
        if (map.erase(name) == 0)
            return true;
    } else if (const auto it = map.find(name); it != map.end() && it->second == bits) {
        return true;
    } else {
        map[name] = bits;
    }
    return writeSidecar(p.parent_path(), map);
}

void forgetAttributes(const fs::path& p)
{
    const std::lock_guard<std::mutex> lock(sidecarMutex());
    std::optional<AttrMap> map = readSidecar(p.parent_path());
    if (map && map->erase(p.filename().string()) != 0)
        writeSidecar(p.parent_path(), *map);
}

bool hostInUse(const fs::path& p)
{
    // Without waiting: a host pipe would otherwise hold the caller until someone writes to it.
    const int fd = host::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    host::close(fd);
    return busy;
}

namespace {

// treeBlocked for an entry whose stored bits are known.
// Each folder's sidecar is read once, however many entries it has.
FsError treeBlocked(const fs::path& p, bool force, unsigned bits)
{
    std::error_code ec;
    if (!force && (bits & attr::ReadOnly))
        return FsError::PermissionDenied;
    if (fs::is_directory(p, ec)) {
        const AttrMap map = readSidecar(p).value_or(AttrMap{});
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

} // namespace

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

std::string partialName(long pid) { return ":partial." + std::to_string(pid); }

std::string partialName() { return partialName(::getpid()); }

// Gives the complete copy `partial` in `folder` its name `name`; never replaces an entry that took the name meanwhile unless
// `replace` (an existing target checked before).
FsError takePartialName(int folder, const std::string& partial, const std::string& name, bool replace)
{
    if (replace)
        return host::renameAt(folder, partial.c_str(), folder, name.c_str()) == 0 ? FsError::None
                                                                                  : FsError::PermissionDenied;
    if (host::renameNoReplaceAt(folder, partial.c_str(), name.c_str()) == 0)
        return FsError::None;
    if (errno == EEXIST)
        return FsError::FileExists;
    if (errno != EINVAL)
        return FsError::PermissionDenied;
    // A host file system without the no-replace rename: look first.
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return FsError::FileExists;
    return host::renameAt(folder, partial.c_str(), folder, name.c_str()) == 0 ? FsError::None
                                                                              : FsError::PermissionDenied;
}

void removePartial(int folder, const std::string& name)
{
    if (host::removeAt(folder, name.c_str()) != 0 && errno != ENOENT)
        RunRecord::noteLeftBehind(folder, name);
}

std::string joinWin(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

FolderAttributes::FolderAttributes(const fs::path& folder)
    : m_stored(readSidecar(folder).value_or(AttrMap{}))
{}

unsigned FolderAttributes::of(const std::string& name, bool isFolder) const
{
    const auto it = m_stored.find(name);
    return (it == m_stored.end() ? defaultBits(isFolder) : it->second) | (isFolder ? attr::Directory : 0u);
}

std::optional<std::map<std::string, unsigned>> readSidecarAt(int folder)
{
    return readSidecarFile(folder, std::string(kAttributeSidecar));
}

bool storeAttributesAt(int folder, const std::map<std::string, unsigned>& changes)
{
    if (changes.empty())
        return true;
    const std::lock_guard<std::mutex> lock(sidecarMutex());
    std::optional<AttrMap> read = readSidecarFile(folder, std::string(kAttributeSidecar));
    if (!read)
        return false;
    AttrMap& map = *read;
    for (const auto& [name, bits] : changes) {
        if ((bits & kStoredBits) == defaultBits(false))
            map.erase(name);
        else
            map[name] = bits & kStoredBits;
    }
    return writeSidecarFile(folder, std::string(kAttributeSidecar), map);
}

int openCopySource(int folder, const char* name, struct stat& st, FsError& error)
{
    const int in = host::openAt(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) {
        error = errno == ENOENT || errno == ELOOP || errno == ENOTDIR ? FsError::FileNotFound
                                                                      : FsError::PermissionDenied;
        return -1;
    }
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        host::close(in);
        error = FsError::FileNotFound;
        return -1;
    }
    // The pipe case is ruled out: reads of a regular file wait as they always do. Of the status
    // flags F_SETFL changes, only O_NONBLOCK was set at the open.
    ::fcntl(in, F_SETFL, 0);
    return in;
}

FsError writeError(int error)
{
    return error == ENOSPC || error == EFBIG || error == EDQUOT ? FsError::DiskFull
                                                                : FsError::PermissionDenied;
}

DataCopy::DataCopy(int in, const struct stat& st, int out)
    : m_in(in)
    , m_out(out)
    , m_size(static_cast<std::uint64_t>(st.st_size))
    // A file that takes fewer blocks than its length has holes: only its data is copied. Any other
    // file is one piece of data, which spares looking for holes in every small file.
    , m_sparse(static_cast<std::uint64_t>(st.st_blocks) * 512 < m_size)
    , m_dataEnd(m_sparse ? 0 : m_size)
{}

// Finds the data after m_at (SEEK_DATA, SEEK_HOLE); false when only a hole remains up to m_size.
bool DataCopy::findData()
{
    const off_t data = ::lseek(m_in, static_cast<off_t>(m_at), SEEK_DATA);
    if (data < 0) {
        if (errno != ENXIO) {
            m_dataEnd = m_size; // a host that cannot tell: all of it is data
            return true;
        }
        m_at = m_size;
        return false;
    }
    const off_t hole = ::lseek(m_in, data, SEEK_HOLE);
    m_at = std::min(static_cast<std::uint64_t>(data), m_size);
    m_dataEnd = hole < 0 ? m_size : std::min(static_cast<std::uint64_t>(hole), m_size);
    return m_at < m_size;
}

bool DataCopy::copyPiece(std::uint64_t want)
{
    auto inAt = static_cast<off_t>(m_at);
    auto outAt = inAt;
    ssize_t n = -1;
    if (m_kernelCopy) {
        n = host::copyRangeAt(m_in, &inAt, m_out, &outAt, want);
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            m_kernelCopy = false;
            return true;
        }
    } else {
        m_buffer.resize(1 << 18);
        n = host::readAt(m_in, m_buffer.data(), std::min<std::uint64_t>(want, m_buffer.size()), inAt);
        for (ssize_t written = 0; n > 0 && written < n;) {
            const ssize_t w = host::writeAt(
                m_out, m_buffer.data() + written, static_cast<std::size_t>(n - written), outAt + written);
            if (w <= 0) {
                m_result = writeError(errno);
                return false;
            }
            written += w;
        }
    }
    if (n < 0 && errno == EINTR)
        return true;
    if (n < 0) {
        m_result = m_kernelCopy ? writeError(errno) : FsError::PermissionDenied;
        return false;
    }
    if (n == 0) {
        m_result = FsError::SourceChanged; // it ended before its size at the open
        return false;
    }
    m_at += static_cast<std::uint64_t>(n);
    return true;
}

bool DataCopy::step(std::uint64_t bytes)
{
    for (std::uint64_t done = 0; m_result == FsError::None && m_at < m_size && done < bytes;) {
        if (m_at >= m_dataEnd && !findData())
            break;
        const std::uint64_t before = m_at;
        if (!copyPiece(std::min(m_dataEnd - m_at, bytes - done)))
            break;
        done += m_at - before;
    }
    return m_result == FsError::None && m_at < m_size;
}

FsError DataCopy::finish()
{
    if (m_result != FsError::None)
        return m_result;
    if (m_at < m_size)
        return FsError::PermissionDenied; // stopped before the end
    // A hole at the end is the length the data does not reach.
    if (m_sparse && ::ftruncate(m_out, static_cast<off_t>(m_size)) != 0)
        return writeError(errno);
    struct stat now {};
    if (::fstat(m_in, &now) != 0 || static_cast<std::uint64_t>(now.st_size) != m_size)
        return FsError::SourceChanged;
    return FsError::None;
}

FsError copyFileData(int in, const struct stat& st, int out, const std::atomic<bool>* stop)
{
    // Pieces of a megabyte when the copy may be stopped, so that a stop is seen soon.
    const std::uint64_t piece = stop ? std::uint64_t{1} << 20 : ~std::uint64_t{0};
    DataCopy copy(in, st, out);
    while (!(stop && *stop) && copy.step(piece)) {}
    return copy.finish();
}

bool endsWithSeparator(std::string_view s) { return !s.empty() && (s.back() == '\\' || s.back() == '/'); }

} // namespace platform::hostfs
