// MainRoadWalkTest.cpp: the wizard started on an emulated destination PC with the built main script,
// walked from the agreement through the preparatory, required-task, migration-type and connection
// pages and back again, with the engine's navigation history.
#include "platform/EventPump.h"
#include "platform/HelpViewer.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/ShellOpen.h"
#include "platform/qt/QtHelpViewer.h"
#include "tests/support/platform/RecordingHelpService.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/core/PageOnScreen.h"
#include "tests/wizard/core/QtTestApp.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/ActionPrimitives.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/PanelHost.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/core/XmlEngine.h"
#include "wizard/program/StartKestro.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/ui/connection/ConnectionTypePage.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"
#include "wizard/ui/pages/PageFrame.h"
#include "wizard/ui/pages/PreparatoryRules.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using wizard::BarButton;

// The Quick Help panel (the one QFrame with a "_Caption" child) of a loaded page.
struct QuickHelpPanelCheck {
    wizard::KestroMain* window;
    const char* form;
    void expectFits() const
    {
        auto* page = window->findChild<wizard::WizardPage*>(form);
        ASSERT_NE(page, nullptr) << form;
        const QFrame* panel = nullptr;
        for (QFrame* f : page->findChildren<QFrame*>(Qt::FindDirectChildrenOnly))
            if (f->findChild<QLabel*>(f->objectName() + "_Caption"))
                panel = f;
        ASSERT_NE(panel, nullptr) << form;
        EXPECT_EQ(panel->geometry().right(), page->width() - 1) << form;
        EXPECT_EQ(panel->geometry().top(), 0) << form;
        EXPECT_EQ(panel->geometry().bottom(), page->height() - 1) << form;
    }
};

// The title band of a loaded page: the same top left corner and height on every page (the width is
// the page's own), the page's own icon, the title inside it in the same font.
void expectTitleBand(wizard::KestroMain* window, const char* form, const char* titleName, QRect& firstBand)
{
    auto* page = window->findChild<wizard::WizardPage*>(form);
    ASSERT_NE(page, nullptr) << form;
    auto* band = page->findChild<QFrame*>("Shape2");
    auto* image = page->findChild<QLabel*>("Image1");
    auto* title = page->findChild<QLabel*>(titleName);
    ASSERT_TRUE(band && image && title) << form;
    if (firstBand.isNull())
        firstBand = band->geometry();
    EXPECT_EQ(band->geometry().topLeft(), firstBand.topLeft()) << form;
    EXPECT_EQ(band->height(), firstBand.height()) << form;
    EXPECT_FALSE(image->pixmap().isNull()) << form;
    EXPECT_TRUE(band->geometry().contains(image->geometry())) << form;
    EXPECT_TRUE(band->geometry().contains(title->geometry())) << form;
    EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 15.75) << form;
}

class MainRoadWalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::qtApp();
        testsupport::resetWizardRun();
        fs::copy(fs::path(KESTRO_BUILT_DATA) / "WKXFiles", machine.appFolder() / "WKXFiles",
            fs::copy_options::recursive);
    }
    void TearDown() override { testsupport::resetWizardRun(); }
    // The program's own start-up on the test machine: every page and hook wired as the program
    // wires them; the boxes and help are the test's.
    wizard::KestroOptions options()
    {
        wizard::KestroOptions o;
        o.onRunningMachine = true;
        o.programServices = false;
        o.appPath = "C:\\Program Files\\Kestro";
        o.showSplash = [] {};
        return o;
    }
    // The destination PC's registry as Windows XP keeps it.
    void xpDestination()
    {
        platform::Machine m;
        ASSERT_EQ(m.open(machine.folder()), platform::WinError::Success);
        platform::Registry reg;
        ASSERT_EQ(reg.open(m.registryPath()), platform::WinError::Success);
        auto put = [&reg](platform::RegRoot root, const char* key, const char* name, const char* value) {
            platform::RegKey k;
            ASSERT_EQ(reg.createKey(platform::RegKey(root), key, k), platform::WinError::Success);
            ASSERT_EQ(reg.setString(k, name, value), platform::WinError::Success);
        };
        const char* nt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        const char* shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
        put(platform::RegRoot::LocalMachine, nt, "ProductName", "Microsoft Windows XP");
        put(platform::RegRoot::LocalMachine, nt, "SystemRoot", "C:\\WINDOWS");
        put(platform::RegRoot::CurrentUser, shell, "Programs",
            "C:\\Documents and Settings\\User\\Start Menu\\Programs");
        put(platform::RegRoot::CurrentUser, shell, "Cookies", "C:\\Documents and Settings\\User\\Cookies");
    }

    QPushButton* barButton(wizard::KestroMain* w, const char* name)
    {
        return w->findChild<QPushButton*>(name);
    }
    std::string activeForm(wizard::KestroMain* w)
    {
        const wizard::WizardPage* page = testsupport::pageOnScreen(*w);
        return page ? page->objectName().toStdString() : std::string("KestroMain");
    }
    template <class T> T* control(wizard::KestroMain* w, const char* form, const char* name)
    {
        wizard::WizardPage* page = w->findChild<wizard::WizardPage*>(form);
        return page ? page->findChild<T*>(name) : nullptr;
    }

    testsupport::TestMachine machine;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope{messages};
    testsupport::RecordingHelpService help;
};

