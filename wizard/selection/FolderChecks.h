// FolderChecks.h: keeps the two selection trees consistent when the user ticks or clears a drive,
// folder or file below "Files and Folders": the chain of folders down to a ticked item in the
// destination tree, the marks of listed children, and whether anything is chosen at all.
//
// Destination copies of drives, folders and files carry the source key in upper case; the
// category node "Files and Folders" keeps its key.
#pragma once

#include "wizard/selection/SelectionTree.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace wizard {

// After a tick: ticks the node's ancestors and builds in the destination tree the chain drive,
// folders, node below "Files and Folders" (a folder copy not yet listed gets a placeholder, so that
// the destination tree can list it). After a clear: each ancestor up to "My Computer" is ticked
// exactly when one of its children still is; nothing leaves the destination tree here.
void Mirror_Folder_Path(
    SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node, bool checked);

// After a clear: the node and everything listed below it are cleared, and its copy leaves the
// destination tree together with the copies of folders above it that are left empty (the
// category node stays). Clearing "Files and Folders" empties its destination copy. After a tick:
// the node and everything below it are ticked and copied. Nothing happens when the node's mark
// differs from `checked` already.
void Apply_Folder_Check(
    SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node, bool checked);

// Pushes the mark of a listed node (open, or opened once and closed again) down to its listed
// children, through listed children below them; ticked children are copied under the node's copy
// (an unlisted folder with its placeholder). A node never listed changes nothing.
void Refresh_Folder_Checks(SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node);

// Refresh_Folder_Checks in bounded steps, so that a window can run between them. Each step takes
// the folders' marks as they are then; nodes that left either tree meanwhile are passed over.
class FolderCheckRefresh {
public:
    FolderCheckRefresh(SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node);
    // Gives up to `budget` listed children their folder's mark; true while more remain.
    bool step(int budget);

private:
    bool nextFolder();

    SelectionTree& m_source;
    SelectionTree& m_destination;
    std::vector<SelectionTree::Node*> m_stack;
    SelectionTree::Node* m_folder = nullptr;
    std::size_t m_next = 0;
};

// Apply_Folder_Check(node, false) followed by Refresh_Folder_Checks(node) in bounded steps, for a
// node the user has cleared (its mark is already clear): first its copy in the destination tree is
// emptied a part at a time and then leaves, with the copies above it left empty (the category's
// copy stays); then its listed children take its mark as FolderCheckRefresh gives it. A node ticked
// again meanwhile keeps its copy and what is left below it, and its children then take the tick.
class FolderCheckClear {
public:
    FolderCheckClear(SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node);
    // Takes up to `budget` listed children, or a part of the copies, a step; true while more remain.
    bool step(int budget);

private:
    // One part of the copies; false once none is left to take.
    bool removeSomeCopies();

    SelectionTree& m_source;
    SelectionTree& m_destination;
    SelectionTree::Node* m_node;
    bool m_copiesGone = false;
    FolderCheckRefresh m_marks;
};

// After a migration: clears the source tree's ticks and takes the chosen items out of the
// destination tree; the category nodes stay, "Files and Folders" empty. The work is done in bounded
// parts with `yield` (which may be empty) called between them; nodes that leave either tree
// meanwhile are passed over.
void resetSelectionTrees(
    SelectionTree& source, SelectionTree& destination, const std::function<void()>& yield);

// True when a drive, folder or file below "Files and Folders" is ticked.
bool Is_File_Or_Folder_Checked(const SelectionTree& source);

// The destination key of a source drive, folder or file.
std::string destinationKeyOf(const SelectionTree::Node* node);

// A drive or folder node (as opposed to a file): it was listed with a folder or drive image, or it
// has children.
bool isFolderNode(const SelectionTree::Node* node);

} // namespace wizard
