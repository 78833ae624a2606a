// TransferPlatform.cpp: the transfer layer's file, program and registry calls, through platform/
// on the running machine.
#include "wizard/transfer/TransferPlatform.h"

#include "common/BackgroundWork.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "platform/ShellLink.h"
#include "platform/TreeCopyWalk.h"
#include "platform/WindowsName.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/transfer/CopyPacing.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace wizard::transfer {
namespace {

// A file copied on its own up to this size is copied on the window's thread: a thread started for
// it and the hand-over of its steps took longer than its copy (4 ms a file on a busy machine).
constexpr std::uint64_t kCopiedOnCallersThread = 64 * 1024;

// The file system of the running machine (mapped letters read from its registry at each use).
platform::FileSystem* machineFs()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    return machine ? &machine->files() : nullptr;
}

constexpr FsError kNoMachine = FsError::PathNotFound;

} // namespace

int errorNumber(FsError error) { return static_cast<int>(error); }

std::string errorStatus(FsError error)
{
    return std::to_string(errorNumber(error)) + ":" + std::string(platform::fsErrorText(error));
}

bool fileExists(const std::string& path)
{
    platform::FileSystem* fs = machineFs();
    return fs && fs->fileExists(path);
}

bool folderExists(const std::string& path)
{
    platform::FileSystem* fs = machineFs();
    return fs && fs->folderExists(path);
}

std::int64_t fileSize(const std::string& path)
{
    platform::FileSystem* fs = machineFs();
    std::uint64_t bytes = 0;
    if (!fs || fs->fileLength(path, bytes) != FsError::None)
        return -1;
    return static_cast<std::int64_t>(bytes);
}

std::string fileVersion(const std::string& path)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->getFileVersion(path) : std::string();
}

bool writtenLater(const std::string& newer, const std::string& older)
{
    platform::FileSystem* fs = machineFs();
    std::chrono::system_clock::time_point a, b;
    return fs && fs->fileTime(newer, a) == FsError::None && fs->fileTime(older, b) == FsError::None && a > b;
}

bool writtenAfter(const std::string& path, std::chrono::system_clock::time_point when)
{
    platform::FileSystem* fs = machineFs();
    std::chrono::system_clock::time_point written;
    return fs && fs->fileTime(path, written) == FsError::None && written > when;
}

bool makeSurePathExists(const std::string& folder)
{
    platform::FileSystem* fs = machineFs();
    return fs && fs->makeSurePathExists(folder) == platform::WinError::Success;
}

FsError createFolder(const std::string& folder)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->createFolder(folder) : kNoMachine;
}

FsError copyFile(const std::string& source, const std::string& target, bool overwrite)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->copyFile(source, target, overwrite) : kNoMachine;
}

FsError moveFile(const std::string& source, const std::string& target)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->moveFile(source, target) : kNoMachine;
}

FsError replaceFile(const std::string& source, const std::string& target)
{
    platform::FileSystem* fs = machineFs();
    if (!fs)
        return kNoMachine;
    // Copy over the target first so that a refused copy leaves both files as they were.
    if (const FsError e = fs->copyFile(source, target, true); e != FsError::None)
        return e;
    return fs->deleteFile(source);
}

FsError deleteFile(const std::string& path, bool force)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->deleteFile(path, force) : kNoMachine;
}

FsError deleteFolder(const std::string& path, bool force)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->deleteFolder(path, force) : kNoMachine;
}

FsError renameFile(const std::string& oldPath, const std::string& newPath)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->moveFile(oldPath, newPath) : kNoMachine;
}

std::vector<std::string> subFolderNames(const std::string& folder)
{
    std::vector<std::string> folders, files;
    listFolderNames(folder, folders, files);
    return folders;
}

std::vector<std::string> fileNames(const std::string& folder)
{
    std::vector<std::string> folders, files;
    listFolderNames(folder, folders, files);
    return files;
}

void listFolderNames(const std::string& folder, std::vector<std::string>& subFolders,
    std::vector<std::string>& files, std::vector<platform::LeftOutName>* leftOut)
{
    subFolders.clear();
    files.clear();
    platform::FileSystem* fs = machineFs();
    std::vector<platform::FileEntry> folderEntries, fileEntries;
    if (!fs || fs->listFolder(folder, folderEntries, fileEntries, leftOut) != FsError::None)
        return;
    for (auto& f : folderEntries)
        subFolders.push_back(std::move(f.name));
    for (auto& f : fileEntries)
        files.push_back(std::move(f.name));
}

