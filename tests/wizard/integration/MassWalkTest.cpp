// MassWalkTest.cpp: a mass migration walked through the main window on the demo network, from the
// migration-type page to the status page and the restart, from OLDPC (Windows 98) and from OLDXP
// (Windows XP) onto NEWPC; then NEWPC holds the source's drives and registry as the mass steps
// rewrite them, checked whole: every file, folder, key and value of NEWPC against what the steps'
// rules make of the source and of NEWPC as it was just before Migrate.
#include "tests/support/platform/CountingEventPump.h"
#include "tests/wizard/integration/DemoWalk.h"
#include "tests/wizard/integration/EditorSpy.h"

#include "platform/EventLog.h"
#include "platform/qt/QtHelpViewer.h"
#include "tests/support/platform/RecordingHelpService.h"
#include "tests/wizard/integration/MassDestinationCheck.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/ui/pages/MassPage.h"

#include "platform/MachineConfig.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QtTest/QTest>

#include <cstring>
#include <fstream>
#include <utility>

namespace {

class MassWalkTest : public testsupport::DemoWalk {
protected:
    // From the agreement through the hand-over with a mass migration chosen; ends on the status page.
    void walkToMassPage(wizard::KestroMain* w, const char* osOption, const char* source, const char* pc,
        const char* logon = "", const char* password = "")
    {
        walkToConnectionPage(w, osOption, true);
        fillConnection(w, pc, logon, password);
        user.steps = {{platform::MsgResult::Ok, runBatchOn(source)}};
        next(w);
        ASSERT_EQ(activeForm(w), "Frm_Mass");
    }
    bool ticked(wizard::KestroMain* w, const char* box)
    {
        return control<QCheckBox>(w, "Frm_Mass", box)->isChecked();
    }
    static bool onNewPc(const std::string& path)
    {
        return platform::RunningMachine::current()->files().fileExists(path);
    }
    // A file's bytes on NEWPC; "<missing>" when it cannot be read.
    static std::string newPcBytes(const std::string& path)
    {
        std::string bytes;
        return platform::RunningMachine::current()->files().readFile(path, bytes) == platform::FsError::None
            ? bytes
            : "<missing>";
    }
    static bool folderOnNewPc(const std::string& path)
    {
        return platform::RunningMachine::current()->files().folderExists(path);
    }
    bool restartRecorded()
    {
        for (const platform::MachineEvent& e : platform::readMachineEvents(network / demo::kDestinationPc))
            if (e.kind == "restart")
                return true;
        return false;
    }
    static std::string userValue(const std::string& key, const std::string& name)
    {
        return destinationValue(key, name, platform::RegRoot::CurrentUser);
    }
    static void setUserValue(const std::string& key, const std::string& name, const std::string& value)
    {
        platform::Registry& reg = platform::RunningMachine::current()->registry();
        platform::RegKey k;
        reg.createKey(platform::RegKey(platform::RegRoot::CurrentUser), key, k);
        reg.setString(k, name, value);
    }
    // The registry rewritten onto NEWPC: the source's uninstall entry and current user's settings
    // arrive, NEWPC's own shell folders stay and the source's go beside them.
    void expectRegistryMoved(const std::string& uninstallKey, const std::string& displayName)
    {
        // The source user's favourites in NEWPC's user's profile.
        const std::string destUser = platform::RunningMachine::current()->config().userName;
        EXPECT_TRUE(
            onNewPc("C:\\Documents and Settings\\" + destUser + "\\Favorites\\Example Home Page.url"));
        const std::string uninstall =
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + uninstallKey;
        EXPECT_EQ(destinationValue(uninstall, "DisplayName"), displayName);
        EXPECT_EQ(userValue(kIeMain, "Start Page"), "http://www.example.com/");
        EXPECT_EQ(userValue(kShellFolders, "Personal"), m_ownPersonal) << "NEWPC's own shell folders stay";
        EXPECT_NE(userValue(kShellFolders1, "Personal"), "<no key>");
        EXPECT_FALSE(destinationKeyExists("SOFTWARE\\QZ")) << "the mirror is removed at the end";
    }
    // Before Migrate: what the migration must change is not there yet.
    void markDestination(const std::string& uninstallKey)
    {
        EXPECT_FALSE(
            destinationKeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + uninstallKey));
        setUserValue(kIeMain, "Start Page", "about:blank");
        m_ownPersonal = userValue(kShellFolders, "Personal");
    }

