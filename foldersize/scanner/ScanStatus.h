// ScanStatus.h: what the status bar and the windowless scan say after a scan: whether folders
// could not be read or kernel file systems were passed over.
#pragma once

#include <QString>

#include "foldersize/scanner/FolderScanner.h"

namespace foldersize {

// "OK." after a complete scan; after a stop, that the sizes are incomplete; then what was left
// out, so that no total looks complete when it is not.
QString scanStatusText(const ScanStatistics& stats);

// Adds the counts of one scan to those of a run over several folders.
void addStatistics(ScanStatistics& total, const ScanStatistics& one);

} // namespace foldersize
