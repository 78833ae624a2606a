// MassCopy.cpp: whole folder trees and drives copied during a mass migration.
#include "wizard/transfer/MassCopy.h"

#include "platform/FolderFilesCopy.h"
#include "platform/RunningMachine.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/MassSteps.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace wizard::mass {
namespace {

std::string upperTrimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::string out = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::transform(out.begin(), out.end(), out.begin(),
        [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return out;
}

std::string withSeparator(std::string path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

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

} // namespace

TreeCopyRules treeCopyRulesFor(const MassState& state)
{
    TreeCopyRules rules;
    rules.sourceWindows = windowsFolderName(state.sourceSystemRoot);
    rules.destWindows = windowsFolderName(state.destSystemRoot);
    rules.systemToSystem32 = isWin9xCode(state.sourceOsCode) && state.destOsCode == "W2K";
    rules.keepDestinationSystem = state.destOsCode == "XP";
    return rules;
}

bool neverCopied(const std::string& name)
{
    const std::string up = upperTrimmed(name);
    return up == "PAGEFILE.SYS" || up == "FOLDER.HTT" || up == "DESKTOP.INI" || up == "HIBERFIL.SYS";
}

TreeCopier::TreeCopier(
    const std::string& source, const std::string& dest, bool recurse, bool overwrite, TreeCopyRules rules)
    : m_recurse(recurse)
    , m_overwrite(overwrite)
    , m_rules(std::move(rules))
{
    m_pending.push_back({withSeparator(source), withSeparator(dest)});
}

// The name a sub-folder takes at the destination; empty when it is not copied.
std::string TreeCopier::destinationName(const std::string& sourceFolder, const std::string& name) const
{
    const std::string up = upperTrimmed(name);
    if (up == "SYSTEM VOLUME INFORMATION")
        return {}; // the volume's own, never a user's
    const std::string windows = upperTrimmed(m_rules.sourceWindows);
    if (windows.empty())
        return name;
    if (isDriveRoot(sourceFolder) && up == windows && !m_rules.destWindows.empty())
        return m_rules.destWindows;
    if (isWindowsFolder(sourceFolder, windows)) {
        if (m_rules.keepDestinationSystem && (up == "SYSTEM" || up == "SYSTEM32"))
            return {};
        if (m_rules.systemToSystem32 && up == "SYSTEM")
            return "System32";
    }
    return name;
}

bool TreeCopier::step()
{
    if (m_pending.empty() || m_report.diskFull)
        return false;
    const Pending folder = m_pending.back();
    m_pending.pop_back();
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    platform::FileSystem& files = machine->files();
    if (!files.folderExists(folder.dest))
        files.makeSurePathExists(folder.dest);
    wizardWindows().setStatusText("Migrating..." + folder.dest);
    wizardWindows().setBusyDetails("Migrating..." + folder.dest);
    platform::FolderFilesReport r;
    const platform::FsError error = platform::copyFolderFiles(
        files, folder.source, folder.dest, m_overwrite,
        [](const std::string& name) { return neverCopied(name); }, r);
    ++m_report.folders;
    m_report.copied += r.copied;
    m_report.kept += r.kept;
    m_report.failed += r.failed;
    if (error == platform::FsError::DiskFull)
        m_report.diskFull = true;
    else if (error != platform::FsError::None && files.folderExists(folder.source))
        ++m_report.blocked; // the source is still there: this folder alone is left out
    else if (error != platform::FsError::None)
        m_report.sourceLost = true;
    if (!m_recurse || error != platform::FsError::None)
        return !m_pending.empty() && !m_report.diskFull;
    std::sort(r.folders.begin(), r.folders.end(), [](const std::string& a, const std::string& b) {
        return upperTrimmed(a) > upperTrimmed(b); // popped from the back: listing order
    });
    for (const std::string& name : r.folders) {
        const std::string target = destinationName(folder.source, name);
        if (!target.empty())
            m_pending.push_back({folder.source + name + "\\", folder.dest + target + "\\"});
    }
    return !m_pending.empty();
}

bool FN_Copy_Folder_Tree(
    const std::string& source, const std::string& dest, bool recurse, bool overwrite, TreeCopyReport* report)
{
    TreeCopier copier(source, dest, recurse, overwrite, treeCopyRulesFor(massState()));
    while (copier.step())
        transfer::yieldToEvents();
    if (report)
        *report = copier.report();
    const TreeCopyReport& r = copier.report();
    return !r.sourceLost && !r.diskFull;
}

std::vector<DriveCopyResult> copyMappedDrives()
{
    writeTransferLog("FN_CopyFiles_Tmp", "Start");
    notes().clear();
    std::vector<DriveCopyResult> results;
    platform::RunningMachine* machine = platform::RunningMachine::current();
    // The drives pair by position: the map's first entry (the source's C:) goes to C:, the next
    // mapped source drive to D:, whatever its own letter.
    static constexpr std::array<char, 2> kDestLetters = {'C', 'D'};
    std::size_t position = 0;
    for (const auto& [sourceDrive, localDrive] : transferGlobals().driveMap.entries()) {
        DriveCopyResult d{sourceDrive, localDrive, "", {}, ""};
        const std::size_t index = position++;
        const char letter = index < kDestLetters.size() ? kDestLetters[index] : '\0';
        const platform::DriveEntry* entry = machine && letter ? machine->config().drive(letter) : nullptr;
        if (!letter) {
            d.note = "The source drive " + sourceDrive +
                " was not copied: only the first two mapped source drives are copied (onto C: and D:)";
        } else if (!entry || entry->type != platform::DriveType::Fixed) {
            d.note = "The source drive " + sourceDrive + " was not copied: this PC has no hard disk " +
                std::string(1, letter) + ":";
        } else {
            d.destDrive = std::string(1, letter) + ":";
            FN_Copy_Folder_Tree(localDrive, d.destDrive, true, false, &d.report);
            if (d.report.sourceLost)
                d.note = "The source drive " + sourceDrive +
                    " could no longer be reached during the copy: the files copied before are complete, the "
                    "rest "
                    "was not copied";
            else if (d.report.diskFull)
                d.note = "Drive " + d.destDrive + " is full: the copy of the source drive " + sourceDrive +
                    " ended there";
        }
        if (!d.note.empty()) {
            // A copy that failed is logged with its error as the wizard's other failures are.
            const platform::FsError error = d.report.diskFull ? platform::FsError::DiskFull
                : d.report.sourceLost                         ? platform::FsError::PathNotFound
                                                              : platform::FsError::None;
            writeTransferLog("FN_CopyFiles_Tmp_Err",
                error == platform::FsError::None ? d.note : transfer::errorStatus(error) + " " + d.note);
            notes().push_back(d.note);
        }
        results.push_back(std::move(d));
        notifyMassProgress();
    }
    writeTransferLog("FN_CopyFiles_Tmp", "End");
    return results;
}

const std::vector<std::string>& driveCopyNotes() { return notes(); }

} // namespace wizard::mass
