// HostCalls.cpp: the seam's one piece of state and the whole-file helpers built on its calls.
#include "common/HostCalls.h"

#include <atomic>
#include <random>

#include <signal.h>

namespace common::hostcalls {

namespace detail {
std::atomic<Faults*> g_faults{nullptr};
} // namespace detail

Faults* setFaults(Faults* faults) noexcept { return detail::g_faults.exchange(faults); }

bool writeAll(int fd, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

ReadResult readWhole(const char* path, std::string& bytes, std::size_t maxBytes)
{
    bytes.clear();
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::NotOpened;
    ReadResult result = ReadResult::Read;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            result = ReadResult::NotRead;
            break;
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            result = ReadResult::TooLarge;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    const int error = errno;
    close(fd);
    errno = error;
    if (result != ReadResult::Read)
        bytes.clear();
    return result;
}

std::string freshName(const std::string& name)
{
    static std::atomic<unsigned> count{0};
    static const unsigned seed = std::random_device{}();
    return name + ":" + std::to_string(::getpid()) + "-" + std::to_string(count++) + "-" +
        std::to_string(seed) + ".new";
}

long freshNamePid(std::string_view entry) noexcept
{
    const std::string_view suffix = ".new";
    const std::size_t colon = entry.rfind(':');
    if (colon == std::string_view::npos || entry.size() < colon + suffix.size() ||
        entry.substr(entry.size() - suffix.size()) != suffix)
        return 0;
    // ":<pid>-<count>-<random>.new"
    const std::string_view numbers = entry.substr(colon + 1, entry.size() - colon - 1 - suffix.size());
    long pid = 0;
    int dashes = 0;
    bool digitBefore = false;
    for (const char c : numbers) {
        if (c == '-' && digitBefore && ++dashes <= 2) {
            digitBefore = false;
            continue;
        }
        if (c < '0' || c > '9' || (dashes == 0 && pid > 99999999))
            return 0;
        if (dashes == 0)
            pid = pid * 10 + (c - '0');
        digitBefore = true;
    }
    return dashes == 2 && digitBefore ? pid : 0;
}

bool replaceWholeAt(int folder, const std::string& name, std::string_view bytes, std::string* left) noexcept
{
    try {
        struct stat old {};
        const bool existed = ::fstatat(folder, name.c_str(), &old, 0) == 0;
        std::string temp;
        int fd = -1;
        for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
            temp = freshName(name);
            // Nobody else may read the new file before it has the old one's permissions.
            fd = openAt(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                existed ? 0600 : 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0)
            return false;
        bool ok = writeAll(fd, bytes) && (!existed || ::fchmod(fd, old.st_mode & 07777) == 0);
        ok = ok && sync(fd) == 0;
        int error = errno;
        if (close(fd) != 0 && ok) {
            ok = false;
            error = errno;
        }
        if (ok && renameAt(folder, temp.c_str(), folder, name.c_str()) != 0) {
            ok = false;
            error = errno;
        }
        if (!ok) {
            if (removeAt(folder, temp.c_str()) != 0 && errno != ENOENT && left)
                *left = temp;
            errno = error;
        }
        return ok;
    } catch (...) {
        errno = ENOMEM;
        return false;
    }
}

bool replaceWhole(const std::string& path, std::string_view bytes, std::string* left) noexcept
{
    return replaceWholeAt(AT_FDCWD, path, bytes, left);
}

int removeFreshLeft(const std::string& path) noexcept
{
    try {
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ":";
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            return 0;
        int removed = 0;
        while (const dirent* e = ::readdir(dir)) {
            const std::string_view entry(e->d_name);
            const long pid = entry.rfind(prefix, 0) == 0 ? freshNamePid(entry) : 0;
            // Only a writer that is gone: a living one may be about to rename its file.
            const bool gone =
                pid == ::getpid() || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
            if (pid != 0 && gone)
                removed += removeAt(::dirfd(dir), e->d_name) == 0;
        }
        ::closedir(dir);
        return removed;
    } catch (...) {
        return 0;
    }
}

int makeFolders(const std::string& path) noexcept
{
    try {
        struct stat st {};
        for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
            const std::string level = path.substr(0, end);
            if (!level.empty() && makeFolderAt(AT_FDCWD, level.c_str(), 0777) != 0 && errno != EEXIST)
                return -1;
            if (end == std::string::npos)
                break;
        }
        if (::stat(path.c_str(), &st) != 0)
            return -1;
        if (!S_ISDIR(st.st_mode)) {
            errno = ENOTDIR;
            return -1;
        }
        return 0;
    } catch (...) {
        errno = ENOMEM;
        return -1;
    }
}

int removeTreeAt(int folder, const char* name) noexcept
{
    if (removeAt(folder, name) == 0)
        return 0;
    if (errno != EISDIR && errno != EPERM)
        return -1;
    const int fd = openAt(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int error = 0;
    alignas(8) char buffer[4096];
    for (;;) {
        const ssize_t n = listFolder(fd, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0)
                error = errno;
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
            at += d->d_reclen;
            const std::string_view entry(d->d_name);
            if (entry != "." && entry != ".." && removeTreeAt(fd, d->d_name) != 0 && error == 0)
                error = errno;
        }
        // The first entry that cannot be removed ends the walk: the folder cannot go then.
        if (error != 0)
            break;
    }
    close(fd);
    if (error == 0 && removeAt(folder, name, AT_REMOVEDIR) == 0)
        return 0;
    if (error != 0)
        errno = error;
    return -1;
}

} // namespace common::hostcalls
