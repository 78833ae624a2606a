// TreeReportTest.cpp: records of the saved report and lines of the printout for small trees.
#include "foldersize/scanner/TreeReport.h"

#include "foldersize/scanner/SizeFormat.h"

#include <gtest/gtest.h>

using namespace foldersize;

namespace {

FolderNode* add(FolderNode* parent, const std::string& name, std::uint64_t total)
{
    FolderNode* child = parent->addChild(name);
    child->totalBytes = total;
    return child;
}

class TreeReportTest : public ::testing::Test {
protected:
    // /data/proj/ with a (a1, a2 (deep)) and b; a also has files of its own.
    FolderRoot* buildProject(const std::string& path = "/data/proj/")
    {
        FolderRoot* root = tree.addRoot(path, 8, 10);
        root->node->totalBytes = 1000;
        FolderNode* a = add(root->node.get(), "a", 600);
        a->ownFiles = 2;
        a->ownBytes = 0;
        add(a, "a1", 100);
        FolderNode* a2 = add(a, "a2", 500);
        add(a2, "deep", 50);
        add(root->node.get(), "b", 0);
        return root;
    }

    FolderTree tree;
};

TEST_F(TreeReportTest, WritesOneQuotedRecordPerFolderInPreOrder)
{
    FolderRoot* root = buildProject();
    EXPECT_EQ(reportForRoot(*root),
        QByteArray("\"/data/proj/a/\",\"600\"\r\n"
                   "\"/data/proj/a/a1/\",\"100\"\r\n"
                   "\"/data/proj/a/a2/\",\"500\"\r\n"
                   "\"/data/proj/a/a2/deep/\",\"50\"\r\n"
                   "\"/data/proj/b/\",\"0\"\r\n"));
}

TEST_F(TreeReportTest, ARootWithoutSubfoldersGivesAnEmptyReport)
{
    FolderRoot* root = tree.addRoot("/empty/", 8, 10);
    root->node->totalBytes = 4096;
    root->node->ownFiles = 3;
    EXPECT_TRUE(reportForRoot(*root).isEmpty());
}

TEST_F(TreeReportTest, SizesAreWholeBytesWithoutGrouping)
{
    FolderRoot* root = tree.addRoot("/big/", 8, 10);
    add(root->node.get(), "x", 123456789012345ULL);
    EXPECT_EQ(reportForRoot(*root), QByteArray("\"/big/x/\",\"123456789012345\"\r\n"));
}

TEST_F(TreeReportTest, AllRootsFollowEachOtherWithoutRootRecords)
{
    FolderRoot* r1 = tree.addRoot("/one/", 8, 10);
    add(r1->node.get(), "s", 1);
    tree.addRoot("/two/", 8, 10);
    FolderRoot* r3 = tree.addRoot("/three/", 8, 10);
    add(add(r3->node.get(), "t", 3), "u", 2);
    EXPECT_EQ(reportForAllRoots(tree),
        QByteArray("\"/one/s/\",\"1\"\r\n\"/three/t/\",\"3\"\r\n\"/three/t/u/\",\"2\"\r\n"));
}

TEST_F(TreeReportTest, KeepsTheFileSystemBytesAndDoublesQuotes)
{
    FolderRoot* root = tree.addRoot("/m/", 8, 10);
    add(root->node.get(), "\xE4rger", 5); // not UTF-8: kept as it is
    add(root->node.get(), "say \"hi\"", 6);
    EXPECT_EQ(reportForRoot(*root), QByteArray("\"/m/\xE4rger/\",\"5\"\r\n\"/m/say \"\"hi\"\"/\",\"6\"\r\n"));
}

TEST_F(TreeReportTest, ADeepTreeIsWalkedToItsBottom)
{
    FolderRoot* root = tree.addRoot("/d/", 8, 10);
    FolderNode* n = root->node.get();
    for (int i = 0; i < 5000; ++i)
        n = add(n, "x", 1);
    const QByteArray report = reportForRoot(*root);
    EXPECT_EQ(report.count("\r\n"), 5000);
    EXPECT_TRUE(report.endsWith("\"/d/" + QByteArray("x/").repeated(5000) + "\",\"1\"\r\n"));
    EXPECT_EQ(report.count("\"/d/x/\""), 1);
}

TEST_F(TreeReportTest, PrintLinesStartWithTheRootThenFollowTheReportOrder)
{
    FolderRoot* root = buildProject();
    const QLocale german(QLocale::German, QLocale::Germany);
    const QStringList lines = printLinesForRoot(*root, 1, german);
    ASSERT_EQ(lines.size(), 6);
    const char* paths[] = {"/data/proj/", "/data/proj/a/", "/data/proj/a/a1/", "/data/proj/a/a2/",
        "/data/proj/a/a2/deep/", "/data/proj/b/"};
    const std::uint64_t sizes[] = {1000, 600, 100, 500, 50, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(lines[i], FormatSize(sizes[i], false, true, 1, german) + " - " + paths[i]);
        EXPECT_EQ(lines[i].indexOf(QStringLiteral(" - ")), 16) << "KB column is 16 wide";
    }
    EXPECT_EQ(lines[0], QStringLiteral("         0,98 KB - /data/proj/"));
}

TEST_F(TreeReportTest, PrintsOneLineForARootWithoutSubfolders)
{
    FolderRoot* root = tree.addRoot("/empty/", 8, 10);
    EXPECT_EQ(printLinesForRoot(*root, 0, QLocale::c()).size(), 1);
}

} // namespace
