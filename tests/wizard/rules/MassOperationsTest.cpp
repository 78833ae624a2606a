// MassOperationsTest.cpp: the mass operations called by name: the Office application list from the
// mirror, and the state filled before the other steps.
#include "wizard/rules/MassOperations.h"

#include "platform/RunningMachine.h"
#include "tests/platform/TestMachine.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/WizardState.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/TransferOutcome.h"

#include <gtest/gtest.h>

using platform::RegKey;
using platform::RegRoot;

namespace {

const std::string kMirror = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\";

std::vector<std::string> selectedApplications()
{
    std::vector<std::string> items;
    for (const auto& e : wizard::selectionCollections().applications.entries())
        items.push_back(e.item);
    return items;
}

const wizard::ItemRuleOperation* massOperation(const std::string& name)
{
    for (const auto& op : wizard::massRuleOperations())
        if (name == op.name)
            return &op;
    return nullptr;
}

} // namespace

class MassOperationsTest : public ::testing::Test {
protected:
    MassOperationsTest()
    {
        wizard::selectionCollections().applications.add("Chosen before", "Chosen before");
    }
    ~MassOperationsTest() override
    {
        wizard::selectionCollections().applications = wizard::KeyedList{};
        wizard::mass::massState() = {};
    }
    void key(const std::string& path, const std::string& name = {}, const std::string& value = {})
    {
        platform::Registry& r = platform::RunningMachine::current()->registry();
        RegKey k;
        r.createKey(RegKey(RegRoot::LocalMachine), path, k);
        if (!name.empty())
            r.setString(k, name, value);
    }

    testutil::TestMachine machine;
};

TEST_F(MassOperationsTest, OfficeListComesFromTheInstalledVersionOnly)
{
    for (const char* app : {"Access", "Common", "Excel", "Registration", "MS Project"})
        key(kMirror + "Office\\9.0\\" + app);
    key(kMirror + "Office\\10.0\\Word");
    key(kMirror + "Windows\\CurrentVersion\\Uninstall\\{00120409-78E1-11D2-B60F-006097C998E7}", "DisplayName",
        "Microsoft FrontPage 2000");
    ASSERT_TRUE(wizard::FN_MS_APP_LIST());
    EXPECT_EQ(selectedApplications(),
        (std::vector<std::string>{"MS Access", "MS Excel", "MS Project", "Microsoft FrontPage 2000"}));

    key(kMirror + "Office\\11.0\\Common\\Config\\{90110409-6000-11D3-8CFE-0150048383C9}", "PIDKEY", "KEY");
    key(kMirror + "Office\\11.0\\Outlook");
    ASSERT_TRUE(wizard::FN_MS_APP_LIST());
    EXPECT_EQ(selectedApplications(), (std::vector<std::string>{"MS Outlook", "Microsoft FrontPage 2000"}));
}

TEST_F(MassOperationsTest, TempFillsTheStateForTheNamedSource)
{
    key(kMirror + "Windows\\CurrentVersion", "SystemRoot", "C:\\WINDOWS");
    key(kMirror + "Windows\\CurrentVersion", "ProductName", "Microsoft Windows 98");
    // The source whose Windows folder that is, as its share shows it.
    const auto oldPc = machine.addWin98Source("OLDPC", "192.168.0.3");
    std::filesystem::create_directories(platform::driveFolder(oldPc, 'C') / "WINDOWS" / "SYSTEM");
    wizard::SourcePcName = "OLDPC";
    const auto* temp = massOperation("FN_Temp");
    ASSERT_NE(temp, nullptr);
    EXPECT_TRUE(temp->fn());
    EXPECT_EQ(wizard::mass::massState().uncRoot, "\\\\OLDPC");
    EXPECT_EQ(wizard::mass::massState().sourceOsCode, "W98");
    EXPECT_EQ(wizard::mass::massState().sourceSystemRoot, "C:\\WINDOWS");
    wizard::SourcePcName.clear();
}

