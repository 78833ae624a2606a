// OfficeLinksTest.cpp: unpacking the Office shortcut sets into the application folder, and the
// shipped sets the build makes.
#include "wizard/zip/OfficeLinks.h"

#include "platform/Machine.h"
#include "platform/ShellLink.h"
#include "tests/platform/FileBytes.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "tests/wizard/zip/ZipArchives.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/WizardState.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace wizard;
using namespace ziptest;
namespace fs = std::filesystem;

namespace {

class OfficeLinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppPath = kDefaultAppPath;
        OfficePremiumFlag = false;
        fs::create_directories(links());
    }
    void TearDown() override { OfficePremiumFlag = false; }

    fs::path links() const { return machine.appFolder() / "Icons" / "mslinks_9x"; }
    // A set of all nine shortcuts, each holding `tag` and its own name, in a folder of the archive.
    static std::string set(const std::string& tag)
    {
        std::vector<Entry> entries;
        for (const char* name : kOfficeShortcutNames)
            entries.push_back({std::string("Shortcuts/") + name, tag + " " + name, true});
        entries.push_back({"readme.txt", "not a shortcut"});
        return libzipArchive(entries);
    }
    std::vector<std::string> shortcuts() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(links()))
            if (e.path().extension() == ".lnk" || e.path().extension() == ".LNK")
                out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::vector<std::string> allNine()
    {
        std::vector<std::string> out(kOfficeShortcutNames.begin(), kOfficeShortcutNames.end());
        std::sort(out.begin(), out.end());
        return out;
    }

    testsupport::TestMachine machine;
    AZIP control;
};

} // namespace

TEST_F(OfficeLinksTest, StandardSetReplacesTheShortcutsInTheFolder)
{
    testutil::writeFile(links() / "lnk.zip", set("standard"));
    testutil::writeFile(links() / "Microsoft Word.lnk", "old");
    FN_Unzip_Office_Links(control);
    EXPECT_EQ(shortcuts(), allNine());
    EXPECT_EQ(testutil::readFile(links() / "Microsoft Word.lnk"), "standard Microsoft Word.lnk");
    EXPECT_FALSE(fs::exists(links() / "readme.txt"));
    EXPECT_FALSE(fs::exists(links() / "Shortcuts"));
    EXPECT_FALSE(fs::exists(links() / "PRlnk.zip"));

    // A second run extracts the same files again.
    testutil::writeFile(links() / "Microsoft Excel.lnk", "changed");
    FN_Unzip_Office_Links(control);
    EXPECT_EQ(testutil::readFile(links() / "Microsoft Excel.lnk"), "standard Microsoft Excel.lnk");
}

TEST_F(OfficeLinksTest, PremiumFlagOpensOnlyThePremiumSet)
{
    const std::string standard = set("standard");
    testutil::writeFile(links() / "lnk.zip", standard);
    testutil::writeFile(links() / "PRlnk.zip", set("premium"));
    OfficePremiumFlag = true;
    FN_Unzip_Office_Links(control);
    EXPECT_EQ(control.Filename(), "C:\\Program Files\\Kestro\\Icons\\mslinks_9x\\PRlnk.zip");
    EXPECT_EQ(testutil::readFile(links() / "Microsoft Visio.lnk"), "premium Microsoft Visio.lnk");
    EXPECT_EQ(testutil::readFile(links() / "lnk.zip"), standard);
}

TEST_F(OfficeLinksTest, LetterCaseAndMissingShortcuts)
{
    testutil::writeFile(links() / "lnk.zip",
        libzipArchive({{"MICROSOFT WORD.LNK", "upper"}, {"x/microsoft excel.lnk", "lower"}}));
    FN_Unzip_Office_Links(control);
    EXPECT_EQ(shortcuts(), (std::vector<std::string>{"MICROSOFT WORD.LNK", "microsoft excel.lnk"}));
}

TEST_F(OfficeLinksTest, MissingArchiveOrFolderUnpacksNothing)
{
    FN_Unzip_Office_Links(control);
    EXPECT_TRUE(shortcuts().empty());
    EXPECT_EQ(fs::file_size(links() / "lnk.zip"), 0u); // made empty by the control's reading

    fs::remove_all(machine.appFolder() / "Icons");
    FN_Unzip_Office_Links(control);
    EXPECT_FALSE(fs::exists(machine.appFolder() / "Icons"));
    EXPECT_EQ(control.GetEntryNum(), 0);
}

TEST_F(OfficeLinksTest, ShippedSetsPointAtTheDemoSourcesOffice)
{
    const fs::path built = fs::path(KESTRO_BUILT_DATA) / "Icons" / "mslinks_9x";
    fs::copy_file(built / "lnk.zip", links() / "lnk.zip");
    fs::copy_file(built / "PRlnk.zip", links() / "PRlnk.zip");

    const fs::path net = machine.machine().network();
    std::string error;
    ASSERT_TRUE(demo::buildSourcePc98(net, error)) << error;
    ASSERT_TRUE(demo::buildSourcePcXp(net, error)) << error;
    struct Edition {
        bool premium;
        const char* source;
        const char* folder;
    };
    for (const Edition e : {Edition{false, demo::kSourcePc98, demo::kOfficeFolder2000},
             Edition{true, demo::kSourcePcXp, demo::kOfficeFolder2003}}) {
        OfficePremiumFlag = e.premium;
        FN_Unzip_Office_Links(control);
        ASSERT_EQ(shortcuts(), allNine());
        for (const char* name : kOfficeShortcutNames) {
            platform::ShellLinkData link;
            ASSERT_TRUE(platform::decodeShellLink(testutil::readFile(links() / name), link)) << name;
            const std::string folder = std::string("C:") + e.folder;
            EXPECT_EQ(link.targetPath.substr(0, folder.size() + 1), folder + "\\") << name;
        }
        // The programs the demo source has installed are where its shortcuts point.
        platform::Machine source;
        ASSERT_EQ(source.open(net / e.source), platform::WinError::Success);
        for (const char* name : {"Microsoft Word.lnk", "Microsoft Excel.lnk", "Microsoft Outlook.lnk"}) {
            platform::ShellLinkData link;
            platform::decodeShellLink(testutil::readFile(links() / name), link);
            EXPECT_TRUE(source.fileSystem().fileExists(link.targetPath)) << link.targetPath;
        }
    }
}
