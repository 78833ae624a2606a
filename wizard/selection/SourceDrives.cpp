// SourceDrives.cpp: drive probing, drive nodes and lazy folder listings of the selection trees.
#include "wizard/selection/SourceDrives.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/WindowsName.h"
#include "wizard/selection/TreeBuilders.h"

namespace wizard {

namespace {

using Node = SelectionTree::Node;

// Entries between two yields of a listing.
constexpr int kYieldEvery = 64;

bool isRecycleBin(const std::string& name) { return platform::foldCase(name) == "RECYCLED"; }

std::string driveTextOf(const std::string& root)
{
    // "\\PC\C$" and "\\PC\C:" end in the letter and one sign, "\\PC\C" in the letter.
    if (root.find('$') != std::string::npos || root.find(':') != std::string::npos) {
        std::string text = root.size() >= 2 ? root.substr(root.size() - 2) : root;
        for (char& c : text) {
            if (c == '$')
                c = ':';
        }
        return text;
    }
    return root.empty() ? std::string(":") : root.substr(root.size() - 1) + ":";
}

// The listing failed: a node left with nothing but its placeholder shows as empty.
void dropLonePlaceholder(SelectionTree& tree, Node* node)
{
    if (node->children.size() == 1 && node->children.front()->text.empty())
        tree.removeNode(node->children.front());
}

void maybeYield(const ListingYield& yield, int& counter)
{
    if (yield && ++counter % kYieldEvery == 0)
        yield();
}

} // namespace

std::vector<std::string>& sourceDriveRoots()
{
    static std::vector<std::string> roots;
    return roots;
}

bool FN_Get_Source_Drives(const platform::FileSystem& fs, const std::string& pcName)
{
    if (pcName.empty()) {
        platform::showMessage("Kindly enter a source PC name", platform::MsgButtons::Ok,
            platform::MsgIcon::Exclamation, "Monitor");
        return false;
    }
    std::vector<std::string> roots;
    for (const char* suffix : {"$", ":", ""}) {
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const std::string root = "\\\\" + pcName + "\\" + letter + suffix;
            if (fs.folderExists(root + "\\"))
                roots.push_back(root);
        }
        if (!roots.empty())
            break;
    }
    sourceDriveRoots() = roots;
    return true;
}

bool FN_Fill_Drive_Tree(SelectionTree& tree)
{
    for (const std::string& root : sourceDriveRoots()) {
        if (Node* drive = tree.addUnder(kFilesAndFolders, root, driveTextOf(root), treeimage::kDrive))
            tree.addPlaceholder(drive);
    }
    return true;
}

bool listSourceFolder(const platform::FileSystem& fs, SelectionTree& source, TreeImages& images, Node* node,
    const ListingYield& yield)
{
    SourceFolderListing listing(fs, source, images, node);
    if (!listing.begin())
        return listing.ok();
    while (listing.step(kYieldEvery)) {
        if (yield)
            yield();
    }
    return listing.ok();
}

SourceFolderListing::SourceFolderListing(
    const platform::FileSystem& fs, SelectionTree& source, TreeImages& images, Node* node)
    : m_fs(fs)
    , m_source(source)
    , m_images(images)
    , m_node(node)
{}

bool SourceFolderListing::begin()
{
    if (!prepare())
        return false;
    read();
    return finishRead();
}

bool SourceFolderListing::prepare()
{
    if (!m_source.contains(m_node) || !SelectionTree::isUnlisted(m_node))
        return false;
    if (m_node->image >= treeimage::kDrive)
        m_source.setExpandedImageOf(m_node, treeimage::kFolderOpen);
    m_key = m_node->key;
    return true;
}

void SourceFolderListing::read() { m_error = m_fs.listFolder(m_key, m_folders, m_files); }

bool SourceFolderListing::finishRead()
{
    if (!m_source.contains(m_node) || !SelectionTree::isUnlisted(m_node))
        return m_ok = false;
    m_source.removeNode(m_node->children.front());
    m_ok = m_error == platform::FsError::None;
    if (m_ok)
        m_source.reserve(2 * m_folders.size() + m_files.size()); // a folder comes with its placeholder
    return m_ok;
}

bool SourceFolderListing::step(int budget)
{
    if (!m_ok || !m_source.contains(m_node))
        return m_ok = false;
    const std::size_t total = m_folders.size() + m_files.size();
    for (; budget > 0 && m_next < total; ++m_next) {
        const bool folder = m_next < m_folders.size();
        const platform::FileEntry& f = folder ? m_folders[m_next] : m_files[m_next - m_folders.size()];
        if ((folder && isRecycleBin(f.name)) || !platform::isWindowsName(f.name))
            continue;
        --budget;
        const int image = folder ? treeimage::kFolderClosed : m_images.iconFor(f.path, false);
        Node* child = m_source.addNode(m_node, f.path, f.name, image);
        if (!child)
            return m_ok = false;
        m_source.setCheckedOf(child, m_node->checked);
        if (folder)
            m_source.addPlaceholder(child);
    }
    return m_next < total;
}

bool listDestinationFolder(const platform::FileSystem& fs, const SelectionTree& source,
    SelectionTree& destination, TreeImages& images, Node* node, const ListingYield& yield)
{
    if (!destination.contains(node) || !SelectionTree::isUnlisted(node))
        return true;
    if (node->image >= treeimage::kDrive)
        destination.setExpandedImageOf(node, treeimage::kFolderOpen);
    std::vector<platform::FileEntry> folders, files;
    const platform::FsError error = fs.listFolder(node->key, folders, files);
    destination.removeNode(node->children.front());
    if (error != platform::FsError::None) {
        dropLonePlaceholder(destination, node);
        return false;
    }
    // Everything in the folder is chosen when its source folder is ticked and closed.
    const Node* sourceFolder = source.find(node->key);
    const bool wholeFolder = sourceFolder && sourceFolder->checked && !sourceFolder->expanded;
    const auto chosen = [&](const std::string& path) {
        const Node* n = source.find(path);
        return wholeFolder || (n && n->checked);
    };
    int counter = 0;
    for (const platform::FileEntry& f : folders) {
        maybeYield(yield, counter);
        if (isRecycleBin(f.name) || !platform::isWindowsName(f.name) || !chosen(f.path))
            continue;
        if (Node* child =
                destination.addNode(node, platform::foldCase(f.path), f.name, images.iconFor(f.path, true)))
            destination.addPlaceholder(child);
    }
    for (const platform::FileEntry& f : files) {
        maybeYield(yield, counter);
        if (platform::isWindowsName(f.name) && chosen(f.path))
            destination.addNode(node, platform::foldCase(f.path), f.name, images.iconFor(f.path, false));
    }
    return true;
}

} // namespace wizard
