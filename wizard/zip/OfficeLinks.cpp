// OfficeLinks.cpp: unpacking the Office shortcut sets.
#include "wizard/zip/OfficeLinks.h"

#include "wizard/core/AppPath.h"
#include "wizard/core/WizardState.h"

#include <string>
#include <vector>

namespace wizard {

void FN_Unzip_Office_Links(AZIP& control)
{
    const std::vector<std::string> names(kOfficeShortcutNames.begin(), kOfficeShortcutNames.end());
    const std::string folder = AppPath + kOfficeLinksFolder;
    const std::string archive =
        folder + "\\" + (OfficePremiumFlag ? kPremiumLinksArchive : kStandardLinksArchive);
    // Failures are passed over: a folder that is missing leaves the list empty, and Extract then
    // finds nothing to do.
    (void)control.setFilename(archive);
    (void)control.Extract(names, 1, false, true, folder);
}

void FN_Unzip_Office_Links() { FN_Unzip_Office_Links(mainWindowZip()); }

} // namespace wizard

template <> wizard::AZIP& common::Service<wizard::AZIP>::fallback()
{
    static wizard::AZIP headless;
    return headless;
}
