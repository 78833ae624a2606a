// ConfinedWalkTest.cpp: an OLDPC whose values and files aim at what NEWPC keeps for itself (the
// wizard's folder with its templates and working folder, its user's profile and hive, the drive
// root's start-up files), walked through the main window, selectively and as a mass migration:
// NEWPC is compared whole before and after, no program is registered to start, and the report and
// the boxes say what was refused.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/Registry.h"
#include "tests/wizard/integration/HostileSource.h"
#include "tests/wizard/integration/MassDestinationCheck.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QTreeWidget>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::RegRoot;

// A registry file that registers a program to start with Windows.
const std::string kPlantedRegFile = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Run]\r\n\"Planted\"=\"C:\\\\evil.exe\"\r\n\r\n";

class ConfinedWalkTest : public testsupport::DemoWalk {
protected:
    void SetUp() override
    {
        ::alarm(300);
        DemoWalk::SetUp();
        platform::MachineConfig config;
        std::string error;
        ASSERT_TRUE(platform::loadMachineConfig(newPc(), config, error)) << error;
        newUser = config.userName;
    }
    void TearDown() override
    {
        DemoWalk::TearDown();
        ::alarm(0);
    }
    fs::path newPc() const { return network / demo::kDestinationPc; }
    fs::path oldPc() const { return network / demo::kSourcePc98; }
    void plant(RegRoot root, const std::string& key, const char* name, const std::string& data,
        platform::RegType type = platform::RegType::Sz)
    {
        platform::Registry reg;
        ASSERT_EQ(reg.open(oldPc() / "registry.db"), platform::WinError::Success);
        platform::RegKey k;
        ASSERT_EQ(reg.createKey(platform::RegKey(root), key, k), platform::WinError::Success) << key;
        const std::string bytes = data + std::string(1, '\0');
        ASSERT_EQ(reg.setValue(k, name, type, platform::RegBytes(bytes.begin(), bytes.end())),
            platform::WinError::Success);
    }
    // A file of OLDPC's C: dated years ahead, so that no keep-the-newer rule keeps NEWPC's own.
    void plantFile(const std::string& path, const std::string& bytes)
    {
        const fs::path host = platform::driveFolder(oldPc(), 'C') / path;
        hostile::putHost(host, bytes);
        fs::last_write_time(host, fs::file_time_type::clock::now() + std::chrono::hours(24 * 365 * 9));
    }
    // OLDPC's own copy of the wizard's folder, with templates that register a program.
    void plantWizardFolder()
    {
        for (const char* name :
            {"RemoveQZ.reg", "Services_XP.reg", "1024_XP.reg", "kestro_xp.reg", "Classroot_xp.reg"})
            plantFile("Program Files/Kestro/RegFiles/" + std::string(name), kPlantedRegFile);
        plantFile("Program Files/Kestro/Temp/Microsoft.reg", kPlantedRegFile);
    }
    // NEWPC's template folder, host path to bytes.
    std::map<std::string, std::string> templates()
    {
        std::map<std::string, std::string> out;
        for (const auto& [path, what] : hostile::hostTree(newPc()))
            if (path.rfind("drives/C/Program Files/Kestro/RegFiles", 0) == 0)
                out[path] = what;
        return out;
    }
    static std::string log()
    {
        std::string text;
        platform::RunningMachine::current()->files().readFile(
            std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", text);
        return text;
    }
    static void expectNoProgramRegistered()
    {
        for (const std::string& section : hostile::registryOutsideMirror())
            EXPECT_EQ(section.find("evil.exe"), std::string::npos) << section;
    }
    std::string newUser;
};

TEST_F(ConfinedWalkTest, SourceValuesAimedAtWhatNewPcKeepsWriteNothingAndFailTheirItems)
{
    const std::string windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    plant(RegRoot::LocalMachine, windows + "App Paths\\WINZIP32.EXE", "Path", "C:\\Program Files\\Kestro");
    plant(RegRoot::LocalMachine, windows + "Uninstall\\HomeTax2003", "InstallLocation",
        "C:\\Documents and Settings\\" + newUser);
    plant(RegRoot::CurrentUser, "Control Panel\\Desktop", "Wallpaper", "%SystemDrive%\\boot.ini",
        platform::RegType::ExpandSz);
    plant(RegRoot::CurrentUser,
        "Identities\\{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}\\Software\\Microsoft\\Outlook Express\\5.0",
        "Store Root", "C:\\WINDOWS\\system32");
    plantWizardFolder();
    plantFile("Documents and Settings/" + newUser + "/NTUSER.DAT", hostile::kPlanted);
    plantFile("Documents and Settings/" + newUser + "/My Documents/letter.txt", hostile::kPlanted);
    plantFile("boot.ini", hostile::kPlanted);

    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    const std::vector<std::string> refused = {"Supported Applications\\WinZip",
        "Unsupported Applications\\Home Tax Helper 2003", "Display Settings\\Wallpaper",
        "Supported Applications\\MS Outlook"};
    for (const std::string& node : refused)
        tick(sourceTree(w), "My Computer\\" + node);
    tick(sourceTree(w), "My Computer\\Display Settings\\Resolution");
    // The user's tick of the source's Program Files, which holds its copy of the wizard's folder.
    open(sourceTree(w), "My Computer\\Files and Folders\\C:");
    tick(sourceTree(w), "My Computer\\Files and Folders\\C:\\Program Files");
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    const auto filesBefore = hostile::hostTree(newPc());
    const auto templatesBefore = templates();
    const std::set<std::string> registryBefore = hostile::registryOutsideMirror();
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    // Files: only the wizard's log and working files, the chosen Program Files (but not the
    // wizard's folder in it), and the shortcuts the mail item copied before its store root was
    // refused, may have changed.
    const auto excused = [](const std::string& path, const std::string& what) {
        const auto starts = [&](const char* prefix) { return path.rfind(prefix, 0) == 0; };
        const bool shortcut = path.size() > 4 && path.compare(path.size() - 4, 4, ".lnk") == 0;
        return (starts("drives/C/Program Files/") && !starts("drives/C/Program Files/Kestro/RegFiles")) ||
            starts("drives/C/QZExpTemp") ||
            (starts("drives/C/Documents and Settings/") && (what == "folder" || shortcut));
    };
    for (const auto& [path, what] : hostile::hostTree(newPc())) {
        EXPECT_EQ(what.find(hostile::kPlanted), std::string::npos) << path;
        EXPECT_EQ(what.find("evil.exe"), std::string::npos) << path;
        const auto was = filesBefore.find(path);
        EXPECT_TRUE((was != filesBefore.end() && was->second == what) || excused(path, what)) << path;
    }
    EXPECT_TRUE(templates() == templatesBefore) << "the templates are the shipped ones";
    // The registry: the refused items' imports are undone; only the resolution may have moved.
    std::set<std::string> after = hostile::registryOutsideMirror();
    std::vector<std::string> changed;
    std::set_symmetric_difference(registryBefore.begin(), registryBefore.end(), after.begin(), after.end(),
        std::back_inserter(changed));
    for (const std::string& section : changed)
        EXPECT_TRUE(section.rfind("[HKEY_CURRENT_USER\\Network", 0) == 0 ||
            section.find("\\Control\\VIDEO") != std::string::npos ||
            section.find("\\Control\\Video") != std::string::npos)
            << section;
    expectNoProgramRegistered();

    const std::map<std::string, std::string> spelled = {{"WinZip", "Refused : C:\\Program Files\\Kestro : "},
        {"Home Tax Helper 2003", "Refused : C:\\Documents and Settings\\" + newUser + " : "},
        {"Wallpaper", "Refused : %SystemDrive%\\boot.ini : "},
        {"MS Outlook", "Refused : C:\\WINDOWS\\system32 : "},
        {"C:\\Program Files", "Refused : C:\\Program Files\\Kestro : in the wizard's own folder"}};
    for (const auto& [name, text] : spelled) {
        const std::string row = reportRow(w, name);
        EXPECT_EQ(row.rfind("Failed ", 0), 0u) << name << ": " << row;
        EXPECT_NE(row.find(text), std::string::npos) << name << ": " << row;
    }
}

TEST_F(ConfinedWalkTest, MassMigrationLeavesTheWizardsFolderOutAndWarnsOfARefusedStore)
{
    plantWizardFolder();
    plantFile("Program Files/Kestro/Mail/Martin.pst", hostile::kPlanted);
    // The drive copy leaves these out without a word, as this PC's own.
    plantFile("io.sys", hostile::kPlanted);
    plantFile("Documents and Settings/Anna/NTUSER.DAT", hostile::kPlanted);
    plant(RegRoot::CurrentUser,
        "Software\\Microsoft\\Windows Messaging "
        "Subsystem\\Profiles\\Martin\\9207f3e0a3b11019908b08002b2a56c2",
        "001e6700", "C:\\Program Files\\Kestro\\Mail\\Martin.pst");
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToConnectionPage(w, "Opt98", true);
    fillConnection(w, "OLDPC");
    user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
    next(w);
    ASSERT_EQ(activeForm(w), "Frm_Mass");
    const masscheck::Snapshot source = masscheck::snapshotMachine(oldPc());
    masscheck::Snapshot before = masscheck::snapshotMachine(newPc());
    const auto templatesBefore = templates();
    masscheck::disconnectDrives(before, connectedLetters());
    user.shown.clear();
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_FALSE(user.shown.empty());
    EXPECT_EQ(user.shown.back(), wizard::kMassNotWholeMessage) << "the store was refused";

    // NEWPC whole, against what the mass steps make of the source and of NEWPC before, with the
    // source's copy of the wizard's folder left out.
    masscheck::MassPcs pcs;
    pcs.source = &source;
    pcs.destination = &before;
    pcs.copiedDrives = {'C', 'D'};
    pcs.appPath = demo::kWizardFolder;
    pcs.destUser = newUser;
    pcs.templates = fs::path(KESTRO_SOURCE_DATA) / "RegFiles";
    pcs.scratch = network / "scratch";
    fs::create_directories(pcs.scratch);
    const masscheck::Differences d = masscheck::compare(masscheck::expectMassMigration(pcs),
        masscheck::snapshotMachine(newPc()), [](const std::string& path) {
            return path == "C:\\PROGRAM FILES\\KESTRO\\KESTRO_LOG_FILE.TXT" ||
                path == "C:\\PROGRAM FILES\\KESTRO\\WKXFILES\\DEC_KESTRO.XML";
        });
    std::string lines;
    for (const std::string& line : d.lines)
        lines += line + "\n";
    EXPECT_TRUE(d.lines.empty()) << d.lines.size() << " differences:\n" << lines;
    EXPECT_TRUE(templates() == templatesBefore) << "the templates are the shipped ones";
    expectNoProgramRegistered();
    // The log's status column is cut after 62 characters.
    const std::string text = log();
    EXPECT_NE(
        text.find("Refused : C:\\Program Files\\Kestro\\Mail\\Martin.pst : in the wiz"), std::string::npos);
    EXPECT_NE(text.find("Not copied : C:\\Program Files\\Kestro : in the wiz"), std::string::npos)
        << "the drive copy names the folder it left out";
}

} // namespace
