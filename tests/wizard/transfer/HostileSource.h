// HostileSource.h: a source folder holding what a host folder may hold but a Windows drive may not
// (names with "\" and "?", device names, trailing dots, invalid text, names equal but for case, a
// path longer than Windows allows, a pipe and a link to a device), what a copy of it must deliver,
// a snapshot of a whole host drive for comparing a destination before and after, and a guard that
// keeps a copy waiting on the pipe from hanging its test.
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace transfertest {

// Relative host path ('/' between folders) to content, of every regular file below `root`.
inline std::map<std::string, std::string> hostFiles(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file() || e.is_symlink() || e.path().filename().string().front() == ':')
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        files[fs::relative(e.path(), root).generic_string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// Plants the hostile entries in `folder` (a host folder of the source) and returns what a copy of
// that folder must deliver: relative path below the copy's target to content.
inline std::map<std::string, std::string> plantHostileSource(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    const auto put = [&](const fs::path& relative, const std::string& content) {
        fs::create_directories((folder / relative).parent_path());
        std::ofstream(folder / relative, std::ios::binary) << content;
    };
    put(fs::path("..\\WINDOWS") / "WIN.INI", "planted");
    put(fs::path("..\\..\\..\\WINDOWS") / "WIN.INI", "planted deeper");
    put(fs::path("sub\\..\\..\\..") / "x.txt", "escape");
    for (const char* name : {"what?.txt", "a<b>.txt", "pipe|d", "c:x", "st*r", "say\"hi\"", "ctl\x01", "CON",
             "nul.txt", "COM1", "end.", "end ", "bad\xFF.txt"})
        put(name, "bad name");
    put("FILE.TXT", "FILE.TXT");
    put("File.txt", "File.txt");
    put("file.txt", "file.txt");
    put("DOCS/kept.txt", "DOCS");
    put("Docs/inner.txt", "Docs");
    const std::string longName(100, 'L');
    put(fs::path(longName) / longName / longName / "deep.txt", "too long");
    put("good.txt", "good");
    ::mkfifo((folder / "pipe").c_str(), 0644);
    fs::create_symlink("/dev/zero", folder / "zero");
    return {{"FILE.TXT", "FILE.TXT"}, {"DOCS/kept.txt", "DOCS"}, {"good.txt", "good"}};
}

// Keeps a copy that waits on the planted pipe from hanging its test: after half a minute a writer
// opens and closes the pipe, which lets a waiting reader go on, and `released()` tells the test.
class PipeGuard {
public:
    explicit PipeGuard(std::filesystem::path pipe)
        : m_pipe(std::move(pipe))
        , m_thread([this] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_done.wait_for(lock, std::chrono::seconds(30), [this] { return m_finished; }))
                return;
            const int w = ::open(m_pipe.c_str(), O_WRONLY | O_NONBLOCK);
            m_released = w >= 0;
            if (w >= 0)
                ::close(w);
        })
    {}
    ~PipeGuard()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    PipeGuard(const PipeGuard&) = delete;
    PipeGuard& operator=(const PipeGuard&) = delete;

    bool released()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_released;
    }

private:
    std::filesystem::path m_pipe;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_released = false;
    std::thread m_thread;
};

} // namespace transfertest
