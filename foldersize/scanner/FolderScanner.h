// FolderScanner.h: walks a folder in small steps on the caller's thread and fills a FolderNode
// tree with sizes and file counts. No recursion, no timer, no signal: a driver calls step() until
// it returns false. The window scans with ParallelFolderScanner, which yields the same tree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foldersize/scanner/FolderMerger.h"
#include "foldersize/scanner/FolderNode.h"
#include "foldersize/scanner/FolderRead.h"
#include "foldersize/scanner/FolderScan.h"

namespace foldersize {

class FolderScanner : public FolderScan {
public:
    // Measures the folder named by root->name() (a path with a trailing "/") into root, which
    // must have no children yet. The root itself may be a symbolic link to a folder; below it
    // links are never followed.
    explicit FolderScanner(FolderNode* root);
    ~FolderScanner() override;
    FolderScanner(const FolderScanner&) = delete;
    FolderScanner& operator=(const FolderScanner&) = delete;

    // Does at most `budget` units of work (one directory entry, or entering or leaving one
    // folder, is one unit). Returns true while work remains.
    bool step(int budget) override;

    // Ends the scan now. Every folder on the way down gets the sums gathered so far (its parent
    // adds them as they are); folders not read to the end keep ScanState::Created.
    void stop() override;

    bool finished() const override { return m_merger.empty(); }

    // Path of the folder being read ("" when finished).
    std::string currentFolder() const override;

private:
    FolderScanner(FolderNode* root, ScanRoot opened);
    void enterNextChild(FolderListing::Subfolder& sub);
    void leaveFolder();
    int frameFd(std::size_t index);
    void trimOpenFds();

    FolderMerger m_merger;
    // The open handle of each folder on the merger's way down; -1 when closed (reopened on the way
    // back) or not to be read.
    std::vector<int> m_fds;
    FolderEntryReader m_reader;
    bool m_reading = false; // the innermost folder is still being read
};

} // namespace foldersize
