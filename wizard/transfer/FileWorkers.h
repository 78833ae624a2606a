// FileWorkers.h: the file and folder copy and move workers shared by the script actions and the
// application copy. Each answers what became of its item (TransferOutcome.h): migrated, a source
// that was not found (logged "Not found : " and the source), or a failure (logged with its error).
#pragma once

#include "wizard/transfer/CopyPacing.h"
#include "wizard/transfer/TransferOutcome.h"

#include <functional>
#include <memory>
#include <string>

namespace wizard::transfer {

// Called with the target path after each copy that wrote the target.
using CopyHook = std::function<void(const std::string& target)>;

// How a folder worker words its failure record: the process name and the status built from the
// error number and the destination folder.
struct FolderCopyStyle {
    std::string process;
    std::function<std::string(int number, const std::string& dest)> failureStatus;
    // When set, an entry whose name Windows cannot hold is logged and handed here
    // ("<folder>\<name> : <why>") instead of failing the copy.
    std::function<void(const std::string& leftOut)> passedOver = {};
};

// Copies one file into destFolder under the copy rule (see Action_Copy_File). A target that the
// version rule keeps counts as migrated.
FileTransferResult copyFileWorker(
    const std::string& source, const std::string& destFolder, const CopyHook& hook);
// copyFileWorker in steps, for a caller that takes up the window's events itself: start() does all
// but the copy of the data, which moves beside the window (FileCopy); step() takes it up until it
// answers false. result() then answers as copyFileWorker does, its log records and status line
// written. Stopped (or let go of) before it ended, the file is not copied (Failed, not logged) and
// the target stays as it was.
class FileCopyWorker {
public:
    FileCopyWorker();
    ~FileCopyWorker();
    FileCopyWorker(const FileCopyWorker&) = delete;
    FileCopyWorker& operator=(const FileCopyWorker&) = delete;
    // False when the copy ended at once (a missing source, a target the version rule keeps). With
    // `pacing` (a walk that rewrites many files, one worker after the other), the window's events
    // are taken up and the texts changed only as often as it lets them. `named` is the source as
    // its log records name it (by default sourceNamed(source)).
    bool start(const std::string& source, const std::string& destFolder, CopyHook hook,
        CopyPacing* pacing = nullptr, const std::string& named = {});
    bool step();
    void stop();
    const FileTransferResult& result() const { return m_result; }

private:
    void end(FsError error, bool copied);
    void yieldWhenDue();

    std::string m_source;
    std::string m_named;
    std::string m_target;
    std::string m_sourceVersion;
    bool m_replacing = false;
    CopyPacing* m_pacing = nullptr;
    bool m_showTexts = true;
    CopyHook m_hook;
    std::unique_ptr<FileCopy> m_copy;
    FileTransferResult m_result;
};
// Shows the file a folder copy has just copied ("Please wait.. Copying" in an open busy window,
// "Migrated" on the status line), as often as `pacing` lets the texts change.
void showCopiedFile(CopyPacing& pacing, const std::string& source);
// Logs the copy of `source` in a folder walk that failed with `error`: a file gone since its folder
// was listed is not found; any other failure is not copied, and the status line says so too.
void logWalkCopyFailure(const std::string& source, FsError error);
// Copies a folder tree through one walk over it, a target that exists by copyFileWorker; logs "Start"/"End" or the failure record.
// Failed when any step of the tree failed (the rest is still copied); NotFound when the source
// folder does not exist.
TransferOutcome copyFolderWorker(
    const std::string& source, const std::string& dest, const CopyHook& hook, const FolderCopyStyle& style);
// Moves one file into destFolder under the move rule (see Action_Move_File). A source that stays
// because the target is kept counts as migrated.
FileTransferResult moveFileWorker(const std::string& source, const std::string& destFolder);
// Moves the files of a folder tree (the source folders stay); logs "Start"/"End" under
// "Action_Move_Folder" or the failure record "n:n(dest)".
TransferOutcome moveFolderWorker(const std::string& source, const std::string& dest);

} // namespace wizard::transfer
