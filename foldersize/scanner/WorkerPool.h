// WorkerPool.h: a few threads kept for the program's life that run jobs handed to them. Starting a
// thread per job cost about half a millisecond each on a busy machine, more than a job of a
// thousand file look-ups takes.
#pragma once

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace foldersize {

class WorkerPool {
public:
    // The program's pool: up to eight threads (fewer on fewer processors), started on first use.
    static WorkerPool& shared();

    explicit WorkerPool(unsigned threads);
    // Runs the jobs still waiting, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Runs job on a worker (on the caller's thread when no worker could be started); the future
    // is ready once it has run.
    std::future<void> run(std::packaged_task<void()> job);

    std::size_t threadCount() const { return m_threads.size(); }

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<void()>> m_jobs;
    bool m_ending = false;
    std::vector<std::thread> m_threads;
};

} // namespace foldersize
