// RegistryActions.h: the script actions "update_registry", "rename", "replace", "get", "import"
// and "export": registry files merged and rewritten, mirrored keys and values brought to their
// real place, keys exported, application folders fetched by a mirrored registry value.
#pragma once

#include "wizard/transfer/TransferOutcome.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wizard::Action_Function {

// The working folders of the import and export actions.
inline constexpr const char* kImportFolder = "C:\\QZImpTemp";
inline constexpr const char* kExportFolder = "C:\\QZExpTemp";

// Merges a registry file through the registry editor. An empty file is passed over (true); a
// missing file is passed over after a "Not found : " log record (true); a file that the editor
// rejects gives false with a log record.
bool Action_Update_Registry(const std::string& regFile);
// Renames (or moves within its drive) one file. False when OldPath is not a file or the rename
// failed.
bool Action_Rename(const std::string& oldPath, const std::string& newPath);
// Replaces Search by Replacement everywhere in File, ignoring case, and appends CR LF. A
// replacement with an empty side is skipped (the file is left as it is); a missing file is passed
// over after a "Not found : " log record. False only when the file could not be read or written.
bool Action_Replace(const std::string& file, const std::string& search, const std::string& replacement);
// As Action_Replace with an exact, case-sensitive comparison.
bool Replace_withOut_Case(const std::string& file, const std::string& search, const std::string& replacement);
// Copies the folder of the application that the mirrored value names from the source PC (through
// its mapped drive) to the same path on the destination PC. False for an empty value, a drive that
// is not mapped or a failed copy.
bool Action_Get(const std::string& key, const std::string& valueName, const std::string& pathPart);
// Brings a mirrored key ("*.*") or one mirrored value to its real place. A key or value that does
// not exist is passed over after a "Not found : " log record (true). False when the export, the
// rewrite or the merge of an existing key failed, or a value could not be written.
bool Action_Import(const std::string& key, const std::string& item);
// Writes one text value at its real place; true on success.
bool Registry_Import(platform::RegRoot hive, const std::string& subKey, const std::string& valueName,
    const std::string& value);
// Exports a key to "C:\QZExpTemp\" & TargetFile (a plain file name). False when Key is empty,
// TargetFile is not a plain file name, or the export failed.
bool Action_Export(const std::string& key, const std::string& targetFile);

// Substitutes the pairs (search, replacement; exact case) into a copy of a shipped template in the
// application's "temp" folder, merges the copy and deletes it: the template itself is never
// written. A pair with an empty side fails the merge (nothing is merged). False when the template
// is missing or the merge failed.
bool Merge_Template_Copy(
    const std::string& templatePath, const std::vector<std::pair<std::string, std::string>>& substitutions);

} // namespace wizard::Action_Function

namespace wizard::transfer {
// The workers behind Action_Update_Registry, Action_Replace and Action_Import, with the three
// outcomes kept apart (TransferOutcome.h); the records they log are those of the actions.
TransferOutcome mergeRegFileWorker(const std::string& regFile);
TransferOutcome replaceWorker(
    const std::string& file, const std::string& search, const std::string& replacement);
TransferOutcome importWorker(const std::string& key, const std::string& item);
// Writes one value with its own type at its real place; true on success.
bool importValue(
    platform::RegRoot hive, const std::string& subKey, const std::string& valueName, const RegData& data);
} // namespace wizard::transfer
