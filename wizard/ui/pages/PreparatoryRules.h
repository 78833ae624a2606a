// PreparatoryRules.h: the decisions of the preparatory-task pages, without widgets: the rule for
// Next on the required-tasks page and the all-users path it publishes.
#pragma once

#include <string>

#include "wizard/core/WizardState.h"

namespace wizard {

// TasksConfirmed (WizardState.h) holds whether the required tasks were confirmed at the last
// change of the page's rule inputs; only the required-tasks page writes and reads it.

// Next may be pressed when the shares (box 3) and the closed applications (box 4) are confirmed
// and a source operating system is chosen; boxes 1 and 2 do not count.
bool requiredTasksConfirmed(bool sharesConfirmed, bool applicationsClosed, bool osChosen);

} // namespace wizard
