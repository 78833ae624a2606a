// DemoSourceValuesTest.cpp: the source values after the hand-over on the demo network: NEWPC
// connects F: to a source's C: drive, the source's batch file exports its hives, the exports are
// mirrored under SOFTWARE\QZ of NEWPC, and the rules' Source_Value_Initialize, called by name,
// names the source's folders as NEWPC reaches them.
#include "platform/CodePage.h"
#include "platform/Network.h"
#include "platform/ProcessRunner.h"
#include "platform/RegFile.h"
#include "platform/RunningMachine.h"
#include "platform/ShellLink.h"
#include "tests/wizard/integration/DemoHandOver.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/rules/clsRules.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"
#include "wizard/zip/OfficeLinks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::FsError;
using platform::WinError;

class DemoSourceValuesTest : public testsupport::DemoHandOverTest {
protected:
    // Source_Value_Initialize as the main script's execute step calls it.
    void initializeSourceValues()
    {
        wizard::RulesEnvironment env;
        env.writeLog = [this](const std::string& process, const std::string& status) {
            log.push_back(process + "|" + status);
        };
        wizard::clsRules rules(std::move(env));
        wizard::RulesTable table;
        rules.registerOperations(table);
        EXPECT_EQ(table.call("Source_Value_Initialize"), std::optional<bool>(true));
        EXPECT_EQ(log, std::vector<std::string>{"Source_Value_Initialize|Start"});
    }

    std::string var(const char* name) { return wizard::core().variables.lookup(name).value_or("<unset>"); }
    void expectFolder(const char* name)
    {
        const std::string path = var(name);
        EXPECT_TRUE(files().folderExists(path)) << name << " = " << path;
    }
    std::string shortcut(const char* name) const
    {
        return std::string(demo::kWizardFolder) + wizard::kOfficeLinksFolder + "\\" + name;
    }

    std::vector<std::string> log;
};

TEST_F(DemoSourceValuesTest, Windows98SourceOldPc)
{
    // A wrong choice on the preparatory-task page: the mirror decides.
    wizard::SourceOs = "win95";
    wizard::core().variables.Set_System_Variable_Value("$bln_office_2003_flg", "kept");
    handOver(demo::kSourcePc98, "\\\\OLDPC\\C$", nullptr, nullptr, "regedit.exe /s /E ");
    initializeSourceValues();

    EXPECT_EQ(wizard::SourceOs, "win98");
    EXPECT_EQ(var("$st_source_os"), "win98");
    EXPECT_EQ(var("$st_source_win_path"), "C:\\\\WINDOWS\\\\");
    EXPECT_EQ(var("$st_source_sys_path"), "C:\\\\WINDOWS\\\\System\\\\");
    EXPECT_EQ(var("$st_source_win_dir"), "F:\\WINDOWS");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\system");
    EXPECT_EQ(var("$st_source_program_file"), "F:\\Program Files");
    EXPECT_EQ(var("$st_source_common_dir"), "F:\\Program Files\\Common Files");
    EXPECT_EQ(var("$st_source_program_group"), "F:\\WINDOWS\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_source_curr_user_settings"), "F:\\WINDOWS");
    EXPECT_EQ(var("$st_source_curr_user_set_double_slash"), "C:\\\\WINDOWS");
    EXPECT_EQ(var("$st_source_curr_user_app_data"), "C:\\\\WINDOWS\\\\Application Data");
    EXPECT_EQ(var("$st_source_alluser_settings"), "");
    EXPECT_EQ(var("$bln_office_2003_flg"), "kept");
    EXPECT_EQ(var("$bln_office_premium_flg"), "false");
    EXPECT_EQ(var("$blnSyncDone"), "False");
    // The folders are there on the source, reached from NEWPC.
    for (const char* name : {"$st_source_win_dir", "$st_source_system_dir", "$st_source_program_file",
             "$st_source_common_dir", "$st_source_program_group", "$st_source_curr_user_settings"})
        expectFolder(name);

    // The standard shortcut set is unpacked, and it points at OLDPC's Office programs.
    for (const char* name : wizard::kOfficeShortcutNames)
        EXPECT_TRUE(files().fileExists(shortcut(name))) << name;
    std::string bytes;
    ASSERT_EQ(files().readFile(shortcut("Microsoft Word.lnk"), bytes), FsError::None);
    platform::ShellLinkData link;
    ASSERT_TRUE(platform::decodeShellLink(bytes, link));
    EXPECT_TRUE(files().fileExists("F:" + link.targetPath.substr(2))) << link.targetPath;
}

TEST_F(DemoSourceValuesTest, WindowsXpSourceOldXp)
{
    wizard::SourceOs = "win2k";
    handOver(
        demo::kSourcePcXp, "\\\\OLDXP\\C", demo::kXpAdminUser, demo::kXpAdminPassword, "regedit.exe /a ");
    initializeSourceValues();

    EXPECT_EQ(wizard::SourceOs, "winxp");
    EXPECT_EQ(var("$st_source_os"), "winxp");
    EXPECT_EQ(var("$st_source_win_path"), "C:\\\\WINDOWS\\\\");
    EXPECT_EQ(var("$st_source_sys_path"), "C:\\\\WINDOWS\\\\System32\\\\");
    EXPECT_EQ(var("$st_source_win_dir"), "F:\\WINDOWS");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\System32");
    EXPECT_EQ(var("$st_source_program_file"), "F:\\Program Files");
    EXPECT_EQ(var("$st_source_program_group"), "F:\\Documents and Settings\\Sarah\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_source_alluser"), "F:\\Documents and Settings\\All Users\\Start Menu\\Programs");
    EXPECT_EQ(var("$st_source_curr_user_settings"), "F:\\Documents and Settings\\Sarah");
    EXPECT_EQ(var("$st_source_curr_user_set_double_slash"), "C:\\\\Documents and Settings\\\\Sarah");
    EXPECT_EQ(
        var("$st_source_curr_user_app_data"), "C:\\\\Documents and Settings\\\\Sarah\\\\Application Data");
    EXPECT_EQ(var("$st_source_alluser_settings"), "F:\\Documents and Settings\\All Users");
    // OLDXP holds the premium Office 2003.
    EXPECT_EQ(var("$bln_office_2003_flg"), "true");
    EXPECT_EQ(var("$bln_office_premium_flg"), "true");
    EXPECT_TRUE(wizard::OfficePremiumFlag);
    for (const char* name : {"$st_source_win_dir", "$st_source_system_dir", "$st_source_program_file",
             "$st_source_program_group", "$st_source_curr_user_settings", "$st_source_alluser_settings"})
        expectFolder(name);

    // No shortcut set for a 2000/XP source.
    for (const char* name : wizard::kOfficeShortcutNames)
        EXPECT_FALSE(files().fileExists(shortcut(name))) << name;
}

} // namespace
