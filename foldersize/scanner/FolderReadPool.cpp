// FolderReadPool.cpp: the workers' job stack, folder handles shared by the subfolders that wait
// for them, and the listing of one folder with getdents64 and fstatat.
#include "foldersize/scanner/FolderReadPool.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <system_error>
#include <thread>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldersize {

// An open (or closed and reopenable) folder whose subfolders wait to be read. The chain of
// parents leads back to the root, so a closed handle can be opened again by name.
struct FolderReadPool::Handle {
    std::shared_ptr<Handle> parent;
    std::string name;
    FileId id{};
    std::mutex mutex;
    int fd = -1;                 // guarded by mutex
    std::atomic<int> pending{0}; // subfolders that have not opened their folder yet

    ~Handle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {

// Keeps fd only when it is still the folder measured before; closes it otherwise.
int sameFolderOrClose(int fd, FileId id)
{
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || FileId{st.st_dev, st.st_ino} != id)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

FolderReadPool::FolderReadPool(int rootFd, FileId rootId, std::string rootPath,
    std::shared_ptr<FolderListing> rootListing, unsigned threads)
    : m_rootPath(std::move(rootPath))
{
    m_claimed.emplace(rootId, rootListing);
    Job root;
    root.name = m_rootPath;
    root.id = rootId;
    root.listing = std::move(rootListing);
    root.fd = rootFd;
    m_jobs.push_back(std::move(root));
    threads = std::max(threads, 1u);
    m_workers.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        common::BackgroundWork::Task worker;
        if (!common::BackgroundWork::program().tryStart([this] { work(); }, worker)) {
            // Fewer workers do the same work; none at all leaves the scan to the caller.
            if (!m_workers.empty())
                break;
            ::close(rootFd);
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        m_workers.push_back(std::move(worker));
    }
}

FolderReadPool::~FolderReadPool() { cancel(); }

unsigned FolderReadPool::defaultThreads()
{
    return std::clamp(2 * std::thread::hardware_concurrency(), 1u, 16u);
}

void FolderReadPool::cancel()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancel.store(true);
    }
    m_jobsCv.notify_all();
    for (common::BackgroundWork::Task& worker : m_workers)
        worker.wait();
    for (Job& job : m_jobs)
        if (job.fd >= 0)
            ::close(job.fd);
    m_jobs.clear();
}

void FolderReadPool::waitForProgress(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_progressMutex);
    m_progressCv.wait_for(lock, std::chrono::milliseconds(timeoutMs));
}

std::string FolderReadPool::lastFolder() const
{
    std::shared_ptr<const Handle> h;
    {
        std::lock_guard<std::mutex> lock(m_lastMutex);
        h = m_last;
    }
    // The names of a handle and its parents stay as they were made.
    std::vector<const std::string*> names;
    for (const Handle* x = h.get(); x; x = x->parent.get())
        names.push_back(&x->name);
    std::string path;
    for (std::size_t i = names.size(); i-- > 0;) {
        path += *names[i];
        if (path.empty() || path.back() != '/')
            path += '/';
    }
    return path;
}

void FolderReadPool::work()
{
    FolderEntryReader reader;
    // Subfolders this worker found while the shared stack was full; it reads them itself. It
    // counts as active while it holds any, so no other worker takes the tree for read.
    std::vector<Job> own;
    for (;;) {
        Job job;
        bool gave = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (own.empty()) {
                m_jobsCv.wait(lock, [this] { return m_cancel.load() || !m_jobs.empty() || m_active == 0; });
                // No job and nobody who could make one: the tree is read.
                if (m_cancel.load() || m_jobs.empty())
                    break;
                job = std::move(m_jobs.back());
                m_jobs.pop_back();
                ++m_active;
            } else {
                if (m_cancel.load())
                    break;
                // Hand what waits longest to the others as soon as the shared stack has room.
                const std::size_t room = kMaxQueuedJobs - std::min(kMaxQueuedJobs, m_jobs.size());
                const std::size_t n = std::min(own.size() - 1, room);
                for (std::size_t i = 0; i < n; ++i)
                    m_jobs.push_back(std::move(own[i]));
                own.erase(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(n));
                gave = n > 0;
                job = std::move(own.back());
                own.pop_back();
            }
        }
        if (gave)
            m_jobsCv.notify_all();
        run(job, reader, own);
        bool allDone = false;
        if (own.empty()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_active;
            allDone = m_active == 0 && m_jobs.empty();
        }
        if (allDone)
            m_jobsCv.notify_all();
    }
    m_progressCv.notify_all();
}

void FolderReadPool::run(Job& job, FolderEntryReader& reader, std::vector<Job>& own)
{
    FolderListing& out = *job.listing;
    int fd = job.fd >= 0 ? std::exchange(job.fd, -1) : openJob(job);
    if (job.parent)
        fd = admitSubfolder(fd, job.parent->id.first, job.id, out);
    if (fd >= 0) {
        auto h = std::make_shared<Handle>();
        h->parent = std::move(job.parent);
        h->name = std::move(job.name);
        h->id = job.id;
        h->fd = fd;
        ++m_held;
        {
            std::lock_guard<std::mutex> lock(m_lastMutex);
            m_last = h;
        }
        int budget = std::numeric_limits<int>::max();
        reader.read(fd, out, budget, &m_cancel);
        std::vector<Job> jobs = claimSubfolders(out, h);
        // Nothing waits for this folder, or too many handles are kept: its subfolders reopen it.
        if (jobs.empty() || m_held.load() > kMaxHeldFolders)
            closeHeld(h.get());
        pushJobs(jobs, own);
    }
    out.done.store(true, std::memory_order_release);
    m_progressCv.notify_one();
}

