// FilesFoldersMigration.h: copies the files and folders the user chose on the source PC onto the
// same paths of this PC, one file per step, and says for each chosen item what became of it.
#pragma once

#include "platform/WindowsName.h"
#include "wizard/transfer/CopyPacing.h"
#include "wizard/transfer/TransferOutcome.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class TreeCopyWalk;
struct TreeStep;
}

namespace wizard {
namespace transfer {
class FileCopyWorker;
}

// The path with its drive letter moved to the nearest fixed drive of this PC at or below it, down
// to C: ("D:\Data" gives "C:\Data" when D: is not a fixed drive here; the letter comes back in
// upper case). "" when there is none: an empty path, A:, B:, or anything that is not a drive path.
// `fixedDrive` says whether this PC has a fixed drive of an upper-case letter.
std::string Drive_Check(const std::string& path, const std::function<bool(char)>& fixedDrive);
// The same on the running machine.
std::string Drive_Check(const std::string& path);
// Whether the running machine has a fixed drive of that letter with a medium.
bool isLocalFixedDrive(char letter);

// Where a chosen item goes on this PC before Drive_Check: a folder to its own path
// ("C:\Data\Letters"), a file into the folder of its path ("C:\Data\"). `sourcePath` is the source
// PC's own path of the item ("C:\Data\a.txt"); "" when that is not a drive path.
std::string destinationOf(const std::string& sourcePath, bool isFolder);

class FilesFoldersMigration {
public:
    struct Item {
        std::string key;        // how this PC reaches it: \\OLDPC\C$\Data\a.txt
        std::string sourcePath; // the source PC's own path: C:\Data\a.txt
    };
    struct Hooks {
        // An item still under way at the end of its first step (a file copied within that step,
        // or one not found, only ends).
        std::function<void(const Item&)> started;
        // Each item ends once: Migrated, NotFound (it vanished from the source since it was
        // listed) or Failed, with what went wrong (for a migrated item "", or how many files of
        // this PC it kept in place of the source's, and why).
        std::function<void(const Item&, transfer::TransferOutcome, const std::string& detail)> finished;
        // Default: isLocalFixedDrive.
        std::function<bool(char)> fixedDrive;
    };

    FilesFoldersMigration(std::vector<Item> items, Hooks hooks);
    ~FilesFoldersMigration();
    FilesFoldersMigration(const FilesFoldersMigration&) = delete;
    FilesFoldersMigration& operator=(const FilesFoldersMigration&) = delete;

    // Copies one file (or a part of a large one), enters one folder, or starts or ends one item.
    // False when nothing remains.
    bool step();
    // The item under way and every later one end as failed ("Cancelled") at the next step.
    void cancel() { m_cancelled = true; }

private:
    void begin(const Item& item);
    void startItem(const Item& item);
    void beginFolder(const Item& item, const std::string& dest);
    void startGathering(const std::string& destFolder);
    void gatherStep();
    void openBatch();
    void batchStep();
    void lostFromBatch();
    void walkStep();
    void takeStep(const platform::TreeStep& s);
    void copyChosenFile();
    // Counts a failed file or folder of the item; the first one's text goes into its report.
    void failed(const std::string& firstFailure);
    void fileFailed(const std::string& source, const std::string& failure);
    // A destination this PC keeps for itself (the wizard's folder, a hive, a start-up file): the
    // item is refused, named as the source spells it, and nothing is written. False otherwise.
    bool refusedPlace(const std::string& dest);
    // A file whose path would be longer than this PC allows: logged and counted.
    void tooLong(const std::string& source);
    // A path below the current item's network path as the source PC spells it (C:\Data\a.txt).
    std::string named(const std::string& path) const;
    void copyOverExisting(const std::string& source, const std::string& destFolder);
    void replaceStep();
    void countReplaced(const std::string& source, const transfer::FileTransferResult& r);
    void finish(transfer::TransferOutcome outcome, const std::string& detail);
    void finishCurrent();

    std::vector<Item> m_items;
    Hooks m_hooks;
    std::size_t m_next = 0;
    bool m_active = false;
    bool m_cancelled = false;
    // A chosen folder is copied by one walk over its tree; a file that cannot go through a walk
    // waits in m_fileSource (with m_fileFolder, the folder it goes into) for its one copy.
    std::unique_ptr<platform::TreeCopyWalk> m_walk;
    // A file chosen on its own, and files chosen one by one beside each other (the items up to
    // m_batchEnd), go through one walk over their folder, held open from the first to the last, so
    // that no file's copy looks the folder up again and the data moves beside the window;
    // m_inBatch while the current item's file is its next.
    std::unique_ptr<platform::TreeCopyWalk> m_batch;
    std::size_t m_batchEnd = 0;
    bool m_inBatch = false;
    // While the files of a batch are gathered (a bounded number per step, so that a folder of
    // many thousand chosen files never holds up the window): the next item looked at, the names
    // taken so far and the folder they go into.
    struct Gathering;
    std::unique_ptr<Gathering> m_gathering;
    std::string m_fileSource;
    std::string m_fileFolder;
    // A target that exists and that the version rule replaces: its data moves beside the window
    // over the next steps (m_replaceSource names the source).
    std::unique_ptr<transfer::FileCopyWorker> m_replace;
    std::string m_replaceSource;
    transfer::CopyPacing m_pacing;
    int m_copied = 0;
    int m_keptNewer = 0;      // targets kept because this PC's file is the newer one
    int m_keptDatedAhead = 0; // targets kept because the source's file is dated after the item began
    std::chrono::system_clock::time_point m_runStarted; // when begin() took up the item
    int m_failedFiles = 0;
    std::string m_firstFailure;
};

// The rules operation: copies selectionCollections().filesFolders with the busy window open,
// yielding to the window between files and honouring its Cancel; marks each item's row on the
// space page, advances its bar and records the item in migrationReport(). The busy window is
// closed on every way out. True: what failed is told per item by the report, not by keeping the
// wizard on its page.
bool Sub_Data_Explorer_Migration();

} // namespace wizard
