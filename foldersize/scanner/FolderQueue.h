// FolderQueue.h: the queue of folders waiting to be measured, fed by the command line, a second
// copy, the toolbar and refreshes, and worked off one folder at a time by the main window.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace foldersize {

class FolderQueue {
public:
    // Appends at the end; the same path may stand in the queue more than once.
    void append(std::string path) { m_entries.push_back(std::move(path)); }
    void appendAll(const std::vector<std::string>& paths);
    bool empty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }
    const std::string& front() const { return m_entries.front(); }
    void popFront() { m_entries.pop_front(); }
    void clear() { m_entries.clear(); }
    const std::deque<std::string>& entries() const { return m_entries; }

    // Folder arguments of a command line (program name excluded): every non-empty argument is
    // one folder, byte for byte; blanks and quotes are legal in Linux names and are kept.
    static std::vector<std::string> foldersFromArguments(const std::vector<std::string>& args);

    // The folders as absolute paths: a relative one is taken against workingFolder (the caller's
    // working folder) and "." and ".." are folded, so a running copy measures what the caller
    // meant. Absolute paths stay byte for byte.
    static std::vector<std::string> absoluteFolders(
        const std::vector<std::string>& folders, const std::string& workingFolder);

private:
    std::deque<std::string> m_entries;
};

// The program-wide stop request: kStopRequested asks the running scan to end.
inline constexpr int kEinleseNormal = 0;
inline constexpr int kStopRequested = 3;

} // namespace foldersize
