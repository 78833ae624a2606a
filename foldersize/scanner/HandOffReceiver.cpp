// HandOffReceiver.cpp: queueing rule of folders received from a later copy.
#include "foldersize/scanner/HandOffReceiver.h"

#include <algorithm>

namespace foldersize {

std::vector<std::string> foldersFromHandOff(const std::vector<std::string>& received)
{
    std::vector<std::string> folders;
    for (const std::string& entry : received) {
        if (std::any_of(entry.begin(), entry.end(), [](char c) { return c != '\0'; }))
            folders.push_back(entry);
    }
    return folders;
}

std::size_t receiveHandOff(const std::vector<std::string>& received, const HandOffTarget& target)
{
    if (target.bringToFront)
        target.bringToFront();
    const std::vector<std::string> folders = foldersFromHandOff(received);
    if (folders.empty())
        return 0;
    const std::size_t before = target.queueSize ? target.queueSize() : 0;
    for (const std::string& folder : folders)
        target.enqueue(folder);
    const bool busy = target.scanRunning && target.scanRunning();
    if (!busy && before == 0 && target.workOff)
        target.workOff();
    return folders.size();
}

} // namespace foldersize
