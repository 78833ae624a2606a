// SelectionTreeWidget.cpp: the Qt view of a selection tree.
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace wizard {

SelectionTreeWidget::SelectionTreeWidget(SelectionTree& model, bool checkBoxes, QWidget* parent)
    : QTreeWidget(parent)
    , m_model(model)
    , m_checkBoxes(checkBoxes)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    // Long file names show whole, with a horizontal scroll bar, instead of being cut off in the
    // narrow trees. The column is measured at most once per turn of the event loop (measuring on
    // every added row would make a large listing quadratic).
    header()->setStretchLastSection(false);
    m_fitColumn.setSingleShot(true);
    m_fitColumn.setInterval(0);
    connect(&m_fitColumn, &QTimer::timeout, this, [this] {
        resizeColumnToContents(0);
        header()->resizeSection(0, std::max(header()->sectionSize(0), viewport()->width()));
    });
    for (int i = 1; i <= m_model.count(); ++i)
        nodeAdded(*m_model.at(i));
    m_model.setListener(this);
    connect(
        this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) { onItemChanged(item); });
    connect(this, &QTreeWidget::itemClicked, this, [this] {
        if (!m_updating)
            emit treeClicked();
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        m_fitColumn.start();
        if (SelectionTree::Node* node = nodeOf(item); node && !m_updating)
            emit nodeExpanded(node);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        m_fitColumn.start();
        if (SelectionTree::Node* node = nodeOf(item); node && !m_updating)
            m_model.setExpandedOf(node, false);
    });
}

SelectionTreeWidget::~SelectionTreeWidget() { m_model.setListener(nullptr); }

SelectionTree::Node* SelectionTreeWidget::nodeOf(const QTreeWidgetItem* item) const
{
    const auto it = m_nodes.find(item);
    return it == m_nodes.end() ? nullptr : it->second;
}

QTreeWidgetItem* SelectionTreeWidget::itemOf(const SelectionTree::Node* node) const
{
    const auto it = m_items.find(node);
    return it == m_items.end() ? nullptr : it->second;
}

void SelectionTreeWidget::show(const SelectionTree::Node& node, QTreeWidgetItem* item)
{
    const bool was = m_updating;
    m_updating = true;
    item->setText(0, QString::fromStdString(node.text));
    if (m_iconOf && !SelectionTree::isPlaceholder(&node))
        item->setIcon(0, m_iconOf(node.expanded ? node.expandedImage : node.image));
    if (m_checkBoxes && !SelectionTree::isPlaceholder(&node))
        item->setCheckState(0, node.checked ? Qt::Checked : Qt::Unchecked);
    if (item->isExpanded() != node.expanded && !node.children.empty())
        item->setExpanded(node.expanded);
    m_updating = was;
}

void SelectionTreeWidget::nodeAdded(const SelectionTree::Node& node)
{
    QTreeWidgetItem* parentItem = node.parent ? itemOf(node.parent) : invisibleRootItem();
    if (!parentItem)
        return;
    const bool was = m_updating;
    m_updating = true;
    auto* item = new QTreeWidgetItem(parentItem);
    m_items[&node] = item;
    m_nodes[item] = const_cast<SelectionTree::Node*>(&node);
    show(node, item);
    // A node the model holds open shows its first child at once.
    if (node.parent && node.parent->expanded && !parentItem->isExpanded())
        parentItem->setExpanded(true);
    if (!m_fitColumn.isActive())
        m_fitColumn.start();
    m_updating = was;
}

void SelectionTreeWidget::forget(const SelectionTree::Node& node)
{
    for (const SelectionTree::Node* child : node.children)
        forget(*child);
    if (QTreeWidgetItem* item = itemOf(&node))
        m_nodes.erase(item);
    m_items.erase(&node);
}

void SelectionTreeWidget::nodeRemoving(const SelectionTree::Node& node)
{
    QTreeWidgetItem* item = itemOf(&node);
    forget(node);
    if (!item)
        return;
    const bool was = m_updating;
    m_updating = true;
    // Taken out by its place first: an item deleted in place looks for its place from the front,
    // and a large folder empties from its end.
    QTreeWidgetItem* parent = item->parent() ? item->parent() : invisibleRootItem();
    const int last = parent->childCount() - 1;
    const int at = last >= 0 && parent->child(last) == item ? last : parent->indexOfChild(item);
    delete (at >= 0 ? parent->takeChild(at) : item); // takes the child items with it
    m_updating = was;
}

void SelectionTreeWidget::nodeChanged(const SelectionTree::Node& node)
{
    if (QTreeWidgetItem* item = itemOf(&node))
        show(node, item);
}

void SelectionTreeWidget::nodesComing(std::size_t count)
{
    m_items.reserve(m_items.size() + count);
    m_nodes.reserve(m_nodes.size() + count);
}

void SelectionTreeWidget::onItemChanged(QTreeWidgetItem* item)
{
    if (m_updating || !m_checkBoxes)
        return;
    SelectionTree::Node* node = nodeOf(item);
    if (!node)
        return;
    const bool checked = item->checkState(0) == Qt::Checked;
    if (checked == node->checked)
        return;
    m_model.setCheckedOf(node, checked);
    emit nodeCheckChanged(node);
}

void SelectionTreeWidget::keyPressEvent(QKeyEvent* event)
{
    // Check boxes change only by mouse clicks, which complete the change with the click that
    // follows; "*" would open, and so list, a whole subtree at once.
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Select || key == Qt::Key_Asterisk) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace wizard
