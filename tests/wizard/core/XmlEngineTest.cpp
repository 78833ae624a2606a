// XmlEngineTest.cpp: engine runs of small scripts against a test rules table, a test page host
// and recorded transfer primitives: conditions, nested steps, links, item scripts, history.
#include "wizard/core/XmlEngine.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "wizard/core/ActionPrimitives.h"
#include "wizard/core/LogFile.h"
#include "wizard/core/PanelHost.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/WizardWindows.h"

namespace wizard {
namespace {

// Pages stay loaded once shown; the main window never counts as loaded.
class TestPanels : public PanelHost {
public:
    bool showPanel(const std::string& name) override
    {
        shown.push_back(name);
        if (name == "KestroMain")
            return false;
        return !loaded.insert(name).second;
    }
    std::vector<std::string> shown;
    std::set<std::string> loaded;
};

// Records every primitive call as "Name(arg,arg,...)" and answers from `answers` (default true).
class RecordedPrimitives : public ActionPrimitives {
public:
    std::vector<std::string> calls;
    std::map<std::string, bool> answers; // by primitive name
    std::function<void()> during;        // runs inside every call (a click while it yields)

    bool record(const std::string& name, std::initializer_list<std::string> args)
    {
        std::string call = name + "(";
        bool first = true;
        for (const std::string& a : args) {
            call += (first ? "" : ",") + a;
            first = false;
        }
        calls.push_back(call + ")");
        if (during)
            during();
        auto it = answers.find(name);
        return it == answers.end() || it->second;
    }
    bool Action_Copy(const std::string& n, const std::string& f, const std::string& t, const std::string& k,
        const std::string& fl) override
    {
        return record("Copy", {n, f, t, k, fl});
    }
    bool ModOtherApplications_Action_Copy_File(
        const std::string& s, const std::string& t, const std::string& f) override
    {
        return record("OtherCopyFile", {s, t, f});
    }
    bool ModOtherApplications_Action_Copy_Folder(
        const std::string& s, const std::string& t, const std::string& f) override
    {
        return record("OtherCopyFolder", {s, t, f});
    }
    bool Action_Move(const std::string& n, const std::string& f, const std::string& t, const std::string& k,
        const std::string& fl) override
    {
        return record("Move", {n, f, t, k, fl});
    }
    bool Action_Delete(const std::string& p, const std::string& k) override
    {
        return record("Delete", {p, k});
    }
    bool Action_Update_Registry(const std::string& f) override { return record("UpdateRegistry", {f}); }
    bool Action_Rename(const std::string& o, const std::string& n) override
    {
        return record("Rename", {o, n});
    }
    bool Action_Replace(const std::string& f, const std::string& s, const std::string& r) override
    {
        return record("Replace", {f, s, r});
    }
    bool Action_Get(const std::string& k, const std::string& n, const std::string& f) override
    {
        return record("Get", {k, n, f});
    }
    bool Action_Import(const std::string& k, const std::string& i) override
    {
        return record("Import", {k, i});
    }
    bool Action_Export(const std::string& k, const std::string& f) override
    {
        return record("Export", {k, f});
    }
    bool Action_Get_File(const std::string& k, const std::string& n, const std::string& t) override
    {
        return record("GetFile", {k, n, t});
    }
    bool Action_File_Type_Copy(const std::string& f, const std::string& e) override
    {
        return record("FileTypeCopy", {f, e});
    }
    bool Action_Msgbox(const std::string& t, const std::string& k) override
    {
        return record("Msgbox", {t, k});
    }
};

std::string execStep(const std::string& op, const std::string& cond = "")
{
    std::string c = cond.empty() ? "" : " condition=\"" + cond + "\"";
    return "<performaction" + c + "><action>execute</action><name>" + op + "</name></performaction>";
}

std::string script(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\n<script>\n" + body + "\n</script>";
}

class XmlEngineTest : public ::testing::Test {
protected:
    XmlEngineTest()
    {
        engine.setRulesProvider([this] { return &rules; });
        engine.setPanelHost(&panels);
        engine.setPrimitives(&primitives);
        engine.CurrentScript = "Kestro.xml";
        // A rule per page that shows it, and a log of every operation called.
        for (const char* page : {"KestroMain", "Frm_A", "Frm_B", "Frm_C"}) {
            std::string p = page;
            rules.add("Show_" + p, [this, p] {
                called.push_back("Show_" + p);
                return engine.Show_Panel(p);
            });
        }
    }

    void addRule(const std::string& name, bool answer)
    {
        answers[name] = answer;
        rules.add(name, [this, name] {
            called.push_back(name);
            return answers[name];
        });
    }

