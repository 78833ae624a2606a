// FolderNodeTest.cpp: paths, ordering, lookup and teardown of the folder tree data.
#include "foldersize/scanner/FolderNode.h"

#include <gtest/gtest.h>

using namespace foldersize;

class FolderNodeTest : public ::testing::Test {};

TEST_F(FolderNodeTest, PathJoinsNamesWithSlashes)
{
    FolderNode root("/srv/Data/");
    FolderNode* a = root.addChild("Alpha");
    FolderNode* b = a->addChild("beta gamma");
    EXPECT_EQ(root.path(), "/srv/Data/");
    EXPECT_EQ(b->path(), "/srv/Data/Alpha/beta gamma/");
    FolderNode slash("/");
    EXPECT_EQ(slash.addChild("etc")->path(), "/etc/");
}

TEST_F(FolderNodeTest, ChildrenSortByBytesAndAreFoundByExactName)
{
    FolderNode root("/r/");
    root.addChild("b");
    root.addChild("a");
    root.addChild("B");
    root.addChild(std::string("\xff\xfe", 2));
    root.sortChildren();
    ASSERT_EQ(root.childCount(), 4u);
    EXPECT_EQ(root.child(0)->name(), "B");
    EXPECT_EQ(root.child(1)->name(), "a");
    EXPECT_EQ(root.child(2)->name(), "b");
    for (std::size_t i = 0; i < root.childCount(); ++i)
        EXPECT_EQ(root.child(i)->row(), i);
    EXPECT_EQ(root.childNamed("a"), root.child(1));
    EXPECT_EQ(root.childNamed("B"), root.child(0));
    EXPECT_EQ(root.childNamed(std::string("\xff\xfe", 2)), root.child(3));
    EXPECT_EQ(root.childNamed("c"), nullptr);
}

TEST_F(FolderNodeTest, FilesNodeNeedsSubfoldersAndOwnFiles)
{
    FolderNode root("/r/");
    root.ownFiles = 2;
    root.state = ScanState::Done;
    EXPECT_FALSE(root.hasFilesNode());
    root.addChild("sub");
    EXPECT_TRUE(root.hasFilesNode());
    root.state = ScanState::Created;
    EXPECT_FALSE(root.hasFilesNode()) << "a stopped folder has no files node";
    root.state = ScanState::Done;
    root.ownFiles = 0;
    EXPECT_FALSE(root.hasFilesNode());
}

TEST_F(FolderNodeTest, VeryDeepTreesAreFreedWithoutRecursion)
{
    auto root = std::make_unique<FolderNode>("/deep/");
    FolderNode* n = root.get();
    for (int i = 0; i < 300000; ++i)
        n = n->addChild("d");
    EXPECT_EQ(n->path().size(), 6u + 2u * 300000u);
    root->child(0)->clearChildren();
    EXPECT_EQ(root->child(0)->childCount(), 0u);
    for (int i = 0; i < 300000; ++i)
        root->child(0)->addChild("x")->addChild("y");
    root.reset(); // would overflow the stack if freed recursively
    SUCCEED();
}

TEST_F(FolderNodeTest, AdditionSaturatesInsteadOfWrapping)
{
    EXPECT_EQ(addSaturated(1, 2), 3u);
    EXPECT_EQ(addSaturated(UINT64_MAX - 1, 5), UINT64_MAX);
}
