// FileListingTest.cpp: listing a folder's files and ordering them by column.
#include "foldersize/scanner/FileListing.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

#include <QLocale>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/TempTree.h"

using namespace foldersize;

class FileListingTest : public ::testing::Test {
protected:
    testsupport::TempTree t;
    void touch(const std::string& rel, std::time_t when)
    {
        struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, t.path(rel).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
    static std::vector<std::string> names(const std::vector<FileEntry>& e)
    {
        std::vector<std::string> out;
        for (const auto& f : e)
            out.push_back(f.name);
        return out;
    }
};

TEST_F(FileListingTest, ListsFilesOnlyWithSizesAndExtensions)
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
    sortFileEntries(e, FileColumn::Size, false);
    EXPECT_EQ(names(e),
        (std::vector<std::string>{"link-to-sub", "a.txt", "B.TXT", "noext", "what?.bin", "\xff.dat"}));
    EXPECT_EQ(l.totalBytes(), 3u + 10 + 20 + 30 + 40 + 50);
    EXPECT_EQ(e[1].extension, "TXT");
    EXPECT_EQ(e[2].extension, "TXT");
    EXPECT_EQ(e[3].extension, "");
}

TEST_F(FileListingTest, UnopenableFolderListsNothing)
{
    FileLister l(t.path("missing"));
    EXPECT_FALSE(l.opened());
    EXPECT_FALSE(l.step(10));
    EXPECT_TRUE(l.entries().empty());
    EXPECT_EQ(l.totalBytes(), 0u);
}

TEST_F(FileListingTest, SortsByEveryColumnInBothOrders)
{
    t.file("b.zip", 300);
    t.file("a.txt", 100);
    t.file("c.doc", 200);
    touch("b.zip", 1000);
    touch("a.txt", 3000);
    touch("c.doc", 2000);
    FileLister l(t.root());
    while (l.step(100)) {}
    auto e = l.entries();
    for (auto& f : e)
        f.typeName = fallbackTypeName(f.extension);
    sortFileEntries(e, FileColumn::Name, false);
    EXPECT_EQ(names(e), (std::vector<std::string>{"a.txt", "b.zip", "c.doc"}));
    sortFileEntries(e, FileColumn::Name, true);
    EXPECT_EQ(names(e), (std::vector<std::string>{"c.doc", "b.zip", "a.txt"}));
    sortFileEntries(e, FileColumn::Size, true);
    EXPECT_EQ(names(e), (std::vector<std::string>{"b.zip", "c.doc", "a.txt"}));
    sortFileEntries(e, FileColumn::Size, false);
    EXPECT_EQ(names(e), (std::vector<std::string>{"a.txt", "c.doc", "b.zip"}));
    sortFileEntries(e, FileColumn::Type, false); // DOC-Datei, TXT-Datei, ZIP-Datei
    EXPECT_EQ(names(e), (std::vector<std::string>{"c.doc", "a.txt", "b.zip"}));
    sortFileEntries(e, FileColumn::Modified, false);
    EXPECT_EQ(names(e), (std::vector<std::string>{"b.zip", "c.doc", "a.txt"}));
    sortFileEntries(e, FileColumn::Modified, true);
    EXPECT_EQ(names(e), (std::vector<std::string>{"a.txt", "c.doc", "b.zip"}));
}

TEST_F(FileListingTest, SizesSortByValueNotByText)
{
    std::vector<FileEntry> e(3);
    e[0].name = "nine";
    e[0].size = 9;
    e[1].name = "ten";
    e[1].size = 10;
    e[2].name = "huge";
    e[2].size = 1ull << 50;
    sortFileEntries(e, FileColumn::Size, true);
    EXPECT_EQ(names(e), (std::vector<std::string>{"huge", "ten", "nine"}));
}

TEST_F(FileListingTest, TypeNamesAndIconKeys)
{
    EXPECT_EQ(fallbackTypeName(""), "Datei");
    EXPECT_EQ(fallbackTypeName("XYZ"), "XYZ-Datei");
    EXPECT_EQ(iconKey("a.txt", "TXT"), "KTXT");
    EXPECT_EQ(iconKey("b.TXT", "TXT"), "KTXT");
    EXPECT_EQ(iconKey("setup.exe", "EXE"), "setup.exe");
    EXPECT_EQ(iconKey("start.lnk", "LNK"), "start.lnk");
    EXPECT_EQ(iconKey("README", ""), "leer");
}

TEST_F(FileListingTest, TypeNamesComeFromTheRealExtensionInGerman)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(realExtension("pas2js-3.2.2"), "") << "a version number is no extension";
    EXPECT_EQ(realExtension("libfoo-1.0"), "");
    EXPECT_EQ(realExtension("ls.1"), "1");
    EXPECT_EQ(realExtension("backup.tar.gz"), "gz");
    EXPECT_EQ(realExtension("x.7z"), "7z");
    EXPECT_EQ(realExtension("README"), "");
    EXPECT_EQ(typeNameOf(mimeTypeOf("pas2js-3.2.2", ""), ""), "Datei") << "no manual page";
    EXPECT_EQ(typeNameOf(mimeTypeOf("bericht.pdf", "PDF"), "PDF"), "PDF-Dokument");
    EXPECT_EQ(typeNameOf(mimeTypeOf("data.xyzzy", "XYZZY"), "XYZZY"), "XYZZY-Datei");
    EXPECT_EQ(typeNameOf(mimeTypeOf("Makefile", ""), ""), "Datei") << "no extension, no type";
    // The listing takes the real extension too.
    t.file("pas2js-3.2.2", 5);
    FileLister l(t.root());
    while (l.step(10)) {}
    ASSERT_EQ(l.entries().size(), 1u);
    EXPECT_EQ(l.entries()[0].extension, "");
    QLocale::setDefault(before);
}

