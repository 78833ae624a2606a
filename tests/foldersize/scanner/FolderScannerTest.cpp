// FolderScannerTest.cpp: sizes, counts and tree shape of the folder walk against answers the
// tests compute themselves while building the trees.
#include "foldersize/scanner/FolderScanner.h"

#include <map>
#include <random>

#include <sys/resource.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/foldersize/TempTree.h"

using namespace foldersize;
using testsupport::TempTree;

namespace {

// The expected content of one folder, filled by the test while it creates the files.
struct Expected {
    std::uint64_t ownBytes = 0;
    std::uint64_t ownFiles = 0;
    std::map<std::string, Expected> dirs;

    std::uint64_t totalBytes() const
    {
        std::uint64_t t = ownBytes;
        for (const auto& [n, d] : dirs)
            t += d.totalBytes();
        return t;
    }
    std::uint64_t totalFiles() const
    {
        std::uint64_t t = ownFiles;
        for (const auto& [n, d] : dirs)
            t += d.totalFiles();
        return t;
    }
};

void compareTree(const FolderNode& node, const Expected& e, const std::string& where)
{
    SCOPED_TRACE(where);
    EXPECT_EQ(node.ownBytes, e.ownBytes);
    EXPECT_EQ(node.ownFiles, e.ownFiles);
    EXPECT_EQ(node.totalBytes, e.totalBytes());
    EXPECT_EQ(node.totalFiles, e.totalFiles());
    EXPECT_EQ(node.state, ScanState::Done);
    ASSERT_EQ(node.childCount(), e.dirs.size());
    std::size_t i = 0;
    for (const auto& [name, sub] : e.dirs) { // std::map orders names byte-wise, like the tree
        ASSERT_EQ(node.child(i)->name(), name);
        compareTree(*node.child(i), sub, where + name + "/");
        ++i;
    }
    EXPECT_EQ(node.hasFilesNode(), !e.dirs.empty() && e.ownFiles > 0);
}

void scanAll(FolderScanner& s, int budget = 1000)
{
    int guard = 0;
    while (s.step(budget))
        ASSERT_LT(++guard, 10000000);
}

} // namespace

class FolderScannerTest : public ::testing::Test {
protected:
    TempTree t;
    Expected expected;

    void addFile(const std::string& rel, std::uint64_t size)
    {
        t.file(rel, size);
        Expected* e = &expected;
        std::size_t pos = 0;
        for (std::size_t slash; (slash = rel.find('/', pos)) != std::string::npos; pos = slash + 1)
            e = &e->dirs[rel.substr(pos, slash - pos)];
        e->ownBytes += size;
        ++e->ownFiles;
    }
    void addDir(const std::string& rel)
    {
        t.dir(rel);
        Expected* e = &expected;
        std::size_t pos = 0;
        while (pos <= rel.size()) {
            const std::size_t slash = rel.find('/', pos);
            e = &e->dirs[rel.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos)];
            if (slash == std::string::npos)
                break;
            pos = slash + 1;
        }
    }
    std::unique_ptr<FolderNode> scan(int budget = 1000, ScanStatistics* stats = nullptr)
    {
        auto root = std::make_unique<FolderNode>(t.root());
        FolderScanner s(root.get());
        scanAll(s, budget);
        if (stats)
            *stats = s.statistics();
        return root;
    }
};

TEST_F(FolderScannerTest, RandomTreeMatchesTheBuiltAnswer)
{
    std::mt19937 rng(4711);
    std::vector<std::string> folders{""};
    for (int i = 0; i < 60; ++i) {
        const std::string parent = folders[rng() % folders.size()];
        const std::string d = parent + (rng() % 2 ? "Dir" : "dir") + std::to_string(i) + "/";
        addDir(d.substr(0, d.size() - 1));
        folders.push_back(d);
    }
    for (int i = 0; i < 400; ++i)
        addFile(folders[rng() % folders.size()] + "f" + std::to_string(i), rng() % 5000);
    const auto root = scan(7); // a small budget exercises resuming in the middle of folders
    compareTree(*root, expected, "/");
}

TEST_F(FolderScannerTest, EmptyFoldersAndZeroLengthFiles)
{
    addDir("empty");
    addDir("only-subs/a/b");
    addFile("zero/sub/x", 10);
    addFile("zero/z1", 0);
    addFile("zero/z2", 0);
    const auto root = scan();
    compareTree(*root, expected, "/");
    const FolderNode* zero = root->childNamed("zero");
    ASSERT_TRUE(zero);
    EXPECT_TRUE(zero->hasFilesNode()) << "zero-length files still make a files node";
    EXPECT_EQ(zero->ownBytes, 0u);
    EXPECT_FALSE(root->childNamed("empty")->hasFilesNode());
    EXPECT_EQ(root->childNamed("empty")->totalBytes, 0u);
}

