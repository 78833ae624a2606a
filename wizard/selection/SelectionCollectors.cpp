// SelectionCollectors.cpp: the collectors of the selection page.
#include "wizard/selection/SelectionCollectors.h"

#include "platform/CodePage.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/selection/TreeBuilders.h"

namespace wizard {

namespace {

using Node = SelectionTree::Node;

std::string underscored(std::string_view text) { return coretext::replaceAll(text, " ", "_"); }

// Nodes of a category of the tree, below the category node, in the order of adding.
template <typename Fn> void forEachBelow(const SelectionTree& tree, std::string_view category, Fn fn)
{
    for (int i = 1; i <= tree.count(); ++i) {
        const Node* n = tree.at(i);
        if (SelectionTree::isBelowCategory(n) && isInCategory(n, category))
            fn(n);
    }
}

} // namespace

namespace {

// A collector over the selection page's trees, filling the installed list and the program's
// collections, for the source PC the wizard migrates from.
SelectionCollector programCollector()
{
    SelectionCollector::Context c;
    const SelectionTrees trees = selectionTrees();
    c.source = dynamic_cast<const SelectionTree*>(trees.source);
    c.destination = dynamic_cast<const SelectionTree*>(trees.destination);
    c.list = common::Service<SelectedItemsView>::installed();
    c.sourceOs = SourceOs;
    const SelectionSources sources = selectionSources();
    if (const platform::FileSystem* fs = sources.fs) {
        c.folderExists = [fs](const std::string& p) { return fs->folderExists(p); };
        c.fileExists = [fs](const std::string& p) { return fs->fileExists(p); };
    }
    return SelectionCollector(std::move(c), selectionCollections());
}

} // namespace

bool collectProgramSelection() { return programCollector().Sub_Collect_Selected_Info(); }

void collectProgramApplicationsAndSettings()
{
    SelectionCollector collector = programCollector();
    collector.Sub_Collect_Applications();
    collector.Sub_Collect_Control_Panel_Settings();
    collector.Sub_Collect_Display_Settings();
    collector.Sub_Collect_Network_Settings();
    collector.Sub_Collect_Other_Settings();
}

bool KeyedList::add(std::string item, std::string key)
{
    if (!m_keys.insert(platform::foldCase(key)).second)
        return false;
    m_entries.push_back({std::move(item), std::move(key)});
    return true;
}

bool KeyedList::contains(std::string_view key) const { return m_keys.count(platform::foldCase(key)) != 0; }

SelectionCollections& selectionCollections()
{
    static SelectionCollections collections;
    return collections;
}

SelectionCollector::SelectionCollector(Context context, SelectionCollections& collections)
    : m_context(std::move(context))
    , m_collections(collections)
{}

void SelectionCollector::setVariable(const std::string& name, const std::string& value)
{
    if (value == "true")
        m_collections.variablesSet.push_back(name);
    if (m_context.setVariable)
        m_context.setVariable(name, value);
    else
        Set_System_Variable_Value(name, value);
}

std::string SelectionCollector::applicationVariableOf(std::string_view text)
{
    const std::string name = coretext::lowerAscii(text);
    if (name.empty() || name.find_first_of("$|\\=%") != std::string::npos)
        return {};
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return {};
    }
    for (std::string_view prefix : {"st_", "bln", "int_"}) {
        if (name.compare(0, prefix.size(), prefix) == 0)
            return {};
    }
    for (std::string_view reserved : {"display_settings", "control_panel_settings", "network_settings",
             "other_settings", "files_and_folders"}) {
        if (name == reserved)
            return {};
    }
    return "$" + name;
}

void SelectionCollector::log(const std::string& status)
{
    if (m_context.log)
        m_context.log("Sub_Collect_Selected_Info", status);
    else
        FN_Write_Log("Sub_Collect_Selected_Info", status, true);
}

