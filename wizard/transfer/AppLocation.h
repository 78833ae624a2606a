// AppLocation.h: where an application without a script of its own lies on the source PC (its
// mirrored uninstall entry, the mirrored "App Paths" keys, the drive map), and the copies of its
// desktop item, program group and installer cache folder onto the destination.
#pragma once

#include <string>

namespace wizard::ModOtherApplications {

// The source PC's install folder from the uninstall entry `key` (below HKEY_LOCAL_MACHINE, inside
// the mirror): "InstallLocation" as stored (its installer cache folder is copied as a side
// effect), else the folder of "DisplayIcon" or "InstallTo", else the folder the "UninstallString"
// command names, else "UNINSTALLPATH". Empty (logged "GenricApplnPath") when none is set.
std::string FindInstallLocation(const std::string& key);
// The folder an uninstall command names, by the uninstaller it starts (IsUninst.exe, Wise,
// InstallShield, Visual Basic setup ...); the command's own folder for any other.
std::string folderOfUninstallCommand(const std::string& command);
// Copies the installer cache folder ("...\{product code}") that the entry's "UninstallString"
// names from the source PC to the same path on the destination. Nothing for a command that names
// no such folder.
void CopyInstallShieldFolder(const std::string& key);
// A source PC path on the local side: its drive replaced by the letter it is mapped to, short
// components made long. Empty (logged "ConvertPath") when the drive is not mapped.
std::string ConvertPath(const std::string& path);
// The path cut after the outermost-but-innermost component holding `name` (case-sensitive): the
// last component, read from the end, that holds the name while the one before it does not. The
// path unchanged when no component qualifies.
std::string GetInstallPath(const std::string& path, const std::string& name);
// The folder of the first mirrored "App Paths" entry whose name (before its first ".") occurs in
// the application name, ignoring case. Empty when none does or the key is missing.
std::string FindAppPaths(const std::string& name);

// Copies the first desktop file whose name holds the application name or is held by it (case-
// sensitive) from the source's shared desktop, else from its user's desktop, to the destination's
// shared desktop. A shortcut whose target no longer exists on the source is not copied. An empty
// name matches nothing. True when copied or nothing matched; False (logged) when the copy failed.
bool CreateShortCut(const std::string& name);
// Copies the first entry of the source's program group folder, else of its shared one, whose name
// matches as above into the destination's shared program group. True when an entry was found and
// its copy attempted (a failed copy is logged "Program Group Failed"); False when nothing matched.
bool CopyProgramGroup(const std::string& name);

} // namespace wizard::ModOtherApplications
