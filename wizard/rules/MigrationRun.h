// MigrationRun.h: the operations of a migration run that scripts call by name: the item runners
// that run one script per chosen application and setting, ticking items off, the busy window, the
// flags the scripts set, the copy of the common folders and the end of a selective migration.
// Every item ends in migrationReport() with what really became of it.
#pragma once

#include <functional>
#include <string>

namespace wizard {

// The run's shared state.
struct MigrationRunState {
    std::string currentItemName; // the application or setting whose script runs
    bool progressShown = false;  // the busy window is open
};
MigrationRunState& migrationRunState();

// Runs one item script (named relative to AppPath\WKXFiles) to its end. `first` is true for the
// first item of a runner call, whose start position the engine's script stack must keep. The
// default works on the program's engine; tests put their own in. Returns the previous runner.
using ItemScriptRunner = std::function<void(const std::string& script, bool first)>;
ItemScriptRunner setItemScriptRunner(ItemScriptRunner runner);

// Scripts of the items, relative to AppPath\WKXFiles.
// "APPS\<name>.wkx"; the generic script for a name that is no plain file name.
std::string applicationScriptOf(const std::string& name);
std::string settingScriptOf(const std::string& name); // "Settings\<name>.wkx"
inline constexpr const char* kOtherApplicationsScript = "Apps\\OtherApplications.wkx";

// Item runners: each chosen item's row turns orange, its script runs, and the row then shows what
// the script's actions gave (a tick only when migrated), the bar advances once, and the report
// records it with the first failed step. A step of an item's script that answers False ends that
// item only (failed at that step); the next item runs. A missing application script falls back to
// the shared one; an item without any script is recorded as failed. An item whose script the way
// out of the wizard ended is logged "Cut short : <name>" and recorded failed. True; False when the
// program is to end, which stops the runner before its next item.
bool Application_Migration();
bool Settings_Migration();
// Replaces the chosen settings by the full list of nine (the mass migration). True.
bool Collect_Settings();
// Called by item scripts when they are through: logs under the item's name and clears it. The
// runner ticks the item once its outcome is known, so a call with no current item ticks nothing.
bool Migration_Progress();
// The busy window. True.
bool Progress_Enable();
bool Progress_Disable();
// Tells the user how the run went (saying so when items failed or were not found), resets the
// selection trees and the bar, and enables Migrate again. True.
bool Selective_Migration_End();

// Flags for the scripts. True.
bool Office_Flag();            // "$bln_office_copied" = "true"
bool DisableSyncFlag();        // "$blnSyncDone" = "True"
bool Set_Mass_Finished_Flag(); // MassStage = 3
// Copies the source's Windows and Common Files folders onto the destination's without replacing
// any file that is there; "$blnSyncDone" = "True". A copy that fails is logged; True. A folder
// variable that is not set skips that copy (logged) instead of copying to or from nowhere.
bool Sync_Common_Folders();

} // namespace wizard
