// TreeCopyWalk.cpp: the tree copy's work run beside the caller (TreeCopyEngine stepped on a thread
// of the program's background driver), its steps handed over in order through a bounded queue.
#include "platform/TreeCopyWalk.h"

#include "common/BackgroundWork.h"
#include "platform/TreeCopyEngine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <utility>

#include <pthread.h>

namespace platform {

namespace {

// How long a step waits for the work beside before it answers Working.
constexpr auto kStepWait = std::chrono::milliseconds(2);
// A waiting step is woken early only once this many steps are ready (or the last): waking it for
// every small file cost two thread switches a file, a third of the copy's time.
constexpr std::size_t kWakeAfter = 64;
// How often waiting work looks at the driver's stop flag (the program's end).
constexpr auto kStopLook = std::chrono::milliseconds(20);

} // namespace

struct TreeCopyWalk::Beside {
    explicit Beside(TreeCopyOptions options)
        : ahead(std::max<std::size_t>(options.stepsAhead, 1))
        , endAtDiskFull(options.endAtDiskFull)
        , engine(std::move(options))
    {}

    const std::size_t ahead;
    const bool endAtDiskFull;
    TreeCopyEngine engine; // used by the work beside only, once it has started
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<TreeStep> ready;    // done and not yet taken (guarded by mutex, as the flags below)
    std::atomic<bool> ended{false}; // the work has let go of everything
    bool takerWaiting = false;
    bool workWaiting = false;

    bool stopping() const { return stop || common::BackgroundWork::program().stopping(); }
    void run();
    void askToStop()
    {
        stop = true;
        const std::lock_guard<std::mutex> lock(mutex);
        changed.notify_all();
    }
};

namespace {

// The walks whose work runs beside, for stopAll and waitForStopped.
struct Running {
    std::mutex mutex;
    std::condition_variable changed;
    std::set<std::shared_ptr<TreeCopyWalk::Beside>> all;
};

Running& running()
{
    // Never destroyed: at the process's end the work of a walk that ended may still be taking
    // itself off the list.
    static Running& r = *new Running;
    // A forked child (a test's child process) has none of the walks' threads: it must never wait
    // for them nor find the list locked by one of them, and must not touch their files.
    static const bool forkAware = [] {
        ::pthread_atfork([] { r.mutex.lock(); }, [] { r.mutex.unlock(); },
            [] {
                r.mutex.unlock();
                new std::set<std::shared_ptr<TreeCopyWalk::Beside>>(std::move(r.all)); // never let go
                r.all.clear();
            });
        return true;
    }();
    (void)forkAware;
    return r;
}

} // namespace

void TreeCopyWalk::Beside::run()
{
    while (!stopping()) {
        TreeStep s = engine.step();
        const bool last = s.kind == TreeStepKind::Done || (endAtDiskFull && s.error == FsError::DiskFull);
        std::unique_lock<std::mutex> lock(mutex);
        ready.push_back(std::move(s));
        if (takerWaiting && (last || ready.size() >= kWakeAfter))
            changed.notify_all();
        if (last)
            break;
        while (ready.size() >= ahead && !stopping()) {
            workWaiting = true;
            changed.wait_for(lock, kStopLook);
            workWaiting = false;
        }
    }
    // Stopped: the file under way is removed, the folders' side files written.
    engine.close();
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ended = true;
        changed.notify_all();
    }
}

TreeCopyWalk::TreeCopyWalk(TreeCopyOptions options)
    : m_options(std::move(options))
{}

TreeCopyWalk::~TreeCopyWalk() { close(); }

FsError TreeCopyWalk::open(FileSystem& fileSystem, std::string_view source, std::string_view destination)
{
    close();
    auto beside = std::make_shared<Beside>(m_options);
    const FsError opened = beside->engine.open(fileSystem, source, destination);
    if (opened != FsError::None)
        return opened;
    m_beside = beside;
    // Until the work says where it is, a Working step names the two folders.
    const auto folder = [](std::string_view path) {
        while (path.size() > 2 && (path.back() == '\\' || path.back() == '/'))
            path.remove_suffix(1);
        return std::string(path);
    };
    m_last = TreeStep{};
    m_last.sourceFolder = folder(source);
    m_last.destFolder = folder(destination);
    if (m_options.callersThread) {
        m_inline = true;
        return FsError::None;
    }
    Running& r = running();
    {
        const std::lock_guard<std::mutex> lock(r.mutex);
        r.all.insert(beside);
    }
    m_inline = !common::BackgroundWork::program().tryRunBeside([beside] {
        beside->run();
        Running& all = running();
        const std::lock_guard<std::mutex> lock(all.mutex);
        all.all.erase(beside);
        all.changed.notify_all();
    });
    if (m_inline) {
        const std::lock_guard<std::mutex> lock(r.mutex);
        r.all.erase(beside);
    }
    return FsError::None;
}

// Takes over what the work beside did since the last look, waiting a little when it did nothing
// new; false when there is nothing.
bool TreeCopyWalk::take()
{
    Beside& b = *m_beside;
    m_taken.clear();
    m_next = 0;
    std::unique_lock<std::mutex> lock(b.mutex);
    if (b.ready.empty() && !b.ended) {
        b.takerWaiting = true;
        b.changed.wait_for(lock, kStepWait, [&b] { return !b.ready.empty() || b.ended; });
        b.takerWaiting = false;
    }
    std::swap(m_taken, b.ready);
    if (b.workWaiting)
        b.changed.notify_all();
    return !m_taken.empty();
}

TreeStep TreeCopyWalk::step()
{
    if (!m_beside)
        return {};
    if (m_inline) {
        TreeStep s = m_beside->engine.step();
        if (s.kind == TreeStepKind::Done)
            m_beside.reset();
        return s;
    }
    if (m_next >= m_taken.size() && !take()) {
        if (m_beside->ended) {
            // Stopped from outside (the program's way out): nothing more comes.
            m_beside.reset();
            return {};
        }
        TreeStep working = m_last;
        working.kind = TreeStepKind::Working;
        working.error = FsError::None;
        return working;
    }
    TreeStep& s = m_taken[m_next++];
    if (s.kind == TreeStepKind::Done)
        m_beside.reset();
    else if (m_next == m_taken.size())
        m_last = s; // once per part taken over, for the Working steps that may follow
    return std::move(s);
}

void TreeCopyWalk::close()
{
    m_taken.clear();
    m_next = 0;
    if (!m_beside)
        return;
    if (m_inline)
        m_beside->engine.close();
    else
        m_beside->askToStop();
    m_beside.reset();
}

bool TreeCopyWalk::done() const { return !m_beside; }

void TreeCopyWalk::stopAll()
{
    Running& r = running();
    std::unique_lock<std::mutex> lock(r.mutex);
    for (const std::shared_ptr<Beside>& b : r.all)
        b->askToStop();
    r.changed.wait(lock, [&r] { return r.all.empty(); });
}

void TreeCopyWalk::waitForStopped()
{
    Running& r = running();
    std::unique_lock<std::mutex> lock(r.mutex);
    r.changed.wait(lock, [&r] {
        return std::none_of(
            r.all.begin(), r.all.end(), [](const std::shared_ptr<Beside>& b) { return b->stop.load(); });
    });
}

} // namespace platform
