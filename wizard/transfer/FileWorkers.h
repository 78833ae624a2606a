// FileWorkers.h: the file and folder copy and move workers shared by the script actions and the
// application copy: one routine per step, with the error of a failed step as the result.
#pragma once

#include "wizard/transfer/TransferPlatform.h"

#include <functional>
#include <string>

namespace wizard::transfer {

// Called with the target path after each copy that wrote the target.
using CopyHook = std::function<void(const std::string& target)>;

// How a folder worker words its failure record: the process name and the status built from the
// error number and the destination folder.
struct FolderCopyStyle {
    std::string process;
    std::function<std::string(int number, const std::string& dest)> failureStatus;
};

// Copies one file into destFolder under the copy rule (see Action_Copy_File).
RunError copyFileWorker(const std::string& source, const std::string& destFolder, const CopyHook& hook);
// Copies a folder tree depth first with copyFileWorker; logs "Start"/"End" or the failure record.
bool copyFolderWorker(
    const std::string& source, const std::string& dest, const CopyHook& hook, const FolderCopyStyle& style);
// Moves one file into destFolder under the move rule (see Action_Move_File).
RunError moveFileWorker(const std::string& source, const std::string& destFolder);

} // namespace wizard::transfer
