// FileFetchActionsTest.cpp: files fetched by mirrored registry paths (literal and with
// environment variables), the wallpaper registration, file-type copy and the message action.
#include "wizard/transfer/FileFetchActions.h"

#include "platform/MessageBox.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/transfer/TransferWorld.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::Action_Function;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

namespace {
const std::string kDesktop = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Control Panel\\Desktop";
} // namespace

class FileFetchActionsTest : public ::testing::Test {
protected:
    FileFetchActionsTest()
    {
        world.variables["$st_source_win_dir"] = "Z:\\WINDOWS";
        world.variables["$st_source_system_dir"] = "Z:\\WINDOWS\\SYSTEM";
        world.variables["$st_source_curr_user_settings"] = "Z:\\WINDOWS\\Profiles\\bob";
        world.variables["$st_destination_win_dir"] = "C:\\WINNT";
        world.variables["$st_destination_system_dir"] = "C:\\WINNT\\system32";
        world.variables["$st_destination_curr_user_settings"] = "C:\\Documents and Settings\\bob";
        world.registry().createKey(platform::RegRoot::LocalMachine,
            "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Control Panel\\Desktop", mirror);
        world.registry().createKey(platform::RegRoot::CurrentUser, "Control Panel\\Desktop", desktop);
        world.registry().setString(desktop, "Wallpaper", "C:\\WINNT\\old.bmp");
    }
    void setMirror(const std::string& name, const std::string& value)
    {
        world.registry().setString(mirror, name, value);
    }
    std::string wallpaper()
    {
        std::string text;
        world.registry().queryString(desktop, "Wallpaper", text);
        return text;
    }
    TransferWorld world;
    platform::RegKey mirror;
    platform::RegKey desktop;
};

TEST_F(FileFetchActionsTest, WallpaperBehindSystemRootLandsInTheDestinationWindowsFolder)
{
    setMirror("Wallpaper", "%SystemRoot%\\Web\\Wallpaper\\bliss.bmp");
    world.putOld("WINDOWS\\Web\\Wallpaper\\bliss.bmp", "picture");
    EXPECT_TRUE(Action_Get_File(kDesktop, "Wallpaper"));
    EXPECT_EQ(world.readNew("WINNT/Web/Wallpaper/bliss.bmp"), "picture");
    EXPECT_EQ(wallpaper(), "C:\\WINNT\\Web\\Wallpaper\\bliss.bmp");
    EXPECT_TRUE(world.logged("Action_Get_Files", "Start"));
    EXPECT_TRUE(world.logged("Action_Get_File", "End"));
}

TEST_F(FileFetchActionsTest, LiteralPathsMoveBetweenDifferentlyNamedFolders)
{
    setMirror("Pattern", "C:\\WINDOWS\\pattern.bmp");
    setMirror("Driver", "C:\\WINDOWS\\SYSTEM\\drv.dll");
    setMirror("Other", "C:\\Data\\x.txt");
    world.putOld("WINDOWS\\pattern.bmp", "p");
    world.putOld("WINDOWS\\SYSTEM\\drv.dll", "d");
    world.putOld("Data\\x.txt", "x");
    EXPECT_TRUE(Action_Get_File(kDesktop, "Pattern"));
    EXPECT_TRUE(Action_Get_File(kDesktop, "Driver"));
    EXPECT_TRUE(Action_Get_File(kDesktop, "Other"));
    EXPECT_EQ(world.readNew("WINNT/pattern.bmp"), "p");
    EXPECT_EQ(world.readNew("WINNT/system32/drv.dll"), "d");
    EXPECT_EQ(world.readNew("Data/x.txt"), "x");
    EXPECT_EQ(wallpaper(), "C:\\WINNT\\old.bmp") << "only a value named Wallpaper is registered";
}

TEST_F(FileFetchActionsTest, ProfilePathOfAWindows98SourceIsNotRewritten)
{
    setMirror("Doc", "C:\\WINDOWS\\Profiles\\bob\\notes.txt");
    world.putOld("WINDOWS\\Profiles\\bob\\notes.txt", "n");
    EXPECT_TRUE(Action_Get_File(kDesktop, "Doc"));
    EXPECT_EQ(world.readNew("WINNT/Profiles/bob/notes.txt"), "n");

    SourceOs = "winxp";
    world.putOld("WINDOWS\\Profiles\\bob\\more.txt", "m");
    setMirror("More", "C:\\WINDOWS\\profiles\\BOB\\more.txt");
    EXPECT_TRUE(Action_Get_File(kDesktop, "More"));
    EXPECT_EQ(world.readNew("Documents and Settings/bob/more.txt"), "m");
}

