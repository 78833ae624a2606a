// DisplaySettings.h: the two display settings migrated by code rather than by script actions:
// the screen saver (from copies of the source's SYSTEM.INI and Control.ini in AppPath\temp) and
// the display resolution (from the mirrored registry and the shipped resolution templates).
#pragma once

#include <string>
#include <vector>

namespace wizard::Registry_Related_Functions {

// The source's screen saver: its file copied from the source PC into the destination's system
// folder (the 3D savers under their new names), "SCRNSAVE.EXE" of HKEY_CURRENT_USER\Control
// Panel\Desktop set to it, and its Control.ini section brought across. True when both merges
// answered True (a SYSTEM.INI without a saver line merges nothing of its own).
bool FN_ScreenSaver_Migrate();
// Converts the Control.ini section whose header holds `section` (any case; an empty name takes the
// first section) into HKEY_CURRENT_USER\Control Panel\<section> and merges it. Only "[...]" lines
// start a section; names and values are written in the registry file's escaped string form. The
// result of the merge (True when no section was found).
bool FN_ControlIni_To_Reg(const std::string& section);
// Raises the destination's display resolution to the source's when the destination's is lower in
// both directions, through the width templates with the destination's adapter put in (on a copy;
// the shipped templates are never written). For a 2000/XP source the mirrored video key is
// exported to C:\QZExpTemp\Resolution.reg for the destination's adapter. A width without a
// template, or a destination without a display adapter, changes nothing (logged). False when one of
// its registry steps failed.
bool FN_Resolution_Migrate();

// The pieces of the migration, for tests.
// The width and height of a Windows 95/98/ME "Resolution" text ("1024,768"); zero when missing.
std::pair<long, long> resolutionOf(const std::string& text);
// The next-to-last "\" component of a video device path (the adapter's key or service name).
std::string adapterOf(const std::string& devicePath);
// One line of a Control.ini section as a registry-file value line; empty for a line without "=".
std::string controlIniValueLine(const std::string& line);
// The saver path of a SYSTEM.INI line (its text after the first "=", trimmed); empty for a line
// that is no saver line or names nothing.
std::string saverPathOf(const std::string& line);

} // namespace wizard::Registry_Related_Functions
