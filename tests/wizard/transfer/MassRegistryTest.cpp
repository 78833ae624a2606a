// MassRegistryTest.cpp: the mass migration's registry files: rewriting rules, exports of the
// mirrored vendor keys, the current user's protected subtrees, checked imports and key deletion.
#include "wizard/transfer/MassRegistry.h"

#include "platform/RegFile.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/transfer/MassState.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace wizard::mass;
using platform::RegKey;
using platform::RegRoot;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

namespace {

const PathRewrite k98ToXp{"C:\\WINDOWS", "C:\\WINNT", true};

std::string rewritten(const std::string& text, const PathRewrite& paths = k98ToXp)
{
    return rewriteRegText(text, "", "", paths);
}

} // namespace

TEST(MassRewriteTest, MovesTheWindowsFolderAndItsSystemFolderOnly)
{
    EXPECT_EQ(rewritten("@=\"C:\\\\WINDOWS\\\\SYSTEM\\\\X.DLL\""), "@=\"C:\\\\WINNT\\\\SYSTEM32\\\\X.DLL\"");
    EXPECT_EQ(rewritten("@=\"C:\\\\WINDOWS\\\\SYSTEM\"\r\n"), "@=\"C:\\\\WINNT\\\\SYSTEM32\"\r\n");
    EXPECT_EQ(rewritten("@=\"C:\\\\WINDOWS\""), "@=\"C:\\\\WINNT\"");
    // Already 32-bit, another case, a file named like the folder, a System folder elsewhere.
    EXPECT_EQ(rewritten("C:\\\\WINDOWS\\\\SYSTEM32\\\\A.DLL"), "C:\\\\WINNT\\\\SYSTEM32\\\\A.DLL");
    EXPECT_EQ(rewritten("C:\\\\WINDOWS\\\\system\\\\a.dll"), "C:\\\\WINNT\\\\system\\\\a.dll");
    EXPECT_EQ(rewritten("C:\\\\WINDOWS\\\\SYSTEM.INI"), "C:\\\\WINNT\\\\SYSTEM.INI");
    EXPECT_EQ(rewritten("C:\\\\WINDOWS\\\\SYSTEMX\\\\A"), "C:\\\\WINNT\\\\SYSTEMX\\\\A");
    EXPECT_EQ(rewritten("C:\\\\APP\\\\SYSTEM\\\\A.DLL"), "C:\\\\APP\\\\SYSTEM\\\\A.DLL");
    // A folder that merely begins with the Windows folder's name is another folder.
    EXPECT_EQ(rewritten("C:\\\\WINDOWSAPPS\\\\A"), "C:\\\\WINDOWSAPPS\\\\A");
    // Rewriting again changes nothing more.
    const std::string once = rewritten("C:\\\\WINDOWS\\\\SYSTEM\\\\X.DLL");
    EXPECT_EQ(rewritten(once), once);
}

TEST(MassRewriteTest, SystemFolderKeepsItsNameUnlessA9xSourceMovesOntoNt)
{
    MassState s;
    s.sourceSystemRoot = "C:\\WINDOWS";
    s.destSystemRoot = "C:\\WINDOWS";
    s.sourceOsCode = "XP";
    s.destOsCode = "W98";
    const std::string text = "C:\\\\WINDOWS\\\\SYSTEM\\\\X.DLL";
    EXPECT_EQ(rewritten(text, pathRewriteFor(s)), text);
    s.sourceOsCode = "W98";
    EXPECT_EQ(rewritten(text, pathRewriteFor(s)), text) << "a 98 destination has no System32";
    s.sourceOsCode = "XP";
    s.destOsCode = "XP";
    EXPECT_EQ(rewritten(text, pathRewriteFor(s)), text) << "an XP source's System folder is its own";
    s.sourceOsCode = "ME";
    EXPECT_EQ(rewritten(text, pathRewriteFor(s)), "C:\\\\WINDOWS\\\\SYSTEM32\\\\X.DLL");
}

