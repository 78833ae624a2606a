// FileListModel.h: the files of one folder for the file list: name, size, type, change time and
// the hidden sortable time column. Sorting works on the values, not on the shown texts.
#pragma once

#include <functional>

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QLocale>

#include "foldersize/scanner/FileListing.h"

namespace foldersize {

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Column keys and headers: "Dateiname", "Größe", "Typ", "Geändert", "GeändertValue".
    static const QStringList& columnKeys();
    static constexpr int kHiddenDateColumn = 4;
    // RepeatLinkRole: true on a further hard link of a file listed before (shown in italics).
    enum Role { PathRole = Qt::UserRole + 1, SizeRole, RepeatLinkRole };

    explicit FileListModel(QObject* parent = nullptr);

    // Replaces the list with the files of folder (a path with a trailing "/").
    void setFiles(const std::string& folder, std::vector<FileEntry> files);
    void clear();
    const std::vector<FileEntry>& files() const { return m_files; }
    const std::string& folder() const { return m_folder; }

    // Type names and icons from the MIME database; without them (noIcons) the type column keeps
    // the upper-case extension and there are no icons.
    // A long pass calls yield (when given) every kYieldMs so the window can repaint.
    void GetAllIcons(const std::function<void()>& yield = nullptr);
    static constexpr int kYieldMs = 40;

    void setUnit(int unit);
    void setLocale(const QLocale& locale);

    // Column 3 ("Geändert") sorts by the hidden time column, like column 4.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::string m_folder;
    std::vector<FileEntry> m_files;
    std::vector<QString> m_iconKeys;
    QHash<QString, QIcon> m_icons;
    int m_unit = 1;
    QLocale m_locale;
    int m_sortColumn = -1;
    Qt::SortOrder m_order = Qt::DescendingOrder;
};

} // namespace foldersize
