// HostFaultsTest.cpp: the tree copy, the file copy and the registry merge with each of their host
// calls failing in turn (EIO, ENOSPC) or cut short by a signal (EINTR): each either completes or
// leaves the destination as it was and says why; a signal never changes the outcome.
#include "platform/RegFile.h"
#include "platform/RunRecord.h"
#include "platform/TreeCopyWalk.h"

#include "tests/platform/TestMachine.h"
#include "tests/support/common/FailNthCall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>

using namespace platform;
namespace fs = std::filesystem;
using testsupport::FailNthCall;
using testsupport::FaultSpan;

namespace {

constexpr int kErrors[] = {EIO, ENOSPC, EINTR};

// Every file below a host folder, its bytes by path relative to it; side files by their folder.
std::map<std::string, std::string> snapshot(const fs::path& root)
{
    std::map<std::string, std::string> out;
    std::error_code ec;
    if (!fs::exists(root, ec))
        return out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            out[fs::relative(e.path(), root).string()] =
                std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    return out;
}

bool partialLeft(const fs::path& root)
{
    for (const auto& [path, bytes] : snapshot(root))
        if (path.find(":partial") != std::string::npos || path.find(".new") != std::string::npos)
            return true;
    return false;
}

unsigned attributesOf(FileSystem& fso, const std::string& path)
{
    unsigned bits = 0;
    return fso.getAttributes(path, bits) == FsError::None ? bits : ~0u;
}

// The source tree: a read-only file, a file large enough for the copy's worker thread, a sub-folder;
// the destination already holds a hidden file of its own, an older c.txt the copy replaces and a
// read-only keep.txt it must never replace.
void plantTree(testutil::TestMachine& t, FileSystem& fso)
{
    fs::remove_all(t.host("Src"));
    fs::remove_all(t.host("Dst"));
    t.put("Src/a.txt", "alpha");
    t.put("Src/Sub/big.bin", std::string(200 * 1024, 'b'));
    t.put("Src/Sub/c.txt", "gamma");
    t.put("Src/Sub/keep.txt", "new");
    t.put("Dst/old.txt", "kept");
    t.put("Dst/Sub/c.txt", "older");
    t.put("Dst/Sub/keep.txt", "kept");
    ASSERT_EQ(fso.setAttributes("C:\\Src\\a.txt", attr::ReadOnly | attr::Archive), FsError::None);
    ASSERT_EQ(fso.setAttributes("C:\\Dst\\old.txt", attr::Hidden), FsError::None);
    ASSERT_EQ(fso.setAttributes("C:\\Dst\\Sub\\keep.txt", attr::ReadOnly), FsError::None);
}

// Whether a step of the walk names the source file `file` ("C:\\Src\\Sub\\c.txt"): the file
// itself, or a folder above it (one blocked or lost takes its files with it).
bool names(const TreeStep& s, const std::string& file)
{
    const std::string path = s.name.empty() ? s.sourceFolder : s.sourceFolder + "\\" + s.name;
    return file == path || file.rfind(path + "\\", 0) == 0;
}

// A run that leaves a partial or fresh file says so, and the next start (the record of the run
// read by removeUnfinishedRuns) takes it away. Starts the next attempt's record.
void checkWhatTheRunLeft(testutil::TestMachine& t, const std::string& at)
{
    const bool left = partialLeft(t.host(""));
    EXPECT_EQ(left, !RunRecord::leftBehind().empty()) << at;
    RunRecord::finish();
    removeUnfinishedRuns(t.folder(), RunningMachine::current()->network());
    EXPECT_FALSE(partialLeft(t.host(""))) << "after the next start, " << at;
    ASSERT_TRUE(RunRecord::start(t.folder()));
}

// One tree copy of plantTree's source onto its destination under `faults`: every file either
// arrives whole with its attributes and is told copied, or is named by a step (itself or a folder
// above it) and the destination keeps what it held; nothing else there changes.
void copyTreeUnder(testutil::TestMachine& t, FileSystem& fso, FailNthCall& faults, FaultSpan span)
{
    ASSERT_NO_FATAL_FAILURE(plantTree(t, fso));
    TreeCopyOptions options;
    options.chunkBytes = 64 * 1024;
    options.overwrite = true;
    TreeCopyWalk walk(options);
    std::vector<TreeStep> said; // files and folders said not to be copied
    std::vector<std::string> copied;
    FsError opened = FsError::None;
    {
        const auto scope = faults.install();
        opened = walk.open(fso, "C:\\Src", "C:\\Dst");
        for (TreeStep s = walk.step(); opened == FsError::None && s.kind != TreeStepKind::Done;
             s = walk.step())
            if (s.kind == TreeStepKind::FileFailed || s.kind == TreeStepKind::FolderBlocked ||
                s.kind == TreeStepKind::SourceLost)
                said.push_back(s);
            else if (s.kind == TreeStepKind::FileCopied)
                copied.push_back(s.sourceFolder + "\\" + s.name);
        walk.close();
    }
    const int error = faults.error();
    const std::string at = "the call " + std::to_string(faults.n()) + (span == FaultSpan::Once ? "" : " on") +
        " failing with " + std::to_string(error);
    std::vector<std::string> failed;
    for (const TreeStep& s : said)
        failed.push_back(s.name);
    if (span == FaultSpan::Once) {
        EXPECT_FALSE(partialLeft(t.host(""))) << at;
    }
    ASSERT_NO_FATAL_FAILURE(checkWhatTheRunLeft(t, at));
    EXPECT_EQ(t.read("Dst/old.txt"), "kept") << at;
    EXPECT_EQ(attributesOf(fso, "C:\\Dst\\old.txt"), attr::Hidden) << at;
    EXPECT_EQ(t.read("Dst/Sub/keep.txt"), "kept") << at;
    EXPECT_EQ(attributesOf(fso, "C:\\Dst\\Sub\\keep.txt"), attr::ReadOnly) << at;
    // A file told copied holds the source's data and attributes; one there holds them or what the
    // destination held before; one not there was named.
    bool allArrived = true;
    for (const char* file : {"a.txt", "Sub\\big.bin", "Sub\\c.txt"}) {
        const std::string from = std::string("C:\\Src\\") + file;
        const std::string to = std::string("C:\\Dst\\") + file;
        std::string a, b;
        fso.readFile(from, a);
        fso.readFile(to, b);
        const bool told = std::find(copied.begin(), copied.end(), from) != copied.end();
        const bool arrived = fso.fileExists(to) && b == a;
        if (fso.fileExists(to) && !arrived) {
            EXPECT_TRUE(file == std::string("Sub\\c.txt") && b == "older") << file << " after " << at;
        }
        if (told || (span == FaultSpan::Once && arrived)) {
            EXPECT_EQ(a, b) << file << " after " << at;
            EXPECT_EQ(attributesOf(fso, to), attributesOf(fso, from)) << file << " after " << at;
        }
        if (!told && opened == FsError::None) {
            EXPECT_TRUE(
                std::any_of(said.begin(), said.end(), [&](const TreeStep& s) { return names(s, from); }))
                << file << " neither copied nor named after " << at;
        }
        allArrived = allArrived && arrived;
    }
    if (error == EINTR || !faults.fired()) {
        EXPECT_EQ(opened, FsError::None) << at;
        EXPECT_TRUE(allArrived && failed == std::vector<std::string>{"keep.txt"}) << at;
    } else if (!allArrived) {
        EXPECT_TRUE(
            opened != FsError::None || failed.size() > 1 || (failed.size() == 1 && failed[0] != "keep.txt"))
            << "nothing said after " << at;
    }
}

TEST(HostFaultsTest, ATreeCopyBringsEachFileWholeOrSaysWhyItDidNotAndKeepsWhatWasThere)
{
    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
    ASSERT_TRUE(RunRecord::start(t.folder()));
    for (const int error : kErrors) {
        const int runs = testsupport::failEachCallInTurn(
            error, [&](FailNthCall& faults) { copyTreeUnder(t, fso, faults, FaultSpan::Once); });
        EXPECT_GT(runs, 20) << "calls made through the seam with " << error;
    }
    // A disk that stays broken or full from some call on.
    for (const int error : {EIO, ENOSPC}) {
        const int runs = testsupport::failFromEachCallOn(
            error, [&](FailNthCall& faults) { copyTreeUnder(t, fso, faults, FaultSpan::FromThenOn); });
        EXPECT_GT(runs, 20) << "calls made through the seam with " << error;
    }
    RunRecord::finish();
}

TEST(HostFaultsTest, AFileCopyReplacesItsTargetWholeWithItsAttributesOrLeavesItAsItWas)
{
    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
    for (const int error : kErrors) {
        const int runs = testsupport::failEachCallInTurn(error, [&](FailNthCall& faults) {
            fs::remove_all(t.host("From"));
            fs::remove_all(t.host("To"));
            t.put("From/HKLM.reg", std::string(300 * 1024, 'r'));
            t.put("To/HKLM.reg", "an earlier export");
            t.put("To/Kept.txt", "read-only");
            ASSERT_EQ(fso.setAttributes("C:\\From\\HKLM.reg", attr::Hidden | attr::Archive), FsError::None);
            ASSERT_EQ(fso.setAttributes("C:\\To\\Kept.txt", attr::ReadOnly), FsError::None);
            FsError copied = FsError::None;
            FsError overReadOnly = FsError::None;
            {
                const auto scope = faults.install();
                copied = fso.copyFile("C:\\From\\HKLM.reg", "C:\\To\\HKLM.reg", true);
                overReadOnly = fso.copyFile("C:\\From\\HKLM.reg", "C:\\To\\Kept.txt", true);
            }
            const std::string at =
                "the call " + std::to_string(faults.n()) + " failing with " + std::to_string(error);
            EXPECT_FALSE(partialLeft(t.host(""))) << at;
            EXPECT_EQ(t.read("To/HKLM.reg"),
                copied == FsError::None ? t.read("From/HKLM.reg") : "an earlier export")
                << at;
            EXPECT_EQ(attributesOf(fso, "C:\\To\\HKLM.reg"),
                copied == FsError::None ? attr::Hidden | attr::Archive : attr::Archive)
                << at;
            EXPECT_NE(overReadOnly, FsError::None) << at;
            EXPECT_EQ(t.read("To/Kept.txt"), "read-only") << at;
            EXPECT_EQ(attributesOf(fso, "C:\\To\\Kept.txt"), attr::ReadOnly) << at;
            if (error == EINTR || !faults.fired()) {
                EXPECT_EQ(copied, FsError::None) << at;
            }
        });
        EXPECT_GT(runs, 5) << "calls made through the seam with " << error;
    }
}

// The faults reach the registry file being read and SQLite's own reads, writes and flushes of the
// registry's database; one registry takes every run, so it must stay sound after each failure, also
// after a disk that failed from some call on.
TEST(HostFaultsTest, ARegistryMergeTakesTheWholeFileOrNothingAndNamesIt)
{
    // Larger than one read, so that a read can fail after a part of the file came in.
    std::string text = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Faults]\r\n";
    for (int i = 0; i < 700; ++i)
        text += "\"v" + std::to_string(i) + "\"=\"" + std::string(100, 'x') + "\"\r\n";
    testutil::TestMachine t;
    const fs::path file = t.network() / "import.reg";
    std::ofstream(file, std::ios::binary) << text;
    Registry& registry = RunningMachine::current()->registry();
    const auto mergeUnder = [&](FailNthCall& faults, FaultSpan span) {
        registry.deleteTree(RegKey(RegRoot::LocalMachine), "SOFTWARE\\Faults");
        RegFileMergeReport report;
        WinError merged = WinError::Success;
        {
            const auto scope = faults.install();
            merged = mergeRegFile(registry, file, report);
        }
        const int error = faults.error();
        const std::string at = "the call " + std::to_string(faults.n()) +
            (span == FaultSpan::Once ? "" : " on") + " failing with " + std::to_string(error);
        RegKey key;
        const bool keyThere =
            registry.openKey(RegKey(RegRoot::LocalMachine), "SOFTWARE\\Faults", key) == WinError::Success;
        RegValue last;
        if (merged == WinError::Success) {
            ASSERT_TRUE(keyThere) << at;
            EXPECT_EQ(registry.queryValue(key, "v699", last), WinError::Success) << at;
        } else {
            EXPECT_FALSE(keyThere) << at;
            EXPECT_NE(report.message.find("import.reg"), std::string::npos) << report.message;
        }
        if (error == EINTR || !faults.fired()) {
            EXPECT_EQ(merged, WinError::Success) << at;
        }
        // The registry takes the next change once the disk is sound again.
        RegKey made;
        ASSERT_EQ(
            registry.createKey(RegKey(RegRoot::LocalMachine), "SOFTWARE\\Sound", made), WinError::Success)
            << at;
        EXPECT_EQ(registry.setString(made, "after", "fault"), WinError::Success) << at;
        EXPECT_EQ(registry.queryValue(made, "after", last), WinError::Success) << at;
        EXPECT_EQ(registry.deleteTree(RegKey(RegRoot::LocalMachine), "SOFTWARE\\Sound"), WinError::Success)
            << at;
    };
    for (const int error : kErrors) {
        const int runs = testsupport::failEachCallInTurn(
            error, [&](FailNthCall& faults) { mergeUnder(faults, FaultSpan::Once); });
        EXPECT_GE(runs, 3) << "calls made through the seam with " << error;
    }
    for (const int error : {EIO, ENOSPC}) {
        const int runs = testsupport::failFromEachCallOn(
            error, [&](FailNthCall& faults) { mergeUnder(faults, FaultSpan::FromThenOn); });
        EXPECT_GE(runs, 3) << "calls made through the seam with " << error;
    }
}

} // namespace
