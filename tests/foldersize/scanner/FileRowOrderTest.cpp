// FileRowOrderTest.cpp: the file list's rows ordered by every column, ties, magnitudes and the
// locale's order of names.
#include "foldersize/scanner/FileRowOrder.h"

#include <algorithm>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "foldersize/scanner/FileLister.h"
#include "foldersize/scanner/FileTypes.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/TempTree.h"
#include "tests/foldersize/scanner/FileRows.h"

using namespace foldersize;

class FileRowOrderTest : public ::testing::Test {
protected:
    testsupport::TempTree t;
    void touch(const std::string& rel, std::time_t when)
    {
        struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, t.path(rel).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
};

TEST_F(FileRowOrderTest, SortsByEveryColumnInBothOrders)
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
    orderEntries(e, FileColumn::Name, false);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"a.txt", "b.zip", "c.doc"}));
    orderEntries(e, FileColumn::Name, true);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"c.doc", "b.zip", "a.txt"}));
    orderEntries(e, FileColumn::Size, true);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"b.zip", "c.doc", "a.txt"}));
    orderEntries(e, FileColumn::Size, false);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"a.txt", "c.doc", "b.zip"}));
    orderEntries(e, FileColumn::Type, false); // DOC-Datei, TXT-Datei, ZIP-Datei
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"c.doc", "a.txt", "b.zip"}));
    orderEntries(e, FileColumn::Modified, false);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"b.zip", "c.doc", "a.txt"}));
    orderEntries(e, FileColumn::Modified, true);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"a.txt", "c.doc", "b.zip"}));
}

TEST_F(FileRowOrderTest, SizesSortByValueNotByText)
{
    std::vector<FileEntry> e(3);
    e[0].name = "nine";
    e[0].size = 9;
    e[1].name = "ten";
    e[1].size = 10;
    e[2].name = "huge";
    e[2].size = 1ull << 50;
    orderEntries(e, FileColumn::Size, true);
    EXPECT_EQ(fileNames(e), (std::vector<std::string>{"huge", "ten", "nine"}));
}

TEST_F(FileRowOrderTest, TiesKeepTheirOrderInBothDirections)
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
        orderEntries(copy, c, descending);
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

TEST_F(FileRowOrderTest, SizesAndTimesOfEveryMagnitudeSortAsAStableSortOfTheirValues)
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
            EXPECT_EQ(rowOrder(e, c, descending), expected) << "column " << static_cast<int>(c);
        }
    }
}

TEST_F(FileRowOrderTest, ALongListIsOrderedByNameAsTheLocaleComparesNames)
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
    const std::vector<std::size_t> ascending = rowOrder(e, FileColumn::Name, false);
    const std::vector<std::size_t> descending = rowOrder(e, FileColumn::Name, true);
    EXPECT_EQ(ascending, expected);
    ASSERT_EQ(descending.size(), expected.size());
    // Descending keeps equal names in their order too: compare the names, not the positions.
    for (std::size_t i = 0; i < descending.size(); ++i)
        ASSERT_EQ(e[descending[i]].name, e[expected[expected.size() - 1 - i]].name) << i;
}
