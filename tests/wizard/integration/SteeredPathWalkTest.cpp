// SteeredPathWalkTest.cpp: a source whose registry and SYSTEM.INI name system folders and files
// of the new PC as the places of an application, its uninstaller, the screen saver, the mail
// store, the wallpaper and the personal folders, walked through the main window: NEWPC's drives
// are compared whole before and after, and each such item is reported failed with its refusal.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/Registry.h"
#include "tests/wizard/integration/HostileSource.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QTreeWidget>

#include <unistd.h>

#include <map>

namespace {

namespace fs = std::filesystem;

// Every file and folder below a machine's drives with its bytes.
std::map<std::string, std::string> driveFiles(const fs::path& machine)
{
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(machine / "drives")) {
        std::string bytes = "folder";
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        out[fs::relative(e.path(), machine).generic_string()] = bytes;
    }
    return out;
}

// OLDPC's values naming the new PC's system folders and files, as a hostile or broken source holds them.
void plantSteeredPaths(const fs::path& machine)
{
    platform::Registry reg;
    ASSERT_EQ(reg.open(machine / "registry.db"), platform::WinError::Success);
    const auto plant = [&](platform::RegRoot root, const std::string& path, const char* name,
                           const char* data) {
        platform::RegKey k;
        ASSERT_EQ(reg.createKey(platform::RegKey(root), path, k), platform::WinError::Success) << path;
        ASSERT_EQ(reg.setString(k, name, data), platform::WinError::Success);
    };
    using platform::RegRoot;
    const std::string windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    plant(RegRoot::LocalMachine, windows + "App Paths\\WINZIP32.EXE", "Path", "C:\\WINDOWS");
    plant(RegRoot::LocalMachine, windows + "Uninstall\\HomeTax2003", "InstallLocation",
        "C:\\Program Files\\..\\WINDOWS");
    plant(RegRoot::CurrentUser,
        "Identities\\{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}\\Software\\Microsoft\\Outlook Express\\5.0",
        "Store Root", "C:\\WINDOWS\\system32");
    plant(RegRoot::CurrentUser, "Control Panel\\Desktop", "Wallpaper", "C:\\WINDOWS\\EXPLORER.EXE");
    plant(RegRoot::CurrentUser,
        "Software\\Microsoft\\Windows Messaging "
        "Subsystem\\Profiles\\Martin\\9207f3e0a3b11019908b08002b2a56c2",
        "001e6700", "C:\\WINDOWS\\system32\\x.pst\\..\\logon.scr");
    const fs::path c = platform::driveFolder(machine, 'C');
    hostile::putHost(
        c / "WINDOWS" / "SYSTEM.INI", "[boot]\r\nSCRNSAVE.EXE=C:\\My Documents\\SHELL32.DLL\r\n");
    hostile::putHost(c / "My Documents" / "SHELL32.DLL", hostile::kPlanted);
    hostile::putHost(c / "WINDOWS" / "system32" / "logon.scr", hostile::kPlanted);
    hostile::putHost(c / "WINDOWS" / "system32" / "SHELL32.DLL", hostile::kPlanted);
    hostile::putHost(c / "WINDOWS" / "EXPLORER.EXE", hostile::kPlanted);
}

class SteeredPathWalkTest : public testsupport::DemoWalk {
protected:
    void SetUp() override
    {
        ::alarm(300);
        DemoWalk::SetUp();
        plantSteeredPaths(network / demo::kSourcePc98);
    }
    void TearDown() override
    {
        DemoWalk::TearDown();
        ::alarm(0);
    }
};

TEST_F(SteeredPathWalkTest, SourceValuesNamingSystemFoldersChangeNoneOfThemAndFailTheirItems)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    auto* tree = sourceTree(w);
    const std::vector<std::string> items = {"Supported Applications\\WinZip",
        "Unsupported Applications\\Home Tax Helper 2003", "Display Settings\\Screen Saver",
        "Display Settings\\Wallpaper", "Supported Applications\\MS Outlook"};
    for (const std::string& node : items) {
        QTreeWidgetItem* it = item(tree, "My Computer\\" + node);
        ASSERT_NE(it, nullptr) << node;
        it->setCheckState(0, Qt::Checked);
        emit tree->itemClicked(it, 0);
    }
    next(w);
    ASSERT_EQ(activeForm(w), "frm_Drive_Info");
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    const auto before = driveFiles(network / demo::kDestinationPc);
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    const auto after = driveFiles(network / demo::kDestinationPc);
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : after) {
        const auto was = before.find(path);
        if (was == before.end() || was->second != bytes)
            changed.push_back(path);
        EXPECT_EQ(bytes.find(hostile::kPlanted), std::string::npos) << path;
    }
    for (const auto& [path, bytes] : before)
        if (!after.count(path))
            changed.push_back(path + " (gone)");
    // What the items may still bring: shortcuts, program groups and the address book into the
    // profiles, Outlook's Office folder, and the wizard's own working files.
    for (const std::string& path : changed)
        EXPECT_TRUE(path.rfind("drives/C/Documents and Settings/", 0) == 0 ||
            path.rfind("drives/C/Program Files/Kestro", 0) == 0 ||
            path.rfind("drives/C/Program Files/Microsoft Office", 0) == 0 ||
            path.rfind("drives/C/QZ", 0) == 0)
            << path;
    for (const std::string& node : items) {
        const std::string name = node.substr(node.rfind('\\') + 1);
        const std::string row = reportRow(w, name);
        EXPECT_EQ(row.rfind("Failed ", 0), 0u) << name << ": " << row;
        EXPECT_NE(row.find("Refused : "), std::string::npos) << name << ": " << row;
    }
    EXPECT_NE(destinationValue("Control Panel\\Desktop", "Wallpaper", platform::RegRoot::CurrentUser),
        "C:\\WINDOWS\\EXPLORER.EXE");
}

} // namespace
