// SelectionTreeTest.cpp: the selection trees' node model and their fixed skeleton.
#include "wizard/selection/SelectionTree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "wizard/selection/TreeBuilders.h"

namespace wizard {
namespace {

std::vector<std::string> keysInOrder(const SelectionTree& t)
{
    std::vector<std::string> keys;
    for (int i = 1; i <= t.count(); ++i)
        keys.push_back(t.key(i));
    return keys;
}

TEST(SelectionTreeTest, KeysAreUniqueWithoutRegardToCasePlaceholdersAreNot)
{
    SelectionTree t;
    SelectionTree::Node* root = addRootNode(t);
    ASSERT_NE(root, nullptr);
    EXPECT_NE(t.addNode(root, "\\\\OLDPC\\C$", "C:"), nullptr);
    EXPECT_EQ(t.addNode(root, "\\\\oldpc\\c$", "C:"), nullptr) << "the same name in other case";
    EXPECT_NE(t.addPlaceholder(t.find("\\\\OLDPC\\C$")), nullptr);
    EXPECT_NE(t.addPlaceholder(t.find("\\\\OLDPC\\C$")), nullptr);
    EXPECT_EQ(t.addUnder("missing", "x", "x"), nullptr) << "a missing parent adds nothing";
    EXPECT_EQ(t.find("\\\\Oldpc\\C$")->text, "C:");
    EXPECT_EQ(t.count(), 4);
}

TEST(SelectionTreeTest, RemovingANodeTakesItsSubtreeAndMovesLaterPositionsUp)
{
    SelectionTree t;
    addRootNode(t);
    t.addUnder("My Computer", "A", "A");
    t.addUnder("A", "A1", "A1");
    t.addUnder("My Computer", "B", "B");
    t.addUnder("A1", "A11", "A11");
    ASSERT_EQ(keysInOrder(t), (std::vector<std::string>{"My Computer", "A", "A1", "B", "A11"}));
    EXPECT_TRUE(t.removeKey("a"));
    EXPECT_EQ(keysInOrder(t), (std::vector<std::string>{"My Computer", "B"}));
    EXPECT_EQ(t.find("A11"), nullptr);
    EXPECT_EQ(t.find("My Computer")->children.size(), 1u);
    EXPECT_NE(t.addUnder("My Computer", "A", "A again"), nullptr) << "a removed key can be used again";
    EXPECT_FALSE(t.removeKey("A11"));
}

// Emptying a large subtree in bounded passes: each pass takes at most its budget, children before
// their folder, and leaves a whole tree (every node reachable from its parent, findable by its key,
// and told to the view exactly once when it goes).
TEST(SelectionTreeTest, RemovingBelowInPartsTakesAtMostTheBudgetAndLeavesAWholeTree)
{
    struct Told : SelectionTree::Listener {
        void nodeAdded(const SelectionTree::Node&) override {}
        void nodeChanged(const SelectionTree::Node&) override {}
        void nodeRemoving(const SelectionTree::Node& node) override
        {
            std::vector<const SelectionTree::Node*> stack{&node};
            while (!stack.empty()) {
                const SelectionTree::Node* n = stack.back();
                stack.pop_back();
                gone.push_back(n->key);
                stack.insert(stack.end(), n->children.begin(), n->children.end());
            }
        }
        std::vector<std::string> gone;
    } told;
    SelectionTree t;
    addRootNode(t);
    t.addUnder("My Computer", "F", "F");
    for (int i = 0; i < 10; ++i)
        t.addUnder("F", "f" + std::to_string(i), "f");
    t.addUnder("F", "S", "S");
    for (int i = 0; i < 5; ++i)
        t.addUnder("S", "s" + std::to_string(i), "s");
    t.addUnder("F", "g", "g");
    t.addUnder("My Computer", "B", "B");
    t.setListener(&told);
    const std::vector<std::string> before = keysInOrder(t);
    int passes = 0;
    bool more = true;
    while (more) {
        const int count = t.count();
        more = t.removeSomeBelow(t.find("F"), 4);
        ASSERT_LE(count - t.count(), 4);
        ASSERT_GT(count - t.count(), 0);
        ASSERT_EQ(static_cast<int>(before.size() - told.gone.size()), t.count());
        for (int i = 1; i <= t.count(); ++i) {
            const SelectionTree::Node* n = t.at(i);
            ASSERT_EQ(t.find(n->key), n);
            if (n->parent) {
                ASSERT_EQ(std::count(n->parent->children.begin(), n->parent->children.end(), n), 1);
            }
        }
        ASSERT_LT(++passes, 10);
    }
    EXPECT_EQ(keysInOrder(t), (std::vector<std::string>{"My Computer", "F", "B"}));
    EXPECT_EQ(told.gone.front(), "g") << "the last child first";
    EXPECT_EQ(t.find("S"), nullptr);
    EXPECT_NE(t.addUnder("F", "s3", "again"), nullptr) << "a removed key can be used again";
    EXPECT_FALSE(t.removeSomeBelow(t.find("B"), 4));
    t.setListener(nullptr);
}

TEST(SelectionTreeTest, FullPathAndCategoryFollowTheTexts)
{
    SelectionTree t;
    addRootNode(t);
    FN_Make_Application_Roots(t);
    SelectionTree::Node* app = t.addUnder("Supported", "Word", "Word");
    EXPECT_EQ(SelectionTree::fullPathOf(app), "My Computer\\Supported Applications\\Word");
    EXPECT_TRUE(SelectionTree::isBelowCategory(app));
    EXPECT_FALSE(SelectionTree::isBelowCategory(t.find("Supported")));
    EXPECT_TRUE(isInCategory(app, "supported applications"));
    EXPECT_TRUE(isInCategory(t.find("Supported"), "Supported Applications"));
    EXPECT_FALSE(isInCategory(t.find("My Computer"), "Supported Applications"));
    EXPECT_EQ(SelectionTree::categoryOf(app), "Supported Applications");
}

TEST(TreeBuildersTest, TheSkeletonHasItsKeysTextsAndImagesInOrder)
{
    SelectionTree t;
    addRootNode(t);
    FN_Make_Settings_Roots(t);
    FN_Make_Application_Roots(t);
    FN_Make_Files_Folders_Root(t);
    FN_Make_Settings_Nodes(t);
    EXPECT_EQ(keysInOrder(t),
        (std::vector<std::string>{"My Computer", "Display Settings", "Control Panel Settings", "Supported",
            "Unsupported", "Files and Folders", "Appearance", "Active Desktop", "Wallpaper", "Resolution",
            "Effects", "Screen Saver", "Keyboard Settings", "Mouse Settings", "Regional Settings"}));
    EXPECT_EQ(t.find("Unsupported")->text, "Unsupported Applications");
    EXPECT_EQ(t.find("My Computer")->image, 40);
    EXPECT_EQ(t.find("Files and Folders")->image, 6);
    EXPECT_EQ(t.find("Control Panel Settings")->image, 2);
    EXPECT_EQ(t.find("Screen Saver")->image, 23);
    EXPECT_EQ(t.find("Regional Settings")->image, 31);
    EXPECT_EQ(SelectionTree::fullPathOf(t.find("Wallpaper")), "My Computer\\Display Settings\\Wallpaper");
}

TEST(TreeBuildersTest, BuildingTwiceOrWithoutTheRootAddsNothingAndStillSucceeds)
{
    SelectionTree t;
    addRootNode(t);
    EXPECT_TRUE(FN_Make_Settings_Roots(t));
    EXPECT_TRUE(FN_Make_Settings_Roots(t));
    EXPECT_EQ(t.count(), 3);

    SelectionTree bare;
    EXPECT_TRUE(FN_Make_Application_Roots(bare));
    EXPECT_TRUE(FN_Make_Settings_Nodes(bare));
    EXPECT_EQ(bare.count(), 0);

    // A category removed and loaded again comes back after the categories loaded meanwhile.
    FN_Make_Files_Folders_Root(t);
    t.removeKey("Display Settings");
    t.removeKey("Control Panel Settings");
    FN_Make_Settings_Roots(t);
    EXPECT_EQ(t.find("My Computer")->children.front()->key, "Files and Folders");
}

} // namespace
} // namespace wizard