TEST(MassRewriteTest, AnEmptyRootOrFindChangesNoSeparator)
{
    const std::string text = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n"
                             "\"P\"=\"C:\\\\PROG\\\\A.EXE\"\r\n";
    EXPECT_EQ(rewriteRegText(text, "", "", {"", "C:\\WINNT", true}), text);
    EXPECT_EQ(rewriteRegText(text, "", "", {"C:\\WINDOWS", "", true}), text);
    EXPECT_EQ(rewriteRegText(text, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\", "[", {}),
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"P\"=\"C:\\\\PROG\\\\A.EXE\"\r\n");
}

class MassRegistryTest : public ::testing::Test {
protected:
    MassRegistryTest()
        : regedit(world.fileSystem())
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&regedit);
        massState() = MassState{"\\\\OLDPC", "C:\\WINDOWS", "C:\\WINDOWS", "W98", "XP", "Jo", "Ann"};
        world.fileSystem().makeSurePathExists("C:\\Program Files\\Kestro\\Temp\\");
    }
    ~MassRegistryTest() override
    {
        common::Service<platform::ProcessLauncher>::replace(m_previous);
        massState() = MassState{};
    }

    RegKey key(RegRoot root, const std::string& path)
    {
        RegKey k;
        world.registry().createKey(RegKey(root), path, k);
        return k;
    }
    std::string value(RegRoot root, const std::string& path, const std::string& name)
    {
        return Registry_Related_Functions::FN_Reg_Get_Value(root, path, name, "<none>");
    }
    std::string app(const std::string& relative) { return "Program Files/Kestro/" + relative; }

    TransferWorld world;
    transfertest::InProcessRegedit regedit;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

TEST_F(MassRegistryTest, VendorKeysExportedStrippedAndImportedToTheirPlace)
{
    const std::string soft = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    for (const char* vendor : {"Microsoft", "Clients", "Policies", "classes"})
        world.registry().setString(key(RegRoot::LocalMachine, soft + vendor), "Kept", "no");
    world.registry().setString(
        key(RegRoot::LocalMachine, soft + "Acme\\Tool"), "Dir", "C:\\WINDOWS\\SYSTEM\\T");
    world.registry().setString(key(RegRoot::LocalMachine, soft + "Intelligent"), "Low", "yes");
    const std::string cv = soft + "Microsoft\\Windows\\CurrentVersion\\";
    world.registry().setString(key(RegRoot::LocalMachine, cv + "App Paths\\T.EXE"), "", "C:\\T\\T.EXE");
    world.registry().setString(key(RegRoot::LocalMachine, cv + "Uninstall\\T"), "DisplayName", "Tool");

    ASSERT_TRUE(FN_Get_Sub_Keys("HKEY_LOCAL_MACHINE", "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_FALSE(fs::exists(world.hostNew(app("Temp/Microsoft.reg"))));
    EXPECT_FALSE(fs::exists(world.hostNew(app("Temp/classes.reg"))));
    EXPECT_FALSE(fs::exists(world.hostNew(app("Temp/AppManagement.reg")))) << "a 98 source has none";
    EXPECT_TRUE(fs::exists(world.hostNew(app("Temp/AppPaths.reg"))));

    const std::string acme = world.readNew(app("Temp/Acme.reg"));
    EXPECT_NE(acme.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme\\Tool]"), std::string::npos) << acme;
    EXPECT_EQ(acme.find("QZ"), std::string::npos) << acme;
    EXPECT_NE(acme.find("C:\\\\WINDOWS\\\\SYSTEM32\\\\T"), std::string::npos) << acme;

    ASSERT_TRUE(FN_Import_Registry(""));
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Acme\\Tool", "Dir"), "C:\\WINDOWS\\SYSTEM32\\T");
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Intelligent", "Low"), "yes");
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\T",
                  "DisplayName"),
        "Tool");
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Clients", "Kept"), "<none>");
    // An XP source without App Management still has its App Paths and Uninstall moved.
    massState().sourceOsCode = "XP";
    fs::remove(world.hostNew(app("Temp/Uninstall.reg")));
    ASSERT_TRUE(FN_Get_Sub_Keys("HKEY_LOCAL_MACHINE", "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_TRUE(fs::exists(world.hostNew(app("Temp/Uninstall.reg"))));
    EXPECT_TRUE(world.logged("FN_Get_Sub_Keys", "Not found : App Management"));
}

// The registry compares key names without regard to case: a source's key of this PC's own in
// another spelling is this PC's own key, passed over and logged as the source spells it.
TEST_F(MassRegistryTest, ThisPcsOwnVendorKeysArePassedOverInAnySpelling)
{
    const std::string soft = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    world.registry().setString(key(RegRoot::LocalMachine, soft + "Acme"), "V", "1");
    for (const std::string spelling : {"MICROSOFT", "microsoft", "CLIENTS", "clients", "intel", "Intel",
             "POLICIES", "policies", "CLASSES"}) {
        SCOPED_TRACE(spelling);
        world.registry().setString(
            key(RegRoot::LocalMachine, soft + spelling + "\\Windows\\CurrentVersion\\Run"), "Planted",
            "C:\\evil.exe");
        ASSERT_TRUE(FN_Get_Sub_Keys("HKEY_LOCAL_MACHINE", "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE"));
        EXPECT_FALSE(fs::exists(world.hostNew(app("Temp/" + spelling + ".reg"))));
        EXPECT_TRUE(world.logged("FN_Get_Sub_Keys", "Passed over : " + spelling + ", this PC's own "));
        ASSERT_TRUE(FN_Import_Registry(""));
        EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\" + spelling + "\\Windows\\CurrentVersion\\Run",
                      "Planted"),
            "<none>");
        world.registry().deleteTree(RegKey(RegRoot::LocalMachine), soft + spelling);
    }
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Acme", "V"), "1");
    EXPECT_FALSE(world.logged("FN_Get_Sub_Keys", "Passed over : Acme"));
}

TEST_F(MassRegistryTest, AKeyWithoutSubKeysOrAMissingExportIsAFailure)
{
    EXPECT_FALSE(FN_Get_Sub_Keys("HKEY_LOCAL_MACHINE", "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_FALSE(FN_Get_Sub_Keys("HKEY_NOWHERE", "SOFTWARE"));
    // The source's class export never arrived: nothing is made up in its place.
    EXPECT_TRUE(FN_ClsRoot_Process("tempreg\\HKCR.reg"));
    EXPECT_FALSE(fs::exists(world.hostNew(app("tempreg/HKCR.reg"))));
    EXPECT_TRUE(world.logged("FN_Sys_Path_Change_Err", ""));
    EXPECT_TRUE(FN_Import_Registry("tempreg\\HKCR.reg")) << "the later steps still run";
    EXPECT_TRUE(world.logged("FN_Import_Registry", "Not found : "));
}

TEST_F(MassRegistryTest, TheWayOutDuringTheExportsIsLoggedAsSuchNotAsAFailure)
{
    world.registry().setString(
        key(RegRoot::LocalMachine, "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Acme"), "V", "1");
    requestProgramEnd(0);
    EXPECT_FALSE(FN_Get_Sub_Keys("HKEY_LOCAL_MACHINE", "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_FALSE(FN_Export_Registry("Temp\\HKCU.reg", "HKEY_CURRENT_USER"));
    resetProgramEnd();
    EXPECT_TRUE(world.logged("FN_Get_Sub_Keys", "Cut short : Acme : the wizard was ended"));
    EXPECT_TRUE(world.logged("FN_Export_Registry", "Cut short : HKEY_CURRENT_USER : the wizard was ended"));
    EXPECT_FALSE(world.logged("FN_Get_Sub_Keys_Err", ""));
    EXPECT_FALSE(world.logged("FN_Export_Registry_Err", ""));
}

TEST_F(MassRegistryTest, CurrentUserKeepsTheDestinationsOwnSubtrees)
{
    const std::string user = "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\";
    world.registry().setString(key(RegRoot::LocalMachine, user + "Acme"), "Color", "red");
    world.registry().setString(
        key(RegRoot::LocalMachine, user + "Microsoft\\Windows\\CurrentVersion\\Explorer"), "Shell", "src");
    world.registry().setString(
        key(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"), "Shell", "dest");

    ASSERT_TRUE(FN_Export_Registry(
        "temp\\HKCU_Local.Reg", "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software"));
    ASSERT_TRUE(FN_Cur_User_Process("temp\\HKCU_Local.Reg"));
    ASSERT_TRUE(FN_Import_Registry("temp\\HKCU_Local.Reg"));
    EXPECT_EQ(value(RegRoot::CurrentUser, "Software\\Acme", "Color"), "red");
    EXPECT_EQ(value(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "Shell"),
        "dest");
    EXPECT_EQ(value(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion1\\Explorer", "Shell"),
        "src");
}

// The source user's own keys in another spelling still go aside, the rest of each header as the
// source spells it, and the log names the spelling.
TEST_F(MassRegistryTest, CurrentUserKeepsTheDestinationsOwnSubtreesInAnySpelling)
{
    const std::string mirror = "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\MICROSOFT\\";
    world.registry().setString(
        key(RegRoot::LocalMachine, mirror + "windows\\CURRENTVERSION\\Run"), "P7", "C:\\evil3.exe");
    world.registry().setString(
        key(RegRoot::LocalMachine, mirror + "SYSTEMCERTIFICATES\\My\\Evil"), "Blob", "c");
    world.registry().setString(key(RegRoot::LocalMachine, mirror + "installer\\Products\\Evil"), "Name", "i");
    world.registry().setString(
        key(RegRoot::LocalMachine, mirror + "Internet Explorer\\Main"), "Start", "src");

    ASSERT_TRUE(FN_Export_Registry(
        "temp\\HKCU_Local.Reg", "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software"));
    ASSERT_TRUE(FN_Cur_User_Process("temp\\HKCU_Local.Reg"));
    const std::string text = world.readNew(app("Temp/HKCU_Local.Reg"));
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion1\\Run]"),
        std::string::npos)
        << text;
    ASSERT_TRUE(FN_Import_Registry("temp\\HKCU_Local.Reg"));
    const std::string own = "Software\\Microsoft\\";
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "Windows\\CurrentVersion\\Run", "P7"), "<none>");
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "SystemCertificates\\My\\Evil", "Blob"), "<none>");
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "Installer\\Products\\Evil", "Name"), "<none>");
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "Windows\\CurrentVersion1\\Run", "P7"), "C:\\evil3.exe");
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "SystemCertificates1\\My\\Evil", "Blob"), "c");
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "Installer1\\Products\\Evil", "Name"), "i");
    EXPECT_EQ(value(RegRoot::CurrentUser, own + "Internet Explorer\\Main", "Start"), "src");
    for (const char* spelled : {"Moved aside as SystemCertificates1, this PC's own : "
                                "HKEY_CURRENT_USER\\Software\\MICROSOFT\\SYSTEMCERTIFICATES",
             "Moved aside as Windows\\CurrentVersion1, this PC's own : "
             "HKEY_CURRENT_USER\\Software\\MICROSOFT\\windows\\CURRENTVERSION",
             "Moved aside as Installer1, this PC's own : HKEY_CURRENT_USER\\Software\\MICROSOFT\\installer"})
        EXPECT_TRUE(world.logged("FN_Cur_User_Process", spelled)) << spelled;
}

