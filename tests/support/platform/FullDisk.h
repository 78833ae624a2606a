// FullDisk.h: runs a piece of a test in a child process whose files cannot grow past a limit, so
// that writes beyond it fail as on a drive that has filled up (EFBIG, which the file layer reports
// as Disk full), or whose memory cannot. The child's findings come back as text.
#pragma once

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Runs `body` in a forked child, after `limit` has set the child's limits, and answers the text it
// returned; "<child failed>" when the child did not end normally. Keep the body to the code under
// test and plain checks: it must not touch anything the parent's threads own.
inline std::string inLimitedChild(
    const std::function<void()>& limit, const std::function<std::string()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "<child failed>";
    const pid_t child = ::fork();
    if (child < 0)
        return "<child failed>";
    if (child == 0) {
        ::close(fds[0]);
        limit();
        const std::string text = body();
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                ::_exit(2);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "<child failed>";
}

// Runs `body` in a forked child with every file limited to `limitBytes` (inLimitedChild).
inline std::string onFullDisk(std::size_t limitBytes, const std::function<std::string()>& body)
{
    return inLimitedChild(
        [limitBytes] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{limitBytes, limitBytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        },
        body);
}

// Runs `body` in a forked child whose address space may grow by no more than `moreBytes` beyond
// what it holds at the fork (inLimitedChild): an allocation past it fails.
inline std::string withinMemory(std::size_t moreBytes, const std::function<std::string()>& body)
{
    return inLimitedChild(
        [moreBytes] {
            std::size_t pages = 0;
            if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(statm, "%zu", &pages) != 1)
                    pages = 0;
                std::fclose(statm);
            }
            const rlim_t bound = pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + moreBytes;
            const rlimit limit{bound, bound};
            ::setrlimit(RLIMIT_AS, &limit);
        },
        body);
}

} // namespace testsupport