    static constexpr const char* kIeMain = "Software\\Microsoft\\Internet Explorer\\Main";
    static constexpr const char* kShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    static constexpr const char* kShellFolders1 =
        "Software\\Microsoft\\Windows\\CurrentVersion1\\Explorer\\Shell Folders";
    std::string m_ownPersonal;

    // Puts files on a PC of the demo network as its user left them there: (Windows path, bytes).
    void putOn(const char* pc, const std::vector<std::pair<std::string, std::string>>& files)
    {
        for (const auto& [path, bytes] : files) {
            std::filesystem::path host = platform::driveFolder(network / pc, path[0]);
            for (const char* at = path.c_str() + 3; *at;) {
                const char* end = std::strchr(at, '\\');
                host /= std::string(at, end ? end : at + std::strlen(at));
                at = end ? end + 1 : at + std::strlen(at);
            }
            std::filesystem::create_directories(host.parent_path());
            std::ofstream(host, std::ios::binary) << bytes;
        }
    }
    // NEWPC made again as a Windows 2000 PC (Windows folder C:\WINNT), the running machine.
    void useWindows2000NewPc()
    {
        platform::RunningMachine::close();
        demo::DemoOptions options;
        options.dataFolders = {KESTRO_SOURCE_DATA, KESTRO_BUILT_DATA};
        options.destinationOs = "win2k";
        std::string error;
        ASSERT_TRUE(demo::buildDestinationPc(network, options, error)) << error;
        ASSERT_EQ(platform::RunningMachine::use(network / demo::kDestinationPc), platform::WinError::Success);
    }
    // The source and NEWPC as they are just before Migrate (NEWPC without the wizard's connections).
    void snapshotBefore(const char* source)
    {
        m_source = masscheck::snapshotMachine(network / source);
        m_before = masscheck::snapshotMachine(network / demo::kDestinationPc);
        // The run ends the program, whose exit routine disconnects the source's drives.
        masscheck::disconnectDrives(m_before, connectedLetters());
    }
    // NEWPC after the run, file by file and value by value, against what the mass steps' rules make
    // of the source and of NEWPC before the run.
    void expectWholeDestination(std::vector<char> drives, const std::string& logonUser)
    {
        masscheck::MassPcs pcs;
        pcs.source = &m_source;
        pcs.destination = &m_before;
        pcs.copiedDrives = std::move(drives);
        pcs.appPath = demo::kWizardFolder;
        pcs.destUser = platform::RunningMachine::current()->config().userName;
        pcs.logonUser = logonUser;
        pcs.templates = std::filesystem::path(KESTRO_SOURCE_DATA) / "RegFiles";
        pcs.scratch = network / "scratch";
        std::filesystem::create_directories(pcs.scratch);
        const masscheck::Expectation expected = masscheck::expectMassMigration(pcs);
        const masscheck::Snapshot after = masscheck::snapshotMachine(network / demo::kDestinationPc);
        const masscheck::Differences d = masscheck::compare(expected, after, wizardBookkeeping);
        std::string lines;
        for (const std::string& line : d.lines)
            lines += line + "\n";
        EXPECT_TRUE(d.lines.empty()) << d.lines.size() << " differences:\n" << lines;
        EXPECT_GT(d.filesCompared, m_before.files.size()) << "the source's files are among those compared";
    }
    // What the wizard itself changes on NEWPC during any run, beyond what the mass steps are meant
    // to do (those are all in the expectation): upper-cased paths whose change is not compared.
    static bool wizardBookkeeping(const std::string& upperPath)
    {
        static const char* const kChanged[] = {
            // its log, appended to by every step
            "C:\\PROGRAM FILES\\KESTRO\\KESTRO_LOG_FILE.TXT",
            // the plain script unscrambled at start, removed when the wizard ends
            "C:\\PROGRAM FILES\\KESTRO\\WKXFILES\\DEC_KESTRO.XML",
        };
        for (const char* path : kChanged)
            if (upperPath == path)
                return true;
        return false;
    }
    masscheck::Snapshot m_source;
    masscheck::Snapshot m_before;

