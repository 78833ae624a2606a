// FolderChecksTest.cpp: ticking and clearing drives, folders and files below "Files and Folders".
#include "wizard/selection/FolderChecks.h"

#include <functional>

#include <gtest/gtest.h>

#include "common/Text.h"
#include "tests/wizard/selection/SelectionWorld.h"

namespace wizard {
namespace {

const std::string kDrive = "\\\\Oldpc\\c$";
const std::string kData = kDrive + "\\Data";
const std::string kSub = kData + "\\Sub";
const std::string kReport = kSub + "\\Report.doc";

class FolderChecksTest : public ::testing::Test {
protected:
    FolderChecksTest()
    {
        drive = w.addDrive(kDrive, "C:");
        w.list(drive, {"Data", "Windows"}, {"boot.ini"});
        w.list(w.node(kData), {"Sub", "Old.Backup"}, {"a.txt"});
        w.list(w.node(kSub), {}, {"Report.doc", "Notes.txt"});
    }
    // What the page does when the user changes a mark below "Files and Folders".
    void tick(const std::string& key, bool checked)
    {
        auto* n = w.node(key);
        w.setMark(n, checked);
        if (checked) {
            Mirror_Folder_Path(w.source, w.destination, n, true);
        } else {
            Apply_Folder_Check(w.source, w.destination, n, false);
            Mirror_Folder_Path(w.source, w.destination, n, false);
        }
        Refresh_Folder_Checks(w.source, w.destination, n);
    }
    static std::string up(const std::string& s) { return common::upperAscii(s); }
    testsupport::SelectionWorld w;
    SelectionTree::Node* drive = nullptr;
};

TEST_F(FolderChecksTest, TickingAFileBuildsTheChainDownToItWithUpperCaseKeys)
{
    tick(kReport, true);
    const SelectionTree::Node* d = w.destination.find("\\\\OLDPC\\C$");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->key, "\\\\OLDPC\\C$");
    EXPECT_EQ(d->text, "C:");
    EXPECT_EQ(d->parent->key, "Files and Folders");
    const SelectionTree::Node* data = w.destination.find(up(kData));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->key, "\\\\OLDPC\\C$\\DATA");
    EXPECT_EQ(data->text, "Data");
    const SelectionTree::Node* file = w.destination.find(up(kReport));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->parent->key, "\\\\OLDPC\\C$\\DATA\\SUB");
    EXPECT_EQ(file->image, 50);
    EXPECT_TRUE(file->children.empty()) << "a file gets no placeholder";
    for (const std::string& k :
        {kSub, kData, kDrive, std::string("Files and Folders"), std::string("My Computer")})
        EXPECT_TRUE(w.node(k)->checked) << k;
    EXPECT_FALSE(w.node(kData + "\\a.txt")->checked);
    EXPECT_TRUE(Is_File_Or_Folder_Checked(w.source));

    const int before = w.destination.count();
    tick(kSub + "\\Notes.txt", true);
    EXPECT_EQ(w.destination.count(), before + 1) << "the chain exists already";
}

TEST_F(FolderChecksTest, AnUnlistedFolderCopyGetsAPlaceholderSoThatItCanBeOpened)
{
    tick(kDrive + "\\Windows", true);
    const SelectionTree::Node* win = w.destination.find(up(kDrive + "\\Windows"));
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->parent->key, "\\\\OLDPC\\C$");
    ASSERT_EQ(win->children.size(), 1u);
    EXPECT_TRUE(SelectionTree::isPlaceholder(win->children.front()));

    tick(kData + "\\Old.Backup", true);
    const SelectionTree::Node* backup = w.destination.find(up(kData + "\\Old.Backup"));
    ASSERT_NE(backup, nullptr);
    EXPECT_EQ(backup->children.size(), 1u) << "a folder is a folder whatever its name holds";
}

TEST_F(FolderChecksTest, ClearingTheOnlyTickedFileClearsAndPrunesEverythingAboveIt)
{
    tick(kReport, true);
    tick(kReport, false);
    for (const std::string& k :
        {kSub, kData, kDrive, std::string("Files and Folders"), std::string("My Computer")})
        EXPECT_FALSE(w.node(k)->checked) << k;
    EXPECT_FALSE(w.inDestination(up(kReport)));
    EXPECT_FALSE(w.inDestination(up(kSub)));
    EXPECT_FALSE(w.inDestination(up(kData)));
    EXPECT_FALSE(w.inDestination("\\\\OLDPC\\C$"));
    EXPECT_TRUE(w.inDestination("Files and Folders"));
    EXPECT_FALSE(Is_File_Or_Folder_Checked(w.source));
}

