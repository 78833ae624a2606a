// DisplaySettingsTest.cpp: the screen saver and the display resolution of a source PC (Windows 98
// mapped to Z:, or a mirrored Windows XP) brought onto the destination with the shipped templates,
// which stay as shipped.
#include "wizard/transfer/DisplaySettings.h"

#include "platform/ProcessRunner.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/transfer/TransferOutcome.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::Registry_Related_Functions;
using platform::RegRoot;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

namespace {

constexpr const char* kProfile =
    "SYSTEM\\CurrentControlSet\\Hardware Profiles\\0001\\System\\CurrentControlSet\\";
constexpr const char* kXpGuid = "{0F1E2D3C-0000-4000-8000-00000000ABCD}";

class DisplaySettingsTest : public ::testing::Test {
protected:
    DisplaySettingsTest()
        : regedit(world.fileSystem())
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&regedit);
        fs::create_directories(world.hostNew("Program Files/Kestro/RegFiles"));
        fs::copy(fs::path(KESTRO_DATA_DIR) / "RegFiles", world.hostNew("Program Files/Kestro/RegFiles"),
            fs::copy_options::recursive);
        world.variables["$st_source_os"] = "win98";
        world.variables["$st_destination_os"] = "winxp";
        world.variables["$st_source_sys_path"] = "C:\\\\WINDOWS\\\\SYSTEM\\\\";
        world.variables["$st_source_win_path"] = "C:\\\\WINDOWS\\\\";
        world.variables["$st_destination_sys_path"] = "C:\\\\WINDOWS\\\\System32\\\\";
        world.variables["$st_destination_win_path"] = "C:\\\\WINDOWS\\\\";
        world.variables["$st_destination_system_dir"] = "C:\\WINDOWS\\System32";
    }
    ~DisplaySettingsTest() override { common::Service<platform::ProcessLauncher>::replace(m_previous); }

    platform::RegKey key(const std::string& path)
    {
        platform::RegKey k;
        world.registry().createKey(platform::RegKey(RegRoot::LocalMachine), path, k);
        return k;
    }
    std::optional<std::string> text(RegRoot root, const std::string& path, const std::string& name)
    {
        platform::RegKey k;
        std::string out;
        if (world.registry().openKey(platform::RegKey(root), path, k) != platform::WinError::Success ||
            world.registry().queryString(k, name, out) != platform::WinError::Success)
            return std::nullopt;
        return out;
    }
    std::uint32_t width(const std::string& path)
    {
        platform::RegKey k;
        std::uint32_t out = 0;
        if (world.registry().openKey(platform::RegKey(RegRoot::LocalMachine), path, k) ==
            platform::WinError::Success)
            world.registry().queryDword(k, "DefaultSettings.XResolution", out);
        return out;
    }
    void destinationAdapter(
        const std::string& device, const std::string& sizeKey, std::uint32_t w, std::uint32_t h)
    {
        world.registry().setString(key("HARDWARE\\DEVICEMAP\\VIDEO"), "\\Device\\Video0", device);
        const platform::RegKey k = key(sizeKey);
        world.registry().setDword(k, "DefaultSettings.XResolution", w);
        world.registry().setDword(k, "DefaultSettings.YResolution", h);
    }
    void source98(const std::string& resolution)
    {
        world.registry().setString(key("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\Config\\0001\\Display\\Settings"),
            "Resolution", resolution);
    }
    // Every shipped template is byte for byte what the data folder holds.
    void expectTemplatesAsShipped()
    {
        for (const auto& entry : fs::directory_iterator(fs::path(KESTRO_DATA_DIR) / "RegFiles"))
            EXPECT_EQ(world.readNew("Program Files/Kestro/RegFiles/" + entry.path().filename().string()),
                TransferWorld::read(entry.path()))
                << entry.path().filename();
    }

    TransferWorld world;
    transfertest::InProcessRegedit regedit;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