    test::TempMachine machine;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scopedMessages{messages};
    CoreFiles& files = machineFiles();
    LogFile log{files};
    ScriptVariables variables{files, &log};
    ScriptDecryptor decryptor{files};
    XmlEngine engine{files, variables, decryptor, log};
    RulesTable rules;
    TestPanels panels;
    RecordedPrimitives primitives;
    std::vector<std::string> called;
    std::map<std::string, bool> answers;

    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages.shown())
            out.push_back(m.text);
        return out;
    }
};

TEST_F(XmlEngineTest, StartUpShowsTheFirstPageAndWaits)
{
    machine.writeScript("Kestro.xml", script(execStep("Show_KestroMain") + "\n" + execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(panels.shown, std::vector<std::string>{"KestroMain"});
    EXPECT_TRUE(engine.StopFlag);
    EXPECT_FALSE(engine.PanelShown);
    EXPECT_EQ(engine.ActionIndex, 0);
    EXPECT_EQ(engine.HistoryStep, 1);
    EXPECT_EQ(engine.HistoryIndexes, std::vector<std::string>{"0"});
    EXPECT_EQ(engine.HistoryScripts, std::vector<std::string>{"Kestro.xml"});
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
}

TEST_F(XmlEngineTest, AResetEngineStartsAgainFromTheFirstStepWithItsWiring)
{
    machine.writeScript("Kestro.xml", script(execStep("Show_KestroMain") + "\n" + execStep("Show_Frm_A")));
    engine.Step_Script("");
    engine.Step_Script("next");
    ASSERT_EQ(engine.HistoryStep, 2);

    engine.reset();
    EXPECT_TRUE(engine.CurrentScript.empty());
    EXPECT_TRUE(engine.ScriptStack.empty());
    EXPECT_EQ(engine.ActionIndex, 0);
    EXPECT_EQ(engine.HistoryStep, 0);
    EXPECT_TRUE(engine.HistoryIndexes.empty());
    EXPECT_TRUE(engine.HistoryScripts.empty());
    EXPECT_FALSE(engine.StopFlag);
    EXPECT_FALSE(engine.PanelShown);
    EXPECT_TRUE(engine.ScriptFileName.empty());

    // Rules, panel host and primitives stay: a new run shows the first page as on start-up.
    engine.CurrentScript = "Kestro.xml";
    engine.Step_Script("");
    EXPECT_EQ(panels.shown, (std::vector<std::string>{"KestroMain", "Frm_A", "KestroMain"}));
    EXPECT_EQ(engine.HistoryStep, 1);
    EXPECT_EQ(engine.HistoryIndexes, std::vector<std::string>{"0"});
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
}

TEST_F(XmlEngineTest, NextBackAndFalseRollBackFollowTheHistory)
{
    addRule("Check_X", false);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Show_Frm_A") + "\n" + execStep("Check_X") +
            "\n" + execStep("Show_Frm_B")));
    engine.Step_Script("");
    engine.Step_Script("next"); // page A: entry 2 at index 1
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_EQ(engine.ActionIndex, 1);

    engine.Step_Script("next"); // Check_X fails: page A stays on screen and stays the current one
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_EQ(engine.ActionIndex, 1);
    EXPECT_TRUE(engine.StopFlag);

    engine.Step_Script("next"); // the check runs again at once, and refuses again
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_EQ(engine.HistoryIndexes.size(), 2u);

    answers["Check_X"] = true;
    engine.Step_Script("next"); // passes the check, page B: entry 3 at index 3
    EXPECT_EQ(panels.shown.back(), "Frm_B");
    EXPECT_EQ(engine.HistoryStep, 3);
    EXPECT_EQ(engine.HistoryIndexes, (std::vector<std::string>{"0", "1", "3"}));

    engine.Step_Script("back"); // re-runs entry 2's page step
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_EQ(engine.ActionIndex, 1);
    EXPECT_EQ(std::count(called.begin(), called.end(), "Check_X"), 3);
    engine.Step_Script("back"); // one page back, the agreement
    EXPECT_EQ(panels.shown.back(), "KestroMain");
}

TEST_F(XmlEngineTest, FalseOnTheFirstPageKeepsThePageAndAsksTheCheckAgain)
{
    addRule("Check_X", false);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Check_X") + "\n" + execStep("Show_Frm_A")));
    engine.Step_Script("");
    engine.Step_Script("next");
    EXPECT_EQ(engine.ActionIndex, 0);
    EXPECT_EQ(engine.HistoryStep, 1);
    answers["Check_X"] = true;
    engine.Step_Script("next"); // the check is asked again, never passed over
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(std::count(called.begin(), called.end(), "Check_X"), 2);
}

