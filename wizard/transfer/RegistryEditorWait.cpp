// RegistryEditorWait.cpp: the file probe and bounded wait that synchronise with the registry editor.
#include "wizard/transfer/RegistryEditorWait.h"

namespace wizard::transfer {
namespace {

// Probes until the file is free; returns the time spent pausing, or -1 when the limit ran out.
int probeUntilFree(const std::string& file)
{
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