TEST_F(MainRoadWalkTest, ForwardToTheConnectionPageAndBackToThePreparatoryTasks)
{
    xpDestination();
    platform::HelpService* previousHelp = common::Service<platform::HelpService>::replace(&help);
    const auto kestro = wizard::startKestro(options());
    wizard::KestroMain* w = kestro->window();
    ASSERT_NE(w, nullptr);
    wizard::XmlEngine& engine = wizard::core().engine;
    ASSERT_EQ(engine.HistoryStep, 1);

    barButton(w, "Btn_Accept")->click();
    ASSERT_EQ(activeForm(w), "Frm_Preparatory");
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_TRUE(wizard::WizardStarted);
    EXPECT_FALSE(w->buttonEnabled(BarButton::Back));
    EXPECT_EQ(w->statusText(), "Follow the preparatory task for better performance");

    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_PreparatoryTask");
    EXPECT_EQ(engine.HistoryStep, 3);
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_destination_os"), "winxp");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_destination_alluser_d_slash"),
        "C:\\\\Documents and Settings\\\\All Users");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->buttonEnabled(BarButton::Next));
    EXPECT_TRUE(w->buttonEnabled(BarButton::Back));

    // Next by its access key while it is disabled: the wizard stays.
    QKeyEvent altN(QEvent::KeyPress, Qt::Key_N, Qt::AltModifier);
    QApplication::sendEvent(control<QCheckBox>(w, "Frm_PreparatoryTask", "Check1"), &altN);
    EXPECT_EQ(activeForm(w), "Frm_PreparatoryTask");
    EXPECT_EQ(engine.HistoryStep, 3);

    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check3")->click();
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check4")->click();
    control<QRadioButton>(w, "Frm_PreparatoryTask", "OptXP")->click();
    EXPECT_TRUE(w->buttonEnabled(BarButton::Next));

    QKeyEvent altN2(QEvent::KeyPress, Qt::Key_N, Qt::AltModifier);
    QApplication::sendEvent(control<QCheckBox>(w, "Frm_PreparatoryTask", "Check1"), &altN2);
    ASSERT_EQ(activeForm(w), "Frm_MigrationType");
    EXPECT_EQ(engine.HistoryStep, 4);
    EXPECT_TRUE(w->buttonEnabled(BarButton::Next));

    // Every page's Quick Help panel fills the page's right edge from top to bottom; the option
    // circles stand level with the first line of their captions.
    w->show();
    QApplication::processEvents();
    for (QuickHelpPanelCheck check : {QuickHelpPanelCheck{w, "Frm_Preparatory"},
             QuickHelpPanelCheck{w, "Frm_PreparatoryTask"}, QuickHelpPanelCheck{w, "Frm_MigrationType"}})
        check.expectFits();
    for (const char* pair : {"optMass:lblMass", "optSel:lblSel"}) {
        const QStringList names = QString(pair).split(':');
        auto* option = control<QRadioButton>(w, "Frm_MigrationType", qPrintable(names[0]));
        auto* caption = control<QLabel>(w, "Frm_MigrationType", qPrintable(names[1]));
        const int lineCentre = caption->y() + caption->fontMetrics().height() / 2;
        EXPECT_LE(std::abs(option->geometry().center().y() - lineCentre), 2) << pair;
    }

    // Alt+H with the focus on a box opens the page's topic 22, not the box's 11; F1 there opens 11.
    platform::qt::installHelpKey();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    auto* settings = control<QCheckBox>(w, "Frm_MigrationType", "chk_Settings");
    settings->setFocus();
    QTest::keyClick(settings, Qt::Key_F1);
    ASSERT_FALSE(help.requests().empty());
    EXPECT_EQ(help.requests().back().topicId, 11);
    QTest::keyClick(settings, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(help.requests().back().topicId, 22);
    // With the focus on the button bar (Next was clicked to come here) Alt+H is still the page's.
    barButton(w, "Btn_Next")->setFocus();
    const std::size_t before = help.requests().size();
    QTest::keyClick(barButton(w, "Btn_Next"), Qt::Key_H, Qt::AltModifier);
    QTest::qWait(300); // a button's own mnemonic clicks after its press animation
    ASSERT_EQ(help.requests().size(), before + 1);
    EXPECT_EQ(help.requests().back().topicId, 22);
    EXPECT_EQ(activeForm(w), "Frm_MigrationType");

    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    QuickHelpPanelCheck{w, "Frm_ConnectionType"}.expectFits();
    QRect band;
    expectTitleBand(w, "Frm_Preparatory", "Label1", band);
    expectTitleBand(w, "Frm_PreparatoryTask", "Label6", band);
    expectTitleBand(w, "Frm_MigrationType", "lblTitle", band);
    expectTitleBand(w, "Frm_ConnectionType", "Label5", band);
    EXPECT_EQ(engine.HistoryStep, 5);
    EXPECT_EQ(wizard::SourceOs, "winxp");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_source_os"), "winxp");
    EXPECT_FALSE(w->buttonEnabled(BarButton::Next));
    EXPECT_TRUE(control<QLineEdit>(w, "Frm_ConnectionType", "txtuser")->isEnabled()); // an XP source
    control<QRadioButton>(w, "Frm_ConnectionType", "optNWLan")->click();
    control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->click();
    EXPECT_TRUE(w->buttonEnabled(BarButton::Next));
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_connection_type"), "network");

    // The main window's Help button on the connection page: the LAN topic.
    barButton(w, "Btn_Help")->click();
    EXPECT_EQ(barButton(w, "Btn_Help")->property(platform::qt::kHelpTopicProperty).toInt(), 3);

    barButton(w, "Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_MigrationType");
    EXPECT_EQ(engine.HistoryStep, 4);
    barButton(w, "Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_PreparatoryTask");
    EXPECT_EQ(engine.HistoryStep, 3);
    EXPECT_TRUE(w->buttonEnabled(BarButton::Next)); // the tasks stay confirmed
    EXPECT_TRUE(control<QRadioButton>(w, "Frm_PreparatoryTask", "OptXP")->isChecked());
    barButton(w, "Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_Preparatory");
    EXPECT_EQ(engine.HistoryStep, 2);
    EXPECT_FALSE(w->buttonEnabled(BarButton::Back));

    // Forward again: the pages are the same instances with the user's choices.
    barButton(w, "Btn_Next")->click();
    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_MigrationType");
    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_TRUE(control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->isChecked());
    EXPECT_EQ(engine.HistoryStep, 5);
    common::Service<platform::HelpService>::replace(previousHelp);
}

