// DemoHandOver.h: a demo network in a temporary folder with NEWPC as the running machine, and the
// hand-over as the connection steps leave it, done without the window: F: connected to a source's
// C:, its hives exported there by its batch file (run by the built winbatch), the exports
// mirrored under SOFTWARE\QZ of NEWPC and F: recorded in the drive map.
#pragma once

#include "platform/Machine.h"
#include "platform/Network.h"
#include "platform/ProcessRunner.h"
#include "platform/RegFile.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/QuickClock.h"
#include "tests/support/wizard/WizardRun.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class DemoHandOverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "demo-handover-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_network = pattern;
        std::string error;
        ASSERT_TRUE(demo::buildDemoNetwork(m_network, demo::DemoOptions{{KESTRO_BUILT_DATA}}, error))
            << error;
        if (const char* old = std::getenv(platform::Machine::kEnvironmentVariable))
            m_oldEnv = old;
        ::setenv(platform::Machine::kEnvironmentVariable, newPc().c_str(), 1);
        ASSERT_EQ(platform::RunningMachine::use(newPc()), platform::WinError::Success);
        resetWizardRun();
        wizard::AppPath = demo::kWizardFolder;
        wizard::transferGlobals() = wizard::TransferGlobals{};
        // As the program wires it: source drives are named by the local drives they are mapped to.
        wizard::setMappedDriveLookup(
            [](const std::string& drive) { return wizard::transferGlobals().driveMap.lookup(drive); });
    }
    void TearDown() override
    {
        wizard::setMappedDriveLookup({});
        wizard::transferGlobals() = wizard::TransferGlobals{};
        resetWizardRun();
        platform::RunningMachine::close();
        if (m_oldEnv)
            ::setenv(platform::Machine::kEnvironmentVariable, m_oldEnv->c_str(), 1);
        else
            ::unsetenv(platform::Machine::kEnvironmentVariable);
        std::error_code ec;
        std::filesystem::remove_all(m_network, ec);
    }

    // The registry editor's settling pauses, some twenty in a migration, at a tenth of their length.
    QuickClock quickClock;
    common::Service<platform::Clock>::Override clockScope{quickClock};

    std::filesystem::path newPc() const { return m_network / demo::kDestinationPc; }
    const std::filesystem::path& network() const { return m_network; }
    platform::FileSystem& files() { return platform::RunningMachine::current()->files(); }
    platform::Registry& registry() { return platform::RunningMachine::current()->registry(); }

    // The hand-over from `source` through `share` (user and password for an XP logon, else null),
    // its batch file exporting with `exportCommand` ("regedit.exe /s /E " on 98, "regedit.exe /a "
    // on XP) the hives named in `hives` (file name and root).
    void handOver(const char* source, const std::string& share, const char* user, const char* password,
        const std::string& exportCommand,
        const std::vector<std::pair<std::string, std::string>>& hives = {
            {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}, {"HKCR", "HKEY_CLASSES_ROOT"}})
    {
        using platform::FsError;
        using platform::WinError;
        ASSERT_EQ(platform::RunningMachine::current()->network().addConnection("F:", share, user, password),
            WinError::Success);
        ASSERT_EQ(files().makeSurePathExists("F:\\KestroBatch\\"), WinError::Success);
        std::string batch = "@echo off\r\n";
        for (const auto& [file, hive] : hives)
            batch += exportCommand + "C:\\KestroBatch\\" + file + ".reg \"" + hive + "\"\r\n";
        ASSERT_EQ(files().writeFile("F:\\KestroBatch\\Temp.bat", batch), FsError::None);
        platform::StartOptions onSource;
        onSource.machineFolder = m_network / source;
        ASSERT_EQ(platform::runProcess("winbatch C:\\KestroBatch\\Temp.bat", onSource), WinError::Success);
        for (const auto& [file, hive] : hives) {
            std::string text;
            ASSERT_EQ(files().readFile("F:\\KestroBatch\\" + file + ".reg", text), FsError::None);
            ASSERT_EQ(text.rfind("REGEDIT4", 0), 0u) << file;
            // Each section of the export moves below the mirror key.
            text = wizard::replaceAll(
                text, "\r\n[HKEY_", std::string("\r\n") + std::string(wizard::kMirrorHeader) + "HKEY_");
            platform::RegFileMergeReport report;
            ASSERT_EQ(platform::mergeRegText(registry(), text, report), WinError::Success) << report.message;
        }
        wizard::transferGlobals().driveMap.set("C:", "F:");
    }

private:
    std::filesystem::path m_network;
    std::optional<std::string> m_oldEnv;
};

} // namespace testsupport
