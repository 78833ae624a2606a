// MigrationTypePageTest.cpp: the migration-type page: the Next rule over the category boxes, mass
// and selective modes, Quick Help topics, accelerators and help topics.
#include "wizard/ui/selection/MigrationTypePage.h"

#include "platform/qt/QtHelpViewer.h"
#include "tests/support/FindChild.h"
#include "tests/wizard/pages/LayoutChecks.h"
#include "tests/wizard/pages/PageTestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace wizard {
namespace {

class FrmMigrationTypeTest : public test::PageTest {
protected:
    FrmMigrationTypeTest()
        : page(nullptr, &host)
    {}
    QCheckBox* box(const char* name) const { return page.findChild<QCheckBox*>(name); }
    QRadioButton* option(const char* name) const { return page.findChild<QRadioButton*>(name); }
    QLabel* label(const char* name) const { return page.findChild<QLabel*>(name); }
    void clearAllBoxes()
    {
        for (const char* name : {"chk_Settings", "chk_Applications", "chk_Files_and_Folders"})
            box(name)->setChecked(false);
    }

    Frm_MigrationType page;
};

TEST_F(FrmMigrationTypeTest, CaptionsShowWholeAndApart)
{
    test::expectCaptionsWholeAndApart(&page);
    for (QGroupBox* group : page.findChildren<QGroupBox*>())
        test::expectCaptionsWholeAndApart(group);
}

TEST_F(FrmMigrationTypeTest, StartsSelectiveWithEveryCategory)
{
    EXPECT_TRUE(option("optSel")->isChecked());
    EXPECT_FALSE(option("optMass")->isChecked());
    EXPECT_TRUE(page.findChild<QGroupBox*>("Frame1")->isEnabled());
    EXPECT_EQ(page.findChild<QGroupBox*>("Frame1")->title(), "Select Your Migration Preference");
    for (const char* name : {"chk_Settings", "chk_Applications", "chk_Files_and_Folders"})
        EXPECT_TRUE(box(name)->isChecked()) << name;
    EXPECT_EQ(box("chk_Files_and_Folders")->text(), "Files/Folders");
    EXPECT_STREQ(page.migrationMode(), "selective");
    EXPECT_EQ(label("Label13")->text(), "Migration");
    EXPECT_TRUE(isBold(label("Label13")));
    EXPECT_TRUE(isBold(label("Label8")));
    EXPECT_TRUE(label("Label7")->text().endsWith("Files/Folders.\r\r"));
    EXPECT_EQ(label("Label15")->text(), "Click Help Button or press F1 Key for more details.");
    EXPECT_TRUE(label("Label15")->font().underline());
}

TEST_F(FrmMigrationTypeTest, ActivationSetsNextFromTheBoxesAlone)
{
    bar.setButtonEnabled(BarButton::Next, true);
    clearAllBoxes();
    page.activated();
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    box("chk_Applications")->setChecked(true);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    bar.setButtonEnabled(BarButton::Next, false);
    page.activated();
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmMigrationTypeTest, ClearingEveryBoxDisablesNext)
{
    page.activated();
    box("chk_Settings")->setChecked(false);
    box("chk_Applications")->setChecked(false);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    box("chk_Files_and_Folders")->setChecked(false);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmMigrationTypeTest, MassChecksEveryBoxLocksThemAndEnablesNext)
{
    page.activated();
    clearAllBoxes();
    ASSERT_FALSE(bar.buttonEnabled(BarButton::Next));
    option("optMass")->click();
    EXPECT_TRUE(option("optMass")->isChecked());
    EXPECT_FALSE(page.findChild<QGroupBox*>("Frame1")->isEnabled());
    for (const char* name : {"chk_Settings", "chk_Applications", "chk_Files_and_Folders"})
        EXPECT_TRUE(box(name)->isChecked()) << name;
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_STREQ(page.migrationMode(), "mass");
    // Shown again after Previous: Next ends enabled, the boxes being checked.
    page.activated();
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmMigrationTypeTest, SelectiveAfterMassKeepsTheBoxesAndUnlocksThem)
{
    option("optMass")->click();
    option("optSel")->click();
    EXPECT_TRUE(page.findChild<QGroupBox*>("Frame1")->isEnabled());
    EXPECT_TRUE(box("chk_Settings")->isChecked());
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    clearAllBoxes();
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmMigrationTypeTest, TopicNumbersSwitchTheQuickHelp)
{
    emit qobject_cast<ClickLabel*>(label("Label9"))->clicked();
    emit qobject_cast<ClickLabel*>(label("Label10"))->clicked();
    EXPECT_EQ(label("Label13")->text(), "Select Migration components");
    EXPECT_TRUE(label("Label14")->text().startsWith(" Click the checkboxes"));
    EXPECT_TRUE(isBold(label("Label10")));
    EXPECT_FALSE(isBold(label("Label8")));
    EXPECT_FALSE(isBold(label("Label9")));
    emit qobject_cast<ClickLabel*>(label("Label8"))->clicked();
    EXPECT_EQ(label("Label13")->text(), "Migration");
    EXPECT_TRUE(isBold(label("Label8")));
}

TEST_F(FrmMigrationTypeTest, HelpLinkOpensTheTopicOfTheMode)
{
    emit testsupport::child<QuickHelpPanel>(page, "Frame2")->link()->clicked();
    option("optMass")->click();
    emit testsupport::child<QuickHelpPanel>(page, "Frame2")->link()->clicked();
    ASSERT_EQ(help.requests().size(), 2u);
    EXPECT_EQ(help.requests()[0].topicId, 18);
    EXPECT_EQ(help.requests()[1].topicId, 17);
}

TEST_F(FrmMigrationTypeTest, F1OpensTheTopicOfTheFocusedControl)
{
    host.show();
    box("chk_Settings")->setFocus();
    EXPECT_EQ(page.sendHelpKey(), 11);
    option("optMass")->setFocus();
    EXPECT_EQ(page.sendHelpKey(), 17);
    page.findChild<QGroupBox*>("Frame1")->setFocus();
    EXPECT_EQ(page.sendHelpKey(), 22);
    ASSERT_EQ(help.requests().size(), 3u);
    EXPECT_EQ(help.requests()[2].topicId, 22);
}

TEST_F(FrmMigrationTypeTest, AcceleratorsForwardOnlyWhileEnabled)
{
    page.activated();
    clearAllBoxes();
    pressAlt(box("chk_Settings"), Qt::Key_N);
    EXPECT_TRUE(clicks.empty());
    box("chk_Settings")->setChecked(true);
    pressAlt(box("chk_Settings"), Qt::Key_N);
    pressAlt(box("chk_Settings"), Qt::Key_H);
    bar.setButtonEnabled(BarButton::Back, false);
    pressAlt(box("chk_Settings"), Qt::Key_P);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], BarButton::Next);
    EXPECT_EQ(clicks[1], BarButton::Help);
    EXPECT_EQ(platform::qt::helpTopicOf(testsupport::child<QPushButton>(page, "Command1")), 22);
}

TEST(MigrationTypeRuleTest, AnyCategoryIsEnough)
{
    EXPECT_FALSE(migrationCategoriesChosen(false, false, false));
    EXPECT_TRUE(migrationCategoriesChosen(false, false, true));
    EXPECT_TRUE(migrationCategoriesChosen(true, false, false));
}

} // namespace
} // namespace wizard
