// SelectionEventsTest.cpp: what ticks and clicks in the source tree do to the destination tree,
// the marks and the Next button.
#include "wizard/selection/SelectionEvents.h"

#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/selection/SelectionWorld.h"
#include "wizard/core/WizardWindows.h"

namespace wizard {
namespace {

class SelectionEventsTest : public ::testing::Test {
protected:
    SelectionEventsTest()
        : events(w.source, w.destination, loaded)
    {
        loaded = {true, true, true};
        wizardWindows().setButtonEnabled(BarButton::Next, false);
    }
    // A click on a check box: the mark changes, NodeCheck runs, then Click.
    void clickBox(const std::string& key)
    {
        auto* n = w.node(key);
        w.setMark(n, !n->checked);
        events.nodeChecked(n);
        events.clicked();
    }
    bool nextEnabled() const { return wizardWindows().buttonEnabled(BarButton::Next); }

    testsupport::SelectionWorld w;
    LoadedCategories loaded;
    SelectionEvents events;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scoped{messages};
};

TEST_F(SelectionEventsTest, ChoosingAndDroppingASettingDrivesNext)
{
    EXPECT_EQ(events.skeletonCount(), 6);
    clickBox("Wallpaper");
    EXPECT_TRUE(w.inDestination("Wallpaper"));
    EXPECT_TRUE(nextEnabled());
    clickBox("Wallpaper");
    EXPECT_FALSE(w.inDestination("Wallpaper"));
    EXPECT_FALSE(nextEnabled());
}

TEST_F(SelectionEventsTest, ClearingACategoryEmptiesItsGroupButKeepsTheGroupNode)
{
    clickBox("Display Settings");
    EXPECT_EQ(w.destination.find("Display Settings")->children.size(), 6u);
    clickBox("Display Settings");
    ASSERT_NE(w.destination.find("Display Settings"), nullptr);
    EXPECT_TRUE(w.destination.find("Display Settings")->children.empty());
    EXPECT_FALSE(w.node("Screen Saver")->checked);
}

TEST_F(SelectionEventsTest, AWholeDriveOrTheCategoryCannotBeChosen)
{
    auto* drive = w.addDrive("\\\\OLDPC\\C$", "C:");
    messages.answer(platform::MsgResult::Ok);
    clickBox("\\\\OLDPC\\C$");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Please select Files or Folders to migrate the data");
    EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::Information);
    EXPECT_FALSE(drive->checked);
    EXPECT_FALSE(w.inDestination("\\\\OLDPC\\C$"));

    messages.answer(platform::MsgResult::Ok);
    clickBox("Files and Folders");
    EXPECT_EQ(messages.shown().size(), 2u);
    EXPECT_FALSE(w.node("Files and Folders")->checked);

    // A drive share without "$" is a whole drive as well.
    auto* xp = w.addDrive("\\\\OLDXP\\D", "D:");
    messages.answer(platform::MsgResult::Ok);
    clickBox("\\\\OLDXP\\D");
    EXPECT_FALSE(xp->checked);
}

TEST_F(SelectionEventsTest, AFileTickedEnablesNextAndClearingTheRootClearsAll)
{
    auto* drive = w.addDrive("\\\\OLDPC\\C$", "C:");
    w.list(drive, {}, {"boot.ini"});
    clickBox("\\\\OLDPC\\C$\\boot.ini");
    EXPECT_TRUE(w.inDestination("\\\\OLDPC\\C$\\BOOT.INI"));
    EXPECT_TRUE(nextEnabled());
    EXPECT_TRUE(drive->checked);
    // A ticked drive whose contents are chosen cannot be cleared by hand.
    clickBox("\\\\OLDPC\\C$");
    EXPECT_TRUE(drive->checked);

    clickBox("Mouse Settings");
    w.setMark(w.node("My Computer"), false);
    events.nodeChecked(w.node("My Computer"));
    EXPECT_FALSE(w.node("Mouse Settings")->checked);
    EXPECT_FALSE(w.inDestination("Mouse Settings"));
    EXPECT_FALSE(nextEnabled());
}

} // namespace
} // namespace wizard
