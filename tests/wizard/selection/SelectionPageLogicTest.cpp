// SelectionPageLogicTest.cpp: loading and activating the selection page on an emulated network:
// categories loaded and removed by the migration-type boxes, the mass migration's destination.
#include "wizard/selection/SelectionPageLogic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/MessageBox.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardWindows.h"

namespace wizard {
namespace {

class SelectionPageLogicTest : public ::testing::Test {
protected:
    SelectionPageLogicTest()
    {
        platform::MachineConfig c;
        platform::applyOsDefaults("win98", c);
        c.computerName = "OLDPC";
        c.address = "192.168.0.3";
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares = {{"C$", "C:\\"}};
        const auto oldpc = machine.machine().addMachine(c);
        std::filesystem::create_directories(platform::driveFolder(oldpc, 'C') / "Data");
        machine.machine().put("Program Files/Kestro/Icons/WinZip.gif", "GIF89a");
        sources.fs = &fs;
        sources.appPath = "C:\\Program Files\\Kestro";
        sources.mirror.enumKeys = [](const std::string& key) -> std::optional<std::vector<std::string>> {
            if (key.find("Uninstall") != std::string::npos)
                return std::vector<std::string>{"WZ", "Paint"};
            return std::nullopt;
        };
        sources.mirror.enumValues = [](const std::string& key) -> std::optional<std::vector<std::string>> {
            if (key.ends_with("WZ"))
                return std::vector<std::string>{"DisplayName=WinZip 8.1"};
            return std::vector<std::string>{"DisplayName=Paint Pro"};
        };
        sources.mirror.getValue = [](const std::string&, const std::string&) { return std::string(); };
    }
    std::vector<std::string> categories(SelectionTree& t)
    {
        std::vector<std::string> keys;
        for (const auto* c : t.find("My Computer")->children)
            keys.push_back(c->key);
        return keys;
    }

