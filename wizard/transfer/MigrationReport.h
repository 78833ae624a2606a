// MigrationReport.h: what became of each item of a migration run (migrated, not found or failed,
// with the reason), kept from the item runners and the files-and-folders copy to the report page.
#pragma once

#include "wizard/transfer/TransferOutcome.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wizard {

enum class ReportGroup { Applications, Settings, FilesAndFolders };

// "Applications", "Settings", "Files and Folders".
std::string_view groupCaption(ReportGroup group);
// "Migrated", "Not found", "Failed".
std::string_view outcomeText(transfer::TransferOutcome outcome);

class MigrationReport {
public:
    struct Entry {
        ReportGroup group = ReportGroup::Applications;
        std::string item; // the name or source path the user chose
        transfer::TransferOutcome outcome = transfer::TransferOutcome::Migrated;
        std::string detail; // why it was not migrated, or what was passed over ("" when migrated)
    };

    // Starts a new run: the entries go, and the report page may lower the history again.
    void clear();
    // Records an item's outcome; an item recorded before in the same group (names compare without
    // regard to case) takes the new outcome in its place.
    void record(ReportGroup group, const std::string& item, transfer::TransferOutcome outcome,
        const std::string& detail = {});
    // Makes room for `more` entries to come (a run of many items).
    void reserve(std::size_t more);
    const std::vector<Entry>& entries() const { return m_entries; }
    const Entry* find(ReportGroup group, std::string_view item) const;
    int count(transfer::TransferOutcome outcome) const;

    // The report page lowers the navigation history once per run, however often it is shown.
    bool historyLowered() const { return m_historyLowered; }
    void setHistoryLowered() { m_historyLowered = true; }

private:
    std::vector<Entry> m_entries;
    // Group and folded item -> entry, so that a run of many thousand items records in linear time.
    std::unordered_map<std::string, std::size_t> m_index;
    bool m_historyLowered = false;
};

// The program's one report.
MigrationReport& migrationReport();

} // namespace wizard
