// FolderTree.cpp: root numbering and key lookup.
#include "foldersize/scanner/FolderTree.h"

#include <cstdio>

namespace foldersize {

std::string rootPrefix(int number)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "K%03d", number);
    return buf;
}

std::string FolderRoot::prefix() const { return rootPrefix(number); }

FolderRoot* FolderTree::addRoot(const std::string& path, int image, int selectedImage)
{
    const int number = m_roots.empty() ? 0 : m_lastNumber + 1;
    if (number > kMaxRootNumber)
        return nullptr;
    auto root = std::make_unique<FolderRoot>();
    root->number = number;
    root->folderPath = path;
    if (root->folderPath.empty() || root->folderPath.back() != '/')
        root->folderPath += '/';
    root->image = image;
    root->selectedImage = selectedImage;
    root->node = std::make_unique<FolderNode>(root->folderPath);
    m_lastNumber = number;
    m_roots.push_back(std::move(root));
    return m_roots.back().get();
}

bool FolderTree::removeRoot(const FolderNode* rootNode)
{
    const auto idx = rootIndex(rootNode);
    if (!idx)
        return false;
    m_roots.erase(m_roots.begin() + static_cast<std::ptrdiff_t>(*idx));
    return true;
}

std::optional<std::size_t> FolderTree::rootIndex(const FolderNode* rootNode) const
{
    for (std::size_t i = 0; i < m_roots.size(); ++i)
        if (m_roots[i]->node.get() == rootNode)
            return i;
    return std::nullopt;
}

FolderRoot* FolderTree::rootOf(const FolderNode* node)
{
    if (!node)
        return nullptr;
    while (node->parent())
        node = node->parent();
    const auto idx = rootIndex(node);
    return idx ? m_roots[*idx].get() : nullptr;
}

std::string FolderTree::keyOf(const FolderNode* node, bool filesNode)
{
    const FolderRoot* r = rootOf(node);
    if (!r)
        return {};
    std::string key = r->prefix() + node->path();
    if (filesNode)
        key += "??D";
    return key;
}

NodeRef FolderTree::findByKey(const std::string& key)
{
    if (key.size() < 4 || key[0] != 'K')
        return {};
    FolderRoot* root = nullptr;
    for (auto& r : m_roots)
        if (key.compare(0, 4, r->prefix()) == 0)
            root = r.get();
    if (!root)
        return {};
    std::string rest = key.substr(4);
    bool filesNode = false;
    if (rest.size() >= 3 && rest.compare(rest.size() - 3, 3, "??D") == 0) {
        filesNode = true;
        rest.resize(rest.size() - 3);
    }
    const std::string& top = root->node->name();
    if (rest.compare(0, top.size(), top) != 0)
        return {};
    FolderNode* node = root->node.get();
    std::size_t pos = top.size();
    while (pos < rest.size()) {
        const std::size_t slash = rest.find('/', pos);
        if (slash == std::string::npos)
            return {}; // a folder key always ends in "/"
        node = node->childNamed(std::string_view(rest).substr(pos, slash - pos));
        if (!node)
            return {};
        pos = slash + 1;
    }
    if (filesNode && !node->hasFilesNode())
        return {};
    return {node, filesNode};
}

} // namespace foldersize