    // Migrate, answered OK at the last stage's restart question; the program then ends, having
    // said how the migration completed (successfully only when `whole`) and recorded the restart.
    void migrate(wizard::KestroMain* w, bool whole)
    {
        user.shown.clear();
        QPushButton* button = w->findChild<QPushButton*>("Btn_Migrate");
        ASSERT_TRUE(button->isVisible() || button->isEnabled());
        button->click();
        ASSERT_FALSE(user.shown.empty());
        EXPECT_EQ(user.shown.back(),
            whole ? "Mass Migration successfully completed. Click OK to restart the PC."
                  : wizard::kMassNotWholeMessage);
        EXPECT_TRUE(restartRecorded());
        for (const char* box : {"ChIndentify", "ChCopyfile", "ChUpdateReg"})
            EXPECT_TRUE(ticked(w, box)) << box;
        EXPECT_FALSE(ticked(w, "ChDskNet")); // a mass run migrates no such settings
    }
    std::string pageNotes(wizard::KestroMain* w)
    {
        return control<QLabel>(w, "Frm_Mass", "LblMassNotes")->text().toStdString();
    }
    static std::string log()
    {
        std::string text;
        platform::RunningMachine::current()->files().readFile(
            std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", text);
        return text;
    }
};

TEST_F(MassWalkTest, Win98SourceMovesOntoNewPcAndTheWizardRestartsIt)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "Opt98", demo::kSourcePc98, "OLDPC");
    EXPECT_FALSE(control<QFrame>(w, "Frm_Mass", "FraMassStatus")->isEnabled());
    EXPECT_FALSE(ticked(w, "ChIndentify"));
    markDestination("SolitairePlus");
    // What the copy leaves out, renames, puts a second time or replaces.
    putOn(demo::kSourcePc98,
        {{"C:\\pagefile.sys", "swap"}, {"C:\\WINDOWS\\DESKTOP.INI", "[.ShellClassInfo]"},
            {"D:\\System Volume Information\\tracking.log", "t"},
            {"C:\\My Documents\\Operating systems\\notes.txt", "kept though its folder says system"},
            {"D:\\Projects\\SystemTests\\run.bat", "echo run"},
            {"C:\\WINDOWS\\Profiles\\Anna\\Desktop\\Anna.txt", "Anna's own"},
            {"C:\\WINDOWS\\Profiles\\All Users\\Desktop\\Shared.txt", "not a user"},
            {"C:\\WINDOWS\\Start Menu\\Programs\\MS-DOS Prompt.pif", "pif"},
            {"C:\\WINDOWS\\Desktop\\Microsoft Outlook.lnk", "lnk"},
            {"C:\\WINDOWS\\Fonts\\OCR-A.TTF", "source's OCR-A"},
            {"C:\\WINDOWS\\Fonts\\arial.ttf", "source's arial"},
            {"C:\\WINDOWS\\Installer\\1a2b3c.msi", std::string(2332672, 'M')},
            {"C:\\WINDOWS\\Installer\\4d5e6f.msi", std::string(2233345, 'N')}});
    // Both PCs hold AUTOEXEC.BAT and a few same files, as nearly every pair of PCs does.
    const std::vector<std::pair<std::string, std::string>> onBoth = {{"C:\\AUTOEXEC.BAT", "@ECHO OFF"},
        {"C:\\My Documents\\Club\\Minutes.txt", "m"}, {"C:\\My Documents\\Club\\Rota.txt", "r"}};
    putOn(demo::kSourcePc98, onBoth);
    putOn(demo::kDestinationPc, onBoth);
    putOn(demo::kDestinationPc,
        {{"C:\\WINDOWS\\Fonts\\OCR-A.TTF", "NEWPC's OCR-A"},
            {"C:\\WINDOWS\\Fonts\\arial.ttf", "NEWPC's arial"},
            {"D:\\Projects\\Garden plan.txt", "NEWPC's plan"},
            {"C:\\WINDOWS\\Application Data\\Microsoft\\Outlook\\Martin.pst", "NEWPC's older mail"}});
    snapshotBefore(demo::kSourcePc98);

    // Only files NEWPC already had stayed behind, by the copy's own rule: the success box.
    migrate(w, true);
    // NEWPC's own files are held back and counted per folder, but not those of its Windows folder.
    EXPECT_NE(log().find("Not copied, this PC has its own : 1 file(s) in D:\\Projects"), std::string::npos);
    EXPECT_NE(log().find("Not copied, this PC has its own : 2 file(s) in C:\\My Documents\\Club"),
        std::string::npos);
    EXPECT_NE(log().find("Not copied, this PC has its own : 1 file(s) in C:\\ "), std::string::npos);
    EXPECT_EQ(log().find("Not copied, this PC has its own : C:\\WINDOWS"), std::string::npos);
    EXPECT_EQ(log().find("in C:\\WINDOWS"), std::string::npos);
    EXPECT_NE(pageNotes(w).find("Kept: 4 file(s) this PC already had"), std::string::npos) << pageNotes(w);
    EXPECT_EQ(pageNotes(w).find("Not copied"), std::string::npos) << pageNotes(w);

    // The source's drives, each onto the drive of its letter; NEWPC's own files stay.
    EXPECT_TRUE(onNewPc("C:\\My Documents\\My Pictures\\Holiday 2003.jpg"));
    EXPECT_TRUE(onNewPc("D:\\Projects\\Garden plan.txt"));
    EXPECT_TRUE(onNewPc("D:\\Projects\\Club members.csv"));
    EXPECT_TRUE(onNewPc("C:\\Program Files\\WinZip\\WINZIP32.EXE"));
    EXPECT_TRUE(onNewPc("C:\\WINDOWS\\Clouds.bmp"));
    EXPECT_FALSE(folderOnNewPc("C:\\WINDOWS\\SYSTEM")) << "an XP destination keeps its own system folders";
    EXPECT_FALSE(onNewPc("C:\\pagefile.sys"));
    EXPECT_FALSE(folderOnNewPc("D:\\System Volume Information"));
    EXPECT_TRUE(onNewPc("C:\\My Documents\\Operating systems\\notes.txt"));
    EXPECT_TRUE(onNewPc("D:\\Projects\\SystemTests\\run.bat"));
    EXPECT_EQ(newPcBytes("D:\\Projects\\Garden plan.txt"), "NEWPC's plan") << "no file is overwritten";
    EXPECT_EQ(newPcBytes("C:\\WINDOWS\\Application Data\\Microsoft\\Outlook\\Martin.pst"),
        "!BDNpersonal folders of Martin")
        << "but the mail profile's personal folders file";
    // The profiles below the Windows folder, but not its All Users, become profiles of their own.
    EXPECT_EQ(newPcBytes("C:\\Documents and Settings\\Anna\\Desktop\\Anna.txt"), "Anna's own");
    EXPECT_FALSE(onNewPc("C:\\Documents and Settings\\All Users\\Desktop\\Shared.txt"));
    EXPECT_FALSE(onNewPc("C:\\Documents and Settings\\All Users\\Desktop\\Microsoft Outlook.lnk"));
    EXPECT_FALSE(onNewPc("C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\MS-DOS Prompt.pif"));
    // The fonts of the list replace NEWPC's, the others do not; a cached package known by its
    // length comes a second time under its fixed name.
    EXPECT_EQ(newPcBytes("C:\\WINDOWS\\Fonts\\OCR-A.TTF"), "source's OCR-A");
    EXPECT_EQ(newPcBytes("C:\\WINDOWS\\Fonts\\arial.ttf"), "NEWPC's arial");
    EXPECT_EQ(newPcBytes("C:\\WINDOWS\\Installer\\data1.msi").size(), 2332672u);
    EXPECT_FALSE(onNewPc("C:\\WINDOWS\\Installer\\data2.msi")) << "one byte too long";
    expectRegistryMoved("SolitairePlus", "Solitaire Plus 2.1");
    // The vendor's key arrives with its System folder paths moved to System32; SYSTEM.INI stays.
    const std::string game = "SOFTWARE\\Card Games Ltd\\Solitaire Plus\\2.1";
    EXPECT_EQ(destinationValue(game, "HelpFile"), "C:\\WINDOWS\\SYSTEM32\\SOLPLUS.HLP");
    EXPECT_EQ(destinationValue(game, "Settings"), "C:\\WINDOWS\\SYSTEM.INI");
    EXPECT_EQ(destinationValue(game, "Greeting"), "Say \"hello\" to C:\\WINDOWS\\SYSTEM32\\");
    EXPECT_EQ(destinationValue(game, "C:\\WINDOWS\\SYSTEM32\\SOLPLUS.DLL"), "1") << "names are paths too";
    EXPECT_EQ(destinationValue(game, "Lower"), "c:\\windows\\system\\cards.dll") << "only the stored case";
    expectWholeDestination({'C', 'D'}, "");
}

