// DemoNetworkEnvironmentTest.cpp: the demo network's NEWPC as the wizard's environment routines
// read it: a supported Windows XP destination with its folders found.
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/ScriptVariables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

class DemoNetworkEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "demo-env-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_network = pattern;
        std::string error;
        ASSERT_TRUE(demo::buildDemoNetwork(m_network, demo::DemoOptions{}, error)) << error;
        if (const char* old = std::getenv("WINENV_MACHINE"))
            m_oldEnv = old;
        ::setenv("WINENV_MACHINE", (m_network / demo::kDestinationPc).c_str(), 1);
        platform::RunningMachine::use(m_network / demo::kDestinationPc);
    }
    void TearDown() override
    {
        platform::RunningMachine::close();
        if (m_oldEnv)
            ::setenv("WINENV_MACHINE", m_oldEnv->c_str(), 1);
        else
            ::unsetenv("WINENV_MACHINE");
        std::error_code ec;
        fs::remove_all(m_network, ec);
    }

    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};

private:
    fs::path m_network;
    std::optional<std::string> m_oldEnv;
};

TEST_F(DemoNetworkEnvironmentTest, NewPcIsASupportedWindowsXpDestination)
{
    wizard::ScriptVariables variables(wizard::machineFiles(), nullptr);
    wizard::PcEnvironment environment(variables, wizard::defaultEnvironmentAccess());
    EXPECT_TRUE(environment.Destination_Value_Initialize());
    for (const auto& shown : messages.shown())
        EXPECT_NE(shown.text, wizard::kUnsupportedOsMessage);
    EXPECT_EQ(variables.lookup("$st_destination_os").value_or(""), "winxp");
    EXPECT_EQ(wizard::DestinationOs, "winxp");
    EXPECT_FALSE(variables.lookup("$st_destination_win_dir").value_or("").empty());
    EXPECT_EQ(wizard::LocalPcName, "NEWPC");
}

} // namespace
