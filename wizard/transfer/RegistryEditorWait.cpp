// RegistryEditorWait.cpp: the file probe and bounded wait that synchronise with the registry editor.
#include "wizard/transfer/RegistryEditorWait.h"

#include "common/Text.h"

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
        if (common::equalsNoCaseAscii(name, leaf))
            return file.substr(0, slash + 1) + name;
    return file;
}

// Probes until the file is free; returns the time spent pausing, or -1 when the limit ran out.
int probeUntilFree(const std::string& requested)
{
    const std::string file = storedName(requested);
    int waited = 0;
    while (moveFile(file, file) == FsError::PermissionDenied) {
        if (waited >= kEditorWaitLimitMs)
            return -1;
        yieldToEvents();
        sleepFor(kProbeIntervalMs);
        waited += kProbeIntervalMs;
    }
    return waited;
}

} // namespace

EditorWaitResult waitForEditor(const std::string& file, const StartedProcess& process)
{
    const int waited = probeUntilFree(file);
    if (waited < 0)
        return EditorWaitResult::TimedOut;
    sleepFor(kSettleMs);
    int exitCode = 0;
    if (!waitForExit(process, kEditorWaitLimitMs - waited, exitCode))
        return EditorWaitResult::TimedOut;
    return exitCode == 0 ? EditorWaitResult::Finished : EditorWaitResult::Failed;
}

bool waitWhileFileBusy(const std::string& file) { return probeUntilFree(file) >= 0; }

} // namespace wizard::transfer