TEST_F(MassWalkTest, XpSourceMovesOntoNewPcAndTheWizardRestartsIt)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "OptXP", demo::kSourcePcXp, "OLDXP", demo::kXpAdminUser, demo::kXpAdminPassword);
    markDestination("StarChart");
    const std::string sarah = "C:\\Documents and Settings\\Sarah\\";
    const std::string martin = "C:\\Documents and Settings\\Martin\\";
    putOn(demo::kSourcePcXp,
        {{"C:\\hiberfil.sys", "h"}, {"C:\\WINDOWS\\system32\\drivers\\new.sys", "the source's system"},
            {sarah + "Start Menu\\Programs\\Games\\Chess.lnk", "chess"},
            {sarah + "Favorites\\Example Home Page.url",
                "[InternetShortcut]\r\nURL=http://sarah.example.com/\r\n"},
            {sarah + "Desktop\\To do.txt", "Sarah's list"},
            {"C:\\WINDOWS\\Application Data\\Identities\\{0}\\id.txt", "identity"}});
    putOn(demo::kDestinationPc,
        {{martin + "Favorites\\Example Home Page.url", "NEWPC's link"},
            {martin + "Desktop\\To do.txt", "NEWPC's list"}});
    snapshotBefore(demo::kSourcePcXp);

    migrate(w, true); // NEWPC's own desktop file is kept by the profile copy's rule
    EXPECT_TRUE(onNewPc("C:\\Program Files\\Star Chart\\STARS.EXE"));
    EXPECT_TRUE(onNewPc("C:\\Documents and Settings\\Sarah\\My Documents\\Notes.txt"));
    // Sarah's Start menu and favourites replace Martin's, her desktop does not.
    EXPECT_EQ(newPcBytes(martin + "Start Menu\\Programs\\Games\\Chess.lnk"), "chess");
    EXPECT_NE(
        newPcBytes(martin + "Favorites\\Example Home Page.url").find("sarah.example.com"), std::string::npos);
    EXPECT_EQ(newPcBytes(martin + "Desktop\\To do.txt"), "NEWPC's list");
    EXPECT_EQ(newPcBytes(martin + "Local Settings\\Application Data\\Identities\\{0}\\id.txt"), "identity");
    EXPECT_FALSE(onNewPc("C:\\WINDOWS\\system32\\drivers\\new.sys"));
    EXPECT_FALSE(onNewPc("C:\\hiberfil.sys"));
    expectRegistryMoved("StarChart", "Star Chart Explorer 1.4");
    EXPECT_EQ(destinationValue("SOFTWARE\\Night Sky Software\\Star Chart", "Observatory"), "Greenwich");
    expectWholeDestination({'C'}, demo::kXpAdminUser);
}

