// PreparatoryPagesTest.cpp: the optional and the required preparatory-task pages: button bar,
// Next rule, Quick Help topics, accelerators and help, and the load's destination set-up.
#include "wizard/ui/pages/PreparatoryPages.h"

#include "tests/support/FindChild.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "tests/wizard/pages/LayoutChecks.h"
#include "tests/wizard/pages/PageTestSupport.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/ui/pages/PreparatoryRules.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace wizard {
namespace {

using test::PageTest;

// ---------------------------------------------------------------------------------------------

class FrmPreparatoryTest : public PageTest {
protected:
    FrmPreparatoryTest()
        : page(nullptr, &host)
    {}
    QLabel* label(const char* name) const { return page.findChild<QLabel*>(name); }
    Frm_Preparatory page;
};

TEST_F(FrmPreparatoryTest, LoadFillsTheQuickHelpAndDisablesTheEditMenu)
{
    EXPECT_FALSE(bar.editMenuEnabled(EditMenuItem::SelectAll));
    EXPECT_FALSE(bar.editMenuEnabled(EditMenuItem::ClearAll));
    EXPECT_EQ(label("Label10")->text(), Frm_Preparatory::introduction());
    EXPECT_TRUE(Frm_Preparatory::introduction().endsWith("process. \r\n\r\n\r\n"));
    EXPECT_EQ(label("Label18")->text(), "Run Scandisk on your source PC to repair Disk errors:\r\n\r\n");
    EXPECT_TRUE(label("Label19")->text().startsWith("If the computer is not shutdown properly"));
    EXPECT_TRUE(isBold(label("Label12")));
    for (const char* box : {"Label13", "Label15", "Label16", "Label17"})
        EXPECT_FALSE(isBold(label(box))) << box;
    EXPECT_EQ(label("Label22")->text(), "Click Help Button or press F1 key for more details.");
    EXPECT_EQ(label("Label22")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(label("Label22")->font().underline());
    EXPECT_EQ(label("Label4")->text(), "1. Run Scan Disk on your Source PC  to repair the hard drive.");
}

TEST_F(FrmPreparatoryTest, ActivationLeavesPreviousVisibleButDisabled)
{
    bar.setButtonEnabled(BarButton::Next, false);
    bar.setButtonVisible(BarButton::Migrate, false);
    page.activated();
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_TRUE(bar.buttonVisible(BarButton::Back));
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Back));
    EXPECT_FALSE(bar.buttonVisible(BarButton::Accept));
    EXPECT_FALSE(bar.buttonVisible(BarButton::Decline));
    EXPECT_FALSE(bar.welcomePanelVisible());
    EXPECT_FALSE(bar.buttonVisible(BarButton::Migrate)); // left as the previous page had it
}

TEST_F(FrmPreparatoryTest, AltPDoesNothingAndAltNStepsOnce)
{
    page.activated();
    QLabel* inside = label("Label4");
    pressAlt(inside, Qt::Key_P);
    EXPECT_TRUE(clicks.empty());
    pressAlt(inside, Qt::Key_N);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], BarButton::Next);
    pressAlt(inside, Qt::Key_M); // no Migrate accelerator on this page
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(FrmPreparatoryTest, AcceleratorsActOnEnabledHiddenButtons)
{
    bar.setButtonVisible(BarButton::Cancel, false);
    pressAlt(label("Label2"), Qt::Key_C);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], BarButton::Cancel);
    EXPECT_EQ(testsupport::child<QPushButton>(page, "Command1")->text(), "&Help");
}

TEST_F(FrmPreparatoryTest, TopicBoxesShowTheirTextsAndBreaks)
{
    page.showTopic(1);
    EXPECT_TRUE(isBold(label("Label13")));
    EXPECT_FALSE(isBold(label("Label12")));
    EXPECT_EQ(label("Label18")->text(), "Scan source PC for viruses:\r\n\r\n");
    const QString two = label("Label19")->text();
    EXPECT_TRUE(two.contains("viruses.\r\n\r\nIt is suggested"));
    EXPECT_TRUE(two.endsWith("virus as well."));
    page.showTopic(2);
    EXPECT_EQ(label("Label18")->text(), "PCs should be plugged in, and not run on battery power\r\n");
    EXPECT_TRUE(label("Label19")->text().endsWith("power.\r\n\r\n"));
    EXPECT_TRUE(isBold(label("Label18")));
    // A click on the box goes the same way.
    emit qobject_cast<ClickLabel*>(label("Label17"))->clicked();
    EXPECT_EQ(label("Label18")->text(), "Check for Administrator rights\r\n");
    EXPECT_TRUE(isBold(label("Label17")));
    EXPECT_FALSE(isBold(label("Label15")));
}