bool SelectionCollector::Sub_Collect_Selected_Info()
{
    log("Start");
    const std::vector<std::string> earlier = std::move(m_collections.variablesSet);
    m_collections.variablesSet.clear();
    for (const std::string& name : earlier)
        setVariable(name, "false");
    if (m_context.list)
        m_context.list->clearRows();
    m_collections.applications.clear();
    m_collections.settings.clear();
    m_collections.filesFolders.clear();
    Sub_Collect_Applications();
    Sub_Collect_Display_Settings();
    Sub_Collect_Control_Panel_Settings();
    Sub_Collect_Network_Settings();
    Sub_Collect_Other_Settings();
    Sub_Collect_Files_Folders();
    const int n = m_collections.applications.count() + m_collections.settings.count() +
        m_collections.filesFolders.count();
    const double maximum = n * 10.0;
    if (m_context.list)
        m_context.list->setProgressMaximum(maximum);
    // Nothing chosen: the space page keeps Migrate from starting, so no step is ever added.
    m_collections.progressStep = n > 0 ? maximum / n : 0.0;
    log("End");
    return true;
}

void SelectionCollector::Sub_Collect_Applications()
{
    if (!m_context.destination)
        return;
    bool first = true;
    for (int i = 1; i <= m_context.destination->count(); ++i) {
        const Node* n = m_context.destination->at(i);
        if (!SelectionTree::isBelowCategory(n) ||
            !(isInCategory(n, "Supported Applications") || isInCategory(n, "Unsupported Applications")))
            continue;
        m_collections.applications.add(n->key, n->key);
        if (const std::string variable = applicationVariableOf(n->text); !variable.empty())
            setVariable(variable);
        if (first)
            setVariable("$bln_application");
        first = false;
        if (m_context.list)
            m_context.list->addRow("APP_" + n->key, n->text);
    }
}

void SelectionCollector::collectSettings(std::string_view category, std::string_view rowPrefix)
{
    if (!m_context.destination)
        return;
    bool first = true;
    forEachBelow(*m_context.destination, category, [&](const Node* n) {
        m_collections.settings.add(n->key, n->key);
        setVariable("$" + underscored(coretext::lowerAscii(n->text)));
        if (first)
            setVariable("$" + underscored(category));
        first = false;
        if (m_context.list)
            m_context.list->addRow(std::string(rowPrefix) + n->key, n->text);
    });
}

void SelectionCollector::Sub_Collect_Display_Settings() { collectSettings("Display Settings", "DESKTOP_"); }
void SelectionCollector::Sub_Collect_Control_Panel_Settings()
{
    collectSettings("Control Panel Settings", "CONTROL_");
}
void SelectionCollector::Sub_Collect_Network_Settings() { collectSettings("Network Settings", "NETWORK_"); }
void SelectionCollector::Sub_Collect_Other_Settings() { collectSettings("Other Settings", "OTHERS_"); }

std::string SelectionCollector::sourcePathOf(const Node* node) const
{
    const std::string path = SelectionTree::fullPathOf(node);
    if (m_context.sourceOs != "winxp") {
        // \\OLDPC\C$\Data\Report.doc gives C:\Data\Report.doc. Only the drive's "$\" turns into
        // ":\": a folder named "Tools$" below it keeps its name.
        const std::size_t at = node->key.find("$\\");
        if (at != std::string::npos && at > 0)
            return node->key.substr(at - 1, 1) + ":\\" + node->key.substr(at + 2);
    }
    // The drive text in the full path: My Computer\Files and Folders\C:\Data gives C:\Data. Also
    // the way for drives reached through a share whose name holds no "$".
    const std::size_t at = path.find(":\\");
    if (at == std::string::npos || at == 0)
        return {};
    return path.substr(at - 1);
}

void SelectionCollector::Sub_Collect_Files_Folders()
{
    if (!m_context.source)
        return;
    bool taken = false;
    forEachBelow(*m_context.source, kFilesAndFolders, [&](const Node* n) {
        const std::string path = SelectionTree::fullPathOf(n);
        if (n->text.empty() || !n->checked || path.empty() || path.back() == ':' ||
            path.find(':') == std::string::npos)
            return;
        bool take = false;
        if (m_context.folderExists && m_context.folderExists(n->key)) {
            // A folder counts whole only while its contents were never listed; a listed folder is
            // represented by its listed children.
            take = !n->expanded && SelectionTree::isUnlisted(n);
        } else if (m_context.fileExists && m_context.fileExists(n->key)) {
            take = true;
        }
        if (!take)
            return;
        const std::string sourcePath = sourcePathOf(n);
        if (sourcePath.empty())
            return;
        if (m_context.list)
            m_context.list->addRow(n->key, sourcePath);
        m_collections.filesFolders.add(sourcePath, n->key);
        taken = true;
    });
    if (taken)
        setVariable("$files_and_folders");
}

} // namespace wizard
