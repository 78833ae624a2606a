// FileSystem.h: small file-system helpers shared by the main window, the scan, the file list and
// the dialogs. Paths are the file system's bytes (std::string), "/" separated, never re-cased.
#pragma once

#include <cstdint>
#include <string>

#include <QDateTime>

struct stat;

namespace foldersize {

// True when anything exists at path (a file, a folder, a link, even a dangling one).
bool xExistFile(const std::string& path);

// True when path names an existing folder (links to folders count). A path that is empty or
// only blanks is false without asking the file system.
bool xExistFolder(const std::string& path);

// Text after the last "." of the last path component; "" when there is none.
std::string xGetExtension(const std::string& name);

// Folder part of a path: the text before the last "/" ("/" for an entry of the root folder,
// "" when there is no "/").
std::string xGetPath(const std::string& path);

// Appends "/" unless the path already ends in one; "" becomes "/". Blanks are kept: they are
// legal at both ends of Linux names.
std::string& xAddBackslash(std::string& path);

// Deletes a file. Returns 1 when the file is gone afterwards (also when it was missing), else 0.
// With force, a failed delete is retried after making the file itself writable; the folder's
// permissions are never changed (so a file in a write-protected folder stays).
int xDeleteFile(const std::string& path, bool force);

// The process's working folder ("/" when it cannot be named).
std::string xCurrentFolder();

// Apparent size in bytes from a stat record.
std::uint64_t xGetFileSize(const struct stat& st);

// Last change time as local date and time, seconds precision. A time that cannot be shown is
// logged (through the error-log hook) and replaced by 9 February 2070 20:59:59.
QDateTime xGetFileDate(const struct stat& st, const std::string& name);

// The marker date used for a file time that cannot be shown.
QDateTime invalidFileDateMarker();

// Where helpers write their single error-log lines; the program installs ErrorLogSchreiben.
// Without a hook the lines are dropped.
using ErrorLogHook = void (*)(const QString& line);
void setErrorLogHook(ErrorLogHook hook);
void writeErrorLogLine(const QString& line);

} // namespace foldersize
