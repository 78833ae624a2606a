// SourceHandOverTest.cpp: the connection rules on the demo network: network helpers, drive mapping,
// source validation, the source OS check, the batch file run on the source through the batch
// runner, the wait for its exports, and the refusals that leave the destination as it was.
#include "platform/CodePage.h"
#include "platform/MachineConfig.h"
#include "platform/MessageBox.h"
#include "platform/ProcessRunner.h"
#include "platform/Registry.h"
#include "platform/RunRecord.h"
#include "platform/RunningMachine.h"
#include "tests/support/common/FailNthCall.h"
#include "tests/support/platform/FullDisk.h"
#include "tests/support/platform/RecordingShellService.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/support/wizard/WizardRun.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/connection/DriveMapping.h"
#include "wizard/connection/GeneralUtilities.h"
#include "wizard/connection/NetworkHelpers.h"
#include "wizard/connection/SourceBatchFile.h"
#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/rules/clsRules.h"
#include "wizard/transfer/TransferGlobals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;
using wizard::clsRules;

// The connection page, the required-tasks page and the migration-type page as the rules read them.
class Pages : public wizard::PageControls {
public:
    bool isChecked(const std::string& form, const std::string& control) override
    {
        return checked.count(form + "." + control) != 0;
    }
    std::string text(const std::string& form, const std::string& control) override
    {
        auto it = texts.find(form + "." + control);
        return it == texts.end() ? std::string() : it->second;
    }
    bool setFocus(const std::string&, const std::string& control) override
    {
        focused.push_back(control);
        return true;
    }
    std::set<std::string> checked;
    std::map<std::string, std::string> texts;
    std::vector<std::string> focused;
};

// The user at the destination: answers every box with OK, after `atBox` (given the box's number)
// has done what the user does while it is shown.
struct BoxAnswers : platform::MessageService {
    std::vector<std::string> texts;
    std::function<void(int)> atBox;
    platform::MsgResult show(const platform::MessageRequest& r) override
    {
        texts.push_back(r.text);
        atBox(static_cast<int>(texts.size()));
        return platform::MsgResult::Ok;
    }
};

class SourceHandOverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::resetWizardRun();
        std::string pattern = (fs::temp_directory_path() / "handover-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        network = pattern;
        std::string error;
        ASSERT_TRUE(demo::buildDemoNetwork(network, demo::DemoOptions{}, error)) << error;
        ::setenv("WINENV_MACHINE", (network / demo::kDestinationPc).c_str(), 1);
        platform::RunningMachine::use(network / demo::kDestinationPc);
        wizard::AppPath = demo::kWizardFolder;
        files().createFolder(wizard::AppPath + "\\temp");
        previousPages = common::Service<wizard::PageControls>::replace(&pages);
        previousPresenter =
            wizard::setTroubleshootingPresenter([this](const std::string& form) { dialogs.push_back(form); });
    }
    void TearDown() override
    {
        wizard::setTroubleshootingPresenter(previousPresenter);
        common::Service<wizard::PageControls>::replace(previousPages);
        wizard::transferGlobals().driveMap.clear();
        platform::RunningMachine::close();
        ::unsetenv("WINENV_MACHINE");
        testsupport::resetWizardRun();
        std::error_code ec;
        fs::remove_all(network, ec);
    }
    static platform::FileSystem& files() { return platform::RunningMachine::current()->files(); }
    wizard::RulesEnvironment env()
    {
        wizard::RulesEnvironment e;
        e.setVariable = [this](const std::string& n, const std::string& v) { variables[n] = v; };
        e.writeLog = [this](const std::string& p, const std::string& s) { log.push_back(p + " " + s); };
        return e;
    }
    // The connection page filled in for a source: LAN, name, and the source OS chosen.
    void connectTo(const std::string& name, const char* osOption, const std::string& user = "",
        const std::string& password = "")
    {
        pages.checked = {"Frm_ConnectionType.optNWLan", std::string("Frm_PreparatoryTask.") + osOption,
            "Frm_MigrationType.optSel", "Frm_MigrationType.chk_Settings"};
        pages.texts = {{"Frm_ConnectionType.txt_Source_Name", name}, {"Frm_ConnectionType.txtuser", user},
            {"Frm_ConnectionType.TxtPass", password}};
    }
    // OLDPC (Windows 98) validated, its C: mapped and Temp.bat written; `folder` is its KestroBatch folder.
    void batchFileOnOldPc(clsRules& rules, std::string& folder)
    {
        wizard::SourceOs = "win98";
        connectTo("OLDPC", "Opt98");
        ASSERT_TRUE(rules.Validate_Source_PC());
        ASSERT_TRUE(rules.Simple_Map_C_Drive());
        ASSERT_TRUE(rules.Create_Batch_File());
        folder = *wizard::transferGlobals().driveMap.lookup("C:") + "\\KestroBatch\\";
    }
    std::vector<std::string> connectedLetters()
    {
        std::vector<std::string> out;
        for (const platform::DriveConnection& c :
            platform::RunningMachine::current()->network().connections())
            out.push_back(std::string(1, c.letter) + ":" + c.remotePath);
        return out;
    }
    // The user at the source PC: runs C:\KestroBatch\Temp.bat there with the batch runner.
    int runBatchOnSource(const char* source)
    {
        platform::StartOptions options;
        options.machineFolder = network / source;
        std::uint32_t code = 1;
        if (platform::runProcess("winbatch C:\\KestroBatch\\Temp.bat", options, &code) !=
            platform::WinError::Success)
            return -1;
        return static_cast<int>(code);
    }

    fs::path network;
    Pages pages;
    wizard::PageControls* previousPages = nullptr;
    wizard::TroubleshootingPresenter previousPresenter;
    std::vector<std::string> dialogs;
    std::map<std::string, std::string> variables;
    std::vector<std::string> log;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};
};

