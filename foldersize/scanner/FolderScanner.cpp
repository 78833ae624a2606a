// FolderScanner.cpp: the folder walk with openat/fstatat/getdents64, an explicit stack and a
// bounded number of open folder handles.
#include "foldersize/scanner/FolderScanner.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldersize {
namespace {

// Open folder handles kept on the way down; deeper trees reopen their ancestors when needed.
constexpr std::size_t kMaxOpenFolders = 128;
constexpr int kOpenFlags = kFolderOpenFlags;

} // namespace

FolderScanner::FolderScanner(FolderNode* root)
    : m_root(root)
{
    m_buffer.resize(kFolderBufferSize);
    Frame f;
    f.node = root;
    root->state = ScanState::Created;
    ++m_stats.folders;
    // The root is opened as named; a link given by the user is followed once.
    std::string path = root->name();
    f.fd = ::open(path.c_str(), kOpenFlags);
    struct stat st {};
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0) {
        root->readable = false;
        ++m_stats.unreadableFolders;
        f.reading = false;
        if (f.fd >= 0)
            ::close(f.fd);
        f.fd = -1;
    } else {
        f.dev = st.st_dev;
        f.ino = st.st_ino;
        m_stats.folderEntryBytes += static_cast<std::uint64_t>(st.st_size);
        m_seenFolders.insert({st.st_dev, st.st_ino});
        if (isPseudoFileSystem(f.fd)) {
            ++m_stats.skippedPseudo;
            ::close(f.fd);
            f.fd = -1;
            f.reading = false;
        }
    }
    m_stack.push_back(std::move(f));
}

FolderScanner::~FolderScanner()
{
    for (Frame& f : m_stack)
        if (f.fd >= 0)
            ::close(f.fd);
}

std::string FolderScanner::currentFolder() const
{
    return m_stack.empty() ? std::string() : m_stack.back().node->path();
}

bool FolderScanner::step(int budget)
{
    while (budget-- > 0 && !m_stack.empty()) {
        Frame& f = m_stack.back();
        if (f.reading) {
            if (!readOne(f))
                finishReading(f);
        } else if (f.nextChild < f.children.size()) {
            enterNextChild(f);
        } else {
            leaveFolder();
        }
    }
    return !m_stack.empty();
}

// Reads one entry of the top folder. Returns false at the end of the folder.
bool FolderScanner::readOne(Frame& f)
{
    if (m_bufPos >= m_bufLen) {
        const int fd = frameFd(m_stack.size() - 1);
        const ssize_t n = fd < 0 ? -1 : ::getdents64(fd, m_buffer.data(), m_buffer.size());
        if (n <= 0) {
            if (n < 0) {
                // The folder vanished or cannot be read: what was read so far stays counted.
                f.node->readable = false;
                ++m_stats.unreadableFolders;
            }
            m_bufPos = m_bufLen = 0;
            return false;
        }
        m_bufPos = 0;
        m_bufLen = static_cast<std::size_t>(n);
    }
    const auto* d = reinterpret_cast<const struct dirent64*>(m_buffer.data() + m_bufPos);
    m_bufPos += d->d_reclen;
    const char* name = d->d_name;
    if (isDotOrDotDot(name))
        return true;
    ++m_stats.entries;
    struct stat st {};
    if (::fstatat(f.fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return true; // vanished between listing and looking: it adds nothing
    if (S_ISDIR(st.st_mode)) {
        m_stats.folderEntryBytes += static_cast<std::uint64_t>(st.st_size);
        // A folder reached twice (a bind mount) is measured once only.
        if (!m_seenFolders.insert({st.st_dev, st.st_ino}).second) {
            ++m_stats.skippedRepeats;
            return true;
        }
        FolderNode* child = f.node->addChild(name);
        ++m_stats.folders;
        f.children.push_back({child, st.st_dev, st.st_ino});
        return true;
    }
    // Every other entry is a file: regular files, links, devices, sockets, pipes. A file with
    // several hard links counts once, where it is met first.
    if (st.st_nlink > 1 && !m_seenLinkedFiles.insert({st.st_dev, st.st_ino}).second) {
        ++m_stats.skippedRepeats;
        return true;
    }
    f.node->ownBytes = addSaturated(f.node->ownBytes, static_cast<std::uint64_t>(st.st_size));
    ++f.node->ownFiles;
    return true;
}

void FolderScanner::finishReading(Frame& f)
{
    f.reading = false;
    f.node->sortChildren();
    std::sort(f.children.begin(), f.children.end(),
        [](const PendingChild& a, const PendingChild& b) { return a.node->row() < b.node->row(); });
}

int FolderScanner::frameFd(std::size_t index)
{
    if (m_stack[index].fd >= 0 || index == 0)
        return m_stack[index].fd;
    // Walk down from the nearest open ancestor, keeping only the last handles open.
    std::size_t j = index;
    while (j > 0 && m_stack[j].fd < 0)
        --j;
    if (m_stack[j].fd < 0)
        return -1;
    for (std::size_t k = j + 1; k <= index; ++k) {
        Frame& f = m_stack[k];
        const int fd = ::openat(m_stack[k - 1].fd, f.node->name().c_str(), kOpenFlags | O_NOFOLLOW);
        struct stat st {};
        // Only the very folder measured before may be taken up again.
        if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_dev != f.dev || st.st_ino != f.ino)) {
            ::close(fd);
            return -1;
        }
        if (fd < 0)
            return -1;
        f.fd = fd;
        Frame& above = m_stack[k - 1];
        if (k - 1 != 0 && index - (k - 1) >= kMaxOpenFolders) {
            ::close(above.fd);
            above.fd = -1;
        }
    }
    return m_stack[index].fd;
}

