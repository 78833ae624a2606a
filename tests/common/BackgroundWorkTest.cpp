// BackgroundWorkTest.cpp: work started by the driver has ended when its task is waited for, work
// run beside is joined when the driver stops, and the stop flag reaches long work.
#include "common/BackgroundWork.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

using common::BackgroundWork;

TEST(BackgroundWorkTest, WorkHasEndedWhenItsTaskIsWaitedForOrDropped)
{
    BackgroundWork work;
    std::atomic<int> ended{0};
    const auto slow = [&ended] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ++ended;
    };
    BackgroundWork::Task first = work.start(slow);
    std::vector<BackgroundWork::Task> many;
    for (int i = 0; i < 8; ++i)
        many.push_back(work.start(slow));
    first.wait();
    EXPECT_TRUE(first.ready());
    EXPECT_GE(ended.load(), 1);
    many.clear(); // dropping a task waits for its work
    EXPECT_EQ(ended.load(), 9);
    EXPECT_TRUE(BackgroundWork::Task().ready());
}

TEST(BackgroundWorkTest, StopJoinsWorkRunBeside)
{
    std::atomic<bool> ended{false};
    auto work = std::make_unique<BackgroundWork>();
    BackgroundWork* driver = work.get();
    driver->runBeside([&ended] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ended = true;
    });
    driver->stop();
    EXPECT_TRUE(ended.load()) << "stop() returns once work run beside has ended";
    work.reset();
}
