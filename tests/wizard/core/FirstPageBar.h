// FirstPageBar.h: the button bar as the first wizard page after the agreement sets it, for the
// test pages that stand in for that page.
#pragma once

#include "wizard/core/WizardWindows.h"

namespace testsupport {

inline void showFirstPageBar(wizard::WizardWindows& w)
{
    using wizard::BarButton;
    for (BarButton b : {BarButton::Help, BarButton::Back, BarButton::Next, BarButton::Cancel}) {
        w.setButtonVisible(b, true);
        w.setButtonEnabled(b, true);
    }
    w.setButtonEnabled(BarButton::Back, false);
    w.setButtonVisible(BarButton::Accept, false);
    w.setButtonVisible(BarButton::Decline, false);
    w.setWelcomePanelVisible(false);
}

} // namespace testsupport
