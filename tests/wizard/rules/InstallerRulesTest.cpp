// InstallerRulesTest.cpp: the cached installer packages renamed by size, the class-root merges and
// the shell's notice, and the item operations reached by name.
#include "wizard/rules/ItemRules.h"

#include "platform/EventLog.h"
#include "tests/wizard/rules/ItemRulesWorld.h"
#include "wizard/core/RulesTable.h"
#include "wizard/rules/clsRules.h"

#include <gtest/gtest.h>

using namespace wizard;
namespace fs = std::filesystem;

namespace {

class InstallerRulesTest : public itemtest::ItemRulesWorld {
protected:
    void putPackage(const std::string& name, std::size_t size, char fill = 'x')
    {
        world.putNew("WINDOWS/installer/" + name, std::string(size, fill));
    }
    std::uintmax_t sizeOf(const std::string& name)
    {
        std::error_code ec;
        return fs::file_size(world.hostNew("WINDOWS/installer/" + name), ec);
    }
    std::vector<platform::MachineEvent> events()
    {
        return platform::readMachineEvents(platform::RunningMachine::current()->folder());
    }
};

TEST_F(InstallerRulesTest, PackagesTakeTheNameTheirSizeGivesAndStayInPlace)
{
    putPackage("1a2b.msi", 2233344);
    putPackage("SETUP.MSI", 1071104);
    putPackage("big.mst", 2331648); // not a package
    putPackage("other.msi", 1234);  // no known size
    putPackage("pca.msi", 7087616);
    EXPECT_TRUE(Installer_msi_Change());
    EXPECT_EQ(sizeOf("Data2.msi"), 2233344u);
    EXPECT_EQ(sizeOf("install.msi"), 1071104u) << "capital letters in the ending count";
    EXPECT_EQ(sizeOf("Symantec pcAnywhere.msi"), 7087616u);
    EXPECT_FALSE(fs::exists(world.hostNew("WINDOWS/installer/Data3.msi")));
    EXPECT_TRUE(fs::exists(world.hostNew("WINDOWS/installer/1a2b.msi"))) << "the cached package stays";
    EXPECT_TRUE(fs::exists(world.hostNew("WINDOWS/installer/SETUP.MSI")));
}

TEST_F(InstallerRulesTest, TwoPackagesOfOneNameLeaveTheLastListedAndAMissingFolderIsTrue)
{
    putPackage("a.msi", 2351104, 'a');
    putPackage("b.msi", 2332672, 'b');
    EXPECT_TRUE(Installer_msi_Change());
    EXPECT_EQ(world.readNew("WINDOWS/installer/Data1.msi"), std::string(2332672, 'b'));

    world.variables["$st_destination_win_dir"] = "C:\\NOWIN";
    EXPECT_TRUE(Installer_msi_Change());
}

TEST_F(InstallerRulesTest, APackageAlreadyUnderItsNameIsNotCopiedOntoItself)
{
    putPackage("Data2.msi", 2233344, 'd');
    EXPECT_TRUE(Installer_msi_Change());
    EXPECT_EQ(world.readNew("WINDOWS/installer/Data2.msi"), std::string(2233344, 'd'));
}

TEST_F(InstallerRulesTest, ClassRootUpdateMergesWhatIsThereAndPassesOverTheRest)
{
    world.putNew("Program Files/Kestro/temp/HKCR.reg",
        "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.zpr]\r\n@=\"Zipper.Archive\"\r\n");
    EXPECT_TRUE(Class_Root_Update()) << "C:\\QZExpTemp\\HKCR_Temp.reg is missing";
    EXPECT_EQ(valueOf(platform::RegRoot::LocalMachine, "SOFTWARE\\Classes\\.zpr", ""), "Zipper.Archive");
    EXPECT_TRUE(world.logged("Class_Root_Update", "Start/End"));
    EXPECT_EQ(regedit.commandLines.size(), 1u);
}

TEST_F(InstallerRulesTest, OverwriteClassesRootLogsAMissingFileAndStillNotifiesTheShell)
{
    EXPECT_TRUE(OverwriteClassesRoot());
    EXPECT_TRUE(world.logged("OverwriteClassesRoot", "Not merged : C:\\WINDOWS\\HKCR_Temp.reg"));
    EXPECT_TRUE(world.logged("OverwriteClassesRoot", "End"));
    ASSERT_EQ(events().size(), 1u);
    EXPECT_EQ(events()[0].kind, "shell-notify");

    world.putNew(
        "WINDOWS/HKCR_Temp.reg", "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Zipper.Archive]\r\n@=\"Zip\"\r\n");
    world.log.clear();
    EXPECT_TRUE(OverwriteClassesRoot());
    EXPECT_FALSE(world.logged("OverwriteClassesRoot", "Not merged"));
    EXPECT_EQ(valueOf(platform::RegRoot::LocalMachine, "SOFTWARE\\Classes\\Zipper.Archive", ""), "Zip");
    EXPECT_EQ(events().size(), 2u);
}

TEST_F(InstallerRulesTest, ItemOperationsAreReachedByNameInMemberOrder)
{
    clsRules rules(RulesEnvironment{});
    RulesTable table;
    rules.registerOperations(table);
    const auto& members = clsRules::memberNames();
    std::size_t last = 0;
    for (const ItemRuleOperation& op : itemRuleOperations()) {
        EXPECT_TRUE(table.contains(op.name)) << op.name;
        const auto at = std::find(members.begin(), members.end(), std::string(op.name));
        ASSERT_NE(at, members.end()) << op.name;
        EXPECT_GE(static_cast<std::size_t>(at - members.begin()), last) << op.name;
        last = static_cast<std::size_t>(at - members.begin());
    }
    EXPECT_EQ(table.call("installer_msi_change"), std::optional<bool>(true));
}

} // namespace
