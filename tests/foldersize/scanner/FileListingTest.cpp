// FileListingTest.cpp: listing a folder's files and ordering them by column.
#include "foldersize/scanner/FileListing.h"

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
    int steps = 0;
    while (l.step(2))
        ++steps;
    EXPECT_GE(steps, 3) << "the listing is read in bounded steps";
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
