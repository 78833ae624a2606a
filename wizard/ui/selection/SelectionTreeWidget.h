// SelectionTreeWidget.h: a Qt tree that shows a SelectionTree and follows every change of it;
// the user's check-box changes (by mouse), clicks and expansions are handed back as
// signals.
#pragma once

#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <unordered_map>

#include "wizard/selection/SelectionTree.h"

namespace wizard {

class SelectionTreeWidget : public QTreeWidget, private SelectionTree::Listener {
    Q_OBJECT
public:
    // `checkBoxes`: a check box before every node (the source tree).
    SelectionTreeWidget(SelectionTree& model, bool checkBoxes, QWidget* parent);
    ~SelectionTreeWidget() override;

    // The icon of an image index of the trees' image list.
    void setIconSource(std::function<QIcon(int)> iconOf) { m_iconOf = std::move(iconOf); }
    SelectionTree::Node* nodeOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* itemOf(const SelectionTree::Node* node) const;

signals:
    // The user changed a check mark; the model holds the new state already.
    void nodeCheckChanged(SelectionTree::Node* node);
    void treeClicked();
    void nodeExpanded(SelectionTree::Node* node);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void nodeAdded(const SelectionTree::Node& node) override;
    void nodeRemoving(const SelectionTree::Node& node) override;
    void nodeChanged(const SelectionTree::Node& node) override;
    void nodesComing(std::size_t count) override;
    void forget(const SelectionTree::Node& node);
    void show(const SelectionTree::Node& node, QTreeWidgetItem* item);
    void onItemChanged(QTreeWidgetItem* item);

    SelectionTree& m_model;
    bool m_checkBoxes;
    bool m_updating = false;
    std::function<QIcon(int)> m_iconOf;
    QTimer m_fitColumn;
    std::unordered_map<const SelectionTree::Node*, QTreeWidgetItem*> m_items;
    std::unordered_map<const QTreeWidgetItem*, SelectionTree::Node*> m_nodes;
};

} // namespace wizard
