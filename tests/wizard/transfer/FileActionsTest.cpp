// FileActionsTest.cpp: copy, move and delete actions on a source PC mapped to Z: and the
// destination PC's drive C:.
#include "wizard/transfer/FileActions.h"

#include "platform/FileVersion.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/FileWorkers.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::Action_Function;
using transfer::TransferOutcome;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

class FileActionsTest : public ::testing::Test {
protected:
    static std::string pe(std::uint16_t major, std::uint16_t minor)
    {
        return platform::buildVersionedPe(major, minor, 0, 0);
    }
    std::string versionOfNew(const std::string& relative) const
    {
        return platform::peFileVersion(world.readNew(relative));
    }
    // Marks a file of the running machine read-only, as the file's owner would.
    void makeReadOnly(const std::string& path)
    {
        ASSERT_EQ(fsys.setAttributes(path, platform::attr::ReadOnly), platform::FsError::None) << path;
    }
    TransferWorld world;
    platform::FileSystem fsys = world.fileSystem();
};

TEST_F(FileActionsTest, CopyIntoAMissingFolderCreatesItWithItsParents)
{
    world.putOld("Data\\a.txt", "hello");
    EXPECT_TRUE(Action_Copy_File("Z:\\Data\\a.txt", "C:\\New\\Deep\\Er", "False"));
    EXPECT_EQ(world.readNew("New/Deep/Er/a.txt"), "hello");
    EXPECT_EQ(wizardWindows().statusText(), "Migrated Z:\\Data\\a.txt");
    EXPECT_EQ(wizardWindows().mousePointer(), MousePointer::Default);
}

TEST_F(FileActionsTest, UnversionedSourceOverwritesAndVersionedOverwritesUnversioned)
{
    world.putOld("Doc\\note.txt", "new text");
    world.putNew("Doc/note.txt", "old text");
    EXPECT_TRUE(Action_Copy_File("Z:\\Doc\\note.txt", "C:\\Doc", "False"));
    EXPECT_EQ(world.readNew("Doc/note.txt"), "new text");

    world.putOld("App\\tool.dll", pe(1, 0));
    world.putNew("App/tool.dll", "no version here");
    EXPECT_TRUE(Action_Copy_File("Z:\\App\\tool.dll", "C:\\App", "False"));
    EXPECT_EQ(versionOfNew("App/tool.dll"), "1.0.0.0");
}

TEST_F(FileActionsTest, VersionsCompareAsNumbers)
{
    world.putOld("App\\ten.dll", pe(10, 0));
    world.putNew("App/ten.dll", pe(6, 0));
    EXPECT_TRUE(Action_Copy_File("Z:\\App\\ten.dll", "C:\\App", "False"));
    EXPECT_EQ(versionOfNew("App/ten.dll"), "10.0.0.0") << "10.0 is newer than 6.0";

    world.putOld("App\\six.dll", pe(6, 0));
    world.putNew("App/six.dll", pe(10, 0));
    EXPECT_TRUE(Action_Copy_File("Z:\\App\\six.dll", "C:\\App", "False"));
    EXPECT_EQ(versionOfNew("App/six.dll"), "10.0.0.0") << "an older 6.0 must not replace 10.0";

    world.putOld("App\\same.dll", pe(5, 1));
    world.putNew("App/same.dll", pe(5, 1) + "target");
    EXPECT_TRUE(Action_Copy_File("Z:\\App\\same.dll", "C:\\App", "False"));
    EXPECT_EQ(world.readNew("App/same.dll"), pe(5, 1) + "target") << "an equal version keeps the target";
}

TEST_F(FileActionsTest, CopyPassesOverAMissingSourceWithARecordThatNamesIt)
{
    EXPECT_EQ(transfer::copyFileWorker("Z:\\Data\\missing.txt", "C:\\Data", nullptr).outcome,
        TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Copy_File("Z:\\Data\\missing.txt", "C:\\Data", "False"))
        << "scripts list optional files";
    EXPECT_TRUE(world.logged("Action_Copy_File", "Not found : C:\\Data\\missing.txt"));
    EXPECT_FALSE(world.logged("Action_Copy_File", "Not Copied"));
    EXPECT_FALSE(fs::exists(world.hostNew("Data/missing.txt")));
    EXPECT_EQ(wizardWindows().statusText(), "Not found : Z:\\Data\\missing.txt");

    EXPECT_TRUE(Action_Copy_Folder("Z:\\NoFolder", "C:\\NoFolder", "False"));
    EXPECT_TRUE(world.logged("Action_Copy_Folder", "Not found : C:\\NoFolder"));
    EXPECT_FALSE(fs::exists(world.hostNew("NoFolder")));
}

