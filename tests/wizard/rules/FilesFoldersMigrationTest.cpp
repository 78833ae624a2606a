// FilesFoldersMigrationTest.cpp: the drive check, the destinations of chosen items and the copy of
// the chosen files and folders from an emulated source PC, with what the report and the space
// page's list say about each item.
#include "wizard/rules/FilesFoldersMigration.h"

#include "common/HostCalls.h"
#include "platform/TreeCopyWalk.h"
#include "tests/support/common/ThreadChecker.h"
#include "tests/support/platform/FullDisk.h"
#include "tests/wizard/transfer/HostileSource.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MigrationReport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>

namespace {

using wizard::Drive_Check;
using wizard::MigrationReport;
using wizard::ReportGroup;
using wizard::SelectedItemsList;
using wizard::transfer::TransferOutcome;
namespace fs = std::filesystem;

TEST(DriveCheckTest, MovesOnlyTheDriveLetterToTheNearestFixedDriveAtOrBelowIt)
{
    const auto onlyC = [](char l) { return l == 'C'; };
    const auto cAndE = [](char l) { return l == 'C' || l == 'E'; };
    EXPECT_EQ(Drive_Check("D:\\Data\\Dump", onlyC), "C:\\Data\\Dump");
    EXPECT_EQ(Drive_Check("e:\\x", cAndE), "E:\\x");
    EXPECT_EQ(Drive_Check("F:\\x", cAndE), "E:\\x");
    EXPECT_EQ(Drive_Check("Z:\\", onlyC), "C:\\");
    // Nothing local to go to: never an empty or relative destination in disguise.
    EXPECT_EQ(Drive_Check("A:\\x", onlyC), "");
    EXPECT_EQ(Drive_Check("B:\\x", onlyC), "");
    EXPECT_EQ(Drive_Check("", onlyC), "");
    EXPECT_EQ(Drive_Check("D:\\x", [](char) { return false; }), "");
    EXPECT_EQ(Drive_Check("\\\\OLDPC\\C$\\x", onlyC), "");
    EXPECT_EQ(Drive_Check("[x", onlyC), "");
    EXPECT_EQ(Drive_Check("Data\\x", onlyC), "");
}

TEST(DriveCheckTest, DestinationsKeepTheSourcePath)
{
    EXPECT_EQ(wizard::destinationOf("C:\\Data\\Letters", true), "C:\\Data\\Letters");
    EXPECT_EQ(wizard::destinationOf("C:\\Data\\Letters\\", true), "C:\\Data\\Letters");
    EXPECT_EQ(wizard::destinationOf("C:\\Data\\a.txt", false), "C:\\Data\\");
    EXPECT_EQ(wizard::destinationOf("D:\\a.txt", false), "D:\\");
    // A "$" in a folder's own name stays: only the drive part was ever translated.
    EXPECT_EQ(wizard::destinationOf("C:\\Tools$\\x", true), "C:\\Tools$\\x");
    EXPECT_EQ(wizard::destinationOf("", true), "");
    EXPECT_EQ(wizard::destinationOf("C$\\Data", true), "");
}

class FilesFoldersMigrationTest : public ::testing::Test {
protected:
    FilesFoldersMigrationTest()
    {
        wizard::migrationReport().clear();
        wizard::selectionCollections() = wizard::SelectionCollections{};
        list().clearRows();
        w.putOld("Data/Letters/a.txt", "letter a");
        w.putOld("Data/Letters/Sub/b.txt", "letter b");
        fs::create_directories(w.hostOld("Data/Letters/Empty"));
        w.putOld("Data/single.txt", "single");
        w.putOld("Data/other.txt", "not chosen");
        w.putOld("Other/untouched.txt", "not chosen");
        w.putNew("Keep/k.txt", "was here");
        // The run starts after the files were written: none of them is dated ahead of it.
        w.clock.set(std::chrono::system_clock::now());
    }
    ~FilesFoldersMigrationTest() override
    {
        list().clearRows();
        wizard::selectionCollections() = wizard::SelectionCollections{};
        wizard::migrationReport().clear();
    }

