// SelectionTrees.cpp: the Select All and Clear All walks over the selection page's trees.
#include "wizard/core/SelectionTrees.h"

namespace wizard {

namespace {

SelectionTrees g_trees;

} // namespace

SelectionTrees selectionTrees() { return g_trees; }
void setSelectionTrees(SelectionTrees trees) { g_trees = trees; }

void selectAllNodes(CheckTree& source, CheckTree& destination)
{
    // The count is taken once; parents were added before their children, so they arrive first.
    const int n = source.count();
    for (int i = 1; i <= n; ++i) {
        if (source.fullPath(i).find("My Computer\\Files and Folders") != std::string::npos)
            continue;
        source.setChecked(i, true);
        const std::optional<std::string> parent = source.parentKey(i);
        if (!parent)
            continue;
        destination.addChild(*parent, source.key(i), source.text(i), source.image(i));
    }
}

void clearAllNodes(CheckTree& source, CheckTree& destination)
{
    for (int i = 1; i <= source.count(); ++i)
        source.setChecked(i, false);

    // "My Computer\" takes the first 12 characters: a "\" from the 13th on means the node lies
    // below a category node. The chosen drives, folders and files go too: their ticks are gone,
    // so the collectors would no longer take them.
    for (int i = 1; i <= destination.count();) {
        const std::string path = destination.fullPath(i);
        if (path.size() > 12 && path.find('\\', 12) != std::string::npos)
            destination.remove(i);
        else
            ++i;
    }
}

} // namespace wizard
