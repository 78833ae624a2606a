// KestroApp.cpp: Main and the wiring of the main window, the engine, the rules and the exit routine.
#include "wizard/program/KestroApp.h"

#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardLog.h"
#include "wizard/rules/clsRules.h"
#include "wizard/ui/core/FrmSplash.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"

#include <cstdlib>
#include <iostream>

namespace wizard {

std::string installedAppPath()
{
    const char* env = std::getenv("KESTRO_APP_PATH");
    std::string path = (env && *env) ? env : kDefaultAppPath;
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

namespace {

void logLeftBehind(const platform::UnfinishedRunsRemoved& removed)
{
    if (removed.runs == 0)
        return;
    std::string drives;
    for (char letter : removed.drives)
        drives += (drives.empty() ? "" : ", ") + std::string(1, letter) + ":";
    writeLog("Removed what an unfinished run left",
        std::to_string(removed.partialFiles) + " file(s) cut short, drive connection(s) " +
            (drives.empty() ? "none" : drives));
}

} // namespace

bool openStartMachine(bool withDisplay)
{
    const char* named = std::getenv(platform::Machine::kEnvironmentVariable);
    std::string message;
    if (!named || !*named)
        message = std::string(platform::Machine::kEnvironmentVariable) +
            " is not set: it must name the machine folder";
    else if (platform::RunningMachine::use(named, &message, platform::MissingRegistry::Refuse) ==
        platform::WinError::Success)
        return true;
    std::cerr << "kestro: " << message << "\n";
    if (withDisplay)
        platform::showMessage("Kestro cannot open the PC it runs on:\n" + message, platform::MsgButtons::Ok,
            platform::MsgIcon::Critical);
    return false;
}

bool Init_Application_Variables(const std::string& appPath)
{
    AppPath = appPath;
    Set_System_Variable_Value("$st_kestro_path", AppPath);
    Set_System_Variable_Value("$bln_office_copied", "false");
    return true;
}

KestroApp::KestroApp(StartOptions options)
    : m_options(std::move(options))
{}

RulesTable& KestroApp::rulesTable()
{
    static RulesTable table;
    return table;
}

KestroApp::~KestroApp()
{
    // This run has ended: it leaves nothing for the next start to take away, but for files whose
    // removal failed, which the next start removes.
    if (m_runRecorded) {
        if (const auto left = platform::RunRecord::leftBehind(); !left.empty())
            writeLog("Files left for the next start to remove", std::to_string(left.size()) + " file(s)");
        platform::RunRecord::finish();
    }
    // The operations registered refer to this instance's rules object.
    rulesTable() = RulesTable();
    // The engine and the services must not reach the window once it is gone: each hook gets back
    // what it held before this start.
    if (m_window) {
        core().engine.setPanelHost(m_found.panelHost);
        core().engine.setRulesProvider(std::move(m_found.rulesProvider));
        common::Service<WizardWindows>::replace(m_found.windows);
        common::Service<PageControls>::replace(m_found.pageControls);
        setMainWindow(m_found.mainWindow);
    }
    if (m_found.endHandlerSet) {
        setProgramEndHandler(m_found.endHandler);
        platform::setApplicationHelpFile(m_found.helpFile);
    }
}

void KestroApp::wireWindow()
{
    MainWindowActions actions;
    actions.stepScript = [](const std::string& direction) {
        Step_Script(direction);
        // A way out taken during the run cleans up only now that the run has unwound.
        Complete_Exit();
    };
    // During a run the exit routine only asks; its clean-up waits for the run to unwind.
    actions.exitApplication = [] { return core().engine.running() ? Confirm_Exit() : Exit_Application(); };
    actions.deleteLogFile = [] { machineFiles().removeFile(LogFile::logFilePath()); };
    m_window = std::make_unique<KestroMain>(std::move(actions));
    m_found.mainWindow = setMainWindow(m_window.get());
    m_found.windows = common::Service<WizardWindows>::replace(m_window.get());
    m_found.pageControls = common::Service<PageControls>::replace(m_window.get());

    RulesEnvironment env;
    env.showPanel = [](const std::string& form) { return Show_Panel(form); };
    env.setVariable = [](const std::string& name, const std::string& value) {
        Set_System_Variable_Value(name, value);
    };
    env.writeLog = [](const std::string& process, const std::string& status) {
        writeLogText(process, status);
    };
    env.optionChosen = [](const std::string& form, const std::string& control) {
        return pageControls() && pageControls()->isChecked(form, control);
    };
    env.pageAvailable = [](const std::string& form) { return KestroMain::pageRegistered(form); };
    m_rules = std::make_unique<clsRules>(std::move(env));
    rulesTable() = RulesTable();
    m_rules->registerOperations(rulesTable());

    XmlEngine& engine = core().engine;
    m_found.panelHost = engine.setPanelHost(m_window.get());
    m_found.rulesProvider = engine.setRulesProvider([] { return &rulesTable(); });
}

bool KestroApp::Main()
{
    // One copy per machine: a second start says so and ends without touching anything.
    m_mutex = platform::NamedMutex::create(m_options.machineFolder, "Kestro");
    if (m_mutex.alreadyExists()) {
        platform::showMessage(kAlreadyOpenMessage, platform::MsgButtons::Ok, platform::MsgIcon::Information);
        return false;
    }
    m_found.endHandler = setProgramEndHandler(&qtProgramEnd());
    m_found.endHandlerSet = true;
    m_found.helpFile = platform::applicationHelpFile();
    // What a run on this machine that never ended left (copies cut short, drive connections) goes
    // before this run changes anything.
    platform::UnfinishedRunsRemoved leftBehind;
    if (platform::RunningMachine* machine = platform::RunningMachine::current()) {
        leftBehind = machine->beginRecordedRun();
        m_runRecorded = true;
    }

    Init_Application_Variables(m_options.appPath);
    wireWindow();

    if (m_options.showSplash) {
        m_options.showSplash();
    } else {
        FrmSplash splash;
        splash.exec();
    }

    platform::setApplicationHelpFile(AppPath + "\\Product_Help.chm");
    core().engine.reset();
    core().engine.CurrentScript = "Kestro.xml";
    // Tested before anything of this run is logged: a first run is one without a log file.
    const bool firstRun = !machineFiles().fileExists(LogFile::logFilePath());
    Set_System_Variable_Value("$bln_first_run", firstRun ? "true" : "false");
    logLeftBehind(leftBehind);

    Step_Script("");

    // The first steps show the agreement page; when no page came up (the script could not be
    // loaded, and the engine has said so), there is nothing to wait for.
    if (!programEndRequested() && !m_window->isVisible())
        endWithoutAPage();
    return !programEndRequested();
}

void KestroApp::endWithoutAPage()
{
    XmlEngine& engine = core().engine;
    // A script that did not load has been reported by the engine; one that loaded but shows no
    // page is named here.
    if (engine.lastLoad().loaded()) {
        const std::string script = AppPath + "\\WKXFiles\\Kestro.xml";
        platform::showMessage("Kestro cannot start: its script " + script +
                " is damaged (it holds no step that shows a page). Please install Kestro again.",
            platform::MsgButtons::Ok, platform::MsgIcon::Critical);
    }
    Exit_Application();
    // The plain copy of the script never stays behind a start that could not run it.
    const std::string plain = core().decryptor.lastDecryptedPath();
    if (!plain.empty() && exitServices().fileExists(plain))
        exitServices().deleteFile(plain);
    requestProgramEnd(1);
}

} // namespace wizard