    static SelectedItemsList& list() { return wizard::selectedItemsList(); }

    // Chooses an item as the collectors do: a collection entry and a row keyed by its network path.
    void choose(const std::string& sourcePath)
    {
        const std::string key = "\\\\OLDPC\\C$" + sourcePath.substr(2);
        wizard::selectionCollections().filesFolders.add(sourcePath, key);
        list().addRow(key, sourcePath);
        const int n = wizard::selectionCollections().filesFolders.count();
        list().setProgressMaximum(10.0 * n);
        wizard::selectionCollections().progressStep = 10;
    }

    // Every file below the destination's drive C:, as drive-relative paths.
    std::set<std::string> destinationFiles() const
    {
        std::set<std::string> files;
        const fs::path root = w.hostNew("");
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file())
                files.insert(fs::relative(e.path(), root).generic_string());
        return files;
    }

    const MigrationReport::Entry* reported(const std::string& item) const
    {
        return wizard::migrationReport().find(ReportGroup::FilesAndFolders, item);
    }

    transfertest::TransferWorld w;
};

TEST_F(FilesFoldersMigrationTest, ChosenItemsArriveOnTheSamePathsAndNothingElseChanges)
{
    choose("C:\\Data\\Letters");
    choose("C:\\Data\\single.txt");
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());

    EXPECT_EQ(destinationFiles(),
        (std::set<std::string>{
            "Data/Letters/a.txt", "Data/Letters/Sub/b.txt", "Data/single.txt", "Keep/k.txt"}));
    EXPECT_TRUE(fs::is_directory(w.hostNew("Data/Letters/Empty"))) << "empty folders come too";
    EXPECT_EQ(w.readNew("Data/Letters/Sub/b.txt"), "letter b");
    EXPECT_EQ(w.readNew("Keep/k.txt"), "was here");
    EXPECT_EQ(w.readOld("Data/single.txt"), "single") << "the source keeps its files";

    for (const char* item : {"C:\\Data\\Letters", "C:\\Data\\single.txt"}) {
        ASSERT_NE(reported(item), nullptr) << item;
        EXPECT_EQ(reported(item)->outcome, TransferOutcome::Migrated) << item;
    }
    for (const SelectedItemsList::Row& row : list().rows())
        EXPECT_TRUE(row.checked()) << row.key;
    EXPECT_DOUBLE_EQ(list().progressValue(), 20.0);
    EXPECT_FALSE(wizard::wizardWindows().busyWindowOpen());
}

