// FolderTreeModel.h: the folder tree as a Qt item model over FolderTree. Rows map to FolderNodes
// (plus one files-node row as the last child of a folder that has one); texts are formatted
// here. During a scan only finished folders show their children.
#pragma once

#include <cstdint>

#include <QAbstractItemModel>
#include <QIcon>
#include <QLocale>
#include <QVector>

#include "foldersize/scanner/FolderTree.h"

namespace foldersize {

class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        FolderPathRole = Qt::UserRole + 1, // QByteArray: the folder path with "/" (files node: none)
        SizeTextRole,                      // "s" followed by the size in bytes
        ScanStateRole,                     // 1 or 2 (folders only)
        KeyRole,                           // QByteArray: the node's key
        ImageRole,                         // picture index 1..10
        SelectedImageRole,
        FilesNodeRole, // true on a files node
    };

    explicit FolderTreeModel(FolderTree& tree, QObject* parent = nullptr);

    // Display settings; changing them re-renders every text.
    void setUnit(int unit);
    int unit() const { return m_unit; }
    void setShowCounts(bool on);
    void setLocale(const QLocale& locale);
    // Pictures by index 1..10 (index 0 unused).
    void setImages(const QVector<QIcon>& images) { m_images = images; }

    FolderTree& tree() { return m_tree; }

    // Index of a folder node (or of its files node); invalid when the row is not shown.
    QModelIndex indexOf(const FolderNode* node, bool filesNode = false) const;
    // The node behind an index (and whether it is the files node row).
    FolderNode* nodeOf(const QModelIndex& index, bool* filesNode = nullptr) const;

    // Node texts, as shown.
    QString rootText(const FolderRoot& root) const;
    QString folderText(const FolderNode& node) const;
    // " [nicht lesbar]" and " [unvollständig]" after a folder's size when they apply.
    QString marks(const FolderNode& node) const;
    QString filesNodeText(const FolderNode& node) const;

    // Structure changes, announced by the main window around changes of the tree.
    void beginAddRoot();
    void endAddRoot();
    void beginRemoveRoot(std::size_t index);
    void endRemoveRoot();
    void removeAllRoots();
    void clearChildren(FolderNode* root);
    // The root being measured shows only `finished` of its children while its scan runs.
    void scanStarted(FolderNode* root);
    void rootChildrenFinished(std::size_t finished);
    // The scan ended (finished or stopped): everything below the root becomes visible.
    void scanEnded();
    // Every text again (unit, count option).
    void rerender();

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::size_t visibleChildren(const FolderNode* node) const;
    bool showsFilesNode(const FolderNode* node) const;
    static quintptr idOf(const FolderNode* node, bool filesNode)
    {
        return reinterpret_cast<quintptr>(node) | (filesNode ? 1u : 0u);
    }

    FolderTree& m_tree;
    int m_unit = 1;
    bool m_showCounts = false;
    QLocale m_locale;
    QVector<QIcon> m_images;
    FolderNode* m_scanRoot = nullptr;
    std::size_t m_scanShown = 0;
};

} // namespace foldersize
