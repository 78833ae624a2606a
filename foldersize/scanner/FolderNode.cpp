// FolderNode.cpp: paths, child lookup and ordering of the folder tree.
#include "foldersize/scanner/FolderNode.h"

#include <algorithm>

namespace foldersize {

FolderNode::~FolderNode()
{
    std::vector<std::unique_ptr<FolderNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<FolderNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->m_children)
            pending.push_back(std::move(c));
        n->m_children.clear();
    }
}

std::string FolderNode::path() const
{
    std::vector<const FolderNode*> chain;
    for (const FolderNode* n = this; n; n = n->m_parent)
        chain.push_back(n);
    std::string p;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        p += (*it)->m_name;
        if (p.empty() || p.back() != '/')
            p += '/';
    }
    return p;
}

FolderNode* FolderNode::childNamed(std::string_view name) const
{
    auto it = std::lower_bound(m_children.begin(), m_children.end(), name,
        [](const std::unique_ptr<FolderNode>& c, std::string_view n) {
            return std::string_view(c->m_name) < n;
        });
    if (it != m_children.end() && (*it)->m_name == name)
        return it->get();
    return nullptr;
}

FolderNode* FolderNode::addChild(std::string name)
{
    m_children.push_back(std::make_unique<FolderNode>(std::move(name), this));
    m_children.back()->m_row = m_children.size() - 1;
    return m_children.back().get();
}

void FolderNode::sortChildren()
{
    std::sort(m_children.begin(), m_children.end(),
        [](const std::unique_ptr<FolderNode>& a, const std::unique_ptr<FolderNode>& b) {
            return a->m_name < b->m_name;
        });
    for (std::size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->m_row = i;
}

void FolderNode::clearChildren()
{
    // Hand the subtrees to a temporary parent so their destruction stays iterative.
    FolderNode sink{std::string()};
    sink.m_children = std::move(m_children);
    m_children.clear();
}

} // namespace foldersize
