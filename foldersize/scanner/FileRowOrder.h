// FileRowOrder.h: the file list's rows in the order of a column.
#pragma once

#include <cstdint>
#include <vector>

#include "foldersize/scanner/FileEntry.h"

namespace foldersize {

// The rows in column order: rows[i] is the position in entries of the file shown in row i; the
// result says the same of the ordered rows. Names and types are ordered as the locale compares
// texts, sizes and times by value. Ties keep their row order, so ordering by one column and then
// by another keeps the first order within equal values of the second.
std::vector<std::uint32_t> sortedRows(const std::vector<FileEntry>& entries,
    const std::vector<std::uint32_t>& rows, FileColumn column, bool descending);

} // namespace foldersize
