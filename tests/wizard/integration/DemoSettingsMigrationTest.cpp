// DemoSettingsMigrationTest.cpp: the screen saver, the display resolution and the appearance,
// keyboard, Active Desktop and effects settings migrated on the demo
// network by their shipped scripts, run by the script engine through the settings runner, from
// OLDPC (Windows 98) and from OLDXP (Windows XP) onto NEWPC (Windows XP at 800 by 600); and an
// application without a script of its own (found by its uninstall entry) with its shortcuts.
#include "platform/Network.h"
#include "platform/ProcessRunner.h"
#include "platform/RegFile.h"
#include "platform/RunningMachine.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/integration/DemoHandOver.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/rules/MigrationRun.h"
#include "wizard/rules/clsRules.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/selection/SourceApplications.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferActions.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using platform::FsError;
using platform::RegRoot;
using platform::WinError;
using wizard::transfer::TransferOutcome;

constexpr const char* kNewPcVideo =
    "SYSTEM\\CurrentControlSet\\Hardware Profiles\\0001\\System\\CurrentControlSet\\Control\\VIDEO\\";

class DemoSettingsMigrationTest : public testsupport::DemoHandOverTest {
protected:
    void SetUp() override
    {
        DemoHandOverTest::SetUp();
        if (HasFatalFailure())
            return;
        // As start-up sets it.
        wizard::Set_System_Variable_Value("$st_kestro_path", demo::kWizardFolder);
        wizard::MigrationMode = "selective";
        wizard::installTransferActions();
        m_rules = std::make_unique<wizard::clsRules>(wizard::RulesEnvironment{});
        m_rules->registerOperations(m_table);
        wizard::core().engine.setRulesProvider([this] { return &m_table; });
        wizard::PcEnvironment destination(wizard::core().variables, wizard::defaultEnvironmentAccess());
        ASSERT_TRUE(destination.Destination_Value_Initialize());
    }
    void TearDown() override
    {
        wizard::core().engine.setRulesProvider({});
        wizard::selectionCollections() = wizard::SelectionCollections{};
        wizard::ApplicationList().clear();
        DemoHandOverTest::TearDown();
    }

    // The hand-over as the main script leaves it: F: on the source's C:, the exports mirrored under
    // SOFTWARE\QZ, the source values set.
    void handOver(const char* source, const std::string& share, const char* user, const char* password,
        const std::string& exportCommand)
    {
        DemoHandOverTest::handOver(source, share, user, password, exportCommand);
        if (HasFatalFailure())
            return;
        EXPECT_EQ(m_table.call("Source_Value_Initialize"), std::optional<bool>(true));
    }

    // The settings chosen on the selection page, migrated by their scripts.
    void migrateSettings(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            wizard::selectionCollections().settings.add(name, name);
        EXPECT_EQ(m_table.call("Settings_Migration"), std::optional<bool>(true));
    }
    TransferOutcome outcomeOf(const char* setting)
    {
        const auto* entry = wizard::migrationReport().find(wizard::ReportGroup::Settings, setting);
        EXPECT_NE(entry, nullptr) << setting;
        return entry ? entry->outcome : TransferOutcome::Failed;
    }
    std::string text(RegRoot root, const std::string& key, const std::string& name)
    {
        platform::RegKey k;
        std::string out = "<missing>";
        if (registry().openKey(platform::RegKey(root), key, k) == WinError::Success)
            registry().queryString(k, name, out);
        return out;
    }
    std::uint32_t number(const std::string& key, const std::string& name)
    {
        platform::RegKey k;
        std::uint32_t out = 0;
        if (registry().openKey(platform::RegKey(RegRoot::LocalMachine), key, k) == WinError::Success)
            registry().queryDword(k, name, out);
        return out;
    }
    std::string newPcVideoKey()
    {
        std::vector<platform::RegSubKey> subs;
        platform::RegKey k;
        registry().openKey(platform::RegKey(RegRoot::LocalMachine), kNewPcVideo, k);
        registry().listSubKeys(k, subs);
        return subs.empty() ? std::string() : std::string(kNewPcVideo) + subs.front().name + "\\0000";
    }

