// TransferOutcome.h: what became of one item that a transfer worker was given. Scripts list
// optional files, so a source that does not exist is no failure: the workers keep it apart from a
// real failure, and the script actions answer True for it after a log record that names it.
#pragma once

#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <atomic>
#include <memory>
#include <string>
#include <unordered_set>
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
    ItemTally();
    // Removes the copies of the files the item replaced (keepFileBefore).
    ~ItemTally();
    ItemTally(const ItemTally&) = delete;
    ItemTally& operator=(const ItemTally&) = delete;

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
    // A refusal (refusePath) ended the item: nothing more of it is written, and the folder walks
    // under way leave out what they have not yet written (halted()).
    void noteRefused()
    {
        m_refused = true;
        m_halted->store(true);
    }
    bool refused() const { return m_refused; }
    // Set once the item is refused; read by the work beside a folder walk, which may outlive it.
    std::shared_ptr<const std::atomic<bool>> halted() const { return m_halted; }
    // Before an import writes below `key` of this PC's registry ("HKEY_CURRENT_USER\Identities"):
    // the key as it stands is kept once, so that a refusal can put it back.
    void keepKeyBefore(const std::string& key);
    // Puts every kept key back as it was before the item's first import into it.
    void restoreKeptKeys();
    // Before a copy of the item writes the file `target` of this PC: a file that is there is kept
    // once (a copy in the wizard's working folder), so that a refusal can put it back as it was; a
    // file that is not there goes again at a refusal. False when the file could not be kept: the
    // copy must then leave it as it is.
    bool keepFileBefore(const std::string& target);
    // Before the item makes `folder` (with its parents): the first missing one goes again, with
    // all in it, at a refusal.
    void keepFolderBefore(const std::string& folder);
    // A file or folder a folder walk of the item made where there was none.
    void noteMade(const std::string& path, bool folder);
    // Puts every kept file back and removes the files and folders the item made, the latest first.
    // Also after the refusal, for what a walk under way wrote before it halted.
    void restoreKeptFiles();
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
    // Files and folders of this PC the item wrote, each file with the copy of what it replaced ("" for
    // none), and the same paths case folded: a path kept once, or inside a folder the item made,
    // is not kept again.
    struct KeptFile {
        std::string path;
        std::string copy;
        bool folder = false;
    };
    bool keptAlready(const std::string& path) const;
    std::vector<KeptFile> m_keptFiles;
    std::unordered_set<std::string> m_keptPaths;
    std::vector<std::string> m_madeFolders;
    std::shared_ptr<std::atomic<bool>> m_halted;
};

// The tally of the item being migrated; null outside an item run (nothing is noted then).
ItemTally* currentItemTally();

// Whether the current item was refused: nothing more of it may be written.
inline bool currentItemRefused()
{
    const ItemTally* tally = currentItemTally();
    return tally && tally->refused();
}

// Why a folder walk of a refused item leaves out what it has not yet written (a Refused step).
inline constexpr const char* kItemHaltedWhy = "its item was refused";

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
