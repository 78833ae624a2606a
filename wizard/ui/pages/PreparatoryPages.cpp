// PreparatoryPages.cpp: the optional and the required preparatory-task pages.
#include "wizard/ui/pages/PreparatoryPages.h"

#include "platform/qt/QtHelpViewer.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/TextUtil.h"
#include "wizard/ui/pages/PreparatoryRules.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace wizard {

namespace {

// The task boxes' and options' font.
QFont verdana9Font()
{
    QFont font("Verdana");
    font.setPointSizeF(9);
    return font;
}

const QString kLinkText = "Click Help Button or press F1 key for more details.";
const QColor kNavy(0, 0, 128);

QString repeat(const char* brk, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += brk;
    return s;
}

QLabel* pageLabel(QWidget* page, const QString& name, const QString& text, int left, int top, int width,
    double points, bool bold = false)
{
    // The label is as high as its wrapped text.
    QLabel* label = verdanaLabel(page, name, text, points, bold);
    label->setGeometry(twips(left), twips(top), twips(width), label->heightForWidth(twips(width)));
    return label;
}

// Ends word wrap on `label` and fits its height to the single line.
void singleLine(QLabel* label)
{
    label->setWordWrap(false);
    label->resize(label->width(), label->sizeHint().height());
}

// A check box whose caption wraps inside its box, as a box several lines high shows it; the
// caption itself keeps its text. The tick mark stands level with the middle of the box.
class WrappingCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        const QRect text = textRect(QRect(0, 0, width, 0));
        return fontMetrics().boundingRect(text, kFlags, this->text()).height();
    }
    QSize sizeHint() const override { return {width(), heightForWidth(width())}; }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

    void paintEvent(QPaintEvent*) override
    {
        QStylePainter p(this);
        p.fillRect(rect(), Qt::white);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, this);
        p.drawPrimitive(QStyle::PE_IndicatorCheckBox, opt);
        const QRect text = textRect(rect());
        p.drawItemText(text, kFlags, palette(), isEnabled(), this->text(), QPalette::WindowText);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = fontMetrics().boundingRect(text, kFlags, this->text()).adjusted(-1, 0, 1, 0);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }

private:
    static constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

    // The caption's room: the box right of the tick mark and its spacing.
    QRect textRect(const QRect& box) const
    {
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const int left = style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this) +
            style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
        return box.adjusted(left, 0, 0, 0);
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Frm_Preparatory

const std::array<HelpTopic, 5>& Frm_Preparatory::topics()
{
    static const QString crlf = "\r\n";
    static const std::array<HelpTopic, 5> t{{
        {"Run Scandisk on your source PC to repair Disk errors:" + repeat("\r\n", 2),
            "If the computer is not shutdown properly, Windows operating system files might get corrupted "
            "and may lead "
            "to disk errors. By running scandisk, the operating system corrects all such errors and lets you "
            "work "
            "without any interruptions." +
                repeat("\r\n", 2)},
        {"Scan source PC for viruses:" + repeat("\r\n", 2),
            "Viruses will harm your computer by destroying files and software. If you have any Antivirus "
            "software "
            "installed in your source PC, you can scan your source PC for any viruses." +
                repeat("\r\n", 2) +
                "It is suggested that you clean up your PC before you start migration, and thus make sure "
                "that the "
                "migrated data is free of virus as well."},
        {"PCs should be plugged in, and not run on battery power" + crlf,
            "If your source or destination PC is laptop, make sure that they are not running on battery "
            "power. This "
            "will reduce the risk of system being shutdown abnormally during the migration process when the "
            "battery "
            "runs out of power." +
                repeat("\r\n", 2)},
        {"Do not run any application during migration" + crlf,
            "Make sure that you do not open any application during the process of migration. This might lead "
            "to "
            "corruption of files related to the application." +
                repeat("\r\n", 2)},
        {"Check for Administrator rights" + crlf,
            "You should have full and complete access to the source PC, to migrate the complete "
            "functionalities "
            "successfully. For this, you may create a user with Administrator rights in the source PC. This "
            "is "
            "required only if you are using Windows 2000 Professional as your source PC." +
                repeat("\r\n", 2)},
    }};
    return t;
}

