// FileSystem.h: the file-system object of the emulated machine: existence, listings, folders,
// copy, move and delete with the scripting runtime's rules and error numbers, attributes,
// locks ("file in use"), text in the ANSI code page and version resources. Windows paths only.
#pragma once

#include "platform/PathResolver.h"
#include "platform/WinError.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The run-time error numbers the scripting runtime raises; callers compare them.
enum class FsError : int {
    None = 0,
    BadFileName = 52,       // "Bad file name or number": relative or malformed path, unknown drive in Dir
    FileNotFound = 53,      // "File not found"
    FileExists = 58,        // "File already exists"
    DeviceUnavailable = 68, // "Device unavailable": a drive letter the machine does not have
    PermissionDenied = 70,  // "Permission denied": read-only, in use, folder where a file is meant
    DiskNotReady = 71,      // "Disk not ready": removable or CD drive without a medium
    PathFileAccess = 75,    // "Path/File access error"
    PathNotFound = 76,      // "Path not found": missing folder, unknown share or computer
    DiskFull = 61,          // "Disk full": the destination drive has no room for the data
    SourceChanged = 57,     // "Device I/O error": a file grew or shrank while it was copied
};

// The runtime's description of an error ("File not found"); "" for None.
std::string_view fsErrorText(FsError error);

// Attribute bits with the values of the scripting runtime and of GetAttr/Dir.
namespace attr {
inline constexpr unsigned Normal = 0;
inline constexpr unsigned ReadOnly = 1;
inline constexpr unsigned Hidden = 2;
inline constexpr unsigned System = 4;
inline constexpr unsigned Volume = 8;
inline constexpr unsigned Directory = 16;
inline constexpr unsigned Archive = 32;
} // namespace attr

// One file or folder of a listing.
struct FileEntry {
    std::string name;        // stored spelling
    std::string path;        // full Windows path
    unsigned attributes = 0; // attr:: bits, Directory set for folders
    std::uint64_t size = 0;  // bytes (0 for folders)
};

// Holds a file open exclusively, as a program that has it open does: while the lock lives,
// copying, moving, deleting, reading or writing the file fails with PermissionDenied (70), in
// this process and in every other one. Empty when the file could not be locked.
class FileLock {
public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    bool isLocked() const { return m_fd >= 0; }
    void release();

private:
    friend class FileSystem;
    explicit FileLock(int fd)
        : m_fd(fd)
    {}
    int m_fd = -1;
};

class FileSystem {
public:
    explicit FileSystem(PathResolver resolver);

    const PathResolver& resolver() const { return m_resolver; }

    // Existence. Anything that does not resolve simply does not exist.
    bool fileExists(std::string_view path) const;
    bool folderExists(std::string_view path) const;
    // "C", "C:", "C:\" or a share "\\PC\D$": the drive (with a medium) or share is there.
    bool driveExists(std::string_view drive) const;

    // The sub-folders and files of a folder, each in case-insensitive name order. Only names
    // Windows could hold are listed, and of names equal but for case only the first
    // (PathResolver::listHost); those left out are added to `leftOut` when it is given.
    // PathNotFound (76) when the folder does not exist.
    FsError listFolder(std::string_view folder, std::vector<FileEntry>& folders,
        std::vector<FileEntry>& files, std::vector<LeftOutName>* leftOut = nullptr) const;

    // Creates one folder; its parent must exist. FileExists (58) when the name is taken,
    // PathNotFound (76) when the parent is missing.
    FsError createFolder(std::string_view path);

    // As MakeSureDirectoryPathExists: creates every folder of `path` up to its last separator;
    // the text after the last separator is taken as a file name and not created ("C:\a\b\"
    // creates C:\a\b, "C:\a\b" creates only C:\a). AlreadyExists when a file stands in the way.
    WinError makeSurePathExists(std::string_view path);

    // Deletes the files matching `pattern` (wildcards in the last component). FileNotFound (53)
    // when nothing matches; PermissionDenied (70) when a match is read-only (without force) or in
    // use, and then nothing is deleted.
    FsError deleteFile(std::string_view pattern, bool force = false);

    // Deletes the folders matching `pattern` with all their contents. PathNotFound (76) when
    // nothing matches; PermissionDenied (70) when something inside is read-only (without force)
    // or in use, or the folder is a drive or share root; then nothing is deleted.
    FsError deleteFolder(std::string_view pattern, bool force = false);

    // Copies files. A source may hold wildcards; a destination ending "\" (or any destination of
    // a wildcard source) is a folder to copy into, otherwise the name of the new file. Attributes
    // and the modification time travel with the copy.
    // FileNotFound (53) no source; PathNotFound (76) no destination folder; FileExists (58) a
    // target exists and overwrite is off; PermissionDenied (70) a read-only or in-use target, an
    // in-use source, or a destination naming an existing folder; DiskFull (61) the data did not
    // fit. Each file is written under a name of the layer's own and takes its name only when it is
    // complete, so a failed copy never leaves a cut-short file (and keeps a replaced target).
    FsError copyFile(std::string_view source, std::string_view destination, bool overwrite = true);

    // Moves files (wildcards and a trailing "\" as for copyFile). FileExists (58) when a target
    // exists; moving a file onto itself succeeds unless it is in use (70).
    FsError moveFile(std::string_view source, std::string_view destination);

    // Copies folder trees, merging into a destination that exists. A destination ending "\"
    // receives the source folder under its own name. PathNotFound (76) no source; FileExists (58)
    // a target file exists and overwrite is off; PermissionDenied (70) read-only or in-use
    // targets or a copy into itself. Conflicts are found before anything is copied.
    FsError copyFolder(std::string_view source, std::string_view destination, bool overwrite = true);