TEST_F(FilesFoldersMigrationTest, EachItemSaysWhetherItWasMigratedNotFoundOrFailed)
{
    w.putOld("Data/locked.txt", "in use");
    const std::string longName(250, 'n');
    w.putOld("Data/Long/" + longName, "too long for the destination");
    w.putOld("Data/Long/short.txt", "fits");
    choose("C:\\Data\\Gone");       // listed once, vanished since
    choose("C:\\Data\\locked.txt"); // open in a program on the source PC
    choose("C:\\Data\\Long");
    choose("C:\\Data\\single.txt");
    platform::Machine old;
    // <network>/oldpc/drives/C/Data/locked.txt: the machine folder is four levels up.
    const fs::path oldPc =
        w.hostOld("Data/locked.txt").parent_path().parent_path().parent_path().parent_path();
    ASSERT_EQ(old.open(oldPc), platform::WinError::Success);
    platform::FileLock lock = old.fileSystem().lockFile("C:\\Data\\locked.txt");
    ASSERT_TRUE(lock.isLocked());

    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());

    EXPECT_EQ(reported("C:\\Data\\Gone")->outcome, TransferOutcome::NotFound);
    EXPECT_EQ(reported("C:\\Data\\locked.txt")->outcome, TransferOutcome::Failed);
    EXPECT_NE(reported("C:\\Data\\locked.txt")->detail.find("Permission denied"), std::string::npos)
        << reported("C:\\Data\\locked.txt")->detail;
    EXPECT_EQ(reported("C:\\Data\\Long")->outcome, TransferOutcome::Failed);
    EXPECT_NE(reported("C:\\Data\\Long")->detail.find("1 of 2 files not copied"), std::string::npos)
        << reported("C:\\Data\\Long")->detail;
    // A failure does not stop the run: later items are still copied.
    EXPECT_EQ(reported("C:\\Data\\single.txt")->outcome, TransferOutcome::Migrated);
    EXPECT_EQ(w.readNew("Data/Long/short.txt"), "fits");
    EXPECT_FALSE(fs::exists(w.hostNew("Data/Long/" + longName)));
    EXPECT_FALSE(fs::exists(w.hostNew("Data/locked.txt")));
    EXPECT_FALSE(fs::exists(w.hostNew("Data/Gone")));

    EXPECT_EQ(list().find("\\\\OLDPC\\C$\\Data\\Gone")->mark, SelectedItemsList::Mark::NotFound);
    EXPECT_EQ(list().find("\\\\OLDPC\\C$\\Data\\locked.txt")->mark, SelectedItemsList::Mark::Failed);
    EXPECT_FALSE(list().find("\\\\OLDPC\\C$\\Data\\locked.txt")->checked());
    EXPECT_TRUE(w.logged("Action_Copy_File", "Not Copied : C:\\Data\\locked.txt"));
    EXPECT_TRUE(w.logged("Sub_Data_Explorer_Migration", "Failed : C:\\Data\\Long"));
    EXPECT_FALSE(wizard::wizardWindows().busyWindowOpen()) << "closed after failures too";
}

TEST_F(FilesFoldersMigrationTest, AnItemWithoutALocalFixedDriveFailsAndWritesNothing)
{
    const auto before = destinationFiles();
    std::vector<std::pair<std::string, TransferOutcome>> ended;
    wizard::FilesFoldersMigration run({{"\\\\OLDPC\\C$\\Data\\single.txt", "C:\\Data\\single.txt"}},
        {nullptr,
            [&](const wizard::FilesFoldersMigration::Item& i, TransferOutcome o, const std::string&) {
                ended.emplace_back(i.sourcePath, o);
            },
            [](char) { return false; }});
    while (run.step()) {}
    ASSERT_EQ(ended.size(), 1U);
    EXPECT_EQ(ended[0].second, TransferOutcome::Failed);
    EXPECT_EQ(destinationFiles(), before);
}

// A chosen folder or file whose place on this PC is the wizard's own is refused whole, named as the
// source spells it, and nothing of it is written.
TEST_F(FilesFoldersMigrationTest, AnItemLandingInTheWizardsFolderIsRefusedWhole)
{
    w.putOld("Program Files/Kestro/WKXFiles/Kestro.wkx", "a planted script");
    w.putOld("Program Files/Kestro/Kestro_Log_File.txt", "a planted log");
    choose("C:\\Program Files\\Kestro\\WKXFiles");
    choose("C:\\Program Files\\Kestro\\Kestro_Log_File.txt");
    const std::set<std::string> before = destinationFiles();
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());

    EXPECT_EQ(destinationFiles(), before);
    for (const char* item :
        {"C:\\Program Files\\Kestro\\WKXFiles", "C:\\Program Files\\Kestro\\Kestro_Log_File.txt"}) {
        const std::string text = std::string("Refused : ") + item + " : in the wizard's own folder";
        ASSERT_NE(reported(item), nullptr) << item;
        EXPECT_EQ(reported(item)->outcome, TransferOutcome::Failed) << item;
        EXPECT_EQ(reported(item)->detail, text) << item;
        EXPECT_TRUE(w.logged("Sub_Data_Explorer_Migration", text)) << item;
    }
}