TEST_F(FileFetchActionsTest, TokensMatchOnlyInTheirOwnCase)
{
    setMirror("Upper", "%WINDIR%\\x.bmp");
    EXPECT_FALSE(Action_Get_File(kDesktop, "Upper"));
    EXPECT_TRUE(world.logged("Action_Get_File", "0:Drive not mapped : %WINDIR%\\x.bmp"));
}

TEST_F(FileFetchActionsTest, UnsetFolderVariableTouchesNothing)
{
    world.variables.erase("$st_destination_curr_user_settings");
    setMirror("Wallpaper", "%USERPROFILE%\\me.bmp");
    world.putOld("WINDOWS\\Profiles\\bob\\me.bmp", "me");
    EXPECT_FALSE(Action_Get_File(kDesktop, "Wallpaper"));
    EXPECT_FALSE(fs::exists(world.hostNew("me.bmp")));
    EXPECT_EQ(wallpaper(), "C:\\WINNT\\old.bmp");
}

TEST_F(FileFetchActionsTest, EmptyOrMissingValuesAreReportedAndMissingFilesPassedOver)
{
    setMirror("Empty", "");
    EXPECT_FALSE(Action_Get_File(kDesktop, "Empty"));
    EXPECT_FALSE(Action_Get_File(kDesktop, "NoSuchValue"));
    setMirror("Gone", "C:\\Data\\gone.txt");
    EXPECT_TRUE(Action_Get_File(kDesktop, "Gone"));
    EXPECT_TRUE(world.logged("Action_Get_File", "Not found : C:\\Data\\gone.txt"));
    EXPECT_FALSE(fs::exists(world.hostNew("Data/gone.txt")));
}

TEST_F(FileFetchActionsTest, NonTextValueIsNotTakenForAPath)
{
    world.registry().setDword(mirror, "Tile", 1);
    EXPECT_FALSE(Action_Get_File(kDesktop, "Tile"));
    EXPECT_FALSE(fs::exists(world.hostNew("0")));
}

TEST_F(FileFetchActionsTest, FileTypeCopyTakesFilesByTheirEnding)
{
    for (const char* name : {"Mail\\a.DAT", "Mail\\Sub\\b.dat", "Mail\\c.data"})
        world.putOld(name, std::string("new ") + name);
    for (const char* name : {"Mail/a.DAT", "Mail/Sub/b.dat", "Mail/c.data"})
        world.putNew(name, "old");
    EXPECT_TRUE(Action_File_Type_Copy("C:\\Mail", " dat "));
    EXPECT_EQ(world.readNew("Mail/a.DAT"), "new Mail\\a.DAT");
    EXPECT_EQ(world.readNew("Mail/Sub/b.dat"), "new Mail\\Sub\\b.dat");
    EXPECT_EQ(world.readNew("Mail/c.data"), "old");
}

TEST_F(FileFetchActionsTest, FileTypeCopyPassesOverFilesMissingAtTheSourceAndReportsFailures)
{
    world.putNew("Mail/only-here.dat", "old");
    EXPECT_TRUE(Action_File_Type_Copy("C:\\Mail", "dat"));
    EXPECT_EQ(world.readNew("Mail/only-here.dat"), "old");
    EXPECT_TRUE(world.logged("Action_Copy_File", "Not found : C:\\Mail\\only-here.dat"));

    world.putOld("Mail\\locked.dat", "new");
    world.putNew("Mail/locked.dat", "old");
    platform::FileSystem fsys = world.fileSystem();
    ASSERT_EQ(fsys.setAttributes("C:\\Mail\\locked.dat", platform::attr::ReadOnly), platform::FsError::None);
    EXPECT_FALSE(Action_File_Type_Copy("C:\\Mail", "dat"));
    EXPECT_EQ(world.readNew("Mail/locked.dat"), "old");
    EXPECT_TRUE(Action_File_Type_Copy("C:\\Mail", "")) << "an empty ending copies nothing";
    EXPECT_TRUE(Action_File_Type_Copy("C:\\NoSuchFolder", "dat"));
}

TEST_F(FileFetchActionsTest, MessageTypePicksTheIcon)
{
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scope(messages);
    messages.answer(platform::MsgResult::Ok);
    messages.answer(platform::MsgResult::Ok);
    EXPECT_TRUE(Action_Msgbox("Done", "i"));
    EXPECT_TRUE(Action_Msgbox("Careful", "E"));
    EXPECT_TRUE(Action_Msgbox("Nothing", "x"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "Done");
    EXPECT_EQ(messages.shown()[0].icon, platform::MsgIcon::Information);
    EXPECT_EQ(messages.shown()[0].buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(messages.shown()[1].icon, platform::MsgIcon::Exclamation);
}
