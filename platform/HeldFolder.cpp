// HeldFolder.cpp: entries of one open folder looked at relative to it (fstatat).
#include "platform/HeldFolder.h"

#include "platform/PathResolver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

HeldFolder::~HeldFolder() { close(); }

void HeldFolder::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool HeldFolder::open(const FileSystem& fileSystem, std::string_view folder)
{
    close();
    const ResolvedPath r = fileSystem.resolver().resolve(folder);
    if (!r.ok() || !r.exists)
        return false;
    m_fd = ::open(r.host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return m_fd >= 0;
}

HeldFolder::Kind HeldFolder::kindOf(const std::string& name) const
{
    // The layer's own files carry ":", which no Windows name holds; "." and ".." are no entries.
    if (m_fd < 0 || name.empty() || name == "." || name == ".." ||
        name.find_first_of(":/") != std::string::npos)
        return Kind::Missing;
    struct stat st {};
    if (::fstatat(m_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Kind::Missing;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return S_ISREG(st.st_mode) ? Kind::File : Kind::Missing;
}

} // namespace platform