TEST_F(FileActionsTest, CopyOfAnExistingSourceThatCannotBeWrittenOrReadFails)
{
    // The copy rule would overwrite the unversioned target, but it is read-only.
    world.putOld("Data\\doc.txt", "new");
    world.putNew("Data/doc.txt", "old");
    makeReadOnly("C:\\Data\\doc.txt");
    const transfer::FileTransferResult r = transfer::copyFileWorker("Z:\\Data\\doc.txt", "C:\\Data", nullptr);
    EXPECT_EQ(r.outcome, TransferOutcome::Failed);
    EXPECT_EQ(r.error, platform::FsError::PermissionDenied);
    EXPECT_FALSE(Action_Copy_File("Z:\\Data\\doc.txt", "C:\\Data", "False"));
    EXPECT_EQ(world.readNew("Data/doc.txt"), "old");
    EXPECT_TRUE(world.logged("Action_Copy_File", "Not Copied : C:\\Data\\doc.txt:Permission denied"));
    EXPECT_EQ(wizardWindows().statusText(), "Not Copied : Z:\\Data\\doc.txt");

    // A source that another program holds open cannot be read.
    world.putOld("Data\\held.txt", "held");
    platform::FileLock lock = fsys.lockFile("Z:\\Data\\held.txt");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_FALSE(Action_Copy_File("Z:\\Data\\held.txt", "C:\\Data", "False"));
    lock.release();
    EXPECT_FALSE(fs::exists(world.hostNew("Data/held.txt")));

    // In a tree, the failing file fails the folder; a present file still arrives.
    world.putOld("Data\\fresh.txt", "fresh");
    EXPECT_EQ(transfer::copyFolderWorker("Z:\\Data", "C:\\Data", nullptr,
                  {"Action_Copy_Folder",
                      [](int n, const std::string& d) { return std::to_string(n) + "(" + d + ")"; }}),
        TransferOutcome::Failed);
    EXPECT_EQ(world.readNew("Data/fresh.txt"), "fresh");
}

TEST_F(FileActionsTest, BusyWindowShowsTheItemAndTheFile)
{
    wizardWindows().openBusyWindow();
    transferGlobals().progressCaption = "Outlook Express";
    world.putOld("Data\\a.txt", "x");
    EXPECT_TRUE(Action_Copy_File("Z:\\Data\\a.txt", "C:\\Data", "False"));
    EXPECT_EQ(wizardWindows().busyCaption(), "Outlook Express");
    EXPECT_EQ(wizardWindows().busyDetails(), "Please wait.. Copying Z:\\Data\\a.txt");
    EXPECT_GE(world.pump.count, 2) << "yields before the busy window update and before the copy";
    wizardWindows().closeBusyWindow();
}

TEST_F(FileActionsTest, FolderCopyIsDepthFirstAndKeepsEmptySubFolders)
{
    world.putOld("Tree\\top.txt", "t");
    world.putOld("Tree\\Sub\\inner.txt", "i");
    fs::create_directories(world.hostOld("Tree/Sub/Empty"));
    EXPECT_TRUE(Action_Copy("Tree", "Z:", "C:\\Copy", "folder", "False"));
    EXPECT_EQ(world.readNew("Copy/Tree/top.txt"), "t");
    EXPECT_EQ(world.readNew("Copy/Tree/Sub/inner.txt"), "i");
    EXPECT_TRUE(fs::is_directory(world.hostNew("Copy/Tree/Sub/Empty")));
    EXPECT_TRUE(world.logged("Action_Copy_Folder", "Start"));
    EXPECT_TRUE(world.logged("Action_Copy_Folder", "End"));
}

