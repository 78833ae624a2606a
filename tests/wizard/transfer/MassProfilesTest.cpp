// MassProfilesTest.cpp: profile folders laid out by source and destination system, the installer
// cache with its packages recognised by size, the Office icon folders and the fonts.
#include "wizard/transfer/MassProfiles.h"

#include "tests/wizard/transfer/HostileSource.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/transfer/MassState.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::mass;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

class MassProfilesTest : public ::testing::Test {
protected:
    MassProfilesTest()
    {
        massState() = MassState{"\\\\OLDPC", "C:\\WINDOWS", "C:\\WINDOWS", "W98", "XP", "Jo", "Ann"};
    }
    ~MassProfilesTest() override { massState() = MassState{}; }

    bool onNew(const std::string& relative) const { return fs::exists(world.hostNew(relative)); }

    TransferWorld world;
};

TEST_F(MassProfilesTest, Win98ProfilesGoIntoDocumentsAndSettings)
{
    world.putOld("WINDOWS/Profiles/Jo/Desktop/jo.txt", "j");
    world.putOld("WINDOWS/Profiles/All Users/shared.txt", "s");
    world.putOld("WINDOWS/Start Menu/Programs/Tool.lnk", "t");
    world.putOld("WINDOWS/Start Menu/Windows Update.lnk", "u");
    world.putOld("WINDOWS/Start Menu/Programs/MS-DOS Prompt.pif", "p");
    world.putOld("WINDOWS/Desktop/Microsoft Outlook.lnk", "o");
    world.putOld("WINDOWS/Desktop/Notes.txt", "new");
    world.putOld("WINDOWS/Favorites/Site.url", "f");
    world.putOld("WINDOWS/Application Data/Identities/{1}/id.dat", "i");
    world.putNew("Documents and Settings/All Users/Desktop/Notes.txt", "own");

    EXPECT_TRUE(FN_StartMenu_Copy());
    const std::string ds = "Documents and Settings/";
    EXPECT_EQ(world.readNew(ds + "Jo/Desktop/jo.txt"), "j");
    EXPECT_FALSE(onNew(ds + "All Users/shared.txt")) << "the source's All Users profile is not copied";
    EXPECT_EQ(world.readNew(ds + "All Users/Start Menu/Programs/Tool.lnk"), "t");
    EXPECT_EQ(world.readNew(ds + "All Users/Desktop/Notes.txt"), "own") << "no overwrite";
    EXPECT_EQ(world.readNew(ds + "Ann/Favorites/Site.url"), "f");
    EXPECT_EQ(world.readNew(ds + "Ann/Local Settings/Application Data/Identities/{1}/id.dat"), "i");
    EXPECT_FALSE(onNew(ds + "All Users/Start Menu/Windows Update.lnk"));
    EXPECT_FALSE(onNew(ds + "All Users/Desktop/Microsoft Outlook.lnk"));
    EXPECT_FALSE(onNew(ds + "All Users/Start Menu/Programs/MS-DOS Prompt.pif"));
}

TEST_F(MassProfilesTest, Win98DestinationGetsNoProfiles)
{
    massState().destOsCode = "W98";
    world.putOld("WINDOWS/Profiles/Jo/Desktop/jo.txt", "j");
    world.putOld("WINDOWS/Favorites/Site.url", "f");
    EXPECT_TRUE(FN_StartMenu_Copy());
    EXPECT_FALSE(onNew("Documents and Settings"));
}

TEST_F(MassProfilesTest, InstallerCacheIconFoldersAndFonts)
{
    world.putOld("WINDOWS/Installer/a.msi", std::string(2332672, 'a'));
    world.putOld("WINDOWS/Installer/b.msi", std::string(2233345, 'b'));
    world.putOld("WINDOWS/Installer/{X}/icon.exe", "x");
    world.putOld("WINDOWS/Fonts/OCR-A.TTF", "source font");
    world.putOld("WINDOWS/Fonts/arial.ttf", "source arial");
    world.putNew("WINDOWS/Fonts/OCR-A.TTF", "old font");
    world.putNew("WINDOWS/Fonts/arial.ttf", "own arial");
    world.putNew("Program Files/Kestro/Icons/{00010409-78E1-11D2-B60F-006097C998E7}/xl.ico", "icon");

    EXPECT_TRUE(FN_MSI_Copy());
    EXPECT_TRUE(onNew("WINDOWS/Installer/a.msi"));
    EXPECT_EQ(world.readNew("WINDOWS/Installer/{X}/icon.exe"), "x");
    EXPECT_EQ(fs::file_size(world.hostNew("WINDOWS/Installer/data1.msi")), 2332672u);
    EXPECT_FALSE(onNew("WINDOWS/Installer/data2.msi")) << "one byte longer is no known package";
    EXPECT_EQ(world.readNew("WINDOWS/Installer/{00010409-78E1-11D2-B60F-006097C998E7}/xl.ico"), "icon");
    EXPECT_EQ(world.readNew("WINDOWS/Fonts/OCR-A.TTF"), "source font") << "the listed fonts are replaced";
    EXPECT_EQ(world.readNew("WINDOWS/Fonts/arial.ttf"), "own arial");
    EXPECT_EQ(fixedPackageName(1071104), "install.msi");
    EXPECT_EQ(fixedPackageName(7087616), "Symantec pcAnywhere.msi");
    EXPECT_EQ(sourceShareRoot(), "\\\\OLDPC\\C$\\");
    massState().sourceOsCode = "XP";
    EXPECT_EQ(sourceShareRoot(), "\\\\OLDPC\\C\\");
}

// A profile folder named "..\..\..\WINDOWS" and a desktop of hostile names: the profile copy delivers
// the desktop's Windows names only and nothing else on the destination changes.
TEST_F(MassProfilesTest, HostileProfileNamesChangeNothingButTheProfile)
{
    world.putNew("WINDOWS/WIN.INI", "the destination's own");
    TransferWorld::put(world.hostOld("WINDOWS/Profiles") / "..\\..\\..\\WINDOWS" / "WIN.INI", "planted");
    const auto delivered = transfertest::plantHostileSource(world.hostOld("WINDOWS/Profiles/Jo/Desktop"));
    auto expected = transfertest::hostFiles(world.hostNew(""));

    {
        transfertest::PipeGuard guard(world.hostOld("WINDOWS/Profiles/Jo/Desktop/pipe"));
        EXPECT_TRUE(FN_StartMenu_Copy());
        EXPECT_FALSE(guard.released()) << "the copy waited on the pipe";
    }
    for (const auto& [path, content] : delivered)
        expected["Documents and Settings/Jo/Desktop/" + path] = content;
    EXPECT_EQ(transfertest::hostFiles(world.hostNew("")), expected);
}