const QString& Frm_Preparatory::introduction()
{
    static const QString s =
        "It is recommended that you should carry out a few tasks for the successful functioning "
        "of Kestro. These may be done before starting the migration process. " +
        repeat("\r\n", 3);
    return s;
}

Frm_Preparatory::Frm_Preparatory(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7695));
    showBackdrop();

    // Accelerators and the help command lie under the Quick Help panel.
    platform::qt::setHelpTopic(addBarAccelerators(), kHelpTopic);
    addCmdLink(kHelpTopic, true);

    addPageTitle(
        this, "Label1", "Preparatory Tasks", "preparatory", {{240, 120, 4935, 735}, {}, {1440, 360}});
    pageLabel(this, "Label2",
        "Please perform the optional task given below in order to ensure high quality migration.", 240, 1320,
        7300, 9.75, true);
    pageLabel(this, "Label4", "1. Run Scan Disk on your Source PC  to repair the hard drive.", 240, 2280,
        7300, 9.75);
    pageLabel(this, "Label5",
        "2. Scan your Source PC with an anti-virus tool  to make sure no viruses are  migrated.", 240, 2880,
        7300, 9.75);
    pageLabel(this, "Label7",
        "3. Make sure that both the PCs are plugged into AC power and not running of batteries.", 240, 3720,
        7300, 9.75);
    pageLabel(this, "Label8",
        "4. Do not run any other applications on either PC while migration is in process.", 240, 4560, 7300,
        9.75);
    pageLabel(this, "Label9", "5. Check whether you have Administrator rights on the Source PC.", 240, 5400,
        7300, 9.75);

    m_panel = new QuickHelpPanel(
        this, "Frame1", QRect(7800, 0, 3615, 7695), {"Label10", "Label18", "Label19", "Label22"});
    const std::array<const char*, 5> boxes{"Label12", "Label13", "Label15", "Label16", "Label17"};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        m_panel->addTopicBox(boxes[i], QString::number(i + 1), 360 + 240 * static_cast<int>(i));
    connect(m_panel, &QuickHelpPanel::topicClicked, this, &Frm_Preparatory::showTopic);
    connect(m_panel->link(), &ClickLabel::clicked, this, &Frm_Preparatory::Label22_Click);
    connectPointer(m_panel);

    // The first load: the Edit menu is off on this page and the default Quick Help shows.
    wizardWindows().setEditMenuEnabled(EditMenuItem::SelectAll, false);
    wizardWindows().setEditMenuEnabled(EditMenuItem::ClearAll, false);
    ShowDefaultQuickHelp();
}

void Frm_Preparatory::ShowDefaultQuickHelp()
{
    m_panel->intro()->setText(introduction());
    m_panel->markTopic(0);
    // The first topic's title keeps its design-time bold.
    m_panel->title()->setText(topics()[0].title);
    m_panel->body()->setText(topics()[0].text);
    m_panel->setLinkText(kLinkText);
}

void Frm_Preparatory::activated()
{
    WizardWindows& w = wizardWindows();
    w.setButtonVisible(BarButton::Next, true);
    w.setButtonEnabled(BarButton::Next, true);
    w.setButtonVisible(BarButton::Help, true);
    w.setButtonEnabled(BarButton::Help, true);
    w.setButtonVisible(BarButton::Back, true);
    w.setButtonEnabled(BarButton::Back, true);
    w.setButtonVisible(BarButton::Cancel, true);
    w.setButtonEnabled(BarButton::Cancel, true);
    w.setButtonVisible(BarButton::Accept, false);
    w.setButtonVisible(BarButton::Decline, false);
    w.setWelcomePanelVisible(false);
    w.setButtonEnabled(BarButton::Back, false);
}

void Frm_Preparatory::showTopic(std::size_t index)
{
    if (index >= topics().size())
        return;
    m_panel->markTopic(index);
    m_panel->showTexts(topics()[index]);
}

void Frm_Preparatory::Label22_Click()
{
    cmdLink()->setFocus(Qt::OtherFocusReason);
    showHelpFor(cmdLink());
}

// ---------------------------------------------------------------------------------------------
// Frm_PreparatoryTask

