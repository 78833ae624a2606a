// HandOffReceiverTest.cpp: folders from a later copy are queued and measured at the right time.
#include "foldersize/scanner/HandOffReceiver.h"

#include <gtest/gtest.h>

#include <deque>

using namespace foldersize;

namespace {

class HandOffReceiverTest : public ::testing::Test {
protected:
    HandOffTarget target()
    {
        return {[this] { ++raised; }, [this] { return scanning; }, [this] { return queue.size(); },
            [this](const std::string& f) { queue.push_back(f); },
            [this] {
                ++workOffs;
                while (!queue.empty()) {
                    measured.push_back(queue.front());
                    queue.pop_front();
                }
            }};
    }

    bool scanning = false;
    int raised = 0;
    int workOffs = 0;
    std::deque<std::string> queue;
    std::vector<std::string> measured;
};

TEST_F(HandOffReceiverTest, AnIdleWindowMeasuresTheFolderAtOnce)
{
    EXPECT_EQ(receiveHandOff({"/srv/daten"}, target()), 1u);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(workOffs, 1);
    EXPECT_EQ(measured, std::vector<std::string>{"/srv/daten"});
}

TEST_F(HandOffReceiverTest, DuringAScanFoldersAreOnlyQueued)
{
    scanning = true;
    queue.push_back("/already/waiting");
    receiveHandOff({"/a"}, target());
    receiveHandOff({"/b"}, target());
    EXPECT_EQ(workOffs, 0);
    EXPECT_EQ(queue, (std::deque<std::string>{"/already/waiting", "/a", "/b"}));
}

TEST_F(HandOffReceiverTest, SeveralFoldersTogetherStartOneWorkOff)
{
    receiveHandOff({"/a", "/b", "/c"}, target());
    EXPECT_EQ(workOffs, 1);
    EXPECT_EQ(measured, (std::vector<std::string>{"/a", "/b", "/c"}));
}

TEST_F(HandOffReceiverTest, AnEmptyHandOffOnlyRaisesTheWindow)
{
    EXPECT_EQ(receiveHandOff({}, target()), 0u);
    EXPECT_EQ(receiveHandOff({std::string(1, '\0'), ""}, target()), 0u);
    EXPECT_EQ(raised, 2);
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(workOffs, 0);
}

TEST_F(HandOffReceiverTest, NamesKeepTheirBlanksAndQuotes)
{
    scanning = true;
    receiveHandOff({" \"mein ordner\" "}, target());
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue.front(), " \"mein ordner\" ");
}

} // namespace
