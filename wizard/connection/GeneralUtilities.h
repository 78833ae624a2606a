// GeneralUtilities.h: small routines the wizard shares: the check of a computer name, long file
// names, the move of one product's installer data out of the source-registry mirror, and the
// shell's "open" verb for locations and mail addresses.
#pragma once

#include <string>
#include <string_view>

namespace wizard {

// True when `text` is not empty and holds none of the characters a computer name may not have:
// ' , ( ) ! $ * < > / \ ? ; : = + @ # % ^ & ~ ` |
bool Is_Valid_Name(const std::string& text);

// "C:\PROGRA~1\MICROS~2" with each component as the file-system listing names it
// ("C:\Program Files\Microsoft Office"). A component the listing does not find gives an empty
// name. `path` starts with a drive letter, ":" and "\" and has no trailing "\".
std::string GetLongFilename(const std::string& path);

// Moves the Windows Installer data of the Office product from the mirror under SOFTWARE\QZ to
// where the destination's installer expects it (Features, Components and product properties for a
// Windows XP source, the per-user installer data for a Windows 95/98/ME source), through export,
// rewrite and import of work files in "C:\QZExpTemp". True when every step it ran succeeded (a
// source OS with nothing to move included); false when a step failed, the rest then left out.
bool Fix_Installer_Keys();

// The shell's "open" verb on `location` with the show command `showCmd`; the shell's answer (above
// 32: accepted).
int FN_Open_Location(const std::string& location, int showCmd);

// Opens a mail to `address` ("mailto:" added when missing) with an optional subject and body.
// Address, subject and body are percent-encoded, so that "&", "?" or "#" in them cannot cut the
// mail short or add header fields.
// The shell's answer.
int OpenEmail(const std::string& address, const std::string& subject, const std::string& body);

// The percent-encoding used for mail fields: every byte outside letters, digits and `keep`.
std::string encodeMailField(const std::string& text, std::string_view keep = "-._~");

} // namespace wizard