TEST_F(DisplaySettingsTest, TheThreeDTextSaverComesAcrossWithItsSection)
{
    world.putNew("Program Files/Kestro/temp/SYSTEM.INI",
        "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=C:\\WINDOWS\\SYSTEM\\3DTEXT~1.SCR\r\n");
    world.putNew("Program Files/Kestro/temp/Control.ini",
        "[current]\r\ncolor schemes=Windows Standard\r\n\r\n[Screen Saver.3DText]\r\nText=Say \"hi\" "
        "C:\\x\r\n"
        "Speed=5\r\n\r\n[Screen Saver.Marquee]\r\nText=other\r\n");
    world.putOld("WINDOWS/SYSTEM/3D Text.scr", "MZ saver");
    world.putNew("WINDOWS/System32/sstext3d.scr", "MZ this PC's own 3D text saver");

    EXPECT_TRUE(FN_ScreenSaver_Migrate());
    EXPECT_EQ(world.readNew("WINDOWS/System32/3D Text.scr"), "MZ saver") << "under its long name";
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"),
        "C:\\WINDOWS\\SYSTEM32\\sstext3d.scr")
        << "the system folder as the registry file names it, upper-cased";
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Screen Saver.3DText", "Text"), "Say \"hi\" C:\\x")
        << "quotes and backslashes of a value survive";
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Screen Saver.3DText", "Speed"), "5");
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\Screen Saver.Marquee", "Text"));
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\current", "color schemes"));
}

// A destination without the saver that stands for the source's keeps the source's own copy as its
// saver; with neither, the setting is not written and the item fails with the reason.
TEST_F(DisplaySettingsTest, ASaverTheDestinationLacksIsTheCopyOrAFailure)
{
    world.putNew("Program Files/Kestro/temp/SYSTEM.INI",
        "[boot]\r\nSCRNSAVE.EXE=C:\\WINDOWS\\SYSTEM\\3DTEXT~1.SCR\r\n");
    world.putNew("Program Files/Kestro/temp/Control.ini", "[Screen Saver.3DText]\r\nSpeed=5\r\n");
    fs::create_directories(world.hostNew("WINDOWS/System32"));
    world.putOld("WINDOWS/SYSTEM/3D Text.scr", "MZ saver");
    {
        transfer::ItemTally tally;
        transfer::ItemTallyScope scope(tally);
        EXPECT_TRUE(FN_ScreenSaver_Migrate());
        EXPECT_NE(tally.verdict(), transfer::TransferOutcome::Failed);
    }
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"),
        "C:\\WINDOWS\\System32\\3D Text.scr");

    fs::remove(world.hostOld("WINDOWS/SYSTEM/3D Text.scr"));
    fs::remove(world.hostNew("WINDOWS/System32/3D Text.scr"));
    world.registry().deleteTree(platform::RegKey(RegRoot::CurrentUser), "Control Panel\\Desktop");
    transfer::ItemTally tally;
    transfer::ItemTallyScope scope(tally);
    FN_ScreenSaver_Migrate();
    EXPECT_EQ(tally.verdict(), transfer::TransferOutcome::Failed);
    EXPECT_NE(tally.failedStep().find("3DTEXT~1.SCR"), std::string::npos) << tally.failedStep();
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE")) << "no saver it lacks";
}

// The source's INI files are read up to a bound: a larger one fails the item with its name, and
// nothing of it is taken.
TEST_F(DisplaySettingsTest, ASystemIniBeyondTheBoundFailsTheItemAndIsNotRead)
{
    world.putNew("Program Files/Kestro/temp/SYSTEM.INI",
        "[boot]\r\nSCRNSAVE.EXE=C:\\WINDOWS\\SYSTEM\\3DTEXT~1.SCR\r\n" +
            std::string(transfer::kMaxSourceTextBytes, 'x'));
    world.putNew("Program Files/Kestro/temp/Control.ini", "[Screen Saver.3DText]\r\nSpeed=5\r\n");
    world.putOld("WINDOWS/SYSTEM/3D Text.scr", "MZ saver");
    transfer::ItemTally tally;
    transfer::ItemTallyScope scope(tally);
    FN_ScreenSaver_Migrate();
    EXPECT_EQ(tally.verdict(), transfer::TransferOutcome::Failed);
    EXPECT_NE(tally.failedStep().find("SYSTEM.INI cannot be read"), std::string::npos) << tally.failedStep();
    EXPECT_FALSE(fs::exists(world.hostNew("WINDOWS/System32/3D Text.scr")));
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"));
}