    // Moves folder trees; the destination must not exist (58).
    FsError moveFolder(std::string_view source, std::string_view destination);

    // As Basic's Dir: the names (no paths) matching `pattern` in case-insensitive order.
    // A pattern ending "\" lists the folder. Files are always returned unless hidden or system;
    // mask bits Hidden, System and Directory let those in, and Directory adds "." and ".." below
    // a root. A folder that does not exist gives an empty list; a path that cannot be resolved
    // (unknown drive, share or computer) gives BadFileName (52).
    FsError dir(std::string_view pattern, unsigned mask, std::vector<std::string>& names) const;

    // Attribute bits of a file or folder (Directory set for folders). FileNotFound (53).
    FsError getAttributes(std::string_view path, unsigned& attributes) const;
    // Sets ReadOnly, Hidden, System and Archive (other bits are ignored). FileNotFound (53);
    // PermissionDenied (70) when they could not be stored (nothing changed then).
    FsError setAttributes(std::string_view path, unsigned attributes);

    FsError fileLength(std::string_view path, std::uint64_t& bytes) const;
    FsError fileTime(std::string_view path, std::chrono::system_clock::time_point& modified) const;
    // Sets the modification time (tests and tools that build machines).
    FsError setFileTime(std::string_view path, std::chrono::system_clock::time_point modified);

    // The file's version resource as "a.b.c.d"; "" for a file without one or a missing file.
    std::string getFileVersion(std::string_view path) const;

    // Whole files as bytes. Reading: FileNotFound (53), PermissionDenied (70) in use,
    // PathFileAccess (75) a folder, anything else that is no regular file (a pipe or a device is
    // never waited on) or a file larger than maxBytes. Writing creates or replaces the file whole
    // (a fresh name beside it, flushed to the disk, renamed over it: the file is the old one or the
    // new one, never a part); appending writes in place: PathNotFound (76) no folder,
    // PermissionDenied (70) read-only or in use, PathFileAccess (75) a folder or a failed write.
    FsError readFile(std::string_view path, std::string& bytes, std::size_t maxBytes = SIZE_MAX) const;
    // Whether a line of the file (the bytes up to a line feed) is longer than `limit` bytes. The
    // file is read in pieces, and no further than such a line, so that its size costs no memory.
    // Errors as readFile's.
    FsError hasLineLongerThan(std::string_view path, std::uint64_t limit, bool& longer) const;
    FsError writeFile(std::string_view path, std::string_view bytes);
    FsError appendFile(std::string_view path, std::string_view bytes);

    // Text files in the machine's ANSI code page (Windows-1252), as UTF-8 inside the program.
    // Line ends are left as they are.
    FsError readText(std::string_view path, std::string& utf8) const;
    FsError writeText(std::string_view path, std::string_view utf8);

    // Opens a file exclusively until the lock is released. Empty when the file does not exist or
    // someone else holds it.
    FileLock lockFile(std::string_view path) const;
    bool isInUse(std::string_view path) const;

    // The error a resolution failure gives at the file-system object.
    static FsError fromWinError(WinError error);

    // Whether a file may be written at `path`: it resolves (into `r`), it is no folder, it is
    // neither read-only nor in use, and when it does not exist yet its folder does.
    FsError checkWritable(std::string_view path, ResolvedPath& r) const;

private:
    struct Match {
        std::string name;
        std::filesystem::path host;
        std::string path;
        bool isFolder = false;
    };
    FsError matchPattern(
        std::string_view pattern, bool folders, std::vector<Match>& matches, ResolvedPath& parent) const;
    // Resolves `path` to something that exists: the resolver's error, or FileNotFound.
    FsError resolveExisting(std::string_view path, ResolvedPath& r) const;
    // Deletes every file (or folder tree) `pattern` matches, after checking them all.
    FsError deleteMatches(std::string_view pattern, bool folders, bool force);
    // Matches `pattern` for deleting (none gives `missing`) and checks that nothing is in use.
    FsError matchDeletable(std::string_view pattern, bool folders, FsError missing, bool force,
        std::vector<Match>& matches) const;
    // The sources and destination of a copy or move. Each target lies in `dest` when `intoFolder`,
    // else the single source goes to `dest` itself.
    struct Transfer {
        std::vector<Match> matches;
        ResolvedPath dest;
        bool intoFolder = false;
        std::vector<std::pair<std::filesystem::path, std::filesystem::path>> plan;
    };
    // Matches `source` and resolves `destination`. No match gives `missing`; a source that
    // cannot be read gives `denied`.
    FsError beginTransfer(std::string_view source, std::string_view destination, bool folders,
        FsError missing, FsError denied, Transfer& t) const;
    // beginTransfer for a move: into a folder, each match is planned there.
    FsError beginMove(std::string_view source, std::string_view destination, bool folders, FsError missing,
        FsError denied, Transfer& t) const;
    // Finds the existing folder that holds `dest`; false when there is none.
    bool holdingFolder(const ResolvedPath& dest, std::filesystem::path& host) const;
    // Plans each match into the destination folder, refusing a target that exists in any case.
    FsError planMovesInto(Transfer& t) const;
    FsError copyOneFile(const std::filesystem::path& from, const std::filesystem::path& to);
    FsError moveOneFile(const std::filesystem::path& from, const std::filesystem::path& to);
    FsError moveAll(const std::vector<std::pair<std::filesystem::path, std::filesystem::path>>& plan);

    PathResolver m_resolver;
};

} // namespace platform
