// FileListing.cpp: reading a folder's files with readdir/fstatat.
#include "foldersize/scanner/FileListing.h"

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QMimeDatabase>

#include "foldersize/scanner/FileSystem.h"

namespace foldersize {

FileLister::FileLister(std::string folder)
    : m_folder(std::move(folder))
{
    xAddBackslash(m_folder);
    DIR* d = ::opendir(m_folder.c_str());
    m_dir = d;
    m_opened = d != nullptr;
}

FileLister::~FileLister()
{
    if (m_dir)
        ::closedir(static_cast<DIR*>(m_dir));
}

bool FileLister::step(int budget)
{
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
            continue; // folders (and "." and "..") are not listed; vanished entries neither
        FileEntry f;
        f.name = e->d_name;
        f.size = xGetFileSize(st);
        f.modified = xGetFileDate(st, m_folder + f.name);
        f.extension = QString::fromUtf8(realExtension(f.name).c_str()).toUpper();
        f.typeName = f.extension;
        m_total += f.size;
        m_entries.push_back(std::move(f));
    }
    return m_dir != nullptr;
}

std::vector<std::size_t> sortedOrder(
    const std::vector<FileEntry>& entries, FileColumn column, bool descending)
{
    // Names and types are compared once as text; the comparator then only looks them up.
    std::vector<QString> text(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (column == FileColumn::Name)
            text[i] =
                QString::fromUtf8(entries[i].name.data(), static_cast<qsizetype>(entries[i].name.size()));
        else if (column == FileColumn::Type)
            text[i] = entries[i].typeName;
    }
    auto less = [&](std::size_t a, std::size_t b) {
        switch (column) {
        case FileColumn::Name:
        case FileColumn::Type: return QString::localeAwareCompare(text[a], text[b]) < 0;
        case FileColumn::Size: return entries[a].size < entries[b].size;
        case FileColumn::Modified: return entries[a].modified < entries[b].modified;
        }
        return false;
    };
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (descending)
        std::stable_sort(
            order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    return order;
}

void sortFileEntries(std::vector<FileEntry>& entries, FileColumn column, bool descending)
{
    const std::vector<std::size_t> order = sortedOrder(entries, column, descending);
    std::vector<FileEntry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries = std::move(sorted);
}

std::string realExtension(const std::string& fileName)
{
    const std::string ext = xGetExtension(fileName);
    if (ext.empty())
        return ext;
    const std::size_t dot = fileName.size() - ext.size() - 1;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (dot > 0 && isDigit(fileName[dot - 1]) && std::all_of(ext.begin(), ext.end(), isDigit))
        return std::string();
    return ext;
}

QMimeType mimeTypeOf(const std::string& fileName, const QString& upperExtension)
{
    static const QMimeDatabase mimes;
    if (upperExtension.isEmpty() && !xGetExtension(fileName).empty())
        return mimes.mimeTypeForName(QStringLiteral("application/octet-stream"));
    const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()));
    return mimes.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
}

QString typeNameOf(const QMimeType& mime, const QString& upperExtension)
{
    const QString comment = mime.isDefault() ? QString() : mime.comment();
    return comment.isEmpty() ? fallbackTypeName(upperExtension) : comment;
}

QString fallbackTypeName(const QString& upperExtension)
{
    return upperExtension.isEmpty() ? QStringLiteral("Datei") : upperExtension + QStringLiteral("-Datei");
}

QString iconKey(const QString& fileName, const QString& upperExtension)
{
    if (upperExtension == QLatin1String("EXE") || upperExtension == QLatin1String("ICO") ||
        upperExtension == QLatin1String("PIF") || upperExtension == QLatin1String("LNK"))
        return fileName;
    if (upperExtension.isEmpty())
        return QStringLiteral("leer");
    return QStringLiteral("K") + upperExtension;
}

} // namespace foldersize
