// ConnectionTypePage.cpp: the connection-type page and its Quick Help panel.
#include "wizard/ui/connection/ConnectionTypePage.h"

#include "platform/qt/QtHelpViewer.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/WizardCore.h"
#include "wizard/ui/core/KestroMain.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace wizard {

namespace {

ComputerBrowser& installedBrowser()
{
    static ComputerBrowser browser;
    return browser;
}

QFont verdana(double points, bool bold = false)
{
    QFont f("Verdana");
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h)
{
    auto* lbl = new QLabel(text, parent);
    lbl->setObjectName(name);
    lbl->setFont(verdana(8.25));
    place(lbl, l, t, w, h);
    // A caption wider than its design box grows to the right, as an auto-sized label does.
    if (lbl->sizeHint().width() > lbl->width())
        lbl->resize(lbl->sizeHint().width(), lbl->height());
    return lbl;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, int topic, int l, int t)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->setFont(verdana(8.25));
    place(edit, l, t, 3375, 315);
    platform::qt::setHelpTopic(edit, topic);
    return edit;
}

// Whether the required-tasks page has the source-OS option `control` chosen (reading loads it).
bool sourceOsChosen(const char* control)
{
    PageControls* controls = pageControls();
    return controls && controls->isChecked("Frm_PreparatoryTask", control);
}

} // namespace

ComputerBrowser setComputerBrowser(ComputerBrowser browser)
{
    ComputerBrowser previous = std::move(installedBrowser());
    installedBrowser() = std::move(browser);
    return previous;
}

Frm_ConnectionType::Frm_ConnectionType(KestroMain* main, QWidget* parent, ScriptVariables& variables)
    : StepPage(main, kFormName, kHelpTopic, parent)
    , m_vars(variables)
{
    setGeometry(0, 0, twips(11400), twips(7395));

    addBarAccelerators();
    addCmdLink(kHelpTopic, true);

    buildConnectionOptions();
    buildSourceFields();
    buildQuickHelp();
    // The page starts with no connection chosen.
    wizardWindows().setButtonEnabled(BarButton::Next, false);
}

void Frm_ConnectionType::buildConnectionOptions()
{
    addPageTitle(this, "Label5", "Select Connection Type", "connection");

    auto option = [this](const char* name, const char* caption, int top, int topic) {
        auto* opt = new QRadioButton(caption, this);
        opt->setObjectName(name);
        opt->setFont(verdana(9));
        place(opt, 480, top, 6735, 255);
        platform::qt::setHelpTopic(opt, topic);
        connect(opt, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Connection_Value_Set();
        });
        return opt;
    };
    m_parallel = option("optParlPorts", "1.  Parallel Cable Connection", 1200, 4);
    m_crossover = option("optNWCbl", "2.  Cross - Over Cable Connection", 1680, 2);
    m_lan = option("optNWLan", "3.  LAN (Local Area Network) Connection", 2160, 3);
    m_usb = option("opt_USB", "4.  USB (Universal Serial Bus) Connection.", 2640, 5);

    QLabel* usbNote = label(this, "Label4",
        "(If you are using windows 95 as source machine, you can't use USB)", 840, 3000, 6855, 375);
    // The note's design box reaches one pixel into the check box below it; it keeps to its line.
    usbNote->resize(usbNote->width(), std::min(usbNote->height(), usbNote->sizeHint().height()));
    QPalette grey = usbNote->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    usbNote->setPalette(grey);

    m_connected = new QCheckBox("Check the PCs are physically connected using the chosen option?", this);
    m_connected->setObjectName("Check1");
    m_connected->setFont(verdana(9, true));
    place(m_connected, 480, 3360, 7335, 495);
    platform::qt::setHelpTopic(m_connected, 13);
    connect(m_connected, &QCheckBox::toggled, this, &Frm_ConnectionType::Check1_Click);
}

