// TreeCopyWalk.h: copies a folder tree of an emulated machine into a folder. Both ends are resolved
// once by the caller's thread; from there on the work (listing folders, opening, copying and naming
// files) runs beside the caller on the program's background driver, and the caller takes up what
// it did as steps, in the order it did them. No step the caller takes waits on the disk.
#pragma once

#include "platform/FileSystem.h"
#include "platform/WindowsName.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct TreeCopyOptions {
    bool recurse = true;    // false: the top folder's files only
    bool overwrite = false; // replace existing targets (never a folder, a read-only or an in-use one)
    // Files never copied (passed over without a step of their own); empty: none.
    std::function<bool(const std::string& name)> leaveOut;
    // The name a sub-folder takes at the destination, "" leaves it out. `sourceFolder` is the
    // Windows path of the folder that lists it, ending with "\". Empty: the same name.
    std::function<std::string(const std::string& sourceFolder, const std::string& name)> folderName;
    // Why a file or sub-folder must not be written at its destination (the Windows path it would
    // take there, `folder` telling which it is): a non-empty answer leaves it out (Refused, `why`
    // holding the answer), a refused folder with all it holds. Empty: nothing is refused. Asked by
    // the work beside the caller, so it may read files and the machine's configuration only.
    std::function<std::string(const std::string& destPath, bool folder)> refuse;
    // A file or folder whose destination path would be longer is not copied (TooLong); 0: no limit.
    std::size_t maxPath = 0;
    // Files up to this size are copied in one piece; a larger file's data in pieces of this size,
    // between which a stop is seen.
    std::uint64_t chunkBytes = std::uint64_t{1} << 20;
    // When not empty: the source folder is not listed, and only these files of it are copied, in
    // this order, each ending in one step of its own (FileFailed with FileNotFound for a name that
    // is missing or no file). For files chosen one by one in a folder.
    std::vector<std::string> files;
    // The names the named files take at the destination, by position (a name beyond its end keeps
    // its own). For a file copied under another name.
    std::vector<std::string> targets;
    // How many steps the work beside may run ahead of the steps taken before it waits, so that a
    // caller who stops looking (a box open) does not find the whole tree copied meanwhile.
    std::size_t stepsAhead = 1024;
    // The work ends after a step that failed for want of room (DiskFull), rather than going on
    // with what may still fit.
    bool endAtDiskFull = false;
    // The work runs within step() on the caller's thread instead of beside it: for a small file
    // copied on its own, whose copy costs less than starting the work beside and handing its
    // steps over (a busy machine may take milliseconds to run a new thread).
    bool callersThread = false;
};

// What one step of the walk did.
enum class TreeStepKind {
    FolderEntered, // a source folder was opened and its destination made or found
    FileCopied,    // a file arrived whole under its name
    FileExists,    // the target exists and overwrite is off: nothing was written
    FileFailed,    // `error` tells why (in use 70, gone or no file 53, disk full 61, changed while copied
                   // 57 ...); nothing is left half written
    TooLong,       // the destination path of a file or folder is longer than maxPath
    FolderBlocked, // a sub-folder could not be opened or made at the destination: it was left out
    SourceLost,    // a source folder went away under the walk (what was copied is whole)
    Working,       // a part of a large folder was listed or of a large file copied, or the work beside
                   // has nothing new yet; more follows
    LeftOut,       // a source entry the listing rule left out (`fault`: a name Windows cannot hold)
    Refused,       // a file or folder kept from its destination (`why`): by the options' refuse rule,
                   // or as its name is the short name of another entry there ("PROGRA~1")
    Done,          // nothing remains
};

struct TreeStep {
    TreeStepKind kind = TreeStepKind::Done;
    FsError error = FsError::None;
    std::string sourceFolder;          // Windows paths of the folder the step concerns, without a closing "\"
    std::string destFolder;            // (for a drive root: "C:")
    std::string name;                  // the entry's stored spelling at the source ("" for a folder entered)
    std::string targetName;            // its name at the destination (an existing target keeps its spelling)
    NameFault fault = NameFault::None; // why a LeftOut entry was left out
    std::string why;                   // why a Refused entry was kept from its destination
    bool made = false;                 // FolderEntered: the walk made the destination folder
};

class TreeCopyWalk {
public:
    explicit TreeCopyWalk(TreeCopyOptions options = {});
    // Stops the work beside (as close) without waiting for it.
    ~TreeCopyWalk();
    TreeCopyWalk(const TreeCopyWalk&) = delete;
    TreeCopyWalk& operator=(const TreeCopyWalk&) = delete;

    // Sets the options' refuse rule; before open().
    void refuseTargets(std::function<std::string(const std::string& destPath, bool folder)> rule)
    {
        m_options.refuse = std::move(rule);
    }
    // Resolves both folders once and opens them; the destination is made with its parents when
    // missing. PathNotFound (76) when the source is no existing folder; PathFileAccess (75) when
    // the destination cannot be made or opened; DiskFull (61) when it could not be made for want
    // of room. Then the work beside starts.
    FsError open(FileSystem& fileSystem, std::string_view source, std::string_view destination);
    // The next thing the work did: a folder entered, a file copied or not, and so on. Working when
    // it has done nothing new within a couple of milliseconds (a large file under way, a slow
    // disk). Done when nothing remains (also before open and after close).
    TreeStep step();
    // Stops the work and returns at once; the work beside removes the file it was writing and lets
    // go of its folders by itself. The walk is then done.
    void close();
    bool done() const;
    // Stops every walk of the process and returns once each has let go of its files (the one it
    // was writing removed): for the program's way out, before it cleans up.
    static void stopAll();
    // Returns once the work of every walk closed or stopped so far has ended.
    static void waitForStopped();

    struct Beside; // the work beside and what it hands over (TreeCopyWalk.cpp)

private:
    bool take();

    TreeCopyOptions m_options;
    std::shared_ptr<Beside> m_beside;
    bool m_inline = false;         // no thread could be started: the work runs within step()
    std::vector<TreeStep> m_taken; // steps taken over from the work beside, from m_next on
    std::size_t m_next = 0;
    TreeStep m_last; // the last step handed out (where a Working step says the work is)
};

} // namespace platform
