// RegistryEditorWait.cpp: the file probe and bounded wait that synchronise with the registry editor.
#include "wizard/transfer/RegistryEditorWait.h"

#include "platform/CodePage.h"

namespace wizard::transfer {
namespace {

// The file's path with its name as its folder stores it. A move onto itself under another case
// would rename the file: the editor, which may have found it under its stored name, would then
// miss it, and the file would keep the new name.
std::string storedName(const std::string& file)
{
    const auto slash = file.find_last_of('\\');
    if (slash == std::string::npos)
        return file;
    const std::string leaf = file.substr(slash + 1);
    for (const std::string& name : fileNames(file.substr(0, slash)))
        if (platform::equalsNoCase(name, leaf))
            return file.substr(0, slash + 1) + name;
    return file;
}

constexpr int kLimitRanOut = -1;
constexpr int kWayOut = -2;

// Probes until the file is free; returns the time spent pausing, kLimitRanOut or kWayOut.
int probeUntilFree(const std::string& requested)
{
    const std::string file = storedName(requested);
    int waited = 0;
    while (moveFile(file, file) == FsError::PermissionDenied) {
        if (waited >= kEditorWaitLimitMs)
            return kLimitRanOut;
        if (!pauseWithEvents(kProbeIntervalMs))
            return kWayOut;
        waited += kProbeIntervalMs;
    }
    return waited;
}

} // namespace

EditorWaitResult waitForEditor(const std::string& file, const StartedProcess& process)
{
    const int waited = probeUntilFree(file);
    if (waited < 0) {
        stopProcess(process);
        return waited == kWayOut ? EditorWaitResult::Stopped : EditorWaitResult::TimedOut;
    }
    int exitCode = 0;
    switch (waitForExit(process, kEditorWaitLimitMs - waited, exitCode)) {
    case ExitWait::Ended: break;
    case ExitWait::Stopped: return EditorWaitResult::Stopped;
    case ExitWait::TimedOut: return EditorWaitResult::TimedOut;
    }
    return exitCode == 0 ? EditorWaitResult::Finished : EditorWaitResult::Failed;
}

bool waitWhileFileBusy(const std::string& file) { return probeUntilFree(file) >= 0; }

} // namespace wizard::transfer
