// FolderTreeTest.cpp: root numbering and key lookup.
#include "foldersize/scanner/FolderTree.h"

#include <gtest/gtest.h>

using namespace foldersize;

class FolderTreeTest : public ::testing::Test {
protected:
    FolderTree tree;
};

TEST_F(FolderTreeTest, RootsAreNumberedAndRestartWhenTheTreeEmpties)
{
    FolderRoot* a = tree.addRoot("/a", 8, 10);
    FolderRoot* b = tree.addRoot("/b/", 3, 3);
    EXPECT_EQ(a->prefix(), "K000");
    EXPECT_EQ(b->prefix(), "K001");
    EXPECT_EQ(a->folderPath, "/a/");
    EXPECT_TRUE(tree.removeRoot(a->node.get()));
    EXPECT_EQ(tree.addRoot("/c", 8, 10)->prefix(), "K002") << "numbers are not reused while roots remain";
    EXPECT_TRUE(tree.removeRoot(tree.root(0).node.get()));
    EXPECT_TRUE(tree.removeRoot(tree.root(0).node.get()));
    EXPECT_EQ(tree.rootCount(), 0u);
    EXPECT_EQ(tree.addRoot("/d", 8, 10)->prefix(), "K000");
}

TEST_F(FolderTreeTest, RootNumberStopsAt255)
{
    for (int i = 0; i <= 255; ++i)
        ASSERT_NE(tree.addRoot("/x" + std::to_string(i), 8, 10), nullptr);
    EXPECT_EQ(tree.root(255).prefix(), "K255");
    EXPECT_EQ(tree.addRoot("/overflow", 8, 10), nullptr);
    EXPECT_EQ(tree.rootCount(), 256u);
}

TEST_F(FolderTreeTest, KeysKeepCaseAndFindTheirNodes)
{
    FolderRoot* r = tree.addRoot("/Data/", 8, 10);
    FolderNode* upper = r->node->addChild("A");
    FolderNode* lower = r->node->addChild("a");
    r->node->sortChildren();
    FolderNode* deep = lower->addChild("x?y");
    lower->ownFiles = 1;
    lower->state = ScanState::Done;
    EXPECT_EQ(tree.keyOf(upper), "K000/Data/A/");
    EXPECT_EQ(tree.keyOf(lower), "K000/Data/a/");
    EXPECT_EQ(tree.keyOf(lower, true), "K000/Data/a/??D");
    EXPECT_EQ(tree.findByKey("K000/Data/A/").folder, upper);
    EXPECT_EQ(tree.findByKey("K000/Data/a/").folder, lower);
    EXPECT_EQ(tree.findByKey("K000/Data/a/x?y/").folder, deep);
    const NodeRef files = tree.findByKey("K000/Data/a/??D");
    EXPECT_EQ(files.folder, lower);
    EXPECT_TRUE(files.filesNode);
    EXPECT_EQ(tree.findByKey("K000/Data/").folder, r->node.get());
    EXPECT_FALSE(tree.findByKey("K000/data/a/"));
    EXPECT_FALSE(tree.findByKey("K001/Data/a/"));
    EXPECT_FALSE(tree.findByKey("K000/Data/A/??D")) << "A has no files node";
    EXPECT_FALSE(tree.findByKey("K000/Data/a"));
    EXPECT_FALSE(tree.findByKey(""));
}

TEST_F(FolderTreeTest, SameFolderUnderTwoRootsHasTwoKeys)
{
    FolderRoot* r1 = tree.addRoot("/same", 8, 10);
    FolderRoot* r2 = tree.addRoot("/same", 8, 10);
    EXPECT_NE(tree.keyOf(r1->node.get()), tree.keyOf(r2->node.get()));
    EXPECT_EQ(tree.findByKey("K001/same/").folder, r2->node.get());
    EXPECT_EQ(tree.rootOf(r2->node.get()), r2);
}