void Frm_ConnectionType::buildSourceFields()
{
    label(this, "LblSrc", "Source PC name/IP", 480, 4080, 1455, 255);
    m_sourceName = textBox(this, "txt_Source_Name", 15, 14, 2160, 4080);
    auto* browse = new QPushButton("&Browse", this);
    browse->setObjectName("CmdBrowse");
    place(browse, 5640, 4080, 735, 375);
    connect(browse, &QPushButton::clicked, this, &Frm_ConnectionType::CmdBrowse_Click);

    m_details = new QGroupBox("Source PC Details", this);
    m_details->setObjectName("FraSrcDtl");
    place(m_details, 360, 4680, 6015, 1215);
    label(m_details, "LblUser", "User Name", 360, 360, 855, 255);
    m_user = textBox(m_details, "txtuser", 20, 15, 1800, 240);
    label(m_details, "LblPass", "Password", 360, 720, 735, 255);
    m_password = textBox(m_details, "TxtPass", 14, 16, 1800, 720);
    m_password->setEchoMode(QLineEdit::Password);
    // Each character shows as "*", not as the style's own mask character.
    m_password->setStyleSheet("lineedit-password-character: 42");
    m_user->setEnabled(false);
    m_password->setEnabled(false);

    // Tab order: the three options, the box, the name, Browse, user, password; USB last.
    QWidget::setTabOrder(m_parallel, m_crossover);
    QWidget::setTabOrder(m_crossover, m_lan);
    QWidget::setTabOrder(m_lan, m_connected);
    QWidget::setTabOrder(m_connected, m_sourceName);
    QWidget::setTabOrder(m_sourceName, browse);
    QWidget::setTabOrder(browse, m_user);
    QWidget::setTabOrder(m_user, m_password);
    QWidget::setTabOrder(m_password, m_usb);

    for (QLineEdit* edit : {m_sourceName, m_user, m_password}) {
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::returnPressed, this, &Frm_ConnectionType::textBoxEnter);
    }
}

void Frm_ConnectionType::buildQuickHelp()
{
    m_panel = new QuickHelpPanel(
        this, "Frame2", QRect(7800, 0, 3615, 7455), {"Label7", "Label13", "Label14", "Label15"});
    const std::array<const char*, 7> boxes{
        "Label8", "Label9", "Label10", "Label6", "Label1", "Label2", "Label3"};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        m_panel->addTopicBox(boxes[i], QString::number(i + 1), 240 + 360 * static_cast<int>(i));
    m_panel->title()->move(twips(240), twips(2520));
    m_panel->intro()->move(twips(120), twips(480));
    connect(m_panel, &QuickHelpPanel::topicClicked, this, &Frm_ConnectionType::showTopic);
    // Boxes 1 to 3 switch the page's pointer to the hand; the panel's background back to the default.
    connect(m_panel, &QuickHelpPanel::topicHovered, this, [this](std::size_t index) {
        if (index < 3)
            setCursor(Qt::PointingHandCursor);
    });
    connect(m_panel, &QuickHelpPanel::backgroundHovered, this, [this] { setCursor(Qt::ArrowCursor); });
    connect(m_panel->link(), &ClickLabel::clicked, this, &Frm_ConnectionType::Cmd_Link_Click);

    // The first load's Quick Help texts.
    m_panel->intro()->setText("Migration can be done using multiple connection options.\r\r");
    m_panel->title()->setText("Is Direct Cable Connection installed?\r\n");
    setBold(m_panel->title(), true);
    m_panel->body()->setText("Look for the Direct Cable Connection on your Accessories Menu\r\n");
    m_panel->setLinkText("Click Help Button or press F1 Key for more details.");
}

ConnectionChoice Frm_ConnectionType::choice() const
{
    ConnectionChoice c;
    c.connected = m_connected->isChecked();
    c.parallel = m_parallel->isChecked();
    c.crossover = m_crossover->isChecked();
    c.lan = m_lan->isChecked();
    c.usb = m_usb->isChecked();
    return c;
}