    wizard::RulesTable m_table;

    // The four settings every demo source holds in the same places; NEWPC had none of their values.
    void expectEffectsActiveDesktopMouseAndRegion(const std::string& wallpaperSource, std::uint32_t visualFx)
    {
        for (const char* setting : {"Effects", "Active Desktop", "Mouse Settings", "Regional Settings"})
            EXPECT_EQ(outcomeOf(setting), TransferOutcome::Migrated) << setting;
        EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "DragFullWindows"), "1");
        EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "FontSmoothing"), "2");
        platform::RegKey fx;
        std::uint32_t setting = 0;
        ASSERT_EQ(registry().openKey(platform::RegKey(RegRoot::CurrentUser),
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VisualEffects", fx),
            WinError::Success);
        registry().queryDword(fx, "VisualFXSetting", setting);
        EXPECT_EQ(setting, visualFx);
        EXPECT_EQ(text(RegRoot::CurrentUser, "Software\\Microsoft\\Internet Explorer\\Desktop\\General",
                      "WallpaperSource"),
            wallpaperSource);
        EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Mouse", "DoubleClickSpeed"), "500");
        EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\International", "sCountry"), "United States");
    }

private:
    std::unique_ptr<wizard::clsRules> m_rules;
};

TEST_F(DemoSettingsMigrationTest, Windows98ToXp)
{
    handOver(demo::kSourcePc98, "\\\\OLDPC\\C$", nullptr, nullptr, "regedit.exe /s /E ");
    ASSERT_EQ(number(newPcVideoKey(), "DefaultSettings.XResolution"), 800u);
    for (const char* key : {"Control Panel\\Colors", "Control Panel\\Keyboard", "Control Panel\\Mouse",
             "Control Panel\\International"})
        registry().deleteTree(platform::RegKey(RegRoot::CurrentUser), key);
    migrateSettings({"Screen Saver", "Resolution", "Appearance", "Keyboard Settings", "Active Desktop",
        "Effects", "Mouse Settings", "Regional Settings"});

    EXPECT_EQ(outcomeOf("Screen Saver"), TransferOutcome::Migrated);
    EXPECT_EQ(outcomeOf("Resolution"), TransferOutcome::Migrated);
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"),
        "C:\\WINDOWS\\SYSTEM32\\sstext3d.scr");
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Screen Saver.3DText", "DisplayString"), "Kestro");
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "ScreenSaveTimeOut"), "600");
    EXPECT_TRUE(files().fileExists("C:\\WINDOWS\\system32\\3D Text.scr")) << "the saver file came along";
    EXPECT_EQ(number(newPcVideoKey(), "DefaultSettings.XResolution"), 1024u);
    EXPECT_EQ(number(newPcVideoKey(), "DefaultSettings.YResolution"), 768u);
    EXPECT_EQ(outcomeOf("Appearance"), TransferOutcome::Migrated);
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Colors", "Background"), "0 128 128");
    EXPECT_EQ(outcomeOf("Keyboard Settings"), TransferOutcome::Migrated);
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Keyboard", "KeyboardSpeed"), "31");
    expectEffectsActiveDesktopMouseAndRegion("C:\\WINDOWS\\Clouds.bmp", 2);
}

