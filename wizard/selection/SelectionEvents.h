// SelectionEvents.h: what the selection page does when the user ticks, clears or clicks in its
// source tree: dispatch of a changed check mark, completion of the change on the click that
// follows it, and the rule that enables Next.
#pragma once

#include "wizard/selection/SelectionTree.h"

#include <functional>

namespace wizard {

// The categories loaded into the trees; the page keeps them up to date.
struct LoadedCategories {
    bool settings = false;
    bool applications = false;
    bool filesFolders = false;
};

class SelectionEvents {
public:
    SelectionEvents(SelectionTree& source, SelectionTree& destination, const LoadedCategories& loaded);

    // The user changed the check mark of `node`; node->checked holds the new state. Files and
    // folders are mirrored at once; applications and settings are synchronised and their change is
    // completed by the click that follows (clicked()).
    void nodeChecked(SelectionTree::Node* node);
    // A click on the source tree (it follows every check change).
    void clicked();
    // Next is enabled when the destination tree holds more than its skeleton, or (after a click)
    // when a drive, folder or file is ticked.
    void applyNextRule(bool filesTest);
    // The destination tree's node count when nothing is chosen: the root and the loaded categories.
    int skeletonCount() const;

    // A window that keeps running while a ticked or cleared folder's listed children take its mark:
    // `later` takes a ticked node and pushes its mark down in steps (instead of at once),
    // `clearLater` a cleared one, whose copies leave the destination tree in steps too; while
    // `busy` answers true the Next rule keeps Next disabled, so that the choice is not collected
    // half marked.
    void setFolderRefresh(std::function<void(SelectionTree::Node*)> later,
        std::function<void(SelectionTree::Node*)> clearLater, std::function<bool()> busy)
    {
        m_refreshLater = std::move(later);
        m_clearLater = std::move(clearLater);
        m_busy = std::move(busy);
    }

    // The text shown when a whole drive or the "Files and Folders" node is ticked.
    static constexpr const char* kSelectFilesMessage = "Please select Files or Folders to migrate the data";

private:
    static bool isDriveNode(const SelectionTree::Node* node);
    static bool isFilesFoldersCategory(const SelectionTree::Node* node);
    void clearAll();

    SelectionTree& m_source;
    SelectionTree& m_destination;
    const LoadedCategories& m_loaded;
    SelectionTree::Node* m_pending = nullptr;
    std::function<void(SelectionTree::Node*)> m_refreshLater;
    std::function<void(SelectionTree::Node*)> m_clearLater;
    std::function<bool()> m_busy;
};

} // namespace wizard
