// RegistryEditorWait.h: the bounded wait for the registry editor: probe the file until the editor
// has let go of it, then give it a second and collect its exit code.
#pragma once

#include "wizard/transfer/TransferPlatform.h"

#include <string>

namespace wizard::transfer {

// The longest time the wait probes a busy file or waits for the editor to end.
inline constexpr int kEditorWaitLimitMs = 60000;
// The pause between two probes of a busy file.
inline constexpr int kProbeIntervalMs = 100;
// The pause after the file was let go, before the result is read.
inline constexpr int kSettleMs = 1000;

enum class EditorWaitResult { Finished, Failed, TimedOut };

// Probes the file (moved onto itself) while that is refused with "permission denied", yielding
// and pausing between probes, for at most the limit; then sleeps kSettleMs and waits for the
// process to end within what is left of the limit. Failed when it ended with a non-zero code.
EditorWaitResult waitForEditor(const std::string& file, const StartedProcess& process);

// Probes the file as above without a process; true when it was let go within the limit.
bool waitWhileFileBusy(const std::string& file);

} // namespace wizard::transfer
