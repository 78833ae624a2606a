// CheckSync.cpp: check synchronisation of applications and settings between the trees.
#include "wizard/selection/CheckSync.h"

#include <algorithm>

namespace wizard {

namespace {

bool isSelfOrBelow(const SelectionTree::Node* node, const SelectionTree::Node* ancestor)
{
    for (const SelectionTree::Node* n = node; n; n = n->parent) {
        if (n == ancestor)
            return true;
    }
    return false;
}

bool hasTickedChild(const SelectionTree::Node* node)
{
    return std::any_of(node->children.begin(), node->children.end(),
        [](const SelectionTree::Node* c) { return c->checked; });
}

void copyUnderParent(SelectionTree& destination, const SelectionTree::Node* node)
{
    if (node->parent)
        destination.addUnder(node->parent->key, node->key, node->text, node->image);
}

} // namespace

void Propagate_Node_Check(
    SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node, bool checked)
{
    if (!source.contains(node) || node->checked != checked)
        return;
    // Positions follow the order of adding, so a parent is copied before its children.
    for (SelectionTree::Node* s : source.snapshot()) {
        if (!isSelfOrBelow(s, node))
            continue;
        source.setCheckedOf(s, checked);
        if (!SelectionTree::isBelowCategory(s))
            continue;
        if (!checked) {
            if (s == node)
                destination.removeKey(node->key);
        } else if (!SelectionTree::isPlaceholder(s)) {
            copyUnderParent(destination, s);
        } else if (SelectionTree::Node* copy = destination.find(s->parent->key);
                   copy && copy->children.empty()) {
            // An unlisted folder's copy gets its own placeholder, so that it can be opened there.
            destination.addPlaceholder(copy);
        }
    }
}

void Mirror_Node_Check(
    SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node, bool checked)
{
    if (!source.contains(node))
        return;
    for (SelectionTree::Node* a = node->parent; a; a = a->parent) {
        if (checked) {
            source.setCheckedOf(a, true);
            if (SelectionTree::isBelowCategory(a)) {
                copyUnderParent(destination, a);
                copyUnderParent(destination, node);
            }
        } else if (!a->children.empty() && !hasTickedChild(a)) {
            source.setCheckedOf(a, false);
            if (SelectionTree::isBelowCategory(a))
                destination.removeKey(a->key);
        }
    }
}

} // namespace wizard
