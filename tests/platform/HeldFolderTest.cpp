// HeldFolderTest.cpp: a folder held open answers for its entries by their stored names, and never
// for what the file-system object would refuse or find only without regard to case.
#include "platform/HeldFolder.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Kind = platform::HeldFolder::Kind;

TEST(HeldFolderTest, AnswersForStoredNamesAndLeavesTheRestToTheFileSystem)
{
    testutil::TestMachine m;
    m.put("Data/Report.doc");
    m.put("Data/Letters/a.txt");
    m.put("Outside/secret.txt");
    std::filesystem::create_symlink(m.host("Outside/secret.txt"), m.host("Data/link.txt"));
    std::filesystem::create_directory_symlink(m.host("Outside"), m.host("Data/LinkedFolder"));
    platform::FileSystem& fs = platform::RunningMachine::current()->files();

    platform::HeldFolder held;
    ASSERT_TRUE(held.open(fs, "\\\\DESTPC\\C$\\data\\"));
    EXPECT_EQ(held.kindOf("Report.doc"), Kind::File);
    EXPECT_EQ(held.kindOf("Letters"), Kind::Folder);
    EXPECT_EQ(held.kindOf("Missing.doc"), Kind::Missing);
    // Host links are no entries of a drive, whatever they point at.
    EXPECT_EQ(held.kindOf("link.txt"), Kind::Missing);
    EXPECT_EQ(held.kindOf("LinkedFolder"), Kind::Missing);
    // Only the exact name: another case, a path or the layer's own files are not answered here.
    EXPECT_EQ(held.kindOf("REPORT.DOC"), Kind::Missing);
    EXPECT_EQ(held.kindOf("Letters/a.txt"), Kind::Missing);
    EXPECT_EQ(held.kindOf(".."), Kind::Missing);
    EXPECT_EQ(held.kindOf(":attributes"), Kind::Missing);

    // Opening a path that names no folder (a file, a host link) lets go of what was held.
    EXPECT_FALSE(held.open(fs, "C:\\Data\\Report.doc"));
    EXPECT_FALSE(held.isOpen());
    EXPECT_EQ(held.kindOf("Report.doc"), Kind::Missing);
    EXPECT_FALSE(held.open(fs, "C:\\Data\\LinkedFolder"));
}

} // namespace