TEST_F(SourceHandOverTest, NetworkHelpersSeeTheDemoNetwork)
{
    EXPECT_TRUE(wizard::Is_Network_Present());
    EXPECT_EQ(wizard::Get_Computer_Name(), "NEWPC");
    EXPECT_NE(wizard::Get_IP_Address("oldpc"), wizard::kUnresolvedAddress);
    EXPECT_EQ(wizard::Get_IP_Address("NOSUCHPC"), wizard::kUnresolvedAddress);
    std::optional<std::string> unset;
    EXPECT_EQ(wizard::Get_IP_Address(unset), wizard::Get_IP_Address("NEWPC"));
    EXPECT_EQ(unset, std::optional<std::string>("NEWPC"));
    EXPECT_EQ(wizard::Format_IP_Address(std::string("\xC0\xA8\x00\x07", 4)), "192.168.0.7");

    wizard::Get_Admin_Shares("OLDPC");
    EXPECT_EQ(wizard::AdminShares(), (std::vector<std::string>{"C:", "D:", ""}));
    wizard::Get_Admin_Shares("OLDXP"); // shares its drive as "C", as Windows XP does
    EXPECT_EQ(wizard::AdminShares(), (std::vector<std::string>{"C:", ""}));
    wizard::Get_Admin_Shares("");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Please enter a server name!");
    EXPECT_EQ(messages.shown()[0].title, "Monitor");

    EXPECT_TRUE(wizard::Is_Valid_Name("SOURCE-PC"));
    EXPECT_TRUE(wizard::Is_Valid_Name("my pc"));
    for (const char* bad : {"pc#1", "a|b", "", "x\\y", "mail@pc"})
        EXPECT_FALSE(wizard::Is_Valid_Name(bad)) << bad;
}

TEST_F(SourceHandOverTest, MappingTakesFreeLettersAndASecondMappingReplacesTheFirst)
{
    std::string share = "\\\\OLDPC\\C$";
    std::string drive;
    const std::string free = wizard::Get_Free_Drive();
    ASSERT_FALSE(free.empty());
    auto letter = [&free](int n) { return std::string(1, static_cast<char>(free[0] + n)) + ":"; };
    ASSERT_TRUE(wizard::Map_Drive(share, drive, "", ""));
    const auto first = wizard::transferGlobals().driveMap.entries();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].first, "C:");
    EXPECT_EQ(first[1].first, "D:");
    EXPECT_EQ(first[0].second, letter(0));
    EXPECT_EQ(first[1].second, letter(1));

    ASSERT_TRUE(wizard::Map_Drive(share, drive, "", ""));
    const auto second = wizard::transferGlobals().driveMap.entries();
    EXPECT_EQ(second[0].second, letter(2));
    EXPECT_EQ(second[1].second, letter(3));
    EXPECT_EQ(connectedLetters(),
        (std::vector<std::string>{letter(2) + "\\\\OLDPC\\C$", letter(3) + "\\\\OLDPC\\D$"}));
    EXPECT_TRUE(messages.shown().empty());

    // An XP source shares its C drive as "C": the third form connects it, with the logon.
    std::string xp = "\\\\OLDXP\\C$";
    EXPECT_FALSE(wizard::Map_Drive(xp, drive, "Sarah", "wrong"));
    EXPECT_EQ(wizard::transferGlobals().driveMap.entries(), second) << "a refused logon keeps the old map";
    ASSERT_TRUE(wizard::Map_Drive(xp, drive, "Sarah", "blue42"));
    EXPECT_EQ(wizard::transferGlobals().driveMap.lookup("C:"), std::optional<std::string>(letter(0)));
    EXPECT_EQ(connectedLetters(), std::vector<std::string>{letter(0) + "\\\\OLDXP\\C"});
}