std::string leftOutText(const std::string& folder, const platform::LeftOutName& entry)
{
    std::string path = transferGlobals().driveMap.sourcePathOf(folder);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + platform::printableName(entry.name) + " : " +
        std::string(platform::nameFaultText(entry.fault));
}

std::string leftOutText(const platform::TreeStep& step)
{
    const platform::NameFault fault =
        step.kind == platform::TreeStepKind::TooLong ? platform::NameFault::PathTooLong : step.fault;
    return leftOutText(step.sourceFolder, {step.name, false, fault});
}

std::string refusedText(const platform::TreeStep& step)
{
    std::string path = transferGlobals().driveMap.sourcePathOf(step.sourceFolder);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + step.name + " : " + step.why;
}

FsError openTreeCopy(const std::string& source, const std::string& destination, platform::TreeCopyWalk& walk,
    const std::string& process, std::string* refusal)
{
    platform::FileSystem* fs = machineFs();
    if (!fs)
        return kNoMachine;
    std::string why = keptPlaceRefusal(destination);
    if (why.empty())
        why = platform::shortNameRefusal(fs->resolver(), source, destination);
    if (!why.empty()) {
        writeTransferLog(
            process, "Refused : " + transferGlobals().driveMap.sourcePathOf(source) + " : " + why);
        if (refusal)
            *refusal = why;
        return FsError::PermissionDenied;
    }
    // The places are judged below the destination resolved once: a folder of 10,000 files has
    // its entries asked about without resolving each.
    auto kept = std::make_shared<const platform::KeptPlaces>(fs->resolver(), destination, AppPath);
    // Once the item the copy belongs to is refused, nothing more of it is written.
    const ItemTally* tally = currentItemTally();
    std::shared_ptr<const std::atomic<bool>> halted = tally ? tally->halted() : nullptr;
    walk.refuseTargets([kept, halted](const std::string& destPath, bool folder) {
        if (halted && halted->load())
            return std::string(kItemHaltedWhy);
        // A file is one of the kept ones only by its name; only those and folders are asked about.
        if (!folder && !platform::isKeptFileName(destPath.substr(destPath.rfind('\\') + 1)))
            return std::string();
        return kept->refusal(destPath);
    });
    return walk.open(*fs, source, destination);
}

FileCopy::FileCopy() = default;
FileCopy::~FileCopy() = default;

bool FileCopy::start(const std::string& source, const std::string& target, bool overwrite)
{
    stop();
    m_error = FsError::None;
    m_fileEnded = false;
    platform::FileSystem* fs = machineFs();
    if (!fs) {
        m_error = kNoMachine;
        return false;
    }
    // The walk takes the plain case: an existing file onto a name in an existing folder. Anything
    // else (a pattern, a name no folder holds, a copy onto itself) ends at once in copyFile.
    const std::size_t from = source.rfind('\\');
    const std::size_t to = target.rfind('\\');
    const platform::ResolvedPath src = fs->resolver().resolve(source);
    const platform::ResolvedPath dst = fs->resolver().resolve(target);
    const bool plain = from != std::string::npos && to != std::string::npos &&
        source.find_first_of("*?") == std::string::npos && platform::isWindowsName(target.substr(to + 1)) &&
        src.ok() && src.exists && fs->fileExists(source) && dst.ok() &&
        fs->folderExists(target.substr(0, to + 1)) &&
        !(dst.exists && platform::foldCase(src.path.text()) == platform::foldCase(dst.path.text()));
    if (plain) {
        platform::TreeCopyOptions options;
        options.recurse = false;
        options.overwrite = overwrite;
        options.files = {src.path.leaf()}; // its stored spelling
        options.targets = {target.substr(to + 1)};
        std::uint64_t bytes = 0;
        options.callersThread =
            fs->fileLength(source, bytes) == FsError::None && bytes <= kCopiedOnCallersThread;
        auto walk = std::make_unique<platform::TreeCopyWalk>(std::move(options));
        if (walk->open(*fs, source.substr(0, from + 1), target.substr(0, to + 1)) == FsError::None) {
            m_walk = std::move(walk);
            return true;
        }
    }
    m_error = fs->copyFile(source, target, overwrite);
    return false;
}

