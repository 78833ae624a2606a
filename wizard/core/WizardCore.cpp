// WizardCore.cpp: the program's one set of core objects and the shorthands on them.
#include "wizard/core/WizardCore.h"

#include "wizard/core/CoreFiles.h"

namespace wizard {

WizardCore::WizardCore(CoreFiles& files)
    : log(files)
    , variables(files, &log)
    , decryptor(files)
    , engine(files, variables, decryptor, log)
{}

WizardCore& core()
{
    static WizardCore instance(machineFiles());
    return instance;
}

bool FN_Write_Log(
    std::string_view procName, std::string_view status, bool enabled, std::optional<std::string_view> detail)
{
    LastLogResult = core().log.FN_Write_Log(procName, status, enabled, detail);
    return LastLogResult;
}

bool writeLogText(std::string_view procName, std::string_view text)
{
    LastLogResult = core().log.writeText(procName, text);
    return LastLogResult;
}

bool Set_System_Variable_Value(std::string_view name, std::string_view value)
{
    return core().variables.Set_System_Variable_Value(name, value);
}

std::string Get_System_Variable_Value(std::string_view text)
{
    return core().variables.Get_System_Variable_Value(text);
}

bool Check_Condition(std::string_view name, std::string_view value)
{
    return core().variables.Check_Condition(name, value);
}

std::string Decrypt_Script_File(std::string_view path) { return core().decryptor.Decrypt_Script_File(path); }

bool Step_Script(const std::string& direction) { return core().engine.Step_Script(direction); }

bool Show_Panel(const std::string& panelName) { return core().engine.Show_Panel(panelName); }

} // namespace wizard
