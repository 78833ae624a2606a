// FilesFoldersMigration.cpp: the copy of the chosen files and folders, its drive check and the
// destination of each item.
#include "wizard/rules/FilesFoldersMigration.h"

#include "platform/FolderFilesCopy.h"
#include "platform/RunningMachine.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/FileWorkers.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace wizard {

using transfer::TransferOutcome;

namespace {

constexpr const char* kProcess = "Sub_Data_Explorer_Migration";
constexpr std::chrono::milliseconds kTextInterval{100};

bool isDrivePath(const std::string& path)
{
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        path[2] == '\\';
}

std::string plural(int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

} // namespace

std::string Drive_Check(const std::string& path, const std::function<bool(char)>& fixedDrive)
{
    // Only a drive path can move to another drive; anything else has no place on this PC (an
    // empty text would otherwise become a path relative to nothing).
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
        return {};
    const char start = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    for (char letter = start; letter >= 'C'; --letter)
        if (fixedDrive && fixedDrive(letter))
            return std::string(1, letter) + path.substr(1);
    return {};
}

bool isLocalFixedDrive(char letter)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    const platform::DriveEntry* drive = machine->config().drive(letter);
    return drive && drive->type == platform::DriveType::Fixed &&
        machine->files().driveExists(std::string(1, letter) + ":");
}

std::string Drive_Check(const std::string& path) { return Drive_Check(path, isLocalFixedDrive); }

std::string destinationOf(const std::string& sourcePath, bool isFolder)
{
    if (!isDrivePath(sourcePath))
        return {};
    if (isFolder) {
        std::string folder = sourcePath;
        while (folder.size() > 3 && folder.back() == '\\')
            folder.pop_back();
        return folder;
    }
    return sourcePath.substr(0, sourcePath.rfind('\\') + 1);
}

FilesFoldersMigration::FilesFoldersMigration(std::vector<Item> items, Hooks hooks)
    : m_items(std::move(items))
    , m_hooks(std::move(hooks))
{
    if (!m_hooks.fixedDrive)
        m_hooks.fixedDrive = isLocalFixedDrive;
}

FilesFoldersMigration::~FilesFoldersMigration() = default;

bool FilesFoldersMigration::step()
{
    if (m_cancelled) {
        if (m_active)
            finish(TransferOutcome::Failed,
                "Cancelled" +
                    (m_copied > 0 ? " after " + plural(m_copied, "file") + " had been copied" : ""));
        for (; m_next < m_items.size(); ++m_next) {
            if (m_hooks.finished)
                m_hooks.finished(m_items[m_next], TransferOutcome::Failed, "Cancelled");
        }
        return false;
    }
    if (!m_active) {
        if (m_next >= m_items.size())
            return false;
        begin(m_items[m_next]);
        return true;
    }
    if (m_fileIndex < m_files.size())
        copyOne(m_files[m_fileIndex++]);
    else if (!m_folders.empty()) {
        const PendingFolder folder = m_folders.back();
        m_folders.pop_back();
        listFolder(folder);
    } else {
        finishCurrent();
    }
    return true;
}

void FilesFoldersMigration::begin(const Item& item)
{
    m_active = true;
    m_folders.clear();
    m_files.clear();
    m_fileIndex = 0;
    m_copied = 0;
    m_failedFiles = 0;
    m_firstFailure.clear();
    if (m_hooks.started)
        m_hooks.started(item);

    const bool isFolder = transfer::folderExists(item.key);
    if (!isFolder && !transfer::fileExists(item.key)) {
        writeTransferLog(kProcess, "Not found : " + item.key);
        finish(TransferOutcome::NotFound, "No longer on the source PC");
        return;
    }
    const std::string dest = Drive_Check(destinationOf(item.sourcePath, isFolder), m_hooks.fixedDrive);
    if (dest.empty()) {
        const std::string detail = "This PC has no fixed drive for " + item.sourcePath;
        writeTransferLog(kProcess, "Not Copied : " + item.key + " : " + detail);
        finish(TransferOutcome::Failed, detail);
        return;
    }
    if (isFolder) {
        m_folders.push_back({item.key, dest});
        return;
    }
    const std::string folder = dest.substr(0, dest.size() - 1);
    if (!transfer::folderExists(dest) && !transfer::makeSurePathExists(dest)) {
        ++m_failedFiles;
        m_firstFailure = folder + ": the folder cannot be made";
        writeTransferLog(kProcess, "Not Copied : " + item.key + " : cannot make " + folder);
        return;
    }
    m_files.push_back({item.key, folder});
}

