// FileListModel.h: the files of one folder for the file list: name, size, type, change time and
// the hidden sortable time column. Sorting works on the values, not on the shown texts.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QLocale>

#include "foldersize/scanner/FileEntry.h"
#include "foldersize/ui/scanner/YieldClock.h"

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

    // Replaces the list with the files of folder (a path with a trailing "/"), in the list's
    // order. Returns the files shown before: freeing a hundred thousand of them takes a few
    // milliseconds, which the caller may spend after the event loop had its turn.
    std::vector<FileEntry> setFiles(const std::string& folder, std::vector<FileEntry> files);
    void clear();
    const std::string& folder() const { return m_folder; }

    // Type names and icons from the MIME database for files about to be shown (before setFiles,
    // so the list is ordered by the names it shows); without them (noIcons) the type column
    // keeps the upper-case extension and there are no icons. Files of one kind share one
    // lookup. A long pass polls clock (when given) between small batches of files.
    void GetAllIcons(std::vector<FileEntry>& files, YieldClock* clock = nullptr);
    // Longest time a file-list fill works before the event loop gets its turn. With 20 ms the
    // longest stall on a busy machine was about 60 ms (the work between two turns takes longer
    // than planned when processors are short); with 10 ms about 37 ms, and the list was no later.
    static constexpr int kYieldMs = 10;

    // Rows whose texts are as wide as any in the size, type and time columns: sizes are padded to
    // one width and times have one form, so the first rows and the largest file tell theirs; the
    // type column needs one row of each type name.
    std::vector<int> widthSampleRows() const;

    void setUnit(int unit);
    void setLocale(const QLocale& locale);

    // Column 3 ("Geändert") sorts by the hidden time column, like column 4.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const FileEntry& fileInRow(int row) const { return m_files[m_rows[static_cast<std::size_t>(row)]]; }

    std::string m_folder;
    // The files in listing order; ordering the list orders m_rows only (row -> position in
    // m_files), so a hundred thousand files are not moved for it.
    std::vector<FileEntry> m_files;
    std::vector<std::uint32_t> m_rows;
    QHash<QString, QIcon> m_icons;
    int m_unit = 1;
    QLocale m_locale;
    int m_sortColumn = -1;
    Qt::SortOrder m_order = Qt::DescendingOrder;
};

} // namespace foldersize
