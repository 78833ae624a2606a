// SelectionTrees.h: Edit > Select All and Clear All of the main window, on the selection page's two
// check-box trees seen through a small headless interface.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace wizard {

// A check-box tree as the main window's Edit menu uses it. Nodes are addressed by index, 1 to
// count(), in the order they were added; removing a node removes its children and moves the nodes
// after it up.
class CheckTree {
public:
    virtual ~CheckTree() = default;
    virtual int count() const = 0;
    // The texts from the root down to the node, joined with "\".
    virtual std::string fullPath(int index) const = 0;
    virtual std::string key(int index) const = 0;
    virtual std::string text(int index) const = 0;
    virtual int image(int index) const = 0;
    // The parent's key; empty for a root node.
    virtual std::optional<std::string> parentKey(int index) const = 0;
    virtual void setChecked(int index, bool checked) = 0;
    // Adds a node as the last child of the node keyed `parentKey`; false (nothing added) when that
    // node is missing or `key` is already in the tree.
    virtual bool addChild(
        const std::string& parentKey, const std::string& key, const std::string& text, int image) = 0;
    virtual void remove(int index) = 0;
};

// Checks every source node outside "My Computer\Files and Folders" and copies it under its
// parent's key into the destination tree; nodes that cannot be added are passed over.
void selectAllNodes(CheckTree& source, CheckTree& destination);

// Unchecks the whole source tree and removes from the destination tree every node below a
// category node of "My Computer", the drives, folders and files of "Files and Folders" included:
// the destination tree never shows an item that is no longer ticked.
void clearAllNodes(CheckTree& source, CheckTree& destination);

// The selection page's trees: the source tree (everything on the source PC) and the destination
// tree (what will be migrated). The selection page installs them when it loads.
struct SelectionTrees {
    CheckTree* source = nullptr;
    CheckTree* destination = nullptr;
    // Run after Select All changed the trees (the page decides whether Next may be pressed now).
    std::function<void()> afterSelectAll;
};
SelectionTrees selectionTrees();
void setSelectionTrees(SelectionTrees trees);

} // namespace wizard
