// MainWindowLayout.cpp: the main window's widgets and pictures.
#include "foldersize/ui/scanner/MainWindowLayout.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QProxyStyle>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "foldersize/ui/scanner/FileListModel.h"
#include "foldersize/ui/scanner/FolderTreeModel.h"

namespace foldersize {
namespace {

// Draws the list header's sort arrow as a list control does, whatever the style's own custom:
// pointing up while the rows go from the smallest value to the largest, down the other way.
// (Styles differ; Fusion on Linux points down for ascending order.)
class ListSortArrowStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override
    {
        const auto* header = qobject_cast<const QHeaderView*>(widget);
        if (element != PE_IndicatorHeaderArrow || !header) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const PrimitiveElement arrow =
            header->sortIndicatorOrder() == Qt::AscendingOrder ? PE_IndicatorArrowUp : PE_IndicatorArrowDown;
        QProxyStyle::drawPrimitive(arrow, option, painter, widget);
    }
};

// Gives the list's name column the width the other columns leave free, but never less than
// kNameColumnMinimum: in a narrow pane the list scrolls sideways instead of squeezing the names.
class NameColumnFit : public QObject {
public:
    explicit NameColumnFit(QTreeView* list)
        : QObject(list)
        , m_list(list)
    {
        list->viewport()->installEventFilter(this);
        connect(list->header(), &QHeaderView::sectionResized, this, [this](int logical, int, int) {
            if (logical != 0)
                fit();
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit()
    {
        QHeaderView* h = m_list->header();
        int others = 0;
        for (int c = 1; c < h->count(); ++c)
            if (!h->isSectionHidden(c))
                others += h->sectionSize(c);
        const int width = std::max(kNameColumnMinimum, m_list->viewport()->width() - others);
        if (h->sectionSize(0) != width)
            h->resizeSection(0, width);
    }

    QTreeView* m_list;
};

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
    // Hidden at its full default width, the column would still count in the header's length and
    // make the list scroll sideways by that much.
    list->header()->resizeSection(FileListModel::kHiddenDateColumn, 0);
    list->setColumnHidden(FileListModel::kHiddenDateColumn, true);
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(true);
    auto* arrowStyle = new ListSortArrowStyle;
    arrowStyle->setParent(list->header());
    list->header()->setStyle(arrowStyle);
    list->header()->setStretchLastSection(false);
    // The name column grows and shrinks with the window, down to a readable width; the others
    // keep their widths.
    new NameColumnFit(list);
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
    // An explicit minimum: a long text (the folder being read) must not widen the window.
    w.panel1->setMinimumWidth(1);
    w.panel2 = new QLabel(&window);
    w.panel2->setObjectName(QStringLiteral("sbrMainPanel2"));
    window.statusBar()->addWidget(w.panel1);
    window.statusBar()->addWidget(w.panel2, 1);
    return w;
}

void setStatusPanelStretched(QMainWindow& window, const MainWindowWidgets& w, bool stretched)
{
    QStatusBar* bar = window.statusBar();
    w.panel2->setVisible(!stretched);
    bar->removeWidget(w.panel1);
    bar->insertWidget(0, w.panel1, stretched ? 1 : 0);
    w.panel1->show();
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