// Files chosen one by one move the bar a step each, up to its end and never past it, also when
// they end faster than the window is drawn.
TEST_F(FilesFoldersMigrationTest, TheBarMovesAStepPerItemUpToItsEnd)
{
    w.putOld("Data/b.txt", "b");
    choose("C:\\Data\\other.txt");
    choose("C:\\Data\\single.txt");
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());
    EXPECT_DOUBLE_EQ(list().progressValue(), 20.0);

    list().setProgressMaximum(25.0); // the bar counts fewer steps than items end
    choose("C:\\Data\\b.txt");
    list().setProgressMaximum(25.0);
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());
    EXPECT_DOUBLE_EQ(list().progressValue(), 20.0);
    EXPECT_EQ(reported("C:\\Data\\b.txt")->outcome, TransferOutcome::Migrated);
}

TEST_F(FilesFoldersMigrationTest, CancelInTheBusyWindowEndsTheItemsAndLeavesWholeFilesOnly)
{
    for (int i = 0; i < 6; ++i)
        w.putOld("Data/Many/f" + std::to_string(i) + ".txt", "x");
    choose("C:\\Data\\Many");
    choose("C:\\Data\\single.txt");
    // The user clicks Cancel while the third file is being copied. Each turn of the window takes
    // 10 ms, so that the copy takes up the window's events after every file.
    w.pump.onYield = [this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (w.pump.count == 3)
            wizard::wizardWindows().requestBusyCancel();
    };
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());
    w.pump.onYield = nullptr;

    // The copy beside the window may have copied files ahead of the Cancel: each is whole, and
    // nothing half written stays.
    int copied = 0;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "Data/Many/f" + std::to_string(i) + ".txt";
        if (fs::exists(w.hostNew(name)) && w.readNew(name) == "x")
            ++copied;
    }
    EXPECT_GE(copied, 1);
    platform::TreeCopyWalk::waitForStopped();
    EXPECT_EQ(destinationFiles().size(), static_cast<std::size_t>(copied) + 1) << "and Keep/k.txt";
    EXPECT_EQ(reported("C:\\Data\\Many")->outcome, TransferOutcome::Failed);
    EXPECT_EQ(reported("C:\\Data\\Many")->detail.rfind("Cancelled", 0), 0U);
    EXPECT_EQ(reported("C:\\Data\\single.txt")->outcome, TransferOutcome::Failed);
    EXPECT_FALSE(fs::exists(w.hostNew("Data/single.txt")));
    EXPECT_FALSE(wizard::wizardWindows().busyCancelRequested());
}

// A Cancel in the middle of a large file's copy ends its item at once: the window's thread never
// waits for the data, and the copy beside it removes what it had written of the file. So too for
// a file that replaces an older one of this PC under the version rule: that one stays as it was.
TEST_F(FilesFoldersMigrationTest, CancelDuringALargeFileEndsItsItemAtOnceAndLeavesNothingOfIt)
{
    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "replacing an older file" : "a new file");
        const std::string name = replacing ? "Data/Video/old.avi" : "Data/Video/film.avi";
        fs::create_directories(w.hostOld("Data/Video"));
        {
            std::ofstream out(w.hostOld(name), std::ios::binary);
            const std::string block(1 << 20, 'v');
            for (int i = 0; i < 256; ++i)
                out << block;
        }
        if (replacing) {
            w.putNew(name, "older");
            fs::last_write_time(
                w.hostNew(name), fs::last_write_time(w.hostOld(name)) - std::chrono::hours(1));
        }
        w.clock.set(std::chrono::system_clock::now());
        using Clock = std::chrono::steady_clock;
        std::vector<std::string> ended;
        Clock::time_point endedAt{};
        wizard::FilesFoldersMigration::Hooks hooks;
        hooks.finished = [&](const wizard::FilesFoldersMigration::Item& item, TransferOutcome outcome,
                             const std::string& detail) {
            endedAt = Clock::now();
            ended.push_back(
                item.sourcePath + (outcome == TransferOutcome::Failed ? " failed: " : ": ") + detail);
        };
        const std::string path = "Data\\Video\\" + name.substr(name.rfind('/') + 1);
        wizard::FilesFoldersMigration run({{"\\\\OLDPC\\C$\\" + path, "C:\\" + path}}, hooks);
        const fs::path folder = w.hostNew("Data/Video");
        const auto underWay = [&folder] {
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(folder, ec))
                if (e.path().filename().string().rfind(":partial", 0) == 0)
                    return true;
            return false;
        };
        for (int i = 0; i < 100000 && !underWay(); ++i)
            ASSERT_TRUE(run.step()) << "the copy ended before any step saw it under way";
        ASSERT_TRUE(ended.empty());
        const Clock::time_point cancelled = Clock::now();
        run.cancel();
        EXPECT_FALSE(run.step());
        EXPECT_EQ(ended, std::vector<std::string>{"C:\\" + path + " failed: Cancelled"});
        EXPECT_LT(endedAt - cancelled, std::chrono::milliseconds(50));
        platform::TreeCopyWalk::waitForStopped();
        if (replacing) {
            EXPECT_EQ(w.readNew(name), "older");
            fs::remove(w.hostNew(name));
        }
        EXPECT_TRUE(fs::is_empty(folder)) << "neither the file nor its partial copy";
    }
}

