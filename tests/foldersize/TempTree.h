// TempTree.h: builds small temporary folder trees for the Tallymoor tests and removes them
// afterwards, however deep they are (the removal walks with openat, not with full paths).
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

inline std::vector<std::string> listNames(int dirFd)
{
    std::vector<std::string> names;
    const int dup = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY);
    DIR* d = dup < 0 ? nullptr : ::fdopendir(dup);
    if (!d)
        return names;
    while (dirent* e = ::readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    ::closedir(d);
    return names;
}

// Removes one entry. Folders deeper than a few levels are moved up to topFd instead, so the
// removal never holds more than a few handles however deep the tree is.
inline void removeEntry(int parentFd, const std::string& name, int topFd, int depth)
{
    struct stat st {};
    if (::fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        ::unlinkat(parentFd, name.c_str(), 0);
        return;
    }
    ::fchmodat(parentFd, name.c_str(), 0700, 0);
    if (depth > 16) {
        static unsigned counter = 0;
        const std::string flat = ".flat-" + std::to_string(++counter);
        ::renameat(parentFd, name.c_str(), topFd, flat.c_str());
        return;
    }
    const int sub = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (sub >= 0) {
        for (const auto& n : listNames(sub))
            removeEntry(sub, n, topFd, depth + 1);
        ::close(sub);
    }
    ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
}

// Removes everything below the folder open as topFd.
inline void removeContents(int topFd)
{
    for (int round = 0; round < 100000; ++round) {
        const auto names = listNames(topFd);
        if (names.empty())
            break;
        for (const auto& n : names)
            removeEntry(topFd, n, topFd, 1);
    }
}

class TempTree {
public:
    TempTree()
    {
        char tmpl[] = "/tmp/tallymoor-test-XXXXXX";
        if (!::mkdtemp(tmpl))
            throw std::runtime_error("mkdtemp failed");
        m_root = tmpl;
        ::chmod(m_root.c_str(), 0755);
    }
    ~TempTree()
    {
        const int fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) {
            removeContents(fd);
            ::close(fd);
        }
        ::rmdir(m_root.c_str());
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // Root folder with a trailing "/".
    std::string root() const { return m_root + "/"; }
    std::string path(const std::string& rel) const { return m_root + "/" + rel; }

    void dir(const std::string& rel)
    {
        std::string p;
        std::size_t pos = 0;
        while (pos <= rel.size()) {
            const std::size_t slash = rel.find('/', pos);
            p = rel.substr(0, slash == std::string::npos ? rel.size() : slash);
            ::mkdir(path(p).c_str(), 0755);
            if (slash == std::string::npos)
                break;
            pos = slash + 1;
        }
    }

    // Creates a file of `size` bytes (sparse beyond the first bytes), making its folders.
    void file(const std::string& rel, std::uint64_t size)
    {
        const std::size_t slash = rel.rfind('/');
        if (slash != std::string::npos)
            dir(rel.substr(0, slash));
        const int fd = ::open(path(rel).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot create " + rel + ": " + std::strerror(errno));
        if (size > 0 && size < 4096) {
            std::string data(size, 'x');
            if (::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
                throw std::runtime_error("write failed");
        } else if (size > 0 && ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
            ::close(fd);
            throw std::runtime_error("ftruncate failed");
        }
        ::close(fd);
    }

    void symlink(const std::string& target, const std::string& rel)
    {
        if (::symlink(target.c_str(), path(rel).c_str()) != 0)
            throw std::runtime_error("symlink failed");
    }
    void hardlink(const std::string& existing, const std::string& rel)
    {
        if (::link(path(existing).c_str(), path(rel).c_str()) != 0)
            throw std::runtime_error("link failed");
    }

private:
    std::string m_root;
};

} // namespace testsupport
