// FolderRead.h: the one way both folder scans read a folder: how it is opened, which file systems
// are passed over, what each entry adds, and the (device, inode) identity by which folders and
// hard-linked files met twice are told apart (FolderMerger decides which place counts).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/types.h>

namespace foldersize {

// Flags of every folder opened for reading.
inline constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Size of the buffer one getdents64 call fills.
inline constexpr std::size_t kFolderBufferSize = 64 * 1024;

inline bool isDotOrDotDot(const char* n)
{
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

// True when the open folder lies on proc, sysfs, cgroup and the other kernel file systems that
// measure as nothing (or as endless pseudo files) and are left out of every scan.
bool isPseudoFileSystem(int fd);

using FileId = std::pair<dev_t, ino_t>;

struct FileIdHash {
    std::size_t operator()(const FileId& id) const
    {
        return std::hash<std::uint64_t>()(
            static_cast<std::uint64_t>(id.second) * 1000003u ^ static_cast<std::uint64_t>(id.first));
    }
};

// What one folder's entries come to. Whoever reads the folder fills it and then sets `done`; from
// then on it belongs to the FolderMerger alone.
struct FolderListing {
    struct LinkedFile {
        FileId id;
        std::uint64_t size;
    };
    struct Subfolder {
        std::string name;
        FileId id;
        // The subfolder's own listing, once someone is to read it.
        std::shared_ptr<FolderListing> listing;
        // A folder the parallel readers met before elsewhere (a bind mount) is read once: this
        // place only refers to that listing, until the merger decides which place counts.
        std::weak_ptr<FolderListing> sameAs;
    };

    std::atomic<bool> done{false};
    bool readable = true; // false: could not be opened, read to the end or looked into
    // Why it is unreadable: the error number, and the first entry that could not be looked at
    // ("" when the folder itself could not be opened or read).
    int error = 0;
    std::string failedEntry;
    bool pseudo = false;        // on a kernel file system: not read
    std::uint64_t ownBytes = 0; // files with a single link
    std::uint64_t ownFiles = 0;
    std::uint64_t entries = 0;
    // Apparent sizes of the subfolders' entries (for the root's listing, its own size too).
    std::uint64_t folderEntryBytes = 0;
    // Files with several links in listing order: whether they count is decided in tree order.
    std::vector<LinkedFile> linkedFiles;
    // Every subfolder, in byte-wise name order once the folder is read to its end.
    std::vector<Subfolder> subfolders;
};

// Puts the subfolders in byte-wise name order, the order of the tree.
void sortSubfolders(FolderListing& listing);

// Reads the entries of an open folder with getdents64 and fstatat into a FolderListing. Each
// reader has its own buffer; it reads one folder at a time.
class FolderEntryReader {
public:
    FolderEntryReader();

    // Reads entries of the folder open as fd (-1: it could not be opened) into out, each one
    // taking one unit of `budget`. Returns true when the budget ran out first, false when the
    // folder is read to its end (or could not be, or `cancel` was set): its subfolders are then
    // in name order. A folder whose entries cannot be looked at (listed but not entered) or read
    // to the end is marked unreadable; what was read counts.
    bool read(int fd, FolderListing& out, int& budget, const std::atomic<bool>* cancel = nullptr);
    // Drops what is buffered of a folder left before its end.
    void reset() { m_pos = m_len = 0; }

private:
    void add(int fd, const char* name, FolderListing& out);

    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
};

// Opens below dirFd (-1 allowed) without following a link, or returns -1.
int openBelow(int dirFd, const std::string& name);

// A scan's root, opened: the listing to read it into (its folderEntryBytes holds the root's own
// size), its identity and the handle to read it with (-1: the listing is marked unreadable or on a
// kernel file system).
struct ScanRoot {
    std::shared_ptr<FolderListing> listing = std::make_shared<FolderListing>();
    FileId id{};
    int fd = -1;
};

// Opens a scan's root as named: a link given by the user is followed once. A root that cannot be
// opened still counts its own entry's size, when it can be looked at.
ScanRoot openScanRoot(const std::string& path);

// Takes up the result fd of opening a subfolder with identity id below a folder on device
// parentDev: returns the handle to read it with, or -1 with out marked unreadable (fd was -1, and
// errno tells why) or on a kernel file system (fd is closed then).
int admitSubfolder(int fd, dev_t parentDev, FileId id, FolderListing& out);

} // namespace foldersize
