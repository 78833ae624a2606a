// ParallelFolderScannerTest.cpp: the scan with worker threads against the single-threaded walk on
// random trees with hard links, symbolic links, unreadable and deeply nested folders; stopping
// and abandoning a running scan.
#include "foldersize/scanner/ParallelFolderScanner.h"

#include <random>
#include <sstream>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "foldersize/scanner/FolderScanner.h"
#include "tests/foldersize/TempTree.h"
#include "tests/support/common/ThreadChecker.h"

using namespace foldersize;
using testsupport::TempTree;

namespace {

// Every node in pre-order with its sums, flags and position: two scans agree when these agree.
std::vector<std::string> dump(const FolderNode& root)
{
    std::vector<std::string> lines;
    std::vector<std::pair<const FolderNode*, std::size_t>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [n, depth] = pending.back();
        pending.pop_back();
        std::ostringstream s;
        s << depth << ":" << n->name() << " row=" << n->row() << " own=" << n->ownBytes << "/" << n->ownFiles
          << " total=" << n->totalBytes << "/" << n->totalFiles << " state=" << static_cast<int>(n->state)
          << " readable=" << n->readable << " children=" << n->childCount();
        lines.push_back(s.str());
        for (std::size_t i = n->childCount(); i-- > 0;)
            pending.push_back({n->child(i), depth + 1});
    }
    return lines;
}

std::string statsText(const ScanStatistics& s)
{
    std::ostringstream o;
    o << "entries=" << s.entries << " folders=" << s.folders << " unreadable=" << s.unreadableFolders
      << " pseudo=" << s.skippedPseudo << " repeats=" << s.skippedRepeats << "/" << s.repeatedFolders
      << " folderBytes=" << s.folderEntryBytes;
    // What could not be read, and why: the messages of the windowless scan.
    for (const ReadProblem& p : s.problems)
        o << "\n  " << p.path << " [" << p.entry << "] " << p.error;
    return o.str();
}

// Scans path both ways; returns "" when tree and statistics agree, else the first difference.
std::string compareScans(const std::string& path, unsigned threads)
{
    FolderNode single(path);
    FolderScanner s(&single);
    while (s.step(1000)) {}
    FolderNode parallel(path);
    ParallelFolderScanner p(&parallel, threads);
    std::size_t shownBefore = 0;
    while (p.step(37)) {
        if (p.finishedRootChildren() < shownBefore)
            return "finished root children went back";
        shownBefore = p.finishedRootChildren();
        // Shown children are finished, in order.
        for (std::size_t i = 0; i < shownBefore; ++i)
            if (parallel.child(i)->state != ScanState::Done)
                return "a shown root child is not finished";
    }
    if (p.finishedRootChildren() != s.finishedRootChildren())
        return "finished root children differ";
    const auto a = dump(single);
    const auto b = dump(parallel);
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            return "single:   " + a[i] + "\nparallel: " + b[i];
    if (a.size() != b.size())
        return "node counts differ: " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    if (statsText(s.statistics()) != statsText(p.statistics()))
        return "single:   " + statsText(s.statistics()) + "\nparallel: " + statsText(p.statistics());
    return std::string();
}

// Makes this process's mounts its own, so bind mounts made in it stay in it. Exits with 3 when
// the system does not allow it.
void enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        std::_Exit(3);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        std::_Exit(3);
}

