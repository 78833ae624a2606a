// FileWorkers.cpp: copy and move of single files and folder trees under the version rules, with
// the busy window, hourglass, status line and log records of the wizard.
#include "wizard/transfer/FileWorkers.h"

#include "platform/TreeCopyWalk.h"
#include "platform/WindowsName.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferText.h"
#include "wizard/transfer/VersionRule.h"

#include <functional>

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

std::string errorText(FsError error) { return std::string(platform::fsErrorText(error)); }

// The status line after a file: what became of it.
std::string statusFor(TransferOutcome outcome, const std::string& failedPrefix, const std::string& source,
    const std::string& migratedSuffix)
{
    switch (outcome) {
    case TransferOutcome::Migrated: return "Migrated " + source + migratedSuffix;
    case TransferOutcome::NotFound: return "Not found : " + source;
    case TransferOutcome::Failed: break;
    }
    return failedPrefix + source;
}

FileTransferResult failedWith(FsError error)
{
    if (error == FsError::None)
        return {};
    return {TransferOutcome::Failed, error};
}

// A folder that is not there: passed over, its log record written and the process ended.
TransferOutcome folderNotFound(const std::string& process, const std::string& source)
{
    sourceNotFound(process, source);
    writeTransferLog(process, "End");
    return TransferOutcome::NotFound;
}

// The steps of one folder walk: make a sub-folder at the destination, walk a sub-folder, move or
// copy one file.
struct FolderWalk {
    std::function<FsError(const std::string& subDest)> makeFolder;
    std::function<TransferOutcome(const std::string& subSource, const std::string& subDest)> folder;
    std::function<FsError(const std::string& file)> file;
};

// Sub-folders first, then the files. A failed step does not stop the walk: the rest is still
// transferred, and the first failure is answered.
FsError walkFolder(const std::string& source, const std::string& dest, const FolderWalk& walk)
{
    FsError failure = FsError::None;
    const auto keepFirst = [&failure](FsError e) {
        if (failure == FsError::None)
            failure = e;
    };
    for (const std::string& name : subFolderNames(source)) {
        if (programEndRequested())
            return failure;
        const std::string subSource = source + "\\" + name;
        const std::string subDest = dest + "\\" + name;
        keepFirst(walk.makeFolder(subDest));
        if (walk.folder(subSource, subDest) == TransferOutcome::Failed)
            keepFirst(FsError::PathFileAccess);
    }
    for (const std::string& name : fileNames(source)) {
        // Once the program is to end, the walk returns at once.
        if (programEndRequested())
            break;
        keepFirst(walk.file(source + "\\" + name));
    }
    return failure;
}

} // namespace

FileCopyWorker::FileCopyWorker() = default;

FileCopyWorker::~FileCopyWorker() { stop(); }

void FileCopyWorker::yieldWhenDue()
{
    if (!m_pacing || m_pacing->eventsDue())
        yieldToEvents();
}

bool FileCopyWorker::start(const std::string& source, const std::string& destFolder, CopyHook hook,
    CopyPacing* pacing, const std::string& named)
{
    m_pacing = pacing;
    m_showTexts = !pacing || pacing->textsDue();
    WizardWindows& windows = wizardWindows();
    if (windows.busyWindowOpen()) {
        yieldWhenDue();
        if (m_showTexts) {
            windows.setBusyCaption(transferGlobals().progressCaption);
            windows.setBusyDetails("Please wait.. Copying " + source);
        }
    }
    windows.setMousePointer(MousePointer::Hourglass);

    m_source = source;
    m_named = named.empty() ? sourceNamed(source) : named;
    m_target = destFolder + namePartOf(source);
    m_hook = std::move(hook);
    ItemTally* tally = currentItemTally();
    if (tally && tally->refused()) {
        writeTransferLog("Action_Copy_File", "Not Copied : " + m_named + " : " + kItemHaltedWhy);
        m_result = failedWith(FsError::PermissionDenied);
        windows.setMousePointer(MousePointer::Default);
        return false;
    }
    if (tally)
        tally->keepFolderBefore(destFolder);
    ensureFolder(destFolder);
    if (!fileExists(source)) {
        m_result = {sourceNotFound("Action_Copy_File", m_named), FsError::None};
        windows.setMousePointer(MousePointer::Default);
        if (m_showTexts)
            windows.setStatusText(statusFor(m_result.outcome, "Not Copied : ", source, ""));
        return false;
    }
    // An existing target is replaced only under the copy rule; one the rule keeps counts as migrated.
    m_replacing = fileExists(m_target);
    if (m_replacing) {
        m_sourceVersion = fileVersion(source);
        if (!copyReplacesTarget(m_sourceVersion, fileVersion(m_target))) {
            end(FsError::None, false);
            return false;
        }
    }
    yieldWhenDue();
    // What the file was goes back should the item be refused; a file that cannot be kept stays.
    if (tally && !tally->keepFileBefore(m_target)) {
        end(FsError::PathFileAccess, true);
        return false;
    }
    m_copy = std::make_unique<FileCopy>();
    if (m_copy->start(source, m_target, m_replacing))
        return true;
    end(m_copy->error(), true);
    return false;
}

