// HandOffReceiver.h: the running copy's side of the copy-to-copy hand-off: the folders a later
// copy sent are queued, the window comes forward, and an idle window starts measuring at once.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace foldersize {

// What the main window offers the hand-off.
struct HandOffTarget {
    std::function<void()> bringToFront;              // foreground, without restoring a minimized window
    std::function<bool()> scanRunning;               // the busy flag
    std::function<std::size_t()> queueSize;          // entries waiting in the folder queue
    std::function<void(const std::string&)> enqueue; // append to the folder queue
    std::function<void()> workOff;                   // work the queue off (returns when it is empty)
};

// The folders worth queueing: entries that are empty or hold only NUL bytes (a later copy started
// without a folder) are dropped; all others are kept byte for byte, since blanks and quotes are
// legal in names.
std::vector<std::string> foldersFromHandOff(const std::vector<std::string>& received);

// Handles one hand-off. While a scan runs the folders are only queued and the running loop takes
// them; an idle window whose queue held nothing before starts working off at once, also when
// several folders arrived together. Returns the number of folders queued.
std::size_t receiveHandOff(const std::vector<std::string>& received, const HandOffTarget& target);

} // namespace foldersize
