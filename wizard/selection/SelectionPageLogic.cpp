// SelectionPageLogic.cpp: loading, activation and listings of the selection page.
#include "wizard/selection/SelectionPageLogic.h"

#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/FolderChecks.h"
#include "wizard/selection/TreeBuilders.h"

namespace wizard {

namespace {

void checkAll(SelectionTree& tree)
{
    for (int i = 1; i <= tree.count(); ++i)
        tree.setCheckedOf(tree.at(i), true);
}

std::function<SelectionSources()>& sourcesProvider()
{
    static std::function<SelectionSources()> provider;
    return provider;
}

} // namespace

SelectionSourcesProvider setSelectionSources(SelectionSourcesProvider provider)
{
    return std::exchange(sourcesProvider(), std::move(provider));
}

SelectionSources selectionSources() { return sourcesProvider() ? sourcesProvider()() : SelectionSources{}; }

SelectionSourcesProvider installMachineSelectionSources()
{
    return setSelectionSources([] {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        return SelectionSources{machine ? &machine->files() : nullptr, machineMirrorReader(), AppPath};
    });
}

SelectionPageLogic::SelectionPageLogic(SelectionSources sources)
    : m_sources(std::move(sources))
    , m_events(m_source, m_destination, m_loaded)
{}

bool SelectionPageLogic::load()
{
    m_source.clear();
    if (!m_sources.fs || !FN_Load_Image(*m_sources.fs, m_sources.appPath, m_images))
        return false;
    addRootNode(m_source);
    addRootNode(m_destination);
    return true;
}

bool SelectionPageLogic::FN_Load_Source_Settings()
{
    wizardWindows().setStatusText("Please wait Loading source settings");
    FN_Make_Settings_Roots(m_source);
    FN_Make_Settings_Roots(m_destination);
    return FN_Make_Settings_Nodes(m_source);
}

bool SelectionPageLogic::FN_Load_Source_Applications()
{
    wizardWindows().setStatusText("Please wait loading source applications");
    FN_Make_Application_Roots(m_source);
    FN_Make_Application_Roots(m_destination);
    return FN_Load_Tree(m_source, m_images, m_sources.mirror);
}

bool SelectionPageLogic::FN_Load_Source_Files(const std::string& pcName)
{
    wizardWindows().setStatusText("Please wait loading source Files and Folders");
    FN_Make_Files_Folders_Root(m_source);
    FN_Make_Files_Folders_Root(m_destination);
    if (m_sources.fs)
        FN_Get_Source_Drives(*m_sources.fs, pcName);
    return FN_Fill_Drive_Tree(m_source);
}

bool SelectionPageLogic::loadCategory(
    bool box, bool& flag, bool (SelectionPageLogic::*loader)(), std::initializer_list<const char*> keys)
{
    if (box && !flag) {
        if (!(this->*loader)())
            return false;
        flag = true;
    } else if (!box && flag) {
        for (const char* key : keys)
            m_source.removeKey(key);
        for (const char* key : keys)
            m_destination.removeKey(key);
        flag = false;
    }
    return true;
}

bool SelectionPageLogic::activate(bool massMode, const CategoryBoxes& boxes, const std::string& pcName)
{
    WizardWindows& windows = wizardWindows();
    windows.setEditMenuEnabled(EditMenuItem::SelectAll, true);
    windows.setEditMenuEnabled(EditMenuItem::ClearAll, true);
    windows.setButtonEnabled(BarButton::Back, true);
    windows.setButtonVisible(BarButton::Back, true);
    windows.setButtonEnabled(BarButton::Migrate, false);
    windows.setButtonVisible(BarButton::Migrate, false);

    m_pcName = pcName;
    const bool settingsWasLoaded = m_loaded.settings;
    const bool appsWereLoaded = m_loaded.applications;
    if (!loadCategory(boxes.settings, m_loaded.settings, &SelectionPageLogic::FN_Load_Source_Settings,
            {"Display Settings", "Control Panel Settings", "Network Settings", "Other Settings"}))
        return false;
    if (m_loaded.settings && !settingsWasLoaded)
        Set_System_Variable_Value("$bln_reg_required", "false");
    if (!loadCategory(boxes.applications, m_loaded.applications,
            &SelectionPageLogic::FN_Load_Source_Applications, {"Supported", "Unsupported"}))
        return false;
    if (m_loaded.applications && !appsWereLoaded)
        Set_System_Variable_Value("$bln_reg_required", "false");
    if (!loadCategory(boxes.filesFolders, m_loaded.filesFolders, &SelectionPageLogic::loadFilesOfPage,
            {"Files and Folders"}))
        return false;

    m_source.setExpandedOf(m_source.find(kMyComputer), true);
    m_destination.setExpandedOf(m_destination.find(kMyComputer), true);
    // The destination's categories stay open, so that a chosen item shows as soon as it is chosen.
    if (SelectionTree::Node* root = m_destination.find(kMyComputer)) {
        for (SelectionTree::Node* category : root->children)
            m_destination.setExpandedOf(category, true);
    }
    if (!massMode) {
        // Next follows the choice on every visit: the page left before may have enabled it, and
        // categories dropped on the migration-type page may have taken the whole choice along.
        m_events.applyNextRule(true);
        windows.setStatusText(kSelectiveStatus);
        return true;
    }
    windows.setEditMenuEnabled(EditMenuItem::SelectAll, false);
    windows.setEditMenuEnabled(EditMenuItem::ClearAll, false);
    FN_Make_Settings_Nodes(m_destination);
    if (!FN_Load_Tree(m_destination, m_images, m_sources.mirror))
        return false;
    FN_Fill_Drive_Tree(m_destination);
    checkAll(m_source);
    windows.setButtonEnabled(BarButton::Next, true);
    windows.setStatusText(kMassStatus);
    return true;
}

void SelectionPageLogic::sourceExpanded(SelectionTree::Node* node, const ListingYield& yield)
{
    std::unique_ptr<SourceFolderListing> listing = beginSourceExpansion(node);
    if (!listing)
        return;
    while (listing->step(64)) {
        if (yield)
            yield();
    }
    completeSourceExpansion(*listing);
}

std::unique_ptr<SourceFolderListing> SelectionPageLogic::beginSourceExpansion(
    SelectionTree::Node* node, bool readLater)
{
    if (!m_source.contains(node) || !m_sources.fs)
        return nullptr;
    m_source.setExpandedOf(node, true);
    auto listing = std::make_unique<SourceFolderListing>(*m_sources.fs, m_source, m_images, node);
    if (readLater ? listing->prepare() : listing->begin())
        return listing;
    // Nothing to list: a node listed before is mirrored at once; one that cannot be read is not.
    if (listing->ok())
        completeSourceExpansion(*listing);
    return nullptr;
}

void SelectionPageLogic::completeSourceExpansion(const SourceFolderListing& listing, bool refreshNow)
{
    SelectionTree::Node* node = listing.node();
    if (!listing.ok() || !m_source.contains(node))
        return;
    if (isInCategory(node, kFilesAndFolders)) {
        Mirror_Folder_Path(m_source, m_destination, node, node->checked);
        if (refreshNow)
            Refresh_Folder_Checks(m_source, m_destination, node);
    }
}

void SelectionPageLogic::destinationExpanded(SelectionTree::Node* node, const ListingYield& yield)
{
    if (!m_destination.contains(node) || !m_sources.fs)
        return;
    m_destination.setExpandedOf(node, true);
    if (SelectionTree::isUnlisted(node) &&
        !listDestinationFolder(*m_sources.fs, m_source, m_destination, m_images, node, yield))
        return;
    m_events.applyNextRule(false);
}

} // namespace wizard
