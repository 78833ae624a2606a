// RandomFileTest.cpp: reads and writes at an offset of files of the emulated machine.
#include "platform/RandomFile.h"

#include <gtest/gtest.h>

#include "tests/platform/TestMachine.h"

namespace {

class RandomFileTest : public ::testing::Test {
protected:
    testutil::TestMachine machine;
    platform::FileSystem files = machine.fileSystem();
};

TEST_F(RandomFileTest, WritesAtAnOffsetAndLeavesZerosInTheGap)
{
    machine.put("Data/x.bin", "");
    ASSERT_EQ(platform::writeFileAt(files, "c:\\DATA\\X.BIN", 4, "abc"), platform::FsError::None);
    EXPECT_EQ(machine.read("Data/x.bin"), std::string("\0\0\0\0abc", 7));
    ASSERT_EQ(platform::writeFileAt(files, "C:\\Data\\x.bin", 1, "ZZ"), platform::FsError::None);
    EXPECT_EQ(machine.read("Data/x.bin"), std::string("\0ZZ\0abc", 7));
}

TEST_F(RandomFileTest, CreatesAMissingFileButNotItsFolder)
{
    machine.put("Data/keep.txt", "k");
    EXPECT_EQ(platform::writeFileAt(files, "C:\\Data\\new.bin", 0, "hi"), platform::FsError::None);
    EXPECT_EQ(machine.read("Data/new.bin"), "hi");
    EXPECT_EQ(platform::writeFileAt(files, "C:\\Missing\\new.bin", 0, "hi"), platform::FsError::PathNotFound);
    EXPECT_EQ(platform::writeFileAt(files, "relative\\new.bin", 0, "hi"), platform::FsError::BadFileName);
}

TEST_F(RandomFileTest, ReadsUpToTheEnd)
{
    machine.put("Data/x.txt", "0123456789");
    std::string bytes;
    ASSERT_EQ(platform::readFileAt(files, "C:\\Data\\x.txt", 3, 4, bytes), platform::FsError::None);
    EXPECT_EQ(bytes, "3456");
    ASSERT_EQ(platform::readFileAt(files, "C:\\Data\\x.txt", 8, 10, bytes), platform::FsError::None);
    EXPECT_EQ(bytes, "89");
    ASSERT_EQ(platform::readFileAt(files, "C:\\Data\\x.txt", 20, 10, bytes), platform::FsError::None);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(
        platform::readFileAt(files, "C:\\Data\\none.txt", 0, 1, bytes), platform::FsError::FileNotFound);
    EXPECT_EQ(platform::readFileAt(files, "C:\\Data", 0, 1, bytes), platform::FsError::PathFileAccess);
}

TEST_F(RandomFileTest, RefusesReadOnlyAndFilesInUse)
{
    machine.put("Data/ro.txt", "abc");
    ASSERT_EQ(files.setAttributes("C:\\Data\\ro.txt", platform::attr::ReadOnly), platform::FsError::None);
    EXPECT_EQ(platform::writeFileAt(files, "C:\\Data\\ro.txt", 0, "x"), platform::FsError::PermissionDenied);
    EXPECT_EQ(machine.read("Data/ro.txt"), "abc");

    machine.put("Data/busy.txt", "abc");
    platform::FileLock lock = files.lockFile("C:\\Data\\busy.txt");
    ASSERT_TRUE(lock.isLocked());
    std::string bytes;
    EXPECT_EQ(
        platform::readFileAt(files, "C:\\Data\\busy.txt", 0, 3, bytes), platform::FsError::PermissionDenied);
    EXPECT_EQ(
        platform::writeFileAt(files, "C:\\Data\\busy.txt", 0, "x"), platform::FsError::PermissionDenied);
}

} // namespace
