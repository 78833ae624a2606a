// MassCopy.h: the file side of a mass migration: whole folder trees copied with the renaming rules
// for Windows folders and system files, and the mapped source drives copied onto the destination's
// C: and D: by position.
#pragma once

#include "wizard/transfer/CopyPacing.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class TreeCopyWalk;
}

namespace wizard::mass {

struct MassState;

// The renaming and leaving-out rules of a tree copy.
struct TreeCopyRules {
    std::string sourceWindows; // the source's Windows folder name ("WINDOWS"); empty: no renaming
    std::string destWindows;   // the destination's ("WINNT")
    // A 95/98/ME source onto 2000: its Windows folder's SYSTEM arrives as System32. Never onto a
    // Windows 98 destination (it has no System32) and never from a 2000/XP source.
    bool systemToSystem32 = false;
    // An XP destination keeps its own system folders: the source Windows folder's SYSTEM and
    // SYSTEM32 are not copied. Other folders whose names merely contain "system" are.
    bool keepDestinationSystem = false;
    // The destination's Windows folder ("C:\WINDOWS"): the files of its own it keeps there are
    // kept on purpose and not told; the other files held back are counted, per folder in the log.
    std::string destSystemRoot;
    // The copy writes the root of the drive that holds the destination's Windows folder: of the
    // source root's folders only its Windows folder goes there, none other of that name (and none
    // when the source's Windows folder is not known).
    bool guardWindows = false;
};

TreeCopyRules treeCopyRulesFor(const MassState& state);

// Files never copied (pagefile.sys, folder.htt, desktop.ini, hiberfil.sys, in any case).
bool neverCopied(const std::string& name);

// What a tree copy did.
struct TreeCopyReport {
    std::size_t copied = 0;
    std::size_t kept = 0; // existing destination files left alone
    std::size_t heldBack =
        0;                  // of those, the ones outside the destination's Windows folder (logged per folder)
    std::size_t failed = 0; // files that could not be copied (in use, read-only targets; each logged)
    // Source entries left out: names Windows cannot hold, names equal but for case to one copied,
    // paths longer than Windows allows (each logged "Not copied : ...").
    std::size_t leftOut = 0;
    std::string firstLeftOut; // the first of them, as the log says it
    // Entries kept from their destination: a place this PC keeps for itself (a hive, the wizard's
    // folder), another entry's short name, a folder of another name than the source's Windows
    // folder for this PC's Windows folder (each logged "Refused : ...").
    std::size_t refused = 0;
    std::string firstRefused;
    std::size_t folders = 0;
    // Source folders left out while the source stayed reachable: the destination could not make
    // the folder (a file holds its name) or the folder could not be listed.
    std::size_t blocked = 0;
    bool sourceLost = false; // a source folder went away during the copy
    bool diskFull = false;   // the destination took no more; the copy ended there
};

// Copies a folder tree in bounded steps through one walk over the tree (platform::TreeCopyWalk):
// a step enters a folder, copies a file, or copies a part of a large file. The status bar and the
// busy window say "Migrating..." with the destination folder and the file, at most ten times a
// second.
class TreeCopier {
public:
    // `stepsAhead`: how far the copy's work beside the window may run ahead of the steps taken
    // (platform::TreeCopyOptions::stepsAhead).
    TreeCopier(const std::string& source, const std::string& dest, bool recurse, bool overwrite,
        TreeCopyRules rules, std::size_t stepsAhead = 1024);
    ~TreeCopier();
    TreeCopier(const TreeCopier&) = delete;
    TreeCopier& operator=(const TreeCopier&) = delete;
    // Does the next piece of work; false when nothing remains (or the destination filled up).
    bool step();
    const TreeCopyReport& report() const { return m_report; }

private:
    static std::string destinationName(
        const TreeCopyRules& rules, const std::string& sourceFolder, const std::string& name);
    static bool intoDestinationWindows(
        const TreeCopyRules& rules, const std::string& sourceFolder, const std::string& name);
    // Logs a refused entry ("<source path> : <why>") and counts it.
    void noteRefused(const std::string& text);
    bool begin();
    // One log record for the files held back in the folder last seen holding any.
    void logHeldBack();

    std::string m_source;
    std::string m_dest;
    TreeCopyRules m_rules;
    std::unique_ptr<platform::TreeCopyWalk> m_walk;
    bool m_begun = false;
    transfer::CopyPacing m_pacing;
    TreeCopyReport m_report;
    std::string m_heldFolder;       // the destination folder of the last file held back
    std::size_t m_heldInFolder = 0; // held back there and not yet logged
};

// Copies the tree with the mass state's rules, yielding between folders; a missing destination
// folder is created. True unless the source folder is missing, the source went away or the
// destination filled up (then the report says which; what was copied is complete).
bool FN_Copy_Folder_Tree(const std::string& source, const std::string& dest, bool recurse, bool overwrite,
    TreeCopyReport* report = nullptr);

// One mapped source drive's copy.
struct DriveCopyResult {
    std::string sourceDrive; // "D:"
    std::string localDrive;  // where it is mapped ("Y:")
    std::string destDrive;   // the destination drive it was copied onto ("D:"); empty when none
    TreeCopyReport report;
    std::string note; // what the user is told when the drive was not copied whole; empty otherwise
};

// The destination drive the source drive at `position` of the drive map is copied onto ("C:" for
// the first, "D:" for the second); "" for a drive that is not copied.
std::string copyDestinationDrive(std::size_t position);

// Copies the mapped source drives without overwriting, by position: the first (the source's C:) onto
// the destination's C:, the next onto D:. A destination drive that is no hard disk of this PC, or
// a third mapped source drive, is not copied and says so.
std::vector<DriveCopyResult> copyMappedDrives();

// The notes of the last copyMappedDrives (one per drive not copied whole), for the status page.
const std::vector<std::string>& driveCopyNotes();
// What every tree copy since the last copyMappedDrives did not copy, counted for the status page:
// "" when nothing, else e.g. "Not copied: 1 file(s) or folder(s) that could not be copied; the log
// names each." and "Kept: 2 file(s) this PC already had, which the copy leaves as they are; ...".
std::string notCopiedSummary();
// Whether the copies since the last copyMappedDrives copied everything they were to copy: no drive
// note, nothing failed and nothing left out for its name. Files this PC already had, which the copy
// keeps by its rule, leave it whole (MassItemsNotCopied, WizardState.h, says the opposite).
bool copiedWhole();

} // namespace wizard::mass
