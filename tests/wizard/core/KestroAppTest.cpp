// KestroAppTest.cpp: start-up on a small machine with the built main script: one copy, first
// variables, splash, the agreement page, Accept, Decline and a missing script.
#include "wizard/program/KestroApp.h"

#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "platform/qt/QtMessageService.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/core/FirstPageBar.h"
#include "tests/wizard/core/PageOnScreen.h"
#include "tests/wizard/core/QtTestApp.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using wizard::BarButton;

// The page that follows the agreement: sets the bar as the first wizard page does.
class FirstPage : public wizard::WizardPage {
public:
    using WizardPage::WizardPage;
    void activated() override { testsupport::showFirstPageBar(*mainWindow()); }
};

class KestroAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::qtApp();
        testsupport::resetWizardRun();
        fs::copy(fs::path(KESTRO_BUILT_DATA) / "WKXFiles", machine.appFolder() / "WKXFiles",
            fs::copy_options::recursive);
        fs::copy(fs::path(KESTRO_BUILT_DATA) / "RegFiles", machine.appFolder() / "RegFiles",
            fs::copy_options::recursive);
    }
    void TearDown() override
    {
        wizard::KestroMain::unregisterPage("Frm_Preparatory");
        testsupport::resetWizardRun();
    }
    wizard::StartOptions options()
    {
        wizard::StartOptions o;
        o.appPath = "C:\\Program Files\\Kestro";
        o.machineFolder = machine.folder();
        o.showSplash = [this] { ++splashes; };
        return o;
    }
    // Starts the program and accepts the agreement; the page after it is a FirstPage.
    void acceptOntoFirstPage(wizard::KestroApp& app, wizard::KestroMain*& w)
    {
        wizard::KestroMain::registerPage("Frm_Preparatory", [](wizard::KestroMain& main, QWidget* area) {
            return new FirstPage(&main, "Frm_Preparatory", area);
        });
        ASSERT_TRUE(app.Main());
        w = wizard::mainWindow();
        w->findChild<QPushButton*>("Btn_Accept")->click();
    }
    fs::path logFile() const { return machine.appFolder() / "Kestro_Log_File.txt"; }
    std::string variablesText() const
    {
        std::ifstream in(machine.appFolder() / "System_variables.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    testsupport::TestMachine machine;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};
    int splashes = 0;
};

TEST_F(KestroAppTest, StartUpRunsTheMainScriptToTheAgreementPage)
{
    wizard::KestroApp app(options());
    ASSERT_TRUE(app.Main());
    EXPECT_EQ(splashes, 1);
    wizard::KestroMain* w = wizard::mainWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(testsupport::pageOnScreen(*w), nullptr);
    EXPECT_TRUE(w->welcomePanelVisible());
    EXPECT_TRUE(w->buttonVisible(BarButton::Accept));
    EXPECT_TRUE(w->buttonVisible(BarButton::Decline));
    EXPECT_FALSE(w->buttonVisible(BarButton::Next));
    EXPECT_EQ(w->statusText(), "To perform migration, accept the agreement");
    EXPECT_EQ(wizard::core().engine.HistoryStep, 1);
    EXPECT_TRUE(wizard::core().engine.StopFlag);
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_kestro_path"), "C:\\Program Files\\Kestro");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$bln_office_copied"), "false");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$bln_first_run"), "true");
    EXPECT_NE(variablesText().find("$bln_first_run = true"), std::string::npos);
    EXPECT_EQ(platform::applicationHelpFile(), "C:\\Program Files\\Kestro\\Product_Help.chm");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(KestroAppTest, AStartAfterARunThatLoggedIsNotAFirstRun)
{
    {
        std::ofstream(logFile()) << "log";
    }
    wizard::KestroApp app(options());
    ASSERT_TRUE(app.Main());
    EXPECT_EQ(wizard::Get_System_Variable_Value("$bln_first_run"), "false");
}

TEST_F(KestroAppTest, AcceptWithoutTheNextPageBuiltStaysOnTheAgreement)
{
    wizard::KestroApp app(options());
    ASSERT_TRUE(app.Main());
    wizard::mainWindow()->findChild<QPushButton*>("Btn_Accept")->click();
    EXPECT_EQ(testsupport::pageOnScreen(*wizard::mainWindow()), nullptr);
    EXPECT_TRUE(wizard::mainWindow()->buttonVisible(BarButton::Accept));
    EXPECT_TRUE(wizard::mainWindow()->welcomePanelVisible());
    EXPECT_FALSE(wizard::programEndRequested());
}

