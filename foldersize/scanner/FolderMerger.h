// FolderMerger.h: builds the folder tree from folder listings in tree order (depth first, the
// subfolders in name order), for both folder scans. It decides which place of a folder met twice
// (a bind mount) and of a hard-linked file counts, adds up the sums and finishes folders.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "foldersize/scanner/FolderNode.h"
#include "foldersize/scanner/FolderRead.h"
#include "foldersize/scanner/FolderScan.h"

namespace foldersize {

class FolderMerger {
public:
    // One open folder on the way down.
    struct Frame {
        FolderNode* node;
        std::shared_ptr<FolderListing> listing;
        FileId id;
        bool takenUp = false; // the listing is in the node (its subfolders are the node's children)
        std::size_t nextChild = 0;
        std::uint64_t childBytes = 0;
        std::uint64_t childFiles = 0;
    };

    // Opens root (no children yet) with the listing that will be read into it; rootId counts as
    // met. Counts go to stats and finishedRootChildren, which the caller owns and outlive this.
    FolderMerger(FolderNode* root, std::shared_ptr<FolderListing> rootListing, FileId rootId,
        ScanStatistics& stats, std::size_t& finishedRootChildren);
    ~FolderMerger();
    FolderMerger(const FolderMerger&) = delete;
    FolderMerger& operator=(const FolderMerger&) = delete;

    bool empty() const { return m_stack.empty(); }
    std::size_t depth() const { return m_stack.size(); }
    Frame& top() { return m_stack.back(); }
    const Frame& frame(std::size_t i) const { return m_stack[i]; }

    // Moves the innermost folder's finished listing into its node: its files, the hard-linked
    // ones met here first, and as children (name order) the subfolders not met before. Returns
    // the work it took (at least 1).
    int takeUp();
    // The innermost folder's next subfolder to enter (a child of its node), or nullptr when all
    // were entered. Its listing may still be empty; the caller fills or finds it before enter().
    FolderListing::Subfolder* nextChild();
    // Opens the subfolder nextChild() returned.
    void enter();
    // Closes the innermost folder as finished: its totals, ScanState::Done, its sums added to its
    // parent, and its listing freed.
    void leave();
    // Closes every open folder with the sums gathered so far (the innermost one with what was read
    // of it); folders not read to the end keep ScanState::Created. Listings are no longer written
    // (the readers have ended).
    void stop();

private:
    FolderNode* close();

    FolderNode* m_root;
    ScanStatistics& m_stats;
    std::size_t& m_finishedRootChildren;
    std::vector<Frame> m_stack;
    std::unordered_set<FileId, FileIdHash> m_seenFolders;
    std::unordered_set<FileId, FileIdHash> m_seenLinkedFiles;
};

} // namespace foldersize
