// ApplicationSettingsPage.cpp: the selection page's widgets; its logic is SelectionPageLogic.
#include "wizard/ui/selection/ApplicationSettingsPage.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QLabel>
#include <QMimeDatabase>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

#include "platform/qt/QtHelpViewer.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/SelectionTrees.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardState.h"
#include "wizard/selection/TreeBuilders.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"
#include "wizard/ui/selection/SourceListingDriver.h"

namespace wizard {

namespace {

const HelpTopic kSelectiveTopic{"MIGRATION - SELECTION SCREEN",
    "The left hand side of the window shows all the available data and settings on the source PC, while the "
    "right "
    "hand side displays only those selected settings which were chosen to migrate."};
const HelpTopic kMassTopic{"MASS MIGRATION",
    "You can migrate the entire content of the source PC as it is, to the "
    "destination PC."};
const char* kSelectiveIntro =
    "Kestro lets you migrate selected data and settings from your computer. For ease of "
    "use, the data and settings are grouped into Display Settings, Control Panel "
    "Settings, Network Settings, Other Settings, Applications, and Files/ Folders.\r\r";
const char* kMassIntro =
    "Mass Migration, you can migrate both Supported and Unsupported applications. Kestro "
    "guarantees successful functioning of all supported applications, while unsupported "
    "applications may or may not function properly.\r\r";

bool massMode() { return MigrationMode == "mass"; }

bool boxChecked(const char* control)
{
    PageControls* controls = pageControls();
    return controls && controls->isChecked("Frm_MigrationType", control);
}

// The source PC's name as the connection page took it, without leading backslashes.
std::string sourcePcName()
{
    PageControls* controls = pageControls();
    std::string name =
        controls ? coretext::trimBlanks(controls->text("Frm_ConnectionType", "txt_Source_Name")) : "";
    while (!name.empty() && name.front() == '\\')
        name.erase(0, 1);
    return name;
}

QLabel* caption(QWidget* parent, const char* name, const char* text, const QRect& twipsRect)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setGeometry(
        twips(twipsRect.x()), twips(twipsRect.y()), twips(twipsRect.width()), twips(twipsRect.height()));
    return label;
}

} // namespace

Frm_ApplicationSettings::Frm_ApplicationSettings(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7395));
    addBarAccelerators();
    addCmdLink(kHelpTopic, true);

    m_logic = std::make_unique<SelectionPageLogic>(selectionSources());
    caption(this, "lblSource", "Select the Items to migrate from Source PC.", QRect(120, 60, 3720, 480));
    caption(this, "lblDestination", "Selected Items to be migrated from Source PC to Destination PC.",
        QRect(3960, 60, 3720, 480));
    m_sourceTree = new SelectionTreeWidget(m_logic->source(), true, this);
    m_sourceTree->setObjectName("Trv_Source_Information");
    m_sourceTree->setGeometry(twips(120), twips(600), twips(3720), twips(6660));
    m_destinationTree = new SelectionTreeWidget(m_logic->destination(), false, this);
    m_destinationTree->setObjectName("Trv_Destination_Information");
    m_destinationTree->setGeometry(twips(3960), twips(600), twips(3720), twips(6660));
    for (SelectionTreeWidget* tree : {m_sourceTree, m_destinationTree})
        tree->setIconSource([this](int image) { return iconOf(image); });
    platform::qt::setHelpTopic(m_sourceTree, kHelpTopic);
    platform::qt::setHelpTopic(m_destinationTree, kHelpTopic);

    SelectionEvents& events = m_logic->events();
    connect(m_sourceTree, &SelectionTreeWidget::nodeCheckChanged, this,
        [&events](SelectionTree::Node* node) { events.nodeChecked(node); });
    connect(m_sourceTree, &SelectionTreeWidget::treeClicked, this, [&events] { events.clicked(); });
    // A large folder is listed in steps while the window stays usable.
    m_listings = new SourceListingDriver(*m_logic, this);
    m_listings->setObjectName("sourceListings");
    connect(m_sourceTree, &SelectionTreeWidget::nodeExpanded, m_listings, &SourceListingDriver::open);
    // A ticked or cleared folder's listed entries take its mark in steps too.
    events.setFolderRefresh([this](SelectionTree::Node* node) { m_listings->refresh(node); },
        [this](SelectionTree::Node* node) { m_listings->clear(node); },
        [this] { return m_listings->busy(); });
    connect(m_destinationTree, &SelectionTreeWidget::nodeExpanded, this, [this](SelectionTree::Node* node) {
        wizardWindows().setMousePointer(MousePointer::Hourglass);
        m_logic->destinationExpanded(node);
        wizardWindows().setMousePointer(MousePointer::Default);
    });

    m_panel = new QuickHelpPanel(
        this, "Frame1", QRect(7800, 0, 3615, 7395), {"Label7", "Label13", "Label14", "Label15"});
    m_panel->addTopicBox("Label3", "1", 240);
    m_panel->markTopic(0);
    connect(m_panel->link(), &ClickLabel::clicked, this, [this] {
        cmdLink()->setFocus(Qt::OtherFocusReason);
        sendHelpKey();
    });
    connectPointer(m_panel);

    // The first load: the texts of the migration mode, the Edit menu and the button bar.
    setModeTexts();
    WizardWindows& windows = wizardWindows();
    windows.setEditMenuEnabled(EditMenuItem::SelectAll, true);
    windows.setEditMenuEnabled(EditMenuItem::ClearAll, true);
    windows.setButtonEnabled(BarButton::Back, true);
    windows.setButtonVisible(BarButton::Back, true);
    windows.setButtonEnabled(BarButton::Next, false);
    m_panel->setLinkText("Click Help Button or press F1 Key for more details.");
    m_logic->load();
    setSelectionTrees(
        {&m_logic->source(), &m_logic->destination(), [this] { m_logic->events().applyNextRule(true); }});
}

