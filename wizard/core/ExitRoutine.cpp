// ExitRoutine.cpp: the exit routine's decision table, clean-up and restart request.
#include "wizard/core/ExitRoutine.h"

#include "platform/MessageBox.h"
#include "platform/TreeCopyWalk.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardLog.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"

#include <optional>
#include <utility>

namespace wizard {

namespace {

ExitStateReader g_reader = nullptr;
// The answer of a way out taken while a run was under way, until the run has unwound.
std::optional<ExitPlan> g_pending;

// The state the exit routine works on: the reader's when one is set, else the wizard's own.
ExitState currentExitState() { return g_reader ? g_reader() : sharedExitState(); }

} // namespace

ExitStateReader setExitStateReader(ExitStateReader reader) { return std::exchange(g_reader, reader); }

std::vector<std::string> exitWorkingFolders(const std::string& appPath)
{
    return {appPath + "\\temp", appPath + "\\tempreg", "C:\\QZImpTemp", "C:\\QZExpTemp"};
}

bool Remove_Registry_Entries(const std::string& appPath)
{
    const std::string file = appPath + "\\RegFiles\\RemoveQZ.reg";
    ExitServices& s = exitServices();
    if (!s.fileExists(file)) {
        writeLog("Remove_Registry_Entries", "File not found: " + file);
        return false;
    }
    const bool imported = s.importRegistryFile(file);
    if (!imported)
        writeLog("Remove_Registry_Entries", "Not imported: " + file);
    return imported;
}

bool Restart_PC()
{
    writeLog("Restart_PC", "Start");
    const bool requested = exitServices().restartMachine();
    writeLog("Restart_PC", requested ? "End" : "Error : the restart could not be requested");
    return requested;
}

ExitPlan askExit(const ExitState& state)
{
    using platform::MsgButtons;
    using platform::MsgIcon;
    using platform::MsgResult;

    ExitPlan plan;
    wizardWindows().setStatusText("Please wait....");

    // Before the first page after the agreement nothing has been changed on the machine: end at
    // once and leave everything as it is.
    if (!state.wizardStarted) {
        plan.end = true;
        return plan;
    }
    writeLog("Exit_Application", "Start");

    const std::string confirm = "Are you sure you want to exit Kestro?";
    if (state.migrationMode != "selective") {
        if (state.massStage == 3) {
            // The PC has been moved: the box only tells how, and the restart follows. Success only
            // when nothing was left behind; else the page and the log name what.
            if (state.massCopiedWhole)
                platform::showMessage("Mass Migration successfully completed. Click OK to restart the PC.",
                    MsgButtons::Ok, MsgIcon::Information);
            else
                platform::showMessage(kMassNotWholeMessage, MsgButtons::Ok, MsgIcon::Exclamation);
            plan.restart = true;
            plan.removeMirror = true;
        } else if (state.massStage >= 0 && state.massStage <= 2) {
            if (platform::showMessage(confirm, MsgButtons::YesNo, MsgIcon::Information) != MsgResult::Yes) {
                writeLog("Exit_Application", "End");
                return plan;
            }
        }
    } else if (state.registryRequired) {
        const MsgResult r = platform::showMessage(
            "Do you want to restart the PC? We recommend to restart the PC after migration.",
            MsgButtons::YesNoCancel, MsgIcon::Information);
        if (r == MsgResult::Cancel) {
            writeLog("Exit_Application", "End");
            return plan;
        }
        plan.restart = (r == MsgResult::Yes);
        plan.removeMirror = true;
    } else if (platform::showMessage(confirm, MsgButtons::YesNo, MsgIcon::Information) != MsgResult::Yes) {
        writeLog("Exit_Application", "End");
        return plan;
    }
    plan.end = true;
    plan.cleanUp = true;
    return plan;
}

void carryOutExit(const ExitState& state, const ExitPlan& plan)
{
    if (!plan.end || !plan.cleanUp)
        return;
    settleWorkBesideWindow();
    // A folder copy still at work beside the window stops, and removes the file it was writing,
    // before anything is cleaned up.
    platform::TreeCopyWalk::stopAll();
    using platform::MsgButtons;
    using platform::MsgIcon;
    if (plan.removeMirror)
        Remove_Registry_Entries(state.appPath);

    ExitServices& s = exitServices();
    for (const std::string& folder : exitWorkingFolders(state.appPath)) {
        if (s.folderExists(folder) && !s.deleteFolder(folder))
            writeLog("Exit_Application", "Folder not deleted: " + folder);
    }

    wizardWindows().setStatusText("Please wait.. Kestro closing...!");

    for (const std::string& drive : state.mappedDrives) {
        if (!s.cancelConnection(drive))
            platform::showMessage("Not able to disconnect Mapped Drive " + drive + ",Drive may being used!",
                MsgButtons::Ok, MsgIcon::Critical);
    }

    if (!state.lastDecryptedPath.empty() && s.fileExists(state.lastDecryptedPath))
        s.deleteFile(state.lastDecryptedPath);

    if (plan.restart && !Restart_PC())
        platform::showMessage("Please restart after saving your work", MsgButtons::Ok, MsgIcon::Information);

    writeLog("Exit_Application", "End");
}

bool Exit_Application(const ExitState& state)
{
    const ExitPlan plan = askExit(state);
    carryOutExit(state, plan);
    return plan.end;
}

bool Exit_Application() { return Exit_Application(currentExitState()); }

bool Confirm_Exit()
{
    const ExitPlan plan = askExit(currentExitState());
    if (plan.end)
        g_pending = plan;
    return plan.end;
}

void Complete_Exit()
{
    if (!g_pending)
        return;
    const ExitPlan plan = *g_pending;
    g_pending.reset();
    // The state as the run left it: drives it mapped and the plain script it loaded last count.
    carryOutExit(currentExitState(), plan);
}

ExitState sharedExitState()
{
    ExitState state;
    state.wizardStarted = WizardStarted;
    state.migrationMode = MigrationMode;
    state.registryRequired = RegistryRequired;
    state.massStage = MassStage;
    state.massCopiedWhole = !MassItemsNotCopied;
    state.lastDecryptedPath = core().decryptor.lastDecryptedPath();
    state.appPath = AppPath;
    return state;
}

} // namespace wizard
