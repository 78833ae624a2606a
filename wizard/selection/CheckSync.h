// CheckSync.h: keeps the destination tree in step when the user ticks or clears an application,
// a setting, one of their category nodes, or ticks "My Computer" in the source tree.
#pragma once

#include "wizard/selection/SelectionTree.h"

namespace wizard {

// Carries the new state down: the node and everything below it take `checked`; ticked nodes below
// a category are copied under their parent's key into the destination tree (parents first), and a
// cleared node below a category leaves the destination tree with its subtree. Nothing happens when
// the node's mark differs from `checked` already. Only the node's own subtree is reached: a node
// whose name merely contains the ticked name ("MS Word 2000" beside "MS Word") is left alone.
void Propagate_Node_Check(
    SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node, bool checked);

// Carries the new state up through the node's ancestors: a tick ticks every ancestor (and copies
// those below a category, and the node, into the destination tree); a clear clears every ancestor
// left without a ticked child and takes those below a category out of the destination tree.
void Mirror_Node_Check(
    SelectionTree& source, SelectionTree& destination, SelectionTree::Node* node, bool checked);

} // namespace wizard
