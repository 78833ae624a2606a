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

#include <functional>

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
    // A mass migration of OLDPC through the main window, to the box it ends with: the warning box.
    // `atMassPage` runs on the mass page, before Migrate is clicked.
    void massWalk(const std::function<void()>& atMassPage)
    {
        wizard::KestroMain* w = walkToMassPage();
        ASSERT_NE(w, nullptr);
        atMassPage();
        user.shown.clear();
        w->findChild<QPushButton*>("Btn_Migrate")->click();
        ASSERT_FALSE(user.shown.empty());
        EXPECT_EQ(user.shown.back(), wizard::kMassNotWholeMessage);
    }
    // The places NEWPC starts programs from by itself, or keeps its system in, as host paths below
    // the machine folder.
    static bool startsPrograms(const std::string& path)
    {
        const std::string up = masscheck::upper(path);
        return up.rfind("DRIVES/C/WINDOWS/", 0) == 0 ||
            up.find("/START MENU/PROGRAMS/STARTUP/") != std::string::npos;
    }
    // What a planted program or file reached of NEWPC: new or changed files in the places above
    // (`excused` aside), and any file holding what OLDPC planted.
    void expectNothingPlanted(const std::map<std::string, std::string>& before,
        const std::function<bool(const std::string&)>& excused = {})
    {
        for (const auto& [path, what] : hostile::hostTree(newPc())) {
            EXPECT_EQ(what.find(hostile::kPlanted), std::string::npos) << path;
            const auto was = before.find(path);
            if (startsPrograms(path) && (was == before.end() || was->second != what))
                EXPECT_TRUE(excused && excused(path)) << "new or changed: " << path;
        }
    }
    void hostileSystemRootWalk(const std::string& systemRoot, const std::string& logged);
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
    // The drive copy leaves these out, as this PC's own, and says so.
    plantFile("io.sys", hostile::kPlanted);
    plantFile("Documents and Settings/Anna/NTUSER.DAT", hostile::kPlanted);
    plant(RegRoot::CurrentUser,
        "Software\\Microsoft\\Windows Messaging "
        "Subsystem\\Profiles\\Martin\\9207f3e0a3b11019908b08002b2a56c2",
        "001e6700", "C:\\Program Files\\Kestro\\Mail\\Martin.pst");
    masscheck::Snapshot source;
    masscheck::Snapshot before;
    std::map<std::string, std::string> templatesBefore;
    massWalk([&] {
        source = masscheck::snapshotMachine(oldPc());
        before = masscheck::snapshotMachine(newPc());
        templatesBefore = templates();
        masscheck::disconnectDrives(before, connectedLetters());
    });

    // NEWPC whole, against what the mass steps make of the source and of NEWPC before, with the
    // source's copy of the wizard's folder left out.
    const masscheck::MassPcs pcs = masscheck::demoMassPcs(source, before, newUser, network);
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
    EXPECT_NE(text.find("Refused : C:\\Program Files\\Kestro : in the wiz"), std::string::npos)
        << "the drive copy names the folder it left out";
    EXPECT_NE(text.find("Refused : C:\\io.sys : a start-up file"), std::string::npos)
        << "and the start-up file it refused";
}

// A SystemRoot that is no Windows folder of OLDPC steers nothing: neither its Program Files nor its
// own Windows folder lands in NEWPC's, no path in the registry is moved there, and the run warns.
void ConfinedWalkTest::hostileSystemRootWalk(const std::string& systemRoot, const std::string& logged)
{
    plant(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "SystemRoot", systemRoot);
    // A system folder planted where the SystemRoot points makes no Windows folder of it.
    plantFile("Program Files/SYSTEM/evil.dll", "a system of the source's making");
    plantFile("WINDOWS/SYSTEM/SHELL32.DLL", hostile::kPlanted);
    plantFile("WINDOWS/system32/evil32.dll", hostile::kPlanted);
    std::map<std::string, std::string> before;
    massWalk([&] { before = hostile::hostTree(newPc()); });
    // The wizard's own Office icons go to the installer folder whatever the source says, and the
    // personal folders file where the source's mail profile names it, as in every mass run.
    expectNothingPlanted(before, [](const std::string& path) {
        const std::string up = masscheck::upper(path);
        const std::string installer = "DRIVES/C/WINDOWS/INSTALLER";
        for (const char* icons : {"", "/{00010409-", "/{00040409-", "/{2DFE1608-"})
            if (up == installer || (*icons && up.rfind(installer + icons, 0) == 0))
                return true;
        const std::string outlook = "DRIVES/C/WINDOWS/APPLICATION DATA/MICROSOFT/OUTLOOK";
        return outlook.rfind(up, 0) == 0 || up.rfind(outlook + "/", 0) == 0;
    });
    for (const std::string& section : hostile::registryOutsideMirror())
        EXPECT_EQ(masscheck::upper(section).find("C:\\\\WINDOWS\\\\WINZIP"), std::string::npos) << section;
    EXPECT_NE(log().find("Refused : " + logged + " : not the source's Windows"), std::string::npos);
    EXPECT_NE(log().find("Refused : C:\\WINDOWS : into this PC's Windows folder"), std::string::npos)
        << "the drive copy names the Windows folder it left out";
}

TEST_F(ConfinedWalkTest, MassMigrationRefusesASystemRootBelowWhichTheSystemIsNot)
{
    hostileSystemRootWalk("C:\\Program Files", "C:\\Program Files");
}

TEST_F(ConfinedWalkTest, MassMigrationRefusesADriveRootAsSystemRoot)
{
    hostileSystemRootWalk("C:\\", "C:\\");
}

