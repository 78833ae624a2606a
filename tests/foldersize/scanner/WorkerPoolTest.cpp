// WorkerPoolTest.cpp: jobs handed to the pool all run, also without any worker thread.
#include "foldersize/scanner/WorkerPool.h"

#include <atomic>

#include <gtest/gtest.h>

using namespace foldersize;

TEST(WorkerPoolTest, EveryJobRunsOnceWithOrWithoutWorkers)
{
    for (const unsigned threads : {0u, 1u, 4u}) {
        std::atomic<int> ran{0};
        std::vector<std::future<void>> done;
        {
            WorkerPool pool(threads);
            EXPECT_EQ(pool.threadCount(), threads);
            for (int i = 0; i < 200; ++i)
                done.push_back(pool.run(std::packaged_task<void()>([&ran] { ++ran; })));
            done.front().wait();
        } // the pool's end runs what still waits
        EXPECT_EQ(ran.load(), 200) << threads << " threads";
        for (std::future<void>& d : done)
            EXPECT_EQ(d.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    }
}
