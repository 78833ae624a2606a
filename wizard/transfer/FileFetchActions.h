// FileFetchActions.h: the script actions "get_file" (a file that the source registry names,
// also through environment-variable paths), "file_type_copy" and "msgbox".
#pragma once

#include <string>

namespace wizard::Action_Function {

// Copies the file that the mirrored value names from the source PC to the matching folder of the
// destination PC; a value named "Wallpaper" also becomes the destination user's wallpaper. False
// for an empty value, a path with an unknown folder or an unmapped drive, or a failed copy; a
// source file that does not exist is passed over after a "Not found : " log record (true).
bool Action_Get_File(const std::string& key, const std::string& valueName);
// Refreshes every file under Folder (a destination folder, walked depth first) whose path ends
// with Ending (ignoring case) from the same path on the source PC. False when a file could not be
// copied (a file missing on the source PC is passed over); an empty Ending copies nothing.
bool Action_File_Type_Copy(const std::string& folder, const std::string& ending);
// Shows Text with an OK button; type "I", "E" or "C" (any case) picks the icon, any other type
// shows nothing. Always true.
bool Action_Msgbox(const std::string& text, const std::string& type);

} // namespace wizard::Action_Function
