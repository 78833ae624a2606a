// RunRecord.cpp: the run record as a file "<pid>.run" in the machine's "runs" folder, held under a
// flock() for the process's life (a process that ends, however, lets go of it). It is appended to,
// never rewritten: entries end with a NUL, which no host path or share name holds. "P" and a host
// folder: a copy under way was written there; "C", a drive letter and the remote path: a
// connection made; "D" and a letter: that connection cancelled.
#include "platform/RunRecord.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/FileSystemHost.h"
#include "platform/HostFile.h"

#include <cctype>
#include <map>
#include <mutex>
#include <string_view>
#include <unordered_set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
namespace host = common::hostcalls;

constexpr const char* kRunsFolder = "runs";
constexpr const char* kSuffix = ".run";

struct Record {
    std::mutex mutex;
    int fd = -1;
    fs::path machine;
    fs::path file;
    std::unordered_set<std::string> folders; // noted already
    std::vector<std::string> left;           // files that could not be removed
};

Record& record()
{
    static Record r;
    return r;
}

// Appends one entry; the caller holds the mutex. False when it could not be written.
bool append(Record& r, const std::string& entry) { return r.fd >= 0 && writeAllToHost(r.fd, entry + '\0'); }

// The host path of an open folder as the kernel knows it; empty when it cannot be told.
fs::path folderPath(int folder)
{
    std::error_code ec;
    const fs::path path = fs::read_symlink("/proc/self/fd/" + std::to_string(folder), ec);
    return ec ? fs::path() : path;
}

bool sameMachine(const Record& r, const fs::path& machineFolder)
{
    std::error_code ec;
    return r.fd >= 0 && fs::equivalent(r.machine, machineFolder, ec);
}

// The process id a record's file name carries ("5164.run"); 0 when it is no record's name.
long recordPid(const std::string& name)
{
    const std::string_view suffix(kSuffix);
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    long pid = 0;
    for (std::size_t i = 0; i + suffix.size() < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || pid > 99999999)
            return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

// Removes the partial copies a process left in a folder: its partial name, that name with a
// number after a "." (each tree copy has one of its own) and its fresh names of files replaced
// whole. How many were removed.
int removePartialCopies(const fs::path& folder, const std::string& partial, long pid)
{
    int count = host::removeAt(AT_FDCWD, (folder / partial).c_str()) == 0;
    const int fd = host::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            host::close(fd);
        return count;
    }
    const std::string numbered = partial + ".";
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name(e->d_name);
        if (name.rfind(numbered, 0) == 0 || host::freshNamePid(name) == pid)
            count += host::removeAt(fd, e->d_name) == 0;
    }
    ::closedir(dir);
    return count;
}

// Takes away what one record of a run that did not end names.
void removeWhatItLeft(const std::string& bytes, long pid, Network& network, UnfinishedRunsRemoved& removed)
{
    const std::string partial = hostfs::partialName(pid);
    std::map<char, std::string> connected;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\0', at);
        if (end == std::string::npos)
            end = bytes.size(); // an entry cut short by the end of the run: taken as it stands
        const std::string_view entry(bytes.data() + at, end - at);
        at = end + 1;
        if (entry.size() > 1 && entry[0] == 'P') {
            removed.partialFiles += removePartialCopies(fs::path(std::string(entry.substr(1))), partial, pid);
        } else if (entry.size() > 2 && entry[0] == 'C') {
            connected[entry[1]] = std::string(entry.substr(2));
        } else if (entry.size() == 2 && entry[0] == 'D') {
            connected.erase(entry[1]);
        }
    }
    for (const auto& [letter, remote] : connected) {
        // A letter connected anew since (by the user, or another run) is not this run's.
        const auto now = network.connection(letter);
        if (now && equalsNoCase(now->remotePath, remote) &&
            network.cancelConnection(std::string(1, letter) + ":") == WinError::Success)
            removed.drives.push_back(letter);
    }
}

} // namespace

bool RunRecord::start(const fs::path& machineFolder)
{
    Record& r = record();
    {
        const std::lock_guard<std::mutex> lock(r.mutex);
        if (sameMachine(r, machineFolder))
            return true;
    }
    finish();
    const fs::path folder = machineFolder / kRunsFolder;
    host::makeFolderAt(AT_FDCWD, folder.c_str(), 0777); // there already, or the open below says why
    const fs::path file = folder / (std::to_string(::getpid()) + kSuffix);
    const int fd =
        host::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        host::close(fd);
        return false;
    }
    const std::lock_guard<std::mutex> lock(r.mutex);
    r.fd = fd;
    r.machine = machineFolder;
    r.file = file;
    r.folders.clear();
    r.left.clear();
    return true;
}

void RunRecord::finish()
{
    Record& r = record();
    const std::lock_guard<std::mutex> lock(r.mutex);
    if (r.fd < 0)
        return;
    // A record whose run left files behind stays, unlocked once closed: the next start reads it.
    if (r.left.empty())
        host::removeAt(AT_FDCWD, r.file.c_str());
    host::close(r.fd);
    r.fd = -1;
    r.folders.clear();
}

void RunRecord::noteConnection(const fs::path& machineFolder, char letter, const std::string& remote)
{
    Record& r = record();
    const std::lock_guard<std::mutex> lock(r.mutex);
    if (sameMachine(r, machineFolder))
        append(r, std::string("C") + letter + remote);
}

void RunRecord::noteDisconnection(const fs::path& machineFolder, char letter)
{
    Record& r = record();
    const std::lock_guard<std::mutex> lock(r.mutex);
    if (sameMachine(r, machineFolder))
        append(r, std::string("D") + letter);
}

void RunRecord::notePartialFolder(const fs::path& path)
{
    Record& r = record();
    const std::lock_guard<std::mutex> lock(r.mutex);
    if (r.fd < 0)
        return;
    std::error_code ec;
    const std::string folder = fs::absolute(path, ec).string();
    // A note that could not be written is made again next time: nothing may be left in a folder
    // the record does not name.
    if (!ec && !r.folders.count(folder) && append(r, "P" + folder))
        r.folders.insert(folder);
}

void RunRecord::notePartialFolder(int folder)
{
    if (record().fd < 0)
        return;
    if (const fs::path path = folderPath(folder); !path.empty())
        notePartialFolder(path);
}

void RunRecord::noteLeftBehind(const fs::path& file)
{
    Record& r = record();
    const std::lock_guard<std::mutex> lock(r.mutex);
    r.left.push_back(file.string());
}

void RunRecord::noteLeftBehind(int folder, const std::string& name)
{
    noteLeftBehind(folder == AT_FDCWD ? fs::path(name) : folderPath(folder) / name);
}

std::vector<std::string> RunRecord::leftBehind()
{
    Record& r = record();
    const std::lock_guard<std::mutex> lock(r.mutex);
    return r.left;
}

UnfinishedRunsRemoved removeUnfinishedRuns(const fs::path& machineFolder, Network& network)
{
    UnfinishedRunsRemoved removed;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(machineFolder / kRunsFolder, ec)) {
        const long pid = recordPid(e.path().filename().string());
        if (pid == 0 || !e.is_regular_file(ec))
            continue;
        const int fd = host::open(e.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A record whose process lives is locked: that run is still going.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::string bytes;
            if (readHostMetadata(e.path(), bytes) == WinError::Success)
                removeWhatItLeft(bytes, pid, network, removed);
            ++removed.runs;
            host::removeAt(AT_FDCWD, e.path().c_str());
        }
        host::close(fd);
    }
    return removed;
}

} // namespace platform
