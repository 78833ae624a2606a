// SelectionTree.cpp: the selection trees' node model.
#include "wizard/selection/SelectionTree.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace wizard {

namespace {

// "My Computer\" takes the first 12 characters of every full path.
constexpr std::size_t kRootPrefix = 12;

} // namespace

SelectionTree::SelectionTree() = default;
SelectionTree::~SelectionTree() = default;

SelectionTree::Node* SelectionTree::addNode(Node* parent, std::string key, std::string text, int image)
{
    if (parent && !contains(parent))
        return nullptr;
    const std::string folded = platform::foldCase(key);
    if (!key.empty() && m_byKey.count(folded))
        return nullptr;
    auto owned = std::make_unique<Node>();
    Node* node = owned.get();
    node->key = std::move(key);
    node->text = std::move(text);
    node->image = image;
    node->expandedImage = image;
    node->parent = parent;
    if (parent)
        parent->children.push_back(node);
    m_storage.push_back(std::move(owned));
    m_order.push_back(node);
    m_alive.insert(node);
    if (!node->key.empty())
        m_byKey.emplace(folded, node);
    if (m_listener)
        m_listener->nodeAdded(*node);
    return node;
}

void SelectionTree::reserve(std::size_t count)
{
    const std::size_t total = m_order.size() + count;
    m_order.reserve(total);
    m_storage.reserve(total);
    m_byKey.reserve(total);
    m_alive.reserve(total);
    if (m_listener)
        m_listener->nodesComing(count);
}

SelectionTree::Node* SelectionTree::addUnder(
    std::string_view parentKey, std::string key, std::string text, int image)
{
    Node* parent = find(parentKey);
    return parent ? addNode(parent, std::move(key), std::move(text), image) : nullptr;
}

SelectionTree::Node* SelectionTree::addPlaceholder(Node* parent)
{
    return parent ? addNode(parent, {}, {}, 0) : nullptr;
}

SelectionTree::Node* SelectionTree::find(std::string_view key) const
{
    if (key.empty())
        return nullptr;
    const auto it = m_byKey.find(platform::foldCase(key));
    return it == m_byKey.end() ? nullptr : it->second;
}

SelectionTree::Node* SelectionTree::at(int position) const
{
    if (position < 1 || position > count())
        return nullptr;
    return m_order[static_cast<std::size_t>(position - 1)];
}

bool SelectionTree::contains(const Node* node) const { return node && m_alive.count(node) != 0; }

void SelectionTree::forget(const std::vector<Node*>& roots)
{
    // One pass over the order and the storage for the whole subtree, so that removing a drive
    // with tens of thousands of listed nodes stays linear.
    // The nodes that go are marked, so that the passes over the order and the storage cost no
    // more than a look at each node.
    std::vector<Node*> stack = roots;
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        n->leaving = true;
        m_alive.erase(n);
        if (!n->key.empty()) {
            const auto it = m_byKey.find(platform::foldCase(n->key));
            if (it != m_byKey.end() && it->second == n)
                m_byKey.erase(it);
        }
        stack.insert(stack.end(), n->children.begin(), n->children.end());
    }
    m_order.erase(std::remove_if(m_order.begin(), m_order.end(), [](const Node* n) { return n->leaving; }),
        m_order.end());
    m_storage.erase(std::remove_if(m_storage.begin(), m_storage.end(),
                        [](const std::unique_ptr<Node>& p) { return p->leaving; }),
        m_storage.end());
}

void SelectionTree::removeNode(Node* node)
{
    if (!contains(node))
        return;
    if (m_listener)
        m_listener->nodeRemoving(*node);
    if (node->parent) {
        auto& siblings = node->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    }
    forget({node});
}

