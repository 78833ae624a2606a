// TreeCopyWalk.h: copies a folder tree of an emulated machine into a folder, in small steps. Both
// ends are resolved once; below them the walk keeps the folders it opened and reaches every entry
// relative to them, so a file costs the same whatever its depth.
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
    // holding the answer), a refused folder with all it holds. Empty: nothing is refused.
    std::function<std::string(const std::string& destPath, bool folder)> refuse;
    // A file or folder whose destination path would be longer is not copied (TooLong); 0: no limit.
    std::size_t maxPath = 0;
    // Files up to this size are copied within their step; a larger file's data is copied by a
    // worker thread while the steps go on (Working), so that no write the destination makes wait
    // holds up the caller.
    std::uint64_t chunkBytes = std::uint64_t{1} << 20;
    // When not empty: the source folder is not listed, and only these files of it are copied, in
    // this order, each ending in one step of its own (FileFailed with FileNotFound for a name that
    // is missing or no file). For files chosen one by one in a folder.
    std::vector<std::string> files;
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
    Working,       // a part of a large folder was listed or of a large file copied; more follows
    LeftOut,       // a source entry the listing rule left out (`fault`: a name Windows cannot hold)
    Refused,       // a file or folder the options' refuse rule kept from its destination (`why`)
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
};

class TreeCopyWalk {
public:
    explicit TreeCopyWalk(TreeCopyOptions options = {});
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
    // of room.
    FsError open(FileSystem& fileSystem, std::string_view source, std::string_view destination);
    // Does one piece of work: enters a folder, copies a file or a part of a large one. Done when
    // nothing remains (also before open and after close).
    TreeStep step();
    // Lets go of every folder; the walk is then done.
    void close();
    bool done() const;

private:
    struct Frame;
    struct Current;
    TreeStep enterFolder(Frame& parent, const std::string& name);
    TreeStep refusedStep(
        const Frame& frame, const std::string& name, const std::string& destName, bool folder) const;
    TreeStep startFile(Frame& frame, const std::string& name, const std::string& folded);
    bool listSome(Frame& frame);
    void takeNamedFiles(Frame& frame);
    TreeStep continueFile();
    TreeStep finishFile(FsError result);
    bool leaveFolder(TreeStep& lost);
    static void letGo(std::unique_ptr<Frame> frame);
    void keepOpenBounded();
    TreeStep stepOf(
        TreeStepKind kind, const Frame& frame, std::string name = {}, FsError error = FsError::None) const;

    TreeCopyOptions m_options;
    std::vector<std::unique_ptr<Frame>> m_frames;
    std::unique_ptr<Current> m_current; // the large file under way
    std::string m_partial;              // the name a copy is written under until it is complete
};

} // namespace platform
