// TreeCopyWalkTest.cpp: the folder-tree copy through open folders: what arrives where, what it
// leaves alone and says so, trees deeper than the folders it holds open, and large files copied
// while the steps go on.
#include "platform/TreeCopyWalk.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class TreeCopyWalkTest : public ::testing::Test {
protected:
    // Every step until the walk is done, but the Working ones (which come whenever the work beside
    // had nothing new for a moment).
    static std::vector<TreeStep> walkAll(TreeCopyWalk& walk)
    {
        std::vector<TreeStep> steps;
        for (TreeStep s = walk.step(); s.kind != TreeStepKind::Done; s = walk.step())
            if (s.kind != TreeStepKind::Working)
                steps.push_back(s);
        return steps;
    }
    // Steps until a part of the file `name` has been copied; false when none came.
    static bool stepIntoFile(TreeCopyWalk& walk, const std::string& name)
    {
        for (TreeStep s = walk.step(); s.kind != TreeStepKind::Done; s = walk.step())
            if (s.kind == TreeStepKind::Working && s.name == name)
                return true;
        return false;
    }
    static const TreeStep* find(
        const std::vector<TreeStep>& steps, TreeStepKind kind, const std::string& name)
    {
        for (const TreeStep& s : steps)
            if (s.kind == kind && s.name == name)
                return &s;
        return nullptr;
    }
    bool partialLeft() const
    {
        for (const auto& e : fs::recursive_directory_iterator(t.host("")))
            if (e.path().filename().string().rfind(":partial", 0) == 0)
                return true;
        return false;
    }

    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
};

TEST_F(TreeCopyWalkTest, CopiesTheTreeIntoWhatIsThereAndTellsWhatItLeftAlone)
{
    t.put("Data/a.txt", "new a");
    t.put("Data/Sub/b.txt", "b");
    t.put("Data/Sub/Deeper/c.txt", "c");
    t.put("Data/Twin.txt", "first");
    t.put("Data/twin.txt", "second");
    t.put("Data/bad?.txt", "?");
    fs::create_directories(t.host("Data/Empty"));
    fs::create_symlink(t.host("Data/a.txt"), t.host("Data/link.txt"));
    t.put("Out/A.TXT", "old a");
    fs::create_directories(t.host("Out/SUB"));
    ASSERT_EQ(fso.setAttributes("C:\\Data\\Sub\\b.txt", attr::Hidden), FsError::None);

    TreeCopyWalk walk;
    ASSERT_EQ(walk.open(fso, "\\\\DESTPC\\C$\\Data", "C:\\Out"), FsError::None);
    const std::vector<TreeStep> steps = walkAll(walk);
    EXPECT_TRUE(walk.done());

    const TreeStep* kept = find(steps, TreeStepKind::FileExists, "a.txt");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->targetName, "A.TXT");
    EXPECT_EQ(kept->sourceFolder, "\\\\DESTPC\\C$\\Data");
    EXPECT_EQ(kept->destFolder, "C:\\Out");
    EXPECT_EQ(t.read("Out/A.TXT"), "old a");
    EXPECT_EQ(t.read("Out/SUB/b.txt"), "b") << "a folder of another case takes the files";
    EXPECT_EQ(t.read("Out/SUB/Deeper/c.txt"), "c");
    EXPECT_TRUE(fs::is_directory(t.host("Out/Empty")));
    unsigned bits = 0;
    ASSERT_EQ(fso.getAttributes("C:\\Out\\SUB\\b.txt", bits), FsError::None);
    EXPECT_TRUE(bits & attr::Hidden);
    EXPECT_EQ(t.read("Out/Twin.txt"), "first");
    EXPECT_FALSE(fs::exists(t.host("Out/twin.txt")));
    EXPECT_FALSE(fs::exists(t.host("Out/link.txt")));
    EXPECT_FALSE(fs::exists(t.host("Out/bad?.txt")));
    ASSERT_NE(find(steps, TreeStepKind::LeftOut, "twin.txt"), nullptr);
    EXPECT_EQ(find(steps, TreeStepKind::LeftOut, "twin.txt")->fault, NameFault::CaseTwin);
    EXPECT_EQ(find(steps, TreeStepKind::LeftOut, "bad?.txt")->fault, NameFault::BadCharacter);
    EXPECT_EQ(find(steps, TreeStepKind::FileCopied, "link.txt"), nullptr);
    EXPECT_FALSE(partialLeft());

    EXPECT_EQ(TreeCopyWalk().open(fso, "C:\\Nowhere", "C:\\Out2"), FsError::PathNotFound);
    EXPECT_EQ(TreeCopyWalk().open(fso, "C:\\Data", "C:\\Out\\A.TXT"), FsError::PathFileAccess);
}

