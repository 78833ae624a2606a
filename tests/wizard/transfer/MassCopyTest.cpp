// MassCopyTest.cpp: whole trees and drives copied in a mass migration: renaming of the Windows and
// System folders by source and destination system, files never copied, existing files kept,
// drives paired by position, a source that goes away, a destination that fills up and the one-pass
// folder copy beneath.
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassSteps.h"

#include "platform/TreeCopyWalk.h"

#include "tests/support/TurkishLocale.h"
#include "tests/support/common/ThreadChecker.h"
#include "tests/support/platform/FullDisk.h"
#include "tests/wizard/transfer/HostileSource.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/MigrationReport.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::mass;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

class MassCopyTest : public ::testing::Test {
protected:
    MassCopyTest()
    {
        massState() = MassState{"\\\\OLDPC", "C:\\WINDOWS", "C:\\WINNT", "W98", "W2K", "Jo", "Ann"};
    }
    ~MassCopyTest() override { massState() = MassState{}; }

    bool onNew(const std::string& relative) const { return fs::exists(world.hostNew(relative)); }

    TransferWorld world;
};

TEST_F(MassCopyTest, DriveRootArrivesWithTheDestinationsWindowsAndSystemFolders)
{
    world.putOld("WINDOWS/SYSTEM/A.DLL", "a");
    world.putOld("WINDOWS/WIN.INI", "w");
    world.putOld("Apps/WINDOWS/SYSTEM/B.DLL", "b");
    world.putOld("Apps/Tool/SYSTEM/C.DLL", "c");
    world.putOld("pagefile.sys", "p");
    world.putOld("Docs/Desktop.ini", "d");
    world.putOld("Docs/Folder.HTT", "f");
    world.putOld("Docs/letter.txt", "new");
    world.putNew("Docs/letter.txt", "kept");

    TreeCopyReport report;
    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:", "C:", true, false, &report));
    EXPECT_EQ(world.readNew("WINNT/System32/A.DLL"), "a");
    EXPECT_EQ(world.readNew("WINNT/WIN.INI"), "w");
    EXPECT_FALSE(onNew("WINDOWS"));
    // Only the drive's own Windows folder is renamed, and only its own System folder.
    EXPECT_EQ(world.readNew("Apps/WINDOWS/SYSTEM/B.DLL"), "b");
    EXPECT_EQ(world.readNew("Apps/Tool/SYSTEM/C.DLL"), "c");
    EXPECT_FALSE(onNew("pagefile.sys"));
    EXPECT_FALSE(onNew("Docs/Desktop.ini"));
    EXPECT_FALSE(onNew("Docs/Folder.HTT"));
    EXPECT_EQ(world.readNew("Docs/letter.txt"), "kept");
    EXPECT_EQ(report.kept, 1u);
    EXPECT_EQ(report.copied, 4u);
}

TEST_F(MassCopyTest, UnderATurkishLocaleTheSameNamesAreLeftOutAndTheWindowsFolderRenamed)
{
    // There the C library's upper case of "i" is "i" again; names compare as Windows does.
    const testsupport::TurkishLocale turkish;
    ASSERT_TRUE(turkish.active()) << "tr_TR.UTF-8 could be neither set nor built";
    const char* leftOut[] = {"pagefile.sys", "hiberfil.sys", "Docs/desktop.ini", "Docs/folder.htt"};
    for (const char* name : leftOut)
        world.putOld(name, "-");
    world.putOld("System Volume Information/tracking.log", "t");
    world.putOld("Windows/System/A.DLL", "a");
    world.putOld("Docs/letter.txt", "l");

    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:", "C:", true, false));
    for (const char* name : leftOut)
        EXPECT_FALSE(onNew(name)) << name;
    EXPECT_FALSE(onNew("System Volume Information"));
    EXPECT_EQ(world.readNew("WINNT/System32/A.DLL"), "a");
    EXPECT_FALSE(onNew("Windows"));
    EXPECT_EQ(world.readNew("Docs/letter.txt"), "l");
}

