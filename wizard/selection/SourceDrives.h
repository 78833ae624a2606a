// SourceDrives.h: the source PC's shared drives as drive nodes of the selection trees, and the
// lazy listing of a drive or folder the first time the user opens it in either tree.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "wizard/selection/SelectionTree.h"
#include "wizard/selection/TreeImages.h"

namespace wizard {

// The share roots through which this PC reaches the source PC's drives, in letter order, all of
// one form: "\\PC\C$" (administrative shares), else "\\PC\C:", else "\\PC\C".
std::vector<std::string>& sourceDriveRoots();

// Probes every drive letter of `pcName` under the three share forms in turn and keeps the first
// form that finds a drive. An empty name shows "Kindly enter a source PC name" (title "Monitor")
// and answers False, leaving the roots as they were.
bool FN_Get_Source_Drives(const platform::FileSystem& fs, const std::string& pcName);

// Adds one drive node per root below "Files and Folders" (key the root, text the drive letter and
// ":", the drive image), each with its placeholder. Always True.
bool FN_Fill_Drive_Tree(SelectionTree& tree);

// Called while a listing runs, every few entries, so that the window can stay responsive.
using ListingYield = std::function<void()>;

// Lists a source drive or folder the first time it is opened: the placeholder goes, every
// sub-folder (but the recycle bin "RECYCLED") comes with a placeholder of its own, then every file,
// each with the node's mark. False when the folder could not be read; what was listed stays.
bool listSourceFolder(const platform::FileSystem& fs, SelectionTree& source, TreeImages& images,
    SelectionTree::Node* node, const ListingYield& yield = {});

// Lists a destination drive or folder the first time it is opened, with only what is chosen in
// the source tree: entries ticked there, or everything when the source folder itself is ticked
// and was never opened (or was closed again). False when the folder could not be read.
bool listDestinationFolder(const platform::FileSystem& fs, const SelectionTree& source,
    SelectionTree& destination, TreeImages& images, SelectionTree::Node* node,
    const ListingYield& yield = {});

} // namespace wizard