// Thousands of files of one folder chosen one by one (the folder opened on the selection page):
// the window takes up its events while the copy's list is made and the files are gathered, before
// the first of them is copied, and every file still arrives.
TEST_F(FilesFoldersMigrationTest, ManyFilesChosenOneByOneKeepTheWindowLiveBeforeTheFirstArrives)
{
    constexpr int kFiles = 5000;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "Data/Many/f" + std::to_string(i) + ".txt";
        w.putOld(name, "x");
        choose("C:\\Data\\Many\\f" + std::to_string(i) + ".txt");
    }
    choose("C:\\Data\\single.txt");
    // Each turn of the window takes 10 ms until the first file is there, so that every step that
    // ends gives the window its turn.
    int turnsBeforeFirst = 0;
    w.pump.onYield = [&] {
        if (fs::exists(w.hostNew("Data/Many/f0.txt")))
            return;
        ++turnsBeforeFirst;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());
    w.pump.onYield = nullptr;

    EXPECT_GE(turnsBeforeFirst, 4);
    for (int i = 0; i < kFiles; i += 999)
        EXPECT_EQ(
            reported("C:\\Data\\Many\\f" + std::to_string(i) + ".txt")->outcome, TransferOutcome::Migrated);
    EXPECT_EQ(wizard::migrationReport().count(TransferOutcome::Migrated), kFiles + 1);
    EXPECT_EQ(w.readNew("Data/Many/f4999.txt"), "x");
    EXPECT_EQ(w.readNew("Data/single.txt"), "single");
}

// The destination fills up during the copy (a file-size limit in a child process stands in for a
// full drive): what did not fit is reported failed with "Disk full", what fitted is there, and no
// file is left cut short under its name.
TEST_F(FilesFoldersMigrationTest, WhatDoesNotFitIsFailedAndNothingIsLeftHalfWritten)
{
    SKIP_WHERE_A_FORKED_CHILD_CANNOT_START_THREADS();
    w.putOld("Data/Big/large.bin", std::string(512 * 1024, 'L'));
    w.putOld("Data/Big/small.txt", "small");
    choose("C:\\Data\\Big");
    choose("C:\\Data\\single.txt");
    const std::string outcomes = testsupport::onFullDisk(64 * 1024, [&] {
        wizard::Sub_Data_Explorer_Migration();
        const MigrationReport::Entry* big = reported("C:\\Data\\Big");
        const MigrationReport::Entry* single = reported("C:\\Data\\single.txt");
        if (!big || !single)
            return std::string("not reported");
        const bool bigFailedFull =
            big->outcome == TransferOutcome::Failed && big->detail.find("Disk full") != std::string::npos;
        return std::string(bigFailedFull ? "Big failed: Disk full" : "Big: " + big->detail) +
            (single->outcome == TransferOutcome::Migrated ? " / single migrated" : " / single not migrated");
    });
    EXPECT_EQ(outcomes, "Big failed: Disk full / single migrated");
    EXPECT_FALSE(fs::exists(w.hostNew("Data/Big/large.bin")));
    EXPECT_EQ(w.readNew("Data/Big/small.txt"), "small");
    EXPECT_EQ(w.readNew("Data/single.txt"), "single");
    EXPECT_EQ(
        destinationFiles(), (std::set<std::string>{"Data/Big/small.txt", "Data/single.txt", "Keep/k.txt"}));
}