bool FileCopyWorker::step()
{
    if (!m_copy)
        return false;
    if (m_copy->step())
        return true;
    end(m_copy->error(), true);
    return false;
}

void FileCopyWorker::stop()
{
    if (!m_copy)
        return;
    m_copy->stop();
    m_copy.reset();
    m_result = {TransferOutcome::Failed, FsError::PathFileAccess};
    wizardWindows().setMousePointer(MousePointer::Default);
}

// The copy ended with `error` (a target the rule kept: nothing `copied`): its log record, hook and
// status line.
void FileCopyWorker::end(FsError error, bool copied)
{
    m_copy.reset();
    if (error != FsError::None && m_replacing && !m_sourceVersion.empty())
        writeTransferLog("Action_Copy_File", "Not Copied " + m_named);
    else if (error != FsError::None)
        writeTransferLog("Action_Copy_File", "Not Copied : " + m_named + ":" + errorText(error));
    else if (copied && m_hook)
        m_hook(m_target);
    m_result = failedWith(error);
    WizardWindows& windows = wizardWindows();
    windows.setMousePointer(MousePointer::Default);
    if (m_showTexts || m_result.outcome != TransferOutcome::Migrated)
        windows.setStatusText(statusFor(m_result.outcome, "Not Copied : ", m_source, ""));
}

FileTransferResult copyFileWorker(
    const std::string& source, const std::string& destFolder, const CopyHook& hook)
{
    FileCopyWorker worker;
    if (worker.start(source, destFolder, hook)) {
        CopyPacing pacing;
        pacing.eventsDue(); // a copy within its first steps gives the window no extra turn
        while (worker.step()) {
            if (pacing.eventsDue())
                yieldToEvents();
            // Once the program is to end the copy stops (nothing of the file stays).
            if (programEndRequested()) {
                worker.stop();
                break;
            }
        }
    }
    return worker.result();
}

void showCopiedFile(CopyPacing& pacing, const std::string& source)
{
    if (!pacing.textsDue())
        return;
    WizardWindows& windows = wizardWindows();
    if (windows.busyWindowOpen())
        windows.setBusyDetails("Please wait.. Copying " + source);
    windows.setStatusText("Migrated " + source);
}

void logWalkCopyFailure(const std::string& source, FsError error)
{
    if (error == FsError::FileNotFound) {
        sourceNotFound("Action_Copy_File", source);
        return;
    }
    writeTransferLog("Action_Copy_File", "Not Copied : " + sourceNamed(source) + ":" + errorText(error));
    wizardWindows().setStatusText("Not Copied : " + source);
}

namespace {

// One step of a folder copy's walk: its file copied, kept, or failed. Answers the failure of the
// step (None when there is none).
FsError copyFolderStep(const platform::TreeStep& s, const CopyHook& hook, const FolderCopyStyle& style,
    CopyPacing& pacing, std::string& lastCopied)
{
    using Kind = platform::TreeStepKind;
    const std::string source = s.sourceFolder + "\\" + s.name;
    switch (s.kind) {
    case Kind::FileCopied: {
        lastCopied = source;
        showCopiedFile(pacing, source);
        if (hook)
            hook(s.destFolder + "\\" + s.targetName);
        return FsError::None;
    }
    case Kind::FileExists: return copyFileWorker(source, s.destFolder, hook).error;
    case Kind::FileFailed:
        logWalkCopyFailure(source, s.error);
        return s.error == FsError::FileNotFound ? FsError::None : s.error;
    case Kind::LeftOut:
    case Kind::TooLong:
        // A name no Windows file system can hold is no part of the source's drive, and a path too
        // long none of this PC's: not copied, and the folder is not migrated whole.
        writeTransferLogText("Action_Copy_File", "Not copied : " + leftOutText(s));
        if (s.kind == Kind::LeftOut && style.passedOver) {
            style.passedOver(leftOutText(s));
            return FsError::None;
        }
        return s.kind == Kind::TooLong ? FsError::PathNotFound : FsError::BadFileName;
    case Kind::Refused:
        // The rest of a refused item's walk: left out, as the refusal said.
        if (s.why == kItemHaltedWhy)
            return FsError::None;
        // A place this PC keeps for itself: the item that named it is refused.
        refusePath("Action_Copy_File", s.sourceFolder + "\\" + s.name, s.why);
        return FsError::PermissionDenied;
    case Kind::FolderBlocked: return s.error == FsError::DiskFull ? s.error : FsError::PathNotFound;
    case Kind::SourceLost: return FsError::PathNotFound;
    case Kind::FolderEntered:
    case Kind::Working:
    case Kind::Done: break;
    }
    return FsError::None;
}

} // namespace