TEST_F(MainRoadWalkTest, HelpKeysOnTheButtonBarOpenThePagesTopic)
{
    xpDestination();
    platform::qt::installHelpKey();
    platform::HelpService* previousHelp = common::Service<platform::HelpService>::replace(&help);
    const auto kestro = wizard::startKestro(options());
    wizard::KestroMain* w = kestro->window();
    ASSERT_NE(w, nullptr);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    barButton(w, "Btn_Accept")->click();
    ASSERT_EQ(activeForm(w), "Frm_Preparatory");

    QPushButton* next = barButton(w, "Btn_Next");
    next->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), next);
    QTest::keyClick(next, Qt::Key_F1);
    ASSERT_FALSE(help.requests().empty());
    EXPECT_EQ(help.requests().back().topicId, 68);

    // Alt+H runs the Help button's handler without moving the focus off the bar.
    const std::size_t before = help.requests().size();
    w->Btn_Help_Click();
    ASSERT_EQ(help.requests().size(), before + 1);
    EXPECT_EQ(help.requests().back().topicId, 68);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(activeForm(w), "Frm_Preparatory");
    common::Service<platform::HelpService>::replace(previousHelp);
}

TEST_F(MainRoadWalkTest, UnsupportedDestinationIsToldAndTheWalkGoesOn)
{
    // An empty registry: no system the wizard knows.
    const auto kestro = wizard::startKestro(options());
    wizard::KestroMain* w = kestro->window();
    ASSERT_NE(w, nullptr);
    barButton(w, "Btn_Accept")->click();
    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_PreparatoryTask");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Kestro will not support this operating system");
    EXPECT_FALSE(w->buttonEnabled(BarButton::Next));
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check3")->click();
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check4")->click();
    control<QRadioButton>(w, "Frm_PreparatoryTask", "Opt95")->click();
    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_MigrationType");
    barButton(w, "Btn_Next")->click();
    ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    EXPECT_EQ(wizard::Get_System_Variable_Value("$st_source_os"), "win95");
    EXPECT_FALSE(control<QRadioButton>(w, "Frm_ConnectionType", "opt_USB")->isEnabled());
    EXPECT_EQ(messages.shown().size(), 1u); // the destination is prepared once per run
}

