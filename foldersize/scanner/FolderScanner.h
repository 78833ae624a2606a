// FolderScanner.h: walks a folder in small steps on the caller's thread and fills a FolderNode
// tree with sizes and file counts. No recursion, no timer, no signal: a driver calls step() until
// it returns false. The window scans with ParallelFolderScanner, which yields the same tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include <sys/types.h>

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

    bool finished() const override { return m_stack.empty(); }

    // Path of the folder being read ("" when finished).
    std::string currentFolder() const override;

private:
    struct PendingChild {
        FolderNode* node;
        dev_t dev;
        ino_t ino;
    };
    struct Frame {
        FolderNode* node;
        int fd = -1; // may be closed while deeper folders are open; reopened on the way back
        dev_t dev = 0;
        ino_t ino = 0;
        bool reading = true; // still reading entries; afterwards walking the children
        std::vector<PendingChild> children;
        std::size_t nextChild = 0;
        std::uint64_t childBytes = 0;
        std::uint64_t childFiles = 0;
    };

    bool readOne(Frame& f);
    void finishReading(Frame& f);
    void enterNextChild(Frame& f);
    // Pops the innermost folder: sets its totals, closes its handle and adds it to its parent.
    FolderNode* closeFrame();
    void leaveFolder();
    int frameFd(std::size_t index);
    void trimOpenFds();

    std::vector<Frame> m_stack;
    std::unordered_set<FileId, FileIdHash> m_seenFolders;
    std::unordered_set<FileId, FileIdHash> m_seenLinkedFiles;
    std::vector<char> m_buffer;
    std::size_t m_bufPos = 0;
    std::size_t m_bufLen = 0;
    FolderNode* m_root;
};

} // namespace foldersize
