// HostFile.cpp: whole host files written, metadata files read safely, files replaced atomically.
#include "platform/HostFile.h"

#include "common/HostCalls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>

namespace platform {

namespace host = common::hostcalls;

namespace {

void say(std::string* message, const std::string& text)
{
    if (message)
        *message = text;
}

// A name no other writer uses at the same time: the process, a count and a random number.
std::string freshSuffix()
{
    static std::atomic<unsigned> count{0};
    static const unsigned seed = std::random_device{}();
    return std::to_string(::getpid()) + "-" + std::to_string(count++) + "-" + std::to_string(seed);
}

} // namespace

bool writeAllToHost(int fd, std::string_view bytes) { return host::writeAll(fd, bytes); }

WinError writeWholeHostFile(const std::filesystem::path& file, std::string_view bytes, std::string* message)
{
    const int fd = host::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        say(message, "cannot create " + file.string());
        return WinError::AccessDenied;
    }
    const bool written = host::writeAll(fd, bytes);
    if (host::close(fd) != 0 || !written) {
        say(message, "cannot write " + file.string());
        return WinError::WriteFault;
    }
    return WinError::Success;
}

WinError readHostMetadataAt(
    int folder, const char* name, std::string& bytes, std::size_t maxBytes, std::string* message)
{
    bytes.clear();
    const int fd = host::openAt(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        // A link, a device without its driver, no right to read: the file is not to be had. Any
        // other failure (an I/O error, no descriptor left) says nothing about what it holds.
        const bool refused = errno == ELOOP || errno == EACCES || errno == EPERM || errno == ENXIO ||
            errno == EISDIR || errno == ENODEV;
        say(message, (missing ? "cannot find " : "cannot open ") + std::string(name));
        return missing ? WinError::FileNotFound : refused ? WinError::AccessDenied : WinError::ReadFault;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        host::close(fd);
        say(message, std::string(name) + " is no regular file");
        return WinError::AccessDenied;
    }
    WinError result = WinError::Success;
    // Room for the whole file at once: a large file is not copied again each time the text grows.
    bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes));
    char buffer[65536];
    for (;;) {
        const ssize_t n = host::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            say(message, "cannot read " + std::string(name));
            result = WinError::ReadFault;
            break;
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            say(message, std::string(name) + " is larger than " + std::to_string(maxBytes) + " bytes");
            result = WinError::InvalidData;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    host::close(fd);
    if (result != WinError::Success)
        bytes.clear();
    return result;
}

WinError readHostMetadata(
    const std::filesystem::path& file, std::string& bytes, std::size_t maxBytes, std::string* message)
{
    return readHostMetadataAt(AT_FDCWD, file.c_str(), bytes, maxBytes, message);
}

WinError replaceHostFileAt(int folder, const std::string& name, std::string_view bytes, std::string* message)
{
    // O_EXCL never opens what is there, a link (dangling or not) included: another name is tried.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temp = name + ":" + freshSuffix() + ".new";
        fd = host::openAt(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        say(message, "cannot create " + temp);
        return WinError::AccessDenied;
    }
    const bool written = host::writeAll(fd, bytes);
    const bool closed = host::close(fd) == 0;
    if (!written || !closed || host::renameAt(folder, temp.c_str(), folder, name.c_str()) != 0) {
        host::removeAt(folder, temp.c_str());
        say(message, "cannot write " + name);
        return WinError::WriteFault;
    }
    return WinError::Success;
}

WinError replaceHostFile(const std::filesystem::path& file, std::string_view bytes, std::string* message)
{
    return replaceHostFileAt(AT_FDCWD, file.string(), bytes, message);
}

} // namespace platform