TEST_F(FrmPreparatoryTest, HandPointerStaysUntilThePanelBackground)
{
    EXPECT_EQ(page.cursor().shape(), Qt::ArrowCursor);
    emit testsupport::child<QuickHelpPanel>(page, "Frame1")->topicHovered(2);
    EXPECT_EQ(page.cursor().shape(), Qt::PointingHandCursor);
    emit testsupport::child<QuickHelpPanel>(page, "Frame1")->backgroundHovered();
    EXPECT_EQ(page.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FrmPreparatoryTest, HelpLinkOpensTopic68WhateverHadTheFocus)
{
    host.show();
    testsupport::child<QPushButton>(page, "Command2")->setFocus();
    emit testsupport::child<QuickHelpPanel>(page, "Frame1")->link()->clicked();
    ASSERT_EQ(help.requests().size(), 1u);
    EXPECT_EQ(help.requests()[0].topicId, 68);
}

// ---------------------------------------------------------------------------------------------

class FrmPreparatoryTaskTest : public PageTest {
protected:
    FrmPreparatoryTaskTest()
        : variables(machineFiles(), nullptr)
    {
        TasksConfirmed = false;
    }
    ~FrmPreparatoryTaskTest() override { TasksConfirmed = false; }

    Frm_PreparatoryTask& load(bool initialiseSucceeds = true)
    {
        page = std::make_unique<Frm_PreparatoryTask>(
            nullptr, &host,
            [this, initialiseSucceeds] {
                ++initialisations;
                return initialiseSucceeds;
            },
            variables);
        return *page;
    }
    QCheckBox* check(const char* name) const { return page->findChild<QCheckBox*>(name); }
    QRadioButton* option(const char* name) const { return page->findChild<QRadioButton*>(name); }
    QLabel* label(const char* name) const { return page->findChild<QLabel*>(name); }

    test::TempMachine machine;
    ScriptVariables variables;
    int initialisations = 0;
    std::unique_ptr<Frm_PreparatoryTask> page;
};

TEST_F(FrmPreparatoryTest, CaptionsShowWholeAndApart)
{
    test::expectCaptionsWholeAndApart(&page);
    // The title sits inside its white box.
    const QRect box = page.findChild<QFrame*>("Shape2")->geometry();
    EXPECT_TRUE(box.contains(label("Label1")->geometry())) << "title leaves its box";
}

TEST_F(FrmPreparatoryTaskTest, CaptionsShowWholeAndApart)
{
    load();
    test::expectCaptionsWholeAndApart(page.get());
    const QRect box = page->findChild<QFrame*>("Shape2")->geometry();
    EXPECT_TRUE(box.contains(label("Label6")->geometry())) << "title leaves its box";
}

// The title band where a page's design is narrower than its title in our fonts: the box grows to
// the right and the title shows whole; where there is room, the box keeps the page's own width.
TEST_F(FrmPreparatoryTest, TheTitleBandGrowsToHoldItsTitle)
{
    QWidget narrow;
    QLabel* title = addPageTitle(&narrow, "Label9", "A Title Far Longer Than Its Box", "migration",
        {{240, 120, 1500, 735}, {}, {1440, 360}});
    const QRect box = narrow.findChild<QFrame*>("Shape2")->geometry();
    EXPECT_TRUE(box.contains(title->geometry()));
    EXPECT_GE(title->width(), title->sizeHint().width());
    EXPECT_EQ(title->x(), twips(1440));
    EXPECT_EQ(page.findChild<QFrame*>("Shape2")->width(), twips(4935));
    EXPECT_EQ(label("Label1")->pos(), QPoint(twips(1440), twips(360)));
    EXPECT_EQ(label("Label1")->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

TEST_F(FrmPreparatoryTaskTest, SystemOptionsStandAtTheirDesignTopsBelowTheirLabel)
{
    load();
    const std::array<std::pair<const char*, int>, 5> tops{
        {{"Opt95", 4440}, {"Opt98", 4800}, {"OptME", 5040}, {"Opt2K", 5400}, {"OptXP", 5760}}};
    EXPECT_LE(label("Label5")->geometry().bottom(), option("Opt95")->geometry().top());
    for (std::size_t i = 0; i < tops.size(); ++i) {
        EXPECT_EQ(option(tops[i].first)->y(), twips(tops[i].second)) << tops[i].first;
        if (i > 0)
            EXPECT_LT(option(tops[i - 1].first)->geometry().bottom(), option(tops[i].first)->y());
    }
}

// The three-line box wraps its caption inside itself, and a click on the caption's last line ticks it.
TEST_F(FrmPreparatoryTaskTest, LongTaskCaptionWrapsInsideItsBox)
{
    load();
    page->show();
    QCheckBox* box = check("Check3");
    EXPECT_GT(box->fontMetrics().horizontalAdvance(box->text()), box->width()) << "needs more lines";
    EXPECT_LE(box->heightForWidth(box->width()), box->height());
    const QPointF lastLine(box->width() / 2, box->height() - 3);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, lastLine, box->mapToGlobal(lastLine), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box, &click);
    }
    EXPECT_TRUE(box->isChecked());
}

TEST_F(FrmPreparatoryTaskTest, LoadDoublesTheAllUsersFolderAndDisablesNext)
{
    variables.Set_System_Variable_Value(
        "$st_destination_alluser_settings", "C:\\Documents and Settings\\All Users");
    load();
    EXPECT_EQ(initialisations, 1);
    EXPECT_EQ(
        variables.lookup("$st_destination_alluser_d_slash"), "C:\\\\Documents and Settings\\\\All Users");
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(label("Label18")->text(), "PCs should be plugged in, and not run on battery power");
    EXPECT_TRUE(label("Label19")->text().endsWith("power.\r\r"));
    EXPECT_TRUE(label("Label7")->text().endsWith("these tasks.\r\r\r"));
    EXPECT_TRUE(isBold(label("Label8")));
}

TEST_F(FrmPreparatoryTaskTest, MissingAllUsersFolderIsStoredEmpty)
{
    load();
    EXPECT_EQ(variables.lookup("$st_destination_alluser_d_slash"), "");
}

TEST_F(FrmPreparatoryTaskTest, FailedDestinationLeavesTheRestOfTheLoadOut)
{
    load(false);
    EXPECT_FALSE(variables.lookup("$st_destination_alluser_d_slash").has_value());
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next)); // the load did not disable it
    EXPECT_EQ(label("Label18")->text(), "");
    page->activated();
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next)); // the activation does
    check("Check3")->setChecked(true);
    check("Check4")->setChecked(true);
    option("Opt98")->setChecked(true);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmPreparatoryTaskTest, ControlsStartClearWithTheirCaptions)
{
    load();
    for (const char* name : {"Check1", "Check2", "Check3", "Check4"})
        EXPECT_FALSE(check(name)->isChecked()) << name;
    for (const char* name : {"Opt95", "Opt98", "OptME", "Opt2K", "OptXP"})
        EXPECT_FALSE(option(name)->isChecked()) << name;
    EXPECT_EQ(check("Check1")->text(), "1.  Is the power supply plugged in ?");
    EXPECT_EQ(check("Check3")->text(),
        "3.  Is your Source PC's (Win 95/98/ME/2000) drives are shared as C$ and D$, and Win XP's drives are "
        "shared as C and D?");
    EXPECT_EQ(label("Label5")->text(), " 5. Source PC Operating System");
    EXPECT_EQ(option("Opt2K")->text(), "Win2000 Professional");
}

