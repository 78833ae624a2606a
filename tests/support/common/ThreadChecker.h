// ThreadChecker.h: what a test needs to know about the thread checker. Its runtime cannot follow a
// child forked from a program whose threads run once the child starts threads of its own (it keeps
// the parent's thread records and stops on a reused thread id), so tests whose forked child runs
// threads are left to the plain and the address-checked runs there.
#pragma once

#include <gtest/gtest.h>

namespace testsupport {

#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadChecked = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool kThreadChecked = true;
#else
inline constexpr bool kThreadChecked = false;
#endif
#else
inline constexpr bool kThreadChecked = false;
#endif

} // namespace testsupport

// Ends the test here as skipped in a thread-checked build; its forked child starts threads.
#define SKIP_WHERE_A_FORKED_CHILD_CANNOT_START_THREADS()                                                     \
    do {                                                                                                     \
        if (testsupport::kThreadChecked)                                                                     \
            GTEST_SKIP() << "a forked child that starts threads is not followed by the thread checker";      \
    } while (false)