TEST_F(SourceHandOverTest, RunningOutOfLettersUndoesTheMapping)
{
    // Every letter but one taken: C$ gets it, D$ finds none, and the C$ connection goes again.
    platform::Network& net = platform::RunningMachine::current()->network();
    const char spare = wizard::Get_Free_Drive().at(0);
    for (char letter = static_cast<char>(spare + 1); letter <= 'Z'; ++letter)
        ASSERT_EQ(net.addConnection(std::string(1, letter) + ":", "\\\\OLDPC\\C$", nullptr, nullptr),
            platform::WinError::Success);
    const auto before = connectedLetters();
    std::string share = "\\\\OLDPC\\C$";
    std::string drive;
    EXPECT_FALSE(wizard::Map_Drive(share, drive, "", ""));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "No Free Drive for mapping");
    EXPECT_EQ(connectedLetters(), before);
    EXPECT_TRUE(wizard::transferGlobals().driveMap.entries().empty());

    // All letters taken: refused before anything is tried.
    ASSERT_EQ(net.addConnection(std::string(1, spare) + ":", "\\\\OLDPC\\C$", nullptr, nullptr),
        platform::WinError::Success);
    EXPECT_EQ(wizard::Get_Free_Drive(), "");
    EXPECT_FALSE(wizard::Map_Drive(share, drive, "", ""));
    EXPECT_EQ(messages.shown().size(), 2u);
}

TEST_F(SourceHandOverTest, ValidationRefusesBadNamesWithTheirMessagesAndDialogs)
{
    clsRules rules(env());
    struct Case {
        const char* name;
        const char* message; // "" when a dialog explains
    };
    for (const Case& c :
        {Case{"  ", "Please enter source PC name!"}, Case{"old#pc", "Please enter valid Source PC name!"},
            Case{"NEWPC", "Please give Source PC name, you have given local PC's name!"},
            Case{"GONEPC", ""}}) {
        connectTo(c.name, "Opt98");
        const std::size_t boxes = messages.shown().size();
        EXPECT_FALSE(rules.Validate_Source_PC()) << c.name;
        if (*c.message) {
            ASSERT_EQ(messages.shown().size(), boxes + 1) << c.name;
            EXPECT_EQ(messages.shown().back().text, c.message);
        } else {
            EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Lan_validate"});
            EXPECT_EQ(wizard::wizardWindows().statusText(), "Validating source PC fails!");
        }
        EXPECT_EQ(wizard::wizardWindows().mousePointer(), wizard::MousePointer::Default);
    }
    EXPECT_EQ(variables.count("$st_source_mc_name"), 1u); // set once the name was well formed

    // A 2000/XP source needs a user name; its password may be empty.
    connectTo("OLDXP", "OptXP", "   ");
    EXPECT_FALSE(rules.Validate_Source_PC());
    EXPECT_EQ(messages.shown().back().text,
        "Please enter user name and password, the user name must have Administrator rights");
    connectTo(" OLDXP ", "OptXP", "Sarah", "");
    EXPECT_TRUE(rules.Validate_Source_PC());
    EXPECT_EQ(wizard::SourcePcName, "OLDXP");
    EXPECT_EQ(wizard::LogonUserName, "Sarah");
    EXPECT_EQ(variables["$st_source_mc_name"], "\\\\OLDXP");

    // A wrong password is found when the drive is mapped: its dialog, nothing connected.
    EXPECT_FALSE(rules.Logon_Map_C_Drive());
    EXPECT_EQ(dialogs.back(), "frm_Error_Log_Map");
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Mapping source drive failed!");
    EXPECT_TRUE(connectedLetters().empty());
}

TEST_F(SourceHandOverTest, SourceOsMustMatchTheMappedDrive)
{
    clsRules rules(env());
    wizard::SourceOs = "win98";
    EXPECT_FALSE(rules.Get_Source_PC_Information()) << "no C: mapped: nothing to look at";
    EXPECT_EQ(dialogs.back(), "frm_Error_Simple_Map");

    // A source without the C$ share (OLDXP shares "C"): the probe fails before any mapping.
    wizard::SourcePcName = "OLDXP";
    EXPECT_FALSE(rules.Simple_Map_C_Drive());
    EXPECT_EQ(dialogs.back(), "frm_Error_Simple_Map");
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Mapping source drive failed!");
    EXPECT_TRUE(connectedLetters().empty());

    connectTo("OLDPC", "Opt98");
    ASSERT_TRUE(rules.Validate_Source_PC());
    ASSERT_TRUE(rules.Simple_Map_C_Drive());
    EXPECT_TRUE(rules.Get_Source_PC_Information());
    EXPECT_EQ(variables["$st_source_os"], "win98");
    wizard::SourceOs = "win2k";
    EXPECT_FALSE(rules.Get_Source_PC_Information());
    EXPECT_TRUE(wizard::transferGlobals().driveMap.entries().empty()) << "the wrong source's drives go";
    EXPECT_TRUE(connectedLetters().empty());
    ASSERT_TRUE(rules.Simple_Map_C_Drive());
    wizard::SourceOs = "winxp";
    EXPECT_TRUE(rules.Get_Source_PC_Information()) << "XP passes either way";
}

