// FolderChecks.cpp: check propagation and path mirroring below "Files and Folders".
#include "wizard/selection/FolderChecks.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>

#include "platform/CodePage.h"
#include "wizard/selection/PartClock.h"
#include "wizard/selection/TreeBuilders.h"

namespace wizard {

namespace {

using Node = SelectionTree::Node;

// The category node itself (a child of "My Computer").
bool isFilesAndFolders(const Node* node)
{
    return node && node->parent && !node->parent->parent &&
        platform::equalsNoCase(node->key, kFilesAndFolders);
}

bool hasTickedChild(const Node* node)
{
    return std::any_of(
        node->children.begin(), node->children.end(), [](const Node* c) { return c->checked; });
}

// The node's ancestor one below the category: its drive (the node itself for a drive).
const Node* driveOf(const Node* node)
{
    const Node* drive = node;
    while (drive && drive->parent && drive->parent->parent && drive->parent->parent->parent)
        drive = drive->parent;
    return drive;
}

std::string destinationParentKey(const Node* node)
{
    if (!node->parent)
        return {};
    return isFilesAndFolders(node->parent) ? std::string(kFilesAndFolders) : destinationKeyOf(node->parent);
}

// A node whose contents were listed once: it holds children other than the placeholder, whether
// it is open now or was closed again.
bool hasListedChildren(const Node* node)
{
    return !node->children.empty() && !SelectionTree::isUnlisted(node);
}

// Adds the copy of `node` under its parent's copy; a folder copy that is new and was never opened
// in the source tree gets a placeholder (the copies of listed children follow it instead).
Node* copyNode(SelectionTree& destination, const Node* node, int image)
{
    Node* copy = destination.addUnder(destinationParentKey(node), destinationKeyOf(node), node->text, image);
    if (copy && isFolderNode(node) && !node->expanded && !hasListedChildren(node))
        destination.addPlaceholder(copy);
    return copy;
}

std::vector<Node*> subtreeOf(Node* node)
{
    std::vector<Node*> nodes;
    std::vector<Node*> stack{node};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        nodes.push_back(n);
        stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
    }
    return nodes;
}

void rederiveAncestors(SelectionTree& source, Node* node)
{
    for (Node* a = node->parent; a; a = a->parent)
        source.setCheckedOf(a, hasTickedChild(a));
}

} // namespace

std::string destinationKeyOf(const Node* node)
{
    return isFilesAndFolders(node) ? std::string(kFilesAndFolders) : platform::foldCase(node->key);
}

bool isFolderNode(const Node* node)
{
    return node->image == treeimage::kFolderClosed || node->image == treeimage::kDrive ||
        !node->children.empty();
}

void Mirror_Folder_Path(SelectionTree& source, SelectionTree& destination, Node* node, bool checked)
{
    if (!source.contains(node))
        return;
    if (!checked) {
        rederiveAncestors(source, node);
        return;
    }
    for (Node* level = node->parent; level; level = level->parent) {
        for (Node* a = level->parent; a; a = a->parent)
            source.setCheckedOf(a, true);
        if (!SelectionTree::isBelowCategory(level))
            continue;
        source.setCheckedOf(node->parent, true);
        const Node* drive = driveOf(level);
        if (level != drive) {
            // A folder: build the chain drive, folders, node; the chain nodes show the level's image.
            source.setCheckedOf(level->parent, true);
            std::vector<const Node*> chain;
            for (const Node* n = level; n != drive; n = n->parent)
                chain.push_back(n);
            chain.push_back(drive);
            for (auto it = chain.rbegin(); it != chain.rend(); ++it)
                destination.addUnder(
                    destinationParentKey(*it), destinationKeyOf(*it), (*it)->text, level->image);
            copyNode(destination, node, node->image);
            return;
        }
        destination.addUnder(destinationParentKey(level), destinationKeyOf(level), level->text, level->image);
        copyNode(destination, node, node->image);
    }
}

void Apply_Folder_Check(SelectionTree& source, SelectionTree& destination, Node* node, bool checked)
{
    if (!source.contains(node) || node->checked != checked)
        return;
    const std::vector<Node*> subtree = subtreeOf(node);
    if (checked) {
        for (Node* s : subtree) {
            if (SelectionTree::isPlaceholder(s))
                continue;
            if (s->image == treeimage::kUnsupportedMark) {
                source.setCheckedOf(s, false);
                continue;
            }
            source.setCheckedOf(s, true);
            if (SelectionTree::isBelowCategory(s))
                copyNode(destination, s, s->image);
        }
        return;
    }
    // Everything below a cleared folder is cleared, listed or not, so that nothing under it is
    // collected later.
    for (Node* s : subtree)
        source.setCheckedOf(s, false);
    if (isFilesAndFolders(node)) {
        destination.removeChildren(destination.find(kFilesAndFolders));
        return;
    }
    if (!SelectionTree::isBelowCategory(node))
        return;
    Node* copy = destination.find(destinationKeyOf(node));
    if (!copy)
        return;
    Node* parentCopy = copy->parent;
    destination.removeNode(copy);
    while (parentCopy && parentCopy->children.empty() && SelectionTree::isBelowCategory(parentCopy)) {
        Node* up = parentCopy->parent;
        destination.removeNode(parentCopy);
        parentCopy = up;
    }
}

void Refresh_Folder_Checks(SelectionTree& source, SelectionTree& destination, Node* node)
{
    FolderCheckRefresh refresh(source, destination, node);
    while (refresh.step(std::numeric_limits<int>::max())) {}
}

FolderCheckRefresh::FolderCheckRefresh(SelectionTree& source, SelectionTree& destination, Node* node)
    : m_source(source)
    , m_destination(destination)
{
    if (source.contains(node))
        m_stack.push_back(node);
}

