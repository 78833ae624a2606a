// ModOtherApplications.h: the copy workers for applications moved without a script of their own,
// and the registry editor's export and import.
#pragma once

#include <string>

namespace wizard::ModOtherApplications {

// As Action_Function::Action_Copy_File, and calls CheckandRegister with the target after every
// copy that wrote it. A missing source is passed over (True, logged); False when the copy failed.
bool Action_Copy_File(const std::string& source, const std::string& destFolder, const std::string& flag);
// As Action_Function::Action_Copy_Folder with this module's file worker; its failure record reads
// "Error : " number "(" destination ")".
bool Action_Copy_Folder(const std::string& source, const std::string& dest, const std::string& flag);
// Action_Copy_Folder for a program group: an entry whose name Windows cannot hold is left out,
// logged ("Not copied : ") and named in the current item's report; it fails nothing.
bool Action_Copy_Group(const std::string& source, const std::string& dest);
// The hook after each application file copy; registers nothing, always true.
bool CheckandRegister(const std::string& path);

// Exports a key (full path with its hive name) and its sub-keys to a REGEDIT4 file through the
// registry editor ("regedit.exe /a"). False when the editor could not be started, ended with a
// failure, or kept the file busy past the wait's bound.
bool ExportRegistry(const std::string& file, const std::string& key);
// Merges a registry file through the registry editor ("regedit.exe /s"). False when the file does
// not exist, the editor could not be started, rejected the file, or did not finish within the
// wait's bound.
bool ImportRegistry(const std::string& file);

} // namespace wizard::ModOtherApplications
