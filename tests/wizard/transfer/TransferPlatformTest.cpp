// TransferPlatformTest.cpp: work run beside the window: the window's events go on meanwhile, and
// the way out reaches the work.
#include "wizard/transfer/TransferPlatform.h"

#include "common/Service.h"
#include "tests/support/platform/CountingEventPump.h"
#include "wizard/core/ProgramEnd.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

TEST(TransferPlatformTest, WorkBesideTheWindowLetsItsEventsRunAndHearsTheWayOut)
{
    wizard::resetProgramEnd();
    testsupport::CountingEventPump pump;
    common::Service<platform::EventPump>::Override pumpScope{pump};
    // The user takes the way out while the work runs.
    pump.onYield = [&pump] {
        if (pump.count == 3)
            wizard::requestProgramEnd(0);
    };
    std::thread::id worker;
    bool stopped = false;
    wizard::transfer::runWithEvents([&](const std::atomic<bool>& stop) {
        worker = std::this_thread::get_id();
        const auto giveUp = std::chrono::steady_clock::now() + 10s;
        while (!stop && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(1ms);
        stopped = stop;
    });
    EXPECT_TRUE(stopped) << "the way out did not reach the work";
    EXPECT_GE(pump.count, 3);
    EXPECT_NE(worker, std::this_thread::get_id()) << "the work ran on the window's thread";
    wizard::resetProgramEnd();
}

TEST(TransferPlatformTest, AnExitRoutineRunFromTheEventsWaitsForTheWorkToEnd)
{
    // The exit routine runs from an event while the work still writes; what it removes afterwards
    // must not be written again, so it stops the work and waits before it goes on.
    wizard::resetProgramEnd();
    testsupport::CountingEventPump pump;
    common::Service<platform::EventPump>::Override pumpScope{pump};
    std::atomic<bool> workEnded{false};
    bool endedBeforeCleanUp = false;
    pump.onYield = [&] {
        if (pump.count == 1) {
            wizard::settleWorkBesideWindow();
            endedBeforeCleanUp = workEnded;
        }
    };
    wizard::transfer::runWithEvents([&](const std::atomic<bool>&) {
        // Work that cannot be stopped part-way (one file's copy) runs to its end.
        std::this_thread::sleep_for(200ms);
        workEnded = true;
    });
    EXPECT_TRUE(endedBeforeCleanUp) << "the exit routine went on while the work was still running";
}
