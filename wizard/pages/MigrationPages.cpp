// MigrationPages.cpp: the drive-mapping, space and report pages.
#include "wizard/pages/MigrationPages.h"

#include "wizard/connection/NetworkHelpers.h"
#include "wizard/core/KestroMain.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/pages/MigrationPageModels.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include <cmath>

namespace wizard {

namespace {

const QString kLinkText = "Click Help Button or press F1 key for more details.";

QLabel* label(
    QWidget* page, const QString& name, const QString& text, const QRect& twipsRect, double points, bool bold)
{
    auto* l = new QLabel(text, page);
    l->setObjectName(name);
    QFont f("Verdana");
    f.setPointSizeF(points);
    f.setBold(bold);
    l->setFont(f);
    l->setGeometry(
        twips(twipsRect.x()), twips(twipsRect.y()), twips(twipsRect.width()), twips(twipsRect.height()));
    return l;
}

QColor colourOf(SelectedItemsList::Mark mark)
{
    switch (mark) {
    case SelectedItemsList::Mark::Migrating: return {255, 128, 0};
    case SelectedItemsList::Mark::Migrated: return {0, 128, 0};
    case SelectedItemsList::Mark::NotFound: return {128, 128, 128};
    case SelectedItemsList::Mark::Failed: return {192, 0, 0};
    case SelectedItemsList::Mark::None: break;
    }
    return {0, 0, 0};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// frm_Drive_Info

frm_Drive_Info::frm_Drive_Info(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11385), twips(7020));
    addBarAccelerators();

    auto* banner = new QFrame(this);
    banner->setObjectName("Shape2");
    banner->setGeometry(twips(240), twips(120), twips(6975), twips(735));
    banner->setStyleSheet("background: white; border: 1px solid navy; border-radius: 8px;");
    QLabel* title =
        label(this, "Label2", "Map Source and Destination Drives", {1440, 360, 6015, 375}, 15.75, false);
    title->setStyleSheet("color: rgb(0, 0, 128);");
    label(this, "Label1", "Source Drive", {240, 960, 1695, 375}, 9.75, true);
    label(this, "Label3", "Destination Drive", {3960, 960, 2295, 375}, 9.75, true);

    auto* panel = new QuickHelpPanel(
        this, "Frame2", QRect(7800, 0, 3615, 7020), {"Label7", "Label13", "Label14", "Label15"});
    panel->intro()->setText(
        "You can set the drives to which you want to migrate the selected components. In the Map "
        "Source and Destination Drive screen, you can map the drives of the source PC with the "
        "drives of the destination PC.\r\r");
    panel->title()->setText("Map Drives");
    setBold(panel->title(), true);
    panel->body()->setText(
        "Through mapping, the components selected from, say, C drive of the source PC will be "
        "copied to a destination drive of your choice. Each of the drives in the source PC can "
        "have a corresponding drive in the destination PC. You may also map your source PC drives "
        "to a single drive in the destination PC, if hard disk space permits.\r\r");
    panel->link()->setText(kLinkText);
    panel->link()->setStyleSheet("color: rgb(0, 0, 255);");
    buildRows();
}

void frm_Drive_Info::buildRows()
{
    Get_Admin_Shares(SourcePcName);
    std::vector<std::string> fixed;
    for (const DriveSpaceRow& d : localFixedDrives())
        fixed.push_back(d.drive);
    const std::vector<DriveMappingRow> rows = driveMappingRows(AdminShares(), fixed);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int n = static_cast<int>(i);
        QLabel* source = label(this, QString("lblSrcDrv%1").arg(n),
            QString::fromStdString(rows[i].sourceDrive), {960, 1680 + 405 * n, 1575, 255}, 8.25, true);
        source->setFont(QFont("MS Sans Serif", 8, QFont::Bold));
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString("cmbDestDrvs%1").arg(n));
        combo->setGeometry(twips(5160), twips(1560 + 465 * n), twips(1935), twips(315));
        for (const std::string& d : rows[i].destinationDrives)
            combo->addItem(QString::fromStdString(d));
        combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    }
}

