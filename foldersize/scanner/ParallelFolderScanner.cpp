// ParallelFolderScanner.cpp: waiting for the workers' listings in tree order and handing them to
// the merger.
#include "foldersize/scanner/ParallelFolderScanner.h"

namespace foldersize {

ParallelFolderScanner::ParallelFolderScanner(FolderNode* root, unsigned threads)
    : ParallelFolderScanner(root, openScanRoot(root->name()), threads)
{}

ParallelFolderScanner::ParallelFolderScanner(FolderNode* root, ScanRoot opened, unsigned threads)
    : m_merger(root, opened.listing, opened.id, m_stats, m_finishedRootChildren)
{
    if (opened.fd < 0) {
        opened.listing->done.store(true);
        return;
    }
    m_pool = std::make_unique<FolderReadPool>(opened.fd, opened.id, root->name(), opened.listing,
        threads == 0 ? FolderReadPool::defaultThreads() : threads);
}

ParallelFolderScanner::~ParallelFolderScanner()
{
    // The workers write into the listings: they end before the listings go.
    m_pool.reset();
}

std::string ParallelFolderScanner::currentFolder() const
{
    // The folder being read, not the one taken up next: that one may wait long for its listing
    // (a large folder on a cold disk) while the workers go on.
    if (m_pool)
        if (std::string read = m_pool->lastFolder(); !read.empty())
            return read;
    return m_merger.empty() ? std::string() : m_merger.frame(m_merger.depth() - 1).node->path();
}

bool ParallelFolderScanner::step(int budget)
{
    while (budget > 0 && !m_merger.empty()) {
        FolderMerger::Frame& f = m_merger.top();
        if (!f.takenUp) {
            if (!f.listing->done.load(std::memory_order_acquire)) {
                // The next folder in tree order is still being read.
                if (m_pool)
                    m_pool->waitForProgress(1);
                return true;
            }
            budget -= m_merger.takeUp();
        } else if (m_merger.nextChild()) {
            m_merger.enter();
            --budget;
        } else {
            m_merger.leave();
            --budget;
        }
    }
    if (m_merger.empty())
        m_pool.reset();
    return !m_merger.empty();
}

void ParallelFolderScanner::stop()
{
    m_stopped = true;
    m_stats.stopped = true;
    m_pool.reset();
    m_merger.stop();
}

} // namespace foldersize