TEST_F(DemoSettingsMigrationTest, WindowsXpToXp)
{
    handOver(
        demo::kSourcePcXp, "\\\\OLDXP\\C", demo::kXpAdminUser, demo::kXpAdminPassword, "regedit.exe /a ");
    registry().deleteTree(platform::RegKey(RegRoot::CurrentUser), "Control Panel\\Desktop");
    files().deleteFile("C:\\WINDOWS\\system32\\ssflwbox.scr");
    for (const char* key : {"Control Panel\\Colors", "Control Panel\\Keyboard", "Control Panel\\Mouse",
             "Control Panel\\International"})
        registry().deleteTree(platform::RegKey(RegRoot::CurrentUser), key);
    migrateSettings({"Screen Saver", "Resolution", "Appearance", "Effects", "Keyboard Settings",
        "Active Desktop", "Mouse Settings", "Regional Settings"});

    EXPECT_EQ(outcomeOf("Screen Saver"), TransferOutcome::Migrated);
    EXPECT_EQ(outcomeOf("Resolution"), TransferOutcome::Migrated);
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"),
        "C:\\WINDOWS\\system32\\ssflwbox.scr");
    EXPECT_TRUE(files().fileExists("C:\\WINDOWS\\system32\\ssflwbox.scr"));
    EXPECT_EQ(number(newPcVideoKey(), "DefaultSettings.XResolution"), 1280u);
    EXPECT_EQ(number(newPcVideoKey(), "DefaultSettings.YResolution"), 1024u);
    EXPECT_TRUE(files().fileExists("C:\\QZExpTemp\\Resolution.reg"));
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Colors", "Background"), "0 78 152");
    EXPECT_EQ(outcomeOf("Keyboard Settings"), TransferOutcome::Migrated);
    EXPECT_EQ(text(RegRoot::CurrentUser, "Control Panel\\Keyboard", "KeyboardDelay"), "1");
    expectEffectsActiveDesktopMouseAndRegion("C:\\WINDOWS\\Web\\Wallpaper\\Bliss.bmp", 3);
}

TEST_F(DemoSettingsMigrationTest, AnApplicationWithoutAScriptComesWithItsShortcutsAndGroup)
{
    handOver(demo::kSourcePc98, "\\\\OLDPC\\C$", nullptr, nullptr, "regedit.exe /s /E ");
    std::vector<std::string> names;
    ASSERT_TRUE(wizard::FN_Get_Remote_Application(wizard::machineMirrorReader(), names));
    wizard::migrationRunState().currentItemName = "Home Tax Helper 2003";
    for (const char* operation :
        {"Identify_Keys", "Identify_Application_Path", "ApplnCreateShortCut", "ApplnCopyProgramGroup"})
        EXPECT_EQ(m_table.call(operation), std::optional<bool>(true)) << operation;

    EXPECT_TRUE(files().fileExists("C:\\Program Files\\Home Tax Helper\\HTAX.EXE"));
    EXPECT_EQ(text(RegRoot::LocalMachine,
                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HomeTax2003", "DisplayName"),
        "Home Tax Helper 2003");
    EXPECT_TRUE(
        files().fileExists("C:\\Documents and Settings\\All Users\\Desktop\\Home Tax Helper 2003.lnk"));
    EXPECT_TRUE(files().fileExists("C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Home Tax "
                                   "Helper\\Home Tax Helper 2003.lnk"));
    EXPECT_FALSE(files().folderExists("C:\\Program Files\\Solitaire Plus"))
        << "another application stays behind";
}

} // namespace

namespace {

constexpr const char* kStore98 =
    "C:\\WINDOWS\\Application Data\\Identities\\{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}\\Microsoft\\Outlook "
    "Express";
constexpr const char* kStoreXp =
    "C:\\Documents and Settings\\Sarah\\Local Settings\\Application Data\\Identities\\"
    "{8D4E7C11-2B9A-4F60-A1C3-5E7D90B24F68}\\Microsoft\\Outlook Express";
// Where that store's "%UserProfile%" root points here: the user's profile of this PC.
constexpr const char* kStoreXpHere =
    "C:\\Documents and Settings\\Martin\\Local Settings\\Application Data\\Identities\\"
    "{8D4E7C11-2B9A-4F60-A1C3-5E7D90B24F68}\\Microsoft\\Outlook Express";

TEST_F(DemoSettingsMigrationTest, TheMailStoreOfAWindows98SourceComesToItsOwnPath)
{
    handOver(demo::kSourcePc98, "\\\\OLDPC\\C$", nullptr, nullptr, "regedit.exe /s /E ");
    wizard::selectionCollections().applications.add("MS Outlook", "MS Outlook");
    EXPECT_EQ(m_table.call("Application_Migration"), std::optional<bool>(true));

    const auto* entry = wizard::migrationReport().find(wizard::ReportGroup::Applications, "MS Outlook");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->outcome, TransferOutcome::Migrated) << entry->detail;
    for (const char* box : {"Inbox.dbx", "Sent Items.dbx", "Folders.dbx"})
        EXPECT_TRUE(files().fileExists(std::string(kStore98) + "\\" + box)) << box;
    EXPECT_EQ(text(RegRoot::CurrentUser, "Identities\\{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}", "Username"),
        "Main Identity");
    EXPECT_TRUE(files().fileExists(
        "C:\\Documents and Settings\\Martin\\Application Data\\Microsoft\\Address Book\\Martin.wab"));
}