void Frm_ConnectionType::recordConnection(bool withTopic)
{
    const std::optional<ConnectionValue> value = connectionValue(choice());
    if (!value)
        return; // Next, the variable and the topic keep their last values
    if (withTopic)
        ConnectionHelpTopic = value->helpTopic;
    wizardWindows().setButtonEnabled(BarButton::Next, true);
    m_vars.Set_System_Variable_Value("$st_connection_type", value->variable);
}

void Frm_ConnectionType::Connection_Value_Set() { recordConnection(true); }

void Frm_ConnectionType::Check1_Click()
{
    const ConnectionChoice c = choice();
    WizardWindows& w = wizardWindows();
    if (c.connected && (c.parallel || c.crossover || c.lan)) {
        w.setButtonEnabled(BarButton::Next, true);
        w.setButtonVisible(BarButton::Next, true);
    } else {
        w.setButtonEnabled(BarButton::Next, false);
    }
    Connection_Value_Set();
}

void Frm_ConnectionType::textBoxLostFocus() { recordConnection(false); }

void Frm_ConnectionType::textBoxEnter()
{
    // A disabled Next must not be passed by the Enter key.
    forwardToBar(BarButton::Next);
}

bool Frm_ConnectionType::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut &&
        (watched == m_sourceName || watched == m_user || watched == m_password))
        textBoxLostFocus();
    return StepPage::eventFilter(watched, event);
}

void Frm_ConnectionType::activated()
{
    WizardWindows& w = wizardWindows();
    w.setEditMenuEnabled(EditMenuItem::SelectAll, false);
    w.setEditMenuEnabled(EditMenuItem::ClearAll, false);
    const auto& boxes = m_panel->topicBoxes();
    for (std::size_t i = 0; i < 3 && i < boxes.size(); ++i)
        setBold(boxes[i], i == 0);

    // A Windows 95 source has no USB networking; a chosen USB option stays chosen.
    m_usb->setEnabled(!sourceOsChosen("Opt95"));
    const bool ntSource = sourceOsChosen("Opt2K") || sourceOsChosen("OptXP");
    const QPalette app = QApplication::palette();
    for (QLineEdit* edit : {m_user, m_password}) {
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, ntSource ? app.color(QPalette::Base) : app.color(QPalette::Button));
        edit->setPalette(pal);
        edit->setEnabled(ntSource);
    }
    m_details->setEnabled(ntSource);

    if (!m_connected->isChecked())
        w.setButtonEnabled(BarButton::Next, false);
    if (sourceNameGiven(m_sourceName->text().toStdString()))
        w.setButtonEnabled(BarButton::Next, true);
}

void Frm_ConnectionType::CmdBrowse_Click()
{
    const ComputerBrowser& browse = installedBrowser();
    const QString chosen = browse ? QString::fromStdString(browse(this)).trimmed() : QString();
    if (!chosen.isEmpty())
        m_sourceName->setText(chosen); // longer names are cut to the box's 15 characters
    m_sourceName->setFocus(Qt::OtherFocusReason);
}

int Frm_ConnectionType::Cmd_Link_Click()
{
    if (const std::optional<int> topic = connectionHelpContext(choice()))
        platform::qt::setHelpTopic(cmdLink(), *topic);
    cmdLink()->setFocus(Qt::OtherFocusReason);
    return showHelpFor(cmdLink());
}

void Frm_ConnectionType::showTopic(std::size_t index)
{
    const auto& topics = connectionTopics();
    if (index >= topics.size())
        return;
    m_panel->markTopic(index);
    m_panel->showTexts({topics[index].title, topics[index].text});
}

void registerConnectionPages()
{
    KestroMain::registerPage(
        Frm_ConnectionType::kFormName, [](KestroMain& main, QWidget* area) -> WizardPage* {
            return new Frm_ConnectionType(&main, area, core().variables);
        });
}

} // namespace wizard
