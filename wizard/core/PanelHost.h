// PanelHost.h: the hook through which the script engine's Show_Panel reaches the wizard's window.
#pragma once

#include <string>

namespace wizard {

// Implemented by the wizard's main window. The engine calls it from Show_Panel; rules operations
// never call it directly (they call XmlEngine::Show_Panel, which keeps the navigation history).
class PanelHost {
public:
    virtual ~PanelHost() = default;

    // Hides every loaded page other than the main window, then shows the page named `panelName`
    // (a form name such as "Frm_MigrationType", created on first use) without waiting.
    // Answers true when that page had been loaded before this call (it was created by an
    // earlier call and only hidden since). The main window itself ("KestroMain", the agreement
    // page) is never counted as loaded, so showing it always answers false.
    virtual bool showPanel(const std::string& panelName) = 0;
};

} // namespace wizard