// A file the copy cannot take (in use on the source) and one whose name Windows cannot hold: the
// warning box, and the log names both whole however long their paths are.
TEST_F(MassWalkTest, AFileThatFailsGivesTheWarningAndTheLogNamesItWhole)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "Opt98", demo::kSourcePc98, "OLDPC");
    const std::string folder =
        "C:\\My Documents\\Quarterly reports for the garden club of the village of Little Hampton\\";
    const std::string busy =
        folder + "Quarterly report for the garden club, spring and summer 2003 (final).txt";
    putOn(demo::kSourcePc98, {{busy, "in use"}, {folder + "What?.txt", "a name Windows cannot hold"}});
    putOn(demo::kDestinationPc, {{"C:\\AUTOEXEC.BAT", "@ECHO OFF"}});
    putOn(demo::kSourcePc98, {{"C:\\AUTOEXEC.BAT", "@ECHO OFF"}});
    const platform::FileLock lock =
        platform::RunningMachine::current()->files().lockFile("\\\\OLDPC\\C$" + busy.substr(2));
    ASSERT_TRUE(lock.isLocked());

    migrate(w, false);
    // Each path is longer than one record holds: the name and the reason after it are all there.
    const std::string failed = loggedWhole("spring and summer 2003 (final).txt : ");
    EXPECT_EQ(failed.rfind("Not copied : ", 0), 0u) << failed;
    EXPECT_NE(failed.find(busy.substr(2) + " : "), std::string::npos) << failed;
    const std::string leftOut = loggedWhole("Little Hampton\\What?.txt : ");
    EXPECT_EQ(leftOut.rfind("Not copied : " + folder, 0), 0u) << leftOut;
    EXPECT_NE(pageNotes(w).find("the log names each"), std::string::npos) << pageNotes(w);
}

