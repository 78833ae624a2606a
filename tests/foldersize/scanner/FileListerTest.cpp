// FileListerTest.cpp: listing a folder's files: sizes, extensions, hard links, big folders.
#include "foldersize/scanner/FileLister.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/TempTree.h"
#include "tests/foldersize/scanner/FileRows.h"

using namespace foldersize;

class FileListerTest : public ::testing::Test {
protected:
    testsupport::TempTree t;
};

TEST_F(FileListerTest, ListsFilesOnlyWithSizesAndExtensions)
{
    t.file("a.txt", 10);
    t.file("B.TXT", 20);
    t.file("noext", 30);
    t.file("what?.bin", 40);
    t.file(std::string("\xff.dat"), 50);
    t.file("sub/hidden", 999);
    t.symlink("sub", "link-to-sub");
    FileLister l(t.root().substr(0, t.root().size() - 1));
    ASSERT_TRUE(l.opened());
    while (l.step(2)) {}
    auto e = l.entries();
    orderEntries(e, FileColumn::Size, false);
    EXPECT_EQ(fileNames(e),
        (std::vector<std::string>{"link-to-sub", "a.txt", "B.TXT", "noext", "what?.bin", "\xff.dat"}));
    EXPECT_EQ(l.totalBytes(), 3u + 10 + 20 + 30 + 40 + 50);
    EXPECT_EQ(e[1].extension, "TXT");
    EXPECT_EQ(e[2].extension, "TXT");
    EXPECT_EQ(e[3].extension, "");
}

TEST_F(FileListerTest, UnopenableFolderListsNothing)
{
    FileLister l(t.path("missing"));
    EXPECT_FALSE(l.opened());
    EXPECT_FALSE(l.step(10));
    EXPECT_TRUE(l.entries().empty());
    EXPECT_EQ(l.totalBytes(), 0u);
}

TEST_F(FileListerTest, AFurtherHardLinkIsListedButCountedOnce)
{
    t.file("a.bin", 100);
    t.file("c.bin", 7);
    ASSERT_EQ(::link(t.path("a.bin").c_str(), t.path("b.bin").c_str()), 0);
    FileLister l(t.root());
    while (l.step(10)) {}
    ASSERT_EQ(l.entries().size(), 3u) << "every link is listed";
    EXPECT_EQ(l.totalBytes(), 107u);
    EXPECT_EQ(l.fileCount(), 2u);
    int repeats = 0;
    for (const FileEntry& e : l.entries()) {
        repeats += e.repeatLink ? 1 : 0;
        if (e.name == "c.bin") {
            EXPECT_FALSE(e.repeatLink);
        }
    }
    EXPECT_EQ(repeats, 1) << "the second of the two links is marked";
}

TEST_F(FileListerTest, ABigFolderIsListedWholeInItsOwnOrderWithLinksAcrossItsParts)
{
    // Several parts are looked at by workers at once; the list must not tell that it was split.
    const int n = static_cast<int>(FileLister::kBatchSize) * 2 + 17;
    std::uint64_t bytes = 0;
    for (int i = 0; i < n; ++i) {
        t.file("f" + std::to_string(i) + ".dat", static_cast<std::uint64_t>(i % 50));
        bytes += static_cast<std::uint64_t>(i % 50);
    }
    t.dir("sub-folder");
    // Second links to two files, read in other parts of the folder than the files (most likely).
    ASSERT_EQ(::link(t.path("f3.dat").c_str(), t.path("zz-link-a").c_str()), 0);
    ASSERT_EQ(::link(t.path("f2000.dat").c_str(), t.path("aa-link-b").c_str()), 0);
    std::vector<std::string> folderOrder;
    {
        DIR* d = ::opendir(t.root().c_str());
        ASSERT_NE(d, nullptr);
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name != "sub-folder")
                folderOrder.push_back(name);
        }
        ::closedir(d);
    }
    FileLister l(t.root());
    int steps = 0;
    while (l.step(512))
        ++steps;
    EXPECT_GE(steps, 2) << "the caller takes the files up a part at a time, not all at once";
    EXPECT_EQ(fileNames(l.entries()), folderOrder) << "every file once, in the folder's own order";
    EXPECT_EQ(l.fileCount(), static_cast<std::size_t>(n));
    EXPECT_EQ(l.totalBytes(), bytes) << "each linked file counted once";
    std::vector<std::string> repeats;
    for (const FileEntry& e : l.entries())
        if (e.repeatLink)
            repeats.push_back(e.name);
    // Of each two links the one met later is marked.
    const auto later = [&folderOrder](const std::string& a, const std::string& b) {
        const auto pa = std::find(folderOrder.begin(), folderOrder.end(), a);
        const auto pb = std::find(folderOrder.begin(), folderOrder.end(), b);
        return pa < pb ? b : a;
    };
    std::vector<std::string> expected{later("f3.dat", "zz-link-a"), later("f2000.dat", "aa-link-b")};
    std::sort(repeats.begin(), repeats.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(repeats, expected);

    // A listing given up half-way (another folder clicked) ends its workers and keeps what it has.
    FileLister abandoned(t.root());
    abandoned.step(static_cast<int>(FileLister::kBatchSize) * 2 + 1);
    const std::vector<std::string> sofar = fileNames(abandoned.entries());
    ASSERT_LE(sofar.size(), folderOrder.size());
    EXPECT_TRUE(std::equal(sofar.begin(), sofar.end(), folderOrder.begin()));
}
