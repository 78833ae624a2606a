// TroubleshootingDialogsTest.cpp: the troubleshooting dialogs: their texts and buttons, the help
// topics each click opens, Back returning to the opener and Close going through the exit routine.
#include "wizard/ui/connection/TroubleshootingDialogs.h"

#include "platform/HelpViewer.h"
#include "tests/support/platform/RecordingHelpService.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "tests/wizard/pages/PageTestSupport.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/ui/connection/ConnectionRules.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

namespace wizard {
namespace {

class TroubleshootingDialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }
    TroubleshootingDialogsTest() { m_previousHelp = common::Service<platform::HelpService>::replace(&help); }
    ~TroubleshootingDialogsTest() override
    {
        common::Service<platform::HelpService>::replace(m_previousHelp);
        ConnectionHelpTopic = 0;
    }

    std::unique_ptr<TroubleshootingDialog> open(const char* form, std::function<bool()> exitRoutine = {})
    {
        const TroubleDialogLayout* layout = troubleshootingDialog(form);
        EXPECT_NE(layout, nullptr) << form;
        return std::make_unique<TroubleshootingDialog>(*layout, nullptr, std::move(exitRoutine));
    }
    static QString text(QWidget* dialog, const char* name)
    {
        auto* label = dialog->findChild<QLabel*>(name);
        return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
    }
    static QPushButton* button(QWidget* dialog, const char* name)
    {
        return dialog->findChild<QPushButton*>(name);
    }
    std::vector<int> topicsOpened() const
    {
        std::vector<int> topics;
        for (const auto& r : help.requests())
            topics.push_back(r.topicId);
        return topics;
    }

    test::TempMachine machine; // the log file's machine
    testsupport::RecordingHelpService help;

private:
    platform::HelpService* m_previousHelp = nullptr;
};

TEST_F(TroubleshootingDialogsTest, ElevenDialogsWithTheirTitlesHeadlinesAndButtons)
{
    ASSERT_EQ(troubleshootingDialogs().size(), 11u);
    std::set<std::string> names;
    for (const TroubleDialogLayout& layout : troubleshootingDialogs()) {
        names.insert(layout.formName);
        auto dialog = std::make_unique<TroubleshootingDialog>(layout, nullptr);
        EXPECT_EQ(dialog->objectName().toStdString(), layout.formName);
        EXPECT_EQ(dialog->windowTitle().toStdString(), layout.title);
        EXPECT_EQ(text(dialog.get(), "LblTitle").toStdString(), layout.headline);
        for (std::size_t i = 0; i < layout.steps.size(); ++i) {
            const std::string name = "LblStep" + std::to_string(i + 1);
            EXPECT_EQ(text(dialog.get(), name.c_str()).toStdString(), layout.steps[i].text);
        }
        // The buttons lie in one row below every text, Back left of Close.
        QPushButton* back = button(dialog.get(), layout.back.name);
        QPushButton* close = button(dialog.get(), layout.close.name);
        ASSERT_TRUE(back && close) << layout.formName;
        EXPECT_EQ(back->y(), close->y());
        EXPECT_LT(back->geometry().right(), close->x());
        for (QLabel* label : dialog->findChildren<QLabel*>())
            EXPECT_LT(label->geometry().bottom(), back->y())
                << layout.formName << " " << label->objectName().toStdString();
        EXPECT_LE(close->geometry().right(), dialog->width());
    }
    EXPECT_EQ(names.size(), 11u);

    auto lan = open("frm_Error_Lan_validate");
    EXPECT_EQ(lan->windowTitle(), "LAN connection ");
    EXPECT_EQ(text(lan.get(), "LblTitle"), "Unable to  identify Source PC !  Please check the following:");
    EXPECT_EQ(text(lan.get(), "LblStep3"), "3.Check if static IP address is configured in Source PC. ");
    EXPECT_EQ(button(lan.get(), "cmdContinue")->text(), "&Back to Kestro");
    EXPECT_EQ(button(lan.get(), "Command1")->text(), "&Need More Help");
    EXPECT_EQ(button(lan.get(), "CmdCancel")->text(), "&Close Kestro");

    auto map = open("frm_Error_Simple_Map");
    EXPECT_EQ(text(map.get(), "LblStep5"), "5.Check if static IP address is configured in Destination PC. ");
    EXPECT_EQ(button(map.get(), "Command2")->property("helpContextId").toInt(), 114);

    auto remote = open("frm_Error_Remote_Disconneted");
    EXPECT_EQ(button(remote.get(), "Command1"), nullptr);
    EXPECT_EQ(button(remote.get(), "CmdCancel")->text(), "Canc&el");
    EXPECT_EQ(text(remote.get(), "LblNote"),
        "After fixing the above problems, click on continue button  to proceed the migration.");

    auto os = open("frm_Error_Get_SourcePC_Info");
    EXPECT_EQ(button(os.get(), "Command3")->text(), "&Back to Kestro");
    EXPECT_EQ(button(os.get(), "Command2")->text(), "&Close Kestro");
    EXPECT_EQ(troubleshootingDialog("frm_Unknown"), nullptr);
}

