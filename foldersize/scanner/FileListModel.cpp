// FileListModel.cpp: rows, texts, icons and ordering of the file list.
#include "foldersize/scanner/FileListModel.h"

#include <QFileIconProvider>

#include "foldersize/scanner/SizeFormat.h"
#include "foldersize/services/SystemInfo.h"

namespace foldersize {

const QStringList& FileListModel::columnKeys()
{
    static const QStringList keys{QStringLiteral("Dateiname"), QStringLiteral("Größe"), QStringLiteral("Typ"),
        QStringLiteral("Geändert"), QStringLiteral("GeändertValue")};
    return keys;
}

FileListModel::FileListModel(QObject* parent)
    : QAbstractTableModel(parent)
{}

void FileListModel::setFiles(const std::string& folder, std::vector<FileEntry> files)
{
    beginResetModel();
    m_folder = folder;
    m_files = std::move(files);
    m_iconKeys.assign(m_files.size(), QString());
    endResetModel();
    if (m_sortColumn >= 0)
        sort(m_sortColumn, m_order);
}

void FileListModel::clear() { setFiles(std::string(), {}); }

void FileListModel::GetAllIcons()
{
    QFileIconProvider provider;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        FileEntry& f = m_files[i];
        const QMimeType mime = mimeTypeOf(f.name, f.extension);
        const QString key =
            iconKey(QString::fromUtf8(f.name.data(), static_cast<qsizetype>(f.name.size())), f.extension);
        if (!m_icons.contains(key)) {
            QIcon icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
            if (icon.isNull())
                icon = provider.icon(QFileIconProvider::File);
            m_icons.insert(key, icon);
        }
        m_iconKeys[i] = key;
        f.typeName = typeNameOf(mime, f.extension);
    }
    if (!m_files.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void FileListModel::setUnit(int unit)
{
    m_unit = unit;
    if (!m_files.empty())
        emit dataChanged(index(0, 1), index(rowCount() - 1, 1));
}

void FileListModel::setLocale(const QLocale& locale) { m_locale = locale; }

void FileListModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_order = order;
    const FileColumn c = column >= 3 ? FileColumn::Modified : static_cast<FileColumn>(column);
    emit layoutAboutToBeChanged();
    const std::vector<std::size_t> rows = sortedOrder(m_files, c, order == Qt::DescendingOrder);
    std::vector<FileEntry> files;
    std::vector<QString> keys;
    files.reserve(rows.size());
    keys.reserve(rows.size());
    for (std::size_t from : rows) {
        files.push_back(std::move(m_files[from]));
        keys.push_back(std::move(m_iconKeys[from]));
    }
    m_files = std::move(files);
    m_iconKeys = std::move(keys);
    emit layoutChanged();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_files.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 5; }

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_files.size())
        return {};
    const FileEntry& f = m_files[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0: return QString::fromUtf8(f.name.data(), static_cast<qsizetype>(f.name.size()));
        case 1: return FormatSize(f.size, false, true, m_unit, m_locale);
        case 2: return f.typeName;
        case 3: return generalDate(f.modified, m_locale);
        case 4: return QString::number(f.modified.toMSecsSinceEpoch() / 1000);
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DecorationRole && index.column() == 0) {
        const QString& key = m_iconKeys[static_cast<std::size_t>(index.row())];
        return key.isEmpty() ? QVariant() : QVariant(m_icons.value(key));
    }
    if (role == PathRole) {
        const std::string p = m_folder + f.name;
        return QByteArray(p.data(), static_cast<qsizetype>(p.size()));
    }
    if (role == SizeRole)
        return QVariant::fromValue<qulonglong>(f.size);
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 5)
        return columnKeys()[section];
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && section == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

} // namespace foldersize