// 26,000 files both PCs hold: they are counted per folder, so the log keeps the run's own first
// records (the hand-over) in its ring of 24,999.
TEST_F(MassWalkTest, ManyFilesBothPcsHoldLeaveTheRunsFirstRecordsInTheLog)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "Opt98", demo::kSourcePc98, "OLDPC");
    std::vector<std::pair<std::string, std::string>> same;
    for (int box = 0; box < 26; ++box)
        for (int file = 0; file < 1000; ++file)
            same.emplace_back(
                "D:\\Archive\\Box " + std::to_string(box) + "\\" + std::to_string(file) + ".txt", "");
    putOn(demo::kSourcePc98, same);
    putOn(demo::kDestinationPc, same);
    ASSERT_NE(log().find("Display_Msg_To_User"), std::string::npos);

    migrate(w, true);
    EXPECT_NE(log().find("Display_Msg_To_User"), std::string::npos) << "the hand-over's records are kept";
    EXPECT_NE(log().find("Not copied, this PC has its own : 1000 file(s) in D:\\Archive\\Box 25"),
        std::string::npos);
    EXPECT_NE(pageNotes(w).find("Kept: 26000 file(s)"), std::string::npos) << pageNotes(w);
}

// Cancel while the registry stage deletes the Office installer keys, answered Yes: the stage stops
// with the deletion under way; no further key deletion (nor any other editor run) starts.
TEST_F(MassWalkTest, YesToTheWayOutDuringTheRegistryStageStopsIt)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "Opt98", demo::kSourcePc98, "OLDPC");
    testsupport::EditorSpy editor;
    // The user clicks Cancel while the window waits for the first deletion.
    std::size_t startsAtTheAnswer = 0;
    editor.onStart = [&](const std::string& line) {
        if (line.find("Mass.Reg") != std::string::npos && startsAtTheAnswer == 0)
            startsAtTheAnswer = editor.starts.size();
    };
    testsupport::CountingEventPump pump;
    common::Service<platform::EventPump>::Override pumpScope{pump};
    bool clicked = false;
    pump.onYield = [&] {
        if (startsAtTheAnswer != 0 && !std::exchange(clicked, true))
            w->findChild<QPushButton*>("Cancel")->click();
    };
    user.shown.clear();
    user.steps = {{platform::MsgResult::Yes, {}}};
    w->findChild<QPushButton*>("Btn_Migrate")->click();

    ASSERT_GT(startsAtTheAnswer, 0u) << "the registry stage deleted a key";
    ASSERT_FALSE(user.shown.empty());
    EXPECT_EQ(user.shown.front(), "Are you sure you want to exit Kestro?");
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(editor.count("Mass.Reg"), 1u);
    EXPECT_EQ(editor.starts.size(), startsAtTheAnswer) << editor.starts.back();
    EXPECT_FALSE(restartRecorded());
}

