// SourceDrivesTest.cpp: the source PC's shared drives as drive nodes, and the lazy listings of
// both trees on an emulated network.
#include "wizard/selection/SourceDrives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/MessageBox.h"
#include "tests/platform/TestMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/selection/SelectionWorld.h"

namespace wizard {
namespace {

class SourceDrivesTest : public ::testing::Test {
protected:
    SourceDrivesTest()
    {
        platform::MachineConfig c;
        platform::applyOsDefaults("win98", c);
        c.computerName = "OLDPC";
        c.address = "192.168.0.3";
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.drives.push_back({'D', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares = {{"C$", "C:\\"}, {"D$", "D:\\"}};
        oldpc = net.addMachine(c);
        put('C', "Data/Report.doc");
        put('C', "Data/Sub/Notes.txt");
        put('C', "Data/Recycled/junk.txt");
        put('C', "Data/recycled.txt");
        put('C', "autoexec.bat");
        std::filesystem::create_directories(platform::driveFolder(oldpc, 'D'));
        sourceDriveRoots().clear();
    }
    void put(char drive, const std::string& relative)
    {
        const auto p = platform::driveFolder(oldpc, drive) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p) << "x";
    }
    std::vector<std::string> childTexts(const SelectionTree::Node* n)
    {
        std::vector<std::string> texts;
        for (const auto* c : n->children)
            texts.push_back(c->text);
        return texts;
    }

    testutil::TestMachine net;
    std::filesystem::path oldpc;
    platform::FileSystem fs = net.fileSystem();
    testsupport::SelectionWorld w;
    TreeImages images;
};

TEST_F(SourceDrivesTest, AdministrativeSharesBecomeDriveNodesWithPlaceholders)
{
    ASSERT_TRUE(FN_Get_Source_Drives(fs, "OLDPC"));
    EXPECT_EQ(sourceDriveRoots(), (std::vector<std::string>{"\\\\OLDPC\\C$", "\\\\OLDPC\\D$"}));
    FN_Fill_Drive_Tree(w.source);
    const auto* c = w.source.find("\\\\OLDPC\\C$");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text, "C:");
    EXPECT_EQ(c->image, 8);
    ASSERT_EQ(c->children.size(), 1u);
    EXPECT_TRUE(SelectionTree::isPlaceholder(c->children.front()));
    EXPECT_EQ(w.source.find("\\\\OLDPC\\D$")->text, "D:") << "an empty drive is listed too";
}

TEST_F(SourceDrivesTest, APlainShareIsFoundWhenThereIsNoAdministrativeOne)
{
    platform::MachineConfig c;
    platform::applyOsDefaults("winxp", c);
    c.computerName = "OLDXP";
    c.address = "192.168.0.4";
    c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
    c.shares = {{"C", "C:\\"}};
    std::filesystem::create_directories(platform::driveFolder(net.addMachine(c), 'C'));
    ASSERT_TRUE(FN_Get_Source_Drives(fs, "OLDXP"));
    EXPECT_EQ(sourceDriveRoots(), (std::vector<std::string>{"\\\\OLDXP\\C"}));
    FN_Fill_Drive_Tree(w.source);
    EXPECT_EQ(w.source.find("\\\\OLDXP\\C")->text, "C:");
}

TEST_F(SourceDrivesTest, AnUnknownPcGivesNoDrivesAnEmptyNameAMessage)
{
    ASSERT_TRUE(FN_Get_Source_Drives(fs, "NOSUCHPC"));
    EXPECT_TRUE(sourceDriveRoots().empty());

    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scoped(messages);
    messages.answer(platform::MsgResult::Ok);
    sourceDriveRoots() = {"kept"};
    EXPECT_FALSE(FN_Get_Source_Drives(fs, ""));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Kindly enter a source PC name");
    EXPECT_EQ(messages.shown()[0].title, "Monitor");
    EXPECT_EQ(sourceDriveRoots(), (std::vector<std::string>{"kept"}));
}

TEST_F(SourceDrivesTest, OpeningASourceFolderListsFoldersThenFilesWithItsMark)
{
    FN_Get_Source_Drives(fs, "OLDPC");
    FN_Fill_Drive_Tree(w.source);
    auto* c = w.source.find("\\\\OLDPC\\C$");
    ASSERT_TRUE(listSourceFolder(fs, w.source, images, c));
    EXPECT_EQ(childTexts(c), (std::vector<std::string>{"Data", "autoexec.bat"}));
    auto* data = w.source.find("\\\\OLDPC\\C$\\Data");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(SelectionTree::isUnlisted(data));
    w.source.setCheckedOf(data, true);
    ASSERT_TRUE(listSourceFolder(fs, w.source, images, data));
    EXPECT_EQ(childTexts(data), (std::vector<std::string>{"Sub", "recycled.txt", "Report.doc"}))
        << "the recycle bin folder is left out, a file of that name is not";
    for (const auto* child : data->children)
        EXPECT_TRUE(child->checked) << child->text;
    EXPECT_EQ(w.source.find("\\\\OLDPC\\C$\\Data\\Report.doc")->image,
        w.source.find("\\\\OLDPC\\C$\\Data\\Report.doc")->image);
    const int before = w.source.count();
    EXPECT_TRUE(listSourceFolder(fs, w.source, images, data)) << "a listed folder is not listed again";
    EXPECT_EQ(w.source.count(), before);
}

TEST_F(SourceDrivesTest, AFolderThatCannotBeReadShowsAsEmpty)
{
    FN_Get_Source_Drives(fs, "OLDPC");
    FN_Fill_Drive_Tree(w.source);
    auto* c = w.source.find("\\\\OLDPC\\C$");
    listSourceFolder(fs, w.source, images, c);
    auto* data = w.source.find("\\\\OLDPC\\C$\\Data");
    std::filesystem::remove_all(platform::driveFolder(oldpc, 'C') / "Data");
    EXPECT_FALSE(listSourceFolder(fs, w.source, images, data));
    EXPECT_TRUE(data->children.empty());
}

TEST_F(SourceDrivesTest, NamesWindowsForbidsAreNotOffered)
{
    // Host names that no Windows file can carry: their Windows paths could not reach them.
    for (const char* name : {"Odd/fine.txt", "Odd/what?.txt", "Odd/a|b.txt", "Odd/back\\slash.txt",
             "Odd/quote\".txt", "Odd/star*/inside.txt", "Odd/tab\there.txt"})
        put('C', name);
    FN_Get_Source_Drives(fs, "OLDPC");
    FN_Fill_Drive_Tree(w.source);
    FN_Fill_Drive_Tree(w.destination);
    listSourceFolder(fs, w.source, images, w.source.find("\\\\OLDPC\\C$"));
    auto* odd = w.source.find("\\\\OLDPC\\C$\\Odd");
    ASSERT_TRUE(listSourceFolder(fs, w.source, images, odd));
    EXPECT_EQ(childTexts(odd), std::vector<std::string>{"fine.txt"});

    // Nor in the destination tree when the whole folder is chosen.
    w.source.setCheckedOf(odd, true);
    w.source.setExpandedOf(odd, false);
    auto* copy = w.destination.addUnder("\\\\OLDPC\\C$", "\\\\OLDPC\\C$\\ODD", "Odd", 6);
    w.destination.addPlaceholder(copy);
    ASSERT_TRUE(listDestinationFolder(fs, w.source, w.destination, images, copy));
    EXPECT_EQ(childTexts(copy), std::vector<std::string>{"fine.txt"});
}

TEST_F(SourceDrivesTest, ADriveThatDisappearsWhileListedLeavesEmptyNodes)
{
    FN_Get_Source_Drives(fs, "OLDPC");
    FN_Fill_Drive_Tree(w.source);
    FN_Fill_Drive_Tree(w.destination);
    listSourceFolder(fs, w.source, images, w.source.find("\\\\OLDPC\\C$"));
    auto* data = w.source.find("\\\\OLDPC\\C$\\Data");
    w.source.setCheckedOf(data, true);
    auto* copy = w.destination.addUnder("\\\\OLDPC\\C$", "\\\\OLDPC\\C$\\DATA", "Data", 6);
    w.destination.addPlaceholder(copy);

    // The source PC's C: drive goes away (switched off, share removed).
    std::filesystem::remove_all(platform::driveFolder(oldpc, 'C'));
    EXPECT_FALSE(listSourceFolder(fs, w.source, images, data));
    EXPECT_TRUE(data->children.empty());
    EXPECT_FALSE(listDestinationFolder(fs, w.source, w.destination, images, copy));
    EXPECT_TRUE(copy->children.empty());
    // Probing again finds only the drive that is still there.
    FN_Get_Source_Drives(fs, "OLDPC");
    EXPECT_EQ(sourceDriveRoots(), std::vector<std::string>{"\\\\OLDPC\\D$"});
}

TEST_F(SourceDrivesTest, TheDestinationListingShowsOnlyWhatIsChosen)
{
    FN_Get_Source_Drives(fs, "OLDPC");
    FN_Fill_Drive_Tree(w.source);
    auto* c = w.source.find("\\\\OLDPC\\C$");
    listSourceFolder(fs, w.source, images, c);
    auto* data = w.source.find("\\\\OLDPC\\C$\\Data");
    listSourceFolder(fs, w.source, images, data);
    w.source.setCheckedOf(w.source.find("\\\\OLDPC\\C$\\Data\\Report.doc"), true);

    // The destination copy of Data, as the mirroring builds it, not listed yet.
    auto* drive = w.destination.addUnder("Files and Folders", "\\\\OLDPC\\C$", "C:", 8);
    auto* copy = w.destination.addNode(drive, "\\\\OLDPC\\C$\\DATA", "Data", 6);
    w.destination.addPlaceholder(copy);
    ASSERT_TRUE(listDestinationFolder(fs, w.source, w.destination, images, copy));
    EXPECT_EQ(childTexts(copy), (std::vector<std::string>{"Report.doc"}));

    // Data ticked and closed: everything in it is chosen.
    w.destination.removeChildren(copy);
    w.destination.addPlaceholder(copy);
    w.source.setCheckedOf(data, true);
    w.source.setExpandedOf(data, false);
    ASSERT_TRUE(listDestinationFolder(fs, w.source, w.destination, images, copy));
    EXPECT_EQ(childTexts(copy), (std::vector<std::string>{"Sub", "recycled.txt", "Report.doc"}));
    EXPECT_TRUE(SelectionTree::isUnlisted(w.destination.find("\\\\OLDPC\\C$\\DATA\\SUB")));
}

TEST(TreeImagesTest, FileIconsAreSharedByKindApplicationIconsMatchByName)
{
    TreeImages images;
    EXPECT_EQ(images.count(), 40);
    images.addKeyed("Photo Editor", "C:\\Icons\\Photo Editor.gif");
    EXPECT_FALSE(images.addKeyed("Photo Editor", "again"));
    const int doc = images.iconFor("C:\\a\\x.DOC", false);
    EXPECT_EQ(images.iconFor("C:\\b\\y.doc", false), doc);
    EXPECT_NE(images.iconFor("C:\\b\\y.txt", false), doc);
    EXPECT_NE(images.iconFor("C:\\b", true), doc);
    EXPECT_EQ(images.count(), 44);
    std::string key;
    EXPECT_EQ(images.matchKeyed("photo editor 5.0 Deluxe", key), 41);
    EXPECT_EQ(key, "Photo Editor");
    EXPECT_EQ(images.matchKeyed("Paint Pro", key), 0);
}

} // namespace
} // namespace wizard
