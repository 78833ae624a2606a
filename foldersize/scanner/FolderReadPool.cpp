// FolderReadPool.cpp: the workers' job stack, folder handles shared by the subfolders that wait
// for them, and the listing of one folder with getdents64 and fstatat.
#include "foldersize/scanner/FolderReadPool.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <system_error>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foldersize/scanner/FolderNode.h"

namespace foldersize {

// An open (or closed and reopenable) folder whose subfolders wait to be read. The chain of
// parents leads back to the root, so a closed handle can be opened again by name.
struct FolderReadPool::Handle {
    std::shared_ptr<Handle> parent;
    std::string name;
    dev_t dev = 0;
    ino_t ino = 0;
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

// Opens name below dirFd without following a link, or -1.
int openBelow(int dirFd, const std::string& name)
{
    return dirFd < 0 ? -1 : ::openat(dirFd, name.c_str(), kFolderOpenFlags | O_NOFOLLOW);
}

// Keeps fd only when it is still the folder measured before; closes it otherwise.
int sameFolderOrClose(int fd, dev_t dev, ino_t ino)
{
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_dev != dev || st.st_ino != ino)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

FolderReadPool::FolderReadPool(
    int rootFd, FileId rootId, std::string rootPath, FolderListing* rootListing, unsigned threads)
    : m_rootPath(std::move(rootPath))
{
    m_seenFolders.insert(rootId);
    Job root;
    root.name = m_rootPath;
    root.dev = rootId.first;
    root.ino = rootId.second;
    root.listing = rootListing;
    root.fd = rootFd;
    m_jobs.push_back(std::move(root));
    threads = std::max(threads, 1u);
    m_threads.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // Fewer workers do the same work; none at all leaves the scan to the caller.
            if (!m_threads.empty())
                break;
            ::close(rootFd);
            throw;
        }
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
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
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

void FolderReadPool::work()
{
    std::vector<char> buffer(kFolderBufferSize);
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
        run(job, buffer, own);
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

void FolderReadPool::run(Job& job, std::vector<char>& buffer, std::vector<Job>& own)
{
    FolderListing& out = *job.listing;
    const int fd = job.fd >= 0 ? std::exchange(job.fd, -1) : openJob(job);
    if (fd < 0) {
        // No access, or gone: the folder counts as empty.
        out.readable = false;
    } else if (job.parent && job.dev != job.parent->dev && isPseudoFileSystem(fd)) {
        ::close(fd);
        out.pseudo = true;
    } else {
        auto h = std::make_shared<Handle>();
        h->parent = std::move(job.parent);
        h->name = std::move(job.name);
        h->dev = job.dev;
        h->ino = job.ino;
        h->fd = fd;
        ++m_held;
        std::vector<FileId> ids;
        readEntries(fd, out, buffer, ids);
        std::vector<std::size_t> order(ids.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(),
            [&out](std::size_t a, std::size_t b) { return out.subfolders[a].name < out.subfolders[b].name; });
        std::vector<FolderListing::Subfolder> sorted(order.size());
        std::vector<Job> jobs(order.size());
        h->pending.store(static_cast<int>(order.size()));
        for (std::size_t i = 0; i < order.size(); ++i) {
            sorted[i].name = std::move(out.subfolders[order[i]].name);
            sorted[i].listing = std::make_unique<FolderListing>();
            // Last in, first out: the first name is read first.
            Job& j = jobs[order.size() - 1 - i];
            j.parent = h;
            j.name = sorted[i].name;
            j.dev = ids[order[i]].first;
            j.ino = ids[order[i]].second;
            j.listing = sorted[i].listing.get();
        }
        out.subfolders = std::move(sorted);
        // Nothing waits for this folder, or too many handles are kept: its subfolders reopen it.
        if (jobs.empty() || m_held.load() > kMaxHeldFolders)
            closeHeld(h.get());
        pushJobs(jobs, own);
    }
    out.done.store(true, std::memory_order_release);
    m_progressCv.notify_one();
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
    release(p);
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
    fd = sameFolderOrClose(fd, chain.back()->dev, chain.back()->ino);
    for (std::size_t i = chain.size() - 1; i-- > 0 && fd >= 0;) {
        const int next = sameFolderOrClose(openBelow(fd, chain[i]->name), chain[i]->dev, chain[i]->ino);
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

void FolderReadPool::readEntries(
    int fd, FolderListing& out, std::vector<char>& buffer, std::vector<FileId>& subIds)
{
    for (;;) {
        const ssize_t n = ::getdents64(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            // The folder vanished or cannot be read: what was read so far stays counted.
            if (n < 0)
                out.readable = false;
            return;
        }
        for (std::size_t pos = 0; pos < static_cast<std::size_t>(n);) {
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer.data() + pos);
            pos += d->d_reclen;
            if (isDotOrDotDot(d->d_name))
                continue;
            if (m_cancel.load(std::memory_order_relaxed))
                return;
            ++out.entries;
            struct stat st {};
            if (::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // vanished between listing and looking: it adds nothing
            const auto size = static_cast<std::uint64_t>(st.st_size < 0 ? 0 : st.st_size);
            if (S_ISDIR(st.st_mode)) {
                out.folderEntryBytes += size;
                // A folder reached twice (a bind mount) is measured once only.
                bool first = false;
                {
                    std::lock_guard<std::mutex> lock(m_seenMutex);
                    first = m_seenFolders.insert({st.st_dev, st.st_ino}).second;
                }
                if (!first) {
                    ++out.skippedRepeats;
                    continue;
                }
                out.subfolders.push_back({d->d_name, nullptr});
                subIds.push_back({st.st_dev, st.st_ino});
            } else if (st.st_nlink > 1) {
                out.linkedFiles.push_back({st.st_dev, st.st_ino, size});
            } else {
                out.ownBytes = addSaturated(out.ownBytes, size);
                ++out.ownFiles;
            }
        }
    }
}

} // namespace foldersize
