// clsRulesTest.cpp: the rules class's member list, registration by name and page operations.
#include "wizard/rules/clsRules.h"

#include "wizard/core/ProgramEnd.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using wizard::clsRules;

class clsRulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wizard::resetWizardState();
        wizard::resetProgramEnd();
        wizard::wizardWindows().setStatusText("");
    }
    void TearDown() override
    {
        wizard::resetWizardState();
        wizard::resetProgramEnd();
    }

    wizard::RulesEnvironment env()
    {
        wizard::RulesEnvironment e;
        e.showPanel = [this](const std::string& form) {
            shown.push_back(form);
            return showResult;
        };
        e.setVariable = [this](const std::string& n, const std::string& v) { variables[n] = v; };
        e.writeLog = [this](const std::string& p, const std::string& s) { log.push_back(p + "|" + s); };
        e.optionChosen = [this](const std::string& form, const std::string& control) {
            return form == "Frm_PreparatoryTask" && chosen.count(control) != 0;
        };
        e.pageAvailable = [this](const std::string& form) { return pages.count(form) != 0; };
        return e;
    }

    std::vector<std::string> shown;
    bool showResult = true;
    std::map<std::string, std::string> variables;
    std::vector<std::string> log;
    std::set<std::string> chosen;
    std::set<std::string> pages;
};

TEST_F(clsRulesTest, ListsAllMembersInDeclarationOrder)
{
    const auto& names = clsRules::memberNames();
    ASSERT_EQ(names.size(), 68u);
    EXPECT_STREQ(names[0], "Display_License_Agreement");
    EXPECT_STREQ(names[4], "Display_Connection_Info");
    EXPECT_STREQ(names[12], "Display_Msg_To_User");
    EXPECT_STREQ(names[13], "Display_application_Setting");
    EXPECT_STREQ(names[25], "Display_Mass_Screen");
    EXPECT_STREQ(names[28], "Drive_Check");
    EXPECT_STREQ(names[32], "FN_Check_Space");
    EXPECT_STREQ(names[61], "IterateKeys");
    EXPECT_STREQ(names[67], "OverwriteClassesRoot");
    std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), 68u);
    int withArguments = 0;
    for (const char* n : names)
        withArguments += clsRules::takesArguments(n) ? 1 : 0;
    EXPECT_EQ(withArguments, 2);
    // The 68 and no more: whatever is registered is one of them.
    wizard::RulesEnvironment everyPage;
    everyPage.pageAvailable = [](const std::string&) { return true; };
    clsRules rules(everyPage);
    const std::vector<std::string> registered = rules.registeredNames();
    EXPECT_EQ(registered.size(), 66u) << "all but the two that take arguments";
    for (const std::string& name : registered)
        EXPECT_EQ(unique.count(name), 1u) << name;
}

TEST_F(clsRulesTest, RegistersOnlyTheOperationsWhosePagesExist)
{
    clsRules rules(env());
    wizard::RulesTable table;
    EXPECT_EQ(rules.registerOperations(table), 57u);
    EXPECT_TRUE(table.contains("display_license_agreement"));
    EXPECT_TRUE(table.contains("Collect_Selected_Info")) << "operations without a page are always there";
    EXPECT_TRUE(table.contains("source_value_initialize"));
    EXPECT_TRUE(table.contains("Validate_Source_PC"));
    EXPECT_FALSE(table.contains("Display_Prep_Tasks_Panels"));
    // A member that takes arguments is never called by name: the engine takes a call of it as False.
    EXPECT_FALSE(table.call("Drive_Check").has_value());
    EXPECT_TRUE(table.contains("FN_Check_Space")) << "the mass operations need no page";

    pages = {"Frm_Preparatory", "Frm_MigrationType"};
    clsRules more(env());
    wizard::RulesTable second;
    EXPECT_EQ(more.registerOperations(second), 59u);
    const std::vector<std::string> names = more.registeredNames();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 5),
        (std::vector<std::string>{"Display_License_Agreement", "Display_Prep_Tasks_Panels",
            "Display_Migration_Type", "Get_Source_PC_Information", "Validate_Source_PC"}));
    EXPECT_EQ(names.back(), "OverwriteClassesRoot") << "the last of the 68";
    EXPECT_EQ(second.call("DISPLAY_MIGRATION_TYPE"), std::optional<bool>(true));
    EXPECT_EQ(shown, (std::vector<std::string>{"Frm_MigrationType"}));
}

TEST_F(clsRulesTest, TheLicenseAgreementShowsTheMainWindowWithoutLogging)
{
    clsRules rules(env());
    EXPECT_TRUE(rules.Display_License_Agreement());
    EXPECT_EQ(shown, (std::vector<std::string>{"KestroMain"}));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(wizard::wizardWindows().statusText(), "To perform migration, accept the agreement");
    showResult = false;
    EXPECT_FALSE(rules.Display_License_Agreement());
}

