// FileSystemTest.cpp: existence tests, path splitting, deletion and file times.
#include "foldersize/scanner/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/TempTree.h"

using namespace foldersize;

class FileSystemTest : public ::testing::Test {
protected:
    testsupport::TempTree t;
    static QStringList logged;
    static void collect(const QString& line) { logged << line; }
    void SetUp() override
    {
        logged.clear();
        setErrorLogHook(&collect);
    }
    void TearDown() override { setErrorLogHook(nullptr); }
};
QStringList FileSystemTest::logged;

TEST_F(FileSystemTest, ExistenceOfFilesAndFolders)
{
    t.file("Dir/File.txt", 3);
    t.symlink("/nowhere", "dangling");
    EXPECT_TRUE(xExistFile(t.path("Dir/File.txt")));
    EXPECT_TRUE(xExistFile(t.path("Dir"))) << "a folder exists as well";
    EXPECT_TRUE(xExistFile(t.path("dangling")));
    EXPECT_FALSE(xExistFile(t.path("dir/file.txt"))) << "names keep their case";
    EXPECT_FALSE(xExistFile(""));
    EXPECT_TRUE(xExistFolder(t.path("Dir")));
    EXPECT_TRUE(xExistFolder(t.path("Dir/")));
    EXPECT_FALSE(xExistFolder(t.path("dir")));
    EXPECT_FALSE(xExistFolder(t.path("Dir/File.txt")));
    EXPECT_FALSE(xExistFolder(""));
    EXPECT_FALSE(xExistFolder("   "));
    EXPECT_TRUE(xExistFolder("/"));
}

TEST_F(FileSystemTest, QuestionMarksAndBlanksAreOrdinaryCharacters)
{
    t.dir("what? ");
    EXPECT_TRUE(xExistFolder(t.path("what? ")));
    std::string p = t.path("what? ");
    EXPECT_EQ(xAddBackslash(p), t.path("what? ") + "/") << "trailing blanks belong to the name";
}

TEST_F(FileSystemTest, Extensions)
{
    EXPECT_EQ(xGetExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(xGetExtension("README"), "");
    EXPECT_EQ(xGetExtension("ends."), "");
    EXPECT_EQ(xGetExtension(".bashrc"), "bashrc");
    EXPECT_EQ(xGetExtension("/dir.d/file"), "") << "a dot in a folder name is no extension";
}

TEST_F(FileSystemTest, FolderPartOfAPath)
{
    EXPECT_EQ(xGetPath("/a/b.txt"), "/a");
    EXPECT_EQ(xGetPath("/b.txt"), "/");
    EXPECT_EQ(xGetPath("b.txt"), "");
    EXPECT_EQ(xGetPath("/a/b/"), "/a/b");
}

TEST_F(FileSystemTest, AddBackslashAppendsOnlyWhenMissing)
{
    std::string a = "/x/dir";
    EXPECT_EQ(xAddBackslash(a), "/x/dir/");
    EXPECT_EQ(a, "/x/dir/");
    std::string b = "/x/dir/";
    EXPECT_EQ(xAddBackslash(b), "/x/dir/");
    std::string c;
    EXPECT_EQ(xAddBackslash(c), "/");
}

TEST_F(FileSystemTest, DeleteFile)
{
    t.file("f", 1);
    EXPECT_EQ(xDeleteFile(t.path("f"), false), 1);
    EXPECT_FALSE(xExistFile(t.path("f")));
    EXPECT_EQ(xDeleteFile(t.path("missing"), false), 1) << "a missing file counts as deleted";
    t.file("sub/g", 1);
    EXPECT_EQ(xDeleteFile(t.path("sub"), false), 0) << "a folder is not a file";
    EXPECT_TRUE(xExistFolder(t.path("sub")));
}

TEST_F(FileSystemTest, ForcedDeleteChangesOnlyTheFilesOwnPermissions)
{
    t.file("locked/f", 1);
    const std::string folder = t.path("locked");
    const std::string file = t.path("locked/f");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    // Permissions do not bind root: the owner of the files tries as an unprivileged user.
    auto check = [&] {
        if (::geteuid() == 0 &&
            (::chown(folder.c_str(), 65534, 65534) != 0 || ::chown(file.c_str(), 65534, 65534) != 0 ||
                ::setgid(65534) != 0 || ::setuid(65534) != 0))
            std::_Exit(3);
        const int deleted = xDeleteFile(file, true);
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0)
            std::_Exit(4);
        // The write-protected folder keeps its protection, so the file stays.
        std::_Exit(deleted == 0 && (st.st_mode & 07777) == 0555 && xExistFile(file) ? 0 : 1);
    };
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
    t.file("plain/g", 1);
    ASSERT_EQ(::chmod(t.path("plain/g").c_str(), 0444), 0);
    EXPECT_EQ(xDeleteFile(t.path("plain/g"), true), 1) << "a read-only file in a writable folder goes";
}

TEST_F(FileSystemTest, FileSizesAndTimes)
{
    t.file("big", 5ull << 40);
    struct stat st {};
    ASSERT_EQ(::stat(t.path("big").c_str(), &st), 0);
    EXPECT_EQ(xGetFileSize(st), 5ull << 40);
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, t.path("big").c_str(), times, 0), 0);
    ASSERT_EQ(::stat(t.path("big").c_str(), &st), 0);
    EXPECT_EQ(xGetFileDate(st, "big").toSecsSinceEpoch(), 1000000000);
    EXPECT_TRUE(logged.isEmpty());
}

TEST_F(FileSystemTest, UnshowableTimesAreLoggedAndMarked)
{
    struct stat st {};
    st.st_mtim.tv_sec = std::numeric_limits<time_t>::max();
    EXPECT_EQ(xGetFileDate(st, "odd.bin"), invalidFileDateMarker());
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].startsWith("Die Datei 'odd.bin' besitzt ein ungültiges Datum. Error2: "));
    EXPECT_EQ(invalidFileDateMarker(), QDateTime(QDate(2070, 2, 9), QTime(20, 59, 59)));
}
