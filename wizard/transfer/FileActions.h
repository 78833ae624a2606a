// FileActions.h: the primitives behind the script actions "copy", "move" and "delete" and the
// file and folder workers that the other transfer primitives and the rules call.
#pragma once

#include <string>

namespace wizard::Action_Function {

// Dispatch one script item by its type ("folder" or "file", lower case) to the worker; any other
// type does nothing and gives true.
bool Action_Copy(const std::string& name, const std::string& from, const std::string& to,
    const std::string& type, const std::string& flag);
bool Action_Move(const std::string& name, const std::string& from, const std::string& to,
    const std::string& type, const std::string& flag);

// The file and folder actions answer as the script engine expects (TransferOutcome.h): True when
// the item was migrated or kept by the version rule, and True after a "Not found : " log record
// when the source does not exist (scripts list optional files); False only when the source exists
// and the copy or move failed (with a log record), so that the engine shows its report.

// Copies one file into a folder (created with its parents when missing) under the copy rule.
bool Action_Copy_File(const std::string& source, const std::string& destFolder, const std::string& flag);
// Copies a folder tree depth first (sub-folders first, then the folder's files). False when a
// file or sub-folder of the tree failed; the rest of the tree is still copied.
bool Action_Copy_Folder(const std::string& source, const std::string& dest, const std::string& flag);
// Moves one file into a folder. An existing target is replaced only by a source with a greater
// version.
bool Action_Move_File(const std::string& source, const std::string& destFolder, const std::string& flag);
// Moves the files of a folder tree; the source folders stay behind.
bool Action_Move_Folder(const std::string& source, const std::string& dest, const std::string& flag);
// Deletes a file ("file"), a folder tree ("folder"), or empties a folder ("all": a trailing
// "\*.*" or "\" is ignored; a drive or share root is never emptied). False when it failed.
bool Action_Delete(const std::string& path, const std::string& type);

} // namespace wizard::Action_Function
