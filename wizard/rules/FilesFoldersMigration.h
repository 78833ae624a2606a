// FilesFoldersMigration.h: copies the files and folders the user chose on the source PC onto the
// same paths of this PC, one file per step, and says for each chosen item what became of it.
#pragma once

#include "wizard/transfer/TransferOutcome.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class FolderCopy;
}

namespace wizard {

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
        std::function<void(const Item&)> started;
        // Each item ends once: Migrated, NotFound (it vanished from the source since it was
        // listed) or Failed, with what went wrong ("" when migrated).
        std::function<void(const Item&, transfer::TransferOutcome, const std::string& detail)> finished;
        // Default: isLocalFixedDrive.
        std::function<bool(char)> fixedDrive;
    };

    FilesFoldersMigration(std::vector<Item> items, Hooks hooks);
    ~FilesFoldersMigration();
    FilesFoldersMigration(const FilesFoldersMigration&) = delete;
    FilesFoldersMigration& operator=(const FilesFoldersMigration&) = delete;

    // Copies one file, lists one folder or starts or ends one item. False when nothing remains.
    bool step();
    // The item under way and every later one end as failed ("Cancelled") at the next step.
    void cancel() { m_cancelled = true; }

private:
    struct PendingFile {
        std::string source;
        std::string destFolder; // without a closing "\"
        // Where the name begins in `source` for a file of a listed folder (its stored spelling);
        // 0 for a file chosen on its own.
        std::size_t nameStart = 0;
    };
    struct PendingFolder {
        std::string source;
        std::string dest;
    };
    void begin(const Item& item);
    void listFolder(const PendingFolder& folder);
    // Logs "Not copied : <text>" and counts a file of the item as not copied.
    void noteFailure(const std::string& text);
    void copyOne(const PendingFile& file);
    // The open copy between the listed file's folder and its destination folder, opened when the
    // walk reaches a new pair of folders; null for a file chosen on its own or folders that cannot
    // be opened (the file then takes the path-by-path copy).
    platform::FolderCopy* folderCopyFor(const PendingFile& file);
    void finish(transfer::TransferOutcome outcome, const std::string& detail);
    void finishCurrent();

    std::vector<Item> m_items;
    Hooks m_hooks;
    std::size_t m_next = 0;
    bool m_active = false;
    bool m_cancelled = false;
    std::vector<PendingFolder> m_folders; // walked last in, first out
    std::vector<PendingFile> m_files;
    std::size_t m_fileIndex = 0;
    std::unique_ptr<platform::FolderCopy> m_folderCopy;
    std::string m_copyFrom; // the folders m_folderCopy was opened on
    std::string m_copyTo;
    std::chrono::steady_clock::time_point m_textsShown; // when a copy last showed its file
    int m_copied = 0;
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
