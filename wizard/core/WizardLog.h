// WizardLog.h: the log record of the window layer and the exit routine (enabled, no detail).
#pragma once

#include "wizard/core/WizardCore.h"

#include <string>

namespace wizard {

inline void writeLog(const std::string& process, const std::string& status)
{
    LastLogResult = FN_Write_Log(process, status, true);
}

} // namespace wizard
