// FileEntry.h: one file of the file list (name, size, change time, type and icon key) and the
// list's columns.
#pragma once

#include <cstdint>
#include <string>

#include <QDateTime>
#include <QString>

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

} // namespace foldersize
