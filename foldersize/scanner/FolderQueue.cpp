// FolderQueue.cpp: command-line folders for the queue.
#include "foldersize/scanner/FolderQueue.h"

namespace foldersize {

void FolderQueue::appendAll(const std::vector<std::string>& paths)
{
    for (const auto& p : paths)
        append(p);
}

std::vector<std::string> FolderQueue::foldersFromArguments(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    for (const auto& a : args)
        if (!a.empty())
            out.push_back(a);
    return out;
}

} // namespace foldersize