class PstCopyTest : public ::testing::Test {
protected:
    PstCopyTest()
        : regedit(world.fileSystem())
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&regedit);
    }
    ~PstCopyTest() override { common::Service<platform::ProcessLauncher>::replace(m_previous); }

    transfertest::TransferWorld world; // NEWPC, with OLDPC's C: (Windows 98) mapped to Z:
    transfertest::InProcessRegedit regedit;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

TEST_F(PstCopyTest, ThePersonalFoldersFileOfTheMailProfileComesToTheSamePath)
{
    // Without a mail profile there is nothing to copy, and the migration goes on.
    EXPECT_TRUE(wizard::Fn_Get_Pst_File_Path());
    EXPECT_TRUE(world.logged("Fn_Get_Pst_File_Path PST File not found on source PC", "End"));

    RegKey k;
    world.registry().createKey(RegKey(RegRoot::LocalMachine),
        "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\SOFTWARE\\MICROSOFT\\WINDOWS MESSAGING "
        "SUBSYSTEM\\PROFILES\\Mail\\9207",
        k);
    world.registry().setString(k, "001e6700", "C:\\My Documents\\Mail\\outlook.pst");
    world.putOld("My Documents/Mail/outlook.pst", "mail");
    EXPECT_TRUE(wizard::Fn_Get_Pst_File_Path());
    EXPECT_EQ(world.readNew("My Documents/Mail/outlook.pst"), "mail");

    // Outside an item (a mass run's step) a refused path leaves the run not whole.
    wizard::MassItemsNotCopied = false;
    world.registry().setString(k, "001e6700", "C:\\Program Files\\Kestro\\mail.pst");
    world.putOld("Program Files/Kestro/mail.pst", "mail");
    EXPECT_TRUE(wizard::Fn_Get_Pst_File_Path());
    EXPECT_FALSE(std::filesystem::exists(world.hostNew("Program Files/Kestro/mail.pst")));
    wizard::mass::FN_Copy_Folder_Tree("Z:\\My Documents\\Mail", "C:\\Copied", true, false);
    EXPECT_TRUE(wizard::MassItemsNotCopied) << "a whole copy after it does not clear it";

    // On a drive that is not connected the file cannot come: the mail item is reported failed.
    world.registry().setString(k, "001e6700", "E:\\Mail\\outlook.pst");
    wizard::transfer::ItemTally tally;
    wizard::transfer::ItemTallyScope scope(tally);
    EXPECT_TRUE(wizard::Fn_Get_Pst_File_Path());
    EXPECT_EQ(tally.verdict(), wizard::transfer::TransferOutcome::Failed);
}

// A file below the source's Windows folder goes where the rewritten mail profile points: below
// the destination's Windows folder when it has another name, not into a stray copy of the source's.
TEST_F(PstCopyTest, APersonalFoldersFileBelowTheWindowsFolderFollowsItsRewrittenPath)
{
    wizard::mass::massState() =
        wizard::mass::MassState{"\\\\OLDPC", "C:\\WINDOWS", "C:\\WINNT", "W98", "W2K", "", "Ann"};
    RegKey k;
    world.registry().createKey(RegKey(RegRoot::LocalMachine),
        "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\SOFTWARE\\MICROSOFT\\WINDOWS MESSAGING "
        "SUBSYSTEM\\PROFILES\\Mail\\9207",
        k);
    world.registry().setString(
        k, "001e6700", "C:\\WINDOWS\\Application Data\\Microsoft\\Outlook\\outlook.pst");
    world.putOld("WINDOWS/Application Data/Microsoft/Outlook/outlook.pst", "mail");
    EXPECT_TRUE(wizard::Fn_Get_Pst_File_Path());
    wizard::mass::massState() = wizard::mass::MassState{};
    EXPECT_EQ(world.readNew("WINNT/Application Data/Microsoft/Outlook/outlook.pst"), "mail");
    EXPECT_FALSE(std::filesystem::exists(world.hostNew("WINDOWS")));
}
