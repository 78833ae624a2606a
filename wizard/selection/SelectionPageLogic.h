// SelectionPageLogic.h: the selection page without its widgets: the two trees, their images and
// loaded categories, the category loaders, loading and every activation (categories loaded or
// removed by the migration-type page's boxes, the destination filled directly in a mass
// migration), and the lazy listings when the user opens a drive or folder.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "wizard/selection/SelectionEvents.h"
#include "wizard/selection/SelectionTree.h"
#include "wizard/selection/SourceApplications.h"
#include "wizard/selection/SourceDrives.h"
#include "wizard/selection/TreeImages.h"

namespace wizard {

// Where the page reads the source PC from.
struct SelectionSources {
    const platform::FileSystem* fs = nullptr; // the running machine's files (shares of the source)
    MirrorReader mirror;                      // the source registry as mirrored here
    std::string appPath;                      // the wizard's application folder (icons)
};

// The program's sources, installed before start-up; empty sources without one. Installing answers
// the provider it replaces.
using SelectionSourcesProvider = std::function<SelectionSources()>;
SelectionSourcesProvider setSelectionSources(SelectionSourcesProvider provider);
SelectionSources selectionSources();
// Installs the running machine's files, its registry's mirror and AppPath as the sources; answers
// the provider it replaces.
SelectionSourcesProvider installMachineSelectionSources();

// The boxes of the migration-type page.
struct CategoryBoxes {
    bool settings = false;
    bool applications = false;
    bool filesFolders = false;
};

class SelectionPageLogic {
public:
    explicit SelectionPageLogic(SelectionSources sources);

    // Status texts after an activation.
    static constexpr const char* kSelectiveStatus =
        "Click the checkbox to select the data for migration and click Next button.";
    static constexpr const char* kMassStatus = "In Mass migration, you cannot select or deselect the data, "
                                               "it migrates the displayed contents of the "
                                               "Source PC.";

    // Once per run: the application icons and, when there are any, the root of both trees.
    bool load();
    // Every activation. `massMode` is MigrationMode == "mass" (exactly); `pcName` the source PC.
    // False when a loader or a mass filler failed (the next activation tries again).
    bool activate(bool massMode, const CategoryBoxes& boxes, const std::string& pcName);

    bool FN_Load_Source_Settings();
    bool FN_Load_Source_Applications();
    bool FN_Load_Source_Files(const std::string& pcName);

    // The user opened a node: the source tree lists it the first time and, below "Files and
    // Folders", mirrors it; the destination tree lists what is chosen and applies the Next rule.
    void sourceExpanded(SelectionTree::Node* node, const ListingYield& yield = {});
    // The same in steps: marks the node open and answers the listing still to run (null when the
    // node needs none, and then it is completed already). Once the listing has run its steps,
    // completeSourceExpansion(listing) mirrors the node as sourceExpanded does. With `readLater`
    // the folder is not read yet: the caller runs the listing's read() and finishRead() first.
    std::unique_ptr<SourceFolderListing> beginSourceExpansion(
        SelectionTree::Node* node, bool readLater = false);
    // Without `refreshNow` the listed children are left for the caller to mark (FolderCheckRefresh).
    void completeSourceExpansion(const SourceFolderListing& listing, bool refreshNow = true);
    void destinationExpanded(SelectionTree::Node* node, const ListingYield& yield = {});

    SelectionTree& source() { return m_source; }
    SelectionTree& destination() { return m_destination; }
    TreeImages& images() { return m_images; }
    SelectionEvents& events() { return m_events; }
    const LoadedCategories& loaded() const { return m_loaded; }

private:
    bool loadFilesOfPage() { return FN_Load_Source_Files(m_pcName); }
    bool loadCategory(
        bool box, bool& flag, bool (SelectionPageLogic::*loader)(), std::initializer_list<const char*> keys);

    SelectionSources m_sources;
    SelectionTree m_source;
    SelectionTree m_destination;
    TreeImages m_images;
    LoadedCategories m_loaded;
    SelectionEvents m_events;
    std::string m_pcName;
};

} // namespace wizard
