// MassRegistry.h: the registry side of a mass migration: mirrored keys exported to registry files,
// the files rewritten for the destination (mirror prefix, Windows folder, System folder, the
// current user's protected subtrees), imported, the Office templates and key deletions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wizard::mass {

struct MassState;

// How a rewrite moves paths from the source's Windows folder to the destination's.
struct PathRewrite {
    std::string sourceRoot; // "C:\WINDOWS"; empty: paths are left alone
    std::string destRoot;   // "C:\WINNT"
    // Whether "<root>\SYSTEM" becomes "<root>\SYSTEM32": only for a Windows 95/98/ME source moving
    // onto Windows 2000/XP, whose 32-bit system folder is System32.
    bool systemToSystem32 = false;
};

// The rewrite for the state's source and destination.
PathRewrite pathRewriteFor(const MassState& state);

// The text of a registry file rewritten, in one pass per rule:
// 1. every `find` replaced by `replacement` (exact case; an empty `find` replaces nothing);
// 2. the escaped source root ("C:\\WINDOWS") where a path goes on below it ("\\"), or it ends
//    (a closing quote or the end of a line), replaced by the escaped destination root;
// 3. with systemToSystem32, the escaped destination root followed by "\\SYSTEM" as a whole
//    component (followed by "\\", a quote or a line end) gets "\\SYSTEM32". "SYSTEM.INI",
//    "SYSTEM32" and a System folder anywhere else keep their names.
std::string rewriteRegText(
    std::string_view text, std::string_view find, std::string_view replacement, const PathRewrite& paths);

// Rewrites a registry file in place as above, with a CR LF after the text unless it already ends
// in one. False (and a "FN_Sys_Path_Change_Err" record) when the file is missing, cannot be read
// or written; a missing file is never created.
bool FN_Sys_Path_Change(const std::string& file, const std::string& find, const std::string& replacement);

// The text with every occurrence of the key path `find` (ASCII, beginning with "[": a header's
// start, "[HKEY_CURRENT_USER\...") replaced by `replacement`, compared by the registry's rule for
// key names (platform::equalsNoCase on the text read in the machine's code page), so in any case
// of its letters; what follows a match stays as the text spells it. Each match spelled otherwise
// than `find` is added to *respelled (as the text spells it, once).
std::string replaceKeyPath(std::string_view text, std::string_view find, std::string_view replacement,
    std::vector<std::string>* respelled = nullptr);

// Exports each sub-key of the mirrored key (below the hive) other than Microsoft, Clients, INTEL,
// Policies and Classes (this PC's own keys: any case, as the registry compares key names; one of
// another spelling is logged "Passed over") to AppPath\Temp\<name>.reg, then App Management
// (2000/XP sources), App Paths and Uninstall, each with the mirror prefix stripped; one of these
// three that the mirror lacks is passed over. False when the key has no sub-keys or an export
// failed (the exports after it are not made).
bool FN_Get_Sub_Keys(const std::string& hive, const std::string& keyPath);
// Removes the bare "[HKEY_CLASSES_ROOT]" header of AppPath\file and moves its paths; always true.
bool FN_ClsRoot_Process(const std::string& file);
// Exports the key to AppPath\file; false when the export failed.
bool FN_Export_Registry(const std::string& file, const std::string& key);
// Strips the mirror prefix of the exported current user and renames its SystemCertificates,
// Windows\CurrentVersion and Installer subtrees (headers matched in any case, replaceKeyPath; one
// of another spelling is logged "Moved aside"), so the destination user's own stay; always true.
bool FN_Cur_User_Process(const std::string& file);
// Imports AppPath\file, or with an empty name every "*.reg" of AppPath\Temp except HKCR.REG,
// HKCU.REG and HKLM.REG in listing order, each in a run of the registry editor of its own. A
// missing file is passed over ("Not found" logged); a file that is no registry file is not
// imported; malformed lines are passed over (each logged) and the rest imported. False when a file is no registry file, cannot be read, or its import failed.
bool FN_Import_Registry(const std::string& file);

// Writes AppPath\Mass.Reg, the two lines deleting the key, imports it and removes it, between its
// own Start and End records; always true.
bool FN_DEL_REGKEY(const std::string& key);
// Imports an Office template when its program is installed on the destination (the " 2000_XP"
// form on an XP destination), or with mode "ALL" the class-root and program templates of the
// destination's system; always true.
bool FN_MS_APP(const std::string& templateFile, const std::string& mode);

} // namespace wizard::mass
