// FolderScan.h: what a running folder scan offers its driver, whichever way it reads the folders
// (FolderScanner on the caller's thread, ParallelFolderScanner with worker threads).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace foldersize {

// A folder that could not be read: its path (with a trailing "/"), the first entry in it that
// could not be looked at ("" when the folder itself could not be opened or read) and the error.
struct ReadProblem {
    std::string path;
    std::string entry;
    int error = 0;
};

// What the scanner counts, besides the tree itself.
struct ScanStatistics {
    std::uint64_t entries = 0;           // directory entries looked at
    std::uint64_t folders = 0;           // folders added to the tree (the root included)
    std::uint64_t unreadableFolders = 0; // folders that could not be opened or read to the end
    std::uint64_t skippedPseudo = 0;     // folders on proc, sysfs and the like, left out
    std::uint64_t skippedRepeats = 0;    // folders and hard-linked files met a second time
    std::uint64_t repeatedFolders = 0;   // of those the folders (a bind mount): counted elsewhere
    std::uint64_t folderEntryBytes = 0;  // apparent sizes of the folders themselves (not in totals)
    bool stopped = false;                // the scan was ended before it was complete
    std::vector<ReadProblem> problems;   // the unreadable folders, in tree order
};

class FolderScan {
public:
    virtual ~FolderScan() = default;

    // Does at most `budget` units of work. Returns true while work remains.
    virtual bool step(int budget) = 0;
    // Ends the scan now; every folder on the way down gets the sums gathered so far, folders not
    // read to the end keep ScanState::Created.
    virtual void stop() = 0;
    virtual bool finished() const = 0;
    // Path of the folder the scan is at, being read or taken up ("" when finished).
    virtual std::string currentFolder() const = 0;

    bool stopped() const { return m_stopped; }
    // Number of the root's direct subfolders whose scan has finished (they can be shown).
    std::size_t finishedRootChildren() const { return m_finishedRootChildren; }
    const ScanStatistics& statistics() const { return m_stats; }

protected:
    // What both ways of reading keep the same way.
    std::size_t m_finishedRootChildren = 0;
    bool m_stopped = false;
    ScanStatistics m_stats;
};

} // namespace foldersize
