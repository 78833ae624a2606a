// RegistryReadersTest.cpp: value, sub-key and value-list readers on missing keys and values,
// text and non-text types, and the full-path reader.
#include "wizard/transfer/RegistryReaders.h"

#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "wizard/transfer/TransferGlobals.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

using namespace wizard;
using namespace wizard::Registry_Related_Functions;

namespace {
constexpr platform::RegRoot kHklm = platform::RegRoot::LocalMachine;
const std::string kVideo = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO";

// A machine with a registry only, running while the object lives, and a recorded log.
class RegistryMachine {
public:
    RegistryMachine()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "readers-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_folder = pattern;
        platform::Machine machine;
        machine.create(m_folder, platform::OsCode::WinXp);
        if (const char* old = std::getenv(platform::Machine::kEnvironmentVariable))
            m_oldEnv = old;
        ::setenv(platform::Machine::kEnvironmentVariable, m_folder.c_str(), 1);
        platform::RunningMachine::use(m_folder);
        m_previousHooks = setTransferHooks(
            {[this](const std::string& p, const std::string& s) { log.emplace_back(p, s); }, {}});
    }
    ~RegistryMachine()
    {
        setTransferHooks(std::move(m_previousHooks));
        platform::RunningMachine::close();
        if (m_oldEnv)
            ::setenv(platform::Machine::kEnvironmentVariable, m_oldEnv->c_str(), 1);
        else
            ::unsetenv(platform::Machine::kEnvironmentVariable);
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    platform::Registry& registry() const { return *transfer::machineRegistry(); }
    bool logged(const std::string& process, const std::string& status) const
    {
        for (const auto& [p, s] : log)
            if (p == process && s == status)
                return true;
        return false;
    }
    std::vector<std::pair<std::string, std::string>> log;

private:
    std::filesystem::path m_folder;
    std::optional<std::string> m_oldEnv;
    TransferHooks m_previousHooks;
};
} // namespace

class RegistryReadersTest : public ::testing::Test {
protected:
    RegistryReadersTest()
    {
        platform::Registry& r = world.registry();
        r.createKey(platform::RegKey(platform::RegRoot::LocalMachine), kVideo, video);
        r.setString(video, "", "unnamed");
        r.setString(video, "Resolution", "1024,768");
        r.setString(video, "Empty", "");
        r.setDword(video, "Count", 1024);
        r.setString(video, "SystemPath", "%SystemRoot%\\System32", platform::RegType::ExpandSz);
        r.setValue(video, "List", platform::RegType::MultiSz, platform::regMultiStringData({"a", "b"}));
    }
    RegistryMachine world;
    platform::RegKey video;
};

TEST_F(RegistryReadersTest, MissingKeyGivesTheDefaultAndNoCollections)
{
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, "SOFTWARE\\QZ\\Nowhere", "X", "fallback"), "fallback");
    EXPECT_FALSE(FN_Reg_Enum_Keys(kHklm, "SOFTWARE\\QZ\\Nowhere").has_value());
    EXPECT_FALSE(FN_Reg_Enum_Values(kHklm, "SOFTWARE\\QZ\\Nowhere").has_value());
}

TEST_F(RegistryReadersTest, MissingValueInAnExistingKeyIsEmptyNotTheDefault)
{
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "NoSuchValue", "fallback"), "");
}

TEST_F(RegistryReadersTest, TextValuesReadAsTheirText)
{
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "Resolution", ""), "1024,768");
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "Empty", "fallback"), "");
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "", ""), "unnamed");
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "SystemPath", ""), "%SystemRoot%\\System32")
        << "an expand-string value is text, not \"0\"";
}

TEST_F(RegistryReadersTest, OtherTypesReadAsZero)
{
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "Count", ""), "0");
    EXPECT_EQ(FN_Reg_Get_Value(kHklm, kVideo, "List", ""), "0");
}

TEST_F(RegistryReadersTest, ValueListLeavesOutTheUnnamedValue)
{
    const auto values = FN_Reg_Enum_Values(kHklm, kVideo);
    ASSERT_TRUE(values.has_value());
    const std::vector<std::string> expected{
        "Resolution=1024,768", "Empty=", "Count=0", "SystemPath=%SystemRoot%\\System32", "List=0"};
    EXPECT_EQ(*values, expected);
}

TEST_F(RegistryReadersTest, SubKeysInEnumerationOrder)
{
    platform::Registry& r = world.registry();
    platform::RegKey k;
    for (const char* name : {"C", "a", "B"})
        r.createKey(video, name, k);
    const auto keys = FN_Reg_Enum_Keys(kHklm, kVideo);
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(*keys, (std::vector<std::string>{"a", "B", "C"}));

    const auto none = FN_Reg_Enum_Keys(kHklm, kVideo + "\\a");
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
}

TEST_F(RegistryReadersTest, AVeryLongSubKeyNameEndsTheListing)
{
    platform::Registry& r = world.registry();
    platform::RegKey k;
    r.createKey(video, "A", k);
    r.createKey(video, "B" + std::string(254, 'x'), k); // 255 characters
    r.createKey(video, "C", k);
    const auto keys = FN_Reg_Enum_Keys(kHklm, kVideo);
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(*keys, (std::vector<std::string>{"A"}));
}

TEST_F(RegistryReadersTest, FullPathReaderNeedsTheExactRootName)
{
    const std::string full = "HKEY_LOCAL_MACHINE\\" + kVideo;
    EXPECT_EQ(Application_Functions::Get_Remote_App_Path(full, "Resolution"), "1024,768");
    EXPECT_EQ(Application_Functions::Get_Remote_App_Path("hkey_local_machine\\" + kVideo, "Resolution"), "");
    EXPECT_EQ(Application_Functions::Get_Remote_App_Path("HKLM\\" + kVideo, "Resolution"), "");
    EXPECT_TRUE(world.logged("Get_Remote_App_Path", "End"));
}

TEST_F(RegistryReadersTest, BlankFullPathShowsTheAccessMessage)
{
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope(messages);
    messages.answer(platform::MsgResult::Ok);
    EXPECT_EQ(Application_Functions::Get_Remote_App_Path("   ", "X"), "");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Error In Accessing Remote Regfile");
    EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::Critical);
    EXPECT_FALSE(world.logged("Get_Remote_App_Path", "Start"));
}