TEST_F(FrmPreparatoryTaskTest, NextNeedsBoxesThreeAndFourAndASystem)
{
    load();
    check("Check1")->setChecked(true);
    check("Check2")->setChecked(true);
    check("Check3")->setChecked(true);
    check("Check4")->setChecked(true);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next)); // every box, no system
    EXPECT_FALSE(TasksConfirmed);
    option("OptME")->setChecked(true);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_TRUE(TasksConfirmed);
    check("Check3")->setChecked(false);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_FALSE(TasksConfirmed);
}

TEST_F(FrmPreparatoryTaskTest, SystemFirstThenBoxesEnablesOnTheSecondTick)
{
    load();
    bar.setButtonVisible(BarButton::Next, false);
    option("Opt95")->setChecked(true);
    check("Check3")->setChecked(true);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_FALSE(bar.buttonVisible(BarButton::Next)); // a failing rule leaves visibility alone
    check("Check4")->setChecked(true);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_TRUE(bar.buttonVisible(BarButton::Next));
}

TEST_F(FrmPreparatoryTaskTest, BoxesOneAndTwoDoNotCount)
{
    load();
    check("Check3")->setChecked(true);
    check("Check4")->setChecked(true);
    option("OptXP")->setChecked(true);
    check("Check1")->setChecked(true);
    check("Check1")->setChecked(false);
    check("Check2")->setChecked(false);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmPreparatoryTaskTest, OptionsFormOneGroup)
{
    load();
    option("Opt98")->setChecked(true);
    option("Opt2K")->setChecked(true);
    EXPECT_FALSE(option("Opt98")->isChecked());
    option("OptXP")->setChecked(true);
    EXPECT_FALSE(option("Opt2K")->isChecked());
    EXPECT_TRUE(option("OptXP")->isChecked());
}

