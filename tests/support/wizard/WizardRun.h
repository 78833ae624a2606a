// WizardRun.h: puts the wizard's process-wide run state back to how a program start finds it, so
// that tests running several program lifetimes in one process do not see an earlier one's state.
#pragma once

#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"

namespace testsupport {

// The engine's run state (the wiring stays), the script variables, the shared run state and a
// request to end.
inline void resetWizardRun()
{
    wizard::core().engine.reset();
    wizard::core().variables.clear();
    wizard::resetWizardState();
    wizard::resetProgramEnd();
}

} // namespace testsupport
