// BackgroundWork.h: the one owner of a program's background threads. Work is started here only,
// and every thread is joined: by its task, or at the latest when the driver stops. Nothing is
// detached; work that may run long carries its own way to end early (a stop flag of its options,
// or the driver's own, which a copy walk reads).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace common {

class BackgroundWork {
    struct State;

public:
    // One piece of work started with start(). Waits for it when destroyed.
    class Task {
    public:
        Task() = default;
        Task(Task&&) noexcept = default;
        Task& operator=(Task&& other) noexcept;
        ~Task() { wait(); }

        // Returns when the work has ended (at once for work that ran on the caller's thread).
        void wait();
        // True when the work has ended.
        bool ready() const;

    private:
        friend class BackgroundWork;
        std::shared_ptr<State> m_state;
    };

    BackgroundWork() = default;
    // Stops: joins every thread still running.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // Runs work on a thread of its own; when no thread can be started, here at once.
    [[nodiscard]] Task start(std::function<void()> work);
    // Runs work on a thread of its own, which task then stands for. False (and work not run) when
    // no thread can be started.
    [[nodiscard]] bool tryStart(std::function<void()> work, Task& task);
    // Runs work beside the caller, who does not wait for it: the driver joins its thread once it
    // has ended, or when it stops.
    void runBeside(std::function<void()> work);
    // The same, but false (and work not run) when no thread can be started.
    [[nodiscard]] bool tryRunBeside(std::function<void()> work);

    // Set once stop() began: work beside that cannot be reached otherwise ends early on it.
    bool stopping() const { return m_stop.load(std::memory_order_relaxed); }
    // Sets the stop flag and joins every thread still running.
    void stop();

    // The program's driver. Process-wide: the program's one owner of background threads; it stops
    // when the program ends.
    static BackgroundWork& program();

private:
    std::shared_ptr<State> launch(const std::shared_ptr<std::function<void()>>& work);
    void reapEnded();

    std::mutex m_mutex;
    std::vector<std::shared_ptr<State>> m_threads; // guarded by m_mutex
    std::atomic<bool> m_stop{false};
};

} // namespace common
