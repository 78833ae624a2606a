// FileRows.h: tests order files through the file list's own row order (sortedRows).
#pragma once

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "foldersize/scanner/FileRowOrder.h"

namespace foldersize {

// Positions of the entries in column order.
inline std::vector<std::size_t> rowOrder(
    const std::vector<FileEntry>& entries, FileColumn column, bool descending)
{
    std::vector<std::uint32_t> rows(entries.size());
    std::iota(rows.begin(), rows.end(), std::uint32_t{0});
    const std::vector<std::uint32_t> sorted = sortedRows(entries, rows, column, descending);
    return {sorted.begin(), sorted.end()};
}

// The entries put in column order.
inline void orderEntries(std::vector<FileEntry>& entries, FileColumn column, bool descending)
{
    std::vector<FileEntry> ordered;
    ordered.reserve(entries.size());
    for (std::size_t i : rowOrder(entries, column, descending))
        ordered.push_back(std::move(entries[i]));
    entries = std::move(ordered);
}

// The names of the entries, in their order.
inline std::vector<std::string> fileNames(const std::vector<FileEntry>& entries)
{
    std::vector<std::string> out;
    for (const FileEntry& f : entries)
        out.push_back(f.name);
    return out;
}

} // namespace foldersize
