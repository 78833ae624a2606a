// TreeExpanderTest.cpp: the tree's "*" key expands everything below the current row in steps.
#include "foldersize/ui/scanner/TreeExpander.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

using namespace foldersize;

namespace {

class TreeExpanderTest : public ::testing::Test {
protected:
    TreeExpanderTest()
    {
        // A chain 300 folders deep with a second folder on every level.
        QStandardItem* parent = model.invisibleRootItem();
        for (int i = 0; i < 300; ++i) {
            auto* next = new QStandardItem(QStringLiteral("d%1").arg(i));
            parent->appendRow({next});
            parent->appendRow({new QStandardItem(QStringLiteral("leer"))});
            parent = next;
        }
        view.setModel(&model);
        view.setCurrentIndex(model.index(0, 0));
    }

    QStandardItemModel model;
    QTreeView view;
};

TEST_F(TreeExpanderTest, StarExpandsEveryFolderBelowTheCurrentOneOutsideTheKeyPress)
{
    auto* expander = new TreeExpander(&view);
    QSignalSpy finished(expander, &TreeExpander::finished);
    QTest::keyClick(&view, Qt::Key_Asterisk);
    EXPECT_TRUE(expander->running()) << "the work runs in steps after the key press";
    ASSERT_TRUE(finished.wait(5000));
    int expanded = 0;
    for (QModelIndex i = model.index(0, 0); model.rowCount(i) > 0; i = model.index(0, 0, i))
        expanded += view.isExpanded(i) ? 1 : 0;
    EXPECT_EQ(expanded, 299);
}

TEST_F(TreeExpanderTest, RemovedRowsCancelTheExpansion)
{
    auto* expander = new TreeExpander(&view);
    QSignalSpy finished(expander, &TreeExpander::finished);
    expander->expandAll(model.index(0, 0));
    model.removeRow(0);
    EXPECT_FALSE(expander->running());
    QTest::qWait(50);
    EXPECT_EQ(finished.count(), 0);
}

} // namespace
