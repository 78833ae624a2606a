// SystemInfoTest.cpp: computer name, version word, special folders per OS, privileges and the
// recorded restart.
#include "platform/SystemInfo.h"
#include "platform/EventLog.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

MachineConfig machine(const std::string& os, const std::string& user = "Anna")
{
    MachineConfig c;
    applyOsDefaults(os, c);
    c.os = os;
    c.computerName = "OldPc";
    c.userName = user;
    return c;
}

std::string folder(const MachineConfig& c, int id)
{
    std::string path = "unset";
    const WinError e = specialFolderPath(c, id, path);
    return e == WinError::Success ? path : "error " + std::to_string(winErrorCode(e));
}

class SystemInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("systest-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(SystemInfoTest, ComputerNameIsUpperCase) { EXPECT_EQ(computerNameOf(machine("win98")), "OLDPC"); }

TEST_F(SystemInfoTest, NtFoldersLieInTheUserProfile)
{
    auto xp = machine("winxp", "user1");
    EXPECT_EQ(folder(xp, csidl::Programs), R"(C:\Documents and Settings\user1\Start Menu\Programs)");
    EXPECT_EQ(folder(xp, csidl::Cookies), R"(C:\Documents and Settings\user1\Cookies)");
    EXPECT_EQ(folder(xp, csidl::Personal), R"(C:\Documents and Settings\user1\My Documents)");
    EXPECT_EQ(
        folder(xp, csidl::CommonPrograms), R"(C:\Documents and Settings\All Users\Start Menu\Programs)");
    EXPECT_EQ(folder(xp, csidl::History), R"(C:\Documents and Settings\user1\Local Settings\History)");
    EXPECT_EQ(folder(xp, csidl::Windows), R"(C:\WINDOWS)");
    EXPECT_EQ(folder(xp, csidl::System), xp.systemFolder);
    EXPECT_EQ(folder(xp, csidl::ProgramFiles), R"(C:\Program Files)");
    EXPECT_EQ(folder(xp, csidl::CommonProgramFiles), R"(C:\Program Files\Common Files)");
}

TEST_F(SystemInfoTest, Win2000FollowsItsWindowsFolderAndDrive)
{
    auto w2k = machine("win2k");
    w2k.windowsFolder = R"(D:\WINNT\)";
    w2k.systemFolder = R"(D:\WINNT\system32)";
    EXPECT_EQ(folder(w2k, csidl::Windows), R"(D:\WINNT)");
    EXPECT_EQ(folder(w2k, csidl::Fonts), R"(D:\WINNT\Fonts)");
    EXPECT_EQ(folder(w2k, csidl::AppData), R"(D:\Documents and Settings\Anna\Application Data)");
    EXPECT_EQ(folder(w2k, csidl::ProgramFiles), R"(D:\Program Files)");
}

TEST_F(SystemInfoTest, Win9xFoldersLieInTheWindowsFolder)
{
    auto w98 = machine("win98");
    EXPECT_EQ(folder(w98, csidl::Programs), w98.windowsFolder + R"(\Start Menu\Programs)");
    EXPECT_EQ(folder(w98, csidl::DesktopDirectory), w98.windowsFolder + R"(\Desktop)");
    EXPECT_EQ(folder(w98, csidl::Cookies), w98.windowsFolder + R"(\Cookies)");
    EXPECT_EQ(folder(w98, csidl::Personal), R"(C:\My Documents)");
    EXPECT_EQ(folder(w98, csidl::System), w98.systemFolder);
    EXPECT_EQ(folder(w98, csidl::Profile), "error 2");
    auto w95 = machine("win95");
    EXPECT_EQ(folder(w95, csidl::CommonPrograms), "error 2");
    EXPECT_EQ(folder(w95, csidl::Programs), w95.windowsFolder + R"(\Start Menu\Programs)");
}

TEST_F(SystemInfoTest, VirtualAndUnknownFoldersHaveNoPath)
{
    auto xp = machine("winxp");
    std::string path = "kept";
    EXPECT_EQ(specialFolderPath(xp, csidl::Network, path), WinError::InvalidParameter);
    EXPECT_EQ(specialFolderPath(xp, 0x7777, path), WinError::InvalidParameter);
    EXPECT_EQ(path, "kept");
}

TEST_F(SystemInfoTest, NtRestartNeedsTheShutdownPrivilege)
{
    const auto xp = machine("winxp");
    Privileges privileges(xp);
    EXPECT_EQ(requestExitWindows(m_dir, xp, privileges, 7), WinError::PrivilegeNotHeld);
    std::uint64_t luid = 0;
    EXPECT_EQ(privileges.adjustTokenPrivilege(19, true), WinError::InvalidHandle);
    ASSERT_EQ(privileges.openProcessToken(0x28), WinError::Success);
    EXPECT_EQ(privileges.lookupPrivilegeValue("", "SeBogusPrivilege", luid), WinError::NoSuchPrivilege);
    ASSERT_EQ(privileges.lookupPrivilegeValue("", "SeShutdownPrivilege", luid), WinError::Success);
    ASSERT_EQ(privileges.adjustTokenPrivilege(luid, true), WinError::Success);
    EXPECT_TRUE(readMachineEvents(m_dir).empty());
    ASSERT_EQ(
        requestExitWindows(m_dir, xp, privileges, exitflags::Shutdown | exitflags::Reboot | exitflags::Force),
        WinError::Success);
    const auto events = readMachineEvents(m_dir);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "restart");
    EXPECT_EQ(events[0].text, "flags=7");
}

TEST_F(SystemInfoTest, Win9xHasNoTokensButRestartsAnyway)
{
    const auto w98 = machine("win98");
    Privileges privileges(w98);
    std::uint64_t luid = 0;
    EXPECT_EQ(privileges.openProcessToken(0x28), WinError::CallNotImplemented);
    EXPECT_EQ(privileges.lookupPrivilegeValue("", "SeShutdownPrivilege", luid), WinError::CallNotImplemented);
    ASSERT_EQ(requestExitWindows(m_dir, w98, privileges, exitflags::Shutdown), WinError::Success);
    EXPECT_EQ(requestExitWindows(m_dir / "gone", w98, privileges, exitflags::Reboot), WinError::PathNotFound);
    const auto events = readMachineEvents(m_dir);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "shutdown");
}

} // namespace
