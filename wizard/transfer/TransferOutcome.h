// TransferOutcome.h: what became of one item that a transfer worker was given. Scripts list
// optional files, so a source that does not exist is no failure: the workers keep it apart from a
// real failure, and the script actions answer True for it after a log record that names it.
#pragma once

#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <string>
#include <utility>
#include <vector>

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

// What the script actions of one migrated item (an application's or a setting's script) gave,
// kept while the item runner runs its script.
class ItemTally {
public:
    void note(TransferOutcome outcome);
    // A script action that answered False, named as the log names it; the first one is kept.
    void noteFailedStep(const std::string& step);
    // Failed when any action failed; NotFound when every transfer found its source missing;
    // Migrated otherwise (also when the script transferred nothing itself).
    TransferOutcome verdict() const;
    // The first failed action ("" when none was named).
    const std::string& failedStep() const { return m_failedStep; }
    // An entry a copy left out without failing the item ("<folder>\<name> : <why>"); the item's
    // report names them all.
    void notePassedOver(const std::string& entry);
    const std::string& passedOver() const { return m_passedOver; }
    // A refusal (refusePath) ended the item: nothing more of it is written.
    void noteRefused() { m_refused = true; }
    bool refused() const { return m_refused; }
    // Before an import writes below `key` of this PC's registry ("HKEY_CURRENT_USER\Identities"):
    // the key as it stands is kept once, so that a refusal can put it back.
    void keepKeyBefore(const std::string& key);
    // Puts every kept key back as it was before the item's first import into it.
    void restoreKeptKeys();
    int migrated() const { return m_migrated; }
    int notFound() const { return m_notFound; }
    int failed() const { return m_failed; }

private:
    int m_migrated = 0;
    int m_notFound = 0;
    int m_failed = 0;
    std::string m_failedStep;
    std::string m_passedOver;
    bool m_refused = false;
    // Keys of this PC's registry an import of the item wrote to, each with its text (REGEDIT4)
    // before the first write, "" for a key that did not exist.
    std::vector<std::pair<std::string, std::string>> m_keptKeys;
};

// The tally of the item being migrated; null outside an item run (nothing is noted then).
ItemTally* currentItemTally();

// Makes a tally the current one for its lifetime (item runs do not nest; the previous one comes
// back at the end).
class ItemTallyScope {
public:
    explicit ItemTallyScope(ItemTally& tally);
    ~ItemTallyScope();
    ItemTallyScope(const ItemTallyScope&) = delete;
    ItemTallyScope& operator=(const ItemTallyScope&) = delete;

private:
    ItemTally* m_previous;
};

// The answer of a script action: True for a migrated or missing source, False for a failure (the
// script engine then shows its report). The outcome is noted in the current item's tally.
inline bool scriptAnswer(TransferOutcome outcome)
{
    if (ItemTally* tally = currentItemTally())
        tally->note(outcome);
    return outcome != TransferOutcome::Failed;
}

// A failure outside the script's actions: the current item failed, at `step` unless an earlier
// step failed first. Outside an item (a mass run's steps) the run did not move everything.
void noteItemFailure(const std::string& step);

// A path a source value names that no copy may use (TransferPlatform.h's refusals): logged as
// "Refused : <path> : <why>" under the process name, `path` named as the source PC spells it, and
// the current item fails with it and is refused: its later steps do not run, and what its imports
// wrote into this PC's registry is undone (ItemTally::refused).
void refusePath(const std::string& process, const std::string& path, const std::string& why);

// Writes the record that names a source that was not found ("Not found : " and the source, named as
// the source PC names it) under the process name, and answers NotFound.
inline TransferOutcome sourceNotFound(const std::string& process, const std::string& source)
{
    writeTransferLog(process, "Not found : " + sourceNamed(source));
    return TransferOutcome::NotFound;
}

} // namespace wizard::transfer
