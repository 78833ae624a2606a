// MainWindowLayout.cpp: the main window's widgets and pictures.
#include "foldersize/scanner/MainWindowLayout.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "foldersize/scanner/FileListModel.h"
#include "foldersize/scanner/FolderTreeModel.h"

namespace foldersize {
namespace {

QTreeView* buildTree(QWidget* parent, FolderTreeModel* model)
{
    auto* tree = new QTreeView(parent);
    tree->setObjectName(QStringLiteral("tvwOrdner"));
    tree->setHeaderHidden(true);
    tree->setModel(model);
    tree->setUniformRowHeights(true);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    return tree;
}

QTreeView* buildList(QWidget* parent, FileListModel* model)
{
    auto* list = new QTreeView(parent);
    list->setObjectName(QStringLiteral("lvwOrdner"));
    list->setModel(model);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setColumnHidden(FileListModel::kHiddenDateColumn, true);
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(true);
    list->header()->setStretchLastSection(false);
    // The name column grows and shrinks with the window; the others keep their widths.
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    return list;
}

} // namespace

MainWindowWidgets buildMainWindowLayout(
    QMainWindow& window, FolderTreeModel* treeModel, FileListModel* listModel)
{
    MainWindowWidgets w;
    // Combo and toolbar on top, the two panes, the status bar.
    auto* central = new QWidget(&window);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* band = new QHBoxLayout;
    band->setSpacing(2);
    w.cboOrdner = new QComboBox(central);
    w.cboOrdner->setObjectName(QStringLiteral("cboOrdner"));
    w.cboOrdner->setMinimumWidth(245);
    w.cboOrdner->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    band->addWidget(w.cboOrdner);
    w.tlbMain = new QToolBar(central);
    w.tlbMain->setObjectName(QStringLiteral("tlbMain"));
    w.tlbMain->setIconSize(QSize(20, 20));
    band->addWidget(w.tlbMain, 1);
    column->addLayout(band);
    w.picSplitTop = new QWidget(central);
    w.picSplitTop->setObjectName(QStringLiteral("picSplitTop"));
    column->addWidget(w.picSplitTop, 1);
    window.setCentralWidget(central);

    w.tvwOrdner = buildTree(w.picSplitTop, treeModel);
    w.lvwOrdner = buildList(w.picSplitTop, listModel);

    w.panel1 = new QLabel(QStringLiteral("OK."), &window);
    w.panel1->setObjectName(QStringLiteral("sbrMainPanel1"));
    w.panel2 = new QLabel(&window);
    w.panel2->setObjectName(QStringLiteral("sbrMainPanel2"));
    window.statusBar()->addWidget(w.panel1);
    window.statusBar()->addWidget(w.panel2, 1);
    return w;
}

QVector<QIcon> buildPictures(QStyle* s)
{
    return {
        QIcon(),
        s->standardIcon(QStyle::SP_DriveFDIcon),  // 1 FloppyA
        s->standardIcon(QStyle::SP_DriveFDIcon),  // 2 FloppyB
        s->standardIcon(QStyle::SP_DriveHDIcon),  // 3 HD
        s->standardIcon(QStyle::SP_DriveCDIcon),  // 4 cdrom
        s->standardIcon(QStyle::SP_DriveNetIcon), // 5 network
        QIcon::fromTheme(
            QStringLiteral("drive-removable-media"), s->standardIcon(QStyle::SP_DriveFDIcon)),        // 6
        QIcon::fromTheme(QStringLiteral("drive-harddisk"), s->standardIcon(QStyle::SP_ComputerIcon)), // 7
        s->standardIcon(QStyle::SP_DirClosedIcon), // 8 Folder
        s->standardIcon(QStyle::SP_FileIcon),      // 9 File
        s->standardIcon(QStyle::SP_DirOpenIcon),   // 10 FolderOpen
    };
}

} // namespace foldersize