TEST_F(MassRegistryTest, ImportsOnlyRegistryFilesAndPassesOverMalformedLines)
{
    world.putNew(app("Temp/Good.reg"),
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Good]\r\n\"A\"=\"1\"\r\n"
        "this is no line of a registry file\r\n\"B\"=\"2\"\r\n");
    world.putNew(app("Temp/Junk.reg"), "not a registry file\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Junk]\r\n");
    world.putNew(app("Temp/hkcr.reg"), "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\Hkcr]\r\n\"A\"=\"1\"\r\n");
    world.putNew(
        app("Temp/Planted.reg"), "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Planted]\r\n\"A\"=\"1\"\r\n");
    // Files this run wrote (its rewrite steps rewrite them in place) are its own; no other is.
    for (const char* name : {"Good.reg", "Junk.reg", "hkcr.reg", "Planted.reg"})
        ASSERT_TRUE(FN_Sys_Path_Change("C:\\Program Files\\Kestro\\Temp\\" + std::string(name),
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\", "["));
    world.putNew(
        app("Temp/Planted.reg"), "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Planted]\r\n\"B\"=\"2\"\r\n");
    world.putNew(
        app("Temp/Arrived.reg"), "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Arrived]\r\n\"A\"=\"1\"\r\n");

    EXPECT_FALSE(FN_Import_Registry("")) << "the file that is no registry file is reported";
    for (const char* key : {"SOFTWARE\\Planted", "SOFTWARE\\Arrived"})
        EXPECT_EQ(
            value(RegRoot::LocalMachine, key, "A") + value(RegRoot::LocalMachine, key, "B"), "<none><none>")
            << key << ": changed after this run wrote it, or never written by it";
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Good", "A"), "1");
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Good", "B"), "2");
    EXPECT_TRUE(world.logged("FN_Import_Registry", "Passed over : "));
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Junk", ""), "<none>");
    EXPECT_EQ(value(RegRoot::ClassesRoot, "Hkcr", "A"), "<none>");
    EXPECT_TRUE(FN_Import_Registry("Temp\\hkcr.reg")) << "named, the file is imported";
    EXPECT_EQ(value(RegRoot::ClassesRoot, "Hkcr", "A"), "1");
}

TEST_F(MassRegistryTest, KeyDeletionIsImportedAndItsFileRemoved)
{
    const std::string product = "SOFTWARE\\Classes\\Installer\\Products\\904010001E872D116BF00006799C897E";
    world.registry().setString(key(RegRoot::LocalMachine, product), "ProductName", "Office");
    EXPECT_TRUE(FN_DEL_REGKEY("HKEY_CLASSES_ROOT\\Installer\\Products\\904010001E872D116BF00006799C897E"));
    EXPECT_EQ(value(RegRoot::LocalMachine, product, "ProductName"), "<none>");
    EXPECT_FALSE(fs::exists(world.hostNew(app("Mass.Reg"))));

    EXPECT_TRUE(world.logged("FN_DEL_REGKEY", "End"));
    EXPECT_FALSE(world.logged("FN_DEL_REGKEY_Err", ""));
}

TEST_F(MassRegistryTest, OfficeTemplateFollowsTheDestinationAndItsProgram)
{
    world.putNew(app("REGFILES/MICROSOFT PROJECT 2000_XP.reg"),
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\ProjectXp]\r\n\"A\"=\"1\"\r\n");
    world.putNew(app("RegFiles/Microsoft Project.reg"),
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Project2k]\r\n\"A\"=\"1\"\r\n");
    EXPECT_TRUE(FN_MS_APP("RegFiles\\Microsoft Project.reg", "WinProj.exe"));
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\ProjectXp", "A"), "<none>")
        << "no program, no template";

    world.putNew("Program Files/Microsoft Office/Office/WinProj.exe", "MZ");
    EXPECT_TRUE(FN_MS_APP("RegFiles\\Microsoft Project.reg", "WinProj.exe"));
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\ProjectXp", "A"), "1");
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\Project2k", "A"), "<none>");

    world.putNew(app("RegFiles/kestro_xp.reg"),
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KestroXp]\r\n\"A\"=\"1\"\r\n");
    EXPECT_TRUE(FN_MS_APP("x", "all"));
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\KestroXp", "A"), "<none>") << "\"all\" names a program";
    EXPECT_TRUE(FN_MS_APP("x", "ALL"));
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\KestroXp", "A"), "1");
}