void frm_Drive_Info::activated()
{
    WizardWindows& w = wizardWindows();
    w.setEditMenuEnabled(EditMenuItem::SelectAll, false);
    w.setEditMenuEnabled(EditMenuItem::ClearAll, false);
    w.setButtonEnabled(BarButton::Back, true);
    w.setButtonVisible(BarButton::Back, true);
    w.setButtonVisible(BarButton::Migrate, false);
    w.setButtonEnabled(BarButton::Next, true);
}

// ---------------------------------------------------------------------------------------------
// frm_source_Space_Info

frm_source_Space_Info::frm_source_Space_Info(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7065));
    addBarAccelerators();
    addAccelerator("Command5", "&Migrate", BarButton::Migrate);
    addCmdLink(kHelpTopic, false);

    m_list = new QListWidget(this);
    m_list->setObjectName("Lstsel");
    m_list->setGeometry(0, 0, twips(6960), twips(6135));
    m_grid = new QTableWidget(1, 4, this);
    m_grid->setObjectName("Grdsize");
    // The grid stands under the list, as wide as it, its four columns sharing the width so that
    // every figure is seen without scrolling.
    m_grid->setGeometry(0, twips(4200), twips(6960), twips(1935));
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName("Prb_Progress_bar");
    m_bar->setGeometry(0, twips(6120), twips(11295), twips(375));
    m_bar->setTextVisible(false);
    m_list->setGeometry(0, 0, twips(6960), twips(4200));

    m_panel = new QuickHelpPanel(
        this, "Frame2", QRect(7800, 0, 3495, 6135), {"Label7", "Label13", "Label14", "Label15"});
    m_panel->addTopicBox("Label3", "1", 240);
    connect(m_panel->link(), &ClickLabel::clicked, this, [this] { sendHelpKey(); });

    common::Service<SelectedItemsView>::replace(&selectedItemsList());
    selectedItemsList().setChangedHandler([this] { showList(); });
}

frm_source_Space_Info::~frm_source_Space_Info()
{
    selectedItemsList().setChangedHandler(nullptr);
    if (common::Service<SelectedItemsView>::installed() == &selectedItemsList())
        common::Service<SelectedItemsView>::replace(nullptr);
}

void frm_source_Space_Info::showList()
{
    const auto& rows = selectedItemsList().rows();
    if (m_list->count() != static_cast<int>(rows.size())) {
        m_list->clear();
        for (const auto& r : rows) {
            auto* item = new QListWidgetItem(QString::fromStdString(r.text), m_list);
            // Only the migration sets the ticks: the user cannot change them.
            item->setFlags(Qt::ItemIsEnabled);
            item->setData(Qt::UserRole, QString::fromStdString(r.key));
        }
    }
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        item->setCheckState(rows[static_cast<std::size_t>(i)].checked() ? Qt::Checked : Qt::Unchecked);
        item->setForeground(colourOf(rows[static_cast<std::size_t>(i)].mark));
    }
    const double maximum = selectedItemsList().progressMaximum();
    m_bar->setMaximum(static_cast<int>(std::lround(maximum)));
    m_bar->setValue(static_cast<int>(std::lround(selectedItemsList().progressValue())));
}

bool frm_source_Space_Info::Get_Selected_size()
{
    SpaceNeeds needs;
    for (const KeyedList::Entry& e : selectionCollections().applications.entries())
        needs.applications.push_back(e.item);
    for (const KeyedList::Entry& e : selectionCollections().filesFolders.entries())
        needs.files.push_back({e.key, e.item});
    const std::vector<DriveSpaceRow> rows = spaceRows(needs);
    m_grid->setRowCount(static_cast<int>(rows.size()) + 1);
    const QStringList header = {"Drive", "Total Space(MB)", "Free Space(MB)", "Req. Space(MB)"};
    for (int c = 0; c < 4; ++c)
        m_grid->setItem(0, c, new QTableWidgetItem(header[c]));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        const DriveSpaceRow& d = rows[r];
        m_grid->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(d.drive)));
        m_grid->setItem(
            row, 1, new QTableWidgetItem(d.sizesKnown ? QString::fromStdString(formatMb(d.totalMb)) : ""));
        m_grid->setItem(
            row, 2, new QTableWidgetItem(d.sizesKnown ? QString::fromStdString(formatMb(d.freeMb)) : ""));
        m_grid->setItem(row, 3, new QTableWidgetItem(QString::number(d.requiredMb)));
    }
    for (int r = 0; r < m_grid->rowCount(); ++r)
        for (int c = 0; c < 4; ++c)
            if (QTableWidgetItem* it = m_grid->item(r, c))
                it->setTextAlignment(Qt::AlignCenter);
    return true;
}

