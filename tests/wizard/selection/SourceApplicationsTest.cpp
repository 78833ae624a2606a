// SourceApplicationsTest.cpp: the source PC's applications from the mirrored uninstall key, split
// into supported and unsupported ones.
#include "wizard/selection/SourceApplications.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "tests/wizard/core/WizardTestMachine.h"
#include "tests/wizard/selection/SelectionWorld.h"

namespace wizard {
namespace {

const std::string kUninstall =
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class SourceApplicationsTest : public ::testing::Test {
protected:
    SourceApplicationsTest()
    {
        reader.enumKeys = [this](const std::string& key) -> std::optional<std::vector<std::string>> {
            const auto it = keys.find(key);
            if (it == keys.end())
                return std::nullopt;
            return it->second;
        };
        reader.enumValues = [this](const std::string& key) -> std::optional<std::vector<std::string>> {
            const auto it = values.find(key);
            if (it == values.end())
                return std::nullopt;
            return it->second;
        };
        reader.getValue = [this](const std::string& key, const std::string& name) {
            return single[key + "|" + name];
        };
        images.addKeyed("Photo Editor", "x");
        images.addKeyed("WinZip", "y");
    }
    void install(const std::string& sub, const std::string& displayName)
    {
        keys[kUninstall].push_back(sub);
        values[kUninstall + "\\" + sub] = {"UninstallString=x", "DisplayName=" + displayName};
    }

    testsupport::TestMachine machine; // the log's machine
    std::map<std::string, std::vector<std::string>> keys, values;
    std::map<std::string, std::string> single;
    MirrorReader reader;
    TreeImages images;
    testsupport::SelectionWorld w;
};

TEST_F(SourceApplicationsTest, OfficeProductsComeFirstThenTheDisplayNames)
{
    keys["SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\9.0"] = {
        "Common", "Word", "delivery", "Excel", "Registration"};
    install("PhotoEd", "Photo Editor 5.0 Deluxe");
    install("{9000}", "Microsoft Office 2000 Premium");
    install("NoName", "");
    values[kUninstall + "\\NoName"] = {"UninstallString=x"};
    install("Paint", "Paint Pro");
    install("Paint2", "Paint Pro");
    std::vector<std::string> names;
    ASSERT_TRUE(FN_Get_Remote_Application(reader, names));
    EXPECT_EQ(names,
        (std::vector<std::string>{
            "MS Word", "MS Excel", "Photo Editor 5.0 Deluxe", "Paint Pro", "Paint Pro"}));
    ASSERT_EQ(ApplicationList().size(), 4u);
    EXPECT_EQ(ApplicationList()[0].getApplnName(), "");
    EXPECT_EQ(ApplicationList()[1].getApplicationKey(), kUninstall + "\\PhotoEd");
    EXPECT_EQ(ApplicationList()[3].getApplnName(), "Paint Pro");
}

TEST_F(SourceApplicationsTest, Office2003IsRecognisedByItsProductKey)
{
    const std::string office11 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\11.0";
    keys[office11] = {"Outlook", "MSE"};
    keys["SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\9.0"] = {"Word"};
    single[office11 + "\\Common\\Config\\{90110409-6000-11D3-8CFE-0150048383C9}|PIDKEY"] = "ABCDE";
    std::vector<std::string> names;
    FN_Get_Remote_Application(reader, names);
    EXPECT_EQ(names, (std::vector<std::string>{"MS Outlook"}));
}

TEST_F(SourceApplicationsTest, TheTreeGetsOneSupportedNodePerIconAndTheRestUnsupported)
{
    install("WZ81", "WinZip 8.1");
    install("WZ90", "winzip 9.0");
    install("PhotoEd", "Photo Editor 5.0 Deluxe");
    install("Paint", "Paint Pro");
    install("Paint2", "Paint Pro");
    ASSERT_TRUE(FN_Load_Tree(w.source, images, reader));
    // The world holds two applications below "Supported" already; the listing adds after them.
    const auto* supported = w.source.find("Supported");
    ASSERT_EQ(supported->children.size(), 4u);
    EXPECT_EQ(supported->children[2]->key, "WinZip");
    EXPECT_EQ(supported->children[2]->image, 42);
    EXPECT_EQ(supported->children[3]->text, "Photo Editor");
    EXPECT_EQ(supported->children[3]->image, 41);
    // The world already holds Paint Pro; a second one with the same name is passed over.
    const auto* unsupported = w.source.find("Unsupported");
    ASSERT_EQ(unsupported->children.size(), 1u);
    EXPECT_EQ(unsupported->children[0]->image, 5);
}

TEST_F(SourceApplicationsTest, TwoThousandEntriesAndNamesWithScriptSignsAllArrive)
{
    for (int i = 0; i < 2000; ++i) {
        char sub[16];
        std::snprintf(sub, sizeof sub, "App%04d", i);
        install(sub, std::string("Program ") + (sub + 3));
    }
    install("Pipe", "Tools | Extras");
    install("Dollar", "Cash$ Manager $st_kestro_path");
    install("WZ", "WinZip 9.0");
    ASSERT_TRUE(FN_Load_Tree(w.source, images, reader));
    EXPECT_EQ(ApplicationList().size(), 2004u);
    EXPECT_EQ(ApplicationList()[2000].getApplnName(), "Program 1999");
    const auto* unsupported = w.source.find("Unsupported");
    // Paint Pro of the world, then every entry in registry order, signs and all.
    ASSERT_EQ(unsupported->children.size(), 2003u);
    EXPECT_EQ(unsupported->children[1]->key, "Program 0000");
    EXPECT_EQ(unsupported->children[2000]->key, "Program 1999");
    EXPECT_EQ(unsupported->children[2001]->text, "Tools | Extras");
    EXPECT_EQ(unsupported->children[2002]->text, "Cash$ Manager $st_kestro_path");
    EXPECT_NE(w.source.find("WinZip"), nullptr);
}

TEST_F(SourceApplicationsTest, NoMirrorGivesAnEmptyListAndStillSucceeds)
{
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(FN_Get_Remote_Application(reader, names));
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(ApplicationList().size(), 1u);
}

TEST_F(SourceApplicationsTest, TheSupportedFlagTakesWordsAndNumbers)
{
    clsApplicationInfo info;
    EXPECT_TRUE(info.putIsSupported("TRUE"));
    EXPECT_TRUE(info.IsSupported());
    EXPECT_TRUE(info.putIsSupported("0"));
    EXPECT_FALSE(info.IsSupported());
    EXPECT_TRUE(info.putIsSupported("-1"));
    EXPECT_TRUE(info.IsSupported());
    EXPECT_FALSE(info.putIsSupported("yes"));
    EXPECT_TRUE(info.IsSupported()) << "a refused text changes nothing";
}

} // namespace
} // namespace wizard
