// HandOverWalkTest.cpp: the wizard on the demo network's NEWPC, walked as a user would from the
// agreement to the connection page and on to the source registry mirrored under SOFTWARE\QZ, with
// the user running Temp.bat on the source through the batch runner: a Windows 98 source with
// share-level access and a Windows XP source with a logon. Also the refusals on the way.
#include "platform/MessageBox.h"
#include "platform/ProcessRunner.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/core/PageOnScreen.h"
#include "tests/wizard/core/QtTestApp.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/connection/ConnectionTypePage.h"
#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/KestroApp.h"
#include "wizard/core/KestroMain.h"
#include "wizard/core/PageRoutines.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardPage.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/XmlEngine.h"
#include "wizard/pages/PageFrame.h"
#include "wizard/pages/RegisterPages.h"
#include "wizard/selection/MigrationTypePage.h"
#include "wizard/transfer/TransferActions.h"
#include "wizard/transfer/TransferGlobals.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

// The user at the message boxes: answers each box in turn, doing `before` first (running the
// batch file on the source).
class User : public platform::MessageService {
public:
    struct Step {
        platform::MsgResult answer;
        std::function<void()> before;
    };
    platform::MsgResult show(const platform::MessageRequest& request) override
    {
        shown.push_back(request.text);
        if (steps.empty())
            return platform::MsgResult::Ok;
        Step step = steps.front();
        steps.erase(steps.begin());
        if (step.before)
            step.before();
        return step.answer;
    }
    std::vector<Step> steps;
    std::vector<std::string> shown;
};

class HandOverWalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::qtApp();
        testsupport::resetWizardRun();
        wizard::transferGlobals().driveMap.clear();
        std::string pattern = (fs::temp_directory_path() / "handover-walk-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        network = pattern;
        demo::DemoOptions options;
        options.dataFolders = {KESTRO_SOURCE_DATA, KESTRO_BUILT_DATA};
        std::string error;
        ASSERT_TRUE(demo::buildDemoNetwork(network, options, error)) << error;
        ::setenv("WINENV_MACHINE", (network / demo::kDestinationPc).c_str(), 1);
        ASSERT_EQ(platform::RunningMachine::use(network / demo::kDestinationPc), platform::WinError::Success);
        wizard::registerInformationPages();
        wizard::registerSelectionPages();
        wizard::registerConnectionPages();
        previousPresenter =
            wizard::setTroubleshootingPresenter([this](const std::string& form) { dialogs.push_back(form); });
    }
    void TearDown() override
    {
        wizard::setTroubleshootingPresenter(previousPresenter);
        for (const char* form :
            {"Frm_Preparatory", "Frm_PreparatoryTask", "Frm_MigrationType", "Frm_ConnectionType"})
            wizard::KestroMain::unregisterPage(form);
        wizard::setBarClickHandler({});
        wizard::transferGlobals().driveMap.clear();
        testsupport::resetWizardRun();
        platform::RunningMachine::close();
        ::unsetenv("WINENV_MACHINE");
        std::error_code ec;
        fs::remove_all(network, ec);
    }
    wizard::StartOptions startOptions()
    {
        wizard::StartOptions o;
        o.appPath = demo::kWizardFolder;
        o.machineFolder = network / demo::kDestinationPc;
        o.showSplash = [] {};
        return o;
    }
    template <class T> T* control(wizard::KestroMain* w, const char* form, const char* name)
    {
        wizard::WizardPage* page = w->findChild<wizard::WizardPage*>(form);
        return page ? page->findChild<T*>(name) : nullptr;
    }
    std::string activeForm(wizard::KestroMain* w)
    {
        const wizard::WizardPage* page = testsupport::pageOnScreen(*w);
        return page ? page->objectName().toStdString() : std::string("KestroMain");
    }
    void next(wizard::KestroMain* w) { w->findChild<QPushButton*>("Btn_Next")->click(); }
    // From the agreement to the connection page with the source system `osOption` chosen.
    void walkToConnectionPage(wizard::KestroMain* w, const char* osOption)
    {
        w->findChild<QPushButton*>("Btn_Accept")->click();
        next(w);
        control<QCheckBox>(w, "Frm_PreparatoryTask", "Check3")->click();
        control<QCheckBox>(w, "Frm_PreparatoryTask", "Check4")->click();
        control<QRadioButton>(w, "Frm_PreparatoryTask", osOption)->click();
        next(w);
        ASSERT_EQ(activeForm(w), "Frm_MigrationType");
        next(w);
        ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    }
    void fillConnection(
        wizard::KestroMain* w, const char* name, const char* user = "", const char* password = "")
    {
        control<QRadioButton>(w, "Frm_ConnectionType", "optNWLan")->click();
        if (!control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->isChecked())
            control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->click();
        control<QLineEdit>(w, "Frm_ConnectionType", "txt_Source_Name")->setText(name);
        control<QLineEdit>(w, "Frm_ConnectionType", "txtuser")->setText(user);
        control<QLineEdit>(w, "Frm_ConnectionType", "TxtPass")->setText(password);
    }
    std::function<void()> runBatchOn(const char* source)
    {
        return [this, source] {
            platform::StartOptions options;
            options.machineFolder = network / source;
            std::uint32_t code = 1;
            batchResult = platform::runProcess("winbatch C:\\KestroBatch\\Temp.bat", options, &code);
            batchExit = code;
        };
    }
    // A value of the destination's registry, "" when missing.
    static std::string destinationValue(const std::string& key, const std::string& name)
    {
        platform::Registry& reg = platform::RunningMachine::current()->registry();
        platform::RegKey k;
        if (reg.openKey(platform::RegKey(platform::RegRoot::LocalMachine), key, k) !=
            platform::WinError::Success)
            return "<no key>";
        std::string value;
        reg.queryString(k, name, value);
        return value;
    }
    static bool destinationKeyExists(const std::string& key)
    {
        platform::RegKey k;
        return platform::RunningMachine::current()->registry().openKey(
                   platform::RegKey(platform::RegRoot::LocalMachine), key, k) == platform::WinError::Success;
    }
    std::vector<std::string> connections()
    {
        std::vector<std::string> out;
        for (const platform::DriveConnection& c :
            platform::RunningMachine::current()->network().connections())
            out.push_back(std::string(1, c.letter) + ":" + c.remotePath);
        return out;
    }

    fs::path network;
    wizard::TroubleshootingPresenter previousPresenter;
    std::vector<std::string> dialogs;
    User user;
    common::Service<platform::MessageService>::Override scope{user};
    platform::WinError batchResult = platform::WinError::GenFailure;
    std::uint32_t batchExit = 1;
};

