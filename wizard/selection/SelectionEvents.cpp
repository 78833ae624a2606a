// SelectionEvents.cpp: check dispatch, click completion and the Next rule of the selection page.
#include "wizard/selection/SelectionEvents.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/CheckSync.h"
#include "wizard/selection/FolderChecks.h"
#include "wizard/selection/TreeBuilders.h"

namespace wizard {

namespace {

using Node = SelectionTree::Node;

constexpr std::string_view kGroupCategories[] = {"Supported Applications", "Unsupported Applications",
    "Display Settings", "Control Panel Settings", "Other Settings"};

// Category nodes whose destination copy stays when they are cleared (only their children go).
constexpr std::string_view kGroupKeys[] = {
    "Display Settings", "Control Panel Settings", "Other Settings", "Unsupported", "Supported"};

} // namespace

SelectionEvents::SelectionEvents(
    SelectionTree& source, SelectionTree& destination, const LoadedCategories& loaded)
    : m_source(source)
    , m_destination(destination)
    , m_loaded(loaded)
{}

bool SelectionEvents::isFilesFoldersCategory(const Node* node)
{
    return node && node->parent && !node->parent->parent &&
        platform::equalsNoCase(node->text, kFilesAndFolders);
}

bool SelectionEvents::isDriveNode(const Node* node)
{
    // Every drive, whatever the form of its share: a whole drive is never chosen as one item.
    return node && isFilesFoldersCategory(node->parent);
}

void SelectionEvents::clearAll()
{
    clearAllNodes(m_source, m_destination);
    wizardWindows().setButtonEnabled(BarButton::Next, false);
}

void SelectionEvents::nodeChecked(Node* node)
{
    if (!m_source.contains(node))
        return;
    const bool checked = node->checked;
    if (!node->parent && node->key == kMyComputer && !checked) {
        clearAll();
        return;
    }
    if ((isFilesFoldersCategory(node) && checked) || isDriveNode(node)) {
        m_pending = node;
        return;
    }
    if (isInCategory(node, kFilesAndFolders)) {
        if (checked) {
            Mirror_Folder_Path(m_source, m_destination, node, true);
            if (m_refreshLater) {
                m_refreshLater(node);
                return;
            }
            Refresh_Folder_Checks(m_source, m_destination, node);
            if (Is_File_Or_Folder_Checked(m_source)) {
                wizardWindows().setButtonEnabled(BarButton::Next, true);
                wizardWindows().setButtonVisible(BarButton::Next, true);
            }
        } else if (m_clearLater) {
            // The ancestors' marks follow at once (they do not depend on what is below the node).
            Mirror_Folder_Path(m_source, m_destination, node, false);
            m_clearLater(node);
        } else {
            Apply_Folder_Check(m_source, m_destination, node, false);
            Mirror_Folder_Path(m_source, m_destination, node, false);
            Refresh_Folder_Checks(m_source, m_destination, node);
        }
        return;
    }
    for (std::string_view category : kGroupCategories) {
        if (isInCategory(node, category))
            m_pending = node;
    }
    Propagate_Node_Check(m_source, m_destination, node, checked);
    Mirror_Node_Check(m_source, m_destination, node, checked);
}

void SelectionEvents::clicked()
{
    Node* pending = m_source.contains(m_pending) ? m_pending : nullptr;
    m_pending = nullptr;
    if (pending) {
        if (pending->checked) {
            if (isFilesFoldersCategory(pending) || isDriveNode(pending)) {
                platform::showMessage(
                    kSelectFilesMessage, platform::MsgButtons::Ok, platform::MsgIcon::Information);
                m_source.setCheckedOf(pending, false);
                return;
            }
            if (pending->parent)
                m_destination.addUnder(pending->parent->key, pending->key, pending->text, pending->image);
        } else {
            if (isFilesFoldersCategory(pending))
                return;
            if (isDriveNode(pending)) {
                // A drive's mark follows its contents; it cannot be cleared by hand.
                m_source.setCheckedOf(pending, true);
                return;
            }
            bool group = false;
            for (std::string_view key : kGroupKeys)
                group = group || pending->key == key;
            if (group)
                m_destination.removeChildren(m_destination.find(pending->key));
            else
                m_destination.removeKey(pending->key);
        }
    }
    applyNextRule(true);
}

int SelectionEvents::skeletonCount() const
{
    return 1 + (m_loaded.applications ? 2 : 0) + (m_loaded.filesFolders ? 1 : 0) +
        (m_loaded.settings ? 2 : 0);
}

void SelectionEvents::applyNextRule(bool filesTest)
{
    WizardWindows& windows = wizardWindows();
    if (m_busy && m_busy()) {
        windows.setButtonEnabled(BarButton::Next, false);
        return;
    }
    windows.setButtonEnabled(BarButton::Next, m_destination.count() > skeletonCount());
    windows.setButtonVisible(BarButton::Next, true);
    if (filesTest && Is_File_Or_Folder_Checked(m_source)) {
        windows.setButtonEnabled(BarButton::Next, true);
        windows.setButtonVisible(BarButton::Next, true);
    }
}

} // namespace wizard
