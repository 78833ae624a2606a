// FolderCopyTest.cpp: single-file copies between two folders opened once, as a copy that walks a
// tree a file per step makes them: what arrives, what is refused and what is never left behind.
#include "platform/FolderFilesCopy.h"

#include "tests/platform/TestMachine.h"
#include "tests/support/platform/FullDisk.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>

#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class FolderCopyTest : public ::testing::Test {
protected:
    FolderCopyTest()
    {
        t.put("Data/a.txt", "alpha");
        t.put("Data/b.txt", "beta");
        t.put("Data/Sub/c.txt", "gamma");
        fs::create_directories(t.host("Out"));
    }

    // The names a host listing of the folder shows, the layer's own files included.
    std::set<std::string> hostNames(const std::string& relative) const
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(t.host(relative)))
            names.insert(e.path().filename().string());
        return names;
    }

    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
};

TEST_F(FolderCopyTest, CopiesArriveUnderTheirNamesWithAttributesAndTime)
{
    ASSERT_EQ(fso.setAttributes("C:\\Data\\a.txt", attr::Hidden | attr::ReadOnly), FsError::None);
    const auto when = std::chrono::system_clock::time_point(std::chrono::seconds(1000000000));
    ASSERT_EQ(fso.setFileTime("C:\\Data\\a.txt", when), FsError::None);

    FolderCopy copy;
    // The source through the machine's own share, the destination in another case: both resolve.
    ASSERT_EQ(copy.open(fso, "\\\\DESTPC\\C$\\Data", "c:\\OUT"), FsError::None);
    ASSERT_TRUE(copy.isOpen());
    EXPECT_FALSE(copy.targetExists("a.txt"));
    EXPECT_EQ(copy.copy("a.txt"), FsError::None);
    EXPECT_EQ(copy.copy("b.txt"), FsError::None);

    EXPECT_EQ(t.read("Out/a.txt"), "alpha");
    EXPECT_EQ(t.read("Out/b.txt"), "beta");
    EXPECT_EQ(t.read("Data/a.txt"), "alpha") << "the source stays";
    unsigned bits = 0;
    ASSERT_EQ(fso.getAttributes("C:\\Out\\a.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::Hidden | attr::ReadOnly | attr::Archive);
    ASSERT_EQ(fso.getAttributes("C:\\Out\\b.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::Archive);
    std::chrono::system_clock::time_point copied;
    ASSERT_EQ(fso.fileTime("C:\\Out\\a.txt", copied), FsError::None);
    EXPECT_EQ(
        std::chrono::duration_cast<std::chrono::seconds>(copied.time_since_epoch()).count(), 1000000000);
    // The copies' names are taken now, in any case; nothing but them and the sidecar is there.
    EXPECT_TRUE(copy.targetExists("A.TXT"));
    EXPECT_EQ(hostNames("Out"), (std::set<std::string>{"a.txt", "b.txt", std::string(kAttributeSidecar)}));
}

TEST_F(FolderCopyTest, AnExistingTargetInAnyCaseIsNeverTouched)
{
    t.put("Out/A.TXT", "earlier");
    FolderCopy copy;
    ASSERT_EQ(copy.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    EXPECT_TRUE(copy.targetExists("a.txt"));
    EXPECT_EQ(copy.copy("a.txt"), FsError::FileExists);
    EXPECT_EQ(t.read("Out/A.TXT"), "earlier");

    // A file that took the name after the folder was opened is not replaced either.
    t.put("Out/b.txt", "written meanwhile");
    EXPECT_EQ(copy.copy("b.txt"), FsError::FileExists);
    EXPECT_EQ(t.read("Out/b.txt"), "written meanwhile");
    EXPECT_TRUE(copy.targetExists("B.txt"));
    EXPECT_EQ(hostNames("Out"), (std::set<std::string>{"A.TXT", "b.txt"})) << "no partial file is left";
}

TEST_F(FolderCopyTest, MissingInUseAndNonFileSourcesAreRefused)
{
    FolderCopy copy;
    ASSERT_EQ(copy.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    EXPECT_EQ(copy.copy("gone.txt"), FsError::FileNotFound);
    EXPECT_EQ(copy.copy("Sub"), FsError::FileNotFound) << "a folder is no file";
    ASSERT_EQ(::mkfifo(t.host("Data/pipe").c_str(), 0644), 0);
    EXPECT_EQ(copy.copy("pipe"), FsError::FileNotFound) << "a host pipe is no file, and is not waited on";
    EXPECT_EQ(copy.copy("..\\a.txt"), FsError::FileNotFound);
    EXPECT_EQ(copy.copy("../Data/a.txt"), FsError::FileNotFound);

    FileLock lock = fso.lockFile("C:\\Data\\a.txt");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_EQ(copy.copy("a.txt"), FsError::PermissionDenied);
    EXPECT_FALSE(copy.targetExists("a.txt"));
    lock.release();
    EXPECT_EQ(copy.copy("a.txt"), FsError::None) << "free again, it copies";
    EXPECT_EQ(t.read("Out/a.txt"), "alpha");
    EXPECT_EQ(hostNames("Out"), (std::set<std::string>{"a.txt"}));
}

// Host links are no part of an emulated drive: one in the source is not read, and one in the
// destination takes its name, so that nothing is ever written through it.
TEST_F(FolderCopyTest, HostLinksAreNeitherReadNorWrittenThrough)
{
    testutil::TestMachine outside("OUTSIDE");
    outside.put("secret.txt", "outside the drive");
    fs::create_symlink(outside.host("secret.txt"), t.host("Data/link.txt"));
    fs::create_symlink(outside.host("secret.txt"), t.host("Out/b.txt"));
    platform::RunningMachine::use(t.folder());

    FolderCopy copy;
    ASSERT_EQ(copy.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    EXPECT_EQ(copy.copy("link.txt"), FsError::FileNotFound);
    EXPECT_FALSE(fs::exists(t.host("Out/link.txt")));
    EXPECT_TRUE(copy.targetExists("B.TXT"));
    EXPECT_EQ(copy.copy("b.txt"), FsError::FileExists);
    EXPECT_EQ(outside.read("secret.txt"), "outside the drive");
}

TEST_F(FolderCopyTest, FoldersThatAreMissingOrGoneAreReported)
{
    FolderCopy copy;
    EXPECT_EQ(copy.open(fso, "C:\\Nope", "C:\\Out"), FsError::PathNotFound);
    EXPECT_FALSE(copy.isOpen());
    EXPECT_EQ(copy.open(fso, "C:\\Data", "C:\\Data\\a.txt"), FsError::PathNotFound) << "a file is no folder";
    EXPECT_EQ(copy.open(fso, "C:\\Data", "\\\\NOPC\\C$\\Out"), FsError::PathNotFound);
    EXPECT_EQ(copy.copy("a.txt"), FsError::PathNotFound);

    ASSERT_EQ(copy.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    fs::remove_all(t.host("Out"));
    EXPECT_EQ(copy.copy("a.txt"), FsError::PathNotFound);
    EXPECT_FALSE(fs::exists(t.host("Out")));
}

// A partial file left by a copy that was cut short (same process number) is no obstacle, and a
// copy that does not fit (a file-size limit in a child stands in for a full drive) leaves neither
// a partial file nor a file under the target's name.
TEST_F(FolderCopyTest, LeftoversAreReplacedAndWhatDoesNotFitLeavesNothing)
{
    t.put("Data/big.bin", std::string(256 * 1024, 'b'));
    t.put("Out/:partial." + std::to_string(::getpid()), "left by a crash");
    const std::string answers = testsupport::onFullDisk(64 * 1024, [&] {
        FolderCopy copy;
        if (copy.open(fso, "C:\\Data", "C:\\Out") != FsError::None)
            return std::string("not opened");
        const std::string big(fsErrorText(copy.copy("big.bin")));
        const std::string left = copy.targetExists("big.bin") ? " (big.bin left)" : "";
        return big + left + " / " +
            (copy.copy("a.txt") == FsError::None ? "a.txt copied" : "a.txt not copied");
    });
    EXPECT_EQ(answers, "Disk full / a.txt copied");

    FolderCopy copy;
    ASSERT_EQ(copy.open(fso, "C:\\Data", "C:\\Out"), FsError::None);
    EXPECT_EQ(copy.copy("b.txt"), FsError::None);
    EXPECT_EQ(t.read("Out/b.txt"), "beta");
    EXPECT_EQ(hostNames("Out"), (std::set<std::string>{"a.txt", "b.txt"}));
}

} // namespace
