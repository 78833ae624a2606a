// TransferGlobals.h: the shared wizard state that the transfer primitives read and write (the
// drive map of the mapped source drives, the busy-window title, the last application folder) and
// their bridges to the wizard core's log writer and script variables.
#pragma once

#include "wizard/core/ExitRoutine.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wizard {

// Source drive ("C:") to the local letter with colon under which its share is mapped ("Z:").
// Lookups ignore case.
class DriveMap {
public:
    void set(const std::string& sourceDrive, const std::string& localDrive);
    void clear() { m_map.clear(); }
    // The local drive for a source drive; empty when the drive is not mapped.
    std::optional<std::string> lookup(const std::string& sourceDrive) const;
    // The mapped pairs (source drive, local drive) in source-drive order; unmapped entries
    // (an empty local drive) are left out.
    std::vector<std::pair<std::string, std::string>> entries() const;
    // The local drives of the mapped pairs, each once, in source-drive order.
    std::vector<std::string> localDrives() const;
    // A path on a mapped local drive ("F:\My Documents") as the source PC names it
    // ("C:\My Documents"); any other path unchanged. The mapped letter is gone after the run.
    std::string sourcePathOf(const std::string& path) const;

private:
    std::map<std::string, std::string> m_map; // key upper-cased
};

struct TransferGlobals {
    DriveMap driveMap;
    std::string progressCaption; // the title of the item being migrated
    std::string lastAppPath;     // the folder found by the last "get" action
    // The source's exports as the hand-over's merge will read them (moved below the mirror),
    // already found to name only keys below it: that merge takes them without a second check.
    std::vector<std::string> checkedMirrors;
};

// The wizard's one instance.
TransferGlobals& transferGlobals();

// A path as the source PC names it, for records and reports: a path on a mapped drive with the
// source's own drive (the mapped letter is the wizard's and gone after the run); any other path,
// this PC's own among them, as it is.
inline std::string sourceNamed(const std::string& path)
{
    return transferGlobals().driveMap.sourcePathOf(path);
}

// The exit routine's state: the wizard core's shared state with the local drives of the drive
// map as the mapped drives. The program installs it with setExitStateReader.
ExitState exitStateWithDriveMap();

// Replacements for the wizard core's log writer and script-variable store, for tests. Without
// them the transfer layer writes the wizard's log and reads its script variables.
struct TransferHooks {
    std::function<void(const std::string& process, const std::string& status)> log;
    std::function<std::optional<std::string>(const std::string& name)> variable;
};
// Installs the hooks; returns the previous ones.
TransferHooks setTransferHooks(TransferHooks hooks);

// Appends a log record (process name, status) through the wizard core's log writer; a status
// longer than the record's status field (a path, a reason) goes on in the detail field and in as
// many records after it as it needs ("<process> (continued)"), so nothing is cut.
void writeTransferLog(const std::string& process, const std::string& status);
// The same, for the callers that name a text that is often long.
inline void writeTransferLogText(const std::string& process, const std::string& text)
{
    writeTransferLog(process, text);
}
// The value of a script variable; empty when it is not set.
std::string scriptVariable(const std::string& name);
// A path whose "$" components are script variables, resolved; empty when a component names a
// variable that is not set.
std::string resolveVariablePath(const std::string& text);

} // namespace wizard
