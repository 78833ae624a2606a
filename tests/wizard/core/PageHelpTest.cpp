// PageHelpTest.cpp: the Help button's page-to-topic table, and the shipped help pages' links.
#include "wizard/core/PageHelp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
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

namespace {

std::string readText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The help index leads to every shipped topic, every link of every page reaches a page, and no page
// links only to itself.
TEST(HelpPagesTest, TheIndexLinksEveryTopicAndEveryLinkArrives)
{
    namespace fs = std::filesystem;
    const fs::path help = fs::path(KESTRO_DATA_DIR) / "help";
    const std::regex link("href=\"([^\"]+)\"");
    std::set<std::string> linkedFromIndex;
    for (const auto& entry : fs::directory_iterator(help)) {
        const std::string name = entry.path().filename().string();
        const std::string text = readText(entry.path());
        std::set<std::string> targets;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator();
             ++it)
            targets.insert((*it)[1].str());
        for (const std::string& target : targets)
            EXPECT_TRUE(fs::exists(help / target)) << name << " links to the missing " << target;
        EXPECT_NE(targets, std::set<std::string>{name}) << name << " links only to itself";
        if (name == "index.html")
            linkedFromIndex = targets;
    }
    for (const auto& entry : fs::directory_iterator(help))
        if (entry.path().filename() != "index.html")
            EXPECT_TRUE(linkedFromIndex.count(entry.path().filename().string())) << entry.path().filename();
}

} // namespace
