// HostCalls.cpp: the seam's one piece of state and the whole-file helpers built on its calls.
#include "common/HostCalls.h"

#include <atomic>
#include <random>

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

namespace {

// A name beside `path` no other writer uses at the same time: the process, a count and a random number.
std::string freshName(const std::string& path)
{
    static std::atomic<unsigned> count{0};
    static const unsigned seed = std::random_device{}();
    return path + "." + std::to_string(::getpid()) + "-" + std::to_string(count++) + "-" +
        std::to_string(seed) + ".new";
}

} // namespace

bool replaceWhole(const std::string& path, std::string_view bytes) noexcept
{
    try {
        struct stat old {};
        const bool existed = ::stat(path.c_str(), &old) == 0;
        std::string temp;
        int fd = -1;
        for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
            temp = freshName(path);
            // Nobody else may read the new file before it has the old one's permissions.
            fd = open(
                temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, existed ? 0600 : 0666);
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
        if (ok && rename(temp.c_str(), path.c_str()) != 0) {
            ok = false;
            error = errno;
        }
        if (!ok) {
            removeAt(AT_FDCWD, temp.c_str());
            errno = error;
        }
        return ok;
    } catch (...) {
        errno = ENOMEM;
        return false;
    }
}

} // namespace common::hostcalls
