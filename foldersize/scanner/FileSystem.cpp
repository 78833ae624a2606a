// FileSystem.cpp: existence tests, path splitting, deletion and file times on the host.
#include "foldersize/scanner/FileSystem.h"

#include <cerrno>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace foldersize {
namespace {

ErrorLogHook g_errorLogHook = nullptr;

bool allBlank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

} // namespace

void setErrorLogHook(ErrorLogHook hook) { g_errorLogHook = hook; }

void writeErrorLogLine(const QString& line)
{
    if (g_errorLogHook)
        g_errorLogHook(line);
}

bool xExistFile(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool xExistFolder(const std::string& path)
{
    if (allBlank(path))
        return false;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string xGetExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return {};
    return name.substr(dot + 1);
}

std::string xGetPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string& xAddBackslash(std::string& path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

int xDeleteFile(const std::string& path, bool force)
{
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return 1;
    if (!force)
        return 0;
    // Only the file's own permissions change; its folder is left exactly as it was.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode))
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRUSR | S_IWUSR);
    return (::unlink(path.c_str()) == 0 || errno == ENOENT) ? 1 : 0;
}

std::string xCurrentFolder()
{
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return "/";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

std::uint64_t xGetFileSize(const struct stat& st)
{
    return st.st_size < 0 ? 0 : static_cast<std::uint64_t>(st.st_size);
}

QDateTime invalidFileDateMarker() { return QDateTime(QDate(2070, 2, 9), QTime(20, 59, 59)); }

QDateTime xGetFileDate(const struct stat& st, const std::string& name)
{
    const qint64 secs = static_cast<qint64>(st.st_mtim.tv_sec);
    QDateTime t = QDateTime::fromSecsSinceEpoch(secs).toLocalTime();
    if (!t.isValid() || t.date().year() < 1 || t.date().year() > 9999) {
        writeErrorLogLine(QStringLiteral("Die Datei '%1' besitzt ein ungültiges Datum. Error2: %2")
                              .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                                  QStringLiteral("T%1").arg(secs)));
        return invalidFileDateMarker();
    }
    return t;
}

} // namespace foldersize
