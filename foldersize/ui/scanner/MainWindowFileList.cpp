// MainWindowFileList.cpp: the main window's file list: filling it from a folder, its summary in
// the status bar, its column widths and order, its context menu and opening a file.
#include "foldersize/ui/scanner/MainWindow.h"

#include <algorithm>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>

#include "common/BackgroundWork.h"
#include "foldersize/scanner/FileLister.h"
#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/SizeFormat.h"
#include "foldersize/ui/scanner/ContextMenu.h"
#include "foldersize/ui/scanner/FileListModel.h"
#include "foldersize/ui/scanner/FolderQueueController.h"
#include "foldersize/ui/scanner/YieldClock.h"
#include "foldersize/ui/services/FileOpening.h"

namespace foldersize {
namespace {

std::string fromBytes(const QByteArray& b)
{
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// Frees files beside the window's thread (here when no thread can be started). Nothing else
// refers to them: their texts are shared only through Qt's thread-safe reference counts.
void freeBeside(std::vector<FileEntry> files)
{
    if (!files.empty())
        common::BackgroundWork::program().runBeside([gone = std::move(files)]() mutable { gone = {}; });
}

} // namespace

void MainWindow::showListSummary()
{
    if (m_listSummary)
        m_ui.panel2->setText(
            QStringLiteral("%1 Dateien mit insgesamt %2")
                .arg(m_listSummary->first)
                .arg(FormatSize(m_listSummary->second, true, false, m_settings.dateigroesseFormat, m_locale)
                         .trimmed()));
}

void MainWindow::ListViewGrösseÄndern()
{
    // Only the size column follows the unit; panel 2 keeps the unit its listing was made in.
    m_listModel->setUnit(m_settings.dateigroesseFormat);
    widenListColumns();
}

void MainWindow::widenListColumns(YieldClock* clock)
{
    // Sizes, types and dates are shown whole; the name column takes the rest of the width. A few
    // rows tell the widths (measuring a thousand rows per column took longer than sorting).
    const std::vector<int> rows = m_listModel->widthSampleRows();
    for (int c = 1; c <= 3; ++c) {
        if (clock)
            clock->poll();
        int width = m_ui.lvwOrdner->header()->sectionSizeHint(c);
        for (const int r : rows)
            width = std::max(width, m_ui.lvwOrdner->sizeHintForIndex(m_listModel->index(r, c)).width());
        if (width > m_ui.lvwOrdner->columnWidth(c))
            m_ui.lvwOrdner->setColumnWidth(c, width);
    }
}

void MainWindow::ListViewFüllen(const std::string& folder)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DisableControls(true);
    std::string path = folder;
    xAddBackslash(path);
    // A huge folder must not freeze the window: every stage of the fill asks one clock, so the
    // event loop gets its turn however the work is split. The busy state keeps other work out.
    YieldClock clock(FileListModel::kYieldMs, [] { QCoreApplication::processEvents(); });
    FileLister lister(path);
    while (lister.step(512))
        clock.poll();
    const std::size_t count = lister.fileCount();
    const std::uint64_t total = lister.totalBytes();
    std::vector<FileEntry> files = std::move(lister.entries());
    if (m_settings.noIcons == 0)
        m_listModel->GetAllIcons(files, &clock);
    clock.poll();
    // The files shown before are freed beside the window's thread: a hundred thousand of them
    // take some milliseconds, which neither the new list nor the event loop need wait for.
    freeBeside(m_listModel->setFiles(path, std::move(files)));
    clock.poll();
    m_listSummary = {count, total};
    showListSummary();
    widenListColumns(&clock);
    QApplication::restoreOverrideCursor();
    EnableControls();
}

void MainWindow::lvwOrdner_ColumnClick(int column)
{
    if (column == m_SortSpalte + 1)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_SortSpalte = column - 1;
    const int sortKey = m_SortSpalte == 3 ? FileListModel::kHiddenDateColumn : m_SortSpalte;
    m_listModel->sort(sortKey, m_sortOrder);
    m_ui.lvwOrdner->header()->setSortIndicator(m_SortSpalte, m_sortOrder);
}

void MainWindow::onListContextMenu(const QPoint& pos)
{
    const QModelIndexList rows = m_ui.lvwOrdner->selectionModel()->selectedRows();
    if (rows.isEmpty() || m_queue->busy())
        return;
    QStringList paths;
    for (const QModelIndex& r : rows)
        paths << QFile::decodeName(r.data(FileListModel::PathRole).toByteArray());
    ContextMenuActions actions;
    actions.aktualisierenListe = [this] {
        if (!m_listModel->folder().empty())
            ListViewFüllen(m_listModel->folder());
    };
    ShellContextMenu(
        this, MenuControl::FileList, paths, m_ui.lvwOrdner->viewport()->mapToGlobal(pos), actions);
}

void MainWindow::onListDoubleClicked(const QModelIndex& index)
{
    const QByteArray path = index.sibling(index.row(), 0).data(FileListModel::PathRole).toByteArray();
    if (path.isEmpty() || !xExistFile(fromBytes(path)))
        return;
    // A file whose type has no program gets a choice of program instead.
    openWithItsProgram(this, QFile::decodeName(path));
}

} // namespace foldersize