TEST_F(clsRulesTest, EachPageOperationWritesItsStatusLogsAndShowsItsPage)
{
    struct Row {
        bool (clsRules::*fn)();
        const char* name;
        const char* form;
        const char* status; // nullptr: the status line is left alone
    };
    const Row rows[] = {
        {&clsRules::Display_Prep_Tasks_Panels, "Display_Prep_Tasks_Panels", "Frm_Preparatory",
            "Follow the preparatory task for better performance"},
        {&clsRules::Display_Req_Prep_Tasks_Panels, "Display_Req_Prep_Tasks_Panels", "Frm_PreparatoryTask",
            "Check the checkboxes and select your Source PC's Operating System"},
        {&clsRules::Display_Migration_Type, "Display_Migration_Type", "Frm_MigrationType",
            "Select migration type and specify what you would like to migrate"},
        {&clsRules::Display_Connection_Info, "Display_Connection_Info", "Frm_ConnectionType",
            "Select the connection type and specify the Source PC 's details"},
        {&clsRules::Display_application_Setting, "Display_application_Setting", "Frm_ApplicationSettings",
            "Display application Setting!"},
        {&clsRules::Display_Drive_Info_Panel, "Display_Drive_Info_Panel", "frm_Drive_Info",
            "Specify the drive to Migrate the Application and Data!"},
        {&clsRules::Display_Source_Space_Info, "Display_Source_Space_Info", "frm_source_Space_Info",
            "Click the Migration Button to Migrate, or Else click the previous button to change the "
            "selection!"},
        {&clsRules::Display_Migration_Report, "Display_Migration_Report", "frm_Migration_Status", nullptr},
        {&clsRules::Display_Mass_Screen, "Display_Mass_Screen", "Frm_Mass", "Prepare for Mass Migration"},
    };
    clsRules rules(env());
    for (const Row& row : rows) {
        shown.clear();
        log.clear();
        wizard::wizardWindows().setStatusText("previous");
        EXPECT_TRUE((rules.*row.fn)()) << row.name;
        EXPECT_EQ(shown, (std::vector<std::string>{row.form})) << row.name;
        EXPECT_EQ(log,
            (std::vector<std::string>{std::string(row.name) + "|Start", std::string(row.name) + "|End"}));
        EXPECT_EQ(wizard::wizardWindows().statusText(), row.status ? row.status : "previous") << row.name;
        EXPECT_EQ(clsRules::pageOf(row.name), row.form);
    }
}

TEST_F(clsRulesTest, AFailedShowLogsTheFailureAndAnswersFalse)
{
    clsRules rules(env());
    showResult = false;
    EXPECT_FALSE(rules.Display_Drive_Info_Panel());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].rfind("Display_Drive_Info_Panel|Error : ", 0), 0u) << log[1];
    log.clear();
    EXPECT_FALSE(rules.Display_application_Setting());
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Display application Setting failed!");
    EXPECT_NE(log.back().find("|0:"), std::string::npos);
}

TEST_F(clsRulesTest, PreparatoryTasksMarkTheWizardStartedEvenWhenThePageFails)
{
    clsRules rules(env());
    showResult = false;
    EXPECT_FALSE(rules.Display_Prep_Tasks_Panels());
    EXPECT_TRUE(wizard::WizardStarted);
}

TEST_F(clsRulesTest, ConnectionInfoTakesTheSourceOsFromTheFirstOptionSet)
{
    clsRules rules(env());
    // No option: SourceOs keeps its value (empty on the first pass) and is still published.
    rules.Display_Connection_Info();
    EXPECT_EQ(wizard::SourceOs, "");
    ASSERT_EQ(variables.count("$st_source_os"), 1u);
    EXPECT_EQ(variables["$st_source_os"], "");

    chosen = {"Opt98"};
    rules.Display_Connection_Info();
    EXPECT_EQ(wizard::SourceOs, "win98");
    EXPECT_EQ(variables["$st_source_os"], "win98");

    // The options are tested in the order 2K, 95, 98, ME, XP.
    chosen = {"OptXP", "Opt2K"};
    rules.Display_Connection_Info();
    EXPECT_EQ(wizard::SourceOs, "win2k");

    chosen.clear();
    rules.Display_Connection_Info();
    EXPECT_EQ(wizard::SourceOs, "win2k");
    EXPECT_EQ(variables["$st_source_os"], "win2k");
}

TEST_F(clsRulesTest, AnOperationThatEndedTheProgramAnswersFalseToTheEngine)
{
    auto e = env();
    e.showPanel = [](const std::string&) {
        // A page whose showing ends the program (as an exit from inside a nested run would).
        wizard::requestProgramEnd();
        return true;
    };
    clsRules rules(std::move(e));
    wizard::RulesTable table;
    rules.registerOperations(table);
    EXPECT_EQ(table.call("Display_License_Agreement"), std::optional<bool>(false));
}

} // namespace
