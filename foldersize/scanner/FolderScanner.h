// FolderScanner.h: walks a folder in small steps and fills a FolderNode tree with sizes and file
// counts. No recursion, no timer, no signal: a driver calls step() until it returns false.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include <sys/types.h>

#include "foldersize/scanner/FolderNode.h"

namespace foldersize {

// What the scanner counts, besides the tree itself.
struct ScanStatistics {
    std::uint64_t entries = 0;           // directory entries looked at
    std::uint64_t folders = 0;           // folders added to the tree (the root included)
    std::uint64_t unreadableFolders = 0; // folders that could not be opened or read to the end
    std::uint64_t skippedPseudo = 0;     // folders on proc, sysfs and the like, left out
    std::uint64_t skippedRepeats = 0;    // folders and hard-linked files met a second time
    std::uint64_t folderEntryBytes = 0;  // apparent sizes of the folders themselves (not in totals)
    bool stopped = false;                // the scan was ended before it was complete
};

class FolderScanner {
public:
    // Measures the folder named by root->name() (a path with a trailing "/") into root, which
    // must have no children yet. The root itself may be a symbolic link to a folder; below it
    // links are never followed.
    explicit FolderScanner(FolderNode* root);
    ~FolderScanner();
    FolderScanner(const FolderScanner&) = delete;
    FolderScanner& operator=(const FolderScanner&) = delete;

    // Does at most `budget` units of work (one directory entry, or entering or leaving one
    // folder, is one unit). Returns true while work remains.
    bool step(int budget);

    // Ends the scan now. Every folder on the way down gets the sums gathered so far (its parent
    // adds them as they are); folders not read to the end keep ScanState::Created.
    void stop();

    bool finished() const { return m_stack.empty(); }
    bool stopped() const { return m_stopped; }

    // Path of the folder being read ("" when finished).
    std::string currentFolder() const;

    // Number of the root's direct subfolders whose scan has finished (they can be shown).
    std::size_t finishedRootChildren() const { return m_finishedRootChildren; }

    const ScanStatistics& statistics() const { return m_stats; }

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
    struct IdHash {
        std::size_t operator()(const std::pair<dev_t, ino_t>& id) const
        {
            return std::hash<std::uint64_t>()(
                static_cast<std::uint64_t>(id.second) * 1000003u ^ static_cast<std::uint64_t>(id.first));
        }
    };

    bool readOne(Frame& f);
    void finishReading(Frame& f);
    void enterNextChild(Frame& f);
    // Pops the innermost folder: sets its totals, closes its handle and adds it to its parent.
    FolderNode* closeFrame();
    void leaveFolder();
    int frameFd(std::size_t index);
    void trimOpenFds();
    bool isPseudoFileSystem(int fd) const;

    std::vector<Frame> m_stack;
    std::unordered_set<std::pair<dev_t, ino_t>, IdHash> m_seenFolders;
    std::unordered_set<std::pair<dev_t, ino_t>, IdHash> m_seenLinkedFiles;
    std::vector<char> m_buffer;
    std::size_t m_bufPos = 0;
    std::size_t m_bufLen = 0;
    FolderNode* m_root;
    std::size_t m_finishedRootChildren = 0;
    bool m_stopped = false;
    ScanStatistics m_stats;
};

} // namespace foldersize
