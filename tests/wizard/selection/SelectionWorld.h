// SelectionWorld.h: a source and a destination tree as the selection page builds them, with
// settings, applications and a listed drive of an emulated source PC, for the model tests.
#pragma once

#include <string>

#include "wizard/selection/SelectionTree.h"
#include "wizard/selection/TreeBuilders.h"

namespace testsupport {

struct SelectionWorld {
    using Node = wizard::SelectionTree::Node;

    wizard::SelectionTree source;
    wizard::SelectionTree destination;

    SelectionWorld()
    {
        for (wizard::SelectionTree* t : {&source, &destination}) {
            wizard::addRootNode(*t);
            wizard::FN_Make_Settings_Roots(*t);
            wizard::FN_Make_Application_Roots(*t);
            wizard::FN_Make_Files_Folders_Root(*t);
        }
        wizard::FN_Make_Settings_Nodes(source);
        source.addUnder("Supported", "MS Word", "MS Word", 41);
        source.addUnder("Supported", "MS Word 2000", "MS Word 2000", 42);
        source.addUnder("Unsupported", "Paint Pro", "Paint Pro", 5);
    }

    Node* node(const std::string& key) { return source.find(key); }

    // A drive node below "Files and Folders" with its placeholder, as the drive routines add it.
    Node* addDrive(const std::string& key, const std::string& text)
    {
        Node* d = source.addUnder("Files and Folders", key, text, wizard::treeimage::kDrive);
        source.addPlaceholder(d);
        return d;
    }

    // Lists a drive or folder the way the source tree's expansion does: the placeholder goes,
    // folders (each with a placeholder) and files come, with the parent's mark; it stays expanded.
    void list(
        Node* parent, std::initializer_list<std::string> folders, std::initializer_list<std::string> files)
    {
        source.removeChildren(parent);
        for (const std::string& f : folders) {
            Node* n = source.addNode(parent, parent->key + "\\" + f, f, wizard::treeimage::kFolderClosed);
            source.setCheckedOf(n, parent->checked);
            source.addPlaceholder(n);
        }
        for (const std::string& f : files) {
            Node* n = source.addNode(parent, parent->key + "\\" + f, f, 50);
            source.setCheckedOf(n, parent->checked);
        }
        source.setExpandedOf(parent, true);
    }

    // The user ticks or clears a node: its mark changes, then the page's routines run.
    void setMark(Node* n, bool checked) { source.setCheckedOf(n, checked); }

    bool inDestination(const std::string& key) const { return destination.find(key) != nullptr; }
    std::string destinationParent(const std::string& key) const
    {
        const Node* n = destination.find(key);
        return n && n->parent ? n->parent->key : std::string("<none>");
    }
};

} // namespace testsupport
