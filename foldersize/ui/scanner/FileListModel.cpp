// FileListModel.cpp: rows, texts, icons and ordering of the file list.
#include "foldersize/ui/scanner/FileListModel.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

#include <QFileIconProvider>
#include <QFont>
#include <QSet>

#include "foldersize/scanner/FileRowOrder.h"
#include "foldersize/scanner/FileTypes.h"
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

namespace {

FileColumn sortKeyColumn(int column)
{
    return column >= 3 ? FileColumn::Modified : static_cast<FileColumn>(column);
}

// What files of one kind share: found once per kind.
struct FileKind {
    QString typeName;
    QString iconKey;
};

} // namespace

std::vector<FileEntry> FileListModel::setFiles(const std::string& folder, std::vector<FileEntry> files)
{
    // Ordered before the reset, so the view lays the rows out once.
    std::vector<std::uint32_t> rows(files.size());
    std::iota(rows.begin(), rows.end(), std::uint32_t{0});
    if (m_sortColumn >= 0)
        rows = sortedRows(files, rows, sortKeyColumn(m_sortColumn), m_order == Qt::DescendingOrder);
    beginResetModel();
    m_folder = folder;
    std::swap(m_files, files);
    m_rows = std::move(rows);
    endResetModel();
    return files;
}

void FileListModel::clear() { setFiles(std::string(), {}); }

void FileListModel::GetAllIcons(std::vector<FileEntry>& files, YieldClock* clock)
{
    QFileIconProvider provider;
    // Files are looked up by the name from its first "." on: with a real extension that ending
    // decides the type (case is kept, since some patterns are case-sensitive: "*.C" and "*.c"),
    // never a whole name the type database knows ("CMakeLists.txt" is a text file like any other).
    // Every file without a real extension is of the default type.
    std::unordered_map<std::string, FileKind> byEnding;
    const auto kindOf = [&](const FileEntry& f, const QString& name) {
        const std::size_t dot = f.name.find('.', 1);
        const QMimeType mime =
            mimeTypeOf(dot == std::string::npos ? f.name : "x" + f.name.substr(dot), f.extension);
        const QString key = iconKey(name, f.extension);
        if (!m_icons.contains(key)) {
            QIcon icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
            if (icon.isNull())
                icon = provider.icon(QFileIconProvider::File);
            m_icons.insert(key, icon);
        }
        return FileKind{typeNameOf(mime, f.extension), key};
    };
    constexpr std::size_t kBatch = 256;
    for (std::size_t i = 0; i < files.size(); ++i) {
        FileEntry& f = files[i];
        const std::size_t dot = f.extension.isEmpty() ? 0 : f.name.find('.', 1);
        // Programs and links have an icon of their own: they are looked up one by one.
        if (dot == std::string::npos || hasOwnIcon(f.extension)) {
            const FileKind kind =
                kindOf(f, QString::fromUtf8(f.name.data(), static_cast<qsizetype>(f.name.size())));
            f.typeName = kind.typeName;
            f.iconKey = kind.iconKey;
        } else {
            const std::string ending = dot == 0 ? std::string() : f.name.substr(dot);
            auto it = byEnding.find(ending);
            if (it == byEnding.end())
                it = byEnding.emplace(ending, kindOf(f, QString())).first;
            f.typeName = it->second.typeName;
            f.iconKey = it->second.iconKey;
        }
        if (clock && i % kBatch == kBatch - 1)
            clock->poll();
    }
}

std::vector<int> FileListModel::widthSampleRows() const
{
    constexpr int kFirstRows = 64;
    std::vector<int> rows;
    const int count = rowCount();
    for (int r = 0; r < std::min(count, kFirstRows); ++r)
        rows.push_back(r);
    // The files are gone through in listing order (as they lie in memory), then mapped to rows.
    QSet<QString> types;
    std::vector<std::size_t> samples;
    const QString* lastType = nullptr;
    std::size_t largest = 0;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const FileEntry& f = m_files[i];
        if (f.size > m_files[largest].size)
            largest = i;
        // Files of one kind share their type text: most rows are passed over without hashing.
        if (lastType && lastType->constData() == f.typeName.constData())
            continue;
        lastType = &f.typeName;
        if (!types.contains(f.typeName)) {
            types.insert(f.typeName);
            samples.push_back(i);
        }
    }
    if (m_files.empty())
        return rows;
    samples.push_back(largest);
    std::vector<int> rowOf(m_files.size());
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        rowOf[m_rows[r]] = static_cast<int>(r);
    for (const std::size_t i : samples)
        if (rowOf[i] >= kFirstRows)
            rows.push_back(rowOf[i]);
    return rows;
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
    const FileColumn c = sortKeyColumn(column);
    emit layoutAboutToBeChanged();
    m_rows = sortedRows(m_files, m_rows, c, order == Qt::DescendingOrder);
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
    const FileEntry& f = fileInRow(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0: return QString::fromUtf8(f.name.data(), static_cast<qsizetype>(f.name.size()));
        case 1: return FormatSize(f.size, false, true, m_unit, m_locale);
        case 2: return f.typeName;
        case 3: return generalDate(f.modified(), m_locale);
        case 4: return QString::number(f.mtime);
        default: return {};
        }
    }
    if (f.repeatLink && role == Qt::FontRole) {
        QFont italic;
        italic.setItalic(true);
        return italic;
    }
    if (f.repeatLink && role == Qt::ToolTipRole)
        return QStringLiteral("Weiterer Hardlink einer schon gezählten Datei; nicht mitgezählt");
    if (role == RepeatLinkRole)
        return f.repeatLink;
    if (role == Qt::TextAlignmentRole && index.column() == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DecorationRole && index.column() == 0) {
        return f.iconKey.isEmpty() ? QVariant() : QVariant(m_icons.value(f.iconKey));
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