// What every hook a start sets holds now, by name (each read by putting in nothing and back what
// came out; objects by address, calls by what they answer).
using HookState = std::map<std::string, std::string>;

std::string address(const void* p)
{
    std::ostringstream out;
    out << p;
    return out.str();
}

template <class F, class Set> F readHook(Set set)
{
    F f = set(F{});
    set(f);
    return f;
}

HookState hooksNow()
{
    wizard::XmlEngine& engine = wizard::core().engine;
    HookState h;
    h["panel host"] =
        address(readHook<wizard::PanelHost*>([&](wizard::PanelHost* p) { return engine.setPanelHost(p); }));
    h["primitives"] = address(readHook<wizard::ActionPrimitives*>(
        [&](wizard::ActionPrimitives* p) { return engine.setPrimitives(p); }));
    auto rules = readHook<std::function<wizard::RulesTable*()>>(
        [&](std::function<wizard::RulesTable*()> p) { return engine.setRulesProvider(std::move(p)); });
    h["rules"] = rules ? address(rules()) : "none";
    h["windows"] = address(common::Service<wizard::WizardWindows>::installed());
    h["page controls"] = address(common::Service<wizard::PageControls>::installed());
    h["main window"] = address(wizard::mainWindow());
    h["end handler"] = address(readHook<wizard::ProgramEndHandler*>(&wizard::setProgramEndHandler));
    h["exit reader"] =
        address(reinterpret_cast<void*>(readHook<wizard::ExitStateReader>(&wizard::setExitStateReader)));
    auto drive = readHook<wizard::MappedDriveLookup>(&wizard::setMappedDriveLookup);
    h["drive lookup"] = drive ? drive("C:").value_or("unmapped") : "none";
    h["selection sources"] = readHook<wizard::SelectionSourcesProvider>(&wizard::setSelectionSources)
        ? wizard::selectionSources().appPath
        : "none";
    h["help file"] = platform::applicationHelpFile();
    h["title"] = platform::applicationTitle();
    h["name"] = QCoreApplication::applicationName().toStdString();
    h["presenter"] =
        readHook<wizard::TroubleshootingPresenter>(&wizard::setTroubleshootingPresenter) ? "set" : "none";
    h["browser"] = readHook<wizard::ComputerBrowser>(&wizard::setComputerBrowser) ? "set" : "none";
    h["bar handler"] = readHook<wizard::BarClickHandler>(&wizard::setBarClickHandler) ? "set" : "none";
    h["help"] = address(common::Service<platform::HelpService>::installed());
    h["shell"] = address(common::Service<platform::ShellService>::installed());
    h["pump"] = address(common::Service<platform::EventPump>::installed());
    h["messages"] = address(common::Service<platform::MessageService>::installed());
    h["pages"] = std::to_string(wizard::KestroMain::registeredPages().size());
    return h;
}

