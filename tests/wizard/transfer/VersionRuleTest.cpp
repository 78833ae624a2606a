// VersionRuleTest.cpp: version strings compare as dotted numbers; copy and move rules.
#include "wizard/transfer/VersionRule.h"

#include <gtest/gtest.h>

using namespace wizard;

TEST(VersionRuleTest, ComparesComponentsAsNumbers)
{
    EXPECT_GT(compareVersions("10.0", "6.0"), 0);
    EXPECT_LT(compareVersions("6.0", "10.0"), 0);
    EXPECT_GT(compareVersions("5.10", "5.1"), 0);
    EXPECT_GT(compareVersions("10.0.0.1", "9.0.0.0"), 0);
    EXPECT_LT(compareVersions("4.72.3110.0", "4.72.3612.1700"), 0);
}

TEST(VersionRuleTest, MissingComponentsCountAsZero)
{
    EXPECT_EQ(compareVersions("5.1", "5.1.0"), 0);
    EXPECT_EQ(compareVersions("5.1.0.0", "5.1"), 0);
    EXPECT_GT(compareVersions("5.1.0.1", "5.1"), 0);
}

TEST(VersionRuleTest, LeadingZerosAndHugeNumbersDoNotMislead)
{
    EXPECT_EQ(compareVersions("05.001", "5.1"), 0);
    EXPECT_GT(compareVersions("1.123456789012345678901234567890", "1.99999999999999999999"), 0);
}

TEST(VersionRuleTest, NonNumericComponentsCompareAsText)
{
    EXPECT_LT(compareVersions("2.0a", "2.0b"), 0);
    EXPECT_EQ(compareVersions("2.0beta", "2.0beta"), 0);
}

TEST(VersionRuleTest, CopyRuleOverwritesUnversionedEitherSide)
{
    EXPECT_TRUE(copyReplacesTarget("", ""));
    EXPECT_TRUE(copyReplacesTarget("", "9.9"));
    EXPECT_TRUE(copyReplacesTarget("1.0", ""));
}

TEST(VersionRuleTest, CopyRuleNeedsAGreaterVersion)
{
    EXPECT_TRUE(copyReplacesTarget("10.0", "6.0"));
    EXPECT_FALSE(copyReplacesTarget("6.0", "10.0"));
    EXPECT_FALSE(copyReplacesTarget("5.1", "5.1.0"));
    EXPECT_FALSE(copyReplacesTarget("5.1", "5.10"));
}

TEST(VersionRuleTest, MoveRuleNeverLetsAnUnversionedSourceReplace)
{
    EXPECT_FALSE(moveReplacesTarget("", ""));
    EXPECT_FALSE(moveReplacesTarget("", "1.0"));
    EXPECT_TRUE(moveReplacesTarget("1.0", ""));
    EXPECT_TRUE(moveReplacesTarget("2.0", "1.9.9"));
    EXPECT_FALSE(moveReplacesTarget("6.0", "10.0"));
}