// The copy of a listed folder meets a destination that holds some names already, in another
// case: each such file goes through the version rule onto the existing file (never beside it
// under a second spelling), and the files' attributes come along.
TEST_F(FilesFoldersMigrationTest, ListedFilesMeetExistingNamesInAnyCaseAndKeepTheirAttributes)
{
    w.putNew("Data/Letters/A.TXT", "an older letter");
    ASSERT_EQ(w.fileSystem().setFileTime("C:\\Data\\Letters\\A.TXT", std::chrono::system_clock::time_point{}),
        platform::FsError::None);
    w.putOld("Data/Letters/hidden.txt", "hidden");
    platform::Machine old;
    const fs::path oldPc = w.hostOld("Data").parent_path().parent_path().parent_path();
    ASSERT_EQ(old.open(oldPc), platform::WinError::Success);
    ASSERT_EQ(old.fileSystem().setAttributes(
                  "C:\\Data\\Letters\\hidden.txt", platform::attr::Hidden | platform::attr::ReadOnly),
        platform::FsError::None);
    choose("C:\\Data\\Letters");
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());

    EXPECT_EQ(reported("C:\\Data\\Letters")->outcome, TransferOutcome::Migrated);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(w.hostNew("Data/Letters")))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"A.TXT", "Empty", "Sub", "hidden.txt", ":attributes"}));
    EXPECT_EQ(w.readNew("Data/Letters/A.TXT"), "letter a") << "a file without a version replaces";
    EXPECT_EQ(w.readNew("Data/Letters/hidden.txt"), "hidden");
    unsigned bits = 0;
    ASSERT_EQ(w.fileSystem().getAttributes("C:\\Data\\Letters\\hidden.txt", bits), platform::FsError::None);
    EXPECT_EQ(bits, platform::attr::Hidden | platform::attr::ReadOnly | platform::attr::Archive);
    ASSERT_EQ(w.fileSystem().getAttributes("C:\\Data\\Letters\\Sub\\b.txt", bits), platform::FsError::None);
    EXPECT_EQ(bits, platform::attr::Archive);
}

// A file that goes away on the source after its folder was listed is missed, not copied from
// anywhere else; the others of the folder still arrive.
TEST_F(FilesFoldersMigrationTest, AFileGoneAfterItsFolderWasListedIsReported)
{
    for (int i = 0; i < 4; ++i)
        w.putOld("Data/Many/f" + std::to_string(i) + ".txt", "x");
    choose("C:\\Data\\Many");
    // The copy runs beside the window: the file goes just before the first file is opened once a
    // folder was listed, whichever thread does it.
    struct GoneAfterListing : common::hostcalls::Faults {
        fs::path file;
        std::atomic<bool> listed{false}, removed{false};
        int fault(common::hostcalls::Call call) noexcept override
        {
            if (call == common::hostcalls::Call::ListFolder)
                listed = true;
            else if (call == common::hostcalls::Call::Open && listed && !removed.exchange(true)) {
                std::error_code ec;
                fs::remove(file, ec);
            }
            return 0;
        }
    } gone;
    gone.file = w.hostOld("Data/Many/f2.txt");
    common::hostcalls::Faults* const previous = common::hostcalls::setFaults(&gone);
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());
    common::hostcalls::setFaults(previous);
    EXPECT_TRUE(gone.removed);

    const MigrationReport::Entry* many = reported("C:\\Data\\Many");
    ASSERT_NE(many, nullptr);
    EXPECT_EQ(many->outcome, TransferOutcome::Failed);
    EXPECT_NE(many->detail.find("1 of 4 files not copied; first: C:\\Data\\Many\\f2.txt: no "
                                "longer on the source PC"),
        std::string::npos)
        << many->detail;
    for (const char* name : {"f0.txt", "f1.txt", "f3.txt"})
        EXPECT_EQ(w.readNew(std::string("Data/Many/") + name), "x") << name;
    EXPECT_FALSE(fs::exists(w.hostNew("Data/Many/f2.txt")));
}