bool FileCopy::step()
{
    using Kind = platform::TreeStepKind;
    while (m_walk) {
        const platform::TreeStep s = m_walk->step();
        if (s.kind == Kind::Working || s.kind == Kind::FolderEntered)
            return true;
        if (s.kind == Kind::Done) {
            // The folders' side files are written: the copy has ended (without its file's step,
            // the source folder went away).
            m_walk.reset();
            if (!m_fileEnded)
                m_error = FsError::FileNotFound;
            break;
        }
        if (m_fileEnded)
            continue;
        m_fileEnded = true;
        switch (s.kind) {
        case Kind::FileCopied: m_error = FsError::None; break;
        case Kind::FileExists: m_error = FsError::FileExists; break;
        case Kind::FileFailed: m_error = s.error; break;
        case Kind::SourceLost: m_error = FsError::FileNotFound; break;
        default: m_error = FsError::PermissionDenied; break;
        }
    }
    return false;
}

void FileCopy::stop()
{
    if (!m_walk)
        return;
    m_walk->close();
    m_walk.reset();
    if (!m_fileEnded)
        m_error = FsError::PathFileAccess;
}

FsError copyFileBeside(const std::string& source, const std::string& target, bool overwrite)
{
    FileCopy copy;
    if (copy.start(source, target, overwrite)) {
        CopyPacing pacing;
        pacing.eventsDue(); // a copy within its first steps gives the window no extra turn
        while (copy.step()) {
            if (pacing.eventsDue())
                platform::yieldToEvents();
            if (programEndRequested()) {
                copy.stop();
                break;
            }
        }
    }
    return copy.error();
}

FsError readFileBytes(const std::string& path, std::string& bytes)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->readFile(path, bytes) : kNoMachine;
}

FsError readSourceText(const std::string& path, std::string& bytes)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->readFile(path, bytes, kMaxSourceTextBytes) : kNoMachine;
}

std::string folderCopyRefusal(const std::string& folder)
{
    platform::FileSystem* fs = machineFs();
    return fs ? platform::folderCopyRefusal(fs->resolver(), folder, AppPath) : std::string();
}

std::string fileWriteRefusal(const std::string& target, platform::SteeredFile kind)
{
    platform::FileSystem* fs = machineFs();
    return fs ? platform::fileWriteRefusal(fs->resolver(), target, kind, AppPath) : std::string();
}

std::string steeredFolderRefusal(const std::string& folder, platform::SteeredFolder kind)
{
    platform::FileSystem* fs = machineFs();
    return fs ? platform::steeredFolderRefusal(fs->resolver(), folder, kind, AppPath) : std::string();
}

std::string steeredCopyRefusal(
    const std::string& source, const std::string& dest, platform::SteeredFolder kind)
{
    std::string why = folderCopyRefusal(source);
    return why.empty() ? steeredFolderRefusal(dest, kind) : why;
}

std::string windowsFolderRefusal(
    const std::string& folder, const std::string& systemFolder, std::string& stored)
{
    platform::FileSystem* fs = machineFs();
    return fs ? platform::windowsFolderRefusal(fs->resolver(), folder, systemFolder, &stored)
              : std::string("no machine");
}

std::string keptPlaceRefusal(const std::string& target)
{
    platform::FileSystem* fs = machineFs();
    return fs ? platform::keptPlaceRefusal(fs->resolver(), target, AppPath) : std::string();
}

std::string pathTextRefusal(const std::string& path) { return platform::pathTextRefusal(path); }

std::optional<std::string> partBelow(const std::string& path, const std::string& folder)
{
    platform::FileSystem* fs = machineFs();
    return fs ? platform::partBelow(fs->resolver(), path, folder) : std::nullopt;
}

FsError writeFileBytes(const std::string& path, const std::string& bytes)
{
    platform::FileSystem* fs = machineFs();
    return fs ? fs->writeFile(path, bytes) : kNoMachine;
}

std::string toAnsi(const std::string& utf8) { return platform::utf8ToCp1252(utf8); }
std::string fromAnsi(const std::string& bytes) { return platform::cp1252ToUtf8(bytes); }

std::string longPathOf(const std::string& path)
{
    platform::FileSystem* fs = machineFs();
    if (!fs)
        return path;
    const std::string longPath = fs->resolver().longPath(path);
    return longPath.empty() ? path : longPath;
}

