// BackgroundWork.cpp: starting, reaping and joining the program's background threads.
#include "common/BackgroundWork.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include <pthread.h>

namespace common {

struct BackgroundWork::State {
    std::thread thread;
    std::atomic<bool> ended{false};
    std::mutex joinMutex;

    void join()
    {
        std::lock_guard<std::mutex> lock(joinMutex);
        if (thread.joinable())
            thread.join();
    }
};

BackgroundWork::Task& BackgroundWork::Task::operator=(Task&& other) noexcept
{
    if (this != &other) {
        wait();
        m_state = std::move(other.m_state);
    }
    return *this;
}

void BackgroundWork::Task::wait()
{
    if (m_state)
        m_state->join();
}

bool BackgroundWork::Task::ready() const
{
    return !m_state || m_state->ended.load(std::memory_order_acquire);
}

BackgroundWork::~BackgroundWork() { stop(); }

BackgroundWork& BackgroundWork::program()
{
    static BackgroundWork work;
    // A child forked from the program (a test's child process) has none of its threads: it must
    // never wait for them, nor find the list locked by one of them.
    static const bool forkAware = [] {
        ::pthread_atfork([] { work.m_mutex.lock(); }, [] { work.m_mutex.unlock(); },
            [] {
                work.m_mutex.unlock();
                new std::vector<std::shared_ptr<State>>(std::move(work.m_threads)); // never joined
                work.m_threads.clear();
            });
        return true;
    }();
    (void)forkAware;
    return work;
}

std::shared_ptr<BackgroundWork::State> BackgroundWork::launch(
    const std::shared_ptr<std::function<void()>>& work)
{
    auto state = std::make_shared<State>();
    try {
        std::lock_guard<std::mutex> lock(state->joinMutex);
        state->thread = std::thread([s = state.get(), work] {
            (*work)();
            s->ended.store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    reapEnded();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_threads.push_back(state);
    return state;
}

BackgroundWork::Task BackgroundWork::start(std::function<void()> work)
{
    const auto shared = std::make_shared<std::function<void()>>(std::move(work));
    Task task;
    task.m_state = launch(shared);
    if (!task.m_state)
        (*shared)(); // no thread to be had
    return task;
}

bool BackgroundWork::tryStart(std::function<void()> work, Task& task)
{
    task = Task();
    task.m_state = launch(std::make_shared<std::function<void()>>(std::move(work)));
    return task.m_state != nullptr;
}

void BackgroundWork::runBeside(std::function<void()> work)
{
    const auto shared = std::make_shared<std::function<void()>>(std::move(work));
    if (!launch(shared))
        (*shared)(); // no thread to be had
}

bool BackgroundWork::tryRunBeside(std::function<void()> work)
{
    return launch(std::make_shared<std::function<void()>>(std::move(work))) != nullptr;
}

void BackgroundWork::reapEnded()
{
    std::vector<std::shared_ptr<State>> ended;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto split = std::partition(m_threads.begin(), m_threads.end(),
            [](const std::shared_ptr<State>& s) { return !s->ended.load(std::memory_order_acquire); });
        ended.assign(split, m_threads.end());
        m_threads.erase(split, m_threads.end());
    }
    for (const std::shared_ptr<State>& s : ended)
        s->join();
}

void BackgroundWork::stop()
{
    m_stop.store(true);
    std::vector<std::shared_ptr<State>> all;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        all.swap(m_threads);
    }
    for (const std::shared_ptr<State>& s : all)
        s->join();
}

} // namespace common