TransferOutcome copyFolderWorker(
    const std::string& source, const std::string& dest, const CopyHook& hook, const FolderCopyStyle& style)
{
    writeTransferLog(style.process, "Start");
    if (!folderExists(source))
        return folderNotFound(style.process, source);
    ItemTally* tally = currentItemTally();
    if (tally && tally->refused()) {
        writeTransferLog(style.process, "Not Copied : " + sourceNamed(source) + " : " + kItemHaltedWhy);
        return TransferOutcome::Failed;
    }
    if (tally)
        tally->keepFolderBefore(dest);
    // One walk over the tree (each folder resolved once); a failed step does not stop it: the
    // rest is still copied, and the first failure is answered with the folder it happened in.
    WizardWindows& windows = wizardWindows();
    windows.setMousePointer(MousePointer::Hourglass);
    platform::TreeCopyOptions options;
    options.maxPath = platform::kMaxWindowsPath;
    platform::TreeCopyWalk walk(std::move(options));
    FsError failure = openTreeCopy(source, dest, walk);
    std::string failedIn = dest;
    CopyPacing pacing;
    std::string lastCopied;
    for (platform::TreeStep s = walk.step(); s.kind != platform::TreeStepKind::Done; s = walk.step()) {
        if (tally && s.kind == platform::TreeStepKind::FileCopied)
            tally->noteMade(s.destFolder + "\\" + s.targetName, false);
        else if (tally && s.kind == platform::TreeStepKind::FolderEntered && s.made)
            tally->noteMade(s.destFolder, true);
        const FsError error = copyFolderStep(s, hook, style, pacing, lastCopied);
        if (error != FsError::None && failure == FsError::None) {
            failure = error;
            failedIn = s.destFolder;
        }
        yieldToEvents();
        // Once the program is to end the copy stops here (the walk removes a file it was writing).
        if (programEndRequested())
            break;
    }
    windows.setMousePointer(MousePointer::Default);
    // What the walk wrote between the item's refusal and its halt goes too.
    if (tally && tally->refused())
        tally->restoreKeptFiles();
    if (!lastCopied.empty())
        windows.setStatusText("Migrated " + lastCopied);
    if (failure != FsError::None) {
        writeTransferLog(style.process, style.failureStatus(errorNumber(failure), failedIn));
        return TransferOutcome::Failed;
    }
    writeTransferLog(style.process, "End");
    return TransferOutcome::Migrated;
}

FileTransferResult moveFileWorker(const std::string& source, const std::string& destFolder)
{
    WizardWindows& windows = wizardWindows();
    windows.setStatusText("Migrating " + source);
    windows.setMousePointer(MousePointer::Hourglass);

    const std::string target = destFolder + namePartOf(source);
    ensureFolder(destFolder);

    FileTransferResult result;
    if (!fileExists(source)) {
        result.outcome = sourceNotFound("Action_Move_File", source);
    } else if (!fileExists(target)) {
        yieldToEvents();
        FsError error = moveFile(source, withTrailingBackslash(destFolder));
        if (error == FsError::PathNotFound) {
            yieldToEvents();
            createFolder(destFolder);
            yieldToEvents();
            error = moveFile(source, withTrailingBackslash(destFolder));
        }
        result = failedWith(error);
    } else if (moveReplacesTarget(fileVersion(source), fileVersion(target))) {
        yieldToEvents();
        result = failedWith(replaceFile(source, target));
    }
    if (result.outcome == TransferOutcome::Failed)
        writeTransferLog("Action_Copy_File" + std::to_string(errorNumber(result.error)),
            "Not Moved" + sourceNamed(source) + ":" + errorText(result.error));

    windows.setMousePointer(MousePointer::Default);
    windows.setStatusText(statusFor(result.outcome, "Not Moved", source, "!"));
    return result;
}

TransferOutcome moveFolderWorker(const std::string& source, const std::string& dest)
{
    writeTransferLog("Action_Move_Folder", "Start");
    if (!folderExists(source))
        return folderNotFound("Action_Move_Folder", source);
    const FsError failure = walkFolder(source, dest,
        {[](const std::string& subDest) {
             return folderExists(subDest) ? FsError::None : createFolder(subDest);
         },
            [](const std::string& subSource, const std::string& subDest) {
                return moveFolderWorker(subSource, subDest);
            },
            [&](const std::string& file) { return moveFileWorker(file, dest).error; }});
    if (failure != FsError::None) {
        const std::string n = std::to_string(errorNumber(failure));
        writeTransferLog("Action_Move_Folder", n + ":" + n + "(" + dest + ")");
        return TransferOutcome::Failed;
    }
    writeTransferLog("Action_Move_Folder", "End");
    return TransferOutcome::Migrated;
}

} // namespace wizard::transfer