// The next folder whose listed children take its mark; false when none remains.
bool FolderCheckRefresh::nextFolder()
{
    m_folder = nullptr;
    while (!m_stack.empty() && !m_folder) {
        Node* p = m_stack.back();
        m_stack.pop_back();
        // A folder opened and closed again keeps its listed children, and only they are collected
        // for it: they take its mark as well as those of an open folder.
        if (m_source.contains(p) && (p->expanded || hasListedChildren(p)))
            m_folder = p;
    }
    m_next = 0;
    return m_folder != nullptr;
}

bool FolderCheckRefresh::step(int budget)
{
    while (budget > 0) {
        if ((!m_folder || !m_source.contains(m_folder) || m_next >= m_folder->children.size()) &&
            !nextFolder())
            return false;
        Node* p = m_folder;
        const bool checked = p->checked;
        Node* parentCopy = checked ? m_destination.find(destinationKeyOf(p)) : nullptr;
        if (parentCopy && m_next == 0)
            m_destination.reserve(p->children.size());
        for (; budget > 0 && m_next < p->children.size(); ++m_next, --budget) {
            Node* c = p->children[m_next];
            m_source.setCheckedOf(c, checked);
            if (parentCopy && !SelectionTree::isPlaceholder(c)) {
                Node* copy = m_destination.addNode(parentCopy, destinationKeyOf(c), c->text, c->image);
                if (copy && c->children.size() == 1 && !c->expanded)
                    m_destination.addPlaceholder(copy);
            }
            if (c->expanded || hasListedChildren(c))
                m_stack.push_back(c);
        }
    }
    return m_next < (m_folder ? m_folder->children.size() : 0) || !m_stack.empty();
}

namespace {

// Destination nodes taken out per part when a cleared folder's copies go.
constexpr std::size_t kCopiesPerPart = 2048;

// The copy whose contents leave the destination tree when `node` is cleared: the copy of "Files and
// Folders" for the category, the node's own copy below it; null when there is none.
Node* copyToEmpty(const SelectionTree& destination, const Node* node)
{
    if (isFilesAndFolders(node))
        return destination.find(kFilesAndFolders);
    return SelectionTree::isBelowCategory(node) ? destination.find(destinationKeyOf(node)) : nullptr;
}

} // namespace

FolderCheckClear::FolderCheckClear(SelectionTree& source, SelectionTree& destination, Node* node)
    : m_source(source)
    , m_destination(destination)
    , m_node(node)
    , m_marks(source, destination, node)
{}

bool FolderCheckClear::removeSomeCopies()
{
    // Ticked again meanwhile: what is left of the copies stays, and the marks pass fills it up.
    if (!m_source.contains(m_node) || m_node->checked)
        return false;
    Node* copy = copyToEmpty(m_destination, m_node);
    if (!copy)
        return false;
    if (m_destination.removeSomeBelow(copy, kCopiesPerPart))
        return true;
    if (isFilesAndFolders(m_node))
        return false;
    Node* parentCopy = copy->parent;
    m_destination.removeNode(copy);
    while (parentCopy && parentCopy->children.empty() && SelectionTree::isBelowCategory(parentCopy)) {
        Node* up = parentCopy->parent;
        m_destination.removeNode(parentCopy);
        parentCopy = up;
    }
    return false;
}

bool FolderCheckClear::step(int budget)
{
    if (!m_copiesGone) {
        m_copiesGone = !removeSomeCopies();
        return true;
    }
    return m_marks.step(budget);
}

bool Is_File_Or_Folder_Checked(const SelectionTree& source)
{
    for (int i = 1; i <= source.count(); ++i) {
        const Node* n = source.at(i);
        if (n->checked && !n->text.empty() && SelectionTree::isBelowCategory(n) &&
            isInCategory(n, kFilesAndFolders))
            return true;
    }
    return false;
}

namespace {

// Work between two yields of the reset, and nodes taken out of the destination tree per pass.
constexpr auto kResetPart = std::chrono::milliseconds(8);
constexpr std::size_t kRemovedPerPass = 2048;

bool isCategoryKey(std::string_view key)
{
    // The page's two application categories among them, so that the next choice has its place in
    // the destination tree.
    static const std::array<std::string_view, 9> kCategories = {"my computer", "display settings",
        "control panel settings", "network settings", "other settings", "applications", "supported",
        "unsupported", "files and folders"};
    return std::any_of(kCategories.begin(), kCategories.end(),
        [key](std::string_view c) { return platform::equalsNoCase(key, c); });
}

} // namespace

void resetSelectionTrees(
    SelectionTree& source, SelectionTree& destination, const std::function<void()>& yield)
{
    PartClock clock(yield, kResetPart);
    // The copies of the chosen files and folders go first, a pass at a time: a choice of many
    // thousand files left the window without answer while they went at once.
    if (const Node* ticked = source.find(kFilesAndFolders); ticked && ticked->checked) {
        while (Node* copies = destination.find(kFilesAndFolders)) {
            if (!destination.removeSomeBelow(copies, kRemovedPerPass))
                break;
            clock.maybeYield();
        }
    }
    const std::vector<Node*> nodes = source.snapshot();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i % 64 == 63)
            clock.maybeYield();
        Node* node = nodes[i];
        if (!source.contains(node) || !node->checked)
            continue;
        source.setCheckedOf(node, false);
        if (!isCategoryKey(node->key)) {
            destination.removeKey(node->key);
        } else if (platform::equalsNoCase(node->key, kFilesAndFolders)) {
            destination.removeKey(node->key);
            destination.addUnder(kMyComputer, node->key, node->text, node->image);
        }
    }
}

} // namespace wizard
