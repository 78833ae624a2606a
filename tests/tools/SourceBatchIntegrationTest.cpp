// SourceBatchIntegrationTest.cpp: on a fresh demo network, NEWPC maps \\OLDPC\C$, writes the
// source batch file there, the batch runs on OLDPC and NEWPC reads the hive exports through the
// mapped letter. Uses the built regedit and winbatch tools.
#include "tools/demo-network/DemoNetwork.h"

#include "platform/CodePage.h"
#include "platform/EventLog.h"
#include "platform/Machine.h"
#include "platform/Network.h"
#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class SourceBatchIntegrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_net = fs::temp_directory_path() / ("srcbatch-" + std::to_string(::getpid()));
        fs::remove_all(m_net);
        std::string error;
        ASSERT_TRUE(demo::buildSourcePc98(m_net, error)) << error;
        ASSERT_TRUE(demo::buildSourcePcXp(m_net, error)) << error;
        ASSERT_TRUE(demo::buildDestinationPc(m_net, {}, error)) << error;
        ASSERT_EQ(m_newpc.open(m_net / demo::kDestinationPc), WinError::Success);
        ASSERT_FALSE(findTool("regedit").empty()) << "the regedit tool is not built";
        ASSERT_FALSE(findTool("winbatch").empty()) << "the winbatch tool is not built";
    }
    void TearDown() override { fs::remove_all(m_net); }

    static std::string crlf(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const auto& l : lines)
            text += l + "\r\n";
        return utf8ToCp1252(text);
    }

    fs::path m_net;
    Machine m_newpc;
};

TEST_F(SourceBatchIntegrationTest, ExportsOfTheSourceHivesArriveThroughTheMappedDrive)
{
    Network net(m_newpc.folder(), m_newpc.config());
    // C:, D: and E: are taken on NEWPC: F: is the first free letter.
    ASSERT_EQ(net.driveType("F:\\"), DriveType::NoRootDir);
    ASSERT_EQ(net.addConnection("F:", "\\\\OLDPC\\C$", nullptr, nullptr), WinError::Success);

    FileSystem files = m_newpc.fileSystem();
    ASSERT_EQ(files.makeSurePathExists("F:\\KestroBatch\\"), WinError::Success);
    const std::string cmd = "regedit.exe /s /E ";
    ASSERT_EQ(
        files.writeFile("F:\\KestroBatch\\Temp.bat",
            crlf({"@echo Processing,Please wait...This window will be closed automatically", "@echo off",
                "@echo Creating File 1..", cmd + "C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"",
                "@echo Creating File 2..", cmd + "C:\\KestroBatch\\HKCU.reg \"HKEY_CURRENT_USER\"",
                "@echo Creating File 3..", cmd + "C:\\KestroBatch\\HKCR.reg \"HKEY_CLASSES_ROOT\"",
                "@echo Created all files.", "copy regexp.bat Kestro.txt", "CLS"})),
        FsError::None);

    // The user runs the batch file on the source PC.
    StartOptions onSource;
    onSource.machineFolder = m_net / demo::kSourcePc98;
    std::uint32_t code = 99;
    ASSERT_EQ(runProcess("winbatch C:\\KestroBatch\\Temp.bat", onSource, &code), WinError::Success);

    std::string hklm, hkcu, hkcr;
    ASSERT_EQ(files.readText("F:\\KestroBatch\\HKLM.reg", hklm), FsError::None);
    ASSERT_EQ(files.readText("F:\\KestroBatch\\HKCU.reg", hkcu), FsError::None);
    ASSERT_EQ(files.readText("F:\\KestroBatch\\HKCR.reg", hkcr), FsError::None);
    EXPECT_EQ(hklm.rfind("REGEDIT4", 0), 0u);
    EXPECT_NE(
        hklm.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]"), std::string::npos);
    EXPECT_NE(hklm.find("\"ProductName\"=\"Microsoft Windows 98\""), std::string::npos);
    EXPECT_NE(hklm.find("\"DisplayName\"=\"Photo Editor 5.0 Deluxe\""), std::string::npos);
    EXPECT_NE(hkcu.find("[HKEY_CURRENT_USER\\Control Panel\\Desktop]"), std::string::npos);
    EXPECT_EQ(hkcu.find("HKEY_LOCAL_MACHINE"), std::string::npos);
    EXPECT_EQ(hkcr.rfind("REGEDIT4", 0), 0u);
    // The failed copy of the last lines is reported by the batch and changes nothing.
    EXPECT_FALSE(files.fileExists("F:\\KestroBatch\\Kestro.txt"));
    // Nothing of the exports was written on the destination's own C:.
    EXPECT_FALSE(files.fileExists("C:\\KestroBatch\\HKLM.reg"));

    ASSERT_EQ(net.cancelConnection("F:"), WinError::Success);
    EXPECT_FALSE(files.fileExists("F:\\KestroBatch\\HKLM.reg"));
}

TEST_F(SourceBatchIntegrationTest, XpSourceNeedsTheLogonAndRecordsTheGrants)
{
    Network net(m_newpc.folder(), m_newpc.config());
    EXPECT_EQ(net.addConnection("G:", "\\\\OLDXP\\C$", demo::kXpAdminUser, demo::kXpAdminPassword),
        WinError::BadNetName);
    EXPECT_EQ(net.addConnection("G:", "\\\\OLDXP\\C", demo::kXpAdminUser, "wrong"), WinError::LogonFailure);
    ASSERT_EQ(net.addConnection("G:", "\\\\OLDXP\\C", demo::kXpAdminUser, demo::kXpAdminPassword),
        WinError::Success);

    FileSystem files = m_newpc.fileSystem();
    ASSERT_EQ(files.makeSurePathExists("G:\\KestroBatch\\"), WinError::Success);
    ASSERT_EQ(files.writeFile("G:\\KestroBatch\\Temp.bat",
                  crlf({"@echo off", "regedit.exe /a C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"",
                      "cacls c:\\windows /t /e /g everyone:f", "CLS"})),
        FsError::None);
    StartOptions onSource;
    onSource.machineFolder = m_net / demo::kSourcePcXp;
    ASSERT_EQ(runProcess("winbatch C:\\KestroBatch\\Temp.bat", onSource), WinError::Success);
    std::string hklm;
    ASSERT_EQ(files.readText("G:\\KestroBatch\\HKLM.reg", hklm), FsError::None);
    EXPECT_NE(hklm.find("\"ProductName\"=\"Microsoft Windows XP\""), std::string::npos);
    const auto events = readMachineEvents(m_net / demo::kSourcePcXp);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, "c:\\windows /t /e /g everyone:f");
}

} // namespace
