// HostFile.cpp: metadata files read safely, whole host files replaced atomically.
#include "platform/HostFile.h"

#include "common/HostCalls.h"
#include "platform/RunRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace host = common::hostcalls;

namespace {

void say(std::string* message, const std::string& text)
{
    if (message)
        *message = text;
}

} // namespace

bool writeAllToHost(int fd, std::string_view bytes) { return host::writeAll(fd, bytes); }

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
    // The run record learns the folder before a fresh file is made there: one the removal fails
    // to take away is then removed by the next start.
    if (folder == AT_FDCWD)
        RunRecord::notePartialFolder(std::filesystem::path(name).parent_path());
    else
        RunRecord::notePartialFolder(folder);
    std::string left;
    if (host::replaceWholeAt(folder, name, bytes, &left))
        return WinError::Success;
    const int error = errno;
    const bool refused = error == EACCES || error == EPERM || error == EROFS || error == ENOENT ||
        error == ENOTDIR || error == ELOOP || error == EISDIR;
    say(message, (refused ? "cannot create " : "cannot write ") + name);
    if (!left.empty()) {
        RunRecord::noteLeftBehind(folder, left);
        if (message)
            *message += " (" + left + " is left; the next start removes it)";
    }
    return refused ? WinError::AccessDenied : WinError::WriteFault;
}

WinError replaceHostFile(const std::filesystem::path& file, std::string_view bytes, std::string* message)
{
    return replaceHostFileAt(AT_FDCWD, file.string(), bytes, message);
}

} // namespace platform