const std::array<HelpTopic, 5>& Frm_PreparatoryTask::topics()
{
    static const std::array<HelpTopic, 5> t{{
        {"PCs should be plugged in, and not run on battery power",
            "If your source or destination PC is laptop, make sure that they are not running on battery "
            "power. This "
            "will reduce the risk of system being shutdown abnormally during the migration process when the "
            "battery "
            "runs out of power." +
                repeat("\r", 2)},
        {"Disable power conservation settings on both PCs",
            "Windows has default settings for power conservation, by which the system may go to standby "
            "state after a "
            "period of time if the system is idle. Turn off the monitor, HDD, system standby and system "
            "hibernate so "
            "that none of the components of PC go to standby." +
                repeat("\r", 3)},
        {"Share Hard Drives of source PC",
            "The Destination PC can access data from the Source PC only if it's hard drives are shared. Make "
            "sure that "
            "your Source PC is shared. For Win95/98/ME/2000 PCs share as C$ and D$.. and for WinXP PCs share "
            "as C and "
            "D." +
                repeat("\r", 2)},
        {"Do not run any application during migration",
            "Make sure that you do not open any application during the process of migration. This might lead "
            "to "
            "corruption of files related to the application." +
                repeat("\r", 2)},
        {"Operating Systems supported by Source Machine",
            "Kestro supports five Operating Systems in the Source PC, which are as displayed. Select the "
            "appropriate "
            "option." +
                repeat("\r", 2)},
    }};
    return t;
}

const QString& Frm_PreparatoryTask::introduction()
{
    static const QString s =
        "To carry out a few tasks before proceeding with migration, to ensure smooth running of "
        "Kestro. These tasks are not optional and have to be done without fail. Click on the "
        "corresponding checkbox to make sure that you have carried out these tasks." +
        repeat("\r", 3);
    return s;
}

Frm_PreparatoryTask::Frm_PreparatoryTask(KestroMain* main, QWidget* parent,
    std::function<bool()> initializeDestination, ScriptVariables& variables)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(7215));
    showBackdrop();

    addBarAccelerators();
    addCmdLink(kCmdLinkTopic, false);

    addPageTitle(
        this, "Label6", "Required Preparatory Tasks", "required", {{240, 120, 5655, 735}, {}, {1320, 360}});

    buildTaskChecks();
    buildOsOptions();
    // Tab order: the four boxes, then the options from Win95 down to WinXP.
    QWidget* previous = m_checks[0];
    for (QWidget* w : {static_cast<QWidget*>(m_checks[1]), static_cast<QWidget*>(m_checks[2]),
             static_cast<QWidget*>(m_checks[3]), static_cast<QWidget*>(m_options[0]),
             static_cast<QWidget*>(m_options[1]), static_cast<QWidget*>(m_options[2]),
             static_cast<QWidget*>(m_options[3]), static_cast<QWidget*>(m_options[4])}) {
        setTabOrder(previous, w);
        previous = w;
    }

    buildQuickHelp();

    // Boxes 3 and 4 and every option feed the rule; boxes 1 and 2 are for the user alone.
    connect(m_checks[2], &QCheckBox::toggled, this, &Frm_PreparatoryTask::nextRule);
    connect(m_checks[3], &QCheckBox::toggled, this, &Frm_PreparatoryTask::nextRule);
    for (QRadioButton* opt : m_options)
        connect(opt, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                nextRule();
        });

    // The first load prepares the destination PC before anything else; when that PC cannot be
    // used, the rest of the load is left out.
    if (!initializeDestination || !initializeDestination())
        return;
    const std::string allUsers = variables.lookup("$st_destination_alluser_settings").value_or(std::string());
    variables.Set_System_Variable_Value(
        "$st_destination_alluser_d_slash", coretext::doubleBackslashes(allUsers));
    wizardWindows().setButtonEnabled(BarButton::Next, false);
    ShowDefaultQuickHelp();
}

