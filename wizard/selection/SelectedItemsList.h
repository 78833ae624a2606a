// SelectedItemsList.h: the space page's checklist of chosen items and its progress bar as plain
// data. The collectors fill it, the migration run marks each item with what became of it, and the
// page only shows it.
#pragma once

#include "wizard/selection/SelectionCollectors.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wizard {

class SelectedItemsList : public SelectedItemsView {
public:
    // An item's state; only Migrated carries the tick.
    enum class Mark { None, Migrating, Migrated, NotFound, Failed };
    struct Row {
        std::string key; // "APP_" + name, a settings group prefix + name, or a file's network path
        std::string text;
        Mark mark = Mark::None;
        bool checked() const { return mark == Mark::Migrated; }
    };

    void clearRows() override;
    void addRow(const std::string& key, const std::string& text) override;
    // Also puts the bar back to its start.
    void setProgressMaximum(double maximum) override;
    void reserveRows(std::size_t count) override;

    const std::vector<Row>& rows() const { return m_rows; }
    // The row whose key equals `key` without regard to case; null when there is none.
    const Row* find(std::string_view key) const;
    // The row of an application ("APP_" + name) or a setting (any settings group prefix + name).
    const Row* findApplication(std::string_view name) const;
    const Row* findSetting(std::string_view name) const;
    // Marks the row with that key; false when there is none.
    bool setMark(std::string_view key, Mark mark);

    double progressValue() const { return m_value; }
    double progressMaximum() const { return m_maximum; }
    // Moves the bar by `step`; a step that would pass the maximum (or that is not a positive
    // number) leaves the bar where it is.
    void advance(double step);
    void resetProgress();

    // What one change did, so that a view can follow it without rebuilding: all rows gone, one row
    // appended or marked (`row` its index), or the bar moved or resized.
    struct Change {
        enum class Kind { Cleared, Added, Marked, Progress };
        Kind kind;
        std::size_t row = 0;
    };
    // Called after every change.
    void setChangedHandler(std::function<void(const Change&)> handler) { m_changed = std::move(handler); }

private:
    void changed(Change change) const;

    std::vector<Row> m_rows;
    std::unordered_map<std::string, std::size_t> m_index; // folded key -> row
    double m_value = 0;
    double m_maximum = 0;
    std::function<void(const Change&)> m_changed;
};

// The program's one list; the space page shows it and installs it as the SelectedItemsView.
SelectedItemsList& selectedItemsList();

} // namespace wizard
