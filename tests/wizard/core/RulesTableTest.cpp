// RulesTableTest.cpp: operations registered and called by name without regard to case.
#include "wizard/core/RulesTable.h"

#include <gtest/gtest.h>

namespace wizard {
namespace {

TEST(RulesTableTest, CallsByNameWithoutCaseAndAnswersNothingForUnknownNames)
{
    RulesTable table;
    int calls = 0;
    table.add("Validate_Source_PC", [&] {
        ++calls;
        return false;
    });
    table.add("Display_Migration_Type", [&] {
        ++calls;
        return true;
    });
    EXPECT_EQ(table.call("validate_source_pc"), false);
    EXPECT_EQ(table.call("DISPLAY_MIGRATION_TYPE"), true);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(table.call("No_Such").has_value());
    EXPECT_FALSE(table.call("").has_value());
    EXPECT_TRUE(table.contains("display_migration_TYPE"));
    EXPECT_EQ(table.size(), 2u);
    // Registering again under another case replaces the entry.
    table.add("VALIDATE_SOURCE_PC", [] { return true; });
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(table.call("Validate_Source_PC"), true);
}

} // namespace
} // namespace wizard
