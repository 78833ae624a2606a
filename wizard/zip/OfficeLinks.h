// OfficeLinks.h: unpacking the Office shortcut set of a Windows 95/98/ME source from the archives
// shipped in the application folder's "Icons\mslinks_9x", through the main window's zip control.
#pragma once

#include "common/Service.h"
#include "wizard/zip/AZIP.h"

#include <array>

namespace wizard {

// The shortcut files, in the order in which they are asked for.
inline constexpr std::array<const char*, 9> kOfficeShortcutNames = {"Microsoft Access.lnk",
    "Microsoft Excel.lnk", "Microsoft Outlook.lnk", "Microsoft PowerPoint.lnk", "Microsoft Project.lnk",
    "Microsoft Word.lnk", "Microsoft FrontPage.lnk", "Microsoft Publisher.lnk", "Microsoft Visio.lnk"};

// The folder of the shortcut sets below AppPath, and the archives of the standard and the premium
// Office editions in it.
inline constexpr const char* kOfficeLinksFolder = "\\Icons\\mslinks_9x";
inline constexpr const char* kStandardLinksArchive = "lnk.zip";
inline constexpr const char* kPremiumLinksArchive = "PRlnk.zip";

} // namespace wizard

// Without the main window, one headless control of the process.
template <> wizard::AZIP& common::Service<wizard::AZIP>::fallback();

namespace wizard {

// The main window's zip control (AZIPLnk): the main window installs its own through
// common::Service<AZIP> while it lives, else the headless one.
inline AZIP& mainWindowZip() { return common::Service<AZIP>::instance(); }

// Sets the control's Filename to AppPath & "\Icons\mslinks_9x\PRlnk.zip" when OfficePremiumFlag
// is set, else "...\lnk.zip", and extracts the nine shortcuts (any letter case, any folder of the
// archive) into AppPath & "\Icons\mslinks_9x", replacing files of the same name. Every failure is
// passed over; nothing is logged or shown. A missing archive is left as an empty file (the
// control's reading makes it); a missing folder makes nothing.
void FN_Unzip_Office_Links(AZIP& control);
// The same through mainWindowZip().
void FN_Unzip_Office_Links();

} // namespace wizard