TEST_F(TreeCopyWalkTest, OverwriteReplacesButNeverAReadOnlyOrInUseTarget)
{
    for (const char* name : {"x.txt", "ro.txt", "busy.txt"}) {
        t.put(std::string("Data/") + name, "new");
        t.put(std::string("Out/") + name, "old");
    }
    ASSERT_EQ(fso.setAttributes("C:\\Out\\ro.txt", attr::ReadOnly), FsError::None);
    FileLock lock = fso.lockFile("C:\\Out\\busy.txt");
    ASSERT_TRUE(lock.isLocked());

    TreeCopyOptions options;
    options.overwrite = true;
    TreeCopyWalk walk(options);
    ASSERT_EQ(walk.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    const std::vector<TreeStep> steps = walkAll(walk);
    EXPECT_NE(find(steps, TreeStepKind::FileCopied, "x.txt"), nullptr);
    for (const char* name : {"ro.txt", "busy.txt"}) {
        const TreeStep* failed = find(steps, TreeStepKind::FileFailed, name);
        ASSERT_NE(failed, nullptr) << name;
        EXPECT_EQ(failed->error, FsError::PermissionDenied);
        EXPECT_EQ(t.read(std::string("Out/") + name), "old") << name;
    }
    EXPECT_EQ(t.read("Out/x.txt"), "new");
}

// Named files into a folder that holds some of them: each target is found whether it is spelt as
// named or otherwise, its read-only mark is kept, on the caller's thread as beside it.
TEST_F(TreeCopyWalkTest, NamedFilesFindTheirTargetsInAnExistingFolderUnderAnySpelling)
{
    for (const char* name : {"same.txt", "other.txt", "ro.txt", "new.txt"})
        t.put(std::string("Data/") + name, "new");
    t.put("Out/same.txt", "old");
    t.put("Out/OTHER.TXT", "old");
    t.put("Out/ro.txt", "old");
    ASSERT_EQ(fso.setAttributes("C:\\Out\\ro.txt", attr::ReadOnly), FsError::None);
    for (const bool callersThread : {true, false}) {
        TreeCopyOptions options;
        options.recurse = false;
        options.overwrite = true;
        options.callersThread = callersThread;
        options.files = {"same.txt", "ro.txt", "other.txt", "new.txt"};
        TreeCopyWalk walk(options);
        ASSERT_EQ(walk.open(fso, "C:\\Data\\", "C:\\Out\\"), FsError::None);
        const std::vector<TreeStep> steps = walkAll(walk);
        ASSERT_NE(find(steps, TreeStepKind::FileCopied, "same.txt"), nullptr) << callersThread;
        const TreeStep* other = find(steps, TreeStepKind::FileCopied, "other.txt");
        ASSERT_NE(other, nullptr) << callersThread;
        EXPECT_EQ(other->targetName, "OTHER.TXT") << "the stored spelling is kept";
        ASSERT_NE(find(steps, TreeStepKind::FileFailed, "ro.txt"), nullptr) << callersThread;
        EXPECT_NE(find(steps, TreeStepKind::FileCopied, "new.txt"), nullptr) << callersThread;
        EXPECT_EQ(t.read("Out/same.txt"), "new");
        EXPECT_EQ(t.read("Out/OTHER.TXT"), "new");
        EXPECT_FALSE(fs::exists(t.host("Out/other.txt")));
        EXPECT_EQ(t.read("Out/ro.txt"), "old");
        EXPECT_EQ(t.read("Out/new.txt"), "new");
        fs::remove(t.host("Out/new.txt"));
        t.put("Out/same.txt", "old");
        t.put("Out/OTHER.TXT", "old");
    }
}

// More read-only files than the walk stores side-file lines for at once, and a sub-folder after them.
TEST_F(TreeCopyWalkTest, ManyReadOnlyFilesArriveReadOnlyEachToldCopiedOnce)
{
    constexpr int kFiles = 600;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        t.put("Data/" + name, name);
        ASSERT_EQ(fso.setAttributes("C:\\Data\\" + name, attr::ReadOnly | attr::Archive), FsError::None);
    }
    t.put("Data/Sub/s.txt", "s");
    TreeCopyWalk walk;
    ASSERT_EQ(walk.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    std::set<std::string> told;
    for (const TreeStep& s : walkAll(walk))
        if (s.kind == TreeStepKind::FileCopied)
            EXPECT_TRUE(told.insert(s.name).second) << s.name;
    EXPECT_EQ(told.size(), kFiles + 1u);
    for (int i = 0; i < kFiles; ++i) {
        unsigned bits = 0;
        const std::string name = "f" + std::to_string(i) + ".txt";
        ASSERT_EQ(fso.getAttributes("C:\\Out\\" + name, bits), FsError::None);
        ASSERT_EQ(bits, attr::ReadOnly | attr::Archive) << name;
    }
}

// A chain of folders far deeper than the folders the walk holds open, and a folder beside its top
// that the walk reaches only after climbing back up the whole chain.
TEST_F(TreeCopyWalkTest, ATreeDeeperThanTheFoldersHeldOpenArrivesWhole)
{
    constexpr int kDepth = 300;
    std::string chain = "Data";
    for (int level = 0; level < kDepth; ++level) {
        chain += "/d";
        t.put(chain + "/f", std::to_string(level));
    }
    t.put("Data/z/last.txt", "last");
    TreeCopyWalk walk;
    ASSERT_EQ(walk.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    const std::vector<TreeStep> steps = walkAll(walk);
    EXPECT_EQ(std::count_if(steps.begin(), steps.end(),
                  [](const TreeStep& s) { return s.kind == TreeStepKind::FileCopied; }),
        kDepth + 1);
    std::string out = "Out";
    for (int level = 0; level < kDepth; ++level) {
        out += "/d";
        ASSERT_EQ(t.read(out + "/f"), std::to_string(level)) << level;
    }
    EXPECT_EQ(t.read("Out/z/last.txt"), "last");
}

TEST_F(TreeCopyWalkTest, ALargeFileGoesOnBetweenStepsAndAFileThatGrewMeanwhileFails)
{
    const std::string data(20000, 'L');
    t.put("Data/large.bin", data);
    TreeCopyOptions options;
    options.chunkBytes = 4096;
    options.stepsAhead = 1; // the work beside waits for each step to be taken
    TreeCopyWalk walk(options);
    ASSERT_EQ(walk.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    ASSERT_TRUE(stepIntoFile(walk, "large.bin"));
    EXPECT_FALSE(fs::exists(t.host("Out/large.bin"))) << "the name is taken only when the file is whole";
    std::vector<TreeStep> rest = walkAll(walk);
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(rest.back().kind, TreeStepKind::FileCopied);
    EXPECT_EQ(t.read("Out/large.bin"), data);

    TreeCopyWalk grown(options);
    ASSERT_EQ(grown.open(fso, "C:\\Data", "C:\\Again"), FsError::None);
    ASSERT_TRUE(stepIntoFile(grown, "large.bin"));
    std::ofstream(t.host("Data/large.bin"), std::ios::app) << "more";
    rest = walkAll(grown);
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(rest.back().kind, TreeStepKind::FileFailed);
    EXPECT_EQ(rest.back().error, FsError::SourceChanged);
    EXPECT_FALSE(fs::exists(t.host("Again/large.bin")));

    // A walk let go of in the middle of a file leaves nothing of it.
    TreeCopyWalk dropped(options);
    ASSERT_EQ(dropped.open(fso, "C:\\Data", "C:\\Dropped"), FsError::None);
    ASSERT_TRUE(stepIntoFile(dropped, "large.bin"));
    dropped.close();
    EXPECT_TRUE(dropped.done());
    TreeCopyWalk::waitForStopped();
    EXPECT_FALSE(fs::exists(t.host("Dropped/large.bin")));
    EXPECT_FALSE(partialLeft());
}

} // namespace

TEST_F(TreeCopyWalkTest, ADriveFolderThatIsAHostLinkIsCopiedAndLinksBelowItAreNot)
{
    // The drive's folder points at a disk elsewhere on the host, as a mounted disk would be.
    const fs::path disk = t.network() / "mounted-disk";
    fs::create_directories(disk / "Sub");
    std::ofstream(disk / "a.txt") << "a";
    std::ofstream(disk / "Sub" / "b.txt") << "b";
    fs::create_symlink(disk / "a.txt", disk / "Sub" / "link.txt");
    t.config().drives.push_back({'D', DriveType::Fixed, std::nullopt, std::nullopt});
    fs::create_directories(t.folder() / "drives");
    fs::create_directory_symlink(disk, driveFolder(t.folder(), 'D'));
    t.saveConfig();
    FileSystem files = t.fileSystem();

    TreeCopyWalk walk;
    ASSERT_EQ(walk.open(files, "D:\\", "C:\\Copy"), FsError::None);
    const std::vector<TreeStep> steps = walkAll(walk);
    EXPECT_NE(find(steps, TreeStepKind::FileCopied, "a.txt"), nullptr);
    EXPECT_NE(find(steps, TreeStepKind::FileCopied, "b.txt"), nullptr);
    EXPECT_EQ(t.read("Copy/a.txt"), "a");
    EXPECT_EQ(t.read("Copy/Sub/b.txt"), "b");
    EXPECT_FALSE(fs::exists(t.host("Copy/Sub/link.txt")));
}