TEST_F(XmlEngineTest, UnknownOperationTakesTheFalsePath)
{
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Show_Frm_A") + "\n" +
            execStep("No_Such_Operation") + "\n" + execStep("Show_Frm_B")));
    engine.Step_Script("");
    engine.Step_Script("next");
    engine.Step_Script("next");
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_TRUE(engine.StopFlag);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(XmlEngineTest, OperationNamesMatchWithoutCase)
{
    addRule("Check_X", true);
    machine.writeScript("Kestro.xml", script(execStep("CHECK_x") + "\n" + execStep("show_frm_a")));
    engine.Step_Script("");
    EXPECT_EQ(called, (std::vector<std::string>{"Check_X", "Show_Frm_A"}));
}

TEST_F(XmlEngineTest, NewRulesProviderReplacesTheTableInUse)
{
    addRule("Check_X", true);
    machine.writeScript("Kestro.xml", script(execStep("Check_X") + "\n" + execStep("Show_Frm_A")));
    engine.Step_Script("");
    RulesTable other;
    int otherCalls = 0;
    other.add("Check_X", [&] {
        ++otherCalls;
        return false;
    });
    engine.setRulesProvider([&] { return &other; });
    engine.ActionIndex = 0;
    engine.Step_Script("");
    EXPECT_EQ(otherCalls, 1);
    EXPECT_EQ(std::count(called.begin(), called.end(), "Check_X"), 1);
}

