// SelectionTreesTest.cpp: Edit > Select All and Clear All on two small check-box trees.
#include "wizard/core/SelectionTrees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

// A check-box tree kept as nodes in the order they were added.
class MemoryTree : public wizard::CheckTree {
public:
    struct Node {
        std::string key, text, parent; // parent "" for a root
        int image = 0;
        bool checked = false;
    };
    std::vector<Node> nodes;

    void add(const std::string& parent, const std::string& key, const std::string& text, int image = 1)
    {
        nodes.push_back({key, text, parent, image, false});
    }
    int count() const override { return static_cast<int>(nodes.size()); }
    std::string fullPath(int i) const override
    {
        const Node& n = at(i);
        if (n.parent.empty())
            return n.text;
        return fullPath(indexOf(n.parent)) + "\\" + n.text;
    }
    std::string key(int i) const override { return at(i).key; }
    std::string text(int i) const override { return at(i).text; }
    int image(int i) const override { return at(i).image; }
    std::optional<std::string> parentKey(int i) const override
    {
        if (at(i).parent.empty())
            return std::nullopt;
        return at(i).parent;
    }
    void setChecked(int i, bool c) override { nodes.at(static_cast<std::size_t>(i - 1)).checked = c; }
    bool addChild(const std::string& parent, const std::string& k, const std::string& t, int img) override
    {
        if (indexOf(parent) == 0 || indexOf(k) != 0)
            return false;
        add(parent, k, t, img);
        return true;
    }
    void remove(int i) override
    {
        const std::string k = key(i);
        nodes.erase(nodes.begin() + (i - 1));
        for (int j = count(); j >= 1; --j)
            if (j <= count() && at(j).parent == k)
                remove(j);
    }
    int indexOf(const std::string& k) const
    {
        for (int i = 1; i <= count(); ++i)
            if (at(i).key == k)
                return i;
        return 0;
    }
    std::vector<std::string> keys() const
    {
        std::vector<std::string> out;
        for (const Node& n : nodes)
            out.push_back(n.key);
        return out;
    }
    bool checked(const std::string& k) const { return at(indexOf(k)).checked; }

private:
    const Node& at(int i) const { return nodes.at(static_cast<std::size_t>(i - 1)); }
};

class SelectionTreesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.add("", "My Computer", "My Computer");
        for (const char* cat : {"Display Settings", "Applications", "Files and Folders"})
            source.add("My Computer", cat, cat);
        source.add("Display Settings", "Wallpaper", "Wallpaper");
        source.add("Applications", "Word", "Microsoft Word");
        source.add("Word", "WordTemplates", "Templates");
        source.add("Files and Folders", "\\\\OLDPC\\C$", "C:");
        destination.add("", "My Computer", "My Computer");
        for (const char* cat : {"Display Settings", "Applications", "Files and Folders"})
            destination.add("My Computer", cat, cat);
    }
    MemoryTree source;
    MemoryTree destination;
};

TEST_F(SelectionTreesTest, SelectAllCopiesAndChecksEverythingButFilesAndFolders)
{
    wizard::selectAllNodes(source, destination);
    EXPECT_EQ(destination.keys(),
        (std::vector<std::string>{"My Computer", "Display Settings", "Applications", "Files and Folders",
            "Wallpaper", "Word", "WordTemplates"}));
    EXPECT_EQ(destination.fullPath(destination.indexOf("WordTemplates")),
        "My Computer\\Applications\\Microsoft Word\\Templates");
    EXPECT_TRUE(source.checked("Wallpaper"));
    EXPECT_TRUE(source.checked("My Computer"));
    EXPECT_FALSE(source.checked("Files and Folders"));
    EXPECT_FALSE(source.checked("\\\\OLDPC\\C$"));
}

TEST_F(SelectionTreesTest, SelectAllTwiceAddsNothingTheSecondTime)
{
    wizard::selectAllNodes(source, destination);
    const auto once = destination.keys();
    wizard::selectAllNodes(source, destination);
    EXPECT_EQ(destination.keys(), once);
    EXPECT_TRUE(source.checked("WordTemplates"));
}

TEST_F(SelectionTreesTest, ClearAllKeepsOnlyTheRootAndTheCategories)
{
    wizard::selectAllNodes(source, destination);
    destination.add("Files and Folders", "\\\\OLDPC\\C$", "C:");
    destination.add("\\\\OLDPC\\C$", "\\\\OLDPC\\C$\\Docs", "Docs");
    wizard::clearAllNodes(source, destination);
    // The chosen folder goes with its tick: the destination never shows what will not be migrated.
    EXPECT_EQ(destination.keys(),
        (std::vector<std::string>{"My Computer", "Display Settings", "Applications", "Files and Folders"}));
    for (const auto& n : source.nodes)
        EXPECT_FALSE(n.checked) << n.key;
}

TEST_F(SelectionTreesTest, ClearAllOnAShortTreeRemovesNothing)
{
    MemoryTree lone;
    lone.add("", "My Computer", "My Computer");
    wizard::clearAllNodes(source, lone);
    EXPECT_EQ(lone.count(), 1);
}

} // namespace
