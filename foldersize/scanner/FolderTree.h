// FolderTree.h: the measured roots of the main window and the key of every node. A key is the
// root prefix "K000".."K255" followed by the folder path with a trailing "/"; the files node of a
// folder has the folder's key followed by "??D". Keys are case-sensitive, like Linux paths.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foldersize/scanner/FolderNode.h"

namespace foldersize {

// One measured folder at the top of the tree.
struct FolderRoot {
    int number = 0;         // 0..255, shown as the key prefix "K" + three digits
    std::string folderPath; // the path as given to the scan, with a trailing "/"
    int image = 8;          // picture of the folder-combo item that was measured
    int selectedImage = 10;
    std::unique_ptr<FolderNode> node;

    std::string prefix() const; // "K000" ... "K255"
};

// A node found by key: a folder, or the files node of a folder.
struct NodeRef {
    FolderNode* folder = nullptr;
    bool filesNode = false;
    explicit operator bool() const { return folder != nullptr; }
};

class FolderTree {
public:
    static constexpr int kMaxRootNumber = 255;

    // Adds a root for path (a trailing "/" is added when missing). The number is 0 in an empty
    // tree, else the last number plus 1. Returns nullptr without adding when that would pass 255.
    FolderRoot* addRoot(const std::string& path, int image, int selectedImage);
    // False when the next root number would pass 255 (addRoot would fail).
    bool canAddRoot() const { return m_roots.empty() || m_lastNumber < kMaxRootNumber; }
    // Removes the root (and everything below it). Returns false for an unknown root.
    bool removeRoot(const FolderNode* rootNode);

    std::size_t rootCount() const { return m_roots.size(); }
    FolderRoot& root(std::size_t i) { return *m_roots[i]; }
    const FolderRoot& root(std::size_t i) const { return *m_roots[i]; }
    // The root that holds node (walks up), or nullptr when node is not in this tree.
    FolderRoot* rootOf(const FolderNode* node);
    // Position of the root that owns rootNode, or nothing.
    std::optional<std::size_t> rootIndex(const FolderNode* rootNode) const;

    // Key of a folder node or of its files node.
    std::string keyOf(const FolderNode* node, bool filesNode = false);
    // Finds a node by key. Walks the path from the root through the sorted children, so it needs
    // no index of its own and costs one binary search per path component.
    NodeRef findByKey(const std::string& key);

private:
    std::vector<std::unique_ptr<FolderRoot>> m_roots;
    int m_lastNumber = -1;
};

// "%03d" prefix for a root number.
std::string rootPrefix(int number);

} // namespace foldersize