TEST_F(FileActionsTest, FolderCopyReportsALockedTargetAndCopiesTheRest)
{
    world.putOld("Tree\\a.txt", "new a");
    world.putOld("Tree\\b.txt", "new b");
    world.putNew("Dest/a.txt", "old a");
    platform::FileLock lock = fsys.lockFile("C:\\Dest\\a.txt");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_FALSE(Action_Copy_Folder("Z:\\Tree", "C:\\Dest", "False"));
    lock.release();
    EXPECT_EQ(world.readNew("Dest/a.txt"), "old a");
    EXPECT_EQ(world.readNew("Dest/b.txt"), "new b");
    EXPECT_TRUE(world.logged("Action_Copy_Folder", "70(C:\\Dest)"));
    EXPECT_FALSE(world.logged("Action_Copy_Folder", "End"));
}

TEST_F(FileActionsTest, DispatchIgnoresUnknownTypes)
{
    world.putOld("Data\\a.txt", "x");
    EXPECT_TRUE(Action_Copy("a.txt", "Z:\\Data", "C:\\Data", "rfolder", "False"));
    EXPECT_FALSE(fs::exists(world.hostNew("Data/a.txt")));
    EXPECT_TRUE(Action_Copy("a.txt", "Z:\\Data", "C:\\Data", "file", "False"));
    EXPECT_TRUE(fs::exists(world.hostNew("Data/a.txt")));
}

TEST_F(FileActionsTest, MoveIntoAFolderTakesTheFileAway)
{
    world.putNew("Inbox/m.txt", "mail");
    EXPECT_TRUE(Action_Move("m.txt", "C:\\Inbox", "C:\\Archive\\2003", "file", "False"));
    EXPECT_EQ(world.readNew("Archive/2003/m.txt"), "mail");
    EXPECT_FALSE(fs::exists(world.hostNew("Inbox/m.txt")));
    EXPECT_EQ(wizardWindows().statusText(), "Migrated C:\\Inbox\\m.txt!");
}

TEST_F(FileActionsTest, MoveKeepsAnExistingTargetUnlessTheSourceIsNewer)
{
    world.putNew("In/doc.txt", "source");
    world.putNew("Out/doc.txt", "target");
    EXPECT_TRUE(Action_Move_File("C:\\In\\doc.txt", "C:\\Out", "False"));
    EXPECT_EQ(world.readNew("In/doc.txt"), "source");
    EXPECT_EQ(world.readNew("Out/doc.txt"), "target");

    world.putNew("In/lib.dll", pe(10, 0));
    world.putNew("Out/lib.dll", pe(9, 0));
    EXPECT_TRUE(Action_Move_File("C:\\In\\lib.dll", "C:\\Out", "False"));
    EXPECT_EQ(versionOfNew("Out/lib.dll"), "10.0.0.0");
    EXPECT_FALSE(fs::exists(world.hostNew("In/lib.dll")));
}

TEST_F(FileActionsTest, RefusedMoveIsReported)
{
    world.putNew("In/busy.txt", "busy");
    platform::FileLock lock = fsys.lockFile("C:\\In\\busy.txt");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_FALSE(Action_Move_File("C:\\In\\busy.txt", "C:\\Out", "False"));
    lock.release();
    EXPECT_TRUE(world.logged("Action_Copy_File70", "Not MovedC:\\In\\busy.txt:"));
    EXPECT_TRUE(fs::exists(world.hostNew("In/busy.txt")));

    // A newer source may replace the target, but the target is read-only.
    world.putNew("In/lib.dll", pe(2, 0));
    world.putNew("Out/lib.dll", pe(1, 0));
    makeReadOnly("C:\\Out\\lib.dll");
    const transfer::FileTransferResult r = transfer::moveFileWorker("C:\\In\\lib.dll", "C:\\Out");
    EXPECT_EQ(r.outcome, TransferOutcome::Failed);
    EXPECT_EQ(r.error, platform::FsError::PermissionDenied);
    EXPECT_FALSE(Action_Move_File("C:\\In\\lib.dll", "C:\\Out", "False"));
    EXPECT_EQ(versionOfNew("Out/lib.dll"), "1.0.0.0");
    EXPECT_EQ(versionOfNew("In/lib.dll"), "2.0.0.0") << "a refused move keeps the source";
}

