// TreeExpander.h: "expand everything below" for a tree view (its "*" key) in bounded steps, parents
// before their children, so each expansion lays out the rows of one folder. Between steps the
// event loop runs (a tree 10,000 folders deep would otherwise freeze the window for seconds); a
// change of the model's rows cancels the work.
#pragma once

#include <cstddef>
#include <vector>

#include <QModelIndex>
#include <QObject>
#include <QTimer>

class QTreeView;

namespace foldersize {

class TreeExpander : public QObject {
    Q_OBJECT
public:
    // Takes over the view's "*" key.
    explicit TreeExpander(QTreeView* view);

    // Expands index and every folder below it (an expansion still running is cancelled first).
    void expandAll(const QModelIndex& index);
    void cancel();
    bool running() const { return m_timer.isActive(); }

    // Longest time one step works before the event loop gets its turn.
    static constexpr int kStepMs = 15;

signals:
    // Everything below the index is expanded (not sent when cancelled).
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step();

    QTreeView* m_view;
    QTimer m_timer;
    std::vector<QModelIndex> m_walk; // folders still to be expanded, the next one last
};

} // namespace foldersize
