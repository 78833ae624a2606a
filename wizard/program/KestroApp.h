// KestroApp.h: the program's start-up (one copy per machine, first script variables, splash, help
// file, the first engine run) and the wiring of the main window to the engine, rules and exit.
#pragma once

#include "platform/NamedMutex.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace wizard {

class KestroMain;
class PageControls;
class PanelHost;
class ProgramEndHandler;
class RulesTable;
class WizardWindows;
class clsRules;

struct StartOptions {
    // The application folder as a Windows path of the machine, without a trailing "\".
    std::string appPath;
    // The folder of the machine the program runs on (its named mutexes live there).
    std::filesystem::path machineFolder;
    // Shows the splash through this call instead of a modal splash window (tests pass one that
    // returns at once or drives the ticks).
    std::function<void()> showSplash;
};

// The message a second copy shows before it ends.
inline constexpr const char* kAlreadyOpenMessage =
    "Kestro is already open! to better performance, please restart";

// Sets AppPath, "$st_kestro_path" and "$bln_office_copied"; true.
bool Init_Application_Variables(const std::string& appPath);

class KestroApp {
public:
    explicit KestroApp(StartOptions options);
    ~KestroApp();
    KestroApp(const KestroApp&) = delete;
    KestroApp& operator=(const KestroApp&) = delete;

    // The start procedure. False when the program is to end at once (another copy runs, or the
    // main script could not be run); true when the engine waits on the agreement page.
    bool Main();

    // The rules table the engine calls; one for the whole process (the engine keeps the table it
    // was given first), filled by each KestroApp and emptied when it goes.
    static RulesTable& rulesTable();

private:
    // The main script showed no page: say why (naming the script) and end through the exit routine.
    void endWithoutAPage();
    void wireWindow();

    // What the hooks this start sets held before it, put back when it goes.
    struct FoundHooks {
        PanelHost* panelHost = nullptr;
        std::function<RulesTable*()> rulesProvider;
        WizardWindows* windows = nullptr;
        PageControls* pageControls = nullptr;
        KestroMain* mainWindow = nullptr;
        bool endHandlerSet = false;
        ProgramEndHandler* endHandler = nullptr;
        std::string helpFile;
    };

    StartOptions m_options;
    FoundHooks m_found;
    platform::NamedMutex m_mutex;
    bool m_runRecorded = false; // this start keeps the machine's record of its run
    std::unique_ptr<clsRules> m_rules;
    std::unique_ptr<KestroMain> m_window;
};

// Opens the machine WINENV_MACHINE names as the running machine; the wizard never falls back to a
// default machine and never gives a machine without a registry an empty one. When it cannot be
// opened (the variable unset, no such folder, a bad machine.ini, no registry) platform's reason,
// which names the missing or faulty file, goes to standard error and, when `withDisplay`, into a
// message box, and the answer is false.
bool openStartMachine(bool withDisplay);

// The application folder the program runs from: KESTRO_APP_PATH when set, else the folder the
// program is installed in on every machine ("C:\Program Files\Kestro").
std::string installedAppPath();

} // namespace wizard
