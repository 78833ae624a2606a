// TreeBuilders.cpp: category nodes and settings leaves of the selection trees.
#include "wizard/selection/TreeBuilders.h"

#include "platform/CodePage.h"

namespace wizard {

namespace {

struct SkeletonNode {
    const char* parentKey;
    const char* key;
    const char* text;
    int image;
};

constexpr SkeletonNode kSettingsRoots[] = {
    {"My Computer", "Display Settings", "Display Settings", 1},
    {"My Computer", "Control Panel Settings", "Control Panel Settings", 2},
};

constexpr SkeletonNode kApplicationRoots[] = {
    {"My Computer", "Supported", "Supported Applications", 1},
    {"My Computer", "Unsupported", "Unsupported Applications", 1},
};

constexpr SkeletonNode kFilesFoldersRoot[] = {
    {"My Computer", "Files and Folders", "Files and Folders", 6},
};

constexpr SkeletonNode kSettingsLeaves[] = {
    {"Display Settings", "Appearance", "Appearance", 11},
    {"Display Settings", "Active Desktop", "Active Desktop", 18},
    {"Display Settings", "Wallpaper", "Wallpaper", 17},
    {"Display Settings", "Resolution", "Resolution", 20},
    {"Display Settings", "Effects", "Effects", 22},
    {"Display Settings", "Screen Saver", "Screen Saver", 23},
    {"Control Panel Settings", "Keyboard Settings", "Keyboard Settings", 28},
    {"Control Panel Settings", "Mouse Settings", "Mouse Settings", 29},
    {"Control Panel Settings", "Regional Settings", "Regional Settings", 31},
};

template <std::size_t N> bool addAll(SelectionTree& tree, const SkeletonNode (&nodes)[N])
{
    for (const SkeletonNode& n : nodes)
        tree.addUnder(n.parentKey, n.key, n.text, n.image);
    return true;
}

} // namespace

SelectionTree::Node* addRootNode(SelectionTree& tree)
{
    return tree.addNode(nullptr, std::string(kMyComputer), std::string(kMyComputer), treeimage::kRoot);
}

bool FN_Make_Settings_Roots(SelectionTree& tree) { return addAll(tree, kSettingsRoots); }
bool FN_Make_Application_Roots(SelectionTree& tree) { return addAll(tree, kApplicationRoots); }
bool FN_Make_Files_Folders_Root(SelectionTree& tree) { return addAll(tree, kFilesFoldersRoot); }
bool FN_Make_Settings_Nodes(SelectionTree& tree) { return addAll(tree, kSettingsLeaves); }

bool isInCategory(const SelectionTree::Node* node, std::string_view categoryText)
{
    if (!node)
        return false;
    const SelectionTree::Node* category = node;
    while (category->parent && category->parent->parent)
        category = category->parent;
    return category->parent && platform::equalsNoCase(category->text, categoryText);
}

} // namespace wizard
