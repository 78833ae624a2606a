// FolderNode.h: the measured folder tree as plain data. One FolderNode per folder; the files a
// folder holds directly are summed in it (and shown as its "files node" when it also has
// subfolders). Names and paths are the file system's bytes, never re-cased or re-encoded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace foldersize {

// Display state of a folder: Created while its scan runs (or after it was stopped), Done when the
// folder and everything below it were read to the end.
enum class ScanState : std::uint8_t { Created = 1, Done = 2 };

class FolderNode {
public:
    // A root holds the whole path with a trailing "/" as its name; others hold their entry name.
    explicit FolderNode(std::string name, FolderNode* parent = nullptr)
        : m_name(std::move(name))
        , m_parent(parent)
    {}

    // Frees the subtree without recursion, however deep it is.
    ~FolderNode();
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    const std::string& name() const { return m_name; }
    FolderNode* parent() const { return m_parent; }
    bool isRoot() const { return m_parent == nullptr; }

    // Full path with a trailing "/" (the root's name followed by the names below it).
    std::string path() const;

    // Children in name order (byte-wise) once their folder has been read.
    const std::vector<std::unique_ptr<FolderNode>>& children() const { return m_children; }
    std::size_t childCount() const { return m_children.size(); }
    FolderNode* child(std::size_t i) const { return m_children[i].get(); }
    // Position of this node among its parent's children (0 for a root).
    std::size_t row() const { return m_row; }
    // The child with exactly this name, or nullptr (binary search; children must be sorted).
    FolderNode* childNamed(std::string_view name) const;

    // Appends a child; call sortChildren() before lookups by name.
    FolderNode* addChild(std::string name);
    void sortChildren();
    void clearChildren();

    // Bytes and number of the files directly in this folder.
    std::uint64_t ownBytes = 0;
    std::uint64_t ownFiles = 0;
    // Bytes and number of files in this folder and every folder below it.
    std::uint64_t totalBytes = 0;
    std::uint64_t totalFiles = 0;
    ScanState state = ScanState::Created;
    // False when the folder could not be opened or read to the end (no access, vanished).
    bool readable = true;

    // A finished folder shows a files node (as its last child) when it has subfolders and files of
    // its own (zero-length files count). A folder whose scan was stopped shows none.
    bool hasFilesNode() const { return state == ScanState::Done && !m_children.empty() && ownFiles > 0; }

private:
    std::string m_name;
    FolderNode* m_parent;
    std::size_t m_row = 0;
    std::vector<std::unique_ptr<FolderNode>> m_children;
};

// Adds b to a without wrapping around: the sum sticks at the largest value instead.
inline std::uint64_t addSaturated(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t r;
    return __builtin_add_overflow(a, b, &r) ? UINT64_MAX : r;
}

} // namespace foldersize
