// RegistryEditorWait.h: the bounded wait for the registry editor: probe the file until the editor
// has let go of it, then wait for the editor's own end, the window's events flowing throughout.
#pragma once

#include "wizard/transfer/TransferPlatform.h"

#include <string>

namespace wizard::transfer {

// The longest time the wait probes a busy file and waits for the editor to end, together.
inline constexpr int kEditorWaitLimitMs = 60000;
// The pause between two probes of a busy file.
inline constexpr int kProbeIntervalMs = 100;

// Stopped: the way out was taken during the wait; the editor was ended and its merge undone.
enum class EditorWaitResult { Finished, Failed, TimedOut, Stopped };

// Probes the file (moved onto itself) while that is refused with "permission denied", pausing
// between probes with the window's events flowing; then waits for the process to end within
// what is left of the limit. An editor still running at the limit is ended (TimedOut). Failed
// when it ended with a non-zero code.
EditorWaitResult waitForEditor(const std::string& file, const StartedProcess& process);

// Probes the file as above without a process; true when it was let go within the limit.
bool waitWhileFileBusy(const std::string& file);

} // namespace wizard::transfer
