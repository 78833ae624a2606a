// TreeCopyEngine.h: the work of a folder-tree copy (TreeCopyWalk.h), one bounded step at a time, on
// whichever thread steps it. Both ends are resolved once; below them the engine keeps the folders
// it opened and reaches every entry relative to them, so a file costs the same whatever its depth.
// Used inside platform/ only: TreeCopyWalk runs it beside its caller.
#pragma once

#include "platform/TreeCopyWalk.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class TreeCopyEngine {
public:
    explicit TreeCopyEngine(TreeCopyOptions options);
    ~TreeCopyEngine();
    TreeCopyEngine(const TreeCopyEngine&) = delete;
    TreeCopyEngine& operator=(const TreeCopyEngine&) = delete;

    // As TreeCopyWalk::open; on the caller's thread (it resolves through the file-system object).
    FsError open(FileSystem& fileSystem, std::string_view source, std::string_view destination);
    // Enters a folder, copies a file or a piece of a large one (options.chunkBytes).
    TreeStep step();
    // Removes a file it was writing and lets go of every folder; the engine is then done.
    void close();
    bool done() const;

private:
    struct Frame;
    struct Current;
    TreeStep enterFolder(Frame& parent, const std::string& name);
    TreeStep refusedStep(
        const Frame& frame, const std::string& name, const std::string& destName, bool folder) const;
    TreeStep startFile(
        Frame& frame, const std::string& name, const std::string& target, const std::string& folded);
    bool listSome(Frame& frame);
    // Reads the side file of one of the frame's folders into `into`; the frame is not known when it
    // could not be read.
    static void readAttributes(Frame& frame, int folder, std::map<std::string, unsigned>& into);
    void takeNamedFiles(Frame& frame);
    void lookUpTarget(Frame& frame, const std::string& target, const std::string& folded);
    void listTargets(Frame& frame);
    TreeStep continueFile();
    TreeStep finishFile(FsError result);
    bool leaveFolder(TreeStep& lost);
    void keepOpenBounded();
    void storeHeld(Frame& frame);
    TreeStep stepOf(
        TreeStepKind kind, const Frame& frame, std::string name = {}, FsError error = FsError::None) const;

    TreeCopyOptions m_options;
    std::vector<std::unique_ptr<Frame>> m_frames;
    std::unique_ptr<Current> m_current; // the large file under way
    std::string m_partial;              // the name a copy is written under until it is complete
    std::deque<TreeStep> m_told;        // steps to hand out before any further work
};

} // namespace platform