void Frm_PreparatoryTask::buildTaskChecks()
{
    const QFont verdana9 = verdana9Font();
    struct Box {
        const char* name;
        const char* caption;
        int top;
        int lines;
    };
    const std::array<Box, 4> boxes{{
        {"Check1", "1.  Is the power supply plugged in ?", 1080, 1},
        {"Check2", "2.  Have you disabled power conservation settings?", 1800, 1},
        {"Check3",
            "3.  Is your Source PC's (Win 95/98/ME/2000) drives are shared as C$ and D$, and Win XP's drives "
            "are shared "
            "as C and D?",
            2280, 3},
        {"Check4", "4.  Have you shutdown all running applications on the source PC ?", 3240, 1},
    }};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto* check = boxes[i].lines > 1 ? new WrappingCheckBox(this) : new QCheckBox(this);
        check->setObjectName(boxes[i].name);
        check->setText(boxes[i].caption);
        check->setFont(verdana9);
        check->setGeometry(twips(240), twips(boxes[i].top), twips(7400), twips(255 * boxes[i].lines + 60));
        check->setStyleSheet("QCheckBox { background: white; }");
        m_checks[i] = check;
    }
}

void Frm_PreparatoryTask::buildOsOptions()
{
    const QFont verdana9 = verdana9Font();
    QLabel* osLabel = pageLabel(this, "Label5", " 5. Source PC Operating System", 480, 4080, 6000, 9);
    singleLine(osLabel);
    struct Option {
        const char* name;
        const char* caption;
        int top;
    };
    const std::array<Option, 5> options{{{"Opt95", "Win95", 4440}, {"Opt98", "Win98", 4800},
        {"OptME", "WinME", 5040}, {"Opt2K", "Win2000 Professional", 5400}, {"OptXP", "WinXP", 5760}}};
    // Each option stands at its design top; Win98 and WinME lie closest (240 twips), which sets
    // the height of every option.
    for (std::size_t i = 0; i < options.size(); ++i) {
        auto* opt = new QRadioButton(options[i].caption, this);
        opt->setObjectName(options[i].name);
        opt->setFont(verdana9);
        opt->setGeometry(twips(720), twips(options[i].top), twips(4000), twips(240));
        m_options[i] = opt;
    }
}

void Frm_PreparatoryTask::buildQuickHelp()
{
    m_panel = new QuickHelpPanel(
        this, "Frame1", QRect(7800, 0, 3615, 7215), {"Label7", "Label18", "Label19", "Label22"});
    const std::array<const char*, 5> topicBoxes{"Label8", "Label9", "Label10", "Label11", "Label12"};
    for (std::size_t i = 0; i < topicBoxes.size(); ++i)
        m_panel->addTopicBox(topicBoxes[i], QString::number(i + 1), 240 + 360 * static_cast<int>(i));
    connect(m_panel, &QuickHelpPanel::topicClicked, this, &Frm_PreparatoryTask::showTopic);
    connect(m_panel->link(), &ClickLabel::clicked, this, &Frm_PreparatoryTask::Label22_Click);
    connectPointer(m_panel);
}

void Frm_PreparatoryTask::ShowDefaultQuickHelp()
{
    m_panel->markTopic(0);
    m_panel->intro()->setText(introduction());
    m_panel->showTexts(topics()[0]);
    m_panel->setLinkText(kLinkText);
}

void Frm_PreparatoryTask::nextRule()
{
    bool osChosen = false;
    for (QRadioButton* opt : m_options)
        osChosen = osChosen || opt->isChecked();
    TasksConfirmed = requiredTasksConfirmed(m_checks[2]->isChecked(), m_checks[3]->isChecked(), osChosen);
    WizardWindows& w = wizardWindows();
    if (TasksConfirmed) {
        w.setButtonVisible(BarButton::Next, true);
        w.setButtonEnabled(BarButton::Next, true);
    } else {
        w.setButtonEnabled(BarButton::Next, false);
    }
}

void Frm_PreparatoryTask::activated()
{
    WizardWindows& w = wizardWindows();
    w.setButtonEnabled(BarButton::Back, true);
    w.setEditMenuEnabled(EditMenuItem::SelectAll, false);
    w.setEditMenuEnabled(EditMenuItem::ClearAll, false);
    if (TasksConfirmed) {
        w.setButtonEnabled(BarButton::Next, true);
        w.setButtonVisible(BarButton::Next, true);
    } else {
        w.setButtonEnabled(BarButton::Next, false);
    }
}

void Frm_PreparatoryTask::showTopic(std::size_t index)
{
    if (index >= topics().size())
        return;
    m_panel->markTopic(index);
    m_panel->showTexts(topics()[index]);
}

void Frm_PreparatoryTask::Label22_Click() { sendHelpKey(); }

} // namespace wizard
