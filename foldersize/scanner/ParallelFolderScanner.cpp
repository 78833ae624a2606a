// ParallelFolderScanner.cpp: taking the workers' listings up into the folder tree, depth first
// with the subfolders in name order, as the single-threaded walk meets them.
#include "foldersize/scanner/ParallelFolderScanner.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace foldersize {

ParallelFolderScanner::ParallelFolderScanner(FolderNode* root, unsigned threads)
    : m_root(root)
    , m_rootListing(std::make_unique<FolderListing>())
{
    root->state = ScanState::Created;
    ++m_stats.folders;
    m_stack.push_back({root, m_rootListing.get()});
    // The root is opened as named; a link given by the user is followed once.
    const std::string path = root->name();
    const int fd = ::open(path.c_str(), kFolderOpenFlags);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        m_rootListing->readable = false;
        m_rootListing->done.store(true);
        return;
    }
    m_stats.folderEntryBytes += static_cast<std::uint64_t>(st.st_size);
    if (isPseudoFileSystem(fd)) {
        ::close(fd);
        m_rootListing->pseudo = true;
        m_rootListing->done.store(true);
        return;
    }
    m_pool = std::make_unique<FolderReadPool>(fd, FileId{st.st_dev, st.st_ino}, path, m_rootListing.get(),
        threads == 0 ? FolderReadPool::defaultThreads() : threads);
}

ParallelFolderScanner::~ParallelFolderScanner()
{
    // The workers write into the listings: they end before the listings go.
    m_pool.reset();
}

std::string ParallelFolderScanner::currentFolder() const
{
    return m_stack.empty() ? std::string() : m_stack.back().node->path();
}

bool ParallelFolderScanner::step(int budget)
{
    while (budget > 0 && !m_stack.empty()) {
        Frame& f = m_stack.back();
        if (!f.takenUp) {
            if (!f.listing->done.load(std::memory_order_acquire)) {
                // The next folder in tree order is still being read.
                if (m_pool)
                    m_pool->waitForProgress(1);
                return true;
            }
            budget -= takeUp(f);
        } else if (f.nextChild < f.node->childCount()) {
            enterNextChild(f);
            --budget;
        } else {
            leaveFolder();
            --budget;
        }
    }
    if (m_stack.empty())
        m_pool.reset();
    return !m_stack.empty();
}

// Moves a finished listing into its node. Returns the work it took.
int ParallelFolderScanner::takeUp(Frame& f)
{
    FolderListing& l = *f.listing;
    FolderNode* n = f.node;
    f.takenUp = true;
    if (!l.readable) {
        n->readable = false;
        ++m_stats.unreadableFolders;
    }
    if (l.pseudo)
        ++m_stats.skippedPseudo;
    m_stats.entries += l.entries;
    m_stats.folderEntryBytes += l.folderEntryBytes;
    m_stats.skippedRepeats += l.skippedRepeats;
    n->ownBytes = l.ownBytes;
    n->ownFiles = l.ownFiles;
    // A file with several hard links counts once, where the walk meets it first.
    for (const FolderListing::LinkedFile& file : l.linkedFiles) {
        if (!m_seenLinkedFiles.insert({file.dev, file.ino}).second) {
            ++m_stats.skippedRepeats;
            continue;
        }
        n->ownBytes = addSaturated(n->ownBytes, file.size);
        ++n->ownFiles;
    }
    const std::size_t work = 1 + (l.linkedFiles.size() + l.subfolders.size()) / 64;
    l.linkedFiles = {};
    // The listing holds the subfolders in name order, as sortChildren() would put them.
    for (FolderListing::Subfolder& sub : l.subfolders)
        n->addChild(std::move(sub.name));
    m_stats.folders += l.subfolders.size();
    return static_cast<int>(std::min<std::size_t>(work, 1u << 16));
}

void ParallelFolderScanner::enterNextChild(Frame& f)
{
    const std::size_t i = f.nextChild++;
    m_stack.push_back({f.node->child(i), f.listing->subfolders[i].listing.get()});
}

FolderNode* ParallelFolderScanner::closeFrame()
{
    Frame& f = m_stack.back();
    FolderNode* n = f.node;
    n->totalBytes = addSaturated(n->ownBytes, f.childBytes);
    n->totalFiles = n->ownFiles + f.childFiles;
    m_stack.pop_back();
    if (!m_stack.empty()) {
        Frame& parent = m_stack.back();
        parent.childBytes = addSaturated(parent.childBytes, n->totalBytes);
        parent.childFiles += n->totalFiles;
        // The subtree is in the tree now (or the workers have ended): its listing can go.
        parent.listing->subfolders[parent.nextChild - 1].listing.reset();
    }
    return n;
}

void ParallelFolderScanner::leaveFolder()
{
    closeFrame()->state = ScanState::Done;
    if (!m_stack.empty() && m_stack.back().node == m_root)
        ++m_finishedRootChildren;
}

void ParallelFolderScanner::stop()
{
    m_stopped = true;
    m_stats.stopped = true;
    if (m_pool)
        m_pool->cancel();
    while (!m_stack.empty())
        closeFrame();
    m_pool.reset();
}

} // namespace foldersize