void FilesFoldersMigration::noteFailure(const std::string& text)
{
    writeTransferLog(kProcess, "Not copied : " + text);
    ++m_failedFiles;
    if (m_firstFailure.empty())
        m_firstFailure = text;
}

void FilesFoldersMigration::listFolder(const PendingFolder& folder)
{
    if (!transfer::folderExists(folder.dest) && !transfer::makeSurePathExists(folder.dest + "\\")) {
        ++m_failedFiles;
        if (m_firstFailure.empty())
            m_firstFailure = folder.dest + ": the folder cannot be made";
        writeTransferLog(kProcess, "Not Copied : " + folder.source + " : cannot make " + folder.dest);
        return;
    }
    std::vector<std::string> subFolders, files;
    std::vector<platform::LeftOutName> leftOut;
    transfer::listFolderNames(folder.source, subFolders, files, &leftOut);
    // A sub-folder whose path would pass the limit holds nothing that could be copied.
    std::erase_if(subFolders, [&](const std::string& name) {
        if (platform::fitsWindowsPath(folder.dest + "\\" + name))
            return false;
        leftOut.push_back({name, true, platform::NameFault::PathTooLong});
        return true;
    });
    for (const platform::LeftOutName& entry : leftOut)
        noteFailure(transfer::leftOutText(folder.source, entry));
    // Pushed in reverse so that the walk takes them in listing order.
    for (auto it = subFolders.rbegin(); it != subFolders.rend(); ++it)
        m_folders.push_back({folder.source + "\\" + *it, folder.dest + "\\" + *it});
    const std::size_t nameStart = folder.source.size() + 1;
    for (const std::string& name : files)
        m_files.push_back({folder.source + "\\" + name, folder.dest, nameStart});
}

platform::FolderCopy* FilesFoldersMigration::folderCopyFor(const PendingFile& file)
{
    if (file.nameStart == 0)
        return nullptr;
    if (!m_folderCopy)
        m_folderCopy = std::make_unique<platform::FolderCopy>();
    const std::string from = file.source.substr(0, file.nameStart - 1);
    if (from != m_copyFrom || file.destFolder != m_copyTo || m_copyTo.empty()) {
        m_copyFrom = from;
        m_copyTo = file.destFolder;
        // A bare drive ("C:") names the root only with its separator.
        const std::string to = m_copyTo.size() == 2 ? m_copyTo + "\\" : m_copyTo;
        if (transfer::openFolderCopy(m_copyFrom, to, *m_folderCopy) != transfer::FsError::None)
            m_folderCopy->close();
    }
    return m_folderCopy->isOpen() ? m_folderCopy.get() : nullptr;
}

namespace {

// One file of a chosen item. The folder it goes into is there already (made when its folder was
// listed), so the common case, a target that does not exist yet, is one copy call: through the
// folders' open copy when there is one (`listedName` its name there), else path by path. A target
// that exists goes through the copy worker's version rule. `showTexts` false leaves the busy
// window's and the status bar's texts of a copy that succeeds as they are.
transfer::FileTransferResult copyFile(const std::string& source, const std::string& target,
    platform::FolderCopy* folders, const std::string& listedName, bool showTexts)
{
    WizardWindows& windows = wizardWindows();
    if (showTexts && windows.busyWindowOpen())
        windows.setBusyDetails("Please wait.. Copying " + source);
    transfer::yieldToEvents();
    const transfer::FsError error =
        folders ? folders->copy(listedName) : transfer::copyFile(source, target, false);
    // An existing target, or a source the copy could not take (in use answers like a missing one
    // there): the worker tells which.
    if (error == transfer::FsError::FileExists ||
        (error == transfer::FsError::FileNotFound && transfer::fileExists(source)))
        return transfer::copyFileWorker(source, folderOf(target), nullptr);
    if (error == transfer::FsError::FileNotFound) {
        writeTransferLog("Action_Copy_File", "Not found : " + source);
        return {TransferOutcome::NotFound, error};
    }
    if (error != transfer::FsError::None) {
        writeTransferLog(
            "Action_Copy_File", "Not Copied : " + source + ":" + std::string(platform::fsErrorText(error)));
        windows.setStatusText("Not Copied : " + source);
        return {TransferOutcome::Failed, error};
    }
    if (showTexts)
        windows.setStatusText("Migrated " + source);
    return {};
}

} // namespace

