// FileListModelTest.cpp: the file list's model: type names and icons by kind, the order a new
// listing is shown in, and the event loop's turns during a long pass.
#include "foldersize/ui/scanner/FileListModel.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "foldersize/scanner/FileTypes.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"

using namespace foldersize;

class FileListModelTest : public ::testing::Test {
protected:
    QLocale before;
    FileListModel model;

    void SetUp() override
    {
        testsupport::ensureApp();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(before); }

    static FileEntry entry(const std::string& name, std::uint64_t size = 0)
    {
        FileEntry f;
        f.name = name;
        f.size = size;
        f.extension = QString::fromStdString(realExtension(name)).toUpper();
        f.typeName = f.extension;
        return f;
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.index(r, c).data().toString();
        return out;
    }
};

TEST_F(FileListModelTest, FilesOfOneEndingShareTheirKindAndOthersGetTheirOwn)
{
    std::vector<FileEntry> files{entry("a.pdf"), entry("b.pdf"), entry("backup.tar.gz"), entry("x.gz"),
        entry("pas2js-3.2.2"), entry("README"), entry("setup.exe"), entry("tool.exe"), entry("c.xyzzy"),
        entry("C.XYZZY")};
    model.GetAllIcons(files);
    EXPECT_EQ(files[0].typeName, "PDF-Dokument");
    EXPECT_EQ(files[1].typeName, "PDF-Dokument");
    EXPECT_EQ(files[0].iconKey, "KPDF");
    EXPECT_NE(files[2].typeName, files[3].typeName) << "a compressed tar archive is no plain gzip file";
    EXPECT_EQ(files[2].iconKey, "KGZ");
    EXPECT_EQ(files[4].typeName, "Datei") << "a version number is no extension";
    EXPECT_EQ(files[5].typeName, "Datei");
    EXPECT_EQ(files[4].iconKey, "leer");
    EXPECT_EQ(files[5].iconKey, "leer");
    EXPECT_EQ(files[6].iconKey, "setup.exe") << "a program has an icon of its own";
    EXPECT_EQ(files[7].iconKey, "tool.exe");
    EXPECT_EQ(files[8].typeName, "XYZZY-Datei");
    EXPECT_EQ(files[9].typeName, "XYZZY-Datei");
}

// A whole name that the type database knows by itself ("CMakeLists.txt", "meson.build") gives
// neither itself nor the other files of its ending a type of its own: the ending decides, in
// whatever order the files come.
TEST_F(FileListModelTest, TheEndingDecidesTheTypeNotAWholeNameThatComesFirst)
{
    std::vector<FileEntry> alone{entry("notes.txt"), entry("x.build")};
    model.GetAllIcons(alone);
    std::vector<FileEntry> files{
        entry("CMakeLists.txt"), entry("notes.txt"), entry("meson.build"), entry("x.build")};
    model.GetAllIcons(files);
    EXPECT_EQ(files[0].typeName, alone[0].typeName);
    EXPECT_EQ(files[1].typeName, alone[0].typeName);
    EXPECT_EQ(files[2].typeName, alone[1].typeName);
    EXPECT_EQ(files[3].typeName, alone[1].typeName);
}

TEST_F(FileListModelTest, ANewListingIsShownInTheListsOrderAndTheOldOneIsHandedBack)
{
    model.sort(1, Qt::DescendingOrder);
    std::vector<FileEntry> first{entry("small.txt", 1), entry("big.txt", 300), entry("mid.txt", 20)};
    EXPECT_TRUE(model.setFiles("/x/", std::move(first)).empty());
    EXPECT_EQ(column(0), (QStringList{"big.txt", "mid.txt", "small.txt"}));
    // Sorted by type, a listing is ordered by the type names it shows, not by its extensions.
    model.sort(2, Qt::AscendingOrder);
    std::vector<FileEntry> second{entry("z.pdf"), entry("y.jpg"), entry("w.xyzzy"), entry("v.pdf")};
    model.GetAllIcons(second);
    const std::vector<FileEntry> old = model.setFiles("/y/", std::move(second));
    ASSERT_EQ(old.size(), 3u);
    EXPECT_EQ(old[1].name, "big.txt") << "the files shown before, in their listing order";
    EXPECT_EQ(column(2), (QStringList{"JPEG-Bild", "PDF-Dokument", "PDF-Dokument", "XYZZY-Datei"}));
    EXPECT_EQ(column(0), (QStringList{"y.jpg", "z.pdf", "v.pdf", "w.xyzzy"}))
        << "equal types keep their order";
    EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isNull()) << "the icon comes from the kind";
    EXPECT_EQ(model.folder(), "/y/");
}

TEST_F(FileListModelTest, OrderingByAColumnKeepsTheOrderBeforeAmongEqualValues)
{
    std::vector<FileEntry> files{entry("d.pdf", 5), entry("b.txt", 5), entry("c.pdf", 9), entry("a.txt", 1)};
    model.GetAllIcons(files);
    model.setFiles("/x/", std::move(files));
    model.sort(0, Qt::AscendingOrder);
    model.sort(2, Qt::AscendingOrder);
    // "Einfaches Textdokument" comes before "PDF-Dokument".
    EXPECT_EQ(column(0), (QStringList{"a.txt", "b.txt", "c.pdf", "d.pdf"})) << "names in order per type";
    model.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(column(0), (QStringList{"c.pdf", "b.txt", "d.pdf", "a.txt"}))
        << "equal sizes keep the type order";
    model.sort(0, Qt::DescendingOrder);
    EXPECT_EQ(column(0), (QStringList{"d.pdf", "c.pdf", "b.txt", "a.txt"}));
    EXPECT_EQ(model.index(0, 1).data(FileListModel::SizeRole).toULongLong(), 5u)
        << "every column follows its row";
}

TEST_F(FileListModelTest, ALongPassGivesTheEventLoopTurnsBetweenBatches)
{
    std::vector<FileEntry> files;
    for (int i = 0; i < 2000; ++i)
        files.push_back(entry("f" + std::to_string(i) + (i % 2 ? ".txt" : ".pdf")));
    int turns = 0;
    // A clock that is always due stands for a slow machine: every batch ends with a turn.
    YieldClock clock(0, [&turns] { ++turns; });
    model.GetAllIcons(files, &clock);
    EXPECT_GE(turns, 2000 / 256);
    EXPECT_EQ(files[1999].typeName, files[1].typeName) << "the pass goes on after each turn";
}
