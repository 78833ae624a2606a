// FolderQueueTest.cpp: queue order and command-line folders.
#include "foldersize/scanner/FolderQueue.h"

#include <gtest/gtest.h>

using namespace foldersize;

class FolderQueueTest : public ::testing::Test {
protected:
    FolderQueue q;
};

TEST_F(FolderQueueTest, FirstInFirstOutWithRepeats)
{
    q.append("/a");
    q.appendAll({"/b", "/a"});
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q.front(), "/a");
    q.popFront();
    EXPECT_EQ(q.front(), "/b");
    q.popFront();
    EXPECT_EQ(q.front(), "/a") << "the same path may wait twice";
    q.clear();
    EXPECT_TRUE(q.empty());
}

TEST_F(FolderQueueTest, ArgumentsAreTakenByteForByte)
{
    const auto f = FolderQueue::foldersFromArguments({"\"/quoted\"", "", " /blank ", "/Mixed/Case", "\xff"});
    EXPECT_EQ(f, (std::vector<std::string>{"\"/quoted\"", " /blank ", "/Mixed/Case", "\xff"}));
}

TEST_F(FolderQueueTest, RelativeArgumentsAreTakenAgainstTheCallersWorkingFolder)
{
    const auto f =
        FolderQueue::absoluteFolders({".", "sub", "./a/../b/", "..", "/abs/./kept", "x//y"}, "/home/u");
    EXPECT_EQ(f,
        (std::vector<std::string>{
            "/home/u", "/home/u/sub", "/home/u/b/", "/home", "/abs/./kept", "/home/u/x/y"}));
    EXPECT_EQ(FolderQueue::absoluteFolders({"../../.."}, "/a"), std::vector<std::string>{"/"});
}