TEST_F(XmlEngineTest, ConditionsWithAndWithoutEqualsSign)
{
    addRule("Win98", true);
    addRule("WinXp", true);
    addRule("NoEquals", true);
    addRule("EmptySide", true);
    addRule("Unknown", true);
    variables.Set_System_Variable_Value("$st_source_os", "WIN98");
    machine.writeScript("Kestro.xml",
        script(execStep("Win98", " $ST_Source_OS = win98 ") + "\n" +
            execStep("WinXp", "$st_source_os=winxp") + "\n" + execStep("NoEquals", "$st_source_os") + "\n" +
            execStep("EmptySide", "$st_source_os=") + "\n" + execStep("Unknown", "$st_unknown=x") + "\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(called, (std::vector<std::string>{"Win98", "Show_Frm_A"}));
}

TEST_F(XmlEngineTest, FalseConditionPassesOverItsDirectChildren)
{
    for (const char* r : {"Parent", "Child1", "Child2", "Grandchild", "After"})
        addRule(r, true);
    variables.Set_System_Variable_Value("$bln_x", "false");
    // Steps in document order: 0 Parent, 1 Child1, 2 Grandchild, 3 Child2, 4 After.
    // Parent is false and has two direct children: entries 1 and 2 are passed over, so Child2
    // (entry 3) still runs, as the engine counts entries rather than descendants.
    machine.writeScript("Kestro.xml",
        script("<performaction condition=\"$bln_x=true\"><action>execute</action><name>Parent</name>\n"
               "  " +
            execStep("Child1").substr(0, execStep("Child1").size() - 16) +
            "\n"
            "    " +
            execStep("Grandchild") +
            "\n  </performaction>\n"
            "  " +
            execStep("Child2") + "\n</performaction>\n" + execStep("After") + "\n" + execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(called, (std::vector<std::string>{"Child2", "After", "Show_Frm_A"}));
}

TEST_F(XmlEngineTest, MalformedConditionPassesOverTheStepButNotItsChildren)
{
    for (const char* r : {"Parent", "Child"})
        addRule(r, true);
    machine.writeScript("Kestro.xml",
        script("<performaction condition=\"nonsense\"><action>execute</action><name>Parent</name>\n" +
            execStep("Child") + "\n</performaction>\n" + execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(called, (std::vector<std::string>{"Child", "Show_Frm_A"}));
}

TEST_F(XmlEngineTest, LinkFromTheMainScriptReturnsAfterTheLinkStep)
{
    addRule("InSub", true);
    addRule("AfterLink", true);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n<performaction link=\" SUB.xml \"/>\n" +
            execStep("AfterLink") + "\n" + execStep("Show_Frm_B")));
    machine.writeScript(
        "sub.xml", script(execStep("InSub") + "\n" + execStep("Show_Frm_A") + "\n" + execStep("InSub")));
    engine.Step_Script("");
    engine.Step_Script("next");
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml|1|sub.xml");
    EXPECT_EQ(engine.CurrentScript, "sub.xml");
    EXPECT_EQ(engine.HistoryScripts.back(), "sub.xml");

    engine.Step_Script("next"); // finishes sub.xml, returns to step 2 of the main script
    EXPECT_EQ(panels.shown.back(), "Frm_B");
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
    EXPECT_EQ(engine.CurrentScript, "Kestro.xml");
    EXPECT_EQ(called,
        (std::vector<std::string>{
            "Show_KestroMain", "InSub", "Show_Frm_A", "InSub", "AfterLink", "Show_Frm_B"}));
}

TEST_F(XmlEngineTest, BackFromALinkedScriptsPageReturnsToTheMainScriptsPage)
{
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Show_Frm_A") +
            "\n<performaction link=\"sub.xml\"/>\n" + execStep("Show_Frm_C")));
    machine.writeScript("sub.xml", script(execStep("Show_Frm_B")));
    engine.Step_Script("");
    engine.Step_Script("next"); // page A, entry 2
    engine.Step_Script("next"); // page B in sub.xml, entry 3
    ASSERT_EQ(engine.HistoryScripts, (std::vector<std::string>{"Kestro.xml", "Kestro.xml", "sub.xml"}));
    ASSERT_EQ(engine.ScriptStack, "Kestro.xml|2|sub.xml");

    engine.Step_Script("back");
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.CurrentScript, "Kestro.xml");
    EXPECT_EQ(engine.ActionIndex, 1);
    EXPECT_EQ(engine.HistoryStep, 2);
    // The linked script's name in the chain was replaced by the entry's script.
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml|2|Kestro.xml");

    engine.Step_Script("next"); // through the link again: page B, no new entry
    EXPECT_EQ(panels.shown.back(), "Frm_B");
    EXPECT_EQ(engine.HistoryStep, 3);
    EXPECT_EQ(engine.HistoryIndexes.size(), 3u);
    engine.Step_Script("next"); // sub.xml ends: back in the main script after the link
    EXPECT_EQ(panels.shown.back(), "Frm_C");
}

TEST_F(XmlEngineTest, LinkFromALinkedScriptResumesAfterItsOwnStep)
{
    addRule("Before", true);
    addRule("InB", true);
    addRule("AfterLinkInA", true);
    machine.writeScript("Kestro.xml", script("<performaction link=\"a.xml\"/>\n" + execStep("Show_Frm_C")));
    machine.writeScript("a.xml",
        script(execStep("Before") + "\n<performaction link=\"b.xml\"/>\n" + execStep("AfterLinkInA")));
    machine.writeScript("b.xml", script(execStep("InB")));
    engine.Step_Script("");
    // The link step of a.xml runs once; a.xml goes on after it, then the main script.
    EXPECT_EQ(called, (std::vector<std::string>{"Before", "InB", "AfterLinkInA", "Show_Frm_C"}));
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
    EXPECT_EQ(engine.ActionIndex, 1);
}

TEST_F(XmlEngineTest, ItemScriptsRunNestedAndTheCallerResumesAfterTheRunner)
{
    const std::vector<std::string> items = {"APPS\\Word.wkx", "APPS\\Excel.wkx"};
    rules.add("Application_Migration", [this, &items] {
        called.push_back("Application_Migration");
        bool first = true;
        for (const std::string& item : items) {
            engine.ScriptStack += first ? "|" + std::to_string(engine.ActionIndex) + "|" + item : "|" + item;
            first = false;
            engine.CurrentScript = item;
            engine.ActionIndex = 0;
            engine.Step_Script(kDirectionItem);
        }
        return true;
    });
    addRule("AfterItems", true);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Application_Migration") + "\n" +
            execStep("AfterItems") + "\n" + execStep("Show_Frm_A")));
    machine.writeScript("APPS\\Word.xml",
        script(
            "<performaction><action>copy</action><name>a.dot|b.dot</name><from>C:\\Src</from><to>D:\\Dst</to>"
            "<type>file</type></performaction>"));
    machine.writeScript("APPS\\Excel.xml",
        script("<performaction><action>import</action><key>HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\X</"
               "key><name>*.*</name>"
               "</performaction>"));
    engine.Step_Script("");
    engine.Step_Script("next");
    EXPECT_EQ(primitives.calls,
        (std::vector<std::string>{"Copy(a.dot,C:\\Src,D:\\Dst,file,False)",
            "Copy(b.dot,C:\\Src,D:\\Dst,file,False)", "Import(HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\X,*.*)"}));
    EXPECT_EQ(called,
        (std::vector<std::string>{"Show_KestroMain", "Application_Migration", "AfterItems", "Show_Frm_A"}));
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
    EXPECT_EQ(engine.CurrentScript, "Kestro.xml");
    EXPECT_EQ(engine.ActionIndex, 3);
}

