// ApplicationSettingsPageTest.cpp: the selection page offscreen: its trees follow the model, a
// tick in the source tree shows in the destination tree, opening a drive lists it.
#include "wizard/ui/selection/ApplicationSettingsPage.h"

#include <QApplication>

#include <QTreeWidget>

#include <filesystem>
#include <fstream>

#include "tests/support/FindChild.h"
#include "tests/support/wizard/ListingsSettled.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "tests/wizard/pages/LayoutChecks.h"
#include "tests/wizard/pages/PageTestSupport.h"
#include "wizard/core/SelectionTrees.h"
#include "wizard/core/WizardState.h"
#include "wizard/ui/selection/SourceListingDriver.h"

namespace wizard {
namespace {

std::vector<std::string> childTexts(QTreeWidgetItem* item)
{
    std::vector<std::string> texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts.push_back(item->child(i)->text(0).toStdString());
    return texts;
}

class FrmApplicationSettingsTest : public test::PageTest {
protected:
    FrmApplicationSettingsTest()
    {
        platform::MachineConfig c;
        platform::applyOsDefaults("win98", c);
        c.computerName = "OLDPC";
        c.address = "192.168.0.3";
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares = {{"C$", "C:\\"}};
        oldpc = machine.machine().addMachine(c);
        std::filesystem::create_directories(platform::driveFolder(oldpc, 'C') / "My Documents");
        machine.machine().put("Program Files/Kestro/Icons/WinZip.gif", gif());
        setSelectionSources([this] {
            SelectionSources s;
            s.fs = &fs;
            s.appPath = "C:\\Program Files\\Kestro";
            s.mirror.enumKeys = [](const std::string&) { return std::optional<std::vector<std::string>>(); };
            s.mirror.enumValues = s.mirror.enumKeys;
            s.mirror.getValue = [](const std::string&, const std::string&) { return std::string(); };
            return s;
        });
        MigrationMode = "selective";
    }
    ~FrmApplicationSettingsTest() override { setSelectionSources({}); }
    // The smallest GIF: one pixel.
    static std::string gif()
    {
        static const unsigned char bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 1, 0, 1, 0, 0x80, 0, 0, 0,
            0, 0, 0xff, 0xff, 0xff, 0x21, 0xf9, 4, 1, 0, 0, 0, 0, 0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44,
            1, 0, 0x3b};
        return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    QTreeWidget* tree(const char* name) { return page->findChild<QTreeWidget*>(name); }
    QTreeWidgetItem* find(QTreeWidget* t, const QString& text)
    {
        const auto items = t->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return items.isEmpty() ? nullptr : items.front();
    }

    testsupport::TestMachine machine;
    std::filesystem::path oldpc;
    platform::FileSystem fs = machine.machine().fileSystem();
    std::unique_ptr<Frm_ApplicationSettings> page;
};

TEST_F(FrmApplicationSettingsTest, TheTreesShowTheModelAndATickReachesTheDestination)
{
    page = std::make_unique<Frm_ApplicationSettings>(nullptr, &host);
    // The migration-type page is not there: no category box reads as checked, so load them here.
    page->logic().activate(false, {true, false, true}, "OLDPC");
    QTreeWidget* source = tree("Trv_Source_Information");
    QTreeWidget* destination = tree("Trv_Destination_Information");
    ASSERT_NE(source, nullptr);
    ASSERT_NE(destination, nullptr);
    ASSERT_EQ(source->topLevelItemCount(), 1);
    EXPECT_EQ(childTexts(source->topLevelItem(0)),
        (std::vector<std::string>{"Display Settings", "Control Panel Settings", "Files and Folders"}));
    EXPECT_EQ(selectionTrees().source, &page->logic().source()) << "Select All and Clear All reach the trees";

    QTreeWidgetItem* wallpaper = find(source, "Wallpaper");
    ASSERT_NE(wallpaper, nullptr);
    wallpaper->setCheckState(0, Qt::Checked);
    emit source->itemClicked(wallpaper, 0);
    ASSERT_NE(find(destination, "Wallpaper"), nullptr);
    EXPECT_TRUE(find(destination, "Display Settings")->isExpanded()) << "a chosen item shows at once";
    EXPECT_EQ(find(source, "Display Settings")->checkState(0), Qt::Checked);
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));

    QTreeWidgetItem* drive = find(source, "C:");
    ASSERT_NE(drive, nullptr);
    drive->setExpanded(true);
    testsupport::settleListings(page.get());
    EXPECT_EQ(childTexts(drive), (std::vector<std::string>{"My Documents"}));

