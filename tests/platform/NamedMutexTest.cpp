// NamedMutexTest.cpp: one holder per machine and name, released when the holder goes.
#include "platform/NamedMutex.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class NamedMutexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("named-mutex-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "PC1");
        fs::create_directories(m_root / "PC2");
    }
    void TearDown() override { fs::remove_all(m_root); }
    fs::path m_root;
};

TEST_F(NamedMutexTest, TheSecondCreatorLearnsThatItExists)
{
    auto first = platform::NamedMutex::create(m_root / "PC1", "Kestro");
    ASSERT_TRUE(first.owned());
    EXPECT_FALSE(first.alreadyExists());
    // Names compare without regard to case.
    auto second = platform::NamedMutex::create(m_root / "PC1", "KESTRO");
    EXPECT_FALSE(second.owned());
    EXPECT_TRUE(second.alreadyExists());
}

TEST_F(NamedMutexTest, MachinesAndNamesAreSeparate)
{
    auto a = platform::NamedMutex::create(m_root / "PC1", "Kestro");
    auto b = platform::NamedMutex::create(m_root / "PC2", "Kestro");
    auto c = platform::NamedMutex::create(m_root / "PC1", "Other");
    EXPECT_TRUE(a.owned());
    EXPECT_TRUE(b.owned());
    EXPECT_TRUE(c.owned());
}

TEST_F(NamedMutexTest, ReleasingOrEndingTheHolderFreesIt)
{
    {
        auto held = platform::NamedMutex::create(m_root / "PC1", "Kestro");
        ASSERT_TRUE(held.owned());
        held.release();
        EXPECT_FALSE(held.owned());
        EXPECT_TRUE(platform::NamedMutex::create(m_root / "PC1", "Kestro").owned());
    }
    // A holder in another process that dies without releasing.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto m = platform::NamedMutex::create(m_root / "PC1", "Kestro");
        const char ok = m.owned() ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    EXPECT_TRUE(platform::NamedMutex::create(m_root / "PC1", "Kestro").alreadyExists());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(platform::NamedMutex::create(m_root / "PC1", "Kestro").owned());
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(NamedMutexTest, AnUnwritableMachineFolderGivesNeither)
{
    const fs::path file = m_root / "not-a-folder";
    {
        std::ofstream(file) << "x";
    }
    auto m = platform::NamedMutex::create(file, "Kestro");
    EXPECT_FALSE(m.owned());
    EXPECT_FALSE(m.alreadyExists());
}

} // namespace
