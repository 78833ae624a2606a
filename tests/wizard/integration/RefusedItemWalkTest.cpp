// RefusedItemWalkTest.cpp: items refused part way through, walked through the main window: a screen
// saver that is no screen saver (its Control.ini section would still be merged) and an Outlook whose
// store root names the system folder after its program files and shortcut were copied. NEWPC is
// compared whole before and after: nothing of either item stays.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/Registry.h"
#include "tests/wizard/integration/HostileSource.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QTreeWidget>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class RefusedItemWalkTest : public testsupport::DemoWalk {
protected:
    void SetUp() override
    {
        ::alarm(300);
        DemoWalk::SetUp();
    }
    void TearDown() override
    {
        DemoWalk::TearDown();
        ::alarm(0);
    }
    fs::path oldPc() const { return network / demo::kSourcePc98; }
    fs::path newPc() const { return network / demo::kDestinationPc; }
};

TEST_F(RefusedItemWalkTest, ARefusedItemLeavesNoValueFileOrShortcutOnNewPc)
{
    const fs::path c = platform::driveFolder(oldPc(), 'C');
    hostile::putHost(
        c / "WINDOWS" / "SYSTEM.INI", "[boot]\r\nSCRNSAVE.EXE=C:\\My Documents\\SHELL32.DLL\r\n");
    hostile::putHost(c / "My Documents" / "SHELL32.DLL", hostile::kPlanted);
    // The section a saver path without "~" converts: the first one.
    hostile::putHost(c / "WINDOWS" / "CONTROL.INI",
        "[Desktop]\r\nWallpaper=C:\\WINDOWS\\EXPLORER.EXE\r\n"
        "SCRNSAVE.EXE=C:\\WINDOWS\\SYSTEM\\SHELL32.DLL\r\nPlanted=1\r\n");
    {
        platform::Registry reg;
        ASSERT_EQ(reg.open(oldPc() / "registry.db"), platform::WinError::Success);
        platform::RegKey k;
        ASSERT_EQ(reg.createKey(platform::RegKey(platform::RegRoot::CurrentUser),
                      "Identities\\{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}\\Software\\Microsoft\\Outlook "
                      "Express\\5.0",
                      k),
            platform::WinError::Success);
        ASSERT_EQ(reg.setString(k, "Store Root", "C:\\WINDOWS\\system32"), platform::WinError::Success);
    }

    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    for (const char* node : {"Display Settings\\Screen Saver", "Supported Applications\\MS Outlook"})
        tick(sourceTree(w), std::string("My Computer\\") + node);
    next(w);
    next(w);
    ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
    const auto filesBefore = hostile::hostTree(newPc());
    const std::set<std::string> registryBefore = hostile::registryOutsideMirror();
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    ASSERT_EQ(activeForm(w), "frm_Migration_Status");

    // Files: only the wizard's own working files may have changed.
    const auto wizardsOwn = [](const std::string& path) {
        return path.rfind("drives/C/Program Files/Kestro", 0) == 0 ||
            path.rfind("drives/C/QZExpTemp", 0) == 0;
    };
    const auto filesAfter = hostile::hostTree(newPc());
    for (const auto& [path, what] : filesAfter) {
        const auto was = filesBefore.find(path);
        EXPECT_TRUE((was != filesBefore.end() && was->second == what) || wizardsOwn(path)) << path;
    }
    for (const auto& [path, what] : filesBefore)
        EXPECT_TRUE(filesAfter.count(path) != 0 || wizardsOwn(path)) << path << " (gone)";
    EXPECT_FALSE(fs::exists(newPc() / "drives/C/Program Files/Kestro/temp/Kept"))
        << "the copies of replaced files go with their item";
    // The registry: as it was, but for the mapped drives.
    const std::set<std::string> after = hostile::registryOutsideMirror();
    std::vector<std::string> changed;
    std::set_symmetric_difference(registryBefore.begin(), registryBefore.end(), after.begin(), after.end(),
        std::back_inserter(changed));
    for (const std::string& section : changed)
        EXPECT_EQ(section.rfind("[HKEY_CURRENT_USER\\Network", 0), 0u) << section;

    EXPECT_NE(reportRow(w, "Screen Saver").find("not a screen saver (.scr)"), std::string::npos)
        << reportRow(w, "Screen Saver");
    EXPECT_NE(reportRow(w, "MS Outlook").find("Refused : C:\\WINDOWS\\system32 : "), std::string::npos)
        << reportRow(w, "MS Outlook");
}

} // namespace
