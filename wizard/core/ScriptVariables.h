// ScriptVariables.h: the store of script variables ("$st_...", "$bln_..."), the resolution of
// "$" names in backslash paths, and the evaluation of a script step's condition.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace wizard {

class CoreFiles;
class LogFile;

// How a step's `condition` attribute decides.
enum class ConditionOutcome {
    Always,    // no condition: the step runs
    Holds,     // "name=value" and the variable holds the value: the step runs
    Fails,     // "name=value" and it does not: the step and its child entries are passed over
    Malformed, // no "=" or an empty side: the step alone is passed over
};

// One keyed collection of texts for the whole program; names compare without regard to case.
class ScriptVariables {
public:
    // `log` receives the Start/End records of Get_System_Variable_Value; it may be null.
    ScriptVariables(CoreFiles& files, LogFile* log);

    // Stores `value` under `name` (replacing an earlier value) and appends the line
    // name & " = " & value & CR LF to AppPath & "\System_variables.txt" (a failed append is
    // ignored). Always true.
    bool Set_System_Variable_Value(std::string_view name, std::string_view value);

    // Resolves a "$" name, or a backslash path whose components may be "$" names, to its value.
    // Unknown names resolve to "" or are dropped from the path with their separator.
    std::string Get_System_Variable_Value(std::string_view text);

    // As Get_System_Variable_Value; `unresolved` is set when a "$" name in `text` is not in the
    // store or holds an empty value, so that the result must not be used as a path.
    std::string resolve(std::string_view text, bool& unresolved);

    // True when the variable `name` ("" when unknown) equals `value`, compared without case.
    bool Check_Condition(std::string_view name, std::string_view value) const;

    // Direct lookup by name; empty when the name is unknown.
    std::optional<std::string> lookup(std::string_view name) const;

    // Evaluates a step's `condition` attribute text.
    ConditionOutcome evaluateCondition(std::string_view condition) const;

    // AppPath & "\System_variables.txt".
    static std::string variablesFilePath();

    // Forgets every variable (the file is left): what a new program run starts from.
    void clear() { m_values.clear(); }

private:
    std::string resolveText(std::string_view text, bool& unresolved) const;

    CoreFiles& m_files;
    LogFile* m_log;
    std::unordered_map<std::string, std::string> m_values; // key: name in lower case
};

} // namespace wizard