// A saver line naming a file of the destination's system folder that is no saver replaces nothing.
TEST_F(DisplaySettingsTest, ASaverLineNamingASystemFileIsRefused)
{
    world.putNew(
        "Program Files/Kestro/temp/SYSTEM.INI", "[boot]\r\nSCRNSAVE.EXE=C:\\My Documents\\SHELL32.DLL\r\n");
    world.putOld("My Documents/SHELL32.DLL", "MZ planted");
    world.putNew("WINDOWS/System32/shell32.dll", "MZ own");
    transfer::ItemTally tally;
    transfer::ItemTallyScope scope(tally);
    FN_ScreenSaver_Migrate();
    EXPECT_EQ(world.readNew("WINDOWS/System32/shell32.dll"), "MZ own");
    EXPECT_EQ(tally.failedStep().rfind("Refused : C:\\My Documents\\SHELL32.DLL : ", 0), 0u)
        << tally.failedStep();
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"));
}

TEST_F(DisplaySettingsTest, WithoutASaverLineTheFirstSectionIsTakenAndNoEarlierFileIsMerged)
{
    world.putNew("Program Files/Kestro/temp/SYSTEM.INI", "[boot]\r\nshell=Explorer.exe\r\n");
    world.putNew("Program Files/Kestro/temp/ScreenSaver.reg",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"SCRNSAVE.EXE\"=\"stale.scr\"\r\n");
    world.putNew("Program Files/Kestro/temp/Control.ini", "; Control.ini\r\n[Patterns]\r\nBoxes=127 65");
    EXPECT_TRUE(FN_ScreenSaver_Migrate());
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"));
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Patterns", "Boxes"), "127 65")
        << "a comment line starts no section; the last section ends with the file";
}

TEST_F(DisplaySettingsTest, OnlyASectionHeaderStartsTheConversion)
{
    world.putNew("Program Files/Kestro/temp/Control.ini",
        "[MMCPL]\r\nMarquee=used\r\n\r\n[Screen Saver.Marquee]\r\nSize=48\r\n");
    EXPECT_TRUE(FN_ControlIni_To_Reg("marquee"));
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Screen Saver.Marquee", "Size"), "48");
    EXPECT_FALSE(text(RegRoot::CurrentUser, "Control Panel\\MMCPL", "Marquee"));
    EXPECT_EQ(controlIniValueLine("a=b=c"), "\"a\"=\"b=c\"");
    EXPECT_EQ(controlIniValueLine("no value"), "");
}

TEST_F(DisplaySettingsTest, AWindows98SourceRaisesAWindows2000DestinationThroughCopies)
{
    world.variables["$st_destination_os"] = "win2k";
    source98("1024,768");
    destinationAdapter("\\REGISTRY\\Machine\\System\\ControlSet001\\Services\\mga64\\Device0",
        std::string(kProfile) + "SERVICES\\mga64\\Device0", 800, 600);
    EXPECT_TRUE(FN_Resolution_Migrate());
    EXPECT_EQ(width(std::string(kProfile) + "SERVICES\\mga64\\Device0"), 1024u);
    platform::RegKey rr;
    std::uint32_t attached = 0;
    world.registry().openKey(
        platform::RegKey(RegRoot::LocalMachine), "SYSTEM\\CurrentControlSet\\Services\\mga64\\Device0", rr);
    world.registry().queryDword(rr, "Attach.ToDesktop", attached);
    EXPECT_EQ(attached, 1u);
    EXPECT_FALSE(width(std::string(kProfile) + "SERVICES\\i81x\\Device0"))
        << "the placeholder is never merged";
    expectTemplatesAsShipped();
}