TEST_F(MassCopyTest, XpDestinationKeepsItsSystemFoldersButNotTheUsersOnes)
{
    massState().destOsCode = "XP";
    massState().destSystemRoot = "C:\\WINDOWS";
    world.putOld("WINDOWS/SYSTEM/A.DLL", "a");
    world.putOld("WINDOWS/system32/B.DLL", "b");
    world.putOld("WINDOWS/Fonts/F.TTF", "f");
    world.putOld("System Volume Information/tracking.log", "t");
    world.putOld("My Documents/Operating systems/notes.txt", "n");
    world.putOld("Projects/SystemTests/run.bat", "r");

    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:\\", "C:\\", true, false));
    EXPECT_FALSE(onNew("WINDOWS/SYSTEM"));
    EXPECT_FALSE(onNew("WINDOWS/system32/B.DLL"));
    EXPECT_FALSE(onNew("System Volume Information"));
    EXPECT_EQ(world.readNew("WINDOWS/Fonts/F.TTF"), "f");
    EXPECT_EQ(world.readNew("My Documents/Operating systems/notes.txt"), "n");
    EXPECT_EQ(world.readNew("Projects/SystemTests/run.bat"), "r");
}

TEST_F(MassCopyTest, Win98DestinationOrNtSourceGetsNoSystem32)
{
    world.putOld("WINDOWS/SYSTEM/A.DLL", "a");
    massState().destOsCode = "W98";
    massState().destSystemRoot = "C:\\WINDOWS";
    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:\\", "C:\\", true, false));
    EXPECT_EQ(world.readNew("WINDOWS/SYSTEM/A.DLL"), "a");
    EXPECT_FALSE(onNew("WINDOWS/System32"));

    massState().sourceOsCode = "W2K";
    massState().destOsCode = "W2K";
    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:\\", "C:\\Second", true, false));
    EXPECT_EQ(world.readNew("Second/WINDOWS/SYSTEM/A.DLL"), "a");
    EXPECT_FALSE(onNew("Second/WINDOWS/System32"));
}

TEST_F(MassCopyTest, WithoutRecursionOnlyTheTopFilesAndWithOverwriteNewerWins)
{
    world.putOld("Data/top.txt", "new");
    world.putOld("Data/Inner/deep.txt", "d");
    world.putNew("Target/top.txt", "old");
    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:\\Data", "C:\\Target", false, true));
    EXPECT_EQ(world.readNew("Target/top.txt"), "new");
    EXPECT_FALSE(onNew("Target/Inner"));
    EXPECT_FALSE(FN_Copy_Folder_Tree("Z:\\Nowhere", "C:\\Target", true, true));
}

TEST_F(MassCopyTest, DrivesArePairedByPositionAndAMissingOneIsTold)
{
    // NEWPC has only C:; the source's C: is mapped to Z:, its D: to Y:, its E: to X:.
    world.putOld("c.txt", "c");
    transferGlobals().driveMap.set("D:", "Y:");
    transferGlobals().driveMap.set("E:", "X:");
    const auto results = copyMappedDrives();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].sourceDrive, "C:");
    EXPECT_EQ(results[0].destDrive, "C:");
    EXPECT_TRUE(results[0].note.empty());
    EXPECT_EQ(world.readNew("c.txt"), "c");
    EXPECT_TRUE(results[1].destDrive.empty()); // D: has no hard disk D: here
    EXPECT_TRUE(results[2].destDrive.empty()); // a third drive has no destination
    ASSERT_EQ(driveCopyNotes().size(), 2u);
    EXPECT_NE(driveCopyNotes()[0].find("no hard disk D:"), std::string::npos);
    EXPECT_TRUE(world.logged("FN_CopyFiles_Tmp_Err", "The source drive E:"));
}

TEST_F(MassCopyTest, SourceWithCAndEGivesItsEToD)
{
    world.putOld("c.txt", "c");
    const fs::path oldE = world.addHardDisk(true, 'E', 'X');
    const fs::path newD = world.addHardDisk(false, 'D');
    TransferWorld::put(oldE / "Data" / "e.txt", "e");
    transferGlobals().driveMap.set("E:", "X:");
    // The space check looks at the drive the copy writes onto, not at the destination's E:.
    const auto checks = checkSpace();
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[1].destDrive, "D:");
    EXPECT_TRUE(checks[1].compared);
    const auto results = copyMappedDrives();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].destDrive, "D:");
    EXPECT_EQ(world.readNew("c.txt"), "c");
    EXPECT_EQ(TransferWorld::read(newD / "Data" / "e.txt"), "e");
}

