// RespelledKeysWalkTest.cpp: a mass migration from an OLDPC whose own Microsoft, Clients and
// Policies keys are spelled in other letters ("MICROSOFT", "clients", "POLICIES"), each holding a
// program to start, a client command, a policy, certificates and installer data, walked through
// the main window: the registry compares key names without regard to case, so none of them may
// reach the keys NEWPC keeps for itself; NEWPC is compared whole and the log names each spelling.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "tests/wizard/integration/HostileSource.h"
#include "tests/wizard/integration/MassDestinationCheck.h"

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::RegRoot;
using platform::WinError;

class RespelledKeysWalkTest : public testsupport::DemoWalk {
protected:
    void SetUp() override
    {
        ::alarm(300);
        DemoWalk::SetUp();
        ASSERT_EQ(source.open(network / demo::kSourcePc98 / "registry.db"), WinError::Success);
    }
    void TearDown() override
    {
        source.close();
        DemoWalk::TearDown();
        ::alarm(0);
    }
    // Gives OLDPC's key `path` (below the root named `rootName`) the spelling `spelled`, every
    // sub-key and value kept.
    void respell(
        RegRoot root, const std::string& rootName, const std::string& path, const std::string& spelled)
    {
        std::string text;
        ASSERT_EQ(
            platform::exportRegText(source, rootName + "\\" + path, platform::RegFileFormat::Regedit4, text),
            WinError::Success);
        ASSERT_EQ(source.deleteTree(platform::RegKey(root), path), WinError::Success);
        const std::string from = "[" + rootName + "\\" + path;
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
            text.replace(at, from.size(), "[" + rootName + "\\" + spelled);
        platform::RegFileMergeReport report;
        ASSERT_EQ(platform::mergeRegText(source, text, report), WinError::Success);
    }
    void plant(RegRoot root, const std::string& key, const char* name, const char* data)
    {
        platform::RegKey k;
        ASSERT_EQ(source.createKey(platform::RegKey(root), key, k), WinError::Success) << key;
        ASSERT_EQ(source.setString(k, name, data), WinError::Success);
    }
    static std::string log()
    {
        std::string text;
        platform::RunningMachine::current()->files().readFile(
            std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", text);
        return text;
    }
    platform::Registry source;
};

TEST_F(RespelledKeysWalkTest, TheSourcesRespelledOwnKeysNeverReachNewPcsOwn)
{
    respell(RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft", "SOFTWARE\\MICROSOFT");
    respell(RegRoot::CurrentUser, "HKEY_CURRENT_USER", "Software\\Microsoft", "Software\\MICROSOFT");
    plant(RegRoot::LocalMachine, "SOFTWARE\\MICROSOFT\\Windows\\CurrentVersion\\Run", "H3Upper",
        "C:\\evil2.exe");
    plant(RegRoot::LocalMachine, "SOFTWARE\\clients\\Mail\\Evil Mail\\shell\\open\\command", "",
        "C:\\evil4.exe");
    plant(RegRoot::LocalMachine, "SOFTWARE\\POLICIES\\Microsoft\\Windows\\System", "Shell", "C:\\evil5.exe");
    plant(RegRoot::CurrentUser, "Software\\MICROSOFT\\Windows\\CurrentVersion\\Run", "P7UserRun",
        "C:\\evil3.exe");
    plant(RegRoot::CurrentUser, "Software\\MICROSOFT\\SystemCertificates\\Root\\Certificates\\EVIL", "Blob",
        "evil certificate");
    plant(RegRoot::CurrentUser, "Software\\MICROSOFT\\Installer\\Products\\EVIL", "ProductName",
        "evil installer");
    source.close();

    wizard::KestroMain* w = walkToMassPage();
    ASSERT_NE(w, nullptr);
    const masscheck::Snapshot oldPc = masscheck::snapshotMachine(network / demo::kSourcePc98);
    masscheck::Snapshot before = masscheck::snapshotMachine(network / demo::kDestinationPc);
    masscheck::disconnectDrives(before, connectedLetters());
    w->findChild<QPushButton*>("Btn_Migrate")->click();

    // NEWPC whole, against what the mass steps make of the source and of NEWPC before.
    const masscheck::MassPcs pcs = masscheck::demoMassPcs(
        oldPc, before, platform::RunningMachine::current()->config().userName, network);
    const masscheck::Differences d = masscheck::compare(masscheck::expectMassMigration(pcs),
        masscheck::snapshotMachine(network / demo::kDestinationPc), [](const std::string& path) {
            return path == "C:\\PROGRAM FILES\\KESTRO\\KESTRO_LOG_FILE.TXT" ||
                path == "C:\\PROGRAM FILES\\KESTRO\\WKXFILES\\DEC_KESTRO.XML";
        });
    std::string lines;
    for (const std::string& line : d.lines)
        lines += line + "\n";
    EXPECT_TRUE(d.lines.empty()) << d.lines.size() << " differences:\n" << lines;
    // What the source planted lies only beside the user's own keys, never in NEWPC's.
    for (const std::string& section : hostile::registryOutsideMirror()) {
        if (section.find("evil") == std::string::npos)
            continue;
        const std::string header = masscheck::upper(section.substr(0, section.find(']')));
        const std::string user = "[HKEY_CURRENT_USER\\SOFTWARE\\MICROSOFT\\";
        EXPECT_TRUE(header.rfind(user + "WINDOWS\\CURRENTVERSION1\\", 0) == 0 ||
            header.rfind(user + "SYSTEMCERTIFICATES1\\", 0) == 0 ||
            header.rfind(user + "INSTALLER1\\", 0) == 0)
            << section;
    }
    EXPECT_EQ(destinationValue(
                  "Software\\Microsoft\\Windows\\CurrentVersion1\\Run", "P7UserRun", RegRoot::CurrentUser),
        "C:\\evil3.exe")
        << "the source user's settings go beside NEWPC's";

    // The log says, in the source's spelling, why each did not arrive where it was.
    const std::string text = log();
    for (const char* spelled : {"Passed over : MICROSOFT, this PC's own Microsoft",
             "Passed over : clients, this PC's own Clients", "Passed over : POLICIES, this PC's own Policies",
             "Moved aside as Windows\\CurrentVersion1, this PC's own : "
             "HKEY_CURRENT_USER\\Software\\MICROSOFT\\Windows\\CurrentVersion",
             "Moved aside as SystemCertificates1, this PC's own : "
             "HKEY_CURRENT_USER\\Software\\MICROSOFT\\SystemCertificates",
             "Moved aside as Installer1, this PC's own : HKEY_CURRENT_USER\\Software\\MICROSOFT\\Installer"})
        EXPECT_NE(text.find(spelled), std::string::npos) << spelled;
}

} // namespace
