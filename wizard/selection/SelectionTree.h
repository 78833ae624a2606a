// SelectionTree.h: one check-box tree of the selection page as plain data: nodes in the order they
// were added, unique keys, full paths, check and expand marks. The page's Qt trees are views of it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "wizard/core/SelectionTrees.h"

namespace wizard {

// Texts and keys the selection trees are built from.
inline constexpr std::string_view kMyComputer = "My Computer";
inline constexpr std::string_view kFilesAndFolders = "Files and Folders";

class SelectionTree : public CheckTree {
public:
    struct Node {
        std::string key; // empty: no key (placeholders)
        std::string text;
        int image = 0;
        int expandedImage = 0;
        bool checked = false;
        bool expanded = false;
        Node* parent = nullptr;
        std::vector<Node*> children;
        bool leaving = false; // set while the node is taken out of the tree
    };

    // Told about every change, so that a view can follow the model.
    struct Listener {
        virtual ~Listener() = default;
        virtual void nodeAdded(const Node& node) = 0;
        // Called before the node and everything below it leave the tree.
        virtual void nodeRemoving(const Node& node) = 0;
        virtual void nodeChanged(const Node& node) = 0;
        // About `count` nodes are about to be added.
        virtual void nodesComing(std::size_t count) { (void)count; }
    };

    SelectionTree();
    ~SelectionTree() override;
    SelectionTree(const SelectionTree&) = delete;
    SelectionTree& operator=(const SelectionTree&) = delete;

    void setListener(Listener* listener) { m_listener = listener; }

    // Adds a node as the last child of `parent` (nullptr: at the top level). Null, with nothing
    // added, when `key` is not empty and already in the tree. Keys compare without regard to case,
    // as the Windows names they are made of do.
    Node* addNode(Node* parent, std::string key, std::string text, int image = 0);
    // Makes room for `count` more nodes at once, so that adding many thousand nodes never grows
    // the tree's (and its view's) tables in one long step in the middle of a listing.
    void reserve(std::size_t count);
    // The same under the node keyed `parentKey`; null when that node is missing.
    Node* addUnder(std::string_view parentKey, std::string key, std::string text, int image = 0);
    // Adds the empty child that marks a drive or folder whose contents were never listed.
    Node* addPlaceholder(Node* parent);

    Node* find(std::string_view key) const;
    // 1-based position in the order of adding; null past the end.
    Node* at(int position) const;
    // Every node in the order of adding (a copy, so that callers may change the tree meanwhile).
    std::vector<Node*> snapshot() const { return m_order; }
    bool contains(const Node* node) const;

    // Removes the node and everything below it.
    void removeNode(Node* node);
    bool removeKey(std::string_view key);
    void removeChildren(Node* node);
    // Removes up to `budget` nodes from below `node`, last children first and each node after
    // everything below it, in one pass over the tree, so that a large subtree can be emptied in
    // bounded parts. True while nodes remain below it.
    bool removeSomeBelow(Node* node, std::size_t budget);
    void clear();

    void setCheckedOf(Node* node, bool checked);
    void setExpandedOf(Node* node, bool expanded);
    void setExpandedImageOf(Node* node, int image);

    // The texts from the top-level node down to this one, joined with "\".
    static std::string fullPathOf(const Node* node);
    // Below a category of "My Computer": a "\" at or after the 13th character of the full path.
    static bool isBelowCategory(const Node* node);
    // The category's text (the second component of the full path), empty for the root.
    static std::string categoryOf(const Node* node);
    // True for the empty first child of a drive or folder not yet listed.
    static bool isUnlisted(const Node* node);
    static bool isPlaceholder(const Node* node) { return node->key.empty() && node->text.empty(); }

    // CheckTree: the form the main window's Edit menu works on.
    int count() const override { return static_cast<int>(m_order.size()); }
    std::string fullPath(int index) const override;
    std::string key(int index) const override;
    std::string text(int index) const override;
    int image(int index) const override;
    std::optional<std::string> parentKey(int index) const override;
    void setChecked(int index, bool checked) override;
    bool addChild(
        const std::string& parentKey, const std::string& key, const std::string& text, int image) override;
    void remove(int index) override;

private:
    // Drops the nodes (each with everything below it) from the order, the keys and the storage.
    void forget(const std::vector<Node*>& roots);

    std::vector<std::unique_ptr<Node>> m_storage;
    std::vector<Node*> m_order;
    std::unordered_map<std::string, Node*> m_byKey; // folded key -> node
    std::unordered_set<const Node*> m_alive;
    Listener* m_listener = nullptr;
};

} // namespace wizard
