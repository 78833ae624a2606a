// TransferOutcome.h: what became of one item that a transfer worker was given. Scripts list
// optional files, so a source that does not exist is no failure: the workers keep it apart from a
// real failure, and the script actions answer True for it after a log record that names it.
#pragma once

#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <string>

namespace wizard::transfer {

enum class TransferOutcome {
    // Done; also when the rules leave the destination as it is (the version rule keeps the target,
    // a replacement with an empty side, an empty or unmirrored value that is not imported).
    Migrated,
    // The source file, folder, registry file, key or value does not exist; nothing was copied,
    // moved, rewritten or imported (a copy's destination folder may have been made already).
    NotFound,
    // The source exists but reading, writing, replacing, exporting or importing failed.
    Failed,
};

// A file worker's outcome with the platform's error of a failed step (None otherwise).
struct FileTransferResult {
    TransferOutcome outcome = TransferOutcome::Migrated;
    FsError error = FsError::None;
};

// The answer of a script action: True for a migrated or missing source, False for a failure (the
// script engine then shows its report).
inline bool scriptAnswer(TransferOutcome outcome) { return outcome != TransferOutcome::Failed; }

// Writes the record that names a source that was not found ("Not found : " and the source) under
// the process name, and answers NotFound.
inline TransferOutcome sourceNotFound(const std::string& process, const std::string& source)
{
    writeTransferLog(process, "Not found : " + source);
    return TransferOutcome::NotFound;
}

} // namespace wizard::transfer
