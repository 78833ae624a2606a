// ConnectionTypePageTest.cpp: the connection-type page: the Next rule and the recorded connection
// type, the source-OS dependent controls, Enter and accelerators, Browse, help topics and the Quick
// Help texts switching with the connection type.
#include "wizard/ui/connection/ConnectionTypePage.h"
#include "wizard/ui/connection/NetworkComputerBrowser.h"

#include "platform/MachineConfig.h"
#include "tests/support/FindChild.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "tests/wizard/pages/LayoutChecks.h"
#include "tests/wizard/pages/PageTestSupport.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/ScriptVariables.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <set>
#include <vector>

namespace wizard {
namespace {

// The required-tasks page as the connection page reads it.
class FakePageControls : public PageControls {
public:
    bool isChecked(const std::string& form, const std::string& control) override
    {
        return form == "Frm_PreparatoryTask" && chosen.count(control) != 0;
    }
    std::string text(const std::string&, const std::string&) override { return {}; }
    bool setFocus(const std::string&, const std::string&) override { return false; }
    std::set<std::string> chosen;
};

class FrmConnectionTypeTest : public test::PageTest {
protected:
    FrmConnectionTypeTest()
        : variables(machineFiles(), nullptr)
    {
        ConnectionHelpTopic = 0;
        m_previousControls = common::Service<PageControls>::replace(&sourceOs);
        page = std::make_unique<Frm_ConnectionType>(nullptr, &host, variables);
    }
    ~FrmConnectionTypeTest() override
    {
        page.reset();
        common::Service<PageControls>::replace(m_previousControls);
        setComputerBrowser({});
        ConnectionHelpTopic = 0;
    }
    QRadioButton* option(const char* name) const { return page->findChild<QRadioButton*>(name); }
    QCheckBox* connected() const { return page->findChild<QCheckBox*>("Check1"); }
    QLineEdit* edit(const char* name) const { return page->findChild<QLineEdit*>(name); }
    QLabel* label(const char* name) const { return page->findChild<QLabel*>(name); }
    std::string connectionType() const { return variables.lookup("$st_connection_type").value_or("<unset>"); }
    void clickTopic(const char* box) { emit qobject_cast<ClickLabel*>(label(box))->clicked(); }