// True when a child process may make a private mount namespace and bind a folder in it.
bool canBindMount()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        enterPrivateMountNamespace();
        std::_Exit(::mount("/tmp", "/mnt", nullptr, MS_BIND, nullptr) == 0 ? 0 : 3);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class ParallelFolderScannerTest : public ::testing::Test {
protected:
    TempTree t;
    std::mt19937 rng{20261209};
    std::vector<std::string> folders{""};
    std::vector<std::string> files;

    std::string pick(const std::vector<std::string>& from) { return from[rng() % from.size()]; }

    // Folders, files, hard links within and across folders, links to files, folders and nowhere.
    void buildRandomTree(int folderCount, int fileCount)
    {
        for (int i = 0; i < folderCount; ++i) {
            const std::string d = pick(folders) + (rng() % 3 ? "d" : "D") + std::to_string(i) + "/";
            t.dir(d.substr(0, d.size() - 1));
            folders.push_back(d);
        }
        for (int i = 0; i < fileCount; ++i) {
            const std::string f = pick(folders) + "f" + std::to_string(i);
            t.file(f, rng() % 9000);
            files.push_back(f);
        }
        for (int i = 0; i < fileCount / 8; ++i)
            ASSERT_EQ(
                ::link(t.path(pick(files)).c_str(), t.path(pick(folders) + "h" + std::to_string(i)).c_str()),
                0);
        for (int i = 0; i < 20; ++i) {
            const std::string at = t.path(pick(folders) + "s" + std::to_string(i));
            const std::string to = i % 3 == 0 ? t.path(pick(files))
                : i % 3 == 1                  ? t.path(pick(folders))
                                              : "/nowhere";
            ASSERT_EQ(::symlink(to.c_str(), at.c_str()), 0);
        }
    }

    // A chain of `depth` folders with a side folder and a file on every level: more folders wait
    // for their parents than the workers keep handles for, so handles are closed and reopened;
    // deep chains pass PATH_MAX. Built with handles, not paths.
    void buildDeepChain(const std::string& top, int depth)
    {
        t.dir(top);
        int fd = ::open(t.path(top).c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(fd, 0);
        for (int i = 0; i < depth; ++i) {
            ASSERT_EQ(::mkdirat(fd, "n", 0755), 0);
            ASSERT_EQ(::mkdirat(fd, "side", 0755), 0);
            const int f = ::openat(fd, "side/x", O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(::write(f, "abc", 3), 3);
            ::close(f);
            const int next = ::openat(fd, "n", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            ASSERT_GE(fd, 0);
        }
        ::close(fd);
    }
};

TEST_F(ParallelFolderScannerTest, RandomTreesMatchTheSingleThreadedScan)
{
    buildRandomTree(150, 1500);
    buildDeepChain("deep", 2200);
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        SCOPED_TRACE(threads);
        EXPECT_EQ(compareScans(t.root(), threads), "");
    }
    // A root given as a link to a folder is followed once, by both.
    ASSERT_EQ(::symlink(t.path("deep").c_str(), t.path("link-to-deep").c_str()), 0);
    EXPECT_EQ(compareScans(t.path("link-to-deep") + "/", 4), "");
}

TEST_F(ParallelFolderScannerTest, FoldersWiderThanTheSharedJobStackMatchToo)
{
    // More subfolders than the shared stack holds: the worker that found them keeps the rest.
    const std::size_t wide = FolderReadPool::kMaxQueuedJobs + 900;
    for (std::size_t i = 0; i < wide; ++i)
        t.file("wide/w" + std::to_string(i) + (i % 7 ? "/f" : "/g/f"), i % 100);
    t.file("wide/w17/g/h/deeper/f", 5);
    t.file("zz/f", 3);
    for (unsigned threads : {2u, 8u}) {
        SCOPED_TRACE(threads);
        EXPECT_EQ(compareScans(t.root(), threads), "");
    }
}

TEST_F(ParallelFolderScannerTest, UnreadableFoldersMatchTheSingleThreadedScan)
{
    SKIP_WHERE_A_FORKED_CHILD_CANNOT_START_THREADS();
    buildRandomTree(80, 600);
    buildDeepChain("deep", 300);
    int locked = 0;
    for (std::size_t i = 1; i < folders.size(); i += 9, ++locked)
        ASSERT_EQ(::chmod(t.path(folders[i]).c_str(), i % 3 == 0 ? 0 : i % 3 == 1 ? 0300 : 0644), 0);
    ASSERT_EQ(::chmod(t.path("deep/n/n/n/n").c_str(), 0), 0);
    ASSERT_GT(locked, 5);
    // Permissions do not bind root: compare as an unprivileged user in a child process then.
    auto check = [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            std::_Exit(3);
        const std::string diff = compareScans(t.root(), 6);
        if (!diff.empty())
            std::fprintf(stderr, "%s\n", diff.c_str());
        FolderNode root(t.root());
        ParallelFolderScanner p(&root, 6);
        while (p.step(100)) {}
        std::_Exit(diff.empty() && p.statistics().unreadableFolders > 5 ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ParallelFolderScannerTest, AFolderMetTwiceCountsWhereTheTreeMeetsItFirst)
{
    SKIP_WHERE_A_FORKED_CHILD_CANNOT_START_THREADS();
    // Bind mounts need a mount namespace of their own; without the right to make one, skip.
    if (!canBindMount())
        GTEST_SKIP() << "no private mount namespace";
    t.file("shared/f", 4321);
    t.file("shared/inner/g", 99);
    // One place far down the first branch, one close to the top on the last: the tree meets the
    // deep one first, while a worker reaches the shallow one long before.
    std::string deep = "scan/a";
    for (int i = 0; i < 40; ++i) {
        t.file(deep + "/f", 10);
        deep += "/n";
    }
    t.dir(deep + "/x");
    t.dir("scan/z/y");
    t.file("scan/z/y2/f", 5);
    auto check = [&] {
        for (const char* at : {"scan/z/y", "scan/z/y2"})
            if (::mount(t.path("shared").c_str(), t.path(at).c_str(), nullptr, MS_BIND, nullptr) != 0)
                std::_Exit(3);
        if (::mount(t.path("shared").c_str(), t.path(deep + "/x").c_str(), nullptr, MS_BIND, nullptr) != 0)
            std::_Exit(3);
        std::string diff;
        for (int round = 0; round < 5 && diff.empty(); ++round)
            diff = compareScans(t.path("scan") + "/", 8);
        if (!diff.empty())
            std::fprintf(stderr, "%s\n", diff.c_str());
        FolderNode root(t.path("scan") + "/");
        FolderScanner s(&root);
        while (s.step(100)) {}
        // Counted once, where the walk in name order meets it first; met again: left out.
        const bool once = root.totalBytes == 40 * 10 + 4321 + 99 && s.statistics().skippedRepeats == 2 &&
            s.statistics().repeatedFolders == 2;
        std::_Exit(diff.empty() && once ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            enterPrivateMountNamespace();
            check();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ParallelFolderScannerTest, AMissingRootAndAKernelFileSystemMatchToo)
{
    EXPECT_EQ(compareScans(t.root() + "missing/", 4), "");
    EXPECT_EQ(compareScans("/proc/", 4), "");
    FolderNode proc("/proc/");
    ParallelFolderScanner p(&proc, 4);
    while (p.step(10)) {}
    EXPECT_EQ(p.statistics().skippedPseudo, 1u);
    EXPECT_EQ(proc.state, ScanState::Done);
}

TEST_F(ParallelFolderScannerTest, StopKeepsConsistentPartialSums)
{
    buildRandomTree(300, 3000);
    FolderNode root(t.root());
    ParallelFolderScanner p(&root, 4);
    while (p.step(5) && p.finishedRootChildren() < 2) {}
    ASSERT_FALSE(p.finished());
    p.stop();
    EXPECT_TRUE(p.finished());
    EXPECT_TRUE(p.stopped());
    EXPECT_TRUE(p.statistics().stopped);
    EXPECT_FALSE(p.step(10));
    EXPECT_EQ(root.state, ScanState::Created);
    // Every folder holds its own files plus what its subfolders hold, stopped or not.
    std::vector<const FolderNode*> pending{&root};
    while (!pending.empty()) {
        const FolderNode* n = pending.back();
        pending.pop_back();
        std::uint64_t bytes = n->ownBytes;
        std::uint64_t count = n->ownFiles;
        for (std::size_t i = 0; i < n->childCount(); ++i) {
            bytes += n->child(i)->totalBytes;
            count += n->child(i)->totalFiles;
            pending.push_back(n->child(i));
        }
        EXPECT_EQ(n->totalBytes, bytes) << n->path();
        EXPECT_EQ(n->totalFiles, count) << n->path();
        if (n->state == ScanState::Done) {
            for (std::size_t i = 0; i < n->childCount(); ++i)
                EXPECT_EQ(n->child(i)->state, ScanState::Done) << "a finished folder holds finished ones";
        }
    }
    EXPECT_EQ(root.child(0)->state, ScanState::Done);
}

TEST_F(ParallelFolderScannerTest, AScanAbandonedWhileTheWorkersRunEndsCleanly)
{
    buildRandomTree(200, 2000);
    for (int round = 0; round < 5; ++round) {
        FolderNode root(t.root());
        ParallelFolderScanner p(&root, 8);
        p.step(round * 3); // the workers are busy; the scan is dropped without stop()
    }
    FolderNode root(t.root());
    ParallelFolderScanner p(&root, 8);
    while (p.step(1000)) {}
    EXPECT_EQ(root.state, ScanState::Done);
}

TEST_F(ParallelFolderScannerTest, TheFolderShownIsTheOneBeingReadWhileTheTreeWaits)
{
    buildRandomTree(200, 2000);
    FolderNode root(t.root());
    ParallelFolderScanner p(&root, 4);
    // Nothing is taken up: the tree waits at its root while the workers read on.
    std::string shown = p.currentFolder();
    for (int i = 0; i < 500 && shown == t.root(); ++i) {
        ::usleep(10000);
        shown = p.currentFolder();
    }
    ASSERT_NE(shown, t.root());
    EXPECT_EQ(shown.compare(0, t.root().size(), t.root()), 0) << shown;
    EXPECT_EQ(shown.back(), '/') << shown;
    struct stat st {};
    EXPECT_TRUE(::stat(shown.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) << shown;
    while (p.step(1000)) {}
    EXPECT_EQ(p.currentFolder(), "");
}