// The program's own start (the machine WINENV_MACHINE names, its name and Qt services, every page
// and hook) and its end: once it has gone, each hook holds again what it held before.
TEST_F(MainRoadWalkTest, AStartPutsBackEveryHookItSet)
{
    struct Host : wizard::PanelHost {
        bool showPanel(const std::string&) override { return false; }
    } host;
    struct Controls : wizard::PageControls {
        bool isChecked(const std::string&, const std::string&) override { return false; }
        std::string text(const std::string&, const std::string&) override { return {}; }
        bool setFocus(const std::string&, const std::string&) override { return false; }
    } controls;
    struct End : wizard::ProgramEndHandler {
        void endProgram(int) override {}
    } end;
    wizard::ActionPrimitives primitives;
    wizard::WizardWindows windows;
    wizard::KestroMain window({});
    static wizard::RulesTable table;
    wizard::XmlEngine& engine = wizard::core().engine;
    engine.setPanelHost(&host);
    engine.setPrimitives(&primitives);
    engine.setRulesProvider([] { return &table; });
    common::Service<wizard::WizardWindows>::Override windowsScope{windows};
    common::Service<wizard::PageControls>::Override controlsScope{controls};
    wizard::setMainWindow(&window);
    wizard::setProgramEndHandler(&end);
    wizard::setExitStateReader([] { return wizard::ExitState{}; });
    wizard::setMappedDriveLookup([](const std::string&) { return std::optional<std::string>("Q:"); });
    wizard::setSelectionSources([] { return wizard::SelectionSources{nullptr, {}, "D:\\Before"}; });
    platform::setApplicationHelpFile("Before.chm");
    platform::setApplicationTitle("Before");
    QCoreApplication::setApplicationName("before");
    wizard::setTroubleshootingPresenter([](const std::string&) {});
    wizard::setComputerBrowser([](QWidget*) { return std::string(); });
    wizard::setBarClickHandler([](BarButton) {});
    platform::qt::removeHelpKey();
    const HookState before = hooksNow();

    ::setenv(platform::Machine::kEnvironmentVariable, machine.folder().c_str(), 1);
    wizard::KestroOptions program;
    program.showSplash = [] {};
    auto kestro = wizard::startKestro(program);
    ASSERT_TRUE(kestro->started());
    HookState during = hooksNow();
    EXPECT_EQ(during["main window"], address(kestro->window()));
    EXPECT_EQ(during["title"], "Kestro");
    EXPECT_EQ(during["messages"], address(&messages)); // a slot filled before the start keeps its service
    EXPECT_NE(during["shell"], address(nullptr));
    EXPECT_NE(during["pages"], before.at("pages"));
    kestro.reset();
    ::unsetenv(platform::Machine::kEnvironmentVariable);

    EXPECT_EQ(hooksNow(), before);
    EXPECT_TRUE(platform::qt::installHelpKey()) << "the F1 key was left installed";
    platform::qt::removeHelpKey();
    engine.setPanelHost(nullptr);
    engine.setPrimitives(nullptr);
    engine.setRulesProvider({});
    wizard::setMainWindow(nullptr);
    wizard::setProgramEndHandler(nullptr);
    wizard::setExitStateReader(nullptr);
    wizard::setMappedDriveLookup({});
    wizard::setSelectionSources({});
    wizard::setTroubleshootingPresenter({});
    wizard::setComputerBrowser({});
    wizard::setBarClickHandler({});
}

} // namespace
