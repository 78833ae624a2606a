// FolderScanner.cpp: the folder walk on one thread, one folder's entries at a time, with a
// bounded number of open folder handles.
#include "foldersize/scanner/FolderScanner.h"

#include <sys/stat.h>
#include <unistd.h>

namespace foldersize {
namespace {

// Open folder handles kept on the way down; deeper trees reopen their ancestors when needed.
constexpr std::size_t kMaxOpenFolders = 128;

} // namespace

FolderScanner::FolderScanner(FolderNode* root)
    : FolderScanner(root, openScanRoot(root->name()))
{}

FolderScanner::FolderScanner(FolderNode* root, ScanRoot opened)
    : m_merger(root, opened.listing, opened.id, m_stats, m_finishedRootChildren)
    , m_fds{opened.fd}
    , m_reading(opened.fd >= 0)
{}

FolderScanner::~FolderScanner()
{
    for (int fd : m_fds)
        if (fd >= 0)
            ::close(fd);
}

std::string FolderScanner::currentFolder() const
{
    return m_merger.empty() ? std::string() : m_merger.frame(m_merger.depth() - 1).node->path();
}

bool FolderScanner::step(int budget)
{
    while (budget > 0 && !m_merger.empty()) {
        FolderMerger::Frame& f = m_merger.top();
        if (!f.takenUp) {
            if (m_reading && m_reader.read(frameFd(m_merger.depth() - 1), *f.listing, budget))
                break;
            m_reading = false;
            budget -= m_merger.takeUp();
        } else if (FolderListing::Subfolder* sub = m_merger.nextChild()) {
            enterNextChild(*sub);
            --budget;
        } else {
            leaveFolder();
            --budget;
        }
    }
    return !m_merger.empty();
}

int FolderScanner::frameFd(std::size_t index)
{
    if (m_fds[index] >= 0 || index == 0)
        return m_fds[index];
    // Walk down from the nearest open ancestor, keeping only the last handles open.
    std::size_t j = index;
    while (j > 0 && m_fds[j] < 0)
        --j;
    if (m_fds[j] < 0)
        return -1;
    for (std::size_t k = j + 1; k <= index; ++k) {
        const FolderMerger::Frame& f = m_merger.frame(k);
        const int fd = openBelow(m_fds[k - 1], f.node->name());
        struct stat st {};
        // Only the very folder measured before may be taken up again.
        if (fd >= 0 && (::fstat(fd, &st) != 0 || FileId{st.st_dev, st.st_ino} != f.id)) {
            ::close(fd);
            return -1;
        }
        if (fd < 0)
            return -1;
        m_fds[k] = fd;
        if (k - 1 != 0 && index - (k - 1) >= kMaxOpenFolders) {
            ::close(m_fds[k - 1]);
            m_fds[k - 1] = -1;
        }
    }
    return m_fds[index];
}

void FolderScanner::trimOpenFds()
{
    if (m_fds.size() <= kMaxOpenFolders)
        return;
    int& old = m_fds[m_fds.size() - 1 - kMaxOpenFolders];
    if (old >= 0 && &old != &m_fds.front()) {
        ::close(old);
        old = -1;
    }
}

void FolderScanner::enterNextChild(FolderListing::Subfolder& sub)
{
    sub.listing = std::make_shared<FolderListing>();
    FolderListing& listing = *sub.listing;
    const FileId id = sub.id;
    const std::size_t parent = m_merger.depth() - 1;
    m_merger.enter();
    const FolderMerger::Frame& f = m_merger.top();
    const int fd = openBelow(frameFd(parent), f.node->name());
    m_fds.push_back(admitSubfolder(fd, m_merger.frame(parent).id.first, id, listing));
    m_reading = m_fds.back() >= 0;
    trimOpenFds();
}

void FolderScanner::leaveFolder()
{
    if (m_fds.back() >= 0)
        ::close(m_fds.back());
    m_fds.pop_back();
    m_merger.leave();
}

void FolderScanner::stop()
{
    m_stopped = true;
    m_stats.stopped = true;
    m_merger.stop();
    m_reading = false;
    for (int fd : m_fds)
        if (fd >= 0)
            ::close(fd);
    m_fds.clear();
    m_reader.reset();
}

} // namespace foldersize
