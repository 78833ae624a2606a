// FolderQueueControllerTest.cpp: the folder queue without a window: folders from a later copy in
// arrival order, stop, refresh of one root, folders that are no folders, and the busy flag.
#include "foldersize/ui/scanner/FolderQueueController.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "foldersize/scanner/ScanStatus.h"
#include "foldersize/ui/scanner/FolderTreeModel.h"
#include "tests/foldersize/QtApp.h"
#include "tests/foldersize/TempTree.h"

using namespace foldersize;
using testsupport::TempTree;

class FolderQueueControllerTest : public ::testing::Test {
protected:
    FolderQueueControllerTest()
    {
        testsupport::ensureApp();
        c.setComboLookup([this](const std::string& folder) {
            looked.push_back(folder);
            FolderQueueController::ComboEntry e;
            e.tag = folder.back() == '/' ? folder : folder + "/";
            return e;
        });
        QObject::connect(&c, &FolderQueueController::listRequested, &c,
            [this](const std::string& folder) { listed.push_back(folder); });
    }
    ~FolderQueueControllerTest() override
    {
        if (c.busy())
            c.requestStop();
    }
    bool waitIdle(int ms = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!c.busy())
                return true;
        } while (clock.elapsed() < ms);
        return false;
    }
    const FolderRoot& root(std::size_t i) { return tree.root(i); }

    TempTree t;
    FolderTree tree;
    FolderTreeModel model{tree};
    FolderQueueController c{tree, model};
    std::vector<std::string> looked;
    std::vector<std::string> listed;
};