TEST_F(SourceHandOverTest, BatchFileFollowsTheSourceSystem)
{
    const auto xp = wizard::batchFileLines("winxp", "OLDXP");
    ASSERT_EQ(xp.size(), 14u);
    EXPECT_EQ(xp[3], "regedit.exe /a C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"");
    EXPECT_EQ(xp[8], "cacls c:\\windows /t /e /g everyone:f");
    const auto nineX = wizard::batchFileLines("win98", "OLDPC");
    ASSERT_EQ(nineX.size(), 11u);
    EXPECT_EQ(nineX[5], "regedit.exe /s /E C:\\KestroBatch\\HKCU.reg \"HKEY_CURRENT_USER\"");
    const auto w2k = wizard::batchFileLines("win2k", "OLDXP"); // no WINIPCFG.EXE there
    EXPECT_EQ(w2k[8], "cacls c:\\winnt /t /e /g everyone:f");
}

TEST_F(SourceHandOverTest, HandOverFromTheWindows98SourceBringsFreshExports)
{
    clsRules rules(env());
    wizard::SourceOs = "win98";
    connectTo("OLDPC", "Opt98");
    ASSERT_TRUE(rules.Validate_Source_PC());
    ASSERT_TRUE(rules.Simple_Map_C_Drive());
    ASSERT_TRUE(rules.Get_Source_PC_Information());
    ASSERT_TRUE(rules.Create_Batch_File());
    EXPECT_TRUE(wizard::RegistryRequired);
    EXPECT_EQ(variables["$bln_reg_required"], "true");
    EXPECT_EQ(variables["$st_migration_type"], "selective");

    // Exports of an earlier run on the source are never taken for fresh ones.
    const std::string local = *wizard::transferGlobals().driveMap.lookup("C:");
    files().createFolder(local + "\\KestroBatch");
    for (const char* name : wizard::kSourceExports)
        files().writeText(
            local + "\\KestroBatch\\" + name, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\STALE]\r\n");
    files().writeText(local + "\\KestroBatch\\Kestro.txt", "STALE");

    // OK before the batch ran: asked again; then the user runs it on the source and clicks OK.
    messages.answer(platform::MsgResult::Ok);
    messages.answer(platform::MsgResult::Ok);
    int batchRuns = 0;
    struct RunningUser : platform::MessageService {
        testsupport::ScriptedMessageService& inner;
        std::function<void()> beforeSecond;
        int count = 0;
        explicit RunningUser(testsupport::ScriptedMessageService& m)
            : inner(m)
        {}
        platform::MsgResult show(const platform::MessageRequest& r) override
        {
            if (++count == 2 && beforeSecond)
                beforeSecond();
            return inner.show(r);
        }
    } user(messages);
    user.beforeSecond = [&] { batchRuns += runBatchOnSource(demo::kSourcePc98) == 0 ? 1 : 0; };
    common::Service<platform::MessageService>::Override scopedUser{user};
    ASSERT_TRUE(rules.Display_Msg_To_User());
    EXPECT_EQ(batchRuns, 1);
    EXPECT_EQ(user.count, 2);
    std::string hklm;
    ASSERT_EQ(files().readText(wizard::AppPath + "\\tempreg\\HKLM.reg", hklm), platform::FsError::None);
    EXPECT_EQ(hklm.find("STALE"), std::string::npos);
    EXPECT_NE(hklm.find("[HKEY_LOCAL_MACHINE\\SOFTWARE"), std::string::npos);
    EXPECT_TRUE(files().fileExists(wizard::AppPath + "\\tempreg\\HKCR.reg"));
    EXPECT_TRUE(files().fileExists(wizard::AppPath + "\\tempreg\\HKCU.reg"));
    // The batch file's last copy found regexp.bat beside it: the source keeps the record of the
    // exports this run made, and the record of an earlier run is gone.
    std::string record;
    ASSERT_EQ(files().readText(local + "\\KestroBatch\\Kestro.txt", record), platform::FsError::None);
    EXPECT_EQ(record,
        "@echo off\r\n"
        "regedit.exe /s /E C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"\r\n"
        "regedit.exe /s /E C:\\KestroBatch\\HKCU.reg \"HKEY_CURRENT_USER\"\r\n"
        "regedit.exe /s /E C:\\KestroBatch\\HKCR.reg \"HKEY_CLASSES_ROOT\"\r\n");
}

TEST_F(SourceHandOverTest, DamagedExportsAreAskedForAgainAndNeverTaken)
{
    clsRules rules(env());
    std::string folder;
    ASSERT_NO_FATAL_FAILURE(batchFileOnOldPc(rules, folder));

    struct Source : platform::MessageService {
        std::vector<std::string> texts;
        std::function<void(int)> atBox;
        platform::MsgResult show(const platform::MessageRequest& r) override
        {
            texts.push_back(r.text);
            if (atBox)
                atBox(static_cast<int>(texts.size()));
            return platform::MsgResult::Ok;
        }
    } user;
    // First the batch file "ran" badly: an export with a line no registry editor writes; then the
    // user runs the real batch file.
    user.atBox = [&](int box) {
        if (box == 1) {
            for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE"})
                files().writeText(folder + (root[5] == 'C' ? "HKCR.reg" : "HKLM.reg"),
                    std::string("REGEDIT4\r\n\r\n[") + root + "\\SOFTWARE\\X]\r\n\"a\"=\"1\"\r\n");
            files().writeText(folder + "HKCU.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"broken=\r\n");
        }
        if (box == 3) {
            EXPECT_EQ(runBatchOnSource(demo::kSourcePc98), 0);
        }
    };
    common::Service<platform::MessageService>::Override scoped{user};
    ASSERT_TRUE(rules.Display_Msg_To_User());
    ASSERT_EQ(user.texts.size(), 3u); // asked, told of the damage, asked again
    EXPECT_EQ(user.texts[1],
        "The registry file HKCU.reg from the Source PC cannot be read (line 4). Run "
        "'C:\\KestroBatch\\Temp.bat' in the Source PC again.");
    std::string hkcu;
    ASSERT_EQ(files().readText(wizard::AppPath + "\\tempreg\\HKCU.reg", hkcu), platform::FsError::None);
    EXPECT_EQ(hkcu.find("broken"), std::string::npos);
}

TEST_F(SourceHandOverTest, AnExportWithALineOverSixteenMebibytesIsRefusedAtOnceInBoundedMemory)
{
    clsRules rules(env());
    std::string folder;
    ASSERT_NO_FATAL_FAILURE(batchFileOnOldPc(rules, folder));
    const fs::path exports = platform::driveFolder(network / demo::kSourcePc98, 'C') / "KestroBatch";
    const auto write = [&exports](const char* name, const std::string& bytes) {
        std::ofstream(exports / name, std::ios::binary) << bytes;
    };
    // In a child that may take a quarter of the line's size: the line is never read whole.
    const std::string told = testsupport::withinMemory(std::size_t{256} << 20, [&] {
        BoxAnswers user;
        std::string copiesLeft;
        user.atBox = [&](int box) {
            if (box == 1 || box == 3) {
                write("HKCR.reg", "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\X]\r\n\"a\"=\"1\"\r\n");
                write("HKLM.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n\"a\"=\"1\"\r\n");
                write("HKCU.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"");
            }
            // The batch file's export with a line of 1 GiB (a hole, so that it costs no disk).
            if (box == 1)
                fs::resize_file(exports / "HKCU.reg", std::uintmax_t{1} << 30);
            else if (box == 3)
                write("HKCU.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"1\"\r\n");
            if (box == 2)
                for (const char* name : {"HKCR.reg", "HKCU.reg", "HKLM.reg"})
                    if (files().fileExists(wizard::AppPath + "\\tempreg\\" + name))
                        copiesLeft += name;
        };
        common::Service<platform::MessageService>::Override scoped{user};
        const bool handedOver = rules.Display_Msg_To_User();
        return std::string(handedOver ? "handed over" : "not handed over") + "|" +
            (user.texts.size() > 1 ? user.texts[1] : "") + "|" + copiesLeft;
    });
    EXPECT_EQ(told,
        "handed over|The registry file HKCU.reg from the Source PC (C:\\KestroBatch\\HKCU.reg) has a line "
        "longer than 16 MiB. Run 'C:\\KestroBatch\\Temp.bat' in the Source PC again.|");
}

TEST_F(SourceHandOverTest, AHostCallFailingDuringTheHandOverNeverLeavesAHalfExportBehind)
{
    clsRules rules(env());
    std::string folder;
    ASSERT_NO_FATAL_FAILURE(batchFileOnOldPc(rules, folder));
    const fs::path sourceHost = platform::driveFolder(network / demo::kSourcePc98, 'C') / "KestroBatch";
    const fs::path tempregHost =
        platform::driveFolder(network / demo::kDestinationPc, 'C') / "Program Files" / "Kestro" / "tempreg";
    const std::map<std::string, std::string> exports = {
        {"HKCR.reg", "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n"},
        {"HKCU.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel]\r\n\"a\"=\"1\"\r\n"},
        {"HKLM.reg",
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\r\n\"a\"=\"" + std::string(100000, 'x') +
                "\"\r\n"}};
    // The user: runs the batch file whenever asked to, if it is there (its exports written straight
    // to the source's disk, past the faults), and clicks OK on every box.
    struct User : platform::MessageService {
        std::function<void()> runBatch;
        std::vector<std::string> texts;
        std::size_t giveUpAfter = 10; // boxes, then Cancel
        platform::MsgResult show(const platform::MessageRequest& r) override
        {
            texts.push_back(r.text);
            const bool asked = r.text.find("Temp.bat'.") != std::string::npos;
            // A hand-over that keeps asking is given up (Cancel, then OK to leave).
            if (asked && texts.size() > giveUpAfter)
                return platform::MsgResult::Cancel;
            if (asked)
                runBatch();
            return platform::MsgResult::Ok;
        }
    } user;
    user.runBatch = [&] {
        if (!fs::exists(sourceHost / wizard::kBatchFileName))
            return;
        for (const auto& [name, bytes] : exports)
            std::ofstream(sourceHost / name, std::ios::binary) << bytes;
    };
    common::Service<platform::MessageService>::Override scoped{user};
    const std::string tempreg = wizard::AppPath + "\\tempreg\\";
    const fs::path newPc = network / demo::kDestinationPc;
    ASSERT_TRUE(platform::RunRecord::start(newPc));
    const auto handOverUnder = [&](testsupport::FailNthCall& faults, testsupport::FaultSpan span) {
        wizard::HandOverSource.clear();
        fs::remove_all(sourceHost);
        for (const auto& [name, bytes] : exports)
            files().deleteFile(tempreg + name, true);
        user.texts.clear();
        bool handedOver = false;
        {
            const auto scope = faults.install();
            handedOver = rules.Display_Msg_To_User();
        }
        const int error = faults.error();
        const bool once = span == testsupport::FaultSpan::Once;
        const std::string at = "the call " + std::to_string(faults.n()) + (once ? "" : " on") +
            " failing with " + std::to_string(error);
        // Once: each fault costs the user at most one more round; the exports then arrive whole. From
        // then on: the user gives up, and what arrived is whole.
        if (once) {
            ASSERT_TRUE(handedOver) << at;
        }
        if (handedOver) {
            EXPECT_EQ(wizard::transferGlobals().checkedMirrors.size(), 3u) << at;
        }
        for (const auto& [name, bytes] : exports) {
            std::string copied;
            const platform::FsError read = files().readFile(tempreg + name, copied);
            if (handedOver || read == platform::FsError::None) {
                EXPECT_EQ(read, platform::FsError::None) << name << " " << at;
                EXPECT_EQ(copied, bytes) << name << " " << at;
            }
        }
        // Nothing else is left there, no partial copy under a name no listing shows, unless the run
        // says so; the next start takes it away.
        const auto leftThere = [&] {
            std::vector<std::string> left;
            for (const auto& e : fs::directory_iterator(tempregHost))
                if (e.path().filename() != ":attributes" && !exports.count(e.path().filename().string()))
                    left.push_back(e.path().filename().string());
            return left;
        };
        if (once) {
            EXPECT_TRUE(leftThere().empty()) << at;
        }
        const std::vector<std::string> said = platform::RunRecord::leftBehind();
        for (const std::string& name : leftThere())
            EXPECT_NE(std::find(said.begin(), said.end(), (tempregHost / name).string()), said.end())
                << name << " left unsaid after " << at;
        platform::RunRecord::finish();
        platform::removeUnfinishedRuns(newPc, platform::RunningMachine::current()->network());
        ASSERT_TRUE(platform::RunRecord::start(newPc));
        EXPECT_TRUE(leftThere().empty()) << at;
        for (const std::string& file : said)
            EXPECT_FALSE(fs::exists(file)) << file << " after the next start, " << at;
        if (handedOver) {
            std::size_t there = 0;
            for (const auto& e : fs::directory_iterator(tempregHost))
                there += e.path().filename() != ":attributes";
            EXPECT_EQ(there, 3u) << at;
        }
        if (error == EINTR || !faults.fired()) {
            EXPECT_TRUE(handedOver) << at;
            EXPECT_EQ(user.texts.size(), 1u) << at;
        }
        // A run given up was asked to end: the next attempt starts as the wizard did.
        wizard::resetProgramEnd();
    };
    for (const int error : {EIO, ENOSPC, EINTR}) {
        const int runs = testsupport::failEachCallInTurn(error,
            [&](testsupport::FailNthCall& faults) { handOverUnder(faults, testsupport::FaultSpan::Once); });
        EXPECT_GT(runs, 20) << error;
    }
    // A disk that stays broken or full: the user gives up after a few rounds; the exit then changes
    // nothing of the network (its clean-up is the exit routine's own concern).
    struct KeepAll : wizard::ExitServices {
        bool folderExists(const std::string&) override { return true; }
        bool deleteFolder(const std::string&) override { return true; }
        bool deleteFile(const std::string&) override { return true; }
        bool fileExists(const std::string&) override { return false; }
        bool cancelConnection(const std::string&) override { return true; }
        bool importRegistryFile(const std::string&) override { return true; }
        bool restartMachine() override { return true; }
    } keepAll;
    common::Service<wizard::ExitServices>::Override exit{keepAll};
    user.giveUpAfter = 3;
    for (const int error : {EIO, ENOSPC}) {
        const int runs = testsupport::failFromEachCallOn(error, [&](testsupport::FailNthCall& faults) {
            handOverUnder(faults, testsupport::FaultSpan::FromThenOn);
        });
        EXPECT_GT(runs, 20) << error;
    }
    platform::RunRecord::finish();
}

TEST_F(SourceHandOverTest, ExportsNamingKeysOutsideTheirOwnMirrorAreRefusedWithFileAndLine)
{
    clsRules rules(env());
    std::string folder;
    ASSERT_NO_FATAL_FAILURE(batchFileOnOldPc(rules, folder));
    const std::string run = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]";
    const auto utf16 = [](const std::string& text) { return "\xFF\xFE" + platform::cp1252ToUtf16le(text); };
    struct Case {
        const char* file;
        std::string bytes;
        const char* why;
    };
    const Case cases[] = {
        {"HKCU.reg", "REGEDIT4\r\n\r\n" + run + "\r\n\"x\"=\"y\"\r\n", "outside HKEY_CURRENT_USER (line 3)"},
        {"HKLM.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n[HKEY_CURRENT_USER\\B]\r\n",
            "outside HKEY_LOCAL_MACHINE (line 4)"},
        {"HKLM.reg", "REGEDIT4\r\n\r\n[HKLM\\SOFTWARE\\A]\r\n", "outside HKEY_LOCAL_MACHINE (line 3)"},
        {"HKLM.reg", "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT]\r\n",
            "outside HKEY_LOCAL_MACHINE (line 3)"},
        {"HKCU.reg", "REGEDIT4\r\n[HKEY_USERS\\.DEFAULT]\r\n", "outside HKEY_CURRENT_USER (line 2)"},
        {"HKLM.reg", "REGEDIT4\r\n[HKEY_CURRENT_CONFIG\\X]\r\n", "outside HKEY_LOCAL_MACHINE (line 2)"},
        {"HKCR.reg", "REGEDIT\r\nHKEY_CLASSES_ROOT\\exefile = planted\r\n",
            "outside HKEY_CLASSES_ROOT (line 2)"},
        {"HKCU.reg",
            utf16("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n"),
            "outside HKEY_CURRENT_USER (line 3)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        wizard::HandOverSource.clear(); // each case is a first hand-over, not this run's exports again
        BoxAnswers user;
        user.atBox = [&](int box) {
            if (box == 1 || box == 3) {
                EXPECT_EQ(runBatchOnSource(demo::kSourcePc98), 0);
            }
            if (box == 1) {
                EXPECT_EQ(files().writeFile(folder + c.file, c.bytes), platform::FsError::None);
            }
        };
        common::Service<platform::MessageService>::Override scoped{user};
        ASSERT_TRUE(rules.Display_Msg_To_User());
        ASSERT_EQ(user.texts.size(), 3u);
        EXPECT_EQ(user.texts[1],
            std::string("The registry file ") + c.file + " from the Source PC names a key " + c.why +
                ". Run 'C:\\KestroBatch\\Temp.bat' in the Source PC again.");
        std::string taken;
        ASSERT_EQ(files().readFile(wizard::AppPath + "\\tempreg\\" + c.file, taken), platform::FsError::None);
        EXPECT_NE(taken, c.bytes) << "the batch file's own export replaced it";
    }
}

TEST_F(SourceHandOverTest, SwitchedOffSourceAndMissingLinksAreRefused)
{
    // OLDPC switched off: its name no longer resolves, as for an unknown computer.
    platform::MachineConfig old;
    std::string error;
    ASSERT_TRUE(platform::loadMachineConfig(network / demo::kSourcePc98, old, error)) << error;
    old.reachable = false;
    ASSERT_TRUE(platform::saveMachineConfig(network / demo::kSourcePc98, old, error)) << error;
    clsRules rules(env());
    connectTo("OLDPC", "Opt98");
    pages.checked.erase("Frm_ConnectionType.optNWLan");
    pages.checked.insert("Frm_ConnectionType.optNWCbl");
    EXPECT_FALSE(rules.Validate_Source_PC());
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Crossover_validate"});
    EXPECT_EQ(pages.focused.back(), "txtuser");

    // The destination without a network adapter: the port check's dialog and status.
    platform::MachineConfig self = platform::RunningMachine::current()->config();
    self.networkAdapter = false;
    ASSERT_TRUE(platform::saveMachineConfig(network / demo::kDestinationPc, self, error)) << error;
    platform::RunningMachine::use(network / demo::kDestinationPc);
    EXPECT_FALSE(rules.Validate_Network_Port());
    EXPECT_EQ(dialogs.back(), "frm_Error_Port_Validate");
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Validating port,failed!");
    EXPECT_EQ(wizard::wizardWindows().mousePointer(), wizard::MousePointer::Default);
    EXPECT_EQ(wizard::Get_IP_Address("OLDXP"), wizard::kUnresolvedAddress);

    // USB: the destination's registry names its bridge; without one the USB dialog.
    wizard::DestinationOs = "winxp";
    const bool bridge = rules.Validate_USB();
    EXPECT_EQ(bridge, wizard::Check_USB_Bridge());
    if (!bridge)
        EXPECT_EQ(dialogs.back(), "frm_Error_USB_Port");
}

TEST_F(SourceHandOverTest, BatchFileModesFollowTheMigrationTypePage)
{
    clsRules rules(env());
    wizard::SourceOs = "winxp";
    wizard::SourcePcName = "OLDXP";
    // Files and folders alone need no registry; the batch file is written all the same.
    pages.checked = {"Frm_MigrationType.optSel", "Frm_MigrationType.chk_Files_and_Folders"};
    EXPECT_TRUE(rules.Create_Batch_File());
    EXPECT_FALSE(wizard::RegistryRequired);
    EXPECT_EQ(variables.count("$bln_reg_required"), 0u);
    EXPECT_EQ(wizard::MigrationMode, "selective");
    std::string bat;
    ASSERT_EQ(files().readText(wizard::AppPath + "\\temp\\Temp.bat", bat), platform::FsError::None);
    EXPECT_NE(
        bat.find("regedit.exe /a C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"\r\n"), std::string::npos);

    pages.checked = {"Frm_MigrationType.optMass"};
    EXPECT_TRUE(rules.Create_Batch_File());
    EXPECT_TRUE(wizard::RegistryRequired);
    EXPECT_EQ(variables["$bln_reg_required"], "true");
    EXPECT_EQ(variables["$st_migration_type"], "mass");

    // A repeated pass re-reads the mode only and writes no batch file.
    files().deleteFile(wizard::AppPath + "\\temp\\Temp.bat");
    pages.checked = {"Frm_MigrationType.optSel"};
    EXPECT_TRUE(rules.Create_Batch_File());
    EXPECT_EQ(wizard::MigrationMode, "selective");
    EXPECT_FALSE(files().fileExists(wizard::AppPath + "\\temp\\Temp.bat"));

    // A batch file that cannot be written keeps the wizard on its page.
    wizard::RegistryRequired = false;
    files().deleteFolder(wizard::AppPath + "\\temp", true);
    files().writeText(wizard::AppPath + "\\temp", "a file where the folder should be");
    EXPECT_FALSE(rules.Create_Batch_File());
    EXPECT_EQ(messages.shown().back().text,
        "Not able to create Batch File In Destination PC User must have Administrator right in Destination "
        "PC");
    EXPECT_EQ(wizard::wizardWindows().statusText(), "Getting remote PC information had failed!");
}

TEST_F(SourceHandOverTest, LongNamesAndMailAddresses)
{
    files().createFolder("C:\\Program Files\\Microsoft Office");
    EXPECT_EQ(wizard::GetLongFilename("C:\\PROGRA~1\\MICROS~1"), "C:\\Program Files\\Microsoft Office");
    EXPECT_EQ(wizard::GetLongFilename("C:\\program files\\nothere"), "C:\\Program Files\\");

    EXPECT_EQ(wizard::encodeMailField("a&b c?"), "a%26b%20c%3F");
    testsupport::RecordingShellService shell;
    common::Service<platform::ShellService>::Override scopedShell{shell};
    wizard::OpenEmail("MailTo:help@kestro.example", "", "Hi & bye");
    wizard::OpenEmail("a b@x.example?cc=c@d.example", "Q&A", "");
    ASSERT_EQ(shell.requests().size(), 2u);
    EXPECT_EQ(shell.requests()[0].target, "mailto:help@kestro.example?body=Hi%20%26%20bye");
    EXPECT_EQ(shell.requests()[1].target, "mailto:a%20b@x.example%3Fcc=c@d.example?subject=Q%26A");
    EXPECT_EQ(wizard::encodeMailField("x@y.com", "-._~@"), "x@y.com");
}

TEST_F(SourceHandOverTest, InstallerKeysMoveFromTheMirrorOrNothingHappens)
{
    wizard::SourceOs = "win2k";
    EXPECT_TRUE(wizard::Fix_Installer_Keys()) << "nothing to move for a 2000 source";
    wizard::SourceOs = "winxp";
    EXPECT_TRUE(wizard::Fix_Installer_Keys()) << "a source without the product has nothing to move";

    // The product's features in the mirror reach the installer's place.
    platform::Registry& reg = platform::RunningMachine::current()->registry();
    platform::RegKey key;
    const std::string features = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                 "CurrentVersion\\Installer\\Features\\904010001E872D116BF00006799C897E";
    ASSERT_EQ(reg.createKey(platform::RegKey(platform::RegRoot::LocalMachine), features, key),
        platform::WinError::Success);
    ASSERT_EQ(reg.setString(key, "WORDFiles", "Word"), platform::WinError::Success);
    EXPECT_TRUE(wizard::Fix_Installer_Keys());
    platform::RegKey real;
    ASSERT_EQ(reg.openKey(platform::RegKey(platform::RegRoot::LocalMachine),
                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\"
                  "904010001E872D116BF00006799C897E\\Features",
                  real),
        platform::WinError::Success);
    std::string value;
    EXPECT_EQ(reg.queryString(real, "WORDFiles", value), platform::WinError::Success);
    EXPECT_EQ(value, "Word");
}

} // namespace