// The editor rejecting one file: it ends with a failure and merges nothing of it.
class RejectingRegedit : public transfertest::InProcessRegedit {
public:
    using InProcessRegedit::InProcessRegedit;
    platform::WinError start(const std::string& commandLine, const platform::StartOptions& options,
        platform::Process& out) override
    {
        if (commandLine.find(rejected) == std::string::npos)
            return InProcessRegedit::start(commandLine, options, out);
        commandLines.push_back(commandLine);
        out = platform::Process::finished(1);
        return platform::WinError::Success;
    }
    std::string rejected;
};

TEST_F(MassRegistryTest, EachTemplateIsMergedAtItsOwnStepAndARejectedOneOnce)
{
    const std::string office = "C:\\Program Files\\Kestro\\REGFILES\\MICROSOFT ";
    for (const char* name : {"WORD", "EXCEL"}) {
        world.putNew(app("REGFILES/MICROSOFT " + std::string(name) + " 2000_XP.reg"),
            "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\" + std::string(name) + "]\r\n\"A\"=\"1\"\r\n");
    }
    world.putNew(app("RegFiles/kestro_xp.reg"),
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KestroXp]\r\n\"A\"=\"1\"\r\n");
    world.putNew("Program Files/Microsoft Office/Office/winWord.exe", "MZ");
    world.putNew("Program Files/Microsoft Office/Office/Excel.exe", "MZ");
    RejectingRegedit rejecting(world.fileSystem());
    rejecting.rejected = office + "EXCEL 2000_XP.reg";
    common::Service<platform::ProcessLauncher>::replace(&rejecting);
    EXPECT_TRUE(FN_MS_APP("RegFiles\\Microsoft Word.Reg", "winWord.exe"));
    EXPECT_EQ(rejecting.commandLines.size(), 1u) << "merged at its own step";
    EXPECT_TRUE(FN_MS_APP("RegFiles\\Microsoft Excel.Reg", "Excel.exe"));
    EXPECT_TRUE(FN_MS_APP("x", "ALL"));
    common::Service<platform::ProcessLauncher>::replace(&regedit);
    EXPECT_EQ(rejecting.commandLines,
        (std::vector<std::string>{"regedit.exe /s \"" + office + "WORD 2000_XP.reg\"",
            "regedit.exe /s \"" + rejecting.rejected + "\"",
            "regedit.exe /s \"C:\\Program Files\\Kestro\\RegFiles\\kestro_xp.reg\""}))
        << "one run a file, none again";
    for (const char* merged : {"SOFTWARE\\WORD", "SOFTWARE\\KestroXp"})
        EXPECT_EQ(value(RegRoot::LocalMachine, merged, "A"), "1") << merged;
    EXPECT_EQ(value(RegRoot::LocalMachine, "SOFTWARE\\EXCEL", "A"), "<none>");
    std::vector<std::string> failures;
    for (const auto& [process, status] : world.log)
        if (process.find("_Err") != std::string::npos || status.rfind("Failed : ", 0) == 0)
            failures.push_back(process + " " + status);
    EXPECT_EQ(failures,
        (std::vector<std::string>{"ImportRegistry : " + rejecting.rejected + " Failed : regedit.exe /s \"" +
                rejecting.rejected + "\"",
            "FN_Import_Registry_Err Import failed : " + rejecting.rejected}));
}