TEST_F(FolderScannerTest, SymlinksAreCountedAsLinksNotFollowed)
{
    addFile("real/big", 3000);
    addFile("real/small", 10);
    t.symlink(t.path("real"), "link-to-dir");
    t.symlink("real/big", "link-to-file");
    t.symlink("/nonexistent/target", "dangling");
    // A link counts with its own size: the length of its target text.
    expected.ownBytes +=
        t.path("real").size() + std::string("real/big").size() + std::string("/nonexistent/target").size();
    expected.ownFiles += 3;
    const auto root = scan();
    compareTree(*root, expected, "/");
    EXPECT_EQ(root->childNamed("link-to-dir"), nullptr);
}

TEST_F(FolderScannerTest, HardLinkedFilesCountOnce)
{
    addFile("a/data", 1000);
    addDir("b");
    t.hardlink("a/data", "b/same");
    t.hardlink("a/data", "a/again");
    ScanStatistics stats;
    const auto root = scan(1000, &stats);
    EXPECT_EQ(root->totalBytes, 1000u);
    EXPECT_EQ(root->totalFiles, 1u);
    EXPECT_EQ(root->childNamed("b")->totalBytes, 0u);
    EXPECT_EQ(stats.skippedRepeats, 2u);
}

TEST_F(FolderScannerTest, NamesKeepCaseQuestionMarksAndInvalidBytes)
{
    addFile("Docs/Report.TXT", 11);
    addFile("docs/report.txt", 22);
    addFile("what?/is?this", 33);
    addFile(std::string("bad\xff\xfe/\x80name"), 44);
    const auto root = scan();
    compareTree(*root, expected, "/");
    EXPECT_NE(root->childNamed("Docs"), root->childNamed("docs"));
    EXPECT_EQ(root->childNamed("what?")->totalBytes, 33u);
    const FolderNode* bad = root->childNamed(std::string("bad\xff\xfe"));
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->path(), t.root() + "bad\xff\xfe/");
}

TEST_F(FolderScannerTest, HugeFilesDoNotOverflow)
{
    const std::uint64_t fiveTiB = 5ull << 40;
    addFile("huge/one", fiveTiB);
    addFile("huge/two", fiveTiB);
    addFile("small", 1);
    const auto root = scan();
    compareTree(*root, expected, "/");
    EXPECT_EQ(root->totalBytes, 2 * fiveTiB + 1);
}

TEST_F(FolderScannerTest, DeepNestingNeedsNoRecursionAndPassesPathMax)
{
    // 2200 levels: a path of about 4400 bytes, past PATH_MAX, and more levels than handles kept.
    std::string rel;
    int fd = ::open(t.root().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    Expected* e = &expected;
    for (int i = 0; i < 2200; ++i) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        e = &e->dirs["d"];
        if (i % 500 == 0) {
            const int f = ::openat(fd, "leaf", O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(::write(f, "12345", 5), 5);
            ::close(f);
            e->ownBytes += 5;
            ++e->ownFiles;
            const int sib = ::mkdirat(fd, "side", 0755);
            ASSERT_EQ(sib, 0);
            e->dirs["side"];
        }
    }
    ::close(fd);
    const auto root = scan(100);
    EXPECT_EQ(root->totalBytes, 25u);
    EXPECT_EQ(root->totalFiles, 5u);
    const FolderNode* n = root.get();
    int depth = 0;
    while (const FolderNode* next = n->childNamed("d")) {
        EXPECT_EQ(next->state, ScanState::Done);
        n = next;
        ++depth;
    }
    EXPECT_EQ(depth, 2200);
    EXPECT_GT(n->path().size(), 4400u);
    // The side folders after the deep branch were reached too (their handles were reopened).
    EXPECT_EQ(root->childNamed("d")->childNamed("side")->state, ScanState::Done);
}

TEST_F(FolderScannerTest, StepDoesBoundedWork)
{
    for (int i = 0; i < 50; ++i)
        addFile("f" + std::to_string(i), 1);
    auto root = std::make_unique<FolderNode>(t.root());
    FolderScanner s(root.get());
    // One unit reads one entry: fifty files take fifty steps at least.
    int steps = 0;
    while (s.step(1))
        ++steps;
    EXPECT_GE(steps, 50);
    EXPECT_EQ(root->totalFiles, 50u);
}

TEST_F(FolderScannerTest, StopKeepsPartialSumsAndLeavesUnfinishedFoldersOpen)
{
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 20; ++j)
            addFile("sub" + std::to_string(i) + "/f" + std::to_string(j), 100);
    addFile("top", 7);
    auto root = std::make_unique<FolderNode>(t.root());
    FolderScanner s(root.get());
    // Run until the second subfolder is half read.
    while (s.step(1) && !(root->childCount() == 5 && root->child(0)->state == ScanState::Done)) {}
    for (int i = 0; i < 10; ++i)
        s.step(1);
    const std::string current = s.currentFolder();
    s.stop();
    EXPECT_TRUE(s.finished());
    EXPECT_TRUE(s.stopped());
    EXPECT_EQ(current, t.root() + "sub1/");
    EXPECT_EQ(root->state, ScanState::Created);
    EXPECT_EQ(root->child(0)->state, ScanState::Done);
    EXPECT_EQ(root->child(0)->totalBytes, 2000u);
    const FolderNode* half = root->child(1);
    EXPECT_EQ(half->state, ScanState::Created);
    EXPECT_GT(half->totalFiles, 0u);
    EXPECT_LT(half->totalFiles, 20u);
    EXPECT_EQ(root->child(2)->totalBytes, 0u);
    EXPECT_EQ(root->child(2)->state, ScanState::Created);
    EXPECT_EQ(root->totalBytes, 7 + 2000 + half->totalBytes);
    EXPECT_FALSE(root->hasFilesNode()) << "a stopped folder gets no files node";
    EXPECT_FALSE(s.step(10));
}

