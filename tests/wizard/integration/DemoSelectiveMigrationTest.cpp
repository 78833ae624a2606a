// DemoSelectiveMigrationTest.cpp: a selective migration on the demo network from OLDPC (Windows 98)
// and from OLDXP (Windows XP): after the hand-over and the source values, the rules run the shipped
// item scripts through the script engine (one application by its own script, one by the generic
// script, two settings) and copy chosen files and folders (drive letters translated). NEWPC is then
// compared file by file and key by key with its state before: exactly what was chosen arrived, and
// nothing else changed.
#include "platform/Network.h"
#include "platform/ProcessRunner.h"
#include "platform/RegFile.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/integration/DemoHandOver.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/rules/clsRules.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/selection/SourceApplications.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferActions.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::FsError;
using platform::WinError;
using wizard::ReportGroup;
using wizard::transfer::TransferOutcome;

// Every file of a machine's drives (drive letter and path) with its bytes.
std::map<std::string, std::string> driveFiles(const fs::path& machine)
{
    std::map<std::string, std::string> files;
    const fs::path drives = machine / "drives";
    for (const auto& e : fs::recursive_directory_iterator(drives)) {
        if (!e.is_regular_file())
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(e.path(), drives).generic_string()] = bytes.str();
    }
    return files;
}

// The registry as "[key]" / "value line" pairs.
std::set<std::pair<std::string, std::string>> registryLines()
{
    std::string text;
    EXPECT_EQ(platform::exportRegText(platform::RunningMachine::current()->registry(), "",
                  platform::RegFileFormat::Regedit4, text),
        WinError::Success);
    std::set<std::pair<std::string, std::string>> lines;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind('[', 0) == 0)
            section = line;
        else if (!line.empty())
            lines.insert({section, line});
        else
            lines.insert({section, ""});
    }
    return lines;
}

struct Selection {
    std::vector<std::string> applications;
    std::vector<std::string> settings;
    std::vector<std::pair<std::string, std::string>> files; // source path, path through this PC
};

class DemoSelectiveMigrationTest : public testsupport::DemoHandOverTest {
protected:
    void SetUp() override
    {
        DemoHandOverTest::SetUp();
        if (HasFatalFailure())
            return;
        wizard::MigrationMode = "selective";
        wizard::migrationReport().clear();
        wizard::selectionCollections() = wizard::SelectionCollections{};
        wizard::selectedItemsList().clearRows();
        m_rules.registerOperations(m_table);
        wizard::core().engine.setRulesProvider([this] { return &m_table; });
        wizard::installTransferActions();
        m_previousMessages = common::Service<platform::MessageService>::replace(&messages);
    }
    void TearDown() override
    {
        common::Service<platform::MessageService>::replace(m_previousMessages);
        wizard::core().engine.setRulesProvider({});
        wizard::core().engine.setPrimitives(nullptr);
        wizard::selectedItemsList().clearRows();
        wizard::selectionCollections() = wizard::SelectionCollections{};
        wizard::migrationReport().clear();
        DemoHandOverTest::TearDown();
    }

