// StartKestro.h: the wizard started in one call, as the program starts it: the Qt application,
// the program's name and Qt services, the machine it runs on, every page and hook (KestroProgram)
// and the start procedure (KestroApp::Main). The program, its benches and its walk tests all
// start it so; going, a start puts back every hook it set.
#pragma once

#include <functional>
#include <memory>
#include <string>

class QApplication;

namespace wizard {

class KestroApp;
class KestroMain;
class KestroProgram;

struct KestroOptions {
    // The process's arguments, for the QApplication made when the process has none yet (the
    // program, the benches); an application already there (a test's) is used as it is.
    int argc = 0;
    char** argv = nullptr;
    // The machine the wizard runs on. False: the one WINENV_MACHINE names, opened as the program
    // opens it (openStartMachine) and closed when the start goes. True: the machine running
    // already (a test's, which keeps it).
    bool onRunningMachine = false;
    // When the machine cannot be opened, the reason also goes into a message box where there is a
    // screen (the program); the benches leave it at standard error.
    bool machineFaultBox = true;
    // Names the program "Kestro" (application name, message box title) and fills each service slot
    // nothing is installed in with the platform's Qt service (message boxes, help, shell, event
    // pump, the F1 key). The walk tests answer boxes and help themselves and leave it off.
    bool programServices = true;
    // The application folder as a Windows path of the machine; empty: installedAppPath().
    std::string appPath;
    // As StartOptions::showSplash (empty: the modal splash window).
    std::function<void()> showSplash;
};

class RunningKestro {
public:
    ~RunningKestro();
    RunningKestro(const RunningKestro&) = delete;
    RunningKestro& operator=(const RunningKestro&) = delete;

    // The machine could be opened (else nothing else was started).
    bool machineOpened() const { return m_machineOpened; }
    // The start procedure answered true: the engine waits on the agreement page.
    bool started() const { return m_started; }
    // The main window; null when the wizard did not start.
    KestroMain* window() const;

    // The event loop until the program ends, then what a way out left to clean up; the program's
    // exit code (2 when the machine could not be opened).
    int run();

private:
    friend std::unique_ptr<RunningKestro> startKestro(KestroOptions options);
    struct ProgramServices;
    explicit RunningKestro(KestroOptions options);
    void start();

    KestroOptions m_options;
    int m_argc = 0; // the QApplication keeps a reference to it
    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<ProgramServices> m_services;
    bool m_closeMachine = false;
    bool m_machineOpened = false;
    bool m_started = false;
    std::unique_ptr<KestroProgram> m_program;
    std::unique_ptr<KestroApp> m_app;
};

// Starts the wizard (see KestroOptions); throws what the start throws, with everything it had set
// put back.
std::unique_ptr<RunningKestro> startKestro(KestroOptions options);

} // namespace wizard
