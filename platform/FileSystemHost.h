// FileSystemHost.h: the host side of the file-system object (FileSystem.cpp, FileSystemCopy.cpp):
// Windows attributes kept in a sidecar file per folder (kAttributeSidecar, a name no Windows file
// can have): one line "name<TAB>bits" for each entry whose bits differ from the default (Archive
// for files, none for folders); in-use checks through flock() locks, which hold across processes.
// Used inside platform/ only.
#pragma once

#include "platform/FileSystem.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace platform::hostfs {

// Windows attributes of a host file or folder (Directory added for folders), from its folder's
// sidecar; the default (Archive for files, none for folders) when the sidecar has no line for it.
unsigned hostAttributes(const std::filesystem::path& p);
// The same into `bits`; false when the sidecar is there but could not be read (`bits` then the default).
bool readHostAttributes(const std::filesystem::path& p, unsigned& bits);
// Stores the attributes of a host file or folder (only the stored bits; the default removes its line).
// False when the sidecar could not be read or written: it is then as it was (a sidecar that cannot
// be read is never written over, which would lose the other entries' lines).
bool storeAttributes(const std::filesystem::path& p, unsigned bits);
// Removes the sidecar line of a host file or folder (when it goes away).
void forgetAttributes(const std::filesystem::path& p);
// True while another holder has the host file locked (FileSystem::lockFile).
bool hostInUse(const std::filesystem::path& p);
// The first reason the tree below (and including) `p` cannot be deleted or overwritten:
// PermissionDenied for a read-only entry (unless force) or a file in use, else None.
FsError treeBlocked(const std::filesystem::path& p, bool force);
// True when `inner` is `outer` or lies below it (both made canonical as far as they exist).
bool isInside(const std::filesystem::path& inner, const std::filesystem::path& outer);
// The name a copy is written under beside its target until it is complete (this process's own; a
// name no listing shows), and the one of the process `pid`.
std::string partialName();
std::string partialName(long pid);
// Removes the partial copy `name` in the open host folder `folder` (AT_FDCWD: `name` is a path);
// one that cannot be removed is left for the next start (RunRecord::noteLeftBehind).
void removePartial(int folder, const std::string& name);
// Gives the complete copy `partial` in the open host folder `folder` its name `name`; never
// replaces an entry that took the name meanwhile unless `replace` (an existing target checked before).
FsError takePartialName(int folder, const std::string& partial, const std::string& name, bool replace);
// "folder\name", without doubling a trailing separator.
std::string joinWin(const std::string& folder, const std::string& name);
// The attributes of the entries of one host folder, its sidecar read once.
class FolderAttributes {
public:
    explicit FolderAttributes(const std::filesystem::path& folder);
    // The attributes of entry `name` (Directory added for folders).
    unsigned of(const std::string& name, bool isFolder) const;

private:
    std::map<std::string, unsigned> m_stored; // exact host name -> stored bits
};

// The stored bits of one folder's entries, its sidecar read through the open folder (exact host
// name -> bits; entries with the default have no line). Nothing when the sidecar is there but could
// not be read: its entries' attributes are then not known.
std::optional<std::map<std::string, unsigned>> readSidecarAt(int folder);
// Applies attribute changes of files (host name -> bits; the file default removes the line) to the
// sidecar of the open folder, read anew first so that changes made meanwhile stay. False when it
// could not be read or written: it is then as it was.
bool storeAttributesAt(int folder, const std::map<std::string, unsigned>& changes);

// Opens the host file `name` in `folder` (a descriptor, or AT_FDCWD for a full path) to copy from:
// never through a host link and never waiting (a pipe), and only a regular file; `st` is its status
// at open. -1 when it cannot: `error` is FileNotFound when it is gone or no regular file (a link, a
// pipe, a device, a folder), PermissionDenied when it cannot be read.
int openCopySource(int folder, const char* name, struct stat& st, FsError& error);
// Copies the data of an open source (its status `st` taken at open) into `out`, in pieces. No more
// than its size at open is read, and the source's size is looked at again at the end:
// SourceChanged when the file grew or shrank meanwhile. A file with holes (fewer blocks than its
// length) keeps them: only its data is copied (SEEK_DATA, SEEK_HOLE) and the copy then gets the
// length. DiskFull when the target took no more (no space, a size limit or a quota),
// PermissionDenied for any other failure and for a copy finished before its end.
class DataCopy {
public:
    DataCopy(int in, const struct stat& st, int out);
    // Copies up to `bytes` more (a whole extent or less); true while more remains.
    bool step(std::uint64_t bytes);
    // What became of the copy; the source's size checked once more.
    FsError finish();

private:
    bool findData();
    bool copyPiece(std::uint64_t want);

    int m_in;
    int m_out;
    std::uint64_t m_size;
    bool m_sparse;
    std::uint64_t m_at = 0;      // the next byte to copy
    std::uint64_t m_dataEnd = 0; // the end of the data m_at lies in
    bool m_kernelCopy = true;
    FsError m_result = FsError::None;
    std::vector<char> m_buffer;
};
// The whole copy in one call; `stop` (looked at between pieces of a megabyte) ends it early
// (PermissionDenied).
FsError copyFileData(int in, const struct stat& st, int out, const std::atomic<bool>* stop = nullptr);
// The error of a failed write, close or make on the host: DiskFull for no space, a size limit or
// a quota (ENOSPC, EFBIG, EDQUOT), PermissionDenied for anything else.
FsError writeError(int error);

// True when a Windows path ends with "\" or "/".
bool endsWithSeparator(std::string_view s);

} // namespace platform::hostfs
