// FileWorkers.cpp: copy and move of single files and folder trees under the version rules, with
// the busy window, hourglass, status line and log records of the wizard.
#include "wizard/transfer/FileWorkers.h"

#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"
#include "wizard/transfer/VersionRule.h"

namespace wizard::transfer {
namespace {

std::string withTrailingBackslash(const std::string& folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

void ensureFolder(const std::string& folder)
{
    if (!folderExists(folder))
        makeSurePathExists(withTrailingBackslash(folder));
}

RunError missingSource(const std::string& source)
{
    return RunError{kErrFileNotFound, "File not found: " + source};
}

} // namespace

RunError copyFileWorker(const std::string& source, const std::string& destFolder, const CopyHook& hook)
{
    WizardWindows& windows = wizardWindows();
    if (windows.busyWindowOpen()) {
        yieldToEvents();
        windows.setBusyCaption(transferGlobals().progressCaption);
        windows.setBusyDetails("Please wait.. Copying " + source);
    }
    windows.setMousePointer(MousePointer::Hourglass);

    const std::string target = destFolder + namePartOf(source);
    ensureFolder(destFolder);

    RunError result;
    if (!fileExists(source)) {
        result = missingSource(source);
        writeTransferLog("Action_Copy_File", "Not Copied : " + source + ":" + result.description);
    } else if (!fileExists(target)) {
        yieldToEvents();
        result = copyFile(source, target, false);
        if (result)
            writeTransferLog("Action_Copy_File", "Not Copied : " + source + ":" + result.description);
        else if (hook)
            hook(target);
    } else {
        const std::string sourceVersion = fileVersion(source);
        const std::string targetVersion = fileVersion(target);
        if (copyReplacesTarget(sourceVersion, targetVersion)) {
            yieldToEvents();
            result = copyFile(source, target, true);
            if (result && !sourceVersion.empty())
                writeTransferLog("Action_Copy_File", "Not Copied " + source);
            else if (result)
                writeTransferLog("Action_Copy_File", "Not Copied : " + source + ":" + result.description);
            else if (hook)
                hook(target);
        }
    }

    windows.setMousePointer(MousePointer::Default);
    windows.setStatusText(result ? "Not Copied : " + source : "Migrated " + source);
    return result;
}

bool copyFolderWorker(
    const std::string& source, const std::string& dest, const CopyHook& hook, const FolderCopyStyle& style)
{
    writeTransferLog(style.process, "Start");
    if (!folderExists(source)) {
        writeTransferLog(style.process, "End");
        return true;
    }
    // A failed step does not stop the tree: the rest is still copied and the failure reported.
    int failure = 0;
    for (const std::string& name : subFolderNames(source)) {
        const std::string subSource = source + "\\" + name;
        const std::string subDest = dest + "\\" + name;
        if (!folderExists(subDest) && !makeSurePathExists(withTrailingBackslash(subDest)) && failure == 0)
            failure = kErrPathNotFound;
        if (!copyFolderWorker(subSource, subDest, hook, style) && failure == 0)
            failure = kErrPathFileAccess;
    }
    for (const std::string& name : fileNames(source)) {
        const RunError e = copyFileWorker(source + "\\" + name, dest, hook);
        if (e && failure == 0)
            failure = e.number;
    }
    if (failure != 0) {
        writeTransferLog(style.process, style.failureStatus(failure, dest));
        return false;
    }
    writeTransferLog(style.process, "End");
    return true;
}

RunError moveFileWorker(const std::string& source, const std::string& destFolder)
{
    WizardWindows& windows = wizardWindows();
    windows.setStatusText("Migrating " + source);
    windows.setMousePointer(MousePointer::Hourglass);

    const std::string target = destFolder + namePartOf(source);
    ensureFolder(destFolder);

    RunError result;
    if (!fileExists(source)) {
        result = missingSource(source);
    } else if (!fileExists(target)) {
        yieldToEvents();
        result = moveFile(source, withTrailingBackslash(destFolder));
        if (result.number == kErrPathNotFound) {
            yieldToEvents();
            createFolder(destFolder);
            yieldToEvents();
            result = moveFile(source, withTrailingBackslash(destFolder));
        }
    } else if (moveReplacesTarget(fileVersion(source), fileVersion(target))) {
        yieldToEvents();
        result = replaceFile(source, target);
    }
    if (result)
        writeTransferLog("Action_Copy_File" + std::to_string(result.number),
            "Not Moved" + source + ":" + result.description);

    windows.setMousePointer(MousePointer::Default);
    windows.setStatusText(result ? "Not Moved" + source : "Migrated " + source + "!");
    return result;
}

} // namespace wizard::transfer