std::string shortcutTargetOf(const std::string& path)
{
    platform::FileSystem* fs = machineFs();
    platform::ShellLink link;
    if (!fs || !fs->fileExists(path) || link.load(*fs, path) != FsError::None)
        return {};
    return link.data().targetPath;
}

void yieldToEvents() { platform::yieldToEvents(); }
void sleepFor(int milliseconds) { platform::sleepFor(static_cast<std::uint32_t>(milliseconds)); }

bool startHidden(const std::string& commandLine, StartedProcess& process)
{
    platform::Process started;
    platform::StartOptions options;
    options.style = platform::WindowStyle::Hidden;
    if (platform::startProcess(commandLine, options, &started) != platform::WinError::Success ||
        !started.isValid())
        return false;
    process.handle = std::make_shared<platform::Process>(started);
    return true;
}

ExitWait waitForExit(const StartedProcess& process, int milliseconds, int& exitCode)
{
    if (!process.handle)
        return ExitWait::TimedOut;
    const platform::Process& p = *process.handle;
    const platform::WaitOutcome outcome = platform::waitForEnd(p, milliseconds, kEventStepMs, [] {
        platform::yieldToEvents();
        return !programEndRequested();
    });
    if (outcome != platform::WaitOutcome::Ended) {
        // An editor left running would go on writing into the registry behind the program.
        p.terminate();
        return outcome == platform::WaitOutcome::Stopped ? ExitWait::Stopped : ExitWait::TimedOut;
    }
    exitCode = static_cast<int>(p.exitCode());
    return ExitWait::Ended;
}

void stopProcess(const StartedProcess& process)
{
    if (process.handle)
        process.handle->terminate();
}

bool pauseWithEvents(int milliseconds)
{
    for (int left = milliseconds; left > 0; left -= kEventStepMs) {
        platform::yieldToEvents();
        if (programEndRequested())
            return false;
        platform::sleepFor(static_cast<std::uint32_t>(std::min(left, kEventStepMs)));
    }
    platform::yieldToEvents();
    return !programEndRequested();
}

void runWithEvents(const std::function<void(const std::atomic<bool>& stop)>& work)
{
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    common::BackgroundWork::Task task = common::BackgroundWork::program().start([&] {
        work(stop);
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
        doneChanged.notify_all();
    });
    // An exit routine run from the events below stops the work and waits for it before it cleans up.
    const WorkBesideWindow beside([&] {
        stop = true;
        task.wait();
    });
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (doneChanged.wait_for(lock, std::chrono::milliseconds(kEventStepMs), [&done] { return done; }))
                break;
        }
        platform::yieldToEvents();
        if (programEndRequested())
            stop = true;
    }
    task.wait();
}

platform::RegFileMergeOptions liveCheckOptions(std::vector<std::string> keys)
{
    platform::RegFileMergeOptions options;
    options.confineTo = std::move(keys);
    options.yield = [] { platform::yieldToEvents(); };
    options.stop = [] { return programEndRequested(); };
    options.yieldEvery = kCheckLinesPerYield;
    return options;
}

bool readRegistryValue(
    platform::RegRoot root, const std::string& subKey, const std::string& name, RegData& out)
{
    platform::Registry* registry = machineRegistry();
    platform::RegKey key;
    if (!registry || registry->openKey(platform::RegKey(root), subKey, key) != platform::WinError::Success)
        return false;
    platform::RegValue value;
    if (registry->queryValue(key, name, value) != platform::WinError::Success)
        return false;
    out.type = value.type;
    out.bytes.assign(value.data.begin(), value.data.end());
    return true;
}

bool registryKeyExists(const std::string& fullPath)
{
    platform::Registry* registry = machineRegistry();
    platform::RegRoot root{};
    std::string subKey;
    platform::RegKey key;
    return registry && platform::splitRegPath(fullPath, root, subKey) &&
        registry->openKey(platform::RegKey(root), subKey, key) == platform::WinError::Success;
}

bool writeRegistryValue(
    platform::RegRoot root, const std::string& subKey, const std::string& name, const RegData& data)
{
    platform::Registry* registry = machineRegistry();
    platform::RegKey key;
    if (!registry || registry->createKey(platform::RegKey(root), subKey, key) != platform::WinError::Success)
        return false;
    const platform::RegBytes bytes(data.bytes.begin(), data.bytes.end());
    return registry->setValue(key, name, data.type, bytes) == platform::WinError::Success;
}

} // namespace wizard::transfer
