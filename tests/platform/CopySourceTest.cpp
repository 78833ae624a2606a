// CopySourceTest.cpp: what every copy of the layer takes from a source folder: regular files only
// (a host pipe or a link to a device fails alone and is never waited on), and only a file that kept
// its size while it was copied; nothing partial stays behind.
#include "platform/FileSystemHost.h"
#include "platform/TreeCopyWalk.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class CopySourceTest : public ::testing::Test {
protected:
    CopySourceTest()
    {
        t.put("Data/a.txt", "alpha");
        fs::create_directories(t.host("Out"));
        EXPECT_EQ(::mkfifo(t.host("Data/pipe").c_str(), 0644), 0);
        fs::create_symlink("/dev/zero", t.host("Data/zero"));
    }

    // Runs a copy that must end by itself; a copy left waiting on the pipe is released (a writer
    // opens and closes it) and fails the test instead of hanging it.
    void runBounded(const std::function<void()>& copy)
    {
        auto done = std::async(std::launch::async, copy);
        if (done.wait_for(std::chrono::seconds(30)) == std::future_status::timeout) {
            ADD_FAILURE() << "the copy waited on the pipe";
            const int w = ::open(t.host("Data/pipe").c_str(), O_WRONLY | O_NONBLOCK);
            if (w >= 0)
                ::close(w);
        }
        done.get();
    }

    std::set<std::string> outNames() const
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(t.host("Out")))
            names.insert(e.path().filename().string());
        return names;
    }

    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
};

TEST_F(CopySourceTest, PipesAndDeviceLinksFailAloneInEveryCopy)
{
    const struct {
        const char* way;
        std::function<void(FileSystem&, CopySourceTest&)> copy;
    } ways[] = {
        {"copyFile",
            [](FileSystem& f, CopySourceTest&) {
                EXPECT_NE(f.copyFile("C:\\Data\\pipe", "C:\\Out\\pipe"), FsError::None);
                EXPECT_NE(f.copyFile("C:\\Data\\zero", "C:\\Out\\zero"), FsError::None);
                EXPECT_EQ(f.copyFile("C:\\Data\\*", "C:\\Out\\"), FsError::PermissionDenied) << "the pipe";
            }},
        {"TreeCopyWalk",
            [](FileSystem& f, CopySourceTest&) {
                TreeCopyWalk walk;
                ASSERT_EQ(walk.open(f, "C:\\Data", "C:\\Out"), FsError::None);
                std::vector<std::string> copied, failed;
                for (TreeStep s = walk.step(); s.kind != TreeStepKind::Done; s = walk.step()) {
                    if (s.kind == TreeStepKind::FileCopied)
                        copied.push_back(s.name);
                    if (s.kind == TreeStepKind::FileFailed && s.error == FsError::FileNotFound)
                        failed.push_back(s.name);
                }
                EXPECT_EQ(copied, std::vector<std::string>{"a.txt"});
                EXPECT_EQ(failed, std::vector<std::string>{"pipe"}) << "the link is no entry at all";
            }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        fs::remove_all(t.host("Out"));
        fs::create_directories(t.host("Out"));
        runBounded([&] { way.copy(fso, *this); });
        for (const std::string& name : outNames())
            EXPECT_TRUE(name == "a.txt") << "only the regular file arrives, nothing partial: " << name;
    }
}

TEST_F(CopySourceTest, AFileThatGrewOrShrankWhileCopiedFails)
{
    const std::string content = "0123456789";
    t.put("Data/moving.bin", content);
    for (const off_t sizeAtOpen : {off_t(9), off_t(11), off_t(10)}) {
        SCOPED_TRACE(sizeAtOpen);
        const int in = ::open(t.host("Data/moving.bin").c_str(), O_RDONLY);
        const int out = ::open(t.host("Out/copy.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(in, 0);
        ASSERT_GE(out, 0);
        struct stat st {};
        ASSERT_EQ(::fstat(in, &st), 0);
        st.st_size = sizeAtOpen; // as if the file had this size when the copy opened it
        const FsError result = hostfs::copyFileData(in, st, out);
        ::close(in);
        ::close(out);
        EXPECT_EQ(result, sizeAtOpen == 10 ? FsError::None : FsError::SourceChanged);
        EXPECT_LE(fs::file_size(t.host("Out/copy.bin")), std::uintmax_t(sizeAtOpen) + 1)
            << "no more than one byte past the size at open is read";
    }
    EXPECT_EQ(fsErrorText(FsError::SourceChanged), "Changed while copied");
}

// A file with holes (a disk image, a database) arrives with the same holes through either copy:
// only its data is read and written, and the copy has the source's length.
TEST_F(CopySourceTest, AFileWithHolesKeepsThemInEveryCopy)
{
    constexpr off_t kHole = off_t{16} << 20;
    const int fd = ::open(t.host("Data/sparse.bin").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::pwrite(fd, "head", 4, 0), 4);
    EXPECT_EQ(::pwrite(fd, "middle", 6, kHole), 6);
    EXPECT_EQ(::ftruncate(fd, 3 * kHole), 0); // and a hole at the end
    ::close(fd);
    struct stat source {};
    ASSERT_EQ(::stat(t.host("Data/sparse.bin").c_str(), &source), 0);
    if (source.st_blocks * 512 >= source.st_size)
        GTEST_SKIP() << "the test folder's file system keeps no holes";

    ASSERT_EQ(fso.copyFile("C:\\Data\\sparse.bin", "C:\\Out\\one.bin"), FsError::None);
    TreeCopyWalk walk;
    ASSERT_EQ(walk.open(fso, "C:\\Data", "C:\\Tree"), FsError::None);
    runBounded([&walk] {
        while (walk.step().kind != TreeStepKind::Done) {}
    });
    for (const char* copy : {"Out/one.bin", "Tree/sparse.bin"}) {
        SCOPED_TRACE(copy);
        struct stat st {};
        ASSERT_EQ(::stat(t.host(copy).c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 3 * kHole);
        EXPECT_LE(st.st_blocks, source.st_blocks + 64) << "the holes were written out";
        const std::string bytes = t.read(std::string(copy));
        EXPECT_EQ(bytes.substr(0, 4), "head");
        EXPECT_EQ(bytes.substr(kHole, 6), "middle");
        EXPECT_EQ(bytes.find_first_not_of('\0', 4), std::size_t(kHole));
        EXPECT_EQ(bytes.find_first_not_of('\0', kHole + 6), std::string::npos);
    }
}

} // namespace
