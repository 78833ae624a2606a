// ScriptVariables.cpp: the script-variable store, "$" path resolution and step conditions.
#include "wizard/core/ScriptVariables.h"

#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/LogFile.h"
#include "wizard/core/TextUtil.h"

namespace wizard {

using coretext::lowerAscii;
using coretext::trimBlanks;

ScriptVariables::ScriptVariables(CoreFiles& files, LogFile* log)
    : m_files(files)
    , m_log(log)
{}

std::string ScriptVariables::variablesFilePath() { return AppPath + "\\System_variables.txt"; }

bool ScriptVariables::Set_System_Variable_Value(std::string_view name, std::string_view value)
{
    m_values[lowerAscii(name)] = std::string(value);
    std::string line = std::string(name) + " = " + std::string(value);
    m_files.appendFile(variablesFilePath(), coretext::toAnsi(line) + "\r\n");
    return true;
}

std::optional<std::string> ScriptVariables::lookup(std::string_view name) const
{
    auto it = m_values.find(lowerAscii(name));
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

std::string ScriptVariables::resolveText(std::string_view text, bool& unresolved) const
{
    unresolved = false;
    if (text.empty())
        return {};
    if (text.find('\\') != std::string_view::npos) {
        std::string result;
        for (const std::string& component : coretext::splitAll(text, '\\')) {
            std::string piece = component;
            if (!component.empty() && component[0] == '$') {
                std::optional<std::string> value = lookup(component);
                if (!value || value->empty())
                    unresolved = true;
                if (!value)
                    continue; // dropped together with its separator
                piece = *value;
            }
            if (result.empty())
                result = piece;
            else
                result += "\\" + piece;
        }
        return result;
    }
    if (text[0] == '$') {
        std::optional<std::string> value = lookup(text);
        if (!value || value->empty())
            unresolved = true;
        return value ? *value : std::string();
    }
    return std::string(text);
}

std::string ScriptVariables::Get_System_Variable_Value(std::string_view text)
{
    bool unresolved = false;
    return resolve(text, unresolved);
}

std::string ScriptVariables::resolve(std::string_view text, bool& unresolved)
{
    if (m_log)
        m_log->FN_Write_Log("Get_System_Variable_Value", "Start", true);
    std::string result = resolveText(text, unresolved);
    if (m_log)
        m_log->FN_Write_Log("Get_System_Variable_Value", "End", true);
    return result;
}

bool ScriptVariables::Check_Condition(std::string_view name, std::string_view value) const
{
    std::optional<std::string> stored = lookup(name);
    return lowerAscii(value) == lowerAscii(stored ? *stored : std::string());
}

ConditionOutcome ScriptVariables::evaluateCondition(std::string_view condition) const
{
    const std::string text = trimBlanks(lowerAscii(condition));
    if (text.empty())
        return ConditionOutcome::Always;
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos)
        return ConditionOutcome::Malformed;
    const std::string left = trimBlanks(std::string_view(text).substr(0, eq));
    const std::string right = trimBlanks(std::string_view(text).substr(eq + 1));
    if (left.empty() || right.empty())
        return ConditionOutcome::Malformed;
    return Check_Condition(left, right) ? ConditionOutcome::Holds : ConditionOutcome::Fails;
}

} // namespace wizard