TEST_F(FolderChecksTest, ClearingOneOfTwoChosenItemsKeepsTheOther)
{
    tick(kReport, true);
    tick(kSub + "\\Notes.txt", true);
    tick(kReport, false);
    EXPECT_FALSE(w.inDestination(up(kReport)));
    EXPECT_TRUE(w.inDestination(up(kSub + "\\Notes.txt")));
    EXPECT_TRUE(w.node(kSub)->checked);
    EXPECT_TRUE(w.node(kDrive)->checked);
}

TEST_F(FolderChecksTest, TickingAnOpenFolderTicksAndCopiesItsListedChildren)
{
    tick(kData, true);
    for (const std::string& k : {kSub, kData + "\\Old.Backup", kData + "\\a.txt", kReport})
        EXPECT_TRUE(w.node(k)->checked) << k;
    EXPECT_TRUE(w.inDestination(up(kData + "\\a.txt")));
    EXPECT_TRUE(w.inDestination(up(kReport))) << "Sub is open: its files follow";
    const SelectionTree::Node* backup = w.destination.find(up(kData + "\\Old.Backup"));
    ASSERT_NE(backup, nullptr);
    EXPECT_EQ(backup->children.size(), 1u) << "an unlisted child folder gets its placeholder";
}

TEST_F(FolderChecksTest, ClearingAClosedListedFolderClearsEverythingListedBelowIt)
{
    tick(kData, true);
    w.source.setExpandedOf(w.node(kSub), false);
    w.source.setExpandedOf(w.node(kData), false);
    tick(kData, false);
    EXPECT_FALSE(w.node(kReport)->checked) << "a file under a closed folder must not stay chosen";
    EXPECT_FALSE(w.node(kData + "\\a.txt")->checked);
    EXPECT_FALSE(w.inDestination(up(kData)));
    EXPECT_FALSE(Is_File_Or_Folder_Checked(w.source));
}

TEST_F(FolderChecksTest, TickingAFolderClosedAfterItsListingTicksAndCopiesWhatItListed)
{
    // Only the listed files are collected for a listed folder: they must carry its tick.
    w.source.setExpandedOf(w.node(kSub), false);
    w.source.setExpandedOf(w.node(kData), false);
    tick(kData, true);
    EXPECT_TRUE(w.node(kReport)->checked);
    EXPECT_TRUE(w.node(kData + "\\a.txt")->checked);
    const SelectionTree::Node* copy = w.destination.find(up(kSub));
    ASSERT_NE(copy, nullptr);
    std::vector<std::string> texts;
    for (const SelectionTree::Node* c : copy->children)
        texts.push_back(c->text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Report.doc", "Notes.txt"})) << "no placeholder before them";
}

TEST_F(FolderChecksTest, ClearingTheCategoryClearsEveryDriveAndEmptiesItsCopy)
{
    tick(kReport, true);
    tick("Files and Folders", false);
    EXPECT_FALSE(w.node(kReport)->checked);
    EXPECT_FALSE(w.node(kDrive)->checked);
    EXPECT_TRUE(w.destination.find("Files and Folders")->children.empty());
}

TEST_F(FolderChecksTest, AClearInStepsEndsAsAClearAtOnceAndATickMeanwhileKeepsTheChoice)
{
    const auto clearInSteps = [this](const std::string& key, const std::function<void()>& meanwhile) {
        w.setMark(w.node(key), false);
        Mirror_Folder_Path(w.source, w.destination, w.node(key), false);
        FolderCheckClear clear(w.source, w.destination, w.node(key));
        meanwhile();
        while (clear.step(1)) {}
    };
    tick(kData, true);
    clearInSteps(kData, [] {});
    for (const std::string& k : {kData, kSub, kReport, kData + "\\a.txt", kDrive})
        EXPECT_FALSE(w.node(k)->checked) << k;
    EXPECT_FALSE(w.inDestination(up(kDrive))) << "the copies left empty go too";
    EXPECT_TRUE(w.inDestination("Files and Folders"));

    // Ticked again before its copies went: the copy stays and every listed entry ends chosen.
    tick(kData, true);
    clearInSteps(kData, [this] { tick(kData, true); });
    for (const std::string& k : {kSub, kReport, kData + "\\a.txt"}) {
        EXPECT_TRUE(w.node(k)->checked) << k;
        EXPECT_TRUE(w.inDestination(up(k))) << k;
    }

    clearInSteps("Files and Folders", [] {});
    EXPECT_FALSE(w.node(kReport)->checked);
    ASSERT_TRUE(w.inDestination("Files and Folders"));
    EXPECT_TRUE(w.destination.find("Files and Folders")->children.empty());
}

TEST_F(FolderChecksTest, OnlyItemsBelowTheCategoryCountAsChosenFiles)
{
    w.setMark(w.node("Files and Folders"), true);
    EXPECT_FALSE(Is_File_Or_Folder_Checked(w.source));
    w.setMark(w.node(kDrive + "\\boot.ini"), true);
    EXPECT_TRUE(Is_File_Or_Folder_Checked(w.source));
}

} // namespace
} // namespace wizard