TEST_F(FolderScannerTest, FolderVanishingMidScanCountsAsEmpty)
{
    addFile("a/x", 10);
    addFile("gone/deeper/y", 20);
    addFile("z/w", 30);
    auto root = std::make_unique<FolderNode>(t.root());
    FolderScanner s(root.get());
    while (root->childCount() < 3 || root->child(0)->state != ScanState::Done)
        ASSERT_TRUE(s.step(1));
    ASSERT_EQ(std::system(("rm -rf '" + t.path("gone") + "'").c_str()), 0);
    scanAll(s);
    EXPECT_EQ(root->totalBytes, 40u);
    const FolderNode* gone = root->childNamed("gone");
    ASSERT_TRUE(gone);
    EXPECT_FALSE(gone->readable);
    EXPECT_EQ(gone->state, ScanState::Done);
    EXPECT_EQ(gone->totalBytes, 0u);
    EXPECT_EQ(root->state, ScanState::Done);
}

TEST_F(FolderScannerTest, MissingRootIsAnEmptyFinishedFolder)
{
    auto root = std::make_unique<FolderNode>(t.root() + "missing/");
    FolderScanner s(root.get());
    scanAll(s);
    EXPECT_FALSE(root->readable);
    EXPECT_EQ(root->state, ScanState::Done);
    EXPECT_EQ(root->totalBytes, 0u);
}

TEST_F(FolderScannerTest, FoldersThatCannotBeReadOrEnteredAreUnreadableAndTheScanGoesOn)
{
    addFile("open/a", 10);
    addFile("locked/secret", 500);
    addFile("locked/inner/more", 60);
    addFile("zz/b", 20);
    addFile("listed/shown", 70);
    ASSERT_EQ(::chmod(t.path("locked").c_str(), 0), 0);
    // Its names can be read, but nothing in it can be looked at.
    ASSERT_EQ(::chmod(t.path("listed").c_str(), 0644), 0);
    // Permissions do not bind root: measure as an unprivileged user in a child process then.
    auto check = [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            std::_Exit(3);
        auto root = std::make_unique<FolderNode>(t.root());
        FolderScanner s(root.get());
        while (s.step(100)) {}
        const FolderNode* locked = root->childNamed("locked");
        const FolderNode* listed = root->childNamed("listed");
        const bool ok = locked && !locked->readable && locked->totalBytes == 0 &&
            locked->state == ScanState::Done && listed && !listed->readable &&
            listed->state == ScanState::Done && root->totalBytes == 30 && root->totalFiles == 2 &&
            s.statistics().unreadableFolders == 2;
        // Why, in tree order: the entry that could not be looked at, or the folder itself.
        const std::vector<ReadProblem>& why = s.statistics().problems;
        const bool told = why.size() == 2 && why[0].path == t.path("listed/") && why[0].entry == "shown" &&
            why[0].error == EACCES && why[1].path == t.path("locked/") && why[1].entry.empty() &&
            why[1].error == EACCES;
        std::_Exit(ok && told ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
}

TEST_F(FolderScannerTest, AFolderReachedTwiceStandsWhereItIsMetFirstAndIsCountedAsRepeated)
{
    // One folder in two places (a bind mount whose name sorts first) and the root once more below.
    FolderNode root(t.root());
    auto listing = std::make_shared<FolderListing>();
    const FileId rootId{1, 1};
    const FileId shared{1, 42};
    listing->subfolders = {{"a-mount", shared, nullptr, {}}, {"real", shared, nullptr, {}},
        {"z", {1, 43}, nullptr, {}}, {"zz-root", rootId, nullptr, {}}};
    ScanStatistics stats;
    std::size_t finished = 0;
    FolderMerger merger(&root, listing, rootId, stats, finished);
    merger.takeUp();
    ASSERT_EQ(root.childCount(), 2u);
    EXPECT_EQ(root.child(0)->name(), "a-mount");
    EXPECT_EQ(root.child(1)->name(), "z");
    EXPECT_EQ(stats.repeatedFolders, 2u);
    EXPECT_EQ(stats.skippedRepeats, 2u);
}

TEST_F(FolderScannerTest, PseudoFileSystemsAreSkipped)
{
    auto root = std::make_unique<FolderNode>("/proc/");
    FolderScanner s(root.get());
    scanAll(s);
    EXPECT_EQ(root->childCount(), 0u);
    EXPECT_EQ(root->totalBytes, 0u);
    EXPECT_EQ(s.statistics().skippedPseudo, 1u);
}
