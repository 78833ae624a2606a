// FolderFilesCopy.h: copies the files of one folder into another without resolving every file's
// path anew: in one pass over both folders (copies of whole drives), or a file per call from two
// folders opened once (walks that copy one file per step and yield between steps).
#pragma once

#include "platform/FileSystem.h"
#include "platform/WindowsName.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace platform {

namespace hostfs {
class FolderAttributes;
}

struct FolderFilesReport {
    std::size_t copied = 0;           // files written
    std::size_t kept = 0;             // existing targets left alone (no overwrite)
    std::size_t failed = 0;           // files in use, read-only targets, read or write failures
    std::vector<std::string> folders; // the source folder's sub-folders (stored spelling), in listing order
    std::vector<LeftOutName> leftOut; // source entries the listing left out (names Windows cannot hold)
};

// Copies every file of `source` (not its sub-folders) into the existing folder `destination`, as
// copyFile does for one file: attributes and modification time travel, an existing target keeps
// its spelling and is replaced only with `overwrite`, each file is written under a name of the
// layer's own and takes its name only when complete. The source is listed as every listing of the
// layer is (PathResolver::listHost: names Windows cannot hold and case twins go to
// `report.leftOut`), and a file whose path at the destination would pass kMaxWindowsPath is left
// out too (PathTooLong). Files for which `leaveOut(name)` is true are not copied. A file that cannot be copied is counted in `failed` and the others go on.
// PathNotFound (76) when either folder does not exist, or the source went away while it was
// listed (what was copied until then is complete); DiskFull (61) when the destination took no
// more, which ends the copy. One call is one folder: callers yield between calls.
FsError copyFolderFiles(const FileSystem& fileSystem, std::string_view source, std::string_view destination,
    bool overwrite, const std::function<bool(const std::string&)>& leaveOut, FolderFilesReport& report);

// Copies files from one folder into another, one file per call, as copyFile copies a file into a
// folder that does not hold its name yet: attributes and modification time travel, the data is
// written under a name of the layer's own and takes its name only when complete. Both folders are
// resolved and opened once; the destination is listed once, and the names of that listing, kept
// current by every copy made here, tell whether a target exists in any case. An existing target is
// never touched here: it is left to copyFile and the caller's rules for replacing files.
class FolderCopy {
public:
    FolderCopy();
    FolderCopy(const FolderCopy&) = delete;
    FolderCopy& operator=(const FolderCopy&) = delete;
    ~FolderCopy();

    // Resolves and opens both folders (a folder opened before is closed first). PathNotFound (76)
    // when either does not resolve to an existing folder.
    FsError open(const FileSystem& fileSystem, std::string_view source, std::string_view destination);
    void close();
    bool isOpen() const { return m_destination >= 0; }

    // Whether the destination holds an entry of that name in any case (a host link too, which is
    // never written through).
    bool targetExists(std::string_view name) const;

    // Copies the source folder's file `name` (its stored spelling, as a listing gives it) into the
    // destination under the same name. FileExists (58) when the target exists in any case (nothing
    // is written); FileNotFound (53) when the source is gone or is no regular file (a host link, a
    // pipe, a device: never followed, never waited on); PermissionDenied (70) when the source is in
    // use or cannot be read, or the target cannot be written; PathNotFound (76) when the destination folder went away; DiskFull
    // (61) when the data did not fit; SourceChanged (57) when the source grew or shrank meanwhile.
    // A copy that fails leaves nothing behind.
    FsError copy(const std::string& name);

private:
    int m_source = -1;
    int m_destination = -1;
    std::filesystem::path m_destinationHost;
    std::string m_partial; // the name a copy is written under until it is complete
    std::unique_ptr<hostfs::FolderAttributes> m_sourceAttributes;
    std::unique_ptr<hostfs::FolderAttributes> m_destinationAttributes;
    std::unordered_set<std::string> m_taken; // folded names of the destination's entries
};

} // namespace platform
