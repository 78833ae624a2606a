// MigrationTypePage.cpp: the migration-type page.
#include "wizard/ui/selection/MigrationTypePage.h"

#include "wizard/ui/selection/ApplicationSettingsPage.h"

#include "platform/qt/QtHelpViewer.h"
#include "wizard/ui/core/KestroMain.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace wizard {

bool migrationCategoriesChosen(bool settings, bool applications, bool filesAndFolders)
{
    return settings || applications || filesAndFolders;
}

const std::array<HelpTopic, 3>& Frm_MigrationType::topics()
{
    static const std::array<HelpTopic, 3> t{{
        {"Migration",
            "You have the choice to migrate the contents of the Source Pc to the Destination Pc, "
            "irrespective of the "
            "settings, files, or applications supported or unsupported based upon your selection."},
        {"Selective Migration",
            "Selective migration allows migration of selected components only. Components can be broadly "
            "classified "
            "into Settings, Applications, and Files/ Folders."},
        {"Select Migration components",
            " Click the checkboxes against the required components. 'Settings' includes display, control "
            "panel, network "
            "settings etc. in addition to the user profiles. 'Applications' displays both supported and "
            "unsupported "
            "applications, the latter ones being grey coloured."},
    }};
    return t;
}

namespace {

QLabel* textLabel(
    QWidget* parent, const char* name, const QString& text, const QRect& twipsRect, double points, bool bold)
{
    QLabel* label = verdanaLabel(parent, name, text, points, bold);
    label->setGeometry(
        twips(twipsRect.x()), twips(twipsRect.y()), twips(twipsRect.width()), twips(twipsRect.height()));
    return label;
}

// Puts an option's circle level with the first line of its caption.
void alignWithCaption(QRadioButton* option, const QLabel* caption)
{
    const int line = caption->fontMetrics().height();
    const int size = option->sizeHint().height();
    option->setGeometry(option->x(), caption->y() + (line - size) / 2, option->width(), size);
}

} // namespace

Frm_MigrationType::Frm_MigrationType(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7395));

    QPushButton* help = addBarAccelerators();
    platform::qt::setHelpTopic(help, kHelpTopic);
    // Alt+H sets the topic before it asks the main window for help.
    disconnect(help, &QPushButton::clicked, nullptr, nullptr);
    connect(help, &QPushButton::clicked, this, &Frm_MigrationType::Command1_Click);
    // Alt+H leaves the focus on Command1, so the help that opens is Command1's own topic. It stands
    // with no size so that it can hold the focus; without its mnemonic, only the page's key handler
    // reaches it and the bar's Help keeps the key to itself.
    help->setShortcut(QKeySequence());
    help->setFocusPolicy(Qt::ClickFocus);
    help->setGeometry(0, 0, 0, 0);
    help->show();
    addCmdLink(kSelectiveTopic, true);

    addPageTitle(this, "lblTitle", "Initialize Migration", "migration");
    textLabel(this, "lblStart", "Click Next to Start Migration", QRect(480, 1080, 6600, 300), 9, true);

    m_optMass = new QRadioButton(this);
    m_optMass->setObjectName("optMass");
    m_optMass->setGeometry(twips(480), twips(1680), twips(300), twips(300));
    platform::qt::setHelpTopic(m_optMass, kMassTopic);
    alignWithCaption(m_optMass,
        textLabel(this, "lblMass",
            "1.  Mass Migration (Migrates all data from Source PC including  unsupported applications).",
            QRect(840, 1680, 6600, 500), 9, false));
    m_optSel = new QRadioButton(this);
    m_optSel->setObjectName("optSel");
    m_optSel->setGeometry(twips(480), twips(2400), twips(300), twips(300));
    platform::qt::setHelpTopic(m_optSel, kSelectiveTopic);
    alignWithCaption(m_optSel,
        textLabel(this, "lblSel", "2.  Selective Migration  (Migrates only the selected data from Source PC)",
            QRect(840, 2400, 6600, 500), 9, false));
    m_optSel->setChecked(true);

    m_frame = new QGroupBox("Select Your Migration Preference", this);
    m_frame->setObjectName("Frame1");
    m_frame->setGeometry(twips(840), twips(3000), twips(5400), twips(1800));
    struct Box {
        const char* name;
        const char* caption;
        int topic;
    };
    const std::array<Box, 3> boxes{{{"chk_Settings", "Settings", 11}, {"chk_Applications", "Applications", 8},
        {"chk_Files_and_Folders", "Files/Folders", 9}}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto* box = new QCheckBox(boxes[i].caption, m_frame);
        box->setObjectName(boxes[i].name);
        box->setGeometry(twips(360), twips(360 + 420 * static_cast<int>(i)), twips(4000), twips(300));
        box->setChecked(true);
        platform::qt::setHelpTopic(box, boxes[i].topic);
        connect(box, &QCheckBox::toggled, this, &Frm_MigrationType::Select_option);
        m_boxes[i] = box;
    }
    connect(m_optMass, &QRadioButton::clicked, this, &Frm_MigrationType::optMass_Click);
    connect(m_optSel, &QRadioButton::clicked, this, &Frm_MigrationType::optSel_Click);

    m_panel = new QuickHelpPanel(
        this, "Frame2", QRect(7800, 0, 3615, 7395), {"Label7", "Label13", "Label14", "Label15"});
    m_panel->addTopicBox("Label8", "1", 240);
    m_panel->addTopicBox("Label9", "2", 600);
    m_panel->addTopicBox("Label10", "3", 960);
    connect(m_panel, &QuickHelpPanel::topicClicked, this, &Frm_MigrationType::showTopic);
    connect(m_panel->link(), &ClickLabel::clicked, this, [this] {
        cmdLink()->setFocus(Qt::OtherFocusReason);
        Cmd_Link_Click();
    });
    connectPointer(m_panel);

    // The first load: the Quick Help opens at its first topic.
    m_panel->intro()->setText("Here is where you start migration. Kestro allows you migrate Settings, "
                              "Application and Files/Folders.\r\r");
    m_panel->markTopic(0);
    m_panel->showTexts(topics()[0]);
    m_panel->setLinkText("Click Help Button or press F1 Key for more details.");
}