    testsupport::TestMachine machine;
    platform::FileSystem fs = machine.machine().fileSystem();
    SelectionSources sources;
};

TEST_F(SelectionPageLogicTest, ASelectiveRunLoadsTheCheckedCategoriesOnceAndDropsClearedOnes)
{
    SelectionPageLogic page(sources);
    ASSERT_TRUE(page.load());
    ASSERT_TRUE(page.activate(false, {true, true, true}, "OLDPC"));
    const std::vector<std::string> all{
        "Display Settings", "Control Panel Settings", "Supported", "Unsupported", "Files and Folders"};
    EXPECT_EQ(categories(page.source()), all);
    EXPECT_EQ(categories(page.destination()), all);
    EXPECT_NE(page.source().find("WinZip"), nullptr);
    EXPECT_NE(page.source().find("Paint Pro"), nullptr);
    EXPECT_NE(page.source().find("\\\\OLDPC\\C$"), nullptr);
    EXPECT_NE(page.source().find("Screen Saver"), nullptr);
    EXPECT_EQ(page.destination().count(), 6) << "the destination holds only the skeleton";
    EXPECT_EQ(wizardWindows().statusText(), SelectionPageLogic::kSelectiveStatus);
    EXPECT_EQ(Get_System_Variable_Value("$bln_reg_required"), "false");

    // A box that stays checked is not loaded again: the user's ticks stay.
    page.source().setCheckedOf(page.source().find("Paint Pro"), true);
    page.activate(false, {true, true, true}, "OLDPC");
    EXPECT_TRUE(page.source().find("Paint Pro")->checked);

    // Applications cleared on the migration-type page: they leave both trees.
    page.destination().addUnder("Unsupported", "Paint Pro", "Paint Pro", 5);
    page.activate(false, {true, false, true}, "OLDPC");
    EXPECT_EQ(page.source().find("Supported"), nullptr);
    EXPECT_EQ(page.destination().find("Paint Pro"), nullptr);
    EXPECT_NE(page.source().find("Screen Saver"), nullptr);

    // Checked again: loaded afresh, unticked, after the other categories.
    page.activate(false, {true, true, true}, "OLDPC");
    EXPECT_FALSE(page.source().find("Paint Pro")->checked);
    EXPECT_EQ(categories(page.source()).back(), "Unsupported");
}

TEST_F(SelectionPageLogicTest, EveryVisitEnablesNextExactlyWhenSomethingIsChosen)
{
    SelectionPageLogic page(sources);
    ASSERT_TRUE(page.load());
    ASSERT_TRUE(page.activate(false, {true, true, true}, "OLDPC"));
    // Back from a page that left Next enabled, with nothing chosen.
    wizardWindows().setButtonEnabled(BarButton::Next, true);
    page.activate(false, {true, true, true}, "OLDPC");
    EXPECT_FALSE(wizardWindows().buttonEnabled(BarButton::Next));
    // An application chosen, then its category dropped on the migration-type page.
    page.destination().addUnder("Unsupported", "Paint Pro", "Paint Pro", 5);
    page.activate(false, {true, true, true}, "OLDPC");
    EXPECT_TRUE(wizardWindows().buttonEnabled(BarButton::Next));
    page.activate(false, {true, false, true}, "OLDPC");
    EXPECT_FALSE(wizardWindows().buttonEnabled(BarButton::Next));
    // A ticked file is a choice too.
    SelectionTree::Node* drive = page.source().find("\\\\OLDPC\\C$");
    ASSERT_NE(drive, nullptr);
    page.source().addNode(drive, "\\\\OLDPC\\C$\\a.txt", "a.txt", 0);
    page.source().setCheckedOf(page.source().find("\\\\OLDPC\\C$\\a.txt"), true);
    page.activate(false, {true, false, true}, "OLDPC");
    EXPECT_TRUE(wizardWindows().buttonEnabled(BarButton::Next));
}

TEST_F(SelectionPageLogicTest, AMassRunFillsTheDestinationAndTicksEverything)
{
    SelectionPageLogic page(sources);
    ASSERT_TRUE(page.load());
    wizardWindows().setButtonEnabled(BarButton::Next, false);
    ASSERT_TRUE(page.activate(true, {true, true, true}, "OLDPC"));
    EXPECT_NE(page.destination().find("Regional Settings"), nullptr);
    EXPECT_NE(page.destination().find("WinZip"), nullptr);
    EXPECT_NE(page.destination().find("\\\\OLDPC\\C$"), nullptr);
    for (int i = 1; i <= page.source().count(); ++i)
        EXPECT_TRUE(page.source().at(i)->checked) << page.source().key(i);
    EXPECT_TRUE(wizardWindows().buttonEnabled(BarButton::Next));
    EXPECT_FALSE(wizardWindows().editMenuEnabled(EditMenuItem::SelectAll));
    EXPECT_EQ(wizardWindows().statusText(), SelectionPageLogic::kMassStatus);
}

TEST_F(SelectionPageLogicTest, WithoutApplicationIconsThePageHasNoTrees)
{
    std::filesystem::remove_all(machine.appFolder() / "Icons");
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scoped(messages);
    messages.answer(platform::MsgResult::Ok);
    SelectionPageLogic page(sources);
    EXPECT_FALSE(page.load());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Image Files are Missing");
    EXPECT_EQ(page.source().count(), 0);
}

TEST_F(SelectionPageLogicTest, OpeningADriveListsItAndOpeningItsCopyShowsTheChoice)
{
    SelectionPageLogic page(sources);
    page.load();
    page.activate(false, {false, false, true}, "OLDPC");
    auto* drive = page.source().find("\\\\OLDPC\\C$");
    page.sourceExpanded(drive);
    auto* data = page.source().find("\\\\OLDPC\\C$\\Data");
    ASSERT_NE(data, nullptr);
    page.source().setCheckedOf(data, true);
    page.events().nodeChecked(data);
    page.events().clicked();
    auto* copy = page.destination().find("\\\\OLDPC\\C$\\DATA");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(SelectionTree::isUnlisted(copy));
    page.destinationExpanded(copy);
    EXPECT_TRUE(copy->children.empty()) << "Data is empty on the source";
    EXPECT_TRUE(wizardWindows().buttonEnabled(BarButton::Next));
}

} // namespace
} // namespace wizard
