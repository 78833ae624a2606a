// PageControls.h: how headless code (the rules) reads the controls of the wizard's pages by form
// and control name; the main window answers, loading a page on first use as reading it would.
#pragma once

#include "common/Service.h"

#include <string>

namespace wizard {

class PageControls {
public:
    virtual ~PageControls() = default;
    // True when the check box or option button `control` of page `form` is set.
    virtual bool isChecked(const std::string& form, const std::string& control) = 0;
    // The text of a text box or label; empty when there is no such control.
    virtual std::string text(const std::string& form, const std::string& control) = 0;
    // Gives the control the keyboard focus; false when it cannot take it (missing or disabled).
    virtual bool setFocus(const std::string& form, const std::string& control) = 0;
};

// The installed reader (common::Service<PageControls>); nullptr when no window is up (headless
// runs read nothing).
inline PageControls* pageControls() { return common::Service<PageControls>::installed(); }

} // namespace wizard
