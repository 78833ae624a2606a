// ExitRoutine.h: the one way out of the wizard once it has started (question, clean-up of working
// folders, mapped drives, the last plain script and the registry mirror, optional restart).
#pragma once

#include "common/Service.h"

#include <string>
#include <vector>

namespace wizard {

// What the exit routine reads of the wizard's shared state.
struct ExitState {
    bool wizardStarted = false;            // a page after the agreement has been shown
    std::string migrationMode;             // "mass", "selective" or empty
    bool registryRequired = false;         // the selective migration needed the source exports
    int massStage = 0;                     // 0..3; 3 = the mass migration has finished
    bool massCopiedWhole = true;           // the mass migration left nothing of the source behind
    std::vector<std::string> mappedDrives; // local drive letters ("Z:") connected to source shares
    std::string lastDecryptedPath;         // the last plain script file
    std::string appPath;                   // the application folder, no trailing "\"
};

// The machine services the exit routine uses; the default acts on the running machine, tests
// put a recording double in its place.
class ExitServices {
public:
    virtual ~ExitServices() = default;
    virtual bool folderExists(const std::string& path) = 0;
    // Deletes a folder with its contents; false when it (or part of it) could not be deleted.
    virtual bool deleteFolder(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Cancels the network connection of a local drive letter ("Z:"); false when it is in use.
    virtual bool cancelConnection(const std::string& drive) = 0;
    // Imports a registry file silently; false when it could not be imported.
    virtual bool importRegistryFile(const std::string& path) = 0;
    // Asks the machine for a forced restart; false when the request failed.
    virtual bool restartMachine() = 0;
};

} // namespace wizard

// The default works on the machine named by WINENV_MACHINE: its file system, its registry (silent
// merge, remembered network connections under HKEY_CURRENT_USER\Network) and its events log.
template <> wizard::ExitServices& common::Service<wizard::ExitServices>::fallback();

namespace wizard {

// The services in use (common::Service<ExitServices> replaces them).
inline ExitServices& exitServices() { return common::Service<ExitServices>::instance(); }

// What the last stage of a mass migration says when items were not copied.
inline constexpr const char* kMassNotWholeMessage =
    "Mass Migration finished, but some items were not copied: the Migration Status page says what and "
    "how many, and the log file Kestro_Log_File.txt in the program's folder names each file. Click OK to "
    "restart the PC.";

// Working folders removed at exit, in this order.
std::vector<std::string> exitWorkingFolders(const std::string& appPath);

// Runs the exit routine on the state given. True: the program is to end now (the caller ends it);
// false: the user chose to stay and nothing was cleaned up.
bool Exit_Application(const ExitState& state);
// The same on the wizard's current shared state.
bool Exit_Application();

// The exit routine in its two halves. `askExit` asks what the state requires and says what the
// answer asks for; `carryOutExit` does it (nothing when the program is not to end, or when it
// ends before the wizard started).
struct ExitPlan {
    bool end = false;          // the program is to end
    bool cleanUp = false;      // working folders, drive connections and the plain script go
    bool removeMirror = false; // the source registry mirror goes too
    bool restart = false;      // the user asked for the restart
};
ExitPlan askExit(const ExitState& state);
void carryOutExit(const ExitState& state, const ExitPlan& plan);

// A way out taken while a run is under way (a copy yields to the window): Confirm_Exit asks on the
// wizard's current state and keeps a Yes; the caller then asks for the program's end, so that
// every loop of the run returns, and calls Complete_Exit once the run has unwound, which cleans
// up on the state the run left (nothing when no Yes is kept). Nothing is deleted or disconnected
// under a copy that is still going on.
bool Confirm_Exit();
void Complete_Exit();

// Removes the source registry mirror by importing AppPath & "\RegFiles\RemoveQZ.reg". A missing
// or empty file is logged and imports nothing; the result is then false.
bool Remove_Registry_Entries(const std::string& appPath);

// Asks the machine for a forced restart (the machine records it; the program then ends through
// its caller). False when the request failed.
bool Restart_PC();

// The exit routine's state from the wizard core's shared state (run state, last plain script,
// application folder); no mapped drives, which the core does not know.
ExitState sharedExitState();

// Fills the exit routine's state from the wizard's shared state; installed by the program so that
// the core does not depend on the layers that own the pieces (drive map, engine state).
using ExitStateReader = ExitState (*)();
ExitStateReader setExitStateReader(ExitStateReader reader); // answers the one it replaces

} // namespace wizard