TEST_F(XmlEngineTest, LinkInsideAnItemScriptReturnsToTheItemAndThenToTheRunner)
{
    std::vector<std::string> runnerSaw;
    rules.add("Settings_Migration", [this, &runnerSaw] {
        called.push_back("Settings_Migration");
        bool first = true;
        for (const std::string item : {"Settings\\Wall.wkx", "Settings\\Mouse.wkx"}) {
            engine.ScriptStack += first ? "|" + std::to_string(engine.ActionIndex) + "|" + item : "|" + item;
            first = false;
            engine.CurrentScript = item;
            engine.ActionIndex = 0;
            engine.Step_Script(kDirectionItem);
            runnerSaw.push_back(engine.ScriptStack);
        }
        return true;
    });
    for (const char* r : {"InLinked", "InWall", "InMouse", "AfterItems"})
        addRule(r, true);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Settings_Migration") + "\n" +
            execStep("AfterItems") + "\n" + execStep("Show_Frm_A")));
    machine.writeScript(
        "Settings\\Wall.xml", script("<performaction link=\"common.xml\"/>\n" + execStep("InWall")));
    machine.writeScript("common.xml", script(execStep("InLinked")));
    machine.writeScript("Settings\\Mouse.xml", script(execStep("InMouse")));
    engine.Step_Script("");
    engine.Step_Script("next");
    EXPECT_EQ(called,
        (std::vector<std::string>{"Show_KestroMain", "Settings_Migration", "InLinked", "InWall", "InMouse",
            "AfterItems", "Show_Frm_A"}));
    EXPECT_EQ(runnerSaw, (std::vector<std::string>{"Kestro.xml|1", "Kestro.xml|1"}));
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
    EXPECT_EQ(panels.shown.back(), "Frm_A");
}

TEST_F(XmlEngineTest, RunnerWithNoItemsLetsTheCallerGoOn)
{
    rules.add("Application_Migration", [] { return true; });
    addRule("AfterItems", true);
    machine.writeScript("Kestro.xml",
        script(execStep("Application_Migration") + "\n" + execStep("AfterItems") + "\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(called, (std::vector<std::string>{"AfterItems", "Show_Frm_A"}));
}

TEST_F(XmlEngineTest, ClickWhileAStepYieldsDoesNotReenterTheEngine)
{
    addRule("After", true);
    machine.writeScript("Kestro.xml",
        script("<performaction><action>delete</action><name>x.tmp</name><from>C:\\Temp</from><type>file</"
               "type></performaction>\n" +
            execStep("After") + "\n" + execStep("Show_Frm_A") + "\n" + execStep("Show_Frm_B")));
    primitives.during = [this] {
        EXPECT_TRUE(engine.running());
        engine.Step_Script("next"); // the user clicks Next while the delete yields
        engine.Step_Script("back");
    };
    engine.Step_Script("");
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(engine.ignoredCalls(), 2);
    EXPECT_EQ(panels.shown, std::vector<std::string>{"Frm_A"});
    EXPECT_EQ(engine.ActionIndex, 2);
    EXPECT_EQ(engine.HistoryStep, 1);
}

TEST_F(XmlEngineTest, EndOfTheMainScriptStopsWithoutAMessage)
{
    addRule("Last", true);
    machine.writeScript("Kestro.xml", script(execStep("Show_KestroMain") + "\n" + execStep("Last")));
    engine.Step_Script("");
    engine.Step_Script("next");
    EXPECT_TRUE(engine.StopFlag);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(engine.CurrentScript, "Kestro.xml");
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
    // Stopped on purpose, not by an error caught at the engine's top level.
    EXPECT_EQ(
        machine.readHost(machine.appFile("Kestro_Log_File.txt")).find("Step_Script"), std::string::npos);
}

TEST_F(XmlEngineTest, EndOfTheScriptIsAStopAndBackGoesOnePage)
{
    addRule("Work", true);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Show_Frm_A") + "\n" + execStep("Show_Frm_B") +
            "\n" + execStep("Work")));
    engine.Step_Script("");
    engine.Step_Script("next");
    engine.Step_Script("next"); // page B: entry 3 at index 2
    ASSERT_EQ(engine.HistoryStep, 3);
    ASSERT_EQ(engine.ActionIndex, 2);

    // Next past the last page runs what follows it, then finds the end: nothing moves.
    for (int i = 0; i < 3; ++i) {
        engine.Step_Script("next");
        EXPECT_TRUE(engine.reachedEnd());
        EXPECT_EQ(engine.HistoryStep, 3);
        EXPECT_EQ(engine.ActionIndex, 2);
        EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
        EXPECT_EQ(wizardWindows().statusText(), kEndOfScriptStatus);
    }
    EXPECT_EQ(std::count(called.begin(), called.end(), "Work"), 3);
    EXPECT_EQ(engine.HistoryIndexes.size(), 3u);

    // One Previous is one page back.
    engine.Step_Script("back");
    EXPECT_FALSE(engine.reachedEnd());
    EXPECT_EQ(panels.shown.back(), "Frm_A");
    EXPECT_EQ(engine.HistoryStep, 2);
    engine.Step_Script("next");
    EXPECT_EQ(panels.shown.back(), "Frm_B");
    EXPECT_EQ(engine.HistoryStep, 3);
}

