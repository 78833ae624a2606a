// FolderRead.cpp: reading one folder's entries, opening roots and subfolders, and the kernel file
// systems that scans pass over.
#include "foldersize/scanner/FolderRead.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "foldersize/scanner/FolderNode.h"

namespace foldersize {
namespace {

void markUnreadable(FolderListing& out, int error)
{
    if (out.readable)
        out.error = error != 0 ? error : EIO;
    out.readable = false;
}

} // namespace

bool isPseudoFileSystem(int fd)
{
    struct statfs sfs {};
    if (::fstatfs(fd, &sfs) != 0)
        return false;
    switch (static_cast<unsigned long>(sfs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case 0x19800202: // mqueue
    case BINFMTFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case NSFS_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
        return true;
    default: return false;
    }
}

void sortSubfolders(FolderListing& listing)
{
    std::sort(listing.subfolders.begin(), listing.subfolders.end(),
        [](const FolderListing::Subfolder& a, const FolderListing::Subfolder& b) { return a.name < b.name; });
}

FolderEntryReader::FolderEntryReader()
    : m_buffer(kFolderBufferSize)
{}

bool FolderEntryReader::read(int fd, FolderListing& out, int& budget, const std::atomic<bool>* cancel)
{
    bool end = fd < 0;
    if (end && out.readable)
        markUnreadable(out, 0);
    while (!end && budget > 0) {
        if (m_pos >= m_len) {
            const ssize_t n = ::getdents64(fd, m_buffer.data(), m_buffer.size());
            if (n <= 0) {
                // The folder vanished or cannot be read: what was read so far stays counted.
                if (n < 0)
                    markUnreadable(out, errno);
                end = true;
                break;
            }
            m_pos = 0;
            m_len = static_cast<std::size_t>(n);
        }
        const auto* d = reinterpret_cast<const struct dirent64*>(m_buffer.data() + m_pos);
        m_pos += d->d_reclen;
        --budget;
        if (isDotOrDotDot(d->d_name))
            continue;
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            end = true;
            break;
        }
        add(fd, d->d_name, out);
    }
    if (!end)
        return true;
    reset();
    sortSubfolders(out);
    return false;
}

void FolderEntryReader::add(int fd, const char* name, FolderListing& out)
{
    ++out.entries;
    struct stat st {};
    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        // Vanished between listing and looking: it adds nothing. Listed but not to be looked at
        // (no search right on the folder): the folder's content is unknown.
        if (errno != ENOENT && out.readable) {
            markUnreadable(out, errno);
            out.failedEntry = name;
        }
        return;
    }
    const auto size = static_cast<std::uint64_t>(st.st_size < 0 ? 0 : st.st_size);
    if (S_ISDIR(st.st_mode)) {
        out.folderEntryBytes += size;
        out.subfolders.push_back({name, {st.st_dev, st.st_ino}, nullptr, {}});
    } else if (st.st_nlink > 1) {
        out.linkedFiles.push_back({{st.st_dev, st.st_ino}, size});
    } else {
        // Every other entry is a file: regular files, links, devices, sockets, pipes.
        out.ownBytes = addSaturated(out.ownBytes, size);
        ++out.ownFiles;
    }
}

int openBelow(int dirFd, const std::string& name)
{
    return dirFd < 0 ? -1 : ::openat(dirFd, name.c_str(), kFolderOpenFlags | O_NOFOLLOW);
}

ScanRoot openScanRoot(const std::string& path)
{
    ScanRoot root;
    FolderListing& out = *root.listing;
    int fd = ::open(path.c_str(), kFolderOpenFlags);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        markUnreadable(out, errno);
        if (fd >= 0)
            ::close(fd);
        // Closed to us, yet its own entry is there to be counted (as its parent's walk would).
        else if (::stat(path.c_str(), &st) == 0)
            out.folderEntryBytes += static_cast<std::uint64_t>(st.st_size < 0 ? 0 : st.st_size);
        return root;
    }
    root.id = {st.st_dev, st.st_ino};
    out.folderEntryBytes += static_cast<std::uint64_t>(st.st_size < 0 ? 0 : st.st_size);
    if (isPseudoFileSystem(fd)) {
        ::close(fd);
        out.pseudo = true;
        return root;
    }
    root.fd = fd;
    return root;
}

int admitSubfolder(int fd, dev_t parentDev, FileId id, FolderListing& out)
{
    if (fd < 0) {
        // No access, or gone: the folder holds nothing the scan can see.
        markUnreadable(out, errno);
        return -1;
    }
    if (id.first != parentDev && isPseudoFileSystem(fd)) {
        ::close(fd);
        out.pseudo = true;
        return -1;
    }
    return fd;
}

} // namespace foldersize