// OLDPC's plain folders that bear names NEWPC gives its own as short names: nothing of them reaches
// what those names stand for here, and no second entry of that name is made beside it.
TEST_F(ConfinedWalkTest, MassMigrationRefusesSourceNamesThatAreShortNamesHere)
{
    // NEWPC's own profiles of those names, which the short names stand for here.
    const fs::path c = platform::driveFolder(newPc(), 'C');
    hostile::putHost(
        c / "Documents and Settings/Default User/Start Menu/Programs/Startup/own.lnk", "NEWPC's own");
    hostile::putHost(c / "Documents and Settings/All Users/Desktop/own.lnk", "NEWPC's own");
    plantFile("WINDOWS/Profiles/DEFAUL~1/Start Menu/Programs/Startup/h3evil.bat", hostile::kPlanted);
    plantFile("WINDOWS/Profiles/ALLUSE~1/Desktop/own.lnk", hostile::kPlanted);
    plantFile("PROGRA~1/Kestro/WKXFiles/Kestro.wkx", hostile::kPlanted);
    plantFile("DOCUME~1/Default User/Start Menu/Programs/Startup/h3evil.bat", hostile::kPlanted);
    std::map<std::string, std::string> before;
    massWalk([&] { before = hostile::hostTree(newPc()); });
    // The drive copy takes the 98 profiles' folders as they are named below NEWPC's own Windows
    // folder, which has no profiles of its own: there they are plain names.
    for (const auto& [path, what] : hostile::hostTree(newPc()))
        if (path.rfind("drives/C/WINDOWS/Profiles/", 0) != 0)
            EXPECT_EQ(what.find(hostile::kPlanted), std::string::npos) << path;
    for (const char* beside :
        {"PROGRA~1", "DOCUME~1", "Documents and Settings/DEFAUL~1", "Documents and Settings/ALLUSE~1"})
        EXPECT_FALSE(fs::exists(c / beside)) << "a second entry under a short name: " << beside;
    const std::string text = log();
    for (const char* refused :
        {"Refused : C:\\PROGRA~1 : the short name of", "Refused : C:\\DOCUME~1 : the short name of",
            "Profiles\\DEFAUL~1 : the short", "Profiles\\ALLUSE~1 : the short"})
        EXPECT_NE(text.find(refused), std::string::npos) << refused;
}

// Source values naming Startup and Tasks folders, and a ticked folder whose plain name is NEWPC's
// short name for its profiles folder: nothing lands where NEWPC starts programs, each item fails.
TEST_F(ConfinedWalkTest, SourceValuesAimedAtStartupTasksAndShortNamesFailTheirItems)
{
    const std::string windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    const std::string allStartup = "Documents and Settings/All Users/Start Menu/Programs/Startup";
    const std::string userStartup = "Documents and Settings/" + newUser + "/Start Menu/Programs/Startup";
    plant(RegRoot::LocalMachine, windows + "App Paths\\WINZIP32.EXE", "Path",
        "C:\\DOCUME~1\\All Users\\Start Menu\\Programs\\Startup");
    plant(RegRoot::LocalMachine, windows + "App Paths\\AcroRd32.exe", "Path", "C:\\WINDOWS\\Tasks");
    plant(RegRoot::LocalMachine, windows + "Uninstall\\HomeTax2003", "InstallLocation",
        "C:\\Documents and Settings\\" + newUser + "\\Start Menu\\Programs\\StartUp");
    plantFile(allStartup + "/h3evil.bat", hostile::kPlanted);
    plantFile(userStartup + "/h3evil.bat", hostile::kPlanted);
    plantFile("DOCUME~1/All Users/Start Menu/Programs/Startup/h3evil.bat", hostile::kPlanted);
    plantFile("WINDOWS/Tasks/h3evil.job", hostile::kPlanted);
    plantFile("DOCUME~1/Default User/Start Menu/Programs/Startup/h3evil.bat", hostile::kPlanted);
    plantFile("DOCUME~1/" + newUser + "/My Documents/thesis.txt", hostile::kPlanted);

    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    for (const char* node : {"Supported Applications\\WinZip", "Supported Applications\\Adobe Acrobat",
             "Unsupported Applications\\Home Tax Helper 2003"})
        tick(sourceTree(w), std::string("My Computer\\") + node);
    open(sourceTree(w), "My Computer\\Files and Folders\\C:");
    tick(sourceTree(w), "My Computer\\Files and Folders\\C:\\DOCUME~1");
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    const auto before = hostile::hostTree(newPc());
    user.shown.clear();
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    expectNothingPlanted(before);
    ASSERT_FALSE(user.shown.empty());
    EXPECT_EQ(user.shown.back().rfind("Migration completed: ", 0), 0u) << user.shown.back();
    const std::map<std::string, std::string> spelled = {{"WinZip", " : a Startup folder or a folder in one"},
        {"Adobe Acrobat", "Refused : C:\\WINDOWS\\Tasks : the Tasks folder"},
        {"Home Tax Helper 2003", " : a Startup folder or a folder in one"},
        {"C:\\DOCUME~1", "\\DOCUME~1 : the short name of \"Documents and Settings\" here"}};
    for (const auto& [name, text] : spelled) {
        const std::string row = reportRow(w, name);
        EXPECT_EQ(row.rfind("Failed ", 0), 0u) << name << ": " << row;
        EXPECT_NE(row.find(text), std::string::npos) << name << ": " << row;
    }
}

} // namespace
