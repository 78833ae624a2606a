// FileListing.cpp: reading a folder's files with readdir/fstatat.
#include "FileListing.h"

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "FileSystem.h"

namespace foldersize {

FileLister::FileLister(std::string folder) : m_folder(std::move(folder)) {
    xAddBackslash(m_folder);
    DIR* d = ::opendir(m_folder.c_str());
    m_dir = d;
    m_opened = d != nullptr;
}

FileLister::~FileLister() {
    if (m_dir)
        ::closedir(static_cast<DIR*>(m_dir));
}

bool FileLister::step(int budget) {
    DIR* d = static_cast<DIR*>(m_dir);
    while (d && budget-- > 0) {
        const dirent* e = ::readdir(d);
        if (!e) {
            ::closedir(d);
            m_dir = d = nullptr;
            break;
        }
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
            continue;  // folders (and "." and "..") are not listed; vanished entries neither
        FileEntry f;
        f.name = e->d_name;
        f.size = xGetFileSize(st);
        f.modified = xGetFileDate(st, m_folder + f.name);
        f.extension = QString::fromUtf8(xGetExtension(f.name).c_str()).toUpper();
        f.typeName = f.extension;
        m_total += f.size;
        m_entries.push_back(std::move(f));
    }
    return m_dir != nullptr;
}

void sortFileEntries(std::vector<FileEntry>& entries, FileColumn column, bool descending) {
    auto less = [column](const FileEntry& a, const FileEntry& b) {
        switch (column) {
        case FileColumn::Name:
            return QString::localeAwareCompare(QString::fromUtf8(a.name.c_str()),
                                               QString::fromUtf8(b.name.c_str())) < 0;
        case FileColumn::Size:
            return a.size < b.size;
        case FileColumn::Type:
            return QString::localeAwareCompare(a.typeName, b.typeName) < 0;
        case FileColumn::Modified:
            return a.modified < b.modified;
        }
        return false;
    };
    if (descending)
        std::stable_sort(entries.begin(), entries.end(), [&](const FileEntry& a, const FileEntry& b) { return less(b, a); });
    else
        std::stable_sort(entries.begin(), entries.end(), less);
}

QString fallbackTypeName(const QString& upperExtension) {
    return upperExtension.isEmpty() ? QStringLiteral("Datei") : upperExtension + QStringLiteral("-Datei");
}

QString iconKey(const QString& fileName, const QString& upperExtension) {
    if (upperExtension == QLatin1String("EXE") || upperExtension == QLatin1String("ICO") ||
        upperExtension == QLatin1String("PIF") || upperExtension == QLatin1String("LNK"))
        return fileName;
    if (upperExtension.isEmpty())
        return QStringLiteral("leer");
    return QStringLiteral("K") + upperExtension;
}

}  // namespace foldersize
