// SourceValues.h: what the wizard learns of the source PC once its registry is mirrored under
// SOFTWARE\QZ and its drives are mapped: its system, its folders, its Office editions.
#pragma once

#include "wizard/core/InitializeApplication.h"

#include <functional>
#include <string>

namespace wizard {

class ScriptVariables;

// The mirrored keys read here (below HKEY_LOCAL_MACHINE of this PC).
inline constexpr const char* kMirrorNtVersionKey =
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* kMirror9xVersionKey =
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kMirrorOffice2003Key =
    "Software\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
    "CurrentVersion\\Uninstall\\{90110409-6000-11D3-8CFE-0150048383C9}";
inline constexpr const char* kMirrorPremium9xKey =
    "SOFTWARE\\QZ\\HKEY_CURRENT_"
    "USER\\Software\\Microsoft\\Installer\\Products\\904000001E872D116BF00006799C897E";
inline constexpr const char* kMirrorPremiumNtKey =
    "SOFTWARE\\QZ\\HKEY_CLASSES_ROOT\\Installer\\Products\\904000001E872D116BF00006799C897E";

// True for the OS codes of Windows 95, 98 and ME.
bool isNineXSource(const std::string& osCode);

// The source's OS code from the mirror: the NT product name (trimmed, any case) "Microsoft Windows
// 2000" or "... XP", else, when there is no NT product name, the 9x one "... 98", "... 95" or
// "... ME". Empty when the mirror names none of these.
std::string mirroredSourceOs(const EnvironmentAccess& access);

// Source_Value_Initialize's work on one variable store (the caller writes its log record):
// - SourceOs and "$st_source_os" from the mirror; when it names no known system both keep the
//   code chosen on the preparatory-task page;
// - the source path variables of that system (PcEnvironment's setters; none for an unknown code);
// - "$st_source_curr_user_app_data": for 95/98/ME "$st_source_win_path" & "Application Data";
//   otherwise the mapped profile folder & "\Application Data" in doubled form, on the source's own
//   drive letter ("" when the mirror names no profile folder);
// - for 2000/XP "$bln_office_2003_flg" ("true"/"false"); 95/98/ME keep the earlier value;
// - OfficePremiumFlag and "$bln_office_premium_flg" from the premium product key of the source's
//   family;
// - "$st_source_alluser_settings": the All Users folder less "\Start Menu\Programs" for 2000/XP,
//   "" for any other system (an earlier source's All Users folder is never carried over);
// - `unpackOfficeLinks` (FN_Unzip_Office_Links) for 95/98/ME, after the premium flag is set;
// - "$blnSyncDone" = "False".
// Always true: a missing key or value reads as "".
bool initializeSourceValues(ScriptVariables& variables, const EnvironmentAccess& access,
    const std::function<void()>& unpackOfficeLinks);

} // namespace wizard
