// CheckSyncTest.cpp: ticking and clearing applications and settings keeps the trees in step.
#include "wizard/selection/CheckSync.h"

#include <gtest/gtest.h>

#include "tests/wizard/selection/SelectionWorld.h"

namespace wizard {
namespace {

class CheckSyncTest : public ::testing::Test {
protected:
    void tick(const std::string& key, bool checked)
    {
        auto* n = w.node(key);
        w.setMark(n, checked);
        Propagate_Node_Check(w.source, w.destination, n, checked);
        Mirror_Node_Check(w.source, w.destination, n, checked);
    }
    testsupport::SelectionWorld w;
};

TEST_F(CheckSyncTest, TickingASettingCopiesItAndTicksItsCategoryAndTheRoot)
{
    tick("Screen Saver", true);
    EXPECT_EQ(w.destinationParent("Screen Saver"), "Display Settings");
    EXPECT_EQ(w.destination.find("Screen Saver")->image, 23);
    EXPECT_TRUE(w.node("Display Settings")->checked);
    EXPECT_TRUE(w.node("My Computer")->checked);
    EXPECT_FALSE(w.node("Wallpaper")->checked);
    EXPECT_EQ(w.destination.count(), 7) << "the skeleton of six and the setting; no category copied again";
}

TEST_F(CheckSyncTest, TickingACategoryTicksAndCopiesEveryOneOfItsItems)
{
    tick("Display Settings", true);
    for (const char* s :
        {"Appearance", "Active Desktop", "Wallpaper", "Resolution", "Effects", "Screen Saver"}) {
        EXPECT_TRUE(w.node(s)->checked) << s;
        EXPECT_EQ(w.destinationParent(s), "Display Settings") << s;
    }
    EXPECT_FALSE(w.node("Mouse Settings")->checked);
    EXPECT_TRUE(w.node("My Computer")->checked);
}

TEST_F(CheckSyncTest, TheSupportedCategoryLeavesTheUnsupportedApplicationsAlone)
{
    tick("Supported", true);
    EXPECT_TRUE(w.inDestination("MS Word"));
    EXPECT_TRUE(w.inDestination("MS Word 2000"));
    EXPECT_FALSE(w.node("Paint Pro")->checked);
    EXPECT_FALSE(w.inDestination("Paint Pro"));
}

TEST_F(CheckSyncTest, AnApplicationWhoseNameIsPartOfAnothersReachesOnlyItself)
{
    tick("MS Word", true);
    EXPECT_TRUE(w.inDestination("MS Word"));
    EXPECT_FALSE(w.node("MS Word 2000")->checked);
    EXPECT_FALSE(w.inDestination("MS Word 2000"));
    tick("MS Word 2000", true);
    tick("MS Word", false);
    EXPECT_FALSE(w.inDestination("MS Word"));
    EXPECT_TRUE(w.node("MS Word 2000")->checked);
    EXPECT_TRUE(w.inDestination("MS Word 2000"));
}

TEST_F(CheckSyncTest, ClearingTheLastTickedItemClearsItsCategoryAndTheRoot)
{
    tick("Screen Saver", true);
    tick("Wallpaper", true);
    tick("Screen Saver", false);
    EXPECT_FALSE(w.inDestination("Screen Saver"));
    EXPECT_TRUE(w.inDestination("Wallpaper"));
    EXPECT_TRUE(w.node("Display Settings")->checked) << "another setting is still ticked";

    tick("Mouse Settings", true);
    tick("Wallpaper", false);
    EXPECT_FALSE(w.node("Display Settings")->checked);
    EXPECT_TRUE(w.inDestination("Display Settings")) << "category nodes stay in the destination tree";
    EXPECT_TRUE(w.node("My Computer")->checked) << "Control Panel Settings is still ticked";
    tick("Mouse Settings", false);
    EXPECT_FALSE(w.node("My Computer")->checked);
}

TEST_F(CheckSyncTest, AStaleCallWhoseStateDiffersFromTheMarkChangesNothing)
{
    auto* n = w.node("Effects");
    Propagate_Node_Check(w.source, w.destination, n, true); // the mark is still cleared
    EXPECT_FALSE(n->checked);
    EXPECT_FALSE(w.inDestination("Effects"));
}

TEST_F(CheckSyncTest, TickingTheRootTicksAndCopiesEverything)
{
    tick("My Computer", true);
    for (int i = 1; i <= w.source.count(); ++i)
        EXPECT_TRUE(w.source.at(i)->checked) << w.source.key(i);
    EXPECT_TRUE(w.inDestination("Regional Settings"));
    EXPECT_TRUE(w.inDestination("Paint Pro"));
}

} // namespace
} // namespace wizard
