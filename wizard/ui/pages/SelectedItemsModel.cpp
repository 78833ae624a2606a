// SelectedItemsModel.cpp: the space page's checklist model.
#include "wizard/ui/pages/SelectedItemsModel.h"

#include <QColor>
#include <QTimer>

namespace wizard {

namespace {

// While rows are being appended, the views take them in a batch this often: each insertion lays
// out the whole list anew.
constexpr int kCatchUpMs = 100;

QColor colourOf(SelectedItemsList::Mark mark)
{
    switch (mark) {
    case SelectedItemsList::Mark::Migrating: return {255, 128, 0};
    case SelectedItemsList::Mark::Migrated: return {0, 128, 0};
    case SelectedItemsList::Mark::NotFound: return {128, 128, 128};
    case SelectedItemsList::Mark::Failed: return {192, 0, 0};
    case SelectedItemsList::Mark::None: break;
    }
    return {0, 0, 0};
}

} // namespace

SelectedItemsModel::SelectedItemsModel(const SelectedItemsList& list, QObject* parent)
    : QAbstractListModel(parent)
    , m_list(list)
    , m_shown(static_cast<int>(list.rows().size()))
    , m_catchUp(new QTimer(this))
{
    m_catchUp->setSingleShot(true);
    m_catchUp->setInterval(kCatchUpMs);
    connect(m_catchUp, &QTimer::timeout, this, [this] { catchUp(); });
}

void SelectedItemsModel::catchUp()
{
    m_catchUp->stop();
    const int size = static_cast<int>(m_list.rows().size());
    if (size < m_shown) {
        beginResetModel();
        m_shown = size;
        endResetModel();
    } else if (size > m_shown) {
        beginInsertRows({}, m_shown, size - 1);
        m_shown = size;
        endInsertRows();
    }
}

void SelectedItemsModel::follow(const SelectedItemsList::Change& change)
{
    using Kind = SelectedItemsList::Change::Kind;
    if (change.kind == Kind::Added) {
        if (!m_catchUp->isActive())
            m_catchUp->start();
        return;
    }
    if (change.kind == Kind::Cleared) {
        m_catchUp->stop();
        beginResetModel();
        m_shown = static_cast<int>(m_list.rows().size());
        endResetModel();
        return;
    }
    catchUp();
    if (change.kind == Kind::Marked && static_cast<int>(change.row) < m_shown) {
        const QModelIndex at = index(static_cast<int>(change.row));
        emit dataChanged(at, at, {Qt::CheckStateRole, Qt::ForegroundRole});
    }
}

int SelectedItemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_shown; }

QVariant SelectedItemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown)
        return {};
    const SelectedItemsList::Row& row = m_list.rows()[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(row.text);
    case Qt::CheckStateRole: return row.checked() ? Qt::Checked : Qt::Unchecked;
    case Qt::ForegroundRole: return colourOf(row.mark);
    case Qt::UserRole: return QString::fromStdString(row.key);
    default: return {};
    }
}

QVariant SelectedItemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Selected Information");
    return {};
}

Qt::ItemFlags SelectedItemsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace wizard
