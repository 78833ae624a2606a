// FileListing.cpp: reading a folder's files: readdir on the lister's own thread, fstatat on worker
// threads part by part, the parts taken up in listing order on the caller's thread.
#include "foldersize/scanner/FileListing.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <numeric>
#include <optional>
#include <system_error>
#include <type_traits>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QCollator>
#include <QHash>
#include <QMimeDatabase>

#include "foldersize/scanner/FileSystem.h"

namespace foldersize {

namespace {

// What a worker found about one name of the folder.
struct LookedFile {
    bool listed = false;  // a file (not a folder, not gone)
    bool oddDate = false; // the change time is outside the years 1 to 9999
    bool linked = false;  // several hard links
    dev_t dev = 0;
    ino_t ino = 0;
    FileEntry entry;
};

} // namespace

// Names of one part of the folder and, once looked at, their files.
struct FileLister::Batch {
    std::vector<std::string> names;
    std::vector<LookedFile> looked;
    std::future<void> done; // valid while a worker looks at the batch
};

// The parts the reader has seen looked at, in listing order, until the caller takes them up.
struct FileLister::Handover {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<std::unique_ptr<Batch>> parts;
    bool finished = false; // the reader has handed on its last part
};

namespace {

// Looks at the named entries of the folder open as dirFd. Safe on any thread.
void lookAt(int dirFd, const std::vector<std::string>& names, std::vector<LookedFile>& out)
{
    constexpr qint64 kFirst = -62135596800 + 86400; // 0001-01-02
    constexpr qint64 kLast = 253402300799 - 86400;  // 9999-12-30
    out.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        struct stat st {};
        if (::fstatat(dirFd, names[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
            continue; // folders (and "." and "..") are not listed; vanished entries neither
        auto& l = out[i];
        l.listed = true;
        FileEntry& f = l.entry;
        f.name = names[i];
        f.size = xGetFileSize(st);
        f.mtime = static_cast<qint64>(st.st_mtim.tv_sec);
        l.oddDate = f.mtime < kFirst || f.mtime > kLast;
        f.extension = QString::fromUtf8(realExtension(f.name).c_str()).toUpper();
        f.typeName = f.extension;
        l.linked = st.st_nlink > 1;
        l.dev = st.st_dev;
        l.ino = st.st_ino;
    }
}

} // namespace

FileLister::FileLister(std::string folder)
    : m_folder(std::move(folder))
    , m_handover(std::make_unique<Handover>())
{
    xAddBackslash(m_folder);
    DIR* d = ::opendir(m_folder.c_str());
    m_dir = d;
    m_opened = d != nullptr;
    m_allTaken = !m_opened;
    if (!d)
        return;
    // Room for the files at once, so a big folder's list is not moved again and again while it
    // grows. A folder's size tells roughly how many names it holds (ext4 gives about 28 bytes a
    // name, tmpfs 20, btrfs twice the names' length): a sixteenth errs on the side of room, which
    // costs address space only. Bounded, so an odd size cannot ask for much.
    struct stat st {};
    if (::fstat(::dirfd(d), &st) == 0 && st.st_size > 0)
        m_entries.reserve(std::min<std::size_t>(static_cast<std::size_t>(st.st_size) / 16, kMaxReserved));
    try {
        m_reader = std::thread([this] { readAll(); });
    } catch (const std::system_error&) {
        readAll(); // no thread to be had: the folder is read here, at once
    }
}

FileLister::~FileLister()
{
    m_cancel.store(true);
    if (m_reader.joinable())
        m_reader.join();
    closeFolder();
}

void FileLister::closeFolder()
{
    if (m_dir)
        ::closedir(static_cast<DIR*>(m_dir));
    m_dir = nullptr;
}

// The reader: reads the names, has workers look at them part by part and hands the parts on in
// listing order as they are looked at.
void FileLister::readAll()
{
    DIR* d = static_cast<DIR*>(m_dir);
    const int fd = ::dirfd(d);
    std::deque<std::unique_ptr<Batch>> out; // handed to workers, in listing order
    // Hands on the parts at the front that are looked at; waits for the first one when `wait`.
    const auto handOn = [this, &out](bool wait) {
        std::deque<std::unique_ptr<Batch>> ready;
        while (!out.empty()) {
            Batch& b = *out.front();
            if (b.done.valid()) {
                if (!wait && b.done.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                    break;
                b.done.get();
            }
            wait = false;
            ready.push_back(std::move(out.front()));
            out.pop_front();
        }
        if (ready.empty())
            return;
        {
            std::lock_guard<std::mutex> lock(m_handover->mutex);
            for (auto& b : ready)
                m_handover->parts.push_back(std::move(b));
        }
        m_handover->ready.notify_one();
    };
    auto reading = std::make_unique<Batch>();
    while (!m_cancel.load(std::memory_order_relaxed)) {
        const dirent* e = ::readdir(d);
        if (!e)
            break;
        reading->names.emplace_back(e->d_name);
        if (reading->names.size() < kBatchSize)
            continue;
        while (out.size() >= kMaxBatchesInFlight)
            handOn(true);
        Batch* raw = reading.get();
        try {
            raw->done = std::async(std::launch::async, [fd, raw] { lookAt(fd, raw->names, raw->looked); });
        } catch (const std::system_error&) {
            lookAt(fd, raw->names, raw->looked); // no thread to be had
        }
        out.push_back(std::exchange(reading, std::make_unique<Batch>()));
        handOn(false);
    }
    if (!m_cancel.load() && !reading->names.empty()) {
        lookAt(fd, reading->names, reading->looked);
        out.push_back(std::move(reading));
    }
    // The workers read the folder's handle: all end before the reader does.
    while (!out.empty())
        handOn(true);
    {
        std::lock_guard<std::mutex> lock(m_handover->mutex);
        m_handover->finished = true;
    }
    m_handover->ready.notify_one();
}

bool FileLister::step(int budget)
{
    if (m_allTaken)
        return false;
    std::deque<std::unique_ptr<Batch>> parts;
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(m_handover->mutex);
        Handover& h = *m_handover;
        if (h.parts.empty() && !h.finished)
            h.ready.wait_for(lock, std::chrono::milliseconds(1));
        std::size_t taken = 0;
        while (
            !h.parts.empty() && (parts.empty() || taken <= static_cast<std::size_t>(std::max(budget, 0)))) {
            taken += h.parts.front()->names.size();
            parts.push_back(std::move(h.parts.front()));
            h.parts.pop_front();
        }
        finished = h.finished && h.parts.empty();
    }
    for (auto& b : parts)
        takeUp(*b);
    if (finished) {
        m_allTaken = true;
        if (m_reader.joinable())
            m_reader.join();
        closeFolder();
    }
    return !m_allTaken;
}

// Takes up one part that workers have looked at.
void FileLister::takeUp(Batch& b)
{
    for (LookedFile& l : b.looked) {
        if (!l.listed)
            continue;
        FileEntry& f = l.entry;
        // Only a time outside the years 1 to 9999 needs the slow check (and its log line), which
        // reads the change time alone.
        if (l.oddDate) {
            struct stat st {};
            st.st_mtim.tv_sec = static_cast<time_t>(f.mtime);
            f.mtime = xGetFileDate(st, m_folder + f.name).toSecsSinceEpoch();
        }
        // A file with several hard links counts once, at its first link, as in the tree.
        f.repeatLink = l.linked && !m_linked.insert({l.dev, l.ino}).second;
        if (!f.repeatLink) {
            m_total += f.size;
            ++m_count;
        }
        m_entries.push_back(std::move(f));
    }
}

namespace {

// Positions ordered by an integer key; ties keep their order in both directions. A stable radix
// sort on the key's bytes, passing over the bytes all keys share (sizes and times differ in their
// low bytes only): a fraction of a comparison sort's time for a hundred thousand files.
template <typename Key> std::vector<std::size_t> orderByKey(const std::vector<Key>& keys, bool descending)
{
    static_assert(std::is_integral_v<Key> && sizeof(Key) == 8);
    struct Item {
        std::uint64_t key;
        std::uint32_t pos;
    };
    // Signed keys are shifted into unsigned order; descending order sorts the complement.
    const auto ordered = [descending](Key k) {
        std::uint64_t u = static_cast<std::uint64_t>(k);
        if constexpr (std::is_signed_v<Key>)
            u ^= std::uint64_t{1} << 63;
        return descending ? ~u : u;
    };
    std::vector<Item> items(keys.size());
    std::uint64_t all = 0;
    std::uint64_t any = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        items[i] = {ordered(keys[i]), static_cast<std::uint32_t>(i)};
        all = i == 0 ? items[i].key : (all & items[i].key);
        any |= items[i].key;
    }
    std::vector<Item> scratch(items.size());
    for (int shift = 0; shift < 64; shift += 8) {
        if (((all ^ any) >> shift & 0xFF) == 0)
            continue; // every key has the same byte here
        std::size_t start[257] = {};
        for (const Item& it : items)
            ++start[(it.key >> shift & 0xFF) + 1];
        for (int b = 0; b < 256; ++b)
            start[b + 1] += start[b];
        for (const Item& it : items)
            scratch[start[it.key >> shift & 0xFF]++] = it;
        items.swap(scratch);
    }
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].pos;
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

// Collation keys of the names in the default locale's order (as QString::localeAwareCompare
// orders them): each is made once, on worker threads for a long list, and then compared as bytes
// instead of collating two names at every comparison.
std::vector<std::optional<QCollatorSortKey>> nameKeys(
    const std::vector<FileEntry>& entries, const std::vector<std::uint32_t>& rows)
{
    const std::size_t count = rows.size();
    const auto at = [&](std::size_t i) -> const FileEntry& { return entries[rows[i]]; };
    std::vector<std::optional<QCollatorSortKey>> keys(count);
    const auto fill = [&at, &keys](std::size_t from, std::size_t to) {
        const QCollator collator;
        for (std::size_t i = from; i < to; ++i) {
            const std::string& n = at(i).name;
            keys[i].emplace(collator.sortKey(QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size()))));
        }
    };
    constexpr std::size_t kPart = 8192;
    const std::size_t parts = std::min<std::size_t>(8, (count + kPart - 1) / kPart);
    if (parts <= 1) {
        fill(0, count);
        return keys;
    }
    const std::size_t per = (count + parts - 1) / parts;
    std::vector<std::future<void>> running;
    for (std::size_t p = 1; p < parts; ++p) {
        const std::size_t from = p * per;
        const std::size_t to = std::min(count, from + per);
        try {
            running.push_back(std::async(std::launch::async, fill, from, to));
        } catch (const std::system_error&) {
            fill(from, to); // no thread to be had
        }
    }
    fill(0, per);
    for (std::future<void>& r : running)
        r.get();
    return keys;
}

// Positions 0..rows.size()-1 in column order, where position i holds entries[rows[i]].
std::vector<std::size_t> orderOf(const std::vector<FileEntry>& entries,
    const std::vector<std::uint32_t>& rows, FileColumn column, bool descending)
{
    const std::size_t count = rows.size();
    const auto at = [&](std::size_t i) -> const FileEntry& { return entries[rows[i]]; };
    switch (column) {
    case FileColumn::Size: {
        std::vector<std::uint64_t> keys(count);
        for (std::size_t i = 0; i < count; ++i)
            keys[i] = at(i).size;
        return orderByKey(keys, descending);
    }
    case FileColumn::Modified: {
        std::vector<qint64> keys(count);
        for (std::size_t i = 0; i < count; ++i)
            keys[i] = at(i).mtime;
        return orderByKey(keys, descending);
    }
    case FileColumn::Type: {
        std::vector<QString> types(count);
        for (std::size_t i = 0; i < count; ++i)
            types[i] = at(i).typeName;
        const std::vector<std::uint32_t> ranks = textRanks(types);
        return orderByKey(std::vector<std::uint64_t>(ranks.begin(), ranks.end()), descending);
    }
    case FileColumn::Name: break;
    }
    const std::vector<std::optional<QCollatorSortKey>> keys = nameKeys(entries, rows);
    auto less = [&keys](std::size_t a, std::size_t b) { return keys[a]->compare(*keys[b]) < 0; };
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (descending)
        std::stable_sort(
            order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    return order;
}

} // namespace

std::vector<std::size_t> sortedOrder(
    const std::vector<FileEntry>& entries, FileColumn column, bool descending)
{
    std::vector<std::uint32_t> rows(entries.size());
    std::iota(rows.begin(), rows.end(), std::uint32_t{0});
    const std::vector<std::uint32_t> sorted = sortedRows(entries, rows, column, descending);
    return {sorted.begin(), sorted.end()};
}

std::vector<std::uint32_t> sortedRows(const std::vector<FileEntry>& entries,
    const std::vector<std::uint32_t>& rows, FileColumn column, bool descending)
{
    const std::vector<std::size_t> order = orderOf(entries, rows, column, descending);
    std::vector<std::uint32_t> sorted(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        sorted[i] = rows[order[i]];
    return sorted;
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
