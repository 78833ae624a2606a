// FolderFilesCopy.h: copies the files of one folder into another in one pass over both folders,
// for copies of whole drives where resolving every file's path anew would cost more than the copy.
#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct FolderFilesReport {
    std::size_t copied = 0;           // files written
    std::size_t kept = 0;             // existing targets left alone (no overwrite)
    std::size_t failed = 0;           // files in use, read-only targets, read or write failures
    std::vector<std::string> folders; // the source folder's sub-folders (stored spelling), unsorted
};

// Copies every file of `source` (not its sub-folders) into the existing folder `destination`, as
// copyFile does for one file: attributes and modification time travel, an existing target keeps
// its spelling and is replaced only with `overwrite`, each file is written under a name of the
// layer's own and takes its name only when complete. Files for which `leaveOut(name)` is true are
// not copied. A file that cannot be copied is counted in `failed` and the others go on.
// PathNotFound (76) when either folder does not exist, or the source went away while it was
// listed (what was copied until then is complete); DiskFull (61) when the destination took no
// more, which ends the copy. One call is one folder: callers yield between calls.
FsError copyFolderFiles(const FileSystem& fileSystem, std::string_view source, std::string_view destination,
    bool overwrite, const std::function<bool(const std::string&)>& leaveOut, FolderFilesReport& report);

} // namespace platform
