// RulesTable.cpp: case-insensitive table of named rules operations.
#include "wizard/core/RulesTable.h"

#include "wizard/core/TextUtil.h"

using wizard::coretext::lowerAscii;

namespace wizard {

void RulesTable::add(std::string_view name, RuleFn fn) { m_rules[lowerAscii(name)] = std::move(fn); }

bool RulesTable::contains(std::string_view name) const
{
    return m_rules.find(lowerAscii(name)) != m_rules.end();
}

std::optional<bool> RulesTable::call(std::string_view name) const
{
    auto it = m_rules.find(lowerAscii(name));
    if (it == m_rules.end() || !it->second)
        return std::nullopt;
    return it->second();
}

} // namespace wizard