// A host pipe among a chosen folder's files is no file the source PC could have: it fails that
// one file without holding up the copy, and the folder's files still arrive.
TEST_F(FilesFoldersMigrationTest, AHostPipeInAChosenFolderFailsWithoutHoldingUpTheCopy)
{
    w.putOld("Data/Piped/a.txt", "a");
    w.putOld("Data/Piped/z.txt", "z");
    ASSERT_EQ(::mkfifo(w.hostOld("Data/Piped/pipe").c_str(), 0644), 0);
    choose("C:\\Data\\Piped");
    EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());

    const MigrationReport::Entry* piped = reported("C:\\Data\\Piped");
    ASSERT_NE(piped, nullptr);
    EXPECT_EQ(piped->outcome, TransferOutcome::Failed);
    EXPECT_NE(piped->detail.find("1 of 3 files not copied"), std::string::npos) << piped->detail;
    EXPECT_EQ(w.readNew("Data/Piped/a.txt"), "a");
    EXPECT_EQ(w.readNew("Data/Piped/z.txt"), "z");
    EXPECT_FALSE(fs::exists(w.hostNew("Data/Piped/pipe")));
}

} // namespace

namespace {

// A chosen folder holding names no Windows drive could hold, case twins, a path too long, a pipe and
// a device link delivers only what Windows could hold, the first of each set of twins, and nothing
// anywhere else on the destination; each entry left out is logged and the item is not Migrated.
TEST_F(FilesFoldersMigrationTest, AHostileFolderDeliversOnlyWindowsNamesAndNothingElseChanges)
{
    w.putNew("WINDOWS/WIN.INI", "the destination's own");
    const auto before = transfertest::hostFiles(w.hostNew(""));
    const auto delivered = transfertest::plantHostileSource(w.hostOld("Data/Hostile"));
    choose("C:\\Data\\Hostile");
    {
        transfertest::PipeGuard guard(w.hostOld("Data/Hostile/pipe"));
        EXPECT_TRUE(wizard::Sub_Data_Explorer_Migration());
        EXPECT_FALSE(guard.released()) << "the copy waited on the pipe";
    }

    auto expected = before;
    for (const auto& [path, content] : delivered)
        expected["Data/Hostile/" + path] = content;
    EXPECT_EQ(transfertest::hostFiles(w.hostNew("")), expected);
    const MigrationReport::Entry* item = reported("C:\\Data\\Hostile");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->outcome, TransferOutcome::Failed);
    EXPECT_NE(item->detail.find("21 of 24 files not copied"), std::string::npos) << item->detail;
    for (const char* line : {"C:\\Data\\Hostile\\..\\WINDOWS : not a Windows name",
             "C:\\Data\\Hostile\\bad\\xFF.txt : not a Windows name (not valid text)",
             "C:\\Data\\Hostile\\file.txt : a name differing only in case",
             "C:\\Data\\Hostile\\Docs : a name differing only in case",
             "C:\\Data\\Hostile\\CON : not a Windows name (a device name)"})
        EXPECT_TRUE(w.logged("Sub_Data_Explorer_Migration", std::string("Not copied : ") + line)) << line;
}

} // namespace