    test::TempMachine machine;
    ScriptVariables variables;
    FakePageControls sourceOs;
    std::unique_ptr<Frm_ConnectionType> page;

private:
    PageControls* m_previousControls = nullptr;
};

TEST_F(FrmConnectionTypeTest, CaptionsShowWholeAndApart)
{
    test::expectCaptionsWholeAndApart(page.get());
    test::expectCaptionsWholeAndApart(page->findChild<QGroupBox*>("FraSrcDtl"));
    // The name label ends before its text box, the detail labels before theirs.
    EXPECT_LT(label("LblSrc")->geometry().right(), edit("txt_Source_Name")->x());
    EXPECT_LT(label("LblUser")->geometry().right(), edit("txtuser")->x());
    EXPECT_LT(label("LblPass")->geometry().right(), edit("TxtPass")->x());
}

TEST_F(FrmConnectionTypeTest, LoadDisablesNextAndShowsTheStartTexts)
{
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(label("Label7")->text(), "Migration can be done using multiple connection options.\r\r");
    EXPECT_EQ(label("Label13")->text(), "Is Direct Cable Connection installed?\r\n");
    EXPECT_EQ(label("Label14")->text(), "Look for the Direct Cable Connection on your Accessories Menu\r\n");
    EXPECT_TRUE(isBold(label("Label13")));
    page->activated(); // the activation marks box 1
    EXPECT_TRUE(isBold(label("Label8")));
    EXPECT_EQ(label("Label13")->text(), "Is Direct Cable Connection installed?\r\n");
    EXPECT_EQ(edit("txt_Source_Name")->maxLength(), 15);
    EXPECT_EQ(edit("txtuser")->maxLength(), 20);
    EXPECT_EQ(edit("TxtPass")->maxLength(), 14);
    EXPECT_EQ(edit("TxtPass")->echoMode(), QLineEdit::Password);
    edit("TxtPass")->setText("pw1");
    EXPECT_EQ(edit("TxtPass")->displayText(), "***");
    edit("TxtPass")->clear();
    EXPECT_FALSE(edit("txtuser")->isEnabled());
    EXPECT_EQ(connectionType(), "<unset>");
}

TEST_F(FrmConnectionTypeTest, TickedBoxWithoutTypeWaitsForTheType)
{
    page->activated();
    connected()->setChecked(true);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(connectionType(), "<unset>");
    option("optNWLan")->setChecked(true);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(connectionType(), "network");
    EXPECT_EQ(ConnectionHelpTopic, 33);
}

TEST_F(FrmConnectionTypeTest, TypeWithoutTheBoxChangesNothing)
{
    page->activated();
    option("optNWCbl")->setChecked(true);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(connectionType(), "<unset>");
    EXPECT_EQ(ConnectionHelpTopic, 0);
}

TEST_F(FrmConnectionTypeTest, EachTypeRecordsItsValueAndTopic)
{
    connected()->setChecked(true);
    const std::pair<const char*, std::pair<const char*, int>> cases[] = {{"optNWCbl", {"crossover", 61}},
        {"optNWLan", {"network", 33}}, {"optParlPorts", {"parallel", 39}}, {"opt_USB", {"USB", 71}}};
    for (const auto& [name, expected] : cases) {
        option(name)->setChecked(true);
        EXPECT_EQ(connectionType(), expected.first) << name;
        EXPECT_EQ(ConnectionHelpTopic, expected.second) << name;
    }
}

TEST_F(FrmConnectionTypeTest, UntickingDisablesNextButKeepsTheRecord)
{
    connected()->setChecked(true);
    option("optParlPorts")->setChecked(true);
    connected()->setChecked(false);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(connectionType(), "parallel");
    EXPECT_EQ(ConnectionHelpTopic, 39);
}

TEST_F(FrmConnectionTypeTest, TickingWithUsbEnablesNextThroughTheRecord)
{
    option("opt_USB")->setChecked(true);
    bar.setButtonVisible(BarButton::Next, false);
    connected()->setChecked(true);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(connectionType(), "USB");
    option("optNWLan")->setChecked(true);
    connected()->setChecked(false);
    connected()->setChecked(true);
    EXPECT_TRUE(bar.buttonVisible(BarButton::Next));
}

TEST_F(FrmConnectionTypeTest, LostFocusRecordsWithoutTheTopic)
{
    host.show();
    option("optNWLan")->setChecked(true);
    connected()->blockSignals(true);
    connected()->setChecked(true); // ticked without its handler
    connected()->blockSignals(false);
    ASSERT_EQ(connectionType(), "<unset>");
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(edit("txt_Source_Name"), &out);
    EXPECT_EQ(connectionType(), "network");
    EXPECT_EQ(ConnectionHelpTopic, 0);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmConnectionTypeTest, Windows95SourceDisablesUsbButKeepsTheChoice)
{
    option("opt_USB")->setChecked(true);
    sourceOs.chosen = {"Opt95"};
    page->activated();
    EXPECT_FALSE(option("opt_USB")->isEnabled());
    EXPECT_TRUE(option("opt_USB")->isChecked());
    connected()->setChecked(true);
    EXPECT_EQ(connectionType(), "USB");
    sourceOs.chosen = {"Opt98"};
    page->activated();
    EXPECT_TRUE(option("opt_USB")->isEnabled());
}

TEST_F(FrmConnectionTypeTest, SourceDetailsOnlyForWindows2000AndXp)
{
    for (const char* os : {"Opt2K", "OptXP"}) {
        sourceOs.chosen = {os};
        page->activated();
        EXPECT_TRUE(edit("txtuser")->isEnabled()) << os;
        EXPECT_TRUE(edit("TxtPass")->isEnabled()) << os;
        EXPECT_TRUE(page->findChild<QGroupBox*>("FraSrcDtl")->isEnabled()) << os;
        EXPECT_EQ(
            edit("txtuser")->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    }
    edit("txtuser")->setText("admin");
    sourceOs.chosen = {"OptME"};
    page->activated();
    EXPECT_FALSE(edit("txtuser")->isEnabled());
    EXPECT_FALSE(page->findChild<QGroupBox*>("FraSrcDtl")->isEnabled());
    EXPECT_EQ(
        edit("txtuser")->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(edit("txtuser")->text(), "admin");
}

TEST_F(FrmConnectionTypeTest, ActivationWithASourceNameEnablesNext)
{
    edit("txt_Source_Name")->setText("OLDPC");
    page->activated();
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    edit("txt_Source_Name")->setText("   ");
    page->activated();
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next)); // blanks are no name
}

TEST_F(FrmConnectionTypeTest, OverLongSourceNamesAreCut)
{
    edit("txt_Source_Name")->setText("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(edit("txt_Source_Name")->text(), "ABCDEFGHIJKLMNO");
    edit("TxtPass")->setText(QString(40, 'p'));
    EXPECT_EQ(edit("TxtPass")->text().size(), 14);
}

TEST_F(FrmConnectionTypeTest, EnterStepsForwardOnlyWhileNextIsEnabled)
{
    page->activated();
    ASSERT_FALSE(bar.buttonEnabled(BarButton::Next));
    pressKey(edit("txt_Source_Name"), Qt::Key_Return);
    pressKey(edit("txtuser"), Qt::Key_Enter);
    EXPECT_TRUE(clicks.empty());
    connected()->setChecked(true);
    option("optNWLan")->setChecked(true);
    pressKey(edit("txt_Source_Name"), Qt::Key_Return);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], BarButton::Next);
    pressKey(edit("txt_Source_Name"), Qt::Key_A);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(FrmConnectionTypeTest, AltNDoesNothingWhileNextIsDisabled)
{
    page->activated();
    pressAlt(option("optNWLan"), Qt::Key_N);
    EXPECT_TRUE(clicks.empty());
    pressAlt(option("optNWLan"), Qt::Key_C);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], BarButton::Cancel);
}

