// WizardCore.h: the wizard's one engine, variable store, unscrambler and log, and the free
// functions through which the rest of the wizard reaches them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "wizard/core/LogFile.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/XmlEngine.h"

namespace wizard {

class CoreFiles;

// The core objects of one wizard run, all working on the same files.
struct WizardCore {
    explicit WizardCore(CoreFiles& files);

    LogFile log;
    ScriptVariables variables;
    ScriptDecryptor decryptor;
    XmlEngine engine;
};

// The program's core on the machine named by WINENV_MACHINE, created on first use.
WizardCore& core();

// Shorthands on core(), named as the rest of the wizard calls them.
bool FN_Write_Log(std::string_view procName, std::string_view status, bool enabled,
    std::optional<std::string_view> detail = std::nullopt);
// A record whose status names a path or a reason, written whole (LogFile::writeText).
bool writeLogText(std::string_view procName, std::string_view text);
bool Set_System_Variable_Value(std::string_view name, std::string_view value);
std::string Get_System_Variable_Value(std::string_view text);
bool Check_Condition(std::string_view name, std::string_view value);
std::string Decrypt_Script_File(std::string_view path);
bool Step_Script(const std::string& direction);
bool Show_Panel(const std::string& panelName);

} // namespace wizard