TEST_F(MassCopyTest, SourceGoneMidCopyIsToldAndCopiedFilesAreWhole)
{
    world.putOld("A/one.txt", "1111");
    world.putOld("B/two.txt", "2222");
    // The copy's work beside waits for each step to be taken, so that B goes away before it is
    // reached.
    TreeCopier copier("Z:\\", "C:\\Copy", true, false, treeCopyRulesFor(massState()), 1);
    ASSERT_TRUE(copier.step()); // the root
    ASSERT_TRUE(copier.step()); // A
    ASSERT_TRUE(copier.step()); // A\one.txt
    fs::remove_all(world.hostOld("B"));
    while (copier.step()) {}
    EXPECT_TRUE(copier.report().sourceLost);
    EXPECT_EQ(world.readNew("Copy/A/one.txt"), "1111");
    EXPECT_FALSE(onNew("Copy/B/two.txt"));
}

TEST_F(MassCopyTest, FolderFilesKeepAttributesSpellingAndSkipFilesInUse)
{
    world.putOld("F/Hidden.txt", "h");
    world.putOld("F/Busy.txt", "b");
    world.putOld("F/Plain.txt", "p");
    world.putNew("G/PLAIN.TXT", "old");
    platform::FileSystem files = world.fileSystem();
    ASSERT_EQ(files.setAttributes("Z:\\F\\Hidden.txt", platform::attr::Hidden), platform::FsError::None);
    ASSERT_EQ(files.setAttributes("C:\\G\\PLAIN.TXT", platform::attr::ReadOnly), platform::FsError::None);
    platform::FileLock lock = files.lockFile("Z:\\F\\Busy.txt");
    ASSERT_TRUE(lock.isLocked());

    TreeCopyReport r;
    ASSERT_TRUE(FN_Copy_Folder_Tree("Z:\\F", "C:\\G", false, true, &r));
    EXPECT_EQ(r.copied, 1u);
    EXPECT_EQ(r.failed, 2u) << "the file in use and the read-only target";
    unsigned bits = 0;
    ASSERT_EQ(files.getAttributes("C:\\G\\Hidden.txt", bits), platform::FsError::None);
    EXPECT_TRUE(bits & platform::attr::Hidden);
    EXPECT_EQ(world.readNew("G/PLAIN.TXT"), "old");
    EXPECT_FALSE(onNew("G/Plain.txt") && !onNew("G/PLAIN.TXT"));
}

TEST_F(MassCopyTest, ASourceDriveThatCannotBeReachedIsToldNotSkippedSilently)
{
    world.putOld("c.txt", "c");
    fs::remove_all(world.hostOld(""));
    const auto results = copyMappedDrives();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].destDrive, "C:");
    EXPECT_TRUE(results[0].report.sourceLost);
    ASSERT_EQ(driveCopyNotes().size(), 1u);
    EXPECT_NE(driveCopyNotes()[0].find("could no longer be reached"), std::string::npos)
        << driveCopyNotes()[0];
}

// The destination drive fills up in the middle of a whole-drive copy (a file-size limit in a child
// process stands in for the full drive): the copy ends there and says so to its caller, the status
// page's note and the log; the files copied before are whole, the file that did not fit is not left
// under its name and the copy layer's partial file is gone.
TEST_F(MassCopyTest, ADestinationThatFillsUpEndsTheDriveCopyAndSaysSo)
{
    SKIP_WHERE_A_FORKED_CHILD_CANNOT_START_THREADS();
    world.putOld("A/first.txt", "1111");
    world.putOld("B/large.bin", std::string(256 * 1024, 'L'));
    world.putOld("B/small.txt", "small");
    world.putOld("C/later.txt", "3333");
    world.putNew("B/small.txt", "kept");
    world.putNew("Over/large.bin", "earlier");
    const std::string found = testsupport::onFullDisk(64 * 1024, [this] {
        const auto results = copyMappedDrives();
        std::string out;
        // A copy that replaces files fails the same way and keeps the file it would have replaced.
        TreeCopyReport over;
        if (!FN_Copy_Folder_Tree("Z:\\B", "C:\\Over", false, true, &over) && over.diskFull)
            out += "replace refused;";
        if (results.size() == 1 && results[0].report.diskFull && !results[0].report.sourceLost)
            out += "full;";
        if (driveCopyNotes().size() == 1)
            out += driveCopyNotes()[0] + ";";
        if (world.logged("FN_CopyFiles_Tmp_Err", "61:Disk full"))
            out += "logged;";
        platform::TreeCopyWalk::waitForStopped(); // the copies' work beside has let go of its files
        return out;
    });
    EXPECT_EQ(
        found, "replace refused;full;Drive C: is full: the copy of the source drive C: ended there;logged;");
    EXPECT_EQ(world.readNew("Over/large.bin"), "earlier");
    EXPECT_EQ(world.readNew("A/first.txt"), "1111");
    EXPECT_FALSE(onNew("B/large.bin"));
    EXPECT_EQ(world.readNew("B/small.txt"), "kept");
    EXPECT_FALSE(onNew("C/later.txt")) << "the copy ends where the drive filled up";
    for (const auto& entry : fs::recursive_directory_iterator(world.hostNew("")))
        EXPECT_EQ(entry.path().filename().string().rfind(":partial", 0), std::string::npos) << entry.path();

    // With room again the same copy completes what is missing and keeps what is there.
    const auto again = copyMappedDrives();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_FALSE(again[0].report.diskFull);
    EXPECT_EQ(world.readNew("B/large.bin"), std::string(256 * 1024, 'L'));
    EXPECT_EQ(world.readNew("C/later.txt"), "3333");
    EXPECT_EQ(world.readNew("B/small.txt"), "kept");
    EXPECT_TRUE(driveCopyNotes().empty());
}

