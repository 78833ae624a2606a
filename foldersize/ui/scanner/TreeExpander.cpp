// TreeExpander.cpp: expanding the folders below an index in timed steps, parents first.
#include "foldersize/ui/scanner/TreeExpander.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTreeView>

namespace foldersize {

TreeExpander::TreeExpander(QTreeView* view)
    : QObject(view)
    , m_view(view)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &TreeExpander::step);
    view->installEventFilter(this);
    // Indexes held between steps are only valid while the rows stay as they are.
    QAbstractItemModel* model = view->model();
    for (auto signal :
        {&QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsAboutToBeRemoved})
        connect(model, signal, this, &TreeExpander::cancel);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &TreeExpander::cancel);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &TreeExpander::cancel);
}

bool TreeExpander::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Asterisk) {
        const QModelIndex current = m_view->currentIndex();
        if (current.isValid())
            expandAll(current);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TreeExpander::expandAll(const QModelIndex& index)
{
    cancel();
    if (!index.isValid())
        return;
    m_walk.push_back(index);
    m_timer.start();
}

void TreeExpander::cancel()
{
    m_timer.stop();
    m_walk.clear();
}

void TreeExpander::step()
{
    QElapsedTimer clock;
    clock.start();
    const QAbstractItemModel* model = m_view->model();
    constexpr int kCheckEvery = 4;
    int done = 0;
    // Parents before their children: each expansion lays out one folder's rows.
    while (!m_walk.empty()) {
        const QModelIndex i = m_walk.back();
        m_walk.pop_back();
        const int rows = model->rowCount(i);
        if (rows == 0)
            continue;
        m_view->expand(i);
        for (int r = rows; r-- > 0;)
            m_walk.push_back(model->index(r, 0, i));
        if (++done % kCheckEvery == 0 && clock.elapsed() >= kStepMs)
            return;
    }
    m_timer.stop();
    emit finished();
}

} // namespace foldersize