TEST_F(XmlEngineTest, MissingScriptShowsTheLoadFailure)
{
    engine.Step_Script("");
    EXPECT_EQ(shownTexts(), std::vector<std::string>{kScriptLoadFailure});
    EXPECT_EQ(messages.shown()[0].buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::None);
    EXPECT_TRUE(engine.StopFlag);
}

TEST_F(XmlEngineTest, MissingLinkedScriptStopsTheRun)
{
    addRule("AfterLink", true);
    addRule("First", true);
    machine.writeScript("Kestro.xml",
        script(execStep("First") + "\n<performaction link=\"gone.xml\"/>\n" + execStep("AfterLink")));
    engine.Step_Script("");
    EXPECT_EQ(shownTexts(), std::vector<std::string>{kScriptLoadFailure});
    EXPECT_EQ(called, std::vector<std::string>{"First"});
}

TEST_F(XmlEngineTest, AScriptThatDoesNotParseStopsTheRunWithAMessageAndALogRecord)
{
    addRule("First", true);
    addRule("AfterLink", true);
    machine.writeScript("Kestro.xml",
        script(execStep("First") + "\n<performaction link=\"broken.xml\"/>\n" + execStep("AfterLink")));
    machine.writeScript("broken.xml", "<script>\n<performaction><action>execute\n</scr");
    EXPECT_FALSE(engine.lastLoad().loaded()) << "no load has been made";
    engine.Step_Script("");
    EXPECT_EQ(called, std::vector<std::string>{"First"});
    EXPECT_TRUE(engine.StopFlag);
    EXPECT_EQ(engine.lastLoad().status, ScriptLoad::Status::Malformed);
    EXPECT_EQ(engine.lastLoad().line, 3);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find("(broken.xml line 3: "), std::string::npos)
        << messages.shown()[0].text;
    const std::string logText = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    EXPECT_NE(logText.find("ERROR : Script not loaded : broken.xml"), std::string::npos) << logText;
    EXPECT_NE(logText.find("line 3: "), std::string::npos) << logText;
}

TEST_F(XmlEngineTest, AnItemScriptThatDoesNotLoadFailsTheItemWithItsReasonAndTheRunnerGoesOn)
{
    std::vector<std::string> refusals;
    rules.add("Application_Migration", [this, &refusals] {
        called.push_back("Application_Migration");
        bool first = true;
        for (const std::string item : {"APPS\\Broken.wkx", "APPS\\Gone.wkx", "APPS\\Fine.wkx"}) {
            engine.ScriptStack += first ? "|" + std::to_string(engine.ActionIndex) + "|" + item : "|" + item;
            first = false;
            engine.CurrentScript = item;
            engine.ActionIndex = 0;
            engine.Step_Script(kDirectionItem);
            refusals.push_back(engine.itemRefusal());
        }
        return true;
    });
    addRule("InFine", true);
    addRule("AfterItems", true);
    machine.writeScript("Kestro.xml",
        script(execStep("Show_KestroMain") + "\n" + execStep("Application_Migration") + "\n" +
            execStep("AfterItems") + "\n" + execStep("Show_Frm_A")));
    machine.writeScript("APPS\\Broken.xml", "<script><performaction></script>");
    machine.writeScript("APPS\\Fine.xml", script(execStep("InFine")));
    engine.Step_Script("");
    engine.Step_Script("next");
    ASSERT_EQ(refusals.size(), 3u);
    EXPECT_EQ(refusals[0].rfind("APPS\\Broken.wkx line 1: ", 0), 0u) << refusals[0];
    EXPECT_EQ(refusals[1].rfind("APPS\\Gone.wkx: ", 0), 0u) << refusals[1];
    EXPECT_EQ(refusals[2], "");
    EXPECT_EQ(called,
        (std::vector<std::string>{
            "Show_KestroMain", "Application_Migration", "InFine", "AfterItems", "Show_Frm_A"}));
    EXPECT_TRUE(messages.shown().empty()) << "the migration report names a failed item, not a box";
    EXPECT_EQ(engine.ScriptStack, "Kestro.xml");
    const std::string logText = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    EXPECT_NE(logText.find("Script not loaded : APPS\\Broken.wkx"), std::string::npos) << logText;
    EXPECT_NE(logText.find("Script not loaded : APPS\\Gone.wkx"), std::string::npos) << logText;
}