// F1 right after the mass page appears opens the mass page's topic, wherever the focus was left.
TEST_F(MassWalkTest, HelpKeyOnTheMassPageOpensItsTopic)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "Opt98", demo::kSourcePc98, "OLDPC");
    testsupport::RecordingHelpService help;
    common::Service<platform::HelpService>::Override helpScope(help);
    platform::qt::installHelpKey(); // as the program's Qt services do
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : w, Qt::Key_F1);
    ASSERT_EQ(help.requests().size(), 1u);
    EXPECT_EQ(help.requests()[0].topicId, 60);
}

// Onto Windows 2000 the source's Windows folder takes NEWPC's name and its System folder arrives
// as System32, in the files and in the registry's paths; the Office templates go in their plain
// forms with the 2000 class-root and wizard templates.
TEST_F(MassWalkTest, Win98SourceOntoAWindows2000NewPcTakesItsFolderNames)
{
    useWindows2000NewPc();
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "Opt98", demo::kSourcePc98, "OLDPC");
    markDestination("SolitairePlus");
    snapshotBefore(demo::kSourcePc98);

    migrate(w, true);
    EXPECT_TRUE(pageNotes(w).empty()) << pageNotes(w);
    EXPECT_TRUE(onNewPc("C:\\WINNT\\Clouds.bmp"));
    EXPECT_TRUE(onNewPc("C:\\WINNT\\System32\\3D Text.scr"));
    EXPECT_FALSE(folderOnNewPc("C:\\WINDOWS"));
    const std::string game = "SOFTWARE\\Card Games Ltd\\Solitaire Plus\\2.1";
    EXPECT_EQ(destinationValue(game, "HelpFile"), "C:\\WINNT\\SYSTEM32\\SOLPLUS.HLP");
    EXPECT_EQ(destinationValue(game, "Settings"), "C:\\WINNT\\SYSTEM.INI");
    expectRegistryMoved("SolitairePlus", "Solitaire Plus 2.1");
    expectWholeDestination({'C', 'D'}, "");
}

// From Windows XP onto Windows 2000 the Windows folder takes NEWPC's name; the source's system32
// is not renamed and, as the destination is not XP, comes along without replacing NEWPC's files.
TEST_F(MassWalkTest, XpSourceOntoAWindows2000NewPcTakesItsFolderNames)
{
    useWindows2000NewPc();
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    walkToMassPage(w, "OptXP", demo::kSourcePcXp, "OLDXP", demo::kXpAdminUser, demo::kXpAdminPassword);
    markDestination("StarChart");
    snapshotBefore(demo::kSourcePcXp);

    migrate(w, true);
    EXPECT_TRUE(onNewPc("C:\\WINNT\\system32\\cacls.exe"));
    EXPECT_FALSE(folderOnNewPc("C:\\WINDOWS"));
    expectRegistryMoved("StarChart", "Star Chart Explorer 1.4");
    expectWholeDestination({'C'}, demo::kXpAdminUser);
}

} // namespace
