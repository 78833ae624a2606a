// RulesTable.h: the rules operations that scripts call by name, looked up without regard to case.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace wizard {

// The late-bound face of the rules class: an `execute` step names an operation and the engine
// calls it here. The rules class fills the table once (one entry per public parameterless
// operation); every operation takes no argument and answers True ("go on") or False ("stay").
class RulesTable {
public:
    using RuleFn = std::function<bool()>;

    // Registers an operation under its name; a name registered again replaces the old entry.
    // Names compare without regard to ASCII case ("display_migration_type" finds
    // "Display_Migration_Type").
    void add(std::string_view name, RuleFn fn);

    bool contains(std::string_view name) const;
    std::size_t size() const { return m_rules.size(); }

    // Calls the operation named `name`. Empty result: no operation of that name (the engine
    // then takes the False path). An exception thrown by the operation is not caught here.
    std::optional<bool> call(std::string_view name) const;

private:
    std::unordered_map<std::string, RuleFn> m_rules; // key: name in lower case
};

} // namespace wizard
