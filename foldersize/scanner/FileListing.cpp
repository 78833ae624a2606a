// FileListing.cpp: reading a folder's files with readdir/fstatat.
#include "foldersize/scanner/FileListing.h"

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QHash>
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
        // Only a time outside the years 1 to 9999 needs the slow check (and its log line).
        const qint64 secs = static_cast<qint64>(st.st_mtim.tv_sec);
        constexpr qint64 kFirst = -62135596800 + 86400; // 0001-01-02
        constexpr qint64 kLast = 253402300799 - 86400;  // 9999-12-30
        f.mtime =
            secs >= kFirst && secs <= kLast ? secs : xGetFileDate(st, m_folder + f.name).toSecsSinceEpoch();
        f.extension = QString::fromUtf8(realExtension(f.name).c_str()).toUpper();
        f.typeName = f.extension;
        // A file with several hard links counts once, at its first link, as in the tree.
        f.repeatLink = st.st_nlink > 1 && !m_linked.insert({st.st_dev, st.st_ino}).second;
        if (!f.repeatLink) {
            m_total += f.size;
            ++m_count;
        }
        m_entries.push_back(std::move(f));
    }
    return m_dir != nullptr;
}

namespace {

// Positions ordered by an integer key; ties keep their order in both directions.
template <typename Key> std::vector<std::size_t> orderByKey(const std::vector<Key>& keys, bool descending)
{
    // Sorting (key, position) pairs keeps the comparison on contiguous values: a fraction of the
    // time of a stable sort that looks each entry up.
    std::vector<std::pair<Key, std::size_t>> pairs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        pairs[i] = {keys[i], i};
    std::sort(pairs.begin(), pairs.end(), [descending](const auto& a, const auto& b) {
        if (a.first != b.first)
            return descending ? a.first > b.first : a.first < b.first;
        return a.second < b.second;
    });
    std::vector<std::size_t> order(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i)
        order[i] = pairs[i].second;
    return order;
}

// Ranks of the texts in the locale's order (equal texts share one rank). A folder holds few
// distinct type names, so each is compared once with the others, not once per file.
std::vector<std::uint32_t> textRanks(const std::vector<QString>& texts)
{
    std::vector<QString> distinct = texts;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::stable_sort(distinct.begin(), distinct.end(),
        [](const QString& a, const QString& b) { return QString::localeAwareCompare(a, b) < 0; });
    std::vector<std::uint32_t> rankOfDistinct(distinct.size());
    for (std::size_t i = 1; i < distinct.size(); ++i)
        rankOfDistinct[i] = rankOfDistinct[i - 1] +
            (QString::localeAwareCompare(distinct[i - 1], distinct[i]) != 0 ? 1u : 0u);
    QHash<QString, std::uint32_t> rank;
    for (std::size_t i = 0; i < distinct.size(); ++i)
        rank.insert(distinct[i], rankOfDistinct[i]);
    std::vector<std::uint32_t> out(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        out[i] = rank.value(texts[i]);
    return out;
}

} // namespace

std::vector<std::size_t> sortedOrder(
    const std::vector<FileEntry>& entries, FileColumn column, bool descending)
{
    switch (column) {
    case FileColumn::Size: {
        std::vector<std::uint64_t> keys(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            keys[i] = entries[i].size;
        return orderByKey(keys, descending);
    }
    case FileColumn::Modified: {
        std::vector<qint64> keys(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            keys[i] = entries[i].mtime;
        return orderByKey(keys, descending);
    }
    case FileColumn::Type: {
        std::vector<QString> types(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            types[i] = entries[i].typeName;
        return orderByKey(textRanks(types), descending);
    }
    case FileColumn::Name: break;
    }
    // Names are converted once; the comparator then only looks them up.
    std::vector<QString> text(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        text[i] = QString::fromUtf8(entries[i].name.data(), static_cast<qsizetype>(entries[i].name.size()));
    auto less = [&](std::size_t a, std::size_t b) {
        return QString::localeAwareCompare(text[a], text[b]) < 0;
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
    // Without a real extension nothing says what the file is (the contents are not read).
    if (upperExtension.isEmpty())
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

bool hasOwnIcon(const QString& upperExtension)
{
    return upperExtension == QLatin1String("EXE") || upperExtension == QLatin1String("ICO") ||
        upperExtension == QLatin1String("PIF") || upperExtension == QLatin1String("LNK");
}

QString iconKey(const QString& fileName, const QString& upperExtension)
{
    if (hasOwnIcon(upperExtension))
        return fileName;
    if (upperExtension.isEmpty())
        return QStringLiteral("leer");
    return QStringLiteral("K") + upperExtension;
}

} // namespace foldersize