Frm_ApplicationSettings::~Frm_ApplicationSettings()
{
    const SelectionTrees trees = selectionTrees();
    if (trees.source == &m_logic->source())
        setSelectionTrees({});
    m_logic->events().setFolderRefresh({}, {}, {});
    delete m_listings;
    // The views leave their models before the models (held by the logic) go.
    delete m_sourceTree;
    delete m_destinationTree;
}

void Frm_ApplicationSettings::setModeTexts()
{
    const bool mass = massMode();
    m_panel->intro()->setText(mass ? kMassIntro : kSelectiveIntro);
    m_panel->showTexts(mass ? kMassTopic : kSelectiveTopic);
}

void Frm_ApplicationSettings::activated()
{
    setModeTexts();
    const CategoryBoxes boxes{
        boxChecked("chk_Settings"), boxChecked("chk_Applications"), boxChecked("chk_Files_and_Folders")};
    m_logic->activate(massMode(), boxes, sourcePcName());
}

QIcon Frm_ApplicationSettings::iconOf(int image)
{
    if (const auto it = m_icons.find(image); it != m_icons.end())
        return it->second;
    QStyle* style = QApplication::style();
    QIcon icon;
    switch (image) {
    case treeimage::kRoot: icon = style->standardIcon(QStyle::SP_ComputerIcon); break;
    case treeimage::kDisplay: icon = style->standardIcon(QStyle::SP_DesktopIcon); break;
    case treeimage::kNetwork: icon = style->standardIcon(QStyle::SP_DriveNetIcon); break;
    case treeimage::kUnsupportedMark: icon = style->standardIcon(QStyle::SP_FileIcon); break;
    case treeimage::kFolderClosed: icon = style->standardIcon(QStyle::SP_DirClosedIcon); break;
    case treeimage::kFolderOpen: icon = style->standardIcon(QStyle::SP_DirOpenIcon); break;
    case treeimage::kDrive: icon = style->standardIcon(QStyle::SP_DriveHDIcon); break;
    default:
        if (const TreeImages::Image* added = m_logic->images().at(image)) {
            if (!added->key.empty()) {
                std::string bytes;
                QPixmap pixmap;
                const SelectionSources sources = selectionSources();
                if (sources.fs && sources.fs->readFile(added->source, bytes) == platform::FsError::None &&
                    pixmap.loadFromData(
                        reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size())))
                    icon = QIcon(pixmap);
            } else if (added->source == "folder") {
                icon = style->standardIcon(QStyle::SP_DirIcon);
            } else {
                const QMimeType type = QMimeDatabase().mimeTypeForFile(
                    "x" + QString::fromStdString(added->source), QMimeDatabase::MatchExtension);
                icon = QIcon::fromTheme(type.iconName(), style->standardIcon(QStyle::SP_FileIcon));
            }
        } else if (image > 8 && image < treeimage::kRoot) {
            icon = style->standardIcon(QStyle::SP_FileDialogDetailedView); // settings leaves
        }
        if (icon.isNull())
            icon = style->standardIcon(QStyle::SP_FileIcon);
    }
    m_icons[image] = icon;
    return icon;
}

} // namespace wizard
