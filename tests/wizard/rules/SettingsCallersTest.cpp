// SettingsCallersTest.cpp: the desktop shortcuts of a scripted application, the messenger check,
// the display-setting callers reached by name, and the Outlook Express store of a Windows 98 and a
// Windows XP source (mapped to Z:) copied to its own path on the destination.
#include "wizard/rules/ItemRules.h"

#include "platform/ShellLink.h"
#include "tests/wizard/rules/ItemRulesWorld.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/rules/clsRules.h"

#include <gtest/gtest.h>

using namespace wizard;
namespace fs = std::filesystem;

namespace {

constexpr const char* kIdentity =
    "HKEY_CURRENT_USER\\Identities\\{1A2B}\\Software\\Microsoft\\Outlook Express\\5.0";

class SettingsCallersTest : public itemtest::ItemRulesWorld {
protected:
    SettingsCallersTest()
    {
        SourceOs = "win98";
        SourcePcName = "OLDPC";
        world.variables["$st_source_win_dir"] = "Z:\\WINDOWS";
        world.variables["$st_destination_alluser_settings"] = "C:\\Documents and Settings\\All Users";
    }
    ~SettingsCallersTest() override { resetWizardState(); }

    void putShortcut(const std::string& relative, const std::string& target)
    {
        platform::ShellLinkData link;
        link.targetPath = target;
        world.putOld(relative, platform::encodeShellLink(link));
    }
    // The identity as the Outlook script's import brings it here, with its store root.
    void identityHere(const std::string& root)
    {
        platform::RegKey k;
        world.registry().createKey(platform::RegKey(platform::RegRoot::CurrentUser),
            std::string(kIdentity).substr(std::string("HKEY_CURRENT_USER\\").size()), k);
        world.registry().setString(k, "Store Root", root, platform::RegType::ExpandSz);
    }
    const std::string sharedDesktop = "Documents and Settings/All Users/Desktop/";
};

TEST_F(SettingsCallersTest, ShortcutsIntoTheFetchedFolderAreCopiedUnlessTheirTargetIsGone)
{
    world.putOld("Program Files/Zipper/zipper.exe", "MZ");
    world.putOld("Program Files/Zipper/tools/split.exe", "MZ");
    putShortcut("WINDOWS/Desktop/Zipper.lnk", "C:\\Program Files\\Zipper\\zipper.exe");
    putShortcut("WINDOWS/Desktop/Split.lnk", "C:\\PROGRAM FILES\\ZIPPER\\tools\\split.exe");
    putShortcut("WINDOWS/Desktop/Other.lnk", "C:\\Program Files\\Other\\other.exe");
    putShortcut("WINDOWS/Desktop/Gone.lnk", "C:\\Program Files\\Zipper\\gone.exe");
    world.putOld("WINDOWS/Desktop/readme.txt", "C:\\Program Files\\Zipper");
    platform::FileSystem files = world.fileSystem();
    ASSERT_EQ(files.setAttributes("Z:\\WINDOWS\\Desktop\\Split.lnk", platform::attr::Hidden),
        platform::FsError::None);

    EXPECT_TRUE(Shortcut_Copy());
    EXPECT_FALSE(fs::exists(world.hostNew(sharedDesktop))) << "nothing fetched, nothing copied";

    transferGlobals().lastAppPath = "Z:\\Program Files\\Zipper";
    EXPECT_TRUE(Shortcut_Copy());
    EXPECT_EQ(world.readNew(sharedDesktop + "Zipper.lnk"), world.readOld("WINDOWS/Desktop/Zipper.lnk"));
    EXPECT_TRUE(fs::exists(world.hostNew(sharedDesktop + "Split.lnk")))
        << "hidden, in a sub-folder, any case";
    EXPECT_FALSE(fs::exists(world.hostNew(sharedDesktop + "Other.lnk")));
    EXPECT_FALSE(fs::exists(world.hostNew(sharedDesktop + "Gone.lnk")));
    EXPECT_FALSE(fs::exists(world.hostNew(sharedDesktop + "readme.txt")));
    EXPECT_TRUE(world.logged("Shortcut_Copy", "Target not found : C:\\Program Files\\Zipper\\gone.exe"));
    EXPECT_EQ(transferGlobals().lastAppPath, "");
}

TEST_F(SettingsCallersTest, TheMessengerCheckSetsItsFlagOnlyWhenTheProgramIsThere)
{
    core().variables.Set_System_Variable_Value("$bln_msn_messenger_5", "false");
    world.putOld("Program Files/Messenger/msnmsgr.exe", "MZ");
    transferGlobals().lastAppPath = "Z:\\Program Files\\MSN";
    EXPECT_TRUE(Missing_ShortCut());
    EXPECT_EQ(core().variables.lookup("$bln_msn_messenger_5"), std::optional<std::string>("false"));
    EXPECT_EQ(transferGlobals().lastAppPath, "");

    transferGlobals().lastAppPath = "Z:\\Program Files\\Messenger";
    EXPECT_TRUE(Missing_ShortCut());
    EXPECT_EQ(core().variables.lookup("$bln_msn_messenger_5"), std::optional<std::string>("true"));
    EXPECT_EQ(transferGlobals().lastAppPath, "");
}

TEST_F(SettingsCallersTest, AWindows98StoreIsReadThroughTheMappedDriveAndWrittenToItsOwnPath)
{
    const std::string store = "WINDOWS/Application Data/Identities/{1A2B}/Microsoft/Outlook Express/";
    world.putOld(store + "Inbox.dbx", "inbox");
    world.putOld(store + "Folders.dbx", "folders");
    const std::string root = "C:\\WINDOWS\\Application Data\\Identities\\{1A2B}\\Microsoft\\Outlook Express";
    setMirror(kIdentity, "Store Root", root);
    EXPECT_FALSE(Get_dotdbs_file_outlook()) << "no identity here would find the store";
    EXPECT_TRUE(world.logged("Get_dotdbs_file_outlook", "No identity here has its store root"));
    identityHere(root);
    EXPECT_TRUE(Get_dotdbs_file_outlook());
    EXPECT_EQ(world.readNew(store + "Inbox.dbx"), "inbox");
    EXPECT_EQ(world.readNew(store + "Folders.dbx"), "folders");
    EXPECT_TRUE(world.logged("Get_dotdbs_file_outlook", "End"));
}

// The store is read from the source user's profile and lands in this PC's user's, where the
// migrated "%UserProfile%" root points.
TEST_F(SettingsCallersTest, AnXpStoreRootWithTokensIsReadOnTheSourceAndPutWhereItPointsHere)
{
    SourceOs = "winxp";
    world.variables["$st_source_curr_user_settings"] = "Z:\\Documents and Settings\\Sarah";
    const std::string below = "/Local Settings/Application Data/Identities/{1A2B}/Microsoft/Outlook Express/";
    const std::string store = "Documents and Settings/Sarah" + below;
    world.putOld(store + "Inbox.dbx", "inbox");
    platform::RegKey k;
    world.registry().createKey(
        platform::RegKey(platform::RegRoot::LocalMachine), std::string("SOFTWARE\\QZ\\") + kIdentity, k);
    world.registry().setString(k, "Store Root",
        "%UserProfile%\\Local Settings\\Application Data\\Identities\\{1A2B}\\Microsoft\\Outlook Express",
        platform::RegType::ExpandSz);
    EXPECT_FALSE(Get_dotdbs_file_outlook()) << "this PC's profile folder is not known";
    EXPECT_TRUE(world.logged(
        "Get_dotdbs_file_outlook", "Store not copied : this PC has no folder for %UserProfile%"));
    world.variables["$st_destination_curr_user_settings"] = "C:\\Documents and Settings\\Martin";
    identityHere(
        "%UserProfile%\\Local Settings\\Application Data\\Identities\\{1A2B}\\Microsoft\\Outlook Express");
    EXPECT_TRUE(Get_dotdbs_file_outlook());
    EXPECT_EQ(world.readNew("Documents and Settings/Martin" + below + "Inbox.dbx"), "inbox");
    EXPECT_FALSE(fs::exists(world.hostNew(store))) << "nothing lands in the source user's name";
    EXPECT_FALSE(fs::exists(world.hostNew("Z:"))) << "nothing is written under the mapped letter's name";
}

TEST_F(SettingsCallersTest, AStoreInUseFailsAndNoStoreRootIsNothingToDo)
{
    EXPECT_TRUE(Get_dotdbs_file_outlook()) << "no identity mirrored";
    EXPECT_TRUE(world.logged("Get_dotdbs_file_outlook", "Not found : HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ"));
    SourceOs = "win31";
    EXPECT_FALSE(Get_dotdbs_file_outlook()) << "an unknown source system names no key to export";
    SourceOs = "win98";

    const std::string store = "WINDOWS/Application Data/Identities/{1A2B}/Microsoft/Outlook Express/";
    world.putOld(store + "Inbox.dbx", "inbox");
    world.putOld(store + "Sent Items.dbx", "sent");
    setMirror(kIdentity, "Store Root",
        "C:\\WINDOWS\\Application Data\\Identities\\{1A2B}\\Microsoft\\Outlook Express");
    platform::FileSystem files = world.fileSystem();
    platform::FileLock lock = files.lockFile(
        "Z:\\WINDOWS\\Application Data\\Identities\\{1A2B}\\Microsoft\\Outlook Express\\Inbox.dbx");
    EXPECT_FALSE(Get_dotdbs_file_outlook());
    EXPECT_TRUE(world.logged("Get_dotdbs_file_outlook", "Store not copied (in use?)"));
    EXPECT_EQ(world.readNew(store + "Sent Items.dbx"), "sent") << "the rest of the store still comes across";
    EXPECT_FALSE(fs::exists(world.hostNew(store + "Inbox.dbx")));
}

TEST_F(SettingsCallersTest, StoreRootsAreReadInBothStringFormsAndTheirTokensInAnyCase)
{
    EXPECT_EQ(storeRootOf("REGEDIT4\r\n\r\n[X]\r\n\"Store Root\"=\"C:\\\\Mail\\\\\\\"q\\\"\"\r\n"),
        "C:\\Mail\\\"q\"");
    EXPECT_EQ(storeRootOf("[X]\r\n\"store root\"=hex(2):25,55,\\\r\n  53,25,00\r\n"), "%US%");
    EXPECT_EQ(storeRootOf("[X]\r\n\"Other\"=\"Store Root\"\r\n"), "");
    world.variables["$st_source_program_file"] = "Z:\\Program Files";
    EXPECT_EQ(expandStoreRoot("%PROGRAMFILES%\\Mail"), "C:\\Program Files\\Mail");
    EXPECT_EQ(expandStoreRoot("%SystemDrive%\\Mail"), "C:\\Mail");
}

TEST_F(SettingsCallersTest, TheDisplayCallersAnswerWhatTheMigrationsAnswer)
{
    clsRules rules(RulesEnvironment{});
    RulesTable table;
    rules.registerOperations(table);
    EXPECT_EQ(table.call("Caller_Settings_ScreenSaver"), std::optional<bool>(true));
    EXPECT_EQ(table.call("Caller_Settings_Resolution"), std::optional<bool>(true));
    EXPECT_TRUE(world.logged("FN_Resolution_Migrate", "No display adapter on the destination") ||
        world.logged("Destination machines resolution is same as Source machine", "Settings Info"));
}

} // namespace