TEST_F(FrmPreparatoryTaskTest, ReactivationRestoresNextFromTheConfirmation)
{
    load();
    check("Check3")->setChecked(true);
    check("Check4")->setChecked(true);
    option("Opt98")->setChecked(true);
    // The next page disables Next and hides Previous ...
    bar.setButtonEnabled(BarButton::Next, false);
    bar.setButtonVisible(BarButton::Next, false);
    bar.setButtonEnabled(BarButton::Back, false);
    bar.setEditMenuEnabled(EditMenuItem::SelectAll, true);
    page->activated();
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_TRUE(bar.buttonVisible(BarButton::Next));
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Back));
    EXPECT_FALSE(bar.editMenuEnabled(EditMenuItem::SelectAll));
    EXPECT_TRUE(check("Check3")->isChecked());
    EXPECT_TRUE(option("Opt98")->isChecked());
    check("Check4")->setChecked(false);
    bar.setButtonEnabled(BarButton::Next, true);
    page->activated();
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmPreparatoryTaskTest, NextAcceleratorDoesNothingWhileNextIsDisabled)
{
    load();
    page->activated();
    pressAlt(check("Check1"), Qt::Key_N);
    EXPECT_TRUE(clicks.empty());
    check("Check3")->setChecked(true);
    check("Check4")->setChecked(true);
    option("Opt98")->setChecked(true);
    pressAlt(option("Opt98"), Qt::Key_N);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], BarButton::Next);
    pressAlt(option("Opt98"), Qt::Key_P);
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(FrmPreparatoryTaskTest, TopicTwoEndsInThreeBreaks)
{
    load();
    page->showTopic(1);
    EXPECT_EQ(label("Label18")->text(), "Disable power conservation settings on both PCs");
    EXPECT_TRUE(label("Label19")->text().endsWith("standby.\r\r\r"));
    EXPECT_TRUE(isBold(label("Label9")));
    EXPECT_FALSE(isBold(label("Label8")));
    page->showTopic(4);
    EXPECT_TRUE(label("Label19")->text().endsWith("option.\r\r"));
}

TEST_F(FrmPreparatoryTaskTest, HelpLinkUsesThePageTopicForControlsWithoutOne)
{
    load();
    host.show();
    check("Check2")->setFocus();
    page->Label22_Click();
    ASSERT_EQ(help.requests().size(), 1u);
    EXPECT_EQ(help.requests()[0].topicId, 69);
    EXPECT_EQ(testsupport::child<QPushButton>(*page, "Cmd_Link")->focusPolicy(), Qt::NoFocus);
}

TEST(PreparatoryRulesTest, NextNeedsTheSharesTheClosedApplicationsAndASystem)
{
    EXPECT_TRUE(requiredTasksConfirmed(true, true, true));
    EXPECT_FALSE(requiredTasksConfirmed(true, false, true));
    EXPECT_FALSE(requiredTasksConfirmed(false, true, true));
    EXPECT_FALSE(requiredTasksConfirmed(true, true, false));
}

} // namespace
} // namespace wizard