TEST_F(KestroAppTest, AcceptShowsTheFirstPageAndItsButtonBar)
{
    wizard::KestroApp app(options());
    wizard::KestroMain* w = nullptr;
    ASSERT_NO_FATAL_FAILURE(acceptOntoFirstPage(app, w));
    ASSERT_NE(testsupport::pageOnScreen(*w), nullptr);
    EXPECT_EQ(testsupport::pageOnScreen(*w)->objectName(), "Frm_Preparatory");
    EXPECT_EQ(w->statusText(), "Follow the preparatory task for better performance");
    EXPECT_TRUE(wizard::WizardStarted);
    for (BarButton b : {BarButton::Help, BarButton::Back, BarButton::Next, BarButton::Cancel})
        EXPECT_TRUE(w->buttonVisible(b));
    EXPECT_FALSE(w->buttonEnabled(BarButton::Back));
    EXPECT_FALSE(w->buttonVisible(BarButton::Accept));
    EXPECT_FALSE(w->buttonVisible(BarButton::Decline));
    EXPECT_FALSE(w->welcomePanelVisible());
    EXPECT_EQ(wizard::core().engine.HistoryStep, 2);
    // Next: the required-tasks page is not built, so the wizard stays on the first page.
    w->Btn_Next_Click();
    EXPECT_EQ(testsupport::pageOnScreen(*w)->objectName(), "Frm_Preparatory");
    EXPECT_TRUE(w->buttonVisible(BarButton::Next));
}

// The exit question, as the program shows it, opens centred on the main window however the window
// was moved.
TEST_F(KestroAppTest, AQuestionOpensCentredOnTheMainWindow)
{
    wizard::KestroApp app(options());
    wizard::KestroMain* w = nullptr;
    ASSERT_NO_FATAL_FAILURE(acceptOntoFirstPage(app, w));
    w->move(260, 170);
    platform::qt::QtMessageService boxes;
    common::Service<platform::MessageService>::Override shown{boxes};
    QRect box;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(open, nullptr);
        box = open->frameGeometry();
        text = open->text();
        open->button(QMessageBox::No)->click();
    });
    w->Cancel_Click();
    EXPECT_EQ(text, "Are you sure you want to exit Kestro?");
    EXPECT_FALSE(wizard::programEndRequested());
    const QPoint offset = box.center() - w->frameGeometry().center();
    EXPECT_TRUE(std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1)
        << "box at " << box.x() << "," << box.y() << " " << box.width() << "x" << box.height()
        << ", window at " << w->x() << "," << w->y() << " " << w->frameGeometry().width() << "x"
        << w->frameGeometry().height();
}

TEST_F(KestroAppTest, DeclineDeletesTheLogAndEndsWithoutAQuestion)
{
    wizard::KestroApp app(options());
    ASSERT_TRUE(app.Main());
    wizard::FN_Write_Log("KestroAppTest", "Start", true);
    ASSERT_TRUE(fs::exists(logFile()));
    wizard::mainWindow()->findChild<QPushButton*>("Btn_Decline")->click();
    EXPECT_FALSE(fs::exists(logFile()));
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(KestroAppTest, CancelOnTheAgreementPageEndsAtOnceAndLeavesTheFiles)
{
    wizard::KestroApp app(options());
    ASSERT_TRUE(app.Main());
    wizard::mainWindow()->Cancel_Click();
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_TRUE(messages.shown().empty());
    // No clean-up before the wizard started: the plain script stays.
    EXPECT_TRUE(fs::exists(machine.appFolder() / "WKXFiles" / "Dec_Kestro.xml"));
}

TEST_F(KestroAppTest, ASecondCopyIsRefusedWithoutTouchingAnything)
{
    auto running = platform::NamedMutex::create(machine.folder(), "Kestro");
    ASSERT_TRUE(running.owned());
    messages.answer(platform::MsgResult::Ok);
    wizard::KestroApp app(options());
    EXPECT_FALSE(app.Main());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Kestro is already open! to better performance, please restart");
    EXPECT_EQ(messages.shown()[0].buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::Information);
    EXPECT_EQ(splashes, 0);
    EXPECT_EQ(wizard::mainWindow(), nullptr);
    EXPECT_FALSE(fs::exists(logFile()));
    EXPECT_FALSE(fs::exists(machine.appFolder() / "System_variables.txt"));
}

// A machine the program cannot run on is told in a box where there is a screen; nothing is made
// on it, and a machine whose registry is missing does not get an empty one.
TEST_F(KestroAppTest, AMachineThatCannotBeOpenedIsToldAndNothingStarts)
{
    const fs::path second = machine.folder().parent_path() / "second";
    fs::create_directories(second);
    fs::copy_file(machine.folder() / "machine.ini", second / "machine.ini");
    const fs::path damaged = machine.folder().parent_path() / "damaged";
    fs::create_directories(damaged);
    std::ofstream(damaged / "machine.ini") << "[Machine]\nOS=win31\n";
    const struct {
        const char* folder;
        std::string says;
    } cases[] = {
        {nullptr, "WINENV_MACHINE is not set"},
        {"", "WINENV_MACHINE is not set"},
        {"/nonexistent/kestro-machine", "/nonexistent/kestro-machine does not exist"},
        {damaged.c_str(), (damaged / "machine.ini").string()},
        {second.c_str(), (second / platform::Machine::kRegistryFileName).string() + " is missing"},
    };
    for (const auto& c : cases) {
        if (c.folder)
            ::setenv("WINENV_MACHINE", c.folder, 1);
        else
            ::unsetenv("WINENV_MACHINE");
        messages.answer(platform::MsgResult::Ok);
        EXPECT_FALSE(wizard::openStartMachine(true)) << c.says;
        ASSERT_EQ(messages.shown().size(), 1u) << c.says;
        EXPECT_NE(messages.shown()[0].text.find(c.says), std::string::npos) << messages.shown()[0].text;
        EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::Critical);
        // Without a screen the reason goes to standard error alone.
        EXPECT_FALSE(wizard::openStartMachine(false));
        EXPECT_EQ(messages.shown().size(), 1u);
        messages = {};
    }
    EXPECT_FALSE(fs::exists(second / platform::Machine::kRegistryFileName));
    EXPECT_EQ(wizard::mainWindow(), nullptr);

    ::setenv("WINENV_MACHINE", machine.folder().c_str(), 1);
    EXPECT_TRUE(wizard::openStartMachine(true));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(platform::RunningMachine::current()->folder(), machine.folder());
}

