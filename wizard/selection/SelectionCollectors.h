// SelectionCollectors.h: turn the user's choice in the selection trees into the selection
// collections the migration works off, the space page's list of selected items, the progress step
// and the script variables the item scripts test.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/BackgroundWork.h"
#include "common/Service.h"
#include "wizard/selection/PartClock.h"
#include "wizard/selection/SelectionTree.h"

namespace wizard {

// Empties `container`. A large one is freed on a background thread: freeing many thousand strings
// on the window's thread held the window up.
template <class Container> void emptyBeside(Container& container)
{
    constexpr std::size_t kLarge = 4096;
    if (container.size() < kLarge) {
        container.clear();
        return;
    }
    auto held = std::make_shared<Container>(std::move(container));
    container = Container();
    common::BackgroundWork::program().runBeside([held] { Container gone = std::move(*held); });
}

// Strings in insertion order, each under a key unique without regard to case.
class KeyedList {
public:
    struct Entry {
        std::string item;
        std::string key;
    };
    // False, with nothing added, when the key is present already.
    bool add(std::string item, std::string key);
    bool contains(std::string_view key) const;
    const std::vector<Entry>& entries() const { return m_entries; }
    int count() const { return static_cast<int>(m_entries.size()); }
    void clear()
    {
        emptyBeside(m_entries);
        emptyBeside(m_keys);
    }
    void reserve(std::size_t count)
    {
        m_entries.reserve(m_entries.size() + count);
        m_keys.reserve(m_keys.size() + count);
    }

private:
    std::vector<Entry> m_entries;
    std::unordered_set<std::string> m_keys; // folded keys, so that a large choice adds in linear time
};

// What the collectors fill. `applications` and `settings` hold node keys (an application's or a
// setting's name); `filesFolders` holds the source PC's path of each item (C:\Data\Report.doc)
// under the path through which this PC reaches it (\\OLDPC\C$\Data\Report.doc).
struct SelectionCollections {
    KeyedList applications;
    KeyedList settings;
    KeyedList filesFolders;
    // Added to the progress bar once per migrated item; the bar is full after the last one.
    double progressStep = 0;
    // The script variables the last run of the collectors set to "true"; the next run sets them
    // back to "false" first, so that an item dropped from the choice no longer counts as chosen.
    std::vector<std::string> variablesSet;
};

// The program's selection, kept from the collectors to the migration report.
SelectionCollections& selectionCollections();

// The space page's list of selected items and its progress bar.
class SelectedItemsView {
public:
    virtual ~SelectedItemsView() = default;
    virtual void clearRows() = 0;
    // A row whose key is present already is not added again.
    virtual void addRow(const std::string& key, const std::string& text) = 0;
    virtual void setProgressMaximum(double maximum) = 0;
    // About `count` more rows are coming.
    virtual void reserveRows(std::size_t count) { (void)count; }
};

class SelectionCollector {
public:
    struct Context {
        const SelectionTree* source = nullptr;
        const SelectionTree* destination = nullptr;
        SelectedItemsView* list = nullptr; // may be null
        std::string sourceOs;              // "win95" ... "winxp"
        // Whether a path through which this PC reaches the source PC names a folder or a file.
        std::function<bool(const std::string&)> folderExists;
        std::function<bool(const std::string&)> fileExists;
        // Publishes a script variable; Set_System_Variable_Value when empty.
        std::function<void(const std::string&, const std::string&)> setVariable;
        // Writes a log record (procedure, status); FN_Write_Log when empty.
        std::function<void(const std::string&, const std::string&)> log;
        // Called between bounded parts of a walk over a tree (a few milliseconds each), so that a
        // window can run its events meanwhile; may be empty. Nodes that leave the tree meanwhile
        // are passed over, nodes added meanwhile are not collected.
        std::function<void()> yield;
    };

    SelectionCollector(Context context, SelectionCollections& collections);

    // Empties the list and the three collections, runs the six collectors, sizes the progress bar
    // (ten per item) and sets the progress step. Always True.
    bool Sub_Collect_Selected_Info();

    // Each only adds; entries and rows whose keys are present already are passed over.
    void Sub_Collect_Applications();
    void Sub_Collect_Display_Settings();
    void Sub_Collect_Control_Panel_Settings();
    void Sub_Collect_Network_Settings();
    void Sub_Collect_Other_Settings();
    void Sub_Collect_Files_Folders();

    // The source PC's own path of a drive, folder or file node (`fullPath` its full path in the
    // tree), or empty when none can be formed.
    std::string sourcePathOf(const SelectionTree::Node* node, const std::string& fullPath) const;

    // The variable an application node sets: "$" and its text in lower case. Empty when the text,
    // which comes from the source PC's registry, could be taken for another variable: a "$", "|",
    // "\", "=" or "%" in it, a control character, or the wizard's own prefixes ("st_", "bln",
    // "int_") and the collectors' category names.
    static std::string applicationVariableOf(std::string_view text);

private:
    // Calls fn on every node of the tree below the category `category` (every category when
    // empty), in the order of adding, yielding between bounded parts.
    void forEachBelow(const SelectionTree& tree, std::string_view category,
        const std::function<void(const SelectionTree::Node*)>& fn);
    void collectSettings(std::string_view category, std::string_view rowPrefix);
    void setVariable(const std::string& name, const std::string& value = "true");
    void log(const std::string& status);
    void maybeYield() { m_clock.maybeYield(); }

    Context m_context;
    SelectionCollections& m_collections;
    // One part runs on from one walk into the next: the collectors walk the same large trees one
    // after another, each walk shorter than a part.
    PartClock m_clock;
};

// The space page installs its list through common::Service<SelectedItemsView>; the collectors
// below fill the installed one, if any.

// Sub_Collect_Selected_Info over the selection page's trees into selectionCollections(), for the
// source PC the wizard migrates from; True (also when the page was never shown).
bool collectProgramSelection();
// The collectors of applications, control-panel, display, network and other settings, in that
// order, over the same trees, adding to what the collections and the list hold already (files and
// folders are not collected). What the mass-migration page gathers when it is shown.
void collectProgramApplicationsAndSettings();

} // namespace wizard
