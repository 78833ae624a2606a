// TransferPlatform.h: the file, registry-editor and program services that the transfer
// primitives use. File calls answer the platform's file-system errors (`platform::FsError`, the
// numbers the primitives log). Every call goes to platform/; nothing here touches the host file
// system.
#pragma once

#include "platform/FileSystem.h"
#include "platform/PathConfinement.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Process;
class TreeCopyWalk;
struct TreeStep;
}

namespace wizard::transfer {

using platform::FsError;

// The error's number as the log records write it (70 for PermissionDenied).
int errorNumber(FsError error);
// "number:description" as the log records write an error ("70:Permission denied").
std::string errorStatus(FsError error);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
// Size in bytes; -1 when the file cannot be read.
std::int64_t fileSize(const std::string& path);
// The file's version resource as dotted text; empty when it carries none.
std::string fileVersion(const std::string& path);
// Whether the file at `newer` was last written later than the one at `older`; false when either
// cannot be read.
bool writtenLater(const std::string& newer, const std::string& older);
// Whether the file was last written after `when`; false when it cannot be read.
bool writtenAfter(const std::string& path, std::chrono::system_clock::time_point when);

// Creates the folder with every missing parent (the path may end with "\").
bool makeSurePathExists(const std::string& folder);
// Creates one folder level; fails when its parent is missing. Without a running machine every file
// call answers PathNotFound.
FsError createFolder(const std::string& folder);
FsError copyFile(const std::string& source, const std::string& target, bool overwrite);
// Moves a file; target is a file path (no overwrite), or a folder path ending with "\".
FsError moveFile(const std::string& source, const std::string& target);
// Moves a file onto an existing target's path, replacing the target.
FsError replaceFile(const std::string& source, const std::string& target);
FsError deleteFile(const std::string& path, bool force = false);
FsError deleteFolder(const std::string& path, bool force = false);
// Renames or moves a file within one drive.
FsError renameFile(const std::string& oldPath, const std::string& newPath);
// Names (not paths) of the entries of a folder, in the platform's listing order.
std::vector<std::string> subFolderNames(const std::string& folder);
std::vector<std::string> fileNames(const std::string& folder);
// Both of the above from one listing. The entries the listing leaves out (names Windows cannot
// hold, names equal but for case to one listed) are added to `leftOut` when it is given.
void listFolderNames(const std::string& folder, std::vector<std::string>& subFolders,
    std::vector<std::string>& files, std::vector<platform::LeftOutName>* leftOut = nullptr);
// "<folder>\<name> : <why>" for an entry a listing of `folder` left out, the name made readable
// and a folder on a mapped drive named as the source PC names it; the copies log it after
// "Not copied : " and report it.
std::string leftOutText(const std::string& folder, const platform::LeftOutName& entry);
// The same for a walk's step that left its entry out (LeftOut, or TooLong: a path longer than
// Windows allows).
std::string leftOutText(const platform::TreeStep& step);
// "<source folder>\<name> : <why>" for a Refused step, the folder named as the source PC names it.
std::string refusedText(const platform::TreeStep& step);
// Opens `walk` on two folders of the running machine (platform::TreeCopyWalk::open): the source
// tree is copied into the destination, made when missing, one entry per step. No entry lands in a
// place this PC keeps for itself (keptPlaceRefusal) nor under the short name of another entry:
// such an entry is a Refused step, and a destination that is one (or that takes a source folder's
// own name as the short name of another, platform::shortNameRefusal) is refused whole
// (PermissionDenied, logged under `process` as "Refused : <source> : <why>", `refusal` given why).
FsError openTreeCopy(const std::string& source, const std::string& destination, platform::TreeCopyWalk& walk,
    const std::string& process = "Action_Copy_Folder", std::string* refusal = nullptr);

// A copy of one file with the answers of copyFile (a missing source FileNotFound, a missing
// destination folder PathNotFound, an existing target FileExists unless `overwrite`, a read-only,
// in-use or folder target PermissionDenied), whose bytes move beside the window on the copy walk
// (platform::TreeCopyWalk): the window's thread only takes up what it did. Stopped or let go of
// before it ended, it leaves nothing of the file and the target as it was.
class FileCopy {
public:
    FileCopy();
    ~FileCopy();
    FileCopy(const FileCopy&) = delete;
    FileCopy& operator=(const FileCopy&) = delete;
    // Starts the copy of `source` onto the file path `target` (its name may differ); false when
    // it ended at once (error() tells how).
    bool start(const std::string& source, const std::string& target, bool overwrite);
    // Takes up what the copy did, waiting a couple of milliseconds at most; false once it ended.
    bool step();
    // Ends the copy at once; one that had not ended answers PathFileAccess.
    void stop();
    FsError error() const { return m_error; }

private:
    std::unique_ptr<platform::TreeCopyWalk> m_walk;
    bool m_fileEnded = false; // the file's own step came; the walk is letting go of its folders
    FsError m_error = FsError::None;
};
// copyFile through a FileCopy, the window's events taken up every few milliseconds meanwhile; the
// program's end stops it (PathFileAccess).
FsError copyFileBeside(const std::string& source, const std::string& target, bool overwrite);

// Reads or writes a whole file as bytes (text in the machine's code page).
FsError readFileBytes(const std::string& path, std::string& bytes);
// The most a text file of the source PC (its SYSTEM.INI, its Control.ini) is read to: larger
// answers PathFileAccess and nothing is read.
inline constexpr std::size_t kMaxSourceTextBytes = std::size_t{16} << 20;
FsError readSourceText(const std::string& path, std::string& bytes);
// Writes the bytes as the whole file (FileSystem::writeFile, which replaces the target whole), so
// that a failed or interrupted write never leaves the target cut short.
FsError writeFileBytes(const std::string& path, const std::string& bytes);

// Why a path a source value names may not be copied ("" when it may), judged on the path the
// running machine resolves (platform/PathConfinement.h): a folder copied whole, a single file
// written by a step of `kind`, a file read.
std::string folderCopyRefusal(const std::string& folder);
std::string fileWriteRefusal(const std::string& target, platform::SteeredFile kind);
// Why no copy from another PC may write `target`, whoever chose it ("" when it may): the wizard's
// own folder and what it holds, a drive root's start-up files, a profile's registry hive.
std::string keptPlaceRefusal(const std::string& target);
// The destination of a folder copy a source value steers (an application's folder, a profile's):
// folderCopyRefusal, and a Startup or Tasks folder, and for an application the Windows folder.
std::string steeredFolderRefusal(const std::string& folder, platform::SteeredFolder kind);
// A folder copy a source value steers from `source` (never a system's own folder) to `dest`
// (steeredFolderRefusal): why not, "" when it may be made.
std::string steeredCopyRefusal(
    const std::string& source, const std::string& dest, platform::SteeredFolder kind);
// Why `folder` is no Windows folder holding `systemFolder` ("" when it is; `stored` then gets its
// name as stored).
std::string windowsFolderRefusal(
    const std::string& folder, const std::string& systemFolder, std::string& stored);
std::string pathTextRefusal(const std::string& path);
// The part of `path` below `folder` as the running machine resolves both ("" for the folder
// itself); nothing when it does not lie in it.
std::optional<std::string> partBelow(const std::string& path, const std::string& folder);

// Text of the program (UTF-8) to the machine's code page and back.
std::string toAnsi(const std::string& utf8);
std::string fromAnsi(const std::string& bytes);
// The path with each short ("~") component replaced by its long name; unchanged when a component
// cannot be found.
std::string longPathOf(const std::string& path);

// The target path of a shortcut file (the scripting host's "TargetPath"); empty when the file is
// missing or is not a shortcut.
std::string shortcutTargetOf(const std::string& path);

// Yields to pending window messages.
void yieldToEvents();
// Sleeps through the platform's sleep service (tests replace it).
void sleepFor(int milliseconds);

// A program started by startHidden().
struct StartedProcess {
    std::shared_ptr<platform::Process> handle;
};
// Starts a command line with a hidden window and does not wait for it. False when it could not
// be started.
bool startHidden(const std::string& commandLine, StartedProcess& process);
// How a wait for a started process came out.
enum class ExitWait { Ended, TimedOut, Stopped };
// Waits up to `milliseconds` for the process to end, running the window's events at least every
// kEventStepMs. Ended with its exit code when it has ended. When the limit passes first the
// process is ended (TimedOut); when the program's end is asked for meanwhile (the way out) it is
// ended at once (Stopped).
ExitWait waitForExit(const StartedProcess& process, int milliseconds, int& exitCode);
// Ends the process if it still runs.
void stopProcess(const StartedProcess& process);
// Pauses `milliseconds`, running the window's events at least every kEventStepMs; false (at once)
// when the program's end has been asked for.
bool pauseWithEvents(int milliseconds);
// The longest time the window's events wait during a pause or a wait for a process.
inline constexpr int kEventStepMs = 10;
// Runs work on the program's background driver (common::BackgroundWork) and returns when it has
// ended, running the window's events at least every kEventStepMs meanwhile. Once the program's end
// has been asked for, `stop` is set: work that can end early reads it. The work must not touch the
// window, the log or the machine (they belong to the window's thread); it takes and gives back
// plain values.
void runWithEvents(const std::function<void(const std::atomic<bool>& stop)>& work);
// Options for checking a registry file on the window's thread, confined to `keys`: the window's
// events run every kCheckLinesPerYield lines, and the way out stops the check (Cancelled).
platform::RegFileMergeOptions liveCheckOptions(std::vector<std::string> keys);
// Lines a check reads between two turns of the window's events (a few milliseconds of work).
inline constexpr std::size_t kCheckLinesPerYield = 500;

// A registry value with its own type and data bytes.
struct RegData {
    platform::RegType type = platform::RegType::None;
    std::string bytes;
};
// Reads a value of the key subKey below the root handle; false when the key or value is missing.
bool readRegistryValue(
    platform::RegRoot root, const std::string& subKey, const std::string& name, RegData& out);
// True when the key given by its full path ("HKEY_CURRENT_USER\Software\...") exists.
bool registryKeyExists(const std::string& fullPath);
// Writes a value, creating the key with its parents; false when it failed.
bool writeRegistryValue(
    platform::RegRoot root, const std::string& subKey, const std::string& name, const RegData& data);

} // namespace wizard::transfer