void frm_source_Space_Info::activated()
{
    m_panel->intro()->setText(
        "This page shows the actual migration process. All the selected data for migration "
        "are shown here. The checkbox gets checked as and when the data is migrated.\r\r");
    m_panel->title()->setText("Selected Data\r\n");
    setBold(m_panel->title(), true);
    m_panel->body()->setText(
        "Click the Migrate button to initiate the migration process. A progress bar shows the "
        "progress of migration, and when completed prompts you with a message.");
    m_panel->setLinkText("Click Help Button or press F1 Key for more details.");
    WizardWindows& w = wizardWindows();
    w.setButtonVisible(BarButton::Migrate, true);
    w.setButtonEnabled(BarButton::Migrate, true);
    w.setButtonEnabled(BarButton::Next, false);
    w.setEditMenuEnabled(EditMenuItem::SelectAll, false);
    w.setEditMenuEnabled(EditMenuItem::ClearAll, false);
    // A new selection starts a new report.
    migrationReport().clear();
    collectProgramSelection();
    showList();
    Get_Selected_size();
    if (selectedItemsList().rows().empty())
        w.setButtonEnabled(BarButton::Migrate, false);
}

// ---------------------------------------------------------------------------------------------
// frm_Migration_Status

frm_Migration_Status::frm_Migration_Status(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7215));
    addAccelerator("Command1", "&Help", BarButton::Help);
    addAccelerator("Command3", "&Previous", BarButton::Back);
    addAccelerator("Command4", "&Cancel", BarButton::Cancel);
    m_list = new QTreeWidget(this);
    m_list->setObjectName("ListView1");
    m_list->setGeometry(0, 0, twips(11400), twips(7215));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({"Migrated Item", "Status", "Description"});
    m_list->setColumnWidth(0, twips(3500));
    m_list->setColumnWidth(1, twips(1650));
    m_list->setColumnWidth(2, twips(5835));
}

void frm_Migration_Status::activated()
{
    WizardWindows& w = wizardWindows();
    w.setButtonEnabled(BarButton::Next, false);
    w.setButtonEnabled(BarButton::Back, true);
    w.setButtonEnabled(BarButton::Migrate, false);
    w.setButtonVisible(BarButton::Migrate, false);
    w.setButtonVisible(BarButton::Finish, true);
    w.setButtonEnabled(BarButton::Finish, true);
    w.setButtonCaption(BarButton::Cancel, "&Close");

    m_list->clear();
    for (const ReportRow& r : reportRows(migrationReport())) {
        auto* item = new QTreeWidgetItem(m_list,
            {QString::fromStdString(r.text), QString::fromStdString(r.status),
                QString::fromStdString(r.description)});
        item->setData(0, Qt::UserRole, QString::fromStdString(r.key));
        if (r.isGroup) {
            QFont f = item->font(0);
            f.setBold(true);
            item->setFont(0, f);
        } else if (r.status != "Migrated") {
            item->setForeground(1, r.status == "Failed" ? QColor(192, 0, 0) : QColor(128, 128, 128));
        }
    }
    // Back from here goes to the page before the migration, once per run however often this
    // page is shown.
    MigrationReport& report = migrationReport();
    if (!report.historyLowered()) {
        report.setHistoryLowered();
        --core().engine.HistoryStep;
    }
}

void registerMigrationPages()
{
    KestroMain::registerPage(frm_Drive_Info::kFormName,
        [](KestroMain& main, QWidget* area) -> WizardPage* { return new frm_Drive_Info(&main, area); });
    KestroMain::registerPage(
        frm_source_Space_Info::kFormName, [](KestroMain& main, QWidget* area) -> WizardPage* {
            return new frm_source_Space_Info(&main, area);
        });
    KestroMain::registerPage(frm_Migration_Status::kFormName,
        [](KestroMain& main, QWidget* area) -> WizardPage* { return new frm_Migration_Status(&main, area); });
}

} // namespace wizard
