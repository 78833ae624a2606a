// NamedMutex.cpp: named mutexes as advisory locks on files in the machine's "mutex" folder.
#include "platform/NamedMutex.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <system_error>

#include "common/HostCalls.h"
#include "common/Text.h"

namespace platform {

NamedMutex::NamedMutex(NamedMutex&& other) noexcept
    : m_fd(other.m_fd)
    , m_exists(other.m_exists)
{
    other.m_fd = -1;
    other.m_exists = false;
}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_exists = other.m_exists;
        other.m_fd = -1;
        other.m_exists = false;
    }
    return *this;
}

NamedMutex::~NamedMutex() { release(); }

void NamedMutex::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

NamedMutex NamedMutex::create(const std::filesystem::path& machineFolder, const std::string& name)
{
    NamedMutex result;
    // Mutex names compare without regard to case; keep the file name to safe characters.
    std::string file;
    for (const char c : name)
        file += common::isAsciiAlnum(c) ? common::lowerAscii(c) : '_';
    if (file.empty())
        return result;
    const std::filesystem::path folder = machineFolder / "mutex";
    common::hostcalls::makeFolders(folder.string());
    const std::string path = (folder / (file + ".lock")).string();
    const int fd = common::hostcalls::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return result;
    // flock locks belong to the open file description: a second open in this process conflicts
    // too, and the lock goes with the holder's last descriptor, crash or not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = (errno == EWOULDBLOCK);
        ::close(fd);
        result.m_exists = held;
        return result;
    }
    result.m_fd = fd;
    return result;
}

} // namespace platform
