// ScriptVariablesTest.cpp: the variable store, its append-only file, "$" path resolution and
// the evaluation of step conditions.
#include "wizard/core/ScriptVariables.h"

#include <gtest/gtest.h>

#include "tests/wizard/core/CoreTestSupport.h"
#include "wizard/core/LogFile.h"

namespace wizard {
namespace {

class ScriptVariablesTest : public ::testing::Test {
protected:
    test::TempMachine machine;
    LogFile log{machineFiles()};
    ScriptVariables vars{machineFiles(), &log};
};

TEST_F(ScriptVariablesTest, SettingTwiceKeepsTheSecondValueAndAppendsTwoLines)
{
    EXPECT_TRUE(vars.Set_System_Variable_Value("$bln_first_run", "true"));
    EXPECT_TRUE(vars.Set_System_Variable_Value("$BLN_First_Run", "false"));
    EXPECT_EQ(vars.lookup("$bln_first_run"), "false");
    EXPECT_EQ(machine.readHost(machine.appFile("System_variables.txt")),
        "$bln_first_run = true\r\n$BLN_First_Run = false\r\n");
    EXPECT_FALSE(vars.lookup("$bln_other").has_value());
}

TEST_F(ScriptVariablesTest, FileIsWrittenInTheAnsiCodePage)
{
    vars.Set_System_Variable_Value("$st_name", "M\xC3\xBCller");
    EXPECT_EQ(machine.readHost(machine.appFile("System_variables.txt")), "$st_name = M\xFCller\r\n");
}

TEST_F(ScriptVariablesTest, ResolvesNamesInsidePaths)
{
    vars.Set_System_Variable_Value("$st_source_win_dir", "Z:\\WINDOWS");
    EXPECT_EQ(vars.Get_System_Variable_Value("$st_source_win_dir\\Fonts"), "Z:\\WINDOWS\\Fonts");
    EXPECT_EQ(vars.Get_System_Variable_Value("$ST_SOURCE_WIN_DIR"), "Z:\\WINDOWS");
    // An unknown first component goes with its separator.
    EXPECT_EQ(vars.Get_System_Variable_Value("$st_nothing\\Fonts\\x"), "Fonts\\x");
    EXPECT_EQ(vars.Get_System_Variable_Value("$st_nothing"), "");
    // Leading separators vanish, later empty components and a trailing "\" stay.
    EXPECT_EQ(vars.Get_System_Variable_Value("\\\\PC\\C$"), "PC\\C$");
    EXPECT_EQ(vars.Get_System_Variable_Value("C:\\a\\\\b\\"), "C:\\a\\\\b\\");
    // "$" inside a component is text; plain texts pass unchanged.
    EXPECT_EQ(vars.Get_System_Variable_Value("C:\\x$st_source_win_dir"), "C:\\x$st_source_win_dir");
    EXPECT_EQ(vars.Get_System_Variable_Value("Plain Text"), "Plain Text");
    EXPECT_EQ(vars.Get_System_Variable_Value(""), "");
}

TEST_F(ScriptVariablesTest, ResolveFlagsUnsetAndEmptyVariables)
{
    vars.Set_System_Variable_Value("$st_set", "C:\\A");
    vars.Set_System_Variable_Value("$st_empty", "");
    bool unresolved = true;
    EXPECT_EQ(vars.resolve("$st_set\\b", unresolved), "C:\\A\\b");
    EXPECT_FALSE(unresolved);
    vars.resolve("$st_unset\\b", unresolved);
    EXPECT_TRUE(unresolved);
    vars.resolve("$st_empty\\b", unresolved);
    EXPECT_TRUE(unresolved);
    vars.resolve("$st_unset", unresolved);
    EXPECT_TRUE(unresolved);
    vars.resolve("C:\\plain", unresolved);
    EXPECT_FALSE(unresolved);
}

TEST_F(ScriptVariablesTest, EachResolutionWritesStartAndEndRecords)
{
    vars.Get_System_Variable_Value("$x");
    const std::string logText = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    ASSERT_EQ(logText.size(), 3u * 200u);
    EXPECT_EQ(logText.substr(200, 8 + 40 + 5),
        "#2#     " + std::string("Get_System_Variable_Value") + std::string(15, ' ') + "Start");
    EXPECT_EQ(logText.substr(400 + 48, 3), "End");
}

TEST_F(ScriptVariablesTest, ConditionsCompareWithoutCase)
{
    vars.Set_System_Variable_Value("$blnSyncDone", "True");
    EXPECT_TRUE(vars.Check_Condition("$blnsyncdone", "true"));
    EXPECT_FALSE(vars.Check_Condition("$blnsyncdone", "false"));
    EXPECT_TRUE(vars.Check_Condition("$unknown", ""));
    EXPECT_FALSE(vars.Check_Condition("$unknown", "x"));

    EXPECT_EQ(vars.evaluateCondition(""), ConditionOutcome::Always);
    EXPECT_EQ(vars.evaluateCondition("   "), ConditionOutcome::Always);
    EXPECT_EQ(vars.evaluateCondition(" $BLNSYNCDONE = TRUE "), ConditionOutcome::Holds);
    EXPECT_EQ(vars.evaluateCondition("$blnsyncdone=false"), ConditionOutcome::Fails);
    EXPECT_EQ(vars.evaluateCondition("$blnsyncdone"), ConditionOutcome::Malformed);
    EXPECT_EQ(vars.evaluateCondition("$blnsyncdone= "), ConditionOutcome::Malformed);
    EXPECT_EQ(vars.evaluateCondition("=true"), ConditionOutcome::Malformed);
    EXPECT_EQ(vars.evaluateCondition("$unknown=x"), ConditionOutcome::Fails);
}

TEST_F(ScriptVariablesTest, ValueMayHoldAnEqualsSign)
{
    vars.Set_System_Variable_Value("$st_expr", "a=b");
    EXPECT_EQ(vars.evaluateCondition("$st_expr=A=B"), ConditionOutcome::Holds);
}

} // namespace
} // namespace wizard
