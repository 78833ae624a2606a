// FailNthCall.h: injected host faults (common/HostCalls.h): the nth host call fails with one error
// (once, or with every call from it on, as a disk that broke or filled up), and loops that run an
// operation with each of its calls failing in turn.
#pragma once

#include "common/HostCalls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <utility>

namespace testsupport {

// Once: only the nth call fails. FromThenOn: the nth and every later call fail.
enum class FaultSpan { Once, FromThenOn };

// Fails the nth call through the seam (counted from 1, every kind of call, every thread) with
// `error`, once (the calls before and after it run) or from then on. Set for the process while
// `install()`'s scope lives.
class FailNthCall : public common::hostcalls::Faults {
public:
    FailNthCall(int n, int error, FaultSpan span = FaultSpan::Once)
        : m_n(n)
        , m_error(error)
        , m_span(span)
    {}
    int fault(common::hostcalls::Call) noexcept override
    {
        const int count = ++m_count;
        return count == m_n || (m_span == FaultSpan::FromThenOn && count > m_n) ? m_error : 0;
    }
    // Whether the nth call came (and failed).
    bool fired() const { return m_count >= m_n; }
    int error() const { return m_error; }
    int n() const { return m_n; }

    class Installed {
    public:
        explicit Installed(FailNthCall& faults)
            : m_previous(common::hostcalls::setFaults(&faults))
        {}
        ~Installed() { common::hostcalls::setFaults(m_previous); }
        Installed(const Installed&) = delete;
        Installed& operator=(const Installed&) = delete;

    private:
        common::hostcalls::Faults* m_previous;
    };
    // The faults, set until the scope ends: around the operation only, not its setting up.
    [[nodiscard]] Installed install() { return Installed(*this); }

private:
    const int m_n;
    const int m_error;
    const FaultSpan m_span;
    std::atomic<int> m_count{0};
};

// Calls `attempt(faults)` with FailNthCall(n, error, span) for n = 1, 2, ... until a run in which
// no call failed (the operation then went through untouched); each attempt builds its own world,
// installs the faults around the operation and checks what it left. Answers the number of runs
// with a fault; a test fails when an operation makes more than `limit` calls.
template <typename Attempt>
int failEachCallInTurn(int error, Attempt&& attempt, int limit = 2000, FaultSpan span = FaultSpan::Once)
{
    for (int n = 1; n <= limit; ++n) {
        FailNthCall faults(n, error, span);
        attempt(faults);
        if (!faults.fired() || ::testing::Test::HasFatalFailure())
            return n - 1;
    }
    ADD_FAILURE() << "more than " << limit << " host calls";
    return limit;
}

// The same with every call from the nth on failing: the operation meets a disk that stays broken.
template <typename Attempt> int failFromEachCallOn(int error, Attempt&& attempt, int limit = 2000)
{
    return failEachCallInTurn(error, std::forward<Attempt>(attempt), limit, FaultSpan::FromThenOn);
}

} // namespace testsupport