TEST_F(FrmConnectionTypeTest, BrowseTakesTheTrimmedNameAndCancelKeepsTheOld)
{
    host.show();
    edit("txt_Source_Name")->setText("TYPED");
    setComputerBrowser([](QWidget*) { return std::string("  OLDPC  "); });
    page->CmdBrowse_Click();
    EXPECT_EQ(edit("txt_Source_Name")->text(), "OLDPC");
    setComputerBrowser([](QWidget*) { return std::string(); });
    page->CmdBrowse_Click();
    EXPECT_EQ(edit("txt_Source_Name")->text(), "OLDPC");
    EXPECT_EQ(host.focusWidget(), edit("txt_Source_Name"));
}

// Browse on a small emulated network: the running machine DESTPC, OLDPC (98) and OLDXP (XP, no
// network adapter: it does not answer). The browser dialog is answered as the user would.
class BrowseNetworkTest : public FrmConnectionTypeTest {
protected:
    BrowseNetworkTest()
    {
        addPeer("OLDPC", "win98", "192.168.0.3", true);
        addPeer("OLDXP", "winxp", "192.168.0.4", false);
        setComputerBrowser(&Browse_Network_Computer);
    }
    void addPeer(const std::string& name, const std::string& os, const std::string& address, bool adapter)
    {
        platform::MachineConfig c;
        platform::applyOsDefaults(os, c);
        c.computerName = name;
        c.address = address;
        c.networkAdapter = adapter;
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        machine.machine().addMachine(c);
    }
    // Answers the browser once it is open: `act` gets the dialog; the listed names are kept.
    void whenBrowserOpens(std::function<void(NetworkComputerDialog&)> act)
    {
        QTimer::singleShot(0, [this, act] {
            auto* dialog = dynamic_cast<NetworkComputerDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return; // the test's checks on `listed` then fail
            const QListWidget* computers = testsupport::child<QListWidget>(dialog, "Computers");
            for (int i = 0; i < computers->count(); ++i)
                listed.push_back(computers->item(i)->text().toStdString());
            act(*dialog);
        });
    }
    std::vector<std::string> listed;
};

TEST_F(BrowseNetworkTest, BrowseListsTheAnsweringComputersAndTakesTheChosenOne)
{
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    edit("txt_Source_Name")->setText("TYPED");
    whenBrowserOpens([](NetworkComputerDialog& d) {
        EXPECT_FALSE(testsupport::child<QPushButton>(d, "cmdOK")->isEnabled());
        testsupport::child<QListWidget>(d, "Computers")->setCurrentRow(1);
        EXPECT_TRUE(testsupport::child<QPushButton>(d, "cmdOK")->isEnabled());
        testsupport::child<QPushButton>(d, "cmdOK")->click();
    });
    page->CmdBrowse_Click();
    EXPECT_EQ(listed, (std::vector<std::string>{"DESTPC", "OLDPC"}));
    EXPECT_EQ(edit("txt_Source_Name")->text(), "OLDPC");
    // The window the browser was opened over takes keys again without a click.
    EXPECT_TRUE(QTest::qWaitForWindowActive(&host, 1000));
}

