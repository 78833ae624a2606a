// FolderTreeModel.cpp: rows, texts and change notices of the folder tree.
#include "foldersize/ui/scanner/FolderTreeModel.h"

#include "foldersize/scanner/SizeFormat.h"

namespace foldersize {
namespace {

QString decodePath(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QByteArray bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

QString FolderTreeModel::marks(const FolderNode& node) const
{
    QString t;
    // A folder that could not be read shows nothing, yet is no empty folder.
    if (!node.readable)
        t += QStringLiteral(" [nicht lesbar]");
    // Only finished folders show while their root is measured, and the measured root shows its
    // path alone: so a folder shown unfinished was stopped, and its sums are partial.
    if (node.state != ScanState::Done)
        t += QStringLiteral(" [unvollständig]");
    return t;
}

FolderTreeModel::FolderTreeModel(FolderTree& tree, QObject* parent)
    : QAbstractItemModel(parent)
    , m_tree(tree)
{}

void FolderTreeModel::setUnit(int unit)
{
    m_unit = unit;
    rerender();
}

void FolderTreeModel::setShowCounts(bool on)
{
    m_showCounts = on;
    rerender();
}

void FolderTreeModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    rerender();
}

void FolderTreeModel::rerender()
{
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

QString FolderTreeModel::rootText(const FolderRoot& root) const
{
    QString path = decodePath(root.folderPath);
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const FolderNode& n = *root.node;
    // While its scan runs the root shows its path alone.
    if (m_scanRoot == &n)
        return path;
    QString t = path + QLatin1Char(' ') + FormatSize(n.totalBytes, true, false, m_unit, m_locale).trimmed();
    if (m_showCounts)
        t += QStringLiteral(" - (%1)").arg(n.totalFiles);
    return t + marks(n);
}

QString FolderTreeModel::folderText(const FolderNode& node) const
{
    QString t = FormatSize(node.totalBytes, false, true, m_unit, m_locale) + QStringLiteral(" - ") +
        decodePath(node.name());
    if (m_showCounts)
        t += QStringLiteral(" - (%1)").arg(node.totalFiles);
    return t + marks(node);
}

QString FolderTreeModel::filesNodeText(const FolderNode& node) const
{
    return FormatSize(node.ownBytes, false, true, m_unit, m_locale) + QStringLiteral(" - [Dateien]");
}

bool FolderTreeModel::showsFilesNode(const FolderNode* node) const { return node->hasFilesNode(); }

std::size_t FolderTreeModel::visibleChildren(const FolderNode* node) const
{
    if (m_scanRoot) {
        if (node == m_scanRoot)
            return m_scanShown;
        // Below the root being measured, a folder shows its children once it is finished.
        const FolderNode* top = node;
        while (top->parent())
            top = top->parent();
        if (top == m_scanRoot && node->state != ScanState::Done)
            return 0;
    }
    return node->childCount() + (showsFilesNode(node) ? 1 : 0);
}

FolderNode* FolderTreeModel::nodeOf(const QModelIndex& index, bool* filesNode) const
{
    if (!index.isValid())
        return nullptr;
    const quintptr id = index.internalId();
    if (filesNode)
        *filesNode = (id & 1u) != 0;
    return reinterpret_cast<FolderNode*>(id & ~quintptr(1));
}

QModelIndex FolderTreeModel::indexOf(const FolderNode* node, bool filesNode) const
{
    if (!node)
        return {};
    if (filesNode) {
        if (!showsFilesNode(node) || visibleChildren(node) == 0)
            return {};
        return createIndex(static_cast<int>(node->childCount()), 0, idOf(node, true));
    }
    if (!node->parent()) {
        const auto r = m_tree.rootIndex(node);
        return r ? createIndex(static_cast<int>(*r), 0, idOf(node, false)) : QModelIndex();
    }
    if (node->row() >= visibleChildren(node->parent()) || !indexOf(node->parent()).isValid())
        return {};
    return createIndex(static_cast<int>(node->row()), 0, idOf(node, false));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        if (static_cast<std::size_t>(row) >= m_tree.rootCount())
            return {};
        return createIndex(row, 0, idOf(m_tree.root(static_cast<std::size_t>(row)).node.get(), false));
    }
    bool files = false;
    const FolderNode* p = nodeOf(parent, &files);
    if (files || static_cast<std::size_t>(row) >= visibleChildren(p))
        return {};
    if (static_cast<std::size_t>(row) == p->childCount())
        return createIndex(row, 0, idOf(p, true));
    return createIndex(row, 0, idOf(p->child(static_cast<std::size_t>(row)), false));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    bool files = false;
    const FolderNode* n = nodeOf(child, &files);
    if (!n)
        return {};
    if (files)
        return indexOf(n);
    return n->parent() ? indexOf(n->parent()) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_tree.rootCount());
    bool files = false;
    const FolderNode* n = nodeOf(parent, &files);
    return files ? 0 : static_cast<int>(visibleChildren(n));
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    bool files = false;
    const FolderNode* n = nodeOf(index, &files);
    if (!n)
        return {};
    const FolderRoot* root = n->parent() ? nullptr : m_tree.rootOf(n);
    int image = files ? 9 : 8;
    int selectedImage = files ? 9 : 10;
    if (root && !files) {
        image = root->image;
        selectedImage = root->selectedImage;
    }
    switch (role) {
    case Qt::DisplayRole:
        if (files)
            return filesNodeText(*n);
        return root ? rootText(*root) : folderText(*n);
    case Qt::DecorationRole:
        return image > 0 && image < m_images.size() ? QVariant(m_images[image]) : QVariant();
    case FolderPathRole: return files ? QVariant() : QVariant(bytes(n->path()));
    case SizeTextRole: return QStringLiteral("s%1").arg(files ? n->ownBytes : n->totalBytes);
    case ScanStateRole: return files ? QVariant() : QVariant(static_cast<int>(n->state));
    case KeyRole: return bytes(m_tree.keyOf(n, files));
    case ImageRole: return image;
    case SelectedImageRole: return selectedImage;
    case FilesNodeRole: return files;
    default: return {};
    }
}

void FolderTreeModel::beginAddRoot()
{
    const int row = static_cast<int>(m_tree.rootCount());
    beginInsertRows(QModelIndex(), row, row);
}

void FolderTreeModel::endAddRoot() { endInsertRows(); }

void FolderTreeModel::beginRemoveRoot(std::size_t index)
{
    beginRemoveRows(QModelIndex(), static_cast<int>(index), static_cast<int>(index));
}

void FolderTreeModel::endRemoveRoot() { endRemoveRows(); }

void FolderTreeModel::removeAllRoots()
{
    beginResetModel();
    while (m_tree.rootCount() > 0)
        m_tree.removeRoot(m_tree.root(0).node.get());
    m_scanRoot = nullptr;
    m_scanShown = 0;
    endResetModel();
}

void FolderTreeModel::clearChildren(FolderNode* root)
{
    const QModelIndex idx = indexOf(root);
    const int rows = rowCount(idx);
    if (rows > 0)
        beginRemoveRows(idx, 0, rows - 1);
    root->clearChildren();
    root->ownBytes = root->ownFiles = root->totalBytes = root->totalFiles = 0;
    root->readable = true;
    root->state = ScanState::Created;
    if (rows > 0)
        endRemoveRows();
}

void FolderTreeModel::scanStarted(FolderNode* root)
{
    m_scanRoot = root;
    m_scanShown = 0;
    const QModelIndex idx = indexOf(root);
    emit dataChanged(idx, idx);
}

void FolderTreeModel::rootChildrenFinished(std::size_t finished)
{
    if (!m_scanRoot || finished <= m_scanShown)
        return;
    finished = std::min(finished, m_scanRoot->childCount());
    const QModelIndex idx = indexOf(m_scanRoot);
    beginInsertRows(idx, static_cast<int>(m_scanShown), static_cast<int>(finished) - 1);
    m_scanShown = finished;
    endInsertRows();
}

void FolderTreeModel::scanEnded()
{
    FolderNode* root = m_scanRoot;
    if (!root)
        return;
    const QModelIndex idx = indexOf(root);
    const std::size_t shown = m_scanShown;
    const std::size_t all = root->childCount() + (showsFilesNode(root) ? 1 : 0);
    if (all > shown) {
        beginInsertRows(idx, static_cast<int>(shown), static_cast<int>(all) - 1);
        m_scanRoot = nullptr;
        endInsertRows();
    }
    m_scanRoot = nullptr;
    m_scanShown = 0;
    emit dataChanged(idx, idx);
}

} // namespace foldersize
