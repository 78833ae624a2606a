// MigrationPages.cpp: the drive-mapping, space and report pages.
#include "wizard/ui/pages/MigrationPages.h"

#include "wizard/connection/NetworkHelpers.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/pages/MigrationPageModels.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/pages/SelectedItemsModel.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <cmath>
#include <utility>

namespace wizard {

namespace {

const QString kLinkText = "Click Help Button or press F1 key for more details.";
// The drive and space pages move the bar's Migrate to this left edge (twips).
constexpr int kMigrateLeft = 4500;

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

// The report page shows its first batch of rows at once, then adds batches until its part of a
// turn of the event loop is used; a report of up to one batch is shown whole at once.
constexpr int kReportBatch = 256;
constexpr qint64 kReportPartNs = 8'000'000;

QTreeWidgetItem* reportItem(const ReportRow& r)
{
    auto* item = new QTreeWidgetItem({QString::fromStdString(r.text), QString::fromStdString(r.status),
        QString::fromStdString(r.description)});
    item->setData(0, Qt::UserRole, QString::fromStdString(r.key));
    const QString tip = QString::fromStdString(reportRowTip(r));
    for (int column = 0; column < 3; ++column)
        item->setToolTip(column, tip);
    if (r.isGroup) {
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
    } else if (r.status != "Migrated") {
        item->setForeground(1, r.status == "Failed" ? QColor(192, 0, 0) : QColor(128, 128, 128));
    }
    return item;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// frm_Drive_Info

frm_Drive_Info::frm_Drive_Info(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11385), twips(7020));
    showBackdrop();
    addBarAccelerators();

    addPageTitle(this, "Label2", "Map Source and Destination Drives", "connection",
        {{240, 120, 6975, 735}, {480, 120, 705, 645}, {1440, 360}});
    label(this, "Label1", "Source Drive", {240, 960, 1695, 375}, 9.75, true);
    label(this, "Label3", "Destination Drive", {3960, 960, 2295, 375}, 9.75, true);

    auto* panel = new QuickHelpPanel(
        this, "Frame2", QRect(7800, 0, 3615, 7215), {"Label7", "Label13", "Label14", "Label15"});
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
    // The help line here is only a hint: clicking it does nothing, so no hand over it.
    panel->link()->setCursor(Qt::ArrowCursor);
    buildRows();
}

void frm_Drive_Info::buildRows()
{
    Get_Admin_Shares(SourcePcName);
    std::vector<std::string> fixed;
    for (const DriveSpaceRow& d : localFixedDrives())
        fixed.push_back(d.drive);
    const std::vector<DriveMappingRow> rows = driveMappingRows(AdminShares(), fixed);
    const QPixmap drive = style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(32, 32);
    // Each kind of control keeps its own pitch from row to row, as the page was designed.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int n = static_cast<int>(i);
        for (const auto& [name, left] : {std::pair{"imgSrcDrv", 0}, std::pair{"imgDestDrv", 4440}}) {
            auto* icon = new QLabel(this);
            icon->setObjectName(QString("%1%2").arg(name).arg(n));
            icon->setGeometry(fromTwips({left, 1440 + 475 * n, 480, 480}));
            icon->setAlignment(Qt::AlignCenter);
            icon->setPixmap(drive);
        }
        QLabel* source = label(this, QString("lblSrcDrv%1").arg(n),
            QString::fromStdString(rows[i].sourceDrive), {960, 1680 + 405 * n, 1575, 255}, 8.25, true);
        QFont font("MS Sans Serif");
        font.setPointSizeF(8.25);
        font.setBold(true);
        source->setFont(font);
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString("cmbDestDrvs%1").arg(n));
        combo->setGeometry(fromTwips({5160, 1560 + 465 * n, 1935, 315}));
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
    w.setButtonLeft(BarButton::Migrate, kMigrateLeft);
    w.setButtonEnabled(BarButton::Next, true);
}

// ---------------------------------------------------------------------------------------------
// frm_source_Space_Info

frm_source_Space_Info::frm_source_Space_Info(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7065));
    addCmdLink(kHelpTopic, false);
    addAccelerator("Command5", "&Migrate", BarButton::Migrate);
    addBarAccelerators();

    // Created bottom first: the grid lies beneath the checklist and the bar, the bar beneath the
    // Quick Help panel, the panel beneath the checklist.
    m_grid = new QTableWidget(1, 4, this);
    m_grid->setObjectName("Grdsize");
    m_grid->setGeometry(fromTwips({6960, 0, 855, 6150}));
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[] = {500, 1400, 1400, 1400};
    for (int c = 0; c < 4; ++c)
        m_grid->setColumnWidth(c, twips(widths[c]));

    m_bar = new QProgressBar(this);
    m_bar->setObjectName("Prb_Progress_bar");
    m_bar->setGeometry(fromTwips({0, 6120, 11295, 375}));
    m_bar->setTextVisible(false);

    m_panel = new QuickHelpPanel(
        this, "Frame2", QRect(7800, 0, 3495, 6135), {"Label7", "Label13", "Label14", "Label15"});
    m_panel->setFollowsPageHeight(false); // the bar runs on beneath it
    m_panel->addTopicBox("Label3", "1", 240);
    connect(m_panel->link(), &ClickLabel::clicked, this, [this] { sendHelpKey(); });

    m_model = new SelectedItemsModel(selectedItemsList(), this);
    m_list = new QTreeView(this);
    m_list->setObjectName("Lstsel");
    m_list->setGeometry(fromTwips({0, 0, 7815, 6135}));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);

    common::Service<SelectedItemsView>::replace(&selectedItemsList());
    selectedItemsList().setChangedHandler([this](const SelectedItemsList::Change& change) {
        m_model->follow(change);
        // An added or marked row leaves the bar as it is (the collectors add a row per chosen
        // file).
        using Kind = SelectedItemsList::Change::Kind;
        if (change.kind == Kind::Progress || change.kind == Kind::Cleared)
            showProgress();
    });
}

