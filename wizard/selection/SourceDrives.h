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

// The same listing in bounded steps, so that a window can paint and take input between them.
// Each entry takes the node's mark as it is when the entry is added.
class SourceFolderListing {
public:
    SourceFolderListing(
        const platform::FileSystem& fs, SelectionTree& source, TreeImages& images, SelectionTree::Node* node);

    // Reads the folder and removes the placeholder. False when there is nothing to list: the node
    // was listed already (ok() stays true) or the folder could not be read (ok() turns false and
    // the node shows as empty).
    bool begin();
    // begin() in three parts, for a caller that reads the folder on another thread: prepare()
    // (false, as begin(), when there is nothing to list), read() (touches nothing but the
    // file-system object and the listing's own entries) and finishRead() (answers as begin();
    // false also when the node left the tree meanwhile).
    bool prepare();
    void read();
    bool finishRead();
    // Adds up to `budget` entries; true while entries remain. Stops for good, with ok() false, when
    // an entry cannot be added or the node has left the tree.
    bool step(int budget);
    bool ok() const { return m_ok; }
    SelectionTree::Node* node() const { return m_node; }

private:
    const platform::FileSystem& m_fs;
    SelectionTree& m_source;
    TreeImages& m_images;
    SelectionTree::Node* m_node;
    std::vector<platform::FileEntry> m_folders;
    std::vector<platform::FileEntry> m_files;
    std::string m_key; // the folder read
    platform::FsError m_error = platform::FsError::None;
    std::size_t m_next = 0; // index into folders, then files
    bool m_ok = true;
};

// Lists a destination drive or folder the first time it is opened, with only what is chosen in
// the source tree: entries ticked there, or everything when the source folder itself is ticked
// and was never opened (or was closed again). False when the folder could not be read.
bool listDestinationFolder(const platform::FileSystem& fs, const SelectionTree& source,
    SelectionTree& destination, TreeImages& images, SelectionTree::Node* node,
    const ListingYield& yield = {});

} // namespace wizard
