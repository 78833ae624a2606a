// FilesFoldersMigration.cpp: the copy of the chosen files and folders, its drive check and the
// destination of each item.
#include "wizard/rules/FilesFoldersMigration.h"

#include "common/Text.h"
#include "platform/Clock.h"
#include "platform/RunningMachine.h"
#include "platform/TreeCopyWalk.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/FileWorkers.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <algorithm>
#include <utility>

namespace wizard {

using transfer::TransferOutcome;

namespace {

constexpr const char* kProcess = "Sub_Data_Explorer_Migration";

bool isDrivePath(const std::string& path)
{
    return path.size() >= 3 && common::isAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

std::string plural(int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

// A path this PC reaches below an item's network path, as the source PC spells it by the item's
// own path: with the item \\OLDPC\C$\Data (C:\Data), \\OLDPC\C$\Data\a.txt is C:\Data\a.txt. Any
// other path (this PC's own) as it is.
std::string sourceSpelling(const FilesFoldersMigration::Item& item, const std::string& path)
{
    // The item's path below its drive ends its network path too: what stands before it there is
    // the drive's share.
    if (item.sourcePath.size() < 2 || !common::endsWithNoCaseAscii(item.key, item.sourcePath.substr(2)))
        return path;
    const std::string_view share =
        std::string_view(item.key).substr(0, item.key.size() - item.sourcePath.size() + 2);
    if (!common::startsWithNoCaseAscii(path, share) ||
        (path.size() > share.size() && path[share.size()] != '\\'))
        return path;
    return item.sourcePath.substr(0, 2) + path.substr(share.size());
}

} // namespace

std::string Drive_Check(const std::string& path, const std::function<bool(char)>& fixedDrive)
{
    // Only a drive path can move to another drive; anything else has no place on this PC (an
    // empty text would otherwise become a path relative to nothing).
    if (path.size() < 2 || path[1] != ':' || !common::isAsciiLetter(path[0]))
        return {};
    const char start = common::upperAscii(path[0]);
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
    } else if (m_replace) {
        replaceStep();
    } else if (m_walk) {
        walkStep();
    } else if (m_inBatch) {
        batchStep();
    } else if (m_gathering) {
        gatherStep();
    } else if (!m_fileSource.empty()) {
        copyChosenFile();
    } else {
        finishCurrent();
    }
    return true;
}

void FilesFoldersMigration::begin(const Item& item)
{
    m_active = true;
    m_runStarted = platform::currentTime();
    m_walk.reset();
    m_fileSource.clear();
    m_copied = 0;
    m_keptNewer = 0;
    m_keptDatedAhead = 0;
    m_failedFiles = 0;
    m_firstFailure.clear();
    startItem(item);
    // An item that ended within this step was never under way for anyone to see.
    if (m_active && m_hooks.started)
        m_hooks.started(item);
}

void FilesFoldersMigration::startItem(const Item& item)
{
    if (m_batch && m_next < m_batchEnd) {
        // Its folder is open already: the file is copied in this step.
        m_inBatch = true;
        batchStep();
        if (m_active && !m_inBatch && !m_walk && !m_replace && m_fileSource.empty())
            finishCurrent();
        return;
    }
    const bool isFolder = transfer::folderExists(item.key);
    if (!isFolder && !transfer::fileExists(item.key)) {
        writeTransferLog(kProcess, "Not found : " + item.sourcePath);
        finish(TransferOutcome::NotFound, "No longer on the source PC");
        return;
    }
    const std::string dest = Drive_Check(destinationOf(item.sourcePath, isFolder), m_hooks.fixedDrive);
    if (dest.empty()) {
        const std::string detail = "This PC has no fixed drive for " + item.sourcePath;
        writeTransferLog(kProcess, "Not Copied : " + item.sourcePath + " : " + detail);
        finish(TransferOutcome::Failed, detail);
        return;
    }
    if (!isFolder) {
        m_fileSource = item.key;
        m_fileFolder = dest.substr(0, dest.size() - 1);
        if (m_next >= m_batchEnd)
            startGathering(dest);
        return;
    }
    beginFolder(item, dest);
}

void FilesFoldersMigration::beginFolder(const Item& item, const std::string& dest)
{
    if (refusedPlace(dest))
        return;
    platform::TreeCopyOptions options;
    options.maxPath = platform::kMaxWindowsPath;
    m_walk = std::make_unique<platform::TreeCopyWalk>(std::move(options));
    std::string refusal;
    const transfer::FsError opened = transfer::openTreeCopy(item.key, dest, *m_walk, kProcess, &refusal);
    if (!refusal.empty()) {
        m_walk->close();
        failed("Refused : " + transferGlobals().driveMap.sourcePathOf(item.key) + " : " + refusal);
    } else if (opened == transfer::FsError::PathNotFound) {
        m_walk.reset();
        writeTransferLog(kProcess, "Not found : " + item.sourcePath);
        finish(TransferOutcome::NotFound, "No longer on the source PC");
    } else if (opened != transfer::FsError::None) {
        m_walk->close();
        fileFailed(dest, "the folder cannot be made");
        writeTransferLog(kProcess, "Not Copied : " + item.sourcePath + " : cannot make " + dest);
    }
}

struct FilesFoldersMigration::Gathering {
    std::string keyFolder;
    std::string pathFolder;
    std::string destFolder; // ends with "\"
    std::size_t end = 0;
    std::vector<std::string> names;
};

namespace {

// How many items one step looks at while a batch is gathered.
constexpr std::size_t kGatherPerStep = 4096;

} // namespace

// The current item is a file; it and the files chosen right after it in the same folder are to be
// copied through one walk over that folder (`destFolder` ends with "\"). They are gathered over
// the next steps; until then the item keeps its own copy (m_fileSource) in reserve.
void FilesFoldersMigration::startGathering(const std::string& destFolder)
{
    auto g = std::make_unique<Gathering>();
    g->keyFolder = folderOf(m_items[m_next].key);
    g->pathFolder = folderOf(m_items[m_next].sourcePath);
    g->destFolder = destFolder;
    g->end = m_next + 1;
    g->names.push_back(fileNameOf(m_items[m_next].key));
    m_gathering = std::move(g);
}

// Takes up the next items of the batch; when its last is found, the walk is opened.
void FilesFoldersMigration::gatherStep()
{
    Gathering& g = *m_gathering;
    const std::size_t limit = std::min(m_items.size(), g.end + kGatherPerStep);
    // The walk opens each file by its name below the folder it holds: only a name a Windows folder
    // can hold joins it (anything else is looked at on its own, through the path rules).
    for (; g.end < limit; ++g.end) {
        const Item& item = m_items[g.end];
        std::string name = fileNameOf(item.key);
        if (folderOf(item.key) != g.keyFolder || folderOf(item.sourcePath) != g.pathFolder ||
            !platform::isWindowsName(name))
            break;
        g.names.push_back(std::move(name));
    }
    if (g.end == limit && limit < m_items.size())
        return;
    openBatch();
}

// Opens the walk over the gathered files (one or more), whose work copies their data beside the
// window. When the walk cannot be opened, or a file alone has a name no Windows folder can hold,
// the current item is copied on its own.
void FilesFoldersMigration::openBatch()
{
    const std::unique_ptr<Gathering> g = std::move(m_gathering);
    if (g->names.empty() || (g->names.size() == 1 && !platform::isWindowsName(g->names[0])))
        return;
    // A folder this PC keeps for itself: each file is refused on its own, as it would be alone.
    if (!transfer::keptPlaceRefusal(g->destFolder).empty())
        return;
    m_batchEnd = g->end;
    platform::TreeCopyOptions options;
    options.recurse = false;
    options.maxPath = platform::kMaxWindowsPath;
    options.files = std::move(g->names);
    auto batch = std::make_unique<platform::TreeCopyWalk>(std::move(options));
    if (transfer::openTreeCopy(g->keyFolder + "\\", g->destFolder, *batch) != transfer::FsError::None)
        return;
    m_batch = std::move(batch);
    m_inBatch = true;
    m_fileSource.clear();
}

// The batch's next file is the current item's: one step of the walk, or the end of its file.
void FilesFoldersMigration::batchStep()
{
    using Kind = platform::TreeStepKind;
    const platform::TreeStep s = m_batch->step();
    if (s.kind == Kind::Working)
        return;
    m_inBatch = false;
    const bool lost = (s.kind == Kind::FileFailed && s.error == transfer::FsError::FileNotFound) ||
        s.kind == Kind::Done || s.kind == Kind::SourceLost || s.name != fileNameOf(m_items[m_next].key);
    if (lost)
        lostFromBatch();
    else
        takeStep(s);
}

// The walk did not find the current item's file under its name: it went away, its name changed
// case or it is a folder now. What the path names now is copied on its own.
void FilesFoldersMigration::lostFromBatch()
{
    const Item& item = m_items[m_next];
    if (transfer::fileExists(item.key)) {
        m_fileSource = item.key;
        return;
    }
    const std::string dest = Drive_Check(destinationOf(item.sourcePath, true), m_hooks.fixedDrive);
    if (!transfer::folderExists(item.key) || dest.empty()) {
        writeTransferLog(kProcess, "Not found : " + item.sourcePath);
        finish(TransferOutcome::NotFound, "No longer on the source PC");
        return;
    }
    beginFolder(item, dest);
}

void FilesFoldersMigration::failed(const std::string& firstFailure)
{
    ++m_failedFiles;
    if (m_firstFailure.empty())
        m_firstFailure = firstFailure;
}

void FilesFoldersMigration::fileFailed(const std::string& source, const std::string& failure)
{
    failed(named(source) + ": " + failure);
}

std::string FilesFoldersMigration::named(const std::string& path) const
{
    return sourceSpelling(m_items[m_next], path);
}

// A file whose target exists goes through the copy worker's version rule, except a target without
// a version that was written after the source: that is the user's newer work on this PC, and stays.
// A source file dated after the run began (a clock that runs ahead, or a date set to win) is never
// the newer one: this PC's file stays, and the log says why.
void FilesFoldersMigration::copyOverExisting(const std::string& source, const std::string& destFolder)
{
    const std::string target = destFolder + namePartOf(source);
    if (transfer::fileVersion(target).empty() && transfer::writtenLater(target, source)) {
        writeTransferLog(kProcess, "Kept the newer file on this PC : " + target);
        ++m_keptNewer;
        return;
    }
    if (transfer::fileVersion(target).empty() && transfer::writtenAfter(source, m_runStarted)) {
        writeTransferLog(
            kProcess, "Kept this PC's file : " + target + " : the source's file is dated in the future");
        ++m_keptDatedAhead;
        return;
    }
    auto worker = std::make_unique<transfer::FileCopyWorker>();
    if (worker->start(source, destFolder, nullptr, &m_pacing, named(source))) {
        m_replace = std::move(worker);
        m_replaceSource = source;
        return;
    }
    countReplaced(source, worker->result());
}

void FilesFoldersMigration::replaceStep()
{
    if (m_replace->step())
        return;
    const std::unique_ptr<transfer::FileCopyWorker> done = std::move(m_replace);
    countReplaced(m_replaceSource, done->result());
}

void FilesFoldersMigration::countReplaced(const std::string& source, const transfer::FileTransferResult& r)
{
    if (r.outcome == TransferOutcome::Migrated)
        ++m_copied;
    else
        fileFailed(source,
            r.outcome == TransferOutcome::NotFound ? "no longer on the source PC"
                                                   : std::string(platform::fsErrorText(r.error)));
}

namespace {

// Why a copy of a file failed, as the report words it; logs it and shows it at once.
std::string failureOf(const std::string& source, transfer::FsError error)
{
    transfer::logWalkCopyFailure(source, error);
    // A file that went away after its folder was listed did not fit either: it is not there.
    return error == transfer::FsError::FileNotFound ? "no longer on the source PC"
                                                    : std::string(platform::fsErrorText(error));
}

} // namespace

void FilesFoldersMigration::walkStep()
{
    const platform::TreeStep s = m_walk->step();
    if (s.kind == platform::TreeStepKind::Done)
        m_walk.reset();
    else
        takeStep(s);
}

void FilesFoldersMigration::takeStep(const platform::TreeStep& s)
{
    using Kind = platform::TreeStepKind;
    const std::string source = s.sourceFolder + "\\" + s.name;
    switch (s.kind) {
    case Kind::FileCopied:
        ++m_copied;
        transfer::showCopiedFile(m_pacing, source);
        return;
    case Kind::FileExists: copyOverExisting(source, s.destFolder); return;
    case Kind::FileFailed: fileFailed(source, failureOf(named(source), s.error)); return;
    case Kind::TooLong: tooLong(source); return;
    case Kind::FolderBlocked: {
        const std::string dest = s.destFolder + "\\" + s.name;
        writeTransferLog(kProcess, "Not Copied : " + named(source) + " : cannot make " + dest);
        fileFailed(dest, "the folder cannot be made");
        return;
    }
    case Kind::SourceLost: fileFailed(source, "no longer on the source PC"); return;
    case Kind::LeftOut: {
        const std::string text = transfer::leftOutText(named(s.sourceFolder), {s.name, false, s.fault});
        writeTransferLog(kProcess, "Not copied : " + text);
        failed(text);
        return;
    }
    case Kind::Refused: {
        platform::TreeStep shown = s;
        shown.sourceFolder = named(s.sourceFolder);
        const std::string text = "Refused : " + transfer::refusedText(shown);
        writeTransferLog(kProcess, text);
        failed(text);
        return;
    }
    case Kind::Done:
    case Kind::FolderEntered:
    case Kind::Working: return;
    }
}

bool FilesFoldersMigration::refusedPlace(const std::string& dest)
{
    const std::string why = transfer::keptPlaceRefusal(dest);
    if (why.empty())
        return false;
    const std::string text = "Refused : " + m_items[m_next].sourcePath + " : " + why;
    writeTransferLog(kProcess, text);
    failed(text);
    return true;
}

void FilesFoldersMigration::tooLong(const std::string& source)
{
    writeTransferLog(kProcess, "Not Copied : " + named(source) + " : the name is longer than this PC allows");
    fileFailed(source, "the name is longer than this PC allows");
}

// The one copy of a file chosen on its own: into the folder of its path, made when missing; a
// target that exists goes through the version rule.
void FilesFoldersMigration::copyChosenFile()
{
    const std::string source = std::move(m_fileSource);
    m_fileSource.clear();
    const std::string name = namePartOf(source); // with its "\"
    if (m_fileFolder.size() + name.size() > platform::kMaxWindowsPath) {
        tooLong(source);
        return;
    }
    if (refusedPlace(m_fileFolder + name))
        return;
    if (!transfer::folderExists(m_fileFolder + "\\") && !transfer::makeSurePathExists(m_fileFolder + "\\")) {
        writeTransferLog(kProcess, "Not Copied : " + named(source) + " : cannot make " + m_fileFolder);
        fileFailed(m_fileFolder, "the folder cannot be made");
        return;
    }
    if (wizardWindows().busyWindowOpen())
        wizardWindows().setBusyDetails("Please wait.. Copying " + source);
    const transfer::FsError error = transfer::copyFile(source, m_fileFolder + name, false);
    if (error == transfer::FsError::FileExists ||
        (error == transfer::FsError::FileNotFound && transfer::fileExists(source))) {
        copyOverExisting(source, m_fileFolder);
    } else if (error != transfer::FsError::None) {
        fileFailed(source, failureOf(named(source), error));
    } else {
        ++m_copied;
        wizardWindows().setStatusText("Migrated " + source);
    }
}

void FilesFoldersMigration::finishCurrent()
{
    std::string kept = m_keptNewer > 0
        ? "Kept " + plural(m_keptNewer, "newer file") + " on this PC (the log names each)"
        : "";
    if (m_keptDatedAhead > 0)
        kept += (kept.empty() ? "Kept " : "; kept ") + plural(m_keptDatedAhead, "file") +
            " on this PC: the source's " + (m_keptDatedAhead == 1 ? "file is" : "files are") +
            " dated in the future (the log names each)";
    if (m_failedFiles == 0) {
        finish(TransferOutcome::Migrated, kept);
        return;
    }
    const int total = m_copied + m_keptNewer + m_keptDatedAhead + m_failedFiles;
    const std::string detail = total > 1 ? std::to_string(m_failedFiles) + " of " + plural(total, "file") +
            " not copied; first: " + m_firstFailure
                                         : m_firstFailure;
    finish(TransferOutcome::Failed, kept.empty() ? detail : detail + "; " + kept);
}

void FilesFoldersMigration::finish(TransferOutcome outcome, const std::string& detail)
{
    m_active = false;
    m_inBatch = false;
    m_gathering.reset();
    // The item's folders are let go: nothing is held open between items but the folder of the
    // files chosen together.
    m_walk.reset();
    m_replace.reset(); // a replacement under way stops, the target as it was
    m_fileSource.clear();
    const Item& item = m_items[m_next++];
    if (m_next >= m_batchEnd)
        m_batch.reset();
    if (m_hooks.finished)
        m_hooks.finished(item, outcome, detail);
    // Its texts are let go now rather than all at once at the end (a hundred thousand items take
    // tens of milliseconds).
    const Item released = std::move(m_items[m_next - 1]);
}

namespace {

// The space page's bar moves by one step per item; as it is drawn only when the window takes up
// its events, the steps of the items between two such turns are added up and moved at once.
class PendingProgress {
public:
    PendingProgress(SelectedItemsList& list, double step)
        : m_list(list)
        , m_step(step)
    {}
    void add() { ++m_count; }
    void show()
    {
        const int count = std::exchange(m_count, 0);
        if (count == 0)
            return;
        const double before = m_list.progressValue();
        m_list.advance(m_step * count);
        if (m_list.progressValue() != before)
            return;
        // Together they would pass the bar's end: as far as the bar goes, in as few moves as
        // halving finds (each move redraws the bar).
        for (int left = count, part = count / 2; left > 0 && part > 0; part = std::min(part, left)) {
            const double at = m_list.progressValue();
            m_list.advance(m_step * part);
            if (m_list.progressValue() != at)
                left -= part;
            else
                part /= 2;
        }
    }

private:
    SelectedItemsList& m_list;
    double m_step;
    int m_count = 0;
};

// The chosen files and folders as the copy's items, taken over in parts with the window's events
// taken up between them (a folder opened on the selection page gives an item per file). False
// when the program is to end meanwhile.
bool collectItems(std::vector<FilesFoldersMigration::Item>& items, transfer::CopyPacing& pacing)
{
    constexpr std::size_t kPart = 1024;
    const KeyedList& chosen = selectionCollections().filesFolders;
    items.reserve(chosen.entries().size());
    for (std::size_t i = 0; i < chosen.entries().size(); ++i) {
        const KeyedList::Entry& e = chosen.entries()[i];
        items.push_back({e.key, e.item});
        if (i % kPart == kPart - 1 && pacing.eventsDue()) {
            transfer::yieldToEvents();
            if (programEndRequested())
                return false;
        }
    }
    return true;
}

// The copy itself, with the busy window open.
void copyChosenItems(WizardWindows& windows)
{
    SelectedItemsList& list = selectedItemsList();
    PendingProgress progress(list, selectionCollections().progressStep);
    transfer::CopyPacing pacing;
    std::vector<FilesFoldersMigration::Item> items;
    if (!collectItems(items, pacing))
        return;
    migrationReport().reserve(items.size());

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
        progress.add();
        migrationReport().record(ReportGroup::FilesAndFolders, item.sourcePath, outcome, detail);
        if (outcome == TransferOutcome::Failed)
            writeTransferLog(kProcess, "Failed : " + item.sourcePath + " : " + detail);
    };
    FilesFoldersMigration run(std::move(items), std::move(hooks));
    while (run.step()) {
        if (pacing.eventsDue()) {
            progress.show();
            transfer::yieldToEvents();
        }
        // The program is to end (Cancel, Exit or the window closed, answered Yes): nothing more
        // is copied or recorded, and the exit routine cleans up once this has returned (the walk
        // removes a file it was writing in parts).
        if (programEndRequested())
            break;
        if (windows.busyCancelRequested())
            run.cancel();
    }
    progress.show();
}

} // namespace

bool Sub_Data_Explorer_Migration()
{
    WizardWindows& windows = wizardWindows();
    windows.openBusyWindow();
    windows.offerBusyCancel(true);
    transferGlobals().progressCaption = "Migrating Data...";
    windows.setBusyCaption(transferGlobals().progressCaption);
    copyChosenItems(windows);
    windows.offerBusyCancel(false);
    windows.closeBusyWindow();
    return true;
}

} // namespace wizard
