// StartKestro.cpp: the steps of a start of the wizard, and their undoing in the opposite order.
#include "wizard/program/StartKestro.h"

#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "platform/qt/QtServices.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/program/KestroApp.h"
#include "wizard/program/KestroProgram.h"
#include "wizard/ui/core/PageRoutines.h"

#include <QApplication>

#include <utility>

namespace wizard {

// The program's name and the Qt services, as they were before the start.
struct RunningKestro::ProgramServices {
    ProgramServices()
        : applicationName(QCoreApplication::applicationName())
        , title(platform::applicationTitle())
    {
        QCoreApplication::setApplicationName("Kestro");
        platform::setApplicationTitle("Kestro");
    }
    ~ProgramServices()
    {
        platform::setApplicationTitle(title);
        QCoreApplication::setApplicationName(applicationName);
    }
    QString applicationName;
    std::string title;
    platform::qt::QtServicesScope services;
};

RunningKestro::RunningKestro(KestroOptions options)
    : m_options(std::move(options))
    , m_argc(m_options.argc)
{}

RunningKestro::~RunningKestro()
{
    m_app.reset();
    m_program.reset();
    if (m_closeMachine)
        platform::RunningMachine::close();
    m_services.reset();
    m_application.reset();
}

void RunningKestro::start()
{
    if (!QCoreApplication::instance())
        m_application = std::make_unique<QApplication>(m_argc, m_options.argv);
    if (m_options.programServices)
        m_services = std::make_unique<ProgramServices>();

    if (m_options.onRunningMachine) {
        m_machineOpened = platform::RunningMachine::current() != nullptr;
    } else {
        // Without a screen (the offscreen and minimal platforms) nobody could answer a box: the
        // reason goes to standard error alone.
        const QString screen = QGuiApplication::platformName();
        m_machineOpened =
            openStartMachine(m_options.machineFaultBox && screen != "offscreen" && screen != "minimal");
        m_closeMachine = m_machineOpened;
    }
    if (!m_machineOpened)
        return;

    m_program = std::make_unique<KestroProgram>();
    StartOptions start;
    start.appPath = m_options.appPath.empty() ? installedAppPath() : m_options.appPath;
    start.machineFolder = platform::RunningMachine::current()->folder();
    start.showSplash = m_options.showSplash;
    m_app = std::make_unique<KestroApp>(std::move(start));
    m_started = m_app->Main();
    if (m_started && m_services)
        m_services->services.prepareHelpWindow();
}

KestroMain* RunningKestro::window() const { return m_started ? mainWindow() : nullptr; }

int RunningKestro::run()
{
    if (!m_machineOpened)
        return 2;
    const int code = m_started ? QApplication::exec() : 0;
    // A way out answered during a run whose clean-up has not been done yet is done now.
    Complete_Exit();
    return programEndRequested() ? programExitCode() : code;
}

std::unique_ptr<RunningKestro> startKestro(KestroOptions options)
{
    std::unique_ptr<RunningKestro> kestro(new RunningKestro(std::move(options)));
    kestro->start();
    return kestro;
}

} // namespace wizard