    wallpaper->setCheckState(0, Qt::Unchecked);
    emit source->itemClicked(wallpaper, 0);
    EXPECT_EQ(find(destination, "Wallpaper"), nullptr);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmApplicationSettingsTest, ALargeFolderIsListedInStepsAndATickMidwayReachesEveryEntry)
{
    constexpr int kFiles = 15000;
    const auto big = platform::driveFolder(oldpc, 'C') / "Big";
    std::filesystem::create_directories(big);
    for (int i = 0; i < kFiles; ++i)
        std::ofstream(big / ("File " + std::to_string(100000 + i) + ".txt")) << "x";
    page = std::make_unique<Frm_ApplicationSettings>(nullptr, &host);
    page->logic().activate(false, {false, false, true}, "OLDPC");
    QTreeWidget* source = tree("Trv_Source_Information");
    find(source, "C:")->setExpanded(true);
    testsupport::settleListings(page.get());
    QTreeWidgetItem* folder = find(source, "Big");
    ASSERT_NE(folder, nullptr);
    auto* listings = testsupport::child<SourceListingDriver>(*page, "sourceListings");

    // The folder is read while the event loop runs; its first entries show as soon as it is read,
    // the rest follow, and in the meantime the choice cannot be collected or left.
    folder->setExpanded(true);
    ASSERT_TRUE(listings->busy());
    while (listings->busy() && folder->childCount() == 0)
        QApplication::processEvents();
    ASSERT_TRUE(listings->busy());
    EXPECT_GT(folder->childCount(), 0);
    EXPECT_LT(folder->childCount(), kFiles);
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Back));
    EXPECT_EQ(bar.mousePointer(), MousePointer::Hourglass);

    // The user ticks the folder half listed: the entries still to come arrive ticked and chosen.
    folder->setCheckState(0, Qt::Checked);
    emit source->itemClicked(folder, 0);
    testsupport::settleListings(page.get());
    ASSERT_FALSE(listings->busy());
    ASSERT_EQ(folder->childCount(), kFiles);
    for (int i = 0; i < kFiles; ++i)
        ASSERT_EQ(folder->child(i)->checkState(0), Qt::Checked) << i;
    const SelectionTree::Node* copy = page->logic().destination().find("\\\\OLDPC\\C$\\BIG");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->children.size(), static_cast<std::size_t>(kFiles));
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Back));
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(bar.mousePointer(), MousePointer::Default);

    // Cleared and ticked again once listed: the copies leave and the entries take each mark in
    // steps while the event loop runs, and until every one has it the choice cannot be collected.
    folder->setCheckState(0, Qt::Unchecked);
    emit source->itemClicked(folder, 0);
    ASSERT_TRUE(listings->busy());
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(folder->child(kFiles - 1)->checkState(0), Qt::Checked);
    testsupport::settleListings(page.get());
    ASSERT_EQ(page->logic().destination().find("\\\\OLDPC\\C$\\BIG"), nullptr);
    EXPECT_EQ(page->logic().destination().find("\\\\OLDPC\\C$"), nullptr);
    for (int i = 0; i < kFiles; ++i)
        ASSERT_EQ(folder->child(i)->checkState(0), Qt::Unchecked) << i;
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    folder->setCheckState(0, Qt::Checked);
    emit source->itemClicked(folder, 0);
    ASSERT_TRUE(listings->busy());
    EXPECT_FALSE(bar.buttonEnabled(BarButton::Next));
    EXPECT_EQ(folder->child(kFiles - 1)->checkState(0), Qt::Unchecked);
    testsupport::settleListings(page.get());
    for (int i = 0; i < kFiles; ++i)
        ASSERT_EQ(folder->child(i)->checkState(0), Qt::Checked) << i;
    copy = page->logic().destination().find("\\\\OLDPC\\C$\\BIG");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->children.size(), static_cast<std::size_t>(kFiles));
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Next));
}

TEST_F(FrmApplicationSettingsTest, CaptionsShowWholeAndTheHelpTopicIsEight)
{
    page = std::make_unique<Frm_ApplicationSettings>(nullptr, &host);
    test::expectCaptionsWholeAndApart(page.get());
    EXPECT_EQ(page->helpTopic(), 8);
    EXPECT_EQ(testsupport::child<QuickHelpPanel>(*page, "Frame1")->title()->text().trimmed(),
        "MIGRATION - SELECTION SCREEN");
}

} // namespace
} // namespace wizard
