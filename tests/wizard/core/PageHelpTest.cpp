// PageHelpTest.cpp: the Help button's page-to-topic table.
#include "wizard/core/PageHelp.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

class PageHelpTest : public ::testing::Test {
protected:
    std::optional<int> topic(const std::string& page, std::set<std::string> chosen = {})
    {
        return wizard::helpTopicForPage(
            page, [chosen](const std::string& c) { return chosen.count(c) != 0; });
    }
};

TEST_F(PageHelpTest, ConnectionPageTopicsFollowTheChosenConnectionInTableOrder)
{
    EXPECT_EQ(topic("Frm_ConnectionType", {"optParlPorts"}), 4);
    EXPECT_EQ(topic("Frm_ConnectionType", {"optNWCbl"}), 2);
    EXPECT_EQ(topic("Frm_ConnectionType", {"optNWLan"}), 3);
    EXPECT_EQ(topic("Frm_ConnectionType", {"opt_USB"}), 5);
    // Tested in the order parallel, crossover, LAN, USB: the first set one decides.
    EXPECT_EQ(topic("Frm_ConnectionType", {"opt_USB", "optNWCbl"}), 2);
    EXPECT_EQ(topic("Frm_ConnectionType", {}), std::nullopt);
}

TEST_F(PageHelpTest, MigrationTypeDependsOnMass)
{
    EXPECT_EQ(topic("Frm_MigrationType", {"optMass"}), 17);
    EXPECT_EQ(topic("Frm_MigrationType", {}), 18);
}

TEST_F(PageHelpTest, FixedPagesHaveTheirTopicsAndOthersNone)
{
    EXPECT_EQ(topic("Frm_Preparatory"), 68);
    EXPECT_EQ(topic("Frm_PreparatoryTask"), 69);
    EXPECT_EQ(topic("Frm_ApplicationSettings"), 50);
    EXPECT_EQ(topic("frm_source_Space_Info"), 24);
    EXPECT_EQ(topic("Frm_Mass"), 60);
    EXPECT_EQ(topic("frm_Migration_Status"), 25);
    EXPECT_EQ(topic("frm_Drive_Info"), std::nullopt);
    // Form names compare exactly.
    EXPECT_EQ(topic("frm_preparatory"), std::nullopt);
}

} // namespace
