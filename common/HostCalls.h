// HostCalls.h: the host file calls of platform/ and of Tallymoor's settings file, made through one
// seam so that tests can fail any one of them. Unless a test set faults, each is the system call.
#pragma once

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common::hostcalls {

// The kinds of call a test can fail.
enum class Call {
    Open,
    Read,
    Write,
    Close,
    Rename,
    ListFolder,
    Sync,
    CopyRange,
    MakeFolder,
    Remove,
    SetTime
};

// A test's faults (tests/support/common/FailNthCall.h). Asked before each call, from any thread:
// 0 lets the call run; an errno value fails it with that value instead (a failed Close still lets
// the descriptor go, as the system's close does).
class Faults {
public:
    virtual ~Faults() = default;
    virtual int fault(Call call) noexcept = 0;
};

// Sets the faults of the whole process (not owned; nullptr: none) and returns the previous ones.
// The one piece of process-wide state of the seam; only tests set it.
Faults* setFaults(Faults* faults) noexcept;

namespace detail {
extern std::atomic<Faults*> g_faults;

// Runs `call` (a system call answering -1 with errno on failure) unless a test fails it, and again
// while it is cut short by a signal (EINTR). One load of an atomic when no test set faults.
template <typename Run> inline auto retried(Call kind, Run&& call) noexcept
{
    for (;;) {
        Faults* faults = g_faults.load(std::memory_order_acquire);
        const int error = faults ? faults->fault(kind) : 0;
        decltype(call()) result = -1;
        if (error != 0)
            errno = error;
        else
            result = call();
        if (!(result < 0 && errno == EINTR))
            return result;
    }
}
} // namespace detail

// For a file layer that makes its own system calls (SQLite's, through platform/RegistryVfs.cpp):
// the error a test injects into its next call of that kind, else 0. An injected EINTR is passed
// over as the seam's own calls pass it over (the call is made).
inline int injectedFault(Call kind) noexcept
{
    for (;;) {
        Faults* faults = detail::g_faults.load(std::memory_order_acquire);
        const int error = faults ? faults->fault(kind) : 0;
        if (error != EINTR)
            return error;
    }
}

// The system calls of the same names, with the same results and errno, except that none answers
// EINTR: a call cut short by a signal is made again, so no caller needs to.
inline int openAt(int folder, const char* name, int flags, mode_t mode = 0) noexcept
{
    return detail::retried(Call::Open, [&] { return ::openat(folder, name, flags, mode); });
}
inline int open(const char* path, int flags, mode_t mode = 0) noexcept
{
    return openAt(AT_FDCWD, path, flags, mode);
}
inline ssize_t read(int fd, void* buffer, std::size_t size) noexcept
{
    return detail::retried(Call::Read, [&] { return ::read(fd, buffer, size); });
}
inline ssize_t write(int fd, const void* buffer, std::size_t size) noexcept
{
    return detail::retried(Call::Write, [&] { return ::write(fd, buffer, size); });
}
// The descriptor is let go whatever the answer, and a close is never made again (after EINTR the
// descriptor is gone as well, which counts as closed).
inline int close(int fd) noexcept
{
    Faults* faults = detail::g_faults.load(std::memory_order_acquire);
    const int error = faults ? faults->fault(Call::Close) : 0;
    const int closed = ::close(fd);
    if (error != 0 && error != EINTR) {
        errno = error;
        return -1;
    }
    return closed != 0 && errno == EINTR ? 0 : closed;
}
inline int renameAt(int fromFolder, const char* from, int toFolder, const char* to) noexcept
{
    return detail::retried(Call::Rename, [&] { return ::renameat(fromFolder, from, toFolder, to); });
}
inline int rename(const char* from, const char* to) noexcept
{
    return renameAt(AT_FDCWD, from, AT_FDCWD, to);
}
// renameat2 with RENAME_NOREPLACE: EEXIST when `to` is taken (EINVAL where the host has no such rename).
inline int renameNoReplaceAt(int folder, const char* from, const char* to) noexcept
{
    return detail::retried(
        Call::Rename, [&] { return ::renameat2(folder, from, folder, to, RENAME_NOREPLACE); });
}
// getdents64: the next entries of the open folder `fd` as dirent64 records.
inline ssize_t listFolder(int fd, void* buffer, std::size_t size) noexcept
{
    return detail::retried(Call::ListFolder, [&] { return ::getdents64(fd, buffer, size); });
}
inline int sync(int fd) noexcept
{
    return detail::retried(Call::Sync, [&] { return ::fsync(fd); });
}
// copy_file_range from the current offsets.
inline ssize_t copyRange(int in, int out, std::size_t size) noexcept
{
    return detail::retried(
        Call::CopyRange, [&] { return ::copy_file_range(in, nullptr, out, nullptr, size, 0); });
}
// copy_file_range at the given offsets, which it moves on by what it copied.
inline ssize_t copyRangeAt(int in, off_t* inAt, int out, off_t* outAt, std::size_t size) noexcept
{
    return detail::retried(Call::CopyRange, [&] { return ::copy_file_range(in, inAt, out, outAt, size, 0); });
}
// pread and pwrite.
inline ssize_t readAt(int fd, void* buffer, std::size_t size, off_t at) noexcept
{
    return detail::retried(Call::Read, [&] { return ::pread(fd, buffer, size, at); });
}
inline ssize_t writeAt(int fd, const void* buffer, std::size_t size, off_t at) noexcept
{
    return detail::retried(Call::Write, [&] { return ::pwrite(fd, buffer, size, at); });
}
inline int makeFolderAt(int folder, const char* name, mode_t mode) noexcept
{
    return detail::retried(Call::MakeFolder, [&] { return ::mkdirat(folder, name, mode); });
}
inline int removeAt(int folder, const char* name, int flags = 0) noexcept
{
    return detail::retried(Call::Remove, [&] { return ::unlinkat(folder, name, flags); });
}
// utimensat and futimens: the access and modification times.
inline int setTimesAt(int folder, const char* name, const struct timespec times[2], int flags = 0) noexcept
{
    return detail::retried(Call::SetTime, [&] { return ::utimensat(folder, name, times, flags); });
}
inline int setTimes(int fd, const struct timespec times[2]) noexcept
{
    return detail::retried(Call::SetTime, [&] { return ::futimens(fd, times); });
}

// Makes the folder `path` and each missing folder above it (mkdir -p). 0 when it is a folder then,
// else -1 with errno of the make that failed.
int makeFolders(const std::string& path) noexcept;

// Removes `name` in `folder` (AT_FDCWD: a path) and, when it is a folder, all below it; a host
// link is removed itself, never followed. 0, or -1 with errno of the first failure (whatever could
// be removed is gone then).
int removeTreeAt(int folder, const char* name) noexcept;

// Writes all of `bytes`; false (errno set, ENOSPC when the file took nothing more) on a failed write.
bool writeAll(int fd, std::string_view bytes) noexcept;

// How a whole file read ended.
enum class ReadResult { Read, Missing, NotOpened, NotRead, TooLarge };

// Reads the file `path` whole (plain O_RDONLY: a link is followed), at most maxBytes (TooLarge when
// it holds more; nothing more is read). Missing when there is none (ENOENT, ENOTDIR), NotOpened
// when it cannot be opened, NotRead on a read error (errno set); `bytes` is empty unless Read.
ReadResult readWhole(const char* path, std::string& bytes, std::size_t maxBytes);

// The one way a file is replaced whole: `bytes` are written under a fresh name beside it (O_EXCL,
// never through a link), given the old file's permissions (else 0666 less the umask), flushed to the
// disk (fsync) and renamed over it. On any failure the fresh file is removed, the old one is as it
// was, and false comes back with errno set; when the fresh file could not be removed either, `left`
// (when given) gets its name: it stays until a later start takes it away (removeFreshLeft, or the
// run record of platform/).
bool replaceWholeAt(
    int folder, const std::string& name, std::string_view bytes, std::string* left = nullptr) noexcept;
// The same for the file `path`.
bool replaceWhole(const std::string& path, std::string_view bytes, std::string* left = nullptr) noexcept;

// The fresh name replaceWholeAt writes `name` under: `name`, ":", this process's id, a count and a
// random number, ".new".
std::string freshName(const std::string& name);
// The process id a fresh name (of any file) carries; 0 when `entry` is no fresh name.
long freshNamePid(std::string_view entry) noexcept;
// Removes the fresh names beside the file `path` that processes no longer running left (one killed
// while it wrote, or one whose removal failed), for a program's start: made before this process
// replaces the file, it takes this process's id for a former process's of the same id. How many
// were removed.
int removeFreshLeft(const std::string& path) noexcept;

} // namespace common::hostcalls