TEST_F(XmlEngineTest, AnExceptionInAnExecuteStepIsLoggedAndAnswersFalse)
{
    rules.add("Throws", []() -> bool { throw std::runtime_error("disk on fire"); });
    machine.writeScript("Kestro.xml", script(execStep("Show_KestroMain") + "\n" + execStep("Throws")));
    engine.Step_Script("");
    engine.Step_Script("next");
    EXPECT_TRUE(engine.StopFlag);
    EXPECT_EQ(engine.ActionIndex, 0) << "the False answer keeps the page on screen";
    const std::string logText = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    EXPECT_NE(logText.find("ERROR : Throws : disk on fire"), std::string::npos) << logText;
}

TEST_F(XmlEngineTest, StepsWithMissingElementsAndUnknownWordsDoNothing)
{
    machine.writeScript("Kestro.xml",
        script("<performaction/>\n<performaction><action>frobnicate</action><name>x</name></performaction>\n"
               "<performaction><action>execute</action></performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_TRUE(primitives.calls.empty());
    // The execute step without a name is an unknown operation: the False path stops the run.
    EXPECT_TRUE(panels.shown.empty());
    EXPECT_TRUE(engine.StopFlag);
}

TEST_F(XmlEngineTest, CopyKindsCallTheirPrimitivesPerItem)
{
    variables.Set_System_Variable_Value("$st_src", "C:\\Old");
    machine.writeScript("Kestro.xml",
        script("<performaction><action> COPY "
               "</action><name>a||b</name><from>$st_src\\Apps</from><to>D:\\New</to>"
               "<type>RFolder</type></performaction>\n"
               "<performaction><action>copy</action><name>f.ini</name><from>C:\\W</from><to>D:\\W</"
               "to><type>rfile</type>"
               "</performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(primitives.calls,
        (std::vector<std::string>{"Copy(a,C:\\Old\\Apps,D:\\New,rfolder,False)",
            "Copy(b,C:\\Old\\Apps,D:\\New,rfolder,False)",
            "OtherCopyFolder(C:\\Old\\Apps\\a,D:\\New\\a,False)",
            "OtherCopyFolder(C:\\Old\\Apps\\b,D:\\New\\b,False)",
            "OtherCopyFile(C:\\W\\f.ini,D:\\W\\f.ini,False)"}));
}

TEST_F(XmlEngineTest, FailedActionsShowTheirReportsAndGoOn)
{
    primitives.answers = {{"Copy", false}, {"Move", false}, {"UpdateRegistry", false}, {"Rename", false},
        {"Replace", false}, {"Delete", false}};
    machine.writeScript("Kestro.xml",
        script("<performaction><action>copy</action><name>a|b</name><from>C:\\F</from><to>D:\\T</"
               "to><type>file</type></performaction>\n"
               "<performaction><action>move</action><name>m</name><from>C:\\F</from><to>D:\\T</"
               "to><type>file</type></performaction>\n"
               "<performaction><action>update_registry</action><name>r.reg</name><from>C:\\R</from></"
               "performaction>\n"
               "<performaction><action>rename</action><name>Old.txt</name><from>C:\\F</"
               "from><to>C:\\F\\New.txt</to></performaction>\n"
               "<performaction><action>replace</action><name>x.ini</name><from>C:\\I</from><search>a</"
               "search><replace>b</replace></performaction>\n"
               "<performaction><action>delete</action><name>d</name><from>C:\\D</from><type>file</type></"
               "performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(shownTexts(),
        (std::vector<std::string>{
            "C:\\F\\a|b file not copied, the file/Folder may be corrupted or currently being used!",
            "C:\\F\\a|b file not copied, the file/Folder may be corrupted or currently being used!",
            "c:\\f\\m file not moved, the file/Folder may be corrupted or currently being used!",
            "c:\\r\\r.reg file not able to update",
            "c:\\f\\Old.txt file not deleted, this file/Folder may currently being used!",
            "c:\\i\\x.ini file not deleted, this file/Folder may currently being used!"}));
    EXPECT_EQ(panels.shown, std::vector<std::string>{"Frm_A"});
    EXPECT_EQ(primitives.calls[2], "Move(m,c:\\f,d:\\t,file,False)");
    EXPECT_EQ(primitives.calls[4], "Rename(c:\\f\\Old.txt,c:\\f\\new.txt)");
}

TEST_F(XmlEngineTest, RegistryActionsWriteTheLogReport)
{
    primitives.answers = {{"Export", false}, {"Import", false}};
    machine.writeScript("Kestro.xml",
        script("<performaction><action>export</action><key>HKLM\\Soft</key><name>out.reg</name></"
               "performaction>\n"
               "<performaction><action>import</action><key>K</key><name>one|two</name></performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_TRUE(messages.shown().empty());
    const std::string logText = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    // The process name is cut at its 40 characters; the status follows.
    EXPECT_NE(logText.find("Not Able to find application pathHKLM\\SoStart "), std::string::npos);
    EXPECT_NE(logText.find("Not Able to find application pathKone|twStart "), std::string::npos);
    EXPECT_EQ(primitives.calls,
        (std::vector<std::string>{"Export(HKLM\\Soft,out.reg)", "Import(K,one)", "Import(K,two)"}));
}

TEST_F(XmlEngineTest, MessageTextKeepsItsCaseAndKindMatchesInAnyCase)
{
    machine.writeScript("Kestro.xml",
        script("<performaction><action>msgbox</action><name>Please Close "
               "Outlook</name><type>i</type></performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_EQ(primitives.calls, std::vector<std::string>{"Msgbox(Please Close Outlook,I)"});
}

TEST_F(XmlEngineTest, UnsetVariableInAPathFailsTheStepWithoutCallingIt)
{
    machine.writeScript("Kestro.xml",
        script("<performaction><action>copy</action><name>a</name><from>$st_unset\\Data</from><to>D:\\T</to>"
               "<type>folder</type></performaction>\n"
               "<performaction><action>delete</action><name>*.*</name><from>$st_unset</from><type>all</"
               "type></performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    EXPECT_TRUE(primitives.calls.empty());
    EXPECT_EQ(shownTexts(),
        (std::vector<std::string>{
            "Data\\a file not copied, the file/Folder may be corrupted or currently being used!",
            "\\*.* file not deleted, this file/Folder may currently being used!"}));
    EXPECT_EQ(panels.shown, std::vector<std::string>{"Frm_A"});
}

TEST_F(XmlEngineTest, MissingPrimitivesTakeTheFailureReport)
{
    ActionPrimitives none;
    engine.setPrimitives(&none);
    machine.writeScript("Kestro.xml",
        script("<performaction><action>copy</action><name>a</name><from>C:\\F</from><to>D:\\T</"
               "to><type>file</type></performaction>"));
    engine.Step_Script("");
    EXPECT_EQ(shownTexts(),
        std::vector<std::string>{
            "C:\\F\\a file not copied, the file/Folder may be corrupted or currently being used!"});
}

TEST_F(XmlEngineTest, ALinkBackToAScriptOnTheChainStopsWithAReport)
{
    addRule("First", true);
    addRule("InA", true);
    addRule("AfterLink", true);
    // A links to B, B links back to A; the main script also links to itself later.
    machine.writeScript("Kestro.xml",
        script(execStep("First") + "\n<performaction link=\"a.xml\"/>\n" + execStep("AfterLink") +
            "\n<performaction link=\"KESTRO.xml\"/>\n" + execStep("Show_Frm_B")));
    machine.writeScript("a.xml", script(execStep("InA") + "\n<performaction link=\"b.xml\"/>"));
    machine.writeScript("b.xml", script("<performaction link=\"A.xml\"/>"));
    engine.Step_Script("");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find("a.xml"), std::string::npos) << messages.shown()[0].text;
    EXPECT_EQ(called, (std::vector<std::string>{"First", "InA"}));
    // The wizard stays usable: the next step goes on after the link that was refused.
    engine.Step_Script("next");
    EXPECT_EQ(messages.shown().size(), 2u) << "the main script's link to itself is refused as well";
    engine.Step_Script("next");
    EXPECT_EQ(panels.shown.back(), "Frm_B");
}

TEST_F(XmlEngineTest, RegistryFileWordsReachTheirPrimitivesWithTheStepsTexts)
{
    primitives.answers = {{"GetFile", false}};
    variables.Set_System_Variable_Value("$st_types", "C:\\Types");
    machine.writeScript("Kestro.xml",
        script("<performaction><action>Get</action><key>HKCU\\Soft</key><name>Val</name><from>C:\\X</from>"
               "</performaction>\n"
               "<performaction><action>get_file</action><key>K</key><name>f.reg</name></performaction>\n"
               "<performaction><action>FILE_TYPE_COPY</action><name>.doc</name><from>$st_types\\Sub</from>"
               "</performaction>\n" +
            execStep("Show_Frm_A")));
    engine.Step_Script("");
    // The key and source of "get" are passed as written; the folder of a file-type copy is
    // lower-cased before its variables are resolved.
    EXPECT_EQ(primitives.calls,
        (std::vector<std::string>{
            "Get(HKCU\\Soft,Val,C:\\X)", "GetFile(K,f.reg,)", "FileTypeCopy(C:\\Types\\sub,.doc)"}));
    EXPECT_TRUE(messages.shown().empty());
    const std::string logText = machine.readHost(machine.appFile("Kestro_Log_File.txt"));
    EXPECT_NE(logText.find("Not Able to find application pathKf.reg "), std::string::npos) << logText;
    EXPECT_EQ(panels.shown, std::vector<std::string>{"Frm_A"});
}

} // namespace
} // namespace wizard
