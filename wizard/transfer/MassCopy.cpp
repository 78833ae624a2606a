// MassCopy.cpp: whole folder trees and drives copied during a mass migration.
#include "wizard/transfer/MassCopy.h"

#include "common/Text.h"
#include "platform/PathConfinement.h"
#include "platform/RunningMachine.h"
#include "platform/TreeCopyWalk.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/MassSteps.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <algorithm>
#include <array>

namespace wizard::mass {
namespace {

// Upper-cased as Windows compares names, whatever the locale: a Turkish one has no upper "i".
std::string upperTrimmed(const std::string& text) { return common::upperAscii(common::trimmed(text, " ")); }

// "X:\" or "\\PC\SHARE\": a drive's root, local or shared.
bool isDriveRoot(const std::string& folder)
{
    if (folder.size() == 3 && folder[1] == ':')
        return true;
    return folder.rfind("\\\\", 0) == 0 && std::count(folder.begin(), folder.end(), '\\') == 4;
}

// True for the Windows folder directly below a drive's root ("Z:\WINDOWS\").
bool isWindowsFolder(const std::string& folder, const std::string& windowsUpper)
{
    const std::string tail = windowsUpper + "\\";
    if (folder.size() <= tail.size() || upperTrimmed(folder.substr(folder.size() - tail.size())) != tail)
        return false;
    return isDriveRoot(folder.substr(0, folder.size() - tail.size()));
}

std::vector<std::string>& notes()
{
    static std::vector<std::string> list;
    return list;
}

// What the tree copies since the last copyMappedDrives did not copy.
TreeCopyReport& notCopied()
{
    static TreeCopyReport total;
    return total;
}

// True for a folder at or below `root` ("C:\WINDOWS\Fonts" below "C:\WINDOWS").
bool isAtOrBelow(const std::string& folder, const std::string& root)
{
    const std::string f = upperTrimmed(folder) + "\\";
    const std::string r = upperTrimmed(root) + "\\";
    return root.size() > 2 && f.rfind(r, 0) == 0;
}

// Why a source root's folder is refused, as the log says it.
constexpr const char* kNotSourceWindows =
    "into this PC's Windows folder, which takes the source's Windows folder only";

} // namespace

// A folder of the source root that, not being the source's Windows folder, would land in the
// destination's Windows folder by its name.
bool TreeCopier::intoDestinationWindows(
    const TreeCopyRules& rules, const std::string& sourceFolder, const std::string& name)
{
    const std::string up = upperTrimmed(name);
    return rules.guardWindows && isDriveRoot(sourceFolder) && !rules.destWindows.empty() &&
        up == upperTrimmed(rules.destWindows) && up != upperTrimmed(rules.sourceWindows);
}

TreeCopyRules treeCopyRulesFor(const MassState& state)
{
    TreeCopyRules rules;
    rules.sourceWindows = windowsFolderName(state.sourceSystemRoot);
    rules.destWindows = windowsFolderName(state.destSystemRoot);
    rules.systemToSystem32 = isWin9xCode(state.sourceOsCode) && state.destOsCode == "W2K";
    rules.keepDestinationSystem = state.destOsCode == "XP";
    rules.destSystemRoot = state.destSystemRoot;
    return rules;
}

bool neverCopied(const std::string& name)
{
    const std::string up = upperTrimmed(name);
    return up == "PAGEFILE.SYS" || up == "FOLDER.HTT" || up == "DESKTOP.INI" || up == "HIBERFIL.SYS";
}

TreeCopier::TreeCopier(const std::string& source, const std::string& dest, bool recurse, bool overwrite,
    TreeCopyRules rules, std::size_t stepsAhead)
    : m_source(source)
    , m_dest(dest)
    , m_rules(std::move(rules))
{
    platform::TreeCopyOptions options;
    options.recurse = recurse;
    options.overwrite = overwrite;
    options.leaveOut = [](const std::string& name) { return neverCopied(name); };
    options.maxPath = platform::kMaxWindowsPath;
    options.endAtDiskFull = true; // the drive's copy ends where it filled up
    options.stepsAhead = stepsAhead;
    // The rules travel with the walk: its work beside the window may outlive this copier by a step.
    options.folderName = [rules = m_rules](const std::string& sourceFolder, const std::string& name) {
        return destinationName(rules, sourceFolder, name);
    };
    m_walk = std::make_unique<platform::TreeCopyWalk>(std::move(options));
}

// A copy ended early (the way out, a full disk) still counts the files it held back.
TreeCopier::~TreeCopier() { logHeldBack(); }

// The name a sub-folder takes at the destination; empty when it is not copied.
std::string TreeCopier::destinationName(
    const TreeCopyRules& rules, const std::string& sourceFolder, const std::string& name)
{
    const std::string up = upperTrimmed(name);
    if (up == "SYSTEM VOLUME INFORMATION")
        return {}; // the volume's own, never a user's
    const std::string windows = upperTrimmed(rules.sourceWindows);
    if (isDriveRoot(sourceFolder)) {
        if (!windows.empty() && up == windows && !rules.destWindows.empty())
            return rules.destWindows;
        if (intoDestinationWindows(rules, sourceFolder, name))
            return {};
    }
    if (windows.empty())
        return name;
    if (isWindowsFolder(sourceFolder, windows)) {
        if (rules.keepDestinationSystem && (up == "SYSTEM" || up == "SYSTEM32"))
            return {};
        if (rules.systemToSystem32 && up == "SYSTEM")
            return "System32";
    }
    return name;
}

// Opens the walk on both folders; false when there is nothing to copy.
bool TreeCopier::begin()
{
    m_begun = true;
    std::string refusal;
    const platform::FsError error =
        transfer::openTreeCopy(m_source, m_dest, *m_walk, "FN_Copy_Folder_Tree", &refusal);
    if (!refusal.empty()) {
        // The destination itself is refused (the log says so): the tree is not copied.
        if (m_report.refused++ == 0)
            m_report.firstRefused = transferGlobals().driveMap.sourcePathOf(m_source) + " : " + refusal;
        return false;
    }
    if (error == platform::FsError::None) {
        ++m_report.folders;
        // The root's folders the walk leaves out for this PC's Windows folder are named here.
        const std::string root = m_source.back() == '\\' ? m_source : m_source + "\\";
        if (!m_rules.guardWindows || !isDriveRoot(root))
            return true;
        for (const std::string& name : transfer::subFolderNames(m_source))
            if (intoDestinationWindows(m_rules, root, name))
                noteRefused(transferGlobals().driveMap.sourcePathOf(root + name) + " : " + kNotSourceWindows);
        return true;
    }
    if (error == platform::FsError::DiskFull)
        m_report.diskFull = true;
    else if (error == platform::FsError::PathFileAccess)
        ++m_report.blocked; // the destination cannot be made: the source is still there
    else
        m_report.sourceLost = true;
    return false;
}

bool TreeCopier::step()
{
    if (!m_begun)
        return begin();
    if (m_report.diskFull)
        return false;
    const platform::TreeStep s = m_walk->step();
    using Kind = platform::TreeStepKind;
    switch (s.kind) {
    case Kind::Done: logHeldBack(); return false;
    case Kind::FolderEntered: ++m_report.folders; break;
    case Kind::FileCopied: ++m_report.copied; break;
    case Kind::FileExists:
        ++m_report.kept;
        // This PC's own file stays (nothing is overwritten); outside its Windows folder, whose
        // files it keeps on purpose, they are counted, one log record per folder.
        if (!isAtOrBelow(s.destFolder, m_rules.destSystemRoot)) {
            ++m_report.heldBack;
            if (s.destFolder != m_heldFolder)
                logHeldBack();
            m_heldFolder = s.destFolder;
            ++m_heldInFolder;
        }
        break;
    case Kind::SourceLost: m_report.sourceLost = true; break;
    case Kind::FileFailed:
    case Kind::FolderBlocked:
        if (s.error == platform::FsError::DiskFull) {
            m_report.diskFull = true;
            break;
        }
        ++(s.kind == Kind::FileFailed ? m_report.failed : m_report.blocked);
        writeTransferLogText("FN_Copy_Folder_Tree",
            "Not copied : " + s.sourceFolder + "\\" + s.name + " : " +
                std::string(platform::fsErrorText(s.error)));
        break;
    case Kind::Working: break;
    case Kind::Refused:
        // What this PC keeps for itself (its hives, start-up files, the wizard's folder) or a name
        // it gives another entry is never the source's: the copy is not whole.
        noteRefused(transfer::refusedText(s));
        break;
    case Kind::TooLong:
    case Kind::LeftOut: {
        // A name no Windows file system can hold is no part of the source's drive.
        const std::string text = transfer::leftOutText(s);
        writeTransferLogText("FN_Copy_Folder_Tree", "Not copied : " + text);
        if (m_report.leftOut++ == 0)
            m_report.firstLeftOut = text;
        break;
    }
    }
    if (m_pacing.textsDue()) {
        const std::string text = "Migrating..." + s.destFolder + "\\" + s.targetName;
        wizardWindows().setStatusText(text);
        wizardWindows().setBusyDetails(text);
    }
    if (m_report.diskFull)
        m_walk->close();
    return !m_report.diskFull;
}

void TreeCopier::noteRefused(const std::string& text)
{
    writeTransferLogText("FN_Copy_Folder_Tree", "Refused : " + text);
    if (m_report.refused++ == 0)
        m_report.firstRefused = text;
}

void TreeCopier::logHeldBack()
{
    if (m_heldInFolder == 0)
        return;
    // A drive's root is named as such ("C:\\"), not as the bare drive.
    const bool bareDrive = m_heldFolder.size() == 2 && m_heldFolder[1] == ':';
    writeTransferLogText("FN_Copy_Folder_Tree",
        "Not copied, this PC has its own : " + std::to_string(m_heldInFolder) + " file(s) in " +
            m_heldFolder + (bareDrive ? "\\" : ""));
    m_heldInFolder = 0;
}

bool FN_Copy_Folder_Tree(
    const std::string& source, const std::string& dest, bool recurse, bool overwrite, TreeCopyReport* report)
{
    TreeCopyRules rules = treeCopyRulesFor(massState());
    // Into the root of the drive of this PC's Windows folder ("C:", "C:\").
    const std::string& destRoot = massState().destSystemRoot;
    rules.guardWindows = destRoot.size() >= 2 &&
        (dest.size() == 2 || (dest.size() == 3 && dest[2] == '\\')) &&
        common::equalsNoCaseAscii(dest.substr(0, 2), destRoot.substr(0, 2));
    TreeCopier copier(source, dest, recurse, overwrite, std::move(rules));
    // A step is one file, one folder or a part of a large file; the window's events are taken up
    // between steps every few milliseconds.
    transfer::CopyPacing pacing;
    while (copier.step()) {
        if (pacing.eventsDue())
            transfer::yieldToEvents();
        if (programEndRequested())
            break;
    }
    if (report)
        *report = copier.report();
    const TreeCopyReport& r = copier.report();
    notCopied().heldBack += r.heldBack;
    notCopied().failed += r.failed + r.blocked;
    notCopied().leftOut += r.leftOut;
    notCopied().refused += r.refused;
    // Never cleared here: a step before this copy may have failed or refused something.
    if (!copiedWhole())
        MassItemsNotCopied = true;
    // What the source held but the copy left out makes the tree not migrated whole.
    if (r.leftOut > 0)
        migrationReport().record(ReportGroup::FilesAndFolders, source, transfer::TransferOutcome::Failed,
            std::to_string(r.leftOut) + " not copied; first: " + r.firstLeftOut);
    else if (r.refused > 0)
        migrationReport().record(ReportGroup::FilesAndFolders, source, transfer::TransferOutcome::Failed,
            std::to_string(r.refused) + " refused; first: " + r.firstRefused);
    return !r.sourceLost && !r.diskFull;
}

std::string copyDestinationDrive(std::size_t position)
{
    // The drives pair by position: the map's first entry (the source's C:) goes to C:, the next
    // mapped source drive to D:, whatever its own letter.
    static constexpr std::array<char, 2> kDestLetters = {'C', 'D'};
    return position < kDestLetters.size() ? std::string(1, kDestLetters[position]) + ":" : std::string();
}

std::vector<DriveCopyResult> copyMappedDrives()
{
    writeTransferLog("FN_CopyFiles_Tmp", "Start");
    notes().clear();
    notCopied() = {};
    MassItemsNotCopied = false;
    if (const std::string& root = massState().refusedSystemRoot; !root.empty()) {
        // The source's Windows folder is not known: nothing of it arrives in this PC's.
        notes().push_back("The source's SystemRoot " + root +
            " is no Windows folder of the source: no folder of the source was copied into this PC's Windows "
            "folder");
        writeTransferLog("FN_CopyFiles_Tmp_Err", notes().back());
        MassItemsNotCopied = true;
    }
    std::vector<DriveCopyResult> results;
    platform::RunningMachine* machine = platform::RunningMachine::current();
    std::size_t position = 0;
    for (const auto& [sourceDrive, localDrive] : transferGlobals().driveMap.entries()) {
        if (programEndRequested())
            break;
        DriveCopyResult d{sourceDrive, localDrive, "", {}, ""};
        const std::string dest = copyDestinationDrive(position++);
        const platform::DriveEntry* entry =
            machine && !dest.empty() ? machine->config().drive(dest[0]) : nullptr;
        if (dest.empty()) {
            d.note = "The source drive " + sourceDrive +
                " was not copied: only the first two mapped source drives are copied (onto C: and D:)";
        } else if (!entry || entry->type != platform::DriveType::Fixed) {
            d.note = "The source drive " + sourceDrive + " was not copied: this PC has no hard disk " + dest;
        } else {
            d.destDrive = dest;
            FN_Copy_Folder_Tree(localDrive, d.destDrive, true, false, &d.report);
            if (d.report.sourceLost)
                d.note = "The source drive " + sourceDrive +
                    " could no longer be reached during the copy: the files copied before are complete, the "
                    "rest "
                    "was not copied";
            else if (d.report.diskFull)
                d.note = "Drive " + d.destDrive + " is full: the copy of the source drive " + sourceDrive +
                    " ended there";
            else if (d.report.leftOut > 0)
                d.note = std::to_string(d.report.leftOut) + " file(s) or folder(s) of the source drive " +
                    sourceDrive + " were not copied (first: " + d.report.firstLeftOut +
                    "); the log names each";
            else if (d.report.refused > 0)
                d.note = std::to_string(d.report.refused) + " file(s) or folder(s) of the source drive " +
                    sourceDrive + " were refused (first: " + d.report.firstRefused + "); the log names each";
        }
        if (!d.note.empty()) {
            // A copy that failed is logged with its error as the wizard's other failures are.
            const platform::FsError error = d.report.diskFull ? platform::FsError::DiskFull
                : d.report.sourceLost                         ? platform::FsError::PathNotFound
                                                              : platform::FsError::None;
            writeTransferLog("FN_CopyFiles_Tmp_Err",
                error == platform::FsError::None ? d.note : transfer::errorStatus(error) + " " + d.note);
            notes().push_back(d.note);
            MassItemsNotCopied = true;
        }
        results.push_back(std::move(d));
        notifyMassProgress();
    }
    writeTransferLog("FN_CopyFiles_Tmp", "End");
    return results;
}

const std::vector<std::string>& driveCopyNotes() { return notes(); }

std::string notCopiedSummary()
{
    const TreeCopyReport& r = notCopied();
    std::string parts;
    const auto add = [&parts](std::size_t n, const char* what) {
        if (n > 0)
            parts += (parts.empty() ? "" : ", ") + std::to_string(n) + what;
    };
    add(r.failed, " file(s) or folder(s) that could not be copied");
    add(r.leftOut, " with a name or path Windows cannot hold");
    add(r.refused, " refused");
    if (!parts.empty())
        parts = "Not copied: " + parts + "; the log names each.";
    if (r.heldBack > 0)
        parts += std::string(parts.empty() ? "" : " ") + "Kept: " + std::to_string(r.heldBack) +
            " file(s) this PC already had, which the copy leaves as they are; the log counts them by folder.";
    return parts;
}

// The files this PC already had are kept by the copy's own rule: they leave the copy whole.
bool copiedWhole()
{
    const TreeCopyReport& r = notCopied();
    return notes().empty() && r.failed == 0 && r.leftOut == 0 && r.refused == 0;
}

} // namespace wizard::mass