bool SelectionTree::removeSomeBelow(Node* node, std::size_t budget)
{
    if (!contains(node))
        return false;
    // Walks from the last child down, taking a node once all its children are taken; what is
    // taken of each parent is a run of its last children.
    struct Visit {
        Node* node;
        std::size_t next; // children still to visit, counted from the front
        std::size_t taken;
    };
    std::vector<Node*> roots;                       // taken nodes whose parent stays
    std::vector<std::pair<Node*, std::size_t>> cut; // each such parent, and how many of its last children go
    std::size_t taken = 0;
    std::vector<Visit> path{{node, node->children.size(), 0}};
    while (!path.empty()) {
        Visit& at = path.back();
        if (at.next > 0 && taken < budget) {
            Node* child = at.node->children[--at.next];
            path.push_back({child, child->children.size(), 0});
            continue;
        }
        const Visit done = at;
        path.pop_back();
        const bool whole = done.taken == done.node->children.size();
        if (path.empty() || !whole || taken >= budget) {
            // Its taken children go as runs of their own; it stays, and so does every node above.
            const std::size_t kept = done.node->children.size() - done.taken;
            roots.insert(roots.end(), done.node->children.begin() + static_cast<std::ptrdiff_t>(kept),
                done.node->children.end());
            if (done.taken > 0)
                cut.emplace_back(done.node, kept);
            for (Visit& above : path)
                above.next = 0;
            continue;
        }
        ++taken;
        ++path.back().taken;
    }
    for (auto it = roots.rbegin(); it != roots.rend(); ++it)
        if (m_listener)
            m_listener->nodeRemoving(**it);
    for (const auto& [parent, kept] : cut)
        parent->children.resize(kept);
    forget(roots);
    return !node->children.empty();
}

bool SelectionTree::removeKey(std::string_view key)
{
    Node* node = find(key);
    if (!node)
        return false;
    removeNode(node);
    return true;
}

void SelectionTree::removeChildren(Node* node)
{
    while (node && !node->children.empty())
        removeNode(node->children.front());
}

void SelectionTree::clear()
{
    while (!m_order.empty()) {
        Node* top = m_order.front();
        while (top->parent)
            top = top->parent;
        removeNode(top);
    }
}

void SelectionTree::setCheckedOf(Node* node, bool checked)
{
    if (!node || node->checked == checked)
        return;
    node->checked = checked;
    if (m_listener)
        m_listener->nodeChanged(*node);
}

void SelectionTree::setExpandedOf(Node* node, bool expanded)
{
    if (!node || node->expanded == expanded)
        return;
    node->expanded = expanded;
    if (m_listener)
        m_listener->nodeChanged(*node);
}

void SelectionTree::setExpandedImageOf(Node* node, int image)
{
    if (!node)
        return;
    node->expandedImage = image;
    if (m_listener)
        m_listener->nodeChanged(*node);
}

std::string SelectionTree::fullPathOf(const Node* node)
{
    std::vector<const std::string*> texts;
    for (const Node* n = node; n; n = n->parent)
        texts.push_back(&n->text);
    std::string path;
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
        if (!path.empty() || it != texts.rbegin())
            path += '\\';
        path += **it;
    }
    return path;
}

bool SelectionTree::isBelowCategory(const Node* node)
{
    // Depth two or more: a grandchild of the root at least.
    return node && node->parent && node->parent->parent;
}

std::string SelectionTree::categoryOf(const Node* node)
{
    const std::string path = fullPathOf(node);
    if (path.size() <= kRootPrefix)
        return {};
    const std::size_t end = path.find('\\', kRootPrefix);
    return path.substr(kRootPrefix, end == std::string::npos ? std::string::npos : end - kRootPrefix);
}

bool SelectionTree::isUnlisted(const Node* node)
{
    return node && !node->children.empty() && node->children.front()->text.empty();
}

std::string SelectionTree::fullPath(int index) const
{
    const Node* node = at(index);
    return node ? fullPathOf(node) : std::string();
}

std::string SelectionTree::key(int index) const
{
    const Node* node = at(index);
    return node ? node->key : std::string();
}

std::string SelectionTree::text(int index) const
{
    const Node* node = at(index);
    return node ? node->text : std::string();
}

int SelectionTree::image(int index) const
{
    const Node* node = at(index);
    return node ? node->image : 0;
}

std::optional<std::string> SelectionTree::parentKey(int index) const
{
    const Node* node = at(index);
    if (!node || !node->parent)
        return std::nullopt;
    return node->parent->key;
}

void SelectionTree::setChecked(int index, bool checked) { setCheckedOf(at(index), checked); }

bool SelectionTree::addChild(
    const std::string& parentKey, const std::string& key, const std::string& text, int image)
{
    return addUnder(parentKey, key, text, image) != nullptr;
}

void SelectionTree::remove(int index) { removeNode(at(index)); }

} // namespace wizard