// A destination file that holds the name of a source folder: that folder cannot be made and its
// files are left out, the others are copied, and the source is not said to be lost.
TEST_F(MassCopyTest, AFolderBlockedByADestinationFileIsLeftOutNotTakenForALostSource)
{
    world.putOld("Data/Reports/r.txt", "r");
    world.putOld("Data/Zeta/z.txt", "z");
    world.putNew("Data/Reports", "a file of NEWPC's");
    const auto results = copyMappedDrives();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].report.sourceLost);
    EXPECT_EQ(results[0].report.blocked, 1u);
    EXPECT_TRUE(driveCopyNotes().empty());
    EXPECT_EQ(world.readNew("Data/Reports"), "a file of NEWPC's");
    EXPECT_EQ(world.readNew("Data/Zeta/z.txt"), "z");
    EXPECT_TRUE(FN_Copy_Folder_Tree("Z:\\Data", "C:\\Data", true, false));
}

// The whole-drive copy of a source holding names no Windows drive could hold, case twins, a path too
// long, a pipe and a device link: only what Windows could hold arrives, nothing else on the
// destination changes, the drive is not reported lost, and what was left out is counted, logged,
// reported and told in the drive's note.
TEST_F(MassCopyTest, AHostileSourceDeliversOnlyWindowsNamesAndNothingElseChanges)
{
    world.putNew("WINDOWS/WIN.INI", "the destination's own");
    world.putNew("WINNT/WIN.INI", "the destination's own");
    migrationReport().clear();
    const auto before = transfertest::hostFiles(world.hostNew(""));
    const auto delivered = transfertest::plantHostileSource(world.hostOld("Data"));

    std::vector<DriveCopyResult> results;
    {
        transfertest::PipeGuard guard(world.hostOld("Data/pipe"));
        results = copyMappedDrives();
        EXPECT_FALSE(guard.released()) << "the copy waited on the pipe";
    }
    ASSERT_EQ(results.size(), 1u);
    const TreeCopyReport& report = results[0].report;
    auto expected = before;
    for (const auto& [path, content] : delivered)
        expected["Data/" + path] = content;
    EXPECT_EQ(transfertest::hostFiles(world.hostNew("")), expected);
    EXPECT_FALSE(report.sourceLost);
    EXPECT_EQ(report.copied, 3u);
    EXPECT_EQ(report.failed, 1u) << "the pipe";
    EXPECT_EQ(report.leftOut, 20u);
    // Named as the source names them: the mapped Z: is gone after the run.
    EXPECT_TRUE(
        world.logged("FN_Copy_Folder_Tree", "Not copied : C:\\Data\\sub\\..\\..\\.. : not a Windows name"));
    const MigrationReport::Entry* entry = migrationReport().find(ReportGroup::FilesAndFolders, "Z:");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->outcome, transfer::TransferOutcome::Failed);
    ASSERT_EQ(driveCopyNotes().size(), 1u);
    EXPECT_NE(driveCopyNotes()[0].find(
                  "20 file(s) or folder(s) of the source drive C: were not copied (first: C:\\"),
        std::string::npos)
        << driveCopyNotes()[0];
    migrationReport().clear();
}
