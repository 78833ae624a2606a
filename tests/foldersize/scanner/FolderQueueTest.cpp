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
