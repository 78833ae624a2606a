// FolderTreeModelTest.cpp: rows, texts and the growing tree while a scan runs.
#include "foldersize/ui/scanner/FolderTreeModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include "foldersize/scanner/FolderScanner.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"
#include "tests/foldersize/TempTree.h"

using namespace foldersize;

class FolderTreeModelTest : public ::testing::Test {
protected:
    FolderTree tree;
    FolderTreeModel model{tree};
    testsupport::TempTree t;
    void SetUp() override
    {
        testsupport::ensureApp();
        model.setLocale(QLocale(QLocale::German, QLocale::Germany));
    }
    FolderRoot* addRoot(const std::string& path)
    {
        model.beginAddRoot();
        FolderRoot* r = tree.addRoot(path, 3, 3);
        model.endAddRoot();
        return r;
    }
};

TEST_F(FolderTreeModelTest, FinishedChildrenAppearWhileTheScanRuns)
{
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    t.file("a/f", 10);
    t.file("b/f", 20);
    t.file("c/f", 30);
    t.file("own", 4);
    FolderRoot* r = addRoot(t.root());
    model.scanStarted(r->node.get());
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(root.data().toString(), QString::fromStdString(t.root()).chopped(1))
        << "path alone while measuring";
    FolderScanner s(r->node.get());
    while (s.step(1) && s.finishedRootChildren() < 2)
        model.rootChildrenFinished(s.finishedRootChildren());
    model.rootChildrenFinished(s.finishedRootChildren());
    EXPECT_EQ(model.rowCount(root), 2);
    EXPECT_EQ(model.index(1, 0, root).data().toString(), "         0,02 KB - b");
    while (s.step(100)) {}
    model.rootChildrenFinished(s.finishedRootChildren());
    model.scanEnded();
    EXPECT_EQ(model.rowCount(root), 4) << "three folders and the files node";
    EXPECT_TRUE(model.index(3, 0, root).data(FolderTreeModel::FilesNodeRole).toBool());
    EXPECT_EQ(model.index(3, 0, root).data().toString(), "         0,00 KB - [Dateien]");
    EXPECT_EQ(root.data().toString(), QString::fromStdString(t.root()).chopped(1) + " 0,06 KB");
    EXPECT_EQ(root.data(FolderTreeModel::SizeTextRole).toString(), "s64");
    EXPECT_EQ(model.parent(model.index(3, 0, root)), root);
    EXPECT_EQ(model.nodeOf(model.index(0, 0, root))->name(), "a");
}

TEST_F(FolderTreeModelTest, CountsAndUnitsRerender)
{
    t.file("x/y/f", 2048);
    t.file("x/g", 1);
    FolderRoot* r = addRoot(t.root());
    FolderScanner s(r->node.get());
    while (s.step(100)) {}
    model.setShowCounts(true);
    const QModelIndex root = model.index(0, 0);
    EXPECT_TRUE(root.data().toString().endsWith(" 2,00 KB - (2)")) << root.data().toString().toStdString();
    EXPECT_EQ(model.index(0, 0, root).data().toString(), "         2,00 KB - x - (2)");
    model.setUnit(0);
    EXPECT_TRUE(root.data().toString().endsWith(" 2.049 Bytes - (2)"));
    EXPECT_EQ(model.index(0, 0, root).data().toString(), "          2.049 - x - (2)");
    model.setUnit(9);
    EXPECT_EQ(model.index(0, 0, root).data().toString(), " - x - (2)") << "an unknown unit shows no size";
}

TEST_F(FolderTreeModelTest, UnreadableAndStoppedFoldersAreMarked)
{
    t.file("a/f", 10);
    t.file("b/c/f", 20);
    FolderRoot* r = addRoot(t.root());
    model.scanStarted(r->node.get());
    FolderScanner s(r->node.get());
    while (s.step(1) && s.finishedRootChildren() < 1) {}
    s.stop();
    model.scanEnded();
    const QModelIndex root = model.index(0, 0);
    EXPECT_TRUE(root.data().toString().endsWith(" [unvollständig]")) << root.data().toString().toStdString();
    ASSERT_EQ(model.rowCount(root), 2);
    EXPECT_EQ(model.index(0, 0, root).data().toString(), "         0,01 KB - a") << "a finished folder";
    EXPECT_EQ(model.index(1, 0, root).data().toString(), "         0,00 KB - b [unvollständig]");

    FolderRoot* gone = addRoot(t.path("missing/"));
    FolderScanner s2(gone->node.get());
    while (s2.step(100)) {}
    const QString text = model.index(1, 0).data().toString();
    EXPECT_TRUE(text.endsWith(" 0,00 KB [nicht lesbar]")) << "not an empty folder: " << text.toStdString();
    gone->node->readable = true;
    EXPECT_TRUE(model.index(1, 0).data().toString().endsWith(" 0,00 KB")) << "a readable empty one";
}

TEST_F(FolderTreeModelTest, IndexOfAndKeysRoundTrip)
{
    t.file("d/e/f", 1);
    t.file("d/own", 1);
    FolderRoot* r = addRoot(t.root());
    FolderScanner s(r->node.get());
    while (s.step(100)) {}
    const FolderNode* d = r->node->childNamed("d");
    const QModelIndex di = model.indexOf(d);
    ASSERT_TRUE(di.isValid());
    EXPECT_EQ(model.nodeOf(di), d);
    const QModelIndex files = model.indexOf(d, true);
    ASSERT_TRUE(files.isValid());
    EXPECT_EQ(files.data(FolderTreeModel::KeyRole).toByteArray().toStdString(), tree.keyOf(d, true));
    EXPECT_EQ(files.data(FolderTreeModel::ImageRole).toInt(), 9);
    EXPECT_EQ(di.data(FolderTreeModel::ImageRole).toInt(), 8);
    EXPECT_EQ(model.index(0, 0).data(FolderTreeModel::ImageRole).toInt(), 3)
        << "roots keep the combo's picture";
}
