// TreeReport.cpp: pre-order walks of the folder tree for the saved report and the printout.
#include "foldersize/scanner/TreeReport.h"

#include "foldersize/scanner/SizeFormat.h"

#include <QFile>

#include <algorithm>
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

namespace {

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The path for a line of at most maxChars characters: a long one is decoded only at its start and
// its end (a character takes four bytes at most), which shortenMiddle then keeps.
QString decodeForLine(const std::string& path, int maxChars)
{
    const std::size_t keep = 4 * static_cast<std::size_t>(maxChars) + 4;
    if (maxChars <= 0 || path.size() <= 2 * keep)
        return QFile::decodeName(QByteArray::fromStdString(path));
    std::size_t headEnd = keep;
    while (headEnd > 0 && isUtf8Continuation(path[headEnd]))
        --headEnd;
    std::size_t tailStart = path.size() - keep;
    while (tailStart < path.size() && isUtf8Continuation(path[tailStart]))
        ++tailStart;
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(headEnd))) + QChar(0x2026) +
        QFile::decodeName(
            QByteArray(path.data() + tailStart, static_cast<qsizetype>(path.size() - tailStart)));
}

// At most n characters of text from its start (from its end when fromEnd), never half a pair of
// surrogates.
QString part(const QString& text, qsizetype n, bool fromEnd)
{
    if (fromEnd) {
        QString p = text.right(n);
        return !p.isEmpty() && p.front().isLowSurrogate() ? p.mid(1) : p;
    }
    QString p = text.left(n);
    return !p.isEmpty() && p.back().isHighSurrogate() ? p.chopped(1) : p;
}

} // namespace

QString shortenMiddle(const QString& line, int maxChars)
{
    if (line.size() <= maxChars || maxChars <= 0)
        return line;
    const qsizetype head = (maxChars - 1) / 2;
    return part(line, head, false) + QChar(0x2026) + part(line, maxChars - 1 - head, true);
}

QStringList printRows(const QString& line, int width, int maxRows)
{
    if (line.size() <= width || width <= 0)
        return {line};
    const qsizetype dash = line.indexOf(QStringLiteral(" - "));
    const int indent = dash < 0 ? 0 : static_cast<int>(std::min<qsizetype>(dash + 3, width / 2));
    const QString text = shortenMiddle(line, width + (std::max(maxRows, 1) - 1) * (width - indent));
    QStringList rows{part(text, width, false)};
    for (qsizetype pos = rows.front().size(); pos < text.size();) {
        const QString piece = part(text.mid(pos), width - indent, false);
        rows << QString(indent, QLatin1Char(' ')) + piece;
        pos += std::max<qsizetype>(piece.size(), 1);
    }
    return rows;
}

QStringList printLinesForRoot(const FolderRoot& root, int unit, const QLocale& locale, int maxChars)
{
    QStringList lines;
    if (!root.node)
        return lines;
    const auto line = [&](std::uint64_t bytes, const std::string& path) {
        return shortenMiddle(FormatSize(bytes, false, true, unit, locale) + QStringLiteral(" - ") +
                decodeForLine(path, maxChars),
            maxChars);
    };
    lines << line(root.node->totalBytes, root.folderPath);
    walkBelow(*root.node, root.node->path(),
        [&](const FolderNode& folder, const std::string& path) { lines << line(folder.totalBytes, path); });
    return lines;
}

} // namespace foldersize
