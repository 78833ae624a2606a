// WizardLog.h: the log record of the window layer and the exit routine (enabled, no detail; a
// status too long for its field goes on in the records after it).
#pragma once

#include "wizard/core/WizardCore.h"

#include <string>

namespace wizard {

inline void writeLog(const std::string& process, const std::string& status) { writeLogText(process, status); }

} // namespace wizard
