// TreeBuilders.h: the fixed skeleton of the selection trees: the category nodes below
// "My Computer" and the leaves of the settings categories, with their keys, texts and images.
#pragma once

#include "wizard/selection/SelectionTree.h"

namespace wizard {

// Image indexes of the trees' image list that the skeleton and the listings use.
namespace treeimage {
inline constexpr int kDisplay = 1;
inline constexpr int kNetwork = 2;
inline constexpr int kUnsupportedMark = 5;
inline constexpr int kFolderClosed = 6;
inline constexpr int kFolderOpen = 7;
inline constexpr int kDrive = 8;
inline constexpr int kRoot = 40;
// Application and file icons are appended from here on.
inline constexpr int kFirstRuntime = 41;
} // namespace treeimage

// The root "My Computer" (image 40) at the top level; null when the tree has one already.
SelectionTree::Node* addRootNode(SelectionTree& tree);

// Each adds its nodes as the last children of "My Computer", in a fixed order, and passes over a
// node whose key is present already or whose parent is missing. All answer True.
bool FN_Make_Settings_Roots(SelectionTree& tree);
bool FN_Make_Application_Roots(SelectionTree& tree);
bool FN_Make_Files_Folders_Root(SelectionTree& tree);
// The nine settings leaves below "Display Settings" and "Control Panel Settings".
bool FN_Make_Settings_Nodes(SelectionTree& tree);

// The category of a node, by the text of its ancestor one below "My Computer" (compared without
// regard to case); empty for the root and for nodes outside the tree's categories.
bool isInCategory(const SelectionTree::Node* node, std::string_view categoryText);

} // namespace wizard