void FilesFoldersMigration::copyOne(const PendingFile& file)
{
    const std::string name = namePartOf(file.source); // with its "\"
    std::string failure;
    if (!platform::fitsWindowsPath(file.destFolder + name)) {
        failure = "the name is longer than this PC allows";
        writeTransferLog(kProcess, "Not Copied : " + file.source + " : " + failure);
    } else {
        // The texts follow the copy a few times a second: laying out and drawing them for every
        // file of a large tree took the window longer than copying the files.
        const auto now = std::chrono::steady_clock::now();
        const bool showTexts = now - m_textsShown >= kTextInterval;
        if (showTexts)
            m_textsShown = now;
        platform::FolderCopy* folders = folderCopyFor(file);
        const transfer::FileTransferResult r = copyFile(file.source, file.destFolder + name, folders,
            folders ? file.source.substr(file.nameStart) : std::string(), showTexts);
        if (r.outcome == TransferOutcome::Migrated) {
            ++m_copied;
            return;
        }
        // A file that went away after its folder was listed did not fit either: it is not there.
        failure = r.outcome == TransferOutcome::NotFound ? "no longer on the source PC"
                                                         : std::string(platform::fsErrorText(r.error));
    }
    ++m_failedFiles;
    if (m_firstFailure.empty())
        m_firstFailure = file.source + ": " + failure;
}

void FilesFoldersMigration::finishCurrent()
{
    if (m_failedFiles == 0) {
        finish(TransferOutcome::Migrated, "");
        return;
    }
    const int total = m_copied + m_failedFiles;
    const std::string detail = total > 1 ? std::to_string(m_failedFiles) + " of " + plural(total, "file") +
            " not copied; first: " + m_firstFailure
                                         : m_firstFailure;
    finish(TransferOutcome::Failed, detail);
}

void FilesFoldersMigration::finish(TransferOutcome outcome, const std::string& detail)
{
    m_active = false;
    // The item's folders are let go: nothing is held open between items.
    if (m_folderCopy)
        m_folderCopy->close();
    m_copyFrom.clear();
    m_copyTo.clear();
    m_folders.clear();
    m_files.clear();
    m_fileIndex = 0;
    const Item& item = m_items[m_next++];
    if (m_hooks.finished)
        m_hooks.finished(item, outcome, detail);
}

bool Sub_Data_Explorer_Migration()
{
    WizardWindows& windows = wizardWindows();
    windows.openBusyWindow();
    windows.offerBusyCancel(true);
    transferGlobals().progressCaption = "Migrating Data...";
    windows.setBusyCaption(transferGlobals().progressCaption);

    SelectedItemsList& list = selectedItemsList();
    const double progressStep = selectionCollections().progressStep;
    std::vector<FilesFoldersMigration::Item> items;
    for (const KeyedList::Entry& e : selectionCollections().filesFolders.entries())
        items.push_back({e.key, e.item});

    FilesFoldersMigration::Hooks hooks;
    hooks.started = [&list](const FilesFoldersMigration::Item& item) {
        list.setMark(item.key, SelectedItemsList::Mark::Migrating);
    };
    hooks.finished = [&](const FilesFoldersMigration::Item& item, TransferOutcome outcome,
                         const std::string& detail) {
        const SelectedItemsList::Mark mark = outcome == TransferOutcome::Migrated
            ? SelectedItemsList::Mark::Migrated
            : outcome == TransferOutcome::NotFound ? SelectedItemsList::Mark::NotFound
                                                   : SelectedItemsList::Mark::Failed;
        list.setMark(item.key, mark);
        list.advance(progressStep);
        migrationReport().record(ReportGroup::FilesAndFolders, item.sourcePath, outcome, detail);
        if (outcome == TransferOutcome::Failed)
            writeTransferLog(kProcess, "Failed : " + item.sourcePath + " : " + detail);
    };
    FilesFoldersMigration run(std::move(items), std::move(hooks));
    while (run.step()) {
        if (windows.busyCancelRequested())
            run.cancel();
    }
    windows.offerBusyCancel(false);
    windows.closeBusyWindow();
    return true;
}

} // namespace wizard
