// PageOnScreen.h: the page the wizard's main window shows, found among its children as a user
// would see it.
#pragma once

#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/WizardPage.h"

namespace testsupport {

// The page shown in the page area; nullptr while the window's own agreement panel is shown.
inline wizard::WizardPage* pageOnScreen(const wizard::KestroMain& window)
{
    for (wizard::WizardPage* page : window.findChildren<wizard::WizardPage*>()) {
        if (page->isVisibleTo(&window))
            return page;
    }
    return nullptr;
}

} // namespace testsupport