void FolderScanner::trimOpenFds()
{
    if (m_stack.size() <= kMaxOpenFolders)
        return;
    Frame& old = m_stack[m_stack.size() - 1 - kMaxOpenFolders];
    if (old.fd >= 0 && &old != &m_stack.front()) {
        ::close(old.fd);
        old.fd = -1;
    }
}

void FolderScanner::enterNextChild(Frame& f)
{
    const PendingChild c = f.children[f.nextChild++];
    const int parentFd = frameFd(m_stack.size() - 1);
    const int fd = parentFd < 0 ? -1 : ::openat(parentFd, c.node->name().c_str(), kOpenFlags | O_NOFOLLOW);
    if (fd < 0) {
        // No access, or gone: the folder counts as empty and is finished.
        c.node->readable = false;
        c.node->state = ScanState::Done;
        ++m_stats.unreadableFolders;
        if (f.node == m_root)
            ++m_finishedRootChildren;
        return;
    }
    if (c.dev != f.dev && isPseudoFileSystem(fd)) {
        ::close(fd);
        c.node->state = ScanState::Done;
        ++m_stats.skippedPseudo;
        if (f.node == m_root)
            ++m_finishedRootChildren;
        return;
    }
    Frame child;
    child.node = c.node;
    child.fd = fd;
    child.dev = c.dev;
    child.ino = c.ino;
    m_stack.push_back(std::move(child));
    trimOpenFds();
}

FolderNode* FolderScanner::closeFrame()
{
    Frame& f = m_stack.back();
    FolderNode* n = f.node;
    n->totalBytes = addSaturated(n->ownBytes, f.childBytes);
    n->totalFiles = n->ownFiles + f.childFiles;
    if (f.fd >= 0)
        ::close(f.fd);
    m_stack.pop_back();
    if (!m_stack.empty()) {
        Frame& parent = m_stack.back();
        parent.childBytes = addSaturated(parent.childBytes, n->totalBytes);
        parent.childFiles += n->totalFiles;
    }
    return n;
}

void FolderScanner::leaveFolder()
{
    closeFrame()->state = ScanState::Done;
    if (!m_stack.empty() && m_stack.back().node == m_root)
        ++m_finishedRootChildren;
}

void FolderScanner::stop()
{
    m_stopped = true;
    m_stats.stopped = true;
    while (!m_stack.empty()) {
        if (m_stack.back().reading)
            m_stack.back().node->sortChildren();
        closeFrame();
    }
    m_bufPos = m_bufLen = 0;
}

} // namespace foldersize
