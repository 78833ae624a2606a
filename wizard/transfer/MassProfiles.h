// MassProfiles.h: the profiles, installer cache, Office icon folders and fonts of a mass migration:
// the source users' Start Menu, Desktop, Favorites and Identities laid out as the destination keeps
// profiles, the cached installer packages (some under fixed names by their size) and the fonts.
#pragma once

#include <cstdint>
#include <string>

namespace wizard::mass {

// The source drive's share root as this PC reaches it: "\\PC\C$\" for a source other than XP,
// "\\PC\C\" for an XP source (its drive is shared under its bare letter).
std::string sourceShareRoot();

// The fixed name a cached installer package of this length is placed under a second time
// ("data1.msi" ...); empty for any other length.
std::string fixedPackageName(std::uint64_t length);

// Copies the source users' profile folders into the destination's "Documents and Settings" (a
// 2000/XP destination only; a Windows 98 destination gets nothing), then removes the MS-DOS Prompt
// shortcuts. Always true.
bool FN_StartMenu_Copy();

// Copies the source's installer cache into the destination's Windows folder (with a second copy of
// the recognised packages under their fixed names), the Office icon folders shipped in
// AppPath\Icons, and the fonts. A source without an installer cache is logged. Always true.
bool FN_MSI_Copy();

} // namespace wizard::mass
