// WorkerPool.cpp: the job queue and its threads.
#include "foldersize/scanner/WorkerPool.h"

#include <algorithm>
#include <system_error>

namespace foldersize {

WorkerPool& WorkerPool::shared()
{
    static WorkerPool pool(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    return pool;
}

WorkerPool::WorkerPool(unsigned threads)
{
    for (unsigned i = 0; i < threads; ++i) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            break; // the threads started so far do the work
        }
    }
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

std::future<void> WorkerPool::run(std::packaged_task<void()> job)
{
    std::future<void> done = job.get_future();
    if (m_threads.empty()) {
        job();
        return done;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return done;
}

void WorkerPool::work()
{
    for (;;) {
        std::packaged_task<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_ending || !m_jobs.empty(); });
            if (m_jobs.empty())
                return; // ending, and nothing left to run
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

} // namespace foldersize
