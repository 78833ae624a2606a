// RegFile.h: registry files ("REGEDIT4" in Windows-1252, "Windows Registry Editor Version 5.00"
// in UTF-16LE): merging one into a Registry in one transaction, and exporting keys as one.
#pragma once

#include "platform/Registry.h"
#include "platform/WinError.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegFileFormat {
    Regedit4, // "REGEDIT4", Windows-1252 text, string types as code-page bytes
    Version5, // "Windows Registry Editor Version 5.00", UTF-16LE with byte-order mark
};

// A line that a merge passed over: its 1-based line number and why.
struct RegFileWarning {
    std::size_t line = 0;
    std::string text;
    bool kept = false; // the line's value was stored nonetheless (a hex list the file ends inside)
};

struct RegFileMergeReport {
    RegFileFormat format = RegFileFormat::Regedit4;
    std::vector<RegFileWarning> warnings; // lines passed over or kept cut short, in file order
    std::size_t keysOpened = 0;           // [key] sections merged
    std::size_t keysDeleted = 0;          // [-key] sections that deleted a key
    std::size_t valuesSet = 0;
    std::size_t valuesDeleted = 0; // "name"=- lines that deleted a value
    std::size_t refusedLine = 0;   // the key line outside RegFileMergeOptions::confineTo, or 0
    std::string message;           // why the merge failed; names the file when there is one
    // checkRegText with RegFileMergeOptions::listKeys: every key the file opens or deletes, in file
    // order, its root by its long name ("HKEY_CURRENT_USER\Control Panel\Desktop").
    std::vector<std::string> keys;
};

struct RegFileMergeOptions {
    // Called every yieldEvery lines while the merge runs (the wizard lets its window breathe here).
    std::function<void()> yield;
    std::size_t yieldEvery = 2000;
    // Asked at the same points: true stops the merge there with Cancelled, and nothing of the
    // file is merged.
    std::function<bool()> stop;
    // When not empty, the only keys the file may name ("HKEY_LOCAL_MACHINE\SOFTWARE\QZ\HKEY_CURRENT_USER",
    // long or short root names): every key it opens or deletes must be one of them or lie below one
    // (compared as the registry compares names; HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes).
    // The first key line outside them refuses the whole file: AccessDenied, report.refusedLine and a
    // message naming the line, and nothing of the file is merged.
    std::vector<std::string> confineTo;
    // checkRegText only: the keys the file names are listed in RegFileMergeReport::keys.
    bool listKeys = false;
};

// Merges the bytes of a registry file, the way the registry editor merges it:
// - the first line must be "REGEDIT4" or "Windows Registry Editor Version 5.00" (a UTF-16LE file
//   starts with the byte-order mark FF FE); otherwise BadFormat and nothing changes;
// - "[key]" opens the key, creating it (and the keys on the way); "[-key]" deletes it with
//   everything below; HKEY_CLASSES_ROOT sections go to HKEY_LOCAL_MACHINE\SOFTWARE\Classes;
// - "name"= or @= with "text" (escapes \\ and \"), dword:XXXXXXXX, hex:..., hex(N):... (N in hex;
//   continued over lines ending in "\"; a list the file ends inside keeps the bytes read, as they
//   are, with a warning), or - to delete the value;
// - blank lines and lines starting with ";" are comments.
// A malformed line, a section under an unknown root (or one that cannot be opened) and a value
// outside any key are passed over with a warning; the values below a passed-over section go with
// it without further warnings; the rest is merged.
// All changes form one transaction: on any failure (Busy, RegistryIoFailed...) or a crash nothing
// of the file is applied. Success also when warnings were given.
WinError mergeRegText(Registry& registry, std::string_view fileBytes, RegFileMergeReport& report,
    const RegFileMergeOptions& options = {});

// What merging the bytes into an empty registry would report, without touching any registry: the
// file is read as a merge reads it and every key and value is checked as the registry would take it
// (names and key depth), but nothing is kept, so no deletion finds anything (keysDeleted and
// valuesDeleted stay 0). The warnings tell the lines a merge would pass over; with
// options.confineTo, AccessDenied tells a file that names a key outside them.
WinError checkRegText(
    std::string_view fileBytes, RegFileMergeReport& report, const RegFileMergeOptions& options = {});

// Reads a file and merges it as above. FileNotFound (missing file), AccessDenied/ReadFault
// (cannot be read), BadFormat (not a registry file); report.message then starts with the file's path
// and ": ", and names it nowhere else.
WinError mergeRegFile(Registry& registry, const std::filesystem::path& file, RegFileMergeReport& report,
    const RegFileMergeOptions& options = {});

// Exports a key with all its sub-keys, or with an empty key the whole registry (the hives
// HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS, HKEY_CURRENT_CONFIG in this order), as the
// registry editor writes it: header line, then for each key a blank line, "[path]" and its values
// (creation order), sub-keys in enumeration order depth-first, a blank line at the end, CR LF.
// The key is written as requested (a short root name becomes its long name; the rest keeps the
// case given) and sub-keys with their stored case. Long hex lists wrap at 80 columns ("\" and two
// blanks). FileNotFound when the root is unknown or the key does not exist (*message says which).
WinError exportRegText(Registry& registry, std::string_view key, RegFileFormat format, std::string& fileBytes,
    std::string* message = nullptr);

// Exports as above into a file. Nothing is written when the key does not exist. PathNotFound when
// the file's folder does not exist, WriteFault/AccessDenied when it cannot be written.
WinError exportRegFile(Registry& registry, const std::filesystem::path& file, std::string_view key,
    RegFileFormat format, std::string* message = nullptr);

// The registry-file form of a text (Windows-1252 bytes): "\" and '"' escaped with "\".
std::string regFileEscape(std::string_view text);

} // namespace platform
