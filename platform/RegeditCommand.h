// RegeditCommand.h: the registry editor's command line ("/s FILE...", "/e FILE [KEY]",
// "/a FILE [KEY]") carried out on one machine's registry; used by build/bin/regedit and in-process.
#pragma once

#include "platform/Machine.h"
#include "platform/WinError.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Turns a FILE argument into a host path. Success, or an error with *message set.
using RegeditPathResolver =
    std::function<WinError(std::string_view argument, std::filesystem::path& host, std::string& message)>;

// Takes the argument as a host path, unchanged.
WinError hostPathResolver(std::string_view argument, std::filesystem::path& host, std::string& message);

// The tool's resolver: a drive-absolute ("C:\x.reg") or UNC ("\\PC\C$\x.reg") argument is a
// Windows path of machine (Machine::hostPath); an absolute host path ("/tmp/x.reg") is taken as
// it is; anything else is refused with InvalidName (relative names are never resolved against a
// working folder). machine must outlive the resolver.
RegeditPathResolver machinePathResolver(const Machine& machine);

// Carries out a registry-editor command line (arguments without the program name) on machine's
// registry.db (made with the four hives when the machine has none yet). Options are "/" or "-"
// followed by one letter, without case:
//   /s FILE...        merges each file silently (each in one transaction);
//   /e FILE [KEY]     exports KEY (a root, long or short name, or a key below one; without KEY
//                     the whole registry): REGEDIT4 on 95/98/ME machines, version 5.00 on 2000/XP;
//   /a FILE [KEY]     exports REGEDIT4 in the ANSI code page on any machine;
//   /s may accompany /e or /a ("/s /E FILE KEY").
// Returns the exit code: 0 on success (merges with passed-over lines included), 1 when a file is
// missing, unreadable or not a registry file, the key does not exist (no file is written), the
// database cannot be used, or the command line is wrong. errors receives the lines for stderr:
// every failure names its file, every passed-over line its file and line number.
int runRegedit(const std::vector<std::string>& arguments, const Machine& machine,
    const RegeditPathResolver& resolvePath, std::string& errors);

} // namespace platform