TEST_F(FileListingTest, AFurtherHardLinkIsListedButCountedOnce)
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

TEST_F(FileListingTest, TiesKeepTheirOrderInBothDirections)
{
    const std::vector<std::uint64_t> sizes{5, 7, 5, 7, 5, 1};
    const std::vector<qint64> times{30, 10, 30, 20, 10, 30};
    const std::vector<const char*> types{"zeta", "alpha", "zeta", "beta", "alpha", "beta"};
    std::vector<FileEntry> e(sizes.size());
    for (std::size_t i = 0; i < e.size(); ++i) {
        e[i].name = std::string(1, static_cast<char>('a' + i));
        e[i].size = sizes[i];
        e[i].mtime = times[i];
        e[i].typeName = QString::fromLatin1(types[i]);
    }
    const auto sorted = [&e](FileColumn c, bool descending) {
        auto copy = e;
        sortFileEntries(copy, c, descending);
        std::string out;
        for (const FileEntry& f : copy)
            out += f.name;
        return out;
    };
    EXPECT_EQ(sorted(FileColumn::Size, true), "bdacef");
    EXPECT_EQ(sorted(FileColumn::Size, false), "facebd");
    EXPECT_EQ(sorted(FileColumn::Modified, true), "acfdbe");
    EXPECT_EQ(sorted(FileColumn::Modified, false), "bedacf");
    EXPECT_EQ(sorted(FileColumn::Type, false), "bedfac");
    EXPECT_EQ(sorted(FileColumn::Type, true), "acdfbe");
}

TEST_F(FileListingTest, SizesAndTimesOfEveryMagnitudeSortAsAStableSortOfTheirValues)
{
    // Sizes beyond 4 GiB and up to the largest value, times before 1970 and far after it.
    std::vector<FileEntry> e(3000);
    std::uint64_t x = 88172645463325252ull;
    for (std::size_t i = 0; i < e.size(); ++i) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        e[i].name = std::to_string(i);
        e[i].size = i % 7 == 0 ? x : (i % 3 == 0 ? x % 100 : x >> (i % 64));
        e[i].mtime = static_cast<qint64>(x % 1000) * (i % 2 == 0 ? -1 : 1) * (i % 5 == 0 ? 100000000 : 1);
    }
    for (const bool descending : {false, true}) {
        for (const FileColumn c : {FileColumn::Size, FileColumn::Modified}) {
            std::vector<std::size_t> expected(e.size());
            for (std::size_t i = 0; i < expected.size(); ++i)
                expected[i] = i;
            const auto key = [&](std::size_t i) {
                return c == FileColumn::Size ? static_cast<long double>(e[i].size)
                                             : static_cast<long double>(e[i].mtime);
            };
            std::stable_sort(expected.begin(), expected.end(),
                [&](std::size_t a, std::size_t b) { return descending ? key(a) > key(b) : key(a) < key(b); });
            EXPECT_EQ(sortedOrder(e, c, descending), expected) << "column " << static_cast<int>(c);
        }
    }
}

TEST_F(FileListingTest, ABigFolderIsListedWholeInItsOwnOrderWithLinksAcrossItsParts)
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
    EXPECT_EQ(names(l.entries()), folderOrder) << "every file once, in the folder's own order";
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
    const std::vector<std::string> sofar = names(abandoned.entries());
    ASSERT_LE(sofar.size(), folderOrder.size());
    EXPECT_TRUE(std::equal(sofar.begin(), sofar.end(), folderOrder.begin()));
}

TEST_F(FileListingTest, ALongListIsOrderedByNameAsTheLocaleComparesNames)
{
    // Long enough for the names' keys to be made on several threads.
    const std::vector<std::string> stems{"Äpfel", "apfel", "Zebra", "zebra", "über", "Ueber", "10", "9",
        "a-b", "a b", "ab", "ÉCLAIR", "eclair", "\xff"};
    std::vector<FileEntry> e;
    for (int i = 0; i < 20000; ++i) {
        FileEntry f;
        f.name = stems[static_cast<std::size_t>(i) % stems.size()] + std::to_string(i % 97);
        e.push_back(f);
    }
    std::vector<QString> text;
    for (const FileEntry& f : e)
        text.push_back(QString::fromUtf8(f.name.data(), static_cast<qsizetype>(f.name.size())));
    std::vector<std::size_t> expected(e.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(),
        [&text](std::size_t a, std::size_t b) { return QString::localeAwareCompare(text[a], text[b]) < 0; });
    const std::vector<std::size_t> ascending = sortedOrder(e, FileColumn::Name, false);
    const std::vector<std::size_t> descending = sortedOrder(e, FileColumn::Name, true);
    EXPECT_EQ(ascending, expected);
    ASSERT_EQ(descending.size(), expected.size());
    // Descending keeps equal names in their order too: compare the names, not the positions.
    for (std::size_t i = 0; i < descending.size(); ++i)
        ASSERT_EQ(e[descending[i]].name, e[expected[expected.size() - 1 - i]].name) << i;
}