TEST_F(FileActionsTest, MovePassesOverAMissingSourceWithARecordThatNamesIt)
{
    EXPECT_EQ(transfer::moveFileWorker("C:\\In\\gone.txt", "C:\\Out").outcome, TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Move_File("C:\\In\\gone.txt", "C:\\Out", "False"));
    EXPECT_TRUE(world.logged("Action_Move_File", "Not found : C:\\In\\gone.txt"));
    EXPECT_FALSE(world.logged("Action_Copy_File53", ""));
    EXPECT_EQ(wizardWindows().statusText(), "Not found : C:\\In\\gone.txt");

    EXPECT_EQ(transfer::moveFolderWorker("C:\\Nowhere", "C:\\Out\\Nowhere"), TransferOutcome::NotFound);
    EXPECT_TRUE(Action_Move("Nowhere", "C:", "C:\\Out", "folder", "False"));
    EXPECT_TRUE(world.logged("Action_Move_Folder", "Not found : C:\\Nowhere"));
}

TEST_F(FileActionsTest, FolderMoveMovesFilesAndLeavesTheFolders)
{
    world.putNew("Src/a.txt", "a");
    world.putNew("Src/Sub/b.txt", "b");
    fs::create_directories(world.hostNew("Dst/Src"));
    EXPECT_TRUE(Action_Move("Src", "C:", "C:\\Dst", "folder", "False"));
    EXPECT_EQ(world.readNew("Dst/Src/a.txt"), "a");
    EXPECT_EQ(world.readNew("Dst/Src/Sub/b.txt"), "b");
    EXPECT_TRUE(fs::is_directory(world.hostNew("Src/Sub")));
    EXPECT_FALSE(fs::exists(world.hostNew("Src/Sub/b.txt")));
}

TEST_F(FileActionsTest, DeleteAllEmptiesTheFolderItNames)
{
    world.putNew("Temp/a.txt", "a");
    world.putNew("Temp/Sub/b.txt", "b");
    world.putNew("Tem/keep.txt", "k");
    EXPECT_TRUE(Action_Delete("C:\\Temp\\*.*", "all"));
    EXPECT_TRUE(fs::is_directory(world.hostNew("Temp")));
    EXPECT_TRUE(fs::is_empty(world.hostNew("Temp")));

    world.putNew("Temp/c.txt", "c");
    EXPECT_TRUE(Action_Delete("C:\\Temp", "all"));
    EXPECT_TRUE(fs::is_empty(world.hostNew("Temp")));
    EXPECT_EQ(world.readNew("Tem/keep.txt"), "k") << "the neighbour C:\\Tem is not touched";
}

TEST_F(FileActionsTest, DeleteAllReportsAFileInUseAndKeepsIt)
{
    world.putNew("Temp/open.txt", "open");
    platform::FileLock lock = fsys.lockFile("C:\\Temp\\open.txt");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_FALSE(Action_Delete("C:\\Temp\\*.*", "all"));
    lock.release();
    EXPECT_EQ(world.readNew("Temp/open.txt"), "open");
}

TEST_F(FileActionsTest, DeleteNeverEmptiesADriveRoot)
{
    world.putNew("keep.txt", "k");
    EXPECT_FALSE(Action_Delete("C:\\*.*", "all"));
    EXPECT_FALSE(Action_Delete("C:\\", "all"));
    EXPECT_FALSE(Action_Delete("C:\\", "folder"));
    EXPECT_FALSE(Action_Delete("\\*.*", "all")) << "a path left relative by an unset variable";
    EXPECT_EQ(world.readNew("keep.txt"), "k");
}

TEST_F(FileActionsTest, DeleteFileAndFolderReportFailures)
{
    world.putNew("Old/x.txt", "x");
    EXPECT_TRUE(Action_Delete("C:\\Old\\x.txt", "file"));
    EXPECT_FALSE(fs::exists(world.hostNew("Old/x.txt")));
    EXPECT_FALSE(Action_Delete("C:\\Old\\x.txt", "file"));
    EXPECT_TRUE(Action_Delete("C:\\Old", "folder"));
    EXPECT_FALSE(fs::exists(world.hostNew("Old")));
    EXPECT_FALSE(Action_Delete("C:\\Old", "folder"));
    EXPECT_TRUE(Action_Delete("C:\\Old", "other"));
}