TEST_F(KestroAppTest, ADamagedMainScriptIsNamedAndTheProgramEndsCleanly)
{
    for (const std::string& content : {std::string(), std::string("\x01\x02garbage\xff\xfe", 12),
             std::string("<kestro><performaction><action>execute</action>")}) {
        testsupport::resetWizardRun();
        messages = testsupport::ScriptedMessageService();
        {
            std::ofstream out(
                machine.appFolder() / "WKXFiles" / "Kestro.wkx", std::ios::binary | std::ios::trunc);
            out << content;
        }
        messages.answer(platform::MsgResult::Ok);
        wizard::KestroApp app(options());
        EXPECT_FALSE(app.Main());
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_NE(messages.shown()[0].text.find("Kestro.xml"), std::string::npos) << messages.shown()[0].text;
        EXPECT_TRUE(wizard::programEndRequested());
        EXPECT_NE(wizard::programExitCode(), 0);
        EXPECT_FALSE(fs::exists(machine.appFolder() / "WKXFiles" / "Dec_Kestro.xml"))
            << "the plain script is removed on the way out";
    }
}

TEST_F(KestroAppTest, AMissingScriptShowsTheLoadFailureAndEndsCleanly)
{
    fs::remove_all(machine.appFolder() / "WKXFiles");
    messages.answer(platform::MsgResult::Ok);
    wizard::KestroApp app(options());
    EXPECT_FALSE(app.Main());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Application files are deleted, Kestro will not run!");
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_FALSE(wizard::mainWindow()->isVisible());
}

} // namespace

namespace {

// A first page whose showing ends the wizard through the exit routine (as a troubleshooting
// dialog's Close does from inside an engine step).
class EndingPage : public wizard::WizardPage {
public:
    using WizardPage::WizardPage;
    void activated() override { mainWindow()->Cancel_Click(); }
};

class CountingPage : public wizard::WizardPage {
public:
    using WizardPage::WizardPage;
    static inline int created = 0;
};

TEST_F(KestroAppTest, EndingInsideAnEngineStepStopsTheScriptAndCleansUp)
{
    wizard::KestroMain::registerPage("Frm_Preparatory", [](wizard::KestroMain& main, QWidget* area) {
        return new EndingPage(&main, "Frm_Preparatory", area);
    });
    wizard::KestroMain::registerPage("Frm_PreparatoryTask", [](wizard::KestroMain& main, QWidget* area) {
        ++CountingPage::created;
        return new CountingPage(&main, "Frm_PreparatoryTask", area);
    });
    fs::create_directories(machine.appFolder() / "temp");
    wizard::KestroApp app(options());
    ASSERT_TRUE(app.Main());
    messages.answer(platform::MsgResult::Yes);
    wizard::mainWindow()->findChild<QPushButton*>("Btn_Accept")->click();
    wizard::KestroMain::unregisterPage("Frm_PreparatoryTask");

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Are you sure you want to exit Kestro?");
    EXPECT_TRUE(wizard::programEndRequested());
    // The clean-up ran: working folder and plain script gone.
    EXPECT_FALSE(fs::exists(machine.appFolder() / "temp"));
    EXPECT_FALSE(fs::exists(machine.appFolder() / "WKXFiles" / "Dec_Kestro.xml"));
    // The script did not run on to the next page after the end.
    EXPECT_EQ(CountingPage::created, 0);
    EXPECT_EQ(wizard::mainWindow()->statusText(), "Please wait.. Kestro closing...!");
    // Later clicks do not reach the engine.
    wizard::mainWindow()->Btn_Next_Click();
    EXPECT_EQ(CountingPage::created, 0);
}

} // namespace
