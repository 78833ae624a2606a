// MigrationEnd.cpp: the copy of the source's common folders and the end of a selective migration
// (the user told how it went, the selection trees and the bar reset).
#include "wizard/rules/MigrationRun.h"

#include "platform/CodePage.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/FolderChecks.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionTree.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <array>
#include <utility>
#include <vector>

namespace wizard {

using transfer::TransferOutcome;

namespace {

bool leftOut(const std::string& name)
{
    static const std::array<const char*, 4> kNever = {
        "PAGEFILE.SYS", "FOLDER.HTT", "DESKTOP.INI", "hiberfil.sys"};
    for (const char* n : kNever)
        if (platform::equalsNoCase(name, n))
            return true;
    return name.find('?') != std::string::npos;
}

// Copies a folder tree without replacing any file that exists. False when something could not be
// copied (the rest still is).
bool copyMissingFiles(const std::string& source, const std::string& dest)
{
    if (!transfer::folderExists(source))
        return false;
    bool ok = true;
    std::vector<std::pair<std::string, std::string>> folders = {{source, dest}};
    while (!folders.empty()) {
        const auto [from, to] = folders.back();
        folders.pop_back();
        if (!transfer::folderExists(to) && !transfer::makeSurePathExists(to + "\\")) {
            ok = false;
            continue;
        }
        std::vector<std::string> subFolders, files;
        std::vector<platform::LeftOutName> leftOutNames;
        transfer::listFolderNames(from, subFolders, files, &leftOutNames);
        for (const platform::LeftOutName& entry : leftOutNames) {
            writeTransferLogText("Sync_Common_Folders", "Not copied : " + transfer::leftOutText(from, entry));
            ok = false;
        }
        for (const std::string& name : subFolders)
            folders.emplace_back(from + "\\" + name, to + "\\" + name);
        for (const std::string& name : files) {
            if (leftOut(name) || transfer::fileExists(to + "\\" + name))
                continue;
            if (!platform::fitsWindowsPath(to + "\\" + name)) {
                writeTransferLogText("Sync_Common_Folders",
                    "Not copied : " +
                        transfer::leftOutText(from, {name, false, platform::NameFault::PathTooLong}));
                ok = false;
                continue;
            }
            transfer::yieldToEvents();
            if (programEndRequested())
                return false;
            if (transfer::copyFile(from + "\\" + name, to + "\\" + name, false) != transfer::FsError::None)
                ok = false;
        }
    }
    return ok;
}

void syncFolder(const char* sourceVariable, const char* destVariable)
{
    const std::string source = scriptVariable(sourceVariable);
    const std::string dest = scriptVariable(destVariable);
    if (source.empty() || dest.empty()) {
        writeTransferLog("Sync_Common_Folders",
            std::string("Not copied : ") + (source.empty() ? sourceVariable : destVariable) + " is not set");
        return;
    }
    if (!copyMissingFiles(source, dest))
        writeTransferLog(
            "Sync_Common_Folders", "Not all of " + sourceNamed(source) + " could be copied to " + dest);
}

// Clears the source tree's ticks and takes the migrated items out of the destination tree, with
// the window's events running between parts.
void resetSelectionTrees()
{
    const SelectionTrees trees = selectionTrees();
    auto* source = dynamic_cast<SelectionTree*>(trees.source);
    auto* destination = dynamic_cast<SelectionTree*>(trees.destination);
    if (source && destination)
        wizard::resetSelectionTrees(*source, *destination, [] { platform::yieldToEvents(); });
}

} // namespace

bool Sync_Common_Folders()
{
    writeTransferLog("Sync_Common_Folders", "Start");
    Set_System_Variable_Value("$blnSyncDone", "True");
    syncFolder("$st_source_win_dir", "$st_destination_win_dir");
    syncFolder("$st_source_common_dir", "$st_destination_common_dir");
    writeTransferLog("Sync_Common_Folders", "End");
    return true;
}

bool Selective_Migration_End()
{
    const MigrationReport& report = migrationReport();
    const int failed = report.count(TransferOutcome::Failed);
    const int notFound = report.count(TransferOutcome::NotFound);
    WizardWindows& windows = wizardWindows();
    if (failed == 0 && notFound == 0) {
        windows.setStatusText("Migration successfully completed,Click OK to view migration report.");
        platform::showMessage("Migration successfully completed,Click OK to view migration report!",
            platform::MsgButtons::Ok, platform::MsgIcon::Information);
        windows.setStatusText("Migration successfully completed.");
    } else {
        // Never "successfully" when something was not migrated: the report says what.
        const std::string summary = "Migration completed: " + std::to_string(failed) + " item(s) failed, " +
            std::to_string(notFound) + " item(s) not found";
        windows.setStatusText(summary + ",Click OK to view migration report.");
        platform::showMessage(summary + ". Click OK to view migration report!", platform::MsgButtons::Ok,
            platform::MsgIcon::Exclamation);
        windows.setStatusText(summary + ".");
    }
    resetSelectionTrees();
    selectedItemsList().resetProgress();
    windows.setButtonEnabled(BarButton::Migrate, true);
    return true;
}

} // namespace wizard
