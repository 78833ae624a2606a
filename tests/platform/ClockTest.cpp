// ClockTest.cpp: the injectable clock and the machine's events log that it stamps.
#include "platform/Clock.h"
#include "platform/EventLog.h"
#include "tests/support/platform/ManualClock.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class ClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("clocktest-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        common::Service<Clock>::replace(nullptr);
        fs::remove_all(m_dir);
    }
    fs::path m_dir;
};

TEST_F(ClockTest, ManualClockAdvancesOnlyWhenTold)
{
    testsupport::ManualClock manual(Clock::TimePoint{} + std::chrono::hours(24 * 365));
    common::Service<Clock>::replace(&manual);
    const auto start = currentTime();
    sleepFor(1000);
    sleepFor(250);
    EXPECT_EQ(currentTime() - start, std::chrono::milliseconds(1250));
    EXPECT_EQ(manual.slept, 1250u);
    manual.advance(std::chrono::seconds(2));
    EXPECT_EQ(currentTime() - start, std::chrono::milliseconds(3250));
}

TEST_F(ClockTest, SystemClockIsRestoredAndReallySleeps)
{
    testsupport::ManualClock manual;
    common::Service<Clock>::replace(&manual);
    EXPECT_EQ(currentTime(), Clock::TimePoint{});
    common::Service<Clock>::replace(nullptr);
    const auto before = std::chrono::steady_clock::now();
    sleepFor(20);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(20));
    EXPECT_GT(currentTime(), Clock::TimePoint{} + std::chrono::hours(24 * 365 * 50));
}

// The clock is one of the process-wide services (common::Service): scoped overrides nest, each
// puts back what it found, and an override with nullptr brings the default back for its scope.
TEST_F(ClockTest, ScopedOverridesNestAndRestoreWhatTheyFound)
{
    Clock& system = platform::clock();
    testsupport::ManualClock outer(Clock::TimePoint{} + std::chrono::seconds(10));
    testsupport::ManualClock inner(Clock::TimePoint{} + std::chrono::seconds(20));
    EXPECT_EQ(common::Service<Clock>::installed(), nullptr);
    {
        common::Service<Clock>::Override useOuter(outer);
        EXPECT_EQ(&platform::clock(), &outer);
        {
            common::Service<Clock>::Override useInner(inner);
            EXPECT_EQ(currentTime(), Clock::TimePoint{} + std::chrono::seconds(20));
            {
                common::Service<Clock>::Override useDefault(nullptr);
                EXPECT_EQ(&platform::clock(), &system);
                EXPECT_EQ(common::Service<Clock>::installed(), nullptr);
            }
            EXPECT_EQ(&platform::clock(), &inner);
        }
        EXPECT_EQ(&platform::clock(), &outer);
        EXPECT_EQ(common::Service<Clock>::replace(&inner), &outer);
    }
    EXPECT_EQ(common::Service<Clock>::installed(), nullptr)
        << "the outer override restores nothing installed";
    EXPECT_EQ(&platform::clock(), &system);
}

TEST_F(ClockTest, EventsAreStampedWithInstalledClockAndReadBackInOrder)
{
    // 2004-06-01 12:30:05 UTC
    testsupport::ManualClock manual(Clock::TimePoint{} + std::chrono::seconds(1086093005));
    common::Service<Clock>::replace(&manual);
    ASSERT_EQ(appendMachineEvent(m_dir, "cacls", "c:\\windows /t /e /g everyone:f"), WinError::Success);
    manual.advance(std::chrono::seconds(61));
    ASSERT_EQ(appendMachineEvent(m_dir, "restart", "flags=7\r\nsecond line"), WinError::Success);
    const auto events = readMachineEvents(m_dir);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].time, "2004-06-01T12:30:05Z");
    EXPECT_EQ(events[0].kind, "cacls");
    EXPECT_EQ(events[0].text, "c:\\windows /t /e /g everyone:f");
    EXPECT_EQ(events[1].time, "2004-06-01T12:31:06Z");
    EXPECT_EQ(events[1].kind, "restart");
    EXPECT_EQ(events[1].text, "flags=7  second line");
}

TEST_F(ClockTest, EventLogOfMissingMachineFails)
{
    EXPECT_EQ(appendMachineEvent(m_dir / "gone", "restart", "flags=7"), WinError::PathNotFound);
    EXPECT_FALSE(fs::exists(m_dir / "gone"));
    EXPECT_TRUE(readMachineEvents(m_dir / "gone").empty());
}

} // namespace
