// MigrationPages.h: the pages of a selective migration's last steps: the drive-mapping page, the
// space page with the checklist that the migration ticks off, and the migration report. Each shows
// rows that MigrationPageModels.h builds; the migration itself runs in the rules.
#pragma once

#include "wizard/ui/pages/PageFrame.h"

#include <memory>

class QComboBox;
class QProgressBar;
class QTableWidget;
class QTreeView;
class QTimer;
class QTreeWidget;

namespace wizard {

class ReportRowReader;
class SelectedItemsModel;

// frm_Drive_Info: one row per drive the source PC shares, beside a list of this PC's fixed drives.
class frm_Drive_Info : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "frm_Drive_Info";
    static constexpr int kHelpTopic = 110;

    frm_Drive_Info(KestroMain* main, QWidget* parent);
    void activated() override;

private:
    void buildRows();
};

// frm_source_Space_Info: the chosen items (ticked as they are migrated), the progress bar and the
// space each fixed drive has and needs.
class frm_source_Space_Info : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "frm_source_Space_Info";
    static constexpr int kHelpTopic = 24;

    frm_source_Space_Info(KestroMain* main, QWidget* parent);
    ~frm_source_Space_Info() override;
    void activated() override;

    // Fills the space grid; True.
    bool Get_Selected_size();

private:
    void showProgress(); // the bar as the shared list holds it

    SelectedItemsModel* m_model;
    QTreeView* m_list;
    QProgressBar* m_bar;
    QTableWidget* m_grid;
    QuickHelpPanel* m_panel;
};

// frm_Migration_Status: what became of each chosen item. A large report arrives in parts, one per
// turn of the event loop, so that the window stays live while its rows are added.
class frm_Migration_Status : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "frm_Migration_Status";
    static constexpr int kHelpTopic = 25;

    frm_Migration_Status(KestroMain* main, QWidget* parent);
    ~frm_Migration_Status() override;
    void activated() override;
    // Whether every row of the report is in the list.
    bool filled() const { return !m_rows; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Adds the next batch of rows, and more batches until `partNs` have passed; the rest follows
    // when the event loop turns.
    void fillPart(qint64 partNs);

    QTreeWidget* m_list;
    std::unique_ptr<ReportRowReader> m_rows; // while rows remain to be added
    QTimer* m_fill;
};

// Registers the three pages with the main window. Call once before start-up.
void registerMigrationPages();

} // namespace wizard