TEST_F(HandOverWalkTest, Windows98SourceIsMirroredUnderQZ)
{
    wizard::KestroApp app(startOptions());
    ASSERT_TRUE(app.Main());
    wizard::installTransferActions();
    wizard::KestroMain* w = wizard::mainWindow();
    walkToConnectionPage(w, "Opt98");
    fillConnection(w, "OLDPC");

    // The instruction box: OK before the batch ran is asked again; then the user runs it.
    user.steps = {{platform::MsgResult::Ok, {}}, {platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
    next(w);
    EXPECT_EQ(batchResult, platform::WinError::Success);
    EXPECT_EQ(batchExit, 0u);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    // Only the two instruction boxes: no step reported a failure.
    ASSERT_EQ(user.shown.size(), 2u) << user.shown.back();
    EXPECT_NE(user.shown[0].find("C:\\KestroBatch\\Temp.bat"), std::string::npos);
    EXPECT_EQ(wizard::SourcePcName, "OLDPC");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_source_os"), "win98");
    ASSERT_TRUE(wizard::transferGlobals().driveMap.lookup("C:"));
    EXPECT_TRUE(wizard::transferGlobals().driveMap.lookup("D:")); // OLDPC shares D$ too

    // The source's hives below SOFTWARE\QZ, named after each hive.
    EXPECT_TRUE(destinationKeyExists(
        "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_CURRENT_USER"));
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_CLASSES_ROOT"));
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ"));
    EXPECT_FALSE(w->busyWindowOpen()) << "the wait's busy window closes once the mirror is merged";

    // The end of the script: Next changes nothing more and says so; Previous is one page back.
    wizard::XmlEngine& engine = wizard::core().engine;
    EXPECT_TRUE(engine.reachedEnd());
    EXPECT_EQ(w->statusText(), wizard::kEndOfScriptStatus);
    EXPECT_EQ(engine.HistoryStep, 5);
    w->findChild<QPushButton*>("Btn_Back")->click();
    EXPECT_EQ(activeForm(w), "Frm_MigrationType");
    EXPECT_EQ(engine.HistoryStep, 4);
}

TEST_F(HandOverWalkTest, WindowsXpSourceWithItsLogonIsMirroredUnderQZ)
{
    wizard::KestroApp app(startOptions());
    ASSERT_TRUE(app.Main());
    wizard::installTransferActions();
    wizard::KestroMain* w = wizard::mainWindow();
    walkToConnectionPage(w, "OptXP");

    // A wrong password: the logon dialog, the page stays and nothing is connected.
    fillConnection(w, "OLDXP", "Sarah", "red17");
    next(w);
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Log_Map"});
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_TRUE(connections().empty());
    EXPECT_EQ(wizard::core().engine.HistoryStep, 5);

    fillConnection(w, "OLDXP", "Sarah", "blue42");
    user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePcXp)}};
    next(w);
    EXPECT_EQ(batchExit, 0u);
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(user.shown.size(), 1u) << user.shown.back();
    EXPECT_EQ(wizard::LogonUserName, "Sarah");
    EXPECT_EQ(connections().size(), 1u);
    EXPECT_TRUE(destinationKeyExists(
        "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
    EXPECT_TRUE(destinationKeyExists("SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software"));
    EXPECT_EQ(w->statusText(), wizard::kEndOfScriptStatus);
}

TEST_F(HandOverWalkTest, RefusalsLeaveTheDestinationAsItWas)
{
    wizard::KestroApp app(startOptions());
    ASSERT_TRUE(app.Main());
    wizard::installTransferActions();
    wizard::KestroMain* w = wizard::mainWindow();
    walkToConnectionPage(w, "Opt98");

    // An unknown computer, the destination's own name, a forbidden character: the page stays.
    fillConnection(w, "NOSUCHPC");
    next(w);
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Lan_validate"});
    fillConnection(w, "NEWPC");
    next(w);
    fillConnection(w, "old*pc");
    next(w);
    ASSERT_EQ(user.shown.size(), 2u);
    EXPECT_EQ(user.shown[0], "Please give Source PC name, you have given local PC's name!");
    EXPECT_EQ(user.shown[1], "Please enter valid Source PC name!");

    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_EQ(wizard::core().engine.HistoryStep, 5);
    EXPECT_TRUE(connections().empty());
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));

    // The exports never arrive: Cancel asks the exit question; No goes back to waiting, Yes ends.
    fillConnection(w, "OLDPC");
    user.steps = {{platform::MsgResult::Cancel, {}}, {platform::MsgResult::No, {}},
        {platform::MsgResult::Cancel, {}}, {platform::MsgResult::Yes, {}}};
    next(w);
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));
}

TEST_F(HandOverWalkTest, TheWrongSourceSystemIsRefusedAndItsMappingUndone)
{
    wizard::KestroApp app(startOptions());
    ASSERT_TRUE(app.Main());
    wizard::installTransferActions();
    wizard::KestroMain* w = wizard::mainWindow();
    // OLDPC is a Windows 98 PC; Windows 2000 was chosen.
    walkToConnectionPage(w, "Opt2K");
    fillConnection(w, "OLDPC", "Martin", "");
    next(w);
    EXPECT_EQ(dialogs, std::vector<std::string>{"frm_Error_Get_SourcePC_Info"});
    EXPECT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_TRUE(connections().empty());
    EXPECT_TRUE(wizard::transferGlobals().driveMap.entries().empty());
    EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ"));
}

} // namespace
