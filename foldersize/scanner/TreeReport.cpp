// TreeReport.cpp: pre-order walks of the folder tree for the saved report and the printout.
#include "foldersize/scanner/TreeReport.h"

#include "foldersize/scanner/SizeFormat.h"

#include <QFile>

#include <vector>

namespace foldersize {

namespace {

// Visits every folder below node in pre-order with its full path, without recursion (trees can be
// very deep) and without rebuilding each path from the root (that would cost depth per node).
template <typename Visit> void walkBelow(const FolderNode& node, const std::string& nodePath, Visit visit)
{
    struct Pending {
        const FolderNode* folder;
        std::size_t parentPathLength;
    };
    std::string path = nodePath;
    if (path.empty() || path.back() != '/')
        path += '/';
    std::vector<Pending> stack;
    for (std::size_t i = node.childCount(); i-- > 0;)
        stack.push_back({node.child(i), path.size()});
    while (!stack.empty()) {
        const Pending current = stack.back();
        stack.pop_back();
        path.resize(current.parentPathLength);
        path += current.folder->name();
        if (path.back() != '/')
            path += '/';
        visit(*current.folder, path);
        for (std::size_t i = current.folder->childCount(); i-- > 0;)
            stack.push_back({current.folder->child(i), path.size()});
    }
}

QByteArray quoted(QByteArray field)
{
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

} // namespace

QByteArray TreeViewSpeichernR(const FolderNode& node)
{
    QByteArray out;
    walkBelow(node, node.path(), [&out](const FolderNode& folder, const std::string& path) {
        out += quoted(QByteArray::fromStdString(path));
        out += ',';
        out += quoted(QByteArray::number(static_cast<qulonglong>(folder.totalBytes)));
        out += "\r\n";
    });
    return out;
}

QByteArray reportForRoot(const FolderRoot& root)
{
    return root.node ? TreeViewSpeichernR(*root.node) : QByteArray();
}

QByteArray reportForAllRoots(const FolderTree& tree)
{
    QByteArray out;
    for (std::size_t i = 0; i < tree.rootCount(); ++i)
        out += reportForRoot(tree.root(i));
    return out;
}

QStringList printLinesForRoot(const FolderRoot& root, int unit, const QLocale& locale)
{
    QStringList lines;
    if (!root.node)
        return lines;
    const auto line = [&](std::uint64_t bytes, const std::string& path) {
        return FormatSize(bytes, false, true, unit, locale) + QStringLiteral(" - ") +
            QFile::decodeName(QByteArray::fromStdString(path));
    };
    lines << line(root.node->totalBytes, root.folderPath);
    walkBelow(*root.node, root.node->path(),
        [&](const FolderNode& folder, const std::string& path) { lines << line(folder.totalBytes, path); });
    return lines;
}

} // namespace foldersize
