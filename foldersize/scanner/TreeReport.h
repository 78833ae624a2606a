// TreeReport.h: the measured tree as a saved report (one quoted record per folder: path and size
// in bytes) and as the lines of a printout (padded size in the current unit, " - ", path).
#pragma once

#include "foldersize/scanner/FolderTree.h"

#include <QByteArray>
#include <QLocale>
#include <QStringList>

namespace foldersize {

// The records of every folder below node, in pre-order (a folder before its subfolders, siblings
// in tree order); the node itself gives none. A record is: '"' path '"' ',' '"' bytes '"' CR LF.
// The path keeps the file system's bytes and its trailing "/"; a '"' inside a path is doubled.
QByteArray TreeViewSpeichernR(const FolderNode& node);

// The report of one root (empty for a root without subfolders).
QByteArray reportForRoot(const FolderRoot& root);
// The reports of all roots, oldest first, with nothing between them.
QByteArray reportForAllRoots(const FolderTree& tree);

// Printout lines of one root: first the root's own line, then every folder below it in the
// report's order; each line is FormatSize(total, false, true, unit), " - " and the folder path.
// With maxChars > 0 a longer line is shortened in the middle (shortenMiddle); a path is then
// decoded only as far as the shortened line shows it (a tree 10,000 folders deep has paths of
// tens of thousands of characters).
QStringList printLinesForRoot(
    const FolderRoot& root, int unit, const QLocale& locale = QLocale(), int maxChars = 0);

// The line itself when it has at most maxChars characters; otherwise its start and its end with
// "…" between them, maxChars characters in all.
QString shortenMiddle(const QString& line, int maxChars);

// Rows of the printout for one line on a page `width` characters wide: a longer line continues on
// further rows, indented to where its path starts; one that needs more than maxRows rows is
// shortened in the middle first. No row is longer than width.
QStringList printRows(const QString& line, int width, int maxRows = 3);

} // namespace foldersize