TEST_F(TroubleshootingDialogsTest, LinkedChecksOpenTheirTopicsAndPlainOnesNothing)
{
    auto lan = open("frm_Error_Lan_validate");
    for (std::size_t i = 0; i < 5; ++i)
        lan->clickStep(i);
    EXPECT_EQ(topicsOpened(), (std::vector<int>{91, 92, 93, 94, 95}));
    // The click moved the focus to the check's link button.
    EXPECT_EQ(lan->findChild<QPushButton*>("Cmd_Link4")->property("helpContextId").toInt(), 95);

    help = testsupport::RecordingHelpService();
    auto port = open("frm_Error_Port_Validate");
    port->clickStep(0);
    port->clickStep(2);
    EXPECT_TRUE(topicsOpened().empty());

    // On the OS dialog every check does what the help button does.
    auto os = open("frm_Error_Get_SourcePC_Info");
    os->clickStep(1);
    os->needMoreHelp();
    EXPECT_EQ(topicsOpened(), (std::vector<int>{101, 101}));
}

TEST_F(TroubleshootingDialogsTest, NeedMoreHelpTopics)
{
    open("frm_Error_Crossover_validate")->needMoreHelp(); // its own id is 111, it opens check 1's
    open("frm_Error_USB_Port")->needMoreHelp();
    open("frm_Error_Simple_Map")->needMoreHelp();
    open("frm_Error_Port_Validate")->needMoreHelp();
    EXPECT_EQ(topicsOpened(), (std::vector<int>{86, 51, 114, 0}));
}

TEST_F(TroubleshootingDialogsTest, LogMapChecksShareOneLinkAndHelpFollowsTheConnectionType)
{
    auto dialog = open("frm_Error_Log_Map");
    QPushButton* link = dialog->findChild<QPushButton*>("Cmd_Link");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(dialog->findChildren<QPushButton*>("Cmd_Link").size(), 1);
    EXPECT_EQ(link->property("helpContextId").toInt(), 102);
    dialog->clickStep(0);
    EXPECT_EQ(link->property("helpContextId").toInt(), 21);
    dialog->clickStep(1);
    EXPECT_EQ(link->property("helpContextId").toInt(), 102);

    ConnectionHelpTopic = 33; // LAN
    dialog->needMoreHelp();
    ConnectionHelpTopic = 71; // USB
    dialog->needMoreHelp();
    EXPECT_EQ(topicsOpened(), (std::vector<int>{21, 102, 33, 71}));
}

TEST_F(TroubleshootingDialogsTest, F1OpensTheFocusedButtonsTopic)
{
    auto dialog = open("frm_Error_Parrall_validate");
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    button(dialog.get(), "CmdCancel")->setFocus();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(dialog.get(), &f1);
    ASSERT_EQ(topicsOpened().size(), 1u);
    EXPECT_EQ(topicsOpened()[0], 39);
}

TEST_F(TroubleshootingDialogsTest, CloseEndsTheProgramOnlyWhenTheExitRoutineSaysSo)
{
    int asked = 0;
    bool answer = false;
    auto dialog = open("frm_Error_USB_Port", [&] {
        ++asked;
        return answer;
    });
    dialog->show();
    button(dialog.get(), "CmdCancel")->click();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(programEndRequested());

    answer = true;
    button(dialog.get(), "CmdCancel")->click();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(programEndRequested());
    EXPECT_FALSE(dialog->isVisible());
    resetProgramEnd();
}

TEST_F(TroubleshootingDialogsTest, BackClosesTheModalDialogAndTheOpenerGetsFalse)
{
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "frm_Error_Lan_validate" && w->isVisible())
                w->findChild<QPushButton*>("cmdContinue")->click();
        }
    });
    EXPECT_FALSE(Show_Troubleshooting_Dialog("frm_Error_Lan_validate"));
    EXPECT_FALSE(Show_Troubleshooting_Dialog("frm_No_Such_Dialog"));
}

TEST_F(TroubleshootingDialogsTest, EveryTopicADialogCarriesHasItsOwnHelpPage)
{
    const std::filesystem::path help = std::filesystem::path(KESTRO_DATA_DIR) / "help";
    std::set<int> topics;
    for (const TroubleDialogLayout& layout : troubleshootingDialogs()) {
        for (const TroubleButton& b : {layout.back, layout.moreHelp, layout.close})
            topics.insert(b.topic);
        for (const TroubleStep& step : layout.steps)
            topics.insert(step.topic);
    }
    for (int connectionTopic : {61, 33, 39, 71}) // what "&Need More Help" of the logon dialog opens
        topics.insert(connectionTopic);
    topics.erase(0); // the default page
    for (int topic : topics)
        EXPECT_TRUE(std::filesystem::is_regular_file(help / (std::to_string(topic) + ".html"))) << topic;
}

} // namespace
} // namespace wizard
