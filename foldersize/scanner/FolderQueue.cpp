// FolderQueue.cpp: command-line folders for the queue.
#include "foldersize/scanner/FolderQueue.h"

#include <algorithm>

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

namespace {

// Folds "." and ".." and doubled separators of an absolute path; ".." above "/" stays at "/".
std::string foldPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        const std::size_t next = std::min(path.find('/', pos), path.size());
        const std::string part = path.substr(pos, next - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = next + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += "/" + p;
    if (out.empty() || (!path.empty() && path.back() == '/'))
        out += "/";
    return out;
}

} // namespace

std::vector<std::string> FolderQueue::absoluteFolders(
    const std::vector<std::string>& folders, const std::string& workingFolder)
{
    std::vector<std::string> out;
    for (const std::string& f : folders) {
        if (!f.empty() && f.front() == '/')
            out.push_back(f);
        else
            out.push_back(foldPath(workingFolder + "/" + f));
    }
    return out;
}

} // namespace foldersize
