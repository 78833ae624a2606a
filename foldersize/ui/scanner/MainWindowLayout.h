// MainWindowLayout.h: builds the main window's widgets: the band of folder combo and toolbar, the
// pane container with the folder tree and the file list, the status panels, and the pictures of
// combo and tree. Every widget carries its control name as object name.
#pragma once

#include <QVector>

class QComboBox;
class QIcon;
class QLabel;
class QMainWindow;
class QStyle;
class QToolBar;
class QTreeView;
class QWidget;

namespace foldersize {

class FileListModel;
class FolderTreeModel;

struct MainWindowWidgets {
    QComboBox* cboOrdner = nullptr;
    QToolBar* tlbMain = nullptr;
    QWidget* picSplitTop = nullptr;
    QTreeView* tvwOrdner = nullptr;
    QTreeView* lvwOrdner = nullptr;
    QLabel* panel1 = nullptr; // status text ("OK.", the folder being read)
    QLabel* panel2 = nullptr; // the file list's summary
};

// Narrowest width of the file list's name column (the list scrolls sideways below it).
inline constexpr int kNameColumnMinimum = 133;

// Lays the window out with the two models shown in tree and list.
MainWindowWidgets buildMainWindowLayout(
    QMainWindow& window, FolderTreeModel* treeModel, FileListModel* listModel);

// Status panel 1 while a scan runs (stretched: over the bar's free width, panel 2 hidden) or
// beside panel 2 (at least its minimum width, wider when its text needs it). It is never of a
// fixed width, so its text is cut only when the bar itself is too narrow.
void setStatusPanelStretched(QMainWindow& window, const MainWindowWidgets& w, bool stretched);

// Pictures 1..10 of combo and tree ("FloppyA", "FloppyB", "HD", "cdrom", "network", "removeable",
// "unknown", "Folder", "File", "FolderOpen"); index 0 is empty.
QVector<QIcon> buildPictures(QStyle* style);

} // namespace foldersize
