// FileLister.cpp: reading a folder's files: readdir on the lister's own thread, fstatat on worker
// threads part by part, the parts taken up in listing order on the caller's thread.
#include "foldersize/scanner/FileLister.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/FileTypes.h"

namespace foldersize {

namespace {

// What a worker found about one name of the folder.
struct LookedFile {
    bool listed = false;  // a file (not a folder, not gone)
    bool oddDate = false; // the change time is outside the years 1 to 9999
    bool linked = false;  // several hard links
    dev_t dev = 0;
    ino_t ino = 0;
    FileEntry entry;
};

} // namespace

// Names of one part of the folder and, once looked at, their files.
struct FileLister::Batch {
    std::vector<std::string> names;
    std::vector<LookedFile> looked;
    common::BackgroundWork::Task done; // the worker that looks at the batch
};

// The parts the reader has seen looked at, in listing order, until the caller takes them up.
struct FileLister::Handover {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<std::unique_ptr<Batch>> parts;
    bool finished = false; // the reader has handed on its last part
};

namespace {

// Looks at the named entries of the folder open as dirFd. Safe on any thread.
void lookAt(int dirFd, const std::vector<std::string>& names, std::vector<LookedFile>& out)
{
    constexpr qint64 kFirst = -62135596800 + 86400; // 0001-01-02
    constexpr qint64 kLast = 253402300799 - 86400;  // 9999-12-30
    out.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        struct stat st {};
        if (::fstatat(dirFd, names[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
            continue; // folders (and "." and "..") are not listed; vanished entries neither
        auto& l = out[i];
        l.listed = true;
        FileEntry& f = l.entry;
        f.name = names[i];
        f.size = xGetFileSize(st);
        f.mtime = static_cast<qint64>(st.st_mtim.tv_sec);
        l.oddDate = f.mtime < kFirst || f.mtime > kLast;
        f.extension = QString::fromUtf8(realExtension(f.name).c_str()).toUpper();
        f.typeName = f.extension;
        l.linked = st.st_nlink > 1;
        l.dev = st.st_dev;
        l.ino = st.st_ino;
    }
}

} // namespace

FileLister::FileLister(std::string folder)
    : m_folder(std::move(folder))
    , m_handover(std::make_unique<Handover>())
{
    xAddBackslash(m_folder);
    DIR* d = ::opendir(m_folder.c_str());
    m_dir.reset(d);
    m_opened = d != nullptr;
    m_allTaken = !m_opened;
    if (!d)
        return;
    // Room for the files at once, so a big folder's list is not moved again and again while it
    // grows. A folder's size tells roughly how many names it holds (ext4 gives about 28 bytes a
    // name, tmpfs 20, btrfs twice the names' length): a sixteenth errs on the side of room, which
    // costs address space only. Bounded, so an odd size cannot ask for much.
    struct stat st {};
    if (::fstat(::dirfd(d), &st) == 0 && st.st_size > 0)
        m_entries.reserve(std::min<std::size_t>(static_cast<std::size_t>(st.st_size) / 16, kMaxReserved));
    // Without a thread to be had the folder is read here, at once.
    m_reader = common::BackgroundWork::program().start([this] { readAll(); });
}

FileLister::~FileLister()
{
    m_cancel.store(true);
    m_reader.wait();
}

// The reader: reads the names, has workers look at them part by part and hands the parts on in
// listing order as they are looked at.
void FileLister::readAll()
{
    DIR* d = m_dir.get();
    const int fd = ::dirfd(d);
    std::deque<std::unique_ptr<Batch>> out; // handed to workers, in listing order
    // Hands on the parts at the front that are looked at; waits for the first one when `wait`.
    const auto handOn = [this, &out](bool wait) {
        std::deque<std::unique_ptr<Batch>> ready;
        while (!out.empty()) {
            Batch& b = *out.front();
            if (!wait && !b.done.ready())
                break;
            b.done.wait();
            wait = false;
            ready.push_back(std::move(out.front()));
            out.pop_front();
        }
        if (ready.empty())
            return;
        {
            std::lock_guard<std::mutex> lock(m_handover->mutex);
            for (auto& b : ready)
                m_handover->parts.push_back(std::move(b));
        }
        m_handover->ready.notify_one();
    };
    auto reading = std::make_unique<Batch>();
    while (!m_cancel.load(std::memory_order_relaxed)) {
        const dirent* e = ::readdir(d);
        if (!e)
            break;
        reading->names.emplace_back(e->d_name);
        if (reading->names.size() < kBatchSize)
            continue;
        while (out.size() >= kMaxBatchesInFlight)
            handOn(true);
        Batch* raw = reading.get();
        raw->done =
            common::BackgroundWork::program().start([fd, raw] { lookAt(fd, raw->names, raw->looked); });
        out.push_back(std::exchange(reading, std::make_unique<Batch>()));
        handOn(false);
    }
    if (!m_cancel.load() && !reading->names.empty()) {
        lookAt(fd, reading->names, reading->looked);
        out.push_back(std::move(reading));
    }
    // The workers read the folder's handle: all end before the reader does.
    while (!out.empty())
        handOn(true);
    {
        std::lock_guard<std::mutex> lock(m_handover->mutex);
        m_handover->finished = true;
    }
    m_handover->ready.notify_one();
}

bool FileLister::step(int budget)
{
    if (m_allTaken)
        return false;
    std::deque<std::unique_ptr<Batch>> parts;
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(m_handover->mutex);
        Handover& h = *m_handover;
        if (h.parts.empty() && !h.finished)
            h.ready.wait_for(lock, std::chrono::milliseconds(1));
        std::size_t taken = 0;
        while (
            !h.parts.empty() && (parts.empty() || taken <= static_cast<std::size_t>(std::max(budget, 0)))) {
            taken += h.parts.front()->names.size();
            parts.push_back(std::move(h.parts.front()));
            h.parts.pop_front();
        }
        finished = h.finished && h.parts.empty();
    }
    for (auto& b : parts)
        takeUp(*b);
    if (finished) {
        m_allTaken = true;
        m_reader.wait();
        m_dir.reset();
    }
    return !m_allTaken;
}

// Takes up one part that workers have looked at.
void FileLister::takeUp(Batch& b)
{
    for (LookedFile& l : b.looked) {
        if (!l.listed)
            continue;
        FileEntry& f = l.entry;
        // Only a time outside the years 1 to 9999 needs the slow check (and its log line), which
        // reads the change time alone.
        if (l.oddDate) {
            struct stat st {};
            st.st_mtim.tv_sec = static_cast<time_t>(f.mtime);
            f.mtime = xGetFileDate(st, m_folder + f.name).toSecsSinceEpoch();
        }
        // A file with several hard links counts once, at its first link, as in the tree.
        f.repeatLink = l.linked && !m_linked.insert({l.dev, l.ino}).second;
        if (!f.repeatLink) {
            m_total += f.size;
            ++m_count;
        }
        m_entries.push_back(std::move(f));
    }
}

} // namespace foldersize
