// MainSplitterTest.cpp: the main window's splitter set-up and the stored divider position.
#include "foldersize/ui/scanner/MainSplitter.h"

#include <gtest/gtest.h>

using namespace foldersize;

namespace {

class MainSplitterTest : public ::testing::Test {
protected:
    MainSplitterTest()
    {
        container.resize(800, 400);
        tree = new QWidget(&container);
        list = new QWidget(&container);
    }
    QWidget container;
    QWidget* tree;
    QWidget* list;
    cSplitter splitter;
};

TEST_F(MainSplitterTest, TheStoredTwipsBecomePixelsAndBack)
{
    bindMainSplitter(splitter, &container, tree, list, 3675, 15);
    EXPECT_EQ(splitter.Position(), 245);
    EXPECT_EQ(tree->width(), 245);
    EXPECT_EQ(list->x(), 250);
    EXPECT_DOUBLE_EQ(splitterPositionTwips(splitter, 15), 3675);
}

TEST_F(MainSplitterTest, UsesTheMainWindowsBarSettings)
{
    bindMainSplitter(splitter, &container, tree, list, 2190, 15);
    EXPECT_EQ(splitter.SplitterSize(), 5);
    EXPECT_TRUE(splitter.DrawSplitterbar());
    EXPECT_FALSE(splitter.FullDrag());
    EXPECT_EQ(splitter.Orientation(), cSplitter::kVerticalBar);
    EXPECT_EQ(splitter.Control1(), tree);
    EXPECT_EQ(splitter.Control2(), list);
    EXPECT_EQ(splitter.Position(), 146);
}

TEST_F(MainSplitterTest, HalfPixelsRoundToEven)
{
    bindMainSplitter(splitter, &container, tree, list, 37.5 * 15, 15); // 37.5 pixels
    EXPECT_EQ(splitter.Position(), 38);
    cSplitter other;
    bindMainSplitter(other, &container, tree, list, 36.5 * 15, 15);
    EXPECT_EQ(other.Position(), 36);
}

TEST_F(MainSplitterTest, TwipsPerPixelFollowTheScreen)
{
    const double tpp = twipsPerPixelX(&container);
    EXPECT_DOUBLE_EQ(tpp, 1440.0 / container.logicalDpiX());
    EXPECT_DOUBLE_EQ(twipsPerPixelX(nullptr), 15.0);
}

} // namespace