std::vector<FolderReadPool::Job> FolderReadPool::claimSubfolders(
    FolderListing& out, const std::shared_ptr<Handle>& h)
{
    for (FolderListing::Subfolder& sub : out.subfolders)
        sub.listing.reset(new FolderListing); // its own block: a weak reference keeps no listing
    std::vector<Job> jobs;
    {
        std::lock_guard<std::mutex> lock(m_claimedMutex);
        for (FolderListing::Subfolder& sub : out.subfolders) {
            auto [it, first] = m_claimed.try_emplace(sub.id, sub.listing);
            if (!first) {
                sub.sameAs = it->second;
                sub.listing.reset();
            }
        }
    }
    // Last in, first out: the first name is read first.
    for (std::size_t i = out.subfolders.size(); i-- > 0;)
        if (const FolderListing::Subfolder& sub = out.subfolders[i]; sub.listing)
            jobs.push_back({h, sub.name, sub.id, sub.listing});
    h->pending.store(static_cast<int>(jobs.size()));
    return jobs;
}

void FolderReadPool::pushJobs(std::vector<Job>& jobs, std::vector<Job>& own)
{
    // jobs ends with the first name. The shared stack takes what it has room for; the first names,
    // needed first, stay with this worker when it is full.
    std::size_t i = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (; i < jobs.size() && m_jobs.size() < kMaxQueuedJobs; ++i)
            m_jobs.push_back(std::move(jobs[i]));
    }
    for (std::size_t k = i; k < jobs.size(); ++k)
        own.push_back(std::move(jobs[k]));
    if (i > 0)
        m_jobsCv.notify_all();
}

int FolderReadPool::openJob(const Job& job)
{
    Handle* p = job.parent.get();
    int fd = -1;
    bool closed = false;
    {
        std::lock_guard<std::mutex> lock(p->mutex);
        if (p->fd >= 0)
            fd = openBelow(p->fd, job.name);
        else
            closed = true;
    }
    if (closed) {
        int pfd = reopen(p);
        {
            // Keep the reopened handle when more subfolders wait for it and the limit allows.
            std::lock_guard<std::mutex> lock(p->mutex);
            if (pfd >= 0 && p->fd < 0 && p->pending.load() > 1 && m_held.load() < kMaxHeldFolders) {
                p->fd = std::exchange(pfd, -1);
                ++m_held;
            }
            fd = openBelow(p->fd >= 0 ? p->fd : pfd, job.name);
        }
        if (pfd >= 0)
            ::close(pfd);
    }
    // Why the folder could not be opened, for admitSubfolder (closing and releasing may change it).
    const int error = errno;
    release(p);
    errno = error;
    return fd;
}

int FolderReadPool::reopen(Handle* h)
{
    // Up to the nearest open ancestor (or the root, opened by its path again), then down by name;
    // every folder on the way must still be the one measured before.
    std::vector<Handle*> chain;
    int fd = -1;
    for (Handle* x = h;; x = x->parent.get()) {
        chain.push_back(x);
        Handle* p = x->parent.get();
        if (!p) {
            fd = ::open(m_rootPath.c_str(), kFolderOpenFlags);
            break;
        }
        std::lock_guard<std::mutex> lock(p->mutex);
        if (p->fd >= 0) {
            fd = openBelow(p->fd, x->name);
            break;
        }
    }
    fd = sameFolderOrClose(fd, chain.back()->id);
    for (std::size_t i = chain.size() - 1; i-- > 0 && fd >= 0;) {
        const int next = sameFolderOrClose(openBelow(fd, chain[i]->name), chain[i]->id);
        // The folders just above h are asked for next (the scan comes back up): a few of those that
        // still have subfolders waiting keep their handle, so the way is not walked again each time.
        if (i + 1 > kKeptOnReopen || !keepReopened(chain[i + 1], fd))
            ::close(fd);
        fd = next;
    }
    return fd;
}

bool FolderReadPool::keepReopened(Handle* h, int fd)
{
    std::lock_guard<std::mutex> lock(h->mutex);
    if (h->fd >= 0 || h->pending.load() <= 0)
        return false;
    h->fd = fd;
    ++m_held;
    return true;
}

void FolderReadPool::release(Handle* h)
{
    if (h->pending.fetch_sub(1) == 1)
        closeHeld(h);
}

void FolderReadPool::closeHeld(Handle* h)
{
    std::lock_guard<std::mutex> lock(h->mutex);
    if (h->fd >= 0) {
        ::close(h->fd);
        h->fd = -1;
        --m_held;
    }
}

} // namespace foldersize