frm_source_Space_Info::~frm_source_Space_Info()
{
    selectedItemsList().setChangedHandler(nullptr);
    if (common::Service<SelectedItemsView>::installed() == &selectedItemsList())
        common::Service<SelectedItemsView>::replace(nullptr);
}

void frm_source_Space_Info::showProgress()
{
    // The bar is drawn with the window's next turn, not at once: a bar that redraws itself
    // whenever its text changes holds up a long copy on every move.
    m_bar->setUpdatesEnabled(false);
    m_bar->setMaximum(static_cast<int>(std::lround(selectedItemsList().progressMaximum())));
    m_bar->setValue(static_cast<int>(std::lround(selectedItemsList().progressValue())));
    m_bar->setUpdatesEnabled(true);
}

bool frm_source_Space_Info::Get_Selected_size()
{
    SpaceNeeds needs;
    for (const KeyedList::Entry& e : selectionCollections().applications.entries())
        needs.applications.push_back(e.item);
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
    w.setButtonLeft(BarButton::Migrate, kMigrateLeft);
    w.setButtonEnabled(BarButton::Migrate, true);
    w.setButtonEnabled(BarButton::Next, false);
    w.setEditMenuEnabled(EditMenuItem::SelectAll, false);
    w.setEditMenuEnabled(EditMenuItem::ClearAll, false);
    // A new selection starts a new report.
    migrationReport().clear();
    collectProgramSelection();
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
    addInertAccelerator("Command2", "&Next");
    addAccelerator("Command3", "&Previous", BarButton::Back);
    addAccelerator("Command4", "&Cancel", BarButton::Cancel);
    addInertAccelerator("Command5", "&Undo");
    addInertAccelerator("Command6", "Fi&nish");
    m_list = new QTreeWidget(this);
    m_list->setObjectName("ListView1");
    m_list->setGeometry(0, 0, twips(11400), twips(7215));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({"Migrated Item", "Status", "Description"});
    // Every column, the last one too, can be widened by its header's edge beyond the page; the
    // list then scrolls sideways.
    m_list->header()->setStretchLastSection(false);
    m_list->setUniformRowHeights(true);
    m_fill = new QTimer(this);
    m_fill->setInterval(0);
    m_fill->setSingleShot(true);
    connect(m_fill, &QTimer::timeout, this, [this] { fillPart(kReportPartNs); });
}

void frm_Migration_Status::resizeEvent(QResizeEvent* event)
{
    // The report covers the whole page, however large the main window makes it.
    m_list->resize(size());
    StepPage::resizeEvent(event);
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

    m_list->setColumnWidth(0, twips(3500));
    m_list->setColumnWidth(1, twips(1650));
    m_list->setColumnWidth(2, twips(5835));
    m_list->clear();
    m_rows = std::make_unique<ReportRowReader>(migrationReport());
    fillPart(0); // the first batch at once
    // Back from here goes to the page before the migration, once per run however often this
    // page is shown.
    MigrationReport& report = migrationReport();
    if (!report.historyLowered()) {
        report.setHistoryLowered();
        --core().engine.HistoryStep;
    }
}

frm_Migration_Status::~frm_Migration_Status() = default;

void frm_Migration_Status::hideEvent(QHideEvent* event)
{
    // The report may change once the page is left; showing it again starts over. (A minimised
    // window hides its pages too; that goes on.)
    if (!event->spontaneous()) {
        m_fill->stop();
        m_rows.reset();
    }
    StepPage::hideEvent(event);
}

void frm_Migration_Status::fillPart(qint64 partNs)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QList<QTreeWidgetItem*> batch;
        for (int n = 0; n < kReportBatch && m_rows && !m_rows->atEnd(); ++n)
            batch.append(reportItem(m_rows->next()));
        m_list->addTopLevelItems(batch); // one insertion for the view
    } while (m_rows && !m_rows->atEnd() && clock.nsecsElapsed() < partNs);
    if (m_rows && !m_rows->atEnd()) {
        m_fill->start();
        return;
    }
    m_rows.reset();
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
