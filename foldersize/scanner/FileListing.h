// FileListing.h: the files (not the subfolders) of one folder with size, type and change time,
// read in bounded steps, and their ordering by the file list's columns.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QMimeType>
#include <QString>

#include <sys/types.h>

namespace foldersize {

struct FileEntry {
    std::string name; // file name as on disk
    std::uint64_t size = 0;
    qint64 mtime = 0; // change time, seconds since 1970 (a bad date holds the marker's time)
    // The change time in local time (converted when it is shown, not while listing).
    QDateTime modified() const { return QDateTime::fromSecsSinceEpoch(mtime); }
    QString extension; // upper-case extension, "" when none
    QString typeName;  // type column text (extension until a type name is known)
    QString iconKey;   // key of the icon in the list's icon cache; "" for no icon
    // A further hard link to a file listed before in this folder: shown, but not counted again.
    bool repeatLink = false;
};

// File-list columns: name, size, type, change time.
enum class FileColumn { Name = 0, Size = 1, Type = 2, Modified = 3 };

class FileLister {
public:
    // Names read before their files are looked at by a worker thread; the folder's last part is
    // looked at by the thread that reads the names.
    static constexpr std::size_t kBatchSize = 2048;
    // Batches looked at by workers at the same time at most. More threads than processors: on a
    // busy machine the list got its files a seventh sooner with 16 parts of 2,048 names in flight
    // than with 8 of 1,024 (medians of alternating runs on 100,000 files).
    static constexpr std::size_t kMaxBatchesInFlight = 16;
    // Entries reserved at most before the folder is read (guessed from the folder's size).
    static constexpr std::size_t kMaxReserved = std::size_t{1} << 20;

    // folder with or without a trailing "/". An unopenable folder lists nothing. The names are
    // read by a thread of the lister's own (on the caller's thread when none can be started), so
    // the caller's thread only takes up what the workers found.
    explicit FileLister(std::string folder);
    // Stops the reading and waits for the threads still at work.
    ~FileLister();
    FileLister(const FileLister&) = delete;
    FileLister& operator=(const FileLister&) = delete;

    // Takes up the files looked at meanwhile, in listing order: whole parts, until more than
    // `budget` files are taken (at least one part); waits a millisecond at most when none is
    // ready. Returns true while entries remain.
    bool step(int budget);

    const std::string& folder() const { return m_folder; }
    std::vector<FileEntry>& entries() { return m_entries; }
    // Bytes and number of the files, each file counted once however many links it has here.
    std::uint64_t totalBytes() const { return m_total; }
    std::size_t fileCount() const { return m_count; }
    bool opened() const { return m_opened; }

private:
    struct Batch;
    struct Handover;

    void readAll();
    void takeUp(Batch& b);
    void closeFolder();

    std::string m_folder;
    void* m_dir = nullptr; // DIR*, open until the reader has ended
    bool m_opened = false;
    bool m_allTaken = false;
    std::unique_ptr<Handover> m_handover; // parts looked at, from the reader to the caller
    std::thread m_reader;
    std::atomic<bool> m_cancel{false};
    std::vector<FileEntry> m_entries;
    std::uint64_t m_total = 0;
    std::size_t m_count = 0;
    std::set<std::pair<dev_t, ino_t>> m_linked;
};

// Positions of the entries in column order (see sortFileEntries).
std::vector<std::size_t> sortedOrder(
    const std::vector<FileEntry>& entries, FileColumn column, bool descending);

// The rows in column order: rows[i] is the position in entries of the file shown in row i; the
// result says the same of the ordered rows. Ties keep their row order, so ordering by one column
// and then by another keeps the first order within equal values of the second.
std::vector<std::uint32_t> sortedRows(const std::vector<FileEntry>& entries,
    const std::vector<std::uint32_t>& rows, FileColumn column, bool descending);

// Orders entries by a column: names and types by text, sizes by value, times by value;
// ties keep their order.
void sortFileEntries(std::vector<FileEntry>& entries, FileColumn column, bool descending);

// The extension that says what a file is: the text after the last "." (xGetExtension), except a
// version number: digits after a "." that follows a digit ("pas2js-3.2.2", "libfoo-1.0") are none.
std::string realExtension(const std::string& fileName);

// MIME type of a file, decided by its name when it has a real extension (the contents are not
// read; "backup.tar.gz" is a compressed tar archive); the default type without one.
QMimeType mimeTypeOf(const std::string& fileName, const QString& upperExtension);

// Type name of a file: the MIME type's comment in the default locale's language, else
// fallbackTypeName.
QString typeNameOf(const QMimeType& mime, const QString& upperExtension);

// Type text when no type name is known: "Datei" without extension, else "<EXT>-Datei".
QString fallbackTypeName(const QString& upperExtension);

// Icon cache key of a file: the file name for EXE, ICO, PIF and LNK files (hasOwnIcon), "leer"
// without an extension, otherwise "K" followed by the upper-case extension.
QString iconKey(const QString& fileName, const QString& upperExtension);
bool hasOwnIcon(const QString& upperExtension);

} // namespace foldersize