    // The hand-over as the connection steps leave it (HKLM and HKCU mirrored), then the source
    // values and the application list the selection page would read.
    void handOver(const char* source, const std::string& share, const char* user, const char* password,
        const std::string& exportCommand)
    {
        DemoHandOverTest::handOver(source, share, user, password, exportCommand,
            {{"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}});
        if (HasFatalFailure())
            return;
        // As the program's start and the hand-over name both PCs' folders.
        ASSERT_TRUE(wizard::Destination_Value_Initialize());
        ASSERT_EQ(m_table.call("Source_Value_Initialize"), std::optional<bool>(true));
        std::vector<std::string> names;
        ASSERT_TRUE(wizard::FN_Get_Remote_Application(wizard::machineMirrorReader(), names));
    }

    // Chooses the items as the collectors do, then runs what Migrate runs.
    void migrate(const Selection& s)
    {
        auto& c = wizard::selectionCollections();
        wizard::SelectedItemsList& list = wizard::selectedItemsList();
        for (const std::string& a : s.applications) {
            c.applications.add(a, a);
            list.addRow("APP_" + a, a);
        }
        for (const std::string& name : s.settings) {
            c.settings.add(name, name);
            list.addRow("DESKTOP_" + name, name);
        }
        for (const auto& [path, key] : s.files) {
            c.filesFolders.add(path, key);
            list.addRow(key, path);
        }
        const int n = c.applications.count() + c.settings.count() + c.filesFolders.count();
        list.setProgressMaximum(10.0 * n);
        c.progressStep = 10;

        // The steps Migrate runs, as execute steps of a script.
        std::string xml = "<?xml version=\"1.0\"?>\n<script>\n";
        for (const char* op : {"Progress_Enable", "Application_Migration", "Settings_Migration",
                 "Progress_Disable", "Sub_Data_Explorer_Migration", "Office_Flag"})
            xml += std::string("<performaction><action>execute</action><name>") + op +
                "</name></performaction>\n";
        xml += "</script>";
        std::string scrambled;
        std::istringstream lines(xml);
        for (std::string line; std::getline(lines, line);) {
            std::optional<std::string> out = wizard::scrambleLine(line);
            while (!out)
                out = wizard::scrambleLine(line += ' ');
            scrambled += *out + "\r\n";
        }
        ASSERT_EQ(
            files().writeFile(std::string(demo::kWizardFolder) + "\\WKXFiles\\MigrateTest.wkx", scrambled),
            FsError::None);
        wizard::XmlEngine& engine = wizard::core().engine;
        engine.CurrentScript = "MigrateTest.xml";
        engine.ScriptStack = "MigrateTest.xml";
        engine.ActionIndex = 0;
        engine.Step_Script("");
        // The last step ran: every item script ran to its end and the runners' positions were
        // taken back off the stack.
        EXPECT_EQ(wizard::core().variables.lookup("$bln_office_copied"), std::optional<std::string>("true"));
        EXPECT_EQ(engine.ScriptStack, "MigrateTest.xml");
    }

    static TransferOutcome outcomeOf(ReportGroup group, const std::string& item)
    {
        const wizard::MigrationReport::Entry* e = wizard::migrationReport().find(group, item);
        EXPECT_NE(e, nullptr) << item;
        return e ? e->outcome : TransferOutcome::Failed;
    }

    // What changed on NEWPC since `before`, leaving out the wizard's own folder (its log,
    // unscrambled scripts and variables) and its registry-import work folder.
    std::map<std::string, std::string> changedFiles(const std::map<std::string, std::string>& before) const
    {
        std::map<std::string, std::string> changed;
        for (const auto& [path, bytes] : driveFiles(newPc())) {
            if (path.rfind("C/Program Files/Kestro/", 0) == 0 || path.rfind("C/QZImpTemp/", 0) == 0)
                continue;
            const auto it = before.find(path);
            if (it == before.end() || it->second != bytes)
                changed[path] = bytes;
        }
        for (const auto& [path, bytes] : before)
            if (!fs::exists(newPc() / "drives" / path))
                changed[path] = "<removed>";
        return changed;
    }

    // The registry sections that gained or lost a line since `before`.
    static std::set<std::string> changedSections(const std::set<std::pair<std::string, std::string>>& before)
    {
        const auto after = registryLines();
        std::set<std::string> sections;
        for (const auto& l : after)
            if (!before.count(l))
                sections.insert(l.first);
        for (const auto& l : before)
            if (!after.count(l))
                sections.insert(l.first);
        return sections;
    }

    testsupport::ScriptedMessageService messages;

private:
    wizard::clsRules m_rules{wizard::RulesEnvironment{}};
    wizard::RulesTable m_table;
    platform::MessageService* m_previousMessages = nullptr;
};

TEST_F(DemoSelectiveMigrationTest, FromTheWindows98SourceOldPc)
{
    handOver(demo::kSourcePc98, "\\\\OLDPC\\C$", nullptr, nullptr, "regedit.exe /s /E ");
    ASSERT_EQ(
        platform::RunningMachine::current()->network().addConnection("G:", "\\\\OLDPC\\D$", nullptr, nullptr),
        WinError::Success);
    wizard::transferGlobals().driveMap.set("D:", "G:");
    const auto filesBefore = driveFiles(newPc());
    const auto registryBefore = registryLines();

    migrate({{"WinZip", "Solitaire Plus 2.1"}, {"Wallpaper", "Mouse Settings"},
        {{"C:\\My Documents\\Notes.txt", "\\\\OLDPC\\C$\\My Documents\\Notes.txt"},
            {"C:\\My Documents\\My Pictures", "\\\\OLDPC\\C$\\My Documents\\My Pictures"},
            {"D:\\Projects", "\\\\OLDPC\\D$\\Projects"}}});

    EXPECT_TRUE(messages.shown().empty()) << messages.shown().front().text;
    for (const char* app : {"WinZip", "Solitaire Plus 2.1"})
        EXPECT_EQ(outcomeOf(ReportGroup::Applications, app), TransferOutcome::Migrated) << app;
    for (const char* setting : {"Wallpaper", "Mouse Settings"})
        EXPECT_EQ(outcomeOf(ReportGroup::Settings, setting), TransferOutcome::Migrated) << setting;
    for (const char* item : {"C:\\My Documents\\Notes.txt", "C:\\My Documents\\My Pictures", "D:\\Projects"})
        EXPECT_EQ(outcomeOf(ReportGroup::FilesAndFolders, item), TransferOutcome::Migrated) << item;

    const auto changed = changedFiles(filesBefore);
    std::set<std::string> paths;
    for (const auto& [path, bytes] : changed)
        paths.insert(path);
    EXPECT_EQ(paths,
        (std::set<std::string>{"C/Program Files/WinZip/Readme.txt", "C/Program Files/WinZip/WINZIP32.EXE",
            "C/Program Files/Solitaire Plus/Readme.txt", "C/Program Files/Solitaire Plus/SOLPLUS.EXE",
            // Both applications' desktop shortcuts and program groups, shared on NEWPC.
            "C/Documents and Settings/All Users/Desktop/Solitaire Plus 2.1.lnk",
            "C/Documents and Settings/All Users/Desktop/WinZip 8.1.lnk",
            "C/Documents and Settings/All Users/Start Menu/Programs/Solitaire Plus/Solitaire Plus 2.1.lnk",
            "C/Documents and Settings/All Users/Start Menu/Programs/WinZip/WinZip 8.1.lnk",
            "C/My Documents/Notes.txt", "C/My Documents/My Pictures/Holiday 2003.jpg",
            "D/Projects/Garden plan.txt", "D/Projects/Club members.csv", "C/WINDOWS/Clouds.bmp"}));
    EXPECT_EQ(
        changed.at("D/Projects/Garden plan.txt"), "Roses along the fence, herbs by the kitchen door.\r\n");

    EXPECT_EQ(changedSections(registryBefore),
        (std::set<std::string>{// NEWPC had no App Paths key of its own.
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WINZIP32.EXE]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SolitairePlus]",
            // The game's own key, found below its vendor's by its name.
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Card Games Ltd]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Card Games Ltd\\Solitaire Plus]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Card Games Ltd\\Solitaire Plus\\2.1]",
            // WinZip's uninstall entry and its own machine and user keys.
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WinZip]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinZip Computing]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinZip Computing\\WinZip]",
            "[HKEY_CURRENT_USER\\Software\\WinZip Computing]",
            "[HKEY_CURRENT_USER\\Software\\WinZip Computing\\WinZip]",
            "[HKEY_CURRENT_USER\\Software\\WinZip Computing\\WinZip\\Settings]",
            // The mouse values were the same on both PCs: nothing to change there.
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop]"}));
}

