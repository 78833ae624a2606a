// SelectionCollectors.cpp: the collectors of the selection page.
#include "wizard/selection/SelectionCollectors.h"

#include "platform/CodePage.h"
#include "platform/EventPump.h"
#include "platform/HeldFolder.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/selection/TreeBuilders.h"

#include <chrono>
#include <memory>

namespace wizard {

namespace {

using Node = SelectionTree::Node;

std::string underscored(std::string_view text) { return coretext::replaceAll(text, " ", "_"); }

// Work between two yields of a collector's walk.
constexpr auto kPart = std::chrono::milliseconds(8);

// Whether a path through which this PC reaches the source PC names a folder or a file, looked at
// through its folder held open: the nodes of one listed folder follow each other, so a choice of
// many thousand files resolves their folder once instead of once per file. What the held folder
// does not find under the exact name is asked of the file-system object. The collector asks
// whether a node is a folder and then whether it is a file: the second question about the same
// path is answered from the first look.
class EntryProbe {
public:
    explicit EntryProbe(const platform::FileSystem& fs)
        : m_fs(fs)
    {}
    bool is(const std::string& path, platform::HeldFolder::Kind kind)
    {
        const std::size_t slash = path.rfind('\\');
        if (slash != std::string::npos && slash > 0) {
            const std::string_view folder(path.data(), slash);
            if (folder != m_folder) {
                m_folder = folder;
                m_held.open(m_fs, m_folder + "\\");
                m_lastPath.clear();
            }
            if (path != m_lastPath) {
                m_lastPath = path;
                m_lastKind = m_held.kindOf(path.substr(slash + 1));
            }
            const platform::HeldFolder::Kind found = m_lastKind;
            if (found != platform::HeldFolder::Kind::Missing)
                return found == kind;
        }
        return kind == platform::HeldFolder::Kind::Folder ? m_fs.folderExists(path) : m_fs.fileExists(path);
    }

private:
    const platform::FileSystem& m_fs;
    std::string m_folder;
    platform::HeldFolder m_held;
    std::string m_lastPath; // the entry looked at last in the held folder, and what it was
    platform::HeldFolder::Kind m_lastKind = platform::HeldFolder::Kind::Missing;
};

// A collector over the selection page's trees, filling the installed list and the program's
// collections, for the source PC the wizard migrates from; it yields to the window between parts.
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
        auto probe = std::make_shared<EntryProbe>(*fs);
        c.folderExists = [probe](const std::string& p) {
            return probe->is(p, platform::HeldFolder::Kind::Folder);
        };
        c.fileExists = [probe](
                           const std::string& p) { return probe->is(p, platform::HeldFolder::Kind::File); };
    }
    c.yield = [] { platform::yieldToEvents(); };
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
    , m_clock(m_context.yield, kPart)
{}

void SelectionCollector::forEachBelow(
    const SelectionTree& tree, std::string_view category, const std::function<void(const Node*)>& fn)
{
    // The nodes as they are now: a yield may let the user open a folder (its nodes are added, its
    // placeholder goes) or close the page's choice otherwise.
    const std::vector<Node*> nodes = tree.snapshot();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i % 64 == 63)
            maybeYield();
        const Node* n = nodes[i];
        if (!tree.contains(n) || !SelectionTree::isBelowCategory(n))
            continue;
        if (category.empty() || isInCategory(n, category))
            fn(n);
    }
}

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
    maybeYield();
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
    forEachBelow(*m_context.destination, {}, [&](const Node* n) {
        if (!(isInCategory(n, "Supported Applications") || isInCategory(n, "Unsupported Applications")))
            return;
        m_collections.applications.add(n->key, n->key);
        if (const std::string variable = applicationVariableOf(n->text); !variable.empty())
            setVariable(variable);
        if (first)
            setVariable("$bln_application");
        first = false;
        if (m_context.list)
            m_context.list->addRow("APP_" + n->key, n->text);
    });
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

std::string SelectionCollector::sourcePathOf(const Node* node, const std::string& path) const
{
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
    // Room for every node at most, so that a large choice never grows the lists in one long step.
    const auto nodes = static_cast<std::size_t>(m_context.source->count());
    m_collections.filesFolders.reserve(nodes);
    if (m_context.list)
        m_context.list->reserveRows(nodes);
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
        const std::string sourcePath = sourcePathOf(n, path);
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