TEST_F(FolderQueueControllerTest, LaterCopyFoldersAreMeasuredInArrivalOrderInOneLoop)
{
    t.file("a/f", 1);
    t.file("b/f", 2);
    t.file("c/f", 3);
    QSignalSpy started(&c, &FolderQueueController::loopStarted);
    QSignalSpy done(&c, &FolderQueueController::queueWorkedOff);
    // Arrives while idle: measured at once, also several together.
    EXPECT_EQ(c.receive({t.path("a"), t.path("b")}), 2u);
    EXPECT_TRUE(c.busy());
    // Arrives during the scan: only queued, the running loop takes it up.
    c.receive({t.path("c")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(done.count(), 1) << "one working-off loop for all three";
    ASSERT_EQ(tree.rootCount(), 3u);
    EXPECT_EQ(root(0).folderPath, t.path("a/"));
    EXPECT_EQ(root(1).folderPath, t.path("b/"));
    EXPECT_EQ(root(2).folderPath, t.path("c/"));
    EXPECT_EQ(root(2).node->totalBytes, 3u);
    EXPECT_EQ(root(0).node->state, ScanState::Done);
    EXPECT_EQ(listed, std::vector<std::string>{t.path("c/")}) << "the last folder is listed";
    EXPECT_TRUE(c.queue().empty());
}

TEST_F(FolderQueueControllerTest, APseudoFileSystemIsSaidToBeSkippedNotShownAsEmpty)
{
    t.file("a/f", 1);
    c.receive({t.path("a")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(scanStatusText(c.runStatistics()), QStringLiteral("OK."));
    c.receive({"/proc"});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(c.runStatistics().skippedPseudo, 1u) << "counted for this run only";
    const QString status = scanStatusText(c.runStatistics());
    EXPECT_TRUE(status.contains(QStringLiteral("übersprungen"))) << status.toStdString();

    ScanStatistics unreadable;
    unreadable.unreadableFolders = 3;
    EXPECT_TRUE(scanStatusText(unreadable).contains(QStringLiteral("3 Ordner")))
        << "incomplete sizes are named";
    ScanStatistics repeated;
    repeated.repeatedFolders = 2;
    repeated.skippedRepeats = 5; // hard-linked files among them are no folders
    EXPECT_EQ(scanStatusText(repeated),
        QStringLiteral(
            "OK. 2 Ordner waren schon an anderer Stelle im Baum (z. B. Bind-Mount) und nur dort gezählt."))
        << "a folder missing from the tree is accounted for";
}

TEST_F(FolderQueueControllerTest, StopEndsTheScanAndDiscardsTheRestOfTheQueue)
{
    for (int i = 0; i < 20; ++i)
        t.file("big/d" + std::to_string(i) + "/f", 100);
    t.file("second/f", 1);
    QSignalSpy ended(&c, &FolderQueueController::scanEnded);
    c.receive({t.path("big"), t.path("second")});
    ASSERT_TRUE(c.busy());
    c.requestStop();
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(tree.rootCount(), 1u) << "the second folder is never measured";
    EXPECT_LT(root(0).node->totalBytes, 2000u);
    EXPECT_EQ(root(0).node->state, ScanState::Created);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_TRUE(ended[0][1].toBool()) << "the scan reports that it was stopped";
    EXPECT_TRUE(c.runStatistics().stopped);
    const QString status = scanStatusText(c.runStatistics());
    EXPECT_TRUE(status.contains(QStringLiteral("unvollständig"))) << status.toStdString();
    EXPECT_FALSE(status.startsWith(QStringLiteral("OK"))) << "a stopped scan does not look complete";
    EXPECT_TRUE(c.queue().empty());
    EXPECT_EQ(c.einleseStatus(), kEinleseNormal);
    EXPECT_EQ(listed, std::vector<std::string>{t.path("big/")});
}

TEST_F(FolderQueueControllerTest, AStopBeforeTheLoopEndsItAfterTheFirstFolder)
{
    t.file("a/f", 1);
    t.file("b/f", 2);
    c.requestStop();
    EXPECT_EQ(c.einleseStatus(), kStopRequested);
    c.receive({t.path("a"), t.path("b")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(tree.rootCount(), 1u);
    EXPECT_EQ(c.einleseStatus(), kEinleseNormal) << "the end of the loop resets the request";
    // "start" resets it too and replaces whatever waited in the queue.
    c.requestStop();
    c.queue().append(t.path("a"));
    c.startFolder(t.path("b/"));
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(tree.rootCount(), 2u);
    EXPECT_EQ(root(1).folderPath, t.path("b/"));
    EXPECT_EQ(root(1).node->totalBytes, 2u);
}

TEST_F(FolderQueueControllerTest, EntriesThatAreNoFoldersAreDroppedSilently)
{
    t.file("top.txt", 24);
    QSignalSpy done(&c, &FolderQueueController::queueWorkedOff);
    c.queue().append(t.path("missing"));
    c.queue().append(t.path("top.txt"));
    c.Ordnerliste_Abarbeiten();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(tree.rootCount(), 0u);
    EXPECT_TRUE(looked.empty()) << "no combo item for a path that is no folder";
    EXPECT_TRUE(listed.empty()) << "no folder was measured, so none is listed";
}

TEST_F(FolderQueueControllerTest, AListFillKeepsHandedOverFoldersWaiting)
{
    t.file("x/f", 5);
    c.setListBusy(true);
    EXPECT_TRUE(c.busy());
    c.receive({t.path("x")});
    EXPECT_EQ(c.queue().size(), 1u);
    c.Ordnerliste_Abarbeiten();
    EXPECT_EQ(tree.rootCount(), 0u) << "no loop starts while the list fills";
    c.setListBusy(false);
    c.Ordnerliste_Abarbeiten();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(tree.rootCount(), 1u);
}

TEST_F(FolderQueueControllerTest, RefreshMeasuresTheRootAgainAndNamesTheNodeToSelect)
{
    t.file("r/keep/f", 100);
    t.file("r/g", 1);
    t.file("later/f", 9);
    c.receive({t.path("r")});
    ASSERT_TRUE(waitIdle());
    FolderNode* keep = root(0).node->childNamed("keep");
    ASSERT_NE(keep, nullptr);
    const std::string key = tree.keyOf(keep);
    t.file("r/keep/more", 50);
    t.file("r/new/h", 7);
    QSignalSpy ended(&c, &FolderQueueController::refreshEnded);
    QSignalSpy finished(&c, &FolderQueueController::refreshFinished);
    listed.clear();
    ASSERT_TRUE(c.refresh(keep, false));
    EXPECT_FALSE(c.refresh(root(0).node.get(), false)) << "no second refresh while one runs";
    // A folder that arrives during the refresh waits and is measured afterwards.
    c.receive({t.path("later")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(ended.count(), 1);
    const NodeRef again = ended[0][0].value<NodeRef>();
    ASSERT_TRUE(again);
    EXPECT_EQ(tree.keyOf(again.folder), key) << "the node selected before is found again";
    ASSERT_EQ(tree.rootCount(), 2u);
    EXPECT_EQ(root(0).prefix(), "K000") << "the root keeps its key";
    EXPECT_EQ(root(0).node->totalBytes, 158u);
    EXPECT_EQ(root(1).folderPath, t.path("later/"));
    EXPECT_EQ(listed, std::vector<std::string>{t.path("later/")}) << "the loop lists its last folder";
    EXPECT_FALSE(c.refresh(nullptr, false));
}
