// ParallelFolderScanner.h: the folder scan with worker threads. Workers list and stat folders
// (FolderReadPool); step() takes their listings up on the caller's thread in the same order as
// the single-threaded FolderScanner, so the tree, its node order and its sums are the same.
#pragma once

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

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

    bool finished() const override { return m_stack.empty(); }
    std::string currentFolder() const override;

private:
    struct Frame {
        FolderNode* node;
        FolderListing* listing;
        bool takenUp = false;
        std::size_t nextChild = 0;
        std::uint64_t childBytes = 0;
        std::uint64_t childFiles = 0;
    };

    int takeUp(Frame& f);
    void enterNextChild(Frame& f);
    FolderNode* closeFrame();
    void leaveFolder();

    FolderNode* m_root;
    std::unique_ptr<FolderListing> m_rootListing;
    std::unique_ptr<FolderReadPool> m_pool; // after the listings: ends before they are freed
    std::vector<Frame> m_stack;
    std::unordered_set<FileId, FileIdHash> m_seenLinkedFiles;
};

} // namespace foldersize