TEST(MassTemplatesTest, EveryShippedTemplateIsAWholeRegistryFile)
{
    const fs::path folder = fs::path(KESTRO_DATA_DIR) / "RegFiles";
    std::vector<std::string> names = {
        "classroot.reg", "kestro.reg", "Classroot_xp.reg", "installer_xp.reg", "kestro_xp.reg"};
    for (const char* office : {"Microsoft Access.Reg", "Microsoft Excel.Reg", "Microsoft OutLook.Reg",
             "Microsoft PowerPoint.Reg", "Microsoft Word.Reg", "Microsoft Project.reg",
             "Microsoft publisher.reg", "Microsoft FrontPage.reg"}) {
        std::string xp = office;
        xp.replace(xp.size() - 4, 4, " 2000_XP.reg");
        names.push_back(office);
        names.push_back(xp);
    }
    for (const std::string& name : names) {
        const std::string text = TransferWorld::read(folder / name);
        ASSERT_FALSE(text.empty()) << name;
        platform::RegFileMergeReport report;
        EXPECT_EQ(platform::checkRegText(text, report), platform::WinError::Success) << name;
        EXPECT_TRUE(report.warnings.empty()) << name << ": " << report.warnings.front().text;
        EXPECT_GT(report.keysOpened, 0u) << name;
    }
}