// FileListing.h: the files (not the subfolders) of one folder with size, type and change time,
// read in bounded steps, and their ordering by the file list's columns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QDateTime>
#include <QMimeType>
#include <QString>

namespace foldersize {

struct FileEntry {
    std::string name; // file name as on disk
    std::uint64_t size = 0;
    QDateTime modified; // local time
    QString extension;  // upper-case extension, "" when none
    QString typeName;   // type column text (extension until a type name is known)
};

// File-list columns: name, size, type, change time.
enum class FileColumn { Name = 0, Size = 1, Type = 2, Modified = 3 };

class FileLister {
public:
    // folder with or without a trailing "/". An unopenable folder lists nothing.
    explicit FileLister(std::string folder);
    ~FileLister();
    FileLister(const FileLister&) = delete;
    FileLister& operator=(const FileLister&) = delete;

    // Reads at most `budget` entries; returns true while entries remain.
    bool step(int budget);

    const std::string& folder() const { return m_folder; }
    std::vector<FileEntry>& entries() { return m_entries; }
    std::uint64_t totalBytes() const { return m_total; }
    bool opened() const { return m_opened; }

private:
    std::string m_folder;
    void* m_dir = nullptr; // DIR*
    bool m_opened = false;
    std::vector<FileEntry> m_entries;
    std::uint64_t m_total = 0;
};

// Positions of the entries in column order (see sortFileEntries).
std::vector<std::size_t> sortedOrder(
    const std::vector<FileEntry>& entries, FileColumn column, bool descending);

// Orders entries by a column: names and types by text, sizes by value, times by value;
// ties keep their order.
void sortFileEntries(std::vector<FileEntry>& entries, FileColumn column, bool descending);

// The extension that says what a file is: the text after the last "." (xGetExtension), except a
// version number: digits after a "." that follows a digit ("pas2js-3.2.2", "libfoo-1.0") are none.
std::string realExtension(const std::string& fileName);

// MIME type of a file, decided by its name and real extension only (the contents are not read);
// the default type when the name's only extension is a version number.
QMimeType mimeTypeOf(const std::string& fileName, const QString& upperExtension);

// Type name of a file: the MIME type's comment in the default locale's language, else
// fallbackTypeName.
QString typeNameOf(const QMimeType& mime, const QString& upperExtension);

// Type text when no type name is known: "Datei" without extension, else "<EXT>-Datei".
QString fallbackTypeName(const QString& upperExtension);

// Icon cache key of a file: the file name for EXE, ICO, PIF and LNK files, "leer" without an
// extension, otherwise "K" followed by the upper-case extension.
QString iconKey(const QString& fileName, const QString& upperExtension);

} // namespace foldersize