TEST_F(DemoSelectiveMigrationTest, FromTheWindowsXpSourceOldXp)
{
    handOver(
        demo::kSourcePcXp, "\\\\OLDXP\\C", demo::kXpAdminUser, demo::kXpAdminPassword, "regedit.exe /a ");
    const auto filesBefore = driveFiles(newPc());
    const auto registryBefore = registryLines();
    const std::string docs = "\\Documents and Settings\\Sarah\\My Documents";

    // The XP source shares its drive as "C": the keys carry no "$", the paths keep their drive.
    migrate({{"WinZip", "Star Chart Explorer 1.4"}, {"Wallpaper", "Regional Settings"},
        {{"C:" + docs + "\\Notes.txt", "\\\\OLDXP\\C" + docs + "\\Notes.txt"},
            {"C:" + docs + "\\My Pictures", "\\\\OLDXP\\C" + docs + "\\My Pictures"},
            {"C:" + docs + "\\Vanished", "\\\\OLDXP\\C" + docs + "\\Vanished"}}});

    EXPECT_TRUE(messages.shown().empty()) << messages.shown().front().text;
    for (const char* app : {"WinZip", "Star Chart Explorer 1.4"})
        EXPECT_EQ(outcomeOf(ReportGroup::Applications, app), TransferOutcome::Migrated) << app;
    for (const char* setting : {"Wallpaper", "Regional Settings"})
        EXPECT_EQ(outcomeOf(ReportGroup::Settings, setting), TransferOutcome::Migrated) << setting;
    EXPECT_EQ(
        outcomeOf(ReportGroup::FilesAndFolders, "C:" + docs + "\\Notes.txt"), TransferOutcome::Migrated);
    EXPECT_EQ(outcomeOf(ReportGroup::FilesAndFolders, "C:" + docs + "\\Vanished"), TransferOutcome::NotFound);

    std::set<std::string> paths;
    for (const auto& [path, bytes] : changedFiles(filesBefore))
        paths.insert(path);
    EXPECT_EQ(paths,
        (std::set<std::string>{"C/Program Files/WinZip/Readme.txt", "C/Program Files/WinZip/WINZIP32.EXE",
            "C/Program Files/Star Chart/Readme.txt", "C/Program Files/Star Chart/STARS.EXE",
            "C/Documents and Settings/All Users/Desktop/Star Chart Explorer 1.4.lnk",
            "C/Documents and Settings/All Users/Desktop/WinZip 9.0.lnk",
            "C/Documents and Settings/All Users/Start Menu/Programs/Star Chart/Star Chart Explorer 1.4.lnk",
            "C/Documents and Settings/All Users/Start Menu/Programs/WinZip/WinZip 9.0.lnk",
            "C/Documents and Settings/Sarah/My Documents/Notes.txt",
            "C/Documents and Settings/Sarah/My Documents/My Pictures/Holiday 2003.jpg"}));
    EXPECT_EQ(changedSections(registryBefore),
        (std::set<std::string>{
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WINZIP32.EXE]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\StarChart]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Night Sky Software]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Night Sky Software\\Star Chart]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WinZip]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinZip Computing]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WinZip Computing\\WinZip]",
            "[HKEY_CURRENT_USER\\Software\\WinZip Computing]",
            "[HKEY_CURRENT_USER\\Software\\WinZip Computing\\WinZip]",
            "[HKEY_CURRENT_USER\\Software\\WinZip Computing\\WinZip\\Settings]"}));
}

} // namespace
