// ParallelFolderScanner.h: the folder scan with worker threads. Workers list and stat folders
// (FolderReadPool); step() takes their listings up on the caller's thread through the same
// FolderMerger as the single-threaded FolderScanner, so the tree, its node order and its sums are
// the same.
#pragma once

#include <memory>
#include <string>

#include "foldersize/scanner/FolderMerger.h"
#include "foldersize/scanner/FolderNode.h"
#include "foldersize/scanner/FolderReadPool.h"
#include "foldersize/scanner/FolderScan.h"

namespace foldersize {

class ParallelFolderScanner : public FolderScan {
public:
    // As FolderScanner; threads 0 takes FolderReadPool::defaultThreads(). Workers start at once.
    explicit ParallelFolderScanner(FolderNode* root, unsigned threads = 0);
    ~ParallelFolderScanner() override;

    // Takes up at most `budget` units of finished work (a folder's listing, or entering or leaving
    // a folder). When the next folder in tree order is not read yet, waits a millisecond at most
    // and returns. Returns true while work remains.
    bool step(int budget) override;
    // Stops the workers (they leave their folders at the next entry) and closes the scan as
    // FolderScanner::stop() does: folders not taken up to the end keep ScanState::Created.
    void stop() override;

    bool finished() const override { return m_merger.empty(); }
    std::string currentFolder() const override;

private:
    ParallelFolderScanner(FolderNode* root, ScanRoot opened, unsigned threads);

    FolderMerger m_merger;
    std::unique_ptr<FolderReadPool> m_pool; // after the merger: ends before the listings are freed
};

} // namespace foldersize