TEST_F(DisplaySettingsTest, AWindowsXpSourceLeavesItsVideoKeyForTheDestinationsAdapter)
{
    world.variables["$st_source_os"] = "winxp";
    const std::string mirror =
        std::string("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\") + kProfile + "Control\\VIDEO\\{SRC}\\0000";
    world.registry().setString(key("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO"),
        "\\Device\\Video0", "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\{SRC}\\0000");
    world.registry().setDword(key(mirror), "DefaultSettings.XResolution", 1280);
    world.registry().setDword(key(mirror), "DefaultSettings.YResolution", 1024);
    destinationAdapter(
        std::string("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\") + kXpGuid + "\\0000",
        std::string(kProfile) + "Control\\VIDEO\\" + kXpGuid + "\\0000", 1024, 768);

    EXPECT_TRUE(FN_Resolution_Migrate());
    const std::string exported = world.readNew("QZExpTemp/Resolution.reg");
    EXPECT_NE(exported.find(
                  std::string("[HKEY_LOCAL_MACHINE\\") + kProfile + "Control\\VIDEO\\" + kXpGuid + "\\0000]"),
        std::string::npos)
        << exported;
    EXPECT_EQ(exported.find("{SRC}"), std::string::npos);
    EXPECT_EQ(width(std::string(kProfile) + "Control\\VIDEO\\" + kXpGuid + "\\0000"), 1280u);
    expectTemplatesAsShipped();
}

TEST_F(DisplaySettingsTest, EqualHigherOrMixedDestinationsAndUnofferedSizesChangeNothing)
{
    const std::string size = std::string(kProfile) + "Control\\VIDEO\\" + kXpGuid + "\\0000";
    destinationAdapter(
        std::string("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\") + kXpGuid + "\\0000",
        size, 1024, 768);
    source98("1024,768");
    EXPECT_TRUE(FN_Resolution_Migrate());
    EXPECT_TRUE(world.logged("Destination machines resolution is same as Source machine", "Settings Info"));
    source98("800,600");
    EXPECT_TRUE(FN_Resolution_Migrate());
    EXPECT_TRUE(
        world.logged("Destination machine has higher resolution than Source machine", "Settings Info"));

    destinationAdapter(
        std::string("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\") + kXpGuid + "\\0000",
        size, 1280, 600);
    source98("1024,768");
    EXPECT_TRUE(FN_Resolution_Migrate());
    EXPECT_EQ(width(size), 1280u);

    destinationAdapter(
        std::string("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\") + kXpGuid + "\\0000",
        size, 800, 600);
    source98("1600,1200");
    EXPECT_TRUE(FN_Resolution_Migrate());
    EXPECT_TRUE(world.logged("FN_Resolution_Migrate", "Resolution not offered : 1600x1200"));
    EXPECT_EQ(width(size), 800u);
    expectTemplatesAsShipped();
}

TEST_F(DisplaySettingsTest, ADestinationWithoutAnAdapterKeepsTheTemplatesWhole)
{
    source98("1024,768");
    EXPECT_TRUE(FN_Resolution_Migrate());
    EXPECT_TRUE(world.logged("FN_Resolution_Migrate", "No display adapter on the destination"));
    expectTemplatesAsShipped();
    EXPECT_EQ(resolutionOf("1024,768"), (std::pair<long, long>{1024, 768}));
    EXPECT_EQ(resolutionOf(""), (std::pair<long, long>{0, 0}));
    EXPECT_EQ(adapterOf("\\REGISTRY\\Machine\\System\\ControlSet001\\Services\\i81x\\Device0"), "i81x");
}

} // namespace
