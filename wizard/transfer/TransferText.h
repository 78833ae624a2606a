// TransferText.h: pure text and path helpers of the transfer primitives: text replacement in
// registry files, the source-registry mirror prefix, drive translation and path pieces.
#pragma once

#include "common/Text.h"
#include "platform/Registry.h"
#include "wizard/core/TextUtil.h"

#include <optional>
#include <string>
#include <string_view>

namespace wizard {

// A key of the source registry's mirror begins with this text (31 characters).
inline constexpr std::string_view kMirrorPrefix = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\";
// A mirrored section header of a registry file begins with this text.
inline constexpr std::string_view kMirrorHeader = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\";

// The wizard's one text replacement and its upper-casing (wizard/core/TextUtil.h): upperAnsi
// of Windows-1252 text, upperAscii of ASCII letters only (safe on UTF-8 text).
using coretext::replaceAll;
using coretext::upperAnsi;
using coretext::upperAscii;

// Applies one replacement of a file rewrite. A replacement with an empty side (an unset script
// variable) is skipped so that it cannot rewrite unrelated text; returns false when skipped.
bool rewriteText(std::string& text, std::string_view search, std::string_view replacement, CaseMode mode);

// True when the key's first 31 characters equal the mirror prefix, compared in upper case.
bool isMirrorKey(std::string_view key);
// The key with every occurrence of the mirror prefix (exact text) removed and blanks trimmed.
std::string realKeyOf(std::string_view key);

// The root of a hive name the transfer layer writes to: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE, by its long name without regard to case; nothing for any other name.
std::optional<platform::RegRoot> scriptRootOf(std::string_view hiveName);

// Blanks (spaces and tabs) trimmed at both ends: common::trimmed as a string.
inline std::string trim(std::string_view text) { return std::string(common::trimmed(text)); }
bool endsWithNoCase(std::string_view text, std::string_view ending);
bool containsNoCase(std::string_view text, std::string_view part);

// The part of a path from its last "\" on, the backslash included ("\a.txt" of "Z:\Data\a.txt");
// the whole path when it holds no backslash.
std::string namePartOf(std::string_view path);
// The path cut before its last "\" (the folder of a file); the path itself when it holds none.
std::string folderOf(std::string_view path);
// The part after the last "\".
std::string fileNameOf(std::string_view path);

// Replaces every occurrence of the path's first two characters (its drive, "C:") by localDrive.
std::string translateDrive(std::string_view path, std::string_view localDrive);

// The folder that a delete of kind "all" empties: Path less a trailing "\*.*" (or "*.*") and a
// trailing "\". Empty when the result is not a folder that may be emptied: no drive-absolute or
// UNC path, or a drive root ("C:", "C:\") or share root.
std::optional<std::string> folderToEmpty(std::string_view path);

// The folders that the environment-variable tokens of a registry path stand for on one PC.
struct TokenFolders {
    std::string winDir;      // the Windows folder
    std::string userProfile; // the current user's profile folder
};

// Replaces the tokens "%windir%", "%SystemRoot%", "%USERPROFILE%", "%SystemDrive%" and
// "%APPDATA%" (exact case, every occurrence, in this order) by the folders they stand for.
// Returns whether any token was replaced; sets unresolved when a token's folder is unknown
// (empty), in which case the path must not be used.
bool expandPathTokens(std::string& path, const TokenFolders& folders, bool& unresolved);

// True when the path names a drive root or share root ("C:", "C:\", "\\PC\C$").
bool isRootPath(std::string_view path);

} // namespace wizard