TEST_F(DemoSettingsMigrationTest, AMailStoreInUseOnTheWindowsXpSourceIsReportedFailed)
{
    handOver(
        demo::kSourcePcXp, "\\\\OLDXP\\C", demo::kXpAdminUser, demo::kXpAdminPassword, "regedit.exe /a ");
    const std::string onSource = "F:" + std::string(kStoreXp).substr(2);
    platform::FileLock inUse = files().lockFile(onSource + "\\Inbox.dbx");
    wizard::selectionCollections().applications.add("MS Outlook", "MS Outlook");
    EXPECT_EQ(m_table.call("Application_Migration"), std::optional<bool>(true));

    const auto* entry = wizard::migrationReport().find(wizard::ReportGroup::Applications, "MS Outlook");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->outcome, TransferOutcome::Failed);
    EXPECT_FALSE(files().fileExists(std::string(kStoreXpHere) + "\\Inbox.dbx"));
    EXPECT_TRUE(files().fileExists(std::string(kStoreXpHere) + "\\Outbox.dbx"))
        << "the rest of the store came";
}

} // namespace

namespace {

TEST_F(DemoSettingsMigrationTest, OfficeProgramsComeWithTheirFolderKeysAndInstallerData)
{
    struct Source {
        const char* pc;
        const char* share;
        const char* user;
        const char* password;
        const char* exportCommand;
        const char* version;
        const char* folder;
    };
    const Source sources[] = {
        {demo::kSourcePc98, "\\\\OLDPC\\C$", nullptr, nullptr, "regedit.exe /s /E ", "9.0",
            demo::kOfficeFolder2000},
        {demo::kSourcePcXp, "\\\\OLDXP\\C", demo::kXpAdminUser, demo::kXpAdminPassword, "regedit.exe /a ",
            "11.0", demo::kOfficeFolder2003},
    };
    for (const Source& s : sources) {
        SCOPED_TRACE(s.pc);
        if (s.user) {
            // The second source: the first one's connection and mirror go, as a new run starts.
            platform::RunningMachine::current()->network().cancelConnection("F:");
            registry().deleteTree(platform::RegKey(RegRoot::LocalMachine), "SOFTWARE\\QZ");
            wizard::migrationReport().clear();
            wizard::selectionCollections() = wizard::SelectionCollections{};
        }
        handOver(s.pc, s.share, s.user, s.password, s.exportCommand);
        for (const char* app : {"MS Word", "MS PowerPoint"})
            wizard::selectionCollections().applications.add(app, app);
        EXPECT_EQ(m_table.call("Application_Migration"), std::optional<bool>(true));
        for (const char* app : {"MS Word", "MS PowerPoint"}) {
            const auto* entry = wizard::migrationReport().find(wizard::ReportGroup::Applications, app);
            ASSERT_NE(entry, nullptr) << app;
            EXPECT_EQ(entry->outcome, TransferOutcome::Migrated) << app << ": " << entry->detail;
        }
        const std::string folder = std::string("C:") + s.folder;
        EXPECT_TRUE(files().fileExists(folder + "\\WINWORD.EXE"));
        EXPECT_TRUE(files().fileExists(folder + "\\POWERPNT.EXE"));
        EXPECT_EQ(text(RegRoot::CurrentUser,
                      std::string("Software\\Microsoft\\Office\\") + s.version + "\\Word\\Options",
                      "AutoSave-Time"),
            "10");
        EXPECT_EQ(
            text(RegRoot::LocalMachine,
                std::string("SOFTWARE\\Microsoft\\Office\\") + s.version + "\\Word\\InstallRoot", "Path"),
            folder + "\\");
        EXPECT_EQ(wizard::core().variables.lookup("$bln_office_copied"), std::optional<std::string>("true"));
    }
}

} // namespace
