// TroubleshootingHook.h: how headless connection checks open a troubleshooting dialog by its form
// name. The program installs the dialogs' presenter; tests install a recorder.
#pragma once

#include <functional>
#include <string>

namespace wizard {

// Shows the dialog `form` modally and returns when it is closed.
using TroubleshootingPresenter = std::function<void(const std::string& form)>;

// Installs the presenter; returns the previous one.
TroubleshootingPresenter setTroubleshootingPresenter(TroubleshootingPresenter presenter);

// Opens the troubleshooting dialog `form` through the installed presenter (nothing without one).
void showTroubleshooting(const std::string& form);

} // namespace wizard