void Frm_MigrationType::Select_option()
{
    const bool any =
        migrationCategoriesChosen(m_boxes[0]->isChecked(), m_boxes[1]->isChecked(), m_boxes[2]->isChecked());
    wizardWindows().setButtonEnabled(BarButton::Next, any);
}

void Frm_MigrationType::activated()
{
    // Alt+H while the focus is outside the page (on the button bar after a click on Next) is the
    // page's too: the bar's own Help would open the page's mass or selective topic instead.
    window()->installEventFilter(this);
    wizardWindows().setButtonEnabled(BarButton::Next, false);
    Select_option();
}

void Frm_MigrationType::optMass_Click()
{
    m_frame->setEnabled(false);
    for (QCheckBox* box : m_boxes)
        box->setChecked(true); // a box that changes runs Select_option
    if (m_optMass->isChecked())
        wizardWindows().setButtonEnabled(BarButton::Next, true);
}

void Frm_MigrationType::optSel_Click()
{
    m_frame->setEnabled(true);
    Select_option();
}

void Frm_MigrationType::showTopic(std::size_t index)
{
    // Topic 1 comes back on its own number too, so that every topic can be reached again.
    if (index >= topics().size())
        return;
    m_panel->markTopic(index);
    m_panel->showTexts(topics()[index]);
}

int Frm_MigrationType::Cmd_Link_Click()
{
    platform::qt::setHelpTopic(cmdLink(), m_optMass->isChecked() ? kMassTopic : kSelectiveTopic);
    cmdLink()->setFocus(Qt::OtherFocusReason);
    return showHelpFor(cmdLink());
}

void Frm_MigrationType::Command1_Click()
{
    if (!wizardWindows().buttonEnabled(BarButton::Help))
        return;
    QPushButton* help = accelerator(BarButton::Help);
    platform::qt::setHelpTopic(help, kHelpTopic);
    help->setFocus(Qt::ShortcutFocusReason);
    clickBarButton(BarButton::Help);
}

namespace {

bool isAltH(const QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->modifiers() == Qt::AltModifier && key->key() == Qt::Key_H;
}

} // namespace

bool Frm_MigrationType::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window() || !isVisible() || !isAltH(event))
        return StepPage::eventFilter(watched, event);
    event->accept();
    if (event->type() == QEvent::KeyPress)
        Command1_Click();
    return true;
}

bool Frm_MigrationType::event(QEvent* event)
{
    // Taking the key from the shortcut map lets it arrive as a key press, which the page's key
    // handler gives to Command1.
    if (event->type() == QEvent::ShortcutOverride && isAltH(event)) {
        event->accept();
        return true;
    }
    return StepPage::event(event);
}

const char* Frm_MigrationType::migrationMode() const { return m_optMass->isChecked() ? "mass" : "selective"; }

void registerSelectionPages()
{
    KestroMain::registerPage(Frm_MigrationType::kFormName,
        [](KestroMain& main, QWidget* area) -> WizardPage* { return new Frm_MigrationType(&main, area); });
    KestroMain::registerPage(
        Frm_ApplicationSettings::kFormName, [](KestroMain& main, QWidget* area) -> WizardPage* {
            return new Frm_ApplicationSettings(&main, area);
        });
}

} // namespace wizard