TEST_F(BrowseNetworkTest, CancellingTheBrowserKeepsTheTypedName)
{
    host.show();
    edit("txt_Source_Name")->setText("TYPED");
    whenBrowserOpens([](NetworkComputerDialog& d) {
        testsupport::child<QListWidget>(d, "Computers")->setCurrentRow(1);
        d.reject();
    });
    page->CmdBrowse_Click();
    EXPECT_EQ(listed.size(), 2u);
    EXPECT_EQ(edit("txt_Source_Name")->text(), "TYPED");
}

TEST_F(BrowseNetworkTest, WithoutANetworkAdapterTheBrowserListsNothing)
{
    machine.machine().config().networkAdapter = false;
    machine.machine().saveConfig();
    host.show();
    edit("txt_Source_Name")->setText("TYPED");
    bool opened = false;
    whenBrowserOpens([&opened](NetworkComputerDialog& d) {
        opened = true;
        d.accept(); // OK with nothing to choose
    });
    page->CmdBrowse_Click();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(edit("txt_Source_Name")->text(), "TYPED");
}

TEST_F(FrmConnectionTypeTest, HelpLinkFollowsTheConnectionType)
{
    emit testsupport::child<QuickHelpPanel>(*page, "Frame2")->link()->clicked();
    option("optNWCbl")->setChecked(true);
    emit testsupport::child<QuickHelpPanel>(*page, "Frame2")->link()->clicked();
    option("opt_USB")->setChecked(true);
    emit testsupport::child<QuickHelpPanel>(*page, "Frame2")->link()->clicked();
    ASSERT_EQ(help.requests().size(), 3u);
    EXPECT_EQ(help.requests()[0].topicId, 21);
    EXPECT_EQ(help.requests()[1].topicId, 2);
    EXPECT_EQ(help.requests()[2].topicId, 5);
}

TEST_F(FrmConnectionTypeTest, QuickHelpTopicsSwitchWithTheBoxes)
{
    clickTopic("Label8");
    EXPECT_EQ(label("Label13")->text(), "Connect through Parallel cable");
    EXPECT_EQ(label("Label14")->text(), "Is Direct Cable Connection installed?");
    clickTopic("Label9");
    EXPECT_EQ(label("Label13")->text(), "Connect through Direct Crossover cable");
    EXPECT_TRUE(label("Label14")->text().endsWith("Internet.\r\r"));
    clickTopic("Label10");
    EXPECT_EQ(label("Label13")->text(), "Connect through Network LAN");
    clickTopic("Label6");
    const QString usbText = label("Label14")->text();
    EXPECT_EQ(label("Label13")->text(), "Universal Serial Bus");
    clickTopic("Label1");
    EXPECT_EQ(label("Label13")->text(), "Connect the PCs");
    EXPECT_EQ(label("Label14")->text(), usbText);
    clickTopic("Label3");
    EXPECT_EQ(label("Label13")->text(), "Source PC Details");
    int bold = 0;
    for (const ClickLabel* box : testsupport::child<QuickHelpPanel>(*page, "Frame2")->topicBoxes())
        bold += isBold(box) ? 1 : 0;
    EXPECT_EQ(bold, 1);
    EXPECT_TRUE(isBold(label("Label3")));
}

TEST_F(FrmConnectionTypeTest, ActivationMarksBoxOneAndLeavesTheTexts)
{
    clickTopic("Label2");
    page->activated();
    EXPECT_TRUE(isBold(label("Label8")));
    EXPECT_FALSE(isBold(label("Label9")));
    EXPECT_EQ(label("Label13")->text(), "Specify Source PC");
}

TEST(ConnectionRulesTest, OrderOfTheTests)
{
    ConnectionChoice c;
    c.connected = true;
    c.usb = true;
    c.lan = true; // two chosen at once (not possible on the page): LAN is tested first
    ASSERT_TRUE(connectionValue(c).has_value());
    EXPECT_STREQ(connectionValue(c)->variable, "network");
    EXPECT_EQ(connectionHelpContext(c), 5); // the help action tests USB first
    c.connected = false;
    EXPECT_FALSE(connectionValue(c).has_value());
    EXPECT_FALSE(connectionHelpContext(ConnectionChoice{}).has_value());
    EXPECT_FALSE(sourceNameGiven(""));
    EXPECT_FALSE(sourceNameGiven("  "));
    EXPECT_TRUE(sourceNameGiven(" PC "));
}

} // namespace
} // namespace wizard
